#include "controls/FlatCheckBox.h"

#include <algorithm>

#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

namespace {

// Watches the check box in the hover state.
TSharedHoverTimer CheckBoxHoverTimer;

}  // namespace

TFlatCheckBox::TFlatCheckBox(TComponent* AOwner) : TCustomControl(AOwner) {
    CheckBoxHoverTimer.Join();
    SetParentColor(true);
    SetParentFont(true);
    SetTabStop(true);
    SetBounds(0, 0, 121, 17);
}

TFlatCheckBox::~TFlatCheckBox() { CheckBoxHoverTimer.Leave(this); }

void TFlatCheckBox::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Click();
    PaintBoxAndMark();
}

void TFlatCheckBox::SetColorAt(TColor& field, TColor v) {
    field = v;
    Invalidate();
}

void TFlatCheckBox::SetAdvAt(TAdvColors& field, TAdvColors v) {
    field = v > 100 ? 100 : v;
    DeriveAdvColors();
    Invalidate();
}

void TFlatCheckBox::SetUseAdvColors(bool v) {
    if (v == useAdvColors_) return;
    useAdvColors_ = v;
    SetParentColor(v);
    DeriveAdvColors();
    Invalidate();
}

void TFlatCheckBox::DeriveAdvColors() {
    if (!useAdvColors_) return;
    DeriveAdvColorSet(Color(), colorFocused_, colorDown_, colorBorder_, advFocused_, advDown_, advBorder_);
}

void TFlatCheckBox::ColorChanged() {
    TCustomControl::ColorChanged();
    DeriveAdvColors();
    Invalidate();
}

void TFlatCheckBox::SetLayout(TCheckBoxLayout v) {
    layout_ = v;
    Invalidate();
}

void TFlatCheckBox::SetBiDiMode(TBiDiMode v) {
    TCustomControl::SetBiDiMode(v);
    SetLayout(v == bdRightToLeft ? checkboxRight : checkboxLeft);
}

void TFlatCheckBox::SetTransparent(bool v) {
    transparent_ = v;
    Invalidate();
}

TRect TFlatCheckBox::BoxRect() {
    TRect c = ClientRect();
    if (layout_ == checkboxLeft) return Rect(c.left + 1, c.top + 3, c.left + 12, c.top + 14);
    return Rect(c.right - 12, c.top + 3, c.right - 1, c.top + 14);
}

void TFlatCheckBox::PaintBoxAndMark() {
    if (!HandleAllocated() || !Visible()) return;
    TCanvas* c = Canvas();
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    TRect box = BoxRect();
    TColor fill = (hasFocus_ || hot_) ? (tracking_ ? colorDown_ : colorFocused_) : Color();
    c->Brush()->SetColor(fill);
    c->FillRect(box);
    if (checked_) {
        c->Pen()->SetColor(Enabled() ? colorCheck_ : clBtnShadow);
        int x0 = box.left, y0 = box.top;
        const int strokes[6][4] = {{2, 4, 6, 8}, {2, 5, 5, 8}, {2, 6, 5, 9}, {8, 2, 4, 6}, {8, 3, 4, 7}, {8, 4, 5, 7}};
        for (auto& s : strokes) {
            c->MoveTo(x0 + s[0], y0 + s[1]);
            c->LineTo(x0 + s[2], y0 + s[3]);
        }
    }
    c->Brush()->SetColor(colorBorder_);
    c->FrameRect(box);
}

TRect TFlatCheckBox::CaptionRect(UINT& Flags) {
    const TRect r = ClientRect();
    Flags = DT_WORDBREAK;
    if (layout_ == checkboxLeft) return Rect(r.left + 16, r.top + 1, r.right - 1, r.bottom - 1);
    Flags |= DT_RIGHT;
    return Rect(r.left + 1, r.top + 1, r.right - 16, r.bottom - 1);
}

