#pragma once
// TLbSpeedButton: a windowless push button with a caption, an optional strip
// of glyph cells, hot tracking, a pressed look, radio-style groups, colour
// presets, three face styles and an arrow announcing a popup menu.
#include <memory>
#include <string>

#include "controls/FlatUtilitys.h"
#include "ui/Bitmap.h"
#include "ui/Control.h"
#include "ui/StdCtrls.h"

namespace controls {

enum TLbColorStyle : uint8_t { lcsCustom, lcsGold, lcsChrome, lcsBlue, lcsRed, lcsUltraFlat1, lcsUltraFlat2, lcsAqua };
enum TLbSpeedButtonStyle : uint8_t { bsNormal, bsEncarta, bsModern };
using TLbSpeedButtonLayout = TButtonLayout;

class TLbSpeedButton : public ui::TGraphicControl {
public:
    explicit TLbSpeedButton(ui::TComponent* AOwner);

    ui::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ui::TAlignment v) {
        alignment_ = v;
        Changed();
    }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    ui::TColor ColorWhenDown() const { return colorWhenDown_; }
    void SetColorWhenDown(ui::TColor v) {
        colorWhenDown_ = v;
        Changed();
    }
    ui::TColor HotTrackColor() const { return hotTrackColor_; }
    void SetHotTrackColor(ui::TColor v) {
        hotTrackColor_ = v;
        Changed();
    }
    ui::TColor LightColor() const { return lightColor_; }
    void SetLightColor(ui::TColor v) {
        lightColor_ = v;
        Changed();
    }
    ui::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(ui::TColor v) {
        shadowColor_ = v;
        Changed();
    }
    bool Down() const { return down_; }
    // A grouped button going down (or up) takes every other member of its
    // group under the same parent up.
    void SetDown(bool v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v) {
        flat_ = v;
        Changed();
    }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) {
        wordWrap_ = v;
        Changed();
    }
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) {
        groupIndex_ = v;
        Changed();
    }
    TLbSpeedButtonLayout Layout() const { return layout_; }
    void SetLayout(TLbSpeedButtonLayout v) {
        layout_ = v;
        Changed();
    }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v) {
        numGlyphs_ = v < 0 ? 0 : v;
        Changed();
    }
    ui::TBitmap* Glyph() const { return glyph_.get(); }
    // Copies the picture; NumGlyphs becomes its width over its height.
    void SetGlyph(ui::TBitmap* v);
    TLbSpeedButtonStyle Style() const { return style_; }
    // bsModern needs more than 256 colours on the screen; else bsNormal.
    void SetStyle(TLbSpeedButtonStyle v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Writing a preset sets the colours, Flat and Style of its row; the
    // property itself always reads lcsCustom.
    TLbColorStyle ColorStyle() const { return lcsCustom; }
    void SetColorStyle(TLbColorStyle v);
    bool Hot() const { return hot_; }

    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseExit;

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool DialogChar(char Key) override;
    void TextChanged() override;

private:
    // The repaint step of every writer.
    void Changed();
    void PressWithLeft();

    ui::TAlignment alignment_ = ui::taLeftJustify;
    bool allowAllUp_ = false;
    ui::TColor colorWhenDown_ = ui::clNone;
    ui::TColor hotTrackColor_ = ui::clNone;
    ui::TColor lightColor_ = 0xFFFFFF;
    ui::TColor shadowColor_ = 0;
    bool down_ = false;
    bool flat_ = false;
    bool wordWrap_ = false;
    std::unique_ptr<ui::TBitmap> glyph_ = std::make_unique<ui::TBitmap>();
    int groupIndex_ = 0;
    TLbSpeedButtonLayout layout_ = blGlyphLeft;
    int numGlyphs_ = 0;
    TLbSpeedButtonStyle style_ = bsNormal;
    bool transparent_ = false;
    bool hot_ = false;
};

// Everything the face of a TLbSpeedButton depends on.
struct TLbFace {
    int W = 0, H = 0;
    ui::TAlignment Alignment = ui::taLeftJustify;
    std::string Caption;
    TLbSpeedButtonLayout Layout = blGlyphLeft;
    ui::TFont* Font = nullptr;
    ui::TColor ShadowColor = 0, LightColor = 0xFFFFFF, HotTrackColor = ui::clNone, ColorWhenDown = ui::clNone;
    ui::TColor Color = 0;
    TLbSpeedButtonStyle Style = bsNormal;
    bool HasPopup = false, WordWrap = false, Flat = false, Enabled = true, Transparent = false, Hot = false,
         Down = false;
    ui::TBitmap* Glyph = nullptr;
    int NumGlyphs = 0;
};

void DrawLbButtonFace(ui::TCanvas* Canvas, const TLbFace& f);
// 32 bands from From (top) to To over the rectangle, without outline.
void DrawVerticalGradient(ui::TCanvas* Canvas, ui::TColor From, ui::TColor To, int Left, int Top, int Right,
                          int Bottom);

}  // namespace controls
