// The flat-look painter: its colours, which controls its walk takes over,
// the take-over's state tracking and painting, switching it off, and the
// manager that brings it to forms without a painter of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "painters/XPMenu.h"
#include "support/Owned.h"
#include "ui/Buttons.h"
#include "painters/XPMenuManager.h"
#include "support/PainterTestForm.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/Messages.h"
#include "ui/StdCtrls.h"

using namespace painters;
using namespace ui;
using namespace vsk::test;

namespace {

// Classes the walk knows by name only.
class TOtherButton : public TButton {
public:
    explicit TOtherButton(TComponent* o) : TButton(o) {}
};
class TMaskEdit : public TCustomEdit {
public:
    explicit TMaskEdit(TComponent* o) : TCustomEdit(o) {}
};

}  // namespace

// ---------------------------------------------------------------- colours

TEST(XPColours, RoutinesRoundClampAndReuseAsDocumented) {
    struct Case {
        TColor got, want;
        const char* what;
    };
    const Case cases[] = {
        {LightenColor(0x000000, 50), 0x808080, "black lightened by half rounds 127.5 to 128"},
        {LightenColor(0x123456, 0), 0x123456, "0 percent leaves the colour"},
        {LightenColor(0x123456, 150), 0xFFFFFF, "over 100 percent is white"},
        {DarkenColor(0x010101, 0), 0x010301, "green gets 2 more"},
        {DarkenColor(0x323232, 90), 0x000000, "clamped at 0"},
        {DarkenColor(0xC0C0C0, 90), 0x666866, "silver by 90"},
        {AverageColor({0x0000FF, 0x0000FF}), 0x0000FE, "per-term integer division"},
        {GreyShade(0xFFFFFF, 10), 0xF0F0F0, "grey capped at 240"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(XPColours, DerivedColoursFollowEverySwitchCombination) {
    PaintedForm pf;
    pf.AddMenu(false);
    TXPMenu* m = pf.menu;
    m->SetColor(0x101010);
    m->SetIconBackColor(0x202020);
    m->SetSelectColor(0x000080);
    m->SetSelectBorderColor(0x303030);
    m->SetDisabledColor(0x404040);
    m->SetSeparatorColor(0x505050);
    m->SetCheckedColor(0x606060);
    m->SetMenuBarColor(0x707070);

    // A memory DC with a 32-bit section is high colour; one with a 4-bit
    // bitmap is low colour.
    struct Depth {
        int bits;
        bool high;
    };
    for (const Depth d : {Depth{32, true}, Depth{4, false}}) {
        HDC mem = CreateCompatibleDC(nullptr);
        ASSERT_NE(mem, nullptr);
        HBITMAP bmp = CreateBitmap(8, 8, 1, static_cast<UINT>(d.bits), nullptr);
        HGDIOBJ old = SelectObject(mem, bmp);
        TCanvas cv;
        cv.SetHandle(mem);
        for (int sys = 0; sys < 2; ++sys)
            for (int dim = 0; dim < 2; ++dim) {
                SCOPED_TRACE("bits " + std::to_string(d.bits) + " system " + std::to_string(sys) + " dim " +
                             std::to_string(dim));
                m->SetUseSystemColors(sys != 0);
                m->SetUseDimColor(dim != 0);
                EXPECT_TRUE(m->ColorsStale());
                m->UpdateDerivedColors(&cv);
                EXPECT_FALSE(m->ColorsStale());
                const bool high = GetDeviceCaps(mem, BITSPIXEL) > 15;
                EXPECT_EQ(m->IsHighColor(), high);
                TColor fill = 0x000080, checked = 0x000080, checkedSel = 0x000080;
                if (high && dim) {
                    fill = LightenColor(0x000080, 68);
                    checked = LightenColor(0x000080, 80);
                    checkedSel = LightenColor(0x000080, 50);
                } else if (!high) {
                    checked = 0xFFFFFF;
                    checkedSel = 0xC0C0C0;
                }
                if (sys) {
                    EXPECT_EQ(m->MenuBackColor(), high ? LightenColor(clBtnFace, 86) : clWhite);
                    EXPECT_EQ(m->IconColumnColor(), high ? LightenColor(clBtnFace, 16) : clBtnFace);
                    EXPECT_EQ(m->SelectFillColor(), high ? LightenColor(clHighlight, 68) : clWhite);
                    EXPECT_EQ(m->SelectFrameColor(), clHighlight);
                    EXPECT_EQ(m->BarColor(), clBtnFace);
                    EXPECT_EQ(m->DisabledTextColor(), high ? LightenColor(clBtnShadow, 10) : clBtnShadow);
                    EXPECT_EQ(m->SeparatorLineColor(), high ? LightenColor(clBtnShadow, 25) : clBtnShadow);
                    EXPECT_EQ(m->CheckFrameColor(), clHighlight);
                    EXPECT_EQ(m->CheckedFillColor(), high ? LightenColor(clHighlight, 80) : clWhite);
                    EXPECT_EQ(m->CheckedSelectedFillColor(), high ? LightenColor(clHighlight, 50) : clWhite);
                    EXPECT_EQ(m->SelectTextColor(), m->Font()->Color());
                } else {
                    EXPECT_EQ(m->MenuBackColor(), 0x101010);
                    EXPECT_EQ(m->IconColumnColor(), 0x202020);
                    EXPECT_EQ(m->SelectFillColor(), fill);
                    EXPECT_EQ(m->CheckedFillColor(), checked);
                    EXPECT_EQ(m->CheckedSelectedFillColor(), checkedSel);
                    EXPECT_EQ(m->SelectFrameColor(), 0x303030);
                    EXPECT_EQ(m->DisabledTextColor(), 0x404040);
                    EXPECT_EQ(m->SeparatorLineColor(), 0x505050);
                    EXPECT_EQ(m->CheckFrameColor(), 0x606060);
                    EXPECT_EQ(m->BarColor(), 0x707070);
                }
                EXPECT_EQ(m->FlatBorderColor(), high ? DarkenColor(clBtnFace, 90) : clBtnShadow);
                EXPECT_EQ(m->MenuShadowColor(), high ? DarkenColor(clBtnFace, 76) : clBtnShadow);
            }
        cv.SetHandle(nullptr);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }
}

// ---------------------------------------------------------------- the walk

TEST(XPWalk, ControlsQualifyByClassContainerAndTag) {
    PaintedForm pf;
    TForm* f = pf.form;
    auto* panel = Add<TPanel>(f, 0, 150, 300, 80);
    auto* leftAlone = Add<TPanel>(f, 0, 100, 300, 40);
    leftAlone->SetTag(XPLeaveAloneTag);
    struct Row {
        TControl* c;
        bool want;
        const char* what;
    };
    auto* edit = Add<TEdit>(f, 0, 0);
    auto* editOnPanel = Add<TEdit>(panel, 0, 0, 80, 24, f);
    auto* button = Add<TButton>(f, 90, 0);
    auto* bitBtn = Add<TBitBtn>(f, 180, 0);
    auto* other = Add<TOtherButton>(f, 0, 30);
    auto* mask = Add<TMaskEdit>(f, 90, 30);
    auto* tagged = Add<TEdit>(f, 180, 30);
    tagged->SetTag(XPLeaveAloneTag);
    auto* inTaggedParent = Add<TCheckBox>(leftAlone, 0, 0, 80, 24, f);
    auto* noParent = Add<TEdit>(nullptr, 0, 0, 80, 24, f);
    auto* check = Add<TCheckBox>(f, 0, 60);
    auto* radio = Add<TRadioButton>(f, 90, 60);

    TMainMenu* mainMenu = TComponent::Create<TMainMenu>(f);
    mainMenu->SetTag(XPLeaveAloneTag);
    TPopupMenu* popup = TComponent::Create<TPopupMenu>(f);
    popup->SetTag(XPLeaveAloneTag);
    for (TMenu* mn : std::vector<TMenu*>{mainMenu, popup}) {
        auto* item = TComponent::Create<TMenuItem>(mn);
        item->SetCaption("Item");
        mn->Items()->Add(item);
    }

    pf.AddMenu(false);
    pf.menu->SetXPContainers(AllXPContainers & ~Bit(xccPanel));
    pf.menu->SetXPControls(AllXPControls & ~Bit(xcBitBtn));
    pf.menu->SetActive(true);
    const Row rows[] = {
        {edit, true, "an edit on the form"},
        {editOnPanel, false, "an edit on a panel while panels are off"},
        {button, true, "a button"},
        {bitBtn, false, "a bit button while bit buttons are off"},
        {other, false, "a button descendant of another name"},
        {mask, true, "a mask edit by its name"},
        {tagged, false, "a control tagged 999"},
        {inTaggedParent, false, "a control whose parent is tagged 999"},
        {noParent, false, "a control without a parent"},
        {check, true, "a check box"},
        {radio, true, "a radio button"},
    };
    // The panel kind is on and the form qualifies as its place: it is taken.
    EXPECT_TRUE(TakenOver(panel)) << "a panel on the form";
    for (const Row& r : rows) EXPECT_EQ(TakenOver(r.c), r.want) << r.what;

    EXPECT_FALSE(mainMenu->Items()->Items(0)->OnDrawItem) << "a main menu tagged 999 is left alone";
    EXPECT_TRUE(popup->Items()->Items(0)->OnDrawItem) << "a popup menu tagged 999 is still hooked";

    // Turning the kinds back on hooks the rest at once.
    pf.menu->SetXPControls(AllXPControls);
    pf.menu->SetXPContainers(AllXPContainers);
    EXPECT_TRUE(TakenOver(bitBtn));
    EXPECT_TRUE(TakenOver(editOnPanel));
}

TEST(XPWalk, ActiveTwiceWalksOnceAndNoControlIsTakenTwice) {
    PaintedForm pf;
    auto* edit = Add<TEdit>(pf.form, 0, 0);
    const TWndMethod original = edit->WindowProc;
    pf.AddMenu(false);
    const int before = pf.menu->WalkCount();
    pf.menu->SetActive(true);
    pf.menu->SetActive(true);
    EXPECT_EQ(pf.menu->WalkCount(), before + 1);
    TControlSubClass* first = TControlSubClass::Find(edit);
    ASSERT_NE(first, nullptr);

    // A second walk over the same form (as the override switch runs) keeps
    // the object the control has.
    pf.menu->SetOverrideOwnerDraw(true);
    EXPECT_EQ(TControlSubClass::Find(edit), first);
    EXPECT_EQ(pf.menu->SubClasses().size(), 1u);

    // Switched off, the next message puts the original procedure back.
    pf.menu->SetActive(false);
    edit->Perform(WM_NULL);
    EXPECT_TRUE(edit->WindowProc == original);
    EXPECT_FALSE(TakenOver(edit));
}

TEST(XPWalk, EveryContainerSwitchDecidesAndTheWalkFollowsOwnership) {
    struct Place {
        TWinControl* (*make)(TForm*);
        TXPContainer bit;
        const char* what;
    };
    const Place places[] = {
        {[](TForm* f) -> TWinControl* { return Add<TCoolBar>(f, 0, 100, 200, 60); }, xccCoolbar, "cool bar"},
        {[](TForm* f) -> TWinControl* { return Add<TScrollBox>(f, 0, 100, 200, 60); }, xccScrollBox, "scroll box"},
        {[](TForm* f) -> TWinControl* { return Add<TTabControl>(f, 0, 100, 200, 60); }, xccTabSheet, "tab control"},
        {[](TForm* f) -> TWinControl* { return Add<TPageScroller>(f, 0, 100, 200, 60); }, xccPageScroller,
         "page scroller"},
        {[](TForm* f) -> TWinControl* { return Add<TFrame>(f, 0, 100, 200, 60); }, xccFrame, "frame"},
    };
    for (const Place& pl : places) {
        SCOPED_TRACE(pl.what);
        PaintedForm pf;
        TWinControl* holder = pl.make(pf.form);
        auto* inside = Add<TEdit>(holder, 4, 4, 80, 24, pf.form);
        auto* onForm = Add<TEdit>(pf.form, 0, 0);
        pf.AddMenu(false);
        pf.menu->SetXPContainers(AllXPContainers & ~Bit(pl.bit));
        pf.menu->SetActive(true);
        EXPECT_TRUE(TakenOver(onForm));
        EXPECT_FALSE(TakenOver(inside)) << "its switch is off";
        pf.menu->SetXPContainers(AllXPContainers);
        EXPECT_TRUE(TakenOver(inside)) << "its switch is on";
    }

    // Owned by a radio group, a frame or a plain group box, and not by the
    // form: reached only through the owner's own walk.
    PaintedForm pf;
    TForm* f = pf.form;
    auto* group = Add<TRadioGroup>(f, 0, 0, 150, 90);
    group->SetItems({"One", "Two"});
    auto* plainBox = Add<TGroupBox>(f, 160, 0, 150, 90);
    auto* inPlainBox = Add<TRadioButton>(plainBox, 8, 20);
    auto* frame = Add<TFrame>(f, 0, 100, 150, 60);
    auto* inFrame = Add<TCheckBox>(frame, 4, 4);
    auto* frameOwnedOnForm = Add<TCheckBox>(f, 160, 100, 80, 24, frame);
    auto* labelled = Add<TLabeledEdit>(f, 160, 180);

    pf.AddMenu(false);
    pf.menu->SetXPContainers(AllXPContainers & ~Bit(xccGroupBox) & ~Bit(xccFrame));
    pf.menu->SetXPControls(AllXPControls & ~Bit(xcEdit));
    pf.menu->SetActive(true);
    EXPECT_FALSE(TakenOver(group->Buttons(0))) << "radio group walked while group boxes are off";
    EXPECT_FALSE(TakenOver(inFrame)) << "frame walked while frames are off";
    EXPECT_FALSE(TakenOver(frameOwnedOnForm)) << "the form's place is on, but the frame is not walked";
    EXPECT_FALSE(TakenOver(labelled)) << "labelled edit taken while edits are off";

    pf.menu->SetXPContainers(AllXPContainers);
    pf.menu->SetXPControls(AllXPControls);
    EXPECT_TRUE(TakenOver(group->Buttons(0)) && TakenOver(group->Buttons(1))) << "the radio group's own buttons";
    EXPECT_TRUE(TakenOver(inFrame)) << "a control the frame owns";
    EXPECT_TRUE(TakenOver(frameOwnedOnForm)) << "a control the frame owns, placed on the form";
    EXPECT_TRUE(TakenOver(labelled)) << "a labelled edit is an edit";
    EXPECT_FALSE(TakenOver(inPlainBox)) << "a plain group box's components are not walked";

    // Switched off, the owned controls are handed back like the form's own.
    pf.menu->SetActive(false);
    for (TControl* c : std::vector<TControl*>{group->Buttons(0), inFrame, frameOwnedOnForm, labelled}) {
        c->Perform(WM_NULL);
        EXPECT_FALSE(TakenOver(c));
    }
}

// ---------------------------------------------------------------- the take-over

TEST(XPControlWndProc, TracksHotPressedFocusAndRepaintsOncePerChange) {
    PaintedForm pf;
    auto* button = Add<TButton>(pf.form, 10, 10, 90, 26);
    button->SetCaption("OK");
    pf.AddMenu(true);
    pf.form->Show();
    TControlSubClass* s = TControlSubClass::Find(button);
    ASSERT_NE(s, nullptr);
    HWND h = button->Handle();

    struct Step {
        TControl* target;
        UINT msg;
        WPARAM wp;
        bool hot, pressed, space;
        int paints;
        const char* what;
    };
    // Space on an edit: the button's own handling repaints through
    // BM_SETSTATE as well, which would hide what the space tracking does.
    auto* edit = Add<TEdit>(pf.form, 10, 50, 90, 24);
    pf.menu->WalkComponents(pf.form, true, false);
    TControlSubClass* es = TControlSubClass::Find(edit);
    ASSERT_NE(es, nullptr);
    const Step steps[] = {
        {button, CM_MOUSEENTER, 0, true, false, false, 1, "mouse enters"},
        {button, WM_LBUTTONDOWN, MK_LBUTTON, true, true, false, 1, "button down"},
        {button, WM_LBUTTONUP, 0, true, false, false, 1, "button up"},
        {button, CM_MOUSELEAVE, 0, false, false, false, 1, "mouse leaves"},
        {edit, WM_KEYDOWN, VK_SPACE, false, false, true, 1, "space down"},
        {edit, WM_KEYDOWN, VK_SPACE, false, false, true, 0, "space repeats: no repaint"},
        {edit, WM_KEYUP, VK_SPACE, false, false, false, 1, "space up"},
        {button, WM_SETFOCUS, 0, true, false, false, 1, "focus arrives"},
        {button, WM_KILLFOCUS, 0, false, false, false, 1, "focus leaves"},
        {button, WM_WINDOWPOSCHANGED, 0, false, false, false, 0, "a move only marks the window busy"},
    };
    for (const Step& st : steps) {
        TControlSubClass* t = TControlSubClass::Find(st.target);
        auto* w = static_cast<TWinControl*>(st.target);
        const int before = t->PaintCount();
        if (st.msg >= CM_BASE)
            st.target->Perform(st.msg, st.wp, 0);
        else if (st.msg == WM_WINDOWPOSCHANGED)
            SetWindowPos(h, nullptr, 12, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        else
            SendMessageA(w->Handle(), st.msg, st.wp, 0);
        EXPECT_EQ(t->Hot(), st.hot) << st.what;
        EXPECT_EQ(t->Pressed(), st.pressed) << st.what;
        EXPECT_EQ(t->SpaceDown(), st.space) << st.what;
        // A button's own handling of a click or focus may add a repaint
        // (BM_SETSTATE); the others are exact.
        const bool exact = st.target == edit || st.msg >= CM_BASE || st.msg == WM_WINDOWPOSCHANGED;
        const int paints = t->PaintCount() - before;
        EXPECT_TRUE(exact ? paints == st.paints : paints >= st.paints) << st.what << ": " << paints << " paints";
    }
    EXPECT_TRUE(s->Busy()) << "a window move marks the object busy until the next paint";
    button->Repaint();
    EXPECT_FALSE(s->Busy());
    ASSERT_TRUE(PumpUntil([&] { return !es->Busy(); }));
    edit->Invalidate();
    EXPECT_TRUE(es->Busy()) << "invalidating the control marks the object busy until the paint";
    EXPECT_TRUE(PumpUntil([&] { return !es->Busy(); })) << "the paint after Invalidate never came";
    pf.form->Hide();
}

TEST(XPControlPainters, EditBorderCheckBoxAndButtonFacePixels) {
    PaintedForm pf;
    auto* edit = Add<TEdit>(pf.form, 10, 10, 120, 24);
    auto* check = Add<TCheckBox>(pf.form, 10, 50, 120, 24);
    auto* button = Add<TButton>(pf.form, 10, 90, 120, 30);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();
    check->SetState(cbGrayed);
    ASSERT_TRUE(PumpUntil([&] { return TControlSubClass::Find(edit)->PaintCount() > 0; }));
    EXPECT_FALSE(edit->Ctl3D()) << "the flat edit drops its sunken edge";

    // The edit's frame: dark when idle, light selection colour when hot.
    button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return button->Focused(); }));
    const COLORREF idle = static_cast<COLORREF>(DarkenColor(0xC0C0C0, 60));
    edit->Repaint();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(edit, 0, 0) == idle; })) << std::hex << WindowPixel(edit, 0, 0);
    edit->Perform(CM_MOUSEENTER);
    EXPECT_EQ(WindowPixel(edit, 0, 0), static_cast<COLORREF>(LightenColor(m->SelectFrameColor(), 60)));

    // The grayed check box: a silver box.
    check->Repaint();
    const int S = GetSystemMetrics(SM_CXHTHUMB);
    const int boxTop = 3 + (24 - 6 - S) / 2 + 2;
    EXPECT_EQ(WindowPixel(check, 2 + 2, boxTop + S / 2 + 2), static_cast<COLORREF>(0xC0C0C0));

    // The button's face, neither hot nor focused, is the icon column colour.
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return edit->Focused(); }));
    button->Repaint();
    ASSERT_FALSE(TControlSubClass::Find(button)->Hot());
    EXPECT_EQ(WindowPixel(button, 4, 4), static_cast<COLORREF>(ColorToRGB(m->IconColumnColor())));
    pf.form->Hide();
}

