// TControlSubClass: the take-over of one standard control's WindowProc and
// the flat painting drawn over the control after its own.
#include "painters/XPControlSubClass.h"

#include <algorithm>
#include <vector>

#include "painters/QuietPaint.h"
#include "painters/XPMenu.h"
#include "ui/Buttons.h"
#include "ui/Canvas.h"
#include "ui/ComCtrls.h"
#include "ui/ControlCanvas.h"
#include "ui/GdiObjects.h"
#include "ui/ListView.h"
#include "ui/Messages.h"
#include "ui/StdCtrls.h"
#include "ui/WindowProcHook.h"

namespace painters {

using namespace ui;

namespace {
// Every object that holds a control, so that a control is never taken
// over twice. GUI thread only.
std::vector<TControlSubClass*>& Live() {
    static std::vector<TControlSubClass*> v;
    return v;
}

bool IsListControl(const TControl* c) {
    return dynamic_cast<const TCustomListView*>(c) || dynamic_cast<const TCustomListBox*>(c) ||
           dynamic_cast<const TCustomTreeView*>(c);
}

// Calls f with c as one of the kinds whose Ctl3D and border the take-over
// saves and puts back; false for any other kind.
template <class F> bool AsBordered(TControl* c, F f) {
    if (auto* e = dynamic_cast<TCustomEdit*>(c))
        f(e);
    else if (auto* v = dynamic_cast<TCustomListView*>(c))
        f(v);
    else if (auto* l = dynamic_cast<TCustomListBox*>(c))
        f(l);
    else if (auto* t = dynamic_cast<TCustomTreeView*>(c))
        f(t);
    else
        return false;
    return true;
}

// The lookup combo is known by name only; its Ctl3D is saved and put back.
TWinControl* AsLookupCombo(TControl* c) {
    auto* w = dynamic_cast<TWinControl*>(c);
    return w && ClassNameOf(w) == "TDBLookupComboBox" ? w : nullptr;
}

// Clears the box of a check box or radio button (thumb size S wide, S + Grow
// high, centred on the height less Inset above and below, at the side the
// reading puts it) on c's colour; answers the box inside the clearing.
TRect ClearBox(TControlCanvas& cv, TControl* c, int Inset, int Grow, bool AtRight) {
    const int S = GetSystemMetrics(SM_CXHTHUMB);
    TRect r = c->ClientRect();
    r.top += Inset;
    r.bottom -= Inset;
    r.top += (RectHeight(r) - S) / 2;
    r.bottom = r.top + S + Grow;
    if (AtRight)
        r.left = r.right - S + 1;
    else
        r.right = r.left + S - 1;
    cv.SetControl(c);
    cv.Brush()->SetColor(c->Color());
    cv.FillRect(r);
    return Rect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
}
}  // namespace

TControlSubClass::TControlSubClass(TXPMenu* AMenu, TControl* AControl)
    : TComponent(AMenu), control_(AControl), xpMenu_(AMenu) {
    if (!control_) return;
    const auto save = [this](auto* b) {
        savedCtl3D_ = b->Ctl3D();
        savedBorderStyle_ = b->BorderStyle();
    };
    if (!AsBordered(control_, save))
        if (TWinControl* w = AsLookupCombo(control_)) savedCtl3D_ = w->Ctl3D();
    SaveInputLook();
    Live().push_back(this);
    FreeNotification(control_);
    hook_.reset(TComponent::Create<TWindowProcHook>(control_, TWndMethod(this, &TControlSubClass::ControlWndProc)));
    // Flat controls drop their sunken edge now rather than from inside a
    // paint, where re-creating the window would pull it out from under its
    // own WM_PAINT.
    if (auto* w = dynamic_cast<TWinControl*>(control_);
        w && w->Ctl3D() &&
        ((dynamic_cast<TCustomEdit*>(w) && !dynamic_cast<TCustomRichEdit*>(w)) || IsListControl(w))) {
        busy_ = true;
        w->SetCtl3D(false);
    }
}

TControlSubClass::~TControlSubClass() {
    *alive_ = false;
    auto& v = Live();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

TControlSubClass* TControlSubClass::Find(const TControl* AControl) {
    if (!AControl) return nullptr;
    for (TControlSubClass* s : Live())
        if (s->control_ == AControl) return s;
    return nullptr;
}

void TControlSubClass::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == control_) LetGo();
}

