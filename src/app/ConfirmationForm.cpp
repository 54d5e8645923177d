#include "app/ConfirmationForm.h"

#include <cstdio>

#include "app/FormBuilding.h"
#include "ui/GdiObjects.h"

TConfirmationForm* ConfirmationForm = nullptr;

using namespace ui;

namespace {

constexpr int kTestSeconds = 10;
int SecondsLeft = 0;

std::string SecondsText(int Seconds) {
    char text[80];
    std::snprintf(text, sizeof text, "Original mode will be restored in %d seconds.", Seconds);
    return text;
}

}  // namespace

TConfirmationForm::TConfirmationForm(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("ConfirmationForm");
    SetCaption("Display mode test");
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetPosition(poScreenCenter);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);

    stQuestion = Make<TLabel>(this, this, "stQuestion", "Does this mode display correctly?", 12, 12, 256, 14);
    stSeconds = Make<TLabel>(this, this, "stSeconds");
    stSeconds->SetAutoSize(false);  // shorter texts must clear the longer ones
    stSeconds->SetBounds(12, 34, 256, 14);
    stSeconds->SetCaption(SecondsText(kTestSeconds));

    btnYes = Make<controls::TLbSpeedButton>(this, this, "btnYes", "&Yes", 60, 62, 75, 23);
    btnYes->OnClick = TNotifyEvent(this, &TConfirmationForm::btnYesClick);
    btnNo = Make<controls::TLbSpeedButton>(this, this, "btnNo", "&No", 145, 62, 75, 23);
    btnNo->OnClick = TNotifyEvent(this, &TConfirmationForm::btnNoClick);

    Timer1 = MakeNamed<TTimer>(this, "Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(1000);
    Timer1->OnTimer = TNotifyEvent(this, &TConfirmationForm::Timer1Timer);

    OnShow = TNotifyEvent(this, &TConfirmationForm::FormShow);
    EndLoading();
    // The frame is known once the window exists.
    HandleNeeded();
    SetClientSize(280, 96);
    TabInScreenOrder(this);
    DoCreate();
}

void TConfirmationForm::FormShow(TObject*) {
    // Above every window, also one a full-screen program left on top.
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SecondsLeft = kTestSeconds;
    stSeconds->SetCaption(SecondsText(SecondsLeft));
    Timer1->SetEnabled(true);
}

void TConfirmationForm::Timer1Timer(TObject*) {
    // Counts on after an early answer while the dialog is hidden, and
    // switches itself off at 0.
    --SecondsLeft;
    stSeconds->SetCaption(SecondsText(SecondsLeft));
    if (SecondsLeft <= 0) {
        Timer1->SetEnabled(false);
        SetModalResult(mrCancel);
    }
}

void TConfirmationForm::WndProc(TMessage& m) {
    // The buttons take no focus: Enter answers Yes and Esc No, as the
    // default and the cancel button of a dialog do.
    if (m.Msg == CM_DIALOGKEY && (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE) &&
        KeyDataToShiftState(m.LParam) == 0) {
        (m.WParam == VK_RETURN ? btnYes : btnNo)->Click();
        m.Result = 1;
        return;
    }
    TForm::WndProc(m);
}

void TConfirmationForm::btnYesClick(TObject*) { SetModalResult(mrYes); }

void TConfirmationForm::btnNoClick(TObject*) { SetModalResult(mrCancel); }
