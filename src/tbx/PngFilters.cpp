#include "tbx/PngFilters.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace tbx::png {

namespace {

// The reconstruction loops are written for a filter unit known at compile
// time and spelled out lane by lane (ForEachLane), so that the left
// neighbours of a pixel stay in registers and the Unit byte lanes form
// independent chains the processor runs side by side.

template <std::size_t Unit, class Lane>
inline void ForEachLane(Lane lane)
{
    [&]<std::size_t... K>(std::index_sequence<K...>) { (lane(K), ...); }(std::make_index_sequence<Unit>{});
}

template <std::size_t Unit>
void UnfilterSub(std::uint8_t* __restrict row, std::size_t count)
{
    if (count < Unit)
        return;
    std::uint8_t a[Unit];
    ForEachLane<Unit>([&](std::size_t k) { a[k] = row[k]; });
    std::size_t i = Unit;
    for (; i + Unit <= count; i += Unit) {
        ForEachLane<Unit>([&](std::size_t k) {
            a[k] = static_cast<std::uint8_t>(row[i + k] + a[k]);
            row[i + k] = a[k];
        });
    }
    for (; i < count; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - Unit]);
}

void UnfilterUp(std::uint8_t* __restrict row, std::size_t count, const std::uint8_t* __restrict prev)
{
    for (std::size_t i = 0; i < count; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
}

// Wide units (6 and 8 bytes) are done in two passes over the row, half of
// the lanes each, so that no pass needs more registers than there are.
template <std::size_t Unit, class LanePass>
inline void InLaneGroups(LanePass pass)
{
    if constexpr (Unit <= 4) {
        pass(std::integral_constant<std::size_t, 0>{}, std::integral_constant<std::size_t, Unit>{});
    } else {
        pass(std::integral_constant<std::size_t, 0>{}, std::integral_constant<std::size_t, Unit / 2>{});
        pass(std::integral_constant<std::size_t, Unit / 2>{}, std::integral_constant<std::size_t, Unit - Unit / 2>{});
    }
}

template <std::size_t Unit>
void UnfilterAverage(std::uint8_t* __restrict row, std::size_t count,
                     const std::uint8_t* __restrict prev)
{
    // Within the first unit a = 0.
    const std::size_t head = count < Unit ? count : Unit;
    for (std::size_t i = 0; i < head; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + (prev[i] >> 1));
    if (count <= Unit)
        return;
    InLaneGroups<Unit>([&](auto first, auto lanes) {
        std::uint8_t a[lanes];
        ForEachLane<lanes>([&](std::size_t k) { a[k] = row[first + k]; });
        for (std::size_t i = Unit + first; i + Unit - first <= count; i += Unit) {
            ForEachLane<lanes>([&](std::size_t k) {
                a[k] = static_cast<std::uint8_t>(row[i + k] + ((a[k] + prev[i + k]) >> 1));
                row[i + k] = a[k];
            });
        }
    });
    for (std::size_t i = count / Unit * Unit; i < count; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - Unit] + prev[i]) >> 1));
}

template <std::size_t Unit>
void UnfilterPaeth(std::uint8_t* __restrict row, std::size_t count,
                   const std::uint8_t* __restrict prev)
{
    // Within the first unit a = c = 0, so the predictor is b.
    const std::size_t head = count < Unit ? count : Unit;
    for (std::size_t i = 0; i < head; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
    if (count <= Unit)
        return;
    InLaneGroups<Unit>([&](auto first, auto lanes) {
        std::uint8_t a[lanes], c[lanes];
        ForEachLane<lanes>([&](std::size_t k) {
            a[k] = row[first + k];
            c[k] = prev[first + k];
        });
        for (std::size_t i = Unit + first; i + Unit - first <= count; i += Unit) {
            ForEachLane<lanes>([&](std::size_t k) {
                const std::uint8_t b = prev[i + k];
                a[k] = static_cast<std::uint8_t>(row[i + k] + PaethPredictor(a[k], b, c[k]));
                c[k] = b;
                row[i + k] = a[k];
            });
        }
    });
    for (std::size_t i = count / Unit * Unit; i < count; ++i)
        row[i] = static_cast<std::uint8_t>(
            row[i] + PaethPredictor(row[i - Unit], prev[i], prev[i - Unit]));
}

template <std::size_t Unit>
void Unfilter(std::uint8_t filterType, std::uint8_t* row, std::size_t count, const std::uint8_t* prev)
{
    switch (filterType) {
    case FilterSub: UnfilterSub<Unit>(row, count); break;
    case FilterUp: UnfilterUp(row, count, prev); break;
    case FilterAverage: UnfilterAverage<Unit>(row, count, prev); break;
    case FilterPaeth: UnfilterPaeth<Unit>(row, count, prev); break;
    default: break; // None, and unknown types, leave the row as stored
    }
}

// Any filter unit, for the writer and for units the reader never meets.
void UnfilterGeneric(std::uint8_t filterType, std::uint8_t* row, std::size_t count, std::size_t unit,
                     const std::uint8_t* prev)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t a = i >= unit ? row[i - unit] : 0;
        const std::uint8_t b = prev[i];
        const std::uint8_t c = i >= unit ? prev[i - unit] : 0;
        std::uint8_t predictor;
        switch (filterType) {
        case FilterSub: predictor = a; break;
        case FilterUp: predictor = b; break;
        case FilterAverage: predictor = static_cast<std::uint8_t>((a + b) >> 1); break;
        case FilterPaeth: predictor = PaethPredictor(a, b, c); break;
        default: return;
        }
        row[i] = static_cast<std::uint8_t>(row[i] + predictor);
    }
}

} // namespace

void UnfilterRow(std::uint8_t filterType, std::uint8_t* row, std::size_t count, std::size_t unit,
                 const std::uint8_t* previous)
{
    switch (unit) {
    case 1: Unfilter<1>(filterType, row, count, previous); break;
    case 2: Unfilter<2>(filterType, row, count, previous); break;
    case 3: Unfilter<3>(filterType, row, count, previous); break;
    case 4: Unfilter<4>(filterType, row, count, previous); break;
    case 6: Unfilter<6>(filterType, row, count, previous); break;
    case 8: Unfilter<8>(filterType, row, count, previous); break;
    default: UnfilterGeneric(filterType, row, count, unit, previous); break;
    }
}

void FilterRow(std::uint8_t filterType, const std::uint8_t* row, std::size_t count, std::size_t unit,
               std::uint8_t* output, const std::uint8_t* previous)
{
    if (filterType == FilterNone) {
        std::copy_n(row, count, output);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t a = i >= unit ? row[i - unit] : 0;
        const std::uint8_t b = previous[i];
        const std::uint8_t c = i >= unit ? previous[i - unit] : 0;
        std::uint8_t predictor = 0;
        switch (filterType) {
        case FilterSub: predictor = a; break;
        case FilterUp: predictor = b; break;
        case FilterAverage: predictor = static_cast<std::uint8_t>((a + b) >> 1); break;
        case FilterPaeth: predictor = PaethPredictor(a, b, c); break;
        default: break;
        }
        output[i] = static_cast<std::uint8_t>(row[i] - predictor);
    }
}

} // namespace tbx::png
