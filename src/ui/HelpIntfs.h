#pragma once
// The help manager: viewers register with it and it hands each help request
// (by context, keyword, topic, or for the table of contents) to a viewer
// that understands it. A selector, when one is assigned, picks among several
// viewers; a WinHelp tester decides what the library's own WinHelp viewer
// may show.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace ui {

// What the manager offers a registered viewer.
class IHelpManager {
public:
    virtual ~IHelpManager() = default;
    virtual HWND GetHandle() = 0;            // the window help is shown for
    virtual std::string GetHelpFile() = 0;   // the application's help file
    virtual void Release(int ViewerID) = 0;  // the viewer leaves the manager
};

class ICustomHelpViewer {
public:
    virtual ~ICustomHelpViewer() = default;
    virtual std::string GetViewerName() = 0;
    // How many help strings the viewer has for the keyword (0: none).
    virtual int UnderstandsKeyword(const std::string& HelpString) = 0;
    virtual std::vector<std::string> GetHelpStrings(const std::string& HelpString) = 0;
    virtual bool CanShowTableOfContents() = 0;
    virtual void ShowTableOfContents() = 0;
    virtual void ShowHelp(const std::string& HelpString) = 0;
    // The id the manager gave the viewer when it registered.
    virtual void NotifyID(int ViewerID) = 0;
    // Closes the viewer's windows; the viewer stays registered.
    virtual void SoftShutDown() = 0;
    // The manager is going away: close everything and drop it.
    virtual void ShutDown() = 0;
};

class IExtendedHelpViewer {
public:
    virtual ~IExtendedHelpViewer() = default;
    virtual bool UnderstandsTopic(const std::string& Topic) = 0;
    virtual void DisplayTopic(const std::string& Topic) = 0;
    virtual bool UnderstandsContext(int ContextID, const std::string& HelpFileName) = 0;
    virtual void DisplayHelpByContext(int ContextID, const std::string& HelpFileName) = 0;
};

class ISpecialWinHelpViewer {
public:
    virtual ~ISpecialWinHelpViewer() = default;
    virtual bool CallWinHelp(HWND Handle, const std::string& HelpFile, UINT Command, ULONG_PTR Data) = 0;
};

// Picks one viewer where several understand a request. Both get one line per
// registered viewer, line i standing for the viewer whose id is i + 1 (an
// empty line for a viewer that cannot take the request), and answer the
// line's index; an index that names no willing viewer shows nothing.
class IHelpSelector {
public:
    virtual ~IHelpSelector() = default;
    virtual int SelectKeyword(const std::vector<std::string>& Keywords) = 0;
    virtual int TableOfContents(const std::vector<std::string>& Contents) = 0;
};

// Decides what the library's WinHelp viewer may show.
class IWinHelpTester {
public:
    virtual ~IWinHelpTester() = default;
    virtual bool CanShowALink(const std::string& ALink, const std::string& FileName) = 0;
    virtual bool CanShowTopic(const std::string& Topic, const std::string& FileName) = 0;
    virtual bool CanShowContext(int Context, const std::string& FileName) = 0;
    virtual std::vector<std::string> GetHelpStrings(const std::string& ALink) = 0;
    virtual std::string GetHelpPath() = 0;
    virtual std::string GetDefaultHelpFile() = 0;
};

// What the application asks of the help system. Each returns false when no
// viewer took the request.
class IHelpSystem {
public:
    virtual ~IHelpSystem() = default;
    virtual bool ShowHelp(const std::string& HelpKeyword, const std::string& HelpFileName) = 0;
    virtual bool ShowContextHelp(int ContextID, const std::string& HelpFileName) = 0;
    virtual bool ShowTableOfContents() = 0;
    virtual bool ShowTopicHelp(const std::string& Topic, const std::string& HelpFileName) = 0;
    virtual void AssignHelpSelector(std::shared_ptr<IHelpSelector> Selector) = 0;
};

// Registers Viewer (which must also be an IExtendedHelpViewer to take
// context and topic requests) and hands it the manager; the manager keeps a
// reference until the viewer releases itself.
void RegisterViewer(std::shared_ptr<ICustomHelpViewer> Viewer, IHelpManager*& Manager);

// The help system (made on first use; lives until the process ends).
IHelpSystem* GetHelpSystem();

// Consulted by the library's WinHelp viewer; null: it takes only ".hlp"
// files.
extern std::shared_ptr<IWinHelpTester> WinHelpTester;

}  // namespace ui
