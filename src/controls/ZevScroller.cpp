#include "controls/ZevScroller.h"

#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

namespace {
constexpr int kThumb = 14;  // thumb length along the track, in pixels
}

TZevScroller::TZevScroller(TComponent* AOwner) : TCustomControl(AOwner) {
    SetParentColor(true);
    SetTabStop(true);
    SetBounds(0, 0, 150, 20);
}

int TZevScroller::Clamp(int v) const { return v < min_ ? min_ : v > max_ ? max_ : v; }

void TZevScroller::SetMin(int v) {
    min_ = v;
    if (max_ < min_) max_ = min_;
    position_ = Clamp(position_);
    Invalidate();
}

void TZevScroller::SetMax(int v) {
    max_ = v;
    if (min_ > max_) min_ = max_;
    position_ = Clamp(position_);
    Invalidate();
}

void TZevScroller::SetPosition(int v) {
    v = Clamp(v);
    if (v == position_) return;
    position_ = v;
    Invalidate();
}

void TZevScroller::SetKind(TKindd v) {
    kind_ = v;
    Invalidate();
}

void TZevScroller::UserMoveTo(int v) {
    v = Clamp(v);
    if (v == position_) return;
    position_ = v;
    Invalidate();
    if (OnChange) OnChange(this);
}

TRect TZevScroller::ThumbRect() {
    TRect c = ClientRect();
    const int length = (kind_ == tbVertical ? RectHeight(c) : RectWidth(c)) - kThumb;
    const long long span = static_cast<long long>(max_) - min_;
    const int at = span > 0 && length > 0 ? static_cast<int>((position_ - min_) * static_cast<long long>(length) / span) : 0;
    if (kind_ == tbVertical) return Rect(c.left + 1, c.top + at, c.right - 1, c.top + at + kThumb);
    return Rect(c.left + at, c.top + 1, c.left + at + kThumb, c.bottom - 1);
}

void TZevScroller::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    TRect groove = kind_ == tbVertical ? Rect(r.left + RectWidth(r) / 2 - 3, r.top, r.left + RectWidth(r) / 2 + 3, r.bottom)
                                       : Rect(r.left, r.top + RectHeight(r) / 2 - 3, r.right, r.top + RectHeight(r) / 2 + 3);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(groove);
    c->Brush()->SetColor(Enabled() ? clBtnFace : clBtnShadow);
    TRect thumb = ThumbRect();
    c->FillRect(thumb);
    c->Brush()->SetColor(Focused() ? clHighlight : clBtnShadow);
    c->FrameRect(thumb);
}

void TZevScroller::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseDown(b, s, x, y);
    if (b != mbLeft || !Enabled()) return;
    if (CanFocus()) SetFocus();
    TRect thumb = ThumbRect();
    const bool before = kind_ == tbVertical ? y < thumb.top : x < thumb.left;
    const bool after = kind_ == tbVertical ? y >= thumb.bottom : x >= thumb.right;
    if (before) UserMoveTo(position_ - largeChange_);
    else if (after) UserMoveTo(position_ + largeChange_);
}

void TZevScroller::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_UP:
    case VK_LEFT: UserMoveTo(position_ - smallChange_); break;
    case VK_DOWN:
    case VK_RIGHT: UserMoveTo(position_ + smallChange_); break;
    case VK_PRIOR: UserMoveTo(position_ - largeChange_); break;
    case VK_NEXT: UserMoveTo(position_ + largeChange_); break;
    case VK_HOME: UserMoveTo(min_); break;
    case VK_END: UserMoveTo(max_); break;
    default: return;
    }
    Key = 0;
}

void TZevScroller::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS;
        return;
    }
    if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) Invalidate();
    TCustomControl::WndProc(m);
}

} // namespace controls
