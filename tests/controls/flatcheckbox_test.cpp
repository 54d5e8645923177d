// The check box contract the program's handlers rely on: every change of
// Checked runs OnClick once; a mouse click that toggles it runs it twice.
#include <gtest/gtest.h>

#include <vector>

#include "controls/FlatCheckBox.h"
#include "controls/FlatGroupBox.h"
#include "support/Owned.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ControlTestUtil.h"

using controls::AdjustColorLightness;
using controls::TFlatCheckBox;
using ctltest::LeftClick;
using ctltest::PixelOf;
using ctltest::PressKey;
using ctltest::Snapshot;
using namespace ui;

namespace {
struct Clicks {
    TFlatCheckBox* box = nullptr;
    std::vector<bool> seen;  // Checked as each OnClick saw it
    void OnClick(TObject*) { seen.push_back(box->Checked()); }
};
}  // namespace

TEST(FlatCheckBox, WritingCheckedRunsOnClickOncePerChange) {
    auto* f = TComponent::Create<TForm>(Application);
    auto* box = TComponent::Create<TFlatCheckBox>(f);
    box->SetParent(f);
    Clicks c{box, {}};
    box->OnClick = TNotifyEvent(&c, &Clicks::OnClick);
    box->SetChecked(false);
    EXPECT_TRUE(c.seen.empty()) << "an unchanged value ran OnClick";
    box->SetChecked(true);
    box->SetChecked(true);
    box->SetChecked(false);
    EXPECT_EQ(c.seen, (std::vector<bool>{true, false}));
    TComponent::Free(f);
}

TEST(FlatCheckBox, MouseClickRunsOnClickBeforeAndAfterTheToggle) {
    vsk::test::Owned f{TComponent::Create<TForm>(Application)};
    f->SetBorderStyle(bsNone);
    f->SetBounds(50, 50, 200, 60);
    auto* box = TComponent::Create<TFlatCheckBox>(f);
    box->SetParent(f);
    box->SetBounds(10, 10, 150, 17);
    f->Show();
    Application->ProcessMessages();
    Clicks c{box, {}};
    box->OnClick = TNotifyEvent(&c, &Clicks::OnClick);
    HWND h = box->Handle();
    // The box lights only in the active window, and leaves when the real
    // pointer is elsewhere: both as a person clicking it would have them.
    SetActiveWindow(f->Handle());
    POINT in{5, 5};
    ClientToScreen(h, &in);
    SetCursorPos(in.x, in.y);
    ASSERT_TRUE(vsk::test::PumpUntil([&] {
        POINT pt{};
        return GetActiveWindow() == f->Handle() && GetCursorPos(&pt) && pt.x == in.x && pt.y == in.y;
    })) << "the form did not become active under the pointer";
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // the hover comes first
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(c.seen, (std::vector<bool>{false, true}));

    c.seen.clear();
    SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(box->Checked()) << "a right click toggled";
    EXPECT_TRUE(c.seen.empty());
    f.Free();
}

namespace {
// A shown form holding one check box at (10, 10), 150 x 17, and an edit to
// take the focus away.
struct BoxOnForm {
    TForm* f;
    TFlatCheckBox* box;
    TEdit* other;
    BoxOnForm() {
        f = vsk::test::NewBareForm(60, 60, 240, 80);
        f->SetColor(0xE1EAEB);
        box = TComponent::Create<TFlatCheckBox>(f);
        box->SetParent(f);
        box->SetBounds(10, 10, 150, 17);
        box->SetCaption("&Hide it");
        other = TComponent::Create<TEdit>(f);
        other->SetParent(f);
        other->SetBounds(10, 40, 100, 21);
        f->Show();
        SetForegroundWindow(f->Handle());
        vsk::test::PumpUntil([&] { return GetActiveWindow() == f->Handle(); });
    }
    ~BoxOnForm() { TComponent::Free(f); }
};
// Box (1, 3)-(12, 14): frame, an inside pixel off the mark, a pixel of the mark.
constexpr int kFrameX = 1, kFrameY = 3, kFillX = 2, kFillY = 4, kMarkX = 4, kMarkY = 8;
}  // namespace

