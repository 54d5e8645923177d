// The main window's owner-drawn popup menus share one look.
#include "app/MainForm.h"

#include "app/FormBuilding.h"

using namespace ui;

painters::TBcBarPopupMenu* TMainForm::MakeBarPopupMenu(const char* Name) {
    auto* m = MakeNamed<painters::TBcBarPopupMenu>(this, Name);
    m->Bar()->SetVisible(false);
    m->Separators()->Font()->SetName("MS Sans Serif");
    m->Separators()->Font()->SetHeight(-11);
    m->Separators()->Font()->SetColor(clWindowText);
    m->Bar()->BarCaption()->Font()->SetHeight(-19);
    return m;
}
