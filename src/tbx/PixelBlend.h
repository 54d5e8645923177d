#pragma once
// Pixel operations behind TDIB32: per-pixel alpha blending with an extra
// constant opacity, rectangle copy, exchange and blend, and resampling
// (nearest or bilinear enlarging, box-filter shrinking). Pixels are
// 0xAARRGGBB, not premultiplied. Free of Win32, so the host tree tests them.
//
// Resampling computes its tables in single precision; the tree builds this
// code with SSE2 float arithmetic and no contraction, so both builds give the
// same pixels.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tbx {

struct TPixelRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TPixelRect&) const = default;
};

TPixelRect IntersectRect(const TPixelRect& a, const TPixelRect& b);
TPixelRect OffsetRect(const TPixelRect& r, int dx, int dy);

// Pixels in memory: Bits is the pixel at (0, 0), rows are Stride pixels
// apart, and only the pixels inside Bounds may be touched.
struct TPixelBlock {
    std::uint32_t* Bits = nullptr;  // not owned
    TPixelRect Bounds;
    std::ptrdiff_t Stride = 0;

    std::uint32_t* At(int x, int y) const { return Bits + std::ptrdiff_t(y) * Stride + x; }
};

// Mode bits of StretchBlend, TDIB32::StretchTo and TDIB32::DrawTo.
constexpr std::uint32_t ModeBlend = 0x01;      // low byte 1: blend onto the target
constexpr std::uint32_t ModeBilinear = 0x100;  // bilinear when enlarging

// Builds the 256 x 256 table of scaled alphas (also done when the program
// starts); entry [opacity][alpha] is round(alpha * opacity / 255) << 24.
void InitBlendTables();
std::uint32_t BlendTableEntry(unsigned opacity, unsigned alpha);

// Copies count pixels; the ranges may overlap.
void MovePixels(const std::uint32_t* source, std::uint32_t* target, std::size_t count);

// Blends pixel onto *target by the pixel's alpha: alpha 0 keeps the target,
// 255 replaces it (alpha included); otherwise the colour is mixed with the
// weight alpha + (alpha >> 7) of 256 and the result's alpha byte is 0.
void BlendPixel(std::uint32_t* target, std::uint32_t pixel);

// The last source and target pixel and their result, for runs of equal pixels.
struct TBlendCache {
    std::uint32_t Source = 0, Target = 0, Result = 0;
};
void BlendPixelCached(TBlendCache& cache, std::uint32_t* target, std::uint32_t pixel);

// Blends count source pixels onto the target with their alpha scaled by
// opacity. The source is only read.
void BlendLine(const std::uint32_t* source, std::uint32_t* target, std::size_t count, unsigned opacity);

// Copies (mode bit 0 clear) or exchanges (set) the source rectangle, clipped
// to both blocks, to (x, y) of the target. The blocks may be one and the same.
void CopyBlock(const TPixelBlock& target, int x, int y, unsigned mode, const TPixelRect& sourceRect,
               const TPixelBlock& source);
// BlendLine of every row of the clipped rectangle with the opacity.
void BlendBlock(const TPixelBlock& target, int x, int y, unsigned opacity, const TPixelRect& sourceRect,
                const TPixelBlock& source);

// Per destination pixel of one axis, the source pixels that make it up with
// their weights in 1/256; every list sums to 256.
struct TContribution {
    int Index;   // from the start of the source rectangle
    int Weight;  // of 256
};
struct TContributions {
    std::vector<std::size_t> First;  // list i is Entries[First[i] .. First[i + 1])
    std::vector<TContribution> Entries;

    std::size_t Count() const { return First.empty() ? 0 : First.size() - 1; }
};
// destStart/destEnd: the whole destination range; clipStart/clipEnd: the part
// that is produced. Empty when the destination or the source size is 0.
TContributions BuildContributions(int destStart, int destEnd, int clipStart, int clipEnd, int sourceSize);

// Box-filter resampling of the source rectangle into the destination
// rectangle (clipped to the target); blends when the mode's low byte is 1.
void ShrinkBlend(const TPixelBlock& target, const TPixelRect& destRect, const TPixelBlock& source, std::uint32_t mode,
                 const TPixelRect& sourceRect);
// Copies, blends or resamples the source rectangle into the destination
// rectangle: equal sizes copy (or blend), a smaller size on either axis
// shrinks, otherwise each axis is enlarged by nearest pixel or bilinearly.
void StretchBlend(const TPixelBlock& target, const TPixelRect& destRect, const TPixelBlock& source, std::uint32_t mode,
                  const TPixelRect& sourceRect);

}  // namespace tbx
