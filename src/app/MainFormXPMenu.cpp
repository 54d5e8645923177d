// The flat-look painter of the main window: through its manager, the
// buttons and edits of the dialogs.
#include "app/MainForm.h"

#include "app/FormBuilding.h"
#include "ui/GdiObjects.h"

using namespace ui;
using namespace painters;

void TMainForm::BuildXPMenu() {
    XPMenu1 = MakeNamed<TXPMenu>(this, "XPMenu1");
    XPMenu1->Font()->SetName("Microsoft Sans Serif");
    XPMenu1->Font()->SetCharset(RUSSIAN_CHARSET);
    XPMenu1->Font()->SetHeight(-11);
    XPMenu1->Font()->SetColor(clMenuText);
    XPMenu1->SetSelectColor(clBackground);
    XPMenu1->SetSelectBorderColor(clWindow);
    XPMenu1->SetCheckedColor(clBackground);
    XPMenu1->SetUseSystemColors(false);
    XPMenu1->SetGradient(true);
    XPMenu1->SetFlatMenu(true);
    XPMenu1->SetDrawMenuBar(true);
    XPMenu1->SetXPContainers(AllXPContainers & ~Bit(xccPanel));
    XPMenu1->SetXPControls(AllXPControls & ~(Bit(xcMainMenu) | Bit(xcPopupMenu) | Bit(xcPanel)));
    XPMenu1->SetActive(true);
}

void TMainForm::XPMenuDestroy() {
    if (!XPMenu1) return;
    XPMenu1->SetActive(false);
    // No popup window gets the flat border from here on.
    XPMenu1->SetFlatMenu(false);
}
