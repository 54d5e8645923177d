// Colour arithmetic and gradient pixels of the flat controls, checked
// against worked examples.
#include <gtest/gtest.h>

#include <vector>

#include "controls/ColorMath.h"
#include "controls/GradientFill.h"

using namespace controls;

namespace {
int R(int32_t c) { return c & 0xFF; }
int G(int32_t c) { return (c >> 8) & 0xFF; }
int B(int32_t c) { return (c >> 16) & 0xFF; }
}  // namespace

TEST(ColorMath, GreysHaveNoHueOrSaturationAndRoundTrip) {
    for (int v : {0, 1, 127, 128, 200, 255}) {
        const int32_t grey = v | v << 8 | v << 16;
        double h = -1, s = -1, l = -1;
        ColorToHsl(grey, h, s, l);
        EXPECT_EQ(h, 0) << v;
        EXPECT_EQ(s, 0) << v;
        EXPECT_EQ(HslToColor(0.7, 0, l), grey) << "saturation 0 ignores the hue, grey " << v;
    }
}

TEST(ColorMath, ColoursRoundTripThroughHsl) {
    for (int32_t c : {0x0000FF, 0x00FF00, 0xFF0000, 0x336699, 0xC0C0C0 ^ 0x40, 0x102030, 0xFFEEDD}) {
        double h, s, l;
        ColorToHsl(c, h, s, l);
        EXPECT_EQ(HslToColor(h, s, l), c) << std::hex << c;
    }
    int H, S, L;
    ColorToHslScale(0x0000FF, H, S, L);  // pure red
    EXPECT_EQ(H, 0);
    EXPECT_EQ(S, 240);
    EXPECT_EQ(L, 120);
    ColorToHslScale(0xFF0000, H, S, L);  // pure blue: hue 2/3 of 239
    EXPECT_EQ(H, 159);
}

TEST(ColorMath, NearestRoundsHalvesToEven) {
    EXPECT_EQ(NearestEven(0.5), 0);
    EXPECT_EQ(NearestEven(1.5), 2);
    EXPECT_EQ(NearestEven(2.5), 2);
    EXPECT_EQ(NearestEven(-0.5), 0);
    EXPECT_EQ(NearestEven(106.25), 106);
}

TEST(ColorMath, LightnessRuleCapsAtOneHundredAndFloorsAtZero) {
    // White lightened by 10: 240 + 10 + 10 capped at 100, grey 106.
    const int32_t white = 0xFFFFFF;
    const int32_t lighter = AdjustRgbLightness(white, 0x123456, 10, false);
    EXPECT_EQ(R(lighter), 106);
    EXPECT_EQ(G(lighter), 106);
    EXPECT_EQ(B(lighter), 106);
    EXPECT_EQ(AdjustRgbLightness(white, 0x123456, 0, false), 0x123456) << "percent 0 answers the current colour";
    EXPECT_EQ(AdjustRgbLightness(0x000000, 0x123456, 50, true), 0x000000) << "10 - 50 floors at 0";
    // Black lightened by 20: lightness 30 of 240, grey nearest(30/240*255) = 32.
    EXPECT_EQ(AdjustRgbLightness(0x000000, 0, 20, false), 0x202020);
    // A mid blue darkened keeps its hue.
    int H0, S0, L0, H1, S1, L1;
    ColorToHslScale(0xC08040, H0, S0, L0);
    ColorToHslScale(AdjustRgbLightness(0xC08040, 0, 30, true), H1, S1, L1);
    EXPECT_NEAR(H1, H0, 1);
    EXPECT_LT(L1, L0);
}

TEST(ColorMath, MakeColor32PacksLowByteFirst) { EXPECT_EQ(MakeColor32(0x11, 0x22, 0x33, 0x44), 0x44332211u); }

namespace {
struct Surface {
    int w, h;
    std::vector<uint32_t> px;
    Surface(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_, 0xDEADBEEF) {}
    TPixelSurface View() { return {reinterpret_cast<uint8_t*>(px.data()), ptrdiff_t(w) * 4, w, h}; }
    uint32_t At(int x, int y) const { return px[size_t(y) * w + x]; }
};
uint32_t Grey(int v) { return MakeColor32(uint8_t(v), uint8_t(v), uint8_t(v), 0); }
}  // namespace

