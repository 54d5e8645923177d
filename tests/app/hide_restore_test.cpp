// Listing, hiding and restoring windows of another process with the real
// main window, and the decisions of the do-not-hide and bring-to-top lists.
#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "core/HiddenWindows.h"
#include "core/HotKeys.h"
#include "support/DialogDriver.h"
#include "support/FixtureWindows.h"

using namespace ui;

namespace {

constexpr const char* kAppWindow = "0x00040000";  // WS_EX_APPWINDOW

// The fixture's windows among those listed, in list order.
std::vector<HWND> ListedOf(TListView* list, const FixtureWindows& w) {
    std::vector<HWND> out;
    for (int i = 0; i < list->Items()->Count(); ++i) {
        HWND h = static_cast<core::TWinInfo*>(list->Items()->Item(i)->Data())->Handle;
        if (std::find(w.Handles().begin(), w.Handles().end(), h) != w.Handles().end()) out.push_back(h);
    }
    return out;
}

using vsk::test::PumpUntil;

// Whether the thread of Wnd answers a message now.
bool Answers(HWND Wnd) {
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20, &r) != 0;
}

std::string Describe(const core::TWindowCallCounts& c) {
    return "list " + std::to_string(c.List) + ", text " + std::to_string(c.Text) + ", class " +
           std::to_string(c.ClassName) + ", style " + std::to_string(c.Style) + ", owner " + std::to_string(c.Owner) +
           ", set style " + std::to_string(c.SetStyle) + ", show " + std::to_string(c.Show) + ", answer " +
           std::to_string(c.Answer) + ", process " + std::to_string(c.Process);
}

// Ctrl+` pressed and released, as the hook library reports it to the
// receiver window.
void PressHideHotKey() {
    for (auto [scan, down] : {std::pair{29, true}, {41, true}, {41, false}, {29, false}}) {
        uint32_t data = 1u | (static_cast<uint32_t>(scan) << 16);
        if (!down) data |= (1u << 30) | (1u << 31);
        SendMessageA(MainForm->Watch->ReceiverWnd(), MainForm->Watch->MsgKey(), 0, static_cast<LPARAM>(data));
    }
}

bool AllVisible(const FixtureWindows& w, bool visible) {
    for (HWND h : w.Handles())
        if ((IsWindowVisible(h) != FALSE) != visible) return false;
    return true;
}

std::vector<HWND> ZOrderOf(const FixtureWindows& w) { return ZOrderOf(w.Handles()); }

// Makes h the active window and the top one of these. Asked again while it
// is not: a window of the fixture that is still starting may take the
// activation after the first request.
bool ActivateOnTop(HWND h, const std::vector<HWND>& among) {
    // A window's thread may still hold an activation or a show of its own
    // that reorders the windows: the order counts only once it outlasted a
    // round trip to every one of them.
    auto roundTrip = [&] {
        DWORD_PTR r = 0;
        for (HWND w : among) SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &r);
        vsk::test::Drain();
    };
    return vsk::test::PumpUntil(
        [&] {
            auto z = ZOrderOf(among);
            if (GetForegroundWindow() != h)
                SetForegroundWindow(h);
            else if (z.empty() || z.front() != h)
                SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            else {
                roundTrip();
                return GetForegroundWindow() == h && ZOrderOf(among) == z;
            }
            return false;
        },
        10000);
}

std::string Titles(const std::vector<HWND>& w) {
    std::string out;
    for (HWND h : w) {
        char t[64] = {};
        GetWindowTextA(h, t, sizeof t);
        out += std::string(out.empty() ? "" : ", ") + t;
    }
    return out;
}

}  // namespace

