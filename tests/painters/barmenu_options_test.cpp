// The bar menus' small routines and option objects: checked arithmetic,
// rectangles, the rotated font, defaults, owner checks, Assign and the
// indexed gradient colours.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "painters/BarMenus.h"
#include "painters/BcChecked.h"
#include "painters/BcExceptions.h"
#include "painters/BcUtilities.h"
#include "support/Owned.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"

using namespace painters;
using ui::TComponent;

namespace {

TBcBarPopupMenu* NewMenu() { return TComponent::Create<TBcBarPopupMenu>(ui::Application); }

}  // namespace

// ---------------------------------------------------------------- utilities

TEST(BarMenuUtilities, RectanglesAndTheFontAngleRaiseInsteadOfWrapping) {
    EXPECT_THROW(RectWidth(ui::Rect(INT_MIN, 0, INT_MAX, 0)), ui::EIntOverflow);
    EXPECT_THROW(RectHeight(ui::Rect(0, 1, 0, INT_MIN)), ui::EIntOverflow);
    ui::TFont f;
    EXPECT_THROW(RotatedLogFont(&f, INT_MAX / 5), ui::EIntOverflow);
}

TEST(BarMenuUtilities, RectanglesColoursAndMinima) {
    EXPECT_EQ(RectWidth(ui::Rect(10, 0, 4, 0)), -6);
    EXPECT_EQ(RectHeight(ui::Rect(0, 3, 0, 10)), 7);
    const ui::TRect none = BitmapRect(nullptr);
    EXPECT_TRUE(none.left == 0 && none.top == 0 && none.right == 0 && none.bottom == 0);
    ui::TBitmap b(10, 20);
    const ui::TRect r = BitmapRect(&b);
    EXPECT_TRUE(r.left == 0 && r.top == 0 && r.right == 10 && r.bottom == 20);
    EXPECT_EQ(PackColor(0x12, 0x34, 0x56, 0), 0x563412u);
    EXPECT_EQ(PackColor(0x1FF, 0x100, -1, 0x2AB), 0xABFF00FFu);  // low 8 bits only
    EXPECT_EQ(MinInteger(3, 3), 3);
    EXPECT_EQ(MaxInteger(-2, -2), -2);
    EXPECT_EQ(MinInteger(5, -1), -1);
    EXPECT_EQ(MaxInteger(5, -1), 5);
}

TEST(BarMenuUtilities, RotatedFontRecord) {
    ui::TFont f;
    f.SetName("Arial");
    f.SetHeight(-19);
    f.SetStyle({ui::fsBold, ui::fsItalic});
    f.SetCharset(SYMBOL_CHARSET);
    f.SetPitch(ui::fpFixed);
    LOGFONTA lf = RotatedLogFont(&f, 90);
    EXPECT_EQ(lf.lfHeight, -19);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfOrientation, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(RotatedLogFont(&f, -90).lfEscapement, -900);

    // A face name longer than the record holds is cut to 31 characters.
    ui::TFont longName;
    const std::string name(40, 'x');
    longName.SetName(name);
    lf = RotatedLogFont(&longName, 0);
    EXPECT_EQ(std::string(lf.lfFaceName), name.substr(0, 31));
    EXPECT_EQ(lf.lfWeight, 400);
    HFONT h = CreateRotatedFont(&f, 90);
    ASSERT_NE(h, nullptr);
    DeleteObject(h);
}

// ---------------------------------------------------------------- option objects

