#include "hook/Hooks.h"

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

// This process's part; used only from the thread that calls the exports
// (where the low-level hooks also run), so it needs no lock.
struct TLocal {
    HWND Receiver = nullptr;
    TMessages Msgs;
    unsigned Kinds = 0;  // bit k set while kind k is watched
    HHOOK Hooks[hkCount] = {};
    TKeyTracker Keys;
};
TLocal Local;

constexpr unsigned Bit(int Kind) { return 1u << Kind; }
constexpr unsigned GlobalKinds = Bit(KindShell) | Bit(KindCloseQuery);

bool IsKnownKind(int Kind) {
    return Kind == KindShell || Kind == KindKey || Kind == KindMouse || Kind == KindKeyLL ||
           Kind == KindCloseQuery;
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

// Installs and removes hooks until exactly those that Kinds needs are in
// place. Answers false, with nothing new left installed, when a hook could
// not be set.
bool ApplyHooks(unsigned Kinds) {
    const unsigned wanted = HooksFor(Kinds);
    for (int h = 0; h < hkCount; ++h) {
        if (!(wanted & (1u << h)) || Local.Hooks[h]) continue;
        Local.Hooks[h] = Install(static_cast<THook>(h));
        if (!Local.Hooks[h]) {
            ApplyHooks(Local.Kinds);
            return false;
        }
    }
    for (int h = 0; h < hkCount; ++h) {
        if (!(wanted & (1u << h)) && Local.Hooks[h]) {
            UnhookWindowsHookEx(Local.Hooks[h]);
            Local.Hooks[h] = nullptr;
        }
    }
    return true;
}

// The global hooks post to whatever receiver the shared section names. This
// process takes it over while it watches a global kind, and gives it up
// afterwards unless another process has taken it since.
void PublishReceiver() {
    Shared.MsgShell = Local.Msgs.Shell;
    Shared.MsgSysCommand = Local.Msgs.SysCommand;
    InterlockedExchange(const_cast<LONG*>(&Shared.Receiver),
                        static_cast<LONG>(HandleToReceiver(Local.Receiver)));
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
    RegisterMessages();
    const unsigned kinds = Local.Kinds | Bit(Kind);
    if (!ApplyHooks(kinds)) return false;
    SetKinds(kinds);
    return true;
}

bool StopKind(int Kind) {
    if (!IsKnownKind(Kind)) return false;
    const unsigned kinds = Local.Kinds & ~Bit(Kind);
    ApplyHooks(kinds);
    SetKinds(kinds);
    return true;
}

bool AnyKindWatched() { return Local.Kinds != 0; }

void StopAllKinds() {
    ApplyHooks(0);
    SetKinds(0);
}

void SetReceiverWindow(HWND Receiver) {
    RegisterMessages();
    if (Local.Kinds & GlobalKinds) WithdrawReceiver();
    Local.Receiver = Receiver;
    if (Local.Kinds & GlobalKinds) PublishReceiver();
}

}  // namespace hook
