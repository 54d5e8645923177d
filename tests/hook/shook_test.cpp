// shook.dll loaded as the program loads it, driven with real input: keys
// and mouse buttons pressed with SendInput in this process (the library's
// own thread runs the low-level hooks; this one pumps for the receiver),
// windows opened and closed by a helper process for the shell and
// close-request kinds.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/KeyData.h"
#include "hook/KeyProbe.h"
#include "hook/ShookApi.h"
#include "support/StartProcess.h"
#include "support/Wait.h"
#include "ui/EntryPoint.h"

using namespace hook;

namespace {

struct TEventRecord {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    std::string Title;  // of the window in WParam, read on arrival (shell and close events)
};

struct TLibrary {
    HMODULE Module = nullptr;
    TStartWatching StartWatching = nullptr;
    TStopWatching StopWatching = nullptr;
    TStillWatching StillWatching = nullptr;
    TStopAll StopAll = nullptr;
    TSetReceiver SetReceiver = nullptr;
    UINT MsgSysCommand = 0, MsgShell = 0, MsgKey = 0, MsgKeyLL = 0, MsgMouse = 0;
};

TLibrary Lib;
std::vector<TEventRecord> Events;

std::string TitleOf(HWND wnd) {
    char text[300] = "";
    return GetWindowTextA(wnd, text, sizeof text) > 0 ? text : "";
}

// A key no test presses, sent after the events a test checks (see
// AllInputPassed); its own reports are not recorded.
constexpr WORD MarkerKey = VK_F24;

LRESULT CALLBACK ReceiverProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if ((Msg == Lib.MsgKey && wParam == MarkerKey) || (Msg == Lib.MsgKeyLL && LOWORD(lParam) == MarkerKey)) return 0;
    if (Msg == Lib.MsgShell || Msg == Lib.MsgSysCommand) {
        Events.push_back({Msg, wParam, lParam, TitleOf(reinterpret_cast<HWND>(wParam))});
        return 0;
    }
    if (Msg == Lib.MsgKey || Msg == Lib.MsgKeyLL || Msg == Lib.MsgMouse) {
        Events.push_back({Msg, wParam, lParam, {}});
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, wParam, lParam);
}

HWND MakeReceiver() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VskShookTestReceiver";
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, "VskShookTestReceiver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Handles every message queued now, without waiting for more.
void Drain() { vsk::test::PumpThread::Handle(); }

template <class Pred> bool PumpUntil(Pred done, int ms = 3000) {
    return vsk::test::WaitUntil<vsk::test::PumpThread>(done, ms);
}

std::vector<TEventRecord> EventsOf(UINT Msg) {
    std::vector<TEventRecord> out;
    for (const auto& e : Events) {
        if (e.Msg == Msg) out.push_back(e);
    }
    return out;
}

void SendKey(WORD Vk, WORD Scan, DWORD Flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = Vk;
    in.ki.wScan = Scan;
    in.ki.dwFlags = Flags;
    ASSERT_EQ(SendInput(1, &in, sizeof in), 1u) << "SendInput failed, error " << GetLastError();
}

void SendMouse(DWORD Flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Flags;
    ASSERT_EQ(SendInput(1, &in, sizeof in), 1u) << "SendInput failed, error " << GetLastError();
}

bool MarkerSeen = false;
LRESULT CALLBACK MarkerProc(int Code, WPARAM wParam, LPARAM lParam) {
    if (Code == HC_ACTION && wParam == WM_KEYUP &&
        reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == MarkerKey) {
        MarkerSeen = true;
    }
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

// Presses and releases the marker key and waits until a low-level hook of
// this thread has seen it. Input passes the hooks one event at a time and
// the library posts from inside its hook, so by then every event sent
// before has passed the library and all it posted is queued here; those
// reports are handled before this returns. Whether nothing more arrives is
// then a plain look at Events.
bool AllInputPassed() {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, MarkerProc, GetModuleHandleA(nullptr), 0);
    if (!hook) {
        ADD_FAILURE() << "cannot set the marker hook, error " << GetLastError();
        return false;
    }
    MarkerSeen = false;
    SendKey(MarkerKey, 0, 0);
    SendKey(MarkerKey, 0, KEYEVENTF_KEYUP);
    const bool seen = PumpUntil([] { return MarkerSeen; }, 5000);
    UnhookWindowsHookEx(hook);
    Drain();
    EXPECT_TRUE(seen) << "the marker key never passed the hooks";
    return seen;
}

