// The flat painting of the input controls: which of them the walk takes
// over and through which switch, the pixels each painter leaves in the
// plain, hot, focused, pressed, dropped-down and disabled states, and the
// look they get back when the painter is switched off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "painters/XPMenu.h"
#include "support/PainterTestForm.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/ComCtrls.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/StdCtrls.h"

#include <commctrl.h>

using namespace painters;
using namespace ui;
using namespace vsk::test;

namespace {

// A lookup combo known to the painter by its class name only: a window
// that paints itself, with a line border when flat and a sunken one with
// Ctl3D, swapped in place.
class TDBLookupComboBox : public TCustomControl {
public:
    explicit TDBLookupComboBox(TComponent* o) : TCustomControl(o) {
        SetColor(clWindow);
        SetBounds(0, 0, 145, 24);
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TCustomControl::CreateParams(p);
        if (Ctl3D())
            p.ExStyle |= WS_EX_CLIENTEDGE;
        else
            p.Style |= WS_BORDER;
    }
    void Ctl3DChanged() override {
        TCustomControl::Ctl3DChanged();
        if (!HandleAllocated()) return;
        LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE), ex = GetWindowLongPtrA(handle_, GWL_EXSTYLE);
        if (Ctl3D())
            style &= ~WS_BORDER, ex |= WS_EX_CLIENTEDGE;
        else
            style |= WS_BORDER, ex &= ~WS_EX_CLIENTEDGE;
        SetWindowLongPtrA(handle_, GWL_STYLE, style);
        SetWindowLongPtrA(handle_, GWL_EXSTYLE, ex);
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
};

TControlSubClass* Sub(TControl* c) { return TControlSubClass::Find(c); }

// Moves the real mouse pointer to the client point p of c.
void PointAt(TControl* c, TPoint p) {
    const TPoint s = c->ClientToScreen(p);
    SetCursorPos(s.x, s.y);
}

}  // namespace

// ---------------------------------------------------------------- the walk

