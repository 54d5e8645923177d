#include "core/HiddenWindows.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <map>
#include <memory>
#include <mutex>

#include "core/AudioUnit.h"
#include "core/WholeFiles.h"
#include "core/WindowPrimitives.h"

namespace core {

namespace {

// The record as written last and where: what a failure that ends the
// program shows, when reading files or even allocating may no longer work.
// Taken by the threads that show late windows too.
std::recursive_mutex RecordLock;
THiddenRecord Written;  // the last hide's windows, none once they were restored
// The windows restores left to their threads and not shown yet: they stay
// in the record through the hides that follow until they are shown.
std::vector<THiddenWindow> Late;
std::string WrittenFile;
// Room for the failure path's answers, one per window at most, made with
// the record: that path must not need the heap.
std::vector<std::pair<DWORD, bool>> FailureAnswers;
// The record of the sound alone, made with the record: what the failure
// path leaves in its place, so that the next start puts the sound back.
std::vector<std::uint8_t> FailureVolumeRecord;

HWND HandleOf(const THiddenWindow& w) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w.Handle)); }

std::string FolderOf(const std::string& FileName) {
    const auto slash = FileName.find_last_of('\\');
    return slash == std::string::npos ? std::string() : FileName.substr(0, slash);
}

bool Holds(const std::vector<THiddenWindow>& Windows, const THiddenWindow& w) {
    return std::find(Windows.begin(), Windows.end(), w) != Windows.end();
}

// Whether neither a window nor the sound is left to put back.
bool NothingToPutBack() { return Written.Windows.empty() && Late.empty() && !Written.Volume.HasVolume; }

// Writes Written and Late to WrittenFile, or removes it when there is
// nothing to put back.
DWORD SaveLocked() {
    if (WrittenFile.empty()) return ERROR_PATH_NOT_FOUND;
    if (NothingToPutBack()) {
        DeleteFileA(WrittenFile.c_str());
        return ERROR_SUCCESS;
    }
    THiddenRecord all = Written;
    for (const THiddenWindow& w : Late)
        if (!Holds(all.Windows, w)) all.Windows.push_back(w);
    const std::vector<std::uint8_t> bytes = EncodeHiddenRecord(all);
    // Not waiting for the disk: it has to outlive the program, not the
    // system, and the hide waits for it.
    DWORD error = ReplaceFileWhole(WrittenFile, bytes.data(), bytes.size(), false);
    if (error == ERROR_PATH_NOT_FOUND && CreateDirectoryA(FolderOf(WrittenFile).c_str(), nullptr))
        error = ReplaceFileWhole(WrittenFile, bytes.data(), bytes.size(), false);
    return error;
}

void Forget() {
    Written = {};
    FailureVolumeRecord.clear();
    Late.clear();
    WrittenFile.clear();
}

// Still the very window that was hidden: the same thread of the same
// process owns it, and the process is the one that was running then.
bool SameWindow(const THiddenWindow& w, std::map<DWORD, std::uint64_t>& Created) {
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(HandleOf(w), &pid);
    if (tid == 0 || tid != w.ThreadId || pid != w.ProcessId) return false;
    auto it = Created.find(pid);
    if (it == Created.end()) it = Created.emplace(pid, ProcessCreationTime(pid)).first;
    return it->second != 0 && it->second == w.ProcessCreated;
}

void RestoreVolume(const THiddenVolume& v) {
    if (!v.HasVolume || v.Max == 0) return;
    const TSavedVolumeState before = GetSavedVolumeState();
    SetSavedVolumeState({{v.Volume[0], v.Volume[1]}, v.Muted, v.HasVolume, v.HasMute});
    RestoreSystemVolume(v.Max);
    SetSavedVolumeState(before);
}

// Whether the thread of Wnd answers, asked once per thread, with no memory
// but FailureAnswers' room.
bool AnswersWithoutHeap(DWORD ThreadId, HWND Wnd) {
    for (const auto& [thread, answers] : FailureAnswers)
        if (thread == ThreadId) return answers;
    DWORD_PTR result = 0;
    const bool answers =
        SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, TAnswerCheck::AnswerTimeoutMs, &result) != 0;
    if (FailureAnswers.size() < FailureAnswers.capacity()) FailureAnswers.emplace_back(ThreadId, answers);
    return answers;
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

std::string HiddenRecordPath() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) || !folder[0])
        return std::string();
    return std::string(folder) + "\\Veskara\\HiddenWnd.Dat";
}

std::uint64_t ProcessCreationTime(DWORD ProcessId) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessId);
    if (!process) return 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    const bool known = GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE;
    CloseHandle(process);
    return known ? (std::uint64_t(created.dwHighDateTime) << 32 | created.dwLowDateTime) : 0;
}

void FindProcessCreationTimes(std::vector<THiddenWindow>& Windows) {
    std::map<DWORD, std::uint64_t> created;
    for (THiddenWindow& w : Windows) {
        auto it = created.find(w.ProcessId);
        if (it == created.end()) it = created.emplace(w.ProcessId, ProcessCreationTime(w.ProcessId)).first;
        w.ProcessCreated = it->second;
    }
}

DWORD WriteHiddenRecord(const std::string& FileName, const std::vector<THiddenWindow>& Windows) {
    std::lock_guard<std::recursive_mutex> lock(RecordLock);
    Written = {{}, Windows};
    WrittenFile = FileName;
    FailureVolumeRecord.clear();
    FailureAnswers.clear();
    FailureAnswers.reserve(Windows.size() + Late.size());
    return SaveLocked();
}

