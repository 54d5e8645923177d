#pragma once
// Small helpers shared by the tests that drive windows of the class library.
#include <windows.h>

#include <set>
#include <string>

#include "ui/Application.h"

namespace vsk::test {

// Handles the messages that arrive during the next ms milliseconds.
inline void Pump(int ms = 50) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    do {
        ui::Application->ProcessMessages();
        Sleep(5);
    } while (GetTickCount64() < end);
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
