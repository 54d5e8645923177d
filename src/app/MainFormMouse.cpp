// The mouse corners: the two toggle buttons of the Shortcuts panel and the
// timer that watches the pointer.
#include <windows.h>

#include <string>

#include "app/FormBuilding.h"
#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/MouseShortcutForm.h"
#include "core/MouseShortcut.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"

using namespace ui;
using controls::TFlatSpeedButton;

namespace {

std::string DesktopName(HDESK desk) {
    char name[256] = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationA(desk, UOI_NAME, name, sizeof name - 1, &needed)) return std::string();
    return name;
}

// Whether the user's desktop is not the one taking input (the workstation
// is locked, or a secure desktop is shown). It compares the input desktop
// with the program's own desktop by name and never switches desktops.
bool IsInputDesktopLocked() {
    HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!input) {
        // The lock screen's desktop cannot be opened by the user.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    const std::string inputName = DesktopName(input);
    CloseDesktop(input);
    std::string own = DesktopName(GetThreadDesktop(GetCurrentThreadId()));  // not closed: not ours
    if (own.empty()) own = "Default";
    return !inputName.empty() && lstrcmpiA(inputName.c_str(), own.c_str()) != 0;
}

TFlatSpeedButton* MakeCornerButton(TMainForm* form, TWinControl* parent, const char* name, TNotifyEvent onClick) {
    auto* b = Make<TFlatSpeedButton>(form, parent, name, "Mouse", 288, 15, 60, 23);
    // The mouse the quick instructions speak of, before the caption.
    TBitmap glyph;
    glyph.LoadFromResourceName(GetModuleHandleA(nullptr), "MOUSEGLYPH");
    b->SetGlyph(&glyph);
    b->SetLayout(controls::blGlyphLeft);
    b->SetSpacing(3);
    b->SetGroupIndex(-1);
    b->SetAllowAllUp(true);
    GiveHint(b, "Activate On Mouse Shortcut");
    b->SetHelpContext(1014);
    b->OnClick = onClick;
    return b;
}

}  // namespace

void TMainForm::BuildMouseCornerControls() {
    btnMouseWinCtrl =
        MakeCornerButton(this, gbHideWindows, "btnMouseWinCtrl", TNotifyEvent(this, &TMainForm::btnMouseWinCtrlClick));
    btnMouseSSaverCtrl = MakeCornerButton(this, gbScreenSaver, "btnMouseSSaverCtrl",
                                          TNotifyEvent(this, &TMainForm::btnMouseSSaverCtrlClick));
    MouseTimer = MakeNamed<TTimer>(this, "MouseTimer");
    MouseTimer->SetInterval(500);
    MouseTimer->OnTimer = TNotifyEvent(this, &TMainForm::MouseTimerTimer);
}

void TMainForm::MouseTimerTimer(TObject*) {
    if (!ProgramRunning()) return;
    core::TCornerTick tick;
    tick.Running = true;
    tick.HideCornerOn = btnMouseWinCtrl->Down();
    tick.SaverCornerOn = btnMouseSSaverCtrl->Down();
    if (!tick.HideCornerOn && !tick.SaverCornerOn) return;
    tick.DesktopLocked = IsInputDesktopLocked();
    POINT p{};
    if (!GetCursorPos(&p)) return;
    tick.X = p.x;
    tick.Y = p.y;
    tick.Width = GetSystemMetrics(SM_CXSCREEN);
    tick.Height = GetSystemMetrics(SM_CYSCREEN);
    tick.WindowsHidden = HiddenWindowList != nullptr;
    tick.Now = GetTickCount();
    const core::TCornerActions act = core::MouseCornerTick(tick, *HideWindowsShortcut, *ScreenSaverShortcut);
    if (act.HideWindows) btnHideAll->Click();
    if (act.StartScreenSaver) {
        ResetKeyState();
        StartScreenSaver();
    }
}

void TMainForm::btnMouseWinCtrlClick(TObject*) {
    // Going down opens the dialog; Cancel puts the button up again.
    if (btnMouseWinCtrl->Down()) btnMouseWinCtrl->SetDown(Configure(*HideWindowsShortcut, this));
}

void TMainForm::btnMouseSSaverCtrlClick(TObject*) {
    if (btnMouseSSaverCtrl->Down()) btnMouseSSaverCtrl->SetDown(Configure(*ScreenSaverShortcut, this));
}