std::string ExeDir() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\'));
}

// Another process with one window titled Title, for Ms milliseconds at most.
struct THelper {
    PROCESS_INFORMATION Process{};
    explicit THelper(const std::string& Title, int Ms = 10000) {
        std::string cmd = "\"" + ExeDir() + "\\hook_helper.exe\" \"" + Title + "\" " + std::to_string(Ms);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!vsk::test::StartProcess(cmd, si, Process, FALSE)) ADD_FAILURE() << "cannot start " << cmd;
    }
    ~THelper() {
        if (!Process.hProcess) return;
        if (WaitForSingleObject(Process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(Process.hProcess, 1);
        CloseHandle(Process.hProcess);
        CloseHandle(Process.hThread);
    }
    bool Ended(DWORD Ms) const { return WaitForSingleObject(Process.hProcess, Ms) == WAIT_OBJECT_0; }
};

std::string UniqueTitle(const char* What) {
    return std::string("shook ") + What + " " + std::to_string(GetCurrentProcessId()) + "." +
           std::to_string(GetTickCount());
}

// Threads of this process now.
int ThreadCount() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    int n = 0;
    THREADENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e)) {
        if (e.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    }
    CloseHandle(snap);
    return n;
}

class Shook : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadAndBind(); }
    // By name, as the program does: the copy beside the test program.
    static void LoadAndBind() {
        Lib.Module = LoadLibraryA(LibraryName);
        ASSERT_NE(Lib.Module, nullptr) << "shook.dll does not load, error " << GetLastError();
        Lib.StartWatching = ui::BindEntryPoint<TStartWatching>(Lib.Module, StartWatchingName);
        Lib.StopWatching = ui::BindEntryPoint<TStopWatching>(Lib.Module, StopWatchingName);
        Lib.StillWatching = ui::BindEntryPoint<TStillWatching>(Lib.Module, StillWatchingName);
        Lib.StopAll = ui::BindEntryPoint<TStopAll>(Lib.Module, StopAllName);
        Lib.SetReceiver = ui::BindEntryPoint<TSetReceiver>(Lib.Module, SetReceiverName);
        Lib.MsgSysCommand = RegisterWindowMessageA(MsgSysCommandName);
        Lib.MsgShell = RegisterWindowMessageA(MsgShellName);
        Lib.MsgKey = RegisterWindowMessageA(MsgKeyName);
        Lib.MsgKeyLL = RegisterWindowMessageA(MsgKeyLLName);
        Lib.MsgMouse = RegisterWindowMessageA(MsgMouseName);
    }
    static void TearDownTestSuite() {
        if (Lib.Module) FreeLibrary(Lib.Module);
        Lib = TLibrary{};
    }
    void SetUp() override {
        ASSERT_TRUE(Lib.StartWatching && Lib.StopWatching && Lib.StillWatching && Lib.StopAll && Lib.SetReceiver)
            << "an export is missing";
        Receiver = MakeReceiver();
        ASSERT_NE(Receiver, nullptr);
        Lib.SetReceiver(HandleToReceiver(Receiver));
        Events.clear();
    }
    void TearDown() override {
        Lib.StopAll();
        Drain();
        DestroyWindow(Receiver);
        Events.clear();
    }
    HWND Receiver = nullptr;
};

