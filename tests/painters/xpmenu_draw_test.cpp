// The flat look of menu items: measuring, item pixels on a memory DC, the
// icon painter leaving its glyph alone, and the flat popup border with the
// private messages that ask for it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "painters/QuietPaint.h"
#include "painters/XPMenu.h"
#include "painters/XPMenuManager.h"
#include "support/PainterTestForm.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/ToolWin.h"

using namespace painters;
using namespace ui;
using namespace vsk::test;

namespace {

// A form with an active painter and a popup menu of its own.
struct MenuForm {
    TForm* form = vsk::test::NewBareForm(40, 40, 200, 150);
    TXPMenu* xp = nullptr;
    TPopupMenu* popup = TComponent::Create<TPopupMenu>(form);
    MenuForm() {
        form->BeginLoading();
        xp = TComponent::Create<TXPMenu>(form);
        xp->SetActive(true);
        form->EndLoading();
    }
    ~MenuForm() { TComponent::Free(form); }
    TMenuItem* AddItem(const std::string& caption, TMenuItem* parent = nullptr) {
        auto* item = TComponent::Create<TMenuItem>(form);
        item->SetCaption(caption);
        (parent ? parent : popup->Items())->Add(item);
        return item;
    }
};

COLORREF Px(TBitmap& b, int x, int y) { return static_cast<COLORREF>(ColorToRGB(b.Canvas()->Pixels(x, y))); }

}  // namespace

TEST(XPMenuMeasure, SeparatorShortcutSubmenuAndInactiveSizes) {
    MenuForm mf;
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->Font()->Assign(mf.xp->Font());

    auto* sep = mf.AddItem("-");
    int w = 0, h = 40;
    mf.xp->HandleMeasureItem(sep, c, w, h);
    EXPECT_EQ(h, 4) << "a separator is 4 pixels high whatever was proposed";

    auto* open = mf.AddItem("&Open");
    open->SetShortCut(ShortCut('O', ssCtrl));
    w = h = 0;
    mf.xp->HandleMeasureItem(open, c, w, h);
    const std::string all = "&Open" + ShortCutToText(open->ShortCut()) + "WWW";
    EXPECT_EQ(w, c->TextWidth(all) + 5 - c->TextWidth("&") + mf.xp->IconWidth());
    EXPECT_GE(h, c->TextHeight(all) + c->TextHeight(all) * 3 / 4);

    auto* leaf = mf.AddItem("Sub");
    auto* parent = mf.AddItem("Sub");
    mf.AddItem("Child", parent);
    int wl = 0, wp = 0;
    h = 0;
    mf.xp->HandleMeasureItem(leaf, c, wl, h);
    mf.xp->HandleMeasureItem(parent, c, wp, h);
    EXPECT_EQ(wp - wl, 6) << "room for the submenu arrow";

    // A canvas that cannot draw: the proposed size stands, and the failure
    // is counted rather than lost.
    TCanvas noDC;
    const unsigned failed = QuietPaintFailures;
    w = 7;
    h = 9;
    mf.xp->HandleMeasureItem(open, &noDC, w, h);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 9);
    EXPECT_EQ(QuietPaintFailures, failed + 1);

    mf.xp->SetActive(false);
    w = 7;
    h = 9;
    mf.xp->HandleMeasureItem(open, c, w, h);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 9) << "an inactive painter measures nothing";
}

