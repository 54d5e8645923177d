#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "PngTestSupport.h"
#include "tbx/ByteStream.h"
#include "tbx/PngWriter.h"
#include "tbx/TbxErrors.h"

using namespace tbxtest;

namespace {

TImage Filled(std::uint32_t width, std::uint32_t height,
              const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& at) {
    TImage image{width, height, {}};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) image.pixels.push_back(at(x, y));
    return image;
}

std::uint32_t Gray(unsigned level, unsigned alpha = 255) { return alpha << 24 | level * 0x010101u; }

// n distinct opaque colours, cycled over the image.
TImage ManyColours(unsigned n, std::uint32_t width = 20, std::uint32_t height = 20) {
    return Filled(width, height, [n](std::uint32_t x, std::uint32_t y) {
        const unsigned i = (y * 20 + x) % n;
        return 0xFF000000u | (i * 0x9E3779B1u & 0x00FFFFFFu);
    });
}

TImage GrayLevels(unsigned n) {
    return Filled(
        16, 17, [n](std::uint32_t x, std::uint32_t y) { return Gray((y * 16 + x) % n * (255 / (n > 1 ? n - 1 : 1))); });
}

TImage With(TImage image, std::size_t index, std::uint32_t pixel) {
    image.pixels[index] = pixel;
    return image;
}

struct THeader {
    unsigned depth, colorType;
};

THeader HeaderOf(const std::vector<TChunkInfo>& chunks) {
    const TChunkInfo* ihdr = FindChunk(chunks, "IHDR");
    if (!ihdr || ihdr->data.size() != 13) return {0, 99};
    return {ihdr->data[8], ihdr->data[9]};
}

