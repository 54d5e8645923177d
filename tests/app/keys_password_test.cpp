// The main window's keyboard road (key events as the hook library posts
// them to the receiver window) and the password prompts.
#include <functional>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "support/FixtureWindows.h"
#include "core/HotKeys.h"
#include "core/RegistryValues.h"
#include "core/StoredValues.h"
#include "core/ScreenSaver.h"
#include "ui/Dialogs.h"
#include "ui/Timer.h"

using namespace ui;

namespace {

// Key data as the hook library sends it: repeat 1, the scan code, and the
// previous-state and release bits.
LPARAM KeyData(int scan, bool down, bool wasDown = false, bool alt = false) {
    uint32_t d = 1u | (static_cast<uint32_t>(scan) << 16);
    if (alt) d |= 1u << 29;
    if (wasDown || !down) d |= 1u << 30;
    if (!down) d |= 1u << 31;
    return static_cast<LPARAM>(d);
}

void Key(int scan, bool down, bool wasDown = false) {
    SendMessageA(MainForm->Watch->ReceiverWnd(), MainForm->Watch->MsgKey(), 0, KeyData(scan, down, wasDown));
}

constexpr int kCtrl = 29, kShift = 42, kGrave = 41, kBackslash = 43, kF12 = 88, kA = 30;

// Runs the steps one by one from a timer while a modal loop runs.
class Script {
public:
    explicit Script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        timer_ = TComponent::Create<TTimer>(nullptr);
        timer_->SetInterval(150);
        timer_->OnTimer = TNotifyEvent(this, &Script::Tick);
    }
    ~Script() { TComponent::Free(timer_); }
    size_t Done() const { return next_; }

private:
    void Tick(TObject*) {
        if (next_ < steps_.size()) steps_[next_++]();
    }
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    TTimer* timer_;
};

struct DialogLog {
    std::vector<std::string> texts;
    TMessageDlgHook previous;
    DialogLog() {
        previous = SetMessageDlgHook([this](const MessageDlgCall& c) -> std::optional<int> {
            texts.push_back(c.Msg);
            return mrOk;
        });
    }
    ~DialogLog() { SetMessageDlgHook(previous); }
};

void Type(const std::string& text) { FormMainAppPasswordPrompt->edPassword->SetText(text); }
void Ok() { FormMainAppPasswordPrompt->btnOk->Click(); }
void Cancel() { FormMainAppPasswordPrompt->btnExit->Click(); }

}  // namespace

namespace {
struct SaverRecorder : core::IScreenSaverSystem {
    std::vector<std::string> calls;
    bool LockWorkstation() override {
        calls.push_back("lock");
        return true;
    }
    void StartScreenSaver() override { calls.push_back("saver"); }
};
}  // namespace

TEST_F(AppTest, HotKeysActOnlyOnTheirOwnChordAndEveryRepeat) {
    FixtureWindows w({"Fixture|||"});
    vsk::test::Drain();
    ASSERT_TRUE(MainForm->Watch->LibraryLoaded());
    ResetKeyState();

    Key(kCtrl, true);
    Key(kShift, true);
    Key(kGrave, true);
    Key(kGrave, false);
    Key(kShift, false);
    EXPECT_EQ(HiddenWindowList, nullptr) << "Ctrl+Shift+` hid the windows";

    Key(kGrave, true);
    EXPECT_NE(HiddenWindowList, nullptr) << "Ctrl+` did not hide";
    EXPECT_TRUE(w.CaughtUp());
    EXPECT_FALSE(IsWindowVisible(w[0]));
    Key(kGrave, true, true);  // auto-repeat of the held key toggles again
    EXPECT_EQ(HiddenWindowList, nullptr) << "the repeat did not restore";
    EXPECT_TRUE(w.CaughtUp());
    EXPECT_TRUE(IsWindowVisible(w[0]));
    Key(kGrave, false);

    Key(kBackslash, true);
    EXPECT_TRUE(MainForm->Visible()) << "Ctrl+\\ did not show the main window";
    Key(kBackslash, false);
    Key(kBackslash, true);
    EXPECT_FALSE(MainForm->Visible());
    Key(kBackslash, false);
    Key(kCtrl, false);
}

