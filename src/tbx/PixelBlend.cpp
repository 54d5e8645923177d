#include "tbx/PixelBlend.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>

#include "tbx/TbxErrors.h"

namespace tbx {

// Single-precision expressions must be evaluated in single precision (SSE2),
// or the resampling tables differ between builds.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must not use wider intermediates");

namespace {

constexpr const char* GraphicsUnit = "tbx\\TBXGraphics";
constexpr int CarryAssertionLine = 667;

// Rounds to nearest, ties to even, as the tables are specified.
inline int RoundHalfEven(float v) { return static_cast<int>(std::nearbyint(v)); }

// ---------------------------------------------------------------------------
// Blend table

struct TBlendTable {
    std::array<std::uint32_t, 256 * 256> entries;

    TBlendTable() {
        // round(a * o / 255): 2 * a * o is even and 255 * (2k + 1) is odd,
        // so there are no ties.
        for (unsigned opacity = 0; opacity < 256; ++opacity)
            for (unsigned alpha = 0; alpha < 256; ++alpha)
                entries[opacity * 256 + alpha] = ((2 * alpha * opacity + 255) / 510) << 24;
    }
};

const TBlendTable& BlendTable() {
    static const TBlendTable table;
    return table;
}

// ---------------------------------------------------------------------------
// Channels

inline std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

inline std::uint32_t MixColor(std::uint32_t source, std::uint32_t target, std::uint32_t w) {
    // Red and blue in one multiply, green in another.
    const std::uint32_t rb =
        (((source & 0xFF00FFu) * w + (target & 0xFF00FFu) * (256 - w) + 0x7F007Fu) >> 8) & 0xFF00FFu;
    const std::uint32_t g = (((source & 0xFF00u) * w + (target & 0xFF00u) * (256 - w) + 0x7F00u) >> 8) & 0xFF00u;
    return rb | g;
}

}  // namespace

TPixelRect IntersectRect(const TPixelRect& a, const TPixelRect& b) {
    TPixelRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) return {};
    return r;
}

