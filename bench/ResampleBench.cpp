// Resampling speed of StretchBlend and ShrinkBlend against stb_image_resize
// with the same filter family: a box filter to shrink, a triangle (bilinear)
// filter to enlarge, four independent 8-bit channels, edges clamped, no
// colour-space conversion and no alpha weighting, as ours does.
//
//   vsk_resample_bench [--quick]
//
// The two take turns in short batches and the fastest batch of each counts.
// Prints a Markdown table with milliseconds per call and the ratio of our
// time to stb's (below 1: ours is faster), and the largest difference of
// any channel between the two results as a sanity check.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb/stb_image_resize.h>

#include "tbx/PixelBlend.h"

namespace {

using Clock = std::chrono::steady_clock;
using Pixels = std::vector<std::uint32_t>;

// A smooth field with some noise and a varying alpha, like a photo with a soft mask.
Pixels MakeImage(int width, int height) {
    Pixels pixels(std::size_t(width) * height);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t noise = random() & 15;
            const std::uint32_t r = (x * 255 / width + noise) & 0xFF, g = (y * 255 / height + noise) & 0xFF,
                                b = ((x + y) * 127 / (width + height) + noise) & 0xFF, a = 128 + ((x ^ y) & 127);
            pixels[std::size_t(y) * width + x] = a << 24 | r << 16 | g << 8 | b;
        }
    return pixels;
}

double Seconds(const std::function<void()>& f, int repeats) {
    const auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) f();
    return std::chrono::duration<double>(Clock::now() - start).count() / repeats;
}

int MaxDifference(const Pixels& a, const Pixels& b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            worst = std::max(worst, std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)));
    return worst;
}

struct TCase {
    const char* what;
    const char* ours;
    int width, height;
    std::uint32_t mode;
    stbir_filter filter;
    bool shrinkDirect;
};

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    const double budget = quick ? 0.3 : 2.0;  // seconds per case
    const int sourceSize = 1024;
    const Pixels source = MakeImage(sourceSize, sourceSize);
    const tbx::TPixelBlock sourceBlock{
        const_cast<std::uint32_t*>(source.data()), {0, 0, sourceSize, sourceSize}, sourceSize};
    const TCase cases[] = {
        {"1024x1024 to 512x512", "StretchBlend", 512, 512, 0, STBIR_FILTER_BOX, false},
        {"1024x1024 to 512x512", "ShrinkBlend", 512, 512, 0, STBIR_FILTER_BOX, true},
        {"1024x1024 to 2048x2048", "StretchBlend, bilinear", 2048, 2048, tbx::ModeBilinear, STBIR_FILTER_TRIANGLE,
         false},
    };

    std::printf("| Resize | Ours | stb filter | ours ms | stb ms | ours / stb | largest channel difference |\n");
    std::printf("|---|---|---|---:|---:|---:|---:|\n");
    for (const TCase& c : cases) {
        Pixels ours(std::size_t(c.width) * c.height), theirs(ours.size());
        const tbx::TPixelBlock target{ours.data(), {0, 0, c.width, c.height}, c.width};
        const tbx::TPixelRect dest{0, 0, c.width, c.height}, whole{0, 0, sourceSize, sourceSize};
        auto runOurs = [&] {
            if (c.shrinkDirect)
                tbx::ShrinkBlend(target, dest, sourceBlock, c.mode, whole);
            else
                tbx::StretchBlend(target, dest, sourceBlock, c.mode, whole);
        };
        auto runStb = [&] {
            if (!stbir_resize_uint8_generic(reinterpret_cast<const unsigned char*>(source.data()), sourceSize,
                                            sourceSize, sourceSize * 4, reinterpret_cast<unsigned char*>(theirs.data()),
                                            c.width, c.height, c.width * 4, 4, STBIR_ALPHA_CHANNEL_NONE, 0,
                                            STBIR_EDGE_CLAMP, c.filter, STBIR_COLORSPACE_LINEAR, nullptr)) {
                std::fprintf(stderr, "stb_image_resize failed\n");
                std::exit(1);
            }
        };
        runOurs();
        runStb();
        const int difference = MaxDifference(ours, theirs);
        // Batches of about 50 ms, alternating, until the budget is spent.
        const int batch = std::max(1, int(0.05 / std::max(Seconds(runOurs, 1), 1e-6)));
        const int stbBatch = std::max(1, int(0.05 / std::max(Seconds(runStb, 1), 1e-6)));
        double bestOurs = 1e9, bestStb = 1e9;
        const auto end = Clock::now() + std::chrono::duration<double>(budget);
        do {
            bestOurs = std::min(bestOurs, Seconds(runOurs, batch));
            bestStb = std::min(bestStb, Seconds(runStb, stbBatch));
        } while (Clock::now() < end);
        std::printf("| %s | %s | %s | %.2f | %.2f | %.2f | %d |\n", c.what, c.ours,
                    c.filter == STBIR_FILTER_BOX ? "box" : "triangle", bestOurs * 1e3, bestStb * 1e3,
                    bestOurs / bestStb, difference);
    }
    return 0;
}
