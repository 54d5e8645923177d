// Tool bars and control bars in the flat look: button faces, frames, arrows
// and separators by state under the real pointer, which list a button's image
// comes from, where captions go, the band fill and grip, and the walk that
// hooks the bars and lets go of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "painters/XPMenu.h"
#include "support/PainterTestForm.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/StdCtrls.h"
#include "ui/ToolWin.h"

using namespace painters;
using namespace ui;
using namespace vsk::test;

namespace {

constexpr TColor BarColor = 0x00C0C0C0;
constexpr TColor Select = 0x00C08040;
constexpr TColor FrameColor = 0x00203040;
constexpr TColor Red = 0x000000FF, Green = 0x0000FF00, Blue = 0x00FF0000, Magenta = 0x00FF00FF;

// A 16 x 16 image: a square of Colour inside a white margin that is masked out.
void AddSquare(TImageList* List, TColor Colour) {
    TBitmap b(16, 16);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    b.Canvas()->Brush()->SetColor(Colour);
    b.Canvas()->FillRect(TRect{2, 2, 14, 14});
    List->AddMasked(&b, clWhite);
}

void MouseButton(bool Down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
}

// A form with a tool bar and a painter that is switched on once the
// buttons are there (a bar without buttons gets no handler).
struct BarForm {
    TForm* form = vsk::test::NewBareForm(40, 40, 440, 200);
    TToolBar* bar = TComponent::Create<TToolBar>(form);
    TXPMenu* xp = nullptr;
    BarForm() {
        ParkPointer();
        bar->SetParent(form);
        bar->SetBounds(10, 10, 420, 60);
        bar->SetColor(BarColor);
        form->BeginLoading();
        xp = TComponent::Create<TXPMenu>(form);
        xp->SetUseSystemColors(false);
        xp->SetUseDimColor(true);
        xp->SetSelectColor(Select);
        xp->SetSelectBorderColor(FrameColor);
        xp->SetDimLevel(0);
        form->EndLoading();
    }
    ~BarForm() {
        MouseButton(false);
        ParkPointer();
        TComponent::Free(form);
    }
    TImageList* NewImages(std::initializer_list<TColor> Colours) {
        auto* list = TComponent::Create<TImageList>(form);
        for (TColor c : Colours) AddSquare(list, c);
        return list;
    }
    TToolButton* Add(TToolButtonStyle Style, int Image = 0, const std::string& Caption = "") {
        auto* b = TComponent::Create<TToolButton>(form);
        b->SetStyle(Style);
        b->SetImageIndex(Image);
        b->SetCaption(Caption);
        b->SetParent(bar);
        return b;
    }
    // Shows the form with the painter on and waits until all is painted.
    void Show() {
        xp->SetActive(true);
        form->Show();
        ASSERT_TRUE(vsk::test::WaitShown(form->Handle()));
        ASSERT_GT(bar->PaintCount(), 0);
    }
    bool Painted() { return GetUpdateRect(bar->Handle(), nullptr, FALSE) == FALSE; }
    // Moves the real pointer over b and waits for the repaint.
    void Hover(TToolButton* b) {
        const TPoint p = b->ClientToScreen(Point(b->Width() / 2, b->Height() - 4));
        SetCursorPos(p.x, p.y);
        ASSERT_TRUE(PumpUntil([&] { return b->Hot() && Painted(); })) << "hover over button " << b->Index();
    }
    COLORREF Px(int x, int y) {
        HDC dc = GetDC(bar->Handle());
        const COLORREF p = GetPixel(dc, x, y);
        ReleaseDC(bar->Handle(), dc);
        return p;
    }
    // A pixel relative to button b's top-left corner.
    COLORREF Px(TToolButton* b, int dx, int dy) { return Px(b->Left() + dx, b->Top() + dy); }
};

}  // namespace

// ---------------------------------------------------------------- tool buttons

