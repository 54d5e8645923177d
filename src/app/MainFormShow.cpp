// The main window shown and hidden, behind the application password, and
// the password asked for at start.
#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "core/RegistryValues.h"
#include "ui/Dialogs.h"

namespace {
// Set while ToggleMainWindow asks for the password: the key that opened the
// prompt, pressed again or held, must not open it a second time.
bool PromptOpen = false;

// Whether the prompt holds the password. A wrong password is said so; a
// failure of the check (a password too long to check among them) is shown
// instead, and counts as a wrong password.
bool TypedPasswordMatches() {
    try {
        if (core::PasswordMatches(AppPassword, FormMainAppPasswordPrompt->edPassword->Text())) return true;
        ui::MessageDlg("Invalid password\n\rPlease check your spelling and try again!", ui::mtError,
                       ui::TMsgDlgButtons{ui::mbOK}, 0);
    } catch (const std::exception& e) {
        ui::MessageDlg(e.what(), ui::mtError, ui::TMsgDlgButtons{ui::mbOK}, 0);
    }
    return false;
}

// Asks until the password is typed right (true) or the prompt is cancelled
// (false); with Clear, each try starts from an empty edit.
bool PromptUntilRight(bool Clear) {
    for (;;) {
        if (Clear) FormMainAppPasswordPrompt->edPassword->SetText("");
        if (FormMainAppPasswordPrompt->ShowModal() != ui::mrOk) return false;
        if (TypedPasswordMatches()) return true;
    }
}
}  // namespace

// The edit keeps the last text typed between tries.
bool AskStartupPassword() { return AppPassword.empty() || PromptUntilRight(false); }

void ToggleMainWindow(bool AskPassword) {
    if (PromptOpen || FormMainAppPasswordPrompt->Visible()) return;
    if (MainForm->Visible()) {
        MainForm->Hide();
        return;
    }
    if (!AppPassword.empty() && AskPassword) {
        PromptOpen = true;
        struct TClose {
            ~TClose() { PromptOpen = false; }
        } close;
        if (!PromptUntilRight(true)) return;  // stays hidden
    }
    if (MainForm->AvailableWindowsStale) {
        MainForm->AvailableWindowsStale = false;
        MainForm->RefreshAvailableWindows();
    }
    MainForm->Show();
    // Shown to be used: a window the user had minimised comes back as it
    // was before, not as an icon.
    if (MainForm->WindowState() == ui::wsMinimized) MainForm->SetWindowState(ui::wsNormal);
}
