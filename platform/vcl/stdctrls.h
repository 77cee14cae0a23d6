// The class library's standard controls unit, as far as the programs use it: TLabel, a
// windowless text control painted by its parent; the edit, push button, check box and radio
// button, toolkit widgets whose state lives here (the toolkit's signals bring the user's changes
// back); and the group box, a windowed parent that paints its own frame and caption.
#pragma once

#include <cstdint>

#include "vcl/controls.h"

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    // "&x" shows x underlined and "&&" one "&", while ShowAccelChar is true.
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // An auto-sized label takes the size of its text whenever the text or the font changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // A transparent label leaves what lies beneath it visible between its letters.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);

    void Loaded() override;

protected:
    void Paint() override;
    void FontChanged() override;

private:
    void AdjustBounds();
    void DoDrawText(TCanvas* canvas, TRect& rect, UINT flags);

    AnsiString FCaption;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};

// The result a modal form ends with; a button's ModalResult becomes its form's when clicked.
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                       mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8;

// Stands in for the Windows edit control with a QLineEdit.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);

    AnsiString Text() const { return FText; }
    // Runs OnChange when the text differs from the one held, from code as from typing; as the
    // edit's own notification, so an exception it raises is reported and the setter goes on.
    void SetText(const AnsiString& value);

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    TNativeWindow* CreateWidget(TNativeWindow* parent) override;
    void WidgetCreated() override;
    bool PaintsOwnClient() const override { return false; }
    void FontChanged() override;

private:
    AnsiString FText;
};

// Stands in for the Windows push button with a QPushButton.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    // "&x" marks the access key x; "&&" is one "&".
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    // Clicking the button gives its form this modal result (mrNone: none).
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }
    // The default button is pressed by Enter, the cancel button by Escape.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }

    // What a press does: the form takes the modal result, then OnClick runs.
    void Click() override;

protected:
    TNativeWindow* CreateWidget(TNativeWindow* parent) override;
    void WidgetCreated() override;
    bool PaintsOwnClient() const override { return false; }
    void FontChanged() override;

private:
    AnsiString FCaption;
    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
};

// The common part of the check box and the radio button: a caption and a checked state.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    bool Checked() const { return FChecked; }
    virtual void SetChecked(bool value) = 0;

protected:
    bool PaintsOwnClient() const override { return false; }
    void WidgetCreated() override;
    void FontChanged() override;
    // The toolkit widget changed its state (the user clicked it).
    void WidgetToggled(bool checked);

    AnsiString FCaption;
    bool FChecked = false;
};

// Stands in for the Windows check box with a QCheckBox.
class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    // Runs OnClick when the state changes, from code as from a click; from code it is a direct
    // call, so an exception it raises passes to the code that set the state.
    void SetChecked(bool value) override;

protected:
    TNativeWindow* CreateWidget(TNativeWindow* parent) override;
};

// Stands in for the Windows radio button with a QRadioButton; the radio buttons of one parent
// exclude each other, and Tab stops at the checked one (the arrow keys move between them).
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {}
    // Checking unchecks the other radio buttons of the parent, then runs OnClick (from code a
    // direct call, as for the check box); unchecking runs nothing; a value the button already
    // has changes nothing.
    void SetChecked(bool value) override;

protected:
    TNativeWindow* CreateWidget(TNativeWindow* parent) override;
};

// A windowed parent with a frame and a caption at its top left; stands in for the Windows group
// box with a widget that paints them itself.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);

    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);

protected:
    void PaintWindow(TCanvas* canvas) override;

private:
    AnsiString FCaption;
};
