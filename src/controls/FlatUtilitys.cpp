#include "controls/FlatUtilitys.h"

#include <memory>

#include "ui/DragDrop.h"
#include "ui/GdiGuards.h"
#include "ui/Control.h"

namespace controls {

using namespace ui;

ui::TColor AdjustColorLightness(TColor BaseColor, TColor CurrentColor, TAdvColors Percent, bool Darker) {
    if (Percent == 0) return CurrentColor;
    return AdjustRgbLightness(ColorToRGB(BaseColor), CurrentColor, Percent, Darker);
}

void DeriveAdvColorSet(TColor Base, TColor& Focused, TColor& Down, TColor& Border, TAdvColors PercentFocused,
                       TAdvColors PercentDown, TAdvColors PercentBorder) {
    Focused = AdjustColorLightness(Base, Focused, PercentFocused, false);
    Down = AdjustColorLightness(Base, Down, PercentDown, true);
    Border = AdjustColorLightness(Base, Border, PercentBorder, true);
}

void DrawFrameRings(TCanvas* Canvas, const TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    TRect r = Rect;
    Canvas->Pen()->SetWidth(1);
    --r.right;
    --r.bottom;
    for (int i = 0; i < Width; ++i) {
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Polyline({Point(r.left, r.bottom), Point(r.left, r.top), Point(r.right, r.top)});
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Polyline({Point(r.right, r.top), Point(r.right, r.bottom), Point(r.left - 1, r.bottom)});
        InflateRect(&r, -1, -1);
    }
}

void PaintParentBackground(TControl* Control, TCanvas* Dest) {
    TWinControl* parent = Control->Parent();
    if (!parent) return;
    const HDC dc = Dest->Handle();
    ScopedSaveDC saved(dc);
    POINT org{};
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x - Control->Left(), org.y - Control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

TBitmap* MakeDisabledGlyph(TBitmap* Source, TColor OutlineColor, TColor BackColor, TColor HighlightColor,
                           TColor ShadowColor, bool DrawHighlight) {
    const TRect r = Rect(0, 0, Source->Width(), Source->Height());
    auto result = std::make_unique<TBitmap>(Source->Width(), Source->Height());
    auto mask = std::make_unique<TBitmap>(Source->Width(), Source->Height());
    mask->Canvas()->CopyRect(r, Source->Canvas(), r);
    mask->Canvas()->Brush()->SetColor(OutlineColor);
    if (mask->Monochrome()) {
        mask->Canvas()->Font()->SetColor(clWhite);
        mask->SetMonochrome(false);
        mask->Canvas()->Brush()->SetColor(clWhite);
    }
    mask->SetMonochrome(true);

    TCanvas* out = result->Canvas();
    out->Brush()->SetColor(BackColor);
    out->FillRect(r);
    // $00E20746 paints the brush where the mask is black and keeps the
    // destination where it is white.
    auto stamp = [&](TColor brush, int at) {
        out->Brush()->SetColor(brush);
        const HDC dc = out->Handle();
        // The raster operation reads the DC's brush: select it here, since
        // the canvas selects its own only for its drawing calls.
        ScopedGdiObject<HBRUSH> solid(CreateSolidBrush(ColorToCOLORREF(brush)));
        ScopedSelectObject sel(dc, solid);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        BitBlt(dc, at, at, r.right, r.bottom, mask->Canvas()->Handle(), 0, 0, 0x00E20746);
    };
    if (DrawHighlight) stamp(HighlightColor, 1);
    stamp(ShadowColor, 0);
    return result.release();
}

void LayoutGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                           TBitmap* Glyph, int NumGlyphs, TButtonLayout Layout, int Margin, int Spacing,
                           TPoint& GlyphPos, TRect& TextBounds) {
    TGlyphLayoutIn in{};
    in.clientLeft = Client.left;
    in.clientTop = Client.top;
    in.clientRight = Client.right;
    in.clientBottom = Client.bottom;
    in.offsetX = Offset.x;
    in.offsetY = Offset.y;
    if (Glyph && NumGlyphs > 0) {
        in.glyphWidth = Glyph->Width() / NumGlyphs;
        in.glyphHeight = Glyph->Height();
    }
    if (!Caption.empty()) {
        RECT calc{0, 0, RectWidth(Client), 0};
        DrawTextA(Canvas->Handle(), Caption.c_str(), static_cast<int>(Caption.size()), &calc,
                  DT_CALCRECT | DT_SINGLELINE);
        in.textWidth = calc.right - calc.left;
        in.textHeight = calc.bottom - calc.top;
    }
    in.layout = Layout;
    in.margin = Margin;
    in.spacing = Spacing;
    const TGlyphLayoutOut out = PlaceGlyphAndCaption(in);
    GlyphPos = Point(out.glyphX, out.glyphY);
    TextBounds = ui::Rect(out.textLeft, out.textTop, out.textRight, out.textBottom);
}

namespace {

// One solid rectangle on a canvas, the brush made and put back here.
void PatternFill(HDC dc, int x, int y, int w, int h, TColor c) {
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToCOLORREF(c)));
    ScopedSelectObject sel(dc, brush);
    PatBlt(dc, x, y, w, h, PATCOPY);
}