TEST(XPMenuDraw, PopupItemPixelsForPlainSelectedSeparatorAndCheckedItems) {
    MenuForm mf;
    TXPMenu* xp = mf.xp;
    xp->SetFlatMenu(false);
    auto* item = mf.AddItem("Item");
    auto* sep = mf.AddItem("-");
    auto* checked = mf.AddItem("Check");
    checked->SetChecked(true);
    const int W = 120, H = 22;
    struct Case {
        TMenuItem* item;
        bool selected;
        int x, y;
        TColor (TXPMenu::*expected)() const;
        const char* what;
    } cases[] = {
        {item, false, 110, 2, &TXPMenu::MenuBackColor, "menu background right of the text"},
        {item, false, 4, 2, &TXPMenu::IconColumnColor, "icon column"},
        {item, true, 110, 5, &TXPMenu::SelectFillColor, "selection fill"},
        {item, true, 60, 1, &TXPMenu::SelectFrameColor, "selection frame"},
        {sep, false, 60, 12, &TXPMenu::SeparatorLineColor, "separator line"},
        {sep, false, 4 + xp->IconWidth() + 3, 12, &TXPMenu::MenuBackColor, "separator starts 7 pixels into the text"},
        {checked, false, xp->IconWidth() / 2, H / 2 - 5, &TXPMenu::CheckFrameColor, "check box frame"},
    };
    for (const Case& k : cases) {
        TBitmap target(W + 10, H);
        target.Canvas()->Brush()->SetColor(0x00FF00FF);
        target.Canvas()->FillRect(TRect{0, 0, W + 10, H});
        xp->HandleDrawItem(k.item, target.Canvas(), TRect{4, 0, W + 4, H}, k.selected);
        EXPECT_EQ(Px(target, k.x, k.y), Rgb((xp->*k.expected)())) << k.what;
        EXPECT_NE(Px(target, 0, 5), 0x00FF00FFu) << k.what << ": the four pixels left of the item are repainted";
    }
}

TEST(XPMenuDraw, IconPainterLeavesTheGivenGlyphAloneAndDimsOrGreysItsCopy) {
    MenuForm mf;
    TXPMenu* xp = mf.xp;
    TBitmap glyph(8, 8);
    glyph.Canvas()->Brush()->SetColor(0x00FFFFFF);
    glyph.Canvas()->FillRect(TRect{0, 0, 8, 8});
    glyph.Canvas()->Brush()->SetColor(0x00800000);
    glyph.Canvas()->FillRect(TRect{2, 2, 6, 6});
    struct Case {
        bool enabled, highlighted;
        bool changed;  // the drawn glyph differs from the original colour
    } cases[] = {{true, false, true}, {false, false, true}, {true, true, false}};
    TButton sender(nullptr);
    for (const Case& k : cases) {
        TBitmap target(20, 20);
        target.Canvas()->Brush()->SetColor(0x00FFFFFF);
        target.Canvas()->FillRect(TRect{0, 0, 20, 20});
        xp->PaintIcon(&sender, target.Canvas(), false, false, k.enabled, false, k.highlighted, TRect{4, 4, 20, 20},
                      &glyph);
        for (int i = 0; i < 3; ++i)  // paint again: the glyph must not fade
            xp->PaintIcon(&sender, target.Canvas(), false, false, k.enabled, false, k.highlighted, TRect{4, 4, 20, 20},
                          &glyph);
        EXPECT_EQ(Px(glyph, 3, 3), 0x00800000u) << "the glyph given is never changed";
        const int dx = k.highlighted ? -1 : 0;
        EXPECT_EQ(Px(target, 4 + 3 + dx, 5 + 3 + dx) != 0x00800000u, k.changed)
            << "enabled " << k.enabled << " highlighted " << k.highlighted;
    }
}

TEST(XPFlatBorder, BorderInstallsOnceAndHidingPutsTheProcedureBack) {
    MenuForm mf;
    TXPMenu* xp = mf.xp;
    TForm* popup = vsk::test::NewBareForm(300, 60, 120, 90);
    popup->Show();
    HWND w = popup->Handle();
    const LONG_PTR before = GetWindowLongPtrA(w, GWLP_WNDPROC);
    xp->PaintFlatPopupBorder(w, false);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&FlatPopupWndProc));
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), before);
    EXPECT_FALSE(xp->BorderBusy());
    xp->PaintFlatPopupBorder(w, false);  // a second paint keeps the saved procedure
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), before);
    HDC dc = GetWindowDC(w);
    EXPECT_EQ(GetPixel(dc, 0, 10), Rgb(xp->FlatBorderColor()));
    ReleaseDC(w, dc);
    popup->Hide();
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), before) << "hiding puts the procedure back";
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0);
    TComponent::Free(popup);
}