TEST_F(AppTest, ListFilterDropsUntitledSystemAndOwnWindowsInZOrder) {
    FixtureWindows w({"Alpha|||",                     // 0 listed
                      "|||",                          // 1 untitled: dropped
                      "|Afx:00400000:8|0x00CF0000|",  // 2 untitled, hidden, of that class: listed
                      "Program Manager|||",           // 3 dropped
                      "program manager|||",           // 4 another case: listed
                      "Windows Security|||",          // 5 dropped
                      "Hidden||0x00CF0000|",          // 6 not visible: dropped
                      "  Padded\t|||"});              // 7 listed, trimmed
    MainForm->Show();
    vsk::test::PumpUntil([] { return IsWindowVisible(MainForm->Handle()) != FALSE; });
    core::FillWindowList(MainForm->AvailableWindowsList, true);
    // The list view sorts by program name; take the listing order from an
    // unsorted list.
    TListView* raw = TComponent::Create<TListView>(MainForm);
    raw->SetParent(MainForm);
    raw->SetVisible(false);
    core::FillWindowList(raw, true);
    // In Z order, topmost first: the listed ones and nothing else.
    std::vector<HWND> want;
    for (HWND h : ZOrderOf(w))
        if (h == w[0] || h == w[2] || h == w[4] || h == w[7]) want.push_back(h);
    ASSERT_EQ(want.size(), 4u);
    EXPECT_EQ(ListedOf(raw, w), want);
    bool sawMain = false, sawApp = false;
    for (int i = 0; i < raw->Items()->Count(); ++i) {
        auto* info = static_cast<core::TWinInfo*>(raw->Items()->Item(i)->Data());
        sawMain |= info->Handle == MainForm->Handle();
        sawApp |= info->Handle == Application->Handle();
        if (info->Handle == w[7]) {
            EXPECT_EQ(info->Title, "Padded");
            EXPECT_EQ(raw->Items()->Item(i)->Caption(), "testwin.exe");
            EXPECT_EQ(raw->Items()->Item(i)->SubItems()->Strings(0), "Padded");
        }
    }
    EXPECT_FALSE(sawMain) << "the program's own main window was listed";
    EXPECT_TRUE(sawApp) << "the application window passes like any other window";
    ui::FreeItems<core::TWinInfo>(raw);
    ui::FreeItems<core::TWinInfo>(MainForm->AvailableWindowsList);
}

