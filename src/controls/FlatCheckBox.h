#pragma once
// TFlatCheckBox: an owner-drawn check box. Every change of Checked, by the
// user or by code, runs Click and so OnClick; a mouse click that toggles it
// runs OnClick twice (the library's click on release with the old state,
// then the toggle with the new one).
#include "controls/FlatUtilitys.h"
#include "ui/Control.h"

namespace controls {

class TFlatCheckBox : public ui::TCustomControl, private IHoverTarget {
public:
    explicit TFlatCheckBox(ui::TComponent* AOwner);
    ~TFlatCheckBox() override;

    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    TCheckBoxLayout Layout() const { return layout_; }
    void SetLayout(TCheckBoxLayout v);
    // bdRightToLeft puts the box at the right, every other mode at the left.
    void SetBiDiMode(ui::TBiDiMode v) override;
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    ui::TColor ColorFocused() const { return colorFocused_; }
    void SetColorFocused(ui::TColor v) { SetColorAt(colorFocused_, v); }
    ui::TColor ColorDown() const { return colorDown_; }
    void SetColorDown(ui::TColor v) { SetColorAt(colorDown_, v); }
    ui::TColor ColorCheck() const { return colorCheck_; }
    void SetColorCheck(ui::TColor v) { SetColorAt(colorCheck_, v); }
    ui::TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(ui::TColor v) { SetColorAt(colorBorder_, v); }
    // With UseAdvColors the focus, down and border colours are derived from
    // Color by these percentages (lighter, darker, darker).
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);
    TAdvColors AdvColorFocused() const { return advFocused_; }
    void SetAdvColorFocused(TAdvColors v) { SetAdvAt(advFocused_, v); }
    TAdvColors AdvColorDown() const { return advDown_; }
    void SetAdvColorDown(TAdvColors v) { SetAdvAt(advDown_, v); }
    TAdvColors AdvColorBorder() const { return advBorder_; }
    void SetAdvColorBorder(TAdvColors v) { SetAdvAt(advBorder_, v); }
    bool Hot() const { return hot_; }
    bool Tracking() const { return tracking_; }
    bool HasFocus() const { return hasFocus_; }
    // The dotted rectangle around the caption shows: the box has the focus,
    // which came otherwise than by a click on it, and the window shows
    // focus cues.
    bool ShowsFocusCue();

    // The 11 x 11 box inside the client area.
    ui::TRect BoxRect();

protected:
    void Paint() override;
    void WndProc(ui::TMessage& m) override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void ColorChanged() override;
    bool DialogChar(char Key) override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseMove(ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void PaintBoxAndMark();
    void DeriveAdvColors();
    void SetColorAt(ui::TColor& field, ui::TColor v);
    void SetAdvAt(TAdvColors& field, TAdvColors v);
    void PaintCheckCaption();
    // The focus came (Gained) or went: the caption's focus rectangle follows.
    void FocusMoved(bool Gained);
    // Where the caption is drawn, and with which DrawText flags.
    ui::TRect CaptionRect(UINT& Flags);
    void HoverOn() override;
    void HoverOff() override;
    void ReleaseHoverTimer();

    bool checked_ = false;
    bool hot_ = false;
    bool tracking_ = false;
    bool hasFocus_ = false;
    bool clicking_ = false;    // a button press on the box is being handled
    bool clickFocus_ = false;  // the focus came by a click on the box
    bool transparent_ = false;
    TCheckBoxLayout layout_ = checkboxLeft;
    ui::TColor colorFocused_ = 0xFFFFFF;
    ui::TColor colorDown_ = 0xC5D6D9;
    ui::TColor colorCheck_ = 0;
    ui::TColor colorBorder_ = 0x8396A0;
    bool useAdvColors_ = false;
    TAdvColors advFocused_ = 10;
    TAdvColors advDown_ = 10;
    TAdvColors advBorder_ = 50;
};

}  // namespace controls
