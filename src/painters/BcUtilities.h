#pragma once
// Small routines of the bar menus: colour packing, minima and maxima,
// rectangle measures and the rotated font of the side bar's caption. All
// arithmetic is checked (BcChecked.h).
#include <windows.h>

#include <cstdint>

#include "ui/Types.h"

namespace ui {
class TBitmap;
class TFont;
}  // namespace ui

namespace painters {

// b0 + b1 * 2^8 + b2 * 2^16 + b3 * 2^24, from the low 8 bits of each; with
// (red, green, blue, 0) a colour value $00BBGGRR.
uint32_t PackColor(int b0, int b1, int b2, int b3);
int MinInteger(int a, int b);
int MaxInteger(int a, int b);

// Right - Left and Bottom - Top; negative for a rectangle turned round.
int RectWidth(const ui::TRect& r);
int RectHeight(const ui::TRect& r);
// (0, 0, Width, Height) of the bitmap; the empty rectangle for none.
ui::TRect BitmapRect(ui::TBitmap* Bitmap);

// The logical font that CreateRotatedFont makes: the font's height, style
// and face (cut to 31 characters), escapement Angle * 10, the default
// character set whatever the font's own.
LOGFONTA RotatedLogFont(ui::TFont* Font, int Angle);
// A new font turned by Angle whole degrees, counter-clockwise; the caller
// owns it and deletes it.
HFONT CreateRotatedFont(ui::TFont* Font, int Angle);

}  // namespace painters