TEST_F(Shook, StillWatchingFollowsTheWatchedKinds) {
    EXPECT_FALSE(Lib.StillWatching()) << "nothing is watched after loading";
    struct Step {
        const char* what;
        std::function<BOOL()> call;
        BOOL result;
        bool still;
    };
    const Step steps[] = {
        {"start keys", [] { return Lib.StartWatching(KindKey); }, TRUE, true},
        {"start mouse", [] { return Lib.StartWatching(KindMouse); }, TRUE, true},
        {"start keys again", [] { return Lib.StartWatching(KindKey); }, TRUE, true},
        {"stop keys, mouse left", [] { return Lib.StopWatching(KindKey); }, TRUE, true},
        {"stop mouse", [] { return Lib.StopWatching(KindMouse); }, TRUE, false},
        {"stop a kind not watched", [] { return Lib.StopWatching(KindKeyLL); }, TRUE, false},
        {"unknown kind 2", [] { return Lib.StartWatching(2); }, FALSE, false},
        {"unknown kind -1", [] { return Lib.StartWatching(-1); }, FALSE, false},
        {"unknown kind 32", [] { return Lib.StartWatching(32); }, FALSE, false},
        {"stop unknown kind", [] { return Lib.StopWatching(5); }, FALSE, false},
        {"start low-level keys", [] { return Lib.StartWatching(KindKeyLL); }, TRUE, true},
        {"start shell", [] { return Lib.StartWatching(KindShell); }, TRUE, true},
        {"start close queries", [] { return Lib.StartWatching(KindCloseQuery); }, TRUE, true},
        {"stop all",
         [] {
             Lib.StopAll();
             return TRUE;
         },
         TRUE, false},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.call(), s.result) << s.what;
        EXPECT_EQ(Lib.StillWatching() != FALSE, s.still) << "after: " << s.what;
    }
}

std::string Describe(const core::TKeyInfo& k) {
    std::ostringstream s;
    s << "scan " << k.ScanCode << " repeat " << k.RepeatCount << (k.Extended ? " ext" : "")
      << (k.ContextAlt ? " alt" : "") << (k.WasDown ? " was-down" : "") << (k.IsDown ? " down" : " up");
    return s.str();
}

TEST_F(Shook, ReportsEveryKeyTransitionInKeystrokeLayout) {
    const WORD scanC = static_cast<WORD>(MapVirtualKeyA('C', MAPVK_VK_TO_VSC));
    ASSERT_NE(scanC, 0) << "the system names no scan code for C";
    struct Case {
        const char* what;
        WORD vk, scan;
        DWORD flags;
        int expectScan;
        bool extended, alt, wasDown, isDown;
    };
    const Case cases[] = {
        {"A pressed", 'A', 0x1E, 0, 0x1E, false, false, false, true},
        {"A auto-repeat", 'A', 0x1E, 0, 0x1E, false, false, true, true},
        {"A released", 'A', 0x1E, KEYEVENTF_KEYUP, 0x1E, false, false, true, false},
        {"right Ctrl pressed", VK_RCONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY, 0x1D, true, false, false, true},
        {"right Ctrl released", VK_RCONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0x1D, true, false, true,
         false},
        {"left Alt pressed", VK_LMENU, 0x38, 0, 0x38, false, true, false, true},
        {"B under Alt", 'B', 0x30, 0, 0x30, false, true, false, true},
        {"B released under Alt", 'B', 0x30, KEYEVENTF_KEYUP, 0x30, false, true, true, false},
        {"left Alt released", VK_LMENU, 0x38, KEYEVENTF_KEYUP, 0x38, false, false, true, false},
        {"C by virtual key only", 'C', 0, 0, scanC, false, false, false, true},
        {"C released", 'C', 0, KEYEVENTF_KEYUP, scanC, false, false, true, false},
    };
    ASSERT_TRUE(Lib.StartWatching(KindKey));
    for (const auto& c : cases) SendKey(c.vk, c.scan, c.flags);
    const size_t n = std::size(cases);
    PumpUntil([&] { return EventsOf(Lib.MsgKey).size() >= n; });
    AllInputPassed();  // anything extra has arrived by now
    const auto keys = EventsOf(Lib.MsgKey);
    ASSERT_EQ(keys.size(), n) << "one MY_KEY_EVENT per transition";
    for (size_t i = 0; i < n; ++i) {
        const auto& c = cases[i];
        const core::TKeyInfo k = core::DecodeKeyData(static_cast<uint32_t>(keys[i].LParam));
        EXPECT_EQ(keys[i].WParam, c.vk) << c.what << ": the virtual key";
        EXPECT_EQ(k.RepeatCount, 1) << c.what;
        EXPECT_EQ(k.ScanCode, c.expectScan) << c.what << ": " << Describe(k);
        EXPECT_EQ(k.Extended, c.extended) << c.what << ": " << Describe(k);
        EXPECT_EQ(k.ContextAlt, c.alt) << c.what << ": " << Describe(k);
        EXPECT_EQ(k.WasDown, c.wasDown) << c.what << ": " << Describe(k);
        EXPECT_EQ(k.IsDown, c.isDown) << c.what << ": " << Describe(k);
        EXPECT_EQ(keys[i].LParam >> 32, 0) << c.what << ": key data fills the low 32 bits only";
    }
    // The program names keys from this data.
    char name[80] = "";
    GetKeyNameTextA(static_cast<LONG>(keys[0].LParam), name, 79);
    EXPECT_STREQ(name, "A");
    GetKeyNameTextA(static_cast<LONG>(keys[5].LParam), name, 79);
    EXPECT_STREQ(name, "Alt");
    EXPECT_TRUE(EventsOf(Lib.MsgKeyLL).empty()) << "kind 6 was not asked for";
}

