// The spin edit: clamping, reading non-numbers, stepping at the ends of the
// integer range, the key filter, the repeat of a held arrow, the arrows' look.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "controls/ControlPixels.h"
#include "support/UiTestUtil.h"
#include "controls/FlatSpinEdit.h"
#include "ui/StdCtrls.h"

using controls::TFlatSpinEditInteger;
using controls::TTimerSpeedButton;
using vsk::test::PumpUntil;
using namespace ui;

namespace {
class CountingSpin : public TFlatSpinEditInteger {
public:
    using TFlatSpinEditInteger::TFlatSpinEditInteger;
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

struct SpinForm {
    TForm* form = vsk::test::NewBareForm(60, 60, 300, 120);
    CountingSpin* spin = TComponent::Create<CountingSpin>(form);
    TButton* other = TComponent::Create<TButton>(form);
    SpinForm(int32_t lo, int32_t hi) {
        spin->SetParent(form);
        spin->SetBounds(10, 10, 80, 21);
        spin->SetMinValue(lo);
        spin->SetMaxValue(hi);
        other->SetParent(form);
        other->SetBounds(150, 10, 75, 25);
        form->Show();
        SetForegroundWindow(form->Handle());
    }
    ~SpinForm() { TComponent::Free(form); }
    void Type(char c) { SendMessageA(spin->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1); }
};
}  // namespace

TEST(SpinEdit, WritingValueClampsToTheLimits) {
    struct Case {
        int32_t lo, hi;
        int64_t write;
        const char* shown;
    };
    const Case cases[] = {
        {0, 200, 250, "200"},
        {0, 200, -5, "0"},
        {0, 200, 120, "120"},
        {0, 0, 1000000, "1000000"},  // equal limits: none
        {0, 0, int64_t(INT_MAX) + 5, "2147483647"},
    };
    for (const Case& c : cases) {
        SpinForm f(c.lo, c.hi);
        f.spin->SetValue(c.write);
        EXPECT_EQ(f.spin->Text(), c.shown) << c.write << " in " << c.lo << ".." << c.hi;
    }
}

TEST(SpinEdit, TextThatIsNoNumberReadsAsTheMinimum) {
    SpinForm f(7, 200);
    for (const char* text : {"", "-", "+", "1.5", "12a", "99999999999", " 5"}) {
        f.spin->SetText(text);
        EXPECT_EQ(f.spin->Value(), 7) << '"' << text << '"';
    }
    for (auto [text, v] : {std::pair<const char*, int>{"-12", -12}, {"+40", 40}, {"2147483647", INT_MAX}}) {
        f.spin->SetText(text);
        EXPECT_EQ(f.spin->Value(), v) << text;
    }
}

TEST(SpinEdit, LeavingTheFieldRewritesAValueOutOfRange) {
    struct Case {
        const char* typed;
        const char* after;
    };
    for (const Case& c : {Case{"999", "200"}, Case{"", ""}, Case{"-3", "0"}, Case{"150", "150"}}) {
        SpinForm f(0, 200);
        ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == f.form->Handle(); }));
        f.spin->SetFocus();
        ASSERT_TRUE(PumpUntil([&] { return f.spin->Focused(); }));
        f.spin->SetText(c.typed);
        f.other->SetFocus();
        ASSERT_TRUE(PumpUntil([&] { return f.other->Focused(); }));
        EXPECT_EQ(f.spin->Text(), c.after) << "left with \"" << c.typed << '"';
    }
}

TEST(SpinEdit, StepsStopAtTheEndsOfTheRange) {
    struct Case {
        int32_t lo, hi, inc, start;
        bool up;
        int32_t expect;
    };
    const Case cases[] = {
        {0, 0, 1, INT_MAX, true, INT_MAX},                                          // no limits: the largest stays
        {0, 0, 1, INT_MIN, false, INT_MIN},    {0, 0, INT_MIN, 0, false, INT_MAX},  // 0 - INT_MIN does not fit
        {0, 0, INT_MIN, 5, true, INT_MIN + 5}, {0, 0, INT_MAX, INT_MAX, true, INT_MAX}, {0, 1000, 100, 500, true, 600},
        {0, 1000, 100, 500, false, 400},       {0, 200, 100, 150, true, 200},           {10, 200, 100, 50, false, 10},
    };
    for (const Case& c : cases) {
        SpinForm f(c.lo, c.hi);
        f.spin->SetIncrement(c.inc);
        f.spin->SetValue(c.start);
        if (c.up)
            f.spin->StepUp();
        else
            f.spin->StepDown();
        EXPECT_EQ(f.spin->Value(), c.expect) << c.start << (c.up ? " + " : " - ") << c.inc;
    }
}

