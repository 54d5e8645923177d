#include "ui/Application.h"

#include <objbase.h>

#include <algorithm>

#include "ui/Control.h"
#include "ui/Exception.h"
#include "ui/Form.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/HintWindow.h"
#include "ui/HelpIntfs.h"

namespace ui {

namespace {
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
}  // namespace

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

void InitApplication() {
    if (!Application) Application = new TApplication(nullptr);
    if (!Screen) Screen = new TScreen(nullptr);
}

void DoneApplication() {
    // Forms first (they are the application's components), then the screen.
    TComponent::Free(Application);
    Application = nullptr;
    TComponent::Free(Screen);
    Screen = nullptr;
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    auto slash = exe.find_last_of("\\/");
    std::string base = slash == std::string::npos ? exe : exe.substr(slash + 1);
    auto dot = base.rfind('.');
    title_ = dot == std::string::npos ? base : base.substr(0, dot);

    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TApplication::AppWndProc;
    wc.hInstance = inst;
    wc.hIcon = LoadIconA(inst, "MAINICON");
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = "TApplication";
    RegisterClassA(&wc);  // fails harmlessly when a second object registers again
    // It owns the forms' windows, so they minimise together, and carries the
    // taskbar button: it is shown, with no size, while the main form is.
    handle_ = CreateWindowExA(
        0, "TApplication", title_.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
        GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, inst, nullptr);
    if (handle_) SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TApplication::~TApplication() {
    // The forms go first, while the application window still owns them.
    while (ComponentCount() > 0) TComponent::Free(Components(ComponentCount() - 1));
    mainForm_ = nullptr;
    if (handle_) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
    if (comInitialised_) CoUninitialize();
}

void TApplication::Initialize() {
    if (!comInitialised_) {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        comInitialised_ = SUCCEEDED(hr);
    }
}

void TApplication::SetTitle(const std::string& t) {
    title_ = t;
    if (handle_) SetWindowTextA(handle_, t.c_str());
}

std::string TApplication::ExeName() const {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void TApplication::Run() {
    if (terminated_) return;
    if (mainForm_ && showMainForm_) mainForm_->Show();
    while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
    // Takes effect at once: a loop that checks Terminated ends, and the quit
    // message ends any nested message loop.
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND h = msg.hwnd;
    TWinControl* c = nullptr;
    while (h && !(c = TWinControl::FindControl(h))) h = GetParent(h);
    if (!c) return false;
    return c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    try {
        switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            CancelHint();  // a click or a key ends the hint
            break;
        }
        if (!IsKeyMsg(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } catch (...) {
        HandleException(this);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {}
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) {
        // An idle handler that is not done yet runs again before the loop waits.
        if (Idle() && !terminated_) WaitMessage();
    }
}

bool TApplication::Idle() {
    bool done = true;
    try {
        DoMouseIdle();
        if (OnIdle) OnIdle(this, done);
    } catch (...) {
        HandleException(this);
    }
    return done;
}

void TApplication::DoMouseIdle() {
    POINT p;
    TControl* target = nullptr;
    if (GetCursorPos(&p)) {
        HWND h = WindowFromPoint(p);
        TWinControl* w = nullptr;
        while (h && !(w = TWinControl::FindControl(h))) h = GetParent(h);
        if (w) {
            target = w;
            POINT cp = p;
            ::ScreenToClient(w->Handle(), &cp);
            if (TControl* g = w->ControlAtPos(cp)) target = g;
        }
    }
    SetMouseControl(target);
}

namespace {

// A control without a hint of its own shows its parent's: the parts that
// make up a composite control (a scroller's arrows, track and thumb) show
// the hint of the whole.
std::string HintOf(const TControl* c) {
    for (; c; c = c->Parent())
        if (!c->Hint().empty()) return c->Hint();
    return std::string();
}

}  // namespace

void TApplication::SetMouseControl(TControl* target) {
    if (target == mouseControl_) return;
    TControl* old = mouseControl_;
    mouseControl_ = target;
    CancelHint();
    if (target && target->ShowHint() && !GetShortHint(HintOf(target)).empty() && handle_) {
        hintControl_ = target;
        SetTimer(handle_, kHintShowTimer, static_cast<UINT>(std::max(hintPause_, 1)), nullptr);
    }
    if (old) old->Perform(CM_MOUSELEAVE);
    if (target && target == mouseControl_) target->Perform(CM_MOUSEENTER);
}

void TApplication::MainFormShown(bool shown) {
    if (handle_) ShowWindow(handle_, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TApplication::CancelHint() {
    if (handle_) {
        KillTimer(handle_, kHintShowTimer);
        KillTimer(handle_, kHintHideTimer);
    }
    hintControl_ = nullptr;
    if (hintShowing_ && hintWindow_) hintWindow_->ReleaseHandle();
    hintShowing_ = false;
}

void TApplication::HintTimerExpired() {
    KillTimer(handle_, kHintShowTimer);
    TControl* c = hintControl_;
    if (!c || c != mouseControl_ || hintShowing_) return;
    if (!hintWindow_) hintWindow_ = TComponent::Create<THintWindow>(this);
    // Below the pointer, clear of the cursor's picture.
    POINT p{};
    GetCursorPos(&p);
    p.y += GetSystemMetrics(SM_CYCURSOR) * 3 / 4;
    hintWindow_->ActivateHint(p, GetShortHint(HintOf(c)));
    hintShowing_ = true;
    if (hintHidePause_ > 0) SetTimer(handle_, kHintHideTimer, static_cast<UINT>(hintHidePause_), nullptr);
}

void TApplication::ControlDestroyed(TControl* c) {
    if (hintControl_ == c) CancelHint();
    if (c == hintWindow_) {
        hintWindow_ = nullptr;
        hintShowing_ = false;
    }
    if (mouseControl_ == c) mouseControl_ = nullptr;
}

void TApplication::FormDestroyed(TCustomForm* f) {
    if (mainForm_ == f) mainForm_ = nullptr;
}

void TApplication::HandleException(TObject* Sender) {
    if (handlingException_) return;  // a failure while reporting one is dropped
    handlingException_ = true;
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        try {
            if (OnException)
                OnException(Sender, e);
            else
                ShowException(e);
        } catch (...) {}
    } catch (...) {
        try {
            Exception e("Unknown error");
            if (OnException)
                OnException(Sender, e);
            else
                ShowException(e);
        } catch (...) {}
    }
    handlingException_ = false;
}

void TApplication::ShowException(const std::exception& e) {
    std::string msg = e.what();
    if (!msg.empty() && msg.back() > '.') msg += '.';
    MessageBoxA(handle_, msg.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void TApplication::HookMainWindow(TMessageHook hook) {
    if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
}

void TApplication::UnhookMainWindow(TMessageHook hook) {
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
}

bool TApplication::HelpContext(int ctx) { return HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(ctx)); }

bool TApplication::HelpKeyword(const std::string& keyword) {
    return HelpCommand(HELP_KEY, reinterpret_cast<ULONG_PTR>(keyword.c_str()));
}

bool TApplication::HelpJump(const std::string& topic) { return GetHelpSystem()->ShowTopicHelp(topic, helpFile_); }

bool TApplication::HelpCommand(UINT cmd, ULONG_PTR data) {
    bool callHelp = true;
    bool result = false;
    if (OnHelp) result = OnHelp(static_cast<WORD>(cmd), static_cast<intptr_t>(data), callHelp);
    if (!callHelp) return result;
    IHelpSystem* help = GetHelpSystem();
    switch (cmd) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP: return help->ShowContextHelp(static_cast<int>(data), helpFile_);
    case HELP_KEY:
    case HELP_PARTIALKEY: return data && help->ShowHelp(reinterpret_cast<const char*>(data), helpFile_);
    case HELP_FINDER:
    case HELP_CONTENTS: return help->ShowTableOfContents();
    default: return false;
    }
}

LRESULT CALLBACK TApplication::AppWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (!app) return DefWindowProcA(h, msg, wp, lp);
    try {
        return app->WndProc(msg, wp, lp);
    } catch (...) {
        app->HandleException(app);
        return 0;
    }
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    TMessage m{msg, wp, lp, 0};
    std::vector<TMessageHook> hooks = hooks_;  // a hook may unhook itself
    for (auto& hook : hooks)
        if (hook(m)) return m.Result;
    switch (msg) {
    case WM_CLOSE:
        if (mainForm_) mainForm_->Close();
        return 0;
    case WM_ACTIVATE:
        // Activated through its taskbar button: the main form takes over.
        if (LOWORD(wp) != WA_INACTIVE && mainForm_ && mainForm_->Visible() && mainForm_->HandleAllocated())
            SetForegroundWindow(mainForm_->Handle());
        return 0;
    case WM_TIMER:
        if (wp == kHintShowTimer)
            HintTimerExpired();
        else if (wp == kHintHideTimer)
            CancelHint();
        else
            break;
        return 0;
    case WM_ENDSESSION:
        if (wp) Terminate();
        return 0;
    case WM_SYSCOLORCHANGE: {
        for (int i = 0; Screen && i < Screen->FormCount(); ++i) Screen->Forms(i)->Perform(CM_SYSCOLORCHANGE);
        return 0;
    }
    }
    return DefWindowProcA(handle_, msg, wp, lp);
}

// ---------------------------------------------------------------- TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

TFont* TScreen::MenuFont() {
    if (!menuFont_) {
        menuFont_ = std::make_unique<TFont>();
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof(ncm);
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
            menuFont_->SetHandle(CreateFontIndirectA(&ncm.lfMenuFont));
    }
    return menuFont_.get();
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

int TScreen::PixelsPerInch() const {
    ScopedGetDC dc(nullptr);
    return GetDeviceCaps(dc, LOGPIXELSY);
}

void TScreen::AddForm(TCustomForm* f) {
    if (std::find(forms_.begin(), forms_.end(), f) == forms_.end()) forms_.push_back(f);
}

void TScreen::RemoveForm(TCustomForm* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    if (activeForm_ == f) activeForm_ = nullptr;
    if (activeControl_ && activeControl_->GetParentForm() == f) activeControl_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* f) { activeForm_ = f; }

}  // namespace ui
