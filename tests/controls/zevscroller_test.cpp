// The scroller: clamped writes that raise nothing, keys, arrows with their
// repeat (timers driven by hand), the groove, the thumb and the guards.
#include <gtest/gtest.h>

#include <vector>

#include "controls/ZevScroller.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ControlTestUtil.h"

using namespace controls;
using namespace ui;

namespace {

struct Changes {
    std::vector<int> seen;
    void OnChange(TObject*, int pos) { seen.push_back(pos); }
};

struct OnForm {
    TForm* f;
    TZevScroller* s;
    Changes c;
    explicit OnForm(TKindd kind = tbHorizontal) {
        f = vsk::test::NewBareForm(100, 100, 200, 200);
        s = TComponent::Create<TZevScroller>(f);
        s->SetParent(f);
        s->SetKind(kind);
        if (kind == tbHorizontal)
            s->SetBounds(10, 10, 130, 21);
        else
            s->SetBounds(10, 10, 21, 130);
        s->OnChange() = TOnScroll(&c, &Changes::OnChange);
        f->Show();
        SetForegroundWindow(f->Handle());
        vsk::test::PumpUntil([&] { return GetActiveWindow() == f->Handle(); });
    }
    ~OnForm() { TComponent::Free(f); }
    // Mouse messages to a part's window (or its parent's, for an arrow).
    void Mouse(TControl* part, UINT msg, int x, int y, WPARAM keys = 0) {
        if (auto* w = dynamic_cast<TWinControl*>(part)) {
            SendMessageA(w->Handle(), msg, keys, MAKELPARAM(x, y));
        } else {
            SendMessageA(part->Parent()->Handle(), msg, keys, MAKELPARAM(part->Left() + x, part->Top() + y));
        }
    }
};

}  // namespace

TEST(ZevScroller, WritesClampAndRaiseNothing) {
    OnForm t;
    TZevScroller* s = t.s;
    struct Case {
        int min, write, want;
    } cases[] = {{0, 150, 100}, {0, -5, 0}, {-10, -5, -5}, {-10, -15, -10}, {-10, 40, 40}};
    for (const Case& c : cases) {
        s->SetMin(c.min);
        s->SetPosition(c.write);
        EXPECT_EQ(s->Position(), c.want) << "Min " << c.min << ", wrote " << c.write;
    }
    s->SetMin(0);
    s->SetPosition(80);
    s->SetMax(50);
    EXPECT_EQ(s->Max(), 80) << "Max fell below Position";
    s->SetMax(100);
    s->SetPosition(40);
    s->SetMin(60);
    EXPECT_EQ(s->Position(), 60);
    EXPECT_TRUE(t.c.seen.empty()) << "a write raised OnChange";
    EXPECT_EQ(s->Track()->Thumb()->Caption(), "60");
    // The thumb sits where the mapping puts it.
    s->SetMin(0);
    s->SetPosition(50);
    EXPECT_EQ(s->Track()->Thumb()->Left(), ScrollerPositionToOffset(50, 0, 100, s->Track()->FreeLength()));
}

TEST(ZevScroller, KeysStepPageAndJumpAndEachNotifies) {
    OnForm t;
    TZevScroller* s = t.s;
    s->SetLargeChange(10);
    s->SetSmallChange(3);
    s->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return s->Focused(); }));
    struct Step {
        WORD key;
        int want;
    } steps[] = {{VK_HOME, 0},  {VK_RIGHT, 3}, {VK_DOWN, 6},  {VK_LEFT, 3},  {VK_NEXT, 13},
                 {VK_PRIOR, 3}, {VK_UP, 0},    {VK_END, 100}, {VK_NEXT, 100}};
    std::vector<int> want;
    for (const Step& st : steps) {
        ctltest::PressKey(s->Handle(), st.key);
        EXPECT_EQ(s->Position(), st.want) << "key " << st.key;
        want.push_back(st.want);
    }
    EXPECT_EQ(t.c.seen, want) << "every key notifies once, also at a limit";
    EXPECT_EQ(s->Track()->Thumb()->BevelInner(), bvLowered) << "the focus cue";
}

