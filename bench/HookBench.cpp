// hook_bench: what the keyboard hook costs per key event. The library's
// low-level keyboard procedure (translation, key tracking, PostMessage to a
// receiver, next hook) is called directly with synthetic events, next to an
// empty procedure that only calls the next hook; both timed per call.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "hook/Hooks.h"
#include "hook/ShookApi.h"

namespace {

constexpr int Events = 10000;
constexpr int DrainEvery = 500;  // posted messages are drained, untimed, before the queue fills

LRESULT CALLBACK EmptyProc(int Code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Presses and releases a handful of keys, with auto-repeats, so that the
// tracker sees every kind of transition.
KBDLLHOOKSTRUCT Synthetic(int i, WPARAM& message) {
    static const DWORD keys[][2] = {{'A', 0x1E}, {VK_LSHIFT, 0x2A}, {VK_RCONTROL, 0x1D}, {VK_F12, 0x58}};
    const auto& key = keys[(i / 4) % 4];
    const bool up = i % 4 == 3;
    KBDLLHOOKSTRUCT k{};
    k.vkCode = key[0];
    k.scanCode = key[1];
    k.flags = LLKHF_INJECTED | (key[0] == VK_RCONTROL ? LLKHF_EXTENDED : 0) | (up ? LLKHF_UP : 0);
    k.time = static_cast<DWORD>(i);
    message = up ? WM_KEYUP : WM_KEYDOWN;
    return k;
}

struct TFigures {
    double median, worst, mean;
};

TFigures Summarise(std::vector<double> ns) {
    double sum = 0;
    for (double v : ns) sum += v;
    std::sort(ns.begin(), ns.end());
    return {ns[ns.size() / 2], ns.back(), sum / static_cast<double>(ns.size())};
}

}  // namespace

int main() {
    HWND receiver = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!receiver) {
        std::fprintf(stderr, "no receiver window, error %lu\n", GetLastError());
        return 1;
    }
    hook::SetReceiverWindow(receiver);
    if (!hook::StartKind(hook::KindKey)) {
        std::fprintf(stderr, "cannot watch keys, error %lu\n", GetLastError());
        return 1;
    }

    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    const double nsPerTick = 1e9 / static_cast<double>(freq.QuadPart);
    std::vector<double> hookNs, emptyNs;
    hookNs.reserve(Events);
    emptyNs.reserve(Events);

    // Interleaved, so that both see the same cache and scheduler weather.
    for (int i = 0; i < Events; ++i) {
        if (i % DrainEvery == 0) Drain();
        WPARAM message;
        KBDLLHOOKSTRUCT k = Synthetic(i, message);
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        EmptyProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&k));
        QueryPerformanceCounter(&t1);
        hook::LowLevelKeyboardProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&k));
        QueryPerformanceCounter(&t2);
        emptyNs.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * nsPerTick);
        hookNs.push_back(static_cast<double>(t2.QuadPart - t1.QuadPart) * nsPerTick);
    }
    Drain();
    hook::StopAllKinds();
    DestroyWindow(receiver);

    const TFigures h = Summarise(hookNs), e = Summarise(emptyNs);
    std::printf("keyboard hook procedure, %d synthetic events (timer resolution %.0f ns)\n", Events, nsPerTick);
    std::printf("  %-22s median %8.0f ns  worst %10.0f ns  mean %8.0f ns\n", "shook (post + next):", h.median, h.worst,
                h.mean);
    std::printf("  %-22s median %8.0f ns  worst %10.0f ns  mean %8.0f ns\n", "empty (next only):", e.median, e.worst,
                e.mean);
    std::printf("  median ratio shook/empty: %.1f\n", e.median > 0 ? h.median / e.median : 0.0);
    return 0;
}
