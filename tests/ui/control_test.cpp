// Controls and forms against the real window manager: message routing,
// painting into a memory DC, the mouse pipeline, modal forms and exceptions
// raised inside window procedures.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/Owned.h"
#include "support/Wait.h"
#include "ui/Application.h"
#include "ui/Canvas.h"
#include "ui/DragDrop.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"
#include "support/UiTestUtil.h"

using namespace ui;

namespace {

std::vector<std::string> gLog;

using vsk::test::PumpUntil;

bool Logged(const std::string& s) { return std::find(gLog.begin(), gLog.end(), s) != gLog.end(); }

class Box : public TCustomControl {
public:
    explicit Box(TComponent* owner) : TCustomControl(owner) {}
    TColor fill = clRed;
    void Paint() override {
        Canvas()->Brush()->SetColor(fill);
        TRect r = ClientRect();
        Canvas()->FillRect(r);
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FrameRect(r);
    }

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER) gLog.push_back(Name() + " enter");
        if (m.Msg == CM_MOUSELEAVE) gLog.push_back(Name() + " leave");
        TCustomControl::WndProc(m);
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        gLog.push_back(Name() + " down");
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        gLog.push_back(Name() + " up");
        TCustomControl::MouseUp(b, s, x, y);
    }
    void Click() override {
        gLog.push_back(Name() + " click");
        TCustomControl::Click();
    }
};

class Mark : public TGraphicControl {
public:
    explicit Mark(TComponent* owner) : TGraphicControl(owner) {}
    void Paint() override {
        Canvas()->Brush()->SetColor(clLime);
        TRect r = ClientRect();
        Canvas()->FillRect(r);
    }

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER) gLog.push_back(Name() + " enter");
        if (m.Msg == CM_MOUSELEAVE) gLog.push_back(Name() + " leave");
        TGraphicControl::WndProc(m);
    }
    void Click() override {
        gLog.push_back(Name() + " click");
        TGraphicControl::Click();
    }
};

class Recorder {
public:
    std::vector<UINT> seen;
    TWndMethod saved;
    void Hook(TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == WM_USER + 7) {
            m.Result = 42;
            return;
        }
        saved(m);
    }
    std::vector<std::string> errors;
    void OnException(TObject*, const std::exception& e) { errors.push_back(e.what()); }
    void Throw(TObject*) { throw Exception("handler failed"); }
};

TForm* NewForm(int x, int y, int w, int h) {
    auto* f = TComponent::Create<TForm>(Application);
    f->SetBorderStyle(bsNone);
    f->SetBounds(x, y, w, h);
    return f;
}

// Moves the pointer and waits until the hover reached the control there.
void MouseAt(int x, int y) {
    SetCursorPos(x, y);
    EXPECT_TRUE(PumpUntil([&] { return Application->MouseControl() == FindDragTarget(Point(x, y), false); }));
}

// Clicks at (x, y) and waits for the line the click's last handler logs.
void ClickAt(int x, int y, const std::string& last) {
    MouseAt(x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return Logged(last); })) << last;
}

}  // namespace

TEST(Control, PerformGoesThroughAReplacedWindowProcWhichCanBePutBack) {
    TForm* f = NewForm(0, 0, 100, 100);
    auto* box = TComponent::Create<Box>(f);
    box->SetParent(f);
    box->Handle();
    Recorder rec;
    TWndMethod original = box->WindowProc;
    rec.saved = box->WindowProc;
    box->WindowProc = TWndMethod(&rec, &Recorder::Hook);
    EXPECT_EQ(box->Perform(WM_USER + 7), 42);
    box->SetBounds(1, 2, 30, 40);  // the window's own messages take the same road
    EXPECT_GT(rec.seen.size(), 1u);
    box->WindowProc = rec.saved;
    EXPECT_EQ(box->WindowProc, original);
    size_t n = rec.seen.size();
    box->Perform(WM_USER + 7);
    EXPECT_EQ(rec.seen.size(), n) << "the put-back WindowProc must not reach the hook";
    TComponent::Free(f);
}