TEST_F(Shook, LowLevelKindCarriesTheRawEvent) {
    ASSERT_TRUE(Lib.StartWatching(KindKeyLL));
    SendKey('A', 0x1E, 0);
    SendKey('A', 0x1E, KEYEVENTF_KEYUP);
    SendKey(VK_RCONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY);
    SendKey(VK_RCONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP);
    PumpUntil([] { return EventsOf(Lib.MsgKeyLL).size() >= 4; });
    AllInputPassed();
    const auto ll = EventsOf(Lib.MsgKeyLL);
    ASSERT_EQ(ll.size(), 4u);
    const WPARAM messages[] = {WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN, WM_KEYUP};
    const LPARAM data[] = {0x101E0041, 0x901E0041, 0x111D00A3, 0x911D00A3};  // injected, up, extended bits
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ll[i].WParam, messages[i]) << "event " << i;
        EXPECT_EQ(ll[i].LParam, data[i]) << "event " << i << std::hex << ": got " << ll[i].LParam;
    }
    EXPECT_TRUE(EventsOf(Lib.MsgKey).empty()) << "kind 1 was not asked for";
}

TEST_F(Shook, StoppingEndsDelivery) {
    struct Case {
        const char* what;
        std::function<void()> stop;
    };
    const Case cases[] = {
        {"StopWatching each kind",
         [] {
             Lib.StopWatching(KindKey);
             Lib.StopWatching(KindMouse);
         }},
        {"StopAll", [] { Lib.StopAll(); }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Lib.StartWatching(KindKey));
        ASSERT_TRUE(Lib.StartWatching(KindMouse));
        c.stop();
        EXPECT_FALSE(Lib.StillWatching()) << c.what;
        Events.clear();
        SendKey('A', 0x1E, 0);
        SendKey('A', 0x1E, KEYEVENTF_KEYUP);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
        AllInputPassed();
        EXPECT_TRUE(Events.empty()) << c.what << ": " << Events.size() << " events still arrived";
    }
}

int PassedOn = 0;
LRESULT CALLBACK CountingKeyboardProc(int Code, WPARAM wParam, LPARAM lParam) {
    if (Code == HC_ACTION && reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode != MarkerKey) ++PassedOn;
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}
LRESULT CALLBACK CountingMouseProc(int Code, WPARAM wParam, LPARAM lParam) {
    if (Code == HC_ACTION && wParam != WM_MOUSEMOVE) ++PassedOn;
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

TEST_F(Shook, PassesEveryEventOnToTheNextHook) {
    // Hooks set later run first: the library's hooks see each event before
    // these, so these count only what the library passed on.
    HHOOK keys = SetWindowsHookExA(WH_KEYBOARD_LL, CountingKeyboardProc, GetModuleHandleA(nullptr), 0);
    HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, CountingMouseProc, GetModuleHandleA(nullptr), 0);
    ASSERT_TRUE(keys && mouse);
    ASSERT_TRUE(Lib.StartWatching(KindKey));
    ASSERT_TRUE(Lib.StartWatching(KindKeyLL));
    ASSERT_TRUE(Lib.StartWatching(KindMouse));
    PassedOn = 0;
    SendKey('A', 0x1E, 0);
    SendKey('A', 0x1E, KEYEVENTF_KEYUP);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    PumpUntil([] { return PassedOn >= 4 && Events.size() >= 6; });
    AllInputPassed();
    EXPECT_EQ(PassedOn, 4) << "events the library held back";
    EXPECT_EQ(Events.size(), 6u) << "two key events of each key kind and two mouse events";
    UnhookWindowsHookEx(keys);
    UnhookWindowsHookEx(mouse);
}