TEST(XPControlPainters, BoxSideFollowsAlignmentAndReadingOrderAndButtonCaptionReadsRightToLeft) {
    PaintedForm pf;
    pf.form->SetColor(0x00D0E0F0);
    const int W = 120, H = 24;
    struct Case {
        TBiDiMode mode;
        TAlignment alignment;
        bool atRight;
    } cases[] = {{bdLeftToRight, taRightJustify, false},
                 {bdLeftToRight, taLeftJustify, true},
                 {bdRightToLeft, taRightJustify, true},
                 {bdRightToLeft, taLeftJustify, false}};
    std::vector<TCheckBox*> checks;
    std::vector<TRadioButton*> radios;
    int y = 5;
    for (const Case& k : cases) {
        auto* c = Add<TCheckBox>(pf.form, 5, y, W, H);
        c->SetBiDiMode(k.mode);
        c->SetAlignment(k.alignment);
        checks.push_back(c);
        auto* r = Add<TRadioButton>(pf.form, 150, y, W, H);
        r->SetBiDiMode(k.mode);
        r->SetAlignment(k.alignment);
        radios.push_back(r);
        y += H + 4;
    }
    auto* ltr = Add<TButton>(pf.form, 5, y, W, 30);
    auto* rtl = Add<TButton>(pf.form, 150, y, W, 30);
    ltr->SetCaption("W::::::::");
    rtl->SetCaption("W::::::::");
    rtl->SetBiDiMode(bdRightToLeft);
    pf.AddMenu(true);
    pf.form->Show();
    for (TCheckBox* c : checks) c->SetState(cbGrayed);
    ASSERT_TRUE(PumpUntil([&] { return TControlSubClass::Find(rtl)->PaintCount() > 0; }));

    // Which half of the control holds the box: the grayed box's silver
    // fill, the radio's ring in the button shadow colour (only one radio
    // of the form stays checked, so the ring rather than the dot).
    const COLORREF silver = 0xC0C0C0, ring = static_cast<COLORREF>(ColorToRGB(clBtnShadow));
    auto count = [&](TWinControl* c, COLORREF colour, bool rightHalf) {
        int n = 0;
        for (int yy = 0; yy < H; ++yy)
            for (int x = rightHalf ? W / 2 : 0; x < (rightHalf ? W : W / 2); ++x)
                if (WindowPixel(c, x, yy) == colour) ++n;
        return n;
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& k = cases[i];
        checks[i]->Repaint();
        radios[i]->Repaint();
        EXPECT_GT(count(checks[i], silver, k.atRight), 10)
            << "case " << i << ": check box at the " << (k.atRight ? "right" : "left");
        EXPECT_EQ(count(checks[i], silver, !k.atRight), 0) << "case " << i;
        EXPECT_GT(count(radios[i], ring, k.atRight), 10)
            << "case " << i << ": radio at the " << (k.atRight ? "right" : "left");
        EXPECT_EQ(count(radios[i], ring, !k.atRight), 0) << "case " << i;
    }

    // Read right to left, the colons after the W go before it: the W's dark
    // pixels lie in the right half of the caption instead of the left.
    auto wAtRight = [&](TButton* b) {
        long sum = 0, n = 0;
        int l = 1000, r = -1;
        for (int yy = 0; yy < b->Height(); ++yy)
            for (int x = 2; x < b->Width() - 2; ++x) {
                const COLORREF p = WindowPixel(b, x, yy);
                if (GetRValue(p) < 80 && GetGValue(p) < 80 && GetBValue(p) < 80) {
                    sum += x;
                    ++n;
                    l = std::min(l, x);
                    r = std::max(r, x);
                }
            }
        return n > 0 && sum / n > (l + r) / 2;
    };
    EXPECT_FALSE(wAtRight(ltr));
    EXPECT_TRUE(wAtRight(rtl)) << "the caption is drawn with right-to-left reading";
}

