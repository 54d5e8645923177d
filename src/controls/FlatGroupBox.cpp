#include "controls/FlatGroupBox.h"

#include "controls/FlatUtilitys.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/GdiGuards.h"

namespace controls {

using namespace ui;

namespace {

// Draws the caption in r on c: in the font's colour when enabled, embossed
// (highlight one pixel down and right, shadow on top) when disabled.
void DrawCaption(TCanvas* c, const std::string& caption, TRect r, UINT flags, bool enabled, TColor fontColor) {
    HDC dc = c->Handle();
    ScopedSaveDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    if (enabled) {
        SetTextColor(dc, ColorToCOLORREF(fontColor));
        DrawTextA(dc, caption.c_str(), -1, &r, flags);
        return;
    }
    TRect shifted = r;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, ColorToCOLORREF(clBtnHighlight));
    DrawTextA(dc, caption.c_str(), -1, &shifted, flags);
    SetTextColor(dc, ColorToCOLORREF(clBtnShadow));
    DrawTextA(dc, caption.c_str(), -1, &r, flags);
}

// The background of an off-screen picture: the parent's image or a fill.
void PaintBackground(TControl* control, TCanvas* c, const TRect& r, bool transparent) {
    if (transparent) {
        PaintParentBackground(control, c);
    } else {
        c->Brush()->SetColor(control->Color());
        c->FillRect(r);
    }
}

// The caption's width and height in the given font.
SIZE CaptionExtent(TCanvas* c, const std::string& caption) {
    SIZE s{};
    GetTextExtentPoint32A(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &s);
    if (caption.empty()) {
        SIZE line{};
        GetTextExtentPoint32A(c->Handle(), "W", 1, &line);
        s.cy = line.cy;
    }
    return s;
}

}  // namespace

// ================================================================ TFlatGroupBox

TFlatGroupBox::TFlatGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
    SetParentFont(true);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TFlatGroupBox::SetTransparent(bool v) {
    transparent_ = v;
    Invalidate();
}

void TFlatGroupBox::SetColorBorder(TColor v) {
    colorBorder_ = v;
    Invalidate();
}

void TFlatGroupBox::SetBorder(TGroupBoxBorder v) {
    border_ = v;
    Invalidate();
}

void TFlatGroupBox::SetAdvColorBorder(TAdvColors v) {
    advColorBorder_ = v;
    DeriveAdvColors();
    Invalidate();
}

void TFlatGroupBox::SetUseAdvColors(bool v) {
    if (v == useAdvColors_) return;
    useAdvColors_ = v;
    SetParentColor(v);
    DeriveAdvColors();
    Invalidate();
}

void TFlatGroupBox::SetBiDiMode(TBiDiMode v) {
    TCustomControl::SetBiDiMode(v);
    Invalidate();
}

void TFlatGroupBox::DeriveAdvColors() {
    if (useAdvColors_) colorBorder_ = AdjustColorLightness(ColorToRGB(Color()), colorBorder_, advColorBorder_, true);
}

void TFlatGroupBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_MOVE:
        TCustomControl::WndProc(m);
        if (transparent_) Invalidate();
        return;
    case CM_PARENTCOLORCHANGED:
        TCustomControl::WndProc(m);
        if (useAdvColors_) {
            SetParentColor(true);
            DeriveAdvColors();
        }
        Invalidate();
        return;
    case CM_SYSCOLORCHANGE:
        if (useAdvColors_) {
            SetParentColor(true);
            DeriveAdvColors();
        }
        Invalidate();
        return;
    }
    TCustomControl::WndProc(m);
}

void TFlatGroupBox::Resize() {
    TCustomControl::Resize();
    if (transparent_) Invalidate();
}

bool TFlatGroupBox::DialogChar(char Key) {
    if (IsAccel(Key, Caption()) && CanFocus()) {
        SetFocus();
        return true;
    }
    return TCustomControl::DialogChar(Key);
}

void TFlatGroupBox::EnabledChanged() {
    TCustomControl::EnabledChanged();
    Invalidate();
}

