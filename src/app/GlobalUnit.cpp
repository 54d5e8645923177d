#include "app/GlobalUnit.h"

#include <windows.h>

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
