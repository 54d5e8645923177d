#pragma once
// Meets the "Application password" dialog from another thread or process:
// types the two entries, presses Ok, answers the message Ok may bring, and
// cancels the dialog when it is still open afterwards.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/DialogDriver.h"
#include "support/Wait.h"

namespace vsk::test {

struct PasswordDialogRun {
    bool found = false;
    DialogReport message;     // the message the Ok button gave (found false: none)
    bool closedByOk = false;  // the dialog was gone after Ok
};

// expectCaption: the caption of the message Ok should bring, or null.
inline PasswordDialogRun DrivePasswordDialog(const std::string& first, const std::string& second,
                                             const char* expectCaption, DWORD pid = GetCurrentProcessId()) {
    PasswordDialogRun run;
    HWND dlg = nullptr;
    if (!WaitUntil([&] {
            dlg = FindWindowA(nullptr, "Application password");
            DWORD owner = 0;
            GetWindowThreadProcessId(dlg, &owner);
            return dlg && owner == pid && IsWindowVisible(dlg);
        }))
        return run;
    run.found = true;
    std::vector<HWND> edits;
    HWND ok = nullptr;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        CharLowerA(cls);
        if (std::strstr(cls, "edit")) edits.push_back(c);
        if (detail::TextOf(c) == "Ok") ok = c;
    }
    DWORD_PTR ignored = 0;
    if (edits.size() != 2 || !ok) {
        PostMessageA(dlg, WM_CLOSE, 0, 0);  // never leave the owner waiting in the dialog
        return run;
    }
    SendMessageTimeoutA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(first.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    SendMessageTimeoutA(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(second.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    // Posted: Ok's handler may show a message and wait in it.
    PostMessageA(ok, BM_CLICK, 0, 0);
    if (expectCaption) {
        run.message = DriveDialog({expectCaption, "", "OK", pid, 3000});
        // Once the message is gone, a message the dialog answers comes
        // after Ok's handler: the dialog is open or closed for good then.
        WaitUntil([&] { return !run.message.window || !IsWindow(run.message.window); });
        SendMessageTimeoutA(dlg, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    } else {
        WaitUntil([&] { return !IsWindowVisible(dlg); });  // closes, or the test fails
    }
    run.closedByOk = !IsWindowVisible(dlg);
    if (!run.closedByOk) PostMessageA(dlg, WM_CLOSE, 0, 0);
    return run;
}

}  // namespace vsk::test
