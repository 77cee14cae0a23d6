#include "vcl/stdctrls.h"

#include "vcl/formloader.h"
#include "vcl/forms.h"
#include "vcl/nativeglue.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 65, 17);
    SetColor(clBtnFace);
}

void TLabel::SetCaption(const AnsiString& value) {
    if (value == FCaption) return;
    FCaption = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TLabel::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
    if (value == FWordWrap) return;
    FWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
    if (value == FShowAccelChar) return;
    FShowAccelChar = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::FontChanged() {
    AdjustBounds();
    TGraphicControl::FontChanged();
}

void TLabel::DoDrawText(TCanvas* canvas, TRect& rect, UINT flags) {
    AnsiString text = FCaption;
    // An empty text (or a lone "&") is measured as one blank, so the label keeps a line's height.
    if ((flags & DT_CALCRECT) && (text.IsEmpty() || (FShowAccelChar && text == "&")))
        text += " ";
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    canvas->SetFont(Font());
    DrawTextA(canvas->Handle(), text.c_str(), text.Length(), &rect, flags);
}

void TLabel::Paint() {
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    TCanvas* canvas = Canvas();
    if (!FTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(ClientRect());
    }
    canvas->Brush()->SetStyle(bsClear);
    TRect rect = ClientRect();
    DoDrawText(canvas, rect, (FWordWrap ? DT_WORDBREAK : 0) | alignments[FAlignment]);
}

void TLabel::AdjustBounds() {
    if (!FAutoSize) return;
    // Measured on a canvas of its own: the label's canvas draws only while its parent paints.
    TBitmap scratch;
    TRect rect = ClientRect();
    DoDrawText(scratch.Canvas(), rect, DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    int x = Left();
    if (FAlignment == taRightJustify) x += Width() - rect.Right;
    SetBounds(x, Top(), rect.Right, rect.Bottom);
}

// ---- TEdit ----

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
    SetTabStop(true);
}

void TEdit::SetText(const AnsiString& value) {
    if (value == FText) return;
    FText = value;
    nativeglue::SetText(this, FText);  // the widget's own signal then finds no change
    RunFromNotification([this] { Change(); });
}

void TEdit::Change() {
    if (OnChange) OnChange(this);
}

void TEdit::WidgetCreated() {
    nativeglue::SetFont(this);
    nativeglue::SetText(this, FText);
}

void TEdit::FontChanged() {
    TWinControl::FontChanged();
    nativeglue::SetFont(this);
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::SetCaption(const AnsiString& value) {
    FCaption = value;
    nativeglue::SetText(this, FCaption);
}

void TButton::SetDefault(bool value) {
    FDefault = value;
    nativeglue::SetDefault(this, value);
}

void TButton::Click() {
    if (FModalResult != mrNone) {
        TWinControl* top = Parent();
        while (top && top->Parent()) top = top->Parent();
        if (auto* form = dynamic_cast<TForm*>(top)) form->SetModalResult(FModalResult);
    }
    TWinControl::Click();
}

void TButton::WidgetCreated() {
    nativeglue::SetFont(this);
    nativeglue::SetText(this, FCaption);
    nativeglue::SetDefault(this, FDefault);
}

void TButton::FontChanged() {
    TWinControl::FontChanged();
    nativeglue::SetFont(this);
}

// ---- TButtonControl, TCheckBox, TRadioButton ----

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 97, 17);
    SetColor(clBtnFace);
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetTabStop(true); }

void TButtonControl::SetCaption(const AnsiString& value) {
    FCaption = value;
    nativeglue::SetText(this, FCaption);
}

void TButtonControl::WidgetCreated() {
    nativeglue::SetFont(this);
    nativeglue::SetText(this, FCaption);
    nativeglue::SetChecked(this, FChecked);
}

void TButtonControl::FontChanged() {
    TWinControl::FontChanged();
    nativeglue::SetFont(this);
}

void TButtonControl::WidgetToggled(bool checked) {
    if (checked != FChecked) SetChecked(checked);
}

void TCheckBox::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    nativeglue::SetChecked(this, value);
    Click();
}

void TRadioButton::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    SetTabStop(value);
    if (value && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
            if (other && other != this && other->FChecked) {
                other->FChecked = false;
                other->SetTabStop(false);
                nativeglue::SetChecked(other, false);
            }
        }
    }
    nativeglue::SetChecked(this, value);
    if (value) Click();
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 185, 105);
    SetColor(clBtnFace);
}

void TGroupBox::SetCaption(const AnsiString& value) {
    FCaption = value;
    Invalidate();
}

void TGroupBox::PaintWindow(TCanvas* canvas) {
    canvas->SetFont(Font());
    TRect text(0, 0, 0, 0);
    const AnsiString measured = FCaption.IsEmpty() ? AnsiString("0") : FCaption;
    DrawTextA(canvas->Handle(), measured.c_str(), measured.Length(), &text, DT_CALCRECT | DT_SINGLELINE);
    // An etched frame: a shadow line with a highlight line one pixel right and below it.
    const int top = text.Bottom / 2;
    auto frame = [canvas](const TRect& r, TColor color) {
        canvas->Brush()->SetColor(color);
        canvas->FillRect(TRect(r.Left, r.Top, r.Right, r.Top + 1));
        canvas->FillRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        canvas->FillRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom));
        canvas->FillRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom));
    };
    canvas->Brush()->SetStyle(bsSolid);
    frame(TRect(1, top + 1, Width(), Height()), clBtnHighlight);
    frame(TRect(0, top, Width() - 1, Height() - 1), clBtnShadow);
    if (FCaption.IsEmpty()) return;
    TRect caption(8, 0, 8 + text.Right + 2, text.Bottom);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(caption);
    canvas->Brush()->SetStyle(bsClear);
    caption.Left += 1;
    DrawTextA(canvas->Handle(), FCaption.c_str(), FCaption.Length(), &caption, DT_SINGLELINE);
}
