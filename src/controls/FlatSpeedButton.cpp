#include "controls/FlatSpeedButton.h"

#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

TFlatSpeedButton::TFlatSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    // The click is the button's own, after Down has changed.
    SetControlStyle(csCaptureMouse | csDoubleClicks);
    SetBounds(0, 0, 25, 25);
}

void TFlatSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_ || (down_ && !allowAllUp_)) return;
    down_ = v;
    if (down_) ReleaseGroup();
    Invalidate();
}

void TFlatSpeedButton::SetGroupIndex(int v) {
    groupIndex_ = v;
    if (down_) ReleaseGroup();
}

void TFlatSpeedButton::SetAllowAllUp(bool v) { allowAllUp_ = v; }

void TFlatSpeedButton::ReleaseGroup() {
    if (groupIndex_ == 0 || !Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TFlatSpeedButton*>(Parent()->Controls(i));
        if (!other || other == this || other->groupIndex_ != groupIndex_) continue;
        other->allowAllUp_ = allowAllUp_;
        if (other->down_) {
            other->down_ = false;
            other->Invalidate();
        }
    }
}

void TFlatSpeedButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseDown(b, s, x, y);
    if (b == mbLeft && Enabled()) tracking_ = true;
}

void TFlatSpeedButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseUp(b, s, x, y);
    if (b != mbLeft || !tracking_) return;
    tracking_ = false;
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (!inside) return;
    if (groupIndex_ != 0) SetDown(!down_);
    Click();
}

void TFlatSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(down_ ? TColor(0xC5D6D9) : Color());
    c->FillRect(r);
    c->Brush()->SetColor(TColor(0x8396A0));
    c->FrameRect(r);
    c->Font()->Assign(Font());
    const std::string text = Caption();
    SetBkMode(c->Handle(), TRANSPARENT);
    DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace controls
