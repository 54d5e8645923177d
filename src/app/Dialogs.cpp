#include "app/Dialogs.h"

TTestForm* TestForm = nullptr;
TFormSetAppPassword* FormSetAppPassword = nullptr;
TFormKeyboardLayour* FormKeyboardLayour = nullptr;

using namespace ui;

TTestForm::TTestForm(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("TestForm");
    SetCaption("TestForm");
    EndLoading();
    DoCreate();
}

TFormSetAppPassword::TFormSetAppPassword(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("FormSetAppPassword");
    SetCaption("Application password");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(257, 162);
    EndLoading();
    DoCreate();
}

TFormKeyboardLayour::TFormKeyboardLayour(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("FormKeyboardLayour");
    SetCaption("Defualt Hotkeys");
    SetBorderStyle(bsNone);
    SetClientSize(483, 325);
    EndLoading();
    DoCreate();
}
