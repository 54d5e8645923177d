// The caption speed button: groups under the mouse and the accelerator,
// presets, its pictures in the states that differ, and the guards.
#include <gtest/gtest.h>

#include <vector>

#include "controls/LbSpeedButton.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ControlTestUtil.h"

using namespace controls;
using namespace ui;

namespace {

struct Counter {
    int n = 0;
    void Count(TObject*) { ++n; }
};

struct Buttons {
    TForm* f;
    std::vector<TLbSpeedButton*> b;
    std::vector<Counter> clicks;
    explicit Buttons(int n, int group) : clicks(static_cast<size_t>(n)) {
        f = vsk::test::NewBareForm(90, 90, 340, 50);
        f->SetColor(0xE1EAEB);
        for (int i = 0; i < n; ++i) {
            auto* s = TComponent::Create<TLbSpeedButton>(f);
            s->SetParent(f);
            s->SetBounds(10 + 110 * i, 10, 100, 23);
            s->SetCaption(std::string("&") + char('p' + i) + "age");
            s->SetGroupIndex(group);
            s->OnClick = TNotifyEvent(&clicks[static_cast<size_t>(i)], &Counter::Count);
            b.push_back(s);
        }
        f->Show();
        vsk::test::PumpUntil([&] { return f->Showing(); });
    }
    ~Buttons() { TComponent::Free(f); }
    void Click(int i) {
        const LPARAM at = MAKELPARAM(b[static_cast<size_t>(i)]->Left() + 20, 20);
        SendMessageA(f->Handle(), WM_MOUSEMOVE, 0, at);
        SendMessageA(f->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(f->Handle(), WM_LBUTTONUP, 0, at);
    }
};

}  // namespace

TEST(LbSpeedButton, GroupOfThreeUnderTheMouseAndTheAccelerator) {
    Buttons t(3, 1);
    t.Click(1);
    EXPECT_EQ((std::vector<bool>{t.b[0]->Down(), t.b[1]->Down(), t.b[2]->Down()}),
              (std::vector<bool>{false, true, false}));
    EXPECT_EQ(t.clicks[1].n, 1);
    t.Click(1);
    EXPECT_TRUE(t.b[1]->Down()) << "pressed again without AllowAllUp";
    // The accelerator of an up button latches it, as a click would.
    EXPECT_NE(t.f->Perform(CM_DIALOGCHAR, 'r', 0), 0);
    EXPECT_EQ((std::vector<bool>{t.b[0]->Down(), t.b[1]->Down(), t.b[2]->Down()}),
              (std::vector<bool>{false, false, true}));
    EXPECT_EQ(t.clicks[2].n, 1);
    t.b[2]->SetAllowAllUp(true);
    t.Click(2);
    EXPECT_FALSE(t.b[2]->Down()) << "AllowAllUp lets it come up";

    Buttons single(1, 0);
    single.Click(0);
    EXPECT_FALSE(single.b[0]->Down()) << "an ungrouped button is down only while held";
    EXPECT_EQ(single.clicks[0].n, 1);
    single.f->Perform(CM_DIALOGCHAR, 'p', 0);
    EXPECT_FALSE(single.b[0]->Down());
    EXPECT_EQ(single.clicks[0].n, 2);
}

TEST(LbSpeedButton, WithoutParentWritersAndPaintingAreSafe) {
    TLbSpeedButton loose(nullptr);
    loose.SetGroupIndex(2);
    loose.SetDown(true);
    EXPECT_TRUE(loose.Down());
    loose.SetCaption("x");
    loose.SetColorStyle(lcsGold);
    EXPECT_EQ(loose.ColorStyle(), lcsCustom);
    EXPECT_EQ(loose.Color(), TColor(0x00C0C0));
    EXPECT_EQ(loose.LightColor(), TColor(0x00FFFF));
    EXPECT_EQ(loose.HotTrackColor(), TColor(0x00DFDF));
    EXPECT_EQ(loose.Style(), bsModern);
    EXPECT_FALSE(loose.Flat());
    loose.SetColorStyle(lcsUltraFlat2);
    EXPECT_EQ(loose.ColorWhenDown(), TColor(0x24DABC));
    EXPECT_TRUE(loose.Flat());
    EXPECT_EQ(loose.Style(), bsNormal);
}

TEST(LbSpeedButton, FacesOfTheStatesAndThePopupArrow) {
    Buttons t(1, 1);
    TLbSpeedButton* s = t.b[0];
    s->SetHotTrackColor(0x00FF00);
    s->SetColorWhenDown(0xFF0000);
    EXPECT_EQ(ctltest::PixelOf(s, 50, 3), TColor(0xE1EAEB)) << "normal";
    EXPECT_EQ(ctltest::PixelOf(s, 0, 10), s->LightColor()) << "raised edge";
    SendMessageA(t.f->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 20));
    ASSERT_TRUE(s->Hot());
    EXPECT_EQ(ctltest::PixelOf(s, 50, 3), TColor(0x00FF00)) << "hot";
    s->SetDown(true);
    EXPECT_EQ(ctltest::PixelOf(s, 50, 3), TColor(0xFF0000)) << "down";
    EXPECT_EQ(ctltest::PixelOf(s, 0, 10), s->ShadowColor()) << "sunken edge";
    s->SetEnabled(false);
    auto shot = ctltest::Snapshot(s);
    EXPECT_EQ(gditest::PixelAt(*shot, 50, 3), TColor(0x00FF00)) << "disabled: no pressed face";
    bool grey = false;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 100; ++x) grey |= gditest::PixelAt(*shot, x, y) == TColor(0x808080);
    EXPECT_TRUE(grey) << "disabled caption in grey";

    s->SetEnabled(true);
    s->SetDown(false);
    SendMessageA(t.f->Handle(), WM_MOUSELEAVE, 0, 0);
    auto* menu = TComponent::Create<TPopupMenu>(t.f);
    s->SetPopupMenu(menu);
    auto arrow = ctltest::Snapshot(s);
    // The triangle at (W - 8, H / 2 - 1): five, three, one black pixels.
    const int ax = 100 - 8, ay = 23 / 2 - 1;
    for (int x = 0; x < 5; ++x) EXPECT_EQ(gditest::PixelAt(*arrow, ax + x, ay), TColor(0)) << x;
    EXPECT_EQ(gditest::PixelAt(*arrow, ax, ay + 1), TColor(0xE1EAEB)) << "white is see-through";
    EXPECT_EQ(gditest::PixelAt(*arrow, ax + 2, ay + 2), TColor(0));
}

