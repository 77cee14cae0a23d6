#include "vcl/spin.h"

#include "rtl/sysutils.h"
#include "vcl/nativeglue.h"

TCSpinEdit::TCSpinEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
}

int TCSpinEdit::CheckValue(int value) const {
    if (FMaxValue == FMinValue) return value;
    if (value < FMinValue) return FMinValue;
    if (value > FMaxValue) return FMaxValue;
    return value;
}

int TCSpinEdit::Value() {
    int value = 0;
    if (TryStrToInt(FText, value)) return CheckValue(value);
    value = CheckValue(0);
    SetText(IntToStr(value));
    return value;
}

void TCSpinEdit::SetValue(int value) { SetText(IntToStr(CheckValue(value))); }

void TCSpinEdit::SetMinValue(int value) {
    FMinValue = value;
    WidgetSetRange();
}

void TCSpinEdit::SetMaxValue(int value) {
    FMaxValue = value;
    WidgetSetRange();
}

void TCSpinEdit::SetIncrement(int value) {
    FIncrement = value;
    WidgetSetRange();
}

void TCSpinEdit::SetText(const AnsiString& value) {
    if (value == FText) return;
    FText = value;
    nativeglue::SetText(this, FText);
    if (OnChange) OnChange(this);
}

void TCSpinEdit::WidgetCreated() {
    WidgetSetRange();
    nativeglue::SetFont(this);
    nativeglue::SetText(this, FText);
}

void TCSpinEdit::FontChanged() {
    TWinControl::FontChanged();
    nativeglue::SetFont(this);
}
