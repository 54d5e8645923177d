#include "ui/ToolWin.h"

#include <algorithm>

#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/ImageList.h"
#include "ui/Menus.h"

namespace ui {

namespace {

// Buttons sit this far below the tool bar's top edge.
constexpr int ButtonTop = 2;
// Width a drop-down button adds for its arrow part.
constexpr int ArrowPartWidth = 13;
constexpr int SeparatorWidth = 8;

bool IsSeparator(const TToolButton* b) { return b->Style() == tbsSeparator || b->Style() == tbsDivider; }

bool HasImage(TCustomImageList* List, int Index) { return List && Index >= 0 && Index < List->Count(); }

}  // namespace

// ================================================================ TToolButton

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 23, 22); }

TToolButton::~TToolButton() = default;

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

int TToolButton::Index() const {
    TToolBar* tb = ToolBar();
    return tb ? tb->IndexOf(this) : -1;
}

bool TToolButton::Hot() const {
    TToolBar* tb = ToolBar();
    return tb && tb->HotButton() == this;
}

void TToolButton::Invalidate() {
    // One row more than the bounds: a painter may draw the face one pixel
    // down, and what it drew there must go with the rest.
    TWinControl* p = Parent();
    if (!Visible() || !p || !p->HandleAllocated()) return;
    RECT r = BoundsRect();
    r.bottom += 1;
    InvalidateRect(p->Handle(), &r, TRUE);
}

void TToolButton::Changed(bool Relayout) {
    TToolBar* tb = ToolBar();
    if (!tb) return;
    if (Relayout) tb->ArrangeButtons();
    tb->Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
    if (v == style_) return;
    style_ = v;
    if (IsSeparator(this)) SetWidth(SeparatorWidth);
    Changed(true);
}

void TToolButton::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    Changed(false);
}

void TToolButton::SetDown(bool v) {
    if (v == down_) return;
    down_ = v;
    Changed(false);
}

void TToolButton::SetIndeterminate(bool v) {
    if (v == indeterminate_) return;
    indeterminate_ = v;
    Changed(false);
}

void TToolButton::SetMenuItem(TMenuItem* v) {
    if (v == menuItem_) return;
    if (menuItem_) RemoveFreeNotification(menuItem_);
    menuItem_ = v;
    if (v) {
        FreeNotification(v);
        SetCaption(v->Caption());
    }
    Changed(true);
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
    if (v == dropdownMenu_) return;
    if (dropdownMenu_) RemoveFreeNotification(dropdownMenu_);
    dropdownMenu_ = v;
    if (v) FreeNotification(v);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == menuItem_) menuItem_ = nullptr;
    if (AComponent == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::TextChanged() {
    TGraphicControl::TextChanged();
    Changed(true);
}

void TToolButton::EnabledChanged() {
    TGraphicControl::EnabledChanged();
    if (!Enabled()) {
        pressed_ = false;
        if (TToolBar* tb = ToolBar(); tb && tb->HotButton() == this) tb->SetHot(nullptr);
    }
    Changed(false);
}

void TToolButton::VisibleChanged() {
    TGraphicControl::VisibleChanged();
    // A hidden button leaves its place to the ones after it.
    if (TToolBar* tb = ToolBar()) {
        if (!Visible() && tb->HotButton() == this) tb->SetHot(nullptr);
        tb->ArrangeButtons();
        tb->Invalidate();
    }
}

void TToolButton::SetPressed(bool Pressed, bool Inside) {
    if (Pressed == pressed_ && Inside == inside_) return;
    const bool wasShown = this->Pressed();
    pressed_ = Pressed;
    inside_ = Inside;
    if (wasShown != this->Pressed()) Invalidate();
}

void TToolButton::MouseEnter() {
    TGraphicControl::MouseEnter();
    TToolBar* tb = ToolBar();
    if (tb && tb->Flat() && Enabled() && !IsSeparator(this)) tb->SetHot(this);
}

void TToolButton::MouseLeave() {
    TGraphicControl::MouseLeave();
    if (TToolBar* tb = ToolBar(); tb && tb->HotButton() == this) tb->SetHot(nullptr);
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled() || IsSeparator(this)) return;
    SetPressed(true, true);
    arrowPressed_ = style_ == tbsDropDown && X >= Width() - ArrowPartWidth;
    if (arrowPressed_ && dropdownMenu_) {
        // The menu runs its own loop and takes the button-up: end the press
        // here, without a click.
        if (TToolBar* tb = ToolBar()) tb->Update();
        const TPoint p = ClientToScreen(Point(0, Height()));
        SetMouseCapture(false);
        SetControlState(ControlState() & ~csClicked);
        dropdownMenu_->Popup(p.x, p.y);
        SetPressed(false, false);
    }
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (pressed_) SetPressed(true, X >= 0 && Y >= 0 && X < Width() && Y < Height());
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft) SetPressed(false, false);
}