TEST(FlatCheckBox, EachStateFillsTheBoxInItsColour) {
    BoxOnForm t;
    TFlatCheckBox* box = t.box;
    HWND h = box->Handle();
    t.other->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return t.other->Focused(); }));
    EXPECT_EQ(PixelOf(box, kFillX, kFillY), TColor(0xE1EAEB)) << "normal: the control's colour";
    EXPECT_EQ(PixelOf(box, kFrameX, kFrameY), box->ColorBorder());

    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(box->Hot());
    EXPECT_EQ(PixelOf(box, kFillX, kFillY), box->ColorFocused()) << "hot";

    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(PixelOf(box, kFillX, kFillY), box->ColorDown()) << "down";
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(box->Checked());
    EXPECT_EQ(PixelOf(box, kMarkX, kMarkY), box->ColorCheck()) << "checked: the mark";

    ASSERT_TRUE(vsk::test::PumpUntil([&] { return box->HasFocus(); }));
    SendMessageA(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(PixelOf(box, kFillX, kFillY), box->ColorFocused()) << "focused, pointer away";

    box->SetEnabled(false);
    auto shot = Snapshot(box);
    EXPECT_EQ(gditest::PixelAt(*shot, kMarkX, kMarkY), ColorToRGB(clBtnShadow)) << "disabled mark";
    bool highlight = false, shadow = false;  // the embossed caption
    for (int y = 0; y < 17; ++y)
        for (int x = 16; x < 150; ++x) {
            highlight |= gditest::PixelAt(*shot, x, y) == ColorToRGB(clBtnHighlight);
            shadow |= gditest::PixelAt(*shot, x, y) == ColorToRGB(clBtnShadow);
        }
    EXPECT_TRUE(highlight && shadow);

    box->SetEnabled(true);
    box->SetLayout(controls::checkboxRight);
    EXPECT_EQ(PixelOf(box, 150 - 12, kFrameY), box->ColorBorder()) << "box at the right";
}

TEST(FlatCheckBox, SpaceStillTogglesAfterADialogHadTheFocus) {
    BoxOnForm t;
    TFlatCheckBox* box = t.box;
    box->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return box->HasFocus(); }));
    // A dialog opened from OnClick takes the focus and gives it back: the
    // form's focused control never changes on the way.
    vsk::test::Owned dialog{vsk::test::NewBareForm(320, 60, 80, 40)};
    dialog->Show();
    SetFocus(dialog->Handle());
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return !box->HasFocus(); }));
    dialog.Free();
    SetForegroundWindow(t.f->Handle());
    SetFocus(box->Handle());
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return GetFocus() == box->Handle(); }));
    EXPECT_TRUE(box->HasFocus()) << "the box does not know it has the focus back";
    PressKey(box->Handle(), VK_SPACE);
    EXPECT_TRUE(box->Checked()) << "Space did nothing on the box with the focus";
}

TEST(FlatCheckBox, LosingTheFocusEndsTheHoverAndTheNextClickStillToggles) {
    BoxOnForm t;
    TFlatCheckBox* box = t.box;
    HWND h = box->Handle();
    LeftClick(h, 5, 5);
    ASSERT_TRUE(box->Checked());
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return box->HasFocus(); }));
    // A message box from OnClick, or another control, takes the focus.
    t.other->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return !box->HasFocus(); }));
    EXPECT_FALSE(box->Hot());
    EXPECT_EQ(PixelOf(box, kFillX, kFillY), TColor(0xE1EAEB));
    LeftClick(h, 5, 5);
    EXPECT_FALSE(box->Checked()) << "the click after the focus loss did not toggle";
}

// How many pixels of the row just above the caption differ from the
// control's colour: the top of the focus rectangle when it shows.
int FocusRowMarks(TFlatCheckBox* box) {
    int marks = 0;
    for (int x = 16; x < 60; ++x) marks += PixelOf(box, x, 0) != box->Color();
    return marks;
}

TEST(FlatCheckBox, FocusShowsADottedRectangleAroundTheCaptionUnlessItCameByAClick) {
    BoxOnForm t;
    TFlatCheckBox* box = t.box;
    t.other->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return t.other->Focused(); }));
    EXPECT_EQ(FocusRowMarks(box), 0) << "a focus rectangle without the focus";
    box->SetFocus();  // as Tab or an accelerator gives it
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return box->HasFocus(); }));
    box->Repaint();
    EXPECT_GT(FocusRowMarks(box), 10) << "no dotted rectangle around the focused caption";

    t.other->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return !box->HasFocus(); }));
    box->Repaint();
    EXPECT_EQ(FocusRowMarks(box), 0) << "the rectangle stayed after the focus left";
    SendMessageA(box->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return box->HasFocus(); }));
    box->Repaint();
    EXPECT_EQ(FocusRowMarks(box), 0) << "a click drew the keyboard's focus rectangle";
}

