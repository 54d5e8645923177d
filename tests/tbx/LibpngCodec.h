#pragma once
// libpng as the reference codec of tests and benchmarks: it decodes into the
// same BGRA layout as our reader (16-bit samples cut to their high byte, no
// gamma), and encodes images of any colour type, depth and interlacing.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace libpngref {

struct TImage {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB
};

// False, with libpng's message in error, when libpng refuses the data.
bool DecodeBgra(const std::uint8_t* data, std::size_t size, TImage& image, std::string* error = nullptr);

// The same into a newly allocated, uninitialised pixel array, as our reader
// does, so that benchmarks compare like with like.
bool DecodeBgra(const std::uint8_t* data, std::size_t size, std::uint32_t& width, std::uint32_t& height,
                std::unique_ptr<std::uint32_t[]>& pixels, std::string* error = nullptr);

struct TEncodeOptions {
    std::uint32_t width = 0, height = 0;
    int colorType = 6;  // PNG colour type
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> rows;     // height rows of packed big-endian samples
    std::vector<std::uint8_t> palette;  // RGB triples for colour type 3
    std::vector<std::uint8_t> tRNS;     // raw tRNS chunk data, if any
    int compressionLevel = 6;
};

std::vector<std::uint8_t> Encode(const TEncodeOptions& options);

}  // namespace libpngref