TEST_F(AppTest, KeysDoNothingWhileTheGateIsClosed) {
    SetProgramRunning(false);
    ResetKeyState();
    Key(kCtrl, true);
    Key(kBackslash, true);
    EXPECT_FALSE(MainForm->Visible());
    EXPECT_FALSE(core::KeyState.CtrlDown) << "the key state changed behind the gate";
    SetProgramRunning(true);
}

TEST_F(AppTest, FocusedHotKeyEditCapturesTheKeyNameAndNothingFires) {
    MainForm->Show();
    MainForm->MainPageControl->SetActivePage(MainForm->SheetOptions);
    MainForm->btnKeyaboardClick(nullptr);
    vsk::test::PumpUntil([] { return IsWindowVisible(MainForm->edHkWindowsKey->Handle()) != FALSE; });
    // A click puts the focus in the field: Tab does not reach it.
    SendMessageA(MainForm->edHkWindowsKey->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(MainForm->edHkWindowsKey->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    vsk::test::PumpUntil([] { return MainForm->edHkWindowsKey->Focused(); });
    ASSERT_TRUE(MainForm->edHkWindowsKey->Focused());
    ResetKeyState();

    Key(kF12, true);
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "F12");
    Key(kF12, false);
    Key(kCtrl, true);
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "F12") << "a modifier was captured";
    EXPECT_FALSE(core::KeyState.CtrlDown) << "a captured key changed the key state";
    Key(kCtrl, false);
    Key(kBackslash, true);  // the program edit's key: the guard leaves the edit alone
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "F12");
    Key(kBackslash, false);
    Key(kA, true);
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "A");
    EXPECT_EQ(HiddenWindowList, nullptr);

    // Typed characters never reach the edit's text.
    SendMessageA(MainForm->edHkWindowsKey->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(MainForm->edHkWindowsKey->Text(), "A");
}

TEST_F(AppTest, ShowingAsksForThePasswordUntilRightOrCancelled) {
    DialogLog dialogs;
    AppPassword = "Secret ";
    {
        Script s({[] { Type("secret "); }, Ok, [] { Type("Secret"); }, Ok, [] { Type("Secret "); }, Ok});
        ToggleMainWindow(true);
        EXPECT_TRUE(MainForm->Visible());
        EXPECT_EQ(s.Done(), 6u);
    }
    ASSERT_EQ(dialogs.texts.size(), 2u) << "letter case and blanks count";
    EXPECT_EQ(dialogs.texts[0], "Invalid password\n\rPlease check your spelling and try again!");
    EXPECT_EQ(FormMainAppPasswordPrompt->edPassword->PasswordChar(), '*') << "the password is shown as typed";

    ToggleMainWindow(true);
    EXPECT_FALSE(MainForm->Visible()) << "hiding asks nothing";
    {
        Script s({Cancel});
        ToggleMainWindow(true);
        EXPECT_FALSE(MainForm->Visible()) << "cancel must leave the window hidden";
    }
    ToggleMainWindow(false);
    EXPECT_TRUE(MainForm->Visible()) << "showing without asking";
}

TEST_F(AppTest, APasswordTooLongToCheckIsRefusedWithItsOwnMessage) {
    DialogLog dialogs;
    AppPassword = core::HashPassword("pw");
    {
        Script s({[] { Type(std::string(core::MaxPasswordLength + 1, 'p')); }, Ok, [] { Type("pw"); }, Ok});
        ToggleMainWindow(true);
        EXPECT_EQ(s.Done(), 4u);
    }
    EXPECT_TRUE(MainForm->Visible());
    ASSERT_EQ(dialogs.texts.size(), 1u);
    EXPECT_EQ(dialogs.texts[0], core::PasswordTooLongText);
}

