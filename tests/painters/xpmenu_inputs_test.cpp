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
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/ComCtrls.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/StdCtrls.h"

#include <commctrl.h>

using namespace painters;
using namespace ui;
using vsk::test::PumpUntil;
using vsk::test::WaitShown;

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
        if (Ctl3D()) p.ExStyle |= WS_EX_CLIENTEDGE;
        else p.Style |= WS_BORDER;
    }
    void Ctl3DChanged() override {
        TCustomControl::Ctl3DChanged();
        if (!HandleAllocated()) return;
        LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE), ex = GetWindowLongPtrA(handle_, GWL_EXSTYLE);
        if (Ctl3D()) style &= ~WS_BORDER, ex |= WS_EX_CLIENTEDGE;
        else style |= WS_BORDER, ex &= ~WS_EX_CLIENTEDGE;
        SetWindowLongPtrA(handle_, GWL_STYLE, style);
        SetWindowLongPtrA(handle_, GWL_EXSTYLE, ex);
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
};

constexpr TColor FormColor = 0x00C0C0C0;

template <class T>
T* Add(TWinControl* parent, int x, int y, int w, int h) {
    T* c = TComponent::Create<T>(parent);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
}

// A bare grey form whose painter is streamed in last, as a form loader does.
// Shown, the focus rests on an edit in a corner, so that no control under
// test starts focused.
struct PaintedForm {
    TForm* form = vsk::test::NewBareForm(40, 40, 420, 300);
    TEdit* sink = nullptr;
    TXPMenu* menu = nullptr;
    PaintedForm() {
        form->SetColor(FormColor);
        sink = TComponent::Create<TEdit>(form);
        sink->SetBounds(380, 260, 30, 24);
        sink->SetParent(form);
    }
    void AddMenu(bool active, TXPControls kinds = AllXPControls) {
        form->BeginLoading();
        menu = TComponent::Create<TXPMenu>(form);
        menu->SetXPControls(kinds);
        menu->SetActive(active);
        form->EndLoading();
    }
    void Show() {
        form->Show();
        sink->SetFocus();
        ASSERT_TRUE(PumpUntil([this] { return sink->Focused(); }));
        ASSERT_TRUE(WaitShown(form->Handle()));
    }
    ~PaintedForm() {
        form->Hide();
        TComponent::Free(form);
    }
};

TControlSubClass* Sub(TControl* c) { return TControlSubClass::Find(c); }

// A pixel of the control's whole window (frame included).
COLORREF Pixel(TWinControl* c, int x, int y) {
    HDC dc = GetWindowDC(c->Handle());
    const COLORREF p = GetPixel(dc, x, y);
    ReleaseDC(c->Handle(), dc);
    return p;
}

COLORREF RGBOf(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }

// Repaints c and waits until its painter ran after the control's own paint.
void RepaintOver(TWinControl* c) {
    TControlSubClass* s = Sub(c);
    ASSERT_NE(s, nullptr);
    const int before = s->PaintCount();
    c->Repaint();
    ASSERT_TRUE(PumpUntil([&] { return s->PaintCount() > before; }));
}

// Moves the real mouse pointer to the client point p of c.
void PointAt(TControl* c, TPoint p) {
    const TPoint s = c->ClientToScreen(p);
    SetCursorPos(s.x, s.y);
}

void PointerAway() { SetCursorPos(1200, 1000); }

