// The settings file and the two registry values, read into the main
// window's controls and the program's globals, and written back.
#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <optional>

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/SettingsUnit.h"
#include "core/AudioUnit.h"
#include "core/DisplayModes.h"
#include "core/IniText.h"
#include "core/RegistryValues.h"
#include "core/Settings.h"
#include "core/WholeFiles.h"
#include "ui/Dialogs.h"
#include "ui/Exception.h"
#include "ui/IniFile.h"

using namespace ui;
using controls::TFlatCheckBox;

namespace {

// Set when the settings file exists but could not be read: the defaults are
// in use and the file is never saved over in this run.
bool SettingsFileUnreadable = false;
// Set when the password value exists but could not be read: it is never
// written over, unless the user sets a new password.
bool PasswordUnreadable = false;

// Our settings take well under a kilobyte. A file far larger is not ours to
// rewrite.
constexpr LONGLONG kMaxSettingsFileSize = 1 << 20;

// Whether the file can be read; a missing file can (it holds the defaults).
bool FileReadable(const std::string& path, std::string& why) {
    core::TFileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!f.Valid() || !GetFileSizeEx(f.Get(), &size)) {
        const DWORD err = GetLastError();
        if (!f.Valid() && (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)) return true;
        why = SysErrorMessage(err);
        return false;
    }
    if (size.QuadPart > kMaxSettingsFileSize) {
        why = "it is " + std::to_string(size.QuadPart) + " bytes long, far more than settings take";
        return false;
    }
    return true;
}

// The settings file: read through the class library's INI file, but only
// when the file is fit to read: the system reads a file it is handed whole,
// and once more when its cache is flushed (as the INI file does when it
// goes), so a file too large or unreadable never reaches it, and every read
// answers its default. Written into the file's text in memory, which Save
// puts in the place of the file whole, so that a failed write (a full disk)
// leaves the old file as it was.
class TIniSettingsStore : public core::TSettingsStore {
public:
    explicit TIniSettingsStore(const std::string& fileName) : fileName_(fileName) {
        std::string why;
        if (!SettingsFileUnreadable && FileReadable(fileName, why)) ini_.emplace(fileName);
    }
    std::string ReadString(const std::string& s, const std::string& k, const std::string& d) override {
        return ini_ ? ini_->ReadString(s, k, d) : d;
    }
    int ReadInteger(const std::string& s, const std::string& k, int d) override {
        return ini_ ? ini_->ReadInteger(s, k, d) : d;
    }
    bool ReadBool(const std::string& s, const std::string& k, bool d) override {
        return ini_ ? ini_->ReadBool(s, k, d) : d;
    }
    void WriteString(const std::string& s, const std::string& k, const std::string& v) override {
        Text().SetValue(s, k, IniQuoted(v));
    }
    void WriteInteger(const std::string& s, const std::string& k, int v) override {
        WriteString(s, k, std::to_string(v));
    }
    void WriteBool(const std::string& s, const std::string& k, bool v) override { WriteString(s, k, v ? "1" : "0"); }

    // Raises the INI-file error when the file cannot be replaced.
    void Save() {
        if (!text_) return;
        const std::string bytes = text_->Text();
        if (core::ReplaceFileWhole(fileName_, bytes.data(), bytes.size()) != ERROR_SUCCESS) Fail();
    }

private:
    [[noreturn]] void Fail() { throw EIniFileException("Unable to write to " + fileName_); }
    // The text as the file holds it now, read at the first write.
    core::TIniText& Text() {
        if (!text_) {
            std::string bytes;
            if (core::ReadFileWhole(fileName_, bytes, kMaxSettingsFileSize) != ERROR_SUCCESS) Fail();
            text_.emplace(bytes);
        }
        return *text_;
    }

    std::string fileName_;
    std::optional<TIniFile> ini_;  // none while the file is not fit to read
    std::optional<core::TIniText> text_;
};

void ShowOK(const std::string& text, TMsgDlgType type) { MessageDlg(text, type, TMsgDlgButtons{mbOK}, 0); }

void ReadCorner(const core::TCornerSettings& c, controls::TFlatSpeedButton* button, core::TMouseShortcutInfo& info) {
    button->SetDown(c.Enabled);
    info.ZoneSize = c.ZoneSize;
    info.HoverInterval = c.HoverInterval;
    info.HoverStart = 0;
    info.Corner = c.Corner;
}

core::TCornerSettings CornerOf(controls::TFlatSpeedButton* button, const core::TMouseShortcutInfo& info) {
    return {button->Down(), info.ZoneSize, info.HoverInterval, info.Corner};
}

}  // namespace

void SetCheckedSilently(TFlatCheckBox* Box, bool Value) {
    const TNotifyEvent handler = Box->OnClick;
    Box->OnClick = TNotifyEvent();
    Box->SetChecked(Value);
    Box->OnClick = handler;
}

