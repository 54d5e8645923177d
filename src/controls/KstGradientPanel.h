#pragma once
// TKstGradientPanel: a container that fills itself with a two-colour
// gradient. A plain look for now: the fill runs along one axis.
#include <string>

#include "controls/GradientFill.h"
#include "ui/StdCtrls.h"

namespace controls {

class TKstGradientPanel : public ui::TCustomControl {
public:
    explicit TKstGradientPanel(ui::TComponent* AOwner);

    ui::TColor StartColor() const { return startColor_; }
    void SetStartColor(ui::TColor v);
    ui::TColor EndColor() const { return endColor_; }
    void SetEndColor(ui::TColor v);
    ui::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(ui::TColor v) { shadowColor_ = v; }
    TGradientStyle GradientStyle() const { return gradientStyle_; }
    void SetGradientStyle(TGradientStyle v);
    int ShadowOffsetX() const { return shadowOffsetX_; }
    void SetShadowOffsetX(int v) { shadowOffsetX_ = v; }
    int ShadowOffsetY() const { return shadowOffsetY_; }
    void SetShadowOffsetY(int v) { shadowOffsetY_ = v; }

protected:
    void Paint() override;

private:
    ui::TColor startColor_ = 0xFF0000;
    ui::TColor endColor_ = 0x000000;
    ui::TColor shadowColor_ = 0x000000;
    TGradientStyle gradientStyle_ = gsHorizontal;
    int shadowOffsetX_ = 1;
    int shadowOffsetY_ = 1;
};

} // namespace controls