// The painted group box: its frame one pixel inside the box, the top line
// below the middle of the caption with the parent's colour above it to the
// last column, the system's right edge cleared beside the caption, and the
// caption at the right end when the box reads right to left.
TEST(XPControlPainters, GroupFrameSitsInsideUnderTheCaptionAndFollowsTheReadingOrder) {
    PaintedForm pf;
    auto* g = Add<TGroupBox>(pf.form, 20, 20, 200, 100);
    g->SetCaption("Screen corners");
    const TColor color = 0x00E0E0E0;
    g->SetColor(color);
    pf.Start();
    RepaintAndWait(g);
    TBitmap probe(1, 1);
    probe.Canvas()->Font()->Assign(g->Font());
    const int TH = probe.Canvas()->TextHeight("Screen corners"), TW = probe.Canvas()->TextWidth("Screen corners");
    const int lineY = TH / 2 + 1, W = g->ClientWidth(), H = g->ClientHeight();
    const COLORREF light = Rgb(LightenColor(color, 60)), dark = Rgb(DarkenColor(color, 60));
    const COLORREF parent = Rgb(FormColor), own = Rgb(color);
    struct Case {
        int x, y;
        COLORREF expected;
        const char* what;
    } cases[] = {
        {1, lineY + 5, light, "left edge one pixel inside"},
        {W - 2, H - 20, dark, "right edge one pixel inside"},
        {20, H - 2, dark, "bottom edge one pixel inside"},
        {3, lineY, light, "top line below the caption's middle"},
        {3, lineY - 1, parent, "the parent shows above the top line"},
        {W - 1, lineY - 1, parent, "up to the last column"},
        {W - 2, lineY + 2, own, "the system's right edge cleared beside the caption"},
        {9 + TW + 3, lineY, light, "the top line resumes after the caption"},
    };
    for (const Case& k : cases) EXPECT_EQ(WindowPixel(g, k.x, k.y), k.expected) << k.what;
    auto captionInk = [&](int x0, int x1, int rows) {
        int n = 0;
        for (int y = 0; y < rows; ++y)
            for (int x = x0; x < x1; ++x) {
                const COLORREF p = WindowPixel(g, x, y);
                if (p != parent && p != own && p != light) ++n;
            }
        return n;
    };
    EXPECT_GT(captionInk(9, 9 + TW, TH), 0);
    EXPECT_EQ(captionInk(W - 9 - TW / 3, W - 9, TH), 0);
    g->SetBiDiMode(bdRightToLeft);
    RepaintAndWait(g);
    EXPECT_GT(captionInk(W - 9 - TW / 3, W - 9, TH), 0) << "right to left, the caption ends 9 pixels from the right";
    // Above the top line nothing but the parent is left at the left end.
    EXPECT_EQ(captionInk(9, 9 + TW / 3, lineY), 0);
    pf.form->Hide();
}

