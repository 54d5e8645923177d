// Decoding speed of our PNG reader against libpng, both producing the same
// 32-bit BGRA pixels in a newly allocated array. Every image is first
// decoded by both and compared pixel for pixel; then the two decoders run in
// alternating rounds and the best round of each counts.
//
//   vsk_png_bench [--pngsuite DIR] [--quick] [--save DIR] [FILE.png ...]
//
// --save writes the generated images into DIR, to be timed again as files
// or looked at.
//
// Prints a Markdown table: output pixels in MB/s for each decoder and the
// ratio of our time to libpng's (below 1: ours is faster).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "LibpngCodec.h"
#include "tbx/ByteStream.h"
#include "tbx/PngReader.h"
#include "tbx/TbxErrors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

struct TSample {
    std::string set, name;
    Bytes png;
    std::uint32_t width = 0, height = 0;
    double oursSeconds = 0, libpngSeconds = 0;  // best time of one decode
};

// --- Generated images -------------------------------------------------------------

constexpr std::uint32_t Side = 2048;

// A smooth, photo-like field with a little noise: every filter type has work.
struct TField {
    std::mt19937 random{42};
    std::uint8_t At(std::uint32_t x, std::uint32_t y, int channel) {
        const double v = 127.5 + 60 * std::sin(x * 0.011 + channel * 1.7) * std::cos(y * 0.007 - channel) +
                         50 * std::sin((x + y) * 0.003 + channel * 0.5);
        const int noise = static_cast<int>(random() % 9) - 4;
        return static_cast<std::uint8_t>(std::clamp(static_cast<int>(v) + noise, 0, 255));
    }
};

Bytes Photo(int colorType, int depth, bool interlaced) {
    const int channels = colorType == 6 ? 4 : colorType == 2 ? 3 : colorType == 4 ? 2 : 1;
    const int bytesPerSample = depth / 8;
    libpngref::TEncodeOptions o;
    o.width = o.height = Side;
    o.colorType = colorType;
    o.bitDepth = depth;
    o.interlaced = interlaced;
    o.rows.resize(std::size_t(Side) * Side * channels * bytesPerSample);
    TField field;
    std::size_t at = 0;
    for (std::uint32_t y = 0; y < Side; ++y) {
        for (std::uint32_t x = 0; x < Side; ++x) {
            for (int c = 0; c < channels; ++c) {
                std::uint8_t v = field.At(x, y, c);
                if (c == 3)  // alpha: mostly opaque, with soft-edged holes
                    v = static_cast<std::uint8_t>(std::clamp(int(v) * 3 - 200, 0, 255));
                o.rows[at++] = v;
                if (bytesPerSample == 2) o.rows[at++] = static_cast<std::uint8_t>(field.random());
            }
        }
    }
    if (colorType == 3) {
        for (int i = 0; i < 256; ++i)
            o.palette.insert(o.palette.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                               static_cast<std::uint8_t>(i * 7)});
    }
    return libpngref::Encode(o);
}

// Flat panels, borders, buttons and small glyph-like marks on RGBA: what the
// program's own pictures look like.
Bytes FlatUi() {
    libpngref::TEncodeOptions o;
    o.width = o.height = Side;
    o.colorType = 6;
    o.bitDepth = 8;
    o.rows.resize(std::size_t(Side) * Side * 4);
    std::mt19937 random(7);
    auto put = [&](std::uint32_t x, std::uint32_t y, std::uint32_t argb) {
        std::uint8_t* p = &o.rows[(std::size_t(y) * Side + x) * 4];
        p[0] = static_cast<std::uint8_t>(argb >> 16);
        p[1] = static_cast<std::uint8_t>(argb >> 8);
        p[2] = static_cast<std::uint8_t>(argb);
        p[3] = static_cast<std::uint8_t>(argb >> 24);
    };
    for (std::uint32_t y = 0; y < Side; ++y)
        for (std::uint32_t x = 0; x < Side; ++x)
            put(x, y, y < 64 ? 0xFF000000u | (0x30 + y) << 16 | (0x50 + y) << 8 | 0xC0 : 0xFFECE9D8u);
    for (int panel = 0; panel < 120; ++panel) {
        const std::uint32_t x0 = random() % (Side - 300), y0 = 64 + random() % (Side - 400);
        const std::uint32_t w = 60 + random() % 240, h = 20 + random() % 300;
        const std::uint32_t fill = 0xFF000000u | (random() & 0x3F3F3F) | 0xC0C0C0;
        for (std::uint32_t y = y0; y < y0 + h; ++y) {
            for (std::uint32_t x = x0; x < x0 + w; ++x) {
                const bool border = x == x0 || y == y0 || x == x0 + w - 1 || y == y0 + h - 1;
                const bool glyph = (x - x0) % 9 < 5 && (y - y0) % 14 < 9 && ((x * 31 + y * 17) % 7 < 3);
                put(x, y, border ? 0xFF808080u : glyph ? 0xFF202020u : fill);
            }
        }
    }
    // Soft shadow down the right edge.
    for (std::uint32_t y = 0; y < Side; ++y)
        for (std::uint32_t x = Side - 16; x < Side; ++x) put(x, y, static_cast<std::uint32_t>((Side - x) * 15) << 24);
    return libpngref::Encode(o);
}