void TControlSubClass::LetGo() {
    if (hook_) hook_->Release();
    if (control_) RemoveFreeNotification(control_);
    control_ = nullptr;
}

void TControlSubClass::Restore(bool RestoreLook) {
    TControl* c = control_;
    if (!c) return;
    if (hook_) hook_->Release();
    if (RestoreLook) {
        // The control keeps what was put back so far.
        PaintQuietly([&] {
            const auto restore = [this](auto* b) {
                b->SetCtl3D(savedCtl3D_);
                b->SetBorderStyle(savedBorderStyle_);
            };
            if (!AsBordered(c, restore))
                if (TWinControl* w = AsLookupCombo(c)) w->SetCtl3D(savedCtl3D_);
            RestoreInputLook();
            // The old look shows now, not at the control's next message.
            c->Invalidate();
        });
    }
    LetGo();
}

TControlSubClass* TControlSubClass::HandTo(TXPMenu* Next) {
    TControl* c = control_;
    if (!c || !Next) return nullptr;
    // The new object takes over on top of this one; this one then steps
    // out of the chain, so the control's procedure ends where it began.
    const bool ctl3D = savedCtl3D_;
    const TBorderStyle border = savedBorderStyle_;
    const int borderWidth = savedBorderWidth_;
    LetGo();
    auto* s = TComponent::Create<TControlSubClass>(Next, c);
    s->savedCtl3D_ = ctl3D;
    s->savedBorderStyle_ = border;
    s->savedBorderWidth_ = borderWidth;
    return s;
}

void TControlSubClass::CallSaved(TMessage& m) {
    if (hook_) hook_->CallPrevious(m);
}

void TControlSubClass::ControlWndProc(TMessage& m) {
    TControl* c = control_;
    if (!c) {
        CallSaved(m);
        return;
    }
    const bool graphic = dynamic_cast<TGraphicControl*>(c) != nullptr;
    // Held here: the control's own handling may free this object.
    const std::shared_ptr<bool> alive = alive_;
    if ((m.Msg == WM_PAINT && graphic) || (m.Msg == WM_NCPAINT && ClassNameOf(c) == "TDBLookupComboBox"))
        m.Result = 1;
    else
        CallSaved(m);
    if (!*alive) return;        // freed (with its menu, perhaps) meanwhile
    if (control_ != c) return;  // the control went during its own handling

    if (!xpMenu_->Active()) {
        // The control's own answer stands: only the take-over ends here.
        Restore(true);
        return;
    }
    lastMessage_ = m.Msg;
    // Painting over a control never breaks its message handling.
    PaintQuietly([&] { AfterMessage(m, graphic); });
}

void TControlSubClass::AfterMessage(const TMessage& m, bool graphic) {
    TControl* c = control_;
    switch (m.Msg) {
    case WM_DESTROY:
        if (!busy_) Restore(false);
        return;
    case WM_PAINT: {
        busy_ = false;
        // A graphic control draws on the DC its parent lends it.
        struct Lend {
            HDC& slot;
            Lend(HDC& s, HDC dc) : slot(s) { slot = dc; }
            ~Lend() { slot = nullptr; }
        } lend(paintDC_, graphic ? reinterpret_cast<HDC>(m.WParam) : nullptr);
        PaintControl();
        return;
    }
    case WM_NCPAINT:
        if (IsListControl(c)) PaintListBorder();
        return;
    case WM_WINDOWPOSCHANGED:
    case EM_GETMODIFY:
    case CM_CTL3DCHANGED:
    case CM_PARENTCTL3DCHANGED:
    case CM_INVALIDATE:
    case CN_PARENTNOTIFY: busy_ = true; return;
    case WM_SETFOCUS: hot_ = true; break;
    case WM_KILLFOCUS:
    case BM_GETCHECK:
    case BM_SETCHECK:
    case CM_EXIT: hot_ = false; break;
    case CM_ENABLEDCHANGED:
        if (m.WParam == 0) hot_ = false;
        break;
    case BM_SETSTATE:
    case CM_FOCUSCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_TEXTCHANGED: break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (m.WParam == VK_SPACE) SpaceKey(m.Msg == WM_KEYDOWN);
        return;
    case WM_MOUSEMOVE:
        if (!c->Enabled() || ClassNameOf(c) != "TUpDown") return;
        break;
    case WM_LBUTTONDOWN: pressed_ = true; break;
    case WM_LBUTTONUP:
        pressed_ = false;
        if (!graphic) break;
        c->Repaint();
        return;
    case WM_LBUTTONDBLCLK:
        if (dynamic_cast<TButton*>(c) || dynamic_cast<TSpeedButton*>(c) || dynamic_cast<TCheckBox*>(c))
            c->Perform(WM_LBUTTONDOWN, m.WParam, m.LParam);
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (c->Enabled()) Hover(m.Msg == CM_MOUSEENTER, graphic);
        return;
    default: return;
    }
    PaintControl();
}

