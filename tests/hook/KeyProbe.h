#pragma once
// A low-level keyboard hook on a thread of its own. Made before another
// low-level hook, it is called after that one has passed an event on, so it
// sees what the other let through and when.
#include <windows.h>

#include <atomic>

struct TKeyProbe {
    static inline std::atomic<int> Seen{0};
    static inline std::atomic<long long> LastSeenTicks{0};  // QueryPerformanceCounter of the last event

    TKeyProbe() {
        Thread = CreateThread(nullptr, 0, Main, this, 0, &Id);
        if (Thread) WaitForSingleObject(Ready, 5000);
    }
    ~TKeyProbe() {
        PostThreadMessageA(Id, WM_QUIT, 0, 0);
        WaitForSingleObject(Thread, 5000);
        CloseHandle(Thread);
        CloseHandle(Ready);
    }
    TKeyProbe(const TKeyProbe&) = delete;
    TKeyProbe& operator=(const TKeyProbe&) = delete;

private:
    static LRESULT CALLBACK Proc(int Code, WPARAM wParam, LPARAM lParam) {
        if (Code == HC_ACTION) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            LastSeenTicks = now.QuadPart;
            ++Seen;
        }
        return CallNextHookEx(nullptr, Code, wParam, lParam);
    }
    static DWORD WINAPI Main(LPVOID Self) {
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, Proc, GetModuleHandleA(nullptr), 0);
        SetEvent(static_cast<TKeyProbe*>(Self)->Ready);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        if (hook) UnhookWindowsHookEx(hook);
        return 0;
    }

    HANDLE Thread = nullptr;
    DWORD Id = 0;
    HANDLE Ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};
