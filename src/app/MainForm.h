#pragma once
// The main settings window.
#include "ui/Form.h"

class TMainForm : public ui::TForm {
public:
    explicit TMainForm(ui::TComponent* AOwner);
};

extern TMainForm* MainForm;
