#pragma once
// Starts tests/fixtures/testwin.exe with the windows a test asks for and
// reads back their handles; the windows belong to another process, as the
// user's windows do. The process ends when the object goes. Anything that
// goes wrong on the way (pipes, the start, the helper ending early) throws
// with a message saying what, so the test fails clearly instead of working
// on no windows.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/StartProcess.h"

class FixtureWindows {
public:
    // Each spec is "title|class|style|exstyle" (see testwin.cpp).
    explicit FixtureWindows(const std::vector<std::string>& specs, const std::string& extra = "") {
        std::string cmd = std::string("\"") + VSK_BIN_DIR + "/testwin.exe\"";
        for (auto& s : specs) cmd += " --window \"" + s + "\"";
        if (!extra.empty()) cmd += " " + extra;
        SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
        HANDLE outR = nullptr, outW = nullptr, inR = nullptr, inW = nullptr;
        if (!CreatePipe(&outR, &outW, &sa, 0)) Fail("cannot make the output pipe", GetLastError());
        if (!CreatePipe(&inR, &inW, &sa, 0)) {
            const DWORD err = GetLastError();
            CloseHandle(outR);
            CloseHandle(outW);
            Fail("cannot make the input pipe", err);
        }
        // Our ends stay ours: the helper must not hold them open.
        if (!SetHandleInformation(outR, HANDLE_FLAG_INHERIT, 0) || !SetHandleInformation(inW, HANDLE_FLAG_INHERIT, 0)) {
            const DWORD err = GetLastError();
            for (HANDLE h : {outR, outW, inR, inW}) CloseHandle(h);
            Fail("cannot keep the pipe ends from the helper", err);
        }
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = outW;
        si.hStdInput = inR;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        const bool started = vsk::test::StartProcess(cmd, si, pi_, TRUE);
        const DWORD err = GetLastError();
        CloseHandle(outW);
        CloseHandle(inR);
        in_ = inW;
        out_ = outR;
        if (!started) {
            Close();
            Fail("cannot start " + cmd, err);
        }
        for (;;) {
            std::string line;
            if (!ReadLine(line)) {
                Close();
                throw std::runtime_error("FixtureWindows: testwin.exe ended before its windows were ready (" +
                                         std::to_string(handles_.size()) + " of " + std::to_string(specs.size()) +
                                         " reported)");
            }
            if (line == "ready") break;
            handles_.push_back(reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(line.c_str(), nullptr, 16))));
        }
    }
    ~FixtureWindows() {
        Send("quit\n");
        Close();
    }
    FixtureWindows(const FixtureWindows&) = delete;
    FixtureWindows& operator=(const FixtureWindows&) = delete;

    const std::vector<HWND>& Handles() const { return handles_; }
    HWND operator[](size_t i) const { return handles_.at(i); }
    DWORD ProcessId() const { return pi_.dwProcessId; }
    // Has the helper destroy window h and waits until it is gone (two
    // seconds at most); false when it is still there.
    bool Destroy(HWND h) {
        char buf[64];
        snprintf(buf, sizeof buf, "destroy %llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
        if (!Send(buf)) return false;
        const ULONGLONG end = GetTickCount64() + 2000;
        // Wakes early when the helper ends.
        while (IsWindow(h) && GetTickCount64() < end) WaitForSingleObject(pi_.hProcess, 10);
        return !IsWindow(h);
    }

    // Waits until the helper waits for input with nothing left to handle
    // (its windows made, shown and painted); false on the deadline.
    bool Settled(DWORD ms = 5000) const { return WaitForInputIdle(pi_.hProcess, ms) != WAIT_TIMEOUT; }

    // Waits until the windows' thread has handled what was sent or queued to
    // it so far (a show or hide queued to a thread that answered late, say);
    // false when it did not within ms milliseconds.
    bool CaughtUp(DWORD ms = 5000) const {
        DWORD_PTR r = 0;
        for (HWND h : handles_)
            if (IsWindow(h) && !SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, ms, &r)) return false;
        return true;
    }

    // The windows' thread stops answering (see testwin.cpp) for at most ms
    // milliseconds; Answer ends it sooner.
    void Hang(DWORD ms) { Send("hang " + std::to_string(ms) + "\n"); }
    void Answer() { Send("answer\n"); }

private:
    [[noreturn]] static void Fail(const std::string& what, DWORD err) {
        throw std::runtime_error("FixtureWindows: " + what + " (error " + std::to_string(err) + ")");
    }
    void Close() {
        if (pi_.hProcess && WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 1);
        for (HANDLE* h : {&in_, &out_, &pi_.hProcess, &pi_.hThread}) {
            if (*h) CloseHandle(*h);
            *h = nullptr;
        }
    }
    bool Send(const std::string& s) {
        DWORD n = 0;
        return in_ && WriteFile(in_, s.data(), static_cast<DWORD>(s.size()), &n, nullptr) && n == s.size();
    }
    // One line of the helper's output; false when the pipe ended first.
    bool ReadLine(std::string& line) {
        line.clear();
        char c;
        DWORD n;
        while (ReadFile(out_, &c, 1, &n, nullptr) && n == 1) {
            if (c == '\n') return true;
            if (c != '\r') line += c;
        }
        return false;
    }

    PROCESS_INFORMATION pi_{};
    HANDLE in_ = nullptr, out_ = nullptr;
    std::vector<HWND> handles_;
};

// These windows in Z order, topmost first.
inline std::vector<HWND> ZOrderOf(const std::vector<HWND>& w) {
    std::vector<HWND> out;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        if (std::find(w.begin(), w.end(), h) != w.end()) out.push_back(h);
    return out;
}
