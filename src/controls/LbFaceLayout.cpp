#include "controls/LbFaceLayout.h"

#include <algorithm>

namespace controls {

namespace {
bool Beside(ui::TButtonLayout l) { return l == ui::blGlyphLeft || l == ui::blGlyphRight; }
}  // namespace

int LbCaptionWidth(ui::TButtonLayout Layout, int W, int CellWidth) {
    if (!Beside(Layout)) return std::max(0, W - 8);
    return std::max(0, W - 8 - (CellWidth > 0 ? CellWidth + 4 : 0));
}

TLbLayoutOut PlaceLbCaptionAndGlyph(const TLbLayoutIn& in) {
    const int P = in.pressed, W = in.W, H = in.H, CW = in.cellWidth, GH = in.glyphHeight;
    const int tw = in.textWidth, TH = in.textHeight, X0 = P + 4;
    TLbLayoutOut o{X0, 0, X0, 0};
    if (Beside(in.layout)) {
        o.textY = (H - TH) / 2 + P;
        o.glyphY = (H - GH) / 2 + P;
        // A wrapped caption fills its width: the glyph stays at its side.
        if (in.layout == ui::blGlyphLeft) {
            if (CW > 0) o.textX = X0 + CW + 4;
            if (in.wordWrap) return o;
            if (in.alignment == laRight)
                o.glyphX = P + W - CW - tw - 8;
            else if (in.alignment == laCenter)
                o.glyphX = P + (W - tw - 4 - CW) / 2;
        } else {
            o.glyphX = P + W - 4 - CW;
            if (in.wordWrap) return o;
            if (in.alignment == laLeft)
                o.glyphX = tw + X0 + 4;
            else if (in.alignment == laCenter)
                o.glyphX = P + (tw + W - CW) / 2 + 4;
        }
        return o;
    }
    const int D = (H - (TH + (GH > 0 ? GH + 4 : 0))) / 2;
    if (in.layout == ui::blGlyphTop) {
        o.glyphY = D + P;
        o.textY = D + GH + P;
    } else {
        o.textY = D + P;
        o.glyphY = D + TH + P;
    }
    o.glyphX = in.alignment == laLeft ? X0 : in.alignment == laRight ? P + W - CW - 4 : P + (W - CW) / 2;
    return o;
}

int LbGlyphCell(bool Enabled, bool Down, bool Hot, int NumGlyphs) {
    if (!Enabled) return 1;
    if (Down && NumGlyphs > 2) return 2;
    if (Hot && NumGlyphs > 3) return 3;
    return 0;
}

}  // namespace controls
