// Where a flat menu item puts its check mark, icon column and caption, read
// left to right and right to left. Pure geometry: runs in the host tree too.
#include <gtest/gtest.h>

#include <string>

#include "painters/PaintGeometry.h"

using namespace painters;

namespace {
std::string Show(const TBox& b) {
    return "{" + std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
           std::to_string(b.bottom) + "}";
}
}  // namespace

TEST(MenuItemGeometry, PlacesColumnCheckAndCaptionForEitherReadingDirection) {
    struct Case {
        const char* what;
        bool bar, rtl, icon;
        int iconWidth;
        TBox column, check, caption;
    };
    // Popup items 100 x 20 (drawn from x = 4, one row taller), bar items
    // 60 x 20; icon column 24 wide, caption line 13 high.
    const Case cases[] = {
        {"popup", false, false, true, 16, {4, 0, 28, 21}, {5, 2, 25, 19}, {31, 4, 104, 21}},
        {"popup rtl", false, true, true, 16, {80, 0, 104, 21}, {81, 2, 101, 19}, {4, 4, 77, 21}},
        {"popup, no icon", false, false, false, 0, {4, 0, 28, 21}, {11, 5, 21, 15}, {31, 4, 104, 21}},
        {"popup, icon wider than the column",
         false,
         false,
         true,
         32,
         {4, 0, 28, 21},
         {-7, 2, 25, 19},
         {43, 4, 104, 21}},
        {"popup rtl, icon wider than the column",
         false,
         true,
         true,
         32,
         {80, 0, 104, 21},
         {81, 2, 113, 19},
         {4, 4, 61, 21}},
        {"bar", true, false, true, 16, {0, 0, 24, 20}, {1, 1, 21, 18}, {18, 3, 60, 20}},
        {"bar rtl", true, true, true, 16, {36, 0, 60, 20}, {37, 1, 57, 18}, {0, 3, 38, 20}},
        {"bar, no icon", true, false, false, 0, {0, 0, 24, 20}, {7, 4, 17, 15}, {3, 3, 60, 20}},
    };
    for (const Case& c : cases) {
        const TMenuItemLayout L = LayOutMenuItem(c.bar ? 60 : 100, 20, c.bar, c.rtl, 24, c.icon, c.iconWidth);
        const TBox caption = MenuCaptionBox(L.text, c.rtl, 13);
        EXPECT_EQ(Show(L.iconColumn), Show(c.column)) << c.what << ": icon column";
        EXPECT_EQ(Show(L.check), Show(c.check)) << c.what << ": check mark";
        EXPECT_EQ(Show(caption), Show(c.caption)) << c.what << ": caption";
    }
}
