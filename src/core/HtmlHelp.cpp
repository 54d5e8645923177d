#include "core/HtmlHelp.h"

#include <memory>
#include <string>

#include "ui/Application.h"
#include "ui/EntryPoint.h"
#include "ui/HelpIntfs.h"

namespace core {

namespace {

constexpr UINT HH_DISPLAY_TOPIC = 0x00;
constexpr UINT HH_DISPLAY_TOC = 0x01;
constexpr UINT HH_DISPLAY_INDEX = 0x02;
constexpr UINT HH_HELP_CONTEXT = 0x0F;
constexpr UINT HH_CLOSE_ALL = 0x12;

const char* const kViewerName = "HtmlHelp";

HMODULE Library = nullptr;
THtmlHelpProc HtmlHelpProc = nullptr;
int InitCount = 0;
bool Warned = false;

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// False, after one warning per run, when there is no library to show help.
bool CanCall() {
    if (HtmlHelpProc) return true;
    if (!Warned) {
        Warned = true;
        MessageBoxA(ui::Application ? ui::Application->Handle() : nullptr,
                    "Unable to view HTML help (*.chm). Update windows help system. Get new \"HHCTRL.OCX\" library.",
                    "Warning!", MB_OK | MB_ICONWARNING);
    }
    return false;
}

class TSPHelpViewer : public ui::ICustomHelpViewer, public ui::IExtendedHelpViewer, public ui::ISpecialWinHelpViewer {
public:
    int viewerID_ = 0;
    ui::IHelpManager* helpManager_ = nullptr;  // not owned; null when not registered

    std::string GetViewerName() override { return kViewerName; }
    int UnderstandsKeyword(const std::string&) override { return 1; }
    std::vector<std::string> GetHelpStrings(const std::string& HelpString) override {
        return {GetViewerName() + ": " + HelpString};
    }
    bool CanShowTableOfContents() override { return true; }
    void ShowTableOfContents() override {
        if (!CanCall()) return;
        const std::string file = GetHelpFile();
        if (!file.empty()) HtmlHelpProc(Handle(), file.c_str(), HH_DISPLAY_TOC, 0);
    }
    void ShowHelp(const std::string& HelpString) override {
        if (!CanCall()) return;
        const std::string file = GetHelpFile();
        if (!file.empty())
            HtmlHelpProc(Handle(), file.c_str(), HH_DISPLAY_INDEX, reinterpret_cast<DWORD_PTR>(HelpString.c_str()));
    }
    void NotifyID(int ViewerID) override { viewerID_ = ViewerID; }
    void SoftShutDown() override {
        if (HtmlHelpProc) HtmlHelpProc(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
    void ShutDown() override {
        SoftShutDown();
        helpManager_ = nullptr;
        if (ui::WinHelpTester) ui::WinHelpTester.reset();
    }

    bool UnderstandsTopic(const std::string&) override { return true; }
    void DisplayTopic(const std::string& Topic) override {
        if (!CanCall()) return;
        const std::string file = GetHelpFile();
        if (file.empty()) return;
        const std::string path = file + "::/" + Topic;
        HtmlHelpProc(Handle(), path.c_str(), HH_DISPLAY_TOPIC, 0);
    }
    bool UnderstandsContext(int, const std::string&) override { return true; }
    void DisplayHelpByContext(int ContextID, const std::string& HelpFileName) override {
        if (!CanCall()) return;
        const std::string file = GetHelpFile(HelpFileName);
        if (!file.empty()) HtmlHelpProc(Handle(), file.c_str(), HH_HELP_CONTEXT, static_cast<DWORD_PTR>(ContextID));
    }

    bool CallWinHelp(HWND, const std::string&, UINT, ULONG_PTR) override { return false; }

    void InternalShutDown() {
        SoftShutDown();
        if (helpManager_) {
            helpManager_->Release(viewerID_);
            helpManager_ = nullptr;
        }
    }

private:
    HWND Handle() { return helpManager_ ? helpManager_->GetHandle() : nullptr; }

    // The given file, else the manager's, else the application's; empty,
    // after saying where it was looked for, when that file does not exist.
    std::string GetHelpFile(const std::string& Name = std::string()) {
        std::string candidate = !Name.empty() || !helpManager_ ? Name : helpManager_->GetHelpFile();
        if (candidate.empty() && ui::Application) candidate = ui::Application->HelpFile();
        if (FileExists(candidate)) return candidate;
        const std::string text = candidate.empty() ? std::string("No help file is set for this program.")
                                                   : "The help file was not found: \"" + candidate + "\".";
        MessageBoxA(Handle(), text.c_str(), "Warning!", MB_OK | MB_ICONWARNING);
        return std::string();
    }
};

// Always answers this viewer's line: line i stands for the viewer with id
// i + 1.
class TSPHelpSelector : public ui::IHelpSelector {
public:
    explicit TSPHelpSelector(std::weak_ptr<TSPHelpViewer> viewer) : viewer_(std::move(viewer)) {}
    int SelectKeyword(const std::vector<std::string>&) override { return Index(); }
    int TableOfContents(const std::vector<std::string>&) override { return Index(); }

private:
    int Index() const {
        auto v = viewer_.lock();
        return v ? v->viewerID_ - 1 : -1;
    }
    std::weak_ptr<TSPHelpViewer> viewer_;
};

// Keeps the library's WinHelp viewer from taking any request.
class TSPHelpTester : public ui::IWinHelpTester {
public:
    bool CanShowALink(const std::string&, const std::string&) override { return false; }
    bool CanShowTopic(const std::string&, const std::string&) override { return false; }
    bool CanShowContext(int, const std::string&) override { return false; }
    std::vector<std::string> GetHelpStrings(const std::string&) override { return {}; }
    std::string GetHelpPath() override { return {}; }
    std::string GetDefaultHelpFile() override { return {}; }
};

std::shared_ptr<TSPHelpViewer> HelpViewer;
std::shared_ptr<TSPHelpSelector> HelpSelector;
std::shared_ptr<TSPHelpTester> HelpTester;

}  // namespace

void HtmlHelpInitialization(const char* LibraryName) {
    if (InitCount++ > 0) return;
    Library = nullptr;
    HtmlHelpProc = nullptr;
    Warned = false;
    if (HMODULE lib = LoadLibraryA(LibraryName)) {
        Library = lib;
        HtmlHelpProc = ui::BindEntryPoint<THtmlHelpProc>(lib, "HtmlHelpA");
    }
    HelpViewer = std::make_shared<TSPHelpViewer>();
    HelpSelector = std::make_shared<TSPHelpSelector>(HelpViewer);
    HelpTester = std::make_shared<TSPHelpTester>();
    ui::RegisterViewer(HelpViewer, HelpViewer->helpManager_);
    ui::WinHelpTester = HelpTester;
    ui::GetHelpSystem()->AssignHelpSelector(HelpSelector);
}

void HtmlHelpFinalization() {
    if (InitCount == 0 || --InitCount > 0) return;
    if (HelpViewer && HelpViewer->helpManager_) HelpViewer->InternalShutDown();
    if (ui::WinHelpTester == HelpTester) ui::WinHelpTester.reset();
    ui::GetHelpSystem()->AssignHelpSelector(nullptr);
    HelpTester.reset();
    HelpSelector.reset();
    HelpViewer.reset();
    // The library is left loaded (see the header).
}

THtmlHelpProc SetHtmlHelpProc(THtmlHelpProc Proc) {
    THtmlHelpProc old = HtmlHelpProc;
    HtmlHelpProc = Proc;
    return old;
}

}  // namespace core
