#pragma once
// Listing, hiding and showing again the top-level windows of the desktop,
// and the foreground window remembered while they are hidden.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ui {
class TListView;
}

namespace core {

// One top-level window as listed; the item data of the window lists. The
// list that holds the item owns it.
struct TWinInfo {
    HWND Handle = nullptr;
    std::string Title;    // window text, trimmed
    std::string ExePath;  // program file of the owning process; empty when unknown
    int32_t ExStyle = 0;  // extended style when listed; put back when shown again
    DWORD ThreadId = 0;   // the thread that owns the window
    DWORD ProcessId = 0;  // the process that owns the window
    bool Hidden = false;  // hidden by the hide (else kept, and left alone by the restore)
};

// Calls into windows of other programs, counted as they are made: under Wine
// each is a round trip to the window server, and the hiding and showing
// calls also wait for the window's own thread. What a toggle costs is about
// how many of these it makes per window.
struct TWindowCallCounts {
    unsigned List = 0;       // snapshots of the top-level windows
    unsigned Text = 0;       // GetWindowTextA
    unsigned ClassName = 0;  // GetClassNameA
    unsigned Style = 0;      // GetWindowLongA of the style or extended style
    unsigned Owner = 0;      // GetWindowThreadProcessId
    unsigned SetStyle = 0;   // SetWindowLongA of the extended style
    unsigned Show = 0;       // ShowWindow, ShowWindowAsync, SetWindowPos showing
    unsigned Answer = 0;     // SendMessageTimeoutA asking a thread whether it answers
    unsigned Process = 0;    // program-file lookups (each walks the process list)
    unsigned Total() const { return List + Text + ClassName + Style + Owner + SetStyle + Show + Answer + Process; }
};
extern TWindowCallCounts WindowCalls;

// Whether the threads of windows answer messages now, each asked once, for
// at most AnswerTimeoutMs: a window whose thread is hung (or too busy to
// answer) would hold the caller in every synchronous call made on it.
class TAnswerCheck {
public:
    static constexpr unsigned AnswerTimeoutMs = 50;
    bool Answers(const TWinInfo& Info);

private:
    std::vector<std::pair<DWORD, bool>> known_;  // by thread id
};

// Which top-level windows threads own now, each thread asked once: a
// handle its thread no longer owns is gone, or names another program's
// window by now.
class TThreadWindows {
public:
    bool Owns(DWORD ThreadId, HWND Wnd);

private:
    std::map<DWORD, std::vector<HWND>> known_;
};

// The foreground window remembered when windows are hidden.
extern HWND PreviousForegroundWindow;

// Trims leading and trailing blanks and control characters.
std::string TrimText(const std::string& s);

// The listing filter, without the window: whether a window with this title,
// class and style enters a list. IsOwnMainWindow drops it whatever else.
bool PassesWindowFilter(const std::string& Title, const std::string& ClassName, DWORD Style, bool VisibleOnly,
                        bool IsOwnMainWindow);

// Clears the list and offers every top-level window to AddWindowToList, in
// Z order from the top.
void FillWindowList(ui::TListView* List, bool VisibleOnly);
// FillWindowList in three steps, for a caller that acts on the windows
// between them: the records of the windows that pass the filter, in Z order
// from the top, without their program files; the program files, each
// process looked up once; and an item per record, which owns a copy of it.
std::vector<TWinInfo> ListWindows(bool VisibleOnly);
void FindExePaths(std::vector<TWinInfo>& Windows);
void AddWindowItems(ui::TListView* List, const std::vector<TWinInfo>& Windows);
// Adds an item with a new TWinInfo for a window that passes the filter.
void AddWindowToList(HWND Wnd, ui::TListView* List, bool VisibleOnly);

std::string GetWindowExeName(HWND Wnd);
std::string GetExeNameToolhelp(DWORD ProcessId);
std::string GetExeNamePsapi(DWORD ProcessId);

// Hides the window and strips its extended style (ExStyle, as listed) but
// WS_EX_TOOLWINDOW, so it also leaves the taskbar.
// Answers whether the style was changed: a window with no bits to strip is
// left as it is.
bool HideWindow(HWND Wnd, int32_t ExStyle);
// Whether a window whose extended style was ExStyle before HideWindow still
// has the style HideWindow left it (and so needs ExStyle back).
bool HiddenStyleStripped(int32_t ExStyle, int32_t Current);
// Puts the extended style back and shows the window without activating it;
// shows it once more when it is not visible then (a window that hid itself
// again), at most a few times.
void ShowHiddenWindow(HWND Wnd, int32_t ExStyle, bool RestoreStyle = true);
// The hide queued to the window's thread: it happens when that thread runs,
// and nothing here waits for it.
void HideWindowAsync(HWND Wnd);
// Waits, at most MaxWaitMs, until the windows' threads have run the hides
// queued to them for Windows (queued in this order).
void WaitForQueuedHides(const std::vector<const TWinInfo*>& Windows, DWORD MaxWaitMs);
// After the hides of Windows were queued: strips their extended styles as
// HideWindow does, on threads of our own, one per window thread. Each strip
// waits for its thread, which first runs the hides queued before it, and
// for as long as the thread does not answer; nothing here waits.
void StripStylesAfterHide(const std::vector<const TWinInfo*>& Windows);
// Whether the style writes to ThreadId's windows since the hide began are
// over (true when there were none).
bool StripsDone(DWORD ThreadId);
// Whether the strip of Wnd took (false while its thread's strips are not over).
bool StyleStripped(DWORD ThreadId, HWND Wnd);
// A new hide begins: the style writes of the one before are no longer asked
// about.
void ForgetStrips();
// One extended style to write, to a window of ThreadId.
struct TStyleWrite {
    HWND Handle = nullptr;
    int32_t ExStyle = 0;
    DWORD ThreadId = 0;
};
struct TStyleJob;
// Before a restore shows the windows: their extended styles written back,
// in the order given, on threads of our own, one per window thread, so that
// each thread's writes go on beside the shows of the others' windows.
class TStyleRestore {
public:
    explicit TStyleRestore(const std::vector<TStyleWrite>& Windows);
    // Waits at most WaitMs for the style of Wnd to be back (true at once for
    // a window not given); false when it is not by then: a late show of the
    // window waits for it.
    bool WaitWritten(DWORD ThreadId, HWND Wnd, DWORD WaitMs) const;
    // A window of ThreadId is being shown now (0: none): no write is sent to
    // that thread meanwhile, where it would hold up the show.
    void Showing(DWORD ThreadId) const;

private:
    std::shared_ptr<std::atomic<DWORD>> showing_;
    std::vector<std::shared_ptr<TStyleJob>> jobs_;
};

// The windows a restore lists, topmost first, and which of them are on the
// topmost layer: where a window shown late goes back to.
struct TZOrder {
    std::vector<HWND> Windows;
    std::vector<bool> Topmost;
};
// A window of that order whose thread did not answer.
struct TLateWindow {
    size_t Index = 0;
    int32_t ExStyle = 0;
    bool RestoreStyle = false;
    DWORD ThreadId = 0;
    bool StyleOfStrip = false;  // the style goes back if the hide's strip took
};
// Shows late windows without waiting for them: a thread of our own per
// window thread waits for each window as long as it takes, puts its extended
// style back where asked and shows it under the nearest window of its layer
// that was above it and is shown by then (showing it first and placing it
// after does not hold under Wine: the window comes back on top). Late is
// topmost first: the windows of one thread then go back in order.
void ShowHiddenWindowsAsync(const std::shared_ptr<const TZOrder>& Order, const std::vector<TLateWindow>& Late);
// For a program that ends: the late windows not shown yet get their show
// queued to their own threads, which then show them whenever they run again.
void HandOverLateWindows();

void RememberActiveWindow();
// Brings PreviousForegroundWindow to the front unless the user asked for the
// window that was active before hiding to be left closed.
void ReactivatePreviousWindow(bool CloseActiveWindow);
void ForceForeground(HWND Wnd);
// The shell's icon for a file; the caller owns it (0 when none).
HICON GetFileIcon(const std::string& Path, bool Small);

// The program's main window and application window, which the window
// primitives treat apart (null when there is none).
HWND OwnMainWindow();
HWND OwnApplicationWindow();

}  // namespace core
