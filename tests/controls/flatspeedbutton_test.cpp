// The flat speed button under real mouse and keyboard messages: its face in
// each state, groups, AllowAllUp, the accelerator and the guards.
#include <gtest/gtest.h>

#include <vector>

#include "controls/FlatSpeedButton.h"
#include "ui/ActnList.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ControlTestUtil.h"

using controls::TFlatSpeedButton;
using ctltest::PixelOf;
using namespace ui;

namespace {

struct Counter {
    int n = 0;
    void Count(TObject*) { ++n; }
};

// A shown form with buttons placed in a row at y 10, 60 x 25 each.
struct Row {
    TForm* f;
    std::vector<TFlatSpeedButton*> b;
    std::vector<Counter> clicks;
    explicit Row(int n, int group = 0) : clicks(static_cast<size_t>(n)) {
        f = vsk::test::NewBareForm(80, 80, 300, 60);
        f->SetColor(0xE1EAEB);
        for (int i = 0; i < n; ++i) {
            auto* s = TComponent::Create<TFlatSpeedButton>(f);
            s->SetParent(f);
            s->SetBounds(10 + 70 * i, 10, 60, 25);
            s->SetCaption(std::string("&") + char('a' + i) + "bc");
            s->SetGroupIndex(group);
            s->OnClick = TNotifyEvent(&clicks[static_cast<size_t>(i)], &Counter::Count);
            b.push_back(s);
        }
        f->Show();
        SetForegroundWindow(f->Handle());
        vsk::test::PumpUntil([&] { return GetActiveWindow() == f->Handle(); });
    }
    ~Row() { TComponent::Free(f); }
    // Mouse messages as the form's window receives them, at a point of button i.
    void Send(UINT msg, int i, int x = 5, int y = 5, WPARAM keys = 0) {
        SendMessageA(f->Handle(), msg, keys, MAKELPARAM(b[static_cast<size_t>(i)]->Left() + x, 10 + y));
    }
    void Click(int i) {
        Send(WM_MOUSEMOVE, i);
        Send(WM_LBUTTONDOWN, i, 5, 5, MK_LBUTTON);
        Send(WM_LBUTTONUP, i);
    }
};

}  // namespace

TEST(FlatSpeedButton, EachStateHasItsFaceAndFrame) {
    Row r(1);
    TFlatSpeedButton* s = r.b[0];
    s->SetColorFocused(0x00FF00);  // told apart from the normal face
    struct Case {
        const char* what;
        TColor face, topLeft, bottomRight;
    };
    auto check = [&](const Case& c) {
        auto shot = ctltest::Snapshot(s);
        EXPECT_EQ(gditest::PixelAt(*shot, 3, 12), c.face) << c.what;
        EXPECT_EQ(gditest::PixelAt(*shot, 0, 12), c.topLeft) << c.what;
        EXPECT_EQ(gditest::PixelAt(*shot, 59, 12), c.bottomRight) << c.what;
    };
    check({"normal", 0xE1EAEB, s->ColorBorder(), s->ColorBorder()});
    r.Send(WM_MOUSEMOVE, 0);
    ASSERT_TRUE(s->Hot());
    check({"hot", 0x00FF00, s->ColorHighLight(), s->ColorShadow()});
    r.Send(WM_LBUTTONDOWN, 0, 5, 5, MK_LBUTTON);
    EXPECT_EQ(s->ButtonState(), TFlatSpeedButton::bsDown);
    check({"down", s->ColorDown(), s->ColorShadow(), s->ColorHighLight()});
    r.Send(WM_MOUSEMOVE, 0, 100, 5, MK_LBUTTON);
    EXPECT_EQ(s->ButtonState(), TFlatSpeedButton::bsUp) << "a held pointer off the button";
    r.Send(WM_LBUTTONUP, 0, 100, 5);
    EXPECT_EQ(r.clicks[0].n, 0) << "a release outside is no click";
    s->SetEnabled(false);
    check({"disabled", 0xE1EAEB, s->ColorBorder(), s->ColorBorder()});
    s->SetEnabled(true);
    s->SetTransparentMode(controls::tmAlways);
    s->SetGroupIndex(1);
    s->SetDown(true);
    check({"latched, not filled", 0xE1EAEB, s->ColorShadow(), s->ColorHighLight()});
}

