// The Display panel of the options page: the mode list, the picked and the
// current mode, and the test switch.
#include "app/ConfirmationForm.h"
#include "app/FormBuilding.h"
#include "app/MainForm.h"
#include "core/DisplayModes.h"
#include "ui/Dialogs.h"

using namespace ui;

void TMainForm::BuildDisplayPanel() {
    pnlDisplay = MakePanel(this, SheetOptions, "pnlDisplay", alClient);
    pnlDisplay->SetHelpContext(1014);
    pnlDisplay->SetVisible(false);  // shown by the Display button

    gbDisplayResolution =
        Make<TGroupBox>(this, pnlDisplay, "gbDisplayResolution", "Display resolution", 8, 4, 520, 112);
    gbDisplayResolution->SetAnchors(akLeft | akTop | akRight);
    auto mode = [&](const char* caption, const char* name, int y, TLabel*& label) {
        label = Make<TLabel>(this, gbDisplayResolution, nullptr, caption, 12, y + 3, 100, 13);
        auto* e = Make<controls::TFlatEdit>(this, gbDisplayResolution, name);
        e->SetBounds(116, y, 160, 19);
        e->SetReadOnly(true);
        e->SetText("");
        return e;
    };
    edResolutionInfo = mode("Selected mode:", "edResolutionInfo", 22, lbResolutionInfo);
    edCurrentResolutionInfo = mode("Current mode:", "edCurrentResolutionInfo", 48, lbCurrentResolutionInfo);

    auto button = [&](const char* name, const char* caption, int x, int w, void (TMainForm::*click)(TObject*)) {
        auto* b = Make<TButton>(this, gbDisplayResolution, name, caption, x, 21, w, 21);
        b->OnClick = TNotifyEvent(this, click);
        return b;
    };
    btnSelectResolution = button("btnSelectResolution", "List", 284, 50, &TMainForm::btnSelectResolutionClick);
    btnTestResolution =
        button("btnTestResolution", "Test selected resolution", 342, 150, &TMainForm::btnTestResolutionClick);
    cbSwitchResolution = MakeCheck(gbDisplayResolution, "cbSwitchResolution", "Switch display resolution", 12, 80, 300,
                                   "Enable display resolution switching on hot key.");

    popMenuResolutions = MakeBarPopupMenu("popMenuResolutions");
    popMenuResolutions->SetMenuStyle(painters::msWindowsXP);
    mnSelectCurrentDisplayMode = MakeNamed<TMenuItem>(this, "mnSelectCurrentDisplayMode");
    mnSelectCurrentDisplayMode->SetCaption("Current");
    mnSelectCurrentDisplayMode->SetImageIndex(0);
    mnSelectCurrentDisplayMode->OnClick = TNotifyEvent(this, &TMainForm::mnSelectCurrentDisplayModeClick);
    popMenuResolutions->Items()->Add(mnSelectCurrentDisplayMode);
    btnSelectResolution->SetPopupMenu(popMenuResolutions);
}

void TMainForm::ShowDisplayModes() {
    core::FillResolutionMenu(popMenuResolutions, TNotifyEvent(this, &TMainForm::ResolutionMenuClick));
    // A "Resolution" that names no mode of this display stands for the mode
    // in use, and is saved so.
    core::SelectedDisplayMode = core::ValidDisplayMode(core::SelectedDisplayMode);
    edResolutionInfo->SetText(core::DisplayModeText(core::SelectedDisplayMode));
    edCurrentResolutionInfo->SetText(core::DisplayModeText(core::FindCurrentDisplayMode()));
}

void TMainForm::ResolutionMenuClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    core::SelectedDisplayMode = static_cast<int>(item->Tag());
    edResolutionInfo->SetText(core::DisplayModeText(core::SelectedDisplayMode));
}

void TMainForm::mnSelectCurrentDisplayModeClick(TObject*) {
    core::SelectedDisplayMode = core::FindCurrentDisplayMode();
    edResolutionInfo->SetText(core::DisplayModeText(core::SelectedDisplayMode));
}

void TMainForm::btnTestResolutionClick(TObject*) {
    MessageDlg("Your display mode will be switched to the one you have selected.\n\rIf the screen becomes black or "
               "distorted please wait 10 seconds\n\rand your original display mode will be restored.",
               mtInformation, TMsgDlgButtons{mbOK}, 0);
    core::TestDisplayMode([] { ConfirmationForm->ShowModal(); });
    edCurrentResolutionInfo->SetText(core::DisplayModeText(core::FindCurrentDisplayMode()));
}

void TMainForm::btnSelectResolutionClick(TObject*) {
    // The list drops down below the button, as from a menu button.
    TPoint p = btnSelectResolution->ClientToScreen(TPoint{0, btnSelectResolution->Height()});
    popMenuResolutions->SetPopupComponent(btnSelectResolution);
    popMenuResolutions->Popup(p.x, p.y);
}

void TMainForm::btnDisplayClick(TObject*) {
    edCurrentResolutionInfo->SetText(core::DisplayModeText(core::FindCurrentDisplayMode()));
    ShowOptionsPanel(pnlDisplay);
}

void TMainForm::btnKeyaboardClick(TObject*) {
    ShowOptionsPanel(pnlKeyboard);
    if (cbWinCtrl->CanFocus()) cbWinCtrl->SetFocus();
}
