#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "PngTestSupport.h"
#include "tbx/ByteStream.h"
#include "tbx/PngFilters.h"
#include "tbx/PngFormat.h"
#include "tbx/PngReader.h"
#include "tbx/TbxErrors.h"

using namespace tbxtest;

namespace {

// A 2 x 2 RGB image: red, green / blue, white.
const std::vector<Bytes> Rgb2x2Rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 255, 255, 255}};
const std::vector<std::uint32_t> Rgb2x2Pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

Bytes Rgb2x2Idat() { return Chunk("IDAT", Zlib(FilteredRows(Rgb2x2Rows))); }

Bytes Rgb2x2() { return Png({Ihdr(2, 2, 8, 2), Rgb2x2Idat(), Iend()}); }

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// --- Errors -----------------------------------------------------------------

TEST(PngReader, RaisesTheExactMessageForEveryCorruptPngSuiteFile) {
    const std::map<std::string, std::string> expected = {
        {"xc1n0g08.png", "Invalid color format"},  // colour type 1
        {"xc9n2c08.png", "Invalid color format"},  // colour type 9
        {"xcrn0g04.png", "Invalid format"},        // signature mangled by CR-LF conversion
        {"xcsn0g01.png", "CRC error"},             // IDAT checksum
        {"xd0n2c08.png", "Invalid color format"},  // bit depth 0
        {"xd3n2c08.png", "Invalid color format"},  // bit depth 3
        {"xd9n2c08.png", "Invalid color format"},  // bit depth 99
        {"xdtn0g01.png", "Invalid format"},        // no image data at all
        {"xhdn0g08.png", "CRC error"},             // IHDR checksum
        {"xlfn0g04.png", "Invalid format"},        // signature mangled by LF-CR conversion
        {"xs1n0g01.png", "Invalid format"},        // signature byte 1
        {"xs2n0g01.png", "Invalid format"},        // signature byte 2
        {"xs4n0g01.png", "Invalid format"},        // signature byte 4
        {"xs7n0g01.png", "Invalid format"},        // signature byte 7
    };
    const auto files = PngSuiteFiles(true);
    ASSERT_FALSE(files.empty()) << "no corrupt images in " << PngSuiteDir();
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        const auto it = expected.find(name);
        ASSERT_NE(it, expected.end()) << "no expected message for " << name;
        EXPECT_EQ(DecodeError(ReadFile(path)), it->second) << name;
    }
}