TEST(XPFlatBorder, PrivateMessagesIgnoreStaleItemsAndWindowsThatAreNoPopupMenu) {
    MenuForm mf;
    ASSERT_NE(XPMenuManager, nullptr);
    ASSERT_EQ(XPMenuManager->CurrentMenu(), mf.xp);
    auto* item = mf.AddItem("Item");
    EXPECT_TRUE(IsLiveMenuItem(item));
    TComponent::Free(item);
    EXPECT_FALSE(IsLiveMenuItem(item)) << "a freed item is no longer found";

    // A plain window handle in the window message is no popup menu: left alone.
    TForm* other = vsk::test::NewBareForm(300, 60, 120, 90);
    other->Show();
    HWND w = other->Handle();
    const LONG_PTR before = GetWindowLongPtrA(w, GWLP_WNDPROC);
    bool seen = false;
    PostMessageA(Application->Handle(), WM_XPFLATBORDERWINDOW, 0, reinterpret_cast<LPARAM>(w));
    PostMessageA(Application->Handle(), WM_XPFLATBORDERITEM, 0, reinterpret_cast<LPARAM>(item));
    PostMessageA(Application->Handle(), WM_NULL, 0, 0);
    seen = PumpUntil([&] {
        MSG m;
        return !PeekMessageA(&m, Application->Handle(), WM_XPFLATBORDERITEM, WM_XPFLATBORDERWINDOW, PM_NOREMOVE);
    });
    EXPECT_TRUE(seen);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), before);
    TComponent::Free(other);
}

TEST(XPMenuDraw, BarItemsColourTheRestOfTheBarOnlyWithDrawMenuBar) {
    MenuForm mf;
    TXPMenu* xp = mf.xp;
    auto* bar = TComponent::Create<TMainMenu>(mf.form);
    auto addBarItem = [&](const std::string& caption) {
        auto* item = TComponent::Create<TMenuItem>(mf.form);
        item->SetCaption(caption);
        bar->Items()->Add(item);
        return item;
    };
    auto* first = addBarItem("File");
    auto* last = addBarItem("Edit");
    const TColor barColour = 0x0040C0E0;
    xp->SetMenuBarColor(barColour);
    const int cw = mf.form->ClientWidth(), H = 20;
    auto paint = [&](TMenuItem* item, TRect r) {
        auto target = std::make_unique<TBitmap>(cw + 20, H);
        target->Canvas()->Brush()->SetColor(0x00FF00FF);
        target->Canvas()->FillRect(TRect{0, 0, cw + 20, H});
        xp->HandleDrawItem(item, target->Canvas(), r, false);
        return target;
    };
    const COLORREF magenta = 0x00FF00FF, coloured = Rgb(barColour);

    xp->SetDrawMenuBar(false);
    auto b = paint(last, TRect{40, 0, 80, H});
    EXPECT_EQ(Px(*b, 100, 5), magenta) << "without DrawMenuBar the item paints only itself";

    xp->SetDrawMenuBar(true);
    b = paint(last, TRect{40, 0, 80, H});
    EXPECT_EQ(Px(*b, 60, 5), coloured) << "the item itself";
    EXPECT_EQ(Px(*b, 100, 5), coloured) << "the bar right of the last item";
    EXPECT_EQ(Px(*b, cw + 4, H - 1), coloured) << "up to the form's client width + 5";
    EXPECT_EQ(Px(*b, cw + 5, 5), magenta);
    EXPECT_EQ(Px(*b, 39, 5), magenta) << "nothing left of the item";
    b = paint(first, TRect{0, 0, 40, H});
    EXPECT_EQ(Px(*b, 45, 5), magenta) << "an item that is not the last leaves its neighbour alone";

    // Right to left: the last item fills the bar from x = 3, the others
    // the gap of 7 pixels toward the next item.
    bar->SetBiDiMode(bdRightToLeft);
    b = paint(last, TRect{60, 0, 100, H});
    EXPECT_EQ(Px(*b, 3, 5), coloured) << "from x = 3";
    EXPECT_EQ(Px(*b, 2, 5), magenta);
    EXPECT_EQ(Px(*b, 100, 5), magenta) << "up to the item's right edge";
    b = paint(first, TRect{100, 0, 140, H});
    EXPECT_EQ(Px(*b, 146, 5), coloured) << "7 pixels beyond the item";
    EXPECT_EQ(Px(*b, 147, 5), magenta);
    EXPECT_EQ(Px(*b, 99, 5), magenta);
}