// --- Decoding ----------------------------------------------------------------------

struct TDecoded {
    std::uint32_t width = 0, height = 0;
    std::unique_ptr<std::uint32_t[]> pixels;
};

void DecodeOurs(const Bytes& png, TDecoded& out) {
    tbx::TConstByteStream stream(png);
    tbx::TPNGReader reader;
    reader.LoadFromStream(stream);
    out.width = reader.Width();
    out.height = reader.Height();
    // The reader owns its pixels; touching them keeps the work honest.
    const auto pixels = reader.GetPixels();
    volatile std::uint32_t sink = pixels.empty() ? 0 : pixels[pixels.size() / 2];
    (void)sink;
}

bool DecodeLibpng(const Bytes& png, TDecoded& out, std::string* error = nullptr) {
    return libpngref::DecodeBgra(png.data(), png.size(), out.width, out.height, out.pixels, error);
}

bool SamePixels(TSample& sample) {
    tbx::TConstByteStream stream(sample.png);
    tbx::TPNGReader reader;
    try {
        reader.LoadFromStream(stream);
    } catch (const tbx::Exception& e) {
        std::fprintf(stderr, "%s: our reader: %s\n", sample.name.c_str(), e.Message().c_str());
        return false;
    }
    TDecoded theirs;
    std::string error;
    if (!DecodeLibpng(sample.png, theirs, &error)) {
        std::fprintf(stderr, "%s: libpng: %s\n", sample.name.c_str(), error.c_str());
        return false;
    }
    if (reader.Width() != theirs.width || reader.Height() != theirs.height) {
        std::fprintf(stderr, "%s: sizes differ\n", sample.name.c_str());
        return false;
    }
    const auto ours = reader.GetPixels();
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (ours[i] != theirs.pixels[i]) {
            std::fprintf(stderr, "%s: pixel %zu differs: ours %08X, libpng %08X\n", sample.name.c_str(), i, ours[i],
                         theirs.pixels[i]);
            return false;
        }
    }
    sample.width = theirs.width;
    sample.height = theirs.height;
    return true;
}

// Each decode gets a new output array and frees it, as an application
// would; both decoders then meet the allocator in the same way.
template <class Decode> double SecondsPerDecode(const Bytes& png, int repeats, Decode decode) {
    const auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) {
        TDecoded out;
        decode(png, out);
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / repeats;
}

// The machine may be busy with other work: the decoders take turns in
// short batches, and the fastest batch of each counts.
void Measure(TSample& sample, double budgetSeconds) {
    auto ours = [](const Bytes& png, TDecoded& out) { DecodeOurs(png, out); };
    auto libpng = [](const Bytes& png, TDecoded& out) { DecodeLibpng(png, out); };
    const double once = std::max(SecondsPerDecode(sample.png, 1, libpng), 1e-7);
    const int repeats = std::max(1, static_cast<int>(0.002 / once));
    sample.oursSeconds = sample.libpngSeconds = 1e30;
    const auto start = Clock::now();
    for (int round = 0; round < 15 || std::chrono::duration<double>(Clock::now() - start).count() < budgetSeconds;
         ++round) {
        sample.oursSeconds = std::min(sample.oursSeconds, SecondsPerDecode(sample.png, repeats, ours));
        sample.libpngSeconds = std::min(sample.libpngSeconds, SecondsPerDecode(sample.png, repeats, libpng));
    }
}