TEST(XPInputsWalk, EachKindIsTakenOverThroughItsOwnSwitch) {
    struct Row {
        const char* what;
        std::function<TControl*(TWinControl*)> make;
        std::vector<TXPControl> bits;  // each one alone qualifies the control
    };
    const Row rows[] = {
        {"combo box", [](TWinControl* f) { return Add<TComboBox>(f, 0, 0, 120, 24); }, {xcCombo}},
        {"list box", [](TWinControl* f) { return Add<TListBox>(f, 0, 0, 120, 80); }, {xcListBox}},
        {"memo", [](TWinControl* f) { return Add<TMemo>(f, 0, 0, 120, 80); }, {xcMemo}},
        {"rich edit", [](TWinControl* f) { return Add<TRichEdit>(f, 10, 10, 120, 80); }, {xcMemo, xcRichEdit}},
        {"up-down", [](TWinControl* f) { return Add<TUpDown>(f, 0, 0, 16, 24); }, {xcUpDown}},
        {"progress bar", [](TWinControl* f) { return Add<TProgressBar>(f, 0, 0, 120, 16); }, {xcProgressBar}},
        {"hot key", [](TWinControl* f) { return Add<THotKey>(f, 0, 0, 120, 24); }, {xcHotKey}},
        {"tree view", [](TWinControl* f) { return Add<TTreeView>(f, 0, 0, 120, 80); }, {xcTreeView}},
        {"lookup combo", [](TWinControl* f) { return Add<TDBLookupComboBox>(f, 0, 0, 120, 24); }, {xcButton}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TXPControls without = AllXPControls;
        for (TXPControl b : r.bits) without &= ~Bit(b);
        {
            PaintedForm pf;
            TControl* c = r.make(pf.form);
            pf.AddMenu(true, without);
            EXPECT_FALSE(TakenOver(c)) << "taken over with its switch off";
        }
        for (TXPControl b : r.bits) {
            PaintedForm pf;
            TControl* c = r.make(pf.form);
            pf.AddMenu(true, Bit(b));
            EXPECT_TRUE(TakenOver(c)) << "not taken over by switch " << b << " alone";
        }
    }
    // A memo is no single-line edit: the edit switch alone leaves it.
    PaintedForm pf;
    auto* memo = Add<TMemo>(pf.form, 0, 0, 120, 80);
    pf.AddMenu(true, Bit(xcEdit));
    EXPECT_FALSE(TakenOver(memo));
}

// ---------------------------------------------------------------- combos

TEST(XPInputPainters, ComboFrameButtonAndArrowInEveryState) {
    PaintedForm pf;
    auto* drop = Add<TComboBox>(pf.form, 10, 10, 150, 24);
    auto* list = Add<TComboBox>(pf.form, 10, 50, 150, 24);
    list->SetStyle(csDropDownList);
    for (const char* s : {"one", "two", "three"}) list->AddItem(s);
    auto* simple = Add<TComboBox>(pf.form, 200, 10, 150, 90);
    simple->SetStyle(csSimple);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();

    const int W = drop->Width(), H = drop->Height();
    const int btnLeft = W - 2 - (GetSystemMetrics(SM_CXHTHUMB) + 1);
    const TPoint face{W - 4, 4}, strip{btnLeft + 1, 4}, arrow{W - 10 + 2, 10}, side{0, H / 2};

    RepaintAndWait(drop);
    EXPECT_EQ(WindowPixel(drop, 0, 0), Rgb(FormColor)) << "outer ring in the parent colour";
    EXPECT_EQ(WindowPixel(drop, face.x, face.y), Rgb(clBtnFace)) << "plain button face";
    EXPECT_EQ(WindowPixel(drop, strip.x, strip.y), Rgb(drop->Color())) << "strip next to the text";
    EXPECT_EQ(WindowPixel(drop, arrow.x, arrow.y), Rgb(clBlack)) << "arrow of an enabled combo";

    // The real pointer over the button lights the frame and the button.
    PointAt(drop, Point(W - 6, H / 2));
    ASSERT_TRUE(PumpUntil([&] { return Sub(drop)->Hot(); }));
    EXPECT_EQ(WindowPixel(drop, side.x, side.y), Rgb(m->SelectFrameColor())) << "hot frame";
    EXPECT_EQ(WindowPixel(drop, face.x, face.y), Rgb(m->SelectFillColor())) << "hot button";
    ParkPointer();
    ASSERT_TRUE(PumpUntil([&] { return !Sub(drop)->Hot(); }));
    EXPECT_EQ(WindowPixel(drop, face.x, face.y), Rgb(clBtnFace)) << "button plain again once the pointer left";

    // Focused but not hot: the pale frame and the checked fill.
    list->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return list->Focused(); }));
    list->Perform(CM_MOUSELEAVE);
    ASSERT_FALSE(Sub(list)->Hot());
    ASSERT_TRUE(Sub(list)->HasFocus());
    EXPECT_EQ(WindowPixel(list, side.x, side.y), Rgb(LightenColor(m->SelectFrameColor(), 60))) << "focused frame";
    EXPECT_EQ(WindowPixel(list, face.x, face.y), Rgb(m->CheckedFillColor())) << "focused button";

    // A combo with an edit field counts as focused while the field has it.
    drop->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() && IsChild(drop->Handle(), GetFocus()); }));
    drop->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(WindowPixel(drop, face.x, face.y), Rgb(m->CheckedFillColor()))
        << "the edit field's focus left the combo plain";
    EXPECT_EQ(WindowPixel(drop, side.x, side.y), Rgb(LightenColor(m->SelectFrameColor(), 60)));
    list->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(drop, face.x, face.y) == Rgb(clBtnFace); }));

    // Dropped down: the checked-and-selected fill with a white arrow.
    list->SetDroppedDown(true);
    ASSERT_TRUE(PumpUntil([&] { return list->DroppedDown(); }));
    RepaintAndWait(list);
    EXPECT_EQ(WindowPixel(list, face.x, face.y), Rgb(m->CheckedSelectedFillColor())) << "dropped-down button";
    EXPECT_EQ(WindowPixel(list, arrow.x, arrow.y), Rgb(clWhite)) << "dropped-down arrow";
    list->SetDroppedDown(false);
    ASSERT_TRUE(PumpUntil([&] { return !list->DroppedDown(); }));

    // Disabled: a white arrow.
    drop->SetEnabled(false);
    RepaintAndWait(drop);
    EXPECT_EQ(WindowPixel(drop, arrow.x, arrow.y), Rgb(clWhite)) << "arrow of a disabled combo";

    // The simple style has no button: the painter stops at the frame.
    RepaintAndWait(simple);
    EXPECT_EQ(WindowPixel(simple, 0, 0), Rgb(FormColor));
    EXPECT_NE(WindowPixel(simple, simple->Width() - 4, 4), Rgb(clBtnFace)) << "a simple combo got a button";
}

