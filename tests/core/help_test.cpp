// The HTML help bridge behind the application's help requests: what reaches
// HtmlHelpA, which viewer the help system picks, the missing library, and
// the end of the run.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/HtmlHelp.h"
#include "support/DialogDriver.h"
#include "ui/Application.h"
#include "ui/HelpIntfs.h"

namespace {

struct Call {
    HWND caller;
    std::string file;
    UINT command;
    DWORD_PTR data;
    std::string text;  // the data as text, for the keyword command
};

std::vector<Call> Calls;

HWND WINAPI RecordHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    Calls.push_back(
        {caller, file ? file : "", command, data, command == 2 && data ? reinterpret_cast<const char*>(data) : ""});
    return nullptr;
}

// A viewer that takes every request, registered beside the HTML one.
class GreedyViewer : public ui::ICustomHelpViewer, public ui::IExtendedHelpViewer {
public:
    int id = 0;
    int shown = 0;
    std::string GetViewerName() override { return "Greedy"; }
    int UnderstandsKeyword(const std::string&) override { return 1; }
    std::vector<std::string> GetHelpStrings(const std::string& k) override { return {"Greedy: " + k}; }
    bool CanShowTableOfContents() override { return true; }
    void ShowTableOfContents() override { ++shown; }
    void ShowHelp(const std::string&) override { ++shown; }
    void NotifyID(int ViewerID) override { id = ViewerID; }
    void SoftShutDown() override {}
    void ShutDown() override {}
    bool UnderstandsTopic(const std::string&) override { return true; }
    void DisplayTopic(const std::string&) override { ++shown; }
    bool UnderstandsContext(int, const std::string&) override { return true; }
    void DisplayHelpByContext(int, const std::string&) override { ++shown; }
};

std::string TempHelpFile() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "vsk-help-" + std::to_string(GetCurrentProcessId()) + ".chm";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return path;
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = TempHelpFile();
        ui::Application->SetHelpFile(file_);
        core::HtmlHelpInitialization();
        previous_ = core::SetHtmlHelpProc(&RecordHtmlHelp);
        Calls.clear();
    }
    void TearDown() override {
        core::SetHtmlHelpProc(previous_);
        core::HtmlHelpFinalization();
        ui::Application->SetHelpFile("");
        DeleteFileA(file_.c_str());
    }

    std::string file_;
    core::THtmlHelpProc previous_ = nullptr;
};

}  // namespace

TEST_F(HelpTest, EveryKindOfRequestReachesHtmlHelpOnTheHelpFile) {
    struct Case {
        const char* what;
        bool (*request)();
        UINT command;
        std::string file;
        DWORD_PTR data;
        std::string text;
    } cases[] = {
        {"context", [] { return ui::Application->HelpContext(1014); }, 0x0F, file_, 1014, ""},
        {"topic", [] { return ui::Application->HelpJump("display.htm"); }, 0x00, file_ + "::/display.htm", 0, ""},
        {"keyword", [] { return ui::Application->HelpKeyword("Display"); }, 0x02, file_, 0, "Display"},
        {"contents", [] { return ui::Application->HelpCommand(HELP_FINDER, 0); }, 0x01, file_, 0, ""},
    };
    for (const Case& c : cases) {
        Calls.clear();
        EXPECT_TRUE(c.request()) << c.what;
        ASSERT_EQ(Calls.size(), 1u) << c.what;
        EXPECT_EQ(Calls[0].caller, ui::Application->Handle()) << c.what;
        EXPECT_EQ(Calls[0].file, c.file) << c.what;
        EXPECT_EQ(Calls[0].command, c.command) << c.what;
        if (c.command == 0x0F) {
            EXPECT_EQ(Calls[0].data, c.data) << c.what;
        }
        EXPECT_EQ(Calls[0].text, c.text) << c.what;
    }
}

