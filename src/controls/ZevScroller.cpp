#include "controls/ZevScroller.h"

#include <algorithm>

#include "ui/Exception.h"

namespace controls {

using namespace ui;

void TRepeatTimers::Create(TComponent* Owner, TNotifyEvent OnRepeat) {
    Start = TComponent::Create<TTimer>(Owner);
    Repeat = TComponent::Create<TTimer>(Owner);
    Start->SetEnabled(false);
    Repeat->SetEnabled(false);
    Start->SetInterval(500);
    Repeat->SetInterval(500);
    Start->OnTimer = TNotifyEvent(this, &TRepeatTimers::StartElapsed);
    Repeat->OnTimer = OnRepeat;
}

// ---------------------------------------------------------------- thumb

TSetac::TSetac(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetControlStyle(ControlStyle() & ~csAcceptsControls);
    SetAlignment(taCenter);
    SetParentFont(true);
}

TScroller* TSetac::Track() const { return dynamic_cast<TScroller*>(Parent()); }

void TSetac::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (b == mbLeft && !dragging_) {
        dragging_ = true;
        grab_ = Point(x, y);
    }
    TCustomPanel::MouseDown(b, s, x, y);
}

void TSetac::MouseMove(TShiftState s, int x, int y) {
    TScroller* t = Track();
    if (!t || !(s & ssLeft) || (t->Max() == t->Min() && t->Min() == t->Position())) {
        TCustomPanel::MouseMove(s, x, y);
        return;
    }
    if (dragging_) {
        if (t->Kind() == sbHorizontal) {
            int left = x + Left() - grab_.x;
            left = std::max(0, std::min(left, t->Width() - Width()));
            SetLeft(left);
        } else {
            int top = y + Top() - grab_.y;
            top = std::max(0, std::min(top, t->Height() - Height()));
            SetTop(top);
        }
    }
    t->SetPositionFromThumb();
    t->NotifyScroll();
    TCustomPanel::MouseMove(s, x, y);
}

void TSetac::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (b == mbLeft) dragging_ = false;
    TCustomPanel::MouseUp(b, s, x, y);
}

// ---------------------------------------------------------------- groove

TTraka::TTraka(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetControlStyle(ControlStyle() & ~csAcceptsControls);
    SetBevelOuter(bvLowered);
    Timers.Create(this, TNotifyEvent(this, &TTraka::RepeatTick));
}

void TTraka::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (b == mbLeft) {
        Timers.Begin();
        press_ = Point(x, y);
    }
    TCustomPanel::MouseDown(b, s, x, y);
}

void TTraka::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (b == mbLeft) Timers.Stop();
    TCustomPanel::MouseUp(b, s, x, y);
}

void TTraka::MouseLeave() {
    TCustomPanel::MouseLeave();
    Timers.Stop();
}

void TTraka::Click() {
    auto* t = dynamic_cast<TScroller*>(Parent());
    if (t) {
        TSetac* th = t->Thumb();
        // The pressed point is in the groove's coordinates, the thumb's
        // edges in the track's.
        const bool horizontal = t->Kind() == sbHorizontal;
        const int p = horizontal ? press_.x : press_.y;
        const int lo = horizontal ? th->Left() : th->Top();
        const int hi = lo + (horizontal ? th->Width() : th->Height());
        if (p < lo)
            t->SetPosition(t->Position() - t->Trk());
        else if (p > hi)
            t->SetPosition(t->Position() + t->Trk());
        t->NotifyScroll();
    }
    TCustomPanel::Click();
}

// ---------------------------------------------------------------- arrows

TScrollerArrow::TScrollerArrow(TComponent* AOwner, TZevScroller* Owner, int Direction)
    : TFlatSpeedButton(AOwner), scroller_(Owner), direction_(Direction) {
    Timers.Create(this, TNotifyEvent(this, &TScrollerArrow::RepeatTick));
    SetLayout(blGlyphLeft);
}

void TScrollerArrow::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (b != mbLeft) return;
    Timers.Begin();
    TFlatSpeedButton::MouseDown(b, s, x, y);
}

void TScrollerArrow::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (b != mbLeft) return;
    Timers.Stop();
    TFlatSpeedButton::MouseUp(b, s, x, y);
}

void TScrollerArrow::Click() {
    scroller_->SetPosition(scroller_->Position() + direction_ * scroller_->SmallChange());
    scroller_->Track()->NotifyScroll();
    TGraphicControl::Click();  // OnClickBtnLT / OnClickBtnRD; no modal result
}

// ---------------------------------------------------------------- track

