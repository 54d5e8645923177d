#pragma once
// Encodes 32-bit pixels 0xAARRGGBB (not premultiplied, top row first) as a
// PNG data stream in the smallest colour type and bit depth that holds every
// pixel exactly: palette, gray, gray with alpha, RGB or RGB with alpha, 1 to
// 8 bits, never interlaced, all image data in one IDAT chunk.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tbx/ByteStream.h"
#include "tbx/PngFormat.h"

namespace tbx {

class TPNGWriter {
public:
    // Copies width x height pixels; stride is the distance between source
    // rows in pixels. Raises Exception "Invalid dimensions" unless width and
    // height are positive.
    TPNGWriter(int width, int height, std::ptrdiff_t stride, const std::uint32_t* pixels);

    // Writes the whole PNG at the stream's position. Call once: palette
    // images turn the writer's pixels into palette indices.
    void SaveToStream(TByteStream& stream);

private:
    void AnalyzeColors();
    void IndexPixels();
    void PackRow(const std::uint32_t* row, std::uint8_t* output, std::size_t count) const;
    void WritePalette(TByteStream& stream) const;
    void WriteTransparency(TByteStream& stream) const;
    void WriteImageData(TByteStream& stream) const;

    std::vector<std::uint32_t> pixels_;
    int width_;
    int height_;
    unsigned bitDepth_ = 8;
    png::TPixelKind kind_ = png::TPixelKind::RgbAlpha;
    bool gray_ = false;
    std::size_t pixelCount_;
    bool hasAlpha_ = false;
    bool usesPalette_ = false;
    // Gray and RGB: one fully transparent colour written as the tRNS key.
    // Palette: some entry is not opaque.
    bool hasKey_ = false;
    std::uint32_t keyColor_ = 0;
    std::vector<std::uint32_t> palette_;  // in order of first appearance
};

namespace png {

constexpr std::size_t MaxChunkLength = 0x7FFFFFFF;
constexpr const char* ChunkTooLong = "Image data too long for one PNG chunk (more than 2147483647 bytes)";

// Writes one chunk: length, type, data and CRC. Raises EStreamError
// ChunkTooLong, before writing anything, when length exceeds MaxChunkLength.
void WriteChunk(TByteStream& stream, const char (&type)[5], const std::uint8_t* data, std::size_t length);

}  // namespace png

}  // namespace tbx
