// Glyph and caption placement of the buttons, checked against worked examples.
#include <gtest/gtest.h>

#include <string>

#include "ui/GlyphLayout.h"

using namespace ui;

TEST(GlyphLayout, PlacesGlyphAndCaptionInEveryLayout) {
    struct Case {
        TButtonLayout layout;
        int margin, spacing, glyphW, textW;
        int glyphX, glyphY, textLeft, textTop;
    };
    // Client (0,0,60,30), glyph cell 16x16, caption 20x10 unless 0.
    const Case cases[] = {
        {blGlyphLeft, -1, -1, 16, 20, 8, 7, 32, 10},  // margin = spacing = (60-36)/3
        {blGlyphRight, -1, -1, 16, 20, 36, 7, 8, 10},
        {blGlyphLeft, 4, -1, 16, 20, 4, 7, 30, 10},   // spacing = ((60-20)-20)/2 = 10
        {blGlyphLeft, -1, 4, 16, 20, 10, 7, 30, 10},  // margin = (60-40+1)/2 = 10
        {blGlyphLeft, 2, 9, 16, 0, 2, 7, 18, 15},     // no caption: spacing 0
        {blGlyphLeft, 2, 9, 0, 20, 2, 15, 2, 10},     // no glyph: spacing 0
        {blGlyphTop, -1, -1, 16, 20, 22, 1, 20, 18},  // vertical axis: (30-26)/3 = 1
        {blGlyphBottom, 2, 3, 16, 20, 22, 12, 20, -1},
    };
    for (const Case& c : cases) {
        TGlyphLayoutIn in{
            0, 0, 60, 30, 0, 0, c.textW, c.textW ? 10 : 0, c.glyphW, c.glyphW ? 16 : 0, c.layout, c.margin, c.spacing};
        const TGlyphLayoutOut out = PlaceGlyphAndCaption(in);
        const std::string what = "layout " + std::to_string(c.layout) + " margin " + std::to_string(c.margin) +
                                 " spacing " + std::to_string(c.spacing);
        EXPECT_EQ(out.glyphX, c.glyphX) << what;
        EXPECT_EQ(out.glyphY, c.glyphY) << what;
        EXPECT_EQ(out.textLeft, c.textLeft) << what;
        EXPECT_EQ(out.textTop, c.textTop) << what;
        EXPECT_EQ(out.textRight - out.textLeft, c.textW) << what;
    }
}

TEST(GlyphLayout, ClientOriginAndPressedOffsetMoveBoth) {
    TGlyphLayoutIn in{10, 20, 70, 50, 1, 1, 20, 10, 16, 16, blGlyphLeft, -1, -1};
    const TGlyphLayoutOut out = PlaceGlyphAndCaption(in);
    EXPECT_EQ(out.glyphX, 10 + 8 + 1);
    EXPECT_EQ(out.glyphY, 20 + 7 + 1);
    EXPECT_EQ(out.textLeft, 10 + 32 + 1);
    EXPECT_EQ(out.textBottom - out.textTop, 10);
}
