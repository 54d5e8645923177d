// The bar-menu engine on canvases over memory DCs: item hooking, measuring,
// the default painter, separators, gradients and the side bar, read back
// pixel by pixel.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "painters/BarMenus.h"
#include "painters/BcChecked.h"
#include "painters/BcLayeredWindows.h"
#include "support/Owned.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/GdiGuards.h"
#include "ui/GdiTestUtil.h"

using namespace painters;
using gditest::PixelAt;
using ui::TComponent;
using ui::TMenuItem;

namespace {

ui::TColor Rgb(ui::TColor c) { return ui::ColorToRGB(c) & 0xFFFFFF; }

// A menu as this program sets them up: no side bar; the standard look
// unless a test asks for another.
struct Fixture {
    TBcBarPopupMenu* menu = Make();
    static TBcBarPopupMenu* Make() {
        auto* m = TComponent::Create<TBcBarPopupMenu>(ui::Application);
        m->Bar()->SetVisible(false);
        m->SetMenuStyle(msStandard);
        return m;
    }
    ~Fixture() { TComponent::Free(menu); }
    TMenuItem* Add(const std::string& caption, TMenuItem* parent = nullptr) {
        auto* i = TComponent::Create<TMenuItem>(menu);
        i->SetCaption(caption);
        (parent ? parent : menu->Items())->Add(i);
        return i;
    }
};

void Measure(TMenuItem* item, int& w, int& h) {
    ui::TBitmap b(1, 1);
    ASSERT_TRUE(static_cast<bool>(item->OnMeasureItem));
    item->OnMeasureItem(item, b.Canvas(), w, h);
}

void Draw(TMenuItem* item, ui::TBitmap& surface, ui::TRect r, ui::TOwnerDrawState state) {
    ASSERT_TRUE(static_cast<bool>(item->OnAdvancedDrawItem));
    ui::TCanvas* c = surface.Canvas();
    c->Brush()->SetColor(ui::clMenu);
    c->Font()->SetColor(ui::clMenuText);
    item->OnAdvancedDrawItem(item, c, r, state);
}

int CountColor(ui::TBitmap& b, ui::TRect r, ui::TColor c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (PixelAt(b, x, y) == c) ++n;
    return n;
}

class Module : public TBcBarMenusDrawModule {
public:
    using TBcBarMenusDrawModule::TBcBarMenusDrawModule;
    bool draw = true;
    bool fail = false;
    int drawn = 0;
    void DrawMenuItem(TMenuItem*, ui::TCanvas*, ui::TRect, ui::TOwnerDrawState, bool, bool& DefaultDraw) override {
        ++drawn;
        if (fail) throw ui::EIntOverflow("Integer overflow");
        DefaultDraw = draw;
    }
    void MeasureMenuItem(TMenuItem*, ui::TCanvas*, int& Width, int&, bool, bool& DefaultMeasure) override {
        Width += 1000;
        DefaultMeasure = false;
    }
};

}  // namespace

// ---------------------------------------------------------------- hooking

TEST(BarMenuHooking, OwnHandlersStayAndNothingIsHookedTwiceOrWhileLoading) {
    Fixture f;
    ui::TMenuMeasureItemEvent ownMeasure([](ui::TObject*, ui::TCanvas*, int& w, int&) { w = 1; });
    ui::TMenuDrawItemEvent ownDraw([](ui::TObject*, ui::TCanvas*, ui::TRect, bool) {});
    const ui::TAdvancedMenuDrawItemEvent engineDraw(&BarMenuAdvancedDrawItem);
    const ui::TMenuMeasureItemEvent engineMeasure(&BarMenuMeasureItem);

    auto* plain = TComponent::Create<TMenuItem>(f.menu);
    auto* measured = TComponent::Create<TMenuItem>(f.menu);
    measured->OnMeasureItem = ownMeasure;
    auto* drawn = TComponent::Create<TMenuItem>(f.menu);
    drawn->OnDrawItem = ownDraw;
    for (TMenuItem* i : {plain, measured, drawn}) f.menu->Items()->Add(i);
    EXPECT_TRUE(plain->OnMeasureItem == engineMeasure);
    EXPECT_TRUE(plain->OnAdvancedDrawItem == engineDraw);
    EXPECT_TRUE(measured->OnMeasureItem == ownMeasure);
    EXPECT_TRUE(measured->OnAdvancedDrawItem == engineDraw);
    EXPECT_TRUE(drawn->OnMeasureItem == engineMeasure);
    EXPECT_FALSE(static_cast<bool>(drawn->OnAdvancedDrawItem));

    // Once hooked, an item is left alone, even by a hook that would replace
    // every handler.
    plain->OnMeasureItem = ownMeasure;
    HookMenuItems(f.menu, nullptr, true, engineMeasure, engineDraw, false);
    EXPECT_TRUE(plain->OnMeasureItem == ownMeasure);

    // Items added while the menu loads wait for Loaded.
    auto* form = TComponent::Create<ui::TComponent>(nullptr);
    auto* loading = TComponent::Create<TBcBarPopupMenu>(form);
    form->BeginLoading();
    auto* late = TComponent::Create<TMenuItem>(loading);
    loading->Items()->Add(late);
    auto* lateChild = TComponent::Create<TMenuItem>(loading);
    late->Add(lateChild);
    EXPECT_FALSE(static_cast<bool>(late->OnAdvancedDrawItem));
    EXPECT_FALSE(static_cast<bool>(lateChild->OnMeasureItem));
    form->EndLoading();
    EXPECT_FALSE(loading->HasState(ui::csLoading));
    EXPECT_TRUE(late->OnAdvancedDrawItem == engineDraw);
    EXPECT_TRUE(lateChild->OnAdvancedDrawItem == engineDraw);
    TComponent::Free(form);

    // A branch built elsewhere and added whole is hooked down to its leaves.
    auto* branch = TComponent::Create<TMenuItem>(f.menu);
    auto* leaf = TComponent::Create<TMenuItem>(f.menu);
    branch->Add(leaf);
    f.menu->Items()->Add(branch);
    EXPECT_TRUE(leaf->OnAdvancedDrawItem == engineDraw);
}