void RecordSavedVolume(const THiddenVolume& Volume) {
    std::lock_guard<std::recursive_mutex> lock(RecordLock);
    // A hide that found no window to take still changes the sound.
    if (WrittenFile.empty()) return;
    Written.Volume = Volume;
    FailureVolumeRecord = EncodeHiddenRecord(THiddenRecord{Volume, {}});
    SaveLocked();
}

void KeepLateWindowsRecorded(const std::string& FileName, const std::vector<THiddenWindow>& LateNow) {
    std::lock_guard<std::recursive_mutex> lock(RecordLock);
    Written = {};
    FailureVolumeRecord.clear();  // the restore put the sound back
    WrittenFile = FileName;
    for (const THiddenWindow& w : LateNow)
        if (!Holds(Late, w)) Late.push_back(w);
    FailureAnswers.reserve(Late.size());
    SaveLocked();
    if (Late.empty()) Forget();
}

void LateWindowShown(HWND Wnd) {
    std::lock_guard<std::recursive_mutex> lock(RecordLock);
    const auto gone =
        std::remove_if(Late.begin(), Late.end(), [&](const THiddenWindow& w) { return HandleOf(w) == Wnd; });
    if (gone == Late.end()) return;
    Late.erase(gone, Late.end());
    SaveLocked();
    if (NothingToPutBack()) Forget();
}

void EndHiddenRecord() {
    std::lock_guard<std::recursive_mutex> lock(RecordLock);
    if (Late.empty()) return;
    Late.clear();
    SaveLocked();
    if (NothingToPutBack()) Forget();
}

int RecoverHiddenWindows(const std::string& FileName) {
    std::string bytes;
    THiddenRecord record;
    if (ReadFileWhole(FileName, bytes, MaxHiddenRecordBytes) != ERROR_SUCCESS ||
        !DecodeHiddenRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record))
        return 0;
    std::map<DWORD, std::uint64_t> created;
    TAnswerCheck answers;
    std::vector<TLateWindow> late;
    std::vector<THiddenWindow> left;  // topmost first
    int shown = 0;
    for (size_t i = record.Windows.size(); i-- > 0;) {
        const THiddenWindow& w = record.Windows[i];
        if (!SameWindow(w, created)) continue;
        HWND h = HandleOf(w);
        const bool stripped = HiddenStyleStripped(w.ExStyle, GetWindowLongA(h, GWL_EXSTYLE));
        const bool hidden = !IsWindowVisible(h);
        if (answers.Answers(TWinInfo{h, {}, {}, w.ExStyle, w.ThreadId})) {
            if (hidden) {
                ShowHiddenWindow(h, w.ExStyle, stripped);
                ++shown;
            } else if (stripped) {
                SetWindowLongA(h, GWL_EXSTYLE, w.ExStyle);
            }
            continue;
        }
        // Busy: the hide may still wait in its queue, shown or not. A show
        // queued behind it comes after it, and the late show puts the style
        // back and the window in its place once the thread runs.
        ShowWindowAsync(h, SW_SHOWNA);
        late.insert(late.begin(), TLateWindow{i, w.ExStyle, stripped, w.ThreadId});
        left.insert(left.begin(), w);
        ++shown;
    }
    if (!late.empty()) {
        auto order = std::make_shared<TZOrder>();
        for (const THiddenWindow& w : record.Windows) {
            order->Windows.push_back(HandleOf(w));
            order->Topmost.push_back((w.ExStyle & WS_EX_TOPMOST) != 0);
        }
        KeepLateWindowsRecorded(FileName, left);
        ShowHiddenWindowsAsync(order, late);
    } else {
        DeleteFileA(FileName.c_str());
    }
    RestoreVolume(record.Volume);
    return shown;
}

void ShowHiddenWindowsOnFailure() {
    SetUnhandledExceptionFilter(OnUnhandledException);
    PreviousTerminate = std::set_terminate(OnTerminate);
}

void ShowRecordedWindowsNow() {
    // A failure on another thread while this one writes cannot wait for it.
    std::unique_lock<std::recursive_mutex> lock(RecordLock, std::try_to_lock);
    if (!lock.owns_lock() || (Written.Windows.empty() && Late.empty())) return;
    FailureAnswers.clear();  // keeps its room
    for (const std::vector<THiddenWindow>* windows : {&Written.Windows, &Late}) {
        for (size_t i = windows->size(); i-- > 0;) {
            const THiddenWindow& w = (*windows)[i];
            HWND h = HandleOf(w);
            DWORD pid = 0;
            if (GetWindowThreadProcessId(h, &pid) != w.ThreadId || pid != w.ProcessId) continue;
            const bool stripped = HiddenStyleStripped(w.ExStyle, GetWindowLongA(h, GWL_EXSTYLE));
            const bool hidden = !IsWindowVisible(h);
            if (AnswersWithoutHeap(w.ThreadId, h)) {
                if (stripped) SetWindowLongA(h, GWL_EXSTYLE, w.ExStyle);
                if (hidden) ShowWindow(h, SW_SHOWNA);
            } else if (hidden) {
                ShowWindowAsync(h, SW_SHOWNA);
            }
        }
    }
    // The windows are back; the sound is not, and this program no longer
    // can: the record of it alone tells the next start.
    bool volumeKept = false;
    if (!FailureVolumeRecord.empty()) {
        const HANDLE file =
            CreateFileA(WrittenFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD wrote = 0;
            const DWORD size = static_cast<DWORD>(FailureVolumeRecord.size());
            volumeKept = WriteFile(file, FailureVolumeRecord.data(), size, &wrote, nullptr) && wrote == size;
            CloseHandle(file);
        }
    }
    if (!volumeKept) DeleteFileA(WrittenFile.c_str());
    Written.Windows.clear();
    Late.clear();
}

}  // namespace core
