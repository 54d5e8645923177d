#include "hook/Hooks.h"

#include <atomic>

#include "hook/HookData.h"
#include "hook/ShookApi.h"

namespace hook {

static_assert(LowLevelExtended == LLKHF_EXTENDED && LowLevelInjected == LLKHF_INJECTED &&
              LowLevelAltDown == LLKHF_ALTDOWN && LowLevelUp == LLKHF_UP);

// ---------------------------------------------------------------- state

namespace {

// Shared by every process that has the library loaded: what the global hooks
// need to reach the receiver from inside other programs.
struct TShared {
    LONG Receiver;
    UINT MsgShell;
    UINT MsgSysCommand;
};
volatile TShared Shared __attribute__((section(".shook"), shared)) = {0, 0, 0};

struct TMessages {
    UINT SysCommand = 0, Shell = 0, Key = 0, KeyLL = 0, Mouse = 0;
};

enum THook { hkKeyboard, hkMouse, hkShell, hkCbt, hkCallWnd, hkGetMsg, hkCount };

// This process's part. The exports may be called from any thread; the
// low-level hooks run on the library's own hook thread. Control is
// serialised by Lock; the hook procedures read only the atomics and the
// message numbers, which are set before any hook is.
struct TLocal {
    std::atomic<HWND> Receiver{nullptr};
    TMessages Msgs;
    std::atomic<unsigned> Kinds{0};  // bit k set while kind k is watched
    HHOOK Hooks[hkCount] = {};       // the low-level ones belong to the hook thread
    TKeyTracker Keys;                // hook thread only
};
TLocal Local;

// The low-level hooks are called on the thread that set them, through its
// message loop, and the system waits for them before it delivers the input
// anywhere. On a thread of the program's GUI every keystroke of the desktop
// would wait for whatever the program is doing, and Windows silently drops a
// hook that keeps it waiting. So they live on a thread of the library's own
// that does nothing else, started with the first low-level hook and ended
// with the last.
struct THookThread {
    HANDLE Thread = nullptr;
    DWORD Id = 0;
    HANDLE Done = nullptr;  // set by the thread when a command is carried out
    HANDLE Park = nullptr;  // never set: the thread waits on it when parked
    bool Result = false;    // of the last command
    unsigned Applied = 0;   // the low-level hooks the thread has set; ~0 when not known
};
THookThread Worker;
SRWLOCK Lock = SRWLOCK_INIT;

class TControlLock {
public:
    TControlLock() { AcquireSRWLockExclusive(&Lock); }
    ~TControlLock() { ReleaseSRWLockExclusive(&Lock); }
    TControlLock(const TControlLock&) = delete;
    TControlLock& operator=(const TControlLock&) = delete;
};

// Thread messages of the hook thread: WParam is the wanted set of low-level
// hooks (bits hkKeyboard, hkMouse); 0 ends the thread.
constexpr UINT WmApplyHooks = WM_APP + 1;
// A command not carried out in this time means the thread is gone astray;
// the caller is never held longer.
constexpr DWORD CommandTimeoutMs = 5000;

constexpr unsigned Bit(int Kind) { return 1u << Kind; }
constexpr unsigned GlobalKinds = Bit(KindShell) | Bit(KindCloseQuery);

bool IsKnownKind(int Kind) {
    return Kind == KindShell || Kind == KindKey || Kind == KindMouse || Kind == KindKeyLL || Kind == KindCloseQuery;
}

// The hooks a set of kinds needs.
unsigned HooksFor(unsigned Kinds) {
    unsigned hooks = 0;
    if (Kinds & (Bit(KindKey) | Bit(KindKeyLL))) hooks |= 1u << hkKeyboard;
    if (Kinds & Bit(KindMouse)) hooks |= 1u << hkMouse;
    if (Kinds & Bit(KindShell)) hooks |= (1u << hkShell) | (1u << hkCbt);
    if (Kinds & Bit(KindCloseQuery)) hooks |= (1u << hkCallWnd) | (1u << hkGetMsg);
    return hooks;
}

void RegisterMessages() {
    if (Local.Msgs.Shell != 0) return;
    Local.Msgs.SysCommand = RegisterWindowMessageA(MsgSysCommandName);
    Local.Msgs.Shell = RegisterWindowMessageA(MsgShellName);
    Local.Msgs.Key = RegisterWindowMessageA(MsgKeyName);
    Local.Msgs.KeyLL = RegisterWindowMessageA(MsgKeyLLName);
    Local.Msgs.Mouse = RegisterWindowMessageA(MsgMouseName);
}

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

HHOOK Install(THook Which) {
    switch (Which) {
    case hkKeyboard:
        // A fresh hook has seen no key go down.
        Local.Keys.Reset();
        return SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, ThisModule(), 0);
    case hkMouse: return SetWindowsHookExA(WH_MOUSE_LL, LowLevelMouseProc, ThisModule(), 0);
    case hkShell: return SetWindowsHookExA(WH_SHELL, ShellProc, ThisModule(), 0);
    case hkCbt: return SetWindowsHookExA(WH_CBT, CbtProc, ThisModule(), 0);
    case hkCallWnd: return SetWindowsHookExA(WH_CALLWNDPROC, CallWndProc, ThisModule(), 0);
    case hkGetMsg: return SetWindowsHookExA(WH_GETMESSAGE, GetMsgProc, ThisModule(), 0);
    case hkCount: break;
    }
    return nullptr;
}

constexpr unsigned LowLevelHooks = (1u << hkKeyboard) | (1u << hkMouse);

// Installs and removes the hooks of Hooks (bits of THook) until exactly the
// wanted ones are in place; answers false when one could not be set.
bool SetHooks(unsigned Hooks, unsigned Wanted) {
    bool ok = true;
    for (int h = 0; h < hkCount; ++h) {
        const unsigned bit = 1u << h;
        if (!(Hooks & bit)) continue;
        if ((Wanted & bit) && !Local.Hooks[h]) {
            Local.Hooks[h] = Install(static_cast<THook>(h));
            ok = ok && Local.Hooks[h] != nullptr;
        } else if (!(Wanted & bit) && Local.Hooks[h]) {
            UnhookWindowsHookEx(Local.Hooks[h]);
            Local.Hooks[h] = nullptr;
        }
    }
    return ok;
}

// ---------------------------------------------------------------- hook thread

// Second meaning of a command's LParam: unhook and stay parked inside the
// system, where the thread can be ended while the library is being unmapped.
constexpr LPARAM ParkAfterwards = 1;

DWORD WINAPI HookThreadMain(LPVOID) {
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue exists from here
    SetEvent(Worker.Done);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd != nullptr || msg.message != WmApplyHooks) {
            DispatchMessageA(&msg);
            continue;
        }
        const unsigned wanted = static_cast<unsigned>(msg.wParam);
        Worker.Result = SetHooks(LowLevelHooks, wanted);
        if (msg.lParam == ParkAfterwards) SignalObjectAndWait(Worker.Done, Worker.Park, INFINITE, FALSE);
        SetEvent(Worker.Done);
        if (wanted == 0) break;
    }
    SetHooks(LowLevelHooks, 0);
    return 0;
}

