// hook_helper.exe <title> <milliseconds>: another process with a window for
// the hook tests. Opens a top-level window with the given title, shows it,
// and runs until the window is closed or the time is up.
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK HelperWndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    WNDCLASSA wc{};
    wc.lpfnWndProc = HelperWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VskHookHelper";
    if (!RegisterClassA(&wc)) return 3;
    HWND wnd = CreateWindowExA(0, wc.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 20, 20, 240, 120, nullptr, nullptr,
                               wc.hInstance, nullptr);
    if (!wnd) return 4;
    ShowWindow(wnd, SW_SHOW);
    SetTimer(wnd, 1, static_cast<UINT>(std::atoi(argv[2])), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == wnd) {
            DestroyWindow(wnd);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