TEST_F(AppTest, HideAndRestoreBringsBackStylesZOrderAndTheActiveWindow) {
    FixtureWindows w({std::string("Bottom|||") + kAppWindow, "Middle|||0x00000100", "Top|||"});
    vsk::test::Drain();
    ASSERT_TRUE(ActivateOnTop(w[1], w.Handles()));
    std::vector<HWND> zBefore = ZOrderOf(w);
    std::vector<LONG> exBefore;
    for (HWND h : w.Handles()) exBefore.push_back(GetWindowLongA(h, GWL_EXSTYLE));

    // The system keeps WS_EX_WINDOWEDGE on framed windows whatever is set.
    auto stripped = [](HWND h) {
        return (GetWindowLongA(h, GWL_EXSTYLE) & ~(WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE)) == 0;
    };
    Toggle();
    ASSERT_NE(HiddenWindowList, nullptr);
    // On a loaded machine the fixture's thread may answer too late and have
    // its windows hidden and shown when it runs again: wait for the result.
    PumpUntil([&] { return AllVisible(w, false) && std::all_of(w.Handles().begin(), w.Handles().end(), stripped); });
    for (HWND h : w.Handles()) {
        EXPECT_FALSE(IsWindowVisible(h)) << "window " << h << " was not hidden";
        EXPECT_TRUE(stripped(h)) << "extended style not stripped";
    }

    Toggle();
    EXPECT_EQ(HiddenWindowList, nullptr);
    PumpUntil([&] {
        for (size_t i = 0; i < w.Handles().size(); ++i)
            if (!IsWindowVisible(w[i]) || GetWindowLongA(w[i], GWL_EXSTYLE) != exBefore[i]) return false;
        return ZOrderOf(w) == zBefore && GetForegroundWindow() == w[1];
    });
    for (size_t i = 0; i < w.Handles().size(); ++i) {
        EXPECT_TRUE(IsWindowVisible(w[i])) << "window " << i << " was not shown again";
        EXPECT_EQ(GetWindowLongA(w[i], GWL_EXSTYLE), exBefore[i]) << "window " << i << " lost its extended style";
    }
    EXPECT_TRUE(GetWindowLongA(w[0], GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(ZOrderOf(w), zBefore) << "the windows came back in another Z order";
    EXPECT_EQ(GetForegroundWindow(), w[1]) << "the window active before hiding is not active again";
}

TEST_F(AppTest, ClosingTheActiveWindowOptionLeavesItInactive) {
    FixtureWindows w({"One|||", "Two|||"});
    vsk::test::Drain();
    ASSERT_TRUE(ActivateOnTop(w[0], w.Handles()));
    MainForm->cbCloseActiveWindow->SetChecked(true);
    Toggle(w);
    ASSERT_TRUE(AllVisible(w, false));
    Toggle(w);
    EXPECT_NE(GetForegroundWindow(), w[0]);
    EXPECT_TRUE(AllVisible(w, true)) << "a window stayed hidden after the restore";
}

TEST_F(AppTest, HungWindowDoesNotHoldUpTheToggleAndFollowsWhenItAnswers) {
    FixtureWindows quick({"Quick one|||", "Quick two|||"});
    FixtureWindows stuck({"Stuck|||"});
    Settle(quick);
    Settle(stuck);
    auto hang = [&] {
        stuck.Hang(10000);
        return PumpUntil([&] { return !Answers(stuck[0]); });
    };

    ASSERT_TRUE(hang()) << "the fixture's thread still answers";
    core::ResetKeyState();
    PressHideHotKey();
    ASSERT_NE(HiddenWindowList, nullptr);
    EXPECT_TRUE(quick.CaughtUp());
    EXPECT_TRUE(AllVisible(quick, false)) << "the other windows were not hidden";
    // The key's handler has returned while the window still hangs: the
    // program goes on with its messages.
    EXPECT_FALSE(Answers(stuck[0])) << "the hide waited until the hung window answered";
    stuck.Answer();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(stuck[0]); })) << "not hidden once it answered";

    ASSERT_TRUE(hang());
    PressHideHotKey();
    EXPECT_EQ(HiddenWindowList, nullptr);
    EXPECT_TRUE(quick.CaughtUp());
    EXPECT_TRUE(AllVisible(quick, true)) << "the other windows were not shown";
    EXPECT_FALSE(Answers(stuck[0])) << "the restore waited until the hung window answered";
    stuck.Answer();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(stuck[0]) != FALSE; })) << "not shown once it answered";

    // Hung only at the restore: its stripped style comes back too, and it
    // goes back to its place in the Z order, here under the top quick window,
    // also when the quick windows' thread was late as well and ran first.
    FixtureWindows styled({std::string("Styled|||") + kAppWindow});
    Settle(styled);
    const LONG exBefore = GetWindowLongA(styled[0], GWL_EXSTYLE);
    std::vector<HWND> all = quick.Handles();
    all.push_back(stuck[0]);
    all.push_back(styled[0]);
    // The window active before the hide is activated again after it, which
    // raises it: as usual, the active window is the top one.
    ASSERT_TRUE(ActivateOnTop(stuck[0], all));
    const HWND topQuick = ZOrderOf(quick).front();
    SetWindowPos(styled[0], topQuick, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] {
        auto z = ZOrderOf(all);
        auto at = std::find(z.begin(), z.end(), topQuick);
        return at != z.end() && at + 1 != z.end() && at[1] == styled[0];
    })) << "the fixture window did not go under the other";
    const std::vector<HWND> zBefore = ZOrderOf(all);
    auto shownCount = [](HWND h) { return reinterpret_cast<uintptr_t>(GetPropA(h, "VskShownCount")); };
    const uintptr_t shownBefore = shownCount(styled[0]);
    Toggle(quick);
    ASSERT_TRUE(styled.CaughtUp());
    ASSERT_FALSE(IsWindowVisible(styled[0]));
    styled.Hang(10000);
    quick.Hang(10000);
    ASSERT_TRUE(PumpUntil([&] { return !Answers(styled[0]) && !Answers(quick[0]); }));
    Toggle();
    quick.Answer();
    std::vector<HWND> others = zBefore;
    others.erase(std::find(others.begin(), others.end(), styled[0]));
    EXPECT_TRUE(PumpUntil([&] { return AllVisible(quick, true) && ZOrderOf(others) == others; }))
        << "the quick windows came back in another Z order: " << Titles(ZOrderOf(others)) << " for " << Titles(others);
    styled.Answer();
    EXPECT_TRUE(PumpUntil([&] {
        return IsWindowVisible(styled[0]) && GetWindowLongA(styled[0], GWL_EXSTYLE) == exBefore;
    })) << "shown "
        << IsWindowVisible(styled[0]) << ", extended style " << std::hex << GetWindowLongA(styled[0], GWL_EXSTYLE)
        << " for " << exBefore;
    EXPECT_EQ(shownCount(styled[0]), shownBefore + 1) << "the late window was not told it is shown";
    EXPECT_TRUE(PumpUntil([&] { return ZOrderOf(all) == zBefore; }))
        << "the late windows came back in another Z order: " << Titles(ZOrderOf(all)) << " for " << Titles(zBefore);
}

