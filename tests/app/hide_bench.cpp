// Hiding and restoring 200 windows of another process through the main
// window's toggle, per window, next to a bare loop of ShowWindow calls on the
// same windows. Not a test: run it under Wine on a display of its own
// (make bench). Prints the medians of several rounds and the two ratios.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "support/FixtureWindows.h"
#include "ui/Application.h"

namespace {

double NowUs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1e6 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    constexpr int kWindows = 200, kRounds = 7;
    ui::InitApplication();
    ui::Application->Initialize();
    GlobalUnitInitialization();
    ui::Application->CreateForm(MainForm);
    ui::Application->CreateForm(FormMainAppPasswordPrompt);
    ui::Application->SetTag(1);

    std::vector<std::string> specs;
    for (int i = 0; i < kWindows; ++i) specs.push_back("Window " + std::to_string(i) + "|||");
    FixtureWindows w(specs);
    ui::Application->ProcessMessages();

    std::vector<double> hide, restore, bareHide, bareShow;
    for (int r = 0; r < kRounds; ++r) {
        double t = NowUs();
        MainForm->btnHideAll->Click();
        hide.push_back((NowUs() - t) / kWindows);
        t = NowUs();
        MainForm->btnHideAll->Click();
        restore.push_back((NowUs() - t) / kWindows);
        ui::Application->ProcessMessages();

        t = NowUs();
        for (HWND h : w.Handles()) ShowWindow(h, SW_HIDE);
        bareHide.push_back((NowUs() - t) / kWindows);
        t = NowUs();
        for (auto it = w.Handles().rbegin(); it != w.Handles().rend(); ++it) ShowWindow(*it, SW_SHOWNA);
        bareShow.push_back((NowUs() - t) / kWindows);
        ui::Application->ProcessMessages();
    }
    double h = Median(hide), rs = Median(restore), bh = Median(bareHide), bs = Median(bareShow);
    printf("windows %d, rounds %d, median microseconds per window\n", kWindows, kRounds);
    printf("  toggle hide     %8.1f   bare ShowWindow(SW_HIDE)   %8.1f\n", h, bh);
    printf("  toggle restore  %8.1f   bare ShowWindow(SW_SHOWNA) %8.1f\n", rs, bs);
    printf("  restore/hide    %8.2f   bare show/hide             %8.2f\n", rs / h, bs / bh);
    bool ok = rs / h <= bs / bh * 1.10;
    printf("%s\n", ok ? "restore keeps pace with hide" : "RESTORE SLOWER THAN THE BARE CALLS ALLOW");

    ui::TComponent::Free(FormMainAppPasswordPrompt);
    ui::TComponent::Free(MainForm);
    GlobalUnitFinalization();
    ui::DoneApplication();
    return ok ? 0 : 1;
}
