// TControlSubClass: the take-over of one standard control's WindowProc and
// the flat painting drawn over the control after its own.
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

TColor ParentColor(const TControl* c) { return c->Parent() ? c->Parent()->Color() : clBtnFace; }

void Line(TCanvas& c, int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}
} // namespace

TControlSubClass::TControlSubClass(TXPMenu* AMenu, TControl* AControl)
    : TComponent(AMenu), control_(AControl), xpMenu_(AMenu) {
    if (!control_) return;
    if (auto* e = dynamic_cast<TCustomEdit*>(control_)) {
        savedCtl3D_ = e->Ctl3D();
        savedBorderStyle_ = e->BorderStyle();
    } else if (auto* l = dynamic_cast<TCustomListView*>(control_)) {
        savedCtl3D_ = l->Ctl3D();
        savedBorderStyle_ = l->BorderStyle();
    } else if (auto* w = dynamic_cast<TWinControl*>(control_); w && ClassNameOf(w) == "TDBLookupComboBox") {
        savedCtl3D_ = w->Ctl3D();
    }
    SaveInputLook();
    Live().push_back(this);
    FreeNotification(control_);
    hook_ = TComponent::Create<TWindowProcHook>(control_, TWndMethod(this, &TControlSubClass::ControlWndProc));
    // Flat controls drop their sunken edge now rather than from inside a
    // paint, where re-creating the window would pull it out from under its
    // own WM_PAINT.
    if (auto* w = dynamic_cast<TWinControl*>(control_);
        w && w->Ctl3D() && ((dynamic_cast<TCustomEdit*>(w) && !dynamic_cast<TCustomRichEdit*>(w)) || IsListControl(w))) {
        busy_ = true;
        w->SetCtl3D(false);
    }
}