TEST(BarMenuHooking, AnItemMovedToAnotherKindOfMenuIsDrawnByThatMenu) {
    vsk::test::Owned bar{TComponent::Create<TBcBarPopupMenu>(ui::Application)};
    vsk::test::Owned plain{TComponent::Create<ui::TPopupMenu>(ui::Application)};
    plain->SetOwnerDraw(true);
    auto* item = TComponent::Create<TMenuItem>(ui::Application);
    item->SetCaption("Moved");
    bar->Items()->Add(item);
    ASSERT_TRUE(static_cast<bool>(item->OnAdvancedDrawItem));
    bar->Items()->Remove(item);
    plain->Items()->Add(item);
    bar.Free();  // the handlers must not reach the freed menu

    int w = 50, h = 20;
    Measure(item, w, h);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 20);
    ui::TBitmap surface(120, 20);
    surface.Canvas()->Brush()->SetColor(ui::clRed);
    surface.Canvas()->FillRect(ui::Rect(0, 0, 120, 20));
    Draw(item, surface, ui::Rect(0, 0, 120, 20), 0);
    EXPECT_EQ(PixelAt(surface, 100, 2), Rgb(ui::clMenu));  // the library's own look
    EXPECT_TRUE(item->OnAdvancedDrawItem == ui::TAdvancedMenuDrawItemEvent(&BarMenuAdvancedDrawItem));
    plain.Free();  // frees its items, the moved one too
}

// ---------------------------------------------------------------- measuring

TEST(BarMenuMeasuring, SizesFollowTheLookTheBarAndTheSeparators) {
    ui::TImageList* images = TComponent::Create<ui::TImageList>(ui::Application);
    struct Case {
        const char* what;
        TBcMenuStyle style;
        bool images, enabled, hint, line, bar, secondColumn, subItem;
        TSeparatorStyle sep;
        int w, h;  // proposed 100 x 17
    } cases[] = {
        {"captioned separator", msStandard, false, true, true, true, false, false, false, ssNormal, 100, 14},
        {"disabled separator, standard", msStandard, false, false, true, true, false, false, false, ssNormal, 100, 12},
        {"plain separator, XP", msWindowsXP, false, true, false, true, false, false, false, ssNormal, 100, 9},
        {"item without images", msStandard, false, true, false, false, false, false, false, ssNormal, 115, 17},
        {"item with images", msStandard, true, true, false, false, false, false, false, ssNormal, 100, 17},
        {"XP item: even height", msWindowsXP, true, true, false, false, false, false, false, ssNormal, 102, 18},
        {"short lines widen items", msStandard, true, true, false, false, false, false, false, ssShortLine, 110, 17},
        {"short lines widen separators", msStandard, true, true, false, true, false, false, false, ssShortLine, 110,
         12},
        {"beside the bar", msStandard, true, true, false, false, true, false, false, ssNormal, 133, 17},
        {"second column: no bar", msStandard, true, true, false, false, true, true, false, ssNormal, 100, 17},
        {"submenu item: no bar", msStandard, true, true, false, false, true, false, true, ssNormal, 100, 17},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.menu->SetMenuStyle(c.style);
        f.menu->SetImages(c.images ? images : nullptr);
        f.menu->Separators()->SetSeparatorStyle(c.sep);
        f.menu->Bar()->SetVisible(c.bar);
        TMenuItem* first = f.Add("First");
        TMenuItem* item = c.subItem ? f.Add("x", first) : f.Add("x");
        if (c.secondColumn) first->SetBreak(ui::mbBreak);
        if (c.line) item->SetCaption("-");
        if (c.hint) item->SetHint("Group");
        item->SetEnabled(c.enabled);
        int w = 100, h = 17;
        Measure(item, w, h);
        EXPECT_EQ(w, c.w) << c.what;
        EXPECT_EQ(h, c.h) << c.what;
    }
    TComponent::Free(images);
}