TEST(BarMenuOptions, DefaultsOfEveryOptionObject) {
    vsk::test::Owned g{NewMenu()};
    TBcBarPopupMenu* m = g;
    TBcBar* bar = m->Bar();
    TBcSeparators* seps = m->Separators();
    TBcBarCaption* cap = bar->BarCaption();
    struct Row {
        const char* name;
        long long actual, expected;
    } rows[] = {
        {"Bar.Width", bar->Width(), 32},
        {"Bar.Space", bar->Space(), 1},
        {"Bar.Visible", bar->Visible(), 1},
        {"Bar.Side", bar->Side(), sLeft},
        {"Bar.GradientStart", bar->GradientStart(), 0xD8BDAF},
        {"Bar.GradientEnd", bar->GradientEnd(), 0},
        {"Bar.GradientStyle", bar->GradientStyle(), gsVertical},
        {"Bar.Border", bar->Border(), ui::clNone},
        {"Separators.GradientStart", seps->GradientStart(), 0x808080},
        {"Separators.GradientEnd", seps->GradientEnd(), 0xC0C0C0},
        {"Separators.GradientStyle", seps->GradientStyle(), gsHorizontal},
        {"Separators.Border", seps->Border(), ui::clNone},
        {"Separators.Fade", seps->Fade(), 0},
        {"Separators.FadeWidth", seps->FadeWidth(), 32},
        {"Separators.FadeColor", seps->FadeColor(), ui::clBtnShadow},
        {"Separators.FlatLines", seps->FlatLines(), 0},
        {"Separators.Alignment", seps->Alignment(), ui::taCenter},
        {"Separators.SeparatorStyle", seps->SeparatorStyle(), ssNormal},
        {"Separators.UseSystemFont", seps->UseSystemFont(), 1},
        {"BarPicture.Transparent", bar->BarPicture()->Transparent(), 1},
        {"BarPicture.OffsetX", bar->BarPicture()->OffsetX(), 0},
        {"BarPicture.OffsetY", bar->BarPicture()->OffsetY(), 0},
        {"BarPicture.VertAlignment", bar->BarPicture()->VertAlignment(), vaBottom},
        {"BarPicture.HorzAlignment", bar->BarPicture()->HorzAlignment(), haCenter},
        {"BarPicture.Visible", bar->BarPicture()->Visible(), 1},
        {"BarBackPicture.VertAlignment", bar->BarBackPicture()->VertAlignment(), vaTop},
        {"BarBackPicture.HorzAlignment", bar->BarBackPicture()->HorzAlignment(), haLeft},
        {"BarBackPicture.DrawStyle", bar->BarBackPicture()->DrawStyle(), dsNormal},
        {"BarBackPicture.Transparent", bar->BarBackPicture()->Transparent(), 1},
        {"BarCaption.ShadowColor", cap->ShadowColor(), ui::clNone},
        {"BarCaption.HighlightColor", cap->HighlightColor(), ui::clNone},
        {"BarCaption.Depth", cap->Depth(), 1},
        {"BarCaption.OffsetY", cap->OffsetY(), 6},
        {"BarCaption.Alignment", cap->Alignment(), vaBottom},
        {"BarCaption.Direction", cap->Direction(), dDownToUp},
        {"BarCaption.Visible", cap->Visible(), 1},
        {"BarCaption.Caption empty", cap->Caption().empty(), 1},
        {"BarCaption.Font.Size", cap->Font()->Size(), 14},
        {"BarCaption.Font.Color", cap->Font()->Color(), ui::clWhite},
        {"BarCaption.Font bold italic", cap->Font()->Style() == (ui::fsBold | ui::fsItalic), 1},
        {"BarCaption.Font Tahoma", cap->Font()->Name() == "Tahoma", 1},
        {"MenuStyle", m->GetMenuStyle(), msAuto},
        {"UseSystemFont", m->GetUseSystemFont(), 1},
        {"Alpha", m->GetAlpha(), 255},
        {"FrameOption", m->GetFrameOption(), 0},
        {"DrawModule", m->DrawModule() != nullptr, 0},
        {"OwnerDraw", m->OwnerDraw(), 1},
        {"cache.BarHeight", m->GetBarProtected()->BarHeight, 0},
        {"cache.Valid", m->GetBarProtected()->Valid, 0},
        {"cache.Recalc", m->GetBarProtected()->Recalc, 1},
        {"cache.bitmap made", m->GetBarProtected()->HasBarBitmap(), 0},
    };
    for (const Row& r : rows) EXPECT_EQ(r.actual, r.expected) << r.name;
}