void TToolButton::Click() {
    if (IsSeparator(this)) return;
    if (style_ == tbsCheck) SetDown(!down_);
    TGraphicControl::Click();
    if (menuItem_) menuItem_->Click();
}

// ================================================================ TToolBar

TToolBar::TToolBar(TComponent* AOwner)
    : TCustomControl(AOwner), images_(new TImageListLink(this, TNotifyEvent(this, &TToolBar::ImageListChange))),
      hotImages_(new TImageListLink(this, TNotifyEvent(this, &TToolBar::ImageListChange))),
      disabledImages_(new TImageListLink(this, TNotifyEvent(this, &TToolBar::ImageListChange))) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 150, 29);
}

// The links unregister from their lists as they go.
TToolBar::~TToolBar() = default;

void TToolBar::Destroying() {
    // The buttons are freed with the bar (our children): forget them first.
    buttons_.clear();
    hot_ = nullptr;
    TCustomControl::Destroying();
}

int TToolBar::IndexOf(const TToolButton* b) const {
    auto it = std::find(buttons_.begin(), buttons_.end(), b);
    return it == buttons_.end() ? -1 : static_cast<int>(it - buttons_.begin());
}

TCustomImageList* TToolBar::Images() const { return images_->Images(); }
TCustomImageList* TToolBar::HotImages() const { return hotImages_->Images(); }
TCustomImageList* TToolBar::DisabledImages() const { return disabledImages_->Images(); }

void TToolBar::SetImages(TCustomImageList* v) {
    if (images_->Attach(v)) ImageListChange(nullptr);
}
void TToolBar::SetHotImages(TCustomImageList* v) {
    if (hotImages_->Attach(v)) ImageListChange(nullptr);
}
void TToolBar::SetDisabledImages(TCustomImageList* v) {
    if (disabledImages_->Attach(v)) ImageListChange(nullptr);
}

TCustomImageList* TToolBar::ImagesFor(const TToolButton* b, TCustomDrawState State) const {
    const int i = b->ImageIndex();
    if ((State & cdsHot) && HasImage(HotImages(), i)) return HotImages();
    if ((State & cdsDisabled) && HasImage(DisabledImages(), i)) return DisabledImages();
    return HasImage(Images(), i) ? Images() : nullptr;
}

void TToolBar::ImageListChange(TObject*) {
    ArrangeButtons();
    Invalidate();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    const bool a = images_->ListFreed(AComponent, Operation);
    const bool b = hotImages_->ListFreed(AComponent, Operation);
    const bool c = disabledImages_->ListFreed(AComponent, Operation);
    if ((a || b || c) && !HasState(csDestroying)) Invalidate();
}

void TToolBar::SetList(bool v) {
    if (v == list_) return;
    list_ = v;
    ArrangeButtons();
    Invalidate();
}

void TToolBar::SetShowCaptions(bool v) {
    if (v == showCaptions_) return;
    showCaptions_ = v;
    ArrangeButtons();
    Invalidate();
}

void TToolBar::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TToolBar::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    if (!v) SetHot(nullptr);
    Invalidate();
}

