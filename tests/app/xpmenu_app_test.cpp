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
