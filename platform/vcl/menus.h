// The class library's menus unit: TMainMenu, the menu bar of a form, and TMenuItem, one entry
// with its sub-items. The form shows its menu as a Qt menu bar built from these items when its
// window is made (or its Menu is set); a chosen entry runs the item's Click.
#pragma once

#include <vector>

#include "rtl/classes.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    // Leaves its parent item and lets its sub-items go (they are owned elsewhere).
    ~TMenuItem() override;

    // "&x" marks the access key x, "&&" is one "&"; "-" makes the item a separator line.
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value) { FCaption = value; }
    bool IsLine() const { return FCaption == "-"; }
    // A disabled item is shown greyed and its Click does nothing.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value) { FVisible = value; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems[static_cast<std::size_t>(index)]; }
    TMenuItem* Parent() const { return FParent; }
    // Appends item to the sub-items (leaving its former parent).
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);

    // Runs OnClick while enabled.
    virtual void Click();
    TNotifyEvent OnClick;

    // A layout's item entry sits in a menu or in another item.
    void SetParentComponent(TComponent* parent) override;

private:
    AnsiString FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
};

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* AOwner);
    // The menu bar's entries are the sub-items of this item.
    TMenuItem* Items() const { return FItems; }

private:
    TMenuItem* FItems;
};
