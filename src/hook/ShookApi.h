#pragma once
// The contract of the hook library "shook.dll": its five exports, the watch
// kinds, and the registered messages it posts to the receiver window with
// their parameters. The program loads the library at run time and binds the
// exports by name (ui::BindEntryPoint); the tests do the same.
#include <windows.h>

#include <cstdint>

#include "hook/KeyDataLayout.h"

namespace hook {

constexpr const char* LibraryName = "shook.dll";

// Watch kinds, the argument of StartWatching and StopWatching.
constexpr int KindShell = 0;       // MY_SHELL_EVENT
constexpr int KindKey = 1;         // MY_KEY_EVENT
constexpr int KindMouse = 4;       // MY_MOUSE_EVENT
constexpr int KindKeyLL = 6;       // MY_KEY_EVENT_LL
constexpr int KindCloseQuery = 8;  // MY_SYSCOMMAND_EVENT

// Registered message names.
//   MY_SYSCOMMAND_EVENT  WParam: the window asked to close (WM_SYSCOMMAND with
//                        SC_CLOSE); LParam: 0.
//   MY_SHELL_EVENT       WParam: the window; LParam: the shell code, 1 created,
//                        2 destroyed, 3 activate the shell window, 4 activated
//                        (a top-level unowned window).
//   MY_KEY_EVENT         WParam: the virtual key; LParam: key data in the
//                        keystroke layout (KeyDataLayout.h), one message per
//                        press, auto-repeat and release.
//   MY_KEY_EVENT_LL      WParam: WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or
//                        WM_SYSKEYUP; LParam: see PackLowLevelKey (HookData.h).
//   MY_MOUSE_EVENT       WParam: the button message (WM_LBUTTONDOWN, ...UP, the
//                        right, middle and X buttons); LParam: the screen
//                        point, x in the low word and y in the high word.
constexpr const char* MsgSysCommandName = "MY_SYSCOMMAND_EVENT";
constexpr const char* MsgShellName = "MY_SHELL_EVENT";
constexpr const char* MsgKeyName = "MY_KEY_EVENT";
constexpr const char* MsgKeyLLName = "MY_KEY_EVENT_LL";
constexpr const char* MsgMouseName = "MY_MOUSE_EVENT";

// The exports, all stdcall. The keyboard and mouse hooks run on a thread of
// the library's own, so the caller's thread may be busy or blocked without
// holding up any input; it gets the messages once it pumps again. Only
// SetReceiver may be missing from a library.
using TStartWatching = BOOL(WINAPI*)(int32_t Kind);  // TRUE when Kind is now watched
using TStopWatching = BOOL(WINAPI*)(int32_t Kind);   // FALSE for an unknown kind
using TStillWatching = BOOL(WINAPI*)();              // any kind still watched
using TStopAll = void(WINAPI*)();
using TSetReceiver = void(WINAPI*)(uint32_t Receiver);  // a window handle's 32 significant bits

constexpr const char* StartWatchingName = "StartWatching";
constexpr const char* StopWatchingName = "StopWatching";
constexpr const char* StillWatchingName = "StillWatching";
constexpr const char* StopAllName = "StopAll";
constexpr const char* SetReceiverName = "SetReceiver";

// Window handles are 32-bit values, sign-extended in 64-bit code.
inline uint32_t HandleToReceiver(HWND Wnd) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Wnd)); }
inline HWND ReceiverToHandle(uint32_t Receiver) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(Receiver)));
}

}  // namespace hook