TEST(XPToolBar, FacesFramesArrowAndSeparatorsFollowTheButtonState) {
    BarForm f;
    f.bar->SetImages(f.NewImages({Red}));
    TToolButton* plain = f.Add(tbsButton);
    TToolButton* lined = f.Add(tbsSeparator);
    lined->SetTag(1);
    TToolButton* check = f.Add(tbsCheck);
    check->SetDown(true);
    TToolButton* blank = f.Add(tbsSeparator);
    TToolButton* drop = f.Add(tbsDropDown);
    TToolButton* off = f.Add(tbsButton);
    off->SetEnabled(false);
    TToolButton* mixed = f.Add(tbsButton);
    mixed->SetIndeterminate(true);
    f.Show();

    TXPMenu* xp = f.xp;
    const COLORREF background = Rgb(LightenColor(BarColor, 16));
    const COLORREF hot = Rgb(LightenColor(Select, 68));
    const COLORREF frame = Rgb(FrameColor);
    ASSERT_EQ(Rgb(xp->CheckedFillColor()), Rgb(LightenColor(Select, 80)));
    ASSERT_EQ(Rgb(xp->CheckedSelectedFillColor()), Rgb(LightenColor(Select, 50)));

    // Face at the lower left corner inside the frame; frame on the left edge.
    auto face = [&](TToolButton* b) { return f.Px(b, 1, b->Height() - 1); };
    auto leftEdge = [&](TToolButton* b) { return f.Px(b, 0, 10); };
    const int sepMiddle = lined->Width() / 2;

    EXPECT_EQ(f.Px(plain, 5, 0), background) << "the row above the face is the lightened bar colour";
    EXPECT_EQ(face(plain), background) << "a plain button has no face of its own";
    EXPECT_EQ(face(check), Rgb(xp->CheckedFillColor())) << "checked";
    EXPECT_EQ(leftEdge(check), frame) << "checked buttons are framed";
    EXPECT_EQ(face(off), background) << "disabled";
    EXPECT_EQ(face(mixed), hot) << "indeterminate";
    EXPECT_EQ(leftEdge(mixed), hot) << "indeterminate buttons are not framed";
    EXPECT_EQ(f.Px(lined, sepMiddle, 10), Rgb(DarkenColor(BarColor, 30))) << "separator with a Tag draws its line";
    EXPECT_EQ(f.Px(blank, sepMiddle, 10), background) << "separator without a Tag is repainted blank";

    f.Hover(plain);
    EXPECT_EQ(face(plain), hot) << "hot (the first button of the bar)";
    EXPECT_EQ(leftEdge(plain), frame);
    EXPECT_EQ(f.Px(plain, 10, 2), frame) << "the frame's top is two rows down";
    EXPECT_EQ(f.Px(plain, plain->Width() - 1, 10), frame);
    EXPECT_EQ(f.Px(plain, 10, plain->Height()), frame) << "the face is one pixel down";

    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return plain->Pressed() && f.Painted(); }));
    EXPECT_EQ(face(plain), Rgb(xp->CheckedSelectedFillColor())) << "pressed";
    MouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return !plain->Pressed() && f.Painted(); }));
    EXPECT_EQ(face(plain), hot) << "released";

    f.Hover(check);
    EXPECT_EQ(face(check), Rgb(xp->CheckedSelectedFillColor())) << "hot and checked";

    f.Hover(drop);
    const int r = drop->Width();
    EXPECT_EQ(drop->Width(), f.bar->ButtonWidth() + 13) << "a drop-down button is wider by its arrow part";
    EXPECT_EQ(f.Px(drop, r - 14, 10), frame) << "the arrow part has its own outline";
    EXPECT_EQ(f.Px(drop, r - 15, 10), hot);
    // The arrow: rows of 5, 3 and 1 pixels from (right - 10, top + 11).
    const int ay = 1 + (drop->Height() - 3) / 2 + 1;
    for (int x = r - 10; x < r - 5; ++x) EXPECT_EQ(f.Px(drop, x, ay), 0u) << "arrow top row at " << x;
    EXPECT_EQ(f.Px(drop, r - 5, ay), hot);
    EXPECT_EQ(f.Px(drop, r - 10, ay + 1), hot);
    EXPECT_EQ(f.Px(drop, r - 8, ay + 2), 0u) << "arrow tip";
}

TEST(XPToolBar, ImageComesFromHotOrDisabledListsOnlyWhenTheyHoldTheIndex) {
    BarForm f;
    f.bar->SetImages(f.NewImages({Red, Magenta}));
    f.bar->SetHotImages(f.NewImages({Green}));
    f.bar->SetDisabledImages(f.NewImages({Blue}));
    TToolButton* first = f.Add(tbsButton, 0);
    TToolButton* second = f.Add(tbsButton, 1);
    TToolButton* firstOff = f.Add(tbsButton, 0);
    TToolButton* secondOff = f.Add(tbsButton, 1);
    firstOff->SetEnabled(false);
    secondOff->SetEnabled(false);
    f.Show();

    // The middle of the square, wherever a hot icon is raised to.
    auto centre = [&](TToolButton* b) { return f.Px(b, 12, 12); };
    auto greyed = [](TColor c) { return Rgb(LightenColor(GreyShade(c, 10), 40)); };
    EXPECT_EQ(centre(first), Rgb(Red));
    EXPECT_EQ(centre(second), Rgb(Magenta));
    EXPECT_EQ(centre(firstOff), greyed(Blue)) << "the disabled list's image, greyed and paled";
    EXPECT_EQ(centre(secondOff), greyed(Magenta)) << "the disabled list lacks index 1";
    f.Hover(first);
    EXPECT_EQ(centre(first), Rgb(Green)) << "hot: the hot list's image";
    f.Hover(second);
    EXPECT_EQ(centre(second), Rgb(Magenta)) << "the hot list lacks index 1";
    EXPECT_EQ(centre(first), Rgb(Red)) << "no longer hot";
}

