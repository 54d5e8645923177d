#pragma once
// Helpers for the owner-drawn control tests: a control's picture painted into
// a 32-bit memory bitmap, and keys posted through the program's message loop.
#include <windows.h>

#include <memory>

#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/GdiObjects.h"
#include "ui/Control.h"
#include "ui/GdiTestUtil.h"
#include "support/UiTestUtil.h"

namespace ctltest {

// The control's current picture: a windowed control erases and paints itself
// into the bitmap; a graphic one paints over its parent's background colour.
inline std::unique_ptr<ui::TBitmap> Snapshot(ui::TControl* c) {
    auto b = std::make_unique<ui::TBitmap>(c->Width(), c->Height());
    HDC dc = b->Canvas()->Handle();
    if (auto* w = dynamic_cast<ui::TWinControl*>(c)) {
        w->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    } else if (c->Parent()) {
        HBRUSH br = CreateSolidBrush(ui::ColorToRGB(c->Parent()->Color()));
        RECT r{0, 0, c->Width(), c->Height()};
        FillRect(dc, &r, br);
        DeleteObject(br);
    }
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    GdiFlush();
    return b;
}

inline ui::TColor PixelOf(ui::TControl* c, int x, int y) {
    auto b = Snapshot(c);
    return gditest::PixelAt(*b, x, y);
}

// A key pressed and released on window h, through the message loop (which
// translates it into its character); handled before this returns.
inline void PressKey(HWND h, WORD vk) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(h, WM_KEYDOWN, vk, 1 | scan);
    PostMessageA(h, WM_KEYUP, vk, 1 | scan | (3LL << 30));
    MSG probe;
    vsk::test::PumpUntil([&] { return !PeekMessageA(&probe, h, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE); }, 2000);
}

// A left click at client point (x, y) of window h, as the mouse sends it.
inline void LeftClick(HWND h, int x, int y) {
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Puts the real pointer at client point (x, y) of c.
inline void PointerAt(ui::TControl* c, int x, int y) {
    const ui::TPoint p = c->ClientToScreen(ui::Point(x, y));
    SetCursorPos(p.x, p.y);
    vsk::test::PumpUntil(
        [&] {
            POINT q{};
            return GetCursorPos(&q) && q.x == p.x && q.y == p.y;
        },
        2000);
}

// Runs only the thread's timers until done() holds, at most timeoutMs: the
// mouse messages stay queued, as in a loop that hands them to nobody, so no
// window hears where the pointer went.
struct PumpTimers {
    static void Handle() {
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&m);
    }
    static void Rest() { MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_TIMER); }
};

template <class Pred> bool PumpTimersUntil(Pred done, int timeoutMs = 2000) {
    return vsk::test::WaitUntil<PumpTimers>(done, timeoutMs);
}

}  // namespace ctltest
