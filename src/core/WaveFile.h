#pragma once
// The 44-byte header of a PCM wave file and the two sizes that are patched
// into it once the data has been written.
#include <array>
#include <cstdint>

namespace core {

constexpr int kWaveHeaderSize = 44;
constexpr int kRiffSizeOffset = 4;   // whole file size - 8
constexpr int kDataSizeOffset = 40;  // size of the sample data

// The header of a file with no data yet (both sizes 0).
std::array<uint8_t, kWaveHeaderSize> MakeWaveHeader(uint16_t Channels, uint32_t SampleRate, uint16_t BitsPerSample);

struct TWaveSizes {
    uint32_t Riff;
    uint32_t Data;
};
// The two sizes for a file of FileSize bytes that starts with the header;
// sizes beyond what the fields hold are cut to their largest value.
TWaveSizes WaveSizesFor(uint64_t FileSize);

// Little-endian 32-bit value as the header stores it.
std::array<uint8_t, 4> WaveDword(uint32_t v);

}  // namespace core
