#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "tbx/PixelBlend.h"

using tbx::TPixelBlock;
using tbx::TPixelRect;

namespace {

// Pixels of an image held in a vector, as a block.
struct TImage {
    int width, height;
    std::vector<std::uint32_t> pixels;

    TImage(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    TPixelBlock Block() { return {pixels.data(), {0, 0, width, height}, width}; }
    TPixelRect Bounds() const { return {0, 0, width, height}; }
    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
};

std::vector<std::uint32_t> Numbered(std::size_t count) {
    std::vector<std::uint32_t> v(count);
    std::iota(v.begin(), v.end(), 1u);
    return v;
}

}  // namespace

TEST(PixelBlend, BlendsOnePixelByItsAlpha) {
    struct Case {
        std::uint32_t target, pixel, expected;
        const char* what;
    };
    const Case cases[] = {
        {0xFF0000FFu, 0x00FF0000u, 0xFF0000FFu, "alpha 0 keeps the target"},
        {0xFF0000FFu, 0xFFFF0000u, 0xFFFF0000u, "alpha 255 replaces it"},
        {0x120000FFu, 0xFF00FF00u, 0xFF00FF00u, "alpha 255 brings its own alpha"},
        {0xFF0000FFu, 0x80FF0000u, 0x0080007Fu, "alpha 128 mixes with weight 129, alpha byte 0"},
        {0xFF000000u, 0x01FFFFFFu, 0x00010101u, "alpha 1 has weight 1"},
        {0xFFFFFFFFu, 0xFE000000u, 0x00010101u, "alpha 254 has weight 255"},
    };
    for (const Case& c : cases) {
        std::uint32_t target = c.target;
        tbx::BlendPixel(&target, c.pixel);
        EXPECT_EQ(target, c.expected) << c.what;
    }
}

TEST(PixelBlend, CachedBlendingGivesTheSameResultAsBlendPixel) {
    std::mt19937 random(3);
    tbx::TBlendCache cache;
    const std::uint32_t alphas[] = {0, 1, 127, 128, 200, 255};
    for (int i = 0; i < 20000; ++i) {
        // Runs of repeated pixels exercise the cache.
        const std::uint32_t pixel = (alphas[random() % 6] << 24) | (random() % 4 * 0x3F3F3Fu);
        const std::uint32_t original = random() % 3 * 0x10203040u;
        std::uint32_t expected = original, cached = original;
        tbx::BlendPixel(&expected, pixel);
        tbx::BlendPixelCached(cache, &cached, pixel);
        ASSERT_EQ(cached, expected) << std::hex << pixel << " onto " << original;
    }
}

TEST(PixelBlend, BlendLineScalesAlphaByTheOpacityAndLeavesTheSourceAlone) {
    EXPECT_EQ(tbx::BlendTableEntry(128, 255), 128u << 24);
    EXPECT_EQ(tbx::BlendTableEntry(255, 77), 77u << 24);
    EXPECT_EQ(tbx::BlendTableEntry(0, 255), 0u);

    struct Case {
        unsigned opacity;
        std::size_t count;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0, 3, 0xFF000000u},    // nothing
        {128, 1, 0x00808080u},  // alpha 255 becomes 128: weight 129
        {128, 3, 0x00808080u},  // the same through the cache
        {255, 3, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint32_t> source(3, 0xFFFFFFFFu);
        std::vector<std::uint32_t> target(3, 0xFF000000u);
        tbx::BlendLine(source.data(), target.data(), c.count, c.opacity);
        for (std::size_t i = 0; i < c.count; ++i)
            EXPECT_EQ(target[i], c.expected) << "opacity " << c.opacity << ", pixel " << i;
        EXPECT_EQ(source, std::vector<std::uint32_t>(3, 0xFFFFFFFFu)) << "opacity " << c.opacity;
    }
}

TEST(PixelBlend, CopyBlockClipsAndHandlesOverlapInBothDirections) {
    struct Case {
        int x, y;
        TPixelRect source;
        const char* what;
    };
    const Case cases[] = {
        {1, 1, {0, 0, 3, 3}, "down and right over itself"},
        {0, 0, {1, 1, 4, 4}, "up and left over itself"},
        {2, 0, {0, 0, 3, 4}, "right on the same rows"},
        {-1, -1, {0, 0, 4, 4}, "clipped at the target's top-left"},
        {2, 2, {-5, -5, 9, 9}, "source rectangle beyond the source"},
    };
    for (const Case& c : cases) {
        TImage image(4, 4);
        image.pixels = Numbered(16);
        const TImage before = image;
        // What a copy through a separate buffer gives.
        TImage expected = image;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const int sx = x - c.x + c.source.Left, sy = y - c.y + c.source.Top;
                const bool inSource = sx >= std::max(0, c.source.Left) && sx < std::min(4, c.source.Right) &&
                                      sy >= std::max(0, c.source.Top) && sy < std::min(4, c.source.Bottom);
                if (inSource) expected.at(x, y) = before.pixels[std::size_t(sy) * 4 + sx];
            }
        tbx::CopyBlock(image.Block(), c.x, c.y, 0, c.source, image.Block());
        EXPECT_EQ(image.pixels, expected.pixels) << c.what;
    }
}

