#include "controls/KstGradientPanel.h"

#include "controls/ColorMath.h"
#include "controls/FlatUtilitys.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

TKstGradientPanel::TKstGradientPanel(TComponent* AOwner)
    : TCustomControl(AOwner), startColor_(clGradientActiveCaption), endColor_(clWindow), shadowColor_(clBtnShadow) {
    SetDoubleBuffered(true);
    SetControlStyle(ControlStyle() | csAcceptsControls | csSetCaption);
    SetBounds(0, 0, 161, 17);
    Font()->SetColor(clWindow);
    if (auto* parent = dynamic_cast<TWinControl*>(AOwner)) SetParent(parent);
    Invalidate();
}

void TKstGradientPanel::SetName(const std::string& v) {
    const auto* ownerControl = dynamic_cast<TControl*>(Owner());
    const bool follow = (ControlStyle() & csSetCaption) && !HasState(csLoading) && caption_ == Name() &&
                        !(ownerControl && ownerControl->HasState(csLoading));
    TCustomControl::SetName(v);
    if (follow) SetCaption(v);
}

void TKstGradientPanel::SetCaption(const std::string& v) {
    caption_ = v;
    Invalidate();
}

void TKstGradientPanel::SetStartColor(TColor v) {
    startColor_ = v;
    Invalidate();
}

void TKstGradientPanel::SetEndColor(TColor v) {
    endColor_ = v;
    Invalidate();
}

void TKstGradientPanel::SetShadowColor(TColor v) {
    shadowColor_ = v;
    Invalidate();
}

void TKstGradientPanel::SetGradientStyle(TGradientStyle v) {
    gradientStyle_ = v;
    Invalidate();
}

void TKstGradientPanel::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Invalidate();
}

void TKstGradientPanel::SetShadowOffsetX(int v) {
    if (v == shadowOffsetX_) return;
    shadowOffsetX_ = v;
    Invalidate();
}

void TKstGradientPanel::SetShadowOffsetY(int v) {
    if (v == shadowOffsetY_) return;
    shadowOffsetY_ = v;
    Invalidate();
}

// Repaints at once; a panel without a parent has nowhere to paint.
void TKstGradientPanel::Resize() {
    TCustomControl::Resize();
    if (Parent() && HandleAllocated()) Paint();
}

TPoint TKstGradientPanel::CaptionPos(int TW, int TH) const {
    const int y = NearestEven((Height() - TH) / 2.0);
    switch (alignment_) {
    case taRightJustify: return Point(Width() - TW - 4, y);
    case taCenter: return Point(NearestEven((Width() - TW) / 2.0), y);
    default: return Point(4, y);
    }
}

void TKstGradientPanel::Paint() {
    TCustomControl::Paint();
    const TRect cr = ClientRect();
    gradient_->SetSize(RectWidth(cr), RectHeight(cr));
    DrawGradient(gradient_.get(), nullptr, cr, startColor_, endColor_, gradientStyle_);
    TCanvas* c = Canvas();
    c->Draw(0, 0, gradient_.get());
    if (caption_.empty()) return;

    HDC dc = c->Handle();
    ScopedSaveDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    const int len = static_cast<int>(caption_.size());
    // The shadow in an anti-aliased copy of the font.
    LOGFONTA lf{};
    GetObjectA(Font()->Handle(), sizeof(lf), &lf);
    lf.lfQuality = ANTIALIASED_QUALITY;
    ScopedGdiObject<HFONT> smooth(CreateFontIndirectA(&lf));
    SIZE ts{};
    if (smooth.Get()) {
        ScopedSelectObject sel(dc, smooth.Get());
        GetTextExtentPoint32A(dc, caption_.c_str(), len, &ts);
        const TPoint p = CaptionPos(ts.cx, ts.cy);
        SetTextColor(dc, ColorToCOLORREF(shadowColor_));
        TextOutA(dc, p.x + shadowOffsetX_, p.y + shadowOffsetY_, caption_.c_str(), len);
    }
    ScopedSelectObject sel(dc, Font()->Handle());
    GetTextExtentPoint32A(dc, caption_.c_str(), len, &ts);
    const TPoint p = CaptionPos(ts.cx, ts.cy);
    SetTextColor(dc, ColorToCOLORREF(Font()->Color()));
    TextOutA(dc, p.x, p.y, caption_.c_str(), len);
}

}  // namespace controls