// With VSK_SHOT_READY and VSK_SHOT_DONE set (tools/test-screenshot.sh),
// says the form is up and waits while the display is pictured.
void HoldForPicture() {
    const char* ready = getenv("VSK_SHOT_READY");
    const char* done = getenv("VSK_SHOT_DONE");
    if (!ready || !done) return;
    HANDLE f = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    PumpUntil([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 10000);
}

} // namespace

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
            EXPECT_EQ(Sub(c), nullptr) << "taken over with its switch off";
        }
        for (TXPControl b : r.bits) {
            PaintedForm pf;
            TControl* c = r.make(pf.form);
            pf.AddMenu(true, Bit(b));
            EXPECT_NE(Sub(c), nullptr) << "not taken over by switch " << b << " alone";
        }
    }
    // A memo is no single-line edit: the edit switch alone leaves it.
    PaintedForm pf;
    auto* memo = Add<TMemo>(pf.form, 0, 0, 120, 80);
    pf.AddMenu(true, Bit(xcEdit));
    EXPECT_EQ(Sub(memo), nullptr);
}

// ---------------------------------------------------------------- combos

TEST(XPInputPainters, ComboFrameButtonAndArrowInEveryState) {
    PointerAway();
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

    RepaintOver(drop);
    EXPECT_EQ(Pixel(drop, 0, 0), RGBOf(FormColor)) << "outer ring in the parent colour";
    EXPECT_EQ(Pixel(drop, face.x, face.y), RGBOf(clBtnFace)) << "plain button face";
    EXPECT_EQ(Pixel(drop, strip.x, strip.y), RGBOf(drop->Color())) << "strip next to the text";
    EXPECT_EQ(Pixel(drop, arrow.x, arrow.y), RGBOf(clBlack)) << "arrow of an enabled combo";

    // The real pointer over the button lights the frame and the button.
    PointAt(drop, Point(W - 6, H / 2));
    ASSERT_TRUE(PumpUntil([&] { return Sub(drop)->Hot(); }));
    EXPECT_EQ(Pixel(drop, side.x, side.y), RGBOf(m->SelectFrameColor())) << "hot frame";
    EXPECT_EQ(Pixel(drop, face.x, face.y), RGBOf(m->SelectFillColor())) << "hot button";
    PointerAway();
    ASSERT_TRUE(PumpUntil([&] { return !Sub(drop)->Hot(); }));
    EXPECT_EQ(Pixel(drop, face.x, face.y), RGBOf(clBtnFace)) << "button plain again once the pointer left";

    // Focused but not hot: the pale frame and the checked fill.
    list->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return list->Focused(); }));
    list->Perform(CM_MOUSELEAVE);
    ASSERT_FALSE(Sub(list)->Hot());
    ASSERT_TRUE(Sub(list)->HasFocus());
    EXPECT_EQ(Pixel(list, side.x, side.y), RGBOf(LightenColor(m->SelectFrameColor(), 60))) << "focused frame";
    EXPECT_EQ(Pixel(list, face.x, face.y), RGBOf(m->CheckedFillColor())) << "focused button";

    // A combo with an edit field counts as focused while the field has it.
    drop->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() && IsChild(drop->Handle(), GetFocus()); }));
    drop->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(Pixel(drop, face.x, face.y), RGBOf(m->CheckedFillColor())) << "the edit field's focus left the combo plain";
    EXPECT_EQ(Pixel(drop, side.x, side.y), RGBOf(LightenColor(m->SelectFrameColor(), 60)));
    list->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Pixel(drop, face.x, face.y) == RGBOf(clBtnFace); }));

    // Dropped down: the checked-and-selected fill with a white arrow.
    list->SetDroppedDown(true);
    ASSERT_TRUE(PumpUntil([&] { return list->DroppedDown(); }));
    RepaintOver(list);
    EXPECT_EQ(Pixel(list, face.x, face.y), RGBOf(m->CheckedSelectedFillColor())) << "dropped-down button";
    EXPECT_EQ(Pixel(list, arrow.x, arrow.y), RGBOf(clWhite)) << "dropped-down arrow";
    list->SetDroppedDown(false);
    ASSERT_TRUE(PumpUntil([&] { return !list->DroppedDown(); }));

    // Disabled: a white arrow.
    drop->SetEnabled(false);
    RepaintOver(drop);
    EXPECT_EQ(Pixel(drop, arrow.x, arrow.y), RGBOf(clWhite)) << "arrow of a disabled combo";

    // The simple style has no button: the painter stops at the frame.
    RepaintOver(simple);
    EXPECT_EQ(Pixel(simple, 0, 0), RGBOf(FormColor));
    EXPECT_NE(Pixel(simple, simple->Width() - 4, 4), RGBOf(clBtnFace)) << "a simple combo got a button";
}

