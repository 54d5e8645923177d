// The settings file and the two registry values, through the real files and
// registry: what a start reads, what a save writes, and the failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "app/SettingsUnit.h"
#include "core/AudioUnit.h"
#include "core/DisplayModes.h"
#include "core/RegistryValues.h"
#include "core/StoredValues.h"
#include "support/RegistryTestUtil.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Exception.h"

using namespace ui;

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Every message dialog shown, answered with OK.
struct Messages {
    std::vector<MessageDlgCall> calls;
    TMessageDlgHook previous;
    Messages() {
        previous = SetMessageDlgHook([this](const MessageDlgCall& c) -> std::optional<int> {
            calls.push_back(c);
            return mrOk;
        });
    }
    ~Messages() { SetMessageDlgHook(previous); }
    std::string All() const {
        std::string s;
        for (const auto& c : calls) s += "[" + c.Msg + "] ";
        return s;
    }
};

std::string FileText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

std::string Ini(const char* section, const char* key, const std::string& path) {
    char buf[256] = {};
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, path.c_str());
    return buf;
}

using vsk::test::RegValue;

void SetRegString(const char* key, const char* name, const std::string& value) {
    ASSERT_TRUE(vsk::test::SetRegString(key, name, value)) << key;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalUnitInitialization();
        DeleteFileA(SettingsFileName.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Windows");
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VskTest");
    }
    void TearDown() override {
        Stop();
        SetFileAttributesA(SettingsFileName.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(SettingsFileName.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Windows");
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VskTest");
        core::AutoStartKeyName = kRunKey;
        GlobalUnitFinalization();
    }
    // Creates the main window as the program entry does (FormCreate loads).
    void Start() {
        SetProgramRunning(false);
        Application->CreateForm(MainForm);
        Application->CreateForm(FormMainAppPasswordPrompt);
        SetProgramRunning(true);
    }
    // Frees it: the destruction saves the settings.
    void Stop() {
        if (FormMainAppPasswordPrompt) TComponent::Free(FormMainAppPasswordPrompt);
        FormMainAppPasswordPrompt = nullptr;
        if (MainForm) TComponent::Free(MainForm);
        MainForm = nullptr;
        vsk::test::Drain();
    }
    void Restart() {
        Stop();
        Start();
    }
};

}  // namespace

TEST_F(SettingsTest, AFirstStartGivesTheDefaultsAndTheFirstSaveWritesThem) {
    Start();
    EXPECT_TRUE(MainForm->cbWinCtrl->Checked());
    EXPECT_FALSE(MainForm->cbWinAlt->Checked() || MainForm->cbWinShift->Checked() || MainForm->cbWinWin->Checked());
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "`");
    EXPECT_TRUE(MainForm->cbProgCtrl->Checked());
    EXPECT_FALSE(MainForm->cbProgAlt->Checked() || MainForm->cbProgShift->Checked() || MainForm->cbProgWin->Checked());
    EXPECT_EQ(MainForm->edHkProgramKey->Text(), "\\");
    EXPECT_FALSE(MainForm->btnMouseWinCtrl->Down());
    EXPECT_FALSE(MainForm->btnMouseSSaverCtrl->Down());
    for (auto [s, corner] : {std::pair{HideWindowsShortcut.get(), 0}, std::pair{ScreenSaverShortcut.get(), 1}}) {
        EXPECT_EQ(s->ZoneSize, 20);
        EXPECT_EQ(s->HoverInterval, 500);
        EXPECT_EQ(s->Corner, corner);
    }
    EXPECT_EQ(core::DesiredVolume, 65535);
    EXPECT_FALSE(core::DesiredMuted);
    EXPECT_EQ(core::SelectedDisplayMode, core::FindCurrentDisplayMode());
    EXPECT_FALSE(MainForm->cbSwitchResolution->Checked());
    EXPECT_TRUE(AppPassword.empty());
    EXPECT_FALSE(MainForm->cbAppPassword->Checked());

    Stop();
    EXPECT_EQ(Ini("Sounds", "Volume", SettingsFileName), "65535");
    EXPECT_EQ(Ini("HOTKEY_App", "Key", SettingsFileName), "\\");
    EXPECT_EQ(Ini("MouseShortcut_SSaver", "Corner", SettingsFileName), "1");
    EXPECT_EQ(RegValue(core::PasswordKeyName, core::PasswordValueName), (std::pair<DWORD, std::string>{REG_SZ, ""}));
}

