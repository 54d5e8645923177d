// The Help button of the main window.
#include "app/MainForm.h"
#include "ui/Application.h"

using namespace ui;

void TMainForm::BuildHelpButton() {
    btnHelp = TComponent::Create<controls::TLbSpeedButton>(this);
    btnHelp->SetName("btnHelp");
    btnHelp->SetParent(ButtonsPanel);
    btnHelp->SetBounds(396, 2, 75, 23);
    btnHelp->SetCaption("Hel&p");
    btnHelp->SetHint("Show the help file");
    btnHelp->SetShowHint(true);
    btnHelp->OnClick = TNotifyEvent(this, &TMainForm::btnHelpClick);
}

void TMainForm::btnHelpClick(TObject*) { Application->HelpContext(1000); }
