#include "ui/Buttons.h"

#include <algorithm>

#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

namespace ui {

int GlyphCellFor(bool Enabled, bool Pressed, bool Down, int NumGlyphs) {
    int cell = 0;
    if (!Enabled && NumGlyphs > 1) cell = 1;
    if (Pressed && NumGlyphs > 2) cell = 2;
    if (Down && NumGlyphs > 3) cell = 3;
    return cell;
}

std::unique_ptr<TBitmap> CopyGlyphCell(TBitmap* Glyph, int NumGlyphs, int Cell) {
    auto cell = std::make_unique<TBitmap>();
    if (!Glyph || Glyph->Empty()) return cell;
    const int n = std::max(1, NumGlyphs);
    const int w = Glyph->Width() / n, h = Glyph->Height();
    if (w <= 0) return cell;
    Cell = std::clamp(Cell, 0, n - 1);
    cell->SetSize(w, h);
    cell->Canvas()->CopyRect(TRect{0, 0, w, h}, Glyph->Canvas(), TRect{Cell * w, 0, Cell * w + w, h});
    return cell;
}

// ---------------------------------------------------------------- glyph properties

void TGlyphProperties::SetGlyph(TBitmap* v) {
    if (v)
        glyph_->Assign(v);
    else
        glyph_->SetSize(0, 0);
    GlyphChanged();
}

void TGlyphProperties::SetNumGlyphs(int v) {
    v = std::clamp(v, 1, 4);
    if (v == numGlyphs_) return;
    numGlyphs_ = v;
    GlyphChanged();
}

void TGlyphProperties::SetLayout(TButtonLayout v) {
    if (v == layout_) return;
    layout_ = v;
    GlyphChanged();
}

void TGlyphProperties::SetSpacing(int v) {
    if (v == spacing_) return;
    spacing_ = v;
    GlyphChanged();
}

// ---------------------------------------------------------------- TBitBtn

void TBitBtn::SetMargin(int v) {
    if (v < -1) v = -1;
    if (v == margin_) return;
    margin_ = v;
    Invalidate();
}

// ---------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    // A quick second click is a second press, not a double click.
    // It fills its whole face unless Transparent.
    SetControlStyle((ControlStyle() & ~static_cast<TControlStyle>(csDoubleClicks)) | csOpaque);
    SetBounds(0, 0, 23, 22);
}

template <class F> void TSpeedButton::ForGroup(F f) {
    if (groupIndex_ == 0 || !Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
        if (b && b != this && b->groupIndex_ == groupIndex_) f(b);
    }
}

void TSpeedButton::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    SetControlStyle(v ? ControlStyle() & ~static_cast<TControlStyle>(csOpaque) : ControlStyle() | csOpaque);
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
    if (v == groupIndex_) return;
    groupIndex_ = v;
    if (groupIndex_ == 0)
        SetDown(false);
    else if (down_)
        ForGroup([](TSpeedButton* b) { b->SetDown(false); });
}

void TSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_) return;
    down_ = v;
    if (down_) ForGroup([](TSpeedButton* b) { b->SetDown(false); });
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool v) {
    if (v == allowAllUp_) return;
    allowAllUp_ = v;
    ForGroup([v](TSpeedButton* b) { b->allowAllUp_ = v; });
}

void TSpeedButton::Click() {
    if (groupIndex_ != 0) {
        if (!down_)
            SetDown(true);
        else if (allowAllUp_)
            SetDown(false);
    }
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        pressed_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && pressed_) {
        pressed_ = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::MouseEnter() {
    mouseIn_ = true;
    if (flat_ && Enabled()) Invalidate();
}

void TSpeedButton::MouseLeave() {
    mouseIn_ = false;
    if (flat_ && Enabled()) Invalidate();
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    const bool sunk = pressed_ || down_;
    if (!transparent_) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    if (!flat_ || sunk || (mouseIn_ && Enabled())) {
        RECT e = r;
        const UINT edge = flat_ ? (sunk ? BDR_SUNKENOUTER : BDR_RAISEDINNER) : (sunk ? EDGE_SUNKEN : EDGE_RAISED);
        DrawEdge(c->Handle(), &e, edge, BF_RECT);
    }
    c->Font()->Assign(Font());
    const std::string text = Caption();
    const TSize ts = text.empty() ? TSize{0, 0} : c->TextExtent(text);
    std::unique_ptr<TBitmap> cell =
        CopyGlyphCell(Glyph(), NumGlyphs(), GlyphCellFor(Enabled(), pressed_, down_, NumGlyphs()));
    TGlyphLayoutIn in{r.left, r.top,         r.right,        r.bottom, sunk ? 1 : 0, sunk ? 1 : 0, ts.cx,
                      ts.cy,  cell->Width(), cell->Height(), Layout(), -1,           Spacing()};
    const TGlyphLayoutOut out = PlaceGlyphAndCaption(in);
    if (!cell->Empty()) {
        cell->SetTransparent(true);
        c->Draw(out.glyphX, out.glyphY, cell.get());
    }
    if (!text.empty()) {
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
        RECT tr{out.textLeft, out.textTop, out.textRight, out.textBottom};
        UINT f = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (UseRightToLeftReading()) f |= DT_RTLREADING;
        ::DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &tr, f);
    }
}

}  // namespace ui