TEST_F(Shook, ReportsMouseButtonsWithTheirPoint) {
    ASSERT_TRUE(SetCursorPos(123, 45));
    ASSERT_TRUE(PumpUntil([] {
        POINT pt{};
        return GetCursorPos(&pt) && pt.x == 123 && pt.y == 45;
    })) << "the pointer did not move";
    ASSERT_TRUE(Lib.StartWatching(KindMouse));
    const DWORD presses[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,     MOUSEEVENTF_MOVE,     MOUSEEVENTF_RIGHTDOWN,
                             MOUSEEVENTF_RIGHTUP,  MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, MOUSEEVENTF_WHEEL};
    for (DWORD p : presses) SendMouse(p);
    const std::vector<WPARAM> expected = {WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_RBUTTONDOWN,
                                          WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP};
    PumpUntil([&] { return Events.size() >= expected.size(); });
    AllInputPassed();
    std::vector<WPARAM> got;
    for (const auto& e : EventsOf(Lib.MsgMouse)) {
        got.push_back(e.WParam);
        EXPECT_EQ(static_cast<short>(LOWORD(e.LParam)), 123) << "x of message " << std::hex << e.WParam;
        EXPECT_EQ(static_cast<short>(HIWORD(e.LParam)), 45) << "y of message " << std::hex << e.WParam;
    }
    EXPECT_EQ(got, expected) << "button messages only, in order (no move, no wheel)";
    EXPECT_EQ(Events.size(), got.size());
}

TEST_F(Shook, SetReceiverRedirectsDelivery) {
    HWND second = MakeReceiver();
    ASSERT_TRUE(Lib.StartWatching(KindKey));
    Lib.SetReceiver(HandleToReceiver(second));
    // The records do not say which window took them, so the first receiver
    // goes away: nothing may be posted to it any more.
    DestroyWindow(Receiver);
    Receiver = second;
    SendKey('A', 0x1E, 0);
    SendKey('A', 0x1E, KEYEVENTF_KEYUP);
    EXPECT_TRUE(PumpUntil([] { return EventsOf(Lib.MsgKey).size() == 2; }))
        << "the new receiver got " << Events.size() << " events";
}

TEST_F(Shook, FreeingTheLibraryWhileWatchingRemovesItsHooks) {
    const int idle = ThreadCount();
    ASSERT_TRUE(Lib.StartWatching(KindKey));
    ASSERT_TRUE(Lib.StartWatching(KindMouse));
    ASSERT_TRUE(FreeLibrary(Lib.Module));
    Lib = TLibrary{};
    ASSERT_EQ(GetModuleHandleA(LibraryName), nullptr) << "the library is still loaded";
    EXPECT_TRUE(PumpUntil([&] { return ThreadCount() == idle; }))
        << "the hook thread outlived its library: " << ThreadCount() << " threads, " << idle << " before";
    SendKey('A', 0x1E, 0);
    SendKey('A', 0x1E, KEYEVENTF_KEYUP);
    AllInputPassed();
    EXPECT_TRUE(Events.empty()) << Events.size() << " events after the library was freed";

    // Windows would call a hook left behind into unmapped code; Wine maps
    // the library again for it, so that a left-over hook shows as a second
    // report of each event once the library is back and watching.
    LoadAndBind();
    ASSERT_NE(Lib.SetReceiver, nullptr);
    EXPECT_FALSE(Lib.StillWatching()) << "a reloaded library starts with nothing watched";
    Lib.SetReceiver(HandleToReceiver(Receiver));
    ASSERT_TRUE(Lib.StartWatching(KindKey));
    ASSERT_TRUE(Lib.StartWatching(KindMouse));
    SendKey('A', 0x1E, 0);
    SendKey('A', 0x1E, KEYEVENTF_KEYUP);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpUntil([] { return Events.size() >= 4; });
    AllInputPassed();
    EXPECT_EQ(EventsOf(Lib.MsgKey).size(), 2u) << "key reports for two key events";
    EXPECT_EQ(EventsOf(Lib.MsgMouse).size(), 2u) << "mouse reports for two button events";
}

