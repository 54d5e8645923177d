#include "tbx/Crc32.h"

#include <bit>
#include <cstring>

namespace tbx {

namespace {

// Long buffers are taken as five interleaved braids of eight-byte words, so
// that five independent CRCs advance side by side instead of one chain of
// dependent table look-ups. Braid table k gives the register after byte k of
// a word, the rest of that word and the other braids' words of the same
// block have gone by as zeros; the braids are folded into one at the end.
constexpr std::size_t BraidCount = 5;
constexpr std::size_t WordBytes = 8;
constexpr std::size_t BlockBytes = BraidCount * WordBytes;

using TBraidTables = std::array<TCrcTable, WordBytes>;

constexpr std::uint32_t ShiftZeroBytes(std::uint32_t crc, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) crc = CrcTable[crc & 0xFF] ^ (crc >> 8);
    return crc;
}

constexpr TBraidTables BuildBraidTables() {
    TBraidTables tables{};
    for (std::size_t k = 0; k < WordBytes; ++k)
        for (std::uint32_t v = 0; v < 256; ++v)
            tables[k][v] = ShiftZeroBytes(CrcTable[v], WordBytes - 1 - k + (BraidCount - 1) * WordBytes);
    return tables;
}

constexpr TBraidTables BraidTables = BuildBraidTables();

// The reflected CRC takes the first byte in memory as the lowest.
static_assert(std::endian::native == std::endian::little, "words are loaded in memory order");

inline std::uint64_t LoadWord(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline std::uint32_t BraidStep(std::uint64_t w) {
    const TBraidTables& t = BraidTables;
    return t[0][w & 0xFF] ^ t[1][(w >> 8) & 0xFF] ^ t[2][(w >> 16) & 0xFF] ^ t[3][(w >> 24) & 0xFF] ^
           t[4][(w >> 32) & 0xFF] ^ t[5][(w >> 40) & 0xFF] ^ t[6][(w >> 48) & 0xFF] ^ t[7][w >> 56];
}

// The register after one whole word, from a register of zero.
inline std::uint32_t WordCrc(std::uint64_t word) {
    for (std::size_t k = 0; k < WordBytes; ++k) word = (word >> 8) ^ CrcTable[word & 0xFF];
    return static_cast<std::uint32_t>(word);
}

}  // namespace

std::uint32_t UpdateCrc32(std::uint32_t crc, const void* buffer, std::size_t length) {
    if (length == 0) return crc;
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    crc = ~crc;

    std::size_t blocks = length / BlockBytes;
    if (blocks >= 2) {
        length -= blocks * BlockBytes;
        std::uint32_t b0 = crc, b1 = 0, b2 = 0, b3 = 0, b4 = 0;
        while (--blocks != 0) {
            const std::uint64_t w0 = b0 ^ LoadWord(p), w1 = b1 ^ LoadWord(p + 8), w2 = b2 ^ LoadWord(p + 16),
                                w3 = b3 ^ LoadWord(p + 24), w4 = b4 ^ LoadWord(p + 32);
            b0 = BraidStep(w0);
            b1 = BraidStep(w1);
            b2 = BraidStep(w2);
            b3 = BraidStep(w3);
            b4 = BraidStep(w4);
            p += BlockBytes;
        }
        // The last block goes word by word, folding the braids in.
        crc = WordCrc(b0 ^ LoadWord(p));
        crc = WordCrc(b1 ^ LoadWord(p + 8) ^ crc);
        crc = WordCrc(b2 ^ LoadWord(p + 16) ^ crc);
        crc = WordCrc(b3 ^ LoadWord(p + 24) ^ crc);
        crc = WordCrc(b4 ^ LoadWord(p + 32) ^ crc);
        p += BlockBytes;
    }

    while (length >= WordBytes) {
        crc = WordCrc(crc ^ LoadWord(p));
        p += WordBytes;
        length -= WordBytes;
    }
    while (length-- != 0) crc = CrcTable[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace tbx
