#pragma once
// The hooks behind shook.dll's exports, one set per watch kind:
//   0 (shell)        global WH_SHELL and WH_CBT hooks: created, destroyed and
//                    activate-shell-window from the shell hook, activation
//                    from HCBT_ACTIVATE of a top-level unowned window
//   1, 6 (keyboard)  one WH_KEYBOARD_LL hook on the library's hook thread
//   4 (mouse)        a WH_MOUSE_LL hook on the library's hook thread
//   8 (close query)  global WH_CALLWNDPROC and WH_GETMESSAGE hooks watching
//                    for WM_SYSCOMMAND with SC_CLOSE, sent or posted
// The global hooks run inside every process that has windows, so the receiver
// and the message numbers they need live in a section that all copies of the
// library share; the last process to start a global kind gets its events.
// Everything else is per process. The low-level hooks run on one thread of
// the library's own, with its own message loop, started with the first of
// them and ended with the last, so that no key or mouse event of the system
// waits for the program's GUI thread.
#include <windows.h>

#include <cstdint>

namespace hook {

bool StartKind(int Kind);
bool StopKind(int Kind);
bool AnyKindWatched();
void StopAllKinds();
// The library is unmapped while still watching: ends the hook thread
// without waiting for the loader, which the caller holds.
void DetachFromProcess();
void SetReceiverWindow(HWND Receiver);

// The hook procedures. They never hold an event back: each hands what it saw
// to the receiver and calls the next hook. Reachable for the benchmark.
LRESULT CALLBACK LowLevelKeyboardProc(int Code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelMouseProc(int Code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ShellProc(int Code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CbtProc(int Code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CallWndProc(int Code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GetMsgProc(int Code, WPARAM wParam, LPARAM lParam);

}  // namespace hook