TScroller::TScroller(TComponent* AOwner) : TCustomControl(AOwner) {
    SetParentColor(true);
    SetParentFont(true);
    SetControlStyle(ControlStyle() & ~csAcceptsControls);
    groove_ = TComponent::Create<TTraka>(this);
    groove_->SetParent(this);
    groove_->SetColor(bandColor_);
    thumb_ = TComponent::Create<TSetac>(this);
    thumb_->SetParent(this);
    thumb_->SetColor(thumbColor_);
    Resize();
}

TZevScroller* TScroller::Outer() const { return dynamic_cast<TZevScroller*>(Parent()); }

int TScroller::FreeLength() {
    if (!thumb_) return 0;
    return kind_ == sbHorizontal ? Width() - thumb_->Width() : Height() - thumb_->Height();
}

int TScroller::PositionToOffset() { return ScrollerPositionToOffset(position_, min_, max_, FreeLength()); }
int TScroller::OffsetToPosition() {
    return ScrollerOffsetToPosition(kind_ == sbHorizontal ? thumb_->Left() : thumb_->Top(), min_, max_, FreeLength());
}

void TScroller::MoveThumb() {
    if (!thumb_) return;
    if (kind_ == sbHorizontal)
        thumb_->SetLeft(PositionToOffset());
    else
        thumb_->SetTop(PositionToOffset());
}

void TScroller::RefreshThumbText() {
    TZevScroller* o = Outer();
    if ((o && !o->Enabled()) || !thumb_) return;
    thumb_->SetCaption(showText_ ? std::to_string(position_) : std::string());
}

void TScroller::SetPosition(int v) {
    // Any position of the range is reachable, negative ones too.
    if (v > max_) v = max_;
    if (v < min_) v = min_;
    position_ = v;
    MoveThumb();
    RefreshThumbText();
}

void TScroller::SetMin(int v) {
    if (v != min_) {
        min_ = v;
        if (position_ < min_) position_ = min_;
        if (position_ > max_) position_ = max_;
        MoveThumb();
    }
    RefreshThumbText();
}

void TScroller::SetMax(int v) {
    if (v != max_) {
        max_ = v < position_ ? position_ : v;
        MoveThumb();
    }
    RefreshThumbText();
}

void TScroller::SetBojaSetaca(TColor v) {
    thumbColor_ = v;
    thumb_->SetColor(v);
}

void TScroller::SetBojatrake(TColor v) {
    bandColor_ = v;
    groove_->SetColor(v);
}

void TScroller::SetShowText(bool v) {
    showText_ = v;
    RefreshThumbText();
}

void TScroller::SetThumbSize(int v) {
    v = v < 10 ? 10 : v > 100 ? 100 : v;
    if (v == thumbSize_) return;
    thumbSize_ = v;
    if (kind_ == sbHorizontal)
        thumb_->SetWidth(v);
    else
        thumb_->SetHeight(v);
}

void TScroller::SetKind(TKind v) {
    if (v == kind_) return;
    kind_ = v;
    Resize();
}

void TScroller::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == thumb_) thumb_ = nullptr;
    if (AComponent == groove_) groove_ = nullptr;
}

void TScroller::Resize() {
    TCustomControl::Resize();
    if (!thumb_ || !groove_) return;  // parts going away
    const int W = Width(), H = Height();
    if (kind_ == sbHorizontal) {
        groove_->SetBounds(1, H / 2 - 3, W - 2, 6);
        thumb_->SetBounds(ScrollerPositionToOffset(position_, min_, max_, W - thumbSize_), 1, thumbSize_, H - 2);
    } else {
        groove_->SetBounds(W / 2 - 3, 1, 6, H - 2);
        thumb_->SetBounds(1, ScrollerPositionToOffset(position_, min_, max_, H - thumbSize_), W - 2, thumbSize_);
    }
    SetPosition(position_);
}

void TScroller::NotifyScroll() {
    TZevScroller* o = Outer();
    if (o && o->CanFocus()) o->SetFocus();
    if (OnScroll) OnScroll(this, position_);
    if ((!o || o->Enabled()) && showText_) thumb_->SetCaption(std::to_string(position_));
}

// ---------------------------------------------------------------- outer panel

TZevScroller::TZevScroller(TComponent* AOwner) : TCustomPanel(AOwner), version_("1.00") {
    SetBounds(0, 0, 130, 21);
    SetColor(clBtnFace);
    SetBevelOuter(bvNone);
    SetCaption(" ");
    SetTabStop(true);
    SetControlStyle(ControlStyle() & ~csAcceptsControls);
    up_ = TComponent::Create<TButtonUp>(this, this);
    up_->SetParent(this);
    track_ = TComponent::Create<TScroller>(this);
    track_->SetParent(this);
    down_ = TComponent::Create<TButtonDown>(this, this);
    down_->SetParent(this);
    SetRepeatStartDelay(150);
    SetRepeatSpeed(50);
    LayoutParts();
}

