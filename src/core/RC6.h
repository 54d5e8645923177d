#pragma once
// RC6-32/20: 32-bit words, 20 rounds, a 44-word key table, 16-byte blocks.
// The cipher keys itself from the 64-byte key buffer of TCryptography.
#include <array>
#include <cstdint>
#include <span>

#include "core/Cryptography.h"

namespace core {

inline constexpr int RC6Rounds = 20;
inline constexpr int RC6TableWords = 2 * RC6Rounds + 4;
using TRC6Table = std::array<std::uint32_t, RC6TableWords>;

// The standard RC6 key schedule over a key of any length (loaded as
// little-endian words, the last one zero-filled).
TRC6Table RC6ExpandKey(std::span<const std::uint8_t> Key);

// One 16-byte block in place, with an expanded key table.
void RC6EncryptBlock(const TRC6Table& S, std::uint8_t* Block);
void RC6DecryptBlock(const TRC6Table& S, std::uint8_t* Block);

class TRC6 : public TCryptography {
public:
    TRC6();

    void KeySchedule() override;
    bool EncryptBlock(void* Block) override;
    bool DecryptBlock(void* Block) override;

protected:
    TRC6Table table_{};  // the expanded key
};

}  // namespace core