namespace {

// A form with a painter that colours its menu bar, and one bar item.
struct BarForm : MenuForm {
    TMainMenu* bar = TComponent::Create<TMainMenu>(form);
    TMenuItem* item = TComponent::Create<TMenuItem>(form);
    static constexpr TColor barColour = 0x0040C0E0;
    static constexpr TRect R{20, 22, 70, 41};
    BarForm() {
        item->SetCaption("File");
        bar->Items()->Add(item);
        xp->SetMenuBarColor(barColour);
        xp->SetDrawMenuBar(true);
    }
    std::unique_ptr<TBitmap> Paint(bool selected) {
        auto target = std::make_unique<TBitmap>(120, 60);
        target->Canvas()->Brush()->SetColor(0x00FF00FF);
        target->Canvas()->FillRect(TRect{0, 0, 120, 60});
        xp->HandleDrawItem(item, target->Canvas(), R, selected);
        return target;
    }
};

}  // namespace

// A selected bar item grades its shadow from the bar colour DrawMenuBar
// gives, even where the system colours set the derived bar colour aside.
TEST(XPMenuDraw, ASelectedBarItemShadesFromTheMenuBarColour) {
    BarForm bf;
    bf.xp->SetUseSystemColors(true);
    const TRect R = BarForm::R;
    auto b = bf.Paint(true);
    EXPECT_EQ(Px(*b, R.right - 7, R.top + 1), Rgb(DarkenColor(BarForm::barColour, 10)));
    EXPECT_EQ(bf.xp->BarColor(), BarForm::barColour);
}

// A bar item under the pointer is hot-tracked.
TEST(XPMenuDraw, BarItemsHotTrackUnderThePointer) {
    BarForm bf;
    TXPMenu* xp = bf.xp;
    const TRect R = BarForm::R;
    const TColor barColour = BarForm::barColour;
    // The pointer, relative to the form's Left and Top, inside the item.
    const int fx = bf.form->Left(), fy = bf.form->Top();
    SetCursorPos(fx + R.left + 5, fy + R.top + 5);
    auto b = bf.Paint(false);
    EXPECT_EQ(Px(*b, R.left + 10, R.top + 2), Rgb(xp->SelectFillColor())) << "hot-tracked";
    EXPECT_EQ(Px(*b, R.left, R.top + 5), Rgb(xp->SelectFrameColor())) << "framed";
    EXPECT_EQ(Px(*b, R.right - 8, R.top + 5), Rgb(xp->SelectFrameColor())) << "the box ends 7 pixels early";
    EXPECT_EQ(Px(*b, R.right - 5, R.top + 5), Rgb(barColour));
    // The item's columns count, its bottom row does not.
    SetCursorPos(fx + R.left + 5, fy + R.bottom - 1);
    b = bf.Paint(false);
    EXPECT_EQ(Px(*b, R.left + 10, R.top + 2), Rgb(barColour)) << "not hot below the item's last rows";
    SetCursorPos(fx + R.right, fy + R.top + 5);
    EXPECT_FALSE(IsCursorInItemRect(bf.form, R));
    SetCursorPos(fx + R.right - 1, fy + R.bottom - 2);
    EXPECT_TRUE(IsCursorInItemRect(bf.form, R));
    EXPECT_FALSE(IsCursorInItemRect(nullptr, R));
    bf.item->SetEnabled(false);
    b = bf.Paint(false);
    EXPECT_EQ(Px(*b, R.left + 10, R.top + 2), Rgb(barColour)) << "a disabled item is never hot";
    ParkPointer();
}

