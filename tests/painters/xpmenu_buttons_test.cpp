// The flat faces of bit buttons and speed buttons, panel bevels, the graded
// shadow of a selected menu-bar item, and menus read right to left. Pixels
// are read back from real windows painted through real messages.
#include <gtest/gtest.h>

#include <string>

#include "painters/XPMenu.h"
#include "painters/XPMenuManager.h"
#include "support/Owned.h"
#include "support/PainterTestForm.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Buttons.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/Messages.h"

using namespace painters;
using namespace ui;
using namespace vsk::test;

namespace {

// Known to the speed-button painter by name: always filled.
class TNavButton : public TSpeedButton {
public:
    explicit TNavButton(TComponent* o) : TSpeedButton(o) {}
};

constexpr COLORREF Key = 0x00FFFFFF;

// A glyph of cells side by side, each filled with its colour but for the
// bottom-left pixel, which holds the transparent key.
void MakeGlyph(TBitmap& g, int cellW, int cellH, std::initializer_list<TColor> cells) {
    g.SetSize(cellW * static_cast<int>(cells.size()), cellH);
    int i = 0;
    for (TColor c : cells) {
        g.Canvas()->Brush()->SetColor(c);
        g.Canvas()->FillRect(TRect{i * cellW, 0, i * cellW + cellW, cellH});
        g.Canvas()->SetPixel(i * cellW, cellH - 1, Key);
        ++i;
    }
}

// A pixel of a control in client coordinates, windowed or not.
COLORREF ControlPixel(TControl* c, int x, int y) {
    TWinControl* w = dynamic_cast<TWinControl*>(c);
    if (!w) {
        x += c->Left();
        y += c->Top();
        w = c->Parent();
    }
    HDC dc = GetDC(w->Handle());
    const COLORREF p = GetPixel(dc, x, y);
    ReleaseDC(w->Handle(), dc);
    return p;
}

// The bounding box of a control's pixels of one colour (empty when none).
TRect FindColor(TControl* c, COLORREF color) {
    TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < c->Height(); ++y)
        for (int x = 0; x < c->Width(); ++x)
            if (ControlPixel(c, x, y) == color) {
                box.left = std::min<int>(box.left, x);
                box.top = std::min<int>(box.top, y);
                box.right = std::max<int>(box.right, x + 1);
                box.bottom = std::max<int>(box.bottom, y + 1);
            }
    return box.left == INT_MAX ? TRect{0, 0, 0, 0} : box;
}

