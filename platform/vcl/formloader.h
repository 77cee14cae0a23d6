// Phase two of form loading: creates each object of a parsed layout by its class name, applies
// its properties in stored order through its class's setter table (chained to the base class's
// table; dotted names walk sub-objects such as Font and RectColor), binds event handlers and
// component fields by name, and calls Loaded on every object at the end.
// Unknown classes, properties and handlers are errors, so a typo in a layout fails at once.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "rtl/classes.h"
#include "rtl/color.h"
#include "vcl/formtext.h"

class TFormReader;

using TPropertySetter =
    std::function<void(TPersistent* object, const TFormValue& value, TFormReader& reader)>;

class TPropertyTable {
public:
    explicit TPropertyTable(const TPropertyTable* base = nullptr) : FBase(base) {}

    // A property set through a function of the object's own class.
    template <typename T, typename F>
    TPropertyTable& Define(const char* name, F setter) {
        FSetters[name] = [setter](TPersistent* o, const TFormValue& v, TFormReader& r) {
            if constexpr (std::is_invocable_v<F, T*, const TFormValue&, TFormReader&>)
                setter(static_cast<T*>(o), v, r);
            else
                setter(static_cast<T*>(o), v);
        };
        return *this;
    }
    // A sub-object whose own table takes the rest of a dotted name.
    template <typename T>
    TPropertyTable& Sub(const char* name, std::function<TPersistent*(T*)> get,
                        const TPropertyTable& table) {
        FSubs[name] = {[get](TPersistent* o) { return get(static_cast<T*>(o)); }, &table};
        return *this;
    }

    // Applies one (possibly dotted) property; raises Exception when the name is unknown.
    void Apply(TPersistent* object, const AnsiString& name, const TFormValue& value,
               TFormReader& reader) const;

private:
    struct TSub {
        std::function<TPersistent*(TPersistent*)> Get;
        const TPropertyTable* Table;
    };
    const TPropertySetter* FindSetter(const std::string& name) const;
    const TSub* FindSub(const std::string& name) const;

    const TPropertyTable* FBase;
    std::map<std::string, TPropertySetter> FSetters;
    std::map<std::string, TSub> FSubs;
};

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Makes a class known to the loader by the name layouts use.
void RegisterClass(const char* className, TComponentFactory factory, const TPropertyTable& table);
const TPropertyTable* FindClassTable(const AnsiString& className);

// What the root object (the form) offers the layout: its component fields and its handlers.
struct TFormBindings {
    // Each takes the component of its name; false when the component is of another class.
    std::map<std::string, std::function<bool(TComponent*)>> Fields;
    std::map<std::string, TNotifyEvent> Handlers;
};

// The binding of a component field of the form: Field(Image1).
template <class T>
std::function<bool(TComponent*)> Field(T*& field) {
    return [&field](TComponent* component) {
        field = dynamic_cast<T*>(component);
        return field != nullptr;
    };
}

class TFormReader {
public:
    TFormReader(TComponent* root, const TFormBindings& bindings) : FRoot(root), FBindings(bindings) {}
    // The handler of the root object named by an identifier value.
    TNotifyEvent Handler(const TFormValue& value) const;
    TComponent* Root() const { return FRoot; }

private:
    TComponent* FRoot;
    const TFormBindings& FBindings;
};

// Builds root (already constructed) and its components from a layout text.
void ReadFormLayout(TComponent* root, const std::string& layoutUtf8, const TPropertyTable& rootTable,
                    const TFormBindings& bindings);

// Conversions of layout values for setters; each raises Exception on a value of another kind.
int LayoutInt(const TFormValue& value);
bool LayoutBool(const TFormValue& value);
AnsiString LayoutString(const TFormValue& value);
TColor LayoutColor(const TFormValue& value);
// An identifier looked up in a list of names whose index is the value ({"alNone", "alTop", ...}).
int LayoutEnum(const TFormValue& value, std::initializer_list<const char*> names);