TEST(XPSwitchOff, PutsBackProcedureCtl3DAndBorderOfEveryControl) {
    PaintedForm pf;
    auto* edit = Add<TEdit>(pf.form, 10, 10);
    auto* button = Add<TButton>(pf.form, 10, 50);
    const TWndMethod editProc = edit->WindowProc, buttonProc = button->WindowProc;
    pf.AddMenu(true);
    pf.form->Show();
    ASSERT_TRUE(TakenOver(edit) && TakenOver(button));
    ASSERT_FALSE(edit->Ctl3D());
    pf.menu->SetActive(false);
    // The switch-off repaint reaches each control; no further input needed.
    ASSERT_TRUE(PumpUntil([&] { return !TakenOver(edit) && !TakenOver(button); }));
    EXPECT_TRUE(edit->WindowProc == editProc);
    EXPECT_TRUE(button->WindowProc == buttonProc);
    EXPECT_TRUE(edit->Ctl3D());
    EXPECT_EQ(edit->BorderStyle(), bsSingle);
    pf.form->Hide();
}

TEST(XPSwitchOff, AControlFreedWhileTakenOverLeavesNothingBehind) {
    PaintedForm pf;
    auto* edit = Add<TEdit>(pf.form, 10, 10);
    pf.AddMenu(true);
    ASSERT_TRUE(TakenOver(edit));
    TComponent::Free(edit);
    EXPECT_TRUE(pf.menu->SubClasses().empty());
    pf.menu->SetActive(false);  // walks and purges without touching the freed control
}

