// The flat faces of glyph buttons (bit buttons and speed buttons) and the
// flat bevels of panels, drawn over the control after its own painting.
#include <windows.h>

#include <memory>
#include <string>

#include "painters/PaintGeometry.h"
#include "painters/XPMenu.h"
#include "ui/Buttons.h"
#include "ui/Canvas.h"
#include "ui/ControlCanvas.h"
#include "ui/GdiObjects.h"

namespace painters {

using namespace ui;

namespace {

// Tag bits of a bit button's look.
constexpr intptr_t ParentFacesBits = 0x3E8;  // faces lightened from the parent's colour
constexpr intptr_t FlatEdgeBits = 0x3E9;     // outline in the face colour, no shading line
constexpr intptr_t LeftCaptionBits = 0x3EA;  // caption at the reading side, not centred

bool HasBits(intptr_t tag, intptr_t bits) { return (tag & bits) == bits; }

// The caption's size on the canvas's font; 0 x 0 when empty.
TSize CaptionSize(TCanvas& cv, const std::string& text, bool rtl) {
    if (text.empty()) return TSize{0, 0};
    // Measured in the canvas's font: the DC holds its own until the next
    // text call of the canvas, and a taller font puts the caption high.
    ScopedSelectObject font(cv.Handle(), cv.Font()->Handle());
    RECT calc{0, 0, 0, 0};
    ::DrawTextA(cv.Handle(), text.c_str(), static_cast<int>(text.size()), &calc,
                DT_CALCRECT | DT_SINGLELINE | (rtl ? DT_RTLREADING : 0));
    return TSize{calc.right - calc.left, calc.bottom - calc.top};
}

// The pointer lies over c, its right and bottom edge included; Otherwise
// when the pointer cannot be read.
bool PointerOver(TControl* c, bool Otherwise) {
    const TRect r = c->ClientRect();
    POINT p{};
    if (!GetCursorPos(&p)) return Otherwise;
    const TPoint cp = c->ScreenToClient(Point(p.x, p.y));
    return cp.x >= r.left && cp.x <= r.right && cp.y >= r.top && cp.y <= r.bottom;
}

// A box of size S centred in a W x H client.
TRect Centred(int W, int H, TSize S) {
    return Rect((W - S.cx) / 2, (H - S.cy) / 2, (W - S.cx) / 2 + S.cx, (H - S.cy) / 2 + S.cy);
}

bool Blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

void TControlSubClass::PaintRoundedFace(TCanvas& cv, TColor Parent, TColor Face, TColor Edge, bool Shade) {
    const TRect r = control_->ClientRect();
    cv.Brush()->SetStyle(bsSolid);
    cv.Brush()->SetColor(Parent);
    cv.FillRect(r);
    cv.Brush()->SetColor(Face);
    cv.Pen()->SetColor(LightenColor(Edge, 30));
    cv.RoundRect(r.left, r.top, r.right, r.bottom, 4, 4);
    if (!Shade) return;
    cv.Pen()->SetColor(DarkenColor(Edge, 50));
    if (spaceDown_ || (pressed_ && hot_))
        cv.Polyline({Point(r.left, r.bottom - 2), Point(r.left, r.top + 1), Point(r.left + 1, r.top),
                     Point(r.right - 1, r.top)});
    else
        cv.Polyline({Point(r.right - 1, r.top + 1), Point(r.right - 1, r.bottom - 2), Point(r.right - 2, r.bottom - 1),
                     Point(r.left, r.bottom - 1)});
}

void TControlSubClass::PaintBitBtnFace() {
    auto* b = static_cast<TBitBtn*>(control_);
    const intptr_t tag = b->Tag();
    const bool parentFaces = HasBits(tag, ParentFacesBits);
    const bool flatEdge = HasBits(tag, FlatEdgeBits);
    const bool sideCaption = HasBits(tag, LeftCaptionBits);
    const bool rtl = b->UseRightToLeftReading();
    const TColor parent = ParentColorOf(b);
    TFaceColors k = ButtonColors(hot_ || spaceDown_, parentFaces, parent);
    if (flatEdge) k.edge = k.face;

    const TRect r = b->ClientRect();
    const int W = RectWidth(r), H = RectHeight(r);
    TControlCanvas cv;
    cv.SetControl(b);
    PaintRoundedFace(cv, parent, k.face, k.edge, b->Enabled() && !flatEdge);

    cv.Font()->Assign(b->Font());
    const std::string text = b->Caption();
    const TSize ts = CaptionSize(cv, text, rtl);
    // The first cell always, copied: the icon painter's effects must never
    // reach the button's own glyph.
    std::unique_ptr<TBitmap> cell = CopyGlyphCell(b->Glyph(), b->NumGlyphs(), 0);
    const int SP = Blank(text) ? 0 : b->Spacing();
    const TGlyphPlacement at = PlaceGlyph(b->Layout(), W, H, cell->Width(), cell->Height(), ts.cx, ts.cy, SP, true);
    if (!cell->Empty())
        xpMenu_->PaintIcon(b, &cv, false, hasFocus_, b->Enabled(), false, hot_, ToRect<TRect>(at.glyph), cell.get());

    TRect tr;
    unsigned format;
    if (sideCaption) {
        tr = Rect(r.left + 4, r.top + 2, r.right - 4, r.bottom - 2);
        format = rtl ? DT_RIGHT | DT_VCENTER : DT_LEFT | DT_VCENTER;
    } else {
        // Beside the glyph as its layout puts it; centred without one.
        tr = cell->Empty() ? Centred(W, H, ts) : ToRect<TRect>(at.caption);
        format = DT_CENTER | DT_VCENTER;
    }
    if (rtl) format |= DT_RTLREADING;
    xpMenu_->PaintItemText(b, &cv, text, tr, format, b->Default(), b->Enabled(), false);
}

void TControlSubClass::PaintButtonFace() {
    auto* b = static_cast<TButton*>(control_);
    const TColor parent = ParentColorOf(b);
    const TFaceColors k = ButtonColors(hot_, b->Tag() == 1000, parent);
    const TRect r = b->ClientRect();
    TControlCanvas cv;
    cv.SetControl(b);
    PaintRoundedFace(cv, parent, k.face, k.edge, b->Enabled());
    cv.Font()->Assign(b->Font());
    const std::string text = b->Caption();
    const unsigned bidi = b->UseRightToLeftReading() ? DT_RTLREADING : 0;
    const TRect tr = Centred(RectWidth(r), RectHeight(r), CaptionSize(cv, text, bidi != 0));
    xpMenu_->PaintItemText(b, &cv, text, tr, DT_CENTER | DT_VCENTER | bidi, b->Default(), b->Enabled(), false);
}

void TControlSubClass::PaintSpeedButtonFace() {
    auto* b = static_cast<TSpeedButton*>(control_);
    // A windowless button draws in its parent: nothing to draw on without
    // the parent's window, unless the parent lent its paint DC.
    if (!paintDC_ && (!b->Parent() || !b->Parent()->HandleAllocated())) return;
    // A flat button may have missed the pointer leaving.
    if (b->Flat() && hot_) hot_ = PointerOver(b, hot_);
    const TFaceColors colors = SpeedButtonColors(b);
    std::unique_ptr<TCanvas> canvas;
    if (paintDC_) {
        canvas = std::make_unique<TCanvas>(paintDC_);
    } else {
        auto own = std::make_unique<TControlCanvas>();
        own->SetControl(b);
        canvas = std::move(own);
    }
    if ((b->Down() || hot_) && b->Transparent()) TintSpeedButton(*canvas, b, colors.face);
    PaintSpeedButtonFrame(*canvas, b, colors);
    PaintSpeedButtonContent(*canvas, b);
}

TControlSubClass::TFaceColors TControlSubClass::ButtonColors(bool Hot, bool FromParent, TColor Parent) const {
    const TColor focusEdge = LightenColor(xpMenu_->SelectFrameColor(), 60);
    if (Hot) return {LightenColor(FromParent ? Parent : clBtnFace, xpMenu_->ButtonHotLevel()), focusEdge};
    return {FromParent ? LightenColor(Parent, xpMenu_->ButtonFaceLevel()) : xpMenu_->IconColumnColor(),
            hasFocus_ ? focusEdge : clBtnShadow};
}

TControlSubClass::TFaceColors TControlSubClass::SpeedButtonColors(TSpeedButton* b) const {
    const TColor parent = ParentColorOf(b);
    TFaceColors k = ButtonColors(hot_, b->Tag() == 1000, parent);
    if (b->Flat()) k.face = hot_ ? xpMenu_->SelectFillColor() : parent;
    if (b->Down())
        k = {hot_ ? xpMenu_->CheckedSelectedFillColor() : xpMenu_->CheckedFillColor(), xpMenu_->SelectFrameColor()};
    if (!b->Enabled()) k.edge = clBtnShadow;
    return k;
}

void TControlSubClass::TintSpeedButton(TCanvas& cv, TSpeedButton* b, TColor Face) {
    // What shows through gets a plain colour ANDed over it.
    TColor tint = Face;
    if (GetDeviceCaps(cv.Handle(), BITSPIXEL) > 16)
        tint = b->Flat() ? LightenColor(xpMenu_->SelectFillColor(), 20) : LightenColor(Face, 5);
    const TRect r = b->ClientRect();
    TBitmap mask(RectWidth(r), RectHeight(r));
    mask.Canvas()->Brush()->SetColor(tint);
    mask.Canvas()->FillRect(r);
    BitBlt(cv.Handle(), 0, 0, RectWidth(r), RectHeight(r), mask.Canvas()->Handle(), 0, 0, SRCAND);
}

void TControlSubClass::PaintSpeedButtonFrame(TCanvas& cv, TSpeedButton* b, const TFaceColors& k) {
    const TRect r = b->ClientRect();
    const bool flat = b->Flat(), transparent = b->Transparent(), down = b->Down();
    if (!transparent || ClassNameOf(b) == "TNavButton") {
        cv.Brush()->SetStyle(bsSolid);
        cv.Brush()->SetColor(k.face);
        cv.FillRect(r);
    }
    cv.Pen()->SetColor(flat && !transparent && !down && !hot_ ? k.face : LightenColor(k.edge, 30));
    if (transparent)
        cv.Brush()->SetStyle(bsClear);
    else {
        cv.Brush()->SetStyle(bsSolid);
        cv.Brush()->SetColor(k.face);
    }
    if (!(transparent && flat && !hot_ && !down)) cv.Rectangle(r);
    if (!b->Enabled()) return;
    // The shading line: along the top and left when pressed, the bottom and
    // right when raised; a flat button shows it only pressed.
    const bool in = pressed_ || down;
    cv.Brush()->SetStyle(bsClear);
    if (flat && (in || hot_)) {
        cv.Pen()->SetColor(in ? k.edge : xpMenu_->SelectFrameColor());
        cv.Rectangle(r);
    }
    if (flat && !in) return;
    cv.Pen()->SetColor(DarkenColor(k.edge, 50));
    if (in)
        cv.Polyline({Point(r.left, r.bottom - 1), Point(r.left, r.top), Point(r.right, r.top)});
    else
        cv.Polyline({Point(r.right - 1, r.top), Point(r.right - 1, r.bottom - 1), Point(r.left, r.bottom - 1)});
}

void TControlSubClass::PaintSpeedButtonContent(TCanvas& cv, TSpeedButton* b) {
    const TRect r = b->ClientRect();
    const bool rtl = b->UseRightToLeftReading(), down = b->Down();
    cv.Font()->Assign(b->Font());
    const std::string text = b->Caption();
    const TSize ts = CaptionSize(cv, text, rtl);
    std::unique_ptr<TBitmap> cell =
        CopyGlyphCell(b->Glyph(), b->NumGlyphs(), GlyphCellFor(b->Enabled(), pressed_, down, b->NumGlyphs()));
    // Right to left, the glyph changes sides.
    TButtonLayout layout = b->Layout();
    if (rtl && layout == blGlyphLeft)
        layout = blGlyphRight;
    else if (rtl && layout == blGlyphRight)
        layout = blGlyphLeft;
    const int SP = text.empty() ? 0 : b->Spacing();
    const TGlyphPlacement at =
        PlaceGlyph(layout, RectWidth(r), RectHeight(r), cell->Width(), cell->Height(), ts.cx, ts.cy, SP, false);
    if (!cell->Empty())
        xpMenu_->PaintIcon(b, &cv, false, hasFocus_, b->Enabled(), down || pressed_, hot_, ToRect<TRect>(at.glyph),
                           cell.get());
    xpMenu_->PaintItemText(b, &cv, text, ToRect<TRect>(at.caption), DT_CENTER | DT_VCENTER | (rtl ? DT_RTLREADING : 0),
                           false, b->Enabled(), false);
}

void TControlSubClass::PaintPanelBevels() {
    if (lastMessage_ != WM_PAINT) return;
    auto* p = static_cast<TCustomPanel*>(control_);
    const TColor light = LightenColor(p->Color(), 60), dark = DarkenColor(p->Color(), 60);
    TControlCanvas cv;
    cv.SetControl(p);
    TRect r = p->ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvLowered)
            Frame3D(&cv, r, dark, light, p->BevelWidth());
        else if (cut == bvRaised || cut == bvSpace)
            Frame3D(&cv, r, light, dark, p->BevelWidth());
    };
    bevel(p->BevelOuter());
    if (p->BevelInner() != bvNone) {
        r = Rect(r.left + p->BorderWidth(), r.top + p->BorderWidth(), r.right - p->BorderWidth(),
                 r.bottom - p->BorderWidth());
        bevel(p->BevelInner());
    }
}

}  // namespace painters