TEST(XPToolBar, CaptionSitsUnderTheIconWithoutListAndBesideItWithList) {
    BarForm f;
    f.bar->SetImages(f.NewImages({Red}));
    f.bar->SetShowCaptions(true);
    TToolButton* b = f.Add(tbsButton, 0, "Wide");
    TToolButton* off = f.Add(tbsButton, 0, "Off");
    off->SetEnabled(false);
    f.Show();
    // A disabled caption is all in the disabled colour, in the menu font.
    int disabledPixels = 0, otherText = 0;
    const COLORREF disabled = Rgb(f.xp->DisabledTextColor());
    for (int y = 4 + 16; y < off->Height(); ++y)
        for (int x = 0; x < off->Width(); ++x) {
            const COLORREF p = f.Px(off, x, y);
            if (p == disabled)
                ++disabledPixels;
            else if (GetRValue(p) < 100 && GetGValue(p) < 100 && GetBValue(p) < 100)
                ++otherText;
        }
    EXPECT_GT(disabledPixels, 10);
    EXPECT_EQ(otherText, 0) << "no dark pixels: the colour reached the text";
    // The box around the caption's dark pixels, in button coordinates.
    auto textBox = [&] {
        TRect box{1000, 1000, -1, -1};
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) {
                const COLORREF p = f.Px(b, x, y);
                if (GetRValue(p) < 100 && GetGValue(p) < 100 && GetBValue(p) < 100) {
                    box.left = std::min<int>(box.left, x);
                    box.top = std::min<int>(box.top, y);
                    box.right = std::max<int>(box.right, x + 1);
                    box.bottom = std::max<int>(box.bottom, y + 1);
                }
            }
        return box;
    };
    const TRect under = textBox();
    ASSERT_GT(under.right, 0) << "the caption is painted";
    EXPECT_GE(under.top, 4 + 16) << "below the icon";
    EXPECT_NEAR((under.left + under.right) / 2, b->Width() / 2, 2) << "centred";
    EXPECT_NEAR(b->Height() - under.bottom, 6, 4) << "near the bottom";

    const int before = f.bar->PaintCount();
    f.bar->SetList(true);
    ASSERT_TRUE(PumpUntil([&] { return f.bar->PaintCount() > before && f.Painted(); }));
    const TRect beside = textBox();
    ASSERT_GT(beside.right, 0);
    EXPECT_GE(beside.left, 3 + 16) << "right of the icon";
    EXPECT_NEAR((beside.top + beside.bottom) / 2, 1 + b->Height() / 2, 3) << "vertically centred";
}

// The first button of a bar has no button before it: the separator step
// must not look for one (the first button of the face test above paints).
TEST(XPToolBar, ASeparatorFirstIsRepaintedByTheButtonAfterIt) {
    BarForm f;
    TToolButton* sep = f.Add(tbsSeparator);
    sep->SetTag(1);
    TToolButton* after = f.Add(tbsCheck);
    after->SetDown(true);
    f.Show();
    EXPECT_EQ(f.Px(after, 1, after->Height() - 1), Rgb(f.xp->CheckedFillColor()));
    EXPECT_EQ(f.Px(sep, sep->Width() / 2, 10), Rgb(DarkenColor(BarColor, 30)));
    EXPECT_EQ(f.Px(sep, 1, 10), Rgb(LightenColor(BarColor, 16)));
}