// ---------------------------------------------------------------- the manager

TEST(XPManager, AdoptsOtherFormsAndHandsOverOrRestores) {
    PaintedForm first, second;
    first.AddMenu(true);
    second.AddMenu(true);
    ASSERT_NE(XPMenuManager, nullptr);
    EXPECT_EQ(XPMenuManager->CurrentMenu(), first.menu);

    // A dialog made now is adopted at the next message of the application.
    vsk::test::Owned dialog{vsk::test::NewBareForm(400, 40, 200, 100)};
    auto* edit = Add<TEdit>(dialog, 10, 10);
    const TWndMethod original = edit->WindowProc;
    ASSERT_TRUE(PumpUntil([&] { return TakenOver(edit); }));
    EXPECT_EQ(TControlSubClass::Find(edit)->XPMenu(), first.menu);

    // A form freed while pending is never walked.
    TForm* doomed = vsk::test::NewBareForm(400, 200, 100, 50);
    auto* doomedEdit = Add<TEdit>(doomed, 0, 0);
    (void)doomedEdit;
    EXPECT_TRUE(XPMenuManager->IsPending(doomed));
    TComponent::Free(doomed);
    EXPECT_FALSE(XPMenuManager->IsPending(doomed));
    PostMessageA(Application->Handle(), WM_NULL, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return XPMenuManager->PendingCount() == 0; }));

    // Switching subclassing off on the current menu hands over; back on,
    // the other stays current.
    first.menu->SetDisableSubclassing(true);
    EXPECT_EQ(XPMenuManager->CurrentMenu(), second.menu);
    EXPECT_EQ(TControlSubClass::Find(edit)->XPMenu(), second.menu);
    first.menu->SetDisableSubclassing(false);
    EXPECT_EQ(XPMenuManager->CurrentMenu(), second.menu);
    second.menu->SetDisableSubclassing(true);
    EXPECT_EQ(XPMenuManager->CurrentMenu(), first.menu);
    EXPECT_EQ(TControlSubClass::Find(edit)->XPMenu(), first.menu);
    second.menu->SetDisableSubclassing(false);

    // Destroying the current menu's form hands every adopted control to the
    // other menu.
    TComponent::Free(first.form);
    first.form = nullptr;
    ASSERT_NE(TControlSubClass::Find(edit), nullptr);
    EXPECT_EQ(TControlSubClass::Find(edit)->XPMenu(), second.menu);
    EXPECT_EQ(XPMenuManager->CurrentMenu(), second.menu);
    edit->Perform(WM_NULL);  // the handed-over object works

    // The last menu going puts every adopted control back at once.
    TComponent::Free(second.form);
    second.form = nullptr;
    EXPECT_EQ(XPMenuManager, nullptr);
    EXPECT_FALSE(TakenOver(edit));
    EXPECT_TRUE(edit->WindowProc == original);
    EXPECT_TRUE(edit->Ctl3D());
    dialog.Free();
}

TEST(XPManager, AFormWithItsOwnPainterOrTagged999IsNotAdopted) {
    vsk::test::Owned tagged{vsk::test::NewBareForm(400, 40, 100, 50)};
    tagged->SetTag(XPLeaveAloneTag);
    auto* taggedEdit = Add<TEdit>(tagged, 0, 0);
    PaintedForm own;
    own.AddMenu(false);  // a form with a painter of its own, switched off
    auto* ownEdit = Add<TEdit>(own.form, 0, 0);
    {
        PaintedForm pf;
        pf.AddMenu(true);
        PostMessageA(Application->Handle(), WM_NULL, 0, 0);
        ASSERT_TRUE(
            PumpUntil([&] { return XPMenuManager->PendingCount() == 0 && XPMenuManager->IsProcessed(pf.form); }));
        EXPECT_FALSE(TakenOver(taggedEdit));
        EXPECT_FALSE(TakenOver(ownEdit));
    }
    tagged.Free();
}