bool TFlatCheckBox::ShowsFocusCue() {
    if (!hasFocus_ || clickFocus_ || !HandleAllocated()) return false;
    return !(SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void TFlatCheckBox::FocusMoved(bool Gained) {
    // The form's enter may follow the window's focus: the first one tells.
    if (Gained && !hasFocus_) clickFocus_ = clicking_;
    hasFocus_ = Gained;
    PaintBoxAndMark();
    Invalidate();  // the caption's focus rectangle
}

void TFlatCheckBox::PaintCheckCaption() {
    TCanvas* c = Canvas();
    UINT flags = 0;
    TRect r = CaptionRect(flags);
    // Drawn straight on the DC with the control's font, transparent.
    std::string text = Caption();
    HDC dc = c->Handle();
    ScopedSelectObject font(dc, Font()->Handle());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (Enabled()) {
        SetTextColor(dc, ColorToCOLORREF(Font()->Color()));
        DrawTextA(dc, text.c_str(), -1, &r, flags);
    } else {
        TRect r2 = Rect(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1);
        SetTextColor(dc, ColorToCOLORREF(clBtnHighlight));
        DrawTextA(dc, text.c_str(), -1, &r2, flags);
        SetTextColor(dc, ColorToCOLORREF(clBtnShadow));
        DrawTextA(dc, text.c_str(), -1, &r, flags);
    }
    SetBkMode(dc, oldMode);
    if (ShowsFocusCue() && !text.empty()) {
        // Around the text as drawn, one pixel out, inside the control.
        RECT t = r;
        DrawTextA(dc, text.c_str(), -1, &t, flags | DT_CALCRECT);
        if (flags & DT_RIGHT) OffsetRect(&t, r.right - t.right, 0);
        const TRect client = ClientRect();
        RECT focus{std::max<LONG>(t.left - 1, client.left), std::max<LONG>(t.top - 1, client.top),
                   std::min<LONG>(t.right + 1, client.right), std::min<LONG>(t.bottom + 1, client.bottom)};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

void TFlatCheckBox::Paint() {
    if (transparent_) PaintParentBackground(this, Canvas());
    PaintBoxAndMark();
    PaintCheckCaption();
}

void TFlatCheckBox::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (b != mbLeft || !Enabled()) return;
    SetFocus();
    tracking_ = true;
    PaintBoxAndMark();
    TCustomControl::MouseDown(b, s, x, y);
}

void TFlatCheckBox::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (b != mbLeft || !Enabled()) return;
    tracking_ = false;
    if (hot_) SetChecked(!checked_);
    PaintBoxAndMark();
    TCustomControl::MouseUp(b, s, x, y);
}

void TFlatCheckBox::MouseMove(TShiftState s, int x, int y) {
    TCustomControl::MouseMove(s, x, y);
    // While the button is held the mouse is captured: moves outside the box
    // start no hover.
    if (CheckBoxHoverTimer.Watched == this || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    CheckBoxHoverTimer.MovedOver(this, this);
}

void TFlatCheckBox::HoverOn() {
    if (!Enabled() || hot_) return;
    hot_ = true;
    PaintBoxAndMark();
}

void TFlatCheckBox::HoverOff() {
    if (!Enabled() || !hot_ || tracking_) return;
    hot_ = false;
    ReleaseHoverTimer();
    PaintBoxAndMark();
}

void TFlatCheckBox::ReleaseHoverTimer() { CheckBoxHoverTimer.Release(this); }

void TFlatCheckBox::DoEnter() {
    TCustomControl::DoEnter();
    FocusMoved(true);
}

void TFlatCheckBox::DoExit() {
    TCustomControl::DoExit();
    // Losing the focus ends the hover too (a message box opened from
    // OnClick takes it): the next move over the box starts a new one.
    hot_ = false;
    ReleaseHoverTimer();
    FocusMoved(false);
}

void TFlatCheckBox::MouseLeave() {
    TCustomControl::MouseLeave();
    // The hover ends when the pointer leaves, unless the button is held.
    HoverOff();
}

void TFlatCheckBox::EnabledChanged() {
    TCustomControl::EnabledChanged();
    if (!Enabled()) {
        hot_ = false;
        tracking_ = false;
        ReleaseHoverTimer();
    }
    Invalidate();
}

bool TFlatCheckBox::DialogChar(char Key) {
    if (IsAccel(Key, Caption()) && CanFocus()) {
        SetFocus();
        SetChecked(!checked_);
        return true;
    }
    if (Key == ' ' && hasFocus_) SetChecked(!checked_);
    return false;
}

void TFlatCheckBox::WndProc(TMessage& m) {
    // A focus given while the button goes down on the box comes by the click.
    const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
    if (press) clicking_ = true;
    TCustomControl::WndProc(m);
    if (press) clicking_ = false;
    if ((m.Msg == WM_MOVE || m.Msg == WM_SIZE) && transparent_) Invalidate();
    // Focus lost to another program runs no exit of the form's control, and
    // focus coming back (from there, or from a dialog the box opened) runs
    // no enter: the form's active control never changed.
    if (m.Msg == WM_KILLFOCUS && Enabled()) {
        hot_ = false;
        ReleaseHoverTimer();
        FocusMoved(false);
    } else if (m.Msg == WM_SETFOCUS && !hasFocus_) {
        FocusMoved(true);
    } else if (m.Msg == WM_UPDATEUISTATE) {
        Invalidate();
    }
}

}  // namespace controls