TEST(FlatCheckBox, KeysToggleOnceSpaceOnlyWithTheFocus) {
    BoxOnForm t;
    TFlatCheckBox* box = t.box;
    Clicks c{box, {}};
    box->OnClick = TNotifyEvent(&c, &Clicks::OnClick);
    t.other->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return t.other->Focused(); }));
    PressKey(t.other->Handle(), VK_SPACE);
    EXPECT_FALSE(box->Checked()) << "space toggled a box without the focus";
    // The accelerator focuses and toggles from anywhere on the form.
    PostMessageA(t.other->Handle(), WM_SYSCHAR, 'h', 1 << 29);
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return box->Checked(); }));
    EXPECT_TRUE(vsk::test::PumpUntil([&] { return box->Focused(); }));
    PressKey(box->Handle(), VK_SPACE);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(c.seen, (std::vector<bool>{true, false})) << "one OnClick per key";
}

TEST(FlatCheckBox, AdvancedColoursFollowTheControlColour) {
    BoxOnForm t;
    TFlatCheckBox* box = t.box;
    box->SetUseAdvColors(true);
    EXPECT_EQ(box->ColorFocused(), AdjustColorLightness(0xE1EAEB, 0, 10, false));
    EXPECT_EQ(box->ColorBorder(), AdjustColorLightness(0xE1EAEB, 0, 50, true));
    t.f->SetColor(clWhite);
    EXPECT_EQ(box->ColorDown(), AdjustColorLightness(clWhite, 0, 10, true)) << "a parent's colour change derives anew";
    box->SetAdvColorBorder(20);
    EXPECT_EQ(box->ColorBorder(), AdjustColorLightness(clWhite, 0, 20, true));
}

TEST(FlatCheckBox, TheHoverEndsWhenThePointerLeavesUnheard) {
    BoxOnForm t;
    TFlatCheckBox* box = t.box;
    t.other->SetFocus();
    ASSERT_TRUE(vsk::test::PumpUntil([&] { return t.other->Focused(); }));
    ctltest::PointerAt(box, 5, 5);
    SendMessageA(box->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(box->Hot());
    const TPoint blank = t.f->ClientToScreen(Point(200, 50));
    SetCursorPos(blank.x, blank.y);
    EXPECT_TRUE(ctltest::PumpTimersUntil([&] { return !box->Hot(); })) << "still hot with the pointer elsewhere";
    EXPECT_EQ(PixelOf(box, kFillX, kFillY), TColor(0xE1EAEB));
    vsk::test::Drain();
}

TEST(FlatCheckBox, ItAndTheGroupBoxReadAsTheirFormReads) {
    vsk::test::Owned form{vsk::test::NewBareForm(30, 30, 300, 140)};
    auto* group = TComponent::Create<controls::TFlatGroupBox>(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 120, 80);
    group->SetColor(0xE1EAEB);
    auto* box = TComponent::Create<TFlatCheckBox>(form);
    box->SetParent(group);
    box->SetBounds(10, 30, 100, 17);
    form->Show();
    int Y = 0;  // the top line: where the left edge starts
    while (Y < 40 && PixelOf(group, 0, Y) != group->ColorBorder()) ++Y;
    ASSERT_LT(Y, 40) << "no left edge";
    // Left to right the caption's gap is near the left end of the top line
    // and the box at the left; right to left both at the right.
    struct Look {
        bool rtl;
        TColor at9, at110;
    };
    const TColor line = group->ColorBorder(), gap = 0xE1EAEB;
    auto expect = [&](const Look& k, const char* what) {
        EXPECT_EQ(PixelOf(group, 9, Y), k.at9) << what << ": top line at x 9";
        EXPECT_EQ(PixelOf(group, 110, Y), k.at110) << what << ": top line at x 110";
        EXPECT_EQ(PixelOf(box, 1, 3) == box->ColorBorder(), !k.rtl) << what << ": box at the left";
        EXPECT_EQ(PixelOf(box, 100 - 12, 3) == box->ColorBorder(), k.rtl) << what << ": box at the right";
    };
    expect({false, gap, line}, "left to right");
    form->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(box->Layout(), controls::checkboxRight);
    expect({true, line, gap}, "the form turned right to left");

    auto* late = TComponent::Create<TFlatCheckBox>(form);
    late->SetParent(form);
    EXPECT_EQ(late->Layout(), controls::checkboxRight) << "a box placed on the right-to-left form";
    late->SetBiDiMode(bdRightToLeftNoAlign);
    EXPECT_EQ(late->Layout(), controls::checkboxLeft) << "a mode of its own";
    form->SetBiDiMode(bdLeftToRight);
    expect({false, gap, line}, "back to left to right");
    EXPECT_EQ(late->BiDiMode(), bdRightToLeftNoAlign) << "its own mode followed the form";
    form.Free();
}
