#include "core/WindowPrimitives.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/ExcludeEntry.h"
#include "core/HiddenWindows.h"
#include "ui/Application.h"
#include "ui/EntryPoint.h"
#include "ui/Form.h"
#include "ui/GdiGuards.h"
#include "ui/ListView.h"

namespace core {

HWND PreviousForegroundWindow = nullptr;

// ---------------------------------------------------------------- listing

std::string TrimText(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

bool PassesWindowFilter(const std::string& Title, const std::string& ClassName, DWORD Style, bool VisibleOnly,
                        bool IsOwnMainWindow) {
    bool passes = !VisibleOnly || (Style & WS_VISIBLE) != 0;
    // Untitled windows are noise (tool tips, message windows), except the
    // frames of one kind of application that draw their own titles.
    if (Title.empty()) passes = ClassName == "Afx:00400000:8";
    if (Title == "Program Manager" || Title == "Windows Security" || IsOwnMainWindow) return false;
    return passes;
}

HWND OwnMainWindow() {
    if (!ui::Application || !ui::Application->MainForm()) return nullptr;
    ui::TCustomForm* f = ui::Application->MainForm();
    return f->HandleAllocated() ? f->Handle() : nullptr;
}

HWND OwnApplicationWindow() { return ui::Application ? ui::Application->Handle() : nullptr; }

TWindowCallCounts WindowCalls;

namespace {

// ---------------------------------------------------------------- counted calls

std::vector<HWND> TopLevelWindows() {
    ++WindowCalls.List;
    std::vector<HWND> all;
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::string WindowString(HWND Wnd, bool ClassName) {
    std::vector<char> buf(10000);
    int n;
    if (ClassName) {
        ++WindowCalls.ClassName;
        n = GetClassNameA(Wnd, buf.data(), static_cast<int>(buf.size()));
    } else {
        ++WindowCalls.Text;
        n = GetWindowTextA(Wnd, buf.data(), static_cast<int>(buf.size()));
    }
    return TrimText(std::string(buf.data(), static_cast<size_t>(std::max(n, 0))));
}

LONG WindowLong(HWND Wnd, int Index) {
    ++WindowCalls.Style;
    return GetWindowLongA(Wnd, Index);
}

void SetExStyle(HWND Wnd, int32_t ExStyle) {
    ++WindowCalls.SetStyle;
    SetWindowLongA(Wnd, GWL_EXSTYLE, ExStyle);
}

DWORD OwnerOf(HWND Wnd, DWORD* ProcessId) {
    ++WindowCalls.Owner;
    return GetWindowThreadProcessId(Wnd, ProcessId);
}

void Show(HWND Wnd, int Command) {
    ++WindowCalls.Show;
    ShowWindow(Wnd, Command);
}

void ShowAsync(HWND Wnd, int Command) {
    ++WindowCalls.Show;
    ShowWindowAsync(Wnd, Command);
}

// The extended-style bits that hiding keeps. WS_EX_WINDOWEDGE is only the
// look of a frame, and the system sets it again on a framed window whatever
// is written: a window with no other bits has nothing to strip.
// WS_EX_LAYERED stays too: taking it away drops the window's translucency,
// and a layered window given the bit back without it is never drawn again.
constexpr int32_t KeptExStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED;
bool NothingToStrip(int32_t ExStyle) { return (ExStyle & ~(KeptExStyle | WS_EX_WINDOWEDGE)) == 0; }

}  // namespace

bool TAnswerCheck::Answers(const TWinInfo& Info) {
    for (const auto& k : known_)
        if (Info.ThreadId != 0 && k.first == Info.ThreadId) return k.second;
    ++WindowCalls.Answer;
    DWORD_PTR result = 0;
    // SMTO_ABORTIFHUNG answers at once for a thread the system already
    // counts as hung; the time-out bounds the wait for any other.
    const bool answers =
        SendMessageTimeoutA(Info.Handle, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, AnswerTimeoutMs, &result) != 0;
    // A window that is gone says nothing about its thread's other windows.
    if (Info.ThreadId != 0 && (answers || IsWindow(Info.Handle))) known_.emplace_back(Info.ThreadId, answers);
    return answers;
}

bool TThreadWindows::Owns(DWORD ThreadId, HWND Wnd) {
    auto it = known_.find(ThreadId);
    if (it == known_.end()) {
        ++WindowCalls.List;
        std::vector<HWND> windows;
        EnumThreadWindows(
            ThreadId,
            [](HWND h, LPARAM lp) {
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&windows));
        std::sort(windows.begin(), windows.end());
        it = known_.emplace(ThreadId, std::move(windows)).first;
    }
    return std::binary_search(it->second.begin(), it->second.end(), Wnd);
}

namespace {
// Program files already looked up during one listing, by process: finding
// one walks the process list, and a program often has many windows.
using ExeCache = std::map<DWORD, std::string>;

std::string ExeNameOfProcess(DWORD ProcessId);

std::string ExeOf(DWORD ProcessId, ExeCache* Cache) {
    if (!Cache) return ExeNameOfProcess(ProcessId);
    auto it = Cache->find(ProcessId);
    if (it == Cache->end()) it = Cache->emplace(ProcessId, ExeNameOfProcess(ProcessId)).first;
    return it->second;
}

// Calls are made only as far as the filter needs them: the class name only
// for a window without a title (it decides alone there), the styles only
// for a titled one when only visible windows are wanted, and the owner (and
// otherwise the extended style) only for a window that enters the list.
std::optional<TWinInfo> ReadWindow(HWND Wnd, bool VisibleOnly) {
    std::string title = WindowString(Wnd, false);
    std::string cls = title.empty() ? WindowString(Wnd, true) : std::string();
    // Style and extended style in one request.
    WINDOWINFO styles{};
    styles.cbSize = sizeof styles;
    styles.dwStyle = WS_VISIBLE;
    const bool known = !title.empty() && VisibleOnly;
    if (known) {
        ++WindowCalls.Style;
        if (!GetWindowInfo(Wnd, &styles)) return std::nullopt;  // gone meanwhile
    }
    HWND own = OwnMainWindow();
    if (!PassesWindowFilter(title, cls, styles.dwStyle, VisibleOnly, own && Wnd == own)) return std::nullopt;
    TWinInfo info;
    info.ThreadId = OwnerOf(Wnd, &info.ProcessId);
    if (info.ThreadId == 0) return std::nullopt;  // gone meanwhile
    info.Handle = Wnd;
    info.Title = std::move(title);
    info.ExStyle = known ? static_cast<int32_t>(styles.dwExStyle) : WindowLong(Wnd, GWL_EXSTYLE);
    return info;
}

void AddItem(ui::TListView* List, TWinInfo* Info) {
    ui::TListItem* item = List->Items()->Add();
    item->SetData(Info);
    item->SetCaption(ExtractFileName(Info->ExePath));
    item->SubItems()->Add(Info->Title);
}
}  // namespace

void AddWindowToList(HWND Wnd, ui::TListView* List, bool VisibleOnly) {
    std::optional<TWinInfo> info = ReadWindow(Wnd, VisibleOnly);
    if (!info) return;
    info->ExePath = ExeOf(info->ProcessId, nullptr);
    AddItem(List, new TWinInfo(std::move(*info)));
}

std::vector<TWinInfo> ListWindows(bool VisibleOnly) {
    std::vector<TWinInfo> out;
    // One snapshot, topmost first: stepping from window to window would ask
    // the window server once per window.
    for (HWND h : TopLevelWindows())
        if (std::optional<TWinInfo> info = ReadWindow(h, VisibleOnly)) out.push_back(std::move(*info));
    return out;
}

void FindExePaths(std::vector<TWinInfo>& Windows) {
    ExeCache cache;
    for (TWinInfo& w : Windows) w.ExePath = ExeOf(w.ProcessId, &cache);
}

void AddWindowItems(ui::TListView* List, const std::vector<TWinInfo>& Windows) {
    List->Items()->BeginUpdate();
    for (const TWinInfo& w : Windows) AddItem(List, new TWinInfo(w));
    List->Items()->EndUpdate();
}

void FillWindowList(ui::TListView* List, bool VisibleOnly) {
    ui::FreeItems<TWinInfo>(List);
    std::vector<TWinInfo> windows = ListWindows(VisibleOnly);
    FindExePaths(windows);
    AddWindowItems(List, windows);
}

// ---------------------------------------------------------------- program files

namespace {

// The process-status library, bound on first use. Without it (or without one
// of its functions) no program file is found; nothing else is affected.
struct TPsapi {
    using TEnumProcesses = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using TEnumProcessModules = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
    using TGetModuleFileNameExA = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    TEnumProcesses EnumProcesses = nullptr;
    TEnumProcessModules EnumProcessModules = nullptr;
    TGetModuleFileNameExA GetModuleFileNameExA = nullptr;
    bool Usable() const { return EnumProcesses && EnumProcessModules && GetModuleFileNameExA; }
};

const TPsapi& Psapi() {
    static const TPsapi bound = [] {
        TPsapi p;
        // Kept for the life of the program.
        if (HMODULE lib = LoadLibraryA("psapi.dll")) {
            p.EnumProcesses = ui::BindEntryPoint<TPsapi::TEnumProcesses>(lib, "EnumProcesses");
            p.EnumProcessModules = ui::BindEntryPoint<TPsapi::TEnumProcessModules>(lib, "EnumProcessModules");
            p.GetModuleFileNameExA = ui::BindEntryPoint<TPsapi::TGetModuleFileNameExA>(lib, "GetModuleFileNameExA");
        }
        return p;
    }();
    return bound;
}

DWORD PlatformId() {
    static const DWORD id = [] {
        OSVERSIONINFOA vi{};
        vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        return GetVersionExA(&vi) ? vi.dwPlatformId : DWORD(~0u);
#pragma GCC diagnostic pop
    }();
    return id;
}

std::string ExeNameOfProcess(DWORD ProcessId) {
    ++WindowCalls.Process;
    if (PlatformId() == VER_PLATFORM_WIN32_WINDOWS) return GetExeNameToolhelp(ProcessId);
    if (PlatformId() == VER_PLATFORM_WIN32_NT) return GetExeNamePsapi(ProcessId);
    return std::string();
}

}  // namespace

std::string GetWindowExeName(HWND Wnd) {
    DWORD pid = 0;
    if (!OwnerOf(Wnd, &pid)) return std::string();
    return ExeNameOfProcess(pid);
}

std::string GetExeNameToolhelp(DWORD ProcessId) {
    const HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (raw == INVALID_HANDLE_VALUE) return std::string();
    const ui::ScopedHandle<HANDLE, CloseHandle> snap(raw);
    PROCESSENTRY32 e{};
    e.dwSize = sizeof(e);
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e))
        if (e.th32ProcessID == ProcessId) return e.szExeFile;
    return std::string();
}

std::string GetExeNamePsapi(DWORD ProcessId) {
    const TPsapi& psapi = Psapi();
    if (!psapi.Usable()) return std::string();
    // The process list grows until it fits: with a fixed buffer, a machine
    // running more processes than it holds would lose the program files of
    // the ones left out.
    std::vector<DWORD> ids(1024);
    DWORD bytes = 0;
    for (;;) {
        if (!psapi.EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes))
            return std::string();
        if (bytes < ids.size() * sizeof(DWORD)) break;
        ids.resize(ids.size() * 2);
    }
    ids.resize(bytes / sizeof(DWORD));
    for (DWORD id : ids) {
        if (id != ProcessId) continue;
        const ui::ScopedHandle<HANDLE, CloseHandle> p(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
        if (!p) continue;
        HMODULE mod;
        DWORD needed;
        if (!psapi.EnumProcessModules(p, &mod, sizeof(mod), &needed)) return std::string();
        char name[301];
        return std::string(name, psapi.GetModuleFileNameExA(p, mod, name, sizeof(name)));
    }
    return std::string();
}

// ---------------------------------------------------------------- hide and show

bool HideWindow(HWND Wnd, int32_t ExStyle) {
    const bool strip = !NothingToStrip(ExStyle);
    if (strip) SetExStyle(Wnd, ExStyle & KeptExStyle);
    Show(Wnd, SW_HIDE);
    return strip;
}

bool HiddenStyleStripped(int32_t ExStyle, int32_t Current) {
    // Writing the style cannot take WS_EX_TOPMOST away: a stripped topmost
    // window keeps it.
    return !NothingToStrip(ExStyle) && (Current & ~(WS_EX_WINDOWEDGE | WS_EX_TOPMOST)) == (ExStyle & KeptExStyle);
}

namespace {
// A window that hides itself again as soon as it is shown would otherwise
// hold the program here for ever.
constexpr int kShowAttempts = 5;
constexpr DWORD kShowRetryMs = 5;

struct TLateJob {
    std::shared_ptr<const TZOrder> Order;
    std::vector<TLateWindow> Windows;  // of one thread, topmost first
    // The style writes to that thread's windows started before: the next
    // hide forgets them, the late show still waits for them and asks them.
    std::vector<std::shared_ptr<TStyleJob>> Styles;
};

// The late windows that no thread of ours has shown yet.
std::mutex LateLock;
std::vector<HWND> LatePending;

void LateShown(HWND Wnd) {
    {
        std::lock_guard<std::mutex> lock(LateLock);
        LatePending.erase(std::remove(LatePending.begin(), LatePending.end(), Wnd), LatePending.end());
    }
    LateWindowShown(Wnd);
}

// The nearest window above the one at Index, on its layer, that is shown now.
HWND ShownAbove(const TZOrder& Order, size_t Index) {
    for (size_t j = Index; j-- > 0;)
        if (Order.Topmost[j] == Order.Topmost[Index] && IsWindowVisible(Order.Windows[j])) return Order.Windows[j];
    return HWND_TOP;
}

}  // namespace

// Extended-style writes to the windows of one window thread, made by a
// thread of our own: the strips after a hide, or the styles put back before
// a restore shows the windows.
struct TStyleJob {
    DWORD ThreadId = 0;
    bool Strip = false;
    std::vector<HWND> Windows;
    std::vector<int32_t> Styles;      // as listed
    std::vector<char> Written;        // by the job's thread; read once Done is set
    std::atomic<size_t> Progress{0};  // how many of Windows it has written
    // The window thread the restore is showing a window of now, when this
    // job is a restore's: a write sent to it then would hold up the show.
    std::shared_ptr<std::atomic<DWORD>> Showing;
    HANDLE Done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~TStyleJob() {
        if (Done) CloseHandle(Done);
    }
};

namespace {
// The jobs since the last hide began.
std::mutex StyleLock;
std::vector<std::shared_ptr<TStyleJob>> StyleJobs;

std::vector<std::shared_ptr<TStyleJob>> JobsOf(DWORD ThreadId) {
    std::lock_guard<std::mutex> lock(StyleLock);
    std::vector<std::shared_ptr<TStyleJob>> out;
    for (const auto& job : StyleJobs)
        if (job->ThreadId == ThreadId) out.push_back(job);
    return out;
}

bool JobsDone(const std::vector<std::shared_ptr<TStyleJob>>& Jobs, DWORD WaitMs) {
    for (const auto& job : Jobs)
        if (WaitForSingleObject(job->Done, WaitMs) != WAIT_OBJECT_0) return false;
    return true;
}

bool StrippedBy(const std::vector<std::shared_ptr<TStyleJob>>& Jobs, HWND Wnd) {
    for (const auto& job : Jobs)
        for (size_t i = 0; job->Strip && i < job->Windows.size(); ++i)
            if (job->Windows[i] == Wnd && WaitForSingleObject(job->Done, 0) == WAIT_OBJECT_0) return job->Written[i];
    return false;
}

// How long a strip waits for its window's hide before it goes ahead: a
// window may show itself again at once.
constexpr DWORD kStripWaitMs = 1000;
constexpr DWORD kStripLookMs = 10;
// How often the key's thread looks whether the hides are done: seldom
// enough not to hold them up at the window server.
constexpr DWORD kHidesLookMs = 4;

// A strip sent to a thread that still has the hides queued would run
// before them (a thread handles what is sent to it before what is posted)
// and hold them up: the strips wait for the hides.
void WaitHidden(HWND Wnd) {
    // Seldom: every look is a request to the window server, which the
    // hides need.
    const ULONGLONG end = GetTickCount64() + kStripWaitMs;
    while (IsWindowVisible(Wnd) && GetTickCount64() < end) Sleep(kStripLookMs);
}

// Every call here waits for the window's thread for as long as it does not
// answer.
void RunStyleJob(TStyleJob& job) {
    // The hides were queued in the order of the windows: once the last is
    // done, the thread is free for the strips.
    if (job.Strip && !job.Windows.empty()) WaitHidden(job.Windows.back());
    for (size_t i = 0; i < job.Windows.size(); ++i) {
        while (job.Showing && *job.Showing == job.ThreadId) Sleep(0);
        job.Written[i] =
            SetWindowLongA(job.Windows[i], GWL_EXSTYLE, job.Strip ? job.Styles[i] & KeptExStyle : job.Styles[i]) != 0;
        job.Progress = i + 1;
    }
    SetEvent(job.Done);
}

// The threads that run the style jobs, made as they are first needed and
// kept for the next toggle (making a thread costs more than the writes of a
// few windows). A job finds a free one or a new one: a thread held by a
// window thread that does not answer holds up no other job.
class TStyleWorkers {
public:
    void Run(std::shared_ptr<TStyleJob> Job) {
        std::lock_guard<std::mutex> lock(lock_);
        queue_.push_back(std::move(Job));
        if (idle_ < static_cast<int>(queue_.size())) {
            if (HANDLE t = CreateThread(nullptr, 0, Work, this, 0, nullptr)) {
                ++idle_;
                CloseHandle(t);
            } else {
                SetEvent(queue_.back()->Done);  // no thread to write with: the style stays
                queue_.pop_back();
            }
        }
        ready_.notify_one();
    }

private:
    static DWORD WINAPI Work(LPVOID Self) {
        auto& self = *static_cast<TStyleWorkers*>(Self);
        for (;;) {
            std::shared_ptr<TStyleJob> job;
            {
                std::unique_lock<std::mutex> lock(self.lock_);
                self.ready_.wait(lock, [&] { return !self.queue_.empty(); });
                --self.idle_;
                job = std::move(self.queue_.front());
                self.queue_.pop_front();
            }
            RunStyleJob(*job);
            std::lock_guard<std::mutex> lock(self.lock_);
            ++self.idle_;
        }
    }
    std::mutex lock_;
    std::condition_variable ready_;
    std::deque<std::shared_ptr<TStyleJob>> queue_;
    int idle_ = 0;  // threads waiting for a job, or made for one and not yet waiting
};

TStyleWorkers& StyleWorkers() {
    static TStyleWorkers* workers = new TStyleWorkers;  // its threads outlive every toggle
    return *workers;
}

// Starts a job for each thread of Windows; answers them, by thread.
std::map<DWORD, std::shared_ptr<TStyleJob>> StartStyleJobs(const std::vector<TStyleWrite>& Windows, bool Strip,
                                                           std::shared_ptr<std::atomic<DWORD>> Showing = nullptr) {
    std::map<DWORD, std::shared_ptr<TStyleJob>> byThread;
    for (const TStyleWrite& w : Windows) {
        ++WindowCalls.SetStyle;  // made by the threads below; counted here, where the toggle is
        auto& job = byThread[w.ThreadId];
        if (!job)
            job = std::make_shared<TStyleJob>(), job->ThreadId = w.ThreadId, job->Strip = Strip, job->Showing = Showing;
        job->Windows.push_back(w.Handle);
        job->Styles.push_back(w.ExStyle);
        job->Written.push_back(0);
    }
    for (auto& [thread, job] : byThread) {
        {
            std::lock_guard<std::mutex> lock(StyleLock);
            StyleJobs.push_back(job);
        }
        StyleWorkers().Run(job);
    }
    return byThread;
}

// Runs on a thread of its own: every call here may wait for as long as the
// window's thread does not answer. It touches nothing but the windows.
DWORD WINAPI FinishLateShows(LPVOID Param) {
    std::unique_ptr<TLateJob> job(static_cast<TLateJob*>(Param));
    for (const TLateWindow& late : job->Windows) {
        HWND wnd = job->Order->Windows[late.Index];
        // The style writes queued before come first, however late.
        JobsDone(job->Styles, INFINITE);
        if (late.RestoreStyle || (late.StyleOfStrip && StrippedBy(job->Styles, wnd)))
            SetWindowLongA(wnd, GWL_EXSTYLE, late.ExStyle);
        // What ShowWindow tells a window before showing it: some programs
        // wake up on it. Then shown and placed in one call.
        if (!IsWindowVisible(wnd)) SendMessageA(wnd, WM_SHOWWINDOW, TRUE, 0);
        SetWindowPos(wnd, ShownAbove(*job->Order, late.Index), 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        LateShown(wnd);
    }
    return 0;
}
}  // namespace

void ShowHiddenWindow(HWND Wnd, int32_t ExStyle, bool RestoreStyle) {
    if (RestoreStyle) SetExStyle(Wnd, ExStyle);
    // Shown again only while the window still exists and is not visible:
    // a window normally is after the first call.
    Show(Wnd, SW_SHOWNA);
    for (int i = 1; i < kShowAttempts && !(WindowLong(Wnd, GWL_STYLE) & WS_VISIBLE) && IsWindow(Wnd); ++i) {
        Sleep(kShowRetryMs);
        Show(Wnd, SW_SHOWNA);
    }
}

void HideWindowAsync(HWND Wnd) { ShowAsync(Wnd, SW_HIDE); }

void ForgetStrips() {
    std::lock_guard<std::mutex> lock(StyleLock);
    StyleJobs.clear();
}

void WaitForQueuedHides(const std::vector<const TWinInfo*>& Windows, DWORD MaxWaitMs) {
    // A thread runs its hides in order: its last window tells.
    std::map<DWORD, HWND> last;
    for (const TWinInfo* info : Windows) last[info->ThreadId] = info->Handle;
    const ULONGLONG end = GetTickCount64() + MaxWaitMs;
    while (!last.empty() && GetTickCount64() < end) {
        for (auto it = last.begin(); it != last.end();)
            it = IsWindowVisible(it->second) ? std::next(it) : last.erase(it);
        if (!last.empty()) Sleep(kHidesLookMs);
    }
}

void StripStylesAfterHide(const std::vector<const TWinInfo*>& Windows) {
    std::vector<TStyleWrite> strips;
    for (const TWinInfo* info : Windows)
        if (!NothingToStrip(info->ExStyle)) strips.push_back({info->Handle, info->ExStyle, info->ThreadId});
    StartStyleJobs(strips, true);
}

bool StripsDone(DWORD ThreadId) { return JobsDone(JobsOf(ThreadId), 0); }

bool StyleStripped(DWORD ThreadId, HWND Wnd) { return StrippedBy(JobsOf(ThreadId), Wnd); }

TStyleRestore::TStyleRestore(const std::vector<TStyleWrite>& Windows)
    : showing_(std::make_shared<std::atomic<DWORD>>(0)) {
    for (auto& [thread, job] : StartStyleJobs(Windows, false, showing_)) jobs_.push_back(job);
}

void TStyleRestore::Showing(DWORD ThreadId) const { *showing_ = ThreadId; }

bool TStyleRestore::WaitWritten(DWORD ThreadId, HWND Wnd, DWORD WaitMs) const {
    for (const auto& job : jobs_) {
        if (job->ThreadId != ThreadId) continue;
        const size_t at = std::find(job->Windows.begin(), job->Windows.end(), Wnd) - job->Windows.begin();
        if (at == job->Windows.size()) return true;  // a window of the thread with no style to write
        const ULONGLONG end = GetTickCount64() + WaitMs;
        while (job->Progress <= at)
            if (GetTickCount64() >= end)
                return false;
            else
                Sleep(0);
    }
    return true;
}

void ShowHiddenWindowsAsync(const std::shared_ptr<const TZOrder>& Order, const std::vector<TLateWindow>& Late) {
    std::map<DWORD, std::vector<TLateWindow>> byThread;
    {
        std::lock_guard<std::mutex> lock(LateLock);
        for (const TLateWindow& late : Late) {
            // Made by the threads below; counted here, where the toggle is.
            if (late.RestoreStyle) ++WindowCalls.SetStyle;
            ++WindowCalls.Show;
            LatePending.push_back(Order->Windows[late.Index]);
            byThread[late.ThreadId].push_back(late);
        }
    }
    for (auto& [thread, windows] : byThread) {
        auto job = std::make_unique<TLateJob>(TLateJob{Order, std::move(windows), JobsOf(thread)});
        if (HANDLE t = CreateThread(nullptr, 0, FinishLateShows, job.get(), 0, nullptr)) {
            job.release();  // the thread's now
            CloseHandle(t);
        } else {
            // No thread to wait with: shown whenever its own thread runs.
            for (const TLateWindow& late : job->Windows) ShowAsync(Order->Windows[late.Index], SW_SHOWNA);
        }
    }
}

void HandOverLateWindows() {
    std::lock_guard<std::mutex> lock(LateLock);
    for (HWND wnd : LatePending) ShowAsync(wnd, SW_SHOWNA);
    LatePending.clear();
}

// ---------------------------------------------------------------- foreground

void RememberActiveWindow() { PreviousForegroundWindow = GetForegroundWindow(); }

void ReactivatePreviousWindow(bool CloseActiveWindow) {
    if (!CloseActiveWindow) ForceForeground(PreviousForegroundWindow);
}

void ForceForeground(HWND Wnd) {
    HWND own = OwnMainWindow();
    if ((own && Wnd == own) || !IsWindow(Wnd)) return;
    // On top as well: where the system still counts the window as the
    // foreground one it does not raise it, and windows shown since stay above
    // it. Posted, so that a thread that does not answer holds nothing up.
    SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    // Not announced to every window (SPIF_SENDCHANGE): that is one message
    // to each top-level window of the desktop, and none of them needs it.
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(Wnd);
}

HICON GetFileIcon(const std::string& Path, bool Small) {
    SHFILEINFOA info{};
    UINT flags = Small ? (SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON)
                       : (SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
    SHGetFileInfoA(Path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);
    return info.hIcon;
}

}  // namespace core
