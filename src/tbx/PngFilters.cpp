#include "tbx/PngFilters.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#define VSK_TBX_SSE2 1
#else
#define VSK_TBX_SSE2 0
#endif

namespace tbx::png {

namespace {

// The reconstruction loops are written for a filter unit known at compile
// time and spelled out lane by lane (ForEachLane), so that the left
// neighbours of a pixel stay in registers and the Unit byte lanes form
// independent chains the processor runs side by side.

template <std::size_t Unit, class Lane> inline void ForEachLane(Lane lane) {
    [&]<std::size_t... K>(std::index_sequence<K...>) { (lane(K), ...); }
    (std::make_index_sequence<Unit>{});
}

template <std::size_t Unit> void UnfilterSub(std::uint8_t* __restrict row, std::size_t count) {
    if (count < Unit) return;
    std::uint8_t a[Unit];
    ForEachLane<Unit>([&](std::size_t k) { a[k] = row[k]; });
    std::size_t i = Unit;
    for (; i + Unit <= count; i += Unit) {
        ForEachLane<Unit>([&](std::size_t k) {
            a[k] = static_cast<std::uint8_t>(row[i + k] + a[k]);
            row[i + k] = a[k];
        });
    }
    for (; i < count; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - Unit]);
}

void UnfilterUp(std::uint8_t* __restrict row, std::size_t count, const std::uint8_t* __restrict prev) {
    std::size_t i = 0;
#if VSK_TBX_SSE2
    for (; i + 16 <= count; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_add_epi8(x, b));
    }
#endif
    for (; i < count; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
}

// Wide units (6 and 8 bytes) are done in two passes over the row, half of
// the lanes each, so that no pass needs more registers than there are.
template <std::size_t Unit, class LanePass> inline void InLaneGroups(LanePass pass) {
    if constexpr (Unit <= 4) {
        pass(std::integral_constant<std::size_t, 0>{}, std::integral_constant<std::size_t, Unit>{});
    } else {
        pass(std::integral_constant<std::size_t, 0>{}, std::integral_constant<std::size_t, Unit / 2>{});
        pass(std::integral_constant<std::size_t, Unit / 2>{}, std::integral_constant<std::size_t, Unit - Unit / 2>{});
    }
}

template <std::size_t Unit>
void UnfilterAverage(std::uint8_t* __restrict row, std::size_t count, const std::uint8_t* __restrict prev) {
    // Within the first unit a = 0.
    const std::size_t head = count < Unit ? count : Unit;
    for (std::size_t i = 0; i < head; ++i) row[i] = static_cast<std::uint8_t>(row[i] + (prev[i] >> 1));
    if (count <= Unit) return;
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
void UnfilterPaeth(std::uint8_t* __restrict row, std::size_t count, const std::uint8_t* __restrict prev) {
    // Within the first unit a = c = 0, so the predictor is b.
    const std::size_t head = count < Unit ? count : Unit;
    for (std::size_t i = 0; i < head; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
    if (count <= Unit) return;
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
        row[i] = static_cast<std::uint8_t>(row[i] + PaethPredictor(row[i - Unit], prev[i], prev[i - Unit]));
}

#if VSK_TBX_SSE2
// SSE2 (every x86-64 processor has it) for the units of 8-bit and 16-bit
// truecolour: one whole pixel per step, its bytes side by side in a
// register, so the chain from one pixel to the next is a few instructions.

// Pixels of 3 and 6 bytes are put together from whole loads and stored in
// pieces, never reading or writing a byte of the next pixel.
template <std::size_t Unit> inline __m128i LoadPixel(const std::uint8_t* p) {
    std::uint32_t low = 0;
    std::uint16_t high = 0;
    if constexpr (Unit == 3) {
        std::memcpy(&high, p, 2);
        return _mm_cvtsi32_si128(static_cast<int>(high | std::uint32_t(p[2]) << 16));
    } else if constexpr (Unit == 4) {
        std::memcpy(&low, p, 4);
        return _mm_cvtsi32_si128(static_cast<int>(low));
    } else if constexpr (Unit == 6) {
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + 4, 2);
        return _mm_cvtsi64_si128(static_cast<long long>(low | std::uint64_t(high) << 32));
    } else {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    }
}

template <std::size_t Unit> inline void StorePixel(std::uint8_t* p, __m128i v) {
    if constexpr (Unit == 3) {
        const auto bits = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
        const auto low = static_cast<std::uint16_t>(bits);
        std::memcpy(p, &low, 2);
        p[2] = static_cast<std::uint8_t>(bits >> 16);
    } else if constexpr (Unit == 4) {
        const auto bits = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
        std::memcpy(p, &bits, 4);
    } else if constexpr (Unit == 6) {
        const auto bits = static_cast<std::uint64_t>(_mm_cvtsi128_si64(v));
        const auto low = static_cast<std::uint32_t>(bits);
        const auto high = static_cast<std::uint16_t>(bits >> 32);
        std::memcpy(p, &low, 4);
        std::memcpy(p + 4, &high, 2);
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    }
}

template <std::size_t Unit> void UnfilterSubSse2(std::uint8_t* row, std::size_t count) {
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + Unit <= count; i += Unit) {
        a = _mm_add_epi8(LoadPixel<Unit>(row + i), a);
        StorePixel<Unit>(row + i, a);
    }
    for (std::size_t i = std::max(count / Unit * Unit, Unit); i < count; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - Unit]);
}