TEST(PngReader, RaisesTheExactMessageForMalformedData) {
    const Bytes rawRows = FilteredRows(Rgb2x2Rows);
    const Bytes zlib = Zlib(rawRows);
    const Bytes header = Ihdr(2, 2, 8, 2);
    Bytes badSignature = Rgb2x2();
    badSignature[3] = 'g';
    Bytes badIhdrCrc = Rgb2x2();
    badIhdrCrc[8 + 8 + 13] ^= 1;
    const Bytes shortIhdr = Chunk("IHDR", Bytes(12, 1));
    auto withDepth = [](std::uint8_t depth, std::uint8_t colorType) {
        return Png({Ihdr(2, 2, depth, colorType), Rgb2x2Idat(), Iend()});
    };
    const Bytes truncatedZlib(zlib.begin(), zlib.begin() + static_cast<std::ptrdiff_t>(zlib.size() / 2));
    const Bytes palette2 = Chunk("PLTE", {1, 2, 3, 4, 5, 6});
    const Bytes idx2x1 = Chunk("IDAT", Zlib(FilteredRows({{0x00, 0x02}})));
    const Bytes good = Rgb2x2();

    struct Case {
        const char* what;
        Bytes png;
        std::string message;
    };
    const Case cases[] = {
        {"wrong signature", badSignature, "Invalid format"},
        {"first chunk not IHDR", Png({Chunk("gAMA", {0, 0, 0, 1}), header, Rgb2x2Idat(), Iend()}), "Invalid format"},
        {"IHDR of 12 bytes", Png({shortIhdr, Rgb2x2Idat(), Iend()}), "Invalid format"},
        {"colour type 1", withDepth(8, 1), "Invalid color format"},
        {"colour type 7", withDepth(8, 7), "Invalid color format"},
        {"gray of 3 bits", withDepth(3, 0), "Invalid color format"},
        {"RGB of 4 bits", withDepth(4, 2), "Invalid color format"},
        {"palette of 16 bits", withDepth(16, 3), "Invalid color format"},
        {"gray with alpha of 4 bits", withDepth(4, 4), "Invalid color format"},
        {"RGBA of 1 bit", withDepth(1, 6), "Invalid color format"},
        {"compression method 1", Png({Ihdr(2, 2, 8, 2, 0, 1), Rgb2x2Idat(), Iend()}), "Unsupported compression scheme"},
        {"IHDR CRC", badIhdrCrc, "CRC error"},
        {"IDAT CRC", Png({header, Chunk("IDAT", zlib, 0x12345678), Iend()}), "CRC error"},
        {"gAMA CRC", Png({header, Chunk("gAMA", {0, 0, 0, 1}, 0), Rgb2x2Idat(), Iend()}), "CRC error"},
        {"PLTE of 4 bytes", Png({header, Chunk("PLTE", {1, 2, 3, 4}), Rgb2x2Idat(), Iend()}), "Invalid palette"},
        {"unknown critical chunk", Png({header, Chunk("ABCD", {}), Rgb2x2Idat(), Iend()}),
         "Unexpected but critical chunk detected"},
        {"PLTE right after the image data", Png({header, Rgb2x2Idat(), Chunk("PLTE", {1, 2, 3}), Iend()}),
         "Unexpected but critical chunk detected"},
        {"zlib stream ends before the image",
         Png({header, Chunk("IDAT", Zlib(Bytes(rawRows.begin(), rawRows.end() - 1))), Iend()}),
         "Extra compressed data found"},
        {"bytes after the zlib stream", Png({header, Chunk("IDAT", Concat(zlib, {0})), Iend()}),
         "Extra compressed data found"},
        {"preset dictionary", Png({header, Chunk("IDAT", {0x78, 0x20, 0, 0, 0, 1, 0, 0}), Iend()}),
         "Compression error"},
        {"invalid deflate block", Png({header, Chunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF}), Iend()}),
         "Compression error: data error"},
        {"invalid zlib header", Png({header, Chunk("IDAT", {0x78, 0x00, 0, 0}), Iend()}),
         "Compression error: data error"},
        {"palette index beyond a 2-entry palette of 8 bits", Png({Ihdr(2, 1, 8, 3), palette2, idx2x1, Iend()}),
         "Invalid palette index"},
        {"stream ends inside a chunk header", Bytes(good.begin(), good.begin() + 12), "Stream read error"},
        // Data that is not there is never trusted.
        {"no image data", Png({header, Iend()}), "Invalid format"},
        {"image data runs out", Png({header, Chunk("IDAT", truncatedZlib), Iend()}), "Invalid format"},
        {"image data runs out at the end of the file", Png({header, Chunk("IDAT", truncatedZlib)}),
         "Stream read error"},
        {"chunk longer than the file", Concat(Png({header}), {0, 0, 0, 100, 'I', 'D', 'A', 'T', 1, 2}),
         "Stream read error"},
        {"chunk length above 2^31", Concat(Png({header}), Concat({0x80, 0, 0, 0, 't', 'E', 'X', 't'}, Bytes(64))),
         "Invalid format"},
        {"IEND cut in its CRC", Bytes(good.begin(), good.end() - 1), "Stream read error"},
        {"more than 2^28 pixels", Png({Ihdr(16385, 16384, 1, 0), Rgb2x2Idat(), Iend()}), "Invalid format"},
        {"far more pixels than the data can hold", Png({Ihdr(20000, 10000, 8, 6), Rgb2x2Idat(), Iend()}),
         "Invalid format"},
        {"gray key of 1 byte", Png({Ihdr(2, 2, 8, 0), Chunk("tRNS", {0}), Rgb2x2Idat(), Iend()}), "Invalid format"},
        {"RGB key of 4 bytes", Png({header, Chunk("tRNS", {0, 1, 0, 2}), Rgb2x2Idat(), Iend()}), "Invalid format"},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeError(c.png), c.message) << c.what;
}