void CloseHookThreadHandles() {
    CloseHandle(Worker.Thread);
    CloseHandle(Worker.Done);
    CloseHandle(Worker.Park);
    Worker = THookThread{};
}

bool StartHookThread() {
    Worker.Done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    Worker.Park = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (Worker.Done && Worker.Park) Worker.Thread = CreateThread(nullptr, 0, HookThreadMain, nullptr, 0, &Worker.Id);
    if (Worker.Thread && WaitForSingleObject(Worker.Done, CommandTimeoutMs) == WAIT_OBJECT_0) return true;
    if (Worker.Thread) TerminateThread(Worker.Thread, 1);  // did not get going in time
    CloseHookThreadHandles();
    return false;
}

// Asks the hook thread for exactly the low-level hooks Wanted, starting the
// thread for the first and ending it with the last.
bool CommandHookThread(unsigned Wanted) {
    if (Wanted == Worker.Applied && (Worker.Thread != nullptr) == (Wanted != 0)) return true;
    if (!Worker.Thread && !StartHookThread()) return false;
    bool ok = PostThreadMessageA(Worker.Id, WmApplyHooks, Wanted, 0) &&
              WaitForSingleObject(Worker.Done, CommandTimeoutMs) == WAIT_OBJECT_0 && Worker.Result;
    if (Wanted == 0) {
        // Not from the loader's notification (see DetachHookThread): the
        // thread's exit needs the loader.
        WaitForSingleObject(Worker.Thread, CommandTimeoutMs);
        CloseHookThreadHandles();
        return ok;
    }
    // After a failure the thread may hold some of them: the next command
    // goes through whatever it asks for.
    Worker.Applied = ok ? Wanted : ~0u;
    return ok;
}

