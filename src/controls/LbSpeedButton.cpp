#include "controls/LbSpeedButton.h"

#include <algorithm>
#include <memory>

#include "controls/LbFaceLayout.h"
#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/Menus.h"

namespace controls {

using namespace ui;

namespace {

struct Preset {
    TColor color, light, shadow, whenDown, hotTrack;
    bool flat;
    TLbSpeedButtonStyle style;
};
// Rows for lcsGold .. lcsAqua.
const Preset kPresets[7] = {
    {0x00C0C0, 0x00FFFF, 0x008080, clNone, 0x00DFDF, false, bsModern},
    {0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, false, bsModern},
    {0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, false, bsModern},
    {0x0000FF, 0xC0C0FF, 0x0000C0, clNone, clNone, false, bsModern},
    {clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, true, bsNormal},
    {clBtnFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, true, bsNormal},
    {0xECCE94, 0xFCE6D4, 0x000000, clNone, clNone, false, bsModern},
};

bool ScreenHasManyColours() {
    ScopedGetDC dc(nullptr);
    return !dc || GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) > 8;
}

// The glyph cell at cellOffset drawn at (x, y); a cell beyond the strip
// leaves cell 0.
void DrawGlyphCell(TCanvas* c, TBitmap* glyph, int x, int y, int cellOffset, int gh, int cw) {
    if (cw <= 0 || gh <= 0) return;
    TBitmap cell(cw, gh);
    cell.Canvas()->CopyRect(Rect(0, 0, cw, gh), glyph->Canvas(), Rect(0, 0, cw, gh));
    if (cellOffset > 0 && cellOffset < glyph->Width())
        cell.Canvas()->CopyRect(Rect(0, 0, cw, gh), glyph->Canvas(), Rect(cellOffset, 0, cellOffset + cw, gh));
    cell.SetTransparentMode(tmAuto);
    cell.SetTransparent(true);
    c->Draw(x, y, &cell);
}

void DrawPopupArrow(TCanvas* c, int x, int y) {
    TBitmap arrow;
    try {
        arrow.LoadFromResourceName(GetModuleHandleA(nullptr), "LBARROW");
    } catch (...) {
        return;  // a program built without the picture draws no arrow
    }
    arrow.SetTransparentColor(clWhite);
    arrow.SetTransparent(true);
    c->Draw(x, y, &arrow);
}

}  // namespace

void DrawVerticalGradient(TCanvas* c, TColor From, TColor To, int Left, int Top, int Right, int Bottom) {
    const TPenStyle oldPen = c->Pen()->Style();
    c->Pen()->SetStyle(psClear);
    const COLORREF f = ColorToCOLORREF(From), t = ColorToCOLORREF(To);
    double r = GetRValue(f), g = GetGValue(f), b = GetBValue(f);
    const double dr = (GetRValue(t) - r) / 31.0, dg = (GetGValue(t) - g) / 31.0, db = (GetBValue(t) - b) / 31.0;
    const int s = Bottom - Top, band = s / 31 + 1;
    for (int i = 0; i < 32; ++i) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(RGB(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)));
        const int top = Top + i * s / 31;
        c->FillRect(Rect(Left, top, Right, std::min(top + band, Bottom)));
        r += dr;
        g += dg;
        b += db;
    }
    c->Pen()->SetStyle(oldPen);
}

namespace {

TColor LbFaceColor(const TLbFace& f, bool down) {
    if (down && f.ColorWhenDown != clNone) return f.ColorWhenDown;
    if (f.Hot && f.HotTrackColor != clNone) return f.HotTrackColor;
    return ColorToRGB(f.Color);
}

// The modern style's two gradients meet a quarter down (pressed: a pixel
// lower); the others fill the whole face.
void PaintLbBackground(TCanvas* c, const TLbFace& f, TColor face, int P) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(face);
    if (f.Style != bsModern) {
        c->FillRect(Rect(-1, -1, f.W + 1, f.H + 1));
        return;
    }
    DrawVerticalGradient(c, f.LightColor, face, 2, 2, f.W - 2, f.H / 4 + P);
    DrawVerticalGradient(c, face, f.LightColor, 2, f.H / 4 + P, f.W - 2, f.H - 1);
}