TEST(PngReader, RaisesZlibFailuresAsZlibErrors) {
    const Bytes png = Png({Ihdr(2, 2, 8, 2), Chunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF}), Iend()});
    EXPECT_THROW(Decode(png), tbx::EZlibError);
}

// Every proper prefix of a valid file must fail cleanly: no crash, no
// sanitizer report, no half image.
TEST(PngReader, RaisesForAFileCutAtAnyOffset) {
    std::vector<Bytes> files;
    for (const auto& path : PngSuiteFiles(false)) files.push_back(ReadFile(path));
    ASSERT_FALSE(files.empty()) << "no images in " << PngSuiteDir();
    TImage big{97, 61, {}};
    std::mt19937 random(11);
    for (std::uint32_t i = 0; i < big.width * big.height; ++i) big.pixels.push_back(random() | 0xFF000000u);
    files.push_back(Encode(big));

    for (const Bytes& file : files) {
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            try {
                Decode(prefix);
                ADD_FAILURE() << "a file of " << file.size() << " bytes cut to " << cut << " loaded";
                break;
            } catch (const tbx::Exception&) {}
        }
    }
}

TEST(PngReader, LeavesTheReaderEmptyAfterAFailure) {
    tbx::TPNGReader reader;
    const Bytes good = Rgb2x2();
    tbx::TConstByteStream first(good);
    reader.LoadFromStream(first);
    ASSERT_EQ(reader.Width(), 2u);
    const Bytes bad(good.begin(), good.end() - 20);
    tbx::TConstByteStream second(bad);
    EXPECT_THROW(reader.LoadFromStream(second), tbx::EStreamError);
    EXPECT_EQ(reader.Width(), 0u);
    EXPECT_EQ(reader.Height(), 0u);
    EXPECT_TRUE(reader.GetPixels().empty());
}

// --- Structure ----------------------------------------------------------------

TEST(PngReader, GivesAnEmptyImageForAZeroWidthOrHeightWhateverFollows) {
    for (const auto& [w, h] : {std::pair{0u, 5u}, std::pair{5u, 0u}, std::pair{0u, 0u}}) {
        Bytes png = Png({Ihdr(w, h, 99, 99, 0, 7)});
        png.insert(png.end(), {1, 2, 3});  // not even a chunk
        const TImage image = Decode(png);
        EXPECT_EQ(image.width, 0u) << w << " x " << h;
        EXPECT_EQ(image.height, 0u) << w << " x " << h;
        EXPECT_TRUE(image.pixels.empty()) << w << " x " << h;
    }
}

TEST(PngReader, MatchesChunkNamesWithoutRegardToCase) {
    const Bytes png = Png({Ihdr(2, 1, 8, 3), Chunk("plte", {10, 20, 30, 40, 50, 60}), Chunk("tRNS", {0x80}),
                           Chunk("idat", Zlib(FilteredRows({{0, 1}}))), Chunk("iend", {})});
    EXPECT_EQ(Decode(png).pixels, (std::vector<std::uint32_t>{0x800A141E, 0xFF28323C}));
}

TEST(PngReader, SkipsAncillaryChunksAndIendWithoutCheckingTheirCrc) {
    const Bytes png = Png({Ihdr(2, 2, 8, 2), Chunk("tEXt", {'a', 0, 'b'}, 0), Chunk("pHYs", Bytes(9), 1), Rgb2x2Idat(),
                           Chunk("zTXt", {1}, 2), Chunk("IEND", {}, 0)});
    EXPECT_EQ(Decode(png).pixels, Rgb2x2Pixels);
}