TEST(XPInputPainters, LookupComboAndRichEditFrames) {
    PaintedForm pf;
    auto* lookup = Add<TDBLookupComboBox>(pf.form, 10, 10, 150, 24);
    auto* rich = Add<TRichEdit>(pf.form, 20, 60, 150, 80);
    auto* other = Add<TEdit>(pf.form, 200, 10, 100, 24);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();

    // The lookup combo turns flat; its frame is drawn on the whole window.
    RepaintAndWait(lookup);
    EXPECT_FALSE(lookup->Ctl3D());
    const int W = lookup->Width(), H = lookup->Height();
    EXPECT_EQ(WindowPixel(lookup, 0, 0), Rgb(DarkenColor(FormColor, 60))) << "outer frame";
    EXPECT_EQ(WindowPixel(lookup, 1, H / 2), Rgb(lookup->Color())) << "ring in the control's colour";
    EXPECT_EQ(WindowPixel(lookup, W - 5, 4), Rgb(clBtnFace)) << "plain button";
    EXPECT_EQ(WindowPixel(lookup, W - 3, 4), Rgb(LightenColor(m->SelectFrameColor(), 60))) << "button frame";
    PointAt(lookup, Point(W / 2, H / 2 - 1));
    ASSERT_TRUE(PumpUntil([&] { return Sub(lookup)->Hot(); }));
    EXPECT_EQ(WindowPixel(lookup, 0, 0), Rgb(m->SelectFrameColor())) << "hot outer frame";
    EXPECT_EQ(WindowPixel(lookup, W - 5, 4), Rgb(m->SelectFillColor())) << "hot button";
    ParkPointer();
    ASSERT_TRUE(PumpUntil([&] { return !Sub(lookup)->Hot(); }));

    // The rich edit loses its own border for a frame drawn on the parent.
    EXPECT_EQ(rich->BorderStyle(), bsNone);
    EXPECT_EQ(rich->BorderWidth(), 2);
    RepaintAndWait(rich);
    const int x = rich->Left() - 1, y = rich->Top() - 1;
    EXPECT_EQ(WindowPixel(pf.form, x, y), Rgb(DarkenColor(FormColor, 60))) << "plain frame on the parent";
    EXPECT_EQ(WindowPixel(pf.form, rich->Left() + rich->Width(), y + 40), Rgb(DarkenColor(FormColor, 60)));
    rich->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(pf.form, x, y) == Rgb(LightenColor(m->SelectFrameColor(), 60)); }))
        << "focused frame " << std::hex << WindowPixel(pf.form, x, y);
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(pf.form, x, y) == Rgb(DarkenColor(FormColor, 60)); }))
        << "frame after the focus left " << std::hex << WindowPixel(pf.form, x, y);
}