// Repaints the control and waits until the pixel shows the colour.
::testing::AssertionResult Shows(TControl* c, int x, int y, COLORREF want) {
    c->Repaint();
    if (PumpUntil([&] { return ControlPixel(c, x, y) == want; }, 2000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << ControlPixel(c, x, y)
                                         << ", not " << want;
}

TSize CaptionSize(TControl* c, const std::string& text) {
    TBitmap b(4, 4);
    b.Canvas()->Font()->Assign(c->Font());
    // The canvas selects its font at its own next text call, not at this one.
    ui::ScopedSelectObject font(b.Canvas()->Handle(), b.Canvas()->Font()->Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(b.Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return TSize{r.right, r.bottom};
}

}  // namespace

// ---------------------------------------------------------------- bit buttons

TEST(XPBitBtn, TagBitTestsSelectFacesEdgeAndCaptionWhileAPlainButtonKeepsOrdinaryColours) {
    PaintedForm pf;
    auto* all = Add<TBitBtn>(pf.form, 10, 10, 120, 30);  // Tag 1003: every bit test holds
    auto* plainBit = Add<TBitBtn>(pf.form, 10, 50, 120, 30);
    auto* button = Add<TButton>(pf.form, 10, 90, 120, 30);  // Tag 1001: no Tag = 1000 face
    auto* left = Add<TBitBtn>(pf.form, 10, 130, 120, 30);   // Tag 1002: parent faces, shading, caption left
    all->SetTag(1003);
    button->SetTag(1001);
    left->SetTag(1002);
    for (TBitBtn* b : {all, plainBit, left}) b->SetCaption("Go");
    pf.Start();
    TXPMenu* m = pf.menu;
    ASSERT_TRUE(TControlSubClass::Find(all) && TControlSubClass::Find(plainBit) && TControlSubClass::Find(button));

    const COLORREF parentFace = Rgb(LightenColor(FormColor, m->ButtonFaceLevel()));
    // 1003: a face from the parent's colour, the outline in the face's own
    // lightened colour, no shading line along the bottom.
    EXPECT_TRUE(Shows(all, 3, 3, parentFace));
    EXPECT_EQ(ControlPixel(all, 60, 29), Rgb(LightenColor(parentFace, 30))) << "no shading line";
    // A bit button without Tag bits: the icon column face and the shading line.
    EXPECT_TRUE(Shows(plainBit, 3, 3, Rgb(m->IconColumnColor())));
    EXPECT_EQ(ControlPixel(plainBit, 60, 29), Rgb(DarkenColor(clBtnShadow, 50)));
    // A TButton with Tag 1001 has the ordinary face.
    EXPECT_TRUE(Shows(button, 3, 3, Rgb(m->IconColumnColor())));
    // 1002 shades but takes the parent face: the 1001 bits are not all there.
    EXPECT_TRUE(Shows(left, 3, 3, parentFace));
    EXPECT_EQ(ControlPixel(left, 60, 29), Rgb(DarkenColor(clBtnShadow, 50)));

    // The caption: at the left, 4 pixels in, with the 1002 bits; centred without.
    const COLORREF text = Rgb(all->Font()->Color());
    const TRect atLeft = FindColor(all, text), centred = FindColor(plainBit, text);
    ASSERT_GT(atLeft.right, 0);
    ASSERT_GT(centred.right, 0);
    EXPECT_GE(atLeft.left, 4);
    EXPECT_LT(atLeft.left, 8);
    EXPECT_NEAR((centred.left + centred.right) / 2, 60, 3);
    EXPECT_EQ(FindColor(left, text).left, atLeft.left) << "1002 has the caption bit too";
    HoldForPicture();
    pf.form->Hide();
}

TEST(XPBitBtn, GlyphStaysUnchangedAfterTenPaintsAndSitsLeftOfTheCaption) {
    PaintedForm pf;
    auto* b = Add<TBitBtn>(pf.form, 10, 10, 120, 30);
    b->SetCaption("Go");
    TBitmap glyph;
    MakeGlyph(glyph, 12, 12, {0x000000FF, 0x0000FF00});
    b->SetGlyph(&glyph);
    b->SetNumGlyphs(2);
    pf.Start();
    TXPMenu* m = pf.menu;

    TBitmap before;
    before.Assign(b->Glyph());
    for (int i = 0; i < 10; ++i) RepaintAndWait(b);
    for (int y = 0; y < before.Height(); ++y)
        for (int x = 0; x < before.Width(); ++x)
            ASSERT_EQ(b->Glyph()->Canvas()->Pixels(x, y), before.Canvas()->Pixels(x, y))
                << "the glyph paled at (" << x << ", " << y << ")";

    // The first cell, dimmed, where the left layout puts it: exactly centred
    // vertically, one pixel lower for the icon painter.
    const COLORREF dimRed = Rgb(m->IsHighColor() ? LightenColor(0x000000FF, m->DimLevel()) : 0x000000FF);
    const TRect g = FindColor(b, dimRed);
    const TSize ts = CaptionSize(b, "Go");
    EXPECT_EQ(g.left, (120 - 12 - b->Spacing() - ts.cx) / 2);
    EXPECT_EQ(g.top, (30 - 12) / 2 + 1);
    EXPECT_EQ(RectWidth(g), 12);
    EXPECT_EQ(FindColor(b, Rgb(m->IsHighColor() ? LightenColor(0x0000FF00, m->DimLevel()) : 0x0000FF00)).right, 0)
        << "never the second cell";
    EXPECT_GE(FindColor(b, Rgb(b->Font()->Color())).left, g.right + b->Spacing() - 1) << "caption beside the glyph";
    pf.form->Hide();
}

// ---------------------------------------------------------------- speed buttons

TEST(XPSpeedButton, LayoutsPlaceGlyphAndCaptionAndRightToLeftExchangesLeftAndRight) {
    PaintedForm pf;
    pf.form->SetDoubleBuffered(true);  // the painter must draw on the DC the parent lends
    auto* b = Add<TSpeedButton>(pf.form, 20, 20, 90, 50);
    b->SetCaption("Ab");
    TBitmap glyph;
    MakeGlyph(glyph, 10, 10, {0x000000FF});
    b->SetGlyph(&glyph);
    pf.Start();
    TXPMenu* m = pf.menu;
    ASSERT_TRUE(TControlSubClass::Find(b));

    const int W = 90, H = 50, GW = 10, GH = 10, SP = b->Spacing();
    const TSize ts = CaptionSize(b, "Ab");
    const int TW = ts.cx, TH = ts.cy;
    const COLORREF dimRed = Rgb(m->IsHighColor() ? LightenColor(0x000000FF, m->DimLevel()) : 0x000000FF);
    const COLORREF text = Rgb(b->Font()->Color());
    struct Case {
        TButtonLayout layout;
        bool rtl;
        int glyphLeft, glyphTop;  // as laid out; the icon painter draws one lower
        const char* what;
    } cases[] = {
        {blGlyphLeft, false, (W - GW - SP - TW) / 2, (H - GH) / 2 - 1, "left"},
        {blGlyphRight, false, (GW + SP + TW + W) / 2 - GW, (H - GH) / 2, "right"},
        {blGlyphTop, false, (W - GW) / 2, (H - TH - GH - SP) / 2, "top"},
        {blGlyphBottom, false, (W - GW) / 2, (TH + GH + SP + H) / 2 - GH, "bottom"},
        {blGlyphLeft, true, (GW + SP + TW + W) / 2 - GW, (H - GH) / 2, "left read right to left"},
        {blGlyphRight, true, (W - GW - SP - TW) / 2, (H - GH) / 2 - 1, "right read right to left"},
    };
    for (const Case& k : cases) {
        b->SetLayout(k.layout);
        b->SetBiDiMode(k.rtl ? bdRightToLeft : bdLeftToRight);
        RepaintAndWait(b);
        const TRect g = FindColor(b, dimRed);
        EXPECT_EQ(g.left, k.glyphLeft) << k.what;
        EXPECT_EQ(g.top, k.glyphTop + 1) << k.what;
        const TRect t = FindColor(b, text);
        ASSERT_GT(t.right, 0) << k.what;
        switch (k.layout == blGlyphLeft && k.rtl    ? blGlyphRight
                : k.layout == blGlyphRight && k.rtl ? blGlyphLeft
                                                    : k.layout) {
        case blGlyphLeft: EXPECT_GE(t.left, g.right + SP - 1) << k.what; break;
        case blGlyphRight: EXPECT_LE(t.right, g.left - SP + 1) << k.what; break;
        case blGlyphTop: EXPECT_GE(t.top, g.bottom + SP - 2) << k.what; break;
        case blGlyphBottom: EXPECT_LE(t.bottom, g.top - SP + 1) << k.what; break;
        }
    }
    HoldForPicture();
    pf.form->Hide();
}

TEST(XPSpeedButton, GlyphCellFollowsDisabledPressedAndDown) {
    PaintedForm pf;
    auto* b = Add<TSpeedButton>(pf.form, 20, 20, 30, 30);
    b->SetLayout(blGlyphTop);
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    TBitmap glyph;
    const TColor cells[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x0000FFFF};
    MakeGlyph(glyph, 8, 8, {cells[0], cells[1], cells[2], cells[3]});
    b->SetGlyph(&glyph);
    b->SetNumGlyphs(4);
    pf.Start();
    TXPMenu* m = pf.menu;
    auto dim = [&](TColor c) { return Rgb(m->IsHighColor() ? LightenColor(c, m->DimLevel()) : c); };
    const int cx = (30 - 8) / 2 + 4, cy = (30 - 8) / 2 + 1 + 4;  // the glyph's middle

    EXPECT_TRUE(Shows(b, cx, cy, dim(cells[0]))) << "enabled and up: the first cell";
    b->SetEnabled(false);
    EXPECT_TRUE(Shows(b, cx, cy, Rgb(LightenColor(GreyShade(cells[1], m->GrayLevel()), 40))))
        << "disabled: the second cell, greyed";
    b->SetEnabled(true);
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx, cy));
    EXPECT_TRUE(Shows(b, cx, cy, dim(cells[2]))) << "pressed: the third cell";
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(cx, cy));
    ASSERT_TRUE(b->Down()) << "the click put the grouped button down";
    EXPECT_TRUE(Shows(b, cx, cy, dim(cells[3]))) << "down: the fourth cell";
    pf.form->Hide();
}

