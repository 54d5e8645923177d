#include "core/ScreenSaver.h"

#include <windows.h>

namespace core {

namespace {

class SystemScreenSaver : public IScreenSaverSystem {
public:
    bool LockWorkstation() override { return ::LockWorkStation() != FALSE; }
    void StartScreenSaver() override {
        // The desktop window's default handling starts the configured saver
        // (nothing happens when none is chosen).
        DefWindowProcA(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    }
};

SystemScreenSaver gSystem;
IScreenSaverSystem* gCurrent = &gSystem;

}  // namespace

IScreenSaverSystem* SetScreenSaverSystem(IScreenSaverSystem* s) {
    IScreenSaverSystem* old = gCurrent;
    gCurrent = s ? s : &gSystem;
    return old;
}

void StartScreenSaver(bool LockWorkstationFirst) {
    if (LockWorkstationFirst) gCurrent->LockWorkstation();
    gCurrent->StartScreenSaver();
}

}  // namespace core
