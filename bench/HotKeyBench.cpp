// The hot key as a person meets it, timed from outside the program: the real
// Veskara.exe started quietly from a program folder, N top-level windows of
// other processes whose threads wait in GetMessage (plain windows of one
// process, and windows with the extended styles real programs give them,
// spread over three processes), and this program, which
// presses the hide hot key with SendInput and watches the windows until the
// last is hidden, waits as a person would, presses it again and watches until
// the last is shown. In the same round it hides and shows the same windows
// itself with a bare ShowWindow loop: the reference. Not a test: run it
// under Wine on a display that holds no other window (make bench).
//
//   hotkey_bench.exe PROGRAM_FOLDER [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "e2e/Veskara.h"
#include "support/FixtureWindows.h"
#include "support/KeyInput.h"

namespace {

double NowMs() {
    static const double freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return 1e3 * static_cast<double>(c.QuadPart) / freq;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

using vsk::test::SendKey;

struct TWatchResult {
    double First = -1;  // ms from the start to the first window seen changed
    double Last = -1;   // to the last; -1 when the deadline came first
};

// Watches the windows, in the order they are expected to change, until every
// one has been seen hidden (or shown). Each scan stops at the first window
// not changed yet, so that watching asks the window server little while the
// program works; between scans the thread gives up the processor.
TWatchResult WatchUntil(std::vector<HWND> pending, bool hidden, double start, DWORD deadlineMs) {
    TWatchResult r;
    const ULONGLONG end = GetTickCount64() + deadlineMs;
    while (!pending.empty() && GetTickCount64() < end) {
        size_t done = 0;
        while (done < pending.size() && (IsWindowVisible(pending[done]) == FALSE) == hidden) ++done;
        if (done > 0) {
            const double t = NowMs() - start;
            if (r.First < 0) r.First = t;
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(done));
            if (pending.empty()) r.Last = t;
            continue;
        }
        Sleep(1);
    }
    return r;
}

// Top-level windows shown on the desktop that are not the measurement's own.
std::vector<std::string> OtherShownWindows(const std::vector<HWND>& own) {
    struct S {
        const std::vector<HWND>* own;
        std::vector<std::string> found;
    } s{&own, {}};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<S*>(lp);
            if (!IsWindowVisible(h) || std::find(s->own->begin(), s->own->end(), h) != s->own->end()) return TRUE;
            char c[64] = {}, t[128] = {};
            GetClassNameA(h, c, sizeof c);
            GetWindowTextA(h, t, sizeof t);
            s->found.push_back(std::string(c) + " \"" + t + "\"");
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

struct TRound {
    TWatchResult Hide, Show;
    double BareHide = 0, BareShow = 0;
};

// The measurement's windows, in one or more processes.
struct TDesk {
    std::vector<std::unique_ptr<FixtureWindows>> Programs;
    std::vector<HWND> All;
    void Settled(DWORD ms) const {
        for (const auto& p : Programs) p->Settled(ms);
    }
};

// N windows; with real styles, over three processes, each window with one
// of the extended-style mixes programs give their main windows.
TDesk MakeDesk(int n, bool realStyles) {
    static const char* const kStyles[] = {"0x00040000", "0x00040010", "0x00000210", "0x00040200"};
    const int programs = realStyles ? 3 : 1;
    std::vector<std::vector<std::string>> specs(programs);
    for (int i = 0; i < n; ++i)
        specs[i % programs].push_back("Bench " + std::to_string(i) + "|||" + (realStyles ? kStyles[i % 4] : ""));
    TDesk d;
    for (auto& s : specs) d.Programs.push_back(std::make_unique<FixtureWindows>(s));
    for (const auto& p : d.Programs) d.All.insert(d.All.end(), p->Handles().begin(), p->Handles().end());
    d.Settled(10000);
    return d;
}

// One round: the hot key twice, then the bare loop, each pair of steps
// Pause ms apart.
bool RunRound(const e2e::Veskara& app, const TDesk& w, DWORD Pause, TRound& r) {
    // The program hides from the top of the Z order and shows from the
    // bottom.
    std::vector<HWND> topFirst = ZOrderOf(w.All);
    std::vector<HWND> bottomFirst(topFirst.rbegin(), topFirst.rend());

    SendKey(VK_CONTROL, false);
    double t = NowMs();
    SendKey(VK_OEM_3, false);
    r.Hide = WatchUntil(topFirst, true, t, 20000);
    SendKey(VK_OEM_3, true);
    SendKey(VK_CONTROL, true);
    if (r.Hide.Last < 0) return false;
    Sleep(Pause);  // a person between two presses

    SendKey(VK_CONTROL, false);
    t = NowMs();
    SendKey(VK_OEM_3, false);
    r.Show = WatchUntil(bottomFirst, false, t, 20000);
    SendKey(VK_OEM_3, true);
    SendKey(VK_CONTROL, true);
    if (r.Show.Last < 0) return false;
    // The program finishes what it does after the windows are back (the
    // foreground, its own lists) before the reference runs.
    app.WaitIdle(5000);
    w.Settled(5000);
    Sleep(100);

    t = NowMs();
    for (HWND h : topFirst) ShowWindow(h, SW_HIDE);
    r.BareHide = NowMs() - t;
    Sleep(Pause);
    t = NowMs();
    for (HWND h : bottomFirst) ShowWindow(h, SW_SHOWNA);
    r.BareShow = NowMs() - t;
    w.Settled(5000);
    Sleep(100);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: hotkey_bench PROGRAM_FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    const int counts[] = {10, 50, 200};
    const DWORD pause = 300;

    e2e::Veskara app("/q", folder);
    if (!app.WaitMainWindow() || !app.WaitIdle()) {
        fprintf(stderr, "hotkey_bench: Veskara did not come up from %s\n", folder.c_str());
        return 1;
    }

    printf("hot key (Ctrl+`) from SendInput to the last window hidden / shown, against a bare ShowWindow loop\n"
           "over the same windows in the same round, the presses 300 ms apart; medians of %d rounds (ratio: median of "
           "the\n"
           "rounds' ratios)\n\n",
           rounds);
    printf("| windows | hot key -> first hidden | -> all hidden | bare hide | ratio "
           "| hot key -> first shown | -> all shown | bare show | ratio |\n");
    printf("|---|---|---|---|---|---|---|---|---|\n");
    fflush(stdout);
    bool ok = true;
    bool warmed = false;
    for (bool realStyles : {true, false})
        for (int n : counts) {
            const TDesk w = MakeDesk(n, realStyles);
            if (auto others = OtherShownWindows(w.All); !others.empty()) {
                fprintf(stderr, "hotkey_bench: the desktop shows other windows too; the figures include them:\n");
                for (auto& o : others) fprintf(stderr, "  %s\n", o.c_str());
            }
            if (!warmed) {
                // The program's first toggle loads what it needs once.
                TRound r;
                ok = RunRound(app, w, 300, r) && ok;
                warmed = true;
            }
            {
                std::vector<double> hf, h, bh, hr, sf, s, bs, sr;
                for (int i = 0; i < rounds; ++i) {
                    TRound r;
                    if (!RunRound(app, w, pause, r)) {
                        fprintf(stderr, "hotkey_bench: %d windows: the windows did not all %s within 20 s\n", n,
                                r.Hide.Last < 0 ? "hide" : "come back");
                        ok = false;
                        break;
                    }
                    hf.push_back(r.Hide.First);
                    h.push_back(r.Hide.Last);
                    bh.push_back(r.BareHide);
                    hr.push_back(r.Hide.Last / r.BareHide);
                    sf.push_back(r.Show.First);
                    s.push_back(r.Show.Last);
                    bs.push_back(r.BareShow);
                    sr.push_back(r.Show.Last / r.BareShow);
                }
                if (!ok) break;
                printf("| %d, %s | %.1f ms | %.1f ms | %.1f ms | %.2f | %.1f ms | %.1f ms | %.1f ms | %.2f |\n", n,
                       realStyles ? "real styles, 3 programs" : "plain, 1 program", Median(hf), Median(h), Median(bh),
                       Median(hr), Median(sf), Median(s), Median(bs), Median(sr));
                fflush(stdout);
            }
            if (!ok) break;
        }
    return ok ? 0 : 1;
}
