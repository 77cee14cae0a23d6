#include "vcl/spin.h"

#include <algorithm>
#include <cstdint>

#include "rtl/sysutils.h"
#include "vcl/nativeglue.h"

TCSpinEdit::TCSpinEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
    SetTabStop(true);
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

void TCSpinEdit::Step(int steps) {
    const std::int64_t value = std::int64_t{Value()} + std::int64_t{steps} * FIncrement;
    SetValue(static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX)));
}

void TCSpinEdit::SetText(const AnsiString& value) {
    if (value == FText) return;
    FText = value;
    nativeglue::SetText(this, FText);
    RunFromNotification([this] { if (OnChange) OnChange(this); });
}

void TCSpinEdit::WidgetCreated() {
    nativeglue::SetFont(this);
    nativeglue::SetText(this, FText);
}

void TCSpinEdit::FontChanged() {
    TWinControl::FontChanged();
    nativeglue::SetFont(this);
}