double OutputMB(const TSample& s) { return 4.0 * s.width * s.height / 1e6; }

void PrintRow(const TSample& s) {
    std::printf("| %s | %ux%u | %zu | %.0f | %.0f | %.2f |\n", s.name.c_str(), s.width, s.height, s.png.size(),
                OutputMB(s) / s.oursSeconds, OutputMB(s) / s.libpngSeconds, s.oursSeconds / s.libpngSeconds);
}

// Totals over a set: the time to decode each image once.
void PrintTotal(const char* label, const std::vector<TSample>& samples, const std::string& set) {
    double ours = 0, libpng = 0, mb = 0, worst = 0;
    std::string worstName;
    for (const TSample& s : samples) {
        if (!set.empty() && s.set != set) continue;
        ours += s.oursSeconds;
        libpng += s.libpngSeconds;
        mb += OutputMB(s);
        if (s.oursSeconds / s.libpngSeconds > worst) {
            worst = s.oursSeconds / s.libpngSeconds;
            worstName = s.name;
        }
    }
    if (mb == 0) return;
    std::printf("| **%s** | | | %.0f | %.0f | **%.2f** (worst single image: %s, %.2f) |\n", label, mb / ours,
                mb / libpng, ours / libpng, worstName.c_str(), worst);
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    std::string suiteDir = VSK_PNGSUITE_DIR;
    bool quick = false;
    std::string saveDir;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pngsuite") == 0 && i + 1 < argc)
            suiteDir = argv[++i];
        else if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strcmp(argv[i], "--save") == 0 && i + 1 < argc)
            saveDir = argv[++i];
        else
            files.push_back(argv[i]);
    }

    std::vector<TSample> samples;
    if (files.empty()) {
        std::fprintf(stderr, "generating %ux%u images...\n", Side, Side);
        samples.push_back({"generated", "RGBA8", Photo(6, 8, false)});
        samples.push_back({"generated", "RGB8", Photo(2, 8, false)});
        samples.push_back({"generated", "gray8", Photo(0, 8, false)});
        samples.push_back({"generated", "palette8", Photo(3, 8, false)});
        samples.push_back({"generated", "RGBA16", Photo(6, 16, false)});
        samples.push_back({"generated", "RGBA8 Adam7", Photo(6, 8, true)});
        samples.push_back({"generated", "flat UI RGBA8", FlatUi()});
        for (const TSample& s : samples) {
            if (saveDir.empty()) break;
            std::string name = s.name;
            std::replace(name.begin(), name.end(), ' ', '-');
            std::ofstream(std::filesystem::path(saveDir) / (name + ".png"), std::ios::binary)
                .write(reinterpret_cast<const char*>(s.png.data()), static_cast<std::streamsize>(s.png.size()));
        }
        std::vector<std::filesystem::path> suite;
        for (const auto& entry : std::filesystem::directory_iterator(suiteDir)) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() == ".png" && name[0] != 'x') suite.push_back(entry.path());
        }
        std::sort(suite.begin(), suite.end());
        for (const auto& path : suite) samples.push_back({"pngsuite", path.filename().string(), ReadFile(path)});
    } else {
        for (const std::string& file : files)
            samples.push_back({"files", std::filesystem::path(file).filename().string(), ReadFile(file)});
    }

    bool same = true;
    for (TSample& s : samples) same = SamePixels(s) && same;
    if (!same) {
        std::fprintf(stderr, "the decoders disagree: no timing\n");
        return 1;
    }

    std::printf("| image | size | PNG bytes | ours MB/s | libpng MB/s | time ratio ours/libpng |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (TSample& s : samples) {
        std::fprintf(stderr, "%s\n", s.name.c_str());
        const bool big = OutputMB(s) > 1.0;
        Measure(s, quick ? 0.2 : big ? 2.0 : 0.3);
        PrintRow(s);
        std::fflush(stdout);
    }
    PrintTotal("generated 2048x2048", samples, "generated");
    PrintTotal("PngSuite", samples, "pngsuite");
    PrintTotal("all images", samples, "");
    return 0;
}