// A flat button shows its frame only while hot or down.
void PaintLbFrame(TCanvas* c, const TLbFace& f, TColor face, bool down) {
    const int W = f.W, H = f.H;
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    if (f.Style == bsModern) {
        c->Pen()->SetColor(down ? f.ShadowColor : face);
        c->Rectangle(1, 1, W - 1, H - 1);
        c->Pen()->SetColor(f.ShadowColor);
        c->RoundRect(0, 0, W, H, 6, 6);
    } else if (!f.Flat || f.Hot || down) {
        c->Pen()->SetColor(down ? f.ShadowColor : f.LightColor);
        c->Polyline({Point(0, H - 1), Point(0, 0), Point(W - 1, 0)});
        c->Pen()->SetColor(down ? f.LightColor : f.ShadowColor);
        c->Polyline({Point(W - 1, 0), Point(W - 1, H - 1), Point(0, H - 1)});
    }
}

void PaintLbCaptionAndGlyph(TCanvas* c, const TLbFace& f, bool down, int P) {
    const int CW = (f.NumGlyphs > 0 && f.Glyph) ? f.Glyph->Width() / f.NumGlyphs : 0;
    const int GH = f.Glyph ? f.Glyph->Height() : 0;
    const bool beside = f.Layout == blGlyphLeft || f.Layout == blGlyphRight;
    const int U = LbCaptionWidth(f.Layout, f.W, CW);
    std::string text = f.Caption;
    // An unwrapped caption beside the glyph is cut to its width.
    if (beside && !f.WordWrap)
        while (!text.empty() && c->TextWidth(text) > U) text.pop_back();
    // The caption is measured and drawn on the DC itself, where the canvas
    // puts its font only for its own text calls: have it do so first.
    c->TextExtent(std::string());
    HDC dc = c->Handle();
    RECT r{0, 0, U, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_WORDBREAK | DT_CALCRECT);
    const int TH = r.bottom;
    const TLbLayoutOut at = PlaceLbCaptionAndGlyph({f.Layout, static_cast<TLbAlign>(f.Alignment), f.WordWrap, f.W, f.H,
                                                    P, CW, GH, beside ? c->TextWidth(text) : 0, TH});
    dc = c->Handle();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    r = RECT{at.textX, at.textY, at.textX + U, at.textY + TH};
    const UINT align = f.Alignment == taRightJustify ? DT_RIGHT : f.Alignment == taCenter ? DT_CENTER : 0;
    DrawTextA(dc, text.c_str(), -1, &r, DT_WORDBREAK | align);
    SetBkMode(dc, oldMode);
    const int cell = LbGlyphCell(f.Enabled, down, f.Hot, f.NumGlyphs);
    if (f.Glyph && !f.Glyph->Empty()) DrawGlyphCell(c, f.Glyph, at.glyphX, at.glyphY, cell * CW, GH, CW);
}

}  // namespace

void DrawLbButtonFace(TCanvas* c, const TLbFace& f) {
    const bool down = f.Down && f.Enabled;  // a disabled button counts as up
    const int P = (down && (f.Style == bsNormal || f.Style == bsModern)) ? 1 : 0;
    const TColor face = LbFaceColor(f, down);
    if (!f.Transparent) PaintLbBackground(c, f, face, P);
    PaintLbFrame(c, f, face, down);
    if (f.Font) c->SetFont(f.Font);
    if (down && f.Style == bsEncarta) c->Font()->SetStyle(c->Font()->Style() | fsBold);
    if (!f.Enabled) c->Font()->SetColor(0x808080);
    PaintLbCaptionAndGlyph(c, f, down, P);
    if (f.HasPopup) DrawPopupArrow(c, f.W - 8, f.H / 2 - 1);
}

// ---------------------------------------------------------------- TLbSpeedButton

TLbSpeedButton::TLbSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle((ControlStyle() | csSetCaption) & ~csOpaque);
    SetBounds(0, 0, 100, 23);
    SetParentColor(true);
}

void TLbSpeedButton::Changed() {
    // Without a parent there is nothing to paint on yet.
    if (!Parent()) return;
    if (transparent_)
        Invalidate();
    else
        Repaint();
}

void TLbSpeedButton::TextChanged() {
    TGraphicControl::TextChanged();
    Changed();
}

