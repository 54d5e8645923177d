// Program entry: one instance, the quiet-start switch, the start-up password
// and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/Dialogs.h"
#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "core/CommandLine.h"
#include "core/HiddenWindows.h"
#include "core/HtmlHelp.h"
#include "core/WindowPrimitives.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    GlobalUnitInitialization();
    ui::InitApplication();
    core::HtmlHelpInitialization();

    // Never released nor closed: it lives as long as the process.
    CreateMutexA(nullptr, TRUE, "VeskaraMutex");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ui::MessageDlg("This application is already started!", ui::mtWarning, ui::TMsgDlgButtons{ui::mbOK}, 0);
        core::HtmlHelpFinalization();
        ui::DoneApplication();
        GlobalUnitFinalization();
        return 0;
    }

    // Windows an earlier run hid and could not show again (it was ended by
    // force, or failed) come back first; from here on a failure shows the
    // windows it hid before it ends.
    ui::Application->Initialize();  // COM, for the sound the record may put back
    core::RecoverHiddenWindows(HiddenListFileName);
    core::ShowHiddenWindowsOnFailure();

    SetProgramRunning(false);
    ui::Application->CreateForm(MainForm);
    ui::Application->CreateForm(ConfirmationForm);
    ui::Application->CreateForm(TestForm);
    ui::Application->CreateForm(FormSetAppPassword);
    ui::Application->CreateForm(FormMainAppPasswordPrompt);
    ui::Application->CreateForm(FormKeyboardLayour);

    if (core::IsQuietStart(core::SplitParams(GetCommandLineA()))) ui::Application->SetShowMainForm(false);

    if (!AskStartupPassword()) ui::Application->Terminate();

    SetProgramRunning(true);
    ui::Application->Run();
    core::HtmlHelpFinalization();
    ui::DoneApplication();  // the main window restores what is still hidden
    // Windows still waiting for their thread are shown by it once it runs.
    core::HandOverLateWindows();
    core::EndHiddenRecord();
    GlobalUnitFinalization();
    return 0;
}
