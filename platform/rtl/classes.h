// The class library's base classes: TObject, TPersistent, and TComponent with ownership
// (owned components are destroyed with their owner, last created first).
#pragma once

#include <functional>
#include <vector>

#include "rtl/system.h"

class TObject {
public:
    virtual ~TObject() = default;
};

// An event handler bound to an object, called with the sending object.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// An object whose properties a form layout can set (fonts, corner colours, components).
class TPersistent : public TObject {};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents[static_cast<std::size_t>(index)]; }

    // Called on every component once its layout has been applied.
    virtual void Loaded() {}
    // Called by the layout loader with the object the component's entry stands in
    // (a control takes a windowed control as its parent).
    virtual void SetParentComponent(TComponent* parent) {}

    AnsiString Name;
    // Free for the program's own use; nothing in the class library reads it.
    int Tag = 0;

protected:
    // Frees the owned components now, last created first (for owners whose own parts must
    // outlive their components).
    void DestroyComponents();

private:
    void InsertComponent(TComponent* component) { FComponents.push_back(component); }
    void RemoveComponent(TComponent* component);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
};