TEST_F(AppTest, ToggleMakesOnlyTheCallsEachWindowNeeds) {
    constexpr int kWindows = 200;
    std::vector<std::string> specs;
    for (int i = 0; i < kWindows; ++i) specs.push_back("Many " + std::to_string(i) + "|||");
    FixtureWindows w(specs);
    // As in a program whose main window is hidden (an earlier test may have
    // shown it): the restore then does not list the windows for it.
    ShowWindow(Application->Handle(), SW_HIDE);
    Settle(w);

    core::WindowCalls = {};
    Toggle(w);
    const core::TWindowCallCounts hide = core::WindowCalls;
    ASSERT_TRUE(AllVisible(w, false));
    core::WindowCalls = {};
    Toggle(w);
    const core::TWindowCallCounts restore = core::WindowCalls;
    ASSERT_TRUE(AllVisible(w, true));

    // Every window on the display is listed, not only the fixture's.
    const unsigned listed = hide.Text;
    ASSERT_GE(listed, static_cast<unsigned>(kWindows));
    EXPECT_LE(hide.Show, listed) << "hide: one hiding call per window";
    EXPECT_LE(restore.Show, listed) << "restore: one showing call per window";
    EXPECT_LE(hide.Process, 10u) << "program files are looked up once per process";
    EXPECT_LE(hide.Answer + restore.Answer, 20u) << "threads are asked once each";
    // The title, the style, the owner, the extended style and the hide; the
    // show and the check that it took.
    EXPECT_LE(hide.Total(), listed * 5 + 40) << "calls while hiding " << listed << " windows: " << Describe(hide);
    EXPECT_LE(restore.Total(), listed * 2 + 40)
        << "calls while restoring " << listed << " windows: " << Describe(restore);
}

