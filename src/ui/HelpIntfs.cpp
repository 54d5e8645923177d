#include "ui/HelpIntfs.h"

#include <algorithm>
#include <cctype>

#include "ui/Application.h"

namespace ui {

std::shared_ptr<IWinHelpTester> WinHelpTester;

namespace {

bool IsWinHelpFile(const std::string& file) {
    if (file.size() < 4) return false;
    std::string ext = file.substr(file.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".hlp";
}

// The library's own viewer: the system's WinHelp, for ".hlp" files or what
// WinHelpTester allows.
class TWinHelpViewer : public ICustomHelpViewer, public IExtendedHelpViewer {
public:
    explicit TWinHelpViewer(IHelpManager* manager) : manager_(manager) {}

    std::string GetViewerName() override { return "WinHelp"; }
    int UnderstandsKeyword(const std::string& keyword) override {
        const std::string file = manager_->GetHelpFile();
        return (WinHelpTester ? WinHelpTester->CanShowALink(keyword, file) : IsWinHelpFile(file)) ? 1 : 0;
    }
    std::vector<std::string> GetHelpStrings(const std::string& keyword) override {
        if (WinHelpTester) return WinHelpTester->GetHelpStrings(keyword);
        return {GetViewerName() + ": " + keyword};
    }
    bool CanShowTableOfContents() override { return !WinHelpTester && IsWinHelpFile(manager_->GetHelpFile()); }
    void ShowTableOfContents() override { Call(manager_->GetHelpFile(), HELP_FINDER, 0); }
    void ShowHelp(const std::string& keyword) override {
        Call(manager_->GetHelpFile(), HELP_KEY, reinterpret_cast<ULONG_PTR>(keyword.c_str()));
    }
    void NotifyID(int) override {}
    void SoftShutDown() override {
        if (used_) WinHelpA(manager_->GetHandle(), nullptr, HELP_QUIT, 0);
        used_ = false;
    }
    void ShutDown() override { SoftShutDown(); }

    bool UnderstandsTopic(const std::string& topic) override {
        const std::string file = manager_->GetHelpFile();
        return WinHelpTester ? WinHelpTester->CanShowTopic(topic, file) : IsWinHelpFile(file);
    }
    void DisplayTopic(const std::string& topic) override {
        const std::string command = "JumpID(\"\",\"" + topic + "\")";
        Call(manager_->GetHelpFile(), HELP_COMMAND, reinterpret_cast<ULONG_PTR>(command.c_str()));
    }
    bool UnderstandsContext(int context, const std::string& file) override {
        return WinHelpTester ? WinHelpTester->CanShowContext(context, file) : IsWinHelpFile(file);
    }
    void DisplayHelpByContext(int context, const std::string& file) override {
        Call(file, HELP_CONTEXT, static_cast<ULONG_PTR>(context));
    }

private:
    void Call(const std::string& file, UINT command, ULONG_PTR data) {
        if (file.empty()) return;
        used_ = WinHelpA(manager_->GetHandle(), file.c_str(), command, data) != FALSE || used_;
    }

    IHelpManager* manager_;  // not owned: the manager outlives its viewers
    bool used_ = false;
};

class THelpManager : public IHelpManager, public IHelpSystem {
public:
    THelpManager() { viewers_.push_back(std::make_shared<TWinHelpViewer>(this)); }

    int Register(std::shared_ptr<ICustomHelpViewer> viewer) {
        viewers_.push_back(std::move(viewer));
        return static_cast<int>(viewers_.size());  // id = slot + 1
    }

    // ---- IHelpManager
    HWND GetHandle() override { return Application ? Application->Handle() : nullptr; }
    std::string GetHelpFile() override { return Application ? Application->HelpFile() : std::string(); }
    void Release(int id) override {
        // The slot stays, empty, so every other viewer keeps its id.
        if (id >= 1 && id <= static_cast<int>(viewers_.size())) viewers_[static_cast<size_t>(id - 1)].reset();
    }

    // ---- IHelpSystem
    bool ShowHelp(const std::string& keyword, const std::string&) override {
        std::vector<std::string> lines(viewers_.size());
        for (size_t i = 0; i < viewers_.size(); ++i) {
            if (!viewers_[i] || viewers_[i]->UnderstandsKeyword(keyword) <= 0) continue;
            std::vector<std::string> strings = viewers_[i]->GetHelpStrings(keyword);
            lines[i] = strings.empty() ? viewers_[i]->GetViewerName() : strings.front();
        }
        auto viewer = Pick(lines, &IHelpSelector::SelectKeyword);
        if (viewer) viewer->ShowHelp(keyword);
        return viewer != nullptr;
    }

    bool ShowContextHelp(int context, const std::string& file) override {
        for (const auto& v : Viewers()) {
            auto* ext = dynamic_cast<IExtendedHelpViewer*>(v.get());
            if (ext && ext->UnderstandsContext(context, file)) {
                ext->DisplayHelpByContext(context, file);
                return true;
            }
        }
        return false;
    }

    bool ShowTableOfContents() override {
        std::vector<std::string> lines(viewers_.size());
        for (size_t i = 0; i < viewers_.size(); ++i)
            if (viewers_[i] && viewers_[i]->CanShowTableOfContents()) lines[i] = viewers_[i]->GetViewerName();
        auto viewer = Pick(lines, &IHelpSelector::TableOfContents);
        if (viewer) viewer->ShowTableOfContents();
        return viewer != nullptr;
    }

    bool ShowTopicHelp(const std::string& topic, const std::string&) override {
        for (const auto& v : Viewers()) {
            auto* ext = dynamic_cast<IExtendedHelpViewer*>(v.get());
            if (ext && ext->UnderstandsTopic(topic)) {
                ext->DisplayTopic(topic);
                return true;
            }
        }
        return false;
    }

    void AssignHelpSelector(std::shared_ptr<IHelpSelector> selector) override { selector_ = std::move(selector); }

private:
    // A copy: a viewer may release itself while it is being called.
    std::vector<std::shared_ptr<ICustomHelpViewer>> Viewers() const { return viewers_; }

    // lines[i] is non-empty where viewer i (id i + 1) takes the request. One
    // willing viewer is taken at once; among several the selector picks by
    // index, and without a selector the first is taken.
    std::shared_ptr<ICustomHelpViewer> Pick(const std::vector<std::string>& lines,
                                            int (IHelpSelector::*select)(const std::vector<std::string>&)) {
        std::vector<size_t> willing;
        for (size_t i = 0; i < lines.size(); ++i)
            if (!lines[i].empty()) willing.push_back(i);
        if (willing.empty()) return nullptr;
        size_t chosen = willing.front();
        if (willing.size() > 1 && selector_) {
            const int index = ((*selector_).*select)(lines);
            if (index < 0 || index >= static_cast<int>(lines.size()) || lines[static_cast<size_t>(index)].empty())
                return nullptr;
            chosen = static_cast<size_t>(index);
        }
        return viewers_[chosen];
    }

    std::vector<std::shared_ptr<ICustomHelpViewer>> viewers_;  // slot = id - 1; empty once released
    std::shared_ptr<IHelpSelector> selector_;
};

THelpManager* Manager() {
    // Never freed: viewers may hold it until the process ends.
    static THelpManager* manager = new THelpManager;
    return manager;
}

}  // namespace

void RegisterViewer(std::shared_ptr<ICustomHelpViewer> Viewer, IHelpManager*& AManager) {
    ICustomHelpViewer* v = Viewer.get();
    const int id = Manager()->Register(std::move(Viewer));
    AManager = Manager();
    v->NotifyID(id);
}

IHelpSystem* GetHelpSystem() { return Manager(); }

}  // namespace ui
