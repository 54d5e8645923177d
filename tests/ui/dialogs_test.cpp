// Message dialogs: the recorder seam, the form built for each type and
// button set, and real modal dialogs clicked from outside (dlgdriver.exe)
// and from a second thread (DialogDriver.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/DialogDriver.h"
#include "support/Owned.h"
#include "support/StartProcess.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"
#include "ui/Graphic.h"
#include "ui/Icon.h"
#include "ui/StdCtrls.h"
#include "support/UiTestUtil.h"

using namespace ui;
using vsk::test::DialogDriverThread;
using vsk::test::DialogReport;
using vsk::test::DialogRequest;

namespace {

int CountThreadWindows() { return static_cast<int>(vsk::test::ThreadWindows().size()); }

// The pixels of a 32 x 32 area after draw(dc) on a grey background.
template <class Draw> std::vector<uint32_t> Render(Draw draw) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, 32, 32};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &r, grey);
    DeleteObject(grey);
    draw(dc);
    GdiFlush();
    std::vector<uint32_t> px(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 32 * 32);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return px;
}

std::vector<uint32_t> SystemIcon(LPCSTR id) {
    return Render([&](HDC dc) { DrawIconEx(dc, 0, 0, LoadIconA(nullptr, id), 32, 32, 0, nullptr, DI_NORMAL); });
}

struct HookLog {
    std::vector<MessageDlgCall> calls;
    std::optional<int> answer;
};

}  // namespace

// ---------------------------------------------------------------- recorder

TEST(MessageDlg, TheRecorderSeesEveryCallAndAnswersWithoutAWindow) {
    HookLog log;
    log.answer = mrNo;
    int windowsDuringCall = -1;
    TMessageDlgHook previous = SetMessageDlgHook([&](const MessageDlgCall& c) -> std::optional<int> {
        log.calls.push_back(c);
        windowsDuringCall = CountThreadWindows();
        return log.answer;
    });
    const int windowsBefore = CountThreadWindows();
    const int formsBefore = Screen->FormCount();

    EXPECT_EQ(MessageDlg("Delete it?", mtConfirmation, mbYes | mbNo, 7), mrNo);
    EXPECT_EQ(windowsDuringCall, windowsBefore) << "a window was made although the recorder answered";
    log.answer = mrCancel;
    EXPECT_EQ(MessageDlgPos("Placed", mtWarning, mbOKCancel, 0, 10, 20), mrCancel);
    ShowMessage("Just so");
    EXPECT_EQ(Screen->FormCount(), formsBefore);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);

    ASSERT_EQ(log.calls.size(), 3u);
    struct Want {
        const char* msg;
        TMsgDlgType type;
        TMsgDlgButtons buttons;
        int help, x, y;
    };
    const Want want[] = {{"Delete it?", mtConfirmation, mbYes | mbNo, 7, -1, -1},
                         {"Placed", mtWarning, mbOKCancel, 0, 10, 20},
                         {"Just so", mtCustom, mbOK, 0, -1, -1}};
    for (size_t i = 0; i < 3; ++i) {
        const MessageDlgCall& c = log.calls[i];
        EXPECT_EQ(c.Msg, want[i].msg);
        EXPECT_EQ(c.DlgType, want[i].type) << c.Msg;
        EXPECT_EQ(c.Buttons, want[i].buttons) << c.Msg;
        EXPECT_EQ(c.HelpCtx, want[i].help) << c.Msg;
        EXPECT_EQ(c.X, want[i].x) << c.Msg;
        EXPECT_EQ(c.Y, want[i].y) << c.Msg;
    }
    EXPECT_TRUE(SetMessageDlgHook(previous)) << "SetMessageDlgHook must hand back the hook it replaces";
}

// ---------------------------------------------------------------- the form

