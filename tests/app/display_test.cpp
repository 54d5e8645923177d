// The Display panel of the main window, the ten-second confirmation of a
// display mode test, and which help a control opens, in the test process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/ConfirmationForm.h"
#include "core/DisplayModes.h"
#include "core/HtmlHelp.h"
#include "support/FakeDisplay.h"
#include "support/PainterTestForm.h"
#include "ui/Dialogs.h"
#include "ui/Timer.h"

using vsk::test::FakeDisplay;
using vsk::test::Mode;

namespace {

std::vector<std::string> SecondsSeen;

// Runs the confirmation's own tick, noting the countdown before the first
// tick and after each one.
struct TickRecorder {
    void Tick(ui::TObject* Sender) {
        if (SecondsSeen.empty()) SecondsSeen.push_back(ConfirmationForm->stSeconds->Caption());
        ConfirmationForm->Timer1Timer(Sender);
        SecondsSeen.push_back(ConfirmationForm->stSeconds->Caption());
    }
};

std::string Seconds(int n) { return "Original mode will be restored in " + std::to_string(n) + " seconds."; }

class DisplayTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ui::Application->CreateForm(ConfirmationForm);
    }
    void TearDown() override {
        ui::TComponent::Free(ConfirmationForm);
        ConfirmationForm = nullptr;
        core::SelectedDisplayMode = 0;
        AppTest::TearDown();
    }
};

// Answers the confirmation once it shows, as the user does: a click on one
// of its buttons, or a key pressed.
struct Answerer {
    controls::TLbSpeedButton* button = nullptr;  // null: the key
    WPARAM key = 0;
    ui::TTimer* timer;
    Answerer() {
        timer = ui::TComponent::Create<ui::TTimer>(nullptr);
        timer->SetInterval(50);
        timer->OnTimer = ui::TNotifyEvent(this, &Answerer::Tick);
    }
    ~Answerer() { ui::TComponent::Free(timer); }
    void Tick(ui::TObject*) {
        if (!ConfirmationForm->Visible() || !IsWindowVisible(ConfirmationForm->Handle())) return;
        timer->SetEnabled(false);
        // VSK_SHOT_DIALOG=confirmation: the dialog stays up for its picture
        // (tools/test-screenshot.sh).
        if (const char* shot = std::getenv("VSK_SHOT_DIALOG"); shot && std::string(shot) == "confirmation")
            vsk::test::HoldForPicture();
        if (!button) {
            PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
            return;
        }
        const LPARAM at = MAKELPARAM(button->Left() + button->Width() / 2, button->Top() + button->Height() / 2);
        SendMessageA(ConfirmationForm->Handle(), WM_MOUSEMOVE, 0, at);
        SendMessageA(ConfirmationForm->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(ConfirmationForm->Handle(), WM_LBUTTONUP, 0, at);
    }
};

}  // namespace

TEST_F(DisplayTest, YesAndNoEndTheTestAtOnce) {
    struct Case {
        const char* what;
        controls::TLbSpeedButton* button;
        WPARAM key;
        ui::TModalResult result;
    } cases[] = {{"Yes", ConfirmationForm->btnYes, 0, ui::mrYes},
                 {"No", ConfirmationForm->btnNo, 0, ui::mrCancel},
                 {"Enter", nullptr, VK_RETURN, ui::mrYes},
                 {"Esc", nullptr, VK_ESCAPE, ui::mrCancel}};
    for (const Case& c : cases) {
        Answerer answer;
        answer.button = c.button;
        answer.key = c.key;
        EXPECT_EQ(ConfirmationForm->ShowModal(), c.result) << c.what;
        EXPECT_FALSE(ConfirmationForm->Visible()) << c.what;
        // It counts on while hidden and stops itself at 0.
        EXPECT_TRUE(ConfirmationForm->Timer1->Enabled()) << c.what;
        EXPECT_NE(ConfirmationForm->stSeconds->Caption(), Seconds(0)) << c.what << " came only at the timeout";
    }
}

TEST_F(DisplayTest, TenSecondsOfNothingCloseTheDialog) {
    // The countdown's ticks come faster here; its steps are the same.
    TickRecorder recorder;
    ConfirmationForm->Timer1->OnTimer = ui::TNotifyEvent(&recorder, &TickRecorder::Tick);
    ConfirmationForm->Timer1->SetInterval(10);
    SecondsSeen.clear();
    EXPECT_EQ(ConfirmationForm->ShowModal(), ui::mrCancel);
    std::vector<std::string> expected;
    for (int n = 10; n >= 0; --n) expected.push_back(Seconds(n));
    EXPECT_EQ(SecondsSeen, expected);
    EXPECT_FALSE(ConfirmationForm->Timer1->Enabled()) << "the timer runs on after 0";

    // Each showing starts again from 10.
    SecondsSeen.clear();
    EXPECT_EQ(ConfirmationForm->ShowModal(), ui::mrCancel);
    ASSERT_FALSE(SecondsSeen.empty());
    EXPECT_EQ(SecondsSeen.front(), Seconds(10));
}

