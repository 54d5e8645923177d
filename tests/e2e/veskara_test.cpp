// The real program, end to end: one instance, the quiet switch, and hiding
// and restoring at a keystroke.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Veskara.h"
#include "support/DialogDriver.h"
#include "support/FixtureWindows.h"

using e2e::AllVisible;
using e2e::ChildWithText;
using e2e::Veskara;
using vsk::test::WaitUntil;

namespace {

constexpr WORD kGrave = VK_OEM_3;      // the key named "`"
constexpr WORD kBackslash = VK_OEM_5;  // the key named "\"

// The hooks are set while the main window is made and what they post is
// handled once the message loop runs: with the program idle, one press of the
// hide hot key counts.
bool HideByHotKey(const Veskara& v, const std::function<bool()>& hidden) {
    if (!v.WaitIdle()) return false;
    e2e::PressChord({VK_CONTROL, kGrave});
    return WaitUntil(hidden, 15000);
}

}  // namespace

TEST(Veskara, SecondStartWarnsAndEndsWithoutAWindow) {
    Veskara first("/q");
    ASSERT_TRUE(first.WaitMainWindow()) << "the first instance did not come up";
    Veskara second;
    ASSERT_TRUE(second.Started());
    vsk::test::DialogRequest req{.caption = "Warning",
                                 .text = "This application is already started!",
                                 .click = "OK",
                                 .pid = second.Pid(),
                                 .timeoutMs = 100};
    bool sawMainWindow = false;
    vsk::test::DialogReport report;
    for (DWORD end = GetTickCount() + 15000; GetTickCount() < end && !report.clicked;) {
        sawMainWindow |= second.MainWindow() != nullptr;
        report = vsk::test::DriveDialog(req);
    }
    EXPECT_TRUE(report.clicked) << vsk::test::Describe(report);
    EXPECT_EQ(second.WaitExit(10000), 0u);
    EXPECT_FALSE(sawMainWindow) << "the second instance made its main window";
    EXPECT_TRUE(first.MainWindow()) << "the first instance went away";
}

TEST(Veskara, QuietSwitchIsTheFirstParameterInAnyCase) {
    struct Case {
        const char* args;
        bool hidden;
    } cases[] = {{"/q", true}, {"/Q", true}, {"/Qx", false}, {"x /Q", false}};
    for (const Case& c : cases) {
        Veskara v(c.args);
        HWND main = v.WaitMainWindow();
        ASSERT_TRUE(main) << c.args;
        if (!c.hidden) {
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; })) << c.args;
        }
        EXPECT_TRUE(v.WaitIdle()) << c.args;
        EXPECT_EQ(IsWindowVisible(main) == FALSE, c.hidden) << c.args;
    }
}

TEST(Veskara, HotKeysHideAndRestoreWindowsAndShowTheProgram) {
    FixtureWindows w({"First|||", "Second|||"});
    Veskara v("/q");
    HWND main = v.WaitMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(v.WaitIdle()) << "the hooks are in place once the message loop runs";
    ASSERT_TRUE(AllVisible(w, true));

    e2e::PressChord({VK_CONTROL, VK_SHIFT, kGrave});
    // An ignored key changes nothing to wait for; the program's own hot key
    // after it does. The hook posts every key to one queue, in order: once
    // the program shows, the key before was handled.
    e2e::PressChord({VK_CONTROL, kBackslash});
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; })) << "Ctrl+\\ did not show the program";
    EXPECT_TRUE(AllVisible(w, true)) << "Ctrl+Shift+` must not hide";
    e2e::PressChord({VK_CONTROL, kBackslash});
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) == FALSE; })) << "Ctrl+\\ did not hide the program";

    e2e::PressChord({VK_CONTROL, kGrave});
    EXPECT_TRUE(WaitUntil([&] { return AllVisible(w, false); })) << "Ctrl+` did not hide the windows";
    e2e::PressChord({VK_CONTROL, kGrave});
    EXPECT_TRUE(WaitUntil([&] { return AllVisible(w, true); })) << "Ctrl+` did not restore the windows";
}

