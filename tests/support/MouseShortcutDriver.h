#pragma once
// Meets the "Mouse Shortcut" dialog from another thread or process: types
// the hover time and zone size into its spin edits, clicks a corner box and
// then one of its buttons.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/ChildWindows.h"
#include "support/DialogDriver.h"
#include "support/Wait.h"

namespace vsk::test {

// The child windows of a class, top to bottom and left to right.
inline std::vector<HWND> ChildrenOfClass(HWND parent, const char* cls) {
    std::vector<HWND> found = ChildWindows(parent, [cls](HWND h) { return ClassOf(h) == cls; });
    auto key = [](HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        return std::pair<LONG, LONG>(r.top, r.left);
    };
    std::sort(found.begin(), found.end(), [&](HWND a, HWND b) { return key(a) < key(b); });
    return found;
}

// Waits for the dialog (of process pid), types the hover time and zone
// size, clicks the corner box (0..3; -1 none) and then the button.
inline DialogReport EditMouseShortcutDialog(const char* hover, const char* zone, int corner, const char* button,
                                            DWORD pid = GetCurrentProcessId()) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] {
            dialog = FindWindowA("TMouseShortcutForm", "Mouse Shortcut");
            DWORD owner = 0;
            GetWindowThreadProcessId(dialog, &owner);
            return dialog && owner == pid;
        }))
        return {};
    // The boxes light (and so toggle) only in the active window and while
    // the real pointer is over them: a leave for a pointer elsewhere would
    // come between the press and the release. So the clicks wait for the
    // dialog to be active and put the pointer on the box first.
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    auto active = [&] {
        GUITHREADINFO gti{};
        gti.cbSize = sizeof gti;
        return GetGUIThreadInfo(thread, &gti) && gti.hwndActive == dialog;
    };
    WaitUntil(active);
    const std::vector<HWND> spins = ChildrenOfClass(dialog, "TFlatSpinEditInteger");
    const std::vector<HWND> boxes = ChildrenOfClass(dialog, "TFlatCheckBox");
    DWORD_PTR r;
    if (spins.size() == 2) {
        SendMessageTimeoutA(spins[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hover), SMTO_ABORTIFHUNG, 2000, &r);
        SendMessageTimeoutA(spins[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(zone), SMTO_ABORTIFHUNG, 2000, &r);
    }
    if (corner >= 0 && boxes.size() == 4) {
        HWND box = boxes[static_cast<size_t>(corner)];
        POINT at{5, 5};
        ClientToScreen(box, &at);
        SetCursorPos(at.x, at.y);
        WaitUntil(
            [&] {
                POINT now{};
                return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
            },
            2000);
        SendMessageTimeoutA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), SMTO_ABORTIFHUNG, 2000, &r);
        SendMessageTimeoutA(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5), SMTO_ABORTIFHUNG, 2000, &r);
        SendMessageTimeoutA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5), SMTO_ABORTIFHUNG, 2000, &r);
    }
    return DriveDialog({.caption = "Mouse Shortcut", .click = button, .pid = pid});
}

}  // namespace vsk::test
