#pragma once
// Checked integer arithmetic for the bar-menu code: a result outside its
// type raises ui::EIntOverflow, a narrowing that loses the value raises
// ui::ERangeError, instead of wrapping silently.
#include <cmath>
#include <utility>
#include <limits>
#include <type_traits>

#include "ui/IntErrors.h"

namespace painters::checked {

inline constexpr const char* kOverflowText = "Integer overflow";
inline constexpr const char* kRangeText = "Range check error";

// Op is one of the __builtin_*_overflow operations.
template <class T, class Op> T Overflowing(T a, T b, Op op) {
    static_assert(std::is_integral_v<T>);
    T r;
    if (op(a, b, &r)) throw ui::EIntOverflow(kOverflowText);
    return r;
}

template <class T> T Add(T a, std::type_identity_t<T> b) {
    return Overflowing(a, b, [](T x, T y, T* r) { return __builtin_add_overflow(x, y, r); });
}

template <class T> T Sub(T a, std::type_identity_t<T> b) {
    return Overflowing(a, b, [](T x, T y, T* r) { return __builtin_sub_overflow(x, y, r); });
}

template <class T> T Mul(T a, std::type_identity_t<T> b) {
    return Overflowing(a, b, [](T x, T y, T* r) { return __builtin_mul_overflow(x, y, r); });
}

// Truncates toward zero, as integer division does.
template <class T> T Div(T a, std::type_identity_t<T> b) {
    static_assert(std::is_integral_v<T>);
    if (b == 0) throw ui::EDivByZero("Division by zero");
    if constexpr (std::is_signed_v<T>) {
        if (a == std::numeric_limits<T>::min() && b == T(-1)) throw ui::EIntOverflow(kOverflowText);
    }
    return a / b;
}

template <class T> T Mod(T a, std::type_identity_t<T> b) {
    static_assert(std::is_integral_v<T>);
    if (b == 0) throw ui::EDivByZero("Division by zero");
    if constexpr (std::is_signed_v<T>) {
        if (b == T(-1)) return 0;
    }
    return a % b;
}

// The value as a To, or ERangeError when To cannot hold it.
template <class To, class From> To Narrow(From v) {
    static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
    if (!std::in_range<To>(v)) throw ui::ERangeError(kRangeText);
    return static_cast<To>(v);
}

// A floating-point value rounded toward zero into an int (Trunc).
inline int Trunc(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) throw ui::ERangeError(kRangeText);
    return static_cast<int>(v);
}

// A floating-point value rounded to the nearest int, a half going to the
// even neighbour (Round).
inline int Round(double v) { return Trunc(std::nearbyint(v)); }

}  // namespace painters::checked