TEST(FlatSpeedButton, GroupKeepsOneDownAndAllowAllUpReleases) {
    Row r(3, 1);
    r.b[1]->SetDown(true);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(r.clicks[static_cast<size_t>(k)].n, 0) << "writing Down clicked";
    r.Click(0);
    EXPECT_TRUE(r.b[0]->Down());
    EXPECT_FALSE(r.b[1]->Down());
    EXPECT_EQ(r.b[1]->ButtonState(), TFlatSpeedButton::bsUp);
    EXPECT_EQ(r.clicks[0].n, 1);
    r.Click(0);
    EXPECT_TRUE(r.b[0]->Down()) << "a latched button came up without AllowAllUp";
    EXPECT_EQ(r.clicks[0].n, 2) << "the click on a down button still runs OnClick";
    r.b[0]->SetDown(false);
    EXPECT_TRUE(r.b[0]->Down());

    r.b[2]->SetAllowAllUp(true);  // shared with the whole group
    EXPECT_TRUE(r.b[0]->AllowAllUp());
    r.Click(0);
    EXPECT_FALSE(r.b[0]->Down());
    r.b[2]->SetDown(true);
    r.b[2]->SetDown(false);
    EXPECT_FALSE(r.b[2]->Down());

    Row single(1);
    single.b[0]->SetDown(true);
    EXPECT_FALSE(single.b[0]->Down()) << "a button without group never stays down";
}

TEST(FlatSpeedButton, RightReleaseAndDoubleClickAndModalResult) {
    Row r(2, 1);
    r.Send(WM_MOUSEMOVE, 0);
    r.Send(WM_LBUTTONDOWN, 0, 5, 5, MK_LBUTTON);
    r.Send(WM_RBUTTONUP, 0);
    EXPECT_EQ(r.clicks[0].n, 0) << "a right release completed the left press";
    EXPECT_TRUE(r.b[0]->Tracking());
    r.Send(WM_LBUTTONUP, 0);
    EXPECT_EQ(r.clicks[0].n, 1);

    Counter dbl;
    r.b[1]->OnDblClick = TNotifyEvent(&dbl, &Counter::Count);
    r.Send(WM_LBUTTONDBLCLK, 1, 5, 5, MK_LBUTTON);
    r.Send(WM_LBUTTONUP, 1);
    EXPECT_EQ(dbl.n, 0) << "a double click on an up button";
    r.Send(WM_LBUTTONDBLCLK, 1, 5, 5, MK_LBUTTON);
    EXPECT_EQ(dbl.n, 1);
    r.Send(WM_LBUTTONUP, 1);

    r.f->SetModalResult(mrOk);
    r.b[1]->SetModalResult(mrNone);
    r.b[1]->Click();
    EXPECT_EQ(r.f->ModalResult(), mrNone);
    r.f->SetModalResult(mrNone);

    TFlatSpeedButton loose(nullptr);
    Counter c;
    loose.OnClick = TNotifyEvent(&c, &Counter::Count);
    loose.Click();  // no parent form
    EXPECT_EQ(c.n, 1);
}

TEST(FlatSpeedButton, AcceleratorClicksOnceAndLatchesInAGroup) {
    Row r(2, 1);
    r.f->Perform(CM_DIALOGCHAR, 'b', 0);
    EXPECT_TRUE(r.b[1]->Down()) << "the accelerator ran the click without latching";
    EXPECT_EQ(r.clicks[1].n, 1);
    r.f->Perform(CM_DIALOGCHAR, 'a', 0);
    EXPECT_TRUE(r.b[0]->Down());
    EXPECT_FALSE(r.b[1]->Down());
    r.b[0]->SetEnabled(false);
    EXPECT_EQ(r.f->Perform(CM_DIALOGCHAR, 'a', 0), 0);
    EXPECT_EQ(r.clicks[0].n, 1);
}

