#pragma once
// Building, taking apart and decoding PNG data in tests.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tbxtest {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::filesystem::path& path);

// The PngSuite images beside the repository, sorted by name; corrupt ones
// have names starting with "x".
std::filesystem::path PngSuiteDir();
std::vector<std::filesystem::path> PngSuiteFiles(bool corrupt);

// One serialised chunk: length, type, data and CRC (the right one unless crc
// is given).
Bytes Chunk(std::string_view type, const Bytes& data, std::optional<std::uint32_t> crc = {});
Bytes Ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colorType,
           std::uint8_t interlace = 0, std::uint8_t compression = 0);
Bytes Iend();
// The signature followed by the given chunks.
Bytes Png(const std::vector<Bytes>& chunks);
// zlib stream of raw at level 6.
Bytes Zlib(const Bytes& raw);
Bytes Inflate(const Bytes& zlibData);
// Rows of packed samples, each behind filter type byte filterType.
Bytes FilteredRows(const std::vector<Bytes>& rows, std::uint8_t filterType = 0);

struct TChunkInfo {
    std::string type;
    Bytes data;
};
// The chunks after the signature; fails the test on a broken layout or CRC.
std::vector<TChunkInfo> ParseChunks(const Bytes& png);
const TChunkInfo* FindChunk(const std::vector<TChunkInfo>& chunks, std::string_view type);

struct TImage {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};
// Our reader; raises what it raises.
TImage Decode(const Bytes& png);
// The Message() of the tbx exception that decoding raises, or "(no error)".
std::string DecodeError(const Bytes& png);
// Our writer.
Bytes Encode(const TImage& image);

}  // namespace tbxtest