void TFlatGroupBox::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
}

void TFlatGroupBox::Paint() {
    const TRect cr = ClientRect();
    const int L = cr.left, T = cr.top, R = cr.right, B = cr.bottom;
    const bool rtl = BiDiMode() == bdRightToLeft;
    const UINT flags = rtl ? (DT_SINGLELINE | DT_RIGHT) : DT_SINGLELINE;
    const std::string caption = Caption();

    TBitmap picture(R, B);
    TCanvas* c = picture.Canvas();
    c->Font()->Assign(Font());
    HDC dc = c->Handle();
    ScopedSelectObject font(dc, Font()->Handle());
    const SIZE text = CaptionExtent(c, caption);
    const int TW = text.cx, TH = text.cy;
    const TRect textRect = Rect(L + 10, T, R - 10, T + TH);

    PaintBackground(this, c, cr, transparent_);

    HPEN pen = CreatePen(PS_SOLID, 1, ColorToCOLORREF(colorBorder_));
    if (pen) {
        ScopedGdiObject<HPEN> owned(pen);
        ScopedSelectObject sel(dc, pen);
        const int Y = T + TH / 2;
        if (border_ == brFull) {
            POINT ltr[6] = {{L + 5, Y}, {L, Y}, {L, B - 1}, {R - 1, B - 1}, {R - 1, Y}, {L + TW + 12, Y}};
            POINT rtlPts[6] = {{R - TW - 15, Y}, {L, Y}, {L, B - 1}, {R - 1, B - 1}, {R - 1, Y}, {R - 7, Y}};
            Polyline(dc, rtl ? rtlPts : ltr, 6);
        } else if (rtl) {
            POINT a[2] = {{R - 5, Y}, {R, Y}}, b[2] = {{L + 1, Y}, {R - TW - 12, Y}};
            Polyline(dc, a, 2);
            Polyline(dc, b, 2);
        } else {
            POINT a[2] = {{L + 5, Y}, {L, Y}}, b[2] = {{R - 1, Y}, {L + TW + 12, Y}};
            Polyline(dc, a, 2);
            Polyline(dc, b, 2);
        }
    }
    DrawCaption(c, caption, textRect, flags, Enabled(), Font()->Color());
    BitBlt(Canvas()->Handle(), 0, 0, R, B, dc, 0, 0, SRCCOPY);
}

// ================================================================ TFlatPanel

TFlatPanel::TFlatPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetParentFont(true);
    SetParentColor(true);
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
    SetBounds(0, 0, 185, 41);
}

void TFlatPanel::SetTransparent(bool v) {
    transparent_ = v;
    Invalidate();
}

void TFlatPanel::SetColorHighLight(TColor v) {
    colorHighLight_ = v;
    Invalidate();
}

void TFlatPanel::SetColorShadow(TColor v) {
    colorShadow_ = v;
    Invalidate();
}

void TFlatPanel::EnabledChanged() {
    TCustomPanel::EnabledChanged();
    Invalidate();
}

void TFlatPanel::TextChanged() {
    TCustomPanel::TextChanged();
    Invalidate();
}

void TFlatPanel::Paint() {
    const TRect cr = ClientRect();
    UINT flags = DT_SINGLELINE | DT_VCENTER;
    if (Alignment() == taRightJustify)
        flags |= DT_RIGHT;
    else if (Alignment() == taCenter)
        flags |= DT_CENTER;

    TBitmap picture(RectWidth(cr), RectHeight(cr));
    TCanvas* c = picture.Canvas();
    PaintBackground(this, c, cr, transparent_);
    DrawFrameRings(c, cr, colorHighLight_, colorShadow_, 1);
    HDC dc = c->Handle();
    ScopedSelectObject font(dc, Font()->Handle());
    DrawCaption(c, Caption(), cr, flags, Enabled(), Font()->Color());
    BitBlt(Canvas()->Handle(), 0, 0, RectWidth(cr), RectHeight(cr), dc, 0, 0, SRCCOPY);
}

}  // namespace controls
