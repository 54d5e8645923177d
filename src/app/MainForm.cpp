#include "app/MainForm.h"

#include "ui/GdiObjects.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(ui::TComponent* AOwner) : ui::TForm(AOwner) {
    using namespace ui;
    BeginLoading();
    SetName("MainForm");
    SetCaption("Tollamy - Veskara");
    SetBorderIcons(biMinimize | biMaximize);  // no system menu: Terminate ends the program
    SetPosition(poScreenCenter);
    SetHelpContext(1000);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    SetBounds(0, 0, 640, 347);
    SetConstraints(640, 347);
    EndLoading();
    DoCreate();
}
