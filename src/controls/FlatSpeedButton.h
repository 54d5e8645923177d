#pragma once
// TFlatSpeedButton: a windowless flat push button. Buttons with the same
// non-zero GroupIndex under one parent form a group in which at most one is
// down; with AllowAllUp a down button may come up again. Writing Down runs
// no click. (Its full drawing comes with the control family; this one draws
// a plain flat face.)
#include "ui/Control.h"

namespace controls {

class TFlatSpeedButton : public ui::TGraphicControl {
public:
    explicit TFlatSpeedButton(ui::TComponent* AOwner);

    bool Down() const { return down_; }
    void SetDown(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);

protected:
    void Paint() override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;

private:
    // Releases the other down buttons of the group under the same parent.
    void ReleaseGroup();

    bool down_ = false;
    bool allowAllUp_ = false;
    bool tracking_ = false;
    int groupIndex_ = 0;
};

} // namespace controls