TEST(BarMenuMeasuring, BarHeightSumsVisibleItemsOnlyWhileRecalculating) {
    Fixture f;
    f.menu->Bar()->SetVisible(true);
    TMenuItem* a = f.Add("A");
    TMenuItem* b = f.Add("B");
    TMenuItem* hidden = f.Add("C");
    hidden->SetVisible(false);
    TBcBarProtected* cache = f.menu->GetBarProtected();
    cache->SetRecalc(true);
    for (TMenuItem* i : {a, b, hidden}) {
        int w = 10, h = 20;
        Measure(i, w, h);
    }
    EXPECT_EQ(cache->BarHeight, 40);
    cache->SetRecalc(false);
    int w = 10, h = 20;
    Measure(a, w, h);
    EXPECT_EQ(cache->BarHeight, 40);

    // The menu's event and then a draw module may take the measuring over;
    // the bar's room is added whatever they say.
    Module* m = TComponent::Create<Module>(ui::Application);
    f.menu->SetDrawModule(m);
    f.menu->Separators()->SetSeparatorStyle(ssShortLine);
    w = 10;
    Measure(a, w, h);
    EXPECT_EQ(w, 10 + 15 + 1000 + 33);
    f.menu->OnMeasureMenuItem =
        TOnMeasureMenuItemEvent([](ui::TObject*, TMenuItem*, ui::TCanvas*, int& W, int&, bool, bool& Default) {
            W = 1;
            Default = false;
        });
    w = 10;
    Measure(a, w, h);
    EXPECT_EQ(w, 1 + 33);
    TComponent::Free(m);
    EXPECT_EQ(f.menu->DrawModule(), nullptr);
}

// ---------------------------------------------------------------- the default painter

TEST(BarMenuPainting, SelectionFillAndCheckMarksFromTheImageList) {
    ui::TImageList* images = TComponent::Create<ui::TImageList>(ui::Application);
    images->SetSize(16, 16);
    const ui::TRect r = ui::Rect(0, 0, 160, 22);
    for (TBcMenuStyle style : {msStandard, msWindowsXP}) {
        Fixture f;
        f.menu->SetMenuStyle(style);
        f.menu->SetImages(images);
        TMenuItem* item = f.Add("Item");
        ui::TBitmap surface(160, 22);

        // Unselected: menu colour; selected: highlight behind the text.
        Draw(item, surface, r, 0);
        EXPECT_EQ(PixelAt(surface, 150, 11), Rgb(ui::clMenu)) << style;
        Draw(item, surface, r, ui::odSelected);
        EXPECT_EQ(PixelAt(surface, 150, 11), Rgb(ui::clHighlight)) << style;
        EXPECT_EQ(PixelAt(surface, 150, 1), Rgb(ui::clHighlight)) << style;

        // Checked items without an image get the radio dot or the check.
        item->SetChecked(true);
        const ui::TRect glyph = ui::Rect(1, 3, 19, 20);
        Draw(item, surface, r, 0);
        const int checkDark = CountColor(surface, glyph, 0);
        std::vector<ui::TColor> checkPixels;
        for (int y = glyph.top; y < glyph.bottom; ++y)
            for (int x = glyph.left; x < glyph.right; ++x) checkPixels.push_back(PixelAt(surface, x, y));
        EXPECT_GT(checkDark, 5) << style;
        item->SetRadioItem(true);
        Draw(item, surface, r, 0);
        const int radioDark = CountColor(surface, glyph, 0);
        EXPECT_GE(radioDark, 20) << style;  // the 24-pixel dot
        EXPECT_LE(radioDark, 30) << style;
        std::vector<ui::TColor> radioPixels;
        for (int y = glyph.top; y < glyph.bottom; ++y)
            for (int x = glyph.left; x < glyph.right; ++x) radioPixels.push_back(PixelAt(surface, x, y));
        EXPECT_NE(checkPixels, radioPixels) << style;
    }
    // Without an image list there is no mark at all.
    Fixture f;
    f.menu->SetMenuStyle(msWindowsXP);
    TMenuItem* item = f.Add("Item");
    item->SetChecked(true);
    ui::TBitmap surface(160, 22);
    Draw(item, surface, r, 0);
    EXPECT_EQ(CountColor(surface, ui::Rect(1, 3, 7, 20), 0), 0);
    TComponent::Free(images);
}

