#pragma once
// Compiled HTML help (".chm") behind the class library's help system: the
// HTML Help control library is loaded at run time and its viewer takes every
// help request of the application.
#include <windows.h>

namespace core {

using THtmlHelpProc = HWND(WINAPI*)(HWND Caller, LPCSTR File, UINT Command, DWORD_PTR Data);

// Loads the library (once per pairing with HtmlHelpFinalization) and
// registers the viewer, the selector that always picks it, and the tester
// that keeps the WinHelp viewer out. Without the library the viewer is
// registered all the same and warns once, at the first request for help,
// so that an autostart at logon is never held up by a message box.
void HtmlHelpInitialization(const char* LibraryName = "HHCTRL.OCX");
// Closes every help window of the program and unregisters the viewer. The
// library stays loaded until the process ends: help windows finish closing
// on their own threads after the close request returns.
void HtmlHelpFinalization();

// Replaces the bound HtmlHelpA (tests record the calls); returns the old one.
THtmlHelpProc SetHtmlHelpProc(THtmlHelpProc Proc);

}  // namespace core