TEST(XPInputPainters, RightToLeftCombosGetButtonAndArrowAtTheLeft) {
    PaintedForm pf;
    auto* drop = Add<TComboBox>(pf.form, 10, 10, 150, 24);
    drop->SetBiDiMode(bdRightToLeft);
    auto* lookup = Add<TDBLookupComboBox>(pf.form, 10, 50, 150, 24);
    lookup->SetBiDiMode(bdRightToLeft);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();
    const int thumb = GetSystemMetrics(SM_CXHTHUMB);

    RepaintAndWait(drop);
    const int H = drop->Height();
    EXPECT_EQ(WindowPixel(drop, 3, 4), Rgb(clBtnFace)) << "button at the left";
    EXPECT_EQ(WindowPixel(drop, 2 + thumb + 1 - 2, 4), Rgb(drop->Color())) << "strip next to the text, at its right";
    EXPECT_EQ(WindowPixel(drop, 5 + 2, 10), Rgb(clBlack)) << "arrow at the left";
    // Hot, the button widens by 2 toward the text: the strip's line moves
    // with it.
    PointAt(drop, Point(6, H / 2));
    ASSERT_TRUE(PumpUntil([&] { return Sub(drop)->Hot(); }));
    RepaintAndWait(drop);
    EXPECT_EQ(WindowPixel(drop, 2, 4), Rgb(m->SelectFillColor())) << "hot button";
    EXPECT_EQ(WindowPixel(drop, 1 + thumb + 3 - 5, 4), Rgb(m->SelectFrameColor()))
        << "strip line of the widened button";
    EXPECT_EQ(WindowPixel(drop, 1 + thumb + 3 - 6, 4), Rgb(m->SelectFillColor()));
    ParkPointer();
    ASSERT_TRUE(PumpUntil([&] { return !Sub(drop)->Hot(); }));

    RepaintAndWait(lookup);
    EXPECT_EQ(WindowPixel(lookup, 4, 4), Rgb(clBtnFace)) << "lookup button at the left";
    EXPECT_EQ(WindowPixel(lookup, 2, 4), Rgb(LightenColor(m->SelectFrameColor(), 60))) << "lookup button frame";
    EXPECT_EQ(WindowPixel(lookup, 1 + 5 + 2, 1 + 8), Rgb(clBlack)) << "lookup arrow at the left";
    EXPECT_NE(WindowPixel(lookup, lookup->Width() - 5, 4), Rgb(clBtnFace)) << "no button left at the right";
}

// ---------------------------------------------------------------- up-down

TEST(XPInputPainters, SpinHalvesFollowThePointerAndSkipWhatTheyAlreadyShow) {
    PaintedForm pf;
    auto* spin = Add<TUpDown>(pf.form, 30, 30, 20, 40);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();
    TControlSubClass* s = Sub(spin);
    const int W = spin->ClientWidth(), H = spin->ClientHeight(), half = H / 2;
    const int lowerTop = H - half;
    const COLORREF lit = Rgb(m->SelectFrameColor()), unlit = Rgb(LightenColor(FormColor, 80));
    // The arrows' tips: the centre of each half, two pixels up.
    auto tip = [&](int top) { return Point(W / 2, top + half / 2 - 2); };

    RepaintAndWait(spin);
    EXPECT_EQ(WindowPixel(spin, 0, 0), unlit) << "upper half plain";
    EXPECT_EQ(WindowPixel(spin, 1, 1), Rgb(LightenColor(m->SelectFillColor(), m->ButtonFaceLevel())));
    EXPECT_EQ(WindowPixel(spin, 0, lowerTop), unlit) << "lower half plain";

    PointAt(spin, Point(W / 2, half / 2));
    ASSERT_TRUE(PumpUntil([&] { return s->Hot() && WindowPixel(spin, 0, 0) == lit; })) << "upper half never lit";
    EXPECT_EQ(WindowPixel(spin, 1, 1), Rgb(LightenColor(m->SelectFillColor(), 60)));
    EXPECT_EQ(WindowPixel(spin, 0, lowerTop), unlit);
    EXPECT_EQ(WindowPixel(spin, tip(0).x, tip(0).y), Rgb(clBlack)) << "upper arrow";

    PointAt(spin, Point(W / 2, lowerTop + half / 2));
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(spin, 0, lowerTop) == lit; })) << "the light did not follow down";
    EXPECT_EQ(WindowPixel(spin, 0, 0), unlit);

    // Moving inside the lit half: the control is painted over again, but
    // both halves already show their state and are left alone.
    ASSERT_TRUE(WaitShown(pf.form->Handle()));
    const int paints = s->PaintCount(), skips = s->SpinSkips();
    SendMessageA(spin->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(W / 2 + 1, lowerTop + half / 2));
    EXPECT_EQ(s->PaintCount(), paints + 1);
    EXPECT_EQ(s->SpinSkips(), skips + 2);

    // A press on the lit half shows although its frame stays the same.
    SendMessageA(spin->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(W / 2, lowerTop + half / 2));
    EXPECT_TRUE(s->Pressed());
    EXPECT_EQ(WindowPixel(spin, 1, lowerTop + 1), Rgb(m->CheckedSelectedFillColor())) << "pressed fill";
    EXPECT_EQ(WindowPixel(spin, tip(lowerTop).x, tip(lowerTop).y + 3), Rgb(clWhite)) << "pressed arrow";
    SendMessageA(spin->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(W / 2, lowerTop + half / 2));
    EXPECT_FALSE(s->Pressed());

    // Disabled: no half lights up under the pointer, the arrows turn white.
    spin->SetEnabled(false);
    RepaintAndWait(spin);
    EXPECT_EQ(WindowPixel(spin, 0, lowerTop), unlit);
    EXPECT_EQ(WindowPixel(spin, tip(0).x, tip(0).y), Rgb(clWhite)) << "disabled arrow";
    ParkPointer();
}

