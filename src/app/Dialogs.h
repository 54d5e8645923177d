#pragma once
// The program's smaller windows, created once at start with the main window.
// Their contents come with the features that use them.
#include "app/ConfirmationForm.h"
#include "ui/Form.h"

// Never shown.
class TTestForm : public ui::TForm {
public:
    explicit TTestForm(ui::TComponent* AOwner);
};

// Sets the application password.
class TFormSetAppPassword : public ui::TForm {
public:
    explicit TFormSetAppPassword(ui::TComponent* AOwner);
};

// The picture of the default hot keys, shown modeless.
class TFormKeyboardLayour : public ui::TForm {
public:
    explicit TFormKeyboardLayour(ui::TComponent* AOwner);
};

extern TTestForm* TestForm;
extern TFormSetAppPassword* FormSetAppPassword;
extern TFormKeyboardLayour* FormKeyboardLayour;
