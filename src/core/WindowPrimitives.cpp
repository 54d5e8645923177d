#include "core/WindowPrimitives.h"

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <map>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
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

bool PassesWindowFilter(const std::string& Title, const std::string& ClassName, DWORD Style,
                        bool VisibleOnly, bool IsOwnMainWindow) {
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

namespace {
std::string WindowString(HWND Wnd, bool ClassName) {
    std::vector<char> buf(10000);
    int n = ClassName ? GetClassNameA(Wnd, buf.data(), static_cast<int>(buf.size()))
                      : GetWindowTextA(Wnd, buf.data(), static_cast<int>(buf.size()));
    return TrimText(std::string(buf.data(), static_cast<size_t>(std::max(n, 0))));
}

std::string FileNamePart(const std::string& path) {
    auto p = path.find_last_of("\\/:");
    return p == std::string::npos ? path : path.substr(p + 1);
}
} // namespace

namespace {
// Program files already looked up during one listing, by process: finding
// one walks the process list, and a program often has many windows.
using ExeCache = std::map<DWORD, std::string>;

void AddWindow(HWND Wnd, ui::TListView* List, bool VisibleOnly, ExeCache* cache) {
    std::string title = WindowString(Wnd, false);
    std::string cls = WindowString(Wnd, true);
    WINDOWINFO wi{};
    wi.cbSize = sizeof(wi);
    if (!GetWindowInfo(Wnd, &wi)) return;  // gone meanwhile
    HWND own = OwnMainWindow();
    if (!PassesWindowFilter(title, cls, wi.dwStyle, VisibleOnly, own && Wnd == own)) return;
    std::string exe;
    DWORD pid = 0;
    GetWindowThreadProcessId(Wnd, &pid);
    if (auto it = cache ? cache->find(pid) : ExeCache::iterator{}; cache && it != cache->end()) {
        exe = it->second;
    } else {
        exe = GetWindowExeName(Wnd);
        if (cache) (*cache)[pid] = exe;
    }
    auto* info = new TWinInfo{Wnd, title, exe, static_cast<int32_t>(wi.dwExStyle)};
    ui::TListItem* item = List->Items()->Add();
    item->SetData(info);
    item->SetCaption(FileNamePart(info->ExePath));
    item->SubItems()->Add(title);
}
} // namespace

void AddWindowToList(HWND Wnd, ui::TListView* List, bool VisibleOnly) { AddWindow(Wnd, List, VisibleOnly, nullptr); }

void FillWindowList(ui::TListView* List, bool VisibleOnly) {
    ReleaseWindowList(List);
    List->Items()->BeginUpdate();
    ExeCache cache;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) AddWindow(h, List, VisibleOnly, &cache);
    List->Items()->EndUpdate();
}

void ReleaseWindowList(ui::TListView* List) {
    ui::TListItems* items = List->Items();
    for (int i = 0; i < items->Count(); ++i) {
        delete static_cast<TWinInfo*>(items->Item(i)->Data());
        items->Item(i)->SetData(nullptr);
    }
    items->Clear();
}

// ---------------------------------------------------------------- program files

std::string GetWindowExeName(HWND Wnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(Wnd, &pid);
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&vi)) return std::string();
#pragma GCC diagnostic pop
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return GetExeNameToolhelp(pid);
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT) return GetExeNamePsapi(pid);
    return std::string();
}

std::string GetExeNameToolhelp(DWORD ProcessId) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return std::string();
    std::string result;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof(e);
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e)) {
        if (e.th32ProcessID == ProcessId) {
            result = e.szExeFile;
            break;
        }
    }
    CloseHandle(snap);
    return result;
}

std::string GetExeNamePsapi(DWORD ProcessId) {
    // The process list grows until it fits: with a fixed buffer, a machine
    // running more processes than it holds would lose the program files of
    // the ones left out.
    std::vector<DWORD> ids(1024);
    DWORD bytes = 0;
    for (;;) {
        if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return std::string();
        if (bytes < ids.size() * sizeof(DWORD)) break;
        ids.resize(ids.size() * 2);
    }
    ids.resize(bytes / sizeof(DWORD));
    for (DWORD id : ids) {
        if (id != ProcessId) continue;
        HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
        if (!p) continue;
        std::string result;
        HMODULE mod;
        DWORD needed;
        if (EnumProcessModules(p, &mod, sizeof(mod), &needed)) {
            char name[301];
            DWORD n = GetModuleFileNameExA(p, mod, name, sizeof(name));
            result.assign(name, n);
        }
        CloseHandle(p);
        return result;
    }
    return std::string();
}

// ---------------------------------------------------------------- hide and show

void HideWindow(HWND Wnd) {
    LONG ex = GetWindowLongA(Wnd, GWL_EXSTYLE);
    SetWindowLongA(Wnd, GWL_EXSTYLE, ex & WS_EX_TOOLWINDOW);
    PostMessageA(Wnd, WM_PAINT, 0, 0);
    ShowWindow(Wnd, SW_HIDE);
}

namespace {
// A window that hides itself again as soon as it is shown would otherwise
// hold the program here for ever.
constexpr int kShowAttempts = 5;
constexpr DWORD kShowRetryMs = 5;
} // namespace

void ShowHiddenWindow(HWND Wnd, int32_t ExStyle) {
    SetWindowLongA(Wnd, GWL_EXSTYLE, ExStyle);
    // ShowWindow answers the window's previous visibility, not success: show
    // again only while the window still exists and is not visible yet.
    ShowWindow(Wnd, SW_SHOWNA);
    for (int i = 1; i < kShowAttempts && IsWindow(Wnd) && !IsWindowVisible(Wnd); ++i) {
        Sleep(kShowRetryMs);
        ShowWindow(Wnd, SW_SHOWNA);
    }
}

// ---------------------------------------------------------------- foreground

void RememberActiveWindow() { PreviousForegroundWindow = GetForegroundWindow(); }

void ReactivatePreviousWindow(bool CloseActiveWindow) {
    if (!CloseActiveWindow) ForceForeground(PreviousForegroundWindow);
}

void ForceForeground(HWND Wnd) {
    HWND own = OwnMainWindow();
    if ((own && Wnd == own) || !IsWindow(Wnd)) return;
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    SetForegroundWindow(Wnd);
}

HICON GetFileIcon(const std::string& Path, bool Small) {
    SHFILEINFOA info{};
    UINT flags = Small ? (SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON)
                       : (SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
    SHGetFileInfoA(Path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);
    return info.hIcon;
}

} // namespace core