TEST(PixelBlend, CopyBlockExchangesRectangles) {
    TImage a(3, 2), b(3, 2, 0xAAu);
    a.pixels = Numbered(6);
    tbx::CopyBlock(b.Block(), 1, 0, 1, {0, 0, 2, 2}, a.Block());
    EXPECT_EQ(a.pixels, (std::vector<std::uint32_t>{0xAA, 0xAA, 3, 0xAA, 0xAA, 6}));
    EXPECT_EQ(b.pixels, (std::vector<std::uint32_t>{0xAA, 1, 2, 0xAA, 4, 5}));
}

TEST(PixelBlend, EmptyBlocksAndRectanglesDoNothing) {
    TImage image(2, 2, 7);
    TPixelBlock none;
    tbx::CopyBlock(image.Block(), 0, 0, 0, {0, 0, 2, 2}, none);
    tbx::BlendBlock(image.Block(), 0, 0, 255, {0, 0, 2, 2}, none);
    tbx::StretchBlend(image.Block(), {0, 0, 2, 2}, none, 0, {0, 0, 1, 1});
    TImage source(1, 1, 0xFF123456u);
    tbx::StretchBlend(image.Block(), {0, 0, 2, 2}, source.Block(), 0, {0, 0, 2, 2});  // beyond the source
    tbx::StretchBlend(image.Block(), {0, 0, 0, 2}, source.Block(), 0, {0, 0, 1, 1});  // no width
    tbx::BlendBlock(image.Block(), 0, 0, 0, {0, 0, 1, 1}, source.Block());            // opacity 0
    EXPECT_EQ(image.pixels, std::vector<std::uint32_t>(4, 7));
}

TEST(PixelBlend, StretchBlendAtEqualSizeCopiesOrBlendsExactly) {
    TImage source(2, 1);
    source.pixels = {0x80FFFFFFu, 0x00123456u};
    TImage copied(3, 2, 0xFF000000u), blended(3, 2, 0xFF000000u);
    tbx::StretchBlend(copied.Block(), {1, 1, 3, 2}, source.Block(), 0, source.Bounds());
    tbx::StretchBlend(blended.Block(), {1, 1, 3, 2}, source.Block(), tbx::ModeBlend, source.Bounds());
    EXPECT_EQ(copied.pixels, (std::vector<std::uint32_t>{0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
                                                         0x80FFFFFFu, 0x00123456u}));
    EXPECT_EQ(blended.pixels, (std::vector<std::uint32_t>{0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
                                                          0x00808080u, 0xFF000000u}));
}

TEST(PixelBlend, EnlargingOnePixelGivesEqualPixels) {
    for (std::uint32_t mode : {0u, tbx::ModeBilinear}) {
        TImage source(1, 1, 0x80402010u), target(3, 3);
        tbx::StretchBlend(target.Block(), target.Bounds(), source.Block(), mode, source.Bounds());
        EXPECT_EQ(target.pixels, std::vector<std::uint32_t>(9, 0x80402010u)) << "mode " << mode;
    }
}

TEST(PixelBlend, EveryContributionListSumsTo256) {
    for (int source = 1; source <= 40; ++source) {
        for (int dest = 1; dest <= 40; ++dest) {
            const tbx::TContributions lists = tbx::BuildContributions(0, dest, 0, dest, source);
            ASSERT_EQ(lists.Count(), std::size_t(dest));
            for (std::size_t i = 0; i < lists.Count(); ++i) {
                int sum = 0;
                for (std::size_t k = lists.First[i]; k < lists.First[i + 1]; ++k) {
                    ASSERT_GE(lists.Entries[k].Index, 0);
                    ASSERT_LT(lists.Entries[k].Index, source);
                    sum += lists.Entries[k].Weight;
                }
                ASSERT_EQ(sum, 256) << source << " to " << dest << ", pixel " << i;
            }
        }
    }
    EXPECT_EQ(tbx::BuildContributions(0, 0, 0, 0, 4).Count(), 0u);
    EXPECT_EQ(tbx::BuildContributions(0, 4, 0, 4, 0).Count(), 0u);
    // Clipping keeps each pixel's list as it is unclipped.
    const tbx::TContributions whole = tbx::BuildContributions(10, 17, 10, 17, 23);
    const tbx::TContributions part = tbx::BuildContributions(10, 17, 13, 15, 23);
    ASSERT_EQ(part.Count(), 2u);
    EXPECT_EQ(part.Entries[0].Index, whole.Entries[whole.First[3]].Index);
    EXPECT_EQ(part.Entries[0].Weight, whole.Entries[whole.First[3]].Weight);
}

TEST(PixelBlend, ShrinkingFourToOneWeighsEachPixelEqually) {
    const tbx::TContributions lists = tbx::BuildContributions(0, 1, 0, 1, 4);
    ASSERT_EQ(lists.Entries.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lists.Entries[i].Index, i);
        EXPECT_EQ(lists.Entries[i].Weight, 64);
    }
    TImage source(4, 1), target(1, 1);
    source.pixels = {0xFF000000u, 0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu};
    tbx::ShrinkBlend(target.Block(), target.Bounds(), source.Block(), 0, source.Bounds());
    EXPECT_EQ(target.pixels[0], 0xFF7F7F7Fu);  // rounded with $7F00 of $10000
}
