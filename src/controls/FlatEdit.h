#pragma once
// TCustomFlatEdit and TFlatEdit: a single-line edit whose 3-D border is
// replaced by a flat 3-pixel frame drawn in the non-client area (a one-pixel
// border line and a two-pixel band in the face colour). The face shows
// ColorFlat while idle and ColorFocused while focused or hovered; a hovered
// edit stays flat while a TFlatEdit holds the focus (a spin edit does not
// count).
#include <cstdint>

#include "ui/StdCtrls.h"

namespace controls {

using TAdvColors = uint8_t;  // 0..100, a percentage

class TCustomFlatEdit : public ui::TCustomEdit {
public:
    explicit TCustomFlatEdit(ui::TComponent* AOwner);

    ui::TColor ColorFocused() const { return colorFocused_; }
    void SetColorFocused(ui::TColor v);
    ui::TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(ui::TColor v);
    // Writing it turns ParentColor off.
    ui::TColor ColorFlat() const { return colorFlat_; }
    void SetColorFlat(ui::TColor v);
    // The edit's own flag: ColorFlat follows the parent's Color. Turning it
    // on takes the parent's colour at once.
    bool ParentColor() const { return flatParentColor_; }
    void SetParentColor(bool v);
    TAdvColors AdvColorFocused() const { return advColorFocused_; }
    void SetAdvColorFocused(TAdvColors v);
    TAdvColors AdvColorBorder() const { return advColorBorder_; }
    void SetAdvColorBorder(TAdvColors v);
    // ColorFocused and ColorBorder derived from ColorFlat's lightness.
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);
    bool Hot() const { return hot_; }
    // Whether the frame shows the focused look now.
    bool ActiveLook();

protected:
    void Loaded() override;
    void WndProc(ui::TMessage& m) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void FontChanged() override;
    // Height := the font's height + 6 (the frame and the margins).
    void AdjustFlatHeight();
    void PaintEditFrame();
    void DrawEditFrame(HDC dc);

private:
    void DeriveAdvColors();
    void FollowParentColor();

    bool useAdvColors_ = false;
    TAdvColors advColorFocused_ = 10;
    TAdvColors advColorBorder_ = 50;
    bool flatParentColor_ = true;
    ui::TColor colorFocused_ = 0xFFFFFF;
    ui::TColor colorBorder_ = 0x8396A0;
    ui::TColor colorFlat_ = 0xE1EAEB;
    bool hot_ = false;
};

class TFlatEdit : public TCustomFlatEdit {
public:
    explicit TFlatEdit(ui::TComponent* AOwner) : TCustomFlatEdit(AOwner) {}
};

}  // namespace controls
