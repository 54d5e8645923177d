#pragma once
// Starts tests/fixtures/testwin.exe with the windows a test asks for and
// reads back their handles; the windows belong to another process, as the
// user's windows do. The process ends when the object goes.
#include <windows.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

class FixtureWindows {
public:
    // Each spec is "title|class|style|exstyle" (see testwin.cpp).
    explicit FixtureWindows(const std::vector<std::string>& specs, const std::string& extra = "") {
        std::string cmd = std::string("\"") + VSK_BIN_DIR + "/testwin.exe\"";
        for (auto& s : specs) cmd += " --window \"" + s + "\"";
        if (!extra.empty()) cmd += " " + extra;
        SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
        HANDLE outR, outW, inR, inW;
        CreatePipe(&outR, &outW, &sa, 0);
        CreatePipe(&inR, &inW, &sa, 0);
        SetHandleInformation(outR, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(inW, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = outW;
        si.hStdInput = inR;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi_))
            throw std::runtime_error("cannot start " + cmd);
        CloseHandle(outW);
        CloseHandle(inR);
        in_ = inW;
        out_ = outR;
        for (;;) {
            std::string line = ReadLine();
            if (line == "ready" || line.empty()) break;
            handles_.push_back(reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(line.c_str(), nullptr, 16))));
        }
    }
    ~FixtureWindows() {
        Send("quit\n");
        if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 1);
        CloseHandle(in_);
        CloseHandle(out_);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    FixtureWindows(const FixtureWindows&) = delete;
    FixtureWindows& operator=(const FixtureWindows&) = delete;

    const std::vector<HWND>& Handles() const { return handles_; }
    HWND operator[](size_t i) const { return handles_.at(i); }
    DWORD ProcessId() const { return pi_.dwProcessId; }
    void Destroy(HWND h) {
        char buf[64];
        snprintf(buf, sizeof buf, "destroy %llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
        Send(buf);
        for (int i = 0; i < 200 && IsWindow(h); ++i) Sleep(10);
    }

    // The windows' thread stops answering (see testwin.cpp) for at most ms
    // milliseconds; Answer ends it sooner.
    void Hang(DWORD ms) { Send("hang " + std::to_string(ms) + "\n"); }
    void Answer() { Send("answer\n"); }

private:
    void Send(const std::string& s) {
        DWORD n;
        WriteFile(in_, s.data(), static_cast<DWORD>(s.size()), &n, nullptr);
    }
    std::string ReadLine() {
        std::string line;
        char c;
        DWORD n;
        while (ReadFile(out_, &c, 1, &n, nullptr) && n == 1) {
            if (c == '\n') break;
            if (c != '\r') line += c;
        }
        return line;
    }

    PROCESS_INFORMATION pi_{};
    HANDLE in_ = nullptr, out_ = nullptr;
    std::vector<HWND> handles_;
};