TControlSubClass::~TControlSubClass() {
    *alive_ = false;
    auto& v = Live();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (hook_) TComponent::Free(hook_);
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
            if (auto* e = dynamic_cast<TCustomEdit*>(c)) {
                e->SetCtl3D(savedCtl3D_);
                e->SetBorderStyle(savedBorderStyle_);
            } else if (auto* l = dynamic_cast<TCustomListView*>(c)) {
                l->SetCtl3D(savedCtl3D_);
                l->SetBorderStyle(savedBorderStyle_);
            } else if (auto* w = dynamic_cast<TWinControl*>(c); w && ClassNameOf(w) == "TDBLookupComboBox") {
                w->SetCtl3D(savedCtl3D_);
            }
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
    else CallSaved(m);
    if (!*alive) return;        // freed (with its menu, perhaps) meanwhile
    if (control_ != c) return;  // the control went during its own handling

    if (!xpMenu_->Active()) {
        // The control's own answer stands: only the take-over ends here.
        Restore(true);
        return;
    }
    lastMessage_ = m.Msg;
    // Painting over a control never breaks its message handling.
    PaintQuietly([&] {
        switch (m.Msg) {
        case WM_DESTROY:
            if (!busy_) Restore(false);
            break;
        case WM_SETFOCUS: hot_ = true; PaintControl(); break;
        case WM_KILLFOCUS: hot_ = false; PaintControl(); break;
        case WM_PAINT: {
            busy_ = false;
            // A graphic control draws on the DC its parent lends it.
            struct Lend {
                HDC& slot;
                Lend(HDC& s, HDC dc) : slot(s) { slot = dc; }
                ~Lend() { slot = nullptr; }
            } lend(paintDC_, graphic ? reinterpret_cast<HDC>(m.WParam) : nullptr);
            PaintControl();
            break;
        }
        case WM_WINDOWPOSCHANGED: busy_ = true; break;
        case WM_NCPAINT:
            if (IsListControl(c)) PaintListBorder();
            break;
        case EM_GETMODIFY: busy_ = true; break;
        case BM_GETCHECK:
        case BM_SETCHECK: hot_ = false; PaintControl(); break;
        case BM_SETSTATE: PaintControl(); break;
        case WM_KEYDOWN:
            if (m.WParam == VK_SPACE) {
                spaceDown_ = true;
                if (!spacePainted_) PaintControl();
                spacePainted_ = true;
            }
            break;
        case WM_KEYUP:
            if (m.WParam == VK_SPACE) {
                spaceDown_ = false;
                spacePainted_ = false;
                PaintControl();
            }
            break;
        case WM_MOUSEMOVE:
            if (c->Enabled() && ClassNameOf(c) == "TUpDown") PaintControl();
            break;
        case WM_LBUTTONDOWN: pressed_ = true; PaintControl(); break;
        case WM_LBUTTONUP:
            pressed_ = false;
            if (graphic) c->Repaint();
            else PaintControl();
            break;
        case WM_LBUTTONDBLCLK:
            if (dynamic_cast<TButton*>(c) || dynamic_cast<TSpeedButton*>(c) || dynamic_cast<TCheckBox*>(c))
                c->Perform(WM_LBUTTONDOWN, m.WParam, m.LParam);
            break;
        case CM_FOCUSCHANGED:
        case CM_PARENTCOLORCHANGED:
        case CM_TEXTCHANGED: PaintControl(); break;
        case CM_ENABLEDCHANGED:
            if (m.WParam == 0) hot_ = false;
            PaintControl();
            break;
        case CM_CTL3DCHANGED:
        case CM_PARENTCTL3DCHANGED:
        case CM_INVALIDATE:
        case CN_PARENTNOTIFY: busy_ = true; break;
        case CM_MOUSEENTER:
            if (c->Enabled()) {
                hot_ = true;
                if (graphic) c->Repaint();
                else PaintControl();
            }
            break;
        case CM_MOUSELEAVE:
            if (c->Enabled()) {
                hot_ = false;
                if (graphic) c->Invalidate();
                else PaintControl();
            }
            break;
        case CM_EXIT: hot_ = false; PaintControl(); break;
        default: break;
        }
    });
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
    if (dynamic_cast<TCustomRichEdit*>(c)) PaintRichEditBorder();
    else if (dynamic_cast<TCustomEdit*>(c)) PaintEditBorder();
    if (dynamic_cast<TCustomCheckBox*>(c)) PaintCheckBoxFace();
    if (dynamic_cast<TRadioButton*>(c)) PaintRadioFace();
    if (dynamic_cast<TBitBtn*>(c)) PaintBitBtnFace();
    else if (dynamic_cast<TButton*>(c)) PaintButtonFace();
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
    TColor pen = (hot_ || hasFocus_) ? LightenColor(xpMenu_->SelectFrameColor(), 60)
                                     : DarkenColor(ParentColor(e), 60);
    if (savedBorderStyle_ == bsNone)
        pen = (hot_ && !hasFocus_) ? LightenColor(AverageColor({e->Color(), ParentColor(e)}), 40) : e->Color();
    cv.Pen()->SetColor(pen);
    cv.Brush()->SetStyle(bsClear);
    cv.Rectangle(e->ClientRect());
}

void TControlSubClass::PaintCheckBoxFace() {
    auto* b = static_cast<TCustomCheckBox*>(control_);
    const int S = GetSystemMetrics(SM_CXHTHUMB);
    TColor fill = clWindow, border = clBtnShadow;
    if (hot_ || hasFocus_) {
        fill = xpMenu_->SelectFillColor();
        border = xpMenu_->SelectFrameColor();
    }
    if (spaceDown_ || pressed_) fill = xpMenu_->CheckedSelectedFillColor();
    TRect r = b->ClientRect();
    r.top += 3;
    r.bottom -= 3;
    r.top += (RectHeight(r) - S) / 2;
    r.bottom = r.top + S;
    if (BoxAtRight(b->BiDiMode(), b->Alignment())) r.left = r.right - S + 1;
    else r.right = r.left + S - 1;
    TControlCanvas cv;
    cv.SetControl(b);
    cv.Brush()->SetColor(b->Color());
    cv.FillRect(r);
    r = Rect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
    const bool grayed = b->State() == cbGrayed;
    cv.Brush()->SetColor(grayed ? clSilver : fill);
    cv.Pen()->SetColor(border);
    cv.Rectangle(r);
    if (b->Checked() || grayed) {
        cv.Pen()->SetColor(!b->Enabled() ? xpMenu_->DisabledTextColor()
                           : (spaceDown_ || pressed_) ? clWindow
                           : grayed ? clGray
                                    : clHighlight);
        DrawTickMark(&cv, r.left, r.bottom);
    }
}