TEST(GradientFill, EachStyleGivesItsWorkedPixels) {
    {  // black to white, vertical over 4 rows
        Surface s(3, 4);
        GradientFill(s.View(), 0, 0, 3, 4, 0x000000, 0xFFFFFF, false, gsVertical);
        const int rows[] = {0, 63, 127, 191};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(s.At(x, y), Grey(rows[y])) << x << "," << y;
    }
    {  // horizontal over 4 columns: every row a copy of the first
        Surface s(4, 3);
        GradientFill(s.View(), 0, 0, 4, 3, 0x000000, 0xFFFFFF, false, gsHorizontal);
        const int cols[] = {0, 63, 127, 191};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(s.At(x, y), Grey(cols[x])) << x << "," << y;
    }
    {  // diagonals on 2x2
        Surface s(2, 2);
        GradientFill(s.View(), 0, 0, 2, 2, 0x000000, 0xFFFFFF, false, gsDiagonalLeftRight);
        EXPECT_EQ(s.At(0, 0), Grey(0));
        EXPECT_EQ(s.At(1, 0), Grey(63));
        EXPECT_EQ(s.At(0, 1), Grey(63));
        EXPECT_EQ(s.At(1, 1), Grey(127));
        GradientFill(s.View(), 0, 0, 2, 2, 0x000000, 0xFFFFFF, false, gsDiagonalRightLeft);
        EXPECT_EQ(s.At(1, 0), Grey(0)) << "the start colour sits at the top-right corner";
        EXPECT_EQ(s.At(0, 1), Grey(127));
    }
    {  // colour order in memory is blue, green, red, 0; channels run separately and downwards too
        Surface s(2, 1);
        GradientFill(s.View(), 0, 0, 2, 1, 0x0000FF, 0xFF0000, false, gsHorizontal);
        EXPECT_EQ(s.At(0, 0), 0x00FF0000u) << "red start: red byte third in memory";
        EXPECT_EQ(s.At(1, 0), MakeColor32(127, 0, 255 - 127, 0));
    }
}

TEST(GradientFill, SolidUnknownStyleAndEmptyHeight) {
    Surface s(3, 2);
    GradientFill(s.View(), 0, 0, 3, 2, 0x123456, 0x000000, true, 77);
    for (uint32_t p : s.px) EXPECT_EQ(p, MakeColor32(0x12, 0x34, 0x56, 0));
    Surface u(3, 2);
    GradientFill(u.View(), 0, 0, 3, 2, 0x000000, 0xFFFFFF, false, 9);
    GradientFill(u.View(), 0, 1, 3, 1, 0x000000, 0xFFFFFF, false, gsVertical);
    for (uint32_t p : u.px) EXPECT_EQ(p, 0xDEADBEEFu) << "an unknown style or no rows draws nothing";
}

TEST(GradientFill, WritesOnlyInsideTheSurface) {
    // A rectangle wider and taller than the bitmap, starting left of it: the
    // gradient is laid over the whole rectangle, the bitmap gets its part.
    for (uint8_t style : {gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft}) {
        std::vector<uint32_t> guarded(6 * 6, 0xDEADBEEF);
        // The 4x4 surface sits inside a 6x6 block with a one-pixel guard ring.
        TPixelSurface s{reinterpret_cast<uint8_t*>(&guarded[7]), 6 * 4, 4, 4};
        GradientFill(s, -3, -2, 9, 7, 0x000000, 0xFFFFFF, false, style);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 4;
                if (!inside) {
                    EXPECT_EQ(guarded[size_t(y) * 6 + x], 0xDEADBEEFu) << int(style) << " " << x << "," << y;
                }
            }
        // Horizontal: column 0 of the bitmap is x - left = 3 of 12.
        if (style == gsHorizontal) {
            EXPECT_EQ(guarded[7], Grey(255 * 3 / 12));
        }
    }
}
