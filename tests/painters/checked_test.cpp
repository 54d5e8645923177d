// Checked integer arithmetic: a result outside its type raises instead of
// wrapping. Pure logic: runs in the host tree too.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>

#include "painters/BcChecked.h"

using namespace painters;

TEST(CheckedArithmetic, ResultsOutsideTheTypeRaise) {
    struct Case {
        const char* what;
        std::function<void()> f;
    } cases[] = {
        {"add", [] { checked::Add<int>(INT_MAX, 1); }},  {"add below", [] { checked::Add<int>(INT_MIN, -1); }},
        {"sub", [] { checked::Sub<int>(INT_MIN, 1); }},  {"mul", [] { checked::Mul<int>(INT_MAX / 2 + 1, 2); }},
        {"div", [] { checked::Div<int>(INT_MIN, -1); }},
    };
    for (auto& c : cases) EXPECT_THROW(c.f(), ui::EIntOverflow) << c.what;
    EXPECT_EQ(checked::Add<int>(INT_MAX - 1, 1), INT_MAX);
    EXPECT_EQ(checked::Mul<int>(-65536, 32768), INT_MIN);
    EXPECT_EQ(checked::Div<int>(-7, 2), -3);  // toward zero
    EXPECT_EQ(checked::Mod<int>(INT_MIN, -1), 0);
    EXPECT_THROW(checked::Div<int>(1, 0), ui::EDivByZero);
    EXPECT_THROW(checked::Mod<int>(1, 0), ui::EDivByZero);
}

TEST(CheckedArithmetic, NarrowingAndRounding) {
    EXPECT_THROW(checked::Narrow<uint8_t>(256), ui::ERangeError);
    EXPECT_THROW(checked::Narrow<uint8_t>(-1), ui::ERangeError);
    EXPECT_EQ(checked::Narrow<uint8_t>(255), 255);
    EXPECT_THROW(checked::Trunc(3e9), ui::ERangeError);
    EXPECT_EQ(checked::Trunc(-2.9), -2);
    // Halves go to the even neighbour, as the bar caption's placement expects.
    EXPECT_EQ(checked::Round(7.5), 8);
    EXPECT_EQ(checked::Round(8.5), 8);
    EXPECT_EQ(checked::Round(-0.5), 0);
    EXPECT_EQ(checked::Round(8.0), 8);
}
