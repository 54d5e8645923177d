// The list view with the real mouse (SendInput) and the keyboard focus:
// dragging an item from one list onto another, the right click that opens a
// list's popup menu, double clicks and keys. These move the pointer and need
// the form in front, so they run alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/Menus.h"
#include "support/UiTestUtil.h"

using namespace ui;

namespace {

using vsk::test::PumpUntil;

void Mouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void MoveTo(TPoint p) {
    SetCursorPos(p.x, p.y);
    Mouse(MOUSEEVENTF_MOVE);  // a move event the windows see
}

// Moves onto a control and waits until the hover reached it.
void MoveOnto(TControl* c, TPoint p) {
    MoveTo(p);
    EXPECT_TRUE(PumpUntil([&] { return Application->MouseControl() == c; }));
}

struct Log {
    std::vector<std::string> lines;
    void Over(TObject*, TObject* src, int, int, TDragState state, bool& accept) {
        accept = static_cast<TComponent*>(src)->Name() == "AvailableWindowsList";
        if (state == dsDragEnter) lines.push_back("enter");
    }
    void Drop(TObject* sender, TObject* src, int, int) {
        auto* from = static_cast<TListView*>(src);
        lines.push_back("drop " + from->Selected()->Caption() + " on " + static_cast<TComponent*>(sender)->Name());
    }
    void Popped(TObject*) { lines.push_back("popup"); }
    void Double(TObject* s) { lines.push_back("double " + static_cast<TListView*>(s)->Selected()->Caption()); }
    void Ended(TObject*, TObject* tgt, int, int) {
        lines.push_back(std::string("end ") + (tgt ? static_cast<TComponent*>(tgt)->Name() : "nowhere"));
    }
    void Key(TObject*, WORD& key, TShiftState) { lines.push_back("key " + std::to_string(key)); }
};

using vsk::test::MenuShowing;

// Closes the popup menu with Esc once it shows (the menu loop takes keys
// posted to any window of the thread); gives up after a few seconds.
int gEscTicks = 0;
void CALLBACK EscTick(HWND, UINT, UINT_PTR id, DWORD) {
    const bool showing = MenuShowing();
    if (showing || ++gEscTicks > 50) {
        KillTimer(nullptr, id);
        if (showing) PostMessageA(PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 1);
    }
}

class ListViewMouse : public ::testing::Test {
protected:
    void SetUp() override {
        form = TComponent::Create<TForm>(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 600, 260);
        source = NewList("AvailableWindowsList", 10);
        target = NewList("ExcludeList", 310);
        source->SetDragMode(dmAutomatic);
        for (const char* c : {"notepad.exe", "calc.exe", "winword.exe"}) {
            TListItem* i = source->Items()->Add();
            i->SetCaption(c);
            i->SubItems()->Add(std::string("Title of ") + c);
        }
        form->Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(target->Handle()); }));
    }
    void TearDown() override {
        TComponent::Free(form);
        vsk::test::Drain();
    }
    TListView* NewList(const char* name, int x) {
        auto* lv = TComponent::Create<TListView>(form);
        lv->SetName(name);
        lv->SetParent(form);
        lv->SetBounds(x, 10, 280, 240);
        lv->SetViewStyle(vsReport);
        lv->SetReadOnly(true);
        lv->SetRowSelect(true);
        lv->Columns()->Add()->SetCaption("Application Name");
        lv->Columns()->Items(0)->SetWidth(120);
        lv->Columns()->Add()->SetCaption("Window Title");
        return lv;
    }
    TPoint ItemCentre(TListView* lv, int i) {
        TRect r = lv->Items()->Item(i)->DisplayRect(drLabel);
        return lv->ClientToScreen(Point(r.left + 10, (r.top + r.bottom) / 2));
    }

    TForm* form = nullptr;
    TListView* source = nullptr;
    TListView* target = nullptr;
    Log log;
};

}  // namespace