TEST(PngReader, IgnoresPlteInTruecolourAndTrnsInAlphaImagesAfterTheirCrcCheck) {
    EXPECT_EQ(Decode(Png({Ihdr(2, 2, 8, 2), Chunk("PLTE", {1, 2, 3}), Rgb2x2Idat(), Iend()})).pixels, Rgb2x2Pixels);
    const Bytes rgba = Zlib(FilteredRows({{1, 2, 3, 4}}));
    EXPECT_EQ(Decode(Png({Ihdr(1, 1, 8, 6), Chunk("tRNS", {0, 1, 0, 2, 0, 3}), Chunk("IDAT", rgba), Iend()})).pixels,
              std::vector<std::uint32_t>{0x04010203});
    EXPECT_EQ(DecodeError(Png({Ihdr(1, 1, 8, 6), Chunk("tRNS", {0}, 5), Chunk("IDAT", rgba), Iend()})), "CRC error");
}

TEST(PngReader, ChecksPaletteIndicesOnlyWhenThePaletteIsNotFull) {
    // Two entries fill a 1-bit palette: no index can be out of range.
    const Bytes twoOfTwo =
        Png({Ihdr(2, 1, 1, 3), Chunk("PLTE", {1, 1, 1, 2, 2, 2}), Chunk("IDAT", Zlib(FilteredRows({{0x40}}))), Iend()});
    EXPECT_EQ(Decode(twoOfTwo).pixels, (std::vector<std::uint32_t>{0xFF010101, 0xFF020202}));
    // Three entries of four at 2 bits: index 2 is fine, index 3 is not.
    const Bytes plte3 = Chunk("PLTE", {1, 1, 1, 2, 2, 2, 3, 3, 3});
    EXPECT_EQ(Decode(Png({Ihdr(3, 1, 2, 3), plte3, Chunk("IDAT", Zlib(FilteredRows({{0x18}}))), Iend()})).pixels,
              (std::vector<std::uint32_t>{0xFF010101, 0xFF020202, 0xFF030303}));
    EXPECT_EQ(DecodeError(Png({Ihdr(3, 1, 2, 3), plte3, Chunk("IDAT", Zlib(FilteredRows({{0x1C}}))), Iend()})),
              "Invalid palette index");
    // No palette at all: every index is out of range.
    EXPECT_EQ(DecodeError(Png({Ihdr(1, 1, 8, 3), Chunk("IDAT", Zlib(FilteredRows({{0}}))), Iend()})),
              "Invalid palette index");
}

TEST(PngReader, ReadsImageDataSplitOverManyIdatChunksAndDropsExtraOnes) {
    const Bytes zlib = Zlib(FilteredRows(Rgb2x2Rows));
    std::vector<Bytes> chunks = {Ihdr(2, 2, 8, 2), Chunk("IDAT", {})};
    for (std::size_t at = 0, piece = 1; at < zlib.size(); at += piece, piece = piece % 4 + 1) {
        const std::size_t n = std::min(piece, zlib.size() - at);
        chunks.push_back(Chunk("IDAT", Bytes(zlib.begin() + at, zlib.begin() + at + n)));
        chunks.push_back(Chunk("IDAT", {}));
    }
    chunks.push_back(Chunk("IDAT", {0xDE, 0xAD}));  // never inflated
    chunks.push_back(Iend());
    EXPECT_EQ(Decode(Png(chunks)).pixels, Rgb2x2Pixels);
}

TEST(PngReader, LeavesRowsWithUnknownFilterTypesAsStored) {
    const Bytes png = Png({Ihdr(2, 2, 8, 2), Chunk("IDAT", Zlib(FilteredRows(Rgb2x2Rows, 7))), Iend()});
    EXPECT_EQ(Decode(png).pixels, Rgb2x2Pixels);
}

