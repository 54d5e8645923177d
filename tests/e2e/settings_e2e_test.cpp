// The real program with its settings file and password value: the start-up
// prompt, what a start writes back, hot keys and corners read from the file,
// and files it cannot use.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <tuple>

#include "Veskara.h"
#include "core/RegistryValues.h"
#include "core/StoredValues.h"
#include "support/DialogDriver.h"
#include "support/FixtureWindows.h"
#include "support/MouseShortcutDriver.h"
#include "support/PasswordDialogDriver.h"
#include "support/RegistryTestUtil.h"

using e2e::AllVisible;
using e2e::Veskara;

namespace {

template <class Pred> bool WaitUntil(Pred cond, int ms = 8000) { return vsk::test::WaitUntil(cond, ms); }

const std::string kSettings = std::string(VSK_BIN_DIR) + "/vsk.dat";

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

std::string Ini(const char* section, const char* key) {
    char buf[512] = {};
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, kSettings.c_str());
    return buf;
}

// Runs a tick of every running timer of the program before it returns: a
// WM_TIMER sent to its timer windows (a stopped timer ignores it, as do the
// program's other hidden windows).
void Tick(const Veskara& v) {
    DWORD_PTR ignored;
    for (HWND h : v.Own("TVskUtilWindow")) SendMessageTimeoutA(h, WM_TIMER, 1, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

std::string StoredPassword() { return vsk::test::RegValue(core::PasswordKeyName, core::PasswordValueName).second; }

// Types into the visible password prompt of the process and presses a button.
bool AnswerPrompt(const Veskara& v, const std::string& text, const char* button) {
    // The prompt may show before its edit box exists, and its windows may
    // still be made anew while it opens: wait until the edit box has the
    // focus, as a person waits for the caret.
    HWND prompt = nullptr, edit = nullptr;
    if (!WaitUntil([&] {
            prompt = FindWindowA("TFormMainAppPasswordPrompt", "VSK");
            DWORD pid = 0;
            const DWORD thread = prompt ? GetWindowThreadProcessId(prompt, &pid) : 0;
            edit = prompt ? FindWindowExA(prompt, nullptr, "TEdit", nullptr) : nullptr;
            GUITHREADINFO gti{};
            gti.cbSize = sizeof gti;
            return prompt && pid == v.Pid() && IsWindowVisible(prompt) && edit && IsWindowVisible(edit) &&
                   GetGUIThreadInfo(thread, &gti) && gti.hwndFocus == edit;
        })) {
        ADD_FAILURE() << "no visible prompt with the focus in its edit box in process " << v.Pid();
        return false;
    }
    DWORD_PTR ignored;
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
    return vsk::test::DriveDialog({.caption = "VSK", .click = button, .pid = v.Pid()}).clicked;
}

bool ClickMessage(const Veskara& v, const std::string& text, DWORD timeoutMs = 10000) {
    vsk::test::DialogRequest req{.text = text, .click = "OK", .pid = v.Pid(), .timeoutMs = timeoutMs};
    const vsk::test::DialogReport r = vsk::test::DriveDialog(req);
    EXPECT_TRUE(r.clicked) << vsk::test::Describe(r);
    return r.clicked;
}

// Opens Extra Settings; the "Protect this application with password" box
// once the General panel shows it, or null.
HWND PasswordBox(HWND main) {
    e2e::PressAccelerator(main, 'e');  // &Extra Settings: the General panel is in front
    HWND box = e2e::ChildWithText(main, "Protect this application with password");
    const bool shown = box && WaitUntil([&] { return IsWindowVisible(box) != FALSE; });
    EXPECT_TRUE(shown) << "the General panel never showed";
    return shown ? box : nullptr;
}

class SettingsE2E : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        DeleteFileA(kSettings.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Windows");
    }
};

const char kInvalid[] = "Invalid password\n\rPlease check your spelling and try again!";

}  // namespace