TPixelRect OffsetRect(const TPixelRect& r, int dx, int dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void InitBlendTables() { (void)BlendTable(); }

std::uint32_t BlendTableEntry(unsigned opacity, unsigned alpha) {
    return BlendTable().entries[(opacity & 0xFF) * 256 + (alpha & 0xFF)];
}

void MovePixels(const std::uint32_t* source, std::uint32_t* target, std::size_t count) {
    if (source != target && count != 0) std::memmove(target, source, count * sizeof *target);
}

void BlendPixel(std::uint32_t* target, std::uint32_t pixel) {
    const std::uint32_t a = pixel >> 24;
    if (a == 0) return;
    if (a == 255) {
        *target = pixel;
        return;
    }
    *target = MixColor(pixel, *target, a + (a >> 7));
}

void BlendPixelCached(TBlendCache& cache, std::uint32_t* target, std::uint32_t pixel) {
    if (pixel != cache.Source || *target != cache.Target) {
        cache.Source = pixel;
        cache.Target = *target;
        cache.Result = cache.Target;
        BlendPixel(&cache.Result, pixel);
    }
    *target = cache.Result;
}

void BlendLine(const std::uint32_t* source, std::uint32_t* target, std::size_t count, unsigned opacity) {
    if (opacity == 0 || count == 0) return;
    if (opacity >= 255) {
        if (count == 1) {
            BlendPixel(target, *source);
            return;
        }
        TBlendCache cache;
        for (std::size_t i = 0; i < count; ++i) BlendPixelCached(cache, target + i, source[i]);
        return;
    }
    // The scaled alpha goes into a copy of each pixel: the source stays as it is.
    const std::uint32_t* scaled = BlendTable().entries.data() + opacity * 256;
    if (count == 1) {
        BlendPixel(target, (*source & 0xFFFFFFu) | scaled[*source >> 24]);
        return;
    }
    TBlendCache cache;
    for (std::size_t i = 0; i < count; ++i)
        BlendPixelCached(cache, target + i, (source[i] & 0xFFFFFFu) | scaled[source[i] >> 24]);
}

// ---------------------------------------------------------------------------
// Rectangles

namespace {

// The source rectangle clipped to the source, moved to (x, y) and clipped to
// the target; returns the target area and the offset back to the source.
bool ClipBlocks(const TPixelBlock& target, int x, int y, const TPixelRect& sourceRect, const TPixelBlock& source,
                TPixelRect& area, int& dx, int& dy) {
    if (!target.Bits || !source.Bits) return false;
    dx = x - sourceRect.Left;
    dy = y - sourceRect.Top;
    area = IntersectRect(OffsetRect(IntersectRect(sourceRect, source.Bounds), dx, dy), target.Bounds);
    return !area.IsEmpty();
}

}  // namespace

void CopyBlock(const TPixelBlock& target, int x, int y, unsigned mode, const TPixelRect& sourceRect,
               const TPixelBlock& source) {
    TPixelRect area;
    int dx, dy;
    if (!ClipBlocks(target, x, y, sourceRect, source, area, dx, dy)) return;
    const std::size_t width = static_cast<std::size_t>(area.Width());
    const int rows = area.Height();
    auto sourceRow = [&](int i) { return source.At(area.Left - dx, area.Top + i - dy); };
    auto targetRow = [&](int i) { return target.At(area.Left, area.Top + i); };
    // Overlapping areas of one block: rows go bottom-up when the target
    // lies after the source in memory, so no row is overwritten before it is read.
    const bool backwards = sourceRow(0) < targetRow(0);
    if ((mode & 1) == 0) {
        for (int n = 0; n < rows; ++n) {
            const int i = backwards ? rows - 1 - n : n;
            MovePixels(sourceRow(i), targetRow(i), width);
        }
        return;
    }
    std::unique_ptr<std::uint32_t[]> temporary(new std::uint32_t[width]);
    for (int n = 0; n < rows; ++n) {
        const int i = backwards ? rows - 1 - n : n;
        std::uint32_t* s = sourceRow(i);
        std::uint32_t* t = targetRow(i);
        MovePixels(t, temporary.get(), width);
        MovePixels(s, t, width);
        MovePixels(temporary.get(), s, width);
    }
}

void BlendBlock(const TPixelBlock& target, int x, int y, unsigned opacity, const TPixelRect& sourceRect,
                const TPixelBlock& source) {
    TPixelRect area;
    int dx, dy;
    if (opacity == 0 || !ClipBlocks(target, x, y, sourceRect, source, area, dx, dy)) return;
    for (int row = area.Top; row < area.Bottom; ++row)
        BlendLine(source.At(area.Left - dx, row - dy), target.At(area.Left, row),
                  static_cast<std::size_t>(area.Width()), opacity);
}

// ---------------------------------------------------------------------------
// Resampling

TContributions BuildContributions(int destStart, int destEnd, int clipStart, int clipEnd, int sourceSize) {
    TContributions result;
    const int destSize = destEnd - destStart;
    if (destSize <= 0 || sourceSize <= 0 || clipEnd <= clipStart) return result;
    const float g = float(destSize) / float(sourceSize);
    const float h = 1.0f / g;
    const int last = sourceSize - 1;
    result.First.reserve(static_cast<std::size_t>(clipEnd - clipStart) + 1);
    for (int pixel = clipStart; pixel < clipEnd; ++pixel) {
        const int d = pixel - destStart;
        result.First.push_back(result.Entries.size());
        if (g > 1.0f) {
            const float l = (float(d) + 0.5f) * h - 0.5f;
            const int m = static_cast<int>(std::floor(l));
            if (m < 0) {
                result.Entries.push_back({0, 256});
            } else if (m < last) {
                const int o = RoundHalfEven((l - float(m)) * 256.0f);
                result.Entries.push_back({m, 256 - o});
                result.Entries.push_back({m + 1, o});
            } else {
                result.Entries.push_back({last, 256});
            }
            continue;
        }
        // The destination pixel covers source coordinates s to s + h; the
        // rounding error of each weight is carried into the next one.
        const std::size_t first = result.Entries.size();
        const float s = float(d) * h;
        const int o = static_cast<int>(std::floor(s));
        const int e = static_cast<int>(std::floor(s + h));
        float carry = 0.0f;
        int sum = 0;
        std::size_t countBeforeLast = 0;
        for (int j = o; j <= e; ++j) {
            const float u = j == o ? float(o + 1) - s : j == e ? s + h - float(e) : 1.0f;
            const float v = carry + g * 256.0f * u;
            const int w = RoundHalfEven(v);
            carry = v - float(w);
            if (std::fabs(carry) >= 0.7f) AssertionFailed(GraphicsUnit, CarryAssertionLine);
            if (w == 0) continue;
            const int index = std::clamp(j, 0, last);
            countBeforeLast = result.Entries.size() - first;
            if (result.Entries.size() > first && result.Entries.back().Index == index)
                result.Entries.back().Weight += w;
            else
                result.Entries.push_back({index, w});
            sum += w;
        }
        if (result.Entries.size() == first)
            result.Entries.push_back({std::clamp((o + e) / 2, 0, last), 256});
        else
            result.Entries[first + countBeforeLast / 2].Weight += 256 - sum;
    }
    result.First.push_back(result.Entries.size());
    return result;
}

namespace {

bool Blending(std::uint32_t mode) { return (mode & 0xFF) == ModeBlend; }

// Puts a produced row onto the target: straight when copying; through a
// temporary row and BlendLine when blending.
class TRowOutput {
public:
    TRowOutput(bool blend, std::size_t width) : blend_(blend), width_(width) {
        if (blend_) row_.reset(new std::uint32_t[width]);
    }
    std::uint32_t* Row(std::uint32_t* target) { return blend_ ? row_.get() : target; }
    void Put(std::uint32_t* target) {
        if (blend_) BlendLine(row_.get(), target, width_, 255);
    }

private:
    bool blend_;
    std::size_t width_;
    std::unique_ptr<std::uint32_t[]> row_;
};

}  // namespace

void ShrinkBlend(const TPixelBlock& target, const TPixelRect& destRect, const TPixelBlock& source, std::uint32_t mode,
                 const TPixelRect& sourceRect) {
    if (!target.Bits || !source.Bits) return;
    const TPixelRect work = IntersectRect(destRect, target.Bounds);
    if (work.IsEmpty() || sourceRect.IsEmpty()) return;
    const int sourceWidth = sourceRect.Width();
    const TContributions columns =
        BuildContributions(destRect.Left, destRect.Right, work.Left, work.Right, sourceWidth);
    const TContributions rows =
        BuildContributions(destRect.Top, destRect.Bottom, work.Top, work.Bottom, sourceRect.Height());
    const std::size_t width = static_cast<std::size_t>(work.Width());
    // Per source column, the four channels summed over the row's list.
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(sourceWidth) * 4);
    TRowOutput output(Blending(mode), width);
    for (int y = work.Top; y < work.Bottom; ++y) {
        const std::size_t list = static_cast<std::size_t>(y - work.Top);
        std::fill(sums.begin(), sums.end(), 0u);
        for (std::size_t k = rows.First[list]; k < rows.First[list + 1]; ++k) {
            const std::uint32_t w = static_cast<std::uint32_t>(rows.Entries[k].Weight);
            const std::uint32_t* line = source.At(sourceRect.Left, sourceRect.Top + rows.Entries[k].Index);
            std::uint32_t* sum = sums.data();
            for (int x = 0; x < sourceWidth; ++x, sum += 4) {
                const std::uint32_t p = line[x];
                sum[0] += w * (p & 0xFF);
                sum[1] += w * ((p >> 8) & 0xFF);
                sum[2] += w * ((p >> 16) & 0xFF);
                sum[3] += w * (p >> 24);
            }
        }
        std::uint32_t* out = output.Row(target.At(work.Left, y));
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t b = 0, g = 0, r = 0, a = 0;
            for (std::size_t k = columns.First[x]; k < columns.First[x + 1]; ++k) {
                const std::uint32_t w = static_cast<std::uint32_t>(columns.Entries[k].Weight);
                const std::uint32_t* sum = sums.data() + 4 * static_cast<std::size_t>(columns.Entries[k].Index);
                b += w * sum[0];
                g += w * sum[1];
                r += w * sum[2];
                a += w * sum[3];
            }
            out[x] = (((a + 0x7F00) >> 16) & 0xFF) << 24 | (((r + 0x7F00) >> 16) & 0xFF) << 16 |
                     (((g + 0x7F00) >> 16) & 0xFF) << 8 | (((b + 0x7F00) >> 16) & 0xFF);
        }
        output.Put(target.At(work.Left, y));
    }
}