TEST(XPInputPainters, LookupComboAndRichEditFrames) {
    PointerAway();
    PaintedForm pf;
    auto* lookup = Add<TDBLookupComboBox>(pf.form, 10, 10, 150, 24);
    auto* rich = Add<TRichEdit>(pf.form, 20, 60, 150, 80);
    auto* other = Add<TEdit>(pf.form, 200, 10, 100, 24);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();

    // The lookup combo turns flat; its frame is drawn on the whole window.
    RepaintOver(lookup);
    EXPECT_FALSE(lookup->Ctl3D());
    const int W = lookup->Width(), H = lookup->Height();
    EXPECT_EQ(Pixel(lookup, 0, 0), RGBOf(DarkenColor(FormColor, 60))) << "outer frame";
    EXPECT_EQ(Pixel(lookup, 1, H / 2), RGBOf(lookup->Color())) << "ring in the control's colour";
    EXPECT_EQ(Pixel(lookup, W - 5, 4), RGBOf(clBtnFace)) << "plain button";
    EXPECT_EQ(Pixel(lookup, W - 3, 4), RGBOf(LightenColor(m->SelectFrameColor(), 60))) << "button frame";
    PointAt(lookup, Point(W / 2, H / 2 - 1));
    ASSERT_TRUE(PumpUntil([&] { return Sub(lookup)->Hot(); }));
    EXPECT_EQ(Pixel(lookup, 0, 0), RGBOf(m->SelectFrameColor())) << "hot outer frame";
    EXPECT_EQ(Pixel(lookup, W - 5, 4), RGBOf(m->SelectFillColor())) << "hot button";
    PointerAway();
    ASSERT_TRUE(PumpUntil([&] { return !Sub(lookup)->Hot(); }));

    // The rich edit loses its own border for a frame drawn on the parent.
    EXPECT_EQ(rich->BorderStyle(), bsNone);
    EXPECT_EQ(rich->BorderWidth(), 2);
    RepaintOver(rich);
    const int x = rich->Left() - 1, y = rich->Top() - 1;
    EXPECT_EQ(Pixel(pf.form, x, y), RGBOf(DarkenColor(FormColor, 60))) << "plain frame on the parent";
    EXPECT_EQ(Pixel(pf.form, rich->Left() + rich->Width(), y + 40), RGBOf(DarkenColor(FormColor, 60)));
    rich->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Pixel(pf.form, x, y) == RGBOf(LightenColor(m->SelectFrameColor(), 60)); }))
        << "focused frame " << std::hex << Pixel(pf.form, x, y);
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Pixel(pf.form, x, y) == RGBOf(DarkenColor(FormColor, 60)); }))
        << "frame after the focus left " << std::hex << Pixel(pf.form, x, y);
}