TEST_F(SettingsE2E, APasswordIsAskedAtStartAndAWrongOneAsksAgain) {
    ASSERT_TRUE(vsk::test::SetRegString(core::PasswordKeyName, core::PasswordValueName, "Sesame"));
    Veskara v;
    ASSERT_TRUE(AnswerPrompt(v, "sesame", "&Ok"));
    ASSERT_TRUE(ClickMessage(v, kInvalid));
    HWND main = v.MainWindow();
    EXPECT_FALSE(main && IsWindowVisible(main)) << "the main window showed before the password";
    ASSERT_TRUE(AnswerPrompt(v, "Sesame", "&Ok")) << "no new prompt after the wrong password";
    EXPECT_TRUE(WaitUntil([&] {
        HWND m = v.MainWindow();
        return m && IsWindowVisible(m);
    }));
    EXPECT_EQ(StoredPassword(), "Sesame") << "nothing is saved before the close";

    PostMessageA(v.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(v.WaitExit(15000), 0u);
    const std::string stored = StoredPassword();
    EXPECT_EQ(stored.rfind(std::string(core::PasswordHashMark), 0), 0u) << stored;
    EXPECT_TRUE(core::PasswordMatches(stored, "Sesame"));

    // The hash is asked for the same way.
    Veskara again("/q");
    ASSERT_TRUE(AnswerPrompt(again, "Sesame", "&Ok"));
    EXPECT_TRUE(WaitUntil([&] { return again.MainWindow() != nullptr; }));
    EXPECT_EQ(StoredPassword(), stored);
}

TEST_F(SettingsE2E, APasswordSetInTheDialogIsAskedForAtTheNextStart) {
    Veskara v;
    HWND main = v.WaitMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; })) << "the main window never showed";
    HWND box = PasswordBox(main);
    ASSERT_TRUE(box);
    // "Set Password" is drawn on the panel, beside the password box.
    RECT r{};
    GetWindowRect(box, &r);
    POINT at{r.right + 20, (r.top + r.bottom) / 2};
    ScreenToClient(GetParent(box), &at);
    PostMessageA(GetParent(box), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(GetParent(box), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    const vsk::test::PasswordDialogRun run =
        vsk::test::DrivePasswordDialog("Open Sesame", "Open Sesame", nullptr, v.Pid());
    ASSERT_TRUE(run.found) << "no set-password dialog";
    ASSERT_TRUE(run.closedByOk) << "the dialog stayed open after two equal entries";
    EXPECT_EQ(StoredPassword(), "") << "the password is stored at the close, not before";

    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(v.WaitExit(15000), 0u);
    const std::string stored = StoredPassword();
    EXPECT_TRUE(core::PasswordMatches(stored, "Open Sesame")) << stored;

    Veskara again;
    ASSERT_TRUE(AnswerPrompt(again, "Open Sesame", "&Ok"));
    EXPECT_TRUE(WaitUntil([&] {
        HWND m = again.MainWindow();
        return m && IsWindowVisible(m);
    })) << "the right password did not let the program in";
}

TEST_F(SettingsE2E, CancelAtStartEndsAndWritesTheSettingsBackUnchanged) {
    const std::map<std::pair<std::string, std::string>, std::string> values = {
        {{"Sounds", "Volume"}, "4321"},
        {{"Sounds", "VolumeMuted"}, "1"},
        {{"Display", "Switch"}, "1"},
        {{"HOTKEY_Windows", "Alt"}, "1"},
        {{"HOTKEY_Windows", "Ctrl"}, "0"},
        {{"HOTKEY_Windows", "Key"}, "F7"},
        {{"HOTKEY_App", "Win"}, "1"},
        {{"HOTKEY_App", "Key"}, "Q"},
        {{"MouseShortcut_Windows", "Enabled"}, "1"},
        {{"MouseShortcut_Windows", "ZoneSize"}, "33"},
        {{"MouseShortcut_Windows", "HoverInterval"}, "700"},
        {{"MouseShortcut_Windows", "Corner"}, "2"},
        {{"MouseShortcut_SSaver", "Corner"}, "3"},
    };
    for (const auto& [key, value] : values)
        WritePrivateProfileStringA(key.first.c_str(), key.second.c_str(), value.c_str(), kSettings.c_str());
    ASSERT_TRUE(vsk::test::SetRegString(core::PasswordKeyName, core::PasswordValueName, "Sesame"));
    Veskara v("/q");
    ASSERT_TRUE(AnswerPrompt(v, "", "&Cancel"));
    EXPECT_EQ(v.WaitExit(15000), 0u);
    for (const auto& [key, value] : values)
        EXPECT_EQ(Ini(key.first.c_str(), key.second.c_str()), value) << key.first << "/" << key.second;
    const std::string stored = StoredPassword();
    EXPECT_TRUE(core::IsPasswordHash(stored)) << "the clear-text password is rewritten as its hash: " << stored;
    EXPECT_TRUE(core::PasswordMatches(stored, "Sesame"));
}

TEST_F(SettingsE2E, HotKeysAndTheCornerComeFromTheFile) {
    WriteText(kSettings, "[HOTKEY_Windows]\r\nShift=0\r\nCtrl=0\r\nAlt=0\r\nWin=0\r\nKey=F11\r\n"
                         "[MouseShortcut_Windows]\r\nEnabled=1\r\nZoneSize=20\r\nHoverInterval=500\r\nCorner=0\r\n");
    FixtureWindows w({"First|||", "Second|||"});
    SetCursorPos(640, 500);
    Veskara v("/q");
    ASSERT_TRUE(v.WaitMainWindow());
    ASSERT_TRUE(v.WaitIdle()) << "the hooks are in place once the message loop runs";
    ASSERT_TRUE(AllVisible(w, true));

    e2e::PressChord({VK_CONTROL, VK_OEM_3});
    // An ignored key changes nothing to wait for; the program's own hot key
    // after it (Ctrl+\ by default) does. The hook posts every key to one
    // queue, in order: once the program shows, the key before was handled.
    e2e::PressChord({VK_CONTROL, VK_OEM_5});
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(v.MainWindow()) != FALSE; })) << "Ctrl+\\ did not show";
    EXPECT_TRUE(AllVisible(w, true)) << "the default hot key must be gone";
    e2e::PressChord({VK_CONTROL, VK_OEM_5});
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(v.MainWindow()) == FALSE; })) << "Ctrl+\\ did not hide";
    e2e::PressChord({VK_F11});
    EXPECT_TRUE(WaitUntil([&] { return AllVisible(w, false); })) << "F11 from the file did not hide";
    e2e::PressChord({VK_F11});
    ASSERT_TRUE(WaitUntil([&] { return AllVisible(w, true); })) << "F11 did not restore";

    // The corner: the pointer resting at the top left hides after the hover time.
    SetCursorPos(0, 0);
    EXPECT_TRUE(WaitUntil([&] { return AllVisible(w, false); })) << "the corner did not hide";
    e2e::PressChord({VK_F11});
    ASSERT_TRUE(WaitUntil([&] { return AllVisible(w, true); })) << "the hot key did not restore";
    // Several ticks with the pointer resting in the corner for longer than
    // the hover time (500 ms), also counted from the restore, so that a
    // count started again there would show: the time is the state here. That
    // the program then does nothing has no state to wait for, so the ticks
    // are made to come.
    Sleep(600);
    for (int i = 0; i < 3; ++i) Tick(v);
    EXPECT_TRUE(AllVisible(w, true)) << "the resting pointer hid the windows again";
    // Out and back in: the corner acts again. The program notices the
    // pointer has left only on a tick, and shows nothing when it does.
    SetCursorPos(640, 500);
    Tick(v);
    SetCursorPos(0, 0);
    EXPECT_TRUE(WaitUntil([&] { return AllVisible(w, false); })) << "the corner did not act after leaving";
    e2e::PressChord({VK_F11});
    EXPECT_TRUE(WaitUntil([&] { return AllVisible(w, true); }));
    SetCursorPos(640, 500);
}