void TControlSubClass::PaintRadioFace() {
    auto* b = static_cast<TRadioButton*>(control_);
    const int S = GetSystemMetrics(SM_CXHTHUMB);
    TColor fill = clWindow, border = clBtnShadow;
    if (hot_) {
        fill = xpMenu_->SelectFillColor();
        border = xpMenu_->SelectFrameColor();
    }
    if (hasFocus_) fill = xpMenu_->SelectFillColor();
    TRect r = b->ClientRect();
    r.top += 4;
    r.bottom -= 4;
    r.top += (RectHeight(r) - S) / 2;
    r.bottom = r.top + S - 1;
    if (BoxAtRight(b->BiDiMode(), b->Alignment())) r.left = r.right - S + 1;
    else r.right = r.left + S - 1;
    TControlCanvas cv;
    cv.SetControl(b);
    cv.Brush()->SetColor(b->Color());
    cv.FillRect(r);
    r = Rect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
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

void TControlSubClass::PaintButtonFace() {
    auto* b = static_cast<TButton*>(control_);
    const bool variant = b->Tag() == 1000;
    const TColor parent = ParentColor(b);
    TColor face, edge;
    if (hot_) {
        face = LightenColor(variant ? parent : clBtnFace, xpMenu_->ButtonHotLevel());
        edge = LightenColor(xpMenu_->SelectFrameColor(), 60);
    } else {
        face = variant ? LightenColor(parent, xpMenu_->ButtonFaceLevel()) : xpMenu_->IconColumnColor();
        edge = hasFocus_ ? LightenColor(xpMenu_->SelectFrameColor(), 60) : clBtnShadow;
    }
    const TRect r = b->ClientRect();
    TControlCanvas cv;
    cv.SetControl(b);
    PaintRoundedFace(cv, parent, face, edge, b->Enabled());
    cv.Font()->Assign(b->Font());
    const std::string text = b->Caption();
    RECT calc{0, 0, 0, 0};
    const unsigned bidi = b->UseRightToLeftReading() ? DT_RTLREADING : 0;
    ::DrawTextA(cv.Handle(), text.c_str(), static_cast<int>(text.size()), &calc, DT_CALCRECT | DT_SINGLELINE | bidi);
    const int left = (RectWidth(r) - (calc.right - calc.left)) / 2;
    const int top = (RectHeight(r) - (calc.bottom - calc.top)) / 2;
    const TRect tr = Rect(left, top, left + (calc.right - calc.left), top + (calc.bottom - calc.top));
    xpMenu_->PaintItemText(b, &cv, text, tr, DT_CENTER | DT_VCENTER | bidi, b->Default(), b->Enabled(), false);
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
    Line(cv, client.left + 1, top, client.left + 1, client.bottom);
    // The flat frame one pixel inside: light over dark with Ctl3D, dark all
    // round without.
    const TColor tl = g->Ctl3D() ? light : dark;
    TRect frame = Rect(client.left + 1, top, client.right - 1, client.bottom - 1);
    Frame3D(&cv, frame, tl, dark, 1);
    // Above the top line the parent shows, as it does around the caption.
    const int lineY = client.top + half + 1;
    cv.Brush()->SetStyle(bsSolid);
    cv.Brush()->SetColor(ParentColor(g));
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
    Line(cv, client.right - 2, lineY, client.right - 2, cr.bottom);
    cv.Brush()->SetStyle(bsClear);
    cv.TextRect(cr, cr.left, cr.top, caption);
    cv.Pen()->SetColor(tl);
    Line(cv, client.left, lineY, cr.left, lineY);
    Line(cv, cr.right, lineY, client.right - 1, lineY);
}

void TControlSubClass::PaintListBorder() {
    auto* l = dynamic_cast<TWinControl*>(control_);
    if (!l) return;
    TWindowCanvas cv(l);
    if (!cv) return;
    xpMenu_->UpdateDerivedColors(&*cv);
    const bool single = savedBorderStyle_ == bsSingle;
    TColor pen;
    if (hot_ || hasFocus_) pen = LightenColor(xpMenu_->SelectFrameColor(), single ? 60 : 80);
    else pen = single ? DarkenColor(ParentColor(l), 60) : ParentColor(l);
    cv->Pen()->SetColor(pen);
    cv->Brush()->SetStyle(bsClear);
    cv->Rectangle(0, 0, l->Width(), l->Height());
}

} // namespace painters