void TToolBar::SetButtonSize(int Width, int Height) {
    buttonWidth_ = std::max(Width, 1);
    buttonHeight_ = std::max(Height, 1);
    ArrangeButtons();
    Invalidate();
}

void TToolBar::SetHot(TToolButton* b) {
    if (b == hot_) return;
    if (hot_) hot_->Invalidate();
    hot_ = b;
    if (b) b->Invalidate();
}

void TToolBar::ControlListChanged(TControl* Child, bool Inserted) {
    TCustomControl::ControlListChanged(Child, Inserted);
    auto* b = dynamic_cast<TToolButton*>(Child);
    if (!b) return;
    auto it = std::find(buttons_.begin(), buttons_.end(), b);
    if (Inserted && it == buttons_.end()) buttons_.push_back(b);
    if (!Inserted) {
        if (it != buttons_.end()) buttons_.erase(it);
        if (hot_ == b) hot_ = nullptr;
    }
    ArrangeButtons();
    Invalidate();
}

TSize TToolBar::ButtonSize(TToolButton* b) {
    if (IsSeparator(b)) return TSize{b->Width(), buttonHeight_};
    int iw = 0, ih = 0;
    if (TCustomImageList* il = Images()) {
        iw = il->Width();
        ih = il->Height();
    }
    int tw = 0, th = 0;
    const std::string caption = b->Caption();
    if (showCaptions_ && !caption.empty()) {
        TBitmap measure(1, 1);
        measure.Canvas()->Font()->Assign(Font());
        const TSize t = measure.Canvas()->TextExtent(caption);
        tw = t.cx;
        th = t.cy;
    }
    int w, h;
    if (list_) {
        w = 3 + iw + (tw ? 6 + tw + 6 : 3);
        h = std::max(ih, th) + 8;
    } else {
        w = std::max(iw, tw) + 7;
        h = 3 + ih + (th ? 4 + th + 6 : 6);
    }
    w = std::max(w, buttonWidth_);
    if (b->Style() == tbsDropDown) w += ArrowPartWidth;
    return TSize{w, std::max(h, buttonHeight_)};
}

void TToolBar::ArrangeButtons() {
    int rowHeight = buttonHeight_;
    for (TToolButton* b : buttons_)
        if (!IsSeparator(b)) rowHeight = std::max(rowHeight, static_cast<int>(ButtonSize(b).cy));
    int x = 0;
    for (TToolButton* b : buttons_) {
        if (!b->Visible()) continue;
        const int w = ButtonSize(b).cx;
        b->SetBounds(x, ButtonTop, w, rowHeight);
        x += w;
    }
}

TCustomDrawState TToolBar::StateOf(TToolButton* b) const {
    TCustomDrawState s = 0;
    if (b->Pressed()) s |= cdsSelected;
    if (!b->Enabled()) s |= cdsDisabled;
    if (b->Down()) s |= cdsChecked;
    if (b == hot_) s |= cdsHot;
    if (b->Indeterminate()) s |= cdsIndeterminate;
    return s;
}

void TToolBar::WndProc(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND && transparent_ && Parent()) {
        // The parent's colour shows where the bar paints nothing.
        TCanvas c;
        c.SetHandle(reinterpret_cast<HDC>(m.WParam));
        c.Brush()->SetColor(Parent()->Color());
        c.FillRect(ClientRect());
        c.SetHandle(nullptr);
        m.Result = 1;
        return;
    }
    TCustomControl::WndProc(m);
}

void TToolBar::Paint() {
    ++paintCount_;
    TCanvas* c = Canvas();
    if (!transparent_) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
    }
    // In index order: a button's painter may paint over the separator
    // before it.
    const std::vector<TToolButton*> buttons = buttons_;
    for (TToolButton* b : buttons) {
        if (!b->Visible()) continue;
        if (IsSeparator(b)) {
            DrawSeparator(b);
            continue;
        }
        const TCustomDrawState state = StateOf(b);
        bool defaultDraw = true;
        if (OnCustomDrawButton) OnCustomDrawButton(this, b, state, defaultDraw);
        if (defaultDraw) DefaultDrawButton(b, state);
    }
}

