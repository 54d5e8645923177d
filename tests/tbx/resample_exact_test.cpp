// Resampled pixels, bit for bit. The tables are computed in single
// precision; these values hold for SSE2 arithmetic without contraction, as
// the trees build it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tbx/PixelBlend.h"

namespace {

std::vector<std::uint32_t> Resample(std::vector<std::uint32_t> source, int sw, int sh, int dw, int dh,
                                    std::uint32_t mode) {
    std::vector<std::uint32_t> target(std::size_t(dw) * dh, 0);
    tbx::StretchBlend({target.data(), {0, 0, dw, dh}, dw}, {0, 0, dw, dh}, {source.data(), {0, 0, sw, sh}, sw}, mode,
                      {0, 0, sw, sh});
    return target;
}

}  // namespace

TEST(ResampleExact, EnlargesAndShrinksToTheExpectedPixels) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> source;
        int sw, sh, dw, dh;
        std::uint32_t mode;
        std::vector<std::uint32_t> expected;
    };
    const std::uint32_t black = 0xFF000000u, white = 0xFFFFFFFFu;
    const Case cases[] = {
        {"bilinear 2 to 4 across",
         {black, white},
         2,
         1,
         4,
         1,
         tbx::ModeBilinear,
         {black, 0xFF404040u, 0xFFBFBFBFu, white}},
        {"bilinear 2 to 4 down",
         {black, white},
         1,
         2,
         1,
         4,
         tbx::ModeBilinear,
         {black, 0xFF404040u, 0xFFBFBFBFu, white}},
        {"nearest 2 to 4", {black, white}, 2, 1, 4, 1, 0, {black, black, white, white}},
        {"bilinear 2x2 to 4x4, one corner",
         {white, black, black, black},
         2,
         2,
         4,
         4,
         tbx::ModeBilinear,
         {white, 0xFFBFBFBFu, 0xFF404040u, black,        //
          0xFFBFBFBFu, 0xFF8F8F8Fu, 0xFF303030u, black,  //
          0xFF404040u, 0xFF303030u, 0xFF101010u, black,  //
          black, black, black, black}},
        {"box 3 to 1: weights 85, 86, 85", {0xFF000000u, 0xFF000000u, 0xFFFFFFFFu}, 3, 1, 1, 1, 0, {0xFF555555u}},
        {"box 3 to 2", {0xFF000000u, 0xFF808080u, 0xFFFFFFFFu}, 3, 1, 2, 1, 0, {0xFF2A2A2Au, 0xFFD5D5D5u}},
        {"alpha resampled too",
         {0x00000000u, 0xFF000000u},
         2,
         1,
         4,
         1,
         tbx::ModeBilinear,
         {0x00000000u, 0x40000000u, 0xBF000000u, 0xFF000000u}},
    };
    for (const Case& c : cases) EXPECT_EQ(Resample(c.source, c.sw, c.sh, c.dw, c.dh, c.mode), c.expected) << c.what;
}
