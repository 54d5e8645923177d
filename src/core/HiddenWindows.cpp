#include "core/HiddenWindows.h"

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>

#include "core/WholeFiles.h"
#include "core/WindowPrimitives.h"

namespace core {

namespace {

// The record written last and where, for a failure that ends the program:
// by then reading files may no longer be possible.
std::mutex RecordLock;
THiddenRecord Written;
std::string WrittenFile;

HWND HandleOf(const THiddenWindow& w) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w.Handle)); }

// Still the window that was hidden: it exists, the same process and thread
// own it, and it is not shown.
bool StillHidden(const THiddenWindow& w) {
    HWND h = HandleOf(w);
    if (!IsWindow(h)) return false;
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(h, &pid);
    return tid == w.ThreadId && pid == w.ProcessId && !IsWindowVisible(h);
}

// Shows the record's windows bottom first. A window whose thread does not
// answer is shown when it does: by a thread of ours when the program goes
// on, else by its own thread.
int ShowRecorded(const THiddenRecord& Record, bool GoingOn) {
    TAnswerCheck answers;
    auto order = std::make_shared<TZOrder>();
    std::vector<TLateWindow> late;
    int shown = 0;
    for (size_t i = Record.Windows.size(); i-- > 0;) {
        const THiddenWindow& w = Record.Windows[i];
        if (!StillHidden(w)) continue;
        HWND h = HandleOf(w);
        const bool restoreStyle = HiddenStyleStripped(w.ExStyle, GetWindowLongA(h, GWL_EXSTYLE));
        ++shown;
        if (answers.Answers(TWinInfo{h, {}, {}, w.ExStyle, w.ThreadId, false}))
            ShowHiddenWindow(h, w.ExStyle, restoreStyle);
        else if (GoingOn)
            late.insert(late.begin(), TLateWindow{i, w.ExStyle, restoreStyle, w.ThreadId});
        else
            ShowWindowAsync(h, SW_SHOWNA);
    }
    if (!late.empty()) {
        for (const THiddenWindow& w : Record.Windows) {
            order->Windows.push_back(HandleOf(w));
            order->Topmost.push_back((w.ExStyle & WS_EX_TOPMOST) != 0);
        }
        ShowHiddenWindowsAsync(order, late);
    }
    return shown;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS*) {
    ShowRecordedWindowsNow();
    return EXCEPTION_CONTINUE_SEARCH;
}

std::terminate_handler PreviousTerminate = nullptr;

[[noreturn]] void OnTerminate() {
    ShowRecordedWindowsNow();
    if (PreviousTerminate) PreviousTerminate();
    std::abort();
}

}  // namespace

std::uint64_t SystemBootTime() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t seconds = ((std::uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000000u;
    return seconds - GetTickCount64() / 1000u;
}

bool WriteHiddenRecord(const std::string& FileName, const std::vector<THiddenWindow>& Windows) {
    THiddenRecord record{SystemBootTime(), Windows};
    const std::vector<std::uint8_t> bytes = EncodeHiddenRecord(record);
    {
        std::lock_guard<std::mutex> lock(RecordLock);
        Written = std::move(record);
        WrittenFile = FileName;
    }
    // Not waiting for the disk: it has to outlive the program, not the
    // system, and the hide waits for it.
    return ReplaceFileWhole(FileName, bytes.data(), bytes.size(), false) == ERROR_SUCCESS;
}

void RemoveHiddenRecord(const std::string& FileName) {
    {
        std::lock_guard<std::mutex> lock(RecordLock);
        Written = {};
        WrittenFile.clear();
    }
    DeleteFileA(FileName.c_str());
}

int RecoverHiddenWindows(const std::string& FileName) {
    std::string bytes;
    THiddenRecord record;
    if (ReadFileWhole(FileName, bytes, MaxHiddenRecordBytes) != ERROR_SUCCESS ||
        !DecodeHiddenRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record))
        return 0;
    if (!SameBoot(record.BootTime, SystemBootTime())) return 0;
    const int shown = ShowRecorded(record, true);
    DeleteFileA(FileName.c_str());
    return shown;
}

void ShowHiddenWindowsOnFailure() {
    SetUnhandledExceptionFilter(OnUnhandledException);
    PreviousTerminate = std::set_terminate(OnTerminate);
}

void ShowRecordedWindowsNow() {
    // A failure on a thread that holds the lock cannot wait for it.
    std::unique_lock<std::mutex> lock(RecordLock, std::try_to_lock);
    if (!lock.owns_lock() || Written.Windows.empty()) return;
    ShowRecorded(Written, false);
    DeleteFileA(WrittenFile.c_str());
    Written = {};
}

}  // namespace core
