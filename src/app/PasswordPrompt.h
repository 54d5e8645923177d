#pragma once
// The application password prompt, shown at start-up and before the main
// window is shown again.
#include "ui/Form.h"
#include "ui/StdCtrls.h"

class TFormMainAppPasswordPrompt : public ui::TForm {
public:
    explicit TFormMainAppPasswordPrompt(ui::TComponent* AOwner);

    ui::TLabel* Label1;
    ui::TEdit* edPassword;
    ui::TButton* btnOk;
    ui::TButton* btnExit;

    void FormShow(ui::TObject* Sender);
};

extern TFormMainAppPasswordPrompt* FormMainAppPasswordPrompt;