TEST(MessageDlg, TheDialogHasTheTypesCaptionIconAndTheButtonsAskedFor) {
    struct Case {
        TMsgDlgType type;
        TMsgDlgButtons buttons;
        std::string caption;
        LPCSTR icon;
        std::vector<std::string> captions;  // left to right
        std::string defaultButton, cancelButton;
    };
    const std::string title = Application->Title();
    const Case cases[] = {
        {mtWarning, mbYes | mbCancel, "Warning", IDI_WARNING, {"&Yes", "Cancel"}, "Yes", "Cancel"},
        {mtError, mbOK, "Error", IDI_ERROR, {"OK"}, "OK", "OK"},
        {mtInformation, mbOKCancel, "Information", IDI_INFORMATION, {"OK", "Cancel"}, "OK", "Cancel"},
        {mtConfirmation, mbYes | mbNo, "Confirm", IDI_QUESTION, {"&Yes", "&No"}, "Yes", "No"},
        {mtCustom, mbAbortRetryIgnore, title, nullptr, {"&Abort", "&Retry", "&Ignore"}, "Retry", ""},
        {mtCustom,
         {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp},
         title,
         nullptr,
         {"&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"},
         "OK",
         "Cancel"},
    };
    const std::vector<std::pair<std::string, TModalResult>> results = {{"&Yes", mrYes},
                                                                       {"&No", mrNo},
                                                                       {"OK", mrOk},
                                                                       {"Cancel", mrCancel},
                                                                       {"&Abort", mrAbort},
                                                                       {"&Retry", mrRetry},
                                                                       {"&Ignore", mrIgnore},
                                                                       {"&All", mrAll},
                                                                       {"N&o to All", mrNoToAll},
                                                                       {"Yes to &All", mrYesToAll},
                                                                       {"&Help", mrNone}};
    for (const Case& c : cases) {
        vsk::test::Owned f{CreateMessageDialog("Something happened.", c.type, c.buttons)};
        SCOPED_TRACE(c.caption + " dialog");
        EXPECT_EQ(f->Caption(), c.caption);
        EXPECT_EQ(f->BorderStyle(), bsDialog);
        EXPECT_FALSE(f->Visible());

        auto* image = dynamic_cast<TImage*>(f->FindComponent("Image"));
        if (c.icon) {
            ASSERT_NE(image, nullptr) << "no icon";
            EXPECT_EQ(Render([&](HDC dc) { image->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); }),
                      SystemIcon(c.icon))
                << "the dialog shows another icon than the type's system icon";
        } else {
            EXPECT_EQ(image, nullptr) << "a custom dialog has no icon";
        }
        auto* message = dynamic_cast<TLabel*>(f->FindComponent("Message"));
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->Caption(), "Something happened.");
        auto* hidden = dynamic_cast<TWinControl*>(f->FindComponent("MessageText"));
        ASSERT_NE(hidden, nullptr);
        EXPECT_EQ(vsk::test::detail::TextOf(hidden->Handle()), "Something happened.");
        EXPECT_FALSE(IsWindowVisible(hidden->Handle()));

        std::vector<TButton*> buttons;
        for (int i = 0; i < f->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TButton*>(f->Controls(i))) buttons.push_back(b);
        std::sort(buttons.begin(), buttons.end(), [](TButton* a, TButton* b) { return a->Left() < b->Left(); });
        std::vector<std::string> captions;
        for (TButton* b : buttons) captions.push_back(b->Caption());
        EXPECT_EQ(captions, c.captions);
        for (TButton* b : buttons) {
            for (auto& [cap, result] : results) {
                if (cap == b->Caption()) {
                    EXPECT_EQ(b->ModalResult(), result) << cap;
                }
            }
            EXPECT_EQ(b->Default(), b->Name() == c.defaultButton) << b->Name() << " default";
            EXPECT_EQ(b->Cancel(), b->Name() == c.cancelButton) << b->Name() << " cancel";
            EXPECT_GE(b->Top(), message->Top() + message->Height()) << "buttons go below the message";
            EXPECT_LE(b->Left() + b->Width(), f->ClientWidth()) << b->Name() << " lies outside the dialog";
        }
        f.Free();
    }
}

TEST(MessageDlg, LineBreaksSplitTheMessageAndLongTextWrapsAtHalfTheScreen) {
    auto messageOf = [](TForm* f) { return static_cast<TLabel*>(f->FindComponent("Message")); };
    TForm* one = CreateMessageDialog("Line", mtInformation, mbOK);
    const int line = messageOf(one)->Height();
    struct Case {
        const char* text;
        int lines;
    };
    for (Case c : {Case{"Line\nLine", 2}, Case{"Line\r\nLine", 2}, Case{"Line\n\nLine", 3}}) {
        TForm* f = CreateMessageDialog(c.text, mtInformation, mbOK);
        EXPECT_EQ(messageOf(f)->Height(), c.lines * line) << "lines of " << c.text;
        TComponent::Free(f);
    }
    std::string longText;
    for (int i = 0; i < 120; ++i) longText += "wrapping ";
    TForm* f = CreateMessageDialog(longText, mtInformation, mbOK);
    const int half = GetSystemMetrics(SM_CXSCREEN) / 2;
    EXPECT_LE(messageOf(f)->Width(), half);
    EXPECT_GT(messageOf(f)->Height(), 3 * line) << "a long message wraps into several lines";
    EXPECT_LT(f->Width(), half + 150) << "the dialog grows with the wrapped message, not the whole text";
    EXPECT_GT(f->ClientHeight(), messageOf(f)->Top() + messageOf(f)->Height()) << "the message fits in the dialog";
    TComponent::Free(f);
    TComponent::Free(one);
}