void OpenHomePage() { ShellExecuteA(nullptr, "open", HomePageAddress, nullptr, nullptr, SW_SHOWNORMAL); }

void TMainForm::BuildSettingsControls() {
    cbAutoStart = MakeCheck(pnlGeneral, "cbAutoStart", "Automatically start when Windows starts", 8, 8, 300,
                            "Auto start the application. (Starts silently without appearing on screen)");
    cbAutoStart->OnClick = TNotifyEvent(this, &TMainForm::cbAutoStartClick);
    cbAppPassword = MakeCheck(pnlGeneral, "cbAppPassword", "Protect this application with password", 8, 29, 300,
                              "The application will request a password every time you try to start it or access "
                              "the settings.");
}

void TMainForm::LoadSoundSettings() {
    TIniSettingsStore store(SettingsFileName);
    const core::TSoundSettings sound = core::ReadSoundSettings(store);
    core::DesiredVolume = sound.Volume;
    core::DesiredMuted = sound.VolumeMuted;
    ShowDesiredVolume();
}

void TMainForm::LoadSettings() {
    std::string why;
    SettingsFileUnreadable = !FileReadable(SettingsFileName, why);
    if (SettingsFileUnreadable)
        ShowOK("The settings file " + SettingsFileName + " could not be read: " + why +
                   ".\n\rThe default settings are used, and the file is left as it is.",
               mtWarning);
    LoadSoundSettings();

    TIniSettingsStore store(SettingsFileName);
    const core::TSettings s = core::ReadSettings(store, core::FindCurrentDisplayMode());
    core::SelectedDisplayMode = s.Resolution;
    cbSwitchResolution->SetChecked(s.SwitchResolution);
    HideKeys.Show(s.WindowsKey);
    ProgramKeys.Show(s.AppKey);
    ReadCorner(s.WindowsCorner, btnMouseWinCtrl, *HideWindowsShortcut);
    ReadCorner(s.SSaverCorner, btnMouseSSaverCtrl, *ScreenSaverShortcut);

    AppPassword.clear();
    const core::TStoredPassword stored = core::ReadStoredPassword();
    PasswordUnreadable = !stored.Readable;
    if (stored.Readable)
        AppPassword = stored.Value;
    else
        ShowOK("The application password could not be read: " + stored.Error +
                   ".\n\rThe program starts without asking for it, and the stored password is left as it is.",
               mtWarning);
    SetCheckedSilently(cbAppPassword, !AppPassword.empty());
}

void TMainForm::SaveSettings() {
    // The password is written even when the file cannot be, and the file's
    // failure is raised after it, so the caller still stops.
    std::exception_ptr fileError;
    try {
        if (!SettingsFileUnreadable) {
            TIniSettingsStore store(SettingsFileName);
            core::WriteSoundSettings(store, {core::DesiredVolume, core::DesiredMuted});
            core::TSettings s;
            s.Resolution = core::SelectedDisplayMode;
            s.SwitchResolution = cbSwitchResolution->Checked();
            s.WindowsKey = HideKeys.Value();
            s.AppKey = ProgramKeys.Value();
            s.WindowsCorner = CornerOf(btnMouseWinCtrl, *HideWindowsShortcut);
            s.SSaverCorner = CornerOf(btnMouseSSaverCtrl, *ScreenSaverShortcut);
            core::WriteSettings(store, s);
            store.Save();
        }
    } catch (...) {
        fileError = std::current_exception();
    }

    if (!cbAppPassword->Checked()) AppPassword.clear();
    // A value that could not be read is not ours to erase.
    if (!PasswordUnreadable || !AppPassword.empty()) {
        try {
            // A clear-text password, newly set or from an older installation,
            // is stored as its hash from now on.
            std::string value = AppPassword;
            if (!value.empty() && !core::IsPasswordHash(value)) value = core::HashPassword(value);
            core::WriteStoredPassword(value);
            AppPassword = value;
            PasswordUnreadable = false;
        } catch (const std::exception& e) {
            ShowOK(std::string("The application password could not be saved: ") + e.what() +
                       ".\n\rThe password stored before is still in effect.",
                   mtError);
        }
    }
    if (fileError) std::rethrow_exception(fileError);
}

void TMainForm::cbAutoStartClick(TObject*) {
    // A mouse click runs OnClick twice: first on the release, with the old
    // state, while the box still tracks the mouse, then from the toggle.
    // Only the second one acts.
    if (cbAutoStart->Tracking()) return;
    try {
        core::SetAutoStart(cbAutoStart->Checked());
    } catch (const std::exception& e) {
        ShowOK(e.what(), mtError);
        SetCheckedSilently(cbAutoStart, core::IsAutoStartEnabled());
    }
}