TEST_F(SettingsE2E, BadSettingsFilesNeverStopTheProgram) {
    std::string random(256 * 1024, '\0');
    uint32_t x = 99;
    for (char& c : random) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    std::string huge;
    while (huge.size() < (4u << 20))
        huge += "[H" + std::to_string(huge.size()) + "]\r\nKey=" + std::string(100, 'h') + "\r\n";
    std::string longValues;
    for (const char* s : {"Sounds", "Display", "HOTKEY_Windows", "HOTKEY_App", "MouseShortcut_Windows"})
        for (const char* k : {"Volume", "Resolution", "Key", "Ctrl", "ZoneSize", "Corner"})
            longValues += std::string("[") + s + "]\r\n" + k + "=" + std::string(10000, '7') + "\r\n";
    struct Case {
        const char* what;
        std::string text;
        bool warns;
        LONGLONG size = 0;  // the text, then zeros up to this size
    } cases[] = {{"random bytes", random, false},
                 {"a huge file", huge, true},
                 {"10,000-character values", longValues, false},
                 // A file once read whole by the system took a minute and gigabytes.
                 {"a 1 GB file", "[Sounds]\r\nVolume=1\r\n", true, 1LL << 30}};
    auto stamp = [] {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        GetFileAttributesExA(kSettings.c_str(), GetFileExInfoStandard, &a);
        return std::make_tuple(a.nFileSizeHigh, a.nFileSizeLow, a.ftLastWriteTime.dwHighDateTime,
                               a.ftLastWriteTime.dwLowDateTime);
    };
    // A sparse file, quick to make.
    auto extend = [](LONGLONG size) {
        HANDLE h = CreateFileA(kSettings.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER at{};
        at.QuadPart = size;
        const bool done = h != INVALID_HANDLE_VALUE && SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        return done;
    };
    // The peak is read until the program has ended, so that the close counts too.
    auto peakUntilEnd = [](const Veskara& v) {
        SIZE_T peak = 0;
        WaitUntil(
            [&] {
                peak = std::max(peak, v.PeakMemory());
                return v.WaitExit(0) != STILL_ACTIVE;
            },
            15000);
        return peak;
    };
    // Bounds for a loaded machine: a good start takes well under a second.
    constexpr int kStartMs = 10000;
    constexpr SIZE_T kMemory = 100u << 20;
    for (const Case& c : cases) {
        WriteText(kSettings, c.text);
        ASSERT_TRUE(c.size == 0 || extend(c.size));
        const auto before = stamp();
        const ULONGLONG start = GetTickCount64();
        Veskara v("/q");
        if (c.warns) ClickMessage(v, "could not be read", kStartMs);
        const int left = kStartMs - static_cast<int>(GetTickCount64() - start);
        ASSERT_TRUE(v.WaitMainWindow(std::max(left, 0))) << c.what;
        EXPECT_TRUE(v.WaitIdle()) << c.what << ": start-up never ended";
        EXPECT_EQ(v.WaitExit(0), static_cast<DWORD>(STILL_ACTIVE)) << c.what << ": the program ended";
        PostMessageA(v.MainWindow(), WM_CLOSE, 0, 0);
        EXPECT_LT(peakUntilEnd(v), kMemory) << c.what;
        EXPECT_EQ(v.WaitExit(0), 0u) << c.what;
        if (c.warns) {
            EXPECT_TRUE(before == stamp()) << c.what << ": a file left as it is was rewritten";
        }
    }

    // A file that grows too large while the program runs: the save at the
    // close fails and asks, without the file being read.
    WriteText(kSettings, "[Sounds]\r\nVolume=1\r\n");
    Veskara v("/q");
    ASSERT_TRUE(v.WaitMainWindow());
    ASSERT_TRUE(v.WaitIdle());
    ASSERT_TRUE(extend(1LL << 30));
    const auto before = stamp();
    PostMessageA(v.MainWindow(), WM_CLOSE, 0, 0);
    vsk::test::DialogRequest req;
    req.text = "Unable to write to";
    req.click = "&Yes";
    req.pid = v.Pid();
    req.timeoutMs = kStartMs;
    const vsk::test::DialogReport r = vsk::test::DriveDialog(req);
    EXPECT_TRUE(r.clicked) << vsk::test::Describe(r);
    EXPECT_LT(peakUntilEnd(v), kMemory);
    EXPECT_EQ(v.WaitExit(0), 0u);
    EXPECT_TRUE(before == stamp()) << "the grown file was rewritten";
}
namespace {

// Clicks the corner button of a hot-key group of the main window as the
// mouse would: the press and release go to the group box under the button.
bool ClickCornerButton(HWND main, const char* caption) {
    HWND group = nullptr;
    if (!WaitUntil([&] {
            for (HWND h : vsk::test::ChildrenOfClass(main, "TGroupBox")) {
                char text[128] = {};
                GetWindowTextA(h, text, sizeof text);
                if (std::string(text) == caption) group = h;
            }
            return group != nullptr;
        }))
        return false;
    PostMessageA(group, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(318, 26));
    PostMessageA(group, WM_LBUTTONUP, 0, MAKELPARAM(318, 26));
    return true;
}

}  // namespace

TEST_F(SettingsE2E, TheCornerDialogFromTheToggleButtonEditsTheCornerAndCancelPutsItUp) {
    Veskara v("/q");
    HWND main = v.WaitMainWindow();
    ASSERT_TRUE(main);
    // The dialog is gone once the program answers again; until then the
    // next one's values would go to it.
    auto gone = [] { return WaitUntil([] { return !FindWindowA("TMouseShortcutForm", "Mouse Shortcut"); }); };
    ASSERT_TRUE(ClickCornerButton(main, "Hide/Restore windows hot key"));
    vsk::test::DialogReport r = vsk::test::EditMouseShortcutDialog("1500", "44", 2, "Ok", v.Pid());
    ASSERT_TRUE(r.clicked) << vsk::test::Describe(r);
    ASSERT_TRUE(gone());
    ASSERT_TRUE(ClickCornerButton(main, "Start Screen saver"));
    r = vsk::test::EditMouseShortcutDialog("2500", "66", 3, "Cancel", v.Pid());
    ASSERT_TRUE(r.clicked) << vsk::test::Describe(r);
    ASSERT_TRUE(gone());
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(v.WaitExit(15000), 0u);

    EXPECT_EQ(Ini("MouseShortcut_Windows", "Enabled"), "1");
    EXPECT_EQ(Ini("MouseShortcut_Windows", "HoverInterval"), "1500");
    EXPECT_EQ(Ini("MouseShortcut_Windows", "ZoneSize"), "44");
    EXPECT_EQ(Ini("MouseShortcut_Windows", "Corner"), "2");
    EXPECT_EQ(Ini("MouseShortcut_SSaver", "Enabled"), "0") << "Cancel must put the button up";
    EXPECT_EQ(Ini("MouseShortcut_SSaver", "HoverInterval"), "500");
    EXPECT_EQ(Ini("MouseShortcut_SSaver", "Corner"), "1");
}

namespace {

// The window that has the keyboard focus in the program's thread, or null.
HWND FocusOf(HWND main) {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    return GetGUIThreadInfo(thread, &gti) ? gti.hwndFocus : nullptr;
}

// Whether h is the window in front and the keyboard focus is in it.
bool InFrontWithTheFocus(HWND h) {
    const HWND focus = FocusOf(h);
    return GetForegroundWindow() == h && (focus == h || IsChild(h, focus));
}

// Whether the user sees the window: shown, and not covered at its middle by
// another window that is not its own part.
bool SeenByUser(HWND h) {
    if (!h || !IsWindowVisible(h)) return false;
    RECT r{};
    GetWindowRect(h, &r);
    const HWND top = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    return top == h || IsChild(h, top);
}

std::string TextOf(HWND h) {
    char text[64] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
    return text;
}

// The child window of parent whose text, as the window itself answers it,
// is text: an edit box keeps its text to itself.
HWND ChildAnswering(HWND parent, const std::string& text) {
    return vsk::test::ChildWindow(parent, [&](HWND h) { return TextOf(h) == text; });
}

// The program's main window once it shows in front, start-up over; null
// (with the failure said) when it does not.
HWND ShownInFront(const Veskara& v) {
    HWND main = v.WaitMainWindow();
    const bool shown = main && WaitUntil([&] { return IsWindowVisible(main) != FALSE; });
    EXPECT_TRUE(shown) << "the main window never showed";
    if (!shown || !v.WaitIdle()) return nullptr;
    SetForegroundWindow(main);
    // In front with the keyboard focus in it, or the keys pressed next may
    // reach nothing.
    const bool front = WaitUntil([&] { return InFrontWithTheFocus(main); });
    EXPECT_TRUE(front) << "the window is not in front";
    return front ? main : nullptr;
}

// Waits until the program's window of class cls is in front with the
// keyboard focus in it, so that the keys pressed next reach it; null (with
// the failure said) when it does not come. Whether a new window takes the
// activation is the window manager's business, not the dialog's: one shown
// behind is brought to the front.
HWND InFrontWithFocus(const Veskara& v, const char* cls) {
    HWND h = nullptr;
    const bool ok = WaitUntil([&] {
        h = v.FindOwn(cls);
        if (!h || !IsWindowVisible(h)) return false;
        if (GetForegroundWindow() != h) SetForegroundWindow(h);
        return InFrontWithTheFocus(h);
    });
    EXPECT_TRUE(ok) << cls << " is not in front";
    return ok ? h : nullptr;
}

}  // namespace

TEST_F(SettingsE2E, TheKeyboardAloneNeverChangesAHotKey) {
    Veskara v;
    HWND main = ShownInFront(v);
    ASSERT_TRUE(main);

    // The three hot-key fields, by the keys they show at first.
    const HWND keyFields[] = {ChildAnswering(main, "`"), ChildAnswering(main, "\\"), ChildAnswering(main, "F12")};
    for (HWND f : keyFields) ASSERT_TRUE(f) << "a hot-key field is missing";
    const HWND general = GetParent(e2e::ChildWithText(main, "Protect this application with password"));
    ASSERT_TRUE(general);
    const HWND page = GetParent(general);

    // Each step's keys, then the focus must be where the user sees it.
    auto press = [&](const std::vector<WORD>& keys, const std::string& what) {
        const HWND before = FocusOf(main);
        e2e::PressChord(keys);
        WaitUntil([&] { return FocusOf(main) != before; }, 500);  // the key may leave the focus where it is
        EXPECT_TRUE(WaitUntil([&] { return SeenByUser(FocusOf(main)); }, 3000))
            << what << ": the focus is on a window the user cannot see";
    };
    // The panel buttons are drawn on their column at the page's left; a click
    // on one, as the mouse makes it.
    auto showPanel = [&](int row, const std::string& what) {
        const HWND column = ChildWindowFromPointEx(page, POINT{10, 10}, CWP_SKIPINVISIBLE);
        ASSERT_TRUE(column && column != page);
        const LPARAM at = MAKELPARAM(48, 6 + 30 * row + 13);
        PostMessageA(column, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(column, WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(WaitUntil([&] { return SeenByUser(FocusOf(main)); }, 3000))
            << what << ": after the switch the focus is on a window the user cannot see";
    };

    press({VK_MENU, 'E'}, "Alt+E, the Extra Settings page");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(general) != FALSE; }))
        << "the General panel never showed; in front: " << vsk::test::ClassOf(GetForegroundWindow())
        << ", the focus: " << vsk::test::ClassOf(FocusOf(main));
    const char* const panels[] = {"General", "Sound", "Shortcuts", "Display"};
    for (int row : {0, 1, 2, 3}) {
        const std::string panel = panels[row];
        showPanel(row, panel);
        for (int i = 0; i < 8; ++i) press({VK_TAB}, panel + ": Tab " + std::to_string(i + 1));
        for (int i = 0; i < 2; ++i) press({VK_SHIFT, VK_TAB}, panel + ": Shift+Tab " + std::to_string(i + 1));
    }
    // The steps of the faults seen: Shortcuts, then Display, then Space and
    // a page accelerator.
    showPanel(2, "Shortcuts");
    showPanel(3, "Display");
    press({VK_SPACE}, "Display: Space");
    press({VK_MENU, 'W'}, "Alt+W, the Windows page");
    press({VK_MENU, 'E'}, "Alt+E, back to Extra Settings");

    EXPECT_EQ(TextOf(keyFields[0]), "`");
    EXPECT_EQ(TextOf(keyFields[1]), "\\");
    EXPECT_EQ(TextOf(keyFields[2]), "F12");
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(v.WaitExit(15000), 0u);
    const std::map<std::pair<std::string, std::string>, std::string> saved = {
        {{"HOTKEY_Windows", "Ctrl"}, "1"}, {{"HOTKEY_Windows", "Alt"}, "0"}, {{"HOTKEY_Windows", "Shift"}, "0"},
        {{"HOTKEY_Windows", "Win"}, "0"},  {{"HOTKEY_Windows", "Key"}, "`"}, {{"HOTKEY_App", "Ctrl"}, "1"},
        {{"HOTKEY_App", "Alt"}, "0"},      {{"HOTKEY_App", "Shift"}, "0"},   {{"HOTKEY_App", "Win"}, "0"},
        {{"HOTKEY_App", "Key"}, "\\"},
    };
    for (const auto& [key, value] : saved)
        EXPECT_EQ(Ini(key.first.c_str(), key.second.c_str()), value) << key.first << "/" << key.second;
}