// The caption is measured to place it, never to cut it: every pixel a plain
// draw of the caption in the menu's font gives is there, enabled or greyed,
// whatever the font draws past its measured width; a right-to-left menu
// puts it against the item's right end.
TEST(BarMenuPainting, CaptionsShowWholeAndRightToLeftStandsAtTheRight) {
    const char* const captions[] = {"All windows/This window", "Add to 'Do not hide list'", "Add application from disk",
                                    "Remove Selected Entry", "Current"};
    const ui::TRect r = ui::Rect(0, 0, 260, 22);
    auto ink = [](ui::TBitmap& b, int x0, int x1) {
        int n = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = x0; x < x1; ++x)
                if (PixelAt(b, x, y) != Rgb(ui::clMenu)) ++n;
        return n;
    };
    for (TBcMenuStyle style : {msStandard, msWindowsXP}) {
        for (const char* caption : captions) {
            for (bool enabled : {true, false}) {
                SCOPED_TRACE(std::string(caption) + (enabled ? " enabled " : " disabled ") + std::to_string(style));
                Fixture f;
                f.menu->SetMenuStyle(style);
                TMenuItem* item = f.Add(caption);
                item->SetEnabled(enabled);
                ui::TBitmap surface(r.right, r.bottom);
                surface.Canvas()->Font()->Assign(ui::Screen->MenuFont());
                Draw(item, surface, r, 0);
                // The same caption drawn plainly, unclipped, as the item
                // draws it: greyed with its raised copy when disabled.
                ui::TBitmap plain(r.right, r.bottom);
                ui::TCanvas* pc = plain.Canvas();
                pc->Brush()->SetColor(ui::clMenu);
                pc->FillRect(r);
                {
                    HDC dc = pc->Handle();
                    ui::ScopedSelectObject font(dc, surface.Canvas()->Font()->Handle());
                    SetBkMode(dc, TRANSPARENT);
                    auto put = [&](int x, ui::TColor c) {
                        RECT t{x, 2, x + 1, 20};
                        SetTextColor(dc, ui::ColorToCOLORREF(c));
                        DrawTextA(dc, caption, -1, &t, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
                    };
                    if (!enabled) put(11, ui::clBtnHighlight);
                    put(10, enabled ? ui::clMenuText : ui::clBtnShadow);
                }
                EXPECT_EQ(ink(surface, 0, r.right), ink(plain, 0, r.right));

                // Right to left: the caption's ink sits in the right half.
                f.menu->SetBiDiMode(ui::bdRightToLeft);
                Draw(item, surface, r, 0);
                EXPECT_GT(ink(surface, r.right / 2, r.right), 0);
                EXPECT_EQ(ink(surface, 0, 40), 0);
            }
        }
    }
}

TEST(BarMenuPainting, TheItemsDrawHandlerComesBackHoweverDrawingEnds) {
    Fixture f;
    TMenuItem* item = f.Add("Item");
    const ui::TAdvancedMenuDrawItemEvent engineDraw(&BarMenuAdvancedDrawItem);
    Module* m = TComponent::Create<Module>(ui::Application);
    f.menu->SetDrawModule(m);
    EXPECT_EQ(m->GetMenu(), f.menu);
    ui::TBitmap surface(100, 20);
    for (int round = 0; round < 3; ++round) {
        m->draw = round != 0;  // a module that draws alone
        m->fail = round == 2;  // a module that raises
        if (m->fail)
            EXPECT_THROW(Draw(item, surface, ui::Rect(0, 0, 100, 20), 0), ui::EIntOverflow);
        else
            Draw(item, surface, ui::Rect(0, 0, 100, 20), 0);
        EXPECT_TRUE(item->OnAdvancedDrawItem == engineDraw) << round;
    }
    EXPECT_EQ(m->drawn, 3);
    TComponent::Free(f.menu);
    f.menu = Fixture::Make();
    EXPECT_EQ(m->GetMenu(), nullptr);  // the freed menu let go of it
    m->Reattach();                     // without a menu: nothing
    TComponent::Free(m);
}

// ---------------------------------------------------------------- separators

TEST(BarMenuPainting, EverySeparatorStyle) {
    const ui::TColor face = Rgb(ui::clMenu);
    const ui::TColor shadow = Rgb(ui::clBtnShadow);
    const ui::TColor light = Rgb(ui::clBtnHighlight);
    struct Case {
        const char* what;
        TSeparatorStyle style;
        std::string hint;
        bool fade, flat;
        int x, y;
        ui::TColor expected;  // -1: anything but the face
    } cases[] = {
        {"etched: dark row", ssNormal, "", false, false, 60, 5, shadow},
        {"etched: light row", ssNormal, "", false, false, 60, 6, light},
        {"short line keeps its ends clear", ssShortLine, "", false, false, 5, 5, face},
        {"short line in the middle", ssShortLine, "", false, false, 60, 5, shadow},
        {"flat line", ssNormal, "", false, true, 60, 6, face},
        {"fade: fully faded at the start", ssNormal, "", true, false, 0, 4, face},
        {"fade: full colour in the middle", ssNormal, "", true, false, 60, 4, shadow},
        {"fade: highlight row in the middle", ssNormal, "", true, false, 60, 5, light},
        {"caption: gradient start at the left", ssCaption, "Group", false, false, 0, 0, 0x808080},
        {"caption: near the end at the right", ssCaption, "Group", false, false, 119, 0, -1},
        {"text: left piece of the line", ssNormal, "Group", false, false, 3, 6, shadow},
        {"text: right piece of the line", ssNormal, "Group", false, false, 116, 6, shadow},
    };
    for (const Case& c : cases) {
        Fixture f;
        TBcSeparators* s = f.menu->Separators();
        s->SetSeparatorStyle(c.style);
        s->SetFade(c.fade);
        s->SetFlatLines(c.flat);
        TMenuItem* line = f.Add("-");
        line->SetHint(c.hint);
        ui::TBitmap surface(120, 14);
        surface.Canvas()->Brush()->SetColor(ui::clMenu);
        surface.Canvas()->FillRect(ui::Rect(0, 0, 120, 14));
        ui::TRect r = ui::Rect(0, 0, 120, 14);
        if (c.style == ssShortLine) r.right -= 10;  // as the engine hands it over
        ui::TCanvas* canvas = surface.Canvas();
        std::string text;
        IsSeparatorWithText(line, text);
        DrawSeparator(f.menu, line, text, canvas, r, 0);
        const ui::TColor got = PixelAt(surface, c.x, c.y);
        if (c.expected == -1) {
            EXPECT_NE(got, face) << c.what;
            EXPECT_NE(got, 0x808080) << c.what;
        } else {
            EXPECT_EQ(got, c.expected) << c.what << " got " << gditest::Hex(got);
        }
    }
}

