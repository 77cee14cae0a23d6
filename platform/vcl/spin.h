// The class library's spin edit (TCSpinEdit): an edit for an integer with up and down steps.
// Stands in for the Windows edit and its spin buttons with a Qt spin box that shows the text
// held here, integer or not, as the original edit holds any text; its arrows, the Up and Down
// keys and the wheel step the value held here.
#pragma once

#include "vcl/controls.h"

class TCSpinEdit : public TWinControl {
public:
    explicit TCSpinEdit(TComponent* AOwner);

    // The text read by the integer rules, kept within MinValue..MaxValue when the two differ.
    // A text that is no integer reads 0 (or the nearer bound), and the text becomes that value.
    int Value();
    void SetValue(int value);
    // Equal bounds (0 and 0 at first) mean no bounds.
    int MinValue() const { return FMinValue; }
    void SetMinValue(int value) { FMinValue = value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int value) { FMaxValue = value; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int value) { FIncrement = value; }

    AnsiString Text() const { return FText; }
    // Runs OnChange when the text differs from the one held, as the edit's own notification
    // (an exception it raises is reported and the setter goes on).
    void SetText(const AnsiString& value);

    TNotifyEvent OnChange;

protected:
    TNativeWindow* CreateWidget(TNativeWindow* parent) override;
    void WidgetCreated() override;
    bool PaintsOwnClient() const override { return false; }
    void FontChanged() override;
    // The up and down steps: the value moved by Increment per step, kept within the bounds and
    // within the signed 32-bit range.
    void Step(int steps);

private:
    int CheckValue(int value) const;

    AnsiString FText = "0";
    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
};