TEST_F(AppTest, DoNotHideEntriesKeepByTitleOrByProgramInAnyCase) {
    FixtureWindows w({"Keep Me|||", "Keep Me|||", "keep me|||", "Other|||"});
    vsk::test::Drain();
    AddEntry(MainForm->ExcludeList, "Keep Me", "C:\\elsewhere\\other.exe", 0);
    Toggle(w);
    EXPECT_TRUE(IsWindowVisible(w[0]));
    EXPECT_TRUE(IsWindowVisible(w[1])) << "two windows of one title are both kept";
    EXPECT_FALSE(IsWindowVisible(w[2])) << "the title is compared case-sensitively";
    EXPECT_FALSE(IsWindowVisible(w[3]));
    // Kept windows are their programs' business while others are hidden.
    ShowWindow(w[0], SW_HIDE);
    SetWindowLongA(w[1], GWL_EXSTYLE, GetWindowLongA(w[1], GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    Toggle();
    ASSERT_TRUE(w.CaughtUp());
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(w[3]) != FALSE; }));
    EXPECT_FALSE(IsWindowVisible(w[0])) << "the restore showed a kept window its own program hid";
    EXPECT_TRUE(GetWindowLongA(w[1], GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "the restore wrote a kept window's style";
    ShowWindow(w[0], SW_SHOWNA);
    for (HWND h : w.Handles()) EXPECT_TRUE(IsWindowVisible(h));

    AddEntry(MainForm->ExcludeList, "No such title", "X:\\anywhere\\TESTWIN.EXE", 1);
    Toggle(w);
    for (HWND h : w.Handles()) EXPECT_TRUE(IsWindowVisible(h)) << "all windows of the program are kept";
    Toggle();
}

TEST_F(AppTest, BringToTopActivatesByTitleThenPathElseStartsTheProgram) {
    FixtureWindows w({"Editor|||", "Target|||", "Last|||"});
    vsk::test::Drain();
    ASSERT_TRUE(ActivateOnTop(w[2], w.Handles()));
    AddEntry(MainForm->ExcludeList, "Target", "", 0);
    AddEntry(MainForm->BringToTopList, "Target", "", 0);
    Toggle(w);
    EXPECT_TRUE(IsWindowVisible(w[1]));
    EXPECT_EQ(GetForegroundWindow(), w[1]) << "the window with the entry's title was not activated";
    Toggle();

    // No title matches: the first listed window of exactly that program.
    MainForm->BringToTopList->Items()->Clear();
    char exe[MAX_PATH] = {};
    {
        core::TWinInfo probe{w[0], "", core::GetWindowExeName(w[0]), 0};
        ASSERT_FALSE(probe.ExePath.empty());
        snprintf(exe, sizeof exe, "%s", probe.ExePath.c_str());
    }
    AddEntry(MainForm->BringToTopList, "No such title", exe, 0);
    AddEntry(MainForm->ExcludeList, "", exe, 1);
    Toggle();
    EXPECT_EQ(GetForegroundWindow(), w[2]) << "the topmost window of the program was not activated";
    Toggle();

    // Nothing matches: the program is started, once per hide.
    MainForm->BringToTopList->Items()->Clear();
    std::string starter = std::string(VSK_BIN_DIR) + "\\startme.exe";
    std::string mark = std::string(VSK_BIN_DIR) + "\\startme.ran";
    DeleteFileA(mark.c_str());
    AddEntry(MainForm->BringToTopList, "No such title", starter, 0);
    Toggle();
    EXPECT_TRUE(vsk::test::PumpUntil(
        [&] {
            std::string l;
            std::ifstream f(mark);
            return std::getline(f, l) && !l.empty();
        },
        10000))
        << "the program was not started";
    Toggle();
    std::ifstream in(mark);
    int starts = 0;
    for (std::string line; std::getline(in, line);) ++starts;
    EXPECT_EQ(starts, 1);
    in.close();
    DeleteFileA(mark.c_str());
}

TEST_F(AppTest, ToggleDoesNothingWhileTheGateIsClosed) {
    FixtureWindows w({"Stays|||"});
    vsk::test::Drain();
    SetProgramRunning(false);
    Toggle(w);
    EXPECT_EQ(HiddenWindowList, nullptr);
    EXPECT_TRUE(IsWindowVisible(w[0]));
}

TEST_F(AppTest, WindowsThatVanishOrHideThemselvesDoNotHoldUpTheRestore) {
    FixtureWindows w({"Gone|||", "Back|||"});
    FixtureWindows stubborn({"Stubborn|||"}, "--stay-hidden");
    vsk::test::Drain();
    Toggle();
    ASSERT_TRUE(w.Destroy(w[0]));
    DWORD start = GetTickCount();
    Toggle();
    EXPECT_LT(GetTickCount() - start, 2000u) << "the restore waited on a window that will not show";
    EXPECT_TRUE(w.CaughtUp());
    EXPECT_TRUE(IsWindowVisible(w[1]));
    EXPECT_FALSE(IsWindow(w[0]));
}

TEST_F(AppTest, VisibleMainWindowIsHiddenWithoutAQuestionAndShownAgain) {
    AppPassword = "secret";  // would be asked for if the toggle asked
    MainForm->Show();
    vsk::test::PumpUntil([] { return IsWindowVisible(MainForm->Handle()) != FALSE; });
    Toggle();
    EXPECT_FALSE(MainForm->Visible());
    Toggle();
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_TRUE(IsWindowVisible(MainForm->Handle()));
}

// ---------------------------------------------------------------- the record of hidden windows

namespace {

core::THiddenWindow RecordOf(HWND h) {
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(h, &pid);
    return {reinterpret_cast<std::uintptr_t>(h), pid, tid, GetWindowLongA(h, GWL_EXSTYLE),
            core::ProcessCreationTime(pid)};
}

std::vector<uint8_t> ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A window of this thread that, when the hide takes it away, reads what the
// record on disk holds at that moment.
struct TRecordWatcher {
    static inline std::vector<HWND> recorded;
    static inline bool othersStillShown = false;
    static inline const FixtureWindows* others = nullptr;
    HWND wnd = nullptr;
    explicit TRecordWatcher(const FixtureWindows& w) {
        others = &w;
        recorded.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_SHOWWINDOW && !wp) {
                core::THiddenRecord r;
                const std::vector<uint8_t> bytes = ReadBytes(HiddenListFileName);
                if (core::DecodeHiddenRecord(bytes.data(), bytes.size(), r))
                    for (const core::THiddenWindow& x : r.Windows) recorded.push_back(reinterpret_cast<HWND>(x.Handle));
                othersStillShown = AllVisible(*others, true);
            }
            return DefWindowProcA(h, m, wp, lp);
        };
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VskRecordWatcher";
        RegisterClassA(&wc);
        wnd = CreateWindowExA(0, wc.lpszClassName, "Watches the record", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              nullptr, wc.hInstance, nullptr);
    }
    ~TRecordWatcher() { DestroyWindow(wnd); }
};

void WriteBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& file) { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TEST_F(AppTest, RecordOfHiddenWindowsIsWrittenBeforeHidingAndGoesWithTheRestore) {
    FixtureWindows w({"Recorded one|||", std::string("Recorded two|||") + kAppWindow});
    Settle(w);
    TRecordWatcher watcher(w);
    // A fixture window still starting may take the activation, and the top
    // place with it, after the order below was read.
    ASSERT_TRUE(ActivateOnTop(w[1], w.Handles()));
    // Below the others: the hide goes from the bottom up, so this window of
    // the test's own thread is the first it takes away, at once.
    SetWindowPos(watcher.wnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const std::vector<HWND> zBefore = ZOrderOf(w);
    Toggle(w);
    ASSERT_TRUE(PumpUntil([&] { return AllVisible(w, false); }));
    const std::vector<HWND>& recorded = TRecordWatcher::recorded;
    ASSERT_FALSE(recorded.empty()) << "no record when the first window went";
    EXPECT_TRUE(TRecordWatcher::othersStillShown) << "windows went before the record was read";
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), watcher.wnd), 1);
    std::vector<HWND> fixtureRecorded;
    for (HWND h : recorded)
        if (std::find(zBefore.begin(), zBefore.end(), h) != zBefore.end()) fixtureRecorded.push_back(h);
    EXPECT_EQ(fixtureRecorded, zBefore) << "the record lacks a hidden window or its place";
    for (HWND own : {core::OwnMainWindow(), core::OwnApplicationWindow()})
        EXPECT_EQ(std::count(recorded.begin(), recorded.end(), own), 0) << "the program's own window is recorded";
    Toggle(w);
    EXPECT_TRUE(AllVisible(w, true));
    EXPECT_FALSE(Exists(HiddenListFileName)) << "the record stays after a full restore";
}

