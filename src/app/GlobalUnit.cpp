#include "app/GlobalUnit.h"

#include <windows.h>

#include "core/HiddenWindows.h"
#include "core/RegistryValues.h"

std::string AppDir;
std::string HelpDir;
std::string HelpFilePath;
std::string ExListFileName;
std::string BttListFileName;
std::string SettingsFileName;
std::string HiddenListFileName;
std::string AppTitle;
std::string AppPassword;

std::unique_ptr<core::TMouseShortcutInfo> HideWindowsShortcut;
std::unique_ptr<core::TMouseShortcutInfo> UnusedShortcut;
std::unique_ptr<core::TMouseShortcutInfo> ScreenSaverShortcut;
std::unique_ptr<core::TRC6> Cipher;

void GlobalUnitInitialization() {
    HideWindowsShortcut = std::make_unique<core::TMouseShortcutInfo>();
    UnusedShortcut = std::make_unique<core::TMouseShortcutInfo>();
    ScreenSaverShortcut = std::make_unique<core::TMouseShortcutInfo>();
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
    HiddenListFileName = core::HiddenRecordPath();
    AppPassword.clear();
    Cipher = std::make_unique<core::TRC6>();
    Cipher->SetKey(core::AppCipherKey);
}

void GlobalUnitFinalization() {
    Cipher.reset();
    HideWindowsShortcut.reset();
    UnusedShortcut.reset();
    ScreenSaverShortcut.reset();
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
