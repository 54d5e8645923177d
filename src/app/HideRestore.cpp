// The hide/restore toggle: hiding every visible window the do-not-hide list
// does not keep and bringing the chosen program to the front; restoring them
// all, bottom first, on the next use.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "app/GlobalUnit.h"
#include "app/ItemData.h"
#include "app/MainForm.h"
#include "core/AudioUnit.h"
#include "core/HiddenWindows.h"
#include "core/HideRules.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Exception.h"

using namespace ui;

TListView* HiddenWindowList = nullptr;

namespace {

core::TWinInfo* InfoAt(int i) { return DataOf<core::TWinInfo>(HiddenWindowList, i); }

// What the record of hidden windows keeps of a listed window.
core::THiddenWindow RecordOf(const core::TWinInfo& Info) {
    return {reinterpret_cast<std::uintptr_t>(Info.Handle), Info.ProcessId, Info.ThreadId, Info.ExStyle, 0};
}

// Why the record of the last hide could not be written (ERROR_SUCCESS: it
// was); the user hears of it once, when the windows are back.
DWORD RecordError = ERROR_SUCCESS;
bool RecordErrorTold = false;

void TellUnrecordedHide() {
    if (RecordError == ERROR_SUCCESS || RecordErrorTold) return;
    RecordErrorTold = true;
    MessageDlg("Veskara could not keep its record of the hidden windows in \"" + HiddenListFileName +
                   "\": " + SysErrorMessage(RecordError) +
                   "\nHad Veskara been ended by force while they were hidden, they would not have come back.",
               mtWarning, TMsgDlgButtons{mbOK}, 0);
}

bool IsOwnWindow(HWND h) { return (h && h == core::OwnMainWindow()) || (h && h == core::OwnApplicationWindow()); }

void ActivateWindow(HWND h) {
    core::ForceForeground(h);
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
}

}  // namespace

void TMainForm::btnHideAllClick(TObject*) {
    if (!ProgramRunning()) return;
    // What a person waits for comes first, the windows; the volume and the
    // hidden list's own window follow them.
    if (HiddenWindowList) {
        RestoreHiddenWindows();
        core::ReactivatePreviousWindow(cbCloseActiveWindow->Checked());
        core::RestoreSystemVolume(VolumeScale());
        TComponent::Free(HiddenWindowList);
        HiddenWindowList = nullptr;
        if (Visible())
            RefreshAvailableWindows();
        else
            AvailableWindowsStale = true;
        TellUnrecordedHide();
        return;
    }
    core::RememberActiveWindow();
    HideAllWindows();
    core::SaveSystemVolume(VolumeScale());
    // The sound joins the record before it changes: a next start puts it back.
    const core::TSavedVolumeState saved = core::GetSavedVolumeState();
    core::RecordSavedVolume({saved.HasVolume,
                             saved.HasMute,
                             saved.Muted,
                             {saved.Volume[0], saved.Volume[1]},
                             static_cast<uint16_t>(VolumeScale())});
    core::ApplyDesiredVolume(VolumeScale());
    BringProgramToTop();
}

namespace {
// One hide pass: the do-not-hide entries as they were when it began, and the
// windows whose hide it queued, for the style strips that follow them.
struct THidePass {
    std::vector<core::TExcludeEntry> Entries;
    std::vector<const core::TWinInfo*> Hidden;
};
THidePass* CurrentPass = nullptr;  // not owned; set while HideAllWindows runs
// How long the rest of a hide waits for the windows' threads to run their
// hides: a thread that does not answer hides its windows when it runs again.
constexpr DWORD kHidesWaitMs = 250;

// Makes HiddenWindowList, with an item for each of Windows.
void KeepHiddenWindows(TWinControl* Parent, const std::vector<core::TWinInfo>& Windows) {
    // No owner: it lives exactly as long as windows are hidden.
    HiddenWindowList = TComponent::Create<TListView>(nullptr);
    HiddenWindowList->SetVisible(false);
    HiddenWindowList->SetViewStyle(vsReport);
    HiddenWindowList->SetParent(Parent);
    core::AddWindowItems(HiddenWindowList, Windows);
}
}  // namespace

void TMainForm::HideAllWindows() {
    // Before the first window is hidden only what deciding and hiding need:
    // the program files (a walk of the process list each) only when an
    // entry keeps windows by program, and the hidden list's window and items
    // after the hiding.
    std::vector<core::TWinInfo> windows = core::ListWindows(true);
    THidePass pass{EntriesOf(ExcludeList), {}};
    const bool filesFirst = core::KeepsByProgram(pass.Entries);
    if (filesFirst) core::FindExePaths(windows);
    core::ForgetStrips();
    CurrentPass = &pass;
    // Queued to its thread, as its hide is after it.
    if (HWND player = FindWindowA("WMPlayerApp", nullptr)) ShowWindowAsync(player, SW_SHOWMINIMIZED);
    // Before the first window goes: from here on, a run that ends without
    // showing them leaves the next start a record of them.
    std::vector<core::THiddenWindow> record;
    for (const core::TWinInfo& info : windows) {
        if (!IsOwnWindow(info.Handle) && core::FindKeepingEntry(pass.Entries, info.Title, info.ExePath) < 0)
            record.push_back(RecordOf(info));
    }
    core::FindProcessCreationTimes(record);
    RecordError = core::WriteHiddenRecord(HiddenListFileName, record);
    // Each hide is queued to the window's thread, which hides its windows
    // itself: nothing waits for a thread, so a busy one is no special case.
    // Bottom first: a window hidden while it is the active one hands the
    // activation to the next, which would hand it on in turn, a round trip
    // between programs at every window; the active one, on top, goes last.
    try {
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) HideWindowUnlessExcluded(*it);
    } catch (...) {
        // Whatever was hidden stays listed, so that the restore shows it.
        CurrentPass = nullptr;
        core::StripStylesAfterHide(pass.Hidden);
        KeepHiddenWindows(this, windows);
        throw;
    }
    CurrentPass = nullptr;
    // Nothing but the hides until they are done: what follows asks the
    // window server a lot, and the hides wait for it. Then the style strips,
    // on threads of our own.
    core::WaitForQueuedHides(pass.Hidden, kHidesWaitMs);
    if (!filesFirst) core::FindExePaths(windows);
    KeepHiddenWindows(this, windows);
    core::StripStylesAfterHide(pass.Hidden);
}

