#pragma once
// The real Veskara.exe, started and watched from outside as a user's system
// would: its windows found by class and process, keys pressed with SendInput.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/ChildWindows.h"
#include "support/FixtureWindows.h"
#include "support/StartProcess.h"
#include "support/Wait.h"

namespace e2e {

class Veskara {
public:
    // dir: the folder the program is started from (the build's bin folder, or
    // the program folder as users receive it).
    explicit Veskara(const std::string& args = "", const std::string& dir = VSK_BIN_DIR) {
        std::string cmd = "\"" + dir + "/Veskara.exe\"";
        if (!args.empty()) cmd += " " + args;
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        started_ = vsk::test::StartProcess(cmd, si, pi_, FALSE);
    }
    ~Veskara() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            if (HWND main = MainWindow()) PostMessageA(main, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 1);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    Veskara(const Veskara&) = delete;
    Veskara& operator=(const Veskara&) = delete;

    bool Started() const { return started_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    // Waits until the program's message loop waits for input: start-up is
    // over (hooks set, main window shown or not).
    bool WaitIdle(DWORD ms = 15000) const { return WaitForInputIdle(pi_.hProcess, ms) == 0; }

    // The main window (class TMainForm) of this process, or null.
    HWND MainWindow() const { return FindOwn("TMainForm"); }

    // Waits until the main window exists (shown or not).
    // When it never comes, says on stderr whether the program ended (and how)
    // and which windows it shows instead.
    HWND WaitMainWindow(int ms = 15000) const {
        if (!started_) {
            std::fprintf(stderr, "Veskara: never started, so no main window\n");
            return nullptr;
        }
        vsk::test::WaitUntil([&] { return MainWindow() || WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, ms);
        HWND h = MainWindow();
        if (!h) DescribeWhyNoMainWindow();
        return h;
    }

    // Ends the program at once, as the task manager does.
    void Kill() const {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 15000);
    }

    // Exit code once the process ended within ms, else STILL_ACTIVE.
    DWORD WaitExit(DWORD ms) const {
        WaitForSingleObject(pi_.hProcess, ms);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

    // The most memory the process has held so far (0 once it has ended).
    SIZE_T PeakMemory() const {
        PROCESS_MEMORY_COUNTERS c{};
        c.cb = sizeof c;
        return GetProcessMemoryInfo(pi_.hProcess, &c, sizeof c) ? c.PeakWorkingSetSize : 0;
    }

    HWND FindOwn(const char* cls) const {
        const std::vector<HWND> all = Own(cls);
        return all.empty() ? nullptr : all.front();
    }

    // Every top-level window of class cls of this process, front to back.
    std::vector<HWND> Own(const char* cls) const {
        struct S {
            DWORD pid;
            const char* cls;
            std::vector<HWND> found;
        } s{pi_.dwProcessId, cls, {}};
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<S*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == s->pid && vsk::test::ClassOf(h) == s->cls) s->found.push_back(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

private:
    void DescribeWhyNoMainWindow() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        if (code == STILL_ACTIVE)
            std::fprintf(stderr, "Veskara %lu: no main window, still running; its windows:\n", pi_.dwProcessId);
        else
            std::fprintf(stderr, "Veskara %lu: ended with %lu before its main window\n", pi_.dwProcessId, code);
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid != static_cast<DWORD>(lp)) return TRUE;
                char c[64] = {}, t[128] = {};
                GetClassNameA(h, c, sizeof c);
                GetWindowTextA(h, t, sizeof t);
                std::fprintf(stderr, "  %s \"%s\"%s\n", c, t, IsWindowVisible(h) ? " (visible)" : "");
                return TRUE;
            },
            static_cast<LPARAM>(pi_.dwProcessId));
    }

    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// Presses the keys in order and releases them in reverse, as a person
// holding modifiers would.
inline void PressChord(const std::vector<WORD>& vks) {
    std::vector<INPUT> in;
    for (WORD vk : vks) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
        in.push_back(i);
    }
    for (auto it = vks.rbegin(); it != vks.rend(); ++it) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *it;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(*it, 0));
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    for (INPUT& i : in) {
        SendInput(1, &i, sizeof(INPUT));
        Sleep(30);  // a person's pace between keys, not a wait for a state
    }
}

// A left click at a point of the screen, as the mouse makes it: the pointer
// moves there first.
inline void ClickAt(POINT screen) {
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in[3] = {};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dx = MulDiv(screen.x, 65535, w);
    in[0].mi.dy = MulDiv(screen.y, 65535, h);
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    for (INPUT& i : in) {
        SendInput(1, &i, sizeof(INPUT));
        Sleep(30);  // a person's pace, not a wait for a state
    }
}

// Whether every fixture window is visible (or every one hidden).
inline bool AllVisible(const FixtureWindows& w, bool visible) {
    for (HWND h : w.Handles())
        if ((IsWindowVisible(h) != FALSE) != visible) return false;
    return true;
}

// The child window of parent whose text is text, or null.
inline HWND ChildWithText(HWND parent, const char* text) {
    return vsk::test::ChildWindow(parent, [text](HWND h) {
        char t[128] = {};
        GetWindowTextA(h, t, sizeof t);
        return std::string(t) == text;
    });
}

// Alt+key as the window's message loop receives it: a button's accelerator
// (the buttons of the main window's button row have no window of their own).
inline void PressAccelerator(HWND window, char key) {
    PostMessageA(window, WM_SYSCHAR, static_cast<WPARAM>(key), 1 | (1 << 29));
}

}  // namespace e2e