TEST_F(Shook, OneHookThreadHoweverManyLoadsAndKinds) {
    const int idle = ThreadCount();
    HMODULE again = LoadLibraryA(LibraryName);
    ASSERT_EQ(again, Lib.Module);
    auto startAgain = ui::BindEntryPoint<TStartWatching>(again, StartWatchingName);
    struct Step {
        const char* what;
        std::function<void()> call;
        int threads;  // more than idle
    };
    const Step steps[] = {
        {"shell kind alone needs no thread", [] { Lib.StartWatching(KindShell); }, 0},
        {"keys", [] { Lib.StartWatching(KindKey); }, 1},
        {"mouse too", [] { Lib.StartWatching(KindMouse); }, 1},
        {"low-level keys through the second load", [&] { startAgain(KindKeyLL); }, 1},
        {"keys stopped, mouse and low-level left", [] { Lib.StopWatching(KindKey); }, 1},
        {"the last low-level kind stopped",
         [] {
             Lib.StopWatching(KindMouse);
             Lib.StopWatching(KindKeyLL);
         },
         0},
        {"keys again", [] { Lib.StartWatching(KindKey); }, 1},
        {"stop all", [] { Lib.StopAll(); }, 0},
    };
    for (const auto& s : steps) {
        s.call();
        EXPECT_EQ(ThreadCount(), idle + s.threads) << "after: " << s.what;
    }
    FreeLibrary(again);
}

TEST_F(Shook, KeysPassWhileTheReceiversThreadIsBlocked) {
    // Set before the library's hook: it counts what the library let through.
    TKeyProbe probe;
    ASSERT_TRUE(Lib.StartWatching(KindKey));
    TKeyProbe::Seen = 0;
    // Keys pressed by another thread while this one, which owns the
    // receiver, pumps nothing: the library's hook must pass them on at once.
    std::atomic<bool> injected{false};
    HANDLE presser = CreateThread(
        nullptr, 0,
        [](LPVOID Done) -> DWORD {
            for (int i = 0; i < 3; ++i) {
                SendKey('A', 0x1E, 0);
                SendKey('A', 0x1E, KEYEVENTF_KEYUP);
            }
            *static_cast<std::atomic<bool>*>(Done) = true;
            return 0;
        },
        &injected, 0, nullptr);
    ASSERT_NE(presser, nullptr);
    // Blocked, not pumping: only a deadline ends the wait.
    vsk::test::WaitUntil([] { return TKeyProbe::Seen >= 6; }, 1500);
    const int passedWhileBlocked = TKeyProbe::Seen;
    WaitForSingleObject(presser, 10000);
    CloseHandle(presser);
    EXPECT_EQ(passedWhileBlocked, 6) << "key events waited for the blocked thread";
    EXPECT_TRUE(injected);
    EXPECT_TRUE(PumpUntil([] { return EventsOf(Lib.MsgKey).size() == 6; }))
        << "the receiver got " << EventsOf(Lib.MsgKey).size() << " of 6 key reports once its thread pumped";
}

bool HasShellEvent(int Code, HWND Wnd) {
    for (const auto& e : EventsOf(Lib.MsgShell)) {
        if (e.LParam == Code && reinterpret_cast<HWND>(e.WParam) == Wnd) return true;
    }
    return false;
}

HWND WaitForWindow(const std::string& Title) {
    HWND wnd = nullptr;
    PumpUntil([&] { return (wnd = FindWindowA("VskHookHelper", Title.c_str())) != nullptr; }, 5000);
    return wnd;
}

