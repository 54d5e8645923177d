// The flat look of tool bars and control bars: the tool-button painter, the
// band painter, and the walk's step that hooks them.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <memory>

#include "painters/PaintGeometry.h"
#include "painters/QuietPaint.h"
#include "painters/XPMenu.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/ImageList.h"
#include "ui/ToolWin.h"

namespace painters {

using namespace ui;

namespace {

// Width of a drop-down button's arrow part, and what the arrow takes off
// the room for icon and caption.
constexpr int ArrowPart = 13;
constexpr int ArrowRoom = 12;

bool IsSeparator(const TToolButton* b) { return b->Style() == tbsSeparator || b->Style() == tbsDivider; }

void FillRect(TCanvas* c, const TRect& r, TColor color) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->FillRect(r);
}

// A closed outline through the corners (l, t), (r, t), (r, b), (l, b).
void Outline(TCanvas* c, int l, int t, int r, int b) {
    c->Polyline({Point(l, t), Point(r, t), Point(r, b), Point(l, b), Point(l, t)});
}

}  // namespace

void TXPMenu::HookBars(TComponent* C, bool Activate, bool Repaint) {
    if (HasState(csDesigning)) return;
    if (auto* tb = dynamic_cast<TToolBar*>(C); tb && (xpControls_ & Bit(xcToolbar))) {
        // Flat on the way out too: the bar keeps the look it was given.
        if (!tb->Flat()) tb->SetFlat(true);
        const TTBCustomDrawBtnEvent ours(this, &TXPMenu::HandleToolButtonDraw);
        if (Activate) {
            if (tb->ButtonCount() > 0 && (!tb->OnCustomDrawButton || overrideOwnerDraw_)) tb->OnCustomDrawButton = ours;
        } else if (tb->OnCustomDrawButton == ours) {
            tb->OnCustomDrawButton = nullptr;
        }
        if (Repaint) tb->Invalidate();
    }
    if (auto* cb = dynamic_cast<TControlBar*>(C); cb && (xpControls_ & Bit(xcControlbar))) {
        const TBandPaintEvent ours(this, &TXPMenu::HandleBandPaint);
        if (Activate) {
            if (!cb->OnBandPaint || overrideOwnerDraw_) cb->OnBandPaint = ours;
        } else if (cb->OnBandPaint == ours) {
            cb->OnBandPaint = nullptr;
        }
        if (Repaint) cb->Invalidate();
    }
}

// ---------------------------------------------------------------- tool buttons

namespace {

// What the painting of one tool button depends on.
struct ToolButtonPaint {
    TXPMenu& menu;
    TToolBar* bar;
    TToolButton* button;
    TCanvas* c;
    TCustomDrawState state;
    TColor barColor, background, select;
    bool transparent, rtl;

    bool Has(TCustomDrawState s) const { return (state & s) != 0; }
};

// The separator before the button, repainted in the button's background;
// the first button has none before it.
void PaintSeparatorBefore(const ToolButtonPaint& p) {
    const int index = p.bar->IndexOf(p.button);
    if (index <= 0) return;
    TToolButton* previous = p.bar->Buttons(index - 1);
    if (!IsSeparator(previous) || !previous->Visible()) return;
    const TRect r = previous->BoundsRect();
    if (!p.transparent) FillRect(p.c, r, p.background);
    if (previous->Tag() <= 0) return;
    p.c->Pen()->SetColor(DarkenColor(p.barColor, 30));
    const int x = r.left + RectWidth(r) / 2;
    DrawLine(p.c, x, r.top + 2, x, r.bottom - 1);
}

// The hot, checked or pressed face in R, framed round each part of a
// drop-down button.
void PaintToolButtonFace(const ToolButtonPaint& p, const TRect& R) {
    TCanvas* c = p.c;
    const bool pressed = p.Has(cdsSelected);
    bool framed = true;
    if (p.Has(cdsHot)) {
        const bool in = p.Has(cdsChecked) || pressed || p.button->Down();
        FillRect(c, R, in ? p.menu.CheckedSelectedFillColor() : p.select);
    } else if (p.Has(cdsChecked)) {
        FillRect(c, R, p.menu.CheckedFillColor());
    } else {
        framed = false;
        if (p.Has(cdsIndeterminate))
            FillRect(c, R, p.select);
        else if (p.button->MenuItem() && !p.Has(cdsSelected | cdsDisabled) && !p.transparent)
            FillRect(c, R, p.barColor);
    }
    if (framed) {
        c->Pen()->SetColor(p.menu.SelectFrameColor());
        const int l = R.left, t = R.top + 1, r = R.right - 1, b = R.bottom - 1;
        if (p.button->Style() == tbsDropDown) {
            Outline(c, l, t, r - ArrowPart, b);
            Outline(c, r - ArrowPart, t, r, b);
        } else {
            Outline(c, l, t, r, b);
        }
    }
    if ((p.button->MenuItem() || p.button->DropdownMenu()) && pressed)
        p.menu.PaintSelectedBarItem(p.button, c, p.barColor, R);
}

// Answers the width the icon takes (the bar's image width without one).
int PaintToolButtonIcon(const ToolButtonPaint& p, const TRect& R) {
    TCustomImageList* images = p.bar->ImagesFor(p.button, p.state);
    if (!images) return p.bar->Images() ? p.bar->Images()->Width() : 0;
    const int iw = images->Width(), ih = images->Height();
    const std::unique_ptr<TBitmap> glyph = ImageListGlyph(images, p.button->ImageIndex());
    const int x = !p.bar->List() ? static_cast<int>(std::lround(R.left + (RectWidth(R) - iw) / 2.0))
                  : p.rtl        ? R.right - 3 - iw
                                 : R.left + 3;
    p.menu.PaintIcon(p.button, p.c, false, p.Has(cdsChecked), p.button->Enabled(), p.Has(cdsSelected), p.Has(cdsHot),
                     TRect{x, R.top + 2, x + iw, R.top + 2 + ih + 6}, glyph.get(), p.rtl);
    return iw;
}

void PaintToolButtonCaption(const ToolButtonPaint& p, const TRect& R, int IconWidth) {
    const std::string caption = p.button->Caption();
    p.c->Font()->Assign(p.menu.Font());
    const bool list = p.bar->List(), menuButton = p.button->MenuItem() != nullptr;
    const TBox face{R.left, R.top, R.right, R.bottom};
    const TBox box = ToolCaptionBox(face, list, menuButton, p.rtl, IconWidth, p.c->TextHeight(caption),
                                    p.c->TextHeight("W"), p.button->Down() && p.Has(cdsDisabled));
    unsigned format = !list || menuButton ? DT_CENTER : p.rtl ? DT_RIGHT | DT_VCENTER : DT_VCENTER;
    if (p.rtl) format |= DT_RTLREADING;
    p.menu.PaintItemText(p.button, p.c, caption, ToRect<TRect>(box), format, false, p.button->Enabled(), p.Has(cdsHot),
                         "", menuButton);
}

}  // namespace

