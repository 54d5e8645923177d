#include "app/PasswordPrompt.h"

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

    Label1 = TComponent::Create<TLabel>(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetBounds(12, 10, 180, 13);
    Label1->SetCaption("Entre application password");

    edPassword = TComponent::Create<TEdit>(this);
    edPassword->SetName("edPassword");
    edPassword->SetParent(this);
    edPassword->SetBounds(12, 28, 183, 21);
    // The typed password is never shown on the screen.
    edPassword->SetPasswordChar('*');

    btnOk = TComponent::Create<TButton>(this);
    btnOk->SetName("btnOk");
    btnOk->SetParent(this);
    btnOk->SetBounds(40, 60, 75, 25);
    btnOk->SetCaption("&Ok");
    btnOk->SetDefault(true);
    btnOk->SetModalResult(mrOk);

    btnExit = TComponent::Create<TButton>(this);
    btnExit->SetName("btnExit");
    btnExit->SetParent(this);
    btnExit->SetBounds(120, 60, 75, 25);
    btnExit->SetCaption("&Cancel");
    btnExit->SetModalResult(mrCancel);

    OnShow = TNotifyEvent(this, &TFormMainAppPasswordPrompt::FormShow);
    EndLoading();
    DoCreate();
}

void TFormMainAppPasswordPrompt::FormShow(ui::TObject*) { edPassword->SetFocus(); }
