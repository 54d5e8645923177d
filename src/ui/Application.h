#pragma once
// The application object: a hidden window of its own that owns the forms'
// windows, the message loop, idle processing (mouse enter/leave), exception
// reporting and the help file; and the screen object.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Component.h"
#include "ui/Messages.h"

namespace ui {

class TCustomForm;
class TControl;
class TFont;
class THintWindow;

using TMessageHook = Event<bool(TMessage&)>;
using TExceptionEvent = Event<void(TObject*, const std::exception&)>;
using TIdleEvent = Event<void(TObject*, bool&)>;
using THelpEvent = Event<bool(WORD, intptr_t, bool&)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Creates the application window and enters the single-threaded COM
    // apartment.
    void Initialize();
    HWND Handle() const { return handle_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& t);
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool v) { showMainForm_ = v; }
    TCustomForm* MainForm() const { return mainForm_; }
    bool Terminated() const { return terminated_; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int ms) { hintHidePause_ = ms; }
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms) { hintPause_ = ms; }
    // The hint shown now, or none; hides it.
    THintWindow* HintWindow() const { return hintWindow_; }
    void CancelHint();
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& f) { helpFile_ = f; }
    std::string ExeName() const;

    // Creates a form owned by the application; the first one becomes the
    // main form.
    template <class T> void CreateForm(T*& ref) {
        ref = nullptr;
        T* f = new T(this);
        ref = f;
        f->AfterConstruction();
        if (!mainForm_) {
            // The main form's window exists from the start, shown or not.
            f->HandleNeeded();
            mainForm_ = f;
        }
    }

    void Run();
    void Terminate();
    void ProcessMessages();
    // Waits for and handles one message (running the idle step first when the
    // queue is empty).
    void HandleMessage();
    // Reports the exception being handled (call from a catch block).
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& e);
    void HookMainWindow(TMessageHook hook);
    void UnhookMainWindow(TMessageHook hook);
    // Help requests on the help file, through the help system (ui/HelpIntfs.h).
    bool HelpContext(int ctx);
    bool HelpKeyword(const std::string& keyword);
    bool HelpJump(const std::string& topic);
    // HELP_CONTEXT, HELP_KEY (data: the keyword text), HELP_FINDER and
    // HELP_CONTENTS (the table of contents).
    bool HelpCommand(UINT cmd, ULONG_PTR data);

    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    THelpEvent OnHelp;

    // The control now under the mouse (CM_MOUSEENTER was sent to it).
    TControl* MouseControl() const { return mouseControl_; }
    // Moves the hover to target: CM_MOUSELEAVE to the old control, then
    // CM_MOUSEENTER to the new one.
    void SetMouseControl(TControl* target);
    // Runs the idle step now (tests, modal loops); false when an OnIdle
    // handler asked to run again before the loop waits for a message.
    bool Idle();
    void ControlDestroyed(TControl* c);
    // The application window is shown (with no size: only its taskbar
    // button and its place in the window list show) exactly while the main
    // form is.
    void MainFormShown(bool shown);
    void FormDestroyed(TCustomForm* f);

private:
    bool ProcessMessage(MSG& msg);
    bool IsKeyMsg(MSG& msg);
    void DoMouseIdle();
    void HintTimerExpired();
    static LRESULT CALLBACK AppWndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);

    HWND handle_ = nullptr;
    std::string title_;
    bool showMainForm_ = true;
    TCustomForm* mainForm_ = nullptr;  // owned as a component
    bool terminated_ = false;
    int hintHidePause_ = 2500;
    int hintPause_ = 500;
    std::string helpFile_;
    std::vector<TMessageHook> hooks_;
    TControl* mouseControl_ = nullptr;   // not owned
    TControl* hintControl_ = nullptr;    // not owned: waits for its hint, or shows it
    THintWindow* hintWindow_ = nullptr;  // owned as a component
    bool hintShowing_ = false;
    bool comInitialised_ = false;
    bool handlingException_ = false;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int i) const { return forms_.at(static_cast<size_t>(i)); }
    TCustomForm* ActiveForm() const { return activeForm_; }
    TControl* ActiveControl() const { return activeControl_; }
    TFont* MenuFont();
    int Width() const;
    int Height() const;
    int PixelsPerInch() const;

    void AddForm(TCustomForm* f);
    void RemoveForm(TCustomForm* f);
    void SetActiveForm(TCustomForm* f);
    void SetActiveControl(TControl* c) { activeControl_ = c; }

private:
    std::vector<TCustomForm*> forms_;  // not owned; in creation order
    TCustomForm* activeForm_ = nullptr;
    TControl* activeControl_ = nullptr;
    std::unique_ptr<TFont> menuFont_;
};

extern TApplication* Application;
extern TScreen* Screen;

// Creates the Application and Screen objects (once; the program entry and
// the test main call it).
void InitApplication();
void DoneApplication();

}  // namespace ui