TEST(XPToolBar, RightToLeftButtonsPutIconAtTheRightAndCaptionRightAlignedBeforeIt) {
    BarForm f;
    f.bar->SetImages(f.NewImages({Red}));
    f.bar->SetShowCaptions(true);
    f.bar->SetList(true);
    TToolButton* ltr = f.Add(tbsButton, 0, "Wide");
    TToolButton* rtl = f.Add(tbsButton, 0, "Wide");
    rtl->SetBiDiMode(bdRightToLeft);
    f.Show();
    // The columns holding the caption's dark pixels, in button coordinates.
    auto textColumns = [&](TToolButton* b) {
        std::pair<int, int> cols{1000, -1};
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) {
                const COLORREF p = f.Px(b, x, y);
                if (GetRValue(p) < 100 && GetGValue(p) < 100 && GetBValue(p) < 100) {
                    cols.first = std::min(cols.first, x);
                    cols.second = std::max(cols.second, x + 1);
                }
            }
        return cols;
    };
    // The icon square's middle: 3 pixels in from the reading start.
    auto iconAtRight = [&](TToolButton* b) { return f.Px(b, b->Width() - 3 - 8, 12) == Rgb(Red); };
    auto iconAtLeft = [&](TToolButton* b) { return f.Px(b, 3 + 8, 12) == Rgb(Red); };

    EXPECT_TRUE(iconAtLeft(ltr));
    EXPECT_FALSE(iconAtRight(ltr));
    EXPECT_TRUE(iconAtRight(rtl)) << "a right-to-left button's icon sits at the right";
    EXPECT_FALSE(iconAtLeft(rtl));
    const auto l = textColumns(ltr), r = textColumns(rtl);
    ASSERT_GT(l.second, 0);
    ASSERT_GT(r.second, 0);
    EXPECT_GE(l.first, 3 + 16) << "left to right: after the icon";
    EXPECT_LE(r.second, rtl->Width() - 16 - 7) << "right to left: before the icon";
    EXPECT_GE(r.second, rtl->Width() - 16 - 7 - 6) << "right aligned against the icon";

    // The bar's own reading order turns its buttons too.
    const int before = f.bar->PaintCount();
    f.bar->SetBiDiMode(bdRightToLeft);
    f.bar->Invalidate();
    ASSERT_TRUE(PumpUntil([&] { return f.bar->PaintCount() > before && f.Painted(); }));
    EXPECT_TRUE(iconAtRight(ltr)) << "a button on a right-to-left bar";
}

// ---------------------------------------------------------------- control bars

TEST(XPControlBar, BandIsFilledWithAGripOfDarkeningRowsAndGetsItsFrameBackWhenOff) {
    BarForm f;
    f.Add(tbsButton);
    constexpr TColor cbColor = 0x00B0B0B0;
    auto* cb = TComponent::Create<TControlBar>(f.form);
    cb->SetParent(f.form);
    cb->SetBounds(10, 80, 300, 60);
    cb->SetColor(cbColor);
    auto* panel = TComponent::Create<TPanel>(f.form);
    panel->SetBounds(0, 0, 60, 30);
    panel->SetParent(cb);
    EXPECT_EQ(panel->Left(), TControlBar::GrabWidth) << "the band's grab area is left of the control";
    f.Show();

    const TRect band = TControlBar::BandRect(panel);
    auto px = [&](int x, int y) {
        HDC dc = GetDC(cb->Handle());
        const COLORREF p = GetPixel(dc, x, y);
        ReleaseDC(cb->Handle(), dc);
        return p;
    };
    const COLORREF fill = Rgb(LightenColor(cbColor, 6));
    EXPECT_EQ(px(band.left, band.top), fill) << "no frame";
    EXPECT_EQ(px(band.right - 1, band.bottom - 1), fill);
    EXPECT_EQ(px(band.left + 3, band.top + 4), fill) << "the grip starts five rows down";
    int k = 30;
    for (int y = band.top + 5; y <= band.bottom - 5; ++y) {
        if (y % 2 == 0) {
            for (int x = band.left + 3; x < band.left + 6; ++x)
                EXPECT_EQ(px(x, y), Rgb(DarkenColor(cbColor, k))) << "grip row " << y << " at " << x;
            EXPECT_EQ(px(band.left + 6, y), fill) << "grip lines are three pixels long";
            k += 7;
        } else {
            EXPECT_EQ(px(band.left + 4, y), fill) << "odd row " << y;
        }
    }
    EXPECT_EQ(px(band.right + 5, 5), Rgb(cbColor)) << "outside the band";

    const int before = cb->PaintCount();
    f.xp->SetActive(false);
    ASSERT_TRUE(
        PumpUntil([&] { return cb->PaintCount() > before && GetUpdateRect(cb->Handle(), nullptr, FALSE) == FALSE; }));
    EXPECT_EQ(px(band.left, band.top), Rgb(clBtnHighlight)) << "the bar's own frame is back";
}

// ---------------------------------------------------------------- the walk

