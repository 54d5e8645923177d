#include "ui/Control.h"

#include <algorithm>

#include "ui/ActnList.h"
#include "ui/Application.h"
#include "ui/ControlCanvas.h"
#include "ui/DragDrop.h"
#include "ui/Form.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/Menus.h"

namespace ui {

// ---------------------------------------------------------------- helpers

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (keyData & (1 << 29)) s |= ssAlt;
    return s;
}

bool IsAccel(char c, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper((unsigned char)caption[i + 1]) == std::toupper((unsigned char)c);
    }
    return false;
}

namespace {
TControl* gCaptureControl = nullptr;  // not owned
}

void InvalidateUncovered(TControl* c) {
    // Opaque or not, the control no longer paints there: the background is
    // erased.
    TWinControl* parent = c->Parent();
    if (!c->Visible() || !parent || !parent->HandleAllocated() || dynamic_cast<TWinControl*>(c)) return;
    TRect r = c->BoundsRect();
    InvalidateRect(parent->Handle(), &r, TRUE);
}

TControl* GetCaptureControl() {
    if (gCaptureControl) {
        // Someone else took the capture (a menu, another window): forget ours.
        HWND cap = GetCapture();
        TWinControl* holder = dynamic_cast<TWinControl*>(gCaptureControl);
        if (!holder) holder = gCaptureControl->Parent();
        if (!holder || !holder->HandleAllocated() || cap != holder->Handle()) gCaptureControl = nullptr;
    }
    return gCaptureControl;
}

void SetCaptureControl(TControl* c) {
    gCaptureControl = nullptr;
    ReleaseCapture();
    if (!c) return;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        SetCapture(w->Handle());
    } else if (c->Parent()) {
        SetCapture(c->Parent()->Handle());
    } else {
        return;
    }
    gCaptureControl = c;
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), color_(clWindow), font_(new TFont) {
    WindowProc = TWndMethod(this, &TControl::WndProc);
    font_->OnChange = TNotifyEvent(this, &TControl::FontObjectChanged);
}

TControl::~TControl() {
    SetAction(nullptr);
    if (gCaptureControl == this) gCaptureControl = nullptr;
    if (parent_) parent_->RemoveControl(this);
    if (Application) Application->ControlDestroyed(this);
}

void TControl::Destroying() {
    TComponent::Destroying();
    if (parent_) parent_->RemoveControl(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == reinterpret_cast<TComponent*>(popupMenu_)) popupMenu_ = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* m) {
    popupMenu_ = m;
    if (m) FreeNotification(reinterpret_cast<TComponent*>(m));
}