TEST(PngReader, ReversesEveryFilterForEveryFilterUnit) {
    std::mt19937 random(1);
    for (std::size_t unit : {1, 2, 3, 4, 6, 8, 5}) {
        for (std::size_t count : {std::size_t(0), std::size_t(1), unit - 1, unit, unit + 1, 3 * unit, 8 * unit + 3}) {
            Bytes row(count), previous(count), filtered(count);
            for (auto& b : row) b = static_cast<std::uint8_t>(random());
            for (auto& b : previous) b = static_cast<std::uint8_t>(random());
            for (std::uint8_t type = 0; type <= 4; ++type) {
                tbx::png::FilterRow(type, row.data(), count, unit, filtered.data(), previous.data());
                tbx::png::UnfilterRow(type, filtered.data(), count, unit, previous.data());
                EXPECT_EQ(filtered, row) << "filter " << int(type) << ", unit " << unit << ", " << count << " bytes";
            }
            Bytes unchanged = row;
            tbx::png::UnfilterRow(7, unchanged.data(), count, unit, previous.data());
            EXPECT_EQ(unchanged, row) << "filter 7, unit " << unit;
        }
    }
}

TEST(PngReader, PaethPredictorBreaksTiesInTheOrderABC) {
    EXPECT_EQ(tbx::png::PaethPredictor(10, 10, 10), 10);
    EXPECT_EQ(tbx::png::PaethPredictor(5, 9, 7), 7);  // p = 7: c is exact
    EXPECT_EQ(tbx::png::PaethPredictor(4, 6, 5), 5);  // p = 5: a and b tie one away, c exact
    EXPECT_EQ(tbx::png::PaethPredictor(4, 8, 4), 8);  // p = 8: b exact
    EXPECT_EQ(tbx::png::PaethPredictor(8, 4, 4), 8);  // p = 8: a exact
    EXPECT_EQ(tbx::png::PaethPredictor(3, 5, 2), 5);  // p = 6: b nearest
    EXPECT_EQ(tbx::png::PaethPredictor(3, 6, 5), 3);  // p = 4: a and c tie one away
    EXPECT_EQ(tbx::png::PaethPredictor(6, 3, 5), 3);  // p = 4: b and c tie one away
    EXPECT_EQ(tbx::png::PaethPredictor(5, 5, 0), 5);  // p = 10: a and b tie
}

// --- Pixels -----------------------------------------------------------------------