TEST(XPInputPainters, RightToLeftCombosGetButtonAndArrowAtTheLeft) {
    PointerAway();
    PaintedForm pf;
    auto* drop = Add<TComboBox>(pf.form, 10, 10, 150, 24);
    drop->SetBiDiMode(bdRightToLeft);
    auto* lookup = Add<TDBLookupComboBox>(pf.form, 10, 50, 150, 24);
    lookup->SetBiDiMode(bdRightToLeft);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();
    const int thumb = GetSystemMetrics(SM_CXHTHUMB);

    RepaintOver(drop);
    const int H = drop->Height();
    EXPECT_EQ(Pixel(drop, 3, 4), RGBOf(clBtnFace)) << "button at the left";
    EXPECT_EQ(Pixel(drop, 2 + thumb + 1 - 2, 4), RGBOf(drop->Color())) << "strip next to the text, at its right";
    EXPECT_EQ(Pixel(drop, 5 + 2, 10), RGBOf(clBlack)) << "arrow at the left";
    // Hot, the button widens by 2 toward the text: the strip's line moves
    // with it.
    PointAt(drop, Point(6, H / 2));
    ASSERT_TRUE(PumpUntil([&] { return Sub(drop)->Hot(); }));
    RepaintOver(drop);
    EXPECT_EQ(Pixel(drop, 2, 4), RGBOf(m->SelectFillColor())) << "hot button";
    EXPECT_EQ(Pixel(drop, 1 + thumb + 3 - 5, 4), RGBOf(m->SelectFrameColor())) << "strip line of the widened button";
    EXPECT_EQ(Pixel(drop, 1 + thumb + 3 - 6, 4), RGBOf(m->SelectFillColor()));
    PointerAway();
    ASSERT_TRUE(PumpUntil([&] { return !Sub(drop)->Hot(); }));

    RepaintOver(lookup);
    EXPECT_EQ(Pixel(lookup, 4, 4), RGBOf(clBtnFace)) << "lookup button at the left";
    EXPECT_EQ(Pixel(lookup, 2, 4), RGBOf(LightenColor(m->SelectFrameColor(), 60))) << "lookup button frame";
    EXPECT_EQ(Pixel(lookup, 1 + 5 + 2, 1 + 8), RGBOf(clBlack)) << "lookup arrow at the left";
    EXPECT_NE(Pixel(lookup, lookup->Width() - 5, 4), RGBOf(clBtnFace)) << "no button left at the right";
}

// ---------------------------------------------------------------- up-down

TEST(XPInputPainters, SpinHalvesFollowThePointerAndSkipWhatTheyAlreadyShow) {
    PointerAway();
    PaintedForm pf;
    auto* spin = Add<TUpDown>(pf.form, 30, 30, 20, 40);
    pf.AddMenu(true);
    TXPMenu* m = pf.menu;
    pf.Show();
    TControlSubClass* s = Sub(spin);
    const int W = spin->ClientWidth(), H = spin->ClientHeight(), half = H / 2;
    const int lowerTop = H - half;
    const COLORREF lit = RGBOf(m->SelectFrameColor()), unlit = RGBOf(LightenColor(FormColor, 80));
    // The arrows' tips: the centre of each half, two pixels up.
    auto tip = [&](int top) { return Point(W / 2, top + half / 2 - 2); };

    RepaintOver(spin);
    EXPECT_EQ(Pixel(spin, 0, 0), unlit) << "upper half plain";
    EXPECT_EQ(Pixel(spin, 1, 1), RGBOf(LightenColor(m->SelectFillColor(), m->ButtonFaceLevel())));
    EXPECT_EQ(Pixel(spin, 0, lowerTop), unlit) << "lower half plain";

    PointAt(spin, Point(W / 2, half / 2));
    ASSERT_TRUE(PumpUntil([&] { return s->Hot() && Pixel(spin, 0, 0) == lit; })) << "upper half never lit";
    EXPECT_EQ(Pixel(spin, 1, 1), RGBOf(LightenColor(m->SelectFillColor(), 60)));
    EXPECT_EQ(Pixel(spin, 0, lowerTop), unlit);
    EXPECT_EQ(Pixel(spin, tip(0).x, tip(0).y), RGBOf(clBlack)) << "upper arrow";

    PointAt(spin, Point(W / 2, lowerTop + half / 2));
    ASSERT_TRUE(PumpUntil([&] { return Pixel(spin, 0, lowerTop) == lit; })) << "the light did not follow down";
    EXPECT_EQ(Pixel(spin, 0, 0), unlit);

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
    EXPECT_EQ(Pixel(spin, 1, lowerTop + 1), RGBOf(m->CheckedSelectedFillColor())) << "pressed fill";
    EXPECT_EQ(Pixel(spin, tip(lowerTop).x, tip(lowerTop).y + 3), RGBOf(clWhite)) << "pressed arrow";
    SendMessageA(spin->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(W / 2, lowerTop + half / 2));
    EXPECT_FALSE(s->Pressed());

    // Disabled: no half lights up under the pointer, the arrows turn white.
    spin->SetEnabled(false);
    RepaintOver(spin);
    EXPECT_EQ(Pixel(spin, 0, lowerTop), unlit);
    EXPECT_EQ(Pixel(spin, tip(0).x, tip(0).y), RGBOf(clWhite)) << "disabled arrow";
    PointerAway();
}