void TControl::SetParent(TWinControl* p) {
    if (p == parent_) return;
    if (p == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (p) p->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    bool sized = AWidth != width_ || AHeight != height_;
    if (ALeft == left_ && ATop == top_ && !sized) return;
    InvalidateUncovered(this);
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    UpdateBoundsRect(BoundsRect());
    InvalidateControl(Visible(), false);
    if (parent_ && !parent_->anchoring_) UpdateAnchorRules();
    RequestAlign();
    if (sized && !HasState(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect&) {}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(int w, int h) {
    TRect r = ClientRect();
    SetBounds(left_, top_, width_ - RectWidth(r) + w, height_ - RectHeight(r) + h);
}

void TControl::SetAlign(TAlign a) {
    if (a == align_) return;
    align_ = a;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors a) {
    if (a == anchors_) return;
    anchors_ = a;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    // While loading, the parent is not laid out yet: the form takes the
    // rules once it is.
    if (anchors_ == (akLeft | akTop) || !parent_ || HasState(csLoading) || parent_->HasState(csLoading)) return;
    if (TCustomForm* form = GetParentForm(); form && form->HasState(csLoading)) return;
    anchorBounds_ = BoundsRect();
    const TRect client = parent_->ClientRect();
    anchorParentSize_ = Point(RectWidth(client), RectHeight(client));
}

void TControl::RequestAlign() {
    if (parent_ && !HasState(csLoading)) parent_->AlignControls();
}

TPoint TControl::ClientToScreen(TPoint p) {
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        ::ClientToScreen(w->Handle(), &p);
        return p;
    }
    if (!parent_) return p;
    return parent_->ClientToScreen(Point(p.x + left_, p.y + top_));
}

TPoint TControl::ScreenToClient(TPoint p) {
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        ::ScreenToClient(w->Handle(), &p);
        return p;
    }
    if (!parent_) return p;
    TPoint q = parent_->ScreenToClient(p);
    return Point(q.x - left_, q.y - top_);
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    VisibleChanging();
    if (v)
        InvalidateControl(true, false);
    else
        InvalidateUncovered(this);
    visible_ = v;
    Perform(CM_VISIBLECHANGED, v);
    RequestAlign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor c) {
    if (c == color_ && !parentColor_) return;
    color_ = c;
    parentColor_ = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == parentColor_) return;
    parentColor_ = v;
    if (parent_ && v && !HasState(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode v) {
    if (v == biDiMode_ && !parentBiDiMode_) return;
    biDiMode_ = v;
    parentBiDiMode_ = false;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool v) {
    if (v == parentBiDiMode_) return;
    parentBiDiMode_ = v;
    if (parent_ && v && !HasState(csReading)) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetFont(TFont* f) { font_->Assign(f); }

void TControl::FontObjectChanged(TObject*) {
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
    if (v == parentFont_) return;
    parentFont_ = v;
    if (parent_ && v && !HasState(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetShowHint(bool v) {
    showHint_ = v;
    parentShowHint_ = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
    if (v == parentShowHint_) return;
    parentShowHint_ = v;
    if (v && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

std::string TControl::GetText() { return text_; }
void TControl::SetTextBuf(const std::string& s) { text_ = s; }

void TControl::SetText(const std::string& s) {
    if (GetText() == s) return;
    SetTextBuf(s);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetMouseCapture(bool v) {
    if (v == MouseCapture()) return;
    SetCaptureControl(v ? this : nullptr);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::Loaded() {
    TComponent::Loaded();
    if (parent_) {
        if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
        if (parentFont_) Perform(CM_PARENTFONTCHANGED);
        if (auto* w = dynamic_cast<TWinControl*>(this); w && w->ParentCtl3D()) Perform(CM_PARENTCTL3DCHANGED);
        if (parentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
        if (parentBiDiMode_) Perform(CM_PARENTBIDIMODECHANGED);
    }
    RequestAlign();
}

void TControl::HandleMouseMessage(TMessage& m) {
    int x = (short)LOWORD(m.LParam), y = (short)HIWORD(m.LParam);
    TShiftState shift = KeysToShiftState(m.WParam);
    auto down = [&](TMouseButton b, bool dbl) {
        if (b == mbLeft && dragMode_ == dmAutomatic && !dbl) {
            BeginAutoDrag();
            if (Dragging()) return;
        }
        if (b == mbLeft) {
            if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
            if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
        }
        if (dbl) {
            if (b == mbLeft) DblClick();
            shift |= ssDouble;
        }
        MouseDown(b, shift, x, y);
    };
    auto up = [&](TMouseButton b) {
        if (b == mbLeft) {
            if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
            if (controlState_ & csClicked) {
                controlState_ &= ~csClicked;
                if (PtInRect(ClientRect(), Point(x, y))) Click();
            }
        }
        MouseUp(b, shift, x, y);
    };
    switch (m.Msg) {
    case WM_LBUTTONDOWN: down(mbLeft, false); break;
    case WM_LBUTTONDBLCLK: down(mbLeft, (controlStyle_ & csDoubleClicks) != 0); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: down(mbRight, false); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: down(mbMiddle, false); break;
    case WM_LBUTTONUP: up(mbLeft); break;
    case WM_RBUTTONUP: up(mbRight); break;
    case WM_MBUTTONUP: up(mbMiddle); break;
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    }
}

void TControl::WndProc(TMessage& m) {
    if (IsClientMouseMessage(m.Msg)) {
        if (enabled_ || m.Msg == WM_MOUSEMOVE) HandleMouseMessage(m);
        DefaultHandler(m);
        return;
    }
    switch (m.Msg) {
    case WM_CONTEXTMENU:
        if (ShowControlPopupMenu(this, m)) return;
        break;
    case CM_DRAG: DragMessage(m); return;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_ && parent_) {
            color_ = parent_->Color();
            Perform(CM_COLORCHANGED);
            parentColor_ = true;  // CM_COLORCHANGED handlers must not clear it
        }
        break;
    case CM_PARENTFONTCHANGED:
        if (parentFont_ && parent_) {
            TNotifyEvent saved = font_->OnChange;
            font_->OnChange = nullptr;  // an inherited font stays inherited
            font_->Assign(parent_->Font());
            font_->OnChange = saved;
            Perform(CM_FONTCHANGED);
        }
        break;
    case CM_PARENTBIDIMODECHANGED:
        if (parentBiDiMode_ && parent_ && biDiMode_ != parent_->BiDiMode()) {
            SetBiDiMode(parent_->BiDiMode());  // through the override
            parentBiDiMode_ = true;
        }
        break;
    case CM_PARENTSHOWHINTCHANGED:
        if (parentShowHint_ && parent_ && showHint_ != parent_->ShowHint()) {
            showHint_ = parent_->ShowHint();
            Perform(CM_SHOWHINTCHANGED);  // on to the children
        }
        break;
    default:
        if (DispatchComponentMessage(m)) return;
        break;
    }
    DefaultHandler(m);
}

bool TControl::DispatchComponentMessage(TMessage& m) {
    switch (m.Msg) {
    case CM_MOUSEENTER: MouseEnter(); return true;
    case CM_MOUSELEAVE: MouseLeave(); return true;
    case CM_ENABLEDCHANGED: EnabledChanged(); return true;
    case CM_VISIBLECHANGED: VisibleChanged(); return true;
    case CM_FOCUSCHANGED: FocusChanged(reinterpret_cast<TWinControl*>(m.LParam)); return true;
    case CM_TEXTCHANGED: TextChanged(); return true;
    case CM_FONTCHANGED: FontChanged(); return true;
    case CM_COLORCHANGED: ColorChanged(); return true;
    case CM_BIDIMODECHANGED: BiDiModeChanged(); return true;
    case CM_DIALOGCHAR: m.Result = DialogChar(static_cast<char>(m.WParam)) ? 1 : 0; return true;
    case CM_CONTROLLISTCHANGE: ControlListChanged(reinterpret_cast<TControl*>(m.WParam), m.LParam != 0); return true;
    }
    return false;
}

void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() { InvalidateControl(true, false); }
void TControl::FocusChanged(TWinControl*) {}
void TControl::TextChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::BiDiModeChanged() { Invalidate(); }
bool TControl::DialogChar(char) { return false; }
void TControl::ControlListChanged(TControl*, bool) {}

// ---------------------------------------------------------------- dragging

void TControl::BeginDrag() {
    if (IsDragging()) return;
    DoStartDrag();
    ui::BeginDrag(this);
}

bool TControl::Dragging() const { return IsDragging() && DragSource() == this; }

void TControl::DoStartDrag() {
    if (OnStartDrag) OnStartDrag(this);
}

bool TControl::DragOver(TObject* Source, int X, int Y, TDragState State) {
    if (!OnDragOver) return false;
    bool accept = true;
    OnDragOver(this, Source, X, Y, State, accept);
    return accept;
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragMessage(TMessage& m) {
    auto* rec = reinterpret_cast<TDragRec*>(m.LParam);
    TPoint p = ScreenToClient(rec->Pos);
    m.Result = 0;
    switch (m.WParam) {
    case dmDragEnter: m.Result = DragOver(rec->Source, p.x, p.y, dsDragEnter); break;
    case dmDragMove: m.Result = DragOver(rec->Source, p.x, p.y, dsDragMove); break;
    case dmDragLeave: DragOver(rec->Source, p.x, p.y, dsDragLeave); break;
    case dmDragDrop: DragDrop(rec->Source, p.x, p.y); break;
    case dmEndDrag: DoEndDrag(rec->Target, p.x, p.y); break;
    }
}

// ---------------------------------------------------------------- mouse

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::Click() {
    if (OnClick)
        OnClick(this);
    else if (action_)
        action_->Execute();
}

void TControl::SetAction(TBasicAction* a) {
    if (a == action_) return;
    if (action_) {
        auto& c = action_->clients_;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    action_ = a;
    if (!a) return;
    a->clients_.push_back(this);
    ActionChange(a, HasState(csLoading));
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a) return;
    if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
    if (!CheckDefaults || Enabled()) SetEnabled(a->Enabled());
    if (!CheckDefaults || hint_.empty()) SetHint(a->Hint());
    if (!CheckDefaults || Visible()) SetVisible(a->Visible());
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    if (!IsVisible || !parent_ || !parent_->HandleAllocated() || dynamic_cast<TWinControl*>(this)) return;
    TRect r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, !IsOpaque && !(controlStyle_ & csOpaque));
}

void TControl::Invalidate() { InvalidateControl(Visible(), (controlStyle_ & csOpaque) != 0); }

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& v = parent_->controls_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& v = parent_->controls_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// ---------------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    canvas_ = std::make_unique<TControlCanvas>();
    canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() { return canvas_.get(); }

namespace {
// Lends a paint DC to a control's canvas for one Paint, and takes it back
// (with the canvas's objects out of it) even when painting throws.
class CanvasPaintScope {
public:
    CanvasPaintScope(TControlCanvas* c, HDC dc) : canvas_(c) {
        canvas_->Lock();
        canvas_->SetHandle(dc);
    }
    ~CanvasPaintScope() {
        canvas_->SetHandle(nullptr);
        canvas_->Unlock();
    }
    CanvasPaintScope(const CanvasPaintScope&) = delete;
    CanvasPaintScope& operator=(const CanvasPaintScope&) = delete;

private:
    TControlCanvas* canvas_;  // not owned
};
}  // namespace

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT) {
        // The parent hands us its paint DC, already moved to our origin.
        CanvasPaintScope scope(canvas_.get(), reinterpret_cast<HDC>(m.WParam));
        Paint();
        return;
    }
    TControl::WndProc(m);
}

// ---------------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    customPaint_ = true;
    canvas_ = std::make_unique<TControlCanvas>();
    canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() { return canvas_.get(); }

void TCustomControl::PaintWindow(HDC dc) {
    CanvasPaintScope scope(canvas_.get(), dc);
    Paint();
}

}  // namespace ui
