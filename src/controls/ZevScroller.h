#pragma once
// TZevScroller: a slider holding an integer position between Min and Max.
// Writing Position clamps it to the range and raises no event; a change the
// user makes (arrow and page keys, a press on the track) raises OnChange.
// A plain look for now: a groove with a thumb.
#include "ui/Control.h"

namespace controls {

enum TKindd { tbHorizontal, tbVertical };

class TZevScroller : public ui::TCustomControl {
public:
    explicit TZevScroller(ui::TComponent* AOwner);

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    TKindd Kind() const { return kind_; }
    void SetKind(TKindd v);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int v) { smallChange_ = v < 1 ? 1 : v; }
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int v) { largeChange_ = v < 1 ? 1 : v; }

    ui::TNotifyEvent OnChange;

    // The position the user moved to: clamped, and OnChange when it changed.
    void UserMoveTo(int v);

protected:
    void Paint() override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void KeyDown(WORD& Key, ui::TShiftState Shift) override;
    void WndProc(ui::TMessage& m) override;

private:
    int Clamp(int v) const;
    ui::TRect ThumbRect();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int smallChange_ = 1;
    int largeChange_ = 10;
    TKindd kind_ = tbHorizontal;
};

} // namespace controls
