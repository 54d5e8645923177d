#include "controls/KstGradientPanel.h"

#include <algorithm>

#include "ui/Canvas.h"
#include "ui/Colors.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

TKstGradientPanel::TKstGradientPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks);
    SetBounds(0, 0, 185, 41);
}

void TKstGradientPanel::SetStartColor(TColor v) {
    startColor_ = v;
    Invalidate();
}

void TKstGradientPanel::SetEndColor(TColor v) {
    endColor_ = v;
    Invalidate();
}

void TKstGradientPanel::SetGradientStyle(TGradientStyle v) {
    gradientStyle_ = v;
    Invalidate();
}

void TKstGradientPanel::Paint() {
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    const COLORREF from = ColorToRGB(startColor_), to = ColorToRGB(endColor_);
    const bool vertical = gradientStyle_ == gsVertical;
    const int span = vertical ? RectHeight(r) : RectWidth(r);
    if (span <= 0) return;
    // Bands of a few pixels: the stand-in's fill needs no finer steps.
    constexpr int kBand = 4;
    for (int p = 0; p < span; p += kBand) {
        auto mix = [&](int a, int b) { return a + (b - a) * p / span; };
        const TColor band = RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
                                mix(GetBValue(from), GetBValue(to)));
        c->Brush()->SetColor(band);
        const TRect part = vertical ? TRect{r.left, p, r.right, std::min(p + kBand, span)}
                                    : TRect{p, r.top, std::min(p + kBand, span), r.bottom};
        c->FillRect(part);
    }
}

} // namespace controls
