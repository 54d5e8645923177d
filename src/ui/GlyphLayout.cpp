#include "ui/GlyphLayout.h"

namespace ui {

TGlyphLayoutOut PlaceGlyphAndCaption(const TGlyphLayoutIn& in) {
    const int clientX = in.clientRight - in.clientLeft, clientY = in.clientBottom - in.clientTop;
    int glyphX = 0, glyphY = 0, textX = 0, textY = 0;
    const bool horizontal = in.layout == blGlyphLeft || in.layout == blGlyphRight;
    if (horizontal) {
        glyphY = (clientY - in.glyphHeight + 1) / 2;
        textY = (clientY - in.textHeight + 1) / 2;
    } else {
        glyphX = (clientX - in.glyphWidth + 1) / 2;
        textX = (clientX - in.textWidth + 1) / 2;
    }
    int margin = in.margin, spacing = in.spacing;
    if (in.textWidth == 0 || in.glyphWidth == 0) spacing = 0;
    // Sizes along the axis the layout runs on.
    const int client = horizontal ? clientX : clientY;
    const int glyph = horizontal ? in.glyphWidth : in.glyphHeight;
    const int text = horizontal ? in.textWidth : in.textHeight;
    if (margin == -1 && spacing == -1) {
        margin = (client - (glyph + text)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (client - (glyph + spacing + text) + 1) / 2;
    } else if (spacing == -1) {
        spacing = ((client - (margin + glyph)) - text) / 2;
    }
    switch (in.layout) {
    case blGlyphLeft:
        glyphX = margin;
        textX = glyphX + in.glyphWidth + spacing;
        break;
    case blGlyphRight:
        glyphX = clientX - margin - in.glyphWidth;
        textX = glyphX - spacing - in.textWidth;
        break;
    case blGlyphTop:
        glyphY = margin;
        textY = glyphY + in.glyphHeight + spacing;
        break;
    case blGlyphBottom:
        glyphY = clientY - margin - in.glyphHeight;
        textY = glyphY - spacing - in.textHeight;
        break;
    }
    TGlyphLayoutOut out;
    out.glyphX = glyphX + in.clientLeft + in.offsetX;
    out.glyphY = glyphY + in.clientTop + in.offsetY;
    out.textLeft = in.clientLeft + textX + in.offsetX;
    out.textTop = in.clientTop + textY + in.offsetY;
    out.textRight = out.textLeft + in.textWidth;
    out.textBottom = out.textTop + in.textHeight;
    return out;
}

}  // namespace ui
