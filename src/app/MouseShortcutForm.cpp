#include "app/MouseShortcutForm.h"

#include "app/FormBuilding.h"
#include "app/SettingsUnit.h"

using namespace ui;
using controls::TFlatCheckBox;
using controls::TFlatSpinEditInteger;

constexpr int kMaxHover = 30000, kMaxZone = 200;

TMouseShortcutForm::TMouseShortcutForm(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("MouseShortcutForm");
    SetCaption("Mouse Shortcut");
    SetBorderStyle(bsSingle);
    // A close box (Cancel) beside the help box: a fixed dialog has no use
    // for the maximise box, which would hide the help box.
    SetBorderIcons(biSystemMenu | biHelp);
    SetPosition(poOwnerFormCenter);
    SetClientSize(207, 136);

    gbCorners = Make<TGroupBox>(this, this, "gbCorners", "Screen corners", 6, 4, 92, 96);
    auto box = [&](const char* name, int x, int y, void (TMouseShortcutForm::*onClick)(TObject*)) {
        auto* c = Make<TFlatCheckBox>(this, gbCorners, name, "", x, y, 15, 17);
        c->OnClick = TNotifyEvent(this, onClick);
        return c;
    };
    cbTopLeft = box("cbTopLeft", 10, 20, &TMouseShortcutForm::cbTopLeftClick);
    cbTopRight = box("cbTopRight", 66, 20, &TMouseShortcutForm::cbTopRightClick);
    cbBottomLeft = box("cbBottomLeft", 10, 72, &TMouseShortcutForm::cbBottomLeftClick);
    cbBottomRight = box("cbBottomRight", 66, 72, &TMouseShortcutForm::cbBottomRightClick);

    auto spin = [&](const char* name, const char* caption, int y, int max, int step, int value, TLabel*& label) {
        label = Make<TLabel>(this, this, nullptr, caption, 106, y, 96, 13);
        auto* e = Make<TFlatSpinEditInteger>(this, this, name);
        e->SetBounds(106, y + 16, 94, 21);
        e->SetMinValue(0);
        e->SetMaxValue(max);
        e->SetIncrement(step);
        e->SetValue(value);
        return e;
    };
    edHoverInterval = spin("edHoverInterval", "Hover time milisec.", 8, kMaxHover, 100, 500, lbHoverInterval);
    edZoneSize = spin("edZoneSize", "Zone size (pixels)", 54, kMaxZone, 1, 200, lbZoneSize);

    btnOk = Make<TButton>(this, this, "btnOk", "Ok", 44, 106, 75, 25);
    btnOk->OnClick = TNotifyEvent(this, &TMouseShortcutForm::btnOkClick);
    btnOk->SetDefault(true);
    btnCancel = Make<TButton>(this, this, "btnCancel", "Cancel", 126, 106, 75, 25);
    btnCancel->OnClick = TNotifyEvent(this, &TMouseShortcutForm::btnCancelClick);
    btnCancel->SetCancel(true);

    cbTopLeft->SetChecked(true);  // while loading: no click handler runs
    SetActiveControl(cbTopLeft);
    EndLoading();
    TabInScreenOrder(this);
    DoCreate();
}

TFlatCheckBox* TMouseShortcutForm::CornerBox(int Corner) const {
    switch (Corner) {
    case 0: return cbTopLeft;
    case 1: return cbTopRight;
    case 2: return cbBottomLeft;
    case 3: return cbBottomRight;
    default: return nullptr;
    }
}

void TMouseShortcutForm::SelectCorner(TObject* Sender) {
    for (int i = 0; i < 4; ++i)
        if (CornerBox(i) != Sender) SetCheckedSilently(CornerBox(i), false);
    if (auto* box = dynamic_cast<TFlatCheckBox*>(Sender)) SetCheckedSilently(box, true);
}

void TMouseShortcutForm::cbTopLeftClick(TObject* Sender) { SelectCorner(Sender); }
void TMouseShortcutForm::cbTopRightClick(TObject* Sender) { SelectCorner(Sender); }
void TMouseShortcutForm::cbBottomLeftClick(TObject* Sender) { SelectCorner(Sender); }
void TMouseShortcutForm::cbBottomRightClick(TObject* Sender) { SelectCorner(Sender); }
void TMouseShortcutForm::btnOkClick(TObject*) { SetModalResult(mrOk); }
void TMouseShortcutForm::btnCancelClick(TObject*) { SetModalResult(mrCancel); }

bool Configure(core::TMouseShortcutInfo& Info, TComponent* Owner) {
    auto* form = TComponent::Create<TMouseShortcutForm>(Owner);
    struct FreeForm {
        TMouseShortcutForm* f;
        ~FreeForm() { TComponent::Free(f); }
    } freeForm{form};
    form->edHoverInterval->SetValue(Info.HoverInterval);
    form->edZoneSize->SetValue(Info.ZoneSize);
    form->SelectCorner(nullptr);
    if (TFlatCheckBox* box = form->CornerBox(Info.Corner)) box->SetChecked(true);
    if (form->ShowModal() == mrCancel) return false;
    // A number typed past the range and not yet left is kept within it.
    Info.HoverInterval = form->edHoverInterval->ClampToRange(form->edHoverInterval->Value());
    Info.ZoneSize = form->edZoneSize->ClampToRange(form->edZoneSize->Value());
    for (int i = 0; i < 4; ++i) {
        if (form->CornerBox(i)->Checked()) {
            Info.Corner = static_cast<uint8_t>(i);
            break;
        }
    }
    return true;
}
