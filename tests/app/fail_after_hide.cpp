// A program that hides the windows as Veskara does and then fails with an
// error nothing handles, inside a window's message handler and with no
// memory to be had any more. Arguments: the folder for its files, and the
// name of an event it waits for between the two.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <new>
#include <string>

namespace {
// From the failure on, asking for memory ends the program at once, as a
// heap that is itself what failed would.
volatile bool HeapGone = false;

void* Allocate(std::size_t n) {
    if (HeapGone) ExitProcess(4);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

LRESULT CALLBACK FailingProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) {
        HeapGone = true;
        *static_cast<volatile int*>(nullptr) = 1;
    }
    return DefWindowProcA(h, m, wp, lp);
}
}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "core/HiddenWindows.h"
#include "ui/Application.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    InitCommonControls();
    GlobalUnitInitialization();
    AppDir = argv[1];
    ExListFileName = AppDir + "\\ExList.Dat";
    BttListFileName = AppDir + "\\BttList.Dat";
    SettingsFileName = AppDir + "\\vsk.dat";
    HiddenListFileName = AppDir + "\\HiddenWnd.Dat";
    ui::InitApplication();
    core::ShowHiddenWindowsOnFailure();
    ui::Application->SetShowMainForm(false);
    ui::Application->CreateForm(MainForm);
    SetProgramRunning(true);
    MainForm->btnHideAll->Click();
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (!go || WaitForSingleObject(go, 60000) != WAIT_OBJECT_0) return 3;
    WNDCLASSA wc{};
    wc.lpfnWndProc = FailingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VskFailing";
    RegisterClassA(&wc);
    HWND failing = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    PostMessageA(failing, WM_APP, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