TEST_F(HelpTest, AMissingHelpFileIsNamedAtEveryRequestAndNotOpened) {
    const std::string gone = file_ + ".gone";
    ui::Application->SetHelpFile(gone);
    struct Case {
        const char* what;
        bool (*request)();
    } cases[] = {
        {"context", [] { return ui::Application->HelpContext(1000); }},
        {"topic", [] { return ui::Application->HelpJump("main.htm"); }},
        {"keyword", [] { return ui::Application->HelpKeyword("Display"); }},
        {"contents", [] { return ui::Application->HelpCommand(HELP_FINDER, 0); }},
    };
    for (const Case& c : cases) {
        vsk::test::DialogRequest warning;
        warning.caption = "Warning!";
        warning.text = "The help file was not found: \"" + gone + "\".";
        warning.click = "OK";
        warning.timeoutMs = 15000;
        vsk::test::DialogDriverThread driver(warning);
        c.request();
        EXPECT_TRUE(driver.Wait().clicked) << c.what << ": " << vsk::test::Describe(driver.Wait());
    }
    EXPECT_TRUE(Calls.empty()) << Calls.size() << " calls for a file that does not exist";
}

TEST_F(HelpTest, WithSeveralViewersTheHtmlViewerIsPickedWithoutAsking) {
    // Registered ahead of the HTML viewer, so a pick by list position that
    // does not follow the viewers' ids lands on it, or on nothing.
    core::SetHtmlHelpProc(previous_);
    core::HtmlHelpFinalization();
    auto greedy = std::make_shared<GreedyViewer>();
    ui::IHelpManager* manager = nullptr;
    ui::RegisterViewer(greedy, manager);
    ASSERT_TRUE(manager);
    core::HtmlHelpInitialization();
    core::SetHtmlHelpProc(&RecordHtmlHelp);

    ui::Application->HelpKeyword("Display");
    ui::Application->HelpCommand(HELP_FINDER, 0);
    EXPECT_EQ(greedy->shown, 0) << "the other viewer was picked";
    ASSERT_EQ(Calls.size(), 2u) << "the HTML viewer was not picked for every request";
    EXPECT_EQ(Calls[0].command, 0x02u);
    EXPECT_EQ(Calls[1].command, 0x01u);
    manager->Release(greedy->id);
}

TEST_F(HelpTest, TheEndClosesEveryHelpWindowAndKeepsTheLibrary) {
    core::HtmlHelpFinalization();
    ASSERT_FALSE(Calls.empty());
    EXPECT_EQ(Calls.back().command, 0x12u) << "no HH_CLOSE_ALL";
    EXPECT_EQ(Calls.back().caller, nullptr);
    EXPECT_EQ(Calls.back().file, "");
    EXPECT_TRUE(GetModuleHandleA("hhctrl.ocx")) << "the library was freed while help windows may still close";
    Calls.clear();
    ui::Application->HelpContext(1000);
    EXPECT_TRUE(Calls.empty()) << "help after the end";
    core::HtmlHelpInitialization();  // for TearDown
    core::SetHtmlHelpProc(&RecordHtmlHelp);
}

TEST_F(HelpTest, AMissingLibraryWarnsOnceAtTheFirstRequestForHelp) {
    core::SetHtmlHelpProc(previous_);
    core::HtmlHelpFinalization();
    vsk::test::DialogRequest warning;
    warning.caption = "Warning!";
    warning.click = "OK";
    warning.pid = GetCurrentProcessId();
    {
        warning.timeoutMs = 1500;
        vsk::test::DialogDriverThread driver(warning);
        core::HtmlHelpInitialization("vsk-no-such-library.ocx");
        EXPECT_FALSE(driver.Wait().found) << "warned at start-up: " << vsk::test::Describe(driver.Wait());
    }
    {
        warning.timeoutMs = 15000;
        vsk::test::DialogDriverThread driver(warning);
        ui::Application->HelpContext(1000);
        const vsk::test::DialogReport& r = driver.Wait();
        EXPECT_TRUE(r.clicked) << vsk::test::Describe(r);
        bool textSeen = false;
        for (const std::string& t : r.texts)
            textSeen = textSeen || t == "Unable to view HTML help (*.chm). Update windows help system. Get new "
                                        "\"HHCTRL.OCX\" library.";
        EXPECT_TRUE(textSeen) << vsk::test::Describe(r);
    }
    {
        warning.timeoutMs = 1500;
        vsk::test::DialogDriverThread driver(warning);
        ui::Application->HelpContext(1000);
        ui::Application->HelpKeyword("Display");
        EXPECT_FALSE(driver.Wait().found) << "warned twice";
    }
    core::HtmlHelpFinalization();
    core::HtmlHelpInitialization();
    core::SetHtmlHelpProc(&RecordHtmlHelp);
}