// ---------------------------------------------------------------- frames

TEST(XPInputPainters, ProgressHotKeyListBoxAndTreeViewFrames) {
    PaintedForm pf;
    auto* progress = Add<TProgressBar>(pf.form, 10, 10, 150, 18);
    progress->SetPosition(40);
    auto* hotKey = Add<THotKey>(pf.form, 10, 40, 150, 24);
    auto* listBox = Add<TListBox>(pf.form, 10, 80, 150, 80);
    listBox->AddItem("first");
    auto* bare = Add<TListBox>(pf.form, 200, 80, 150, 80);
    bare->SetBorderStyle(bsNone);
    auto* tree = Add<TTreeView>(pf.form, 200, 10, 150, 60);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();
    const COLORREF dark = Rgb(DarkenColor(FormColor, 60));
    const COLORREF pale = Rgb(LightenColor(m->SelectFrameColor(), 60));

    RepaintAndWait(progress);
    EXPECT_EQ(WindowPixel(progress, 0, 0), dark) << "plain progress frame";
    PointAt(progress, Point(20, 8));
    ASSERT_TRUE(PumpUntil([&] { return Sub(progress)->Hot(); }));
    EXPECT_EQ(WindowPixel(progress, 0, 0), Rgb(m->SelectFrameColor())) << "hot progress frame";
    ParkPointer();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(progress, 0, 0) == dark; }))
        << "progress frame after the pointer left";

    RepaintAndWait(hotKey);
    EXPECT_EQ(WindowPixel(hotKey, 0, 0), dark) << "plain hot-key frame";
    EXPECT_EQ(WindowPixel(hotKey, 1, 1), Rgb(clWindow)) << "inner ring of the hot-key field";
    hotKey->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(hotKey, 0, 0) == pale; })) << "focused hot-key frame";

    // The list controls drop their sunken edge; their border is painted
    // with the frame of the window.
    EXPECT_FALSE(listBox->Ctl3D());
    EXPECT_FALSE(tree->Ctl3D());
    EXPECT_EQ(WindowPixel(listBox, 0, 0), dark) << "list box border";
    EXPECT_EQ(WindowPixel(tree, 0, 0), dark) << "tree view border";
    EXPECT_EQ(WindowPixel(bare, 0, 0), Rgb(FormColor)) << "a borderless list box shows the parent colour";
    listBox->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(listBox, 0, 0) == pale; })) << "focused list box border";
    bare->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(bare, 0, 0) == Rgb(LightenColor(m->SelectFrameColor(), 80)); }))
        << "focused borderless list box";
    EXPECT_EQ(WindowPixel(listBox, 0, 0), dark) << "list box border after the focus left";
}

// ---------------------------------------------------------------- switching off

