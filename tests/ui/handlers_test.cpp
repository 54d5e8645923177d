// Controls written with overrides only: the typed handlers of the component
// messages, hover from the window system's leave notifications (also inside
// a popup menu's and a modal dialog's own loops), the focus move heard by
// every control of a form, and Ctl3D following the parent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Owned.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/DragDrop.h"
#include "ui/Form.h"
#include "ui/HintWindow.h"
#include "ui/GdiObjects.h"
#include "ui/StdCtrls.h"

using namespace ui;
using vsk::test::PumpUntil;

namespace {

std::vector<std::string> gLog;

bool Logged(const std::string& s) {
    for (auto& l : gLog)
        if (l == s) return true;
    return false;
}

// Overrides only: no WndProc, no switch.
template <class Base> class Probe : public Base {
public:
    explicit Probe(TComponent* owner) : Base(owner) {}
    TWinControl* lastFocus = nullptr;
    int focusHeard = 0;

protected:
    void Say(const std::string& what) { gLog.push_back(this->Name() + " " + what); }
    void MouseEnter() override {
        Say("enter");
        Base::MouseEnter();
    }
    void MouseLeave() override {
        Say("leave");
        Base::MouseLeave();
    }
    void EnabledChanged() override {
        Say("enabled");
        Base::EnabledChanged();
    }
    void VisibleChanged() override {
        Say("visible");
        Base::VisibleChanged();
    }
    void TextChanged() override {
        Say("text");
        Base::TextChanged();
    }
    void FontChanged() override {
        Say("font");
        Base::FontChanged();
    }
    void ColorChanged() override {
        Say("color");
        Base::ColorChanged();
    }
    void FocusChanged(TWinControl* f) override {
        lastFocus = f;
        ++focusHeard;
        Base::FocusChanged(f);
    }
    bool DialogChar(char k) override {
        if (k == 'q') {
            Say("dialogchar");
            return true;
        }
        return Base::DialogChar(k);
    }
    void ControlListChanged(TControl* c, bool inserted) override {
        Say(std::string(inserted ? "inserted " : "removed ") + c->Name());
        Base::ControlListChanged(c, inserted);
    }
};
using WinProbe = Probe<TCustomControl>;
using GraphicProbe = Probe<TGraphicControl>;

template <class T> T* Add(TForm* f, TWinControl* parent, const char* name, int x, int y, int w, int h) {
    auto* c = TComponent::Create<T>(f);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
}

// Windows of this thread's menus and dialogs, for a timer inside their loops.
HWND FindThreadWindow(const char* cls) {
    struct Find {
        const char* cls;
        HWND found;
    } find{cls, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            char name[32] = {};
            GetClassNameA(h, name, sizeof(name));
            if (std::string(name) == f->cls && IsWindowVisible(h)) {
                f->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

POINT CentreOf(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Runs inside another loop (a menu's, a dialog's): moves the pointer onto
// that loop's window, notes whether the hovered control heard the leave while
// the window was up, then closes it. A deadline closes it in any case.
struct InsideLoop {
    const char* windowClass;
    std::string leaveLine;
    ULONGLONG deadline = 0;
    bool moved = false;
    bool leftWhileOpen = false;
    bool done = false;
};
InsideLoop* gInside = nullptr;

void CALLBACK InsideLoopStep(HWND, UINT, UINT_PTR, DWORD) {
    InsideLoop& s = *gInside;
    if (s.done) return;
    HWND w = FindThreadWindow(s.windowClass);
    if (w && !s.moved) {
        POINT c = CentreOf(w);
        SetCursorPos(c.x, c.y);
        s.moved = true;
    }
    if (w && Logged(s.leaveLine)) s.leftWhileOpen = true;
    if (s.leftWhileOpen || GetTickCount64() > s.deadline) {
        s.done = true;
        if (std::string(s.windowClass) == "#32768")
            EndMenu();
        else if (w)
            PostMessageA(w, WM_COMMAND, IDOK, 0);
    }
}

}  // namespace

TEST(Handlers, AControlWithOverridesOnlyHearsEveryStateChange) {
    TForm* f = vsk::test::NewBareForm(0, 0, 200, 200);
    auto* box = Add<WinProbe>(f, f, "box", 10, 10, 80, 80);
    auto* mark = Add<GraphicProbe>(f, box, "mark", 5, 5, 20, 20);
    box->Handle();
    gLog.clear();

    struct Case {
        const char* what;
        void (*change)(WinProbe*, GraphicProbe*);
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {"enabled", [](WinProbe* b, GraphicProbe*) { b->SetEnabled(false); }, {"box enabled"}},
        {"text",
         [](WinProbe* b, GraphicProbe* m) {
             b->SetText("x");
             m->SetText("y");
         },
         {"box text", "mark text"}},
        // A parent's font and colour reach the child that takes them.
        {"font", [](WinProbe* b, GraphicProbe*) { b->Font()->SetSize(14); }, {"box font", "mark font"}},
        {"color",
         [](WinProbe* b, GraphicProbe* m) {
             m->SetParentColor(true);
             gLog.clear();
             b->SetColor(clYellow);
         },
         {"box color", "mark color"}},
        {"visible", [](WinProbe*, GraphicProbe* m) { m->SetVisible(false); }, {"mark visible"}},
        {"list",
         [](WinProbe* b, GraphicProbe* m) {
             m->SetParent(nullptr);
             m->SetParent(b);
         },
         {"box removed mark", "mark color", "mark font", "box inserted mark"}},
    };
    for (const Case& c : cases) {
        gLog.clear();
        c.change(box, mark);
        EXPECT_EQ(gLog, c.heard) << c.what;
    }
    gLog.clear();
    EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'q'), 1) << "the form hands the accelerator down to its controls";
    EXPECT_EQ(gLog, std::vector<std::string>{"box dialogchar"});
    EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'z'), 0);
    TComponent::Free(f);
}