TEST(XPSpeedButton, FlatHotAndDownColoursTransparentTintAndInvisibleButtons) {
    PaintedForm pf;
    auto* flat = Add<TSpeedButton>(pf.form, 20, 20, 40, 30);
    auto* raised = Add<TSpeedButton>(pf.form, 80, 20, 40, 30);
    auto* clear = Add<TSpeedButton>(pf.form, 140, 20, 40, 30);
    auto* nav = Add<TNavButton>(pf.form, 200, 20, 40, 30);
    auto* hidden = Add<TSpeedButton>(pf.form, 260, 20, 40, 30);
    flat->SetFlat(true);
    flat->SetGroupIndex(1);
    flat->SetAllowAllUp(true);
    for (TSpeedButton* b : {clear, static_cast<TSpeedButton*>(nav)}) {
        b->SetTransparent(true);
        b->SetGroupIndex(2 + (b == nav));
        b->SetDown(true);
    }
    hidden->SetVisible(false);
    pf.Start();
    TXPMenu* m = pf.menu;
    ASSERT_TRUE(TControlSubClass::Find(flat) && TControlSubClass::Find(nav) && TControlSubClass::Find(hidden));

    // Idle flat: the parent's colour all over, the frame included.
    EXPECT_TRUE(Shows(flat, 5, 5, Rgb(FormColor)));
    EXPECT_EQ(ControlPixel(flat, 0, 10), Rgb(FormColor));
    // Hot flat (the pointer really on it): selection fill in a selection frame.
    const TPoint centre = flat->ClientToScreen(Point(20, 15));
    SetCursorPos(centre.x, centre.y);
    flat->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(Shows(flat, 5, 5, Rgb(m->SelectFillColor())));
    EXPECT_EQ(ControlPixel(flat, 39, 10), Rgb(m->SelectFrameColor()));
    // Down and hot: checked-selected fill and the pressed line on the left.
    flat->SetDown(true);
    EXPECT_TRUE(Shows(flat, 5, 5, Rgb(m->CheckedSelectedFillColor())));
    EXPECT_EQ(ControlPixel(flat, 0, 10), Rgb(DarkenColor(m->SelectFrameColor(), 50)));
    // The pointer gone without a leave message: the painter looks again.
    ParkPointer();
    EXPECT_TRUE(Shows(flat, 5, 5, Rgb(m->CheckedFillColor())));

    // A plain button: the icon column face, the raised line at the right,
    // none of its own sunken or raised edge.
    EXPECT_TRUE(Shows(raised, 5, 5, Rgb(m->IconColumnColor())));
    EXPECT_EQ(ControlPixel(raised, 39, 10), Rgb(DarkenColor(clBtnShadow, 50)));

    // Transparent and down: the parent shows through, tinted.
    const TColor tint = m->IsHighColor() ? LightenColor(m->CheckedFillColor(), 5) : m->CheckedFillColor();
    EXPECT_TRUE(Shows(clear, 5, 5, Rgb(FormColor) & Rgb(tint)));
    // A navigator button is filled whatever its transparency.
    EXPECT_TRUE(Shows(nav, 5, 5, Rgb(m->CheckedFillColor())));

    // An invisible button is not painted, even when its state changes.
    hidden->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    hidden->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    vsk::test::Drain();
    EXPECT_EQ(ControlPixel(hidden, 5, 5), Rgb(FormColor));
    EXPECT_EQ(ControlPixel(hidden, 0, 0), Rgb(FormColor));
    pf.form->Hide();
}