void TMainForm::HideWindowUnlessExcluded(core::TWinInfo& Info) {
    std::optional<THidePass> alone;  // called outside a hide pass
    if (!CurrentPass) alone.emplace(THidePass{EntriesOf(ExcludeList), {}});
    THidePass& pass = CurrentPass ? *CurrentPass : *alone;
    bool kept = false;
    if (IsOwnWindow(Info.Handle)) {
        if (Visible())
            ToggleMainWindow(true);
        else
            kept = true;
    }
    if (!kept) kept = core::FindKeepingEntry(pass.Entries, Info.Title, Info.ExePath) >= 0;
    if (kept) return;
    Info.Hidden = true;
    core::HideWindowAsync(Info.Handle);
    pass.Hidden.push_back(&Info);
    if (alone) core::StripStylesAfterHide(alone->Hidden);
}

void TMainForm::BringProgramToTop() {
    if (BringToTopList->Items()->Count() == 0) return;
    auto* entry = DataOf<core::TExcludeEntry>(BringToTopList, 0);
    if (!entry) return;
    std::vector<core::TListedWindow> windows;
    for (int i = 0; i < HiddenWindowList->Items()->Count(); ++i)
        windows.push_back({InfoAt(i)->Title, InfoAt(i)->ExePath});
    int found = core::FindBringToTopWindow(*entry, windows);
    if (found >= 0) {
        ActivateWindow(InfoAt(found)->Handle);
        return;
    }
    std::string path = entry->Path();
    auto slash = path.find_last_of('\\');
    std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
    // A program that cannot be started is not reported.
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, dir.c_str(), SW_SHOW);
}

void RestoreHiddenWindows() {
    if (!HiddenWindowList) return;
    const int count = HiddenWindowList->Items()->Count();
    core::TAnswerCheck answers;
    core::TThreadWindows owners;
    std::vector<int> shown, waiting;  // bottom first
    std::vector<core::TStyleWrite> styles;
    for (int i = count - 1; i >= 0; --i) {
        core::TWinInfo* info = InfoAt(i);
        if (!info) continue;
        if (IsOwnWindow(info->Handle)) {
            shown.push_back(i);
        } else if (!info->Hidden || !owners.Owns(info->ThreadId, info->Handle)) {
            // Kept by a do-not-hide entry, gone, or another program's window
            // by now: none of the restore's business.
        } else if (!core::StripsDone(info->ThreadId)) {
            waiting.push_back(i);  // its thread still runs the hide's strips
        } else if (core::StyleStripped(info->ThreadId, info->Handle)) {
            // Whether its thread answers, the write of its style tells.
            styles.push_back({info->Handle, info->ExStyle, info->ThreadId});
            shown.push_back(i);
        } else if (answers.Answers(*info)) {
            shown.push_back(i);
        } else {
            waiting.push_back(i);
        }
    }
    // The styles go back before the windows are shown (the taskbar reads
    // the style when a window appears), each thread's beside the shows of
    // the others' windows; a thread that stops answering meanwhile has its
    // windows shown late.
    const core::TStyleRestore written(styles);
    std::vector<DWORD> slow;
    for (int i : shown) {
        core::TWinInfo* info = InfoAt(i);
        const auto isSlow = [&] { return std::find(slow.begin(), slow.end(), info->ThreadId) != slow.end(); };
        if (IsOwnWindow(info->Handle)) {
            if (!MainForm->Visible()) ToggleMainWindow(false);
        } else if (isSlow() ||
                   !written.WaitWritten(info->ThreadId, info->Handle, core::TAnswerCheck::AnswerTimeoutMs * 4)) {
            if (!isSlow()) slow.push_back(info->ThreadId);
            waiting.push_back(i);
        } else {
            written.Showing(info->ThreadId);
            core::ShowHiddenWindow(info->Handle, info->ExStyle, false);
            written.Showing(0);
        }
    }
    // After all the others; each shows when its thread runs again and goes
    // back to its place in the Z order.
    std::vector<core::THiddenWindow> left;  // what may still be hidden: what waits for its thread
    if (!waiting.empty()) {
        std::sort(waiting.begin(), waiting.end());  // topmost first
        auto order = std::make_shared<core::TZOrder>();
        for (int i = 0; i < count; ++i) {
            core::TWinInfo* info = InfoAt(i);
            order->Windows.push_back(info ? info->Handle : nullptr);
            order->Topmost.push_back(info && (info->ExStyle & WS_EX_TOPMOST) != 0);
        }
        std::vector<core::TLateWindow> late;
        for (int i : waiting) {
            core::TWinInfo* info = InfoAt(i);
            // Its style goes back by the writes started above, or when the
            // hide's strip took.
            late.push_back({static_cast<size_t>(i), info->ExStyle, false, info->ThreadId, true});
            left.push_back(RecordOf(*info));
        }
        core::ShowHiddenWindowsAsync(order, late);
    }
    core::KeepLateWindowsRecorded(HiddenListFileName, left);
    FreeItems<core::TWinInfo>(HiddenWindowList);
}
