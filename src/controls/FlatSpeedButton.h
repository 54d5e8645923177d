#pragma once
// TFlatSpeedButton: a windowless push button with a flat face: a one-pixel
// frame while idle, raised under the pointer, sunken while pressed or
// latched down. Buttons sharing a non-zero GroupIndex under one parent form
// a group in which at most one is down. Writing Down runs no click; a click
// hands ModalResult to the parent form.
#include <memory>
#include <string>

#include "controls/FlatUtilitys.h"
#include "ui/Bitmap.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace ui {
class TCustomImageList;
}

namespace controls {

class TFlatSpeedButton : public ui::TGraphicControl, private IHoverTarget {
public:
    explicit TFlatSpeedButton(ui::TComponent* AOwner);
    ~TFlatSpeedButton() override;

    enum : uint8_t { bsUp = 0, bsDisabled = 1, bsDown = 2, bsExclusive = 3 };

    bool Down() const { return down_; }
    void SetDown(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);

    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode v) {
        transparentMode_ = v;
        Invalidate();
    }
    ui::TColor ColorFocused() const { return colors_[0]; }
    void SetColorFocused(ui::TColor v) { SetColorAt(0, v); }
    ui::TColor ColorDown() const { return colors_[1]; }
    void SetColorDown(ui::TColor v) { SetColorAt(1, v); }
    ui::TColor ColorBorder() const { return colors_[2]; }
    void SetColorBorder(ui::TColor v) { SetColorAt(2, v); }
    ui::TColor ColorHighLight() const { return colors_[3]; }
    void SetColorHighLight(ui::TColor v) { SetColorAt(3, v); }
    ui::TColor ColorShadow() const { return colors_[4]; }
    void SetColorShadow(ui::TColor v) { SetColorAt(4, v); }
    TAdvColors AdvColorFocused() const { return adv_[0]; }
    void SetAdvColorFocused(TAdvColors v) { SetAdvAt(0, v); }
    TAdvColors AdvColorDown() const { return adv_[1]; }
    void SetAdvColorDown(TAdvColors v) { SetAdvAt(1, v); }
    TAdvColors AdvColorBorder() const { return adv_[2]; }
    void SetAdvColorBorder(TAdvColors v) { SetAdvAt(2, v); }
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);

    // The picture is copied. A strip whose width is a whole multiple of its
    // height sets NumGlyphs to that multiple (1 above 4).
    ui::TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(ui::TBitmap* v);
    // Cells of the glyph strip: up, disabled, down, latched; kept in 1..4.
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    // -1: automatic; values below -1 are ignored.
    int Margin() const { return margin_; }
    void SetMargin(int v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    ui::TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(ui::TModalResult v) { modalResult_ = v; }

    uint8_t ButtonState() const { return state_; }
    bool Hot() const { return hot_; }
    bool Tracking() const { return tracking_; }
    ui::TRect CaptionRect() const { return captionRect_; }
    ui::TPoint GlyphPoint() const { return glyphPoint_; }

    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseLeave;

    void Click() override;
    // The glyph's.
    HPALETTE GetPalette() override { return glyph_->Palette(); }

protected:
    void Paint() override;
    void Loaded() override;
    void DblClick() override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseMove(ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void ColorChanged() override;
    bool DialogChar(char Key) override;
    // Besides what every control takes from its action: a button without a
    // glyph shows the action's image of its action list.
    void ActionChange(ui::TObject* Sender, bool CheckDefaults) override;

private:
    void SetColorAt(int i, ui::TColor v);
    void SetAdvAt(int i, TAdvColors v);
    void DeriveAdvColors();
    void BroadcastGroupDown();
    void GroupMemberWentDown(TFlatSpeedButton* sender);
    void HoverOn() override;
    void HoverOff() override;
    void ReleaseHoverTimer();
    // Hot again exactly while the pointer is over the button, from where the
    // pointer is now (a click's handler may have moved it away).
    void RecheckPointerInside();
    bool PointerOver() const;
    bool Inside(int x, int y) { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    void PaintGlyph(ui::TCanvas* c);
    void GlyphFromImageList(ui::TCustomImageList* Images, int Index);

    std::unique_ptr<ui::TBitmap> glyph_ = std::make_unique<ui::TBitmap>();
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphTop;
    int margin_ = -1;
    int spacing_ = 4;
    bool down_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    TTransparentMode transparentMode_ = tmNone;
    ui::TColor colors_[5] = {0xE1EAEB, 0xC5D6D9, 0x8396A0, 0xFFFFFF, 0x000000};
    TAdvColors adv_[3] = {10, 10, 50};
    bool useAdvColors_ = false;
    ui::TModalResult modalResult_ = ui::mrNone;
    uint8_t state_ = bsUp;
    bool hot_ = false;
    bool tracking_ = false;
    ui::TRect captionRect_{};
    ui::TPoint glyphPoint_{};
};

}  // namespace controls
