// The corner toggle buttons and the dialog they open, met by a dialog
// driver on another thread as a person would meet them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "app/MouseShortcutForm.h"
#include "support/MouseShortcutDriver.h"

using namespace ui;

namespace {

void ClickButton(controls::TFlatSpeedButton* b) {
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

}  // namespace

TEST_F(AppTest, TheCornerDialogEditsTheShortcutAndCancelPutsTheButtonUp) {
    core::TMouseShortcutInfo& info = *HideWindowsShortcut;
    ASSERT_EQ(info.ZoneSize, 20);
    ASSERT_FALSE(MainForm->btnMouseWinCtrl->Down());
    {
        vsk::test::DialogReport report;
        std::thread driver([&] { report = vsk::test::EditMouseShortcutDialog("1200", "35", 3, "Ok"); });
        ClickButton(MainForm->btnMouseWinCtrl);
        driver.join();
        EXPECT_TRUE(report.clicked) << vsk::test::Describe(report);
    }
    EXPECT_TRUE(MainForm->btnMouseWinCtrl->Down());
    EXPECT_EQ(info.HoverInterval, 1200);
    EXPECT_EQ(info.ZoneSize, 35);
    EXPECT_EQ(info.Corner, 3);

    // Going up asks nothing: the corner is off.
    ClickButton(MainForm->btnMouseWinCtrl);
    EXPECT_FALSE(MainForm->btnMouseWinCtrl->Down());

    {
        vsk::test::DialogReport report;
        std::thread driver([&] { report = vsk::test::EditMouseShortcutDialog("9000", "99", 1, "Cancel"); });
        ClickButton(MainForm->btnMouseWinCtrl);
        driver.join();
        EXPECT_TRUE(report.clicked) << vsk::test::Describe(report);
    }
    EXPECT_FALSE(MainForm->btnMouseWinCtrl->Down()) << "Cancel must put the button up";
    EXPECT_EQ(info.HoverInterval, 1200);
    EXPECT_EQ(info.ZoneSize, 35);
    EXPECT_EQ(info.Corner, 3);

    // Numbers past the range are kept within it.
    {
        vsk::test::DialogReport report;
        std::thread driver([&] { report = vsk::test::EditMouseShortcutDialog("99999", "500", -1, "Ok"); });
        ClickButton(MainForm->btnMouseSSaverCtrl);
        driver.join();
        EXPECT_TRUE(report.clicked) << vsk::test::Describe(report);
    }
    EXPECT_EQ(ScreenSaverShortcut->HoverInterval, 30000);
    EXPECT_EQ(ScreenSaverShortcut->ZoneSize, 200);
    EXPECT_EQ(ScreenSaverShortcut->Corner, 1) << "the stored corner is ticked when the dialog opens";
}

TEST_F(AppTest, TheCornerBoxesAreMutuallyExclusive) {
    auto* form = TComponent::Create<TMouseShortcutForm>(MainForm);
    EXPECT_TRUE(form->cbTopLeft->Checked()) << "top-left is ticked at first";
    // With VSK_SHOT_READY and VSK_SHOT_DONE set (tools/test-screenshot.sh
    // app_mouse_test corner-dialog) it stays up until a picture is taken.
    const char* ready = getenv("VSK_SHOT_READY");
    const char* done = getenv("VSK_SHOT_DONE");
    if (ready && done) {
        form->Show();
        vsk::test::WaitShown(form->Handle());
        HANDLE f = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        vsk::test::PumpUntil([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 10000);
        form->Hide();
    }
    for (int pick = 0; pick < 4; ++pick) {
        form->CornerBox(pick)->SetChecked(!form->CornerBox(pick)->Checked());
        if (!form->CornerBox(pick)->Checked()) form->CornerBox(pick)->SetChecked(true);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(form->CornerBox(i)->Checked(), i == pick) << "picked " << pick << ", box " << i;
    }
    form->SelectCorner(nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(form->CornerBox(i)->Checked());
    EXPECT_EQ(form->edHoverInterval->Value(), 500);
    EXPECT_EQ(form->edZoneSize->Value(), 200);
    TComponent::Free(form);
}
