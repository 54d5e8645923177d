// The gradient panel: its first parent comes only from a windowed owner, a
// resize without a parent paints nothing, and the caption with its shadow as
// painted into a memory DC.
#include <gtest/gtest.h>

#include <set>

#include "controls/ControlPixels.h"
#include "controls/KstGradientPanel.h"
#include "support/UiTestUtil.h"
#include "ui/GdiObjects.h"

using controls::TKstGradientPanel;
using vsk::test::ClientPixels;
using namespace ui;

TEST(GradientPanel, OnlyAWindowedOwnerBecomesTheParent) {
    auto* holder = new TComponent(nullptr);  // owns, but is no control
    auto* loose = TComponent::Create<TKstGradientPanel>(holder);
    EXPECT_EQ(loose->Parent(), nullptr);
    loose->SetBounds(0, 0, 200, 30);  // a resize with nowhere to paint
    EXPECT_FALSE(loose->HandleAllocated());
    TComponent::Free(holder);

    auto* form = vsk::test::NewBareForm(10, 10, 300, 100);
    auto* panel = TComponent::Create<TKstGradientPanel>(form);
    EXPECT_EQ(panel->Parent(), form);
    TComponent::Free(form);
}

TEST(GradientPanel, CaptionFollowsTheNameAndStandsByAlignment) {
    auto* form = vsk::test::NewBareForm(10, 10, 300, 100);
    auto* panel = TComponent::Create<TKstGradientPanel>(form);
    panel->SetName("Heading");
    EXPECT_EQ(panel->Caption(), "Heading");
    panel->SetCaption("Own");
    panel->SetName("Other");
    EXPECT_EQ(panel->Caption(), "Own");

    panel->SetBounds(0, 0, 161, 17);
    struct Case {
        TAlignment a;
        int x;
    };
    for (const Case& c : {Case{taLeftJustify, 4}, Case{taRightJustify, 161 - 40 - 4}, Case{taCenter, 60}}) {
        panel->SetAlignment(c.a);
        EXPECT_EQ(panel->CaptionPos(40, 13).x, c.x);
        EXPECT_EQ(panel->CaptionPos(40, 13).y, 2) << "a 13-pixel caption in 17 pixels";
    }
    panel->SetAlignment(taCenter);
    EXPECT_EQ(panel->CaptionPos(41, 13).x, 60) << "60.0 exactly";
    EXPECT_EQ(panel->CaptionPos(40, 14).y, 2) << "1.5 goes to the even 2";
    TComponent::Free(form);
}

TEST(GradientPanel, PaintsTheGradientAndTheShadowedCaption) {
    struct Case {
        const char* caption;
        int dx, dy;
        bool ink, shadow;
    };
    const Case cases[] = {
        {"", 1, 1, false, false},
        {"MMMM", 0, 0, true, false},  // the shadow hides right under the caption
        {"MMMM", 2, 2, true, true},
    };
    for (const Case& c : cases) {
        auto* form = vsk::test::NewBareForm(10, 10, 300, 100);
        auto* panel = TComponent::Create<TKstGradientPanel>(form);
        panel->SetBounds(0, 0, 160, 30);
        panel->SetStartColor(0x000000);
        panel->SetEndColor(0xFFFFFF);
        panel->SetShadowColor(0x0000FF);
        panel->Font()->SetColor(0x00FF00);
        panel->SetCaption(c.caption);
        panel->SetShadowOffsetX(c.dx);
        panel->SetShadowOffsetY(c.dy);
        form->Show();
        ClientPixels p(panel->Handle(), 160, 30);
        EXPECT_LT(GetRValue(p.At(0, 28)), 8) << "the start colour at the left";
        EXPECT_GT(GetRValue(p.At(159, 28)), 247) << "the end colour at the right";
        bool ink = false, shadow = false;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 160; ++x) {
                const COLORREF v = p.At(x, y);
                ink |= v == 0x00FF00;
                shadow |= v == 0x0000FF;
            }
        EXPECT_EQ(ink, c.ink) << '"' << c.caption << "\" offsets " << c.dx;
        EXPECT_EQ(shadow, c.shadow) << '"' << c.caption << "\" offsets " << c.dx;
        TComponent::Free(form);
    }
}
