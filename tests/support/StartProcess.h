#pragma once
// Starts another program for a test. Under Wine a start can fail now and
// then before the program runs a single instruction of its own (the loader
// could not be forked or mapped); the start is then tried again, and every
// failure is written to stderr with its error code, so a test that still
// cannot start its program says why instead of waiting for windows that
// never come.
#include <windows.h>

#include <cstdio>
#include <string>

namespace vsk::test {

// CreateProcessA with the given command line, up to three tries. Returns
// false (and leaves pi empty) when every try failed; the last error is kept.
inline bool StartProcess(const std::string& cmd, STARTUPINFOA& si, PROCESS_INFORMATION& pi, BOOL inheritHandles,
                         const char* application = nullptr) {
    constexpr int kTries = 3;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        std::string line = cmd;  // CreateProcessA may write into it
        pi = PROCESS_INFORMATION{};
        if (CreateProcessA(application, line.data(), nullptr, nullptr, inheritHandles, 0, nullptr, nullptr, &si, &pi)) {
            return true;
        }
        const DWORD err = GetLastError();
        std::fprintf(stderr, "cannot start %s (try %d of %d): error %lu\n", cmd.c_str(), attempt, kTries, err);
        if (attempt == kTries) {
            SetLastError(err);
            break;
        }
        Sleep(200 * attempt);  // nothing to wait for: the system refused the start
    }
    pi = PROCESS_INFORMATION{};
    return false;
}

}  // namespace vsk::test
