#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include <zlib.h>

#include "tbx/Crc32.h"

using tbx::UpdateCrc32;

namespace {

constexpr char Check[] = "123456789";
constexpr std::uint32_t CheckValue = 0xCBF43926u;

TEST(Crc32, GivesTheStandardCheckValue) { EXPECT_EQ(UpdateCrc32(0, Check, 9), CheckValue); }

TEST(Crc32, GivesTheSameValueForEverySplitOfTheMessage) {
    for (std::size_t first = 0; first <= 9; ++first) {
        for (std::size_t second = first; second <= 9; ++second) {
            std::uint32_t crc = UpdateCrc32(0, Check, first);
            crc = UpdateCrc32(crc, Check + first, second - first);
            crc = UpdateCrc32(crc, Check + second, 9 - second);
            EXPECT_EQ(crc, CheckValue) << "pieces end at " << first << " and " << second;
        }
    }
}

TEST(Crc32, ZeroLengthReturnsTheRunningValueWithoutReadingTheBuffer) {
    EXPECT_EQ(UpdateCrc32(0x12345678u, nullptr, 0), 0x12345678u);
    EXPECT_EQ(UpdateCrc32(0, nullptr, 0), 0u);
}

TEST(Crc32, OfAnEmptyIendChunkIsItsWellKnownValue) { EXPECT_EQ(UpdateCrc32(0, "IEND", 4), 0xAE426082u); }

// The eight-byte loop and the byte tail must agree with the plain
// definition for every length and alignment.
TEST(Crc32, AgreesWithZlibForEveryLengthAndAlignment) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(300);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    for (std::size_t offset = 0; offset < 8; ++offset) {
        for (std::size_t length = 0; length + offset <= data.size(); ++length) {
            const auto expected = static_cast<std::uint32_t>(crc32(0, data.data() + offset, static_cast<uInt>(length)));
            ASSERT_EQ(UpdateCrc32(0, data.data() + offset, length), expected)
                << "offset " << offset << ", length " << length;
        }
    }
}

}  // namespace