// The library is being unmapped while the thread runs (freed without
// stopping). The loader is held, so the thread cannot exit normally: it
// unhooks, parks inside the system's wait, and is ended there.
void DetachHookThread() {
    if (!Worker.Thread) return;
    if (PostThreadMessageA(Worker.Id, WmApplyHooks, 0, ParkAfterwards) &&
        WaitForSingleObject(Worker.Done, CommandTimeoutMs) == WAIT_OBJECT_0) {
        TerminateThread(Worker.Thread, 0);
        WaitForSingleObject(Worker.Thread, CommandTimeoutMs);
    }
    CloseHookThreadHandles();
}

// Installs and removes hooks until exactly those that Kinds needs are in
// place: the low-level ones on the hook thread, the global ones here (they
// run inside the processes whose windows they watch, not on this thread).
// Answers false, with nothing new left installed, when a hook could not be
// set.
bool ApplyHooks(unsigned Kinds) {
    const unsigned wanted = HooksFor(Kinds);
    if (!CommandHookThread(wanted & LowLevelHooks) || !SetHooks(~LowLevelHooks, wanted)) {
        const unsigned before = HooksFor(Local.Kinds);
        CommandHookThread(before & LowLevelHooks);
        SetHooks(~LowLevelHooks, before);
        return false;
    }
    return true;
}

// The global hooks post to whatever receiver the shared section names. This
// process takes it over while it watches a global kind, and gives it up
// afterwards unless another process has taken it since.
void PublishReceiver() {
    Shared.MsgShell = Local.Msgs.Shell;
    Shared.MsgSysCommand = Local.Msgs.SysCommand;
    InterlockedExchange(const_cast<LONG*>(&Shared.Receiver), static_cast<LONG>(HandleToReceiver(Local.Receiver)));
}

void WithdrawReceiver() {
    InterlockedCompareExchange(const_cast<LONG*>(&Shared.Receiver), 0,
                               static_cast<LONG>(HandleToReceiver(Local.Receiver)));
}

void SetKinds(unsigned Kinds) {
    const bool hadGlobal = (Local.Kinds & GlobalKinds) != 0;
    const bool hasGlobal = (Kinds & GlobalKinds) != 0;
    if (hasGlobal && !hadGlobal) PublishReceiver();
    if (hadGlobal && !hasGlobal) WithdrawReceiver();
    Local.Kinds = Kinds;
}

void Post(HWND Receiver, UINT Msg, WPARAM wParam, LPARAM lParam) {
    // A full queue loses the event; a hook cannot wait for room.
    if (Receiver && Msg) PostMessageA(Receiver, Msg, wParam, lParam);
}

void PostShared(UINT Msg, WPARAM wParam, LPARAM lParam) {
    Post(ReceiverToHandle(static_cast<uint32_t>(Shared.Receiver)), Msg, wParam, lParam);
}

// ---------------------------------------------------------------- events

void OnLowLevelKey(const TLowLevelKey& Key) {
    const uint32_t data = Local.Keys.Translate(Key);
    if (Local.Kinds & Bit(KindKey)) Post(Local.Receiver, Local.Msgs.Key, Key.VirtualKey, data);
    if (Local.Kinds & Bit(KindKeyLL)) Post(Local.Receiver, Local.Msgs.KeyLL, Key.Message, PackLowLevelKey(Key));
}

void OnMouseButton(UINT Message, POINT Pt) {
    if (Local.Kinds & Bit(KindMouse)) Post(Local.Receiver, Local.Msgs.Mouse, Message, PackPoint(Pt.x, Pt.y));
}

bool IsShellWindow(HWND Wnd) {
    return Wnd && !(GetWindowLongPtrA(Wnd, GWL_STYLE) & WS_CHILD) && !GetWindow(Wnd, GW_OWNER);
}