TEST(PngReader, ConvertsEveryColourTypeAndBitDepth) {
    struct Case {
        const char* what;
        std::uint8_t colorType, depth;
        std::uint32_t width;
        Bytes row;
        std::vector<Bytes> extra;  // chunks before the image data
        std::vector<std::uint32_t> pixels;
    };
    const Bytes plte4 = Chunk("PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9});
    const Case cases[] = {
        {"gray 1",
         0,
         1,
         8,
         {0xB0},
         {},
         {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000}},
        {"gray 1 with key 1", 0, 1, 2, {0x80}, {Chunk("tRNS", {0, 1})}, {0x00FFFFFF, 0xFF000000}},
        {"gray 2", 0, 2, 4, {0x1B}, {}, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
        {"gray 2 keyed by the low two bits",
         0,
         2,
         4,
         {0x1B},
         {Chunk("tRNS", {1, 0x06})},
         {0xFF000000, 0xFF555555, 0x00AAAAAA, 0xFFFFFFFF}},
        {"gray 4", 0, 4, 3, {0x3C, 0xF0}, {}, {0xFF333333, 0xFFCCCCCC, 0xFFFFFFFF}},
        {"gray 4 with key", 0, 4, 2, {0x3C}, {Chunk("tRNS", {0, 0x0C})}, {0xFF333333, 0x00CCCCCC}},
        {"gray 8 with key", 0, 8, 2, {0x80, 0x81}, {Chunk("tRNS", {0, 0x80})}, {0x00808080, 0xFF818181}},
        {"gray 16", 0, 16, 2, {0x12, 0x34, 0xAB, 0xCD}, {}, {0xFF121212, 0xFFABABAB}},
        {"gray 16 keyed by the whole sample",
         0,
         16,
         3,
         {0x12, 0x34, 0x12, 0x35, 0x34, 0x12},
         {Chunk("tRNS", {0x12, 0x34})},
         {0x00121212, 0xFF121212, 0xFF343434}},
        {"gray with alpha 8", 4, 8, 2, {0x40, 0x80, 0xFF, 0x00}, {}, {0x80404040, 0x00FFFFFF}},
        {"gray with alpha 16", 4, 16, 1, {0x40, 0x01, 0x80, 0x02}, {}, {0x80404040}},
        {"RGB 8", 2, 8, 1, {1, 2, 3}, {}, {0xFF010203}},
        {"RGB 8 with key",
         2,
         8,
         2,
         {0x11, 0x22, 0x33, 0x11, 0x22, 0x34},
         {Chunk("tRNS", {0, 0x11, 0, 0x22, 0, 0x33})},
         {0x00112233, 0xFF112234}},
        {"RGB 16 keyed by whole samples",
         2,
         16,
         2,
         {0x11, 0, 0x22, 0, 0x33, 0, 0x11, 0, 0x22, 0, 0x33, 1},
         {Chunk("tRNS", {0x11, 0, 0x22, 0, 0x33, 0})},
         {0x00112233, 0xFF112233}},
        {"RGBA 8", 6, 8, 2, {1, 2, 3, 4, 5, 6, 7, 8}, {}, {0x04010203, 0x08050607}},
        {"RGBA 16", 6, 16, 1, {1, 9, 2, 9, 3, 9, 4, 9}, {}, {0x04010203}},
        {"palette 1", 3, 1, 3, {0x40}, {plte4}, {0xFFFF0000, 0xFF00FF00, 0xFFFF0000}},
        {"palette 2", 3, 2, 4, {0x1B}, {plte4}, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF090909}},
        {"palette 4 with alpha", 3, 4, 2, {0x30}, {plte4, Chunk("tRNS", {0x10, 0x20})}, {0xFF090909, 0x10FF0000}},
        {"palette 8 with a long tRNS",
         3,
         8,
         2,
         {1, 3},
         {plte4, Chunk("tRNS", {1, 2, 3, 4, 5, 6})},
         {0x0200FF00, 0x04090909}},
        {"palette 8 with tRNS before PLTE", 3, 8, 1, {0}, {Chunk("tRNS", {0}), plte4}, {0xFFFF0000}},
    };
    for (const Case& c : cases) {
        std::vector<Bytes> chunks = {Ihdr(c.width, 1, c.depth, c.colorType)};
        chunks.insert(chunks.end(), c.extra.begin(), c.extra.end());
        chunks.push_back(Chunk("IDAT", Zlib(FilteredRows({c.row}))));
        chunks.push_back(Iend());
        try {
            const TImage image = Decode(Png(chunks));
            EXPECT_EQ(image.width, c.width) << c.what;
            EXPECT_EQ(image.pixels, c.pixels) << c.what;
        } catch (const tbx::Exception& e) {
            ADD_FAILURE() << c.what << ": " << e.Message();
        }
    }
}

// Builds the Adam7 passes of an 8-bit image with the given channels.
Bytes InterlacedRows(const Bytes& samples, std::uint32_t width, std::uint32_t height, unsigned channels) {
    Bytes raw;
    for (const auto& pass : tbx::png::Adam7Passes) {
        if (tbx::png::PassColumns(pass, width) == 0) continue;
        for (std::uint32_t y = pass.startRow; y < height; y += pass.rowStep) {
            raw.push_back(0);
            for (std::uint32_t x = pass.startColumn; x < width; x += pass.columnStep)
                for (unsigned k = 0; k < channels; ++k)
                    raw.push_back(samples[(std::size_t(y) * width + x) * channels + k]);
        }
    }
    return raw;
}

TEST(PngReader, DecodesAdam7ImagesOfEverySmallSize) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {{33, 17}, {1, 40}, {40, 1}};
    for (std::uint32_t w = 1; w <= 9; ++w)
        for (std::uint32_t h = 1; h <= 9; ++h) sizes.push_back({w, h});
    for (const auto& [w, h] : sizes) {
        Bytes samples;
        std::vector<std::uint32_t> expected;
        for (std::uint32_t y = 0; y < h; ++y) {
            for (std::uint32_t x = 0; x < w; ++x) {
                const auto r = static_cast<std::uint8_t>(x * 7), g = static_cast<std::uint8_t>(y * 5),
                           b = static_cast<std::uint8_t>(x + y), a = static_cast<std::uint8_t>(255 - x);
                samples.insert(samples.end(), {r, g, b, a});
                expected.push_back(std::uint32_t(a) << 24 | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b);
            }
        }
        const Bytes png = Png({Ihdr(w, h, 8, 6, 1), Chunk("IDAT", Zlib(InterlacedRows(samples, w, h, 4))), Iend()});
        try {
            EXPECT_EQ(Decode(png).pixels, expected) << w << " x " << h;
        } catch (const tbx::Exception& e) {
            ADD_FAILURE() << w << " x " << h << ": " << e.Message();
        }
    }
}

}  // namespace