void TLbSpeedButton::SetDown(bool v) {
    if (v == down_) return;
    if (groupIndex_ != 0 && Parent()) {
        TWinControl* p = Parent();
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TLbSpeedButton*>(p->Controls(i));
                b && b != this && b->groupIndex_ == groupIndex_)
                b->SetDown(false);
    }
    down_ = v;
    Changed();
}

void TLbSpeedButton::SetGlyph(TBitmap* v) {
    if (v) {
        glyph_->Assign(v);
        numGlyphs_ = glyph_->Height() ? glyph_->Width() / glyph_->Height() : 0;
    } else {
        glyph_->SetHeight(0);
        numGlyphs_ = 0;
    }
    Changed();
}

void TLbSpeedButton::SetStyle(TLbSpeedButtonStyle v) {
    style_ = (ScreenHasManyColours() || (ComponentState() & csDesigning)) ? v : bsNormal;
    if (style_ == bsModern) alignment_ = taCenter;
    Changed();
}

void TLbSpeedButton::SetTransparent(bool v) {
    transparent_ = v;
    if (!Parent()) return;
    if (v)
        Invalidate();
    else
        Repaint();
}

void TLbSpeedButton::SetColorStyle(TLbColorStyle v) {
    if (v == lcsCustom || v > lcsAqua) return;
    const Preset& p = kPresets[v - 1];
    SetColor(p.color);
    lightColor_ = p.light;
    shadowColor_ = p.shadow;
    colorWhenDown_ = p.whenDown;
    hotTrackColor_ = p.hotTrack;
    flat_ = p.flat;
    style_ = p.style;
    Changed();
}

void TLbSpeedButton::PressWithLeft() {
    if (groupIndex_ == 0 || !down_)
        SetDown(true);
    else if (allowAllUp_)
        SetDown(false);
}

void TLbSpeedButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseDown(b, s, x, y);
    if (b == mbLeft) PressWithLeft();
}

void TLbSpeedButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseUp(b, s, x, y);
    if (b == mbLeft && groupIndex_ == 0) SetDown(false);
}

void TLbSpeedButton::Click() {
    if (TPopupMenu* m = PopupMenu()) {
        const TPoint p = ClientToScreen(Point(0, Height()));
        m->Popup(p.x, p.y);
    }
    TGraphicControl::Click();
}

void TLbSpeedButton::MouseEnter() {
    TGraphicControl::MouseEnter();
    hot_ = true;
    Changed();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TLbSpeedButton::MouseLeave() {
    TGraphicControl::MouseLeave();
    hot_ = false;
    Changed();
    if (OnMouseExit) OnMouseExit(this);
}

bool TLbSpeedButton::DialogChar(char Key) {
    if (!IsAccel(Key, Caption()) || !Enabled() || !Visible() || !Parent() || !Parent()->Showing())
        return TGraphicControl::DialogChar(Key);
    // The accelerator acts as a click: pressed and released as by the mouse,
    // so a grouped button latches.
    PressWithLeft();
    Click();
    if (groupIndex_ == 0) SetDown(false);
    return true;
}

void TLbSpeedButton::Paint() {
    if (ComponentState() & csLoading) return;
    if (!Visible() && !(ComponentState() & csDesigning)) return;
    const TLbFace f{.W = Width(),
                    .H = Height(),
                    .Alignment = alignment_,
                    .Caption = Caption(),
                    .Layout = layout_,
                    .Font = Font(),
                    .ShadowColor = shadowColor_,
                    .LightColor = lightColor_,
                    .HotTrackColor = hotTrackColor_,
                    .ColorWhenDown = colorWhenDown_,
                    .Color = Color(),
                    .Style = style_,
                    .HasPopup = PopupMenu() != nullptr,
                    .WordWrap = wordWrap_,
                    .Flat = flat_,
                    .Enabled = Enabled(),
                    .Transparent = transparent_,
                    .Hot = hot_,
                    .Down = down_,
                    .Glyph = glyph_.get(),
                    .NumGlyphs = numGlyphs_};
    if (transparent_ || style_ == bsModern) {
        DrawLbButtonFace(Canvas(), f);
        return;
    }
    TBitmap buffer(f.W, f.H);
    DrawLbButtonFace(buffer.Canvas(), f);
    Canvas()->Draw(0, 0, &buffer);
}

}  // namespace controls
