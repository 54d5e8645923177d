#pragma once
// Where TLbSpeedButton puts its caption and glyph cell, given their measured
// sizes. No window system calls here: the caller measures the caption.
#include <cstdint>

#include "ui/GlyphLayout.h"

namespace controls {

// The caption's alignment, in the order of ui::TAlignment.
enum TLbAlign : uint8_t { laLeft, laRight, laCenter };

struct TLbLayoutIn {
    ui::TButtonLayout layout;
    TLbAlign alignment;
    bool wordWrap;
    int W, H;       // the face
    int pressed;    // 1 when the face is drawn pressed, else 0
    int cellWidth;  // one glyph cell; 0 without a glyph
    int glyphHeight;
    int textWidth, textHeight;
};

struct TLbLayoutOut {
    int textX, textY, glyphX, glyphY;
};

// How wide the caption may be: the face less its margins, and less the
// glyph when the glyph sits beside the caption.
int LbCaptionWidth(ui::TButtonLayout Layout, int W, int CellWidth);
TLbLayoutOut PlaceLbCaptionAndGlyph(const TLbLayoutIn& in);
// The glyph cell for the state: disabled 1, down 2, hot 3, each only when
// the strip holds it; else 0.
int LbGlyphCell(bool Enabled, bool Down, bool Hot, int NumGlyphs);

}  // namespace controls