void TZevScroller::SetRepeatStartDelay(unsigned v) {
    up_->Timers.Start->SetInterval(v);
    down_->Timers.Start->SetInterval(v);
    track_->Groove()->Timers.Start->SetInterval(v);
    repeatStartDelay_ = v;
}

void TZevScroller::SetRepeatSpeed(unsigned v) {
    up_->Timers.Repeat->SetInterval(v);
    down_->Timers.Repeat->SetInterval(v);
    track_->Groove()->Timers.Repeat->SetInterval(v);
    repeatSpeed_ = v;
}

void TZevScroller::SetHintSecondLine(const std::string& v) {
    hintSecondLine_ = v;
    if (!(ComponentState() & csDesigning) && !Hint().empty() && !v.empty()) SetHint(Hint() + "\r" + v);
}

void TZevScroller::SetKind(TKindd v) {
    if (v == kind_) return;
    kind_ = v;
    track_->SetKind(v == tbVertical ? sbVertical : sbHorizontal);
    // Laid out at once; no window is needed for it.
    LayoutParts();
}

void TZevScroller::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == up_) up_ = nullptr;
    if (AComponent == down_) down_ = nullptr;
    if (AComponent == track_) track_ = nullptr;
}

void TZevScroller::Resize() {
    TCustomPanel::Resize();
    LayoutParts();
}

void TZevScroller::LayoutParts() {
    if (!up_ || !down_ || !track_) return;
    const int W = Width(), H = Height();
    const bool horizontal = kind_ == tbHorizontal;
    TBitmap lt, rd;
    try {
        lt.LoadFromResourceName(GetModuleHandleA(nullptr), horizontal ? "levoScroller" : "goreScroller");
        rd.LoadFromResourceName(GetModuleHandleA(nullptr), horizontal ? "desnoScroller" : "doleScroller");
    } catch (const Exception&) {
        // A program without the pictures shows bare arrow buttons.
    }
    up_->SetGlyph(&lt);
    down_->SetGlyph(&rd);
    if (horizontal) {
        up_->SetBounds(1, 1, 13, H - 2);
        track_->SetBounds(15, 0, W - 30, H);
        down_->SetBounds(W - 14, 1, 13, H - 2);
    } else {
        up_->SetBounds(1, 1, W - 2, 13);
        track_->SetBounds(0, 15, W, H - 30);
        down_->SetBounds(1, H - 14, W - 2, 13);
    }
}

void TZevScroller::WndProc(TMessage& m) {
    TCustomPanel::WndProc(m);
    if (!track_ || !track_->Thumb()) return;
    switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS; break;
    case WM_SETFOCUS: track_->Thumb()->SetBevelInner(bvLowered); break;
    case WM_KILLFOCUS: track_->Thumb()->SetBevelInner(bvNone); break;
    }
}

void TZevScroller::KeyDown(WORD& Key, TShiftState Shift) {
    switch (up_ && down_ && track_ ? Key : 0) {
    case VK_UP:
    case VK_LEFT: up_->Click(); break;
    case VK_DOWN:
    case VK_RIGHT: down_->Click(); break;
    case VK_HOME:
        SetPosition(Min());
        track_->NotifyScroll();
        break;
    case VK_END:
        SetPosition(Max());
        track_->NotifyScroll();
        break;
    case VK_PRIOR:
        SetPosition(Position() - LargeChange());
        track_->NotifyScroll();
        break;
    case VK_NEXT:
        SetPosition(Position() + LargeChange());
        track_->NotifyScroll();
        break;
    }
    TCustomPanel::KeyDown(Key, Shift);
}

void TZevScroller::EnabledChanged() {
    TCustomPanel::EnabledChanged();
    if (!up_ || !down_ || !track_) return;
    up_->SetEnabled(Enabled());
    down_->SetEnabled(Enabled());
    if (ThumbShowText()) track_->Thumb()->SetCaption(Enabled() ? std::to_string(Position()) : std::string());
}

void TZevScroller::MouseEnter() {
    TCustomPanel::MouseEnter();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TZevScroller::MouseLeave() {
    TCustomPanel::MouseLeave();
    if (OnMouseExit) OnMouseExit(this);
}

}  // namespace controls