TEST(Handlers, EveryControlOfTheFormHearsTheFocusMove) {
    vsk::test::Owned f{vsk::test::NewBareForm(20, 20, 300, 200)};
    auto* panel = Add<TPanel>(f, f, "panel", 0, 0, 300, 100);
    auto* a = Add<WinProbe>(f, panel, "a", 10, 10, 50, 50);
    auto* b = Add<WinProbe>(f, f, "b", 10, 110, 50, 50);
    auto* g = Add<GraphicProbe>(f, panel, "g", 100, 10, 20, 20);
    a->SetTabStop(true);
    b->SetTabStop(true);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == f->Handle(); }));
    b->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return b->Focused(); }));
    for (auto* p : {a, b}) p->focusHeard = 0;
    g->focusHeard = 0;

    a->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return a->Focused(); }));
    EXPECT_EQ(a->focusHeard, 1);
    EXPECT_EQ(b->focusHeard, 1) << "the control that lost the focus hears it too";
    EXPECT_EQ(g->focusHeard, 1) << "a graphic control inside a panel hears it too";
    EXPECT_EQ(a->lastFocus, a);
    EXPECT_EQ(b->lastFocus, a);
    EXPECT_EQ(g->lastFocus, a);
    f.Free();
}

TEST(Handlers, Ctl3DFollowsTheParentUntilSet) {
    vsk::test::Owned f{vsk::test::NewBareForm(0, 0, 300, 200)};
    auto* outer = Add<TPanel>(f, f, "outer", 0, 0, 300, 200);
    auto* inner = Add<TPanel>(f, outer, "inner", 0, 0, 200, 100);
    auto* edit = Add<TEdit>(f, inner, "edit", 10, 10, 100, 20);
    auto clientEdge = [&] { return (GetWindowLongPtrA(edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; };
    ASSERT_TRUE(edit->Ctl3D());
    ASSERT_TRUE(clientEdge());

    outer->SetCtl3D(false);
    EXPECT_FALSE(inner->Ctl3D());
    EXPECT_FALSE(edit->Ctl3D()) << "two levels down";
    EXPECT_FALSE(clientEdge()) << "the edit's window follows its Ctl3D";
    EXPECT_TRUE(edit->ParentCtl3D());

    edit->SetCtl3D(true);
    EXPECT_FALSE(edit->ParentCtl3D()) << "setting Ctl3D ends the inheritance";
    EXPECT_TRUE(clientEdge());
    outer->SetCtl3D(true);
    outer->SetCtl3D(false);
    EXPECT_TRUE(edit->Ctl3D()) << "a set Ctl3D stays when the parent changes";

    edit->SetParentCtl3D(true);
    EXPECT_FALSE(edit->Ctl3D()) << "inheriting again takes the parent's at once";

    auto* late = TComponent::Create<TEdit>(f);
    late->SetParent(inner);
    EXPECT_FALSE(late->Ctl3D()) << "a control that joins takes its parent's";
    f.Free();
}

TEST(Handlers, RealPointerGivesEnterAndLeaveForWindowedAndGraphicControls) {
    vsk::test::Owned f{vsk::test::NewBareForm(100, 100, 300, 200)};
    auto* box = Add<WinProbe>(f, f, "box", 10, 10, 100, 100);
    Add<GraphicProbe>(f, f, "mark", 150, 10, 50, 50);
    f->Show();
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(box->Handle()); }));
    gLog.clear();

    SetCursorPos(160, 160);
    EXPECT_TRUE(PumpUntil([] { return Logged("box enter"); }));
    SetCursorPos(270, 130);
    EXPECT_TRUE(PumpUntil([] { return Logged("mark enter"); }));
    EXPECT_TRUE(Logged("box leave"));
    SetCursorPos(5, 5);
    EXPECT_TRUE(PumpUntil([] { return Logged("mark leave"); }));
    std::vector<std::string> want = {"box enter", "box leave", "mark enter", "mark leave"};
    EXPECT_EQ(gLog, want);
    f.Free();
}