TEST(BarMenuOptions, NoOwnerNamesTheClassBeingMade) {
    struct Case {
        const char* name;
        std::function<void()> make;
    } cases[] = {
        {"TBcBarProtected", [] { TBcBarProtected x(nullptr); }},
        {"TBcGradientBar", [] { TBcGradientBar x(nullptr); }},
        {"TBcBar", [] { TBcBar x(nullptr); }},
        {"TBcSeparators", [] { TBcSeparators x(nullptr); }},
        {"TBcBarPicture", [] { TBcBarPicture x(nullptr); }},
        {"TBcBarBackPicture", [] { TBcBarBackPicture x(nullptr); }},
    };
    for (auto& c : cases) {
        try {
            c.make();
            ADD_FAILURE() << c.name << " was made without an owner";
        } catch (const ERequireOwner& e) {
            EXPECT_EQ(e.Message(), std::string("Tried to create ") + c.name + " with no owner.");
        }
    }
}

TEST(BarMenuOptions, GradientColourIndexOutsideZeroAndOneRaises) {
    vsk::test::Owned g{NewMenu()};
    TBcGradientBar* bar = g->Bar();
    for (int index : {2, -1, 7}) {
        try {
            bar->SetGradientColor(index, 0x123456);
            ADD_FAILURE() << "set " << index;
        } catch (const EInvalidPropertyIndex& e) {
            EXPECT_EQ(e.Message(), "Invalid property index " + std::to_string(index) + ".");
        }
        EXPECT_THROW(bar->GetGradientColor(index), EInvalidPropertyIndex);
    }
    EXPECT_EQ(bar->GradientStart(), 0xD8BDAF);
    EXPECT_EQ(bar->GradientEnd(), 0);
    bar->SetGradientColor(1, 0x00FF00);
    EXPECT_EQ(bar->GradientEnd(), 0x00FF00);
}

TEST(BarMenuOptions, AssignCopiesOnlyWhatEachPairShares) {
    vsk::test::Owned a{NewMenu()}, b{NewMenu()};
    TBcSeparators* src = a->Separators();
    src->SetFade(true);
    src->SetFadeWidth(5);
    src->SetFlatLines(true);
    src->SetFadeColor(ui::clRed);
    src->SetAlignment(ui::taRightJustify);
    src->SetSeparatorStyle(ssCaption);
    src->SetUseSystemFont(false);
    src->Font()->SetName("Courier New");
    src->SetGradientStart(1);
    src->SetGradientEnd(2);
    src->SetGradientStyle(gsDiagonalLeftRight);
    src->SetBorder(ui::clBlue);

    // Separators to separators: the fade settings stay.
    TBcSeparators* dst = b->Separators();
    dst->Assign(src);
    EXPECT_FALSE(dst->Fade());
    EXPECT_EQ(dst->FadeWidth(), 32);
    EXPECT_FALSE(dst->FlatLines());
    EXPECT_EQ(dst->FadeColor(), ui::clBtnShadow);
    EXPECT_EQ(dst->Alignment(), ui::taRightJustify);
    EXPECT_EQ(dst->SeparatorStyle(), ssCaption);
    EXPECT_FALSE(dst->UseSystemFont());
    EXPECT_EQ(dst->Font()->Name(), "Courier New");
    EXPECT_EQ(dst->GradientStart(), 1);
    EXPECT_EQ(dst->GradientEnd(), 2);
    EXPECT_EQ(dst->GradientStyle(), gsDiagonalLeftRight);
    EXPECT_EQ(dst->Border(), ui::clBlue);

    // Separators to a bar: the gradient and the border only.
    TBcBar* bar = b->Bar();
    bar->Assign(src);
    EXPECT_EQ(bar->GradientStart(), 1);
    EXPECT_EQ(bar->GradientStyle(), gsDiagonalLeftRight);
    EXPECT_EQ(bar->Border(), ui::clBlue);
    EXPECT_EQ(bar->Width(), 32);
    EXPECT_TRUE(bar->Visible());

    // Bar to bar: sizes, side, the parts, and Visible through its writer.
    TBcBar* from = a->Bar();
    from->SetWidth(40);
    from->SetSpace(3);
    from->SetSide(sRight);
    from->SetVisible(false);
    from->BarCaption()->SetCaption("Veskara");
    from->BarCaption()->SetVisible(false);
    from->BarPicture()->SetOffsetX(9);
    from->BarPicture()->SetVisible(false);
    from->BarBackPicture()->SetDrawStyle(dsTile);
    b->GetBarProtected()->GetBarBitmap()->SetSize(4, 4);
    b->GetBarProtected()->Valid = true;
    bar->Assign(from);
    EXPECT_EQ(bar->Width(), 40);
    EXPECT_EQ(bar->Space(), 3);
    EXPECT_EQ(bar->Side(), sRight);
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(b->GetBarProtected()->HasBarBitmap());
    EXPECT_FALSE(b->GetBarProtected()->Valid);
    EXPECT_EQ(bar->BarCaption()->Caption(), "Veskara");
    EXPECT_TRUE(bar->BarCaption()->Visible());  // not copied
    EXPECT_EQ(bar->BarPicture()->OffsetX(), 9);
    EXPECT_TRUE(bar->BarPicture()->Visible());                // not copied
    EXPECT_EQ(bar->BarBackPicture()->DrawStyle(), dsNormal);  // not copied

    // A picture into a background picture copies the picture and placement.
    TBcBarPicture* pic = a->Bar()->BarPicture();
    pic->Picture()->SetSize(6, 7);
    pic->SetTransparent(false);
    pic->SetVertAlignment(vaMiddle);
    TBcBarBackPicture* back = b->Bar()->BarBackPicture();
    back->Assign(pic);
    EXPECT_EQ(back->Picture()->Width(), 6);
    EXPECT_FALSE(back->Transparent());
    EXPECT_FALSE(back->Picture()->Transparent());
    EXPECT_EQ(back->VertAlignment(), vaMiddle);

    // Unrelated classes fall to the base, which refuses.
    EXPECT_THROW(bar->Assign(pic), ui::EConvertError);
    EXPECT_THROW(pic->Assign(bar), ui::EConvertError);
    EXPECT_THROW(bar->BarCaption()->Assign(src), ui::EConvertError);
}