TEST(XPSpeedButton, GroupsKeepOneDownAndAnUnpaintedButtonDrawsItsOwnGlyph) {
    vsk::test::Owned form{vsk::test::NewBareForm(40, 40, 200, 100)};
    form->SetColor(FormColor);
    auto* a = Add<TSpeedButton>(form, 10, 10, 30, 30);
    auto* b = Add<TSpeedButton>(form, 50, 10, 30, 30);
    auto* loose = Add<TSpeedButton>(form, 90, 10, 30, 30);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down()) << "a button of no group never stays down";
    a->Click();
    EXPECT_TRUE(a->Down());
    b->Click();
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down()) << "one down in a group";
    b->Click();
    EXPECT_TRUE(b->Down()) << "the down button stays down without AllowAllUp";
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp()) << "the whole group shares AllowAllUp";
    b->Click();
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());

    // Without a painter the button draws its own face and glyph.
    TBitmap glyph;
    MakeGlyph(glyph, 8, 8, {0x000000FF});
    loose->SetGlyph(&glyph);
    form->Show();
    ASSERT_TRUE(vsk::test::WaitShown(form->Handle()));
    EXPECT_TRUE(FindColor(loose, 0x000000FF).right > 0) << "the glyph shows";
    EXPECT_EQ(glyph.Canvas()->Pixels(3, 3), 0x000000FF) << "the caller's bitmap was copied, not taken";
    form.Free();
}