// Text: a disabled tool button's caption stands on the canvas's brush
// colour; line breaks are kept; the item height rounds a half to even.
TEST(XPMenuDraw, ItemTextKeepsLineBreaksAndDisabledToolButtonsDrawOnTheirColour) {
    MenuForm mf;
    TXPMenu* xp = mf.xp;
    auto* bar = Add<TToolBar>(mf.form, 0, 0, 150, 30);
    auto* button = Add<TToolButton>(bar, 0, 0, 60, 22);
    button->SetEnabled(false);
    TBitmap b(80, 60);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(0x00FF00FF);
    c->FillRect(TRect{0, 0, 80, 60});
    c->Font()->Assign(xp->Font());
    c->Brush()->SetColor(0x0000C000);
    xp->PaintItemText(button, c, "W", TRect{0, 0, 40, 40}, DT_CENTER, false, false, false);
    const int wh = c->TextHeight("W");
    EXPECT_EQ(Px(b, 1, (40 - wh) / 2 + 1), 0x0000C000u) << "the caption's rectangle takes the button's colour";
    EXPECT_EQ(Px(b, 1, (40 - wh) / 2 - 1), 0x00FF00FFu) << "it starts at the height of \"W\" centred";
    EXPECT_EQ(Px(b, 50, 20), 0x00FF00FFu);

    c->Brush()->SetColor(0x00FF00FF);
    c->FillRect(TRect{0, 0, 80, 60});
    xp->PaintItemText(nullptr, c, "W\nW", TRect{0, 0, 80, 60}, 0, false, true, false);
    int inkRows = 0;
    for (int y = wh; y < 2 * wh; ++y)
        for (int x = 0; x < 20; ++x)
            if (Px(b, x, y) != 0x00FF00FFu) {
                ++inkRows;
                break;
            }
    EXPECT_GT(inkRows, wh / 3) << "the second line is drawn below the first";

    // Heights: text height + 0.75 of it, a half going to the even neighbour.
    auto* item = mf.AddItem("Item");
    bool sawHalf = false;
    for (int fh = 8; fh <= 30; ++fh) {
        xp->Font()->SetHeight(-fh);
        c->Font()->Assign(xp->Font());
        const int th = c->TextHeight("Item");
        int w = 0, h = 0;
        xp->HandleMeasureItem(item, c, w, h);
        const int quarter3 = th * 3;  // four times th * 0.75
        const bool up = quarter3 % 4 > 2 || (quarter3 % 4 == 2 && (quarter3 / 4) % 2 == 1);
        const int expected = th + quarter3 / 4 + (up ? 1 : 0);
        EXPECT_EQ(h, std::max(expected, 6)) << "text height " << th;
        if (quarter3 % 4 == 2) sawHalf = true;
    }
    EXPECT_TRUE(sawHalf) << "no font size gave a half to round";
}

// The separator line sits at the middle of the item, a half pixel going to
// the even row.
TEST(XPMenuDraw, SeparatorLineRoundsItsMiddleToEven) {
    MenuForm mf;
    TXPMenu* xp = mf.xp;
    auto* sep = mf.AddItem("-");
    for (int h : {4, 8}) {
        TBitmap target(130, 10);
        target.Canvas()->Brush()->SetColor(0x00FF00FF);
        target.Canvas()->FillRect(TRect{0, 0, 130, 10});
        xp->HandleDrawItem(sep, target.Canvas(), TRect{4, 0, 124, h}, false);
        // The item is drawn one row taller: 5 rows put the line at 2 (2.5
        // to even), 9 rows at 4 (4.5 to even).
        const int row = h == 4 ? 2 : 4;
        EXPECT_EQ(Px(target, 80, row), Rgb(xp->SeparatorLineColor())) << h;
        EXPECT_NE(Px(target, 80, row + 1), Rgb(xp->SeparatorLineColor())) << h;
    }
}