TEST_F(ListViewMouse, DraggingAnItemOntoAnotherListDropsItWhereItIsTaken) {
    target->OnDragOver = TDragOverEvent(&log, &Log::Over);
    target->OnDragDrop = TDragDropEvent(&log, &Log::Drop);
    source->OnEndDrag = TEndDragEvent(&log, &Log::Ended);
    auto drag = [&](int row) {
        TPoint from = ItemCentre(source, row);
        TPoint to = target->ClientToScreen(Point(100, 100));
        MoveOnto(source, from);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(PumpUntil([] { return GetKeyState(VK_LBUTTON) < 0; }));
        for (int step = 1; step <= 10; ++step) {
            const TPoint p = Point(from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10);
            MoveTo(p);
            // Each step reaches the list (or, once it runs, the drag) before the next.
            PumpUntil([&] { return GetMessagePos() == static_cast<DWORD>(MAKELONG(p.x, p.y)); }, 1000);
        }
        EXPECT_TRUE(PumpUntil([&] { return source->Dragging(); })) << "moving with the button down starts the drag";
        EXPECT_TRUE(PumpUntil([&] { return !log.lines.empty() && log.lines.front() == "enter"; }));
        Mouse(MOUSEEVENTF_LEFTUP);
        EXPECT_TRUE(PumpUntil([] { return !IsDragging(); }));
        EXPECT_EQ(GetCapture(), nullptr);
    };
    drag(1);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"enter", "drop calc.exe on ExcludeList", "end ExcludeList"}));

    // The target takes drags from the visible-windows list only.
    log.lines.clear();
    source->SetName("Elsewhere");
    drag(2);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"enter", "end nowhere"}));

    // Cancelled in code: no drop, and the mouse is free again.
    MoveOnto(source, ItemCentre(source, 0));
    log.lines.clear();
    source->BeginDrag();
    EXPECT_NE(GetCapture(), nullptr);
    CancelDrag();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"end nowhere"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListViewMouse, ARightClickOnAListOpensItsPopupMenu) {
    auto* pm = TComponent::Create<TPopupMenu>(form);
    auto* item = TComponent::Create<TMenuItem>(form);
    item->SetCaption("Add to 'Do not hide list'");
    pm->Items()->Add(item);
    pm->OnPopup = TNotifyEvent(&log, &Log::Popped);
    source->SetPopupMenu(pm);
    TPoint at = ItemCentre(source, 2);
    MoveOnto(source, at);
    gEscTicks = 0;
    SetTimer(nullptr, 0, 100, &EscTick);
    // Down and up together: the list view waits for the release in a loop
    // of its own before it asks for the menu.
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, click, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return !log.lines.empty(); }));
    EXPECT_TRUE(PumpUntil([] { return !MenuShowing(); }));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"popup"}));
    EXPECT_EQ(pm->PopupComponent(), source);
    EXPECT_EQ(source->Selected(), source->Items()->Item(2)) << "the right click selects the row under it";
}

TEST_F(ListViewMouse, ADoubleClickOnARowRaisesOnDblClickWithTheRowSelected) {
    source->OnDblClick = TNotifyEvent(&log, &Log::Double);
    MoveOnto(source, ItemCentre(source, 0));
    for (DWORD f : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = f;
        SendInput(1, &in, sizeof(in));
    }
    EXPECT_TRUE(PumpUntil([&] { return !log.lines.empty(); }));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"double notepad.exe"}));
}

TEST_F(ListViewMouse, KeysPressedInTheControlReachOnKeyDownOnce) {
    source->OnKeyDown = TKeyEvent(&log, &Log::Key);
    source->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == source->Handle(); }));
    // Through the message loop, as a key the user presses.
    PostMessageA(source->Handle(), WM_KEYDOWN, VK_DELETE, 0x00530001);
    PostMessageA(source->Handle(), WM_KEYUP, VK_DELETE, static_cast<LPARAM>(0xC0530001u));
    vsk::test::Drain();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"key " + std::to_string(VK_DELETE)}));
}
