#include "core/Watch.h"

#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/EntryPoint.h"
#include "ui/UtilWindow.h"

namespace core {

namespace {
// The kinds each event's writer starts and stops.
constexpr int KindShell = hook::KindShell;
constexpr int KindCloseQuery = hook::KindCloseQuery;
constexpr int KindKey = hook::KindKey;
constexpr int KindKeyLL = hook::KindKeyLL;
constexpr int KindMouse = hook::KindMouse;
}  // namespace

TWatch::TWatch(ui::TComponent* AOwner) : ui::TComponent(AOwner) {
    msgSysCommand_ = RegisterWindowMessageA(hook::MsgSysCommandName);
    msgShell_ = RegisterWindowMessageA(hook::MsgShellName);
    msgKey_ = RegisterWindowMessageA(hook::MsgKeyName);
    msgKeyLL_ = RegisterWindowMessageA(hook::MsgKeyLLName);
    msgMouse_ = RegisterWindowMessageA(hook::MsgMouseName);
    lastActivatedCaption_.clear();
    disabled_ = false;
}

TWatch::~TWatch() { Shutdown(); }

void TWatch::Shutdown() {
    if (stopAll_) stopAll_();
    UnloadHookLibrary();
}

void TWatch::LoadHookLibrary() {
    if (disabled_ || libHandle_ || HasState(ui::csDesigning)) return;
    libHandle_.Reset(LoadLibraryA(hook::LibraryName));
    if (libHandle_) {
        receiverWnd_.Reset(ui::AllocateHWnd(ui::TWndMethod(this, &TWatch::WndProc)));
        startWatching_ = ui::BindEntryPoint<hook::TStartWatching>(libHandle_, hook::StartWatchingName);
        stopWatching_ = ui::BindEntryPoint<hook::TStopWatching>(libHandle_, hook::StopWatchingName);
        stillWatching_ = ui::BindEntryPoint<hook::TStillWatching>(libHandle_, hook::StillWatchingName);
        stopAll_ = ui::BindEntryPoint<hook::TStopAll>(libHandle_, hook::StopAllName);
        setReceiver_ = ui::BindEntryPoint<hook::TSetReceiver>(libHandle_, hook::SetReceiverName);
        if (setReceiver_) setReceiver_(hook::HandleToReceiver(receiverWnd_));
        if (startWatching_ && stopWatching_ && stillWatching_ && stopAll_) return;
    }
    const char* text = libHandle_ ? "Library is not valid.\r\nApplication is disabled."
                                  : "Library not found.\r\nApplication is disabled.";
    // Disabled before the dialog runs its message loop, so nothing re-enters
    // the load while it is shown.
    disabled_ = true;
    UnloadHookLibrary();
    ui::MessageDlg(text, ui::mtError, ui::TMsgDlgButtons{ui::mbOK}, 0);
}

void TWatch::UnloadHookLibrary() {
    receiverWnd_.Reset();
    libHandle_.Reset();
    startWatching_ = nullptr;
    stopWatching_ = nullptr;
    stillWatching_ = nullptr;
    stopAll_ = nullptr;
    setReceiver_ = nullptr;
}

void TWatch::SetWatching(bool Enable, int Kind) {
    if (HasState(ui::csDesigning)) return;
    if (Enable) {
        LoadHookLibrary();
        if (startWatching_) startWatching_(Kind);
    } else if (libHandle_ && stopWatching_) {
        stopWatching_(Kind);
        if (!stillWatching_()) UnloadHookLibrary();
    }
}

void TWatch::SetOnActivateShellWindow(TShellEvent v) {
    onActivateShellWindow_ = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowActivated(TShellEvent v) {
    onWindowActivated_ = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowCreated(TShellEvent v) {
    onWindowCreated_ = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowDestroyed(TShellEvent v) {
    onWindowDestroyed_ = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowCloseQuery(TShellEvent v) {
    onWindowCloseQuery_ = v;
    SetWatching(static_cast<bool>(v), KindCloseQuery);
}
void TWatch::SetOnKeyNative(TKeyNativeEvent v) {
    onKeyNative_ = v;
    SetWatching(static_cast<bool>(v), KindKey);
}
void TWatch::SetOnKeyNativeLL(TKeyNativeEventLL v) {
    onKeyNativeLL_ = v;
    SetWatching(static_cast<bool>(v), KindKeyLL);
}
void TWatch::SetOnMouseClick(TMouseEvent v) {
    onMouseClick_ = v;
    SetWatching(static_cast<bool>(v), KindMouse);
}
void TWatch::SetOnMouseMove(TMouseMoveEvent v) {
    onMouseMove_ = v;
    SetWatching(static_cast<bool>(v), KindMouse);
}

std::string TWatch::GetWindowCaption(HWND Wnd) {
    char buf[300];
    int n = GetWindowTextA(Wnd, buf, sizeof(buf));
    if (n <= 0) return std::string();
    return std::string(buf, static_cast<size_t>(n));
}

void TWatch::DecodeKeyData(uint32_t KeyData, TKeyInfo& Info) {
    char name[80] = {};
    int n = GetKeyNameTextA(static_cast<LONG>(KeyData), name, 79);
    Info = core::DecodeKeyData(KeyData, n > 0 ? std::string(name, static_cast<size_t>(n)) : std::string());
}

void TWatch::WndProc(ui::TMessage& Message) {
    const UINT msg = Message.Msg;
    if (msg == msgSysCommand_ && msg) {
        if (onWindowCloseQuery_) onWindowCloseQuery_(this, reinterpret_cast<HWND>(Message.WParam), "");
    } else if (msg == msgShell_ && msg) {
        HWND wnd = reinterpret_cast<HWND>(Message.WParam);
        if (!NotifyOwnEvents && ui::Application && wnd == ui::Application->Handle()) return;
        std::string caption = GetWindowCaption(wnd);
        switch (Message.LParam) {
        case 1:
            if (onWindowCreated_) onWindowCreated_(this, wnd, caption);
            break;
        case 2:
            if (onWindowDestroyed_) onWindowDestroyed_(this, wnd, caption);
            break;
        case 3:
            if (onActivateShellWindow_) onActivateShellWindow_(this, wnd, caption);
            break;
        case 4:
            if (onWindowActivated_) {
                bool repeated = !RepeatedEvents && caption == lastActivatedCaption_;
                lastActivatedCaption_ = caption;
                if (!repeated) onWindowActivated_(this, wnd, caption);
            }
            break;
        }
    } else if (msg == msgKey_ && msg) {
        if (onKeyNative_) onKeyNative_(this, Message.WParam, Message.LParam);
    } else if (msg == msgKeyLL_ && msg) {
        if (onKeyNativeLL_) onKeyNativeLL_(this, Message.WParam, Message.LParam);
    } else if (msg == msgMouse_ && msg) {
        if (onMouseClick_) {
            int x = static_cast<short>(LOWORD(Message.LParam)), y = static_cast<short>(HIWORD(Message.LParam));
            switch (Message.WParam) {
            case WM_LBUTTONDOWN: onMouseClick_(this, x, y, ui::mbLeft); break;
            case WM_RBUTTONDOWN: onMouseClick_(this, x, y, ui::mbRight); break;
            case WM_MBUTTONDOWN: onMouseClick_(this, x, y, ui::mbMiddle); break;
            }
        }
    } else {
        Message.Result = DefWindowProcA(receiverWnd_, msg, Message.WParam, Message.LParam);
    }
}

}  // namespace core
