#include "painters/BcLayeredWindows.h"

#include "ui/EntryPoint.h"

namespace painters {

TUpdateLayeredWindowFunc UpdateLayeredWindowFunc = nullptr;
TSetLayeredWindowAttributesFunc SetLayeredWindowAttributesFunc = nullptr;

namespace {
bool gAvailable = false;

// Bound before the program's main block runs.
struct Binder {
    Binder() { BindLayeredWindows(); }
} gBinder;
}  // namespace

bool LayeredWindowsAvailable() { return gAvailable; }

void BindLayeredWindows() {
    gAvailable = false;
    UpdateLayeredWindowFunc = nullptr;
    SetLayeredWindowAttributesFunc = nullptr;
    HMODULE user32 = LoadLibraryA("user32.dll");
    if (!user32) return;
    UpdateLayeredWindowFunc = ui::BindEntryPoint<TUpdateLayeredWindowFunc>(user32, "UpdateLayeredWindow");
    SetLayeredWindowAttributesFunc =
        ui::BindEntryPoint<TSetLayeredWindowAttributesFunc>(user32, "SetLayeredWindowAttributes");
    // The window manager's library stays mapped in a GUI process, so the
    // entry points outlive this reference.
    FreeLibrary(user32);
    gAvailable = SetLayeredWindowAttributesFunc != nullptr;
}

}  // namespace painters
