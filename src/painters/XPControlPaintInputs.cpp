// The flat painting of the input controls: combo boxes (and the lookup
// combo known by name), rich edits, up-down arrows, progress bars, hot-key
// fields, and the look these controls lose while taken over and get back.
#include "painters/XPMenu.h"
#include "ui/Canvas.h"
#include "ui/ComCtrls.h"
#include "ui/ControlCanvas.h"
#include "ui/GdiObjects.h"
#include "ui/StdCtrls.h"

namespace painters {

using namespace ui;

namespace {

const char* const LookupComboName = "TDBLookupComboBox";

bool SameRGB(TColor a, TColor b) { return (ColorToRGB(a) & 0xFFFFFF) == (ColorToRGB(b) & 0xFFFFFF); }

// The drop-down state and style of a combo; a control known only by name
// (the lookup combo) has neither.
bool ListDropped(TControl* c) {
    auto* cb = dynamic_cast<TCustomCombo*>(c);
    return cb && cb->DroppedDown();
}
bool SimpleStyle(TControl* c) {
    auto* cb = dynamic_cast<TCustomCombo*>(c);
    return cb && cb->Style() == csSimple;
}

// The combo's button at the right of R (at the left when RightToLeft),
// widened by Widen toward the text; filled, then its 5 pixels next to the
// text in the control's colour with a line in LineColor where the strip
// meets the button.
TRect PaintComboButton(TCanvas& cv, TRect R, int Widen, bool RightToLeft, TColor Face, TColor ControlColor,
                       TColor LineColor) {
    const int w = GetSystemMetrics(SM_CXHTHUMB) + 1 + Widen;
    const TRect b =
        RightToLeft ? Rect(R.left, R.top, R.left + w, R.bottom) : Rect(R.right - w, R.top, R.right, R.bottom);
    cv.Brush()->SetStyle(bsSolid);
    cv.Brush()->SetColor(Face);
    cv.FillRect(b);
    const TRect strip =
        RightToLeft ? Rect(b.right - 5, b.top, b.right, b.bottom) : Rect(b.left, b.top, b.left + 5, b.bottom);
    cv.Brush()->SetColor(ControlColor);
    cv.FillRect(strip);
    cv.Pen()->SetColor(LineColor);
    const int x = RightToLeft ? strip.left : strip.right - 1;
    DrawLine(&cv, x, strip.top, x, strip.bottom);
    return b;
}

}  // namespace

// ---------------------------------------------------------------- the look

void TControlSubClass::SaveInputLook() {
    auto* r = dynamic_cast<TCustomRichEdit*>(control_);
    if (!r) return;
    savedBorderWidth_ = r->BorderWidth();
    // The border is dropped now rather than from inside a paint: it
    // re-creates the window.
    if (savedBorderStyle_ == bsSingle) {
        r->SetBorderStyle(bsNone);
        if (r->BorderWidth() < 2) r->SetBorderWidth(2);
    }
}

void TControlSubClass::RestoreInputLook() {
    // A rich edit's Ctl3D and border come back with the edits'.
    if (auto* r = dynamic_cast<TCustomRichEdit*>(control_)) r->SetBorderWidth(savedBorderWidth_);
}

// ---------------------------------------------------------------- combos

void TControlSubClass::PaintComboFrame() {
    auto* cb = static_cast<TCustomCombo*>(control_);
    // A combo with an edit field hands the focus on to it: the combo counts
    // as focused while its field has the focus.
    const HWND focus = GetFocus();
    const bool focused = hasFocus_ || (focus && IsChild(cb->Handle(), focus));
    const TColor parent = ParentColorOf(cb);
    TColor arrow = cb->Enabled() ? clBlack : clWhite;
    TColor frame, button;
    if (hot_) {
        frame = xpMenu_->SelectFrameColor();
        button = xpMenu_->SelectFillColor();
    } else if (focused) {
        frame = LightenColor(xpMenu_->SelectFrameColor(), 60);
        button = xpMenu_->CheckedFillColor();
    } else {
        frame = cb->Color();
        button = cb->Tag() == 1000 ? LightenColor(parent, xpMenu_->ButtonFaceLevel()) : clBtnFace;
    }
    const bool lit = hot_ || focused;
    const TRect client = cb->ClientRect();
    TControlCanvas cv;
    cv.SetControl(cb);
    TRect r = client;
    cv.Brush()->SetColor(parent);
    cv.FrameRect(r);
    InflateRect(&r, -1, -1);
    cv.Pen()->SetColor(parent);
    cv.MoveTo(r.left, r.top);
    cv.LineTo(r.right, r.top);
    InflateRect(&r, 0, -1);
    if (lit) InflateRect(&r, 1, 1);
    cv.Brush()->SetColor(cb->Color());
    cv.FrameRect(r);
    ++r.bottom;
    cv.Brush()->SetColor(frame);
    cv.FrameRect(r);

    if (cb->DroppedDown()) {
        frame = xpMenu_->SelectFrameColor();
        arrow = clWhite;
        button = xpMenu_->CheckedSelectedFillColor();
    }
    if (cb->Style() == csSimple) return;
    InflateRect(&r, -1, -1);
    const bool rtl = cb->BiDiMode() == bdRightToLeft;
    PaintComboButton(cv, r, lit ? (rtl ? 2 : 1) : 0, rtl, button, cb->Color(), frame);
    cv.Pen()->SetColor(arrow);
    DrawDropArrow(&cv, rtl ? client.left + 5 : client.right - 10, client.top + 10);
}

void TControlSubClass::PaintLookupComboFrame() {
    auto* w = static_cast<TWinControl*>(control_);
    if (w->Ctl3D()) {
        busy_ = true;
        w->SetCtl3D(false);
    }
    const TColor parent = ParentColorOf(w);
    TColor arrow = w->Enabled() ? clBlack : clWhite;
    TColor outer, inner, button;
    if (hot_) {
        outer = inner = xpMenu_->SelectFrameColor();
        button = xpMenu_->SelectFillColor();
    } else {
        outer = DarkenColor(parent, 60);
        inner = LightenColor(xpMenu_->SelectFrameColor(), 60);
        button = hasFocus_ ? xpMenu_->CheckedFillColor() : clBtnFace;
    }
    TWindowCanvas cv(w);
    if (!cv) return;
    cv->Brush()->SetColor(outer);
    cv->FrameRect(Rect(0, 0, w->Width(), w->Height()));
    TRect client = w->ClientRect();
    OffsetRect(&client, 1, 1);
    cv->Brush()->SetColor(w->Color());
    cv->FrameRect(client);

    if (ListDropped(w)) {
        inner = xpMenu_->SelectFrameColor();
        arrow = clWhite;
        button = xpMenu_->CheckedSelectedFillColor();
    }
    if (SimpleStyle(w)) return;
    TRect r = client;
    InflateRect(&r, -1, -1);
    const bool rtl = w->BiDiMode() == bdRightToLeft;
    const TRect b = PaintComboButton(*cv, r, hot_ || hasFocus_ ? 1 : 0, rtl, button, w->Color(), inner);
    cv->Brush()->SetColor(inner);
    cv->FrameRect(b);
    cv->Pen()->SetColor(arrow);
    DrawDropArrow(&*cv, rtl ? client.left + 5 : client.right - 9, client.top + 8);
}

// ---------------------------------------------------------------- rich edit

void TControlSubClass::PaintRichEditBorder() {
    auto* re = static_cast<TCustomRichEdit*>(control_);
    TWinControl* parent = re->Parent();
    if (!parent || !parent->HandleAllocated()) return;
    const bool single = savedBorderStyle_ == bsSingle;
    if (single && (re->BorderStyle() != bsNone || re->BorderWidth() < 2)) {
        busy_ = true;
        re->SetBorderStyle(bsNone);
        if (re->BorderWidth() < 2) re->SetBorderWidth(2);
    }
    const TColor color = (hot_ || hasFocus_) ? LightenColor(xpMenu_->SelectFrameColor(), 60)
                         : single            ? DarkenColor(parent->Color(), 60)
                                             : parent->Color();
    TRect r = re->BoundsRect();
    InflateRect(&r, 1, 1);
    TControlCanvas cv;
    cv.SetControl(parent);
    Frame3D(&cv, r, color, color, 1);
}

// ---------------------------------------------------------------- up-down

void TControlSubClass::PaintSpinControl() {
    auto* u = static_cast<TWinControl*>(control_);
    const TRect r = u->ClientRect();
    const int half = (r.bottom - r.top) / 2;
    POINT p{0, 0};
    GetCursorPos(&p);
    ScreenToClient(u->Handle(), &p);
    const bool on = u->Enabled() && hot_;
    TControlCanvas cv;
    cv.SetControl(u);
    PaintSpinHalf(&cv, Rect(r.left, r.top, r.right, r.top + half), 0, on && p.y < half);
    PaintSpinHalf(&cv, Rect(r.left, r.bottom - half, r.right, r.bottom), 1, on && p.y >= half);
}

void TControlSubClass::PaintSpinHalf(TCanvas* ACanvas, TRect R, int Direction, bool IsHot) {
    const TColor parent = ParentColorOf(control_);
    TColor arrow = control_->Enabled() ? clBlack : clWhite;
    TColor border, fill;
    if (IsHot) {
        border = xpMenu_->SelectFrameColor();
        if (pressed_) {
            fill = xpMenu_->CheckedSelectedFillColor();
            arrow = clWhite;
        } else {
            fill = LightenColor(xpMenu_->SelectFillColor(), 60);
        }
    } else {
        fill = LightenColor(control_->Tag() == 1000 ? parent : xpMenu_->SelectFillColor(), xpMenu_->ButtonFaceLevel());
        border = LightenColor(parent, 80);
    }
    // Every mouse move repaints the control: a half that already shows
    // this state is left alone. The fill is compared too, or a press on
    // the lit half (same border, other fill) would never show.
    if (SameRGB(ACanvas->Pixels(R.left, R.top), border) && SameRGB(ACanvas->Pixels(R.left + 1, R.top + 1), fill)) {
        ++spinSkips_;
        return;
    }
    ACanvas->Pen()->SetColor(border);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(fill);
    ACanvas->Rectangle(R);
    ACanvas->Pen()->SetColor(arrow);
    DrawSpinArrow(ACanvas, R.left + (R.right - R.left) / 2, R.top + (R.bottom - R.top) / 2 - 2, Direction);
}

// ---------------------------------------------------------------- frames

void TControlSubClass::PaintProgressFrame() {
    auto* w = static_cast<TWinControl*>(control_);
    TWindowCanvas cv(w);
    if (!cv) return;
    cv->Pen()->SetColor(hot_ ? xpMenu_->SelectFrameColor() : DarkenColor(ParentColorOf(w), 60));
    cv->Brush()->SetStyle(bsClear);
    cv->Rectangle(0, 0, w->Width(), w->Height());
}

void TControlSubClass::PaintHotKeyFrame() {
    auto* w = static_cast<TWinControl*>(control_);
    TWindowCanvas cv(w);
    if (!cv) return;
    xpMenu_->UpdateDerivedColors(&*cv);
    cv->Pen()->SetColor((hot_ || hasFocus_) ? LightenColor(xpMenu_->SelectFrameColor(), 60)
                                            : DarkenColor(ParentColorOf(w), 60));
    cv->Brush()->SetStyle(bsClear);
    cv->Rectangle(0, 0, w->Width(), w->Height());
    cv->Pen()->SetColor(clWindow);
    cv->Rectangle(1, 1, w->Width() - 1, w->Height() - 1);
}

}  // namespace painters
