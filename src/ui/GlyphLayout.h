#pragma once
// Placement of a glyph cell and a one-line caption inside a button's client
// rectangle, given their measured sizes. No window system calls here: the
// caller measures the caption.
#include <cstdint>

namespace ui {

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TGlyphLayoutIn {
    int clientLeft, clientTop, clientRight, clientBottom;
    int offsetX, offsetY;
    int textWidth, textHeight;    // 0, 0 for an empty caption
    int glyphWidth, glyphHeight;  // one glyph cell; 0, 0 without a glyph
    TButtonLayout layout;
    int margin, spacing;  // -1 asks for an automatic value
};

struct TGlyphLayoutOut {
    int glyphX, glyphY;
    int textLeft, textTop, textRight, textBottom;
};

TGlyphLayoutOut PlaceGlyphAndCaption(const TGlyphLayoutIn& in);

}  // namespace ui