namespace {

struct TSample {
    int Index;   // absolute source index
    int Weight;  // of the pixel at Index; Index + 1 gets 256 - Weight
};

// The source index and weight of every work-area pixel of one enlarged axis.
std::vector<TSample> EnlargeTable(int destStart, int clipStart, int clipEnd, float scale, int sourceStart,
                                  int sourceEnd, bool bilinear) {
    std::vector<TSample> table;
    table.reserve(static_cast<std::size_t>(clipEnd - clipStart));
    for (int pixel = clipStart; pixel < clipEnd; ++pixel) {
        const int d = pixel - destStart;
        if (scale == 1.0f) {
            table.push_back({sourceStart + d, 256});
            continue;
        }
        const float l = (float(d) + 0.5f) / scale + (float(sourceStart) - 0.5f);
        const float lower = std::floor(l);
        const int m = static_cast<int>(bilinear ? lower : std::nearbyint(l));
        if (m < sourceStart)
            table.push_back({sourceStart, 256});
        else if (m < sourceEnd - 1)
            table.push_back({m, bilinear ? 256 - RoundHalfEven((l - lower) * 256.0f) : 256});
        else
            table.push_back({sourceEnd - 1, 256});
    }
    return table;
}

// Mixes two pixels channel by channel: (w * a + (256 - w) * b + 127) >> 8.
inline std::uint32_t MixPixels(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    const std::uint32_t rb = (((a & 0xFF00FFu) * w + (b & 0xFF00FFu) * (256 - w) + 0x7F007Fu) >> 8) & 0xFF00FFu;
    const std::uint32_t ag =
        ((((a >> 8) & 0xFF00FFu) * w + ((b >> 8) & 0xFF00FFu) * (256 - w) + 0x7F007Fu) >> 8) & 0xFF00FFu;
    return rb | ag << 8;
}

// One source column blended vertically: wy * upper + (256 - wy) * lower per
// channel (B, G, R, A), each below 2^16.
struct TColumnValue {
    std::uint32_t c[4];
};

inline TColumnValue VerticalMix(std::uint32_t upper, std::uint32_t lower, std::uint32_t wy) {
    TColumnValue v;
    for (int i = 0; i < 4; ++i) v.c[i] = wy * Channel(upper, 8 * i) + (256 - wy) * Channel(lower, 8 * i);
    return v;
}

}  // namespace