TEST_F(SettingsTest, EveryKeySurvivesSaveAndLoad) {
    Start();
    core::DesiredVolume = 1234;
    core::DesiredMuted = true;
    core::SelectedDisplayMode = 2;
    MainForm->cbSwitchResolution->SetChecked(true);
    MainForm->cbWinCtrl->SetChecked(false);
    MainForm->cbWinShift->SetChecked(true);
    MainForm->cbWinWin->SetChecked(true);
    MainForm->edHkWindowsKey->SetText("F11");
    MainForm->cbProgAlt->SetChecked(true);
    MainForm->edHkProgramKey->SetText(" spaced key ");
    MainForm->btnMouseWinCtrl->SetDown(true);
    MainForm->btnMouseSSaverCtrl->SetDown(true);
    *HideWindowsShortcut = core::TMouseShortcutInfo();
    HideWindowsShortcut->ZoneSize = 7;
    HideWindowsShortcut->HoverInterval = -1;
    HideWindowsShortcut->Corner = 3;
    ScreenSaverShortcut->ZoneSize = 200;
    ScreenSaverShortcut->HoverInterval = 30000;
    ScreenSaverShortcut->Corner = 2;
    MainForm->SaveSettings();

    Restart();
    EXPECT_EQ(core::DesiredVolume, 1234);
    EXPECT_TRUE(core::DesiredMuted);
    EXPECT_EQ(core::SelectedDisplayMode, 2);
    EXPECT_TRUE(MainForm->cbSwitchResolution->Checked());
    EXPECT_FALSE(MainForm->cbWinCtrl->Checked());
    EXPECT_TRUE(MainForm->cbWinShift->Checked() && MainForm->cbWinWin->Checked());
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "F11");
    EXPECT_TRUE(MainForm->cbProgAlt->Checked() && MainForm->cbProgCtrl->Checked());
    EXPECT_EQ(MainForm->edHkProgramKey->Text(), " spaced key ");
    EXPECT_TRUE(MainForm->btnMouseWinCtrl->Down() && MainForm->btnMouseSSaverCtrl->Down());
    EXPECT_EQ(HideWindowsShortcut->ZoneSize, 7);
    EXPECT_EQ(HideWindowsShortcut->HoverInterval, -1);
    EXPECT_EQ(HideWindowsShortcut->Corner, 3);
    EXPECT_EQ(ScreenSaverShortcut->ZoneSize, 200);
    EXPECT_EQ(ScreenSaverShortcut->HoverInterval, 30000);
    EXPECT_EQ(ScreenSaverShortcut->Corner, 2);
}

TEST_F(SettingsTest, ValuesReadByTheFileRules) {
    WriteText(SettingsFileName,
              "[Sounds]\r\nVolume=65536\r\nVolumeMuted=2\r\n"
              "[HOTKEY_Windows]\r\nCtrl=abc\r\nAlt=2\r\nKey=" +
                  std::string(10000, 'k') +
                  "\r\n"
                  "[MouseShortcut_Windows]\r\nEnabled=-1\r\nZoneSize=x\r\nHoverInterval=$10\r\nCorner=257\r\n");
    Start();
    EXPECT_EQ(core::DesiredVolume, 0) << "65536 keeps its low 16 bits";
    EXPECT_TRUE(core::DesiredMuted) << "a Boolean 2 is true";
    EXPECT_TRUE(MainForm->cbWinCtrl->Checked()) << "a non-number reads as the default";
    EXPECT_TRUE(MainForm->cbWinAlt->Checked());
    EXPECT_EQ(MainForm->edHkWindowsKey->Text().size(), 10000u);
    EXPECT_TRUE(MainForm->btnMouseWinCtrl->Down());
    EXPECT_EQ(HideWindowsShortcut->ZoneSize, 20);
    EXPECT_EQ(HideWindowsShortcut->HoverInterval, 16);
    EXPECT_EQ(HideWindowsShortcut->Corner, 1) << "257 keeps its low 8 bits";
}