TEST(BarMenuPainting, FadeLineBlendsTowardsItsColourAndSurvivesAZeroWidth) {
    ui::TBitmap surface(101, 3);
    surface.Canvas()->Brush()->SetColor(ui::clWhite);
    surface.Canvas()->FillRect(ui::Rect(0, 0, 101, 3));
    DrawFadeLine(surface.Canvas(), ui::TRect{}, ui::Rect(0, 1, 100, 2), ui::clBlack, 10, false);
    EXPECT_EQ(PixelAt(surface, 0, 1), 0xFFFFFF);
    EXPECT_EQ(PixelAt(surface, 5, 1), RGB(128, 128, 128));  // 255 + 5 * (0 - 255) div 10
    EXPECT_EQ(PixelAt(surface, 50, 1), 0);
    EXPECT_EQ(PixelAt(surface, 95, 1), RGB(128, 128, 128));
    EXPECT_EQ(PixelAt(surface, 100, 1), 0xFFFFFF);
    EXPECT_EQ(PixelAt(surface, 50, 0), 0xFFFFFF);
    DrawFadeLine(surface.Canvas(), ui::TRect{}, ui::Rect(0, 2, 100, 3), ui::clRed, 0, false);
    EXPECT_EQ(PixelAt(surface, 0, 2), 0x0000FF);
}

// ---------------------------------------------------------------- gradients

TEST(BarMenuPainting, GradientsInEveryDirectionOnBitmapAndCanvasAlike) {
    const ui::TColor from = RGB(0, 0, 0), to = RGB(200, 100, 40);
    struct Case {
        TGradientStyle style;
        int x, y;
        ui::TColor expected;
    } cases[] = {
        {gsVertical, 5, 0, from},
        {gsVertical, 0, 9, RGB(180, 90, 36)},
        {gsVertical, 19, 5, RGB(100, 50, 20)},
        {gsHorizontal, 0, 7, from},
        {gsHorizontal, 10, 0, RGB(100, 50, 20)},
        {gsHorizontal, 10, 9, RGB(100, 50, 20)},
        {gsDiagonalLeftRight, 0, 0, from},
        {gsDiagonalLeftRight, 10, 5, RGB(100, 50, 20)},
        {gsDiagonalRightLeft, 19, 0, from},
        {gsDiagonalRightLeft, 9, 5, RGB(100, 50, 20)},
    };
    for (const Case& c : cases) {
        ui::TBitmap onBitmap(20, 10), onCanvas(20, 10);
        FillGradientRect(&onBitmap, nullptr, ui::Rect(0, 0, 20, 10), from, to, c.style);
        FillGradientRect(nullptr, onCanvas.Canvas(), ui::Rect(0, 0, 20, 10), from, to, c.style);
        EXPECT_EQ(PixelAt(onBitmap, c.x, c.y), c.expected) << int(c.style) << " at " << c.x << "," << c.y;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(PixelAt(onBitmap, x, y), PixelAt(onCanvas, x, y)) << int(c.style) << " " << x << "," << y;
    }
    // Equal colours fill exactly the rectangle.
    ui::TBitmap b(10, 10);
    FillGradientRect(&b, nullptr, ui::Rect(2, 2, 5, 5), ui::clRed, ui::clRed, gsVertical);
    EXPECT_EQ(PixelAt(b, 2, 2), 0x0000FF);
    EXPECT_EQ(PixelAt(b, 4, 4), 0x0000FF);
    EXPECT_EQ(PixelAt(b, 5, 4), 0xFFFFFF);
    EXPECT_EQ(PixelAt(b, 4, 5), 0xFFFFFF);
    // A rectangle larger than the bitmap is laid over it, clipped.
    for (TGradientStyle s : {gsVertical, gsHorizontal, gsDiagonalLeftRight, gsDiagonalRightLeft}) {
        ui::TBitmap small(4, 4);
        FillGradientRect(&small, nullptr, ui::Rect(-100, -100, 400, 400), from, to, s);
        EXPECT_NE(PixelAt(small, 0, 0), 0xFFFFFF) << int(s);
    }
    EXPECT_EQ(TileStart(10, 25), -5);
    EXPECT_EQ(TileStart(10, 0), 0);
    EXPECT_EQ(TileStart(10, -3), -3);
    EXPECT_EQ(TileStart(0, 5), 5);  // no step: no endless loop
}

// ---------------------------------------------------------------- the side bar