void TControlSubClass::SpaceKey(bool Down) {
    // Held down, the key repeats: the pressed look is painted once.
    spaceDown_ = Down;
    if (!Down)
        spacePainted_ = false;
    else if (spacePainted_)
        return;
    PaintControl();
    spacePainted_ = Down;
}

void TControlSubClass::Hover(bool Enter, bool Graphic) {
    hot_ = Enter;
    if (!Graphic)
        PaintControl();
    else if (Enter)
        control_->Repaint();
    else
        control_->Invalidate();
}

void TControlSubClass::PaintControl() {
    TControl* c = control_;
    if (!c) return;
    auto* w = dynamic_cast<TWinControl*>(c);
    hasFocus_ = w && w->Focused();
    // Nothing to paint over before the window exists.
    if (w && !w->HandleAllocated()) return;
    ++paintCount_;
    if (dynamic_cast<TCustomCombo*>(c)) PaintComboFrame();
    if (ClassNameOf(c) == "TDBLookupComboBox") PaintLookupComboFrame();
    if (dynamic_cast<TCustomRichEdit*>(c))
        PaintRichEditBorder();
    else if (dynamic_cast<TCustomEdit*>(c))
        PaintEditBorder();
    if (dynamic_cast<TCustomCheckBox*>(c)) PaintCheckBoxFace();
    if (dynamic_cast<TRadioButton*>(c)) PaintRadioFace();
    if (dynamic_cast<TBitBtn*>(c))
        PaintBitBtnFace();
    else if (dynamic_cast<TButton*>(c))
        PaintButtonFace();
    if (dynamic_cast<TUpDown*>(c)) PaintSpinControl();
    if (auto* sb = dynamic_cast<TSpeedButton*>(c); sb && sb->Visible()) PaintSpeedButtonFace();
    if (dynamic_cast<TCustomPanel*>(c)) PaintPanelBevels();
    if (dynamic_cast<TCustomGroupBox*>(c)) PaintGroupFrame();
    if (IsListControl(c)) PaintListBorder();
    if (dynamic_cast<TProgressBar*>(c)) PaintProgressFrame();
    if (dynamic_cast<TCustomHotKey*>(c)) PaintHotKeyFrame();
}

// ---------------------------------------------------------------- painters

void TControlSubClass::PaintEditBorder() {
    auto* e = static_cast<TCustomEdit*>(control_);
    TControlCanvas cv;
    cv.SetControl(e);
    TColor pen =
        (hot_ || hasFocus_) ? LightenColor(xpMenu_->SelectFrameColor(), 60) : DarkenColor(ParentColorOf(e), 60);
    if (savedBorderStyle_ == bsNone)
        pen = (hot_ && !hasFocus_) ? LightenColor(AverageColor({e->Color(), ParentColorOf(e)}), 40) : e->Color();
    cv.Pen()->SetColor(pen);
    cv.Brush()->SetStyle(bsClear);
    cv.Rectangle(e->ClientRect());
}

void TControlSubClass::PaintCheckBoxFace() {
    auto* b = static_cast<TCustomCheckBox*>(control_);
    TColor fill = clWindow, border = clBtnShadow;
    if (hot_ || hasFocus_) {
        fill = xpMenu_->SelectFillColor();
        border = xpMenu_->SelectFrameColor();
    }
    if (spaceDown_ || pressed_) fill = xpMenu_->CheckedSelectedFillColor();
    TControlCanvas cv;
    const TRect r = ClearBox(cv, b, 3, 0, BoxAtRight(b->BiDiMode(), b->Alignment()));
    const bool grayed = b->State() == cbGrayed;
    cv.Brush()->SetColor(grayed ? clSilver : fill);
    cv.Pen()->SetColor(border);
    cv.Rectangle(r);
    if (b->Checked() || grayed) {
        cv.Pen()->SetColor(!b->Enabled()              ? xpMenu_->DisabledTextColor()
                           : (spaceDown_ || pressed_) ? clWindow
                           : grayed                   ? clGray
                                                      : clHighlight);
        DrawTickMark(&cv, r.left, r.bottom);
    }
}

