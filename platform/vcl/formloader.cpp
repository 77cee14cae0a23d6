#include "vcl/formloader.h"

#include <vector>

#include "rtl/colortext.h"
#include "rtl/sysutils.h"

namespace {

struct TClassEntry {
    TComponentFactory Factory;
    const TPropertyTable* Table;
};

std::map<std::string, TClassEntry>& Registry() {
    static std::map<std::string, TClassEntry> registry;
    return registry;
}

[[noreturn]] void LayoutError(const std::string& what) {
    throw Exception(AnsiString("form layout: " + what));
}

void ReadObject(TComponent* object, const TFormObject& layout, const TPropertyTable& table,
                TFormReader& reader, std::vector<TComponent*>& loaded) {
    for (const TFormProperty& p : layout.Properties) table.Apply(object, p.Name, p.Value, reader);
    for (const TFormObject& child : layout.Children) {
        auto entry = Registry().find(child.ClassName.str());
        if (entry == Registry().end()) LayoutError("unknown class " + child.ClassName.str());
        TComponent* component = entry->second.Factory(reader.Root());
        component->Name = child.Name;
        component->SetParentComponent(object);
        loaded.push_back(component);
        ReadObject(component, child, *entry->second.Table, reader, loaded);
    }
}

}  // namespace

const TPropertySetter* TPropertyTable::FindSetter(const std::string& name) const {
    for (const TPropertyTable* t = this; t; t = t->FBase) {
        auto it = t->FSetters.find(name);
        if (it != t->FSetters.end()) return &it->second;
    }
    return nullptr;
}

const TPropertyTable::TSub* TPropertyTable::FindSub(const std::string& name) const {
    for (const TPropertyTable* t = this; t; t = t->FBase) {
        auto it = t->FSubs.find(name);
        if (it != t->FSubs.end()) return &it->second;
    }
    return nullptr;
}

void TPropertyTable::Apply(TPersistent* object, const AnsiString& name, const TFormValue& value,
                           TFormReader& reader) const {
    const std::string& n = name.str();
    std::size_t dot = n.find('.');
    if (dot != std::string::npos) {
        const TSub* sub = FindSub(n.substr(0, dot));
        if (!sub) LayoutError("unknown property " + n);
        sub->Table->Apply(sub->Get(object), AnsiString(n.substr(dot + 1)), value, reader);
        return;
    }
    const TPropertySetter* setter = FindSetter(n);
    if (!setter) LayoutError("unknown property " + n);
    (*setter)(object, value, reader);
}

void RegisterClass(const char* className, TComponentFactory factory, const TPropertyTable& table) {
    Registry()[className] = {std::move(factory), &table};
}

const TPropertyTable* FindClassTable(const AnsiString& className) {
    auto it = Registry().find(className.str());
    return it == Registry().end() ? nullptr : it->second.Table;
}

TNotifyEvent TFormReader::Handler(const TFormValue& value) const {
    auto it = FBindings.Handlers.find(LayoutString(value).str());
    if (it == FBindings.Handlers.end()) LayoutError("unknown handler " + value.Str.str());
    return it->second;
}

void ReadFormLayout(TComponent* root, const std::string& layoutUtf8, const TPropertyTable& rootTable,
                    const TFormBindings& bindings) {
    TFormObject layout = ParseFormText(layoutUtf8);
    TFormReader reader(root, bindings);
    std::vector<TComponent*> loaded{root};
    ReadObject(root, layout, rootTable, reader, loaded);
    // Fields are bound by name once every component exists.
    for (TComponent* component : loaded) {
        if (component == root) continue;
        auto field = bindings.Fields.find(component->Name.str());
        if (field != bindings.Fields.end() && !field->second(component))
            LayoutError("component " + component->Name.str() + " is of another class than its field");
    }
    for (TComponent* component : loaded) component->Loaded();
}

int LayoutInt(const TFormValue& value) {
    if (value.Kind != TFormValue::vaInt) LayoutError("integer expected");
    return static_cast<int>(value.Int);
}

bool LayoutBool(const TFormValue& value) {
    if (value.Kind == TFormValue::vaIdent && value.Str == "True") return true;
    if (value.Kind == TFormValue::vaIdent && value.Str == "False") return false;
    LayoutError("True or False expected");
}

AnsiString LayoutString(const TFormValue& value) {
    if (value.Kind != TFormValue::vaString && value.Kind != TFormValue::vaIdent)
        LayoutError("text expected");
    return value.Str;
}

TColor LayoutColor(const TFormValue& value) {
    if (value.Kind == TFormValue::vaInt) return static_cast<TColor>(value.Int);
    if (value.Kind == TFormValue::vaIdent) {
        int color;
        if (IdentToColor(value.Str, color)) return color;
    }
    LayoutError("colour expected");
}

int LayoutEnum(const TFormValue& value, std::initializer_list<const char*> names) {
    if (value.Kind == TFormValue::vaIdent) {
        int index = 0;
        for (const char* name : names) {
            if (value.Str == name) return index;
            ++index;
        }
    }
    LayoutError("unknown value " + value.Str.str());
}
