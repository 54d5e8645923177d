#pragma once
// The layered-window functions of "user32.dll", bound by name once at
// start-up: a system without them leaves the bar menus opaque.
#include <windows.h>

namespace painters {

using TUpdateLayeredWindowFunc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
using TSetLayeredWindowAttributesFunc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Null when the entry point was not found.
extern TUpdateLayeredWindowFunc UpdateLayeredWindowFunc;
extern TSetLayeredWindowAttributesFunc SetLayeredWindowAttributesFunc;

// True when "SetLayeredWindowAttributes" was found.
bool LayeredWindowsAvailable();

// Binds the two entry points (done once at start-up; tests may bind again
// after changing the variables).
void BindLayeredWindows();

}  // namespace painters
