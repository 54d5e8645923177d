#pragma once
// The ten-second confirmation of a display mode test: Yes keeps nothing
// (the old mode always comes back), it only ends the test early.
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"

class TConfirmationForm : public ui::TForm {
public:
    explicit TConfirmationForm(ui::TComponent* AOwner);

    ui::TLabel* stQuestion;
    ui::TLabel* stSeconds;
    ui::TButton* btnYes;
    ui::TButton* btnNo;
    ui::TTimer* Timer1;

    void FormShow(ui::TObject* Sender);
    void Timer1Timer(ui::TObject* Sender);
    void btnYesClick(ui::TObject* Sender);
    void btnNoClick(ui::TObject* Sender);
};

extern TConfirmationForm* ConfirmationForm;
