#pragma once
// The program's unit-level state: where its files are, its title, the
// application password and the mouse-corner shortcut objects.
#include <memory>
#include <string>

#include "core/MouseShortcut.h"
#include "core/RC6.h"
#include "ui/Application.h"

extern std::string AppDir;              // folder of the program file, no trailing backslash
extern std::string HelpDir;             // AppDir + "\help"
extern std::string HelpFilePath;        // HelpDir + "\Help.chm"
extern std::string ExListFileName;      // do-not-hide list file
extern std::string BttListFileName;     // bring-to-top list file
extern std::string SettingsFileName;    // the settings file "vsk.dat"
extern std::string HiddenListFileName;  // the record of hidden windows, in this user's application data
extern std::string AppTitle;            // application title and main window caption
extern std::string AppPassword;         // empty: no password; else as stored (a hash) or as typed

extern std::unique_ptr<core::TMouseShortcutInfo> HideWindowsShortcut;
extern std::unique_ptr<core::TMouseShortcutInfo> UnusedShortcut;  // made and freed with the others, never read
extern std::unique_ptr<core::TMouseShortcutInfo> ScreenSaverShortcut;
extern std::unique_ptr<core::TRC6> Cipher;  // keyed at start, never used on data

// The running gate: open once the start-up password is passed. While it is
// shut, keys, the Hide/Restore toggle and the mouse corners do nothing and
// the main window's end saves nothing. The application object's Tag holds it.
inline bool ProgramRunning() { return ui::Application->Tag() != 0; }
inline void SetProgramRunning(bool Running) { ui::Application->SetTag(Running ? 1 : 0); }

// Run once before the program entry, and once after it.
void GlobalUnitInitialization();
void GlobalUnitFinalization();
