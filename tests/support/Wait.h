#pragma once
// Waiting for a state, never for a fixed time: one loop, and a policy for
// what this thread does between two looks.
#include <windows.h>

namespace vsk::test {

// The state comes from another thread or process and this thread has
// nothing of its own to handle (or must not handle it: it stands for a
// thread that is blocked). A look may send messages to the thread under
// test, so not too often.
struct JustSleep {
    static void Handle() {}
    static void Rest() { Sleep(25); }
};

// The state comes from this thread's own windows: their messages are
// handled, as a bare message loop would.
struct PumpThread {
    static void Handle() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    static void Rest() { MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT); }
};

// Handles Pass's share of the messages and looks at pred until it holds or
// timeoutMs pass; returns whether it held.
template <class Pass = JustSleep, class Pred> bool WaitUntil(Pred pred, int timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        Pass::Handle();
        if (pred()) return true;
        if (GetTickCount64() >= end) return false;
        Pass::Rest();
    }
}

}  // namespace vsk::test
