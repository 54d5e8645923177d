#pragma once
// Layout facts of the PNG format shared by the reader and the writer.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tbx::png {

inline constexpr std::array<std::uint8_t, 8> Signature = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// The codec's own numbering of the pixel layouts; IHDR colour types differ.
enum class TPixelKind : std::uint8_t { Palette = 1, Gray = 2, GrayAlpha = 3, Rgb = 4, RgbAlpha = 5 };

// One Adam7 pass: the rows and columns of the full image it covers.
struct TAdam7Pass {
    std::uint32_t startRow, rowStep, startColumn, columnStep;
};

inline constexpr std::array<TAdam7Pass, 7> Adam7Passes = {{
    {0, 8, 0, 8},
    {0, 8, 4, 8},
    {4, 8, 0, 4},
    {0, 4, 2, 4},
    {2, 4, 0, 2},
    {0, 2, 1, 2},
    {1, 2, 0, 1},
}};

// Pixels of a pass row, or 0 when the pass has no column inside the width.
constexpr std::uint64_t PassColumns(const TAdam7Pass& pass, std::uint64_t width) {
    return pass.startColumn < width ? (width - pass.startColumn + pass.columnStep - 1) / pass.columnStep : 0;
}

constexpr std::uint64_t PassRows(const TAdam7Pass& pass, std::uint64_t height) {
    return pass.startRow < height ? (height - pass.startRow + pass.rowStep - 1) / pass.rowStep : 0;
}

// Bytes of a row of n pixels, without its filter type byte.
constexpr std::uint64_t RowBytes(std::uint64_t pixels, unsigned bitsPerPixel) {
    return (pixels * bitsPerPixel + 7) / 8;
}

inline std::uint32_t LoadBigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

inline std::uint16_t LoadBigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

inline void StoreBigEndian32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

}  // namespace tbx::png
