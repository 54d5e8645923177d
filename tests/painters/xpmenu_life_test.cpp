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