// Invalidating a windowed control passes CM_INVALIDATE (wParam 0) through its
// WindowProc; the default handling marks the window, and the paint that
// follows invalidates nothing again.
TEST(Control, InvalidateGoesThroughWindowProcAndSettlesAfterOnePaint) {
    struct Watch {
        TWndMethod saved;
        std::vector<WPARAM> invalidates;
        int paints = 0;
        bool swallow = false;
        void Hook(TMessage& m) {
            if (m.Msg == CM_INVALIDATE) {
                invalidates.push_back(m.WParam);
                if (swallow) return;
            }
            if (m.Msg == WM_PAINT) ++paints;
            saved(m);
        }
    };
    vsk::test::Owned f{NewForm(0, 0, 100, 100)};
    auto* box = TComponent::Create<Box>(f);
    box->SetParent(f);
    box->SetBounds(10, 10, 40, 40);
    f->Show();
    ASSERT_TRUE(vsk::test::WaitShown(f->Handle()));
    Watch w;
    w.saved = box->WindowProc;
    box->WindowProc = TWndMethod(&w, &Watch::Hook);

    box->Invalidate();
    ASSERT_EQ(w.invalidates, std::vector<WPARAM>{0}) << "Invalidate must reach WindowProc as CM_INVALIDATE, wParam 0";
    EXPECT_TRUE(GetUpdateRect(box->Handle(), nullptr, FALSE)) << "the window was not marked for repainting";
    ASSERT_TRUE(vsk::test::WaitShown(f->Handle()));
    EXPECT_EQ(w.paints, 1);
    vsk::test::Drain();
    EXPECT_EQ(w.invalidates.size(), 1u) << "painting invalidated the control again";
    EXPECT_EQ(w.paints, 1) << "the control keeps repainting";

    // The marking is the default handling's: a WindowProc that keeps the
    // message to itself keeps the window clean.
    w.swallow = true;
    box->Invalidate();
    EXPECT_EQ(w.invalidates.size(), 2u);
    EXPECT_FALSE(GetUpdateRect(box->Handle(), nullptr, FALSE));
    box->WindowProc = w.saved;
    f.Free();
}

TEST(Control, CustomControlPaintsIntoAMemoryDcWithItsGraphicChildren) {
    TForm* f = NewForm(0, 0, 200, 200);
    auto* box = TComponent::Create<Box>(f);
    box->SetName("box");
    box->SetParent(f);
    box->SetBounds(0, 0, 40, 30);
    auto* mark = TComponent::Create<Mark>(f);
    mark->SetParent(box);
    mark->SetBounds(10, 10, 5, 5);

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 40;
    bi.bmiHeader.biHeight = -30;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    box->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    GdiFlush();
    auto px = [&](int x, int y) { return static_cast<uint32_t*>(bits)[y * 40 + x] & 0xFFFFFF; };
    EXPECT_EQ(px(0, 0), 0x0000FFu) << "frame is blue";
    EXPECT_EQ(px(39, 29), 0x0000FFu);
    EXPECT_EQ(px(5, 5), 0xFF0000u) << "inside is red";
    EXPECT_EQ(px(12, 12), 0x00FF00u) << "the graphic child paints at its place";
    EXPECT_EQ(px(15, 15), 0xFF0000u) << "and only there";
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    TComponent::Free(f);
}

TEST(Control, RealMouseGivesEnterLeaveAndDownClickUpInOrder) {
    vsk::test::Owned f{NewForm(100, 100, 300, 200)};
    auto* box = TComponent::Create<Box>(f);
    box->SetName("box");
    box->SetParent(f);
    box->SetBounds(10, 10, 100, 100);
    auto* mark = TComponent::Create<Mark>(f);
    mark->SetName("mark");
    mark->SetParent(f);
    mark->SetBounds(150, 10, 50, 50);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(box->Handle()); }));
    MouseAt(5, 5);
    gLog.clear();

    MouseAt(100 + 50, 100 + 50);
    ClickAt(100 + 50, 100 + 50, "box up");
    MouseAt(100 + 170, 100 + 30);
    ClickAt(100 + 170, 100 + 30, "mark click");
    MouseAt(5, 5);

    std::vector<std::string> want = {"box enter", "box down",   "box click",  "box up",
                                     "box leave", "mark enter", "mark click", "mark leave"};
    std::vector<std::string> got;
    for (auto& s : gLog)
        if (got.empty() || got.back() != s) got.push_back(s);
    EXPECT_EQ(got, want);
    f.Free();
}

TEST(Control, ButtonUpOutsideTheControlIsNoClick) {
    TForm* f = NewForm(0, 0, 200, 200);
    auto* box = TComponent::Create<Box>(f);
    box->SetName("box");
    box->SetParent(f);
    box->SetBounds(10, 10, 50, 50);
    gLog.clear();
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(80, 80));
    std::vector<std::string> want = {"box down", "box up"};
    EXPECT_EQ(gLog, want);
    TComponent::Free(f);
}