TEST_F(Shook, ShellKindReportsWindowsOfAnotherProcess) {
    ASSERT_TRUE(Lib.StartWatching(KindShell));
    const std::string title = UniqueTitle("shell");
    THelper helper(title);
    HWND wnd = nullptr;
    PumpUntil(
        [&] {
            for (const auto& e : EventsOf(Lib.MsgShell)) {
                if (e.LParam == HSHELL_WINDOWCREATED && e.Title == title) wnd = reinterpret_cast<HWND>(e.WParam);
            }
            return wnd != nullptr;
        },
        5000);
    ASSERT_NE(wnd, nullptr) << "no MY_SHELL_EVENT code 1 for the helper's window";
    EXPECT_EQ(wnd, WaitForWindow(title));

    SetForegroundWindow(wnd);
    EXPECT_TRUE(PumpUntil([&] { return HasShellEvent(HSHELL_WINDOWACTIVATED, wnd); }))
        << "no MY_SHELL_EVENT code 4 for the helper's window";

    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return HasShellEvent(HSHELL_WINDOWDESTROYED, wnd); }))
        << "no MY_SHELL_EVENT code 2 for the helper's window";
    EXPECT_TRUE(helper.Ended(5000));
    for (const auto& e : EventsOf(Lib.MsgShell)) {
        EXPECT_TRUE(e.LParam >= 1 && e.LParam <= 4) << "shell code " << e.LParam << " is not one of 1-4";
    }

    ASSERT_TRUE(Lib.StopWatching(KindShell));
    // The helper has ended: what its hooks posted is queued already.
    Drain();
    Events.clear();
    const std::string unseen = UniqueTitle("unseen");
    THelper later(unseen);
    HWND laterWnd = WaitForWindow(unseen);
    ASSERT_NE(laterWnd, nullptr);
    SetForegroundWindow(laterWnd);
    PostMessageA(laterWnd, WM_CLOSE, 0, 0);
    // Its window made, activated and destroyed, and its process gone: any
    // report of all that would be queued here now.
    EXPECT_TRUE(later.Ended(5000));
    Drain();
    for (const auto& e : EventsOf(Lib.MsgShell)) {
        ADD_FAILURE() << "shell event after StopWatching(0): code " << e.LParam << " window '" << e.Title << "'";
    }
}

TEST_F(Shook, CloseQueryKindReportsSentAndPostedCloseCommands) {
    ASSERT_TRUE(Lib.StartWatching(KindCloseQuery));
    struct Case {
        const char* what;
        bool post;
    };
    for (const Case c : {Case{"sent", false}, Case{"posted", true}}) {
        const std::string title = UniqueTitle(c.what);
        THelper helper(title);
        HWND wnd = WaitForWindow(title);
        ASSERT_NE(wnd, nullptr) << c.what << ": the helper's window did not appear";
        Events.clear();
        if (c.post) {
            PostMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, 3000, &result);
        }
        EXPECT_TRUE(PumpUntil([] { return !EventsOf(Lib.MsgSysCommand).empty(); }))
            << c.what << ": no MY_SYSCOMMAND_EVENT";
        EXPECT_TRUE(helper.Ended(5000)) << c.what << ": the close request was not passed on";
        Drain();  // the helper has ended: a second report would be queued by now
        const auto closes = EventsOf(Lib.MsgSysCommand);
        ASSERT_EQ(closes.size(), 1u) << c.what << ": one report per request";
        EXPECT_EQ(reinterpret_cast<HWND>(closes[0].WParam), wnd) << c.what;
        EXPECT_EQ(closes[0].LParam, 0) << c.what;
    }

    ASSERT_TRUE(Lib.StopWatching(KindCloseQuery));
    const std::string title = UniqueTitle("after stop");
    THelper helper(title);
    HWND wnd = WaitForWindow(title);
    ASSERT_NE(wnd, nullptr);
    Events.clear();
    PostMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(helper.Ended(5000));
    Drain();
    EXPECT_TRUE(EventsOf(Lib.MsgSysCommand).empty()) << "close reports after StopWatching(8)";
}

}  // namespace
