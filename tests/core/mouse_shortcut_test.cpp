#include <gtest/gtest.h>

#include "core/MouseShortcut.h"

using namespace core;

namespace {

constexpr int W = 1280, H = 1024;

TMouseShortcutInfo Shortcut(uint8_t corner, int zone = 20, int hover = 500) {
    TMouseShortcutInfo s;
    s.Corner = corner;
    s.ZoneSize = zone;
    s.HoverInterval = hover;
    return s;
}

TCornerTick Tick(int x, int y, uint32_t now, bool hidden = false) {
    TCornerTick t;
    t.Running = true;
    t.HideCornerOn = true;
    t.X = x;
    t.Y = y;
    t.Width = W;
    t.Height = H;
    t.Now = now;
    t.WindowsHidden = hidden;
    return t;
}

}  // namespace

TEST(MouseCorners, EachCornerHoldsItsZoneWithoutTheRightAndBottomEdges) {
    struct Case {
        uint8_t corner;
        int zone, x, y;
        bool inside;
    } cases[] = {
        {0, 20, 0, 0, true},
        {0, 20, 19, 19, true},
        {0, 20, 20, 0, false},
        {0, 20, 0, 20, false},
        {0, 20, -1, 0, false},
        {1, 20, W - 20, 0, true},
        {1, 20, W - 1, 19, true},
        {1, 20, W - 21, 0, false},
        {1, 20, W, 0, false},
        {1, 20, W - 1, 20, false},
        {2, 20, 0, H - 20, true},
        {2, 20, 19, H - 1, true},
        {2, 20, 0, H - 21, false},
        {2, 20, 0, H, false},
        {2, 20, 20, H - 1, false},
        {3, 20, W - 1, H - 1, true},
        {3, 20, W - 20, H - 20, true},
        {3, 20, W, H - 1, false},
        {3, 20, W - 1, H, false},
        {3, 20, W - 21, H - 1, false},
        {0, 0, 0, 0, false},
        {3, 0, W - 1, H - 1, false},
        {4, 20, 0, 0, false},
        {255, 2000, 5, 5, false},
        {0, 0x7FFFFFFF, W - 1, H - 1, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PointInCorner(c.corner, c.zone, c.x, c.y, W, H), c.inside)
            << "corner " << int(c.corner) << " zone " << c.zone << " at (" << c.x << ", " << c.y << ")";
}

TEST(MouseCorners, HoverTimeCountsFromEntryAndLeavingRestartsIt) {
    TMouseShortcutInfo s = Shortcut(0);
    EXPECT_FALSE(s.IsTriggered(5, 5, W, H, 1000));
    EXPECT_EQ(s.HoverStart, 1000u);
    EXPECT_FALSE(s.IsTriggered(5, 5, W, H, 1499));
    EXPECT_TRUE(s.IsTriggered(5, 5, W, H, 1500));
    EXPECT_TRUE(s.IsTriggered(5, 5, W, H, 2000)) << "it stays true until the action";

    EXPECT_FALSE(s.IsTriggered(50, 50, W, H, 2100));
    EXPECT_EQ(s.HoverStart, 0u) << "leaving the zone resets the hover";
    EXPECT_FALSE(s.IsTriggered(5, 5, W, H, 2200));
    EXPECT_FALSE(s.IsTriggered(5, 5, W, H, 2600));
    EXPECT_TRUE(s.IsTriggered(5, 5, W, H, 2700));
}

TEST(MouseCorners, TheTickCounterMayWrapAndANegativeOrZeroIntervalActsAtOnce) {
    TMouseShortcutInfo s = Shortcut(0);
    EXPECT_FALSE(s.IsTriggered(0, 0, W, H, 0xFFFFFF00u));
    EXPECT_FALSE(s.IsTriggered(0, 0, W, H, 0x000000F0u)) << "0x1F0 ms after entry";
    EXPECT_TRUE(s.IsTriggered(0, 0, W, H, 0x000000F4u)) << "500 ms after entry, across the wrap";

    TMouseShortcutInfo zero = Shortcut(0, 20, 0);
    EXPECT_TRUE(zero.IsTriggered(0, 0, W, H, 77));
    TMouseShortcutInfo negative = Shortcut(0, 20, -1);
    EXPECT_TRUE(negative.IsTriggered(0, 0, W, H, 77));
    TMouseShortcutInfo atTickZero = Shortcut(0, 20, 500);
    EXPECT_FALSE(atTickZero.IsTriggered(0, 0, W, H, 0));
    EXPECT_NE(atTickZero.HoverStart, 0u) << "entering at tick 0 must still count as inside";
}

TEST(MouseCorners, TimerHidesOnceAndActsAgainOnlyAfterThePointerLeft) {
    TMouseShortcutInfo hide = Shortcut(0), saver = Shortcut(1);
    auto act = [&](const TCornerTick& t) { return MouseCornerTick(t, hide, saver); };
    EXPECT_FALSE(act(Tick(0, 0, 1000)).HideWindows);
    EXPECT_TRUE(act(Tick(0, 0, 1500)).HideWindows);
    // Hidden: resting there does nothing.
    EXPECT_FALSE(act(Tick(0, 0, 2000, true)).HideWindows);
    EXPECT_FALSE(act(Tick(0, 0, 9000, true)).HideWindows);
    // Restored by the hot key with the pointer still in the corner: no new hide.
    for (uint32_t t = 9500; t < 20000; t += 500) ASSERT_FALSE(act(Tick(0, 0, t)).HideWindows) << t;
    // Out and back in: it hides again after the hover time.
    EXPECT_FALSE(act(Tick(300, 300, 20000)).HideWindows);
    EXPECT_FALSE(act(Tick(0, 0, 20500)).HideWindows);
    EXPECT_TRUE(act(Tick(0, 0, 21000)).HideWindows);
}

TEST(MouseCorners, PointerRestingWhileHiddenMustLeaveBeforeTheNextHide) {
    TMouseShortcutInfo hide = Shortcut(0), saver = Shortcut(1);
    // Hidden by the hot key, then the pointer rests in the corner.
    EXPECT_FALSE(MouseCornerTick(Tick(0, 0, 1000, true), hide, saver).HideWindows);
    EXPECT_FALSE(MouseCornerTick(Tick(0, 0, 5000, true), hide, saver).HideWindows);
    EXPECT_FALSE(MouseCornerTick(Tick(0, 0, 5500), hide, saver).HideWindows) << "restored while resting there";
    EXPECT_FALSE(MouseCornerTick(Tick(0, 0, 9000), hide, saver).HideWindows);
}

TEST(MouseCorners, NothingHappensWhileGatedLockedOrOff) {
    struct Case {
        const char* what;
        void (*change)(TCornerTick&);
    } cases[] = {
        {"gate closed", [](TCornerTick& t) { t.Running = false; }},
        {"desktop locked", [](TCornerTick& t) { t.DesktopLocked = true; }},
        {"corner off", [](TCornerTick& t) { t.HideCornerOn = false; }},
    };
    for (const Case& c : cases) {
        TMouseShortcutInfo hide = Shortcut(0, 20, 0), saver = Shortcut(1);
        TCornerTick t = Tick(0, 0, 1000);
        c.change(t);
        EXPECT_FALSE(MouseCornerTick(t, hide, saver).HideWindows) << c.what;
        EXPECT_EQ(hide.HoverStart, 0u) << c.what << ": the hover state must not change";
    }
}

TEST(MouseCorners, TheScreenSaverCornerActsOnItsOwnCorner) {
    TMouseShortcutInfo hide = Shortcut(0), saver = Shortcut(1, 20, 0);
    TCornerTick t = Tick(W - 1, 0, 1000);
    t.HideCornerOn = false;
    t.SaverCornerOn = true;
    TCornerActions a = MouseCornerTick(t, hide, saver);
    EXPECT_TRUE(a.StartScreenSaver);
    EXPECT_FALSE(a.HideWindows);
    t.Now = 1500;
    EXPECT_FALSE(MouseCornerTick(t, hide, saver).StartScreenSaver) << "not again before leaving";
}