// Every pixel of the message shows, the end of its longest line too, even
// where the font draws past the width it measures: the dialog holds as much
// ink as the same text drawn unclipped in the dialog's font.
TEST(MessageDlg, TheMessageShowsWholeToTheEndOfItsLongestLine) {
    for (const char* msg : {"All windows/This window.", "Switch to www.window.\nWill it wow?"}) {
        SCOPED_TRACE(msg);
        vsk::test::Owned f{CreateMessageDialog(msg, mtInformation, mbOK)};
        auto* label = static_cast<TLabel*>(f->FindComponent("Message"));
        ASSERT_NE(label, nullptr);
        f->Show();
        ASSERT_TRUE(vsk::test::WaitShown(f->Handle()));
        f->Repaint();
        vsk::test::Drain();
        const COLORREF face = static_cast<COLORREF>(ColorToRGB(f->Color())) & 0xFFFFFF;
        // The text's area and the margin to its right, as the form shows it.
        const RECT area{label->Left(), label->Top(), f->ClientWidth(), label->Top() + label->Height()};
        int shown = 0;
        {
            HDC dc = GetDC(f->Handle());
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    if ((GetPixel(dc, x, y) & 0xFFFFFF) != face) ++shown;
            ReleaseDC(f->Handle(), dc);
        }
        // The same text drawn unclipped on a memory DC.
        int drawn = 0;
        {
            HDC screen = GetDC(nullptr);
            HDC mem = CreateCompatibleDC(screen);
            HBITMAP bmp = CreateCompatibleBitmap(screen, 800, 200);
            HGDIOBJ oldBmp = SelectObject(mem, bmp);
            HBRUSH brush = CreateSolidBrush(face);
            RECT all{0, 0, 800, 200};
            FillRect(mem, &all, brush);
            HGDIOBJ oldFont = SelectObject(mem, label->Font()->Handle());
            SetBkMode(mem, TRANSPARENT);
            SetTextColor(mem, ColorToRGB(label->Font()->Color()));
            RECT r{0, 0, label->Width(), 200};
            DrawTextA(mem, msg, -1, &r, DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 800; ++x)
                    if ((GetPixel(mem, x, y) & 0xFFFFFF) != face) ++drawn;
            SelectObject(mem, oldFont);
            SelectObject(mem, oldBmp);
            DeleteObject(brush);
            DeleteObject(bmp);
            DeleteDC(mem);
            ReleaseDC(nullptr, screen);
        }
        EXPECT_GT(drawn, 0);
        EXPECT_EQ(shown, drawn);
        f->Hide();
        f.Free();
    }
}

// ---------------------------------------------------------------- real dialogs

namespace {

struct Process {
    PROCESS_INFORMATION pi{};
    bool started = false;
    explicit Process(std::string cmd) {
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        started = vsk::test::StartProcess(cmd, si, pi, TRUE);
    }
    ~Process() {
        if (!started) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 3);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    // The exit code, or -1 when it does not end within ms.
    long Wait(DWORD ms) {
        if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return static_cast<long>(code);
    }
};

std::string DriverCommand(const std::string& args) {
    // The build tree's Unix path, seen through Wine's Z: drive.
    return "\"Z:" + std::string(VSK_DLGDRIVER_EXE) + "\" " + args;
}

}  // namespace

TEST(MessageDlg, DlgDriverExeClicksYesInARealWarningDialog) {
    Process driver(
        DriverCommand("--caption \"Warning\" --text \"really stop\" --click \"&Yes\" --timeout 15000 --pid " +
                      std::to_string(GetCurrentProcessId())));
    ASSERT_TRUE(driver.started) << "cannot start " << VSK_DLGDRIVER_EXE << " (error " << GetLastError() << ")";
    const int result = MessageDlg("Do you really stop?", mtWarning, mbYes | mbCancel, 0);
    EXPECT_EQ(result, mrYes);
    EXPECT_EQ(driver.Wait(10000), 0) << "dlgdriver did not report a click";
}

TEST(MessageDlg, DlgDriverExeTimesOutWhenNoDialogMatches) {
    Process driver(DriverCommand("--caption \"No such dialog\" --click OK --timeout 300"));
    ASSERT_TRUE(driver.started);
    EXPECT_EQ(driver.Wait(10000), 1);
    Process bad(DriverCommand("--caption Warning"));
    ASSERT_TRUE(bad.started);
    EXPECT_EQ(bad.Wait(10000), 2) << "a command line without --click is refused";
}

TEST(MessageDlg, InProcessDriverClicksCancelAndTheHookMayLetTheDialogThrough) {
    int seen = 0;
    TMessageDlgHook previous = SetMessageDlgHook([&](const MessageDlgCall&) -> std::optional<int> {
        ++seen;
        return std::nullopt;
    });
    DialogRequest req{.caption = "Information", .text = "Save changes", .click = "Cancel", .timeoutMs = 15000};
    DialogDriverThread driver(req);
    const int result = MessageDlg("Save changes to the list?", mtInformation, mbOKCancel, 0);
    const DialogReport& report = driver.Wait();
    SetMessageDlgHook(previous);

    EXPECT_EQ(result, mrCancel) << vsk::test::Describe(report);
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(report.clicked) << vsk::test::Describe(report);
    EXPECT_EQ(report.caption, "Information");
    EXPECT_EQ(report.buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_NE(std::find(report.texts.begin(), report.texts.end(), "Save changes to the list?"), report.texts.end())
        << "the message is not readable from outside the dialog";
}