TEST(PngWriter, ChoosesTheSmallestFittingColourType) {
    struct Case {
        const char* what;
        TImage image;
        unsigned depth, colorType;
        std::size_t paletteEntries;
        std::optional<Bytes> transparency;
    };
    const TImage black =
        Filled(4, 4, [](std::uint32_t x, std::uint32_t y) { return (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u; });
    const TImage twoGreys =
        Filled(4, 4, [](std::uint32_t x, std::uint32_t) { return x % 2 ? Gray(0x40) : Gray(0xC0); });
    const TImage seventeen = GrayLevels(17);
    const TImage threeHundred = ManyColours(300);
    const std::uint32_t key = threeHundred.pixels[5] & 0x00FFFFFFu;
    const Case cases[] = {
        {"1 x 1 opaque red", Filled(1, 1, [](auto, auto) { return 0xFFFF0000u; }), 1, 3, 1, std::nullopt},
        {"black and white", black, 1, 0, 0, std::nullopt},
        {"only black", Filled(3, 3, [](auto, auto) { return 0xFF000000u; }), 1, 0, 0, std::nullopt},
        {"two grey levels that are not black and white", twoGreys, 1, 3, 2, std::nullopt},
        {"black and a grey level", With(black, 0, Gray(0x80)), 2, 3, 3, std::nullopt},
        {"black and transparent white", With(With(black, 1, 0x00FFFFFF), 2, 0x00FFFFFF), 2, 3, 3, Bytes{255, 0}},
        {"black with transparent white pixels",
         Filled(4, 2, [](std::uint32_t x, auto) { return x ? 0xFF000000u : 0x00FFFFFFu; }), 1, 0, 0, Bytes{0, 1}},
        {"black and transparent black",
         Filled(4, 2, [](std::uint32_t x, auto) { return x ? 0xFF000000u : 0x00000000u; }), 1, 3, 2, Bytes{0}},
        {"3 grey levels", GrayLevels(3), 2, 3, 3, std::nullopt},
        {"16 grey levels", GrayLevels(16), 4, 3, 16, std::nullopt},
        {"17 grey levels", seventeen, 8, 0, 0, std::nullopt},
        {"256 grey levels", GrayLevels(256), 8, 0, 0, std::nullopt},
        {"17 grey levels and a transparent level of its own", With(seventeen, 3, Gray(7, 0)), 8, 0, 0, Bytes{0, 7}},
        {"17 grey levels and a transparent copy of one of them", With(seventeen, 3, Gray(0, 0)), 8, 3, 18,
         Bytes{255, 255, 255, 0}},
        {"17 grey levels, two of them transparent", With(With(seventeen, 3, Gray(7, 0)), 4, Gray(9, 0)), 8, 3, 19,
         Bytes{255, 255, 255, 0, 0}},
        {"17 grey levels and partial alpha", With(seventeen, 3, Gray(7, 128)), 8, 3, 18, Bytes{255, 255, 255, 128}},
        {"300 opaque colours", threeHundred, 8, 2, 0, std::nullopt},
        {"300 colours and one transparent colour", With(threeHundred, 399, 0x00123456), 8, 2, 0,
         Bytes{0, 0x12, 0, 0x34, 0, 0x56}},
        {"300 colours and a transparent copy of one of them", With(threeHundred, 399, key), 8, 6, 0, std::nullopt},
        {"300 colours and two transparent colours", With(With(threeHundred, 398, 0x00123456), 399, 0x00654321), 8, 6, 0,
         std::nullopt},
        {"300 colours and partial alpha", With(threeHundred, 399, 0x80123456), 8, 6, 0, std::nullopt},
        {"257 grey values with alpha",
         Filled(16, 17, [](std::uint32_t x, std::uint32_t y) { return Gray(x * 16 + y % 16, y == 16 ? 200 : 255); }), 8,
         4, 0, std::nullopt},
        {"256 opaque grey levels and transparent black", With(GrayLevels(256), 270, 0), 8, 4, 0, std::nullopt},
        {"256 opaque grey levels and transparent white pixels", With(GrayLevels(256), 270, 0x00FFFFFF), 8, 4, 0,
         std::nullopt},
        {"palette with opaque entries last",
         Filled(3, 1, [](std::uint32_t x, auto) { return x ? 0xFF00FF00u + x : 0x00FF0000u; }), 2, 3, 3, Bytes{0}},
    };
    for (const Case& c : cases) {
        const Bytes png = Encode(c.image);
        const auto chunks = ParseChunks(png);
        const THeader header = HeaderOf(chunks);
        EXPECT_EQ(header.depth, c.depth) << c.what;
        EXPECT_EQ(header.colorType, c.colorType) << c.what;
        const TChunkInfo* plte = FindChunk(chunks, "PLTE");
        EXPECT_EQ(plte ? plte->data.size() / 3 : 0, c.paletteEntries) << c.what;
        const TChunkInfo* trns = FindChunk(chunks, "tRNS");
        EXPECT_EQ(trns ? std::optional<Bytes>(trns->data) : std::nullopt, c.transparency) << c.what;
        try {
            EXPECT_EQ(Decode(png).pixels, c.image.pixels) << c.what << ": pixels changed on the way";
        } catch (const tbx::Exception& e) {
            ADD_FAILURE() << c.what << ": " << e.Message();
        }
    }
}

// Filter type bytes of each row of a written image.
std::vector<unsigned> RowFilters(const Bytes& png, std::size_t rowBytes) {
    const auto chunks = ParseChunks(png);
    const TChunkInfo* idat = FindChunk(chunks, "IDAT");
    std::vector<unsigned> filters;
    if (!idat) return filters;
    const Bytes raw = Inflate(idat->data);
    for (std::size_t at = 0; at < raw.size(); at += rowBytes + 1) filters.push_back(raw[at]);
    return filters;
}

TEST(PngWriter, FiltersEightBitGrayAndTruecolourRowsByTheSmallestByteSum) {
    // A horizontal ramp: Sub leaves ones in the first row (a tie with Paeth,
    // which the lower type wins); Up leaves zeros in every later row.
    const TImage ramp = Filled(300, 4, [](std::uint32_t x, auto) { return 0xFF000000u | (x * 0x010203u); });
    EXPECT_EQ(RowFilters(Encode(ramp), 900), (std::vector<unsigned>{1, 2, 2, 2}));
    const TImage grayRamp = Filled(40, 3, [](std::uint32_t x, auto) { return Gray(x * 3); });
    EXPECT_EQ(RowFilters(Encode(grayRamp), 40), (std::vector<unsigned>{1, 2, 2}));
    // Palette images and packed samples are never filtered.
    EXPECT_EQ(RowFilters(Encode(GrayLevels(16)), 8), std::vector<unsigned>(17, 0));
    const TImage stripes = Filled(9, 3, [](std::uint32_t x, auto) { return x % 2 ? 0xFFFFFFFFu : 0xFF000000u; });
    EXPECT_EQ(RowFilters(Encode(stripes), 2), std::vector<unsigned>(3, 0));
}

TEST(PngWriter, RoundTripsEveryColourClassThroughTheReader) {
    std::mt19937 random(5);
    auto noise = [&random](std::uint32_t mask, std::uint32_t set) {
        return [&random, mask, set](auto, auto) { return (static_cast<std::uint32_t>(random()) & mask) | set; };
    };
    for (std::uint32_t width : {1u, 2u, 3u, 7u, 8u, 9u, 17u, 64u}) {
        const std::uint32_t height = 5;
        const std::vector<std::pair<const char*, TImage>> images = {
            {"palette of 2", Filled(width, height, noise(0x01000000, 0xFE000000 | 0x123456))},
            {"palette of 4", Filled(width, height, noise(0x00000101, 0xFF000000))},
            {"palette of 16", Filled(width, height, noise(0x00000303, 0xFF000000))},
            {"palette of 64 with alpha", Filled(width, height, noise(0x30000303, 0x0F000000))},
            {"palette of 256", Filled(width, height, noise(0x000F000F, 0xFF000000))},
            {"black and white",
             Filled(width, height, [&random](auto, auto) { return random() % 2 ? 0xFFFFFFFFu : 0xFF000000u; })},
            {"gray", Filled(width, height, [&random](auto, auto) { return Gray(random() % 256); })},
            {"gray with alpha",
             Filled(width, height, [&random](auto, auto) { return Gray(random() % 256, random() % 256); })},
            {"RGB", Filled(width, height, noise(0x00FFFFFF, 0xFF000000))},
            {"RGBA", Filled(width, height, noise(0xFFFFFFFF, 0))},
        };
        for (const auto& [what, image] : images) {
            try {
                EXPECT_EQ(Decode(Encode(image)).pixels, image.pixels) << what << ", width " << width;
            } catch (const tbx::Exception& e) {
                ADD_FAILURE() << what << ", width " << width << ": " << e.Message();
            }
        }
    }
}

TEST(PngWriter, WritesOneIdatAndEndsWithIend) {
    const Bytes png = Encode(ManyColours(300, 200, 200));
    const auto chunks = ParseChunks(png);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(std::count_if(chunks.begin(), chunks.end(), [](const TChunkInfo& c) { return c.type == "IDAT"; }), 1);
    const Bytes iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    ASSERT_GE(png.size(), iend.size());
    EXPECT_EQ(Bytes(png.end() - 12, png.end()), iend);
}

TEST(PngWriter, RejectsDimensionsThatAreNotPositive) {
    const std::uint32_t pixel = 0;
    for (const auto& [w, h] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{-1, 5}, std::pair{5, -1}}) {
        try {
            tbx::TPNGWriter writer(w, h, 1, &pixel);
            ADD_FAILURE() << w << " x " << h << " was accepted";
        } catch (const tbx::Exception& e) {
            EXPECT_EQ(e.Message(), "Invalid dimensions") << w << " x " << h;
        }
    }
}