TEST_F(DisplayTest, TestButtonSwitchesToThePickedModeAndBack) {
    const Mode old{1024, 768, 32, 60}, picked{800, 600, 16, 75};
    FakeDisplay display({old, picked}, old);
    core::SelectedDisplayMode = 1;
    std::vector<ui::MessageDlgCall> told;
    auto previous = ui::SetMessageDlgHook([&](const ui::MessageDlgCall& c) -> std::optional<int> {
        told.push_back(c);
        return ui::mrOk;
    });
    for (controls::TLbSpeedButton* button : {ConfirmationForm->btnYes, ConfirmationForm->btnNo}) {
        const std::string answer = button->Caption();
        display.switches.clear();
        MainForm->edCurrentResolutionInfo->SetText("");
        Answerer answerer;
        answerer.button = button;
        MainForm->btnTestResolution->Click();
        ASSERT_EQ(display.switches.size(), 2u) << answer;
        EXPECT_EQ(display.switches[0].mode, picked) << answer;
        EXPECT_EQ(display.switches[1].mode, old) << answer;
        EXPECT_EQ(MainForm->edCurrentResolutionInfo->Text(), "1024x768x32 @ 60 Hz") << answer;
    }
    ui::SetMessageDlgHook(previous);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].Msg,
              "Your display mode will be switched to the one you have selected.\n\rIf the screen becomes black or "
              "distorted please wait 10 seconds\n\rand your original display mode will be restored.");
    EXPECT_EQ(told[0].DlgType, ui::mtInformation);
}

TEST_F(DisplayTest, AnUnknownSavedModeBecomesTheCurrentOne) {
    ui::TComponent::Free(MainForm);
    MainForm = nullptr;
    FakeDisplay display({{800, 600, 32, 60}, {1024, 768, 32, 60}}, {1024, 768, 32, 60});
    // An edited settings file.
    ASSERT_TRUE(WritePrivateProfileStringA("Display", "Resolution", "57", SettingsFileName.c_str()));
    ui::Application->CreateForm(MainForm);
    EXPECT_EQ(core::SelectedDisplayMode, 1);
    EXPECT_EQ(MainForm->edResolutionInfo->Text(), "1024x768x32 @ 60 Hz");
}

TEST_F(DisplayTest, PanelShowsThisDisplaysModesAndTakesAPick) {
    // The real display (Wine's Xvfb).
    DEVMODEA current{};
    current.dmSize = sizeof current;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    const std::string currentText = std::to_string(current.dmPelsWidth) + "x" + std::to_string(current.dmPelsHeight) +
                                    "x" + std::to_string(current.dmBitsPerPel) + " @ " +
                                    std::to_string(current.dmDisplayFrequency) + " Hz";
    EXPECT_EQ(MainForm->edCurrentResolutionInfo->Text(), currentText);

    ui::TMenuItem* items = MainForm->popMenuResolutions->Items();
    ASSERT_GE(items->Count(), 2) << "no display modes in the menu";
    EXPECT_EQ(items->Items(items->Count() - 1)->Caption(), "Current");
    ui::TMenuItem* rate = items->Items(0)->Items(0)->Items(0);
    rate->Click();
    EXPECT_EQ(core::SelectedDisplayMode, rate->Tag());
    EXPECT_EQ(MainForm->edResolutionInfo->Text(), core::DisplayModeText(static_cast<int>(rate->Tag())));

    core::SelectedDisplayMode = -3;
    MainForm->mnSelectCurrentDisplayMode->Click();
    EXPECT_EQ(core::SelectedDisplayMode, core::FindCurrentDisplayMode());
    EXPECT_EQ(MainForm->edResolutionInfo->Text(), currentText);

    MainForm->MainPageControl->SetActivePage(MainForm->SheetOptions);
    MainForm->btnDisplay->Click();
    EXPECT_EQ(GetTopWindow(MainForm->SheetOptions->Handle()), MainForm->pnlDisplay->Handle())
        << "the Display panel is not in front";
    MainForm->btnKeyaboard->Click();
    EXPECT_EQ(GetTopWindow(MainForm->SheetOptions->Handle()), MainForm->pnlKeyboard->Handle());
}

namespace {

std::vector<DWORD_PTR> ContextsShown;

HWND WINAPI RecordContext(HWND, LPCSTR, UINT command, DWORD_PTR data) {
    if (command == 0x0F) ContextsShown.push_back(data);
    return nullptr;
}

}  // namespace

TEST_F(DisplayTest, HelpOnAControlIsTheHelpOfItsPageOrPanel) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "vsk-context-" + std::to_string(GetCurrentProcessId()) + ".chm";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    ui::Application->SetHelpFile(file);
    core::HtmlHelpInitialization();
    core::THtmlHelpProc previous = core::SetHtmlHelpProc(&RecordContext);

    struct Case {
        const char* what;
        ui::TWinControl* control;
        DWORD_PTR context;
    } cases[] = {
        {"a mode edit", MainForm->edResolutionInfo, 1014},
        {"a hot-key box", MainForm->cbWinCtrl, 1013},
        {"a general option", MainForm->cbCloseActiveWindow, 1011},
        {"the desired volume", MainForm->sliderSelectedVolume, 1012},
        {"the volume group", MainForm->gbVolume, 1012},
        {"the Extra Settings page", MainForm->SheetOptions, 1010},
        {"the About page", MainForm->pnlAbout, 1030},
        {"the window list", MainForm->AvailableWindowsList, 1001},
        {"the button row", MainForm->ButtonsPanel, 1000},
    };
    for (const Case& c : cases) {
        ContextsShown.clear();
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.hItemHandle = c.control->Handle();
        SendMessageA(MainForm->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(ContextsShown, std::vector<DWORD_PTR>{c.context}) << c.what;
    }

    ContextsShown.clear();
    MainForm->btnHelp->Click();
    EXPECT_EQ(ContextsShown, std::vector<DWORD_PTR>{1000}) << "the Help button";

    core::SetHtmlHelpProc(previous);
    core::HtmlHelpFinalization();
    ui::Application->SetHelpFile("");
    DeleteFileA(file.c_str());
}