TEST(BarMenuSideBar, RenderedOnceAndCopiedInSlices) {
    Fixture f;
    TBcBar* bar = f.menu->Bar();
    bar->SetVisible(true);
    bar->SetGradientStart(RGB(255, 0, 0));
    bar->SetGradientEnd(RGB(0, 0, 255));
    bar->BarCaption()->SetCaption("Veskara");
    bar->BarCaption()->Font()->SetColor(ui::clLime);
    std::vector<TMenuItem*> items{f.Add("One"), f.Add("Two"), f.Add("Three")};
    int renders = 0;
    static int* counter;
    counter = &renders;
    f.menu->OnBeforeDrawBar = TOnBeforeDrawBarEvent([](ui::TObject*, ui::TCanvas*, ui::TRect, bool&) { ++*counter; });
    // A popup measures every item first.
    f.menu->GetBarProtected()->SetRecalc(true);
    for (TMenuItem* i : items) {
        int w = 100, h = 20;
        Measure(i, w, h);
        EXPECT_EQ(w, 100 + 15 + 33);
    }
    EXPECT_EQ(f.menu->GetBarProtected()->BarHeight, 60);

    ui::TBitmap surface(148, 60);
    for (int k = 0; k < 3; ++k) Draw(items[k], surface, ui::Rect(0, k * 20, 148, k * 20 + 20), 0);
    EXPECT_EQ(renders, 1);
    TBcBarProtected* cache = f.menu->GetBarProtected();
    EXPECT_TRUE(cache->Valid);
    ASSERT_EQ(cache->GetBarBitmap()->Width(), 32);
    ASSERT_EQ(cache->GetBarBitmap()->Height(), 60);
    // The bar on the window is the bar image, row for row; the items stand
    // right of it.
    for (int y : {0, 25, 59})
        for (int x : {0, 16, 31})
            EXPECT_EQ(PixelAt(surface, x, y), PixelAt(*cache->GetBarBitmap(), x, y)) << x << "," << y;
    EXPECT_EQ(PixelAt(surface, 0, 0), RGB(255, 0, 0));
    EXPECT_NE(PixelAt(surface, 0, 59), RGB(255, 0, 0));
    int green = 0;  // the caption
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 32; ++x) {
            const ui::TColor p = PixelAt(*cache->GetBarBitmap(), x, y);
            if (GetGValue(p) > 200 && GetRValue(p) < 120 && GetBValue(p) < 120) ++green;
        }
    EXPECT_GT(green, 0);
    EXPECT_EQ(PixelAt(surface, 140, 10), Rgb(ui::clMenu));

    // A later item's slice is copied, not rendered again.
    ui::TBitmap again(148, 60);
    Draw(items[2], again, ui::Rect(0, 40, 148, 60), 0);
    EXPECT_EQ(renders, 1);
    EXPECT_EQ(PixelAt(again, 5, 50), PixelAt(*cache->GetBarBitmap(), 5, 50));
    EXPECT_EQ(PixelAt(again, 5, 10), 0xFFFFFF);  // other rows untouched

    // A change of a top-level item asks for a new rendering; a submenu
    // item's change leaves the cache alone.
    TMenuItem* sub = f.Add("Sub", items[0]);
    cache->Valid = true;
    sub->SetCaption("Sub 2");
    EXPECT_TRUE(cache->Valid);
    items[1]->SetCaption("Two!");
    EXPECT_FALSE(cache->Valid);
    auto measureAll = [&] {
        f.menu->GetBarProtected()->SetRecalc(true);  // as a popup does
        for (TMenuItem* i : items) {
            int w = 100, h = 20;
            Measure(i, w, h);
        }
    };
    measureAll();
    Draw(items[0], surface, ui::Rect(0, 0, 148, 20), 0);
    EXPECT_EQ(renders, 2);

    // On the right side the bar stands at the right edge.
    bar->SetSide(sRight);
    f.menu->Refresh(true, false);
    EXPECT_FALSE(cache->Valid);
    measureAll();
    ui::TBitmap right(148, 60);
    Draw(items[0], right, ui::Rect(0, 0, 148, 20), 0);
    EXPECT_EQ(PixelAt(right, 147, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(right, 2, 10), Rgb(ui::clMenu));
}

TEST(BarMenuSideBar, CaptionReleasesItsRotatedFontWhenAStepRaises) {
    Fixture f;
    TBcBarProtected* cache = f.menu->GetBarProtected();
    cache->GetBarBitmap()->SetSize(32, 100);
    cache->SetBarHeight(100);
    f.menu->Bar()->BarCaption()->SetCaption("Veskara");
    HDC dc = cache->GetBarBitmap()->Canvas()->Handle();
    auto run = [&] { DrawBarCaption(f.menu, ui::Rect(0, 0, 32, 100)); };
    run();  // makes whatever the system caches
    const int before = gditest::GdiObjectCount();
    HGDIOBJ fontBefore = GetCurrentObject(dc, OBJ_FONT);
    f.menu->Bar()->BarCaption()->SetOffsetY(INT_MIN);  // BarHeight - OffsetY overflows
    EXPECT_THROW(run(), ui::EIntOverflow);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), fontBefore);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    if (before >= 0) {
        EXPECT_EQ(gditest::GdiObjectCount(), before);
    }
}

// ---------------------------------------------------------------- the menu window