TEST(XPBarsWalk, HooksBarsWithoutATagTestAndLetsGoWhenSwitchedOff) {
    BarForm f;
    f.Add(tbsButton);
    f.bar->SetTag(XPLeaveAloneTag);
    auto* empty = TComponent::Create<TToolBar>(f.form);
    empty->SetParent(f.form);
    auto* foreign = TComponent::Create<TToolBar>(f.form);
    foreign->SetParent(f.form);
    auto* fb = TComponent::Create<TToolButton>(f.form);
    fb->SetParent(foreign);
    static int foreignDraws;
    foreignDraws = 0;
    const TTBCustomDrawBtnEvent theirs(+[](TToolBar*, TToolButton*, TCustomDrawState, bool&) { ++foreignDraws; });
    foreign->OnCustomDrawButton = theirs;
    auto* cb = TComponent::Create<TControlBar>(f.form);
    cb->SetParent(f.form);
    cb->SetTag(XPLeaveAloneTag);

    TXPMenu* xp = f.xp;
    const TTBCustomDrawBtnEvent ours(xp, &TXPMenu::HandleToolButtonDraw);
    const TBandPaintEvent oursBand(xp, &TXPMenu::HandleBandPaint);
    xp->SetAutoDetect(true);
    xp->SetActive(true);
    EXPECT_TRUE(f.bar->OnCustomDrawButton == ours) << "a Tag of 999 does not keep a tool bar out";
    EXPECT_TRUE(f.bar->Flat());
    EXPECT_TRUE(empty->Flat()) << "a bar without buttons is made flat";
    EXPECT_FALSE(empty->OnCustomDrawButton) << "but gets no handler";
    EXPECT_TRUE(foreign->OnCustomDrawButton == theirs) << "a handler of its own stays";
    EXPECT_TRUE(cb->OnBandPaint == oursBand) << "nor a control bar";

    auto* later = TComponent::Create<TControlBar>(f.form);
    EXPECT_TRUE(later->OnBandPaint == oursBand) << "AutoDetect hooks a control bar added later";

    xp->SetOverrideOwnerDraw(true);
    EXPECT_TRUE(foreign->OnCustomDrawButton == ours) << "OverrideOwnerDraw takes it over";

    xp->SetXPControls(AllXPControls & ~Bit(xcToolbar));
    EXPECT_FALSE(f.bar->OnCustomDrawButton) << "tool bars left out of the kinds are unhooked at once";
    EXPECT_TRUE(cb->OnBandPaint == oursBand);
    xp->SetXPControls(AllXPControls);

    xp->SetActive(false);
    EXPECT_FALSE(f.bar->OnCustomDrawButton);
    EXPECT_FALSE(foreign->OnCustomDrawButton) << "ours is cleared, the one it replaced is not restored";
    EXPECT_FALSE(cb->OnBandPaint);
    EXPECT_FALSE(later->OnBandPaint);
    EXPECT_TRUE(f.bar->Flat()) << "bars stay flat";
}

// ---------------------------------------------------------------- picture

// A tool bar and a control bar in the flat look, one button hot. With
// VSK_SHOT_READY and VSK_SHOT_DONE set (tools/test-screenshot.sh
// painters_xpmenu_bars_test bars) it stays up until a picture is taken.
TEST(XPBarsPicture, ToolBarAndControlBarInTheFlatLook) {
    BarForm f;
    f.form->SetBounds(100, 100, 440, 200);
    f.bar->SetColor(clBtnFace);
    f.bar->SetImages(f.NewImages({Red, Green, Blue, Magenta}));
    f.bar->SetShowCaptions(true);
    f.bar->SetList(true);
    f.xp->SetUseSystemColors(true);
    TToolButton* open = f.Add(tbsButton, 0, "Open");
    f.Add(tbsSeparator)->SetTag(1);
    f.Add(tbsCheck, 1, "Pin")->SetDown(true);
    f.Add(tbsDropDown, 2, "Send");
    f.Add(tbsSeparator);
    f.Add(tbsButton, 3, "Off")->SetEnabled(false);
    auto* cb = TComponent::Create<TControlBar>(f.form);
    cb->SetParent(f.form);
    cb->SetBounds(10, 90, 420, 50);
    for (int i = 0; i < 2; ++i) {
        auto* edit = TComponent::Create<TEdit>(f.form);
        edit->SetBounds(0, 0, 120, 24);
        edit->SetParent(cb);
        edit->SetText(i ? "second band" : "first band");
    }
    f.Show();
    f.Hover(open);
    EXPECT_EQ(f.Px(open, 1, open->Height() - 1), Rgb(f.xp->SelectFillColor()));

    const char* ready = getenv("VSK_SHOT_READY");
    const char* done = getenv("VSK_SHOT_DONE");
    if (ready && done) {
        HANDLE h = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        PumpUntil([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 10000);
    }
}