TEST_F(SettingsTest, BadFilesStartWithDefaultsWhereValuesAreUnusable) {
    std::string random(64 * 1024, '\0');
    uint32_t x = 12345;
    for (char& c : random) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    std::string huge = "[HOTKEY_App]\r\nKey=Z\r\n";
    while (huge.size() < (8u << 20))
        huge += "[S" + std::to_string(huge.size()) + "]\r\nKey=" + std::string(200, 'v') + "\r\n";
    struct Case {
        const char* what;
        std::string text;
        bool kept;  // left as it is by the save
    } cases[] = {{"random bytes", random, false}, {"an 8 MB file", huge, true}};
    for (const Case& c : cases) {
        WriteText(SettingsFileName, c.text);
        Messages shown;
        Start();
        EXPECT_EQ(MainForm->edHkProgramKey->Text(), "\\") << c.what;
        EXPECT_EQ(HideWindowsShortcut->ZoneSize, 20) << c.what;
        EXPECT_EQ(shown.calls.size(), c.kept ? 1u : 0u) << c.what << ": " << shown.All();
        EXPECT_NO_THROW(MainForm->SaveSettings()) << c.what;
        Stop();
        EXPECT_EQ(FileText(SettingsFileName) == c.text, c.kept) << c.what;
    }
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenFailsTheSaveAndTheCloseStaysOpen) {
    Start();
    MainForm->SaveSettings();
    // Held open by another program, without sharing.
    HANDLE lock = CreateFileA(SettingsFileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    core::DesiredVolume = 1000;  // the first key written, changed
    {
        Messages shown;  // answers the offer to end without saving with OK, not Yes
        MainForm->Close();
        ASSERT_EQ(shown.calls.size(), 1u) << shown.All();
        EXPECT_EQ(shown.calls[0].Msg.rfind("Unable to write to " + SettingsFileName + ".\n", 0), 0u) << shown.All();
    }
    CloseHandle(lock);
    EXPECT_TRUE(MainForm != nullptr && !Application->Terminated());
}

TEST_F(SettingsTest, AFullDiskFailsTheSaveAndLeavesTheOldFileWhole) {
    // A file system of 64 KB (see CMakeLists.txt), filled up but for what
    // the old file holds: a save that needs one more block than the file
    // had fails.
    const std::string dir = VSK_FULL_DISK_DIR;
    ULARGE_INTEGER freeBytes{}, totalBytes{};
    if (!GetDiskFreeSpaceExA((dir + "\\").c_str(), &freeBytes, &totalBytes, nullptr) ||
        totalBytes.QuadPart > (1u << 20))
        GTEST_SKIP() << "no small file system at " << dir << " (mounting one takes root)";
    SettingsFileName = dir + "\\vsk.dat";
    const std::string filler = dir + "\\filler";
    // Notes of the user's own that leave the file just short of one block.
    std::string text = "[HOTKEY_Windows]\r\nKey=F9\r\n[Notes]\r\nText=";
    text += std::string(4000 - text.size(), 'n') + "\r\n";
    WriteText(SettingsFileName, text);
    {
        HANDLE h = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        const std::string block(4096, 'f');
        DWORD written = 0;
        for (DWORD chunk : {4096u, 1u})
            while (WriteFile(h, block.data(), chunk, &written, nullptr) && written == chunk) {}
        CloseHandle(h);
    }
    struct RemoveFiller {
        std::string path;
        ~RemoveFiller() { DeleteFileA(path.c_str()); }
    } removeFiller{filler};

    Start();
    ASSERT_EQ(MainForm->edHkWindowsKey->Text(), "F9");
    MainForm->cbWinAlt->SetChecked(true);
    try {
        MainForm->SaveSettings();
        ADD_FAILURE() << "the save went through on a full disk";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + SettingsFileName);
    }
    EXPECT_EQ(FileText(SettingsFileName), text) << "the old file was not left whole";
    EXPECT_EQ(GetFileAttributesA((SettingsFileName + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the temporary file was left behind";

    DeleteFileA(filler.c_str());
    MainForm->SaveSettings();
    const std::string saved = FileText(SettingsFileName);
    EXPECT_NE(saved.find(text.substr(text.find("[Notes]"))), std::string::npos) << "the user's notes were lost";
    EXPECT_NE(saved.find("[HOTKEY_Windows]\r\nKey=F9\r\nShift=0\r\nCtrl=1\r\nAlt=1\r\nWin=0\r\n"), std::string::npos)
        << saved;
}

TEST_F(SettingsTest, AFileThatCouldNotBeReadIsNeverSavedOver) {
    const std::string text = "[HOTKEY_Windows]\r\nKey=F9\r\n";
    WriteText(SettingsFileName, text);
    HANDLE lock = CreateFileA(SettingsFileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Messages shown;
    Start();
    CloseHandle(lock);
    ASSERT_EQ(shown.calls.size(), 1u) << shown.All();
    EXPECT_NE(shown.calls[0].Msg.find("could not be read"), std::string::npos) << shown.All();
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "`") << "the defaults are used";
    MainForm->cbWinAlt->SetChecked(true);
    MainForm->SaveSettings();
    Stop();
    EXPECT_EQ(FileText(SettingsFileName), text);
}

TEST_F(SettingsTest, TheSystemKeyDerivationMatchesTheStandardVectors) {
    // PBKDF2-HMAC-SHA256 of "password" with the salt "salt".
    struct Case {
        uint32_t iterations;
        const char* hex;
    } cases[] = {{1, "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
                 {4096, "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> key = core::DerivePasswordKey("password", {'s', 'a', 'l', 't'}, c.iterations);
        std::string hex;
        for (uint8_t b : key) {
            char two[3];
            snprintf(two, sizeof two, "%02x", b);
            hex += two;
        }
        EXPECT_EQ(hex, c.hex) << c.iterations << " rounds";
    }
    const std::string a = core::HashPassword("Open Sesame"), b = core::HashPassword("Open Sesame");
    EXPECT_NE(a, b) << "each hash has its own salt";
    EXPECT_TRUE(core::PasswordMatches(a, "Open Sesame"));
    EXPECT_FALSE(core::PasswordMatches(a, "open sesame"));
    EXPECT_FALSE(core::PasswordMatches(a, "Open Sesame "));
    EXPECT_TRUE(core::PasswordMatches("legacy", "legacy"));
    EXPECT_FALSE(core::PasswordMatches("legacy", "Legacy"));
}

TEST_F(SettingsTest, AClearTextPasswordIsAcceptedAndStoredAsItsHash) {
    SetRegString(core::PasswordKeyName, core::PasswordValueName, "Open Sesame");
    Start();
    EXPECT_TRUE(MainForm->cbAppPassword->Checked());
    MainForm->SaveSettings();
    const std::string stored = RegValue(core::PasswordKeyName, core::PasswordValueName).second;
    EXPECT_TRUE(core::IsPasswordHash(stored)) << stored;
    EXPECT_TRUE(core::PasswordMatches(stored, "Open Sesame"));

    Restart();
    EXPECT_TRUE(MainForm->cbAppPassword->Checked());
    MainForm->SaveSettings();
    EXPECT_EQ(RegValue(core::PasswordKeyName, core::PasswordValueName).second, stored)
        << "a hash is written back as it is";

    SetCheckedSilently(MainForm->cbAppPassword, false);
    MainForm->SaveSettings();
    EXPECT_EQ(RegValue(core::PasswordKeyName, core::PasswordValueName).second, "") << "unticked forgets it";
    EXPECT_TRUE(AppPassword.empty());
}

TEST_F(SettingsTest, APasswordValueThatCannotBeReadIsNeverWrittenOver) {
    HKEY k;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, core::PasswordKeyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
        0);
    const DWORD number = 1234;
    RegSetValueExA(k, core::PasswordValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(k);
    Messages shown;
    Start();
    ASSERT_EQ(shown.calls.size(), 1u) << shown.All();
    EXPECT_NE(shown.calls[0].Msg.find("password could not be read"), std::string::npos) << shown.All();
    EXPECT_TRUE(AppPassword.empty());
    EXPECT_FALSE(MainForm->cbAppPassword->Checked());
    MainForm->SaveSettings();
    EXPECT_EQ(RegValue(core::PasswordKeyName, core::PasswordValueName).first, static_cast<DWORD>(REG_DWORD));

    // A password the user sets in this run is written.
    AppPassword = "new one";
    SetCheckedSilently(MainForm->cbAppPassword, true);
    MainForm->SaveSettings();
    EXPECT_TRUE(core::PasswordMatches(RegValue(core::PasswordKeyName, core::PasswordValueName).second, "new one"));
}

TEST_F(SettingsTest, AStoredPasswordTooCostlyToCheckIsUnreadableAndLeftAsItIs) {
    const std::string salt(32, 'a'), key(64, 'b');
    const std::string values[] = {std::string(core::PasswordHashMark) + "4294967295$" + salt + "$" + key,
                                  std::string(1000, 'p')};
    for (const std::string& value : values) {
        SetRegString(core::PasswordKeyName, core::PasswordValueName, value);
        Messages shown;
        Start();
        ASSERT_EQ(shown.calls.size(), 1u) << shown.All();
        EXPECT_NE(shown.calls[0].Msg.find("password could not be read"), std::string::npos) << shown.All();
        EXPECT_TRUE(AppPassword.empty());
        EXPECT_TRUE(AskStartupPassword()) << "the program asks for a password it cannot check";
        MainForm->SaveSettings();
        EXPECT_TRUE(RegValue(core::PasswordKeyName, core::PasswordValueName).second == value)
            << "the stored value was written over";
        Stop();
    }
}

TEST_F(SettingsTest, AFailedPasswordWriteIsReported) {
    // Below a volatile key no lasting key can be made.
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Windows", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &k, nullptr),
              0);
    RegCloseKey(k);
    Start();
    AppPassword = "pw";
    SetCheckedSilently(MainForm->cbAppPassword, true);
    Messages shown;
    MainForm->SaveSettings();
    ASSERT_EQ(shown.calls.size(), 1u) << shown.All();
    EXPECT_EQ(shown.calls[0].DlgType, mtError);
    EXPECT_NE(shown.calls[0].Msg.find("The application password could not be saved"), std::string::npos) << shown.All();
    SetCheckedSilently(MainForm->cbAppPassword, false);
    Stop();  // the empty value fails too: one more message, shown to the hook
}

TEST_F(SettingsTest, AutoStartWritesTheQuotedPathAndAStartRewritesIt) {
    struct RunValueGone {
        ~RunValueGone() {
            HKEY k;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
                RegDeleteValueA(k, core::AutoStartValueName);
                RegCloseKey(k);
            }
        }
    } cleanup;
    const std::string expected = "\"" + core::ProgramPath() + "\" /q";
    core::SetAutoStart(true);
    EXPECT_EQ(RegValue(kRunKey, core::AutoStartValueName).second, expected);
    EXPECT_TRUE(core::IsAutoStartEnabled());
    core::SetAutoStart(false);
    EXPECT_EQ(RegValue(kRunKey, core::AutoStartValueName).first, 0u);
    EXPECT_FALSE(core::IsAutoStartEnabled());
    EXPECT_NO_THROW(core::SetAutoStart(false)) << "nothing to delete is no failure";

    SetRegString(kRunKey, core::AutoStartValueName, "C:\\Old Place\\Veskara.exe /q");
    Start();
    EXPECT_TRUE(MainForm->cbAutoStart->Checked());
    EXPECT_EQ(RegValue(kRunKey, core::AutoStartValueName).second, expected);
}

TEST_F(SettingsTest, AutoStartMakesAMissingKeyAndAFailurePutsTheBoxBackOnce) {
    core::AutoStartKeyName = "Software\\VskTest\\Run";
    core::SetAutoStart(true);
    EXPECT_TRUE(core::IsAutoStartEnabled()) << "the missing key was not made";

    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VskTest\\Volatile", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &k, nullptr),
              0);
    RegCloseKey(k);
    core::AutoStartKeyName = "Software\\VskTest\\Volatile\\Run";
    Start();
    ASSERT_FALSE(MainForm->cbAutoStart->Checked());
    MainForm->Show();
    MainForm->MainPageControl->SetActivePage(MainForm->SheetOptions);
    ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));

    // A mouse click: press, the pointer over the box, release.
    Messages shown;
    controls::TFlatCheckBox* box = MainForm->cbAutoStart;
    box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    box->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 5));
    box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(6, 5));
    ASSERT_EQ(shown.calls.size(), 1u) << "one click, one message: " << shown.All();
    EXPECT_EQ(shown.calls[0].DlgType, mtError);
    EXPECT_FALSE(box->Checked()) << "the box is put back";
    EXPECT_FALSE(core::IsAutoStartEnabled());
}
