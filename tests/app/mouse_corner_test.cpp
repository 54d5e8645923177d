// The corner toggle buttons and the dialog they open, met by a dialog
// driver on another thread as a person would meet them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "app/MouseShortcutForm.h"
#include "support/DialogDriver.h"

using namespace ui;

namespace {

// The child windows of a class, top to bottom and left to right.
std::vector<HWND> ChildrenOfClass(HWND parent, const char* cls) {
    struct S {
        const char* cls;
        std::vector<HWND> found;
    } s{cls, {}};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<S*>(lp);
            char c[64] = {};
            GetClassNameA(h, c, sizeof c);
            if (std::string(c) == s->cls) s->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    auto key = [](HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        return std::pair<LONG, LONG>(r.top, r.left);
    };
    std::sort(s.found.begin(), s.found.end(), [&](HWND a, HWND b) { return key(a) < key(b); });
    return s.found;
}

// Waits for the dialog, types the hover time and zone size, clicks the
// corner box (0..3) and then the button.
vsk::test::DialogReport EditDialog(const char* hover, const char* zone, int corner, const char* button) {
    vsk::test::DialogRequest find;
    find.caption = "Mouse Shortcut";
    find.pid = GetCurrentProcessId();
    find.click = "<none>";
    HWND dialog = nullptr;
    for (DWORD end = GetTickCount() + 5000; !dialog && GetTickCount() < end; Sleep(25))
        dialog = FindWindowA("TMouseShortcutForm", "Mouse Shortcut");
    if (!dialog) return {};
    const std::vector<HWND> spins = ChildrenOfClass(dialog, "TFlatSpinEditInteger");
    const std::vector<HWND> boxes = ChildrenOfClass(dialog, "TFlatCheckBox");
    DWORD_PTR r;
    if (spins.size() == 2) {
        SendMessageTimeoutA(spins[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hover), SMTO_ABORTIFHUNG, 2000, &r);
        SendMessageTimeoutA(spins[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(zone), SMTO_ABORTIFHUNG, 2000, &r);
    }
    if (corner >= 0 && boxes.size() == 4) {
        HWND box = boxes[static_cast<size_t>(corner)];
        SendMessageTimeoutA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), SMTO_ABORTIFHUNG, 2000, &r);
        SendMessageTimeoutA(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5), SMTO_ABORTIFHUNG, 2000, &r);
        SendMessageTimeoutA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5), SMTO_ABORTIFHUNG, 2000, &r);
    }
    vsk::test::DialogRequest req;
    req.caption = "Mouse Shortcut";
    req.pid = GetCurrentProcessId();
    req.click = button;
    return vsk::test::DriveDialog(req);
}

void ClickButton(controls::TFlatSpeedButton* b) {
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

} // namespace

TEST_F(AppTest, TheCornerDialogEditsTheShortcutAndCancelPutsTheButtonUp) {
    core::TMouseShortcutInfo& info = *HideWindowsShortcut;
    ASSERT_EQ(info.ZoneSize, 20);
    ASSERT_FALSE(MainForm->btnMouseWinCtrl->Down());
    {
        vsk::test::DialogReport report;
        std::thread driver([&] { report = EditDialog("1200", "35", 3, "Ok"); });
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
        std::thread driver([&] { report = EditDialog("9000", "99", 1, "Cancel"); });
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
        std::thread driver([&] { report = EditDialog("99999", "500", -1, "Ok"); });
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
    for (int pick = 0; pick < 4; ++pick) {
        form->CornerBox(pick)->SetChecked(!form->CornerBox(pick)->Checked());
        if (!form->CornerBox(pick)->Checked()) form->CornerBox(pick)->SetChecked(true);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(form->CornerBox(i)->Checked(), i == pick) << "picked " << pick << ", box " << i;
    }
    form->SelectCorner(nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(form->CornerBox(i)->Checked());
    EXPECT_EQ(form->edHoverInterval->Value(), 500);
    EXPECT_EQ(form->edZoneSize->Value(), 200);
    TComponent::Free(form);
}
