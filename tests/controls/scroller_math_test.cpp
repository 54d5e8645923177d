// The scroller's thumb placement and its inverse, with halves to even.
#include <gtest/gtest.h>

#include "controls/ScrollerMath.h"

using namespace controls;

TEST(ScrollerMath, PositionToOffset) {
    struct Case {
        int position, min, max, freeLength, want;
    } cases[] = {
        {32768, 0, 65535, 100, 50}, {1, 0, 4, 10, 2},                              // 2.5 goes to 2
        {3, 0, 4, 10, 8},                                                          // 7.5 goes to 8
        {0, 0, 100, 75, 0},         {100, 0, 100, 75, 75}, {-5, -10, 10, 40, 10},  // negative ranges place too
        {-10, -10, 10, 40, 0},      {5, 5, 5, 40, 0},                              // an empty range
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollerPositionToOffset(c.position, c.min, c.max, c.freeLength), c.want)
            << c.position << " in " << c.min << ".." << c.max << " over " << c.freeLength;
}

TEST(ScrollerMath, OffsetToPosition) {
    struct Case {
        int offset, min, max, freeLength, want;
    } cases[] = {
        {1, 0, 65535, 175, 374}, {175, 0, 65535, 175, 65535}, {0, -10, 10, 40, -10}, {20, -10, 10, 40, 0},
        {1, 0, 4, 8, 0},    // 0.5 goes to 0
        {3, 0, 4, 8, 2},    // 1.5 goes to 2
        {0, 7, 100, 0, 7},  // a thumb as long as the track shows Min
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollerOffsetToPosition(c.offset, c.min, c.max, c.freeLength), c.want)
            << c.offset << " of " << c.freeLength << " in " << c.min << ".." << c.max;
}
