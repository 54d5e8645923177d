#pragma once
// CRC-32 of ISO 3309 / ITU-T V.42 (reflected polynomial 0xEDB88320), the
// check value every PNG chunk carries.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tbx {

using TCrcTable = std::array<std::uint32_t, 256>;

// Entry n is n shifted right eight times, XOR-ed with the polynomial after
// each shift that drops a 1 bit.
constexpr TCrcTable BuildCrcTable() {
    TCrcTable table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

inline constexpr TCrcTable CrcTable = BuildCrcTable();

// Continues a running CRC (0 to start) over length bytes. Feeding a message
// in any number of consecutive pieces gives the value of one call over all of
// it; a length of 0 returns crc unchanged without touching buffer.
std::uint32_t UpdateCrc32(std::uint32_t crc, const void* buffer, std::size_t length);

}  // namespace tbx
