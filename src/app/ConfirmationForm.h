#pragma once
// The ten-second confirmation of a display mode test: Yes keeps nothing
// (the old mode always comes back), it only ends the test early.
#include "controls/LbSpeedButton.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"

class TConfirmationForm : public ui::TForm {
public:
    explicit TConfirmationForm(ui::TComponent* AOwner);

    ui::TLabel* stQuestion;
    ui::TLabel* stSeconds;
    controls::TLbSpeedButton* btnYes;
    controls::TLbSpeedButton* btnNo;
    ui::TTimer* Timer1;

    void FormShow(ui::TObject* Sender);
    void Timer1Timer(ui::TObject* Sender);
    void btnYesClick(ui::TObject* Sender);
    void btnNoClick(ui::TObject* Sender);

protected:
    void WndProc(ui::TMessage& m) override;
};

extern TConfirmationForm* ConfirmationForm;
