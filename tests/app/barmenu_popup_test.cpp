// The main window's bar popup menu, opened for real: the system measures and
// draws its items through the bar-menu engine while it is open, then a timer
// closes the menu. (Reading the screen back from inside Wine gives only white,
// so a picture of the open menu is taken from outside:
// tools/test-screenshot.sh app_barmenu_test menu.)
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "painters/BarMenus.h"

namespace {

struct Shot {
    bool shown = false;
    bool closed = false;
    int ticks = 0;
    HWND menuWindow = nullptr;
};
Shot gShot;

// Runs inside the menu's own loop.
void CALLBACK ShotTick(HWND, UINT, UINT_PTR id, DWORD) {
    if (++gShot.ticks > 100) {  // never shown: give up, the test reports it
        KillTimer(nullptr, id);
        EndMenu();
        gShot.closed = true;
        return;
    }
    if (!vsk::test::MenuShowing()) return;
    HWND menu = FindWindowA("#32768", nullptr);  // the system's menu window class
    KillTimer(nullptr, id);
    gShot.menuWindow = menu;
    // For a look at the real display (tools/test-screenshot.sh app_barmenu_test menu): say that
    // the menu is open, then hold it until the screenshot is taken, ten
    // seconds at most.
    const char* ready = getenv("VSK_SHOT_READY");
    const char* done = getenv("VSK_SHOT_DONE");
    if (ready && done) {
        HANDLE f = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        const ULONGLONG end = GetTickCount64() + 10000;
        while (GetFileAttributesA(done) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < end) Sleep(50);
    }
    gShot.shown = true;
    EndMenu();
    gShot.closed = true;
}

} // namespace

class BarMenuPopupTest : public AppTest {};

TEST_F(BarMenuPopupTest, TheVisibleWindowsMenuOpensDrawnByTheEngineAndCloses) {
    painters::TBcBarPopupMenu* pm = MainForm->popMenuAvailableWindows;
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(MainForm->AvailableWindowsList->PopupMenu(), pm);
    ASSERT_GT(pm->Items()->Count(), 0);
    EXPECT_TRUE(pm->Items()->Items(0)->OnAdvancedDrawItem ==
                ui::TAdvancedMenuDrawItemEvent(&painters::BarMenuAdvancedDrawItem));
    MainForm->Show();
    ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));
    gShot = Shot{};
    SetTimer(nullptr, 0, 50, &ShotTick);
    RECT lr;
    GetWindowRect(MainForm->AvailableWindowsList->Handle(), &lr);
    pm->Popup(lr.left + 40, lr.top + 40);  // returns when the menu closes
    EXPECT_TRUE(gShot.closed);
    ASSERT_TRUE(gShot.shown) << "the menu never showed";
    // The engine drew the items: it took the menu's window from the DC the
    // system gave it to draw on.
    EXPECT_EQ(pm->MenuWindow(), gShot.menuWindow);
    EXPECT_FALSE(vsk::test::MenuShowing());
}