// ---------------------------------------------------------------- panels

TEST(XPPanel, BevelsLoweredRaisedAndInnerInsideTheBorderWidth) {
    PaintedForm pf;
    auto* p = Add<TPanel>(pf.form, 20, 20, 100, 60);
    p->SetColor(0x00A0A0A0);
    pf.Start();
    ASSERT_TRUE(TControlSubClass::Find(p));
    const COLORREF light = Rgb(LightenColor(0x00A0A0A0, 60)), dark = Rgb(DarkenColor(0x00A0A0A0, 60));

    p->SetBevelOuter(bvLowered);
    EXPECT_TRUE(Shows(p, 0, 30, dark));
    EXPECT_EQ(ControlPixel(p, 50, 0), dark);
    EXPECT_EQ(ControlPixel(p, 99, 30), light);
    EXPECT_EQ(ControlPixel(p, 50, 59), light);

    p->SetBevelOuter(bvRaised);
    p->SetBevelWidth(2);
    EXPECT_TRUE(Shows(p, 1, 30, light));
    EXPECT_EQ(ControlPixel(p, 98, 30), dark);

    p->SetBevelWidth(1);
    p->SetBevelInner(bvLowered);
    p->SetBorderWidth(3);
    // The inner ring lies BorderWidth inside the outer one.
    EXPECT_TRUE(Shows(p, 4, 30, dark));
    EXPECT_EQ(ControlPixel(p, 95, 30), light);
    EXPECT_EQ(ControlPixel(p, 0, 30), light);
    EXPECT_NE(ControlPixel(p, 2, 30), dark);
    pf.form->Hide();
}

// ---------------------------------------------------------------- menu drawing