TEST_F(SettingsE2E, TheSettingsWindowIsActiveAgainWhenItsDialogCloses) {
    FixtureWindows other({"Another program|||"});
    Veskara v;
    HWND main = ShownInFront(v);
    ASSERT_TRUE(main);

    HWND box = PasswordBox(main);
    ASSERT_TRUE(box);
    RECT r{};
    GetWindowRect(box, &r);
    e2e::ClickAt(POINT{r.left + 6, (r.top + r.bottom) / 2});
    const HWND dialog = InFrontWithFocus(v, "TFormSetAppPassword");
    ASSERT_TRUE(dialog);
    // Another program's window comes up beside it without taking the
    // activation: it lies between the dialog and the settings window.
    SetWindowPos(other[0], dialog, 0, 0, 200, 150, SWP_NOACTIVATE);
    ASSERT_TRUE(other.CaughtUp());
    ASSERT_EQ(GetWindow(dialog, GW_HWNDNEXT), other[0]);
    e2e::PressChord({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); })) << "Esc left the dialog open";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }))
        << "the window in front is " << vsk::test::ClassOf(GetForegroundWindow());
}

TEST_F(SettingsE2E, EscCancelsAndEnterConfirmsInEveryDialog) {
    ASSERT_TRUE(vsk::test::SetRegString(core::PasswordKeyName, core::PasswordValueName, "Sesame"));
    auto type = [](HWND dialog, const char* text) {
        HWND edit = FindWindowExA(dialog, nullptr, "TEdit", nullptr);
        DWORD_PTR ignored;
        SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
    };
    auto closes = [](HWND h) { return WaitUntil([&] { return !IsWindowVisible(h); }, 3000); };
    {
        Veskara v("/q");
        HWND prompt = InFrontWithFocus(v, "TFormMainAppPasswordPrompt");
        ASSERT_TRUE(prompt);
        e2e::PressChord({VK_ESCAPE});
        EXPECT_EQ(v.WaitExit(15000), 0u) << "Esc at the start-up prompt did not end the program";
    }
    Veskara v;
    HWND prompt = InFrontWithFocus(v, "TFormMainAppPasswordPrompt");
    ASSERT_TRUE(prompt);
    type(prompt, "Sesame");
    e2e::PressChord({VK_RETURN});
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = v.MainWindow()) && IsWindowVisible(main); }, 15000))
        << "Enter did not let in";
    ASSERT_TRUE(v.WaitIdle());

    // The hot-key picture: Esc, Enter and Alt+F4 each close it.
    e2e::PressAccelerator(main, 'e');  // &Extra Settings: the General panel is in front
    HWND group = e2e::ChildWithText(main, "Default Hotkeys");
    ASSERT_TRUE(group);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(group) != FALSE; }));
    for (const std::vector<WORD>& keys : std::vector<std::vector<WORD>>{{VK_ESCAPE}, {VK_RETURN}, {VK_MENU, VK_F4}}) {
        POINT at{340 + 72, 34 + 12};  // "Show Hotkeys Layout", drawn on the group
        ClientToScreen(group, &at);
        e2e::ClickAt(at);
        HWND picture = InFrontWithFocus(v, "TFormKeyboardLayour");
        ASSERT_TRUE(picture);
        e2e::PressChord(keys);
        EXPECT_TRUE(closes(picture)) << "key " << keys.back() << " left the hot-key picture open";
    }

    // The mouse-shortcut dialog: Enter keeps the corner, Esc puts its button up.
    for (const auto& [caption, key] :
         {std::pair{"Hide/Restore windows hot key", VK_RETURN}, std::pair{"Start Screen saver", VK_ESCAPE}}) {
        ASSERT_TRUE(ClickCornerButton(main, caption));
        HWND dialog = InFrontWithFocus(v, "TMouseShortcutForm");
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";
        e2e::PressChord({static_cast<WORD>(key)});
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 3000)) << caption << ": the dialog stayed";
    }

    // The display-mode confirmation: Esc is "No", long before its ten seconds.
    HWND test = e2e::ChildWithText(main, "Test selected resolution");
    ASSERT_TRUE(test);
    PostMessageA(test, BM_CLICK, 0, 0);
    vsk::test::DialogRequest info;
    info.text = "Your display mode will be switched";
    info.click = "OK";
    info.pid = v.Pid();
    ASSERT_TRUE(vsk::test::DriveDialog(info).clicked);
    HWND confirmation = InFrontWithFocus(v, "TConfirmationForm");
    ASSERT_TRUE(confirmation);
    e2e::PressChord({VK_ESCAPE});
    EXPECT_TRUE(closes(confirmation)) << "Esc left the confirmation open";

    // The prompt before the window shows again: Esc keeps it hidden, Enter lets in.
    SetForegroundWindow(main);
    e2e::PressChord({VK_CONTROL, VK_OEM_5});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "Ctrl+\\ did not hide";
    e2e::PressChord({VK_CONTROL, VK_OEM_5});
    ASSERT_TRUE(InFrontWithFocus(v, "TFormMainAppPasswordPrompt"));
    e2e::PressChord({VK_ESCAPE});
    EXPECT_TRUE(closes(prompt)) << "Esc left the prompt open";
    EXPECT_FALSE(IsWindowVisible(main));
    e2e::PressChord({VK_CONTROL, VK_OEM_5});
    ASSERT_TRUE(InFrontWithFocus(v, "TFormMainAppPasswordPrompt"));
    type(prompt, "Sesame");
    e2e::PressChord({VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; })) << "Enter at the prompt did not show";

    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(v.WaitExit(15000), 0u);
    EXPECT_EQ(Ini("MouseShortcut_Windows", "Enabled"), "1") << "Enter did not keep the corner";
    EXPECT_EQ(Ini("MouseShortcut_SSaver", "Enabled"), "0") << "Esc did not put the button up";
}

