#pragma once
// Shared types and drawing routines of the flat controls: frame rings, the
// parent's background under a transparent control, the embossed disabled
// glyph, the UseAdvColors lightness rule, glyph and caption placement, and
// the gradient renderer.
#include <cstdint>
#include <string>

#include "controls/ColorMath.h"
#include "controls/GradientFill.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Colors.h"
#include "ui/Control.h"
#include "ui/GlyphLayout.h"
#include "ui/Timer.h"

namespace controls {

using ui::blGlyphBottom;
using ui::blGlyphLeft;
using ui::blGlyphRight;
using ui::blGlyphTop;
using ui::TButtonLayout;

enum TCheckBoxLayout : uint8_t { checkboxLeft, checkboxRight };
using TNumGlyphs = uint8_t;  // 1..4
using TAdvColors = uint8_t;  // 0..100, a percentage
enum TGroupBoxBorder : uint8_t { brFull, brOnlyTopLine };
enum TTransparentMode : uint8_t { tmAlways, tmNotFocused, tmNone };

// The UseAdvColors rule: a colour derived from BaseColor's lightness (see
// AdjustRgbLightness); CurrentColor is answered unchanged when Percent is 0.
ui::TColor AdjustColorLightness(ui::TColor BaseColor, ui::TColor CurrentColor, TAdvColors Percent, bool Darker);

// The three colours a UseAdvColors control derives from its Color: the
// focus colour lighter, the down and border colours darker.
void DeriveAdvColorSet(ui::TColor Base, ui::TColor& Focused, ui::TColor& Down, ui::TColor& Border,
                       TAdvColors PercentFocused, TAdvColors PercentDown, TAdvColors PercentBorder);

// Width nested rings inside Rect, top/left edges in TopColor and
// bottom/right edges in BottomColor; Rect itself is not changed.
void DrawFrameRings(ui::TCanvas* Canvas, const ui::TRect& Rect, ui::TColor TopColor, ui::TColor BottomColor, int Width);

// Paints what the parent shows under Control (its background and content)
// into Dest, whose origin is the control's top-left corner. Nothing without a
// parent.
void PaintParentBackground(ui::TControl* Control, ui::TCanvas* Dest);

// The embossed look of a disabled glyph: a new bitmap owned by the caller.
ui::TBitmap* MakeDisabledGlyph(ui::TBitmap* Source, ui::TColor OutlineColor, ui::TColor BackColor,
                               ui::TColor HighlightColor, ui::TColor ShadowColor, bool DrawHighlight);

// Places the glyph cell (Glyph's width / NumGlyphs) and the one-line caption
// measured on Canvas inside Client; Margin and Spacing -1 ask for automatic
// values.
void LayoutGlyphAndCaption(ui::TCanvas* Canvas, const ui::TRect& Client, ui::TPoint Offset, const std::string& Caption,
                           ui::TBitmap* Glyph, int NumGlyphs, TButtonLayout Layout, int Margin, int Spacing,
                           ui::TPoint& GlyphPos, ui::TRect& TextBounds);

// The control under the pointer, disabled ones included, or null.
ui::TControl* ControlUnderPointer();

// What a control with a hover state does when the hover begins or ends.
class IHoverTarget {
public:
    virtual void HoverOn() = 0;
    virtual void HoverOff() = 0;

protected:
    ~IHoverTarget() = default;
};

// A timer shared by every control of one kind, watching the one in the hover
// state, so that a pointer that left while the window was not told still ends
// the hover. It exists from the first control's creation to the last one's
// end.
struct TSharedHoverTimer {
    ui::TTimer* Timer = nullptr;
    ui::TControl* Watched = nullptr;  // not owned
    IHoverTarget* WatchedHover = nullptr;
    int Live = 0;

    // A control of the kind was made.
    void Join();
    // Control c ends: it is no longer watched; the last one frees the timer.
    void Leave(ui::TControl* c);
    // The pointer is over c, which is not the one watched: the hover of that
    // one ends, and while one of the program's windows is active, c's begins
    // and lasts until the pointer is seen elsewhere (checked every 100 ms).
    void MovedOver(ui::TControl* c, IHoverTarget* Hover);
    // Stops watching c (nothing when another control is watched).
    void Release(ui::TControl* c);

private:
    void Tick(ui::TObject* Sender);
};

// Fills Rect from StartColor to EndColor. With a bitmap (made 32 bits per
// pixel) the scan lines are written directly and only the part of Rect
// inside the bitmap is touched; without one, Canvas is drawn on.
void DrawGradient(ui::TBitmap* Bitmap, ui::TCanvas* Canvas, const ui::TRect& Rect, ui::TColor StartColor,
                  ui::TColor EndColor, TGradientStyle Style);

}  // namespace controls