void StretchBlend(const TPixelBlock& target, const TPixelRect& destRect, const TPixelBlock& source, std::uint32_t mode,
                  const TPixelRect& sourceRect) {
    if (!target.Bits || !source.Bits) return;
    if (sourceRect.IsEmpty() || IntersectRect(sourceRect, source.Bounds) != sourceRect) return;
    if (destRect.Width() <= 0 || destRect.Height() <= 0) return;
    const float sx = float(destRect.Width()) / float(sourceRect.Width());
    const float sy = float(destRect.Height()) / float(sourceRect.Height());
    if (destRect.Width() == sourceRect.Width() && destRect.Height() == sourceRect.Height()) {
        if (Blending(mode))
            BlendBlock(target, destRect.Left, destRect.Top, 255, sourceRect, source);
        else
            CopyBlock(target, destRect.Left, destRect.Top, 0, sourceRect, source);
        return;
    }
    if (sx < 1.0f || sy < 1.0f) {
        ShrinkBlend(target, destRect, source, mode, sourceRect);
        return;
    }

    const TPixelRect work = IntersectRect(destRect, target.Bounds);
    if (work.IsEmpty()) return;
    const bool bilinear = (mode & ModeBilinear) != 0;
    const std::vector<TSample> columns =
        EnlargeTable(destRect.Left, work.Left, work.Right, sx, sourceRect.Left, sourceRect.Right, bilinear);
    const std::vector<TSample> rows =
        EnlargeTable(destRect.Top, work.Top, work.Bottom, sy, sourceRect.Top, sourceRect.Bottom, bilinear);
    const std::size_t width = columns.size();
    TRowOutput output(Blending(mode), width);
    for (int y = work.Top; y < work.Bottom; ++y) {
        const TSample row = rows[static_cast<std::size_t>(y - work.Top)];
        const std::uint32_t* upper = source.At(0, row.Index);
        std::uint32_t* out = output.Row(target.At(work.Left, y));
        if (row.Weight == 256) {
            for (std::size_t x = 0; x < width; ++x) {
                const TSample column = columns[x];
                out[x] = column.Weight == 256 ? upper[column.Index]
                                              : MixPixels(upper[column.Index], upper[column.Index + 1],
                                                          static_cast<std::uint32_t>(column.Weight));
            }
        } else {
            const std::uint32_t* lower = upper + source.Stride;
            const std::uint32_t wy = static_cast<std::uint32_t>(row.Weight);
            // The vertically mixed values of the last two columns used.
            int cachedIndex = -1;
            TColumnValue cached[2];
            auto valueAt = [&](int index, int slot) -> const TColumnValue& {
                cached[slot] = VerticalMix(upper[index], lower[index], wy);
                return cached[slot];
            };
            for (std::size_t x = 0; x < width; ++x) {
                const TSample column = columns[x];
                if (column.Index != cachedIndex) {
                    if (column.Index == cachedIndex + 1 && cachedIndex >= 0)
                        cached[0] = cached[1];
                    else
                        valueAt(column.Index, 0);
                    if (column.Index + 1 < sourceRect.Right) valueAt(column.Index + 1, 1);
                    cachedIndex = column.Index;
                }
                std::uint32_t pixel = 0;
                if (column.Weight == 256) {
                    for (int i = 0; i < 4; ++i) pixel |= ((cached[0].c[i] + 127) >> 8) << (8 * i);
                } else {
                    const std::uint32_t wx = static_cast<std::uint32_t>(column.Weight);
                    for (int i = 0; i < 4; ++i)
                        pixel |= (((wx * cached[0].c[i] + (256 - wx) * cached[1].c[i] + 0x7F00) >> 16) & 0xFF)
                                 << (8 * i);
                }
                out[x] = pixel;
            }
        }
        output.Put(target.At(work.Left, y));
    }
}

}  // namespace tbx