TEST_F(SettingsE2E, TheLayoutFollowsTheWindowWhenAUserMaximisesIt) {
    Veskara v;
    HWND main = v.WaitMainWindow();
    ASSERT_TRUE(main && WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    ASSERT_TRUE(v.WaitIdle());
    HWND refresh = e2e::ChildWithText(main, "Refresh List");
    ASSERT_TRUE(refresh);
    // The lists, left to right and top to bottom: the visible windows, the
    // do-not-hide list, the bring-to-top list.
    auto place = [&](HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    std::vector<HWND> lists = vsk::test::ChildWindows(
        main, [](HWND h) { return vsk::test::ClassOf(h) == "TListView" && IsWindowVisible(h); });
    ASSERT_EQ(lists.size(), 3u);
    std::sort(lists.begin(), lists.end(), [&](HWND a, HWND b) {
        const RECT ra = place(a), rb = place(b);
        return ra.left != rb.left ? ra.left < rb.left : ra.top < rb.top;
    });
    auto rightMargin = [&](HWND h) {
        RECT client;
        GetClientRect(main, &client);
        return client.right - place(h).right;
    };
    auto height = [&](HWND h) { return place(h).bottom - place(h).top; };
    const int refreshMargin = rightMargin(refresh), listMargin = rightMargin(lists[1]);
    const int keptHeight = height(lists[1]), topHeight = height(lists[2]);

    // A double click on the title bar, as the mouse makes it.
    RECT frame;
    GetWindowRect(main, &frame);
    const POINT title{frame.left + 120, frame.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    e2e::ClickAt(title);
    e2e::ClickAt(title);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; })) << "a double click on the title did not maximise";
    EXPECT_TRUE(WaitUntil([&] { return height(lists[1]) > keptHeight; })) << "the do-not-hide list did not grow";
    EXPECT_EQ(rightMargin(refresh), refreshMargin) << "\"Refresh List\" left the right edge";
    EXPECT_EQ(rightMargin(lists[1]), listMargin) << "the do-not-hide list left the right edge";
    EXPECT_EQ(height(lists[2]), topHeight) << "the one-entry list took the new height";
}
