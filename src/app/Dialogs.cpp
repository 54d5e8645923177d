#include "app/Dialogs.h"

#include <memory>

#include "app/FormBuilding.h"
#include "app/MainForm.h"
#include "core/StoredValues.h"
#include "tbx/PNGBitmap.h"
#include "ui/Application.h"
#include "ui/Stream.h"

TTestForm* TestForm = nullptr;
TFormSetAppPassword* FormSetAppPassword = nullptr;
TFormKeyboardLayour* FormKeyboardLayour = nullptr;

using namespace ui;

// The set-password dialog's client area, before the note is fitted.
constexpr int kSetPasswordWidth = 257, kSetPasswordHeight = 162;

TTestForm::TTestForm(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("TestForm");
    SetCaption("TestForm");
    EndLoading();
    DoCreate();
}

// ---------------------------------------------------------------- password

TFormSetAppPassword::TFormSetAppPassword(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("FormSetAppPassword");
    SetCaption("Application password");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(kSetPasswordWidth, kSetPasswordHeight);

    lbNote = MakeWrappedLabel(this, this, "lbNote",
                              "Please remember or write down the password you have set. If you forget this "
                              "password you will no longer be able to access the application settings.",
                              10, 8, 237, 40);
    lbNote->Font()->SetColor(185);

    auto entry = [&](const char* labelName, const char* caption, const char* name, int y, TLabel*& label) {
        label = Make<TLabel>(this, this, labelName, caption, 10, y, 237, 13);
        auto* e = Make<TEdit>(this, this, name, "", 10, y + 15, 237, 21);
        e->SetPasswordChar('*');
        label->SetFocusControl(e);
        return e;
    };
    edPassword = entry("lbPassword", "Password", "edPassword", 52, lbPassword);
    edConfirmPassword = entry("lbConfirmPassword", "Confirm password", "edConfirmPassword", 92, lbConfirmPassword);

    btnOk = Make<TButton>(this, this, "btnOk", "Ok", 92, 132, 75, 23);
    btnOk->SetDefault(true);
    btnOk->OnClick = TNotifyEvent(this, &TFormSetAppPassword::btnOkClick);
    btnCancel = Make<TButton>(this, this, "btnCancel", "Cancel", 172, 132, 75, 23);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);

    OnShow = TNotifyEvent(this, &TFormSetAppPassword::FormShow);
    EndLoading();
    FitNote();
    TabInScreenOrder(this);
    DoCreate();
}

// The three lines kept for the note hold it in some fonts only: the note
// takes the height its wrapped text needs, and what lies below it moves
// down, the dialog growing by as much.
void TFormSetAppPassword::FitNote() {
    const int planned = lbNote->Height();
    lbNote->SetAutoSize(true);
    lbNote->SetAutoSize(false);
    const int grow = lbNote->Height() - planned;
    if (grow <= 0) {
        lbNote->SetHeight(planned);
        return;
    }
    for (int i = 0; i < ControlCount(); ++i)
        if (TControl* c = Controls(i); c != lbNote) c->SetTop(c->Top() + grow);
    SetClientSize(kSetPasswordWidth, kSetPasswordHeight + grow);
}

void TFormSetAppPassword::btnOkClick(TObject*) {
    const std::string a = edPassword->Text(), b = edConfirmPassword->Text();
    if (a != b) {
        ShowMessageDialog(this, "The passwords do not match!\n\rPlease correct.", mtError, TMsgDlgButtons{mbOK});
        edPassword->SetFocus();
    } else if (a.size() > core::MaxPasswordLength) {
        ShowMessageDialog(this, std::string(core::PasswordTooLongText) + ".\n\rPlease correct.", mtError,
                          TMsgDlgButtons{mbOK});
        edPassword->SetFocus();
    } else if (!a.empty()) {
        SetModalResult(mrOk);
    } else {
        ShowMessageDialog(this, "Please fill all the fields.", mtWarning, TMsgDlgButtons{mbOK});
        edPassword->SetFocus();
    }
}

void TFormSetAppPassword::FormShow(TObject*) { edPassword->SetFocus(); }

// ---------------------------------------------------------------- hot-key picture

