#pragma once
// TFlatCheckBox: an owner-drawn check box. Every change of Checked, by the
// user or by code, runs Click and so OnClick; a mouse click that toggles it
// runs OnClick twice (the library's click on release with the old state,
// then the toggle with the new one).
#include "ui/Control.h"

namespace controls {

enum TCheckBoxLayout { checkboxLeft, checkboxRight };

class TFlatCheckBox : public ui::TCustomControl {
public:
    explicit TFlatCheckBox(ui::TComponent* AOwner);

    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    TCheckBoxLayout Layout() const { return layout_; }
    void SetLayout(TCheckBoxLayout v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    ui::TColor ColorFocused() const { return colorFocused_; }
    ui::TColor ColorDown() const { return colorDown_; }
    ui::TColor ColorCheck() const { return colorCheck_; }
    ui::TColor ColorBorder() const { return colorBorder_; }
    bool Hot() const { return hot_; }
    bool Tracking() const { return tracking_; }
    bool HasFocus() const { return hasFocus_; }

    // The 11 x 11 box inside the client area.
    ui::TRect BoxRect();

protected:
    void Paint() override;
    void WndProc(ui::TMessage& m) override;
    void MouseLeave() override;
    void EnabledChanged() override;
    bool DialogChar(char Key) override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseMove(ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void PaintBoxAndMark();
    void PaintCheckCaption();

    bool checked_ = false;
    bool hot_ = false;
    bool tracking_ = false;
    bool hasFocus_ = false;
    bool transparent_ = false;
    TCheckBoxLayout layout_ = checkboxLeft;
    ui::TColor colorFocused_ = 0xFFFFFF;
    ui::TColor colorDown_ = 0xC5D6D9;
    ui::TColor colorCheck_ = 0;
    ui::TColor colorBorder_ = 0x8396A0;
};

} // namespace controls
