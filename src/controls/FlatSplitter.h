#pragma once
// TFlatSplitter: a windowless bar beside a control aligned to the same side
// of the parent; dragging it with the left button resizes that control,
// never below MinSize, and OnMoved follows each drag. A plain look for now.
#include "ui/Control.h"

namespace controls {

class TFlatSplitter : public ui::TGraphicControl {
public:
    explicit TFlatSplitter(ui::TComponent* AOwner);

    int MinSize() const { return minSize_; }
    void SetMinSize(int v) { minSize_ = v < 1 ? 1 : v; }

    ui::TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;

private:
    ui::TControl* FindSizedControl() const;

    int minSize_ = 30;
    bool dragging_ = false;
    int downX_ = 0;
};

} // namespace controls
