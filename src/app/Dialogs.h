#pragma once
// The program's smaller windows, created once at start with the main window,
// and the small routines that place them.
#include <string>

#include "app/ConfirmationForm.h"
#include "controls/FlatGroupBox.h"
#include "controls/KstGradientPanel.h"
#include "controls/LbSpeedButton.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

// Never shown.
class TTestForm : public ui::TForm {
public:
    explicit TTestForm(ui::TComponent* AOwner);
};

// Sets the application password: two equal entries that are not empty.
// The entries keep their text between uses.
class TFormSetAppPassword : public ui::TForm {
public:
    explicit TFormSetAppPassword(ui::TComponent* AOwner);

    ui::TLabel* lbNote;
    ui::TLabel* lbPassword;
    ui::TEdit* edPassword;
    ui::TLabel* lbConfirmPassword;
    ui::TEdit* edConfirmPassword;
    ui::TButton* btnOk;
    ui::TButton* btnCancel;

    void btnOkClick(ui::TObject* Sender);
    void FormShow(ui::TObject* Sender);

private:
    void FitNote();
};

// The picture of the default hot keys, shown modeless.
class TFormKeyboardLayour : public ui::TForm {
public:
    explicit TFormKeyboardLayour(ui::TComponent* AOwner);

    controls::TKstGradientPanel* pnlBack;
    controls::TFlatPanel* pnlPicture;
    ui::TImage* imgHotkeys;
    controls::TLbSpeedButton* btnExit;

    void btnExitClick(ui::TObject* Sender);
    void FormKeyDown(ui::TObject* Sender, WORD& Key, ui::TShiftState Shift);
};

extern TTestForm* TestForm;
extern TFormSetAppPassword* FormSetAppPassword;
extern TFormKeyboardLayour* FormKeyboardLayour;

// A message dialog centred on Owner (on the screen without one), under
// Caption when one is given; shown modally, it returns the modal result.
int ShowMessageDialog(ui::TCustomForm* Owner, const std::string& Msg, ui::TMsgDlgType DlgType,
                      ui::TMsgDlgButtons Buttons, const std::string& Caption = std::string());
// Where a Width x Height window centred over the main window stands, kept
// inside a screen of ScreenWidth x ScreenHeight.
ui::TPoint CenteredOver(const ui::TRect& Main, int Width, int Height, int ScreenWidth, int ScreenHeight);
// Moves Form to the middle of the main window, fully on the screen.
void CenterOverMainForm(ui::TCustomForm* Form);
// Repaints every control among the components Component owns, at any depth.
void RepaintAllControls(ui::TComponent* Component);
