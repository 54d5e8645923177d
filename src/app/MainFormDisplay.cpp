// The Display panel of the options page: the mode list, the picked and the
// current mode, and the test switch.
#include "app/ConfirmationForm.h"
#include "app/MainForm.h"
#include "core/DisplayModes.h"
#include "ui/Dialogs.h"

using namespace ui;

void TMainForm::BuildDisplayPanel() {
    pnlDisplay = TComponent::Create<TPanel>(this);
    pnlDisplay->SetName("pnlDisplay");
    pnlDisplay->SetParent(SheetOptions);
    pnlDisplay->SetAlign(alClient);
    pnlDisplay->SetBevelOuter(bvNone);
    pnlDisplay->SetCaption("");
    pnlDisplay->SetHelpContext(1014);
    pnlDisplay->SetVisible(false);  // shown by the Display button

    gbDisplayResolution = TComponent::Create<TGroupBox>(this);
    gbDisplayResolution->SetName("gbDisplayResolution");
    gbDisplayResolution->SetParent(pnlDisplay);
    gbDisplayResolution->SetBounds(8, 4, 516, 112);
    gbDisplayResolution->SetCaption("Display resolution");

    auto label = [&](const char* caption, int y) {
        auto* l = TComponent::Create<TLabel>(this);
        l->SetParent(gbDisplayResolution);
        l->SetBounds(12, y + 3, 100, 13);
        l->SetCaption(caption);
        return l;
    };
    auto edit = [&](const char* name, int y) {
        auto* e = TComponent::Create<controls::TFlatEdit>(this);
        e->SetName(name);
        e->SetParent(gbDisplayResolution);
        e->SetBounds(116, y, 160, 19);
        e->SetReadOnly(true);
        e->SetText("");
        return e;
    };
    lbResolutionInfo = label("Selected mode:", 22);
    edResolutionInfo = edit("edResolutionInfo", 22);
    lbCurrentResolutionInfo = label("Current mode:", 48);
    edCurrentResolutionInfo = edit("edCurrentResolutionInfo", 48);

    btnSelectResolution = TComponent::Create<TButton>(this);
    btnSelectResolution->SetName("btnSelectResolution");
    btnSelectResolution->SetParent(gbDisplayResolution);
    btnSelectResolution->SetBounds(284, 21, 50, 21);
    btnSelectResolution->SetCaption("List");
    btnSelectResolution->OnClick = TNotifyEvent(this, &TMainForm::btnSelectResolutionClick);
    btnTestResolution = TComponent::Create<TButton>(this);
    btnTestResolution->SetName("btnTestResolution");
    btnTestResolution->SetParent(gbDisplayResolution);
    btnTestResolution->SetBounds(342, 21, 150, 21);
    btnTestResolution->SetCaption("Test selected resolution");
    btnTestResolution->OnClick = TNotifyEvent(this, &TMainForm::btnTestResolutionClick);
    cbSwitchResolution = MakeCheck(gbDisplayResolution, "cbSwitchResolution", "Switch display resolution", 12, 80,
                                   300);
    cbSwitchResolution->SetHint("Enable display resolution switching on hot key.");
    cbSwitchResolution->SetShowHint(true);

    popMenuResolutions = MakeBarPopupMenu("popMenuResolutions");
    popMenuResolutions->SetMenuStyle(painters::msWindowsXP);
    mnSelectCurrentDisplayMode = TComponent::Create<TMenuItem>(this);
    mnSelectCurrentDisplayMode->SetName("mnSelectCurrentDisplayMode");
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