constexpr char kHotkeysPicture[] = "HOTKEYS";  // RCDATA, PNG, 481 x 262

TFormKeyboardLayour::TFormKeyboardLayour(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("FormKeyboardLayour");
    SetCaption("Defualt Hotkeys");
    SetBorderStyle(bsNone);
    SetClientSize(483, 325);

    pnlBack = Make<controls::TKstGradientPanel>(this, this, "pnlBack");
    pnlBack->SetAlign(alClient);
    pnlBack->SetStartColor(8745304);
    pnlBack->SetEndColor(clWindow);
    pnlBack->SetGradientStyle(controls::gsDiagonalRightLeft);
    pnlBack->SetShadowOffsetX(1);
    pnlBack->SetShadowOffsetY(1);
    pnlBack->SetShadowColor(clBlack);

    pnlPicture = Make<controls::TFlatPanel>(this, pnlBack, "pnlPicture", "", 1, 16, 481, 262);
    imgHotkeys = Make<TImage>(this, pnlPicture, "imgHotkeys");
    imgHotkeys->SetAlign(alClient);
    imgHotkeys->SetTransparent(true);

    btnExit = Make<controls::TLbSpeedButton>(this, pnlBack, "btnExit", "&Close", 204, 290, 75, 25);
    // The gradient's light caption colour would leave the button's text
    // unreadable on its light face.
    btnExit->Font()->SetColor(clWindowText);
    btnExit->OnClick = TNotifyEvent(this, &TFormKeyboardLayour::btnExitClick);
    // The window has no control that takes the keyboard: it holds the focus
    // itself, and Enter and Esc press "Close" as in a dialog.
    OnKeyDown = TKeyEvent(this, &TFormKeyboardLayour::FormKeyDown);
    EndLoading();
    DoCreate();

    tbx::TPNGBitmap picture;
    TResourceStream stream(GetModuleHandleA(nullptr), kHotkeysPicture, RT_RCDATA);
    picture.LoadFromStream(&stream);
    imgHotkeys->Picture()->SetGraphic(&picture);
}

void TFormKeyboardLayour::btnExitClick(TObject*) { Close(); }

void TFormKeyboardLayour::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && Shift == 0) {
        Key = 0;
        btnExit->Click();
    }
}

// ---------------------------------------------------------------- routines

int ShowMessageDialog(TCustomForm* Owner, const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                      const std::string& Caption) {
    std::unique_ptr<TForm, void (*)(TForm*)> dlg(CreateMessageDialog(Msg, DlgType, Buttons),
                                                 [](TForm* f) { TComponent::Free(f); });
    if (!Caption.empty()) dlg->SetCaption(Caption);
    if (Owner) {
        dlg->SetPosition(poDesigned);
        dlg->SetBounds(Owner->Left() + (Owner->Width() - dlg->Width()) / 2,
                       Owner->Top() + (Owner->Height() - dlg->Height()) / 2, dlg->Width(), dlg->Height());
    }
    return dlg->ShowModal();
}

TPoint CenteredOver(const TRect& Main, int Width, int Height, int ScreenWidth, int ScreenHeight) {
    int left = Main.left + (RectWidth(Main) - Width) / 2;
    int top = Main.top + (RectHeight(Main) - Height) / 2;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (left + Width > ScreenWidth) left = ScreenWidth - Width;
    if (top + Height > ScreenHeight) top = ScreenHeight - Height;
    return TPoint{left, top};
}

void CenterOverMainForm(TCustomForm* Form) {
    if (!Form || !MainForm) return;
    const TRect main = Bounds(MainForm->Left(), MainForm->Top(), MainForm->Width(), MainForm->Height());
    const TPoint p = CenteredOver(main, Form->Width(), Form->Height(), Screen->Width(), Screen->Height());
    Form->SetPosition(poDesigned);
    Form->SetBounds(p.x, p.y, Form->Width(), Form->Height());
}

void RepaintAllControls(TComponent* Component) {
    if (auto* c = dynamic_cast<TControl*>(Component)) c->Repaint();
    for (int i = 0; i < Component->ComponentCount(); ++i) RepaintAllControls(Component->Components(i));
}
