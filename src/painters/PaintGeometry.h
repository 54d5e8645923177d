#pragma once
// Where the flat painters put things: the rectangles of a menu item and of a
// tool button's caption, and the glyph and caption of a glyph button. Plain
// integer geometry with no window system calls, so it is checked on the host;
// the caller measures the text and converts the boxes with ToRect.
#include "ui/GlyphLayout.h"

namespace painters {

struct TBox {
    int left, top, right, bottom;
};
template <class Rect> Rect ToRect(const TBox& b) { return Rect{b.left, b.top, b.right, b.bottom}; }

// A menu item drawn off screen: a popup item's drawing starts four pixels
// to the left of its own rectangle, so that the item repaints the strip the
// menu leaves there.
struct TMenuItemLayout {
    TBox item;        // the item in the off-screen drawing
    TBox fill;        // what the background of a popup item covers
    TBox iconColumn;  // at the start of the reading direction
    TBox check;       // the check mark's box
    TBox text;        // caption or separator line, before centring
};
// Width x Height is the item's rectangle; ColumnWidth the menu's icon
// column; IconWidth the icon's width (0 without an icon).
TMenuItemLayout LayOutMenuItem(int Width, int Height, bool IsBar, bool RightToLeft, int ColumnWidth, bool HasIcon,
                               int IconWidth);
// The caption's box in Text: three pixels in from the icon side and
// centred on one line LineHeight high.
TBox MenuCaptionBox(TBox Text, bool RightToLeft, int LineHeight);

// A tool button's caption in its face Face: under the icon on a bar without
// List (CaptionHeight high from the bottom), on one centred line (LineHeight)
// beside an icon IconWidth wide on a list bar, centred on the line for a
// button that shows a menu. Sunken draws it one pixel in all round.
TBox ToolCaptionBox(TBox Face, bool List, bool MenuButton, bool RightToLeft, int IconWidth, int CaptionHeight,
                    int LineHeight, bool Sunken);

// Where the glyph cell (GlyphW x GlyphH) and the caption (TextW x TextH) go
// in a W x H button, Spacing pixels apart. ExactLeft centres a left glyph
// exactly; without it the glyph sits one pixel higher.
struct TGlyphPlacement {
    TBox glyph, caption;
};
TGlyphPlacement PlaceGlyph(ui::TButtonLayout Layout, int W, int H, int GlyphW, int GlyphH, int TextW, int TextH,
                           int Spacing, bool ExactLeft);

}  // namespace painters