TEST_F(AppTest, ProgramKeyIgnoredWhileItsPasswordPromptIsOpen) {
    DialogLog dialogs;
    AppPassword = "pw";
    ResetKeyState();
    Key(kCtrl, true);
    {
        Script s({[] { Type("half"); },
                  [] {
                      Key(kBackslash, false);
                      Key(kBackslash, true);        // pressed again
                      Key(kBackslash, true, true);  // and held
                  },
                  [] {
                      EXPECT_EQ(FormMainAppPasswordPrompt->edPassword->Text(), "half") << "the text was cleared";
                      Type("pw");
                  },
                  Ok});
        Key(kBackslash, true);
        EXPECT_EQ(s.Done(), 4u);
    }
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_TRUE(dialogs.texts.empty()) << dialogs.texts.front();
    Key(kBackslash, false);
    Key(kCtrl, false);
}

TEST_F(AppTest, EachHotKeyCheckSeesTheStateWhenItRuns) {
    // The program and screen-saver keys are both F12: both match the press,
    // but the key is released while the password prompt of the first is
    // open, and the second must not act on the press any more.
    SaverRecorder rec;
    core::IScreenSaverSystem* previous = core::SetScreenSaverSystem(&rec);
    MainForm->cbProgCtrl->SetChecked(false);
    MainForm->edHkProgramKey->SetText("F12");
    AppPassword = "pw";
    ResetKeyState();
    {
        Script s({[] { Key(kF12, false); }, [] { Type("pw"); }, Ok});
        Key(kF12, true);
        EXPECT_EQ(s.Done(), 3u);
    }
    core::SetScreenSaverSystem(previous);
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_TRUE(rec.calls.empty()) << "the screen saver started for a key released meanwhile";
}

TEST_F(AppTest, StartupPromptKeepsTheLastTextAndCancelEndsIt) {
    DialogLog dialogs;
    AppPassword.clear();
    EXPECT_TRUE(AskStartupPassword()) << "no password: nothing to ask";
    AppPassword = "pw";
    {
        Script s({[] { Type("PW"); }, Ok,
                  [] {
                      EXPECT_EQ(FormMainAppPasswordPrompt->edPassword->Text(), "PW") << "the text was cleared";
                      Type("pw");
                  },
                  Ok});
        EXPECT_TRUE(AskStartupPassword());
    }
    EXPECT_EQ(dialogs.texts.size(), 1u);
    {
        Script s({Cancel});
        EXPECT_FALSE(AskStartupPassword());
    }
}

TEST_F(AppTest, ScreenSaverHotKeyLocksFirstWhenAskedAndClearsTheKeys) {
    SaverRecorder rec;
    core::IScreenSaverSystem* previous = core::SetScreenSaverSystem(&rec);
    ResetKeyState();
    Key(kF12, true);
    Key(kF12, false);
    MainForm->cbLockWorkstation->SetChecked(true);
    Key(kF12, true);
    EXPECT_EQ(core::KeyState.PressedKeyName, "") << "the key state was not cleared";
    Key(kF12, false);
    core::SetScreenSaverSystem(previous);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"saver", "lock", "saver"}));
}

TEST_F(AppTest, HideButtonTellsTheHotKeyAndTerminateAsksFirst) {
    DialogLog dialogs;
    MainForm->Show();
    vsk::test::PumpUntil([] { return IsWindowVisible(MainForm->Handle()) != FALSE; });
    MainForm->btnHide->Click();
    EXPECT_FALSE(MainForm->Visible());
    ASSERT_EQ(dialogs.texts.size(), 1u);
    EXPECT_EQ(dialogs.texts[0], "To activate this window again use : \n\rCtrl+\\");

    SetMessageDlgHook([&](const MessageDlgCall& c) -> std::optional<int> {
        dialogs.texts.push_back(c.Msg);
        EXPECT_TRUE(c.Buttons.Contains(mbYes) && c.Buttons.Contains(mbCancel));
        return mrCancel;
    });
    MainForm->btnTerminate->Click();
    EXPECT_EQ(dialogs.texts.back(), "Do you really want to stop using the application?");
    EXPECT_FALSE(Application->Terminated()) << "Cancel must keep the program running";
}
