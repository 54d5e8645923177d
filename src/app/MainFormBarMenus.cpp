// The main window's owner-drawn popup menus.
#include "app/MainForm.h"

using namespace ui;

void TMainForm::BuildBarMenus() {
    popMenuAvailableWindows = TComponent::Create<painters::TBcBarPopupMenu>(this);
    popMenuAvailableWindows->SetName("popMenuAvailableWindows");
    popMenuAvailableWindows->Bar()->SetVisible(false);
    popMenuAvailableWindows->Separators()->Font()->SetName("MS Sans Serif");
    popMenuAvailableWindows->Separators()->Font()->SetHeight(-11);
    popMenuAvailableWindows->Separators()->Font()->SetColor(clWindowText);
    popMenuAvailableWindows->Bar()->BarCaption()->Font()->SetHeight(-19);
    auto* refresh = TComponent::Create<TMenuItem>(this);
    refresh->SetName("mnRefreshAvailable");
    refresh->SetCaption("Refresh List");
    refresh->OnClick = TNotifyEvent(this, &TMainForm::mnRefreshAvailableClick);
    popMenuAvailableWindows->Items()->Add(refresh);
    AvailableWindowsList->SetPopupMenu(popMenuAvailableWindows);
}

void TMainForm::mnRefreshAvailableClick(TObject*) { RefreshAvailableWindows(); }
