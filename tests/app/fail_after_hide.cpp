// A program that hides the windows as Veskara does and then fails with an
// error nothing handles. Arguments: the folder for its files, and the name
// of an event it waits for between the two.
#include <windows.h>
#include <commctrl.h>

#include <string>

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
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}