TEST(PngWriter, CopiesRowsAtTheGivenStride) {
    // 3 x 2 pixels inside rows of 5.
    const std::vector<std::uint32_t> source = {1, 2, 3, 0, 0, 4, 5, 6, 0, 0};
    std::vector<std::uint32_t> expected;
    for (std::uint32_t v : {1, 2, 3, 4, 5, 6}) expected.push_back(0xFF000000u | v * 0x010101u);
    std::vector<std::uint32_t> opaque = source;
    for (auto& p : opaque) p = 0xFF000000u | p * 0x010101u;
    tbx::TPNGWriter writer(3, 2, 5, opaque.data());
    tbx::TMemoryByteStream stream;
    writer.SaveToStream(stream);
    EXPECT_EQ(Decode(stream.Bytes()).pixels, expected);
}

}  // namespace

TEST(PngWriter, RefusesChunkDataLongerThanAChunkMayHold) {
    tbx::TMemoryByteStream stream;
    const std::uint8_t byte = 0;
    // The data is never read: the length alone is refused.
    try {
        tbx::png::WriteChunk(stream, "IDAT", &byte, tbx::png::MaxChunkLength + 1);
        ADD_FAILURE() << "a chunk of 2^31 bytes was written";
    } catch (const tbx::EStreamError& e) {
        EXPECT_EQ(e.Message(), tbx::png::ChunkTooLong);
    }
    EXPECT_EQ(stream.Size(), 0u);
    tbx::png::WriteChunk(stream, "IEND", nullptr, 0);
    EXPECT_EQ(stream.Size(), 12u);
}
