#pragma once
// Decodes a PNG data stream into 32-bit pixels 0xAARRGGBB (bytes B, G, R, A
// in memory), not premultiplied, top row first. Reads every colour type and
// bit depth, plain or Adam7-interlaced; gamma and background do not change
// the pixels. Malformed data raises EStreamError (or EZlibError) and leaves
// the reader empty.
#include <cstdint>
#include <memory>
#include <span>

#include "tbx/ByteStream.h"

namespace tbx {

class TPNGReader {
public:
    // Larger images are refused as "Invalid format".
    static constexpr std::uint64_t MaxPixels = std::uint64_t(1) << 28;

    // Decodes one PNG data stream from the stream's position. A header with
    // a width or height of 0 gives an empty image (0 x 0) without error.
    void LoadFromStream(TByteStream& stream);

    // Width x Height pixels row after row; empty for an empty image.
    std::span<const std::uint32_t> GetPixels() const;
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }

private:
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::unique_ptr<std::uint32_t[]> pixels_;
};

}  // namespace tbx