TEST(FlatSpeedButton, GlyphCountAndMargin) {
    TFlatSpeedButton s(nullptr);
    struct Case {
        int w, h, before, want;
    } cases[] = {{64, 16, 1, 4}, {96, 16, 2, 1}, {50, 16, 3, 3}, {32, 16, 1, 2}};
    for (const Case& c : cases) {
        s.SetNumGlyphs(c.before);
        TBitmap g(c.w, c.h);
        s.SetGlyph(&g);
        EXPECT_EQ(s.NumGlyphs(), c.want) << c.w << "x" << c.h;
    }
    s.SetNumGlyphs(0);
    EXPECT_EQ(s.NumGlyphs(), 1);
    s.SetNumGlyphs(9);
    EXPECT_EQ(s.NumGlyphs(), 4);
    s.SetMargin(-2);
    EXPECT_EQ(s.Margin(), -1);
    s.SetMargin(3);
    s.SetMargin(-1);
    EXPECT_EQ(s.Margin(), -1);
}

TEST(FlatSpeedButton, GlyphCellFollowsTheState) {
    Row r(1, 1);
    TFlatSpeedButton* s = r.b[0];
    s->SetCaption("");
    // Four 8 x 8 cells on a magenta ground, each a different colour square.
    TBitmap g(32, 8);
    g.Canvas()->Brush()->SetColor(0xFF00FF);
    g.Canvas()->FillRect(Rect(0, 0, 32, 8));
    const TColor cells[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};
    for (int i = 0; i < 4; ++i) {
        g.Canvas()->Brush()->SetColor(cells[i]);
        g.Canvas()->FillRect(Rect(8 * i + 2, 2, 8 * i + 6, 6));
    }
    s->SetGlyph(&g);
    ASSERT_EQ(s->NumGlyphs(), 4);
    auto centre = [&] {
        auto shot = ctltest::Snapshot(s);
        return gditest::PixelAt(*shot, s->GlyphPoint().x + 4, s->GlyphPoint().y + 4);
    };
    EXPECT_EQ(centre(), cells[0]);
    EXPECT_EQ(PixelOf(s, s->GlyphPoint().x, s->GlyphPoint().y), TColor(0xE1EAEB)) << "magenta is transparent";
    r.Send(WM_MOUSEMOVE, 0);
    r.Send(WM_LBUTTONDOWN, 0, 5, 5, MK_LBUTTON);
    EXPECT_EQ(centre(), cells[2]);
    r.Send(WM_LBUTTONUP, 0);
    ASSERT_TRUE(s->Down());
    EXPECT_EQ(centre(), cells[3]);
    s->SetEnabled(false);
    EXPECT_EQ(centre(), cells[1]);
}

namespace {
// A click's handler during which the pointer moves elsewhere, as it does
// while a dialog the handler opens is up; the button's window hears nothing.
struct PointerMover {
    TPoint to;
    void Move(TObject*) { SetCursorPos(to.x, to.y); }
};
}  // namespace

TEST(FlatSpeedButton, HoverFollowsThePointerAfterAClickAndAfterBeingEnabledAgain) {
    Row r(1);
    TFlatSpeedButton* s = r.b[0];
    s->SetColorFocused(0x00FF00);
    const TColor hot = 0x00FF00, idle = 0xE1EAEB;

    ctltest::PointerAt(s, 5, 5);
    PointerMover away{r.f->ClientToScreen(Point(250, 40))};
    s->OnClick = TNotifyEvent(&away, &PointerMover::Move);
    r.Click(0);
    EXPECT_FALSE(s->Hot()) << "the release took the pointer for over the button after the handler moved it";
    EXPECT_EQ(PixelOf(s, 3, 12), idle) << "drawn hot after the click";

    s->OnClick = nullptr;
    ctltest::PointerAt(s, 5, 5);
    r.Click(0);
    EXPECT_TRUE(s->Hot()) << "the pointer rests on the button after the click";

    // Disabled under the pointer and enabled again: hot at once, no move.
    s->SetEnabled(false);
    EXPECT_FALSE(s->Hot());
    s->SetEnabled(true);
    EXPECT_TRUE(s->Hot()) << "enabled again under the pointer";
    EXPECT_EQ(PixelOf(s, 3, 12), hot);
}

