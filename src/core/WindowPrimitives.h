#pragma once
// Listing, hiding and showing again the top-level windows of the desktop,
// and the foreground window remembered while they are hidden.
#include <windows.h>

#include <cstdint>
#include <string>

namespace ui { class TListView; }

namespace core {

// One top-level window as listed; the item data of the window lists. The
// list that holds the item owns it.
struct TWinInfo {
    HWND Handle = nullptr;
    std::string Title;    // window text, trimmed
    std::string ExePath;  // program file of the owning process; empty when unknown
    int32_t ExStyle = 0;  // extended style when listed; put back when shown again
};

// The foreground window remembered when windows are hidden.
extern HWND PreviousForegroundWindow;

// Trims leading and trailing blanks and control characters.
std::string TrimText(const std::string& s);

// The listing filter, without the window: whether a window with this title,
// class and style enters a list. IsOwnMainWindow drops it whatever else.
bool PassesWindowFilter(const std::string& Title, const std::string& ClassName, DWORD Style,
                        bool VisibleOnly, bool IsOwnMainWindow);

// Clears the list and offers every top-level window to AddWindowToList, in
// Z order from the top.
void FillWindowList(ui::TListView* List, bool VisibleOnly);
// Adds an item with a new TWinInfo for a window that passes the filter.
void AddWindowToList(HWND Wnd, ui::TListView* List, bool VisibleOnly);
// Frees the TWinInfo records of a list's items and clears it.
void ReleaseWindowList(ui::TListView* List);

std::string GetWindowExeName(HWND Wnd);
std::string GetExeNameToolhelp(DWORD ProcessId);
std::string GetExeNamePsapi(DWORD ProcessId);

// Hides the window and strips its extended style (but WS_EX_TOOLWINDOW), so
// it also leaves the taskbar.
void HideWindow(HWND Wnd);
// Puts the extended style back and shows the window without activating it.
void ShowHiddenWindow(HWND Wnd, int32_t ExStyle);

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

} // namespace core
