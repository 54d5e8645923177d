#pragma once
// Small helpers shared by the tests that drive windows of the class library.
#include <windows.h>

#include <set>
#include <string>

#include "ui/Application.h"
#include "ui/Form.h"

namespace vsk::test {

// Handles messages (and the idle step, as the program's loop does) until
// pred() holds or timeoutMs pass; returns whether it held. Wait for a state
// with this, never for a fixed time.
template <class Pred>
bool PumpUntil(Pred pred, int timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        ui::Application->ProcessMessages();
        ui::Application->Idle();
        if (pred()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Handles every message already queued, and what they queue in turn,
// without waiting for more.
inline void Drain() { ui::Application->ProcessMessages(); }

// Waits until the window is visible and has nothing left to paint, itself
// or any child; returns whether that came before the deadline.
inline bool WaitShown(HWND wnd, int timeoutMs = 5000) {
    return PumpUntil(
        [wnd] {
            if (!IsWindowVisible(wnd)) return false;
            bool dirty = GetUpdateRect(wnd, nullptr, FALSE) != FALSE;
            EnumChildWindows(
                wnd,
                [](HWND c, LPARAM lp) -> BOOL {
                    if (IsWindowVisible(c) && GetUpdateRect(c, nullptr, FALSE)) *reinterpret_cast<bool*>(lp) = true;
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&dirty));
            return !dirty;
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
            EnumChildWindows(
                h, [](HWND c, LPARAM l) -> BOOL { reinterpret_cast<std::set<HWND>*>(l)->insert(c); return TRUE; },
                lp);
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

} // namespace vsk::test
