// TLabeledEdit keeps its label beside it; TStaticText sizes itself and hands
// its accelerator on.
#include <gtest/gtest.h>

#include "support/Owned.h"
#include "support/UiTestUtil.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"

using namespace ui;
using vsk::test::PumpUntil;

TEST(LabeledEdit, TheLabelStaysBesideTheEditWhereverItGoes) {
    TForm* f = vsk::test::NewBareForm(0, 0, 400, 300);
    auto* edit = TComponent::Create<TLabeledEdit>(f);
    edit->SetParent(f);
    TBoundLabel* label = edit->EditLabel();
    label->SetCaption("Password");
    EXPECT_EQ(label->Parent(), f) << "the label shares the edit's parent";

    struct Case {
        TLabelPosition pos;
        const char* what;
    };
    for (const Case& c :
         {Case{lpAbove, "above"}, Case{lpBelow, "below"}, Case{lpLeft, "left"}, Case{lpRight, "right"}}) {
        SCOPED_TRACE(c.what);
        edit->SetLabelPosition(c.pos);
        edit->SetBounds(120, 100, 100, 21);
        const TRect e = edit->BoundsRect(), l = label->BoundsRect();
        switch (c.pos) {
        case lpAbove:
            EXPECT_EQ(l.bottom + 3, e.top);
            EXPECT_EQ(l.left, e.left);
            break;
        case lpBelow:
            EXPECT_EQ(l.top, e.bottom + 3);
            EXPECT_EQ(l.left, e.left);
            break;
        case lpLeft: EXPECT_EQ(l.right + 3, e.left); break;
        case lpRight: EXPECT_EQ(l.left, e.right + 3); break;
        }
    }
    // A longer caption widens the label, which keeps its gap on the left.
    edit->SetLabelPosition(lpLeft);
    label->SetCaption("Confirm password");
    EXPECT_EQ(label->BoundsRect().right + 3, edit->Left());

    edit->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    edit->SetVisible(false);
    EXPECT_FALSE(label->Visible());

    const int before = f->ControlCount();
    TComponent::Free(edit);
    EXPECT_EQ(f->ControlCount(), before - 2) << "the label goes with its edit";
    TComponent::Free(f);
}

TEST(LabeledEdit, TheLabelsAcceleratorFocusesTheEdit) {
    vsk::test::Owned f{vsk::test::NewBareForm(50, 50, 300, 200)};
    auto* other = TComponent::Create<TEdit>(f);
    other->SetParent(f);
    auto* edit = TComponent::Create<TLabeledEdit>(f);
    edit->SetParent(f);
    edit->SetBounds(10, 60, 100, 21);
    edit->EditLabel()->SetCaption("&Password");
    f->Show();
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return other->Focused(); }));
    EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'p'), 1);
    EXPECT_TRUE(PumpUntil([&] { return edit->Focused(); }));
    f.Free();
}

TEST(StaticText, SizesItselfToItsTextAndPassesItsAcceleratorOn) {
    vsk::test::Owned f{vsk::test::NewBareForm(50, 50, 300, 200)};
    auto* target = TComponent::Create<TEdit>(f);
    target->SetParent(f);
    auto* text = TComponent::Create<TStaticText>(f);
    text->SetParent(f);
    text->SetBounds(10, 60, 10, 10);
    text->SetCaption("&Name");
    const int shortWidth = text->Width();
    EXPECT_GT(shortWidth, 10);
    text->SetCaption("&Name of the program");
    EXPECT_GT(text->Width(), shortWidth);
    char cls[64] = {};
    GetClassNameA(text->Handle(), cls, sizeof cls);
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), cls, &wc));
    char shown[64] = {};
    GetWindowTextA(text->Handle(), shown, sizeof shown);
    EXPECT_STREQ(shown, "&Name of the program");

    text->SetFocusControl(target);
    f->Show();
    EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'n'), 1);
    EXPECT_TRUE(PumpUntil([&] { return target->Focused(); }));
    EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'x'), 0);
    TComponent::Free(target);
    EXPECT_EQ(text->FocusControl(), nullptr) << "a freed focus control is forgotten";
    f.Free();
}

TEST(RadioGroup, OwnsOneButtonPerItemAndTracksTheCheckedOne) {
    vsk::test::Owned f{vsk::test::NewBareForm(0, 0, 300, 300)};
    auto* group = TComponent::Create<TRadioGroup>(f);
    group->SetParent(f);
    group->SetBounds(10, 10, 200, 120);
    int clicks = 0;
    static int* counter = nullptr;
    counter = &clicks;
    group->OnClick = TNotifyEvent(+[](TObject*) { ++*counter; });

    group->SetItems({"One", "Two", "Three"});
    ASSERT_EQ(group->ComponentCount(), 3) << "the group owns its buttons";
    for (int i = 0; i < 3; ++i) {
        TRadioButton* b = group->Buttons(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Parent(), group);
        EXPECT_EQ(b->Caption(), group->Items()[static_cast<size_t>(i)]);
        if (i > 0) {
            EXPECT_GT(b->Top(), group->Buttons(i - 1)->Top()) << "one column, top to bottom";
        }
        EXPECT_LE(b->Top() + b->Height(), group->Height()) << "inside the frame";
    }
    EXPECT_EQ(group->ItemIndex(), -1);

    group->SetItemIndex(1);
    EXPECT_TRUE(group->Buttons(1)->Checked());
    group->Buttons(2)->SetChecked(true);  // as a click on it does
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_EQ(clicks, 2);
    group->SetItemIndex(-1);
    EXPECT_FALSE(group->Buttons(2)->Checked());
    group->SetItemIndex(7);
    EXPECT_EQ(group->ItemIndex(), -1) << "an index beyond the items chooses nothing";

    // A button freed on its own leaves no dangling slot; new items replace
    // every button.
    group->SetItemIndex(0);
    TComponent::Free(group->Buttons(0));
    EXPECT_EQ(group->Buttons(0), nullptr);
    EXPECT_EQ(group->ItemIndex(), -1);
    group->SetItems({"A", "B"});
    EXPECT_EQ(group->ComponentCount(), 2);
    EXPECT_EQ(group->Buttons(0)->Caption(), "A");
    EXPECT_EQ(group->Buttons(2), nullptr);
    f.Free();
}
