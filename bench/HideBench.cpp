// Hiding and restoring 200 windows of another process through the main
// window's toggle, per window, next to a bare loop of ShowWindow calls on the
// same windows, with the calls made per window; the time from a hot-key
// press to the last of 50 windows hidden; and the delay of key events
// through the keyboard hook while the program's GUI thread is busy. Not a
// test: run it under Wine on a display of its own (make bench). Prints
// medians of several rounds and ratios.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "hook/KeyProbe.h"
#include "support/FixtureWindows.h"
#include "support/KeyInput.h"
#include "ui/Application.h"

namespace {

double NowUs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1e6 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double TicksToUs(long long ticks) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1e6 * static_cast<double>(ticks) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void PumpUntil(const std::function<bool()>& Done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!Done() && GetTickCount() - start < ms) {
        ui::Application->ProcessMessages();
        Sleep(0);
    }
}

bool AllHidden(const std::vector<HWND>& w, bool hidden) {
    for (HWND h : w)
        if ((IsWindowVisible(h) == FALSE) != hidden) return false;
    return true;
}

using vsk::test::SendKey;

// Presses and releases a key every 25 ms for about 2 s from a thread of its
// own; the worst and median delay until the probe saw each event, in µs.
struct TKeyDelays {
    double worst = 0, median = 0;
    int lost = 0;
};

DWORD WINAPI PressKeys(LPVOID Out) {
    auto* result = static_cast<TKeyDelays*>(Out);
    std::vector<double> delays;
    for (int i = 0; i < 80; ++i) {
        const int before = TKeyProbe::Seen;
        const double t0 = NowUs();
        SendKey(VK_F9, i % 2 != 0);
        const DWORD start = GetTickCount();
        while (TKeyProbe::Seen == before && GetTickCount() - start < 5000) Sleep(0);
        if (TKeyProbe::Seen == before)
            ++result->lost;
        else
            delays.push_back(TicksToUs(TKeyProbe::LastSeenTicks) - t0);
        Sleep(25);
    }
    if (!delays.empty()) {
        result->median = Median(delays);
        result->worst = *std::max_element(delays.begin(), delays.end());
    }
    return 0;
}

// The GUI thread either pumps (idle) or is held in one handler for 2 s.
TKeyDelays KeyDelays(bool busy) {
    TKeyDelays d;
    HANDLE presser = CreateThread(nullptr, 0, PressKeys, &d, 0, nullptr);
    if (busy) Sleep(2000);
    while (WaitForSingleObject(presser, 0) == WAIT_TIMEOUT) {
        ui::Application->ProcessMessages();
        Sleep(1);
    }
    CloseHandle(presser);
    ui::Application->ProcessMessages();
    return d;
}

void PrintPerWindow(const char* what, const core::TWindowCallCounts& c, double windows) {
    auto per = [&](unsigned n) { return n / windows; };
    printf("  %-8s %5.2f calls per window: text %.2f, class %.2f, style %.2f, owner %.2f, set style %.2f, "
           "show %.2f, answer %.2f, program file %.2f\n",
           what, per(c.Total()), per(c.Text), per(c.ClassName), per(c.Style), per(c.Owner), per(c.SetStyle),
           per(c.Show), per(c.Answer), per(c.Process));
}

}  // namespace

