#pragma once
// 32-bit rotations shared by the cipher classes. The count is a byte and only
// its low five bits matter, so callers may pass any data-dependent amount.
#include <bit>
#include <cstdint>

namespace core {

constexpr std::uint32_t RotateLeft(std::uint32_t Value, std::uint8_t Count) { return std::rotl(Value, Count & 31); }

constexpr std::uint32_t RotateRight(std::uint32_t Value, std::uint8_t Count) { return std::rotr(Value, Count & 31); }

}  // namespace core
