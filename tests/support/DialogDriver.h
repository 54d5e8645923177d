#pragma once
// Meets a real dialog the way a person would: waits for a visible top-level
// window with a given caption and/or text, then clicks one of its buttons
// (BM_CLICK, which the button handles like a mouse click).
//
// Header-only, for two users: tests that run a modal dialog on their GUI
// thread and drive it from a second thread (DialogDriverThread), and
// tests/fixtures/dlgdriver.exe, which does the same from another process.
//
// The text is looked for in the window's caption and in the texts of its
// child windows, hidden ones included: the message dialogs of the class
// library keep their message in a hidden STATIC child for this (their
// message label has no window).
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildWindows.h"
#include "support/Wait.h"

namespace vsk::test {

// For DialogRequest::pid: windows of every process.
constexpr DWORD kAnyProcess = 0;

struct DialogRequest {
    std::string caption{};  // the window's caption, exactly ("": any)
    std::string text{};     // a part of its caption or of a child window's text ("": any)
    std::string click{};    // the button's caption: "&Yes" (or "Yes") clicks "&Yes"
    // Only windows of this process: the caller's own unless told otherwise,
    // so that a dialog of another test running at the same time is left alone.
    DWORD pid = GetCurrentProcessId();
    DWORD timeoutMs = 5000;
};

struct DialogReport {
    bool found = false;  // a window matched caption and text
    bool clicked = false;
    bool closedOnDeadline = false;  // DialogDriverThread closed what was left open
    HWND window = nullptr;
    std::string caption;
    std::vector<std::string> texts;    // texts of the child windows that are not buttons
    std::vector<std::string> buttons;  // captions of the push buttons
};

namespace detail {

inline std::string TextOf(HWND h) {
    // WM_GETTEXT crosses threads and processes; a hung owner does not stop us.
    char buf[4096] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got))
        return "";
    return std::string(buf, static_cast<size_t>(got) < sizeof buf ? static_cast<size_t>(got) : sizeof buf - 1);
}

inline std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// "N&o to All" -> "No to All"; "&&" stays one "&".
inline std::string WithoutAccel(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) ++i;
        r += s[i];
    }
    return r;
}

inline bool IsPushButton(HWND h) {
    char cls[128] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (Lower(cls).find("button") == std::string::npos) return false;
    const LONG_PTR type = GetWindowLongPtrA(h, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

struct Candidate {
    HWND window;
    std::string caption;
};

struct Search {
    const DialogRequest* req;
    std::vector<Candidate> found;
};

inline BOOL CALLBACK CollectTopLevel(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if (!IsWindowVisible(h)) return TRUE;
    if (s->req->pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid != s->req->pid) return TRUE;
    }
    std::string caption = TextOf(h);
    if (!s->req->caption.empty() && caption != s->req->caption) return TRUE;
    s->found.push_back({h, std::move(caption)});
    return TRUE;
}

// One look at the screen: fills report and clicks when everything is there.
inline bool TryOnce(const DialogRequest& req, DialogReport& report) {
    Search s{&req, {}};
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&s));
    for (const Candidate& cand : s.found) {
        DialogReport r;
        r.window = cand.window;
        r.caption = cand.caption;
        std::vector<HWND> buttons;
        for (HWND h : ChildWindows(cand.window, [](HWND) { return true; })) {
            std::string t = TextOf(h);
            if (IsPushButton(h)) {
                buttons.push_back(h);
                r.buttons.push_back(t);
            } else if (!t.empty()) {
                r.texts.push_back(t);
            }
        }
        bool textMatches = req.text.empty() || cand.caption.find(req.text) != std::string::npos;
        for (const std::string& t : r.texts) textMatches = textMatches || t.find(req.text) != std::string::npos;
        if (!textMatches) continue;
        r.found = true;
        for (size_t i = 0; i < buttons.size(); ++i) {
            const std::string& b = r.buttons[i];
            if (b != req.click && WithoutAccel(b) != WithoutAccel(req.click)) continue;
            HWND button = buttons[i];
            if (!IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
            DWORD_PTR ignored = 0;
            r.clicked = SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
            break;
        }
        report = r;
        if (r.clicked) return true;
    }
    return false;
}

}  // namespace detail

// Waits up to req.timeoutMs for the dialog and clicks the button. The
// dialog belongs to another thread or process: it is looked for again at
// short intervals until then.
inline DialogReport DriveDialog(const DialogRequest& req) {
    DialogReport report;
    WaitUntil([&] { return detail::TryOnce(req, report); }, static_cast<int>(req.timeoutMs));
    return report;
}

namespace detail {
// Ends the modal loops a failed drive left open on thread: every visible
// top-level window of the thread is cancelled and asked to close, so the
// test goes on to report the failure instead of waiting for the runner.
inline void CloseThreadDialogs(DWORD thread) {
    EnumThreadWindows(
        thread,
        [](HWND h, LPARAM) -> BOOL {
            if (IsWindowVisible(h) && IsWindowEnabled(h)) {
                PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
                PostMessageA(h, WM_CLOSE, 0, 0);
            }
            return TRUE;
        },
        0);
}
}  // namespace detail

// What the driver saw, for test messages and the driver's output.
inline std::string Describe(const DialogReport& r) {
    if (!r.found) return "no matching window";
    char head[64];
    std::snprintf(head, sizeof head, "window %p", static_cast<void*>(r.window));
    std::string s = std::string(head) + " caption \"" + r.caption + "\"";
    for (const std::string& t : r.texts) s += "\n  text \"" + t + "\"";
    for (const std::string& b : r.buttons) s += "\n  button \"" + b + "\"";
    s += r.clicked ? "\n  clicked" : "\n  not clicked";
    if (r.closedOnDeadline) s += "; its windows were closed at the deadline";
    return s;
}

// Drives a dialog from a second thread while the test's own thread shows it.
// Made on the test's thread: when the deadline passes without a click, it
// closes what that thread shows (the test then fails on the report).
class DialogDriverThread {
public:
    explicit DialogDriverThread(DialogRequest req)
        : owner_(GetCurrentThreadId()), thread_([this, req] {
              report_ = DriveDialog(req);
              if (!report_.clicked) {
                  detail::CloseThreadDialogs(owner_);
                  report_.closedOnDeadline = true;
              }
          }) {}
    ~DialogDriverThread() {
        if (thread_.joinable()) thread_.join();
    }
    DialogDriverThread(const DialogDriverThread&) = delete;
    DialogDriverThread& operator=(const DialogDriverThread&) = delete;

    // Waits for the driver to finish (clicked or timed out).
    const DialogReport& Wait() {
        if (thread_.joinable()) thread_.join();
        return report_;
    }

private:
    DWORD owner_;
    DialogReport report_;
    std::thread thread_;
};

}  // namespace vsk::test