TEST(SpinEdit, UpAndDownKeysStepAndReadOnlyOnlyBeeps) {
    SpinForm f(0, 100);
    f.spin->SetValue(50);
    SendMessageA(f.spin->Handle(), WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(f.spin->Value(), 51);
    SendMessageA(f.spin->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    SendMessageA(f.spin->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(f.spin->Value(), 49);
    EXPECT_EQ(f.spin->beeps, 0);
    f.spin->SetReadOnly(true);
    SendMessageA(f.spin->Handle(), WM_KEYDOWN, VK_UP, 1);
    f.spin->StepDown();
    EXPECT_EQ(f.spin->Value(), 49);
    EXPECT_EQ(f.spin->beeps, 2);
}

TEST(SpinEdit, KeyFilterDropsOtherCharactersWithABeep) {
    struct Case {
        bool editorEnabled;
        char key;
        bool taken;
    };
    const Case cases[] = {
        {true, '5', true},    {true, '-', true},   {true, '+', true},     {true, 'a', false},
        {true, '\r', false},  {true, ' ', false},  {true, '\b', true},    {false, '5', false},
        {false, '\b', false}, {false, 'a', false}, {false, '\x01', true},
    };
    for (const Case& c : cases) {
        SpinForm f(0, 0);
        f.spin->SetEditorEnabled(c.editorEnabled);
        f.spin->SetText("12");
        f.spin->SetSelStart(2);
        EXPECT_EQ(f.spin->AcceptsChar(c.key), c.taken) << int(c.key);
        f.Type(c.key);
        EXPECT_EQ(f.spin->beeps, c.taken ? 0 : 1) << "key " << int(c.key);
        if (!c.taken) {
            EXPECT_EQ(f.spin->Text(), "12") << "a refused key " << int(c.key) << " reached the text";
        }
    }
    SpinForm f(0, 0);
    f.spin->SetText("12");
    f.spin->SetSelStart(2);
    f.Type('3');
    EXPECT_EQ(f.spin->Text(), "123");
}

TEST(SpinEdit, HeldArrowRepeatsThenClicksOnceMoreAtRelease) {
    SpinForm f(0, 1000);
    f.spin->SetIncrement(10);
    f.spin->SetValue(100);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == f.form->Handle(); }));
    HWND arrows = f.spin->Button()->Handle();
    TTimerSpeedButton* up = f.spin->Button()->UpButton();
    SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 3));
    EXPECT_EQ(f.spin->Value(), 100) << "the press alone does not step";
    ASSERT_NE(up->RepeatTimer(), nullptr);
    EXPECT_EQ(up->RepeatTimer()->Interval(), 400u);
    EXPECT_TRUE(f.spin->Focused()) << "pressing an arrow focuses the edit";
    ASSERT_TRUE(PumpUntil([&] { return f.spin->Value() >= 130; }, 5000)) << "holding did not repeat";
    EXPECT_EQ(up->RepeatTimer()->Interval(), 100u) << "after the first repeat the pace is faster";
    SendMessageA(arrows, WM_LBUTTONUP, 0, MAKELPARAM(4, 3));
    const int32_t released = f.spin->Value();
    EXPECT_FALSE(up->RepeatTimer()->Enabled());
    EXPECT_EQ(released % 10, 0);

    // A short click on the down arrow steps once.
    SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 3));
    SendMessageA(arrows, WM_LBUTTONUP, 0, MAKELPARAM(15, 3));
    EXPECT_EQ(f.spin->Value(), released - 10);
}

// The arrows are flat buttons side by side: each framed in the border colour,
// the up arrow at the top of the left one, the down arrow at the bottom of
// the right one; a disabled arrow is no longer drawn in black.
TEST(SpinEdit, ArrowsAreFramedUpAtTheTopLeftDownAtTheBottomRight) {
    SpinForm f(0, 100);
    controls::TSpinButton* spin = f.spin->Button();
    const int w = spin->Width(), h = spin->Height();
    ASSERT_GE(h, 12) << "the arrows have no room";
    struct Blacks {
        int upper = 0, lower = 0;
    };
    auto count = [&](const vsk::test::ClientPixels& px, int x0, int x1) {
        Blacks b;
        for (int y = 0; y < h; ++y)
            for (int x = x0; x < x1; ++x)
                if (px.At(x, y) == RGB(0, 0, 0)) ++(y < h / 2 ? b.upper : b.lower);
        return b;
    };
    {
        vsk::test::ClientPixels px(spin->Handle(), w, h);
        const COLORREF border = ColorToRGB(spin->UpButton()->ColorBorder());
        EXPECT_EQ(px.At(0, 0), border) << "the up arrow has no flat frame";
        EXPECT_EQ(px.At(20, h - 1), border) << "the down arrow has no flat frame";
        const Blacks up = count(px, 1, 10), down = count(px, 11, 20);
        EXPECT_GT(up.upper, 0) << "no up arrow at the top of the left half";
        EXPECT_EQ(up.lower, 0) << "the up arrow reaches the lower half";
        EXPECT_GT(down.lower, 0) << "no down arrow at the bottom of the right half";
        EXPECT_EQ(down.upper, 0) << "the down arrow reaches the upper half";
    }
    spin->UpButton()->SetEnabled(false);
    vsk::test::ClientPixels px(spin->Handle(), w, h);
    const Blacks up = count(px, 1, 10);
    EXPECT_EQ(up.upper + up.lower, 0) << "a disabled arrow is still drawn in black";
    EXPECT_GT(count(px, 11, 20).lower, 0);
}