template <std::size_t Unit> void UnfilterAverageSse2(std::uint8_t* row, std::size_t count, const std::uint8_t* prev) {
    // pavgb rounds up; taking back the low bit of a ^ b makes it (a + b) div 2.
    const __m128i one = _mm_set1_epi8(1);
    __m128i a = _mm_setzero_si128();
    for (std::size_t i = 0; i + Unit <= count; i += Unit) {
        const __m128i b = LoadPixel<Unit>(prev + i);
        const __m128i average = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        a = _mm_add_epi8(LoadPixel<Unit>(row + i), average);
        StorePixel<Unit>(row + i, a);
    }
    for (std::size_t i = count / Unit * Unit; i < count; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + (((i >= Unit ? row[i - Unit] : 0) + prev[i]) >> 1));
}

inline __m128i Abs16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// The predictor in 16-bit lanes, where a + b - 2c cannot overflow.
template <std::size_t Unit> void UnfilterPaethSse2(std::uint8_t* row, std::size_t count, const std::uint8_t* prev) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero, c = zero;
    for (std::size_t i = 0; i + Unit <= count; i += Unit) {
        const __m128i b = _mm_unpacklo_epi8(LoadPixel<Unit>(prev + i), zero);
        const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
        const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        const __m128i predictor = Select(_mm_cmpeq_epi16(smallest, pa), a, Select(_mm_cmpeq_epi16(smallest, pb), b, c));
        // Byte-wise addition keeps each 16-bit lane below 256.
        a = _mm_add_epi8(_mm_unpacklo_epi8(LoadPixel<Unit>(row + i), zero), predictor);
        StorePixel<Unit>(row + i, _mm_packus_epi16(a, a));
        c = b;
    }
    for (std::size_t i = count / Unit * Unit; i < count; ++i)
        row[i] = static_cast<std::uint8_t>(
            row[i] + (i >= Unit ? PaethPredictor(row[i - Unit], prev[i], prev[i - Unit]) : prev[i]));
}

template <std::size_t Unit> constexpr bool HasSse2Version = Unit == 4 || Unit == 6 || Unit == 8;
#endif

template <std::size_t Unit>
void Unfilter(std::uint8_t filterType, std::uint8_t* row, std::size_t count, const std::uint8_t* prev) {
#if VSK_TBX_SSE2
    if constexpr (HasSse2Version<Unit>) {
        switch (filterType) {
        case FilterSub: UnfilterSubSse2<Unit>(row, count); return;
        case FilterUp: UnfilterUp(row, count, prev); return;
        case FilterAverage: UnfilterAverageSse2<Unit>(row, count, prev); return;
        case FilterPaeth: UnfilterPaethSse2<Unit>(row, count, prev); return;
        default: return;
        }
    }
#endif
    switch (filterType) {
    case FilterSub: UnfilterSub<Unit>(row, count); break;
    case FilterUp: UnfilterUp(row, count, prev); break;
    case FilterAverage: UnfilterAverage<Unit>(row, count, prev); break;
    case FilterPaeth: UnfilterPaeth<Unit>(row, count, prev); break;
    default: break;  // None, and unknown types, leave the row as stored
    }
}

// What filter type predicts for one byte.
inline std::uint8_t Prediction(std::uint8_t filterType, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    switch (filterType) {
    case FilterSub: return a;
    case FilterUp: return b;
    case FilterAverage: return static_cast<std::uint8_t>((a + b) >> 1);
    case FilterPaeth: return PaethPredictor(a, b, c);
    default: return 0;
    }
}

// Any filter unit: for units that no PNG pixel has.
void UnfilterGeneric(std::uint8_t filterType, std::uint8_t* row, std::size_t count, std::size_t unit,
                     const std::uint8_t* prev) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t a = i >= unit ? row[i - unit] : 0;
        const std::uint8_t c = i >= unit ? prev[i - unit] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + Prediction(filterType, a, prev[i], c));
    }
}

}  // namespace

void UnfilterRow(std::uint8_t filterType, std::uint8_t* row, std::size_t count, std::size_t unit,
                 const std::uint8_t* previous) {
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
               std::uint8_t* output, const std::uint8_t* previous) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t a = i >= unit ? row[i - unit] : 0;
        const std::uint8_t c = i >= unit ? previous[i - unit] : 0;
        output[i] = static_cast<std::uint8_t>(row[i] - Prediction(filterType, a, previous[i], c));
    }
}

}  // namespace tbx::png