void TToolBar::DrawSeparator(TToolButton* b) {
    if (b->Style() != tbsDivider && !flat_) return;
    RECT r = b->BoundsRect();
    r.left += (r.right - r.left) / 2 - 1;
    r.right = r.left + 2;
    DrawEdge(Canvas()->Handle(), &r, EDGE_ETCHED, BF_LEFT);
}

void TToolBar::DefaultDrawButton(TToolButton* b, TCustomDrawState State) {
    TCanvas* c = Canvas();
    RECT r = b->BoundsRect();
    const bool in = (State & (cdsSelected | cdsChecked)) != 0;
    if (in)
        DrawEdge(c->Handle(), &r, flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!flat_ || (State & cdsHot))
        DrawEdge(c->Handle(), &r, flat_ ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    const int shift = in ? 1 : 0;
    TRect face = b->BoundsRect();
    if (b->Style() == tbsDropDown) {
        face.right -= ArrowPartWidth;
        c->Pen()->SetColor(clBtnText);
        const int ax = face.right + 4 + shift, ay = face.top + (RectHeight(face) - 3) / 2 + shift;
        for (int k = 0; k < 3; ++k) {
            c->MoveTo(ax + k, ay + k);
            c->LineTo(ax + 5 - k, ay + k);
        }
    }
    int iw = 0, ih = 0;
    if (TCustomImageList* il = ImagesFor(b, State)) {
        iw = il->Width();
        ih = il->Height();
        const int x = list_ ? face.left + 3 : face.left + (RectWidth(face) - iw) / 2;
        il->Draw(c, x + shift, face.top + 3 + shift, b->ImageIndex(), il == DisabledImages() || !(State & cdsDisabled));
    }
    if (!showCaptions_) return;
    const std::string caption = b->Caption();
    TRect t = face;
    UINT format = DT_SINGLELINE | DT_CENTER;
    if (list_) {
        t.left += 3 + iw + 6;
        format = DT_SINGLELINE | DT_VCENTER;
    } else {
        t.top += 3 + ih + 4;
    }
    OffsetRect(&t, shift, shift);
    HDC dc = c->Handle();
    ScopedSelectObject font(dc, Font()->Handle());
    SetTextColor(dc, ColorToCOLORREF((State & cdsDisabled) ? TColor(clGrayText) : TColor(clBtnText)));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &t, format);
}

// ================================================================ TControlBar

TControlBar::TControlBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 100, 50);
}

TRect TControlBar::BandRect(const TControl* Control) {
    const TRect b = Control->BoundsRect();
    return TRect{b.left - GrabWidth, b.top - BandMargin, b.right + BandMargin, b.bottom + BandMargin};
}

void TControlBar::ControlListChanged(TControl* Child, bool Inserted) {
    TCustomControl::ControlListChanged(Child, Inserted);
    if (!Inserted) {
        Invalidate();
        return;
    }
    // A new band goes at the end of the row.
    int right = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (TControl* c = Controls(i); c != Child && c->Visible()) right = std::max<int>(right, BandRect(c).right);
    Child->SetBounds(right + GrabWidth, BandMargin, Child->Width(), Child->Height());
    Invalidate();
}

void TControlBar::Paint() {
    ++paintCount_;
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        if (!child->Visible()) continue;
        TRect r = BandRect(child);
        TBandPaintOptions options = bpoGrabber | bpoFrame;
        if (OnBandPaint) OnBandPaint(this, child, c, r, options);
        if (options & bpoFrame) DrawEdge(c->Handle(), &r, BDR_RAISEDINNER, BF_RECT);
        if (options & bpoGrabber)
            for (int x : {r.left + 3, r.left + 6}) {
                RECT g{x, r.top + 3, x + 3, r.bottom - 3};
                DrawEdge(c->Handle(), &g, BDR_RAISEDINNER, BF_RECT);
            }
    }
}

}  // namespace ui
