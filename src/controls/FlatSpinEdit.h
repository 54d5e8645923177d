#pragma once
// TFlatSpinEditInteger: an integer entry field kept within MinValue..MaxValue
// and stepped by Increment with the Up and Down keys. (The spin arrows and
// the flat frame come with the control family.)
#include "ui/StdCtrls.h"

namespace controls {

class TFlatSpinEditInteger : public ui::TCustomEdit {
public:
    explicit TFlatSpinEditInteger(ui::TComponent* AOwner);

    int MinValue() const { return minValue_; }
    void SetMinValue(int v) { minValue_ = v; }
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v) { maxValue_ = v; }
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    // The text as a decimal number; MinValue when it is not one.
    int Value();
    // Writes the number clamped to the range (no range when MinValue equals
    // MaxValue).
    void SetValue(int v);
    int ClampToRange(int v) const;

protected:
    void KeyDown(WORD& Key, ui::TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;

private:
    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
};

} // namespace controls