TEST(Control, ShowModalReturnsTheResultAButtonSets) {
    TForm* f = NewForm(50, 50, 200, 100);
    auto* box = TComponent::Create<Box>(f);
    box->SetParent(f);
    box->SetBounds(0, 0, 50, 50);
    struct Setter {
        TForm* form;
        void Click(TObject*) { form->SetModalResult(mrYes); }
    } setter{f};
    box->OnClick = TNotifyEvent(&setter, &Setter::Click);
    HWND h = box->Handle();
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(f->ShowModal(), mrYes);
    EXPECT_FALSE(f->Visible()) << "a modal form is hidden again when it ends";
    EXPECT_FALSE(IsWindowVisible(f->Handle()));
    TComponent::Free(f);
}

TEST(Control, ExceptionInAHandlerReachesHandleExceptionNotTheCaller) {
    vsk::test::Owned f{NewForm(0, 0, 100, 100)};
    auto* box = TComponent::Create<Box>(f);
    box->SetParent(f);
    box->SetBounds(0, 0, 50, 50);
    Recorder rec;
    box->OnClick = TNotifyEvent(&rec, &Recorder::Throw);
    Application->OnException = TExceptionEvent(&rec, &Recorder::OnException);
    EXPECT_NO_THROW({
        SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    });
    Application->OnException = nullptr;
    ASSERT_EQ(rec.errors.size(), 1u);
    EXPECT_EQ(rec.errors[0], "handler failed");
    f.Free();
}

namespace {
int CountThreadWindows() { return static_cast<int>(vsk::test::ThreadWindows().size()); }
}  // namespace

TEST(Control, FreeingAFormDestroysEveryWindowAndGdiObjectItMade) {
    int windowsBefore = CountThreadWindows();
    vsk::test::Owned f{NewForm(0, 0, 200, 200)};
    auto* box = TComponent::Create<Box>(f);
    box->SetParent(f);
    box->SetBounds(0, 0, 50, 50);
    box->Font()->SetHeight(-20);
    auto* inner = TComponent::Create<Box>(f);
    inner->SetParent(box);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(inner->Handle()); }));
    HFONT font = box->Font()->Handle();
    HWND boxWnd = box->Handle();
    EXPECT_GT(CountThreadWindows(), windowsBefore);
    EXPECT_NE(GetObjectType(font), 0u);
    f.Free();
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
    EXPECT_FALSE(IsWindow(boxWnd));
    EXPECT_EQ(GetObjectType(font), 0u) << "the control's font was not deleted";
}

TEST(Control, AFreedWindowedChildLeavesItsParentsListsWhoeverOwnsIt) {
    TForm* f = NewForm(0, 0, 100, 100);
    for (bool plainDelete : {false, true}) {
        auto* orphan = TComponent::Create<Box>(nullptr);  // parented, not owned
        orphan->SetParent(f);
        orphan->Handle();
        if (plainDelete)
            delete orphan;
        else
            TComponent::Free(orphan);
        std::vector<TWinControl*> tabs;
        f->GetTabOrderList(tabs);
        EXPECT_TRUE(tabs.empty()) << (plainDelete ? "delete" : "Free") << " left the child in the tab order";
        EXPECT_EQ(f->ControlCount(), 0);
    }
    TComponent::Free(f);
}

TEST(Control, ShowModalEndsAtACloseSentFromAnotherThread) {
    vsk::test::Owned f{NewForm(50, 50, 200, 100)};
    HWND h = f->Handle();
    // The close comes once the loop has nothing left to do and waits.
    struct Idle {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        void Reached(TObject*, bool&) { SetEvent(event); }
    } idle;
    Application->OnIdle = TIdleEvent(&idle, &Idle::Reached);
    std::atomic<bool> nudged{false};
    std::thread closer([&] {
        WaitForSingleObject(idle.event, INFINITE);
        SendMessageA(h, WM_CLOSE, 0, 0);
        // The loop that still waits is woken, so that the test ends.
        if (!vsk::test::WaitUntil([&] { return !IsWindowVisible(h); })) {
            nudged = true;
            PostMessageA(h, WM_NULL, 0, 0);
        }
    });
    EXPECT_EQ(f->ShowModal(), mrCancel);
    closer.join();
    Application->OnIdle = nullptr;
    CloseHandle(idle.event);
    EXPECT_FALSE(nudged) << "the loop waited for another message after the close";
    f.Free();
}
