#include "ui/UtilWindow.h"

#include <memory>

#include "ui/Application.h"
#include "ui/Exception.h"

namespace ui {

namespace {

const char kUtilWindowClass[] = "TVskUtilWindow";

LRESULT CALLBACK UtilWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    // Messages of CreateWindowEx arrive before the method is attached.
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (!method || !*method) return DefWindowProcA(h, msg, wp, lp);
    TMessage m{msg, wp, lp, 0};
    try {
        (*method)(m);
    } catch (...) {
        // No exception crosses a window procedure.
        if (Application) Application->HandleException(Application);
    }
    return m.Result;
}

void RegisterUtilClass(HINSTANCE inst) {
    WNDCLASSA existing{};
    if (GetClassInfoA(inst, kUtilWindowClass, &existing)) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &UtilWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = kUtilWindowClass;
    if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register window class " + std::string(kUtilWindowClass));
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    RegisterUtilClass(inst);
    // A tool window: never on the task bar, and not a message-only window,
    // so that broadcasts reach it too.
    HWND h =
        CreateWindowExA(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
    if (!h) RaiseLastOSError();
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(Method)));
    return h;
}

void DeallocateHWnd(HWND Wnd) {
    if (!Wnd) return;
    std::unique_ptr<TWndMethod> method(reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA)));
    SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
    DestroyWindow(Wnd);
}

}  // namespace ui