TLowLevelKey ToLowLevelKey(WPARAM Message, const KBDLLHOOKSTRUCT& In) {
    TLowLevelKey key;
    key.Message = static_cast<uint32_t>(Message);
    key.VirtualKey = In.vkCode;
    key.ScanCode = In.scanCode;
    key.Flags = static_cast<uint8_t>(In.flags);
    // Input injected by virtual key alone comes without a scan code, and the
    // program recognises modifiers and names keys by scan code.
    if (key.ScanCode == 0 && key.VirtualKey != 0) key.ScanCode = MapVirtualKeyA(key.VirtualKey, MAPVK_VK_TO_VSC);
    return key;
}

}  // namespace

// ---------------------------------------------------------------- hook procedures

LRESULT CALLBACK LowLevelKeyboardProc(int Code, WPARAM wParam, LPARAM lParam) {
    if (Code == HC_ACTION) OnLowLevelKey(ToLowLevelKey(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)));
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

LRESULT CALLBACK LowLevelMouseProc(int Code, WPARAM wParam, LPARAM lParam) {
    if (Code == HC_ACTION && IsMouseButtonMessage(static_cast<uint32_t>(wParam))) {
        OnMouseButton(static_cast<UINT>(wParam), reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt);
    }
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

// The four procedures below run in other processes as well as this one:
// they read only the shared section.

LRESULT CALLBACK ShellProc(int Code, WPARAM wParam, LPARAM lParam) {
    if (IsForwardedShellCode(Code)) PostShared(Shared.MsgShell, wParam, Code);
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

LRESULT CALLBACK CbtProc(int Code, WPARAM wParam, LPARAM lParam) {
    // Activation is taken from here, not from the shell hook, which Wine
    // never calls for it.
    if (Code == HCBT_ACTIVATE && IsShellWindow(reinterpret_cast<HWND>(wParam))) {
        PostShared(Shared.MsgShell, wParam, HSHELL_WINDOWACTIVATED);
    }
    // Whatever the next hook answers decides whether activation goes ahead.
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

LRESULT CALLBACK CallWndProc(int Code, WPARAM wParam, LPARAM lParam) {
    if (Code == HC_ACTION) {
        const auto& msg = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (IsCloseRequest(msg.message, msg.wParam)) {
            PostShared(Shared.MsgSysCommand, reinterpret_cast<WPARAM>(msg.hwnd), 0);
        }
    }
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

LRESULT CALLBACK GetMsgProc(int Code, WPARAM wParam, LPARAM lParam) {
    // Only when the message leaves the queue: a peek without removing it
    // would report it twice.
    if (Code == HC_ACTION && wParam == PM_REMOVE) {
        const auto& msg = *reinterpret_cast<const MSG*>(lParam);
        if (IsCloseRequest(msg.message, msg.wParam)) {
            PostShared(Shared.MsgSysCommand, reinterpret_cast<WPARAM>(msg.hwnd), 0);
        }
    }
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

// ---------------------------------------------------------------- control

bool StartKind(int Kind) {
    if (!IsKnownKind(Kind)) return false;
    TControlLock lock;
    RegisterMessages();
    const unsigned kinds = Local.Kinds | Bit(Kind);
    if (!ApplyHooks(kinds)) return false;
    SetKinds(kinds);
    return true;
}

bool StopKind(int Kind) {
    if (!IsKnownKind(Kind)) return false;
    TControlLock lock;
    const unsigned kinds = Local.Kinds & ~Bit(Kind);
    ApplyHooks(kinds);
    SetKinds(kinds);
    return true;
}

bool AnyKindWatched() { return Local.Kinds != 0; }

void StopAllKinds() {
    TControlLock lock;
    ApplyHooks(0);
    SetKinds(0);
}

void DetachFromProcess() {
    TControlLock lock;
    DetachHookThread();
    SetHooks(~LowLevelHooks, 0);
    SetKinds(0);
}

void SetReceiverWindow(HWND Receiver) {
    TControlLock lock;
    RegisterMessages();
    if (Local.Kinds & GlobalKinds) WithdrawReceiver();
    Local.Receiver = Receiver;
    if (Local.Kinds & GlobalKinds) PublishReceiver();
}

}  // namespace hook