void TControlSubClass::PaintRadioFace() {
    auto* b = static_cast<TRadioButton*>(control_);
    TColor fill = clWindow, border = clBtnShadow;
    if (hot_) {
        fill = xpMenu_->SelectFillColor();
        border = xpMenu_->SelectFrameColor();
    }
    if (hasFocus_) fill = xpMenu_->SelectFillColor();
    TControlCanvas cv;
    TRect r = ClearBox(cv, b, 4, -1, BoxAtRight(b->BiDiMode(), b->Alignment()));
    cv.Brush()->SetColor(fill);
    cv.Pen()->SetColor(border);
    cv.Ellipse(r);
    if (b->Checked()) {
        r = Rect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
        const TColor dot = b->Enabled() ? clHighlight : xpMenu_->DisabledTextColor();
        cv.Brush()->SetColor(dot);
        cv.Pen()->SetColor(dot);
        cv.Ellipse(r);
    }
}

void TControlSubClass::PaintGroupFrame() {
    if (lastMessage_ != WM_PAINT) return;
    auto* g = static_cast<TCustomGroupBox*>(control_);
    TControlCanvas cv;
    cv.SetControl(g);
    cv.Font()->Assign(g->Font());
    const std::string caption = g->Caption();
    const TSize ts = cv.TextExtent(caption.empty() ? std::string(" ") : caption);
    const int TH = ts.cy, TW = ts.cx, half = TH / 2;
    const TColor color = g->Color();
    const TColor light = LightenColor(color, 60), dark = DarkenColor(color, 60);
    const TRect client = g->ClientRect();
    // Erase the standard frame.
    cv.Brush()->SetStyle(bsClear);
    cv.Pen()->SetColor(color);
    cv.Rectangle(client.left + 1, client.top + TH, client.right - 1, client.bottom - 1);
    const int top = client.top + half - 1;
    DrawLine(&cv, client.left + 1, top, client.left + 1, client.bottom);
    // The flat frame one pixel inside: light over dark with Ctl3D, dark all
    // round without.
    const TColor tl = g->Ctl3D() ? light : dark;
    TRect frame = Rect(client.left + 1, top, client.right - 1, client.bottom - 1);
    Frame3D(&cv, frame, tl, dark, 1);
    // Above the top line the parent shows, as it does around the caption.
    const int lineY = client.top + half + 1;
    cv.Brush()->SetStyle(bsSolid);
    cv.Brush()->SetColor(ParentColorOf(g));
    cv.FillRect(Rect(client.left, client.top, client.right, lineY));
    const bool rtl = g->UseRightToLeftReading();
    const TRect cr = rtl ? Rect(client.right - 9 - TW, client.top, client.right - 9, client.top + TH)
                         : Rect(client.left + 9, client.top, client.left + 9 + TW, client.top + TH);
    cv.SetTextFlags(rtl ? ETO_RTLREADING : 0);
    // Below the top line the caption's columns and the system's right edge
    // take the box's colour.
    cv.Brush()->SetColor(color);
    cv.FillRect(Rect(cr.left, lineY, cr.right, lineY + half + 1));
    cv.Pen()->SetColor(color);
    DrawLine(&cv, client.right - 2, lineY, client.right - 2, cr.bottom);
    cv.Brush()->SetStyle(bsClear);
    cv.TextRect(cr, cr.left, cr.top, caption);
    cv.Pen()->SetColor(tl);
    DrawLine(&cv, client.left, lineY, cr.left, lineY);
    DrawLine(&cv, cr.right, lineY, client.right - 1, lineY);
}

void TControlSubClass::PaintListBorder() {
    auto* l = dynamic_cast<TWinControl*>(control_);
    if (!l) return;
    TWindowCanvas cv(l);
    if (!cv) return;
    xpMenu_->UpdateDerivedColors(&*cv);
    const bool single = savedBorderStyle_ == bsSingle;
    TColor pen;
    if (hot_ || hasFocus_)
        pen = LightenColor(xpMenu_->SelectFrameColor(), single ? 60 : 80);
    else
        pen = single ? DarkenColor(ParentColorOf(l), 60) : ParentColorOf(l);
    cv->Pen()->SetColor(pen);
    cv->Brush()->SetStyle(bsClear);
    cv->Rectangle(0, 0, l->Width(), l->Height());
}

}  // namespace painters
