#include "core/RC6.h"
#include "core/LittleEndian.h"

#include <algorithm>
#include <vector>

#include "core/Rotate.h"

namespace core {

namespace {

// The RC6 definition's magic constants for 32-bit words: Odd((e - 2) * 2^32)
// and Odd((phi - 1) * 2^32).
constexpr std::uint32_t P32 = 0xB7E15163u;
constexpr std::uint32_t Q32 = 0x9E3779B9u;
constexpr std::uint8_t LgW = 5;  // log2 of the word size

// Rotation counts come from data words; only their low five bits count.
std::uint8_t Amount(std::uint32_t v) { return static_cast<std::uint8_t>(v); }

std::uint32_t Mix(std::uint32_t v) { return RotateLeft(v * (2 * v + 1), LgW); }

}  // namespace

TRC6Table RC6ExpandKey(std::span<const std::uint8_t> Key) {
    // c = max(1, ceil(b / 4)) words, bytes in little-endian order.
    std::vector<std::uint32_t> L(std::max<std::size_t>(1, (Key.size() + 3) / 4), 0);
    for (std::size_t k = 0; k < Key.size(); ++k) L[k / 4] |= std::uint32_t(Key[k]) << (8 * (k % 4));

    TRC6Table S;
    S[0] = P32;
    for (int i = 1; i < RC6TableWords; ++i) S[i] = S[i - 1] + Q32;

    const std::size_t c = L.size();
    const std::size_t steps = 3 * std::max<std::size_t>(c, RC6TableWords);
    std::uint32_t A = 0, B = 0;
    std::size_t i = 0, j = 0;
    for (std::size_t s = 0; s < steps; ++s) {
        A = S[i] = RotateLeft(S[i] + A + B, 3);
        B = L[j] = RotateLeft(L[j] + A + B, Amount(A + B));
        i = (i + 1) % RC6TableWords;
        j = (j + 1) % c;
    }
    return S;
}

void RC6EncryptBlock(const TRC6Table& S, std::uint8_t* Block) {
    std::uint32_t A = LoadLE32(Block), B = LoadLE32(Block + 4), C = LoadLE32(Block + 8), D = LoadLE32(Block + 12);
    B += S[0];
    D += S[1];
    for (int i = 1; i <= RC6Rounds; ++i) {
        const std::uint32_t t = Mix(B);
        const std::uint32_t u = Mix(D);
        A = RotateLeft(A ^ t, Amount(u)) + S[2 * i];
        C = RotateLeft(C ^ u, Amount(t)) + S[2 * i + 1];
        const std::uint32_t a = A;
        A = B;
        B = C;
        C = D;
        D = a;
    }
    A += S[2 * RC6Rounds + 2];
    C += S[2 * RC6Rounds + 3];
    StoreLE32(Block, A);
    StoreLE32(Block + 4, B);
    StoreLE32(Block + 8, C);
    StoreLE32(Block + 12, D);
}

void RC6DecryptBlock(const TRC6Table& S, std::uint8_t* Block) {
    std::uint32_t A = LoadLE32(Block), B = LoadLE32(Block + 4), C = LoadLE32(Block + 8), D = LoadLE32(Block + 12);
    C -= S[2 * RC6Rounds + 3];
    A -= S[2 * RC6Rounds + 2];
    for (int i = RC6Rounds; i >= 1; --i) {
        const std::uint32_t d = D;
        D = C;
        C = B;
        B = A;
        A = d;
        const std::uint32_t u = Mix(D);
        const std::uint32_t t = Mix(B);
        C = RotateRight(C - S[2 * i + 1], Amount(t)) ^ u;
        A = RotateRight(A - S[2 * i], Amount(u)) ^ t;
    }
    D -= S[1];
    B -= S[0];
    StoreLE32(Block, A);
    StoreLE32(Block + 4, B);
    StoreLE32(Block + 8, C);
    StoreLE32(Block + 12, D);
}

TRC6::TRC6() : TCryptography("RC6", 16, 64) {}

void TRC6::KeySchedule() {
    // All 64 bytes of the key buffer are key material (c = 16 words).
    table_ = RC6ExpandKey(keyBuffer_);
}

bool TRC6::EncryptBlock(void* Block) {
    RC6EncryptBlock(table_, static_cast<std::uint8_t*>(Block));
    return true;
}

bool TRC6::DecryptBlock(void* Block) {
    RC6DecryptBlock(table_, static_cast<std::uint8_t*>(Block));
    return true;
}

}  // namespace core
