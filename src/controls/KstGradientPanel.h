#pragma once
// TKstGradientPanel: a container that fills itself with a two-colour gradient
// and draws a one-line caption over a drop shadow (anti-aliased).
#include <memory>
#include <string>

#include "controls/GradientFill.h"
#include "ui/Bitmap.h"
#include "ui/StdCtrls.h"

namespace controls {

class TKstGradientPanel : public ui::TCustomControl {
public:
    // A windowed owner becomes the first parent (the loader later sets the
    // real one); any other owner leaves the panel without one.
    explicit TKstGradientPanel(ui::TComponent* AOwner);

    void SetName(const std::string& v) override;

    // The panel's own caption (not the window text).
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    ui::TColor StartColor() const { return startColor_; }
    void SetStartColor(ui::TColor v);
    ui::TColor EndColor() const { return endColor_; }
    void SetEndColor(ui::TColor v);
    ui::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(ui::TColor v);
    TGradientStyle GradientStyle() const { return gradientStyle_; }
    void SetGradientStyle(TGradientStyle v);
    ui::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ui::TAlignment v);
    int ShadowOffsetX() const { return shadowOffsetX_; }
    void SetShadowOffsetX(int v);
    int ShadowOffsetY() const { return shadowOffsetY_; }
    void SetShadowOffsetY(int v);
    // Where a caption of the given size stands.
    ui::TPoint CaptionPos(int TW, int TH) const;

protected:
    void Paint() override;
    void Resize() override;

private:
    std::unique_ptr<ui::TBitmap> gradient_ = std::make_unique<ui::TBitmap>();
    std::string caption_;
    ui::TColor startColor_;
    ui::TColor endColor_;
    ui::TColor shadowColor_;
    TGradientStyle gradientStyle_ = gsHorizontal;
    ui::TAlignment alignment_ = ui::taLeftJustify;
    int shadowOffsetX_ = 1;
    int shadowOffsetY_ = 1;
};

}  // namespace controls