TEST(XPMenuDraw, SelectedBarItemHasAGradedShadowOnlyLeftToRightOnHighColour) {
    TForm* form = vsk::test::NewBareForm(40, 40, 200, 100);
    auto* menu = TComponent::Create<TXPMenu>(form);
    auto* main = TComponent::Create<TMainMenu>(form);
    auto* item = TComponent::Create<TMenuItem>(form);
    item->SetCaption("File");
    main->Items()->Add(item);
    TBitmap b(60, 20);
    menu->SetUseSystemColors(false);
    menu->SetMenuBarColor(0x00D0D0D0);
    menu->UpdateDerivedColors(b.Canvas());
    if (!menu->IsHighColor()) GTEST_SKIP() << "the shadow is for high-colour displays";
    const TColor c = menu->BarColor();
    const int R = 60, T = 0;
    menu->PaintSelectedBarItem(item, b.Canvas(), 0x00808080, TRect{0, 0, R, 20});
    auto px = [&](int x, int y) { return Rgb(b.Canvas()->Pixels(x, y)); };
    struct Expect {
        int x, y;
        TColor color;
    } expects[] = {
        {R - 1, T + 10, DarkenColor(c, 10)},      {R - 3, T + 10, DarkenColor(c, 30)},
        {R - 4, T + 12, DarkenColor(c, 60)},      {R - 7, T + 12, DarkenColor(c, 100)},
        {R - 8, T + 5, menu->SelectFrameColor()}, {R - 1, T + 3, c},
        {R - 6, T + 6, DarkenColor(c, 40)},       {R - 5, T + 3, DarkenColor(c, 10)},
        {R - 4, T + 7, DarkenColor(c, 30)},       {20, 10, menu->SelectFillColor()},
    };
    for (const Expect& e : expects) EXPECT_EQ(px(e.x, e.y), Rgb(e.color)) << "(" << e.x << ", " << e.y << ")";

    // Read right to left, or for a tool button, the plain raised box.
    TObject toolButton;
    for (bool rtl : {true, false}) {
        menu->PaintSelectedBarItem(rtl ? static_cast<TObject*>(item) : &toolButton, b.Canvas(), 0x00808080,
                                   TRect{0, 0, R, 20}, rtl);
        EXPECT_EQ(px(R - 1, T + 10), Rgb(DarkenColor(0x00808080, 70))) << rtl;
        EXPECT_EQ(px(R - 3, T + 10), Rgb(menu->SelectFrameColor())) << rtl;
        EXPECT_EQ(px(R - 1, T + 1), Rgb(0x00808080)) << rtl;
    }
    TComponent::Free(form);
}

