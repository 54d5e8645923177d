// The flat-look painter's life: what may own it, and how it lets go of the
// controls it took over however it ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>

#include "painters/XPMenu.h"
#include "support/PainterTestForm.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Exception.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

using namespace painters;
using namespace ui;
using namespace vsk::test;

TEST(XPLife, OnlyAFormAFrameOrAScrollBoxHoldsThePainter) {
    TForm* form = NewBareForm(40, 40, 300, 200);
    auto* panel = Add<TPanel>(form, 0, 0, 100, 50);
    auto* box = Add<TScrollBox>(form, 0, 60, 100, 50);
    auto* frame = Add<TFrame>(form, 120, 0, 100, 50);
    EXPECT_THROW(TComponent::Create<TXPMenu>(panel), EConvertError);
    EXPECT_THROW(TComponent::Create<TXPMenu>(Application), EConvertError);
    for (TWinControl* owner : std::initializer_list<TWinControl*>{form, box, frame}) {
        auto* m = TComponent::Create<TXPMenu>(owner);
        EXPECT_EQ(m->OwnerForm(), owner);
        TComponent::Free(m);
    }
    auto* ownerless = TComponent::Create<TXPMenu>(nullptr);
    EXPECT_EQ(ownerless->OwnerForm(), nullptr);
    TComponent::Free(ownerless);
    TComponent::Free(form);
}

// Freed the library's way or deleted outright, the painter gives its own
// form's controls their procedures and their sunken edges back.
TEST(XPLife, FreedEitherWayThePainterGivesItsFormsControlsBackWhole) {
    for (bool plainDelete : {false, true}) {
        SCOPED_TRACE(plainDelete ? "delete" : "Free");
        PaintedForm pf;
        auto* edit = Add<TEdit>(pf.form, 10, 10, 120, 24);
        auto* list = Add<TListBox>(pf.form, 10, 50, 120, 60);
        const TWndMethod editProc = edit->WindowProc, listProc = list->WindowProc;
        pf.Start();
        ASSERT_TRUE(TakenOver(edit) && TakenOver(list));
        ASSERT_FALSE(edit->Ctl3D());
        ASSERT_FALSE(list->Ctl3D());
        if (plainDelete) delete pf.menu;
        else TComponent::Free(pf.menu);
        pf.menu = nullptr;
        EXPECT_FALSE(TakenOver(edit) || TakenOver(list));
        EXPECT_TRUE(edit->WindowProc == editProc);
        EXPECT_TRUE(list->WindowProc == listProc);
        EXPECT_TRUE(edit->Ctl3D());
        EXPECT_TRUE(list->Ctl3D());
        EXPECT_EQ(edit->BorderStyle(), bsSingle);
        Drain();
    }
}
