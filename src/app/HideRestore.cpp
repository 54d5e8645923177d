// The hide/restore toggle: hiding every visible window the do-not-hide list
// does not keep and bringing the chosen program to the front; restoring them
// all, bottom first, on the next use.
#include <windows.h>
#include <shellapi.h>

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "core/AudioUnit.h"
#include "core/HideRules.h"
#include "ui/Application.h"

using namespace ui;

TListView* HiddenWindowList = nullptr;

namespace {

std::vector<core::TExcludeEntry> EntriesOf(TListView* list) {
    std::vector<core::TExcludeEntry> out;
    for (int i = 0; i < list->Items()->Count(); ++i)
        if (auto* e = static_cast<core::TExcludeEntry*>(list->Items()->Item(i)->Data())) out.push_back(*e);
    return out;
}

core::TWinInfo* InfoAt(int i) { return static_cast<core::TWinInfo*>(HiddenWindowList->Items()->Item(i)->Data()); }

bool IsOwnWindow(HWND h) {
    return (h && h == core::OwnMainWindow()) || (h && h == core::OwnApplicationWindow());
}

void ActivateWindow(HWND h) {
    core::ForceForeground(h);
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
}

} // namespace

void TMainForm::btnHideAllClick(TObject*) {
    if (Application->Tag() == 0) return;
    if (HiddenWindowList) {
        core::RestoreSystemVolume(VolumeScale());
        RestoreHiddenWindows();
        TComponent::Free(HiddenWindowList);
        HiddenWindowList = nullptr;
        core::ReactivatePreviousWindow(cbCloseActiveWindow->Checked());
        RefreshAvailableWindows();
        return;
    }
    core::RememberActiveWindow();
    core::SaveSystemVolume(VolumeScale());
    core::ApplyDesiredVolume(VolumeScale());
    // No owner: it lives exactly as long as windows are hidden.
    HiddenWindowList = TComponent::Create<TListView>(nullptr);
    HiddenWindowList->SetVisible(false);
    HiddenWindowList->SetViewStyle(vsReport);
    HiddenWindowList->SetParent(this);
    HideAllWindows();
    BringProgramToTop();
}

void TMainForm::HideAllWindows() {
    core::FillWindowList(HiddenWindowList, true);
    if (HWND player = FindWindowA("WMPlayerApp", nullptr)) ShowWindow(player, SW_SHOWMINIMIZED);
    for (int i = 0; i < HiddenWindowList->Items()->Count(); ++i) HideWindowUnlessExcluded(*InfoAt(i));
}

void TMainForm::HideWindowUnlessExcluded(core::TWinInfo Info) {
    bool kept = false;
    if (IsOwnWindow(Info.Handle)) {
        if (Visible()) ToggleMainWindow(true);
        else kept = true;
    }
    if (!kept) kept = core::FindKeepingEntry(EntriesOf(ExcludeList), Info.Title, Info.ExePath) >= 0;
    if (!kept) core::HideWindow(Info.Handle);
}

void TMainForm::BringProgramToTop() {
    if (BringToTopList->Items()->Count() == 0) return;
    auto* entry = static_cast<core::TExcludeEntry*>(BringToTopList->Items()->Item(0)->Data());
    if (!entry) return;
    std::vector<core::TListedWindow> windows;
    for (int i = 0; i < HiddenWindowList->Items()->Count(); ++i) windows.push_back({InfoAt(i)->Title, InfoAt(i)->ExePath});
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
    TListItems* items = HiddenWindowList->Items();
    for (int i = items->Count() - 1; i >= 0; --i) {
        auto* info = static_cast<core::TWinInfo*>(items->Item(i)->Data());
        if (info) {
            if (!IsOwnWindow(info->Handle)) core::ShowHiddenWindow(info->Handle, info->ExStyle);
            else if (!MainForm->Visible()) ToggleMainWindow(false);
        }
        delete info;
        items->Item(i)->SetData(nullptr);
    }
}
