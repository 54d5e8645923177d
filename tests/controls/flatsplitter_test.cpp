// The splitter driven by real mouse and key messages: size limits, Esc
// restoring the size and the borrowed key handler, the inverted line that a
// second inversion takes away, and presses that come without a release.
#include <gtest/gtest.h>

#include <vector>

#include "controls/FlatSplitter.h"
#include "support/UiTestUtil.h"
#include "ui/StdCtrls.h"

using controls::TFlatSplitter;
using namespace ui;

namespace {
struct KeyLog {
    std::vector<WORD> keys;
    int moved = 0;
    void KeyDown(TObject*, WORD& Key, TShiftState) { keys.push_back(Key); }
    void Moved(TObject*) { ++moved; }
};

// A 400-pixel-wide form: a 306-pixel panel on the left, the splitter, and an
// edit (the active control) filling the rest.
struct SplitForm {
    TForm* form = vsk::test::NewBareForm(20, 20, 400, 200);
    TPanel* panel = TComponent::Create<TPanel>(form);
    TFlatSplitter* splitter = TComponent::Create<TFlatSplitter>(form);
    TEdit* edit = TComponent::Create<TEdit>(form);
    KeyLog log;
    SplitForm() {
        panel->SetParent(form);
        panel->SetBounds(0, 0, 306, 200);
        panel->SetAlign(alLeft);
        splitter->SetParent(form);
        splitter->SetLeft(306);
        edit->SetParent(form);
        edit->SetAlign(alClient);
        edit->OnKeyDown = TKeyEvent(&log, &KeyLog::KeyDown);
        splitter->OnMoved = TNotifyEvent(&log, &KeyLog::Moved);
        form->Show();
        SetForegroundWindow(form->Handle());
        edit->SetFocus();
    }
    ~SplitForm() { TComponent::Free(form); }
    // Mouse messages at form x (the splitter has no window of its own).
    void Mouse(UINT msg, int x, WPARAM keys = 0) { SendMessageA(form->Handle(), msg, keys, MAKELPARAM(x, 10)); }
    void Key(WORD vk) { SendMessageA(edit->Handle(), WM_KEYDOWN, vk, 1); }
    COLORREF ScreenPixel(int x, int y) {
        HDC dc = GetDC(form->Handle());
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(form->Handle(), dc);
        return c;
    }
};
}  // namespace

TEST(FlatSplitter, DragStopsAtTheSizeLimits) {
    struct Case {
        int to;
        int width;
    };
    // Limit: 400 - 30 - (306 + 5) + 306 = 365; the least is MinSize 30.
    for (const Case& c : {Case{2000, 365}, Case{-500, 30}, Case{350, 350}, Case{100, 100}}) {
        SplitForm f;
        ASSERT_TRUE(f.splitter->Align() == alLeft && f.splitter->Left() == 306);
        f.Mouse(WM_LBUTTONDOWN, 306, MK_LBUTTON);
        ASSERT_TRUE(f.splitter->Sizing());
        f.Mouse(WM_MOUSEMOVE, c.to, MK_LBUTTON);
        EXPECT_EQ(f.splitter->PendingSize(), c.width) << "to " << c.to;
        EXPECT_EQ(f.panel->Width(), 306) << "nothing applied before the release";
        f.Mouse(WM_LBUTTONUP, c.to);
        EXPECT_EQ(f.panel->Width(), c.width) << "to " << c.to;
        EXPECT_FALSE(f.splitter->Sizing());
        EXPECT_EQ(f.log.moved, 1);
    }
}

TEST(FlatSplitter, EscapeKeepsTheSizeAndGivesTheKeyHandlerBack) {
    SplitForm f;
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return f.edit->Focused(); }));
    const COLORREF before = f.ScreenPixel(200, 50);
    f.Mouse(WM_LBUTTONDOWN, 308, MK_LBUTTON);
    f.Mouse(WM_MOUSEMOVE, 200, MK_LBUTTON);
    EXPECT_TRUE(f.splitter->LineShown());
    EXPECT_NE(f.ScreenPixel(200, 50), before) << "the line is inverted";
    f.Key('A');
    EXPECT_EQ(f.log.keys, std::vector<WORD>{'A'}) << "other keys reach the edit's own handler";
    f.Key(VK_ESCAPE);
    EXPECT_FALSE(f.splitter->Sizing());
    EXPECT_FALSE(f.splitter->LineShown());
    EXPECT_EQ(f.ScreenPixel(200, 50), before) << "the second inversion restored the pixels";
    EXPECT_EQ(f.panel->Width(), 306);
    EXPECT_EQ(f.log.moved, 1);
    EXPECT_TRUE(f.edit->OnKeyDown == TKeyEvent(&f.log, &KeyLog::KeyDown)) << "the edit's handler is back";
    f.Mouse(WM_LBUTTONUP, 200);
    EXPECT_EQ(f.panel->Width(), 306) << "the release after Esc does nothing";
    EXPECT_EQ(f.log.moved, 1);
}

TEST(FlatSplitter, SecondPressWithoutReleaseAndOtherButtons) {
    SplitForm f;
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return f.edit->Focused(); }));
    const COLORREF before = f.ScreenPixel(250, 50);
    f.Mouse(WM_LBUTTONDOWN, 308, MK_LBUTTON);
    f.Mouse(WM_MOUSEMOVE, 250, MK_LBUTTON);
    // The release never comes: a second press.
    f.Mouse(WM_LBUTTONDOWN, 308, MK_LBUTTON);
    EXPECT_TRUE(f.splitter->Sizing());
    EXPECT_EQ(f.ScreenPixel(250, 50), before) << "the first drag's line stays on screen";
    f.Key('B');
    EXPECT_EQ(f.log.keys, std::vector<WORD>{'B'}) << "the key reached the edit's handler once";
    // A right button release does not end a left drag.
    f.Mouse(WM_MOUSEMOVE, 340, MK_LBUTTON);
    f.Mouse(WM_RBUTTONDOWN, 340, MK_RBUTTON | MK_LBUTTON);
    f.Mouse(WM_RBUTTONUP, 340, MK_LBUTTON);
    EXPECT_TRUE(f.splitter->Sizing());
    EXPECT_EQ(f.panel->Width(), 306);
    f.Mouse(WM_LBUTTONUP, 340);
    EXPECT_EQ(f.panel->Width(), 338);
    EXPECT_FALSE(f.splitter->LineShown());
    EXPECT_TRUE(f.edit->OnKeyDown == TKeyEvent(&f.log, &KeyLog::KeyDown));
}

TEST(FlatSplitter, NoNeighbourOrNoSideMeansNoDrag) {
    SplitForm f;
    f.panel->SetAlign(alNone);
    f.panel->SetBounds(0, 100, 50, 50);  // nothing adjoins the splitter now
    f.Mouse(WM_LBUTTONDOWN, 308, MK_LBUTTON);
    EXPECT_FALSE(f.splitter->Sizing());
    f.Mouse(WM_LBUTTONUP, 308);
    EXPECT_EQ(f.log.moved, 0);
}
