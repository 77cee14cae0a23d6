// The class library's controls unit. TControl has bounds, alignment, visibility, colour, font
// and a parent; a TGraphicControl has no window of its own and is painted by its parent through
// its own canvas; a TWinControl is a toolkit widget (made once, through CreateWidget, by the
// glue in vcl/qt/), whose properties live here and are pushed to the widget. A windowed control
// paints by rendering its client area into an off-screen bitmap (its Color, its own drawing,
// then its graphic children in creation order, first at the bottom) and putting that bitmap on
// the widget 1:1. Stands in for the window-based controls of the original class library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "rtl/classes.h"
#include "rtl/color.h"
#include "vcl/graphics.h"

class TWinControl;
class TWidgetGlue;
// The toolkit widget of a windowed control; only the glue (vcl/qt/) knows what it is.
struct TNativeWindow;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The mouse pointer's shape over a control: the standard ones below, or one the program adds
// (positive values).
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22, crSize = -22;

// How a control names its help topic: by HelpKeyword or by HelpContext.
enum THelpType : std::uint8_t { htKeyword, htContext };
using THelpContext = int;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// A set of shift and button states: TShiftState() << ssShift.
class TShiftState {
public:
    TShiftState& operator<<(TShiftFlag s) { FBits |= 1u << s; return *this; }
    bool Contains(TShiftFlag s) const { return FBits & (1u << s); }
    friend bool operator==(TShiftState, TShiftState) = default;

private:
    unsigned FBits = 0;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    // Appends the control to the new parent's controls (its drawing order) after leaving the
    // old parent's.
    virtual void SetParent(TWinControl* AParent);
    void SetParentComponent(TComponent* parent) override;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    // Moves and sizes the control in its parent's client coordinates; does nothing when nothing
    // changes. An aligned control then has its parent align it again.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }

    // The client area (0, 0, ClientWidth, ClientHeight); the whole control unless a windowed
    // class has a frame.
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    TRect ClientRect() const { return TRect(0, 0, ClientWidth(), ClientHeight()); }
    void SetClientWidth(int value) { SetBounds(FLeft, FTop, FWidth - ClientWidth() + value, FHeight); }
    void SetClientHeight(int value) { SetBounds(FLeft, FTop, FWidth, FHeight - ClientHeight() + value); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // A control takes its parent's font while ParentFont is true; writing the font clears it.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);

    TNotifyEvent OnClick;

    // Kept as the layout gives them; nothing here acts on them yet: the pointer keeps the
    // toolkit's shape, no form shows hints (none publishes ShowHint), and F1 opens no help topic.
    TCursor Cursor = crDefault;
    AnsiString Hint;
    THelpType HelpType = htContext;
    AnsiString HelpKeyword;
    THelpContext HelpContext = 0;

    // Marks the control's area for painting by the message loop.
    virtual void Invalidate();
    // Paints what is marked in the control's window now.
    virtual void Update();
    void Repaint() { Invalidate(); Update(); }

protected:
    virtual void Click();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {}
    virtual void MouseMove(TShiftState Shift, int X, int Y) {}
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {}
    virtual void FontChanged() { Invalidate(); }
    // The size or place changed (after the fields, before the new area is marked).
    virtual void BoundsChanged() {}

private:
    friend class TWinControl;
    friend class TWidgetGlue;
    void TakeParentFont();

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FTakingParentFont = false;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    // Draws on the parent's paint buffer while the parent paints this control, clipped to the
    // control; draws nothing at other times.
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}

private:
    friend class TWinControl;
    std::unique_ptr<TCanvas> FCanvas;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    // Destroys the child controls that are left, then the widget.
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls[static_cast<std::size_t>(index)]; }

    void SetParent(TWinControl* AParent) override;
    void SetVisible(bool value) override;
    void Invalidate() override;
    void Update() override;
    // Marks part of the client area for painting.
    virtual void InvalidateRect(const TRect& rect);

    // Aligned children are placed in the client area in the order alTop, alBottom, alLeft,
    // alRight, alClient; with alignment disabled the placing waits for EnableAlign.
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign();
    void Loaded() override;

    // Renders the client area as the widget shows it (without the toolkit-drawn widgets of
    // windowed children) into bitmap, which takes the client size.
    void PaintTo(TBitmap* bitmap);

    // The keyboard's order among the parent's windowed children: Tab walks them by TabOrder (equal
    // values keep creation order; a new child comes last), each one's own children right after
    // it, and stops at those with TabStop.
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value);

    // The widget, made on first need (its parent's first).
    TNativeWindow* Widget();
    // The window as the Windows calls take it (the owner of a dialog or a started program).
    HWND Handle() { return Widget(); }
    bool HandleAllocated() const { return FWidget != nullptr; }

protected:
    // Makes the control's widget as a child of parent (nullptr: a top-level window). The base
    // makes a plain widget that this control paints.
    virtual TNativeWindow* CreateWidget(TNativeWindow* parent);
    // After the widget is made and the common properties are pushed: push the class's own.
    virtual void WidgetCreated() {}
    // True when the control paints its client area (background, PaintWindow, graphic children);
    // false for widgets that the toolkit draws.
    virtual bool PaintsOwnClient() const { return true; }
    // Own drawing over the background, under the graphic children.
    virtual void PaintWindow(TCanvas* canvas) {}
    void BoundsChanged() override;
    void FontChanged() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
    // Runs what the control's own window notification sets off (an edit's text changed, typed
    // or set from code) as the window's message handling runs it: an exception goes to the
    // application's exception report, and the code that changed the control goes on.
    void RunFromNotification(const std::function<void()>& action);

private:
    friend class TControl;
    friend class TWidgetGlue;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void PaintClient(TBitmap* surface, TPoint origin, const TRect& clip);
    TControl* ControlAtPos(int x, int y) const;
    void CreateHandle();
    void DestroyHandle();
    // The windowed controls of this one's tree in the order Tab walks them.
    void AppendTabChain(std::vector<TWinControl*>& chain) const;
    // The window's tab chain given to its widgets again (once the window has them).
    void UpdateTabChain();
    // Defined by the glue.
    void WidgetSetTabChain(const std::vector<TWinControl*>& chain);
    void WidgetSetGeometry();
    void WidgetSetVisible();
    void WidgetUpdate(const TRect& rect);
    void WidgetRepaint(const TRect& rect);
    void WidgetDestroy();

    std::vector<TControl*> FControls;
    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<TBitmap> FPaintBuffer;
    TNativeWindow* FWidget = nullptr;
    TRect FInvalid;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    bool FAligning = false;
    bool FFromWidget = false;  // a size that comes from the widget is not pushed back
    TControl* FMouseControl = nullptr;  // the graphic child that took the mouse press
    int FTabOrder = 0;
    bool FTabStop = false;
};