// Image data, another chunk, image data again: the second run goes on with
// the same zlib stream from the first row, so a stream that has ended
// leaves its rows undone.
TEST(PngReader, DecodesASecondRunOfImageDataAgainFromTheFirstRow) {
    const Bytes idat = Rgb2x2Idat();
    const Bytes text = Chunk("tEXt", {'a', 0, 'b'});
    EXPECT_EQ(DecodeError(Png({Ihdr(2, 2, 8, 2), idat, text, idat, Iend()})), "Extra compressed data found");
    // One zlib stream split around the other chunk: the first run runs out.
    const Bytes zlib = Zlib(FilteredRows(Rgb2x2Rows));
    const auto half = static_cast<std::ptrdiff_t>(zlib.size() / 2);
    EXPECT_EQ(DecodeError(Png({Ihdr(2, 2, 8, 2), Chunk("IDAT", Bytes(zlib.begin(), zlib.begin() + half)), text,
                               Chunk("IDAT", Bytes(zlib.begin() + half, zlib.end())), Iend()})),
              "Invalid format");
    EXPECT_EQ(Decode(Png({Ihdr(2, 2, 8, 2), idat, text, Iend()})).pixels, Rgb2x2Pixels);
}

// Rows are inflated ahead; a fault further on must not hide one that
// comes earlier in the file.
TEST(PngReader, ReportsTheFirstOfTwoFaultsInReadingOrder) {
    const Bytes palette2 = Chunk("PLTE", {1, 2, 3, 4, 5, 6});
    std::mt19937 random(5);
    std::vector<Bytes> rows(64, Bytes(32));
    for (Bytes& row : rows)
        for (std::uint8_t& index : row) index = static_cast<std::uint8_t>(random() & 1);
    auto withBadCrcInSecondHalf = [&](const std::vector<Bytes>& imageRows) {
        const Bytes zlib = Zlib(FilteredRows(imageRows));
        const auto half = static_cast<std::ptrdiff_t>(zlib.size() / 2);
        return Png({Ihdr(32, 64, 8, 3), palette2, Chunk("IDAT", Bytes(zlib.begin(), zlib.begin() + half)),
                    Chunk("IDAT", Bytes(zlib.begin() + half, zlib.end()), 0x12345678), Iend()});
    };
    EXPECT_EQ(DecodeError(withBadCrcInSecondHalf(rows)), "CRC error");
    rows[0][3] = 7;  // beyond the two entries, in the first row
    EXPECT_EQ(DecodeError(withBadCrcInSecondHalf(rows)), "Invalid palette index");
}
