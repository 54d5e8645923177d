#include "core/WaveFile.h"

#include <cstring>

namespace core {

std::array<uint8_t, 4> WaveDword(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

std::array<uint8_t, kWaveHeaderSize> MakeWaveHeader(uint16_t Channels, uint32_t SampleRate, uint16_t BitsPerSample) {
    std::array<uint8_t, kWaveHeaderSize> h{};
    auto put = [&](int at, const void* p, size_t n) { std::memcpy(h.data() + at, p, n); };
    auto put32 = [&](int at, uint32_t v) { put(at, WaveDword(v).data(), 4); };
    auto put16 = [&](int at, uint16_t v) {
        h[at] = static_cast<uint8_t>(v);
        h[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    const uint16_t blockAlign = static_cast<uint16_t>(Channels * (BitsPerSample / 8));
    put(0, "RIFF", 4);
    put32(kRiffSizeOffset, kWaveHeaderSize - 8);
    put(8, "WAVE", 4);
    put(12, "fmt ", 4);
    put32(16, 16);  // a PCM format chunk carries no extra size field
    put16(20, 1);   // PCM
    put16(22, Channels);
    put32(24, SampleRate);
    put32(28, SampleRate * blockAlign);
    put16(32, blockAlign);
    put16(34, BitsPerSample);
    put(36, "data", 4);
    put32(kDataSizeOffset, 0);
    return h;
}

TWaveSizes WaveSizesFor(uint64_t FileSize) {
    constexpr uint64_t kMax = 0xFFFFFFFFu;
    if (FileSize < kWaveHeaderSize) return {kWaveHeaderSize - 8, 0};
    uint64_t riff = FileSize - 8, data = FileSize - kWaveHeaderSize;
    return {static_cast<uint32_t>(riff > kMax ? kMax : riff), static_cast<uint32_t>(data > kMax ? kMax : data)};
}

}  // namespace core
