#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LibpngCodec.h"
#include "PngTestSupport.h"
#include "tbx/TbxErrors.h"

using namespace tbxtest;

namespace {

// Pixels as the first differing one, for a readable failure.
std::string FirstDifference(const std::vector<std::uint32_t>& ours, const std::vector<std::uint32_t>& theirs,
                            std::uint32_t width) {
    if (ours.size() != theirs.size())
        return "sizes differ: " + std::to_string(ours.size()) + " vs " + std::to_string(theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (ours[i] != theirs[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel (%zu, %zu): ours %08X, libpng %08X", i % width, i / width, ours[i],
                          theirs[i]);
            return text;
        }
    }
    return "";
}

void ExpectSameAsLibpng(const Bytes& png, const std::string& what) {
    libpngref::TImage reference;
    std::string error;
    ASSERT_TRUE(libpngref::DecodeBgra(png.data(), png.size(), reference, &error)) << what << ": libpng: " << error;
    try {
        const TImage ours = Decode(png);
        EXPECT_EQ(ours.width, reference.width) << what;
        EXPECT_EQ(ours.height, reference.height) << what;
        EXPECT_EQ(FirstDifference(ours.pixels, reference.pixels, reference.width), "") << what;
    } catch (const tbx::Exception& e) {
        ADD_FAILURE() << what << ": " << e.Message();
    }
}

TEST(PngReader, DecodesEveryValidPngSuiteFileLikeLibpng) {
    const auto files = PngSuiteFiles(false);
    ASSERT_GE(files.size(), 100u) << "images missing from " << PngSuiteDir();
    for (const auto& path : files) ExpectSameAsLibpng(ReadFile(path), path.filename().string());
}

// Smooth gradients with noise, so that libpng's encoder uses every filter.
Bytes GeneratedRows(std::uint32_t width, std::uint32_t height, int channels, int depth, std::mt19937& random) {
    const std::size_t bits = std::size_t(width) * channels * depth;
    const std::size_t rowBytes = (bits + 7) / 8;
    Bytes rows(rowBytes * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const unsigned smooth = static_cast<unsigned>(i * 3 + y * 5);
            rows[y * rowBytes + i] = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : smooth);
        }
    }
    return rows;
}

TEST(PngReader, DecodesEveryColourTypeDepthAndFilterLikeLibpng) {
    struct Format {
        int colorType, depth, channels;
    };
    const Format formats[] = {{0, 1, 1}, {0, 2, 1}, {0, 4, 1}, {0, 8, 1}, {0, 16, 1}, {2, 8, 3}, {2, 16, 3}, {3, 1, 1},
                              {3, 2, 1}, {3, 4, 1}, {3, 8, 1}, {4, 8, 2}, {4, 16, 2}, {6, 8, 4}, {6, 16, 4}};
    std::mt19937 random(17);
    for (const Format& f : formats) {
        for (bool interlaced : {false, true}) {
            for (bool keyed : {false, true}) {
                for (const auto& [w, h] : {std::pair{37u, 23u}, std::pair{1u, 9u}, std::pair{130u, 3u}}) {
                    libpngref::TEncodeOptions o;
                    o.width = w;
                    o.height = h;
                    o.colorType = f.colorType;
                    o.bitDepth = f.depth;
                    o.interlaced = interlaced;
                    o.rows = GeneratedRows(w, h, f.channels, f.depth, random);
                    if (f.colorType == 3) {
                        // A full palette, so that every generated index is valid.
                        for (int i = 0; i < (3 << f.depth); ++i)
                            o.palette.push_back(static_cast<std::uint8_t>(random()));
                        if (keyed) o.tRNS = {0, 128, 255, 7};
                    } else if (keyed && (f.colorType == 0 || f.colorType == 2)) {
                        // The first sample of the image as the key, so that it matches somewhere.
                        const int mask = f.depth == 16 ? 0xFFFF : (1 << f.depth) - 1;
                        const Bytes& r = o.rows;
                        auto sample = [&](int k) -> int {
                            if (f.depth == 16) return r[2 * k] << 8 | r[2 * k + 1];
                            return f.depth == 8 ? r[k] : r[0] >> (8 - f.depth);
                        };
                        for (int k = 0; k < (f.colorType == 0 ? 1 : 3); ++k) {
                            const int v = sample(k) & mask;
                            o.tRNS.push_back(static_cast<std::uint8_t>(v >> 8));
                            o.tRNS.push_back(static_cast<std::uint8_t>(v));
                        }
                    }
                    const Bytes png = libpngref::Encode(o);
                    ASSERT_FALSE(png.empty());
                    ExpectSameAsLibpng(png, "colour type " + std::to_string(f.colorType) + ", depth " +
                                                std::to_string(f.depth) + (interlaced ? ", Adam7" : "") +
                                                (keyed ? ", tRNS" : "") + ", " + std::to_string(w) + " x " +
                                                std::to_string(h));
                }
            }
        }
    }
}

TEST(PngWriter, OutputDecodesToTheSamePixelsInLibpng) {
    std::mt19937 random(23);
    auto image = [&](std::uint32_t w, std::uint32_t h, std::uint32_t mask, std::uint32_t set) {
        TImage im{w, h, {}};
        for (std::uint32_t i = 0; i < w * h; ++i)
            im.pixels.push_back((static_cast<std::uint32_t>(random()) & mask) | set);
        return im;
    };
    TImage blackWhite = image(19, 7, 0, 0xFF000000);
    for (auto& p : blackWhite.pixels) p = random() % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    TImage grayKey = image(33, 9, 0, 0);
    for (auto& p : grayKey.pixels) p = random() % 5 == 0 ? 0x00030303u : 0xFF000000u | (random() % 128 * 2) * 0x010101u;
    TImage grayAlpha = image(40, 40, 0, 0);
    for (auto& p : grayAlpha.pixels) p = (random() % 256) << 24 | (random() % 256) * 0x010101u;
    TImage rgbKey = image(33, 9, 0x00FFFFFE, 0xFF000000);  // even blue only...
    rgbKey.pixels[4] = 0x00000001;                         // ...so the odd key colour is its own

    const std::vector<std::pair<const char*, TImage>> images = {
        {"palette of 2", image(13, 5, 0x00010000, 0xFF000000)},
        {"palette of 4 with alpha", image(13, 5, 0x80000100, 0x7F000000)},
        {"palette of 16", image(13, 5, 0x00030003, 0xFF000000)},
        {"palette of 256 with alpha", image(40, 40, 0x0F00000F, 0x70000000)},
        {"black and white", blackWhite},
        {"gray with a key", grayKey},
        {"gray with alpha", grayAlpha},
        {"RGB", image(40, 40, 0x00FFFFFF, 0xFF000000)},
        {"RGB with a key", rgbKey},
        {"RGBA", image(40, 40, 0xFFFFFFFF, 0)},
    };
    for (const auto& [what, im] : images) {
        const Bytes png = Encode(im);
        libpngref::TImage reference;
        std::string error;
        ASSERT_TRUE(libpngref::DecodeBgra(png.data(), png.size(), reference, &error)) << what << ": " << error;
        EXPECT_EQ(FirstDifference(reference.pixels, im.pixels, im.width), "") << what;
    }
}

}  // namespace