TEST(BarMenuWindow, AlphaAndFrameKeepOffTheWindowsUserData) {
    Fixture f;
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 80, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    SetWindowLongPtrA(w, GWLP_USERDATA, 0x1234);
    if (LayeredWindowsAvailable()) {
        ApplyMenuAlpha(f.menu, w, 128);
        EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED);
        BYTE alpha = 0;
        DWORD flags = 0;
        if (GetLayeredWindowAttributes(w, nullptr, &alpha, &flags)) {
            EXPECT_EQ(alpha, 128);
        }
        ApplyMenuAlpha(f.menu, w, 255);  // an opaque menu on a reused window
        EXPECT_FALSE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED);
    }
    ApplyMenuWindowFrame(f.menu, w);
    EXPECT_FALSE(MenuWindowFramed(w));  // the option is off
    f.menu->SetFrameOption(true);
    ApplyMenuWindowFrame(f.menu, w);
    EXPECT_TRUE(MenuWindowFramed(w));
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0x1234);
    DestroyWindow(w);
}

// ---------------------------------------------------------------- refresh and the main menu

TEST(BarMenuRefresh, PopupAndMainMenuRefreshRules) {
    Fixture f;
    TBcBarProtected* cache = f.menu->GetBarProtected();
    cache->SetBarHeight(50);
    cache->Recalc = false;
    cache->Valid = true;
    f.menu->Refresh(false, false);
    EXPECT_TRUE(cache->Valid);
    EXPECT_EQ(cache->BarHeight, 50);
    f.menu->Refresh(true, false);
    EXPECT_FALSE(cache->Valid);
    EXPECT_TRUE(cache->Recalc);

    auto* mm = TComponent::Create<TBcCustomBarMainMenu>(ui::Application);
    EXPECT_TRUE(mm->OwnerDraw());
    SetBarMenuOSVersion(6, 0, true);  // msAuto: the standard look
    auto* file = TComponent::Create<TMenuItem>(mm);
    file->SetCaption("File");
    mm->Items()->Add(file);
    auto* edit = TComponent::Create<TMenuItem>(mm);
    edit->SetCaption("Edit");
    mm->Items()->Add(edit);
    auto* open = TComponent::Create<TMenuItem>(mm);
    file->Add(open);
    auto* copy = TComponent::Create<TMenuItem>(mm);
    edit->Add(copy);
    EXPECT_TRUE(copy->OnAdvancedDrawItem == ui::TAdvancedMenuDrawItemEvent(&BarMenuAdvancedDrawItem));
    EXPECT_EQ(GetFirstVisibleItem(mm), file);
    EXPECT_TRUE(IsChildOfFirstVisibleItem(mm, open));
    EXPECT_FALSE(IsChildOfFirstVisibleItem(mm, copy));
    // Only the first visible drop-down carries the bar.
    int w = 100, h = 20;
    Measure(open, w, h);
    EXPECT_EQ(w, 100 + 15 + 33);
    w = 100;
    Measure(copy, w, h);
    EXPECT_EQ(w, 100 + 15);
    file->SetVisible(false);
    w = 100;
    Measure(copy, w, h);
    EXPECT_EQ(w, 100 + 15 + 33);
    file->SetVisible(true);

    ReadBarMenuOSVersion();
    TBcBarProtected* mcache = mm->GetBarProtected();
    mcache->Valid = true;
    mm->SetMenuStyle(msAuto);  // unchanged: nothing
    EXPECT_TRUE(mcache->Valid);
    mm->SetMenuStyle(msWindowsXP);
    EXPECT_FALSE(mcache->Valid);
    EXPECT_TRUE(mcache->Recalc);
    Module* m = TComponent::Create<Module>(ui::Application);
    mm->SetDrawModule(m);
    EXPECT_EQ(m->GetMenu(), mm);
    TComponent::Free(mm);
    EXPECT_EQ(m->GetMenu(), nullptr);
    TComponent::Free(m);
}

TEST(BarMenuLife, ItemsGoBeforeTheOptionsAndNobodyHearsOfIt) {
    // A plain delete (no Free) runs the destructors alone: the items must
    // still go quietly, before the options they could reach.
    for (bool plainDelete : {true, false}) {
        auto* m = TComponent::Create<TBcBarPopupMenu>(ui::Application);
        static int changes;
        changes = 0;
        m->OnChange = ui::TMenuChangeEvent([](ui::TObject*, TMenuItem*, bool) { ++changes; });
        for (const char* c : {"A", "-", "B"}) {
            auto* i = TComponent::Create<TMenuItem>(m);
            i->SetCaption(c);
            m->Items()->Add(i);
            i->Add(TComponent::Create<TMenuItem>(m));
        }
        Module* module = TComponent::Create<Module>(ui::Application);
        m->SetDrawModule(module);
        changes = 0;
        if (plainDelete)
            delete m;
        else
            TComponent::Free(m);
        EXPECT_EQ(changes, 0) << plainDelete;
        EXPECT_EQ(module->GetMenu(), nullptr) << plainDelete;
        TComponent::Free(module);
    }
}