TEST(Veskara, TerminateAnsweredYesEndsTheProgramAndRestoresTheWindows) {
    FixtureWindows w({"Left behind one|||", "Left behind two|||"});
    FixtureWindows stuck({"Stuck at the end|||0x00040000"});  // WS_EX_APPWINDOW, stripped while hidden
    Veskara v("/q");
    HWND main = v.WaitMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(HideByHotKey(v, [&] { return AllVisible(w, false) && AllVisible(stuck, false); }))
        << "Ctrl+` did not hide the windows";
    // One program hangs until after the end: its window is shown once it runs.
    stuck.Hang(60000);
    ASSERT_TRUE(WaitUntil([&] {
        DWORD_PTR r = 0;
        return !SendMessageTimeoutA(stuck[0], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20, &r);
    })) << "the fixture's thread still answers";

    e2e::PressChord({VK_CONTROL, kBackslash});
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; })) << "Ctrl+\\ did not show the program";
    e2e::PressAccelerator(main, 't');  // &Terminate

    vsk::test::DialogRequest req{.caption = "Warning",
                                 .text = "Do you really want to stop using the application?",
                                 .click = "Yes",
                                 .pid = v.Pid(),
                                 .timeoutMs = 10000};
    vsk::test::DialogReport report = vsk::test::DriveDialog(req);
    ASSERT_TRUE(report.clicked) << vsk::test::Describe(report);
    EXPECT_EQ(v.WaitExit(15000), 0u) << "the program did not end";
    EXPECT_TRUE(AllVisible(w, true)) << "the hidden windows were not shown again";
    EXPECT_FALSE(IsWindowVisible(stuck[0]));
    stuck.Answer();
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(stuck[0]) != FALSE; }))
        << "the window of the program that hung was never shown again";
}

namespace {

// This user's record of hidden windows, as the program keeps it.
std::string RecordPath() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Veskara\\HiddenWnd.Dat";
}

bool Exists(const std::string& file) { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The program folder mounted read-only when the tests may mount (as root),
// else the build's.
std::string ReadOnlyProgramFolder() {
    const std::string dir = VSK_READ_ONLY_PROGRAM_DIR;
    if (Exists(dir + "\\Veskara.exe")) return dir;
    std::fprintf(stderr, "no read-only program folder at %s: started from the build's\n", dir.c_str());
    return VSK_BIN_DIR;
}

bool Answers(HWND Wnd) {
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20, &r) != 0;
}

}  // namespace

TEST(Veskara, WindowsHiddenWhenTheProgramWasEndedByForceComeBackAtItsNextStart) {
    FixtureWindows w({"Hidden at the end one|||0x00040000", "Hidden at the end two|||", "Hidden at the end three|||",
                      "Topmost at the end|||0x00040008", "Showed itself while hidden|||0x00040000"});
    std::vector<LONG> exBefore;
    for (HWND h : w.Handles()) exBefore.push_back(GetWindowLongA(h, GWL_EXSTYLE));
    const std::vector<HWND> three = {w[0], w[1], w[2]};
    const std::string folder = ReadOnlyProgramFolder();
    std::vector<HWND> zBefore;
    {
        Veskara v("/q", folder);
        ASSERT_TRUE(v.WaitMainWindow());
        ASSERT_TRUE(v.WaitIdle()) << "the hooks are in place once the message loop runs";
        zBefore = ZOrderOf(three);
        e2e::PressChord({VK_CONTROL, kGrave});
        ASSERT_TRUE(WaitUntil([&] { return AllVisible(w, false); }, 15000)) << "Ctrl+` did not hide the windows";
        EXPECT_TRUE(Exists(RecordPath())) << "no record of the hidden windows in the user's application data";
        // Its program shows it while hidden: it has lost its taskbar button.
        ShowWindow(w[4], SW_SHOWNA);
        v.Kill();
    }
    ASSERT_TRUE(w.CaughtUp());
    ASSERT_TRUE(std::none_of(three.begin(), three.end(), IsWindowVisible))
        << "the windows came back before the next start";
    {
        Veskara v("/q", folder);
        ASSERT_TRUE(v.WaitMainWindow());
        EXPECT_TRUE(WaitUntil([&] { return AllVisible(w, true); })) << "the next start left windows hidden";
        EXPECT_TRUE(w.CaughtUp());
        for (size_t i = 0; i < w.Handles().size(); ++i)
            EXPECT_EQ(GetWindowLongA(w[i], GWL_EXSTYLE), exBefore[i]) << "the extended style did not come back " << i;
        EXPECT_EQ(ZOrderOf(three), zBefore) << "the windows came back in another Z order";
        EXPECT_FALSE(Exists(RecordPath())) << "the record stays once acted on";
        // From now on a window its own program hides is none of ours.
        ShowWindow(w[1], SW_HIDE);
        v.Kill();
    }
    Veskara again("/q", folder);
    ASSERT_TRUE(again.WaitMainWindow());
    ASSERT_TRUE(again.WaitIdle());
    EXPECT_TRUE(w.CaughtUp());
    EXPECT_FALSE(IsWindowVisible(w[1])) << "a second start showed a window again";
    EXPECT_TRUE(IsWindowVisible(w[0]) && IsWindowVisible(w[2]));
}