TEST(FlatSpeedButton, TheHoverEndsWhenThePointerLeavesUnheard) {
    Row r(1);
    TFlatSpeedButton* s = r.b[0];
    ctltest::PointerAt(s, 5, 5);
    r.Send(WM_MOUSEMOVE, 0);
    ASSERT_TRUE(s->Hot());
    const TPoint blank = r.f->ClientToScreen(Point(250, 40));
    SetCursorPos(blank.x, blank.y);
    EXPECT_TRUE(ctltest::PumpTimersUntil([&] { return !s->Hot(); })) << "still hot with the pointer elsewhere";
    EXPECT_EQ(PixelOf(s, 3, 12), TColor(0xE1EAEB));
    vsk::test::Drain();
}

TEST(FlatSpeedButton, ActionGivesCaptionStateImageAndClick) {
    Row r(2);
    TFlatSpeedButton* s = r.b[0];
    s->SetCaption("");
    s->OnClick = nullptr;
    auto* images = TComponent::Create<TImageList>(r.f);
    TBitmap blue(16, 16);  // a blue square on a see-through ground
    blue.Canvas()->Brush()->SetColor(0xFF00FF);
    blue.Canvas()->FillRect(Rect(0, 0, 16, 16));
    blue.Canvas()->Brush()->SetColor(0xFF0000);
    blue.Canvas()->FillRect(Rect(4, 4, 12, 12));
    images->AddMasked(&blue, 0xFF00FF);
    auto* list = TComponent::Create<TActionList>(r.f);
    list->SetImages(images);
    auto* action = TComponent::Create<TAction>(r.f);
    action->SetActionList(list);
    action->SetImageIndex(0);
    action->SetCaption("Go");
    Counter runs;
    action->OnExecute = TNotifyEvent(&runs, &Counter::Count);

    s->SetAction(action);
    EXPECT_EQ(s->Caption(), "Go");
    ASSERT_EQ(s->Glyph()->Width(), 16) << "the action's image as the glyph";
    auto shot = ctltest::Snapshot(s);
    EXPECT_EQ(gditest::PixelAt(*shot, s->GlyphPoint().x + 8, s->GlyphPoint().y + 8), TColor(0xFF0000));
    EXPECT_EQ(gditest::PixelAt(*shot, s->GlyphPoint().x + 1, s->GlyphPoint().y + 8), TColor(0xE1EAEB));
    ctltest::PointerAt(s, 5, 5);
    r.Click(0);
    EXPECT_EQ(runs.n, 1) << "a click without OnClick runs the action";
    action->SetEnabled(false);
    EXPECT_FALSE(s->Enabled()) << "the action's change reaches the button";

    // A button with a glyph of its own keeps it; its own OnClick wins.
    TFlatSpeedButton* t = r.b[1];
    TBitmap green(8, 8);
    green.Canvas()->Brush()->SetColor(0x00FF00);
    green.Canvas()->FillRect(Rect(0, 0, 8, 8));
    t->SetGlyph(&green);
    action->SetEnabled(true);
    t->SetAction(action);
    EXPECT_EQ(t->Glyph()->Width(), 8);
    r.Click(1);
    EXPECT_EQ(r.clicks[1].n, 1);
    EXPECT_EQ(runs.n, 1);

    TComponent::Free(action);
    EXPECT_EQ(s->Action(), nullptr) << "the freed action still held";
    r.Click(0);
}
