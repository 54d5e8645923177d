// The Help button of the main window.
#include "app/MainForm.h"
#include "ui/Application.h"

using namespace ui;

void TMainForm::BuildHelpButton() {
    btnHelp = MakeSpeedButton(ButtonsPanel, "btnHelp", "Hel&p", 396, 2, 75, 23, "Show the help file",
                              &TMainForm::btnHelpClick);
    btnHelp->SetAnchors(akTop | akRight);
}

void TMainForm::btnHelpClick(TObject*) { Application->HelpContext(1000); }