TEST_F(AppTest, RecordShowsAgainOnlyTheSameWindowsStillHidden) {
    FixtureWindows w({std::string("Same|||") + kAppWindow, "Other process|||", "Other thread|||", "Shown|||",
                      "Started again|||", "Topmost|||0x00040008", std::string("Showed itself again|||") + kAppWindow});
    Settle(w);
    std::vector<core::THiddenWindow> record;
    for (HWND h : w.Handles()) record.push_back(RecordOf(h));
    record[1].ProcessId += 4;  // the handle now names a window of another program
    record[2].ThreadId += 4;
    record[4].ProcessCreated -= 1;  // the same ids, given to a process started since
    for (int i : {0, 5, 6}) core::HideWindow(w[i], record[i].ExStyle);
    for (int i : {1, 2, 4}) ShowWindow(w[i], SW_HIDE);
    ShowWindow(w[6], SW_SHOWNA);
    ASSERT_TRUE(w.CaughtUp());

    struct Case {
        const char* what;
        std::function<std::vector<uint8_t>(std::vector<uint8_t>)> damage;
    } refused[] = {
        {"cut short",
         [](std::vector<uint8_t> b) {
             b.pop_back();
             return b;
         }},
        {"a changed byte",
         [](std::vector<uint8_t> b) {
             b[b.size() / 2] ^= 1;
             return b;
         }},
        {"not ours",
         [](std::vector<uint8_t> b) {
             b[0] = 'X';
             return b;
         }},
        {"a record of the program's earlier kind",
         [](std::vector<uint8_t> b) {
             b[7] = '1';
             return b;
         }},
    };
    const std::vector<uint8_t> good = core::EncodeHiddenRecord({{}, record});
    for (const Case& c : refused) {
        WriteBytes(HiddenListFileName, c.damage(good));
        EXPECT_EQ(core::RecoverHiddenWindows(HiddenListFileName), 0) << c.what;
        EXPECT_FALSE(IsWindowVisible(w[0])) << c.what;
    }
    WriteBytes(HiddenListFileName, good);
    EXPECT_EQ(core::RecoverHiddenWindows(HiddenListFileName), 2);
    ASSERT_TRUE(w.CaughtUp());
    for (int i : {0, 5, 6}) {
        EXPECT_TRUE(IsWindowVisible(w[i])) << i;
        EXPECT_EQ(GetWindowLongA(w[i], GWL_EXSTYLE), record[i].ExStyle) << "the extended style did not come back " << i;
    }
    EXPECT_FALSE(IsWindowVisible(w[1])) << "a window of another process was shown";
    EXPECT_FALSE(IsWindowVisible(w[2])) << "a window of another thread was shown";
    EXPECT_FALSE(IsWindowVisible(w[4])) << "a window of a process started since was shown";
    EXPECT_FALSE(Exists(HiddenListFileName)) << "the record stays once acted on";
}

TEST_F(AppTest, AWindowLeftToItsThreadStaysRecordedAndGetsItsStyleBackThroughTheNextHide) {
    FixtureWindows quick({"Hidden again|||"});
    FixtureWindows slow({std::string("Left to its thread|||") + kAppWindow});
    Settle(quick);
    Settle(slow);
    const LONG exBefore = GetWindowLongA(slow[0], GWL_EXSTYLE);
    const auto recorded = [](HWND h) {
        core::THiddenRecord r;
        const std::vector<uint8_t> bytes = ReadBytes(HiddenListFileName);
        if (!core::DecodeHiddenRecord(bytes.data(), bytes.size(), r)) return -1;
        return static_cast<int>(std::count_if(r.Windows.begin(), r.Windows.end(),
                                              [&](const core::THiddenWindow& x) { return x.Handle == uintptr_t(h); }));
    };
    const auto back = [&] { return IsWindowVisible(slow[0]) && GetWindowLongA(slow[0], GWL_EXSTYLE) == exBefore; };
    const auto hang = [&] {
        slow.Hang(10000);
        return PumpUntil([&] { return !Answers(slow[0]); });
    };

    // Its thread hangs at the restore and a new hide comes before it runs
    // again: until it is shown, the record on disk still names it.
    Toggle(slow);
    ASSERT_TRUE(quick.CaughtUp());
    ASSERT_TRUE(hang());
    Toggle();
    ASSERT_TRUE(quick.CaughtUp());
    ASSERT_TRUE(AllVisible(quick, true));
    Toggle();
    ASSERT_TRUE(quick.CaughtUp());
    ASSERT_TRUE(AllVisible(quick, false));
    ASSERT_FALSE(IsWindowVisible(slow[0]));
    EXPECT_EQ(recorded(slow[0]), 1) << "a window still hidden is missing from the record";
    EXPECT_EQ(recorded(quick[0]), 1);
    slow.Answer();
    EXPECT_TRUE(PumpUntil(back)) << "shown " << IsWindowVisible(slow[0]) << ", extended style " << std::hex
                                 << GetWindowLongA(slow[0], GWL_EXSTYLE) << " for " << exBefore;
    EXPECT_TRUE(PumpUntil([&] { return recorded(slow[0]) == 0; })) << "the record keeps a window shown";
    EXPECT_EQ(recorded(quick[0]), 1) << "the late show took the new hide's windows out of the record";
    Toggle(quick);
    EXPECT_FALSE(Exists(HiddenListFileName));

    // The hide's strip still waits for the thread when the restore leaves
    // the window to it, and the next hide begins before the strip is done.
    ShowWindow(slow[0], SW_HIDE);
    ASSERT_TRUE(hang());
    core::TWinInfo info;
    info.Handle = slow[0];
    info.ExStyle = exBefore;
    info.ThreadId = GetWindowThreadProcessId(slow[0], nullptr);
    core::ForgetStrips();
    core::StripStylesAfterHide({&info});
    core::ShowHiddenWindowsAsync(std::make_shared<core::TZOrder>(core::TZOrder{{slow[0]}, {false}}),
                                 {core::TLateWindow{0, exBefore, false, info.ThreadId, true}});
    core::ForgetStrips();
    slow.Answer();
    EXPECT_TRUE(PumpUntil(back)) << "shown " << IsWindowVisible(slow[0]) << ", extended style " << std::hex
                                 << GetWindowLongA(slow[0], GWL_EXSTYLE) << " for " << exBefore;
}