void CanvasGradient(TCanvas* Canvas, const TRect& R, TColor StartColor, TColor EndColor, TGradientStyle Style) {
    const HDC dc = Canvas->Handle();
    const int W = RectWidth(R), H = RectHeight(R);
    if (StartColor == EndColor) {
        PatternFill(dc, R.left, R.top, W, H, StartColor);
        return;
    }
    if (H <= 0 || W <= 0) return;
    // The pixels come from the same renderer as the bitmap path, on a
    // surface the size of the rectangle; then they go to the canvas.
    TBitmap buffer(W, H);
    TPixelSurface s{static_cast<uint8_t*>(buffer.ScanLine(0)), 0, W, H};
    if (H > 1) s.stride = static_cast<uint8_t*>(buffer.ScanLine(1)) - s.row0;
    GradientFill(s, 0, 0, W, H, ColorToRGB(StartColor), ColorToRGB(EndColor), false, Style);
    if (Style > gsDiagonalRightLeft) return;
    BitBlt(dc, R.left, R.top, W, H, buffer.Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace

void DrawGradient(TBitmap* Bitmap, TCanvas* Canvas, const TRect& Rect, TColor StartColor, TColor EndColor,
                  TGradientStyle Style) {
    try {
        if (!Bitmap) {
            CanvasGradient(Canvas, Rect, StartColor, EndColor, Style);
            return;
        }
        Bitmap->SetPixelFormat(pf32bit);
        if (Bitmap->Empty()) return;
        TPixelSurface s{static_cast<uint8_t*>(Bitmap->ScanLine(0)), 0, Bitmap->Width(), Bitmap->Height()};
        if (s.height > 1) s.stride = static_cast<uint8_t*>(Bitmap->ScanLine(1)) - s.row0;
        GradientFill(s, Rect.left, Rect.top, Rect.right, Rect.bottom, ColorToRGB(StartColor), ColorToRGB(EndColor),
                     StartColor == EndColor, Style);
    } catch (...) {
        // A failed write ends the drawing; what was drawn stays.
    }
}

// ---------------------------------------------------------------- hover

TControl* ControlUnderPointer() {
    POINT p;
    if (!GetCursorPos(&p)) return nullptr;
    return FindDragTarget(p, true);
}

void TSharedHoverTimer::Join() {
    if (!Timer) {
        Timer = new TTimer(nullptr);
        Timer->SetEnabled(false);
        Timer->SetInterval(100);
    }
    ++Live;
}

void TSharedHoverTimer::Leave(TControl* c) {
    Release(c);
    if (--Live > 0) return;
    TComponent::Free(Timer);
    Timer = nullptr;
}

void TSharedHoverTimer::MovedOver(TControl* c, IHoverTarget* Hover) {
    if (WatchedHover) WatchedHover->HoverOff();
    if (!GetActiveWindow()) return;
    Timer->SetEnabled(false);
    Watched = c;
    WatchedHover = Hover;
    Timer->OnTimer = TNotifyEvent(this, &TSharedHoverTimer::Tick);
    Timer->SetEnabled(true);
    Hover->HoverOn();
}

void TSharedHoverTimer::Tick(TObject*) {
    if (Watched && ControlUnderPointer() != Watched) WatchedHover->HoverOff();
}

void TSharedHoverTimer::Release(TControl* c) {
    if (Watched != c) return;
    Timer->SetEnabled(false);
    Watched = nullptr;
    WatchedHover = nullptr;
}

}  // namespace controls
