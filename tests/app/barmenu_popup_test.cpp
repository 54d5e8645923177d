// The main window's bar popup menu, opened for real: the system measures and
// draws its items through the bar-menu engine while it is open, then a timer
// closes the menu. (Reading the screen back from inside Wine gives only white,
// so a picture of the open menu is taken from outside:
// tools/test-screenshot.sh app_barmenu_test menu.)
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "painters/BarMenus.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"

namespace {

struct Shot {
    bool shown = false;
    bool closed = false;
    int ticks = 0;
    HWND menuWindow = nullptr;
};
Shot gShot;
bool gHold = false;  // this menu is the one the picture is taken of

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
    if (gHold && ready && done) {
        HANDLE f = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        vsk::test::WaitUntil([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 10000);
    }
    gShot.shown = true;
    EndMenu();
    gShot.closed = true;
}

}  // namespace

class BarMenuPopupTest : public AppTest {};

// Each of the main window's popup menus opens drawn by the engine. With the
// picture tool, VSK_SHOT_MENU names the one held open for the picture (the
// visible-windows menu when unset).
TEST_F(BarMenuPopupTest, EveryPopupMenuOpensDrawnByTheEngineAndCloses) {
    MainForm->Show();
    ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));
    const char* wanted = getenv("VSK_SHOT_MENU");
    const std::string shot = wanted ? wanted : "popMenuAvailableWindows";
    struct Case {
        painters::TBcBarPopupMenu* menu;
        ui::TWinControl* owner;
    };
    const Case cases[] = {{MainForm->popMenuAvailableWindows, MainForm->AvailableWindowsList},
                          {MainForm->popMenuDoNotHideList, MainForm->ExcludeList},
                          {MainForm->PopMenuBringToTopList, MainForm->BringToTopList},
                          {MainForm->popMenuResolutions, MainForm->btnSelectResolution}};
    for (const Case& c : cases) {
        painters::TBcBarPopupMenu* pm = c.menu;
        ASSERT_NE(pm, nullptr);
        SCOPED_TRACE(pm->Name());
        EXPECT_EQ(c.owner->PopupMenu(), pm);
        ASSERT_GT(pm->Items()->Count(), 0);
        EXPECT_TRUE(pm->Items()->Items(0)->OnAdvancedDrawItem ==
                    ui::TAdvancedMenuDrawItemEvent(&painters::BarMenuAdvancedDrawItem));
        const bool hold = pm->Name() == shot;
        gShot = Shot{};
        gHold = hold;
        SetTimer(nullptr, 0, 50, &ShotTick);
        RECT lr;
        GetWindowRect(c.owner->Handle(), &lr);
        pm->Popup(lr.left + 40, lr.top + 20);  // returns when the menu closes
        EXPECT_TRUE(gShot.closed);
        ASSERT_TRUE(gShot.shown) << "the menu never showed";
        // The engine drew the items: it took the menu's window from the DC
        // the system gave it to draw on.
        EXPECT_EQ(pm->MenuWindow(), gShot.menuWindow);
        EXPECT_FALSE(vsk::test::MenuShowing());
    }
}

// The lists' menus keep an icon column at the left of their captions; the
// display modes' menu draws the XP look whatever the system's version says.
TEST_F(BarMenuPopupTest, TheListMenusHaveAnIconColumnAndTheModesMenuTheXPLook) {
    for (painters::TBcBarPopupMenu* pm :
         {MainForm->popMenuAvailableWindows, MainForm->popMenuDoNotHideList, MainForm->PopMenuBringToTopList}) {
        SCOPED_TRACE(pm->Name());
        ui::TMenuItem* item = pm->Items()->Items(pm->Items()->Count() - 1);
        ui::TBitmap surface(200, 22);
        ui::TCanvas* c = surface.Canvas();
        c->Brush()->SetColor(ui::clMenu);
        c->FillRect(ui::Rect(0, 0, 200, 22));
        c->Font()->Assign(ui::Screen->MenuFont());
        c->Font()->SetColor(ui::clMenuText);
        item->OnAdvancedDrawItem(item, c, ui::Rect(0, 0, 200, 22), 0);
        int firstInk = -1;
        for (int x = 0; x < 200 && firstInk < 0; ++x)
            for (int y = 0; y < 22; ++y)
                if ((ui::ColorToRGB(c->Pixels(x, y)) & 0xFFFFFF) != (ui::ColorToRGB(ui::clMenu) & 0xFFFFFF)) {
                    firstInk = x;
                    break;
                }
        EXPECT_GT(firstInk, MainForm->MenuImages->Width()) << "the caption starts after the icon column";
    }
    const bool xpLook = painters::XPLookMenus;
    painters::XPLookMenus = false;  // a system whose own menus are not of the XP look
    EXPECT_EQ(MainForm->popMenuResolutions->GetEffectiveMenuStyle(), painters::msWindowsXP);
    EXPECT_EQ(MainForm->popMenuResolutions->Images(), nullptr);
    painters::XPLookMenus = xpLook;
}

// Read right to left, a menu still opens drawn by the engine: the system is
// given no item flag it would draw on its own instead.
TEST_F(BarMenuPopupTest, ARightToLeftPopupMenuOpensDrawnByTheEngine) {
    MainForm->Show();
    ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));
    painters::TBcBarPopupMenu* pm = MainForm->popMenuDoNotHideList;
    pm->SetBiDiMode(ui::bdRightToLeft);
    const char* wanted = getenv("VSK_SHOT_MENU");
    gShot = Shot{};
    gHold = wanted && std::string(wanted) == "right-to-left";
    SetTimer(nullptr, 0, 50, &ShotTick);
    RECT lr;
    GetWindowRect(MainForm->ExcludeList->Handle(), &lr);
    pm->Popup(lr.left + 40, lr.top + 20);
    pm->SetBiDiMode(ui::bdLeftToRight);
    ASSERT_TRUE(gShot.shown) << "the menu never showed";
    EXPECT_EQ(pm->MenuWindow(), gShot.menuWindow) << "the system drew the items itself";
}