TEST(BarMenuOptions, AssignMatrixOfEveryPairOfOptionClasses) {
    vsk::test::Owned g{NewMenu()};
    ui::TMenu* m = g;
    // Made fresh for each pair, so that one copy cannot hide another.
    const std::vector<std::pair<const char*, std::function<ui::TPersistent*()>>> kinds = {
        {"gradient", [m] { return new TBcGradientBar(m); }},        {"bar", [m] { return new TBcBar(m); }},
        {"separators", [m] { return new TBcSeparators(m); }},       {"picture", [m] { return new TBcBarPicture(m); }},
        {"back picture", [m] { return new TBcBarBackPicture(m); }}, {"caption", [m] { return new TBcBarCaption(m); }},
    };
    // Row: target; column: source. 1: taken; 0: refused (EConvertError).
    const int accepted[6][6] = {
        {1, 1, 1, 0, 0, 0},  // gradient takes any gradient-bearing set
        {1, 1, 1, 0, 0, 0},  // bar
        {1, 1, 1, 0, 0, 0},  // separators
        {0, 0, 0, 1, 1, 0},  // picture takes either picture
        {0, 0, 0, 1, 1, 0},  // back picture
        {0, 0, 0, 0, 0, 1},  // caption
    };
    for (size_t t = 0; t < kinds.size(); ++t)
        for (size_t s = 0; s < kinds.size(); ++s) {
            std::unique_ptr<ui::TPersistent> target(kinds[t].second()), source(kinds[s].second());
            if (accepted[t][s]) {
                EXPECT_NO_THROW(target->Assign(source.get())) << kinds[t].first << " <- " << kinds[s].first;
            } else {
                EXPECT_THROW(target->Assign(source.get()), ui::EConvertError)
                    << kinds[t].first << " <- " << kinds[s].first;
            }
        }
}

