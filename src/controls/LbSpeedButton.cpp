#include "controls/LbSpeedButton.h"

#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

TLbSpeedButton::TLbSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetParentFont(true);
    SetBounds(0, 0, 75, 25);
}

void TLbSpeedButton::SetCaption(const std::string& v) {
    if (v == caption_) return;
    caption_ = v;
    Invalidate();
}

void TLbSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_) return;
    down_ = v;
    if (down_) ReleaseOthers();
    Invalidate();
}

void TLbSpeedButton::ReleaseOthers() {
    TWinControl* parent = Parent();
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TLbSpeedButton*>(parent->Controls(i));
        if (other && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
            other->down_ = false;
            other->Invalidate();
        }
    }
}

void TLbSpeedButton::Click() {
    if (groupIndex_ != 0) {
        if (!down_) SetDown(true);
        else if (allowAllUp_) {
            down_ = false;
            Invalidate();
        }
    }
    TGraphicControl::Click();
}

void TLbSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(down_ ? clBtnShadow : clBtnFace);
    c->FillRect(r);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(r);
    HDC dc = c->Handle();
    ScopedSelectObject font(dc, Font()->Handle());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToCOLORREF(Enabled() ? Font()->Color() : clGrayText));
    DrawTextA(dc, caption_.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SetBkMode(dc, oldMode);
}

} // namespace controls