TEST(BarMenuLife, AMainMenuOnAFormDrawsItsBarItems) {
    vsk::test::Owned form{TComponent::Create<ui::TForm>(ui::Application)};
    auto* mm = TComponent::Create<TBcCustomBarMainMenu>(form);
    mm->SetMenuStyle(msWindowsXP);
    auto* file = TComponent::Create<TMenuItem>(mm);
    file->SetCaption("&File");
    mm->Items()->Add(file);
    form->SetMenu(mm);
    form->HandleNeeded();
    ASSERT_NE(mm->WindowHandle(), nullptr);
    // A bar item keeps the size the library proposes and is painted in the
    // XP bar colour (with the XP flag set) or the menu colour.
    int w = 40, h = 19;
    Measure(file, w, h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 19);
    for (bool xpFlag : {true, false}) {
        SetBarMenuOSVersion(xpFlag ? 6 : 6, xpFlag ? 1 : 0, true);
        ui::TBitmap surface(40, 19);
        Draw(file, surface, ui::Rect(0, 0, 40, 19), 0);
        EXPECT_EQ(PixelAt(surface, 38, 2), Rgb(xpFlag ? ui::clBtnFace : ui::clMenu)) << xpFlag;
        Draw(file, surface, ui::Rect(0, 0, 40, 19), ui::odHotLight);
        EXPECT_EQ(PixelAt(surface, 38, 2), Rgb(ui::clHighlight)) << xpFlag;
    }
    ReadBarMenuOSVersion();
}

TEST(BarMenuSideBar, PicturesBackgroundsBorderAndParts) {
    // A 4 x 4 picture: blue top-left pixel, green elsewhere.
    auto makePicture = [](ui::TBitmap& p) {
        p.SetSize(4, 4);
        p.Canvas()->Brush()->SetColor(ui::clLime);
        p.Canvas()->FillRect(ui::Rect(0, 0, 4, 4));
        p.Canvas()->SetPixel(0, 0, ui::clBlue);
    };
    ui::TBitmap picture;
    makePicture(picture);
    struct Case {
        const char* what;
        std::function<void(TBcBar*)> setup;
        int x, y;
        ui::TColor expected;
    } cases[] = {
        {"gradient alone", [](TBcBar*) {}, 0, 0, 0xD8BDAF},
        {"picture at its place",
         [&](TBcBar* b) {
             b->BarPicture()->SetPicture(&picture);
             b->BarPicture()->SetTransparent(false);
             b->BarPicture()->SetVertAlignment(vaTop);
             b->BarPicture()->SetHorzAlignment(haLeft);
             b->BarPicture()->SetOffsetX(3);
             b->BarPicture()->SetOffsetY(5);
         },
         3, 5, 0xFF0000},
        {"stretched opaque background hides the gradient",
         [&](TBcBar* b) {
             b->BarBackPicture()->SetPicture(&picture);
             b->BarBackPicture()->SetTransparent(false);
             b->BarBackPicture()->SetDrawStyle(dsStretch);
         },
         31, 39, 0x00FF00},
        {"tiles from the top-left",
         [&](TBcBar* b) {
             b->BarBackPicture()->SetPicture(&picture);
             b->BarBackPicture()->SetTransparent(false);
             b->BarBackPicture()->SetDrawStyle(dsTile);
         },
         8, 12, 0xFF0000},
        {"tiles from the bottom-right",
         [&](TBcBar* b) {
             b->BarBackPicture()->SetPicture(&picture);
             b->BarBackPicture()->SetTransparent(false);
             b->BarBackPicture()->SetDrawStyle(dsTile);
             b->BarBackPicture()->SetVertAlignment(vaBottom);
             b->BarBackPicture()->SetHorzAlignment(haRight);
             b->SetWidth(30);  // 30 mod 4 = 2: columns start at -2
         },
         2, 0, 0xFF0000},
        {"border", [](TBcBar* b) { b->SetBorder(ui::clRed); }, 31, 39, 0x0000FF},
    };
    for (const Case& c : cases) {
        Fixture f;
        TBcBar* bar = f.menu->Bar();
        bar->SetVisible(true);
        c.setup(bar);
        TMenuItem* item = f.Add("Item");
        f.menu->GetBarProtected()->SetRecalc(true);
        f.menu->GetBarProtected()->SetBarHeight(40);
        ui::TBitmap surface(bar->Width() + 100, 40);
        Draw(item, surface, ui::Rect(0, 0, bar->Width() + 100, 40), 0);
        EXPECT_EQ(PixelAt(*f.menu->GetBarProtected()->GetBarBitmap(), c.x, c.y), c.expected)
            << c.what << " got " << gditest::Hex(PixelAt(*f.menu->GetBarProtected()->GetBarBitmap(), c.x, c.y));
    }

    // Parts cleared by the event are not drawn; DefaultDraw false draws none.
    Fixture f;
    f.menu->Bar()->SetVisible(true);
    f.menu->OnAdvancedBeforeDrawBar =
        TOnAdvancedBeforeDrawBarEvent([](ui::TObject*, ui::TCanvas*, ui::TRect, TBarParts& parts) {
            EXPECT_EQ(parts, TBarParts(bpGradient | bpPicture | bpBackPicture | bpCaption));
            parts &= ~static_cast<TBarParts>(bpGradient);
        });
    TMenuItem* item = f.Add("Item");
    f.menu->GetBarProtected()->SetRecalc(true);
    f.menu->GetBarProtected()->SetBarHeight(40);
    ui::TBitmap surface(132, 40);
    Draw(item, surface, ui::Rect(0, 0, 132, 40), 0);
    EXPECT_EQ(PixelAt(*f.menu->GetBarProtected()->GetBarBitmap(), 0, 0), 0xFFFFFF);
}