TEST_F(AppTest, AFailureNothingHandlesShowsTheHiddenWindowsBeforeTheProgramEnds) {
    FixtureWindows w({"Before the failure one|||", std::string("Before the failure two|||") + kAppWindow});
    Settle(w);
    const LONG exBefore = GetWindowLongA(w[1], GWL_EXSTYLE);
    const std::string event = "vsk-fail-now-" + std::to_string(GetCurrentProcessId());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    ASSERT_TRUE(go);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(vsk::test::StartProcess(
        std::string("\"") + VSK_BIN_DIR + "/fail_after_hide.exe\" \"" + AppDir + "\" " + event, si, pi, FALSE));
    EXPECT_TRUE(PumpUntil([&] { return AllVisible(w, false); }, 15000)) << "the failing program did not hide";
    SetEvent(go);
    // Pumping: this process may own windows the failing one shows again.
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 15000));
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)) << "the program did not fail as planned";
    EXPECT_TRUE(w.CaughtUp());
    EXPECT_TRUE(AllVisible(w, true)) << "the failure left windows hidden";
    EXPECT_EQ(GetWindowLongA(w[1], GWL_EXSTYLE), exBefore);
    for (HANDLE h : {go, pi.hProcess, pi.hThread}) CloseHandle(h);
}

TEST_F(AppTest, AHideThatCannotBeRecordedGoesOnAndSaysSoOnceTheWindowsAreBack) {
    FixtureWindows w({"Not recorded|||"});
    Settle(w);
    const std::string recordFile = HiddenListFileName;
    // Its folder cannot be made: a file stands where it would go.
    const std::string blocker = AppDir + "\\blocker";
    WriteBytes(blocker, {1});
    HiddenListFileName = blocker + "\\Veskara\\HiddenWnd.Dat";
    for (bool first : {true, false}) {
        Toggle(w);
        EXPECT_TRUE(AllVisible(w, false)) << "the hide did not go on without its record";
        vsk::test::DialogRequest tell{"", "would not have come back", "OK"};
        tell.timeoutMs = first ? 5000 : 1000;
        vsk::test::DialogDriverThread driver(tell);
        Toggle(w);
        EXPECT_TRUE(AllVisible(w, true));
        EXPECT_EQ(driver.Wait().clicked, first) << (first ? "the user was not told" : "the user was told again");
    }
    HiddenListFileName = recordFile;
    DeleteFileA(blocker.c_str());
}
