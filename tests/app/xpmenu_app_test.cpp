// The main window's flat-look painter: on from the start, bringing the flat
// look to the password prompt, and switched off with every control put back
// when the main window goes.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "painters/XPMenuManager.h"

using painters::TControlSubClass;

class XPMenuAppTest : public AppTest {};

TEST_F(XPMenuAppTest, PromptIsFlatWhileTheMainWindowLivesAndRestoredWhenItGoes) {
    painters::TXPMenu* m = MainForm->XPMenu1;
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->Active());
    EXPECT_TRUE(m->FlatMenu());
    ASSERT_NE(painters::XPMenuManager, nullptr);
    EXPECT_EQ(painters::XPMenuManager->CurrentMenu(), m);

    TFormMainAppPasswordPrompt* p = FormMainAppPasswordPrompt;
    const ui::TWndMethod editProc = p->edPassword->WindowProc;
    ASSERT_TRUE(vsk::test::PumpUntil([&] {
        return TControlSubClass::Find(p->edPassword) && TControlSubClass::Find(p->btnOk) &&
               TControlSubClass::Find(p->btnExit);
    })) << "the prompt's edit and buttons are taken over";
    EXPECT_FALSE(p->edPassword->Ctl3D());

    ui::TComponent::Free(MainForm);
    MainForm = nullptr;
    EXPECT_EQ(painters::XPMenuManager, nullptr) << "the manager goes with the last painter";
    for (ui::TControl* c : {static_cast<ui::TControl*>(p->edPassword), static_cast<ui::TControl*>(p->btnOk)})
        EXPECT_EQ(TControlSubClass::Find(c), nullptr);
    EXPECT_TRUE(p->edPassword->WindowProc == editProc);
    EXPECT_TRUE(p->edPassword->Ctl3D());
    p->edPassword->Perform(WM_NULL);  // nothing left pointing at freed objects
}

// The prompt shown: its buttons and edit are painted flat over their own
// look. With VSK_SHOT_READY and VSK_SHOT_DONE set (tools/test-screenshot.sh
// app_xpmenu_test dialog) it stays up until a picture of the display is taken.
TEST_F(XPMenuAppTest, ShownPromptIsPaintedFlat) {
    TFormMainAppPasswordPrompt* p = FormMainAppPasswordPrompt;
    p->SetLeft(100);
    p->SetTop(100);
    p->Show();
    ASSERT_TRUE(vsk::test::PumpUntil([&] {
        auto* ok = TControlSubClass::Find(p->btnOk);
        auto* ed = TControlSubClass::Find(p->edPassword);
        return ok && ed && ok->PaintCount() > 0 && ed->PaintCount() > 0;
    }));
    // The button face near its top left corner, where no caption is, is the
    // menu's face colour (neither hot nor focused: the edit has the focus).
    p->edPassword->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return p->edPassword->Focused(); }));
    p->btnExit->Repaint();
    HDC dc = GetWindowDC(p->btnExit->Handle());
    const COLORREF face = GetPixel(dc, 4, 4);
    ReleaseDC(p->btnExit->Handle(), dc);
    EXPECT_EQ(face, static_cast<COLORREF>(ui::ColorToRGB(MainForm->XPMenu1->IconColumnColor())));

    const char* ready = getenv("VSK_SHOT_READY");
    const char* done = getenv("VSK_SHOT_DONE");
    if (ready && done) {
        HANDLE f = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        vsk::test::PumpUntil([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 10000);
    }
    p->Hide();
}