TEST(XPInputSwitchOff, PutsBackProcedureCtl3DBorderStyleAndBorderWidth) {
    PaintedForm pf;
    auto* listBox = Add<TListBox>(pf.form, 10, 10, 120, 60);
    auto* tree = Add<TTreeView>(pf.form, 140, 10, 120, 60);
    auto* rich = Add<TRichEdit>(pf.form, 10, 90, 120, 60);
    rich->SetBorderWidth(1);
    auto* combo = Add<TComboBox>(pf.form, 140, 90, 120, 24);
    auto* spin = Add<TUpDown>(pf.form, 280, 10, 16, 24);
    auto* progress = Add<TProgressBar>(pf.form, 280, 50, 100, 16);
    auto* hotKey = Add<THotKey>(pf.form, 280, 80, 100, 24);
    auto* memo = Add<TMemo>(pf.form, 140, 130, 120, 60);
    listBox->AddItem("Notepad");
    listBox->AddItem("Calculator");
    combo->AddItem("Volume 50%");
    combo->SetItemIndex(0);
    rich->SetText("Rich text");
    memo->SetText("Two\r\nlines");
    hotKey->SetHotKey(MAKEWORD('H', HOTKEYF_CONTROL));
    progress->SetPosition(60);
    const std::vector<TWinControl*> all{listBox, tree, rich, combo, spin, progress, hotKey, memo};
    std::vector<TWndMethod> original;
    for (TWinControl* c : all) original.push_back(c->WindowProc);
    pf.AddMenu(true);
    pf.Show();
    for (TWinControl* c : all) ASSERT_TRUE(TakenOver(c)) << ClassNameOf(c);
    ASSERT_FALSE(listBox->Ctl3D());
    ASSERT_FALSE(tree->Ctl3D());
    ASSERT_EQ(rich->BorderStyle(), bsNone);
    ASSERT_EQ(rich->BorderWidth(), 2);
    EXPECT_EQ(Sub(rich)->SavedBorderWidth(), 1);
    EXPECT_EQ(WindowPixel(listBox, 0, 0), Rgb(DarkenColor(FormColor, 60)));
    HoldForPicture();

    pf.menu->SetActive(false);
    // The switch-off repaint reaches every control; no input is needed.
    ASSERT_TRUE(PumpUntil([&] {
        for (TWinControl* c : all)
            if (Sub(c)) return false;
        return true;
    }));
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_TRUE(all[i]->WindowProc == original[i]) << ClassNameOf(all[i]) << " kept another procedure";
    for (TWinControl* c : std::vector<TWinControl*>{listBox, tree, rich}) {
        SCOPED_TRACE(ClassNameOf(c));
        EXPECT_TRUE(c->Ctl3D());
        EXPECT_TRUE(GetWindowLongPtrA(c->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "no sunken edge on the window";
    }
    EXPECT_EQ(listBox->BorderStyle(), bsSingle);
    EXPECT_EQ(tree->BorderStyle(), bsSingle);
    EXPECT_EQ(rich->BorderStyle(), bsSingle);
    EXPECT_EQ(rich->BorderWidth(), 1);
    // Handed back, the list box shows its own edge again, not the flat one.
    ASSERT_TRUE(WaitShown(pf.form->Handle()));
    EXPECT_NE(WindowPixel(listBox, 0, 0), Rgb(DarkenColor(FormColor, 60)));
}

TEST(XPInputSwitchOff, AHandedOverRichEditStillGetsItsOwnBorderBack) {
    PaintedForm first, second;
    auto* rich = Add<TRichEdit>(first.form, 10, 10, 120, 60);
    rich->SetBorderWidth(1);
    first.AddMenu(true);
    second.AddMenu(true);
    ASSERT_EQ(rich->BorderWidth(), 2);
    TControlSubClass* next = Sub(rich)->HandTo(second.menu);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->SavedBorderStyle(), bsSingle);
    EXPECT_EQ(next->SavedBorderWidth(), 1);
    second.menu->SetActive(false);
    rich->Perform(WM_NULL);
    EXPECT_FALSE(TakenOver(rich));
    EXPECT_EQ(rich->BorderStyle(), bsSingle);
    EXPECT_EQ(rich->BorderWidth(), 1);
}