TEST(BarMenuOptions, PicturesAndTheBarCache) {
    vsk::test::Owned g{NewMenu()};
    TBcBarPicture* pic = g->Bar()->BarPicture();
    pic->SetTransparent(false);  // before any bitmap exists
    ui::TBitmap* p = pic->Picture();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->Empty());
    EXPECT_FALSE(p->Transparent());
    pic->SetPicture(nullptr);
    EXPECT_NE(pic->Picture(), nullptr);
    EXPECT_TRUE(pic->Picture()->Empty());

    // Placement inside a 32 x 100 bar of a 10 x 120 picture.
    g->GetBarProtected()->SetBarHeight(100);
    pic->Picture()->SetSize(10, 120);
    struct Case {
        TVertAlignment v;
        THorzAlignment h;
        int ox, oy, x, y;
    } cases[] = {
        {vaTop, haLeft, 2, 3, 2, 3},
        {vaBottom, haRight, 0, 0, 22, -20},
        {vaMiddle, haCenter, 1, 1, 12, -9},
        {vaBottom, haCenter, 0, 5, 11, -15},
    };
    for (const Case& c : cases) {
        pic->SetVertAlignment(c.v);
        pic->SetHorzAlignment(c.h);
        pic->SetOffsetX(c.ox);
        pic->SetOffsetY(c.oy);
        int x = -1, y = -1;
        pic->CalcPosition(x, y);
        EXPECT_EQ(x, c.x) << int(c.v) << "/" << int(c.h);
        EXPECT_EQ(y, c.y) << int(c.v) << "/" << int(c.h);
    }

    // Hiding the bar empties the cache even when it was hidden already;
    // showing it leaves the cache alone.
    TBcBarProtected* cache = g->GetBarProtected();
    for (int round = 0; round < 2; ++round) {
        cache->GetBarBitmap()->SetSize(3, 3);
        cache->SetBarHeight(50);
        cache->Recalc = false;
        cache->Valid = true;
        g->Bar()->SetVisible(false);
        EXPECT_FALSE(cache->HasBarBitmap());
        EXPECT_EQ(cache->BarHeight, 0);
        EXPECT_TRUE(cache->Recalc);
        EXPECT_FALSE(cache->Valid);
    }
    cache->Valid = true;
    cache->SetBarHeight(7);
    g->Bar()->SetVisible(true);
    EXPECT_TRUE(cache->Valid);
    EXPECT_EQ(cache->BarHeight, 7);

    // An option object whose menu is not a bar menu hides without a cache.
    ui::TPopupMenu* plain = TComponent::Create<ui::TPopupMenu>(ui::Application);
    TBcBar loose(plain);
    EXPECT_NO_THROW(loose.SetVisible(false));
    TComponent::Free(plain);
}

TEST(BarMenuOptions, SystemVersionDecidesTheFlagsAndTheAutomaticLook) {
    vsk::test::Owned g{NewMenu()};
    struct Case {
        unsigned major, minor;
        bool nt;
        bool newStyle, xp, nt5;
    } cases[] = {
        {4, 0, true, false, false, false}, {4, 10, false, true, false, false}, {5, 0, true, true, false, true},
        {5, 1, true, true, true, true},    {5, 2, true, true, true, true},     {6, 0, true, true, false, true},
        {6, 1, true, true, true, true},    {6, 3, true, true, true, true},     {10, 0, true, true, false, true},
    };
    for (const Case& c : cases) {
        SetBarMenuOSVersion(c.major, c.minor, c.nt);
        EXPECT_EQ(NewStyleMenus, c.newStyle) << c.major << "." << c.minor;
        EXPECT_EQ(XPLookMenus, c.xp) << c.major << "." << c.minor;
        EXPECT_EQ(NT5OrLater, c.nt5) << c.major << "." << c.minor;
        EXPECT_EQ(g->GetEffectiveMenuStyle(), c.xp ? msWindowsXP : msStandard);
    }
    g->SetMenuStyle(msStandard);
    EXPECT_EQ(g->GetEffectiveMenuStyle(), msStandard);
    ReadBarMenuOSVersion();
}