TEST(XPMenuDraw, RightToLeftItemsPutIconColumnCheckSeparatorAndTextAtTheOtherSide) {
    vsk::test::Owned form{vsk::test::NewBareForm(40, 40, 200, 100)};
    form->BeginLoading();
    auto* xp = TComponent::Create<TXPMenu>(form);
    xp->SetActive(true);
    form->EndLoading();
    auto* popup = TComponent::Create<TPopupMenu>(form);
    auto add = [&](const std::string& caption) {
        auto* i = TComponent::Create<TMenuItem>(form);
        i->SetCaption(caption);
        popup->Items()->Add(i);
        return i;
    };
    auto* item = add("Item");
    auto* sep = add("-");
    auto* checked = add("Check");
    checked->SetChecked(true);
    auto* withIcon = add("Icon");
    MakeGlyph(*withIcon->Bitmap(), 12, 12, {0x000000FF});
    const int W = 140, H = 22, IW = xp->IconWidth();
    auto paint = [&](TMenuItem* i, TBitmap& target) {
        target.SetSize(W + 4, H);
        xp->HandleDrawItem(i, target.Canvas(), TRect{4, 0, W + 4, H}, false);
    };
    auto px = [](TBitmap& b, int x, int y) { return Rgb(b.Canvas()->Pixels(x, y)); };
    auto textBox = [&](TBitmap& b) {
        int l = INT_MAX, r = INT_MIN;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W + 4; ++x)
                if (px(b, x, y) == Rgb(xp->Font()->Color())) l = std::min(l, x), r = std::max(r, x);
        return std::make_pair(l, r);
    };

    for (bool rtl : {false, true}) {
        popup->SetBiDiMode(rtl ? bdRightToLeft : bdLeftToRight);
        TBitmap b;
        paint(item, b);
        const int iconX = rtl ? W + 4 - 3 : 4 + 3, textX = rtl ? 4 + 3 : W + 4 - 3;
        EXPECT_EQ(px(b, iconX, 2), Rgb(xp->IconColumnColor())) << rtl;
        EXPECT_EQ(px(b, textX, 2), Rgb(xp->MenuBackColor())) << rtl;
        const auto [l, r] = textBox(b);
        ASSERT_LE(l, r) << rtl;
        if (rtl)
            EXPECT_GT(l, (W + 4) / 2) << "right-aligned text";
        else
            EXPECT_LT(r, (W + 4) / 2) << "left-aligned text";

        paint(checked, b);
        const int boxLeft = rtl ? W + 4 - IW + (IW - 10) / 2 : 4 + (IW - 10) / 2;
        EXPECT_EQ(px(b, boxLeft, H / 2 - 5 + 3), Rgb(xp->CheckFrameColor())) << rtl << ": check box in the icon column";

        paint(withIcon, b);
        const COLORREF dimRed = Rgb(xp->IsHighColor() ? LightenColor(0x000000FF, xp->DimLevel()) : 0x000000FF);
        int iconLeft = INT_MAX;
        for (int x = 0; x < W + 4; ++x)
            if (px(b, x, 8) == dimRed) iconLeft = std::min(iconLeft, x);
        const int columnLeft = rtl ? W + 4 - IW : 4;
        EXPECT_EQ(iconLeft, columnLeft + (IW - 12) / 2 - 1) << rtl << ": the icon centred in its column";

        paint(sep, b);
        const int y = (H + 2) / 2;  // the middle of the item's drawing area, one taller than the item
        // The line stops 7 pixels short of the text side's icon end.
        EXPECT_EQ(px(b, rtl ? 6 : W + 4 - 2, y), Rgb(xp->SeparatorLineColor())) << rtl;
        EXPECT_EQ(px(b, rtl ? W + 4 - IW - 3 : 4 + IW + 3, y), Rgb(xp->MenuBackColor())) << rtl;

        // The gradient starts at the icon side: its first column is the
        // darkest, three steps a column across the icon column.
        xp->SetGradient(true);
        paint(item, b);
        xp->SetGradient(false);
        if (xp->IsHighColor()) {
            if (rtl)
                EXPECT_EQ(px(b, W + 3, 12), Rgb(LightenColor(xp->IconColumnColor(), 9)));
            else
                EXPECT_EQ(px(b, 4, 12), Rgb(LightenColor(xp->IconColumnColor(), 1)));
        }
    }

    // Drawn into another window (a popup menu's), the item asks for the flat
    // border, telling that the menu reads right to left.
    vsk::test::Owned popupWindow{vsk::test::NewBareForm(300, 40, 100, 60)};
    popupWindow->Show();
    xp->SetFlatMenu(true);
    MSG m;
    while (PeekMessageA(&m, Application->Handle(), WM_XPFLATBORDERITEM, WM_XPFLATBORDERWINDOW, PM_REMOVE)) {}
    HDC dc = GetDC(popupWindow->Handle());
    {
        TCanvas c;
        c.SetHandle(dc);
        xp->HandleDrawItem(item, &c, TRect{4, 0, 90, H}, false);
        c.SetHandle(nullptr);
    }
    ReleaseDC(popupWindow->Handle(), dc);
    ASSERT_TRUE(PeekMessageA(&m, Application->Handle(), WM_XPFLATBORDERWINDOW, WM_XPFLATBORDERWINDOW, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(m.lParam), popupWindow->Handle());
    popupWindow.Free();
    form.Free();
}
