#include "app/PasswordPrompt.h"

#include "app/FormBuilding.h"

TFormMainAppPasswordPrompt* FormMainAppPasswordPrompt = nullptr;

TFormMainAppPasswordPrompt::TFormMainAppPasswordPrompt(ui::TComponent* AOwner) : ui::TForm(AOwner) {
    using namespace ui;
    BeginLoading();
    SetName("FormMainAppPasswordPrompt");
    SetCaption("VSK");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    SetClientSize(207, 94);

    Label1 = Make<TLabel>(this, this, "Label1", "Entre application password", 12, 10, 180, 13);
    edPassword = Make<TEdit>(this, this, "edPassword", "", 12, 28, 183, 21);
    // The typed password is never shown on the screen.
    edPassword->SetPasswordChar('*');

    btnOk = Make<TButton>(this, this, "btnOk", "&Ok", 40, 60, 75, 25);
    btnOk->SetDefault(true);
    btnOk->SetModalResult(mrOk);
    btnExit = Make<TButton>(this, this, "btnExit", "&Cancel", 120, 60, 75, 25);
    btnExit->SetModalResult(mrCancel);
    btnExit->SetCancel(true);

    OnShow = TNotifyEvent(this, &TFormMainAppPasswordPrompt::FormShow);
    EndLoading();
    TabInScreenOrder(this);
    DoCreate();
}

void TFormMainAppPasswordPrompt::FormShow(ui::TObject*) { edPassword->SetFocus(); }