TEST(LbSpeedButton, LongCaptionIsCutOnlyBesideTheGlyph) {
    TLbFace f;
    f.W = 60;
    f.H = 23;
    f.Caption = "A caption far too long for the button";
    f.Color = clWhite;
    f.Flat = true;
    TFont font;
    f.Font = &font;
    for (TLbSpeedButtonLayout layout : {blGlyphLeft, blGlyphTop}) {
        TBitmap pic(60, 23);
        f.Layout = layout;
        DrawLbButtonFace(pic.Canvas(), f);
        bool inkRight = false;
        for (int y = 0; y < 23; ++y)
            for (int x = 56; x < 60; ++x) inkRight |= gditest::PixelAt(pic, x, y) != TColor(0xFFFFFF);
        EXPECT_FALSE(inkRight) << "the caption ran into the right margin, layout " << int(layout);
    }
}

namespace {
// Rows of pic holding a pixel of colour ink.
int InkRows(TBitmap& pic, TColor ink) {
    int rows = 0;
    for (int y = 0; y < pic.Height(); ++y) {
        bool any = false;
        for (int x = 0; x < pic.Width(); ++x) any |= gditest::PixelAt(pic, x, y) == ink;
        rows += any ? 1 : 0;
    }
    return rows;
}
}  // namespace

TEST(LbSpeedButton, CaptionTakesTheButtonsFontInEveryLayout) {
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-40);
    TBitmap probe(10, 10);
    probe.Canvas()->SetFont(&font);
    const int tall = probe.Canvas()->TextHeight("W");
    struct Case {
        TLbSpeedButtonLayout layout;
        bool wrap;
    } cases[] = {{blGlyphTop, false}, {blGlyphBottom, false}, {blGlyphLeft, true}, {blGlyphTop, true}};
    for (const Case& c : cases) {
        TLbFace f;
        f.W = 120;
        f.H = 80;
        f.Caption = "W";
        f.Color = clWhite;
        f.Flat = true;
        f.Font = &font;
        f.Layout = c.layout;
        f.WordWrap = c.wrap;
        TBitmap pic(f.W, f.H);
        DrawLbButtonFace(pic.Canvas(), f);
        EXPECT_GT(InkRows(pic, clBlack), tall / 2)
            << "a caption of the system font, layout " << int(c.layout) << (c.wrap ? " wrapped" : "");
    }
}