// Neither a menu's loop nor a dialog's runs the application's idle step: the
// leave must come from the window system.
TEST(Handlers, HoverLeavesWhileAPopupMenuOrAModalDialogIsOpen) {
    for (const char* loopClass : {"#32768", "#32770"}) {
        SCOPED_TRACE(loopClass);
        vsk::test::Owned f{vsk::test::NewBareForm(100, 100, 200, 150)};
        auto* box = Add<WinProbe>(f, f, "box", 0, 0, 200, 150);
        f->Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(box->Handle()); }));
        gLog.clear();
        SetCursorPos(150, 150);
        ASSERT_TRUE(PumpUntil([] { return Logged("box enter"); }));

        InsideLoop inside{loopClass, "box leave", GetTickCount64() + 8000};
        gInside = &inside;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, InsideLoopStep);
        ASSERT_NE(timer, 0u);
        if (std::string(loopClass) == "#32768") {
            HMENU menu = CreatePopupMenu();
            AppendMenuA(menu, MF_STRING, 1, "Item");
            TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 600, 500, 0, f->Handle(), nullptr);
            DestroyMenu(menu);
        } else {
            MessageBoxA(f->Handle(), "Modal", "Test", MB_OK);
        }
        KillTimer(nullptr, timer);
        gInside = nullptr;
        EXPECT_TRUE(inside.moved) << "the loop's window was never found";
        EXPECT_TRUE(inside.leftWhileOpen) << "no leave while the loop ran";
        f.Free();
    }
}

namespace {

void MouseButton(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void PressKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

bool HintShowing() {
    THintWindow* h = Application->HintWindow();
    return h && h->HandleAllocated() && IsWindowVisible(h->Handle());
}

}  // namespace

TEST(Handlers, HintShowsAfterThePauseAndGoesOnLeaveClickOrKey) {
    const int savedPause = Application->HintPause();
    Application->SetHintPause(50);
    vsk::test::Owned f{vsk::test::NewBareForm(100, 100, 300, 200)};
    auto* button = Add<TButton>(f, f, "button", 10, 10, 100, 30);
    button->SetHint("Hide this window|Hides every window but the ones you keep");
    button->SetShowHint(true);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(button->Handle()); }));

    struct Ending {
        const char* what;
        void (*end)();
    };
    const Ending endings[] = {
        {"leave", [] { SetCursorPos(5, 5); }},
        {"click",
         [] {
             MouseButton(MOUSEEVENTF_LEFTDOWN);
             MouseButton(MOUSEEVENTF_LEFTUP);
         }},
        {"key", [] { PressKey(VK_SHIFT); }},
    };
    for (const Ending& e : endings) {
        SCOPED_TRACE(e.what);
        SetCursorPos(5, 5);
        ASSERT_TRUE(PumpUntil([] { return !HintShowing(); }));
        SetCursorPos(160, 125);
        ASSERT_TRUE(PumpUntil(HintShowing)) << "no hint over the button";
        EXPECT_EQ(Application->HintWindow()->Caption(), "Hide this window") << "the short part only";
        RECT r;
        GetWindowRect(Application->HintWindow()->Handle(), &r);
        EXPECT_GT(r.top, 125) << "below the pointer";
        e.end();
        EXPECT_TRUE(PumpUntil([] { return !HintShowing(); }));
    }
    Application->SetHintPause(savedPause);
    f.Free();
}