void TXPMenu::HandleToolButtonDraw(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw) {
    DefaultDraw = false;
    if (!Sender || !Button) return;
    // A failed paint leaves the bar's background; the bar keeps working.
    PaintQuietly([&] {
        TCanvas* c = Sender->Canvas();
        if (colorsStale_) UpdateDerivedColors(c);
        const TColor barColor = Sender->Color();
        const ToolButtonPaint p{*this,
                                Sender,
                                Button,
                                c,
                                State,
                                barColor,
                                isHighColor_ ? LightenColor(barColor, 16) : barColor,
                                isHighColor_ && !useSystemColors_ ? LightenColor(selectColor_, 68) : selectFillColor_,
                                Sender->Transparent(),
                                Button->UseRightToLeftReading() || Sender->UseRightToLeftReading()};
        c->Pen()->SetStyle(psSolid);
        if (!p.transparent) FillRect(c, Button->BoundsRect(), p.background);
        PaintSeparatorBefore(p);
        // The face sits one pixel down.
        TRect R = Button->BoundsRect();
        OffsetRect(&R, 0, 1);
        PaintToolButtonFace(p, R);
        if (Button->Style() == tbsDropDown) {
            c->Pen()->SetColor(clBlack);
            DrawDropArrow(c, R.right - 10, R.top + (RectHeight(R) - 3) / 2 + 1);
            R.right -= ArrowRoom;
        }
        const int iconWidth = PaintToolButtonIcon(p, R);
        if (Sender->ShowCaptions()) PaintToolButtonCaption(p, R, iconWidth);
    });
}

// ---------------------------------------------------------------- control bands

void TXPMenu::HandleBandPaint(TObject* Sender, TControl*, TCanvas* ACanvas, TRect& ARect, TBandPaintOptions& Options) {
    Options = 0;
    if (!ACanvas) return;
    // As above: the band keeps the bar's colour.
    PaintQuietly([&] {
        if (colorsStale_) UpdateDerivedColors(ACanvas);
        auto* bar = dynamic_cast<TControl*>(Sender);
        const TColor color = bar ? bar->Color() : TColor(clBtnFace);
        FillRect(ACanvas, ARect, isHighColor_ ? LightenColor(color, 6) : color);
        // The grip: short lines on every other row, darker towards the
        // bottom.
        ACanvas->Pen()->SetStyle(psSolid);
        int k = 30;
        for (int y = ARect.top + 5; y <= ARect.bottom - 5; ++y) {
            ACanvas->Pen()->SetColor(DarkenColor(color, k));
            if (y % 2 == 0) {
                ACanvas->MoveTo(ARect.left + 3, y);
                ACanvas->LineTo(ARect.left + 6, y);
                k += 7;
            }
        }
    });
}

}  // namespace painters
