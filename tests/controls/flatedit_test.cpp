// The flat edit's frame: its client area inside a 3-pixel frame, and the
// face colours while idle, hovered and focused, read back from the screen.
#include <gtest/gtest.h>

#include "controls/ControlPixels.h"
#include "support/UiTestUtil.h"
#include "controls/FlatEdit.h"
#include "controls/FlatSpinEdit.h"
#include "ui/GdiObjects.h"
#include "ui/StdCtrls.h"

using controls::TFlatEdit;
using vsk::test::PumpUntil;
using vsk::test::WindowPixels;
using namespace ui;

namespace {
struct EditForm {
    TForm* form = vsk::test::NewBareForm(40, 40, 300, 120);
    TFlatEdit* a = Add(10, 10);
    TFlatEdit* b = Add(10, 50);
    TButton* button = nullptr;
    EditForm() {
        button = TComponent::Create<TButton>(form);
        button->SetParent(form);
        button->SetBounds(200, 10, 75, 25);
        form->Show();
        SetForegroundWindow(form->Handle());
    }
    ~EditForm() { TComponent::Free(form); }
    TFlatEdit* Add(int x, int y) {
        auto* e = TComponent::Create<TFlatEdit>(form);
        e->SetParent(form);
        e->SetBounds(x, y, 121, 19);
        return e;
    }
    // The pointer comes over e, as the window system reports it.
    static void Hover(TFlatEdit* e) {
        POINT p{5, 5};
        ClientToScreen(e->Handle(), &p);
        SetCursorPos(p.x, p.y);
        SendMessageA(e->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    }
};

// What the screen shows at (x, y) of e's window.
COLORREF OnScreen(TFlatEdit* e, int x, int y) {
    HDC dc = GetWindowDC(e->Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(e->Handle(), dc);
    return c;
}

// The border line and the two-pixel band, as the edit prints itself and as
// the screen shows it.
void ExpectFrame(TFlatEdit* e, COLORREF border, COLORREF band, const char* what) {
    ASSERT_TRUE(PumpUntil([&] { return OnScreen(e, 1, 1) == band; }, 3000))
        << what << ": the screen shows " << std::hex << OnScreen(e, 1, 1);
    EXPECT_EQ(OnScreen(e, 0, 0), border) << what;
    EXPECT_EQ(OnScreen(e, e->Width() - 2, e->Height() - 2), band) << what;
    ASSERT_TRUE(PumpUntil([&] { return WindowPixels(e->Handle()).At(1, 1) == band; }, 3000))
        << what << ": band shows " << std::hex << WindowPixels(e->Handle()).At(1, 1);
    WindowPixels p(e->Handle());
    EXPECT_EQ(p.At(0, 0), border) << what;
    EXPECT_EQ(p.At(e->Width() - 1, e->Height() - 1), border) << what;
    EXPECT_EQ(p.At(2, 2), band) << what;
    EXPECT_EQ(p.At(e->Width() - 3, 5), band) << what;
}
}  // namespace

TEST(FlatEdit, ClientAreaIsSixPixelsSmallerThanTheControl) {
    EditForm f;
    for (int w : {121, 60, 200}) {
        f.a->SetBounds(10, 10, w, 25);
        RECT c;
        ASSERT_TRUE(GetClientRect(f.a->Handle(), &c));
        EXPECT_EQ(c.right, w - 6);
        EXPECT_EQ(c.bottom, 25 - 6);
    }
}

TEST(FlatEdit, HeightFollowsTheFont) {
    EditForm f;
    f.a->Font()->SetSize(20);
    TEXTMETRICA tm{};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, f.a->Font()->Handle());
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(f.a->Height(), tm.tmHeight + 6);
}

TEST(FlatEdit, FaceIsFlatWhenIdleAndLightWhenFocusedOrHovered) {
    EditForm f;
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == f.form->Handle(); }));
    f.button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return f.button->Focused(); }));
    ExpectFrame(f.a, 0x8396A0, 0xE1EAEB, "idle");

    f.a->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return f.a->Focused(); }));
    ExpectFrame(f.a, 0x8396A0, 0xFFFFFF, "focused");
    EXPECT_EQ(f.a->Color(), 0xFFFFFFu) << "the text background follows the face";

    // Another flat edit has the focus: hovering leaves b flat.
    EditForm::Hover(f.b);
    ASSERT_TRUE(PumpUntil([&] { return f.b->Hot(); }));
    EXPECT_FALSE(f.b->ActiveLook());
    ExpectFrame(f.b, 0x8396A0, 0xE1EAEB, "hovered beside a focused flat edit");

    // The focus on a plain button: hovering lights b up, leaving ends it.
    f.button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return f.button->Focused(); }));
    EditForm::Hover(f.a);
    EditForm::Hover(f.b);
    ASSERT_TRUE(PumpUntil([&] { return f.b->Hot(); }));
    ExpectFrame(f.b, 0x8396A0, 0xFFFFFF, "hot");
    ExpectFrame(f.a, 0x8396A0, 0xE1EAEB, "left");
    EXPECT_FALSE(f.a->Hot());
}

TEST(FlatEdit, ColorFlatAndParentColor) {
    EditForm f;
    f.form->SetColor(0x00C0FF);
    f.a->SetParentColor(false);
    f.a->SetParentColor(true);
    EXPECT_EQ(f.a->ColorFlat(), 0x00C0FFu) << "turning ParentColor on takes the parent's colour";
    f.a->SetColorFlat(0x123456);
    EXPECT_FALSE(f.a->ParentColor());
    f.form->SetColor(0x808080);
    EXPECT_EQ(f.a->ColorFlat(), 0x123456u) << "a colour of its own stays";
    f.b->SetUseAdvColors(true);
    f.form->SetColor(0x404040);
    EXPECT_EQ(f.b->ColorFlat(), 0x404040u);
    EXPECT_NE(f.b->ColorBorder(), 0x8396A0u) << "the border is derived from the parent's colour";
}

TEST(FlatEdit, HoveredEditLightsUpWhileASpinEditHasTheFocus) {
    EditForm f;
    auto* spin = TComponent::Create<controls::TFlatSpinEditInteger>(f.form);
    spin->SetParent(f.form);
    spin->SetBounds(150, 50, 80, 19);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == f.form->Handle(); }));
    SetCursorPos(0, 0);  // the hover starts only once the spin edit has the focus
    ASSERT_TRUE(PumpUntil([&] { return !f.a->Hot() && !f.b->Hot(); }));
    spin->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return spin->Focused(); }));
    EditForm::Hover(f.b);
    ASSERT_TRUE(PumpUntil([&] { return f.b->Hot(); }));
    EXPECT_TRUE(f.b->ActiveLook());
    ExpectFrame(f.b, 0x8396A0, 0xFFFFFF, "hovered while a spin edit has the focus");
}