TEST(Handlers, ShowHintFollowsTheParentUntilSet) {
    vsk::test::Owned f{vsk::test::NewBareForm(0, 0, 300, 200)};
    auto* panel = Add<TPanel>(f, f, "panel", 0, 0, 300, 100);
    auto* button = Add<TButton>(f, panel, "button", 10, 10, 100, 30);
    ASSERT_FALSE(button->ShowHint());
    f->SetShowHint(true);
    EXPECT_TRUE(panel->ShowHint());
    EXPECT_TRUE(button->ShowHint()) << "two levels down";
    button->SetShowHint(false);
    EXPECT_FALSE(button->ParentShowHint());
    f->SetShowHint(false);
    f->SetShowHint(true);
    EXPECT_FALSE(button->ShowHint()) << "a set ShowHint stays";
    auto* late = TComponent::Create<TButton>(f);
    late->SetParent(panel);
    EXPECT_TRUE(late->ShowHint()) << "a control that joins takes its parent's";
    f.Free();
}

namespace {
struct DragLog {
    TObject* dropped = nullptr;
    TObject* endedOn = nullptr;
    bool ended = false;
    bool over = false;
    void Over(TObject*, TObject*, int, int, TDragState, bool& accept) {
        over = true;
        accept = true;
    }
    void Drop(TObject*, TObject* source, int, int) { dropped = source; }
    void End(TObject*, TObject* target, int, int) {
        ended = true;
        endedOn = target;
    }
};
}  // namespace

TEST(Handlers, AnyControlInAutomaticModeDragsOntoAnyControlThatAccepts) {
    vsk::test::Owned f{vsk::test::NewBareForm(100, 100, 300, 200)};
    auto* source = Add<WinProbe>(f, f, "source", 10, 10, 80, 80);
    auto* target = Add<GraphicProbe>(f, f, "target", 150, 10, 80, 80);
    DragLog log;
    source->SetDragMode(dmAutomatic);
    source->OnEndDrag = TEndDragEvent(&log, &DragLog::End);
    target->OnDragOver = TDragOverEvent(&log, &DragLog::Over);
    target->OnDragDrop = TDragDropEvent(&log, &DragLog::Drop);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(source->Handle()); }));

    SetCursorPos(150, 150);
    ASSERT_TRUE(PumpUntil([] { return Logged("source enter"); }));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return source->Dragging(); })) << "a press starts the drag";
    SetCursorPos(290, 150);
    ASSERT_TRUE(PumpUntil([&] { return log.over; })) << "the target was never asked";
    MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return log.ended; }));
    EXPECT_EQ(log.dropped, source);
    EXPECT_EQ(log.endedOn, target);
    f.Free();
}

TEST(Handlers, TheCursorOfTheControlUnderThePointerIsShown) {
    vsk::test::Owned f{vsk::test::NewBareForm(100, 100, 300, 200)};
    auto* box = Add<WinProbe>(f, f, "box", 10, 10, 100, 100);
    auto* mark = Add<GraphicProbe>(f, box, "mark", 50, 50, 40, 40);
    HCURSOR cross = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));   // IDC_HAND
    box->SetCursor(cross);
    mark->SetCursor(hand);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(box->Handle()); }));
    SetCursorPos(120, 120);
    EXPECT_TRUE(PumpUntil([&] { return GetCursor() == cross; }));
    SetCursorPos(170, 170);
    EXPECT_TRUE(PumpUntil([&] { return GetCursor() == hand; })) << "a graphic child's own cursor";
    f.Free();
}