int main() {
    constexpr int kWindows = 200, kRounds = 7, kHotKeyWindows = 50;
    // Before the program's hook, so that it is called after it: the time
    // from SendInput to the probe is what the program's hook adds to each
    // keystroke of the desktop.
    TKeyProbe probe;
    ui::InitApplication();
    ui::Application->Initialize();
    GlobalUnitInitialization();
    ui::Application->CreateForm(MainForm);
    ui::Application->CreateForm(FormMainAppPasswordPrompt);
    ui::Application->SetTag(1);

    {
        // 200 windows, the toggle against bare ShowWindow loops.
        std::vector<std::string> specs;
        for (int i = 0; i < kWindows; ++i) specs.push_back("Window " + std::to_string(i) + "|||");
        FixtureWindows w(specs);
        ui::Application->ProcessMessages();
        Sleep(500);

        std::vector<double> hide, restore, bareHide, bareShow, listing, hideRatio, restoreRatio;
        ui::TListView* scratch = ui::TComponent::Create<ui::TListView>(MainForm);
        scratch->SetParent(MainForm);
        scratch->SetVisible(false);
        core::TWindowCallCounts hideCalls, restoreCalls;
        unsigned listed = 0;
        for (int r = 0; r < kRounds; ++r) {
            core::WindowCalls = {};
            double t = NowUs();
            MainForm->btnHideAll->Click();
            hide.push_back((NowUs() - t) / kWindows);
            hideCalls = core::WindowCalls;
            listed = hideCalls.Text;
            core::WindowCalls = {};
            t = NowUs();
            MainForm->btnHideAll->Click();
            restore.push_back((NowUs() - t) / kWindows);
            restoreCalls = core::WindowCalls;
            ui::Application->ProcessMessages();

            t = NowUs();
            core::FillWindowList(scratch, true);
            listing.push_back((NowUs() - t) / kWindows);

            t = NowUs();
            for (HWND h : w.Handles()) ShowWindow(h, SW_HIDE);
            bareHide.push_back((NowUs() - t) / kWindows);
            t = NowUs();
            for (auto it = w.Handles().rbegin(); it != w.Handles().rend(); ++it) ShowWindow(*it, SW_SHOWNA);
            bareShow.push_back((NowUs() - t) / kWindows);
            ui::Application->ProcessMessages();
            // Each round against its own reference: the machine's load drifts
            // between rounds more than within one.
            hideRatio.push_back(hide.back() / bareHide.back());
            restoreRatio.push_back(restore.back() / bareShow.back());
        }
        double h = Median(hide), rs = Median(restore), bh = Median(bareHide), bs = Median(bareShow);
        printf("windows %d, rounds %d, median microseconds per window\n", kWindows, kRounds);
        printf("  toggle hide     %8.1f   bare ShowWindow(SW_HIDE)   %8.1f   median ratio of the rounds %5.2f\n", h, bh,
               Median(hideRatio));
        printf("  toggle restore  %8.1f   bare ShowWindow(SW_SHOWNA) %8.1f   median ratio of the rounds %5.2f\n", rs,
               bs, Median(restoreRatio));
        printf("  of the hide, listing the windows %8.1f\n", Median(listing));
        ui::FreeItems<core::TWinInfo>(scratch);
        printf("calls into other programs' windows, per listed window (%u listed; the bare loops make 1):\n", listed);
        PrintPerWindow("hide", hideCalls, listed);
        PrintPerWindow("restore", restoreCalls, listed);
        fflush(stdout);
    }

    {
        // The hot key as a person presses it, through the hook library.
        std::vector<std::string> few;
        for (int i = 0; i < kHotKeyWindows; ++i) few.push_back("Hot " + std::to_string(i) + "|||");
        FixtureWindows f(few);
        PumpUntil([] { return false; }, 300);
        std::vector<double> press, release;
        for (int r = 0; r < kRounds; ++r) {
            for (bool hideNow : {true, false}) {
                const double t = NowUs();
                SendKey(VK_CONTROL, false);
                SendKey(VK_OEM_3, false);
                PumpUntil([&] { return AllHidden(f.Handles(), hideNow); }, 10000);
                (hideNow ? press : release).push_back((NowUs() - t) / 1000.0);
                SendKey(VK_OEM_3, true);
                SendKey(VK_CONTROL, true);
                PumpUntil([] { return false; }, 50);
            }
        }
        printf("hot key to the last of %d windows: hidden %.1f ms, shown again %.1f ms (median of %d)\n",
               kHotKeyWindows, Median(press), Median(release), kRounds);
    }

    const TKeyDelays idle = KeyDelays(false), busy = KeyDelays(true);
    printf("key events through the hook, 80 in 2 s: idle median %.0f us worst %.0f us; "
           "GUI thread busy 2 s: median %.0f us worst %.0f us (ratio of worst %.1f); lost %d and %d\n",
           idle.median, idle.worst, busy.median, busy.worst, idle.worst > 0 ? busy.worst / idle.worst : 0.0, idle.lost,
           busy.lost);
    const bool ok = idle.lost == 0 && busy.lost == 0;

    ui::TComponent::Free(FormMainAppPasswordPrompt);
    ui::TComponent::Free(MainForm);
    GlobalUnitFinalization();
    ui::DoneApplication();
    return ok ? 0 : 1;
}