TEST(ZevScroller, ArrowsStepAtReleaseAndRepeatWhileHeld) {
    OnForm t;
    TZevScroller* s = t.s;
    TButtonDown* down = s->ButtonDown();
    int rdClicks = 0;
    struct Count {
        int* n;
        void Hit(TObject*) { ++*n; }
    } counter{&rdClicks};
    s->OnClickBtnRD() = TNotifyEvent(&counter, &Count::Hit);

    t.Mouse(down, WM_RBUTTONDOWN, 5, 5, MK_RBUTTON);
    EXPECT_FALSE(down->Timers.Start->Enabled()) << "a right press started the repeat";
    t.Mouse(down, WM_RBUTTONUP, 5, 5);
    EXPECT_EQ(s->Position(), 0);

    t.Mouse(down, WM_MOUSEMOVE, 5, 5);
    t.Mouse(down, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    ASSERT_TRUE(down->Timers.Start->Enabled());
    EXPECT_EQ(s->Position(), 0) << "the press alone steps nothing";
    down->Timers.Start->OnTimer(down->Timers.Start);
    EXPECT_FALSE(down->Timers.Start->Enabled());
    ASSERT_TRUE(down->Timers.Repeat->Enabled());
    down->Timers.Repeat->OnTimer(down->Timers.Repeat);
    down->Timers.Repeat->OnTimer(down->Timers.Repeat);
    EXPECT_EQ(s->Position(), 2);
    t.Mouse(down, WM_LBUTTONUP, 5, 5);
    EXPECT_FALSE(down->Timers.Repeat->Enabled());
    EXPECT_EQ(s->Position(), 3) << "one more step at the release";
    EXPECT_EQ(rdClicks, 3);
    EXPECT_EQ(t.c.seen, (std::vector<int>{1, 2, 3}));

    TButtonUp* up = s->ButtonUp();
    t.Mouse(up, WM_MOUSEMOVE, 5, 5);
    t.Mouse(up, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    t.Mouse(up, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(s->Position(), 2);
    EXPECT_EQ(s->RepeatStartDelay(), 150u);
    EXPECT_EQ(up->Timers.Start->Interval(), 150u);
    EXPECT_EQ(up->Timers.Repeat->Interval(), 50u);
}

TEST(ZevScroller, GroovePagesTowardThePressAndTheThumbDrags) {
    OnForm t;
    TZevScroller* s = t.s;
    s->SetMax(65535);
    s->SetLargeChange(1000);
    TScroller* track = s->Track();
    TTraka* groove = track->Groove();
    const int beyond = track->Thumb()->Left() + track->Thumb()->Width() + 10 - groove->Left();
    t.Mouse(groove, WM_LBUTTONDOWN, beyond, 2, MK_LBUTTON);
    groove->Timers.Start->OnTimer(groove->Timers.Start);
    groove->Timers.Repeat->OnTimer(groove->Timers.Repeat);
    EXPECT_EQ(s->Position(), 1000);
    t.Mouse(groove, WM_LBUTTONUP, beyond, 2);
    EXPECT_EQ(s->Position(), 2000);
    EXPECT_FALSE(groove->Timers.Repeat->Enabled());

    // Dragging the thumb: the position follows the mapping of its offset.
    s->SetPosition(0);
    t.c.seen.clear();
    TSetac* thumb = track->Thumb();
    t.Mouse(thumb, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    t.Mouse(thumb, WM_MOUSEMOVE, 6, 5, MK_LBUTTON);
    EXPECT_EQ(thumb->Left(), 1);
    EXPECT_EQ(s->Position(), ScrollerOffsetToPosition(1, 0, 65535, track->FreeLength()));
    t.Mouse(thumb, WM_MOUSEMOVE, 500, 5, MK_LBUTTON);
    EXPECT_EQ(thumb->Left(), track->FreeLength()) << "dragged past the end";
    EXPECT_EQ(s->Position(), 65535);
    t.Mouse(thumb, WM_LBUTTONUP, 500, 5);
    EXPECT_EQ(t.c.seen.size(), 2u);
    EXPECT_EQ(thumb->Caption(), "65535");
}

TEST(ZevScroller, EnablingKindHintAndArrowPictures) {
    OnForm t(tbVertical);
    TZevScroller* s = t.s;
    s->SetPosition(7);
    s->SetEnabled(false);
    EXPECT_FALSE(s->ButtonUp()->Enabled());
    EXPECT_EQ(s->Track()->Thumb()->Caption(), "");
    s->SetEnabled(true);
    EXPECT_TRUE(s->ButtonDown()->Enabled());
    EXPECT_EQ(s->Track()->Thumb()->Caption(), "7");
    // Vertical parts: arrows of 13 pixels at the ends, the thumb moves down.
    EXPECT_TRUE(s->ButtonDown()->BoundsRect() == Rect(1, 130 - 14, 20, 130 - 1));
    EXPECT_EQ(s->Track()->Thumb()->Width(), 21 - 2);
    // The down arrow's picture: black on a see-through ground.
    auto shot = ctltest::Snapshot(s->ButtonDown());
    int black = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 19; ++x) black += gditest::PixelAt(*shot, x, y) == TColor(0);
    EXPECT_EQ(black, 1 + 3 + 5 + 7) << "the down triangle";

    s->SetHint("Volume");
    s->SetHintSecondLine("");
    EXPECT_EQ(s->Hint(), "Volume");
    s->SetHintSecondLine("drag it");
    EXPECT_EQ(s->Hint(), "Volume\rdrag it");

    TZevScroller loose(nullptr);  // laid out without a window
    loose.SetKind(tbVertical);
    EXPECT_EQ(loose.Track()->Kind(), sbVertical);
}
