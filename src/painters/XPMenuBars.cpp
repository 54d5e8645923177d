// The flat look of tool bars and control bars: the tool-button painter, the
// band painter, and the walk's step that hooks them.
#include <windows.h>
#include <commctrl.h>

#include <cmath>

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

} // namespace

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

void TXPMenu::HandleToolButtonDraw(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                   bool& DefaultDraw) {
    DefaultDraw = false;
    if (!Sender || !Button) return;
    // A failed paint leaves the bar's background; the bar keeps working.
    PaintQuietly([&] {
        TCanvas* c = Sender->Canvas();
        if (colorsStale_) UpdateDerivedColors(c);
        const TColor select = isHighColor_ && !useSystemColors_ ? LightenColor(selectColor_, 68) : selectFillColor_;
        const TColor barColor = Sender->Color();
        const TColor background = isHighColor_ ? LightenColor(barColor, 16) : barColor;
        const bool transparent = Sender->Transparent();
        const bool hot = State & cdsHot, checked = State & cdsChecked, pressed = State & cdsSelected;
        const bool disabled = State & cdsDisabled, indeterminate = State & cdsIndeterminate;
        const bool dropDown = Button->Style() == tbsDropDown;
        const bool rtl = Button->UseRightToLeftReading() || Sender->UseRightToLeftReading();
        c->Pen()->SetStyle(psSolid);

        // 1. background of the whole button
        const TRect bounds = Button->BoundsRect();
        if (!transparent) FillRect(c, bounds, background);

        // 2. the separator before this button, repainted in the same
        // background. The first button has none before it.
        const int index = Sender->IndexOf(Button);
        if (index > 0) {
            TToolButton* previous = Sender->Buttons(index - 1);
            if (IsSeparator(previous) && previous->Visible()) {
                const TRect p = previous->BoundsRect();
                if (!transparent) FillRect(c, p, background);
                if (previous->Tag() > 0) {
                    c->Pen()->SetColor(DarkenColor(barColor, 30));
                    const int x = p.left + RectWidth(p) / 2;
                    c->MoveTo(x, p.top + 2);
                    c->LineTo(x, p.bottom - 1);
                }
            }
        }

        // 3. the face, one pixel down
        TRect R = bounds;
        OffsetRect(&R, 0, 1);
        bool framed = false;
        if (hot) {
            FillRect(c, R, checked || pressed || Button->Down() ? checkedSelectedFillColor_ : select);
            framed = true;
        } else if (checked) {
            FillRect(c, R, checkedFillColor_);
            framed = true;
        } else if (indeterminate) {
            FillRect(c, R, select);
        } else if (Button->MenuItem() && !(State & (cdsSelected | cdsDisabled)) && !transparent) {
            FillRect(c, R, barColor);
        }
        if (framed) {
            c->Pen()->SetColor(selectFrameColor_);
            const int l = R.left, t = R.top + 1, r = R.right - 1, b = R.bottom - 1;
            if (dropDown) {
                Outline(c, l, t, r - ArrowPart, b);
                Outline(c, r - ArrowPart, t, r, b);
            } else {
                Outline(c, l, t, r, b);
            }
        }
        if ((Button->MenuItem() || Button->DropdownMenu()) && pressed)
            PaintSelectedBarItem(Button, c, barColor, R);

        // 4. the drop arrow
        if (dropDown) {
            c->Pen()->SetColor(clBlack);
            DrawDropArrow(c, R.right - 10, R.top + (RectHeight(R) - 3) / 2 + 1);
            R.right -= ArrowRoom;
        }

        // 5. the icon
        int iconWidth = 0;
        if (TCustomImageList* images = Sender->ImagesFor(Button, State)) {
            const int iw = images->Width(), ih = images->Height();
            iconWidth = iw;
            TBitmap glyph(iw, ih);
            TCanvas* gc = glyph.Canvas();
            FillRect(gc, TRect{0, 0, iw, ih}, gc->Pixels(0, ih - 1));
            ImageList_DrawEx(images->Handle(), Button->ImageIndex(), gc->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                             ILD_TRANSPARENT);
            const int x = !Sender->List() ? static_cast<int>(std::lround(R.left + (RectWidth(R) - iw) / 2.0))
                          : rtl           ? R.right - 3 - iw
                                          : R.left + 3;
            PaintIcon(Button, c, false, checked, Button->Enabled(), pressed, hot,
                      TRect{x, R.top + 2, x + iw, R.top + 2 + ih + 6}, &glyph, rtl);
        } else if (TCustomImageList* images = Sender->Images()) {
            iconWidth = images->Width();
        }

        // 6. the caption
        if (Sender->ShowCaptions()) {
            const std::string caption = Button->Caption();
            c->Font()->Assign(font_);
            TRect T = R;
            unsigned format = DT_CENTER;
            if (!Sender->List() || Button->MenuItem()) {
                if (!Sender->List()) T.top = R.bottom - c->TextHeight(caption) - 6;
                else T.top += (RectHeight(R) - c->TextHeight("W")) / 2;
            } else {
                if (rtl) T.right -= iconWidth + 7;
                else T.left += iconWidth + 6;
                format = rtl ? DT_RIGHT | DT_VCENTER : DT_VCENTER;
                T.top += (RectHeight(R) - c->TextHeight("W")) / 2;
                T.bottom = T.top + c->TextHeight("W");
            }
            if (rtl) format |= DT_RTLREADING;
            if (Button->Down() && disabled) InflateRect(&T, -1, -1);
            PaintItemText(Button, c, caption, T, format, false, Button->Enabled(), hot, "",
                          Button->MenuItem() != nullptr);
        }

    });
}

// ---------------------------------------------------------------- control bands

void TXPMenu::HandleBandPaint(TObject* Sender, TControl*, TCanvas* ACanvas, TRect& ARect,
                              TBandPaintOptions& Options) {
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

} // namespace painters
