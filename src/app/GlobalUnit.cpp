#include "app/GlobalUnit.h"

#include <windows.h>

#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "core/RegistryValues.h"
#include "ui/Dialogs.h"

std::string AppDir;
std::string HelpDir;
std::string HelpFilePath;
std::string ExListFileName;
std::string BttListFileName;
std::string SettingsFileName;
std::string HiddenListFileName;
std::string AppTitle;
std::string AppPassword;

core::TMouseShortcutInfo* HideWindowsShortcut = nullptr;
core::TMouseShortcutInfo* UnusedShortcut = nullptr;
core::TMouseShortcutInfo* ScreenSaverShortcut = nullptr;
core::TRC6* Cipher = nullptr;

void GlobalUnitInitialization() {
    HideWindowsShortcut = new core::TMouseShortcutInfo;
    UnusedShortcut = new core::TMouseShortcutInfo;
    ScreenSaverShortcut = new core::TMouseShortcutInfo;
    AppTitle = "Tollamy - Veskara";
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    auto slash = exe.find_last_of('\\');
    AppDir = slash == std::string::npos ? std::string() : exe.substr(0, slash);
    HelpDir = AppDir + "\\help";
    HelpFilePath = HelpDir + "\\Help.chm";
    ExListFileName = AppDir + "\\" + "ExList.Dat";
    BttListFileName = AppDir + "\\" + "BttList.Dat";
    SettingsFileName = AppDir + "\\" + "vsk.dat";
    HiddenListFileName = AppDir + "\\" + "HiddenWnd.Dat";
    AppPassword.clear();
    Cipher = new core::TRC6;
    Cipher->SetKey(core::AppCipherKey);
}

void GlobalUnitFinalization() {
    delete Cipher;
    Cipher = nullptr;
    delete HideWindowsShortcut;
    delete UnusedShortcut;
    delete ScreenSaverShortcut;
    HideWindowsShortcut = UnusedShortcut = ScreenSaverShortcut = nullptr;
    AppDir.clear();
    HelpDir.clear();
    HelpFilePath.clear();
    ExListFileName.clear();
    BttListFileName.clear();
    SettingsFileName.clear();
    HiddenListFileName.clear();
    AppTitle.clear();
    AppPassword.clear();
}

namespace {
// Whether the prompt holds the password. A wrong password is said so; a
// failure of the check (a password too long to check among them) is shown
// instead, and counts as a wrong password.
bool TypedPasswordMatches() {
    try {
        if (core::PasswordMatches(AppPassword, FormMainAppPasswordPrompt->edPassword->Text())) return true;
        ui::MessageDlg("Invalid password\n\rPlease check your spelling and try again!", ui::mtError,
                       ui::TMsgDlgButtons{ui::mbOK}, 0);
    } catch (const std::exception& e) {
        ui::MessageDlg(e.what(), ui::mtError, ui::TMsgDlgButtons{ui::mbOK}, 0);
    }
    return false;
}
} // namespace

bool AskStartupPassword() {
    if (AppPassword.empty()) return true;
    // The edit keeps the last text typed between tries.
    for (;;) {
        if (FormMainAppPasswordPrompt->ShowModal() != ui::mrOk) return false;
        if (TypedPasswordMatches()) return true;
    }
}

namespace {
// Set while ToggleMainWindow asks for the password: the key that opened the
// prompt, pressed again or held, must not open it a second time.
bool PromptOpen = false;
} // namespace

void ToggleMainWindow(bool AskPassword) {
    if (PromptOpen || FormMainAppPasswordPrompt->Visible()) return;
    if (MainForm->Visible()) {
        MainForm->Hide();
        return;
    }
    if (!AppPassword.empty() && AskPassword) {
        PromptOpen = true;
        struct TClose {
            ~TClose() { PromptOpen = false; }
        } close;
        for (;;) {
            FormMainAppPasswordPrompt->edPassword->SetText("");
            if (FormMainAppPasswordPrompt->ShowModal() != ui::mrOk) return;  // stays hidden
            if (TypedPasswordMatches()) break;
        }
    }
    if (MainForm->AvailableWindowsStale) {
        MainForm->AvailableWindowsStale = false;
        MainForm->RefreshAvailableWindows();
    }
    MainForm->Show();
    // Shown to be used: a window the user had minimised comes back as it
    // was before, not as an icon.
    if (MainForm->WindowState() == ui::wsMinimized) MainForm->SetWindowState(ui::wsNormal);
}
