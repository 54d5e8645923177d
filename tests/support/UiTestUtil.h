#pragma once
// Small helpers shared by the tests that drive windows of the class library.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "support/ChildWindows.h"
#include "support/Wait.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace vsk::test {

// The state comes from the class library's windows: their messages and the
// idle step are handled as the program's loop does.
struct PumpApplication {
    static void Handle() {
        ui::Application->ProcessMessages();
        ui::Application->Idle();
    }
    static void Rest() { PumpThread::Rest(); }
};

template <class Pred> bool PumpUntil(Pred pred, int timeoutMs = 5000) {
    return WaitUntil<PumpApplication>(pred, timeoutMs);
}

// Handles every message already queued, and what they queue in turn,
// without waiting for more.
inline void Drain() { ui::Application->ProcessMessages(); }

// Waits until the window is visible and has nothing left to paint, itself
// or any child; returns whether that came before the deadline.
inline bool WaitShown(HWND wnd, int timeoutMs = 5000) {
    return PumpUntil(
        [wnd] {
            auto dirty = [](HWND h) { return IsWindowVisible(h) && GetUpdateRect(h, nullptr, FALSE); };
            return IsWindowVisible(wnd) && !dirty(wnd) && ChildWindows(wnd, dirty).empty();
        },
        timeoutMs);
}

// One pixel of the window as it shows now, frame included.
inline COLORREF WindowPixel(HWND wnd, int x, int y) {
    HDC dc = GetWindowDC(wnd);
    const COLORREF p = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return p;
}

// A form without border or caption at the given screen place, owned by the
// application.
inline ui::TForm* NewBareForm(int x, int y, int w, int h) {
    auto* f = ui::TComponent::Create<ui::TForm>(ui::Application);
    f->SetBorderStyle(ui::bsNone);
    f->SetBounds(x, y, w, h);
    return f;
}

// Every window of this thread, top-level and child.
inline std::set<HWND> ThreadWindows() {
    std::set<HWND> all;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<std::set<HWND>*>(lp);
            s->insert(h);
            for (HWND c : ChildWindows(h, [](HWND) { return true; })) s->insert(c);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// Whether this thread shows a menu window now.
inline bool MenuShowing() {
    bool found = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            char cls[16] = {};
            GetClassNameA(h, cls, sizeof(cls));
            if (std::string(cls) == "#32768" && IsWindowVisible(h)) *reinterpret_cast<bool*>(lp) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Where Tab leaves the screen's order inside root and every control in it:
// a Tab stop that comes after one lying below it, or after one to its right
// on the same row.
inline std::vector<std::string> TabOrderFaults(ui::TWinControl* root) {
    std::vector<std::string> faults;
    std::vector<ui::TWinControl*> stops(static_cast<size_t>(root->ControlCount()), nullptr);
    for (int i = 0; i < root->ControlCount(); ++i) {
        auto* w = dynamic_cast<ui::TWinControl*>(root->Controls(i));
        if (!w) continue;
        if (w->TabStop() && w->Visible() && w->TabOrder() >= 0 && w->TabOrder() < root->ControlCount())
            stops[static_cast<size_t>(w->TabOrder())] = w;
        auto inner = TabOrderFaults(w);
        faults.insert(faults.end(), inner.begin(), inner.end());
    }
    ui::TWinControl* prev = nullptr;
    for (ui::TWinControl* w : stops) {
        if (!w) continue;
        if (prev) {
            const bool oneRow = w->Top() < prev->Top() + prev->Height() && prev->Top() < w->Top() + w->Height();
            if (oneRow ? w->Left() < prev->Left() : w->Top() < prev->Top())
                faults.push_back("Tab goes from " + prev->Name() + " back up to " + w->Name() + " in " + root->Name());
        }
        prev = w;
    }
    return faults;
}

}  // namespace vsk::test