// ---------------------------------------------------------------- frames

TEST(XPInputPainters, ProgressHotKeyListBoxAndTreeViewFrames) {
    PointerAway();
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
    const COLORREF dark = RGBOf(DarkenColor(FormColor, 60));
    const COLORREF pale = RGBOf(LightenColor(m->SelectFrameColor(), 60));

    RepaintOver(progress);
    EXPECT_EQ(Pixel(progress, 0, 0), dark) << "plain progress frame";
    PointAt(progress, Point(20, 8));
    ASSERT_TRUE(PumpUntil([&] { return Sub(progress)->Hot(); }));
    EXPECT_EQ(Pixel(progress, 0, 0), RGBOf(m->SelectFrameColor())) << "hot progress frame";
    PointerAway();
    ASSERT_TRUE(PumpUntil([&] { return Pixel(progress, 0, 0) == dark; })) << "progress frame after the pointer left";

    RepaintOver(hotKey);
    EXPECT_EQ(Pixel(hotKey, 0, 0), dark) << "plain hot-key frame";
    EXPECT_EQ(Pixel(hotKey, 1, 1), RGBOf(clWindow)) << "inner ring of the hot-key field";
    hotKey->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Pixel(hotKey, 0, 0) == pale; })) << "focused hot-key frame";

    // The list controls drop their sunken edge; their border is painted
    // with the frame of the window.
    EXPECT_FALSE(listBox->Ctl3D());
    EXPECT_FALSE(tree->Ctl3D());
    EXPECT_EQ(Pixel(listBox, 0, 0), dark) << "list box border";
    EXPECT_EQ(Pixel(tree, 0, 0), dark) << "tree view border";
    EXPECT_EQ(Pixel(bare, 0, 0), RGBOf(FormColor)) << "a borderless list box shows the parent colour";
    listBox->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Pixel(listBox, 0, 0) == pale; })) << "focused list box border";
    bare->SetFocus();
    ASSERT_TRUE(PumpUntil([&] {
        return Pixel(bare, 0, 0) == RGBOf(LightenColor(m->SelectFrameColor(), 80));
    })) << "focused borderless list box";
    EXPECT_EQ(Pixel(listBox, 0, 0), dark) << "list box border after the focus left";
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
    for (TWinControl* c : all) ASSERT_NE(Sub(c), nullptr) << ClassNameOf(c);
    ASSERT_FALSE(listBox->Ctl3D());
    ASSERT_FALSE(tree->Ctl3D());
    ASSERT_EQ(rich->BorderStyle(), bsNone);
    ASSERT_EQ(rich->BorderWidth(), 2);
    EXPECT_EQ(Sub(rich)->SavedBorderWidth(), 1);
    EXPECT_EQ(Pixel(listBox, 0, 0), RGBOf(DarkenColor(FormColor, 60)));
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
    EXPECT_NE(Pixel(listBox, 0, 0), RGBOf(DarkenColor(FormColor, 60)));
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
    EXPECT_EQ(Sub(rich), nullptr);
    EXPECT_EQ(rich->BorderStyle(), bsSingle);
    EXPECT_EQ(rich->BorderWidth(), 1);
}