TEST(Veskara, LateWindowsTakeTheRecordWithThemAndAQueuedHideIsUndoneWhenEndedByForce) {
    FixtureWindows w({"Answers at once|||"});
    FixtureWindows late({"Answers late|||0x00040000"});
    const LONG exBefore = GetWindowLongA(late[0], GWL_EXSTYLE);
    {
        Veskara v("/q");
        ASSERT_TRUE(v.WaitMainWindow());
        ASSERT_TRUE(v.WaitIdle());
        e2e::PressChord({VK_CONTROL, kGrave});
        ASSERT_TRUE(WaitUntil([&] { return AllVisible(w, false) && AllVisible(late, false); }, 15000));
        // Busy at the restore: shown when it answers, and the record with it.
        late.Hang(60000);
        ASSERT_TRUE(WaitUntil([&] { return !Answers(late[0]); }));
        e2e::PressChord({VK_CONTROL, kGrave});
        ASSERT_TRUE(WaitUntil([&] { return AllVisible(w, true); })) << "Ctrl+` did not restore the windows";
        EXPECT_TRUE(Exists(RecordPath())) << "the window still hidden is not recorded";
        late.Answer();
        EXPECT_TRUE(WaitUntil([&] { return AllVisible(late, true); }));
        EXPECT_EQ(GetWindowLongA(late[0], GWL_EXSTYLE), exBefore);
        EXPECT_TRUE(WaitUntil([&] { return !Exists(RecordPath()); })) << "the record outlived the full restore";

        // Busy at the hide: its hide waits in its queue when the program ends.
        late.Hang(60000);
        ASSERT_TRUE(WaitUntil([&] { return !Answers(late[0]); }));
        e2e::PressChord({VK_CONTROL, kGrave});
        ASSERT_TRUE(WaitUntil([&] { return AllVisible(w, false); }, 15000));
        v.Kill();
    }
    Veskara again("/q");
    ASSERT_TRUE(again.WaitMainWindow());
    ASSERT_TRUE(again.WaitIdle());
    late.Answer();
    ASSERT_TRUE(late.CaughtUp());
    EXPECT_TRUE(WaitUntil([&] { return AllVisible(late, true) && AllVisible(w, true); }))
        << "the hide still queued at the end took the window away for good";
    EXPECT_TRUE(late.CaughtUp());
    EXPECT_TRUE(AllVisible(late, true));
}

namespace {

// The alpha of a layered window, or -1 when it has no layered attributes
// (the system then draws nothing of it).
int LayeredAlpha(HWND Wnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(Wnd, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) return -1;
    return alpha;
}

}  // namespace

TEST(Veskara, TranslucentWindowComesBackTranslucent) {
    FixtureWindows w({"Glass|||0x00080000", "Plain|||"});  // WS_EX_LAYERED, made translucent
    ASSERT_EQ(LayeredAlpha(w[0]), 200);
    Veskara v("/q");
    ASSERT_TRUE(v.WaitMainWindow());
    ASSERT_TRUE(HideByHotKey(v, [&] { return AllVisible(w, false); })) << "Ctrl+` did not hide the windows";
    e2e::PressChord({VK_CONTROL, kGrave});
    ASSERT_TRUE(WaitUntil([&] { return AllVisible(w, true); })) << "Ctrl+` did not restore the windows";
    EXPECT_TRUE(GetWindowLongA(w[0], GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(LayeredAlpha(w[0]), 200) << "the translucent window lost its translucency: it is no longer drawn";
}

TEST(Veskara, ShowingTheProgramByHotKeyBringsBackAMinimisedWindow) {
    Veskara v;
    HWND main = v.WaitMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; })) << "the window did not minimise";
    ASSERT_TRUE(v.WaitIdle()) << "the hooks are in place once the message loop runs";
    e2e::PressChord({VK_CONTROL, kBackslash});
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) == FALSE; })) << "Ctrl+\\ did not hide the program";
    e2e::PressChord({VK_CONTROL, kBackslash});
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; })) << "Ctrl+\\ did not show the program";
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) == FALSE; })) << "the program came back as an icon";
}
