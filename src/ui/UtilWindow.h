#pragma once
// Hidden windows that hand every message to a method: the timer's window,
// receivers of messages posted from other modules.
#include <windows.h>

#include "ui/Control.h"
#include "ui/GdiGuards.h"

namespace ui {

// Creates a hidden top-level window whose messages all go to Method, which
// sets TMessage::Result itself and passes what it does not handle to
// DefWindowProcA with the returned handle. An exception leaving Method is
// handed to Application->HandleException.
HWND AllocateHWnd(TWndMethod Method);
// Destroys a window made by AllocateHWnd; Method is not called again.
void DeallocateHWnd(HWND Wnd);
// A window made by AllocateHWnd, deallocated at scope exit.
using TUtilWindow = ScopedHandle<HWND, DeallocateHWnd>;

}  // namespace ui
