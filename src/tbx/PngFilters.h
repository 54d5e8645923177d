#pragma once
// The five row filters of PNG as pure functions over one row of bytes.
// a is the byte one filter unit to the left, b the byte above, c the byte
// above and to the left; a and c are 0 within the first filter unit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace tbx::png {

enum TFilterType : std::uint8_t { FilterNone = 0, FilterSub = 1, FilterUp = 2, FilterAverage = 3, FilterPaeth = 4 };

// Whichever of a, b, c is nearest to a + b - c; ties go to a, then b.
inline std::uint8_t PaethPredictor(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    const int pa = std::abs(int(b) - int(c));          // |p - a|
    const int pb = std::abs(int(a) - int(c));          // |p - b|
    const int pc = std::abs(int(a) + int(b) - 2 * c);  // |p - c|
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Reverses filter type on count bytes of row in place, given the previous
// (already reconstructed) row. Types 5 and above leave the row as stored.
void UnfilterRow(std::uint8_t filterType, std::uint8_t* row, std::size_t count, std::size_t unit,
                 const std::uint8_t* previous);

// Applies filter type 0-4 to count bytes of row into output.
void FilterRow(std::uint8_t filterType, const std::uint8_t* row, std::size_t count, std::size_t unit,
               std::uint8_t* output, const std::uint8_t* previous);

}  // namespace tbx::png
