#pragma once
// The gradient renderer's pixel work on 32-bit scan lines, free of the
// window system so it can be checked pixel by pixel anywhere.
#include <cstddef>
#include <cstdint>

namespace controls {

enum TGradientStyle : uint8_t { gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft };

// A 32-bit pixel surface: rows `stride` bytes apart (negative for a
// bottom-up DIB), row 0 at `row0`.
struct TPixelSurface {
    uint8_t* row0;
    ptrdiff_t stride;
    int width;
    int height;
};

// Fills the rectangle (left, top, right, bottom) of the surface from start to
// end colour (both RGB, $00BBGGRR) in the given style; `solid` fills with the
// start colour alone. Pixels are blue, green, red, 0 in memory. The gradient
// is laid over the whole rectangle; only the part inside the surface is
// written. An unknown style draws nothing.
void GradientFill(const TPixelSurface& s, int left, int top, int right, int bottom, int32_t startRgb, int32_t endRgb,
                  bool solid, uint8_t style);

}  // namespace controls
