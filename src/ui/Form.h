#pragma once
// Forms: top-level windows owned by the application window, built in code by
// their constructors (properties set under the loading state, then Loaded).
#include <string>

#include "ui/Control.h"

namespace ui {

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIconFlag : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1, mrNoToAll = mrAll + 1,
                       mrYesToAll = mrNoToAll + 1;

using TCloseEvent = Event<void(TObject*, TCloseAction&)>;
using TCloseQueryEvent = Event<void(TObject*, bool&)>;

class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons v);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition v) { position_ = v; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState v);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }
    // Size constraints (0 = none).
    void SetConstraints(int minW, int minH, int maxW = 0, int maxH = 0);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* m);
    // Before the window exists, the client area the frame its style gives
    // will leave, so that a layout made then holds once it is shown.
    TRect ClientRect() override;

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* c);
    // Gives c the focus when the form is active, otherwise makes it the
    // control that gets the focus when the form is activated.
    void FocusControl(TWinControl* c);
    // Told by a control that received the focus (CM_EXIT / CM_ENTER).
    void SetFocusedControl(TWinControl* c);
    // Told that c (with its children) leaves the form: the form forgets it
    // as its active and focused control.
    void ControlRemoved(TControl* c);
    bool Active() const { return active_; }

    void SetVisible(bool v) override;
    void Show();
    void Close();
    bool CloseQuery();
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v);
    bool Modal() const { return modal_; }
    // Frees the form once the messages now waiting have been handled.
    void Release();
    bool Showing() const override;
    void Loaded() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;
    TNotifyEvent OnDestroy;

    using TWinControl::DoKeyDown;
    using TWinControl::DoKeyPress;
    using TWinControl::DoKeyUp;

    // Runs OnCreate; form constructors call it last.
    void DoCreate();

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    void VisibleChanged() override;
    void Destroying() override;
    bool HandleMenuMessage(TMessage& m) override;
    virtual void DoClose(TCloseAction& Action);
    virtual void DoShow();
    virtual void DoHide();
    void Paint() override;

private:
    void PlaceOnScreen();
    void SetWindowFocus();

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    bool keyPreview_ = false;
    int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
    TMainMenu* menu_ = nullptr;              // not owned: the menu bar shown on this form
    TWinControl* activeControl_ = nullptr;   // not owned
    TWinControl* focusedControl_ = nullptr;  // not owned
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool active_ = false;
    bool placed_ = false;
    bool destroyRan_ = false;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

}  // namespace ui
