#include "core/Watch.h"

#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/UtilWindow.h"

namespace core {

namespace {
// The kinds each event's writer starts and stops.
constexpr int KindShell = hook::KindShell;
constexpr int KindCloseQuery = hook::KindCloseQuery;
constexpr int KindKey = hook::KindKey;
constexpr int KindKeyLL = hook::KindKeyLL;
constexpr int KindMouse = hook::KindMouse;
} // namespace

TWatch::TWatch(ui::TComponent* AOwner) : ui::TComponent(AOwner) {
    FMsgSysCommand = RegisterWindowMessageA(hook::MsgSysCommandName);
    FMsgShell = RegisterWindowMessageA(hook::MsgShellName);
    FMsgKey = RegisterWindowMessageA(hook::MsgKeyName);
    FMsgKeyLL = RegisterWindowMessageA(hook::MsgKeyLLName);
    FMsgMouse = RegisterWindowMessageA(hook::MsgMouseName);
    FLastActivatedCaption.clear();
    FDisabled = false;
    ClearEntryPoints();
}

TWatch::~TWatch() { Shutdown(); }

void TWatch::Shutdown() {
    if (FStopAll) FStopAll();
    UnloadHookLibrary();
    ClearEntryPoints();
}

void TWatch::ClearEntryPoints() {
    FLibHandle = nullptr;
    FStartWatching = nullptr;
    FStopWatching = nullptr;
    FStillWatching = nullptr;
    FStopAll = nullptr;
    FSetReceiver = nullptr;
    FReceiverWnd = nullptr;
}

void TWatch::LoadHookLibrary() {
    if (FDisabled || FLibHandle || HasState(ui::csDesigning)) return;
    FLibHandle = LoadLibraryA(hook::LibraryName);
    if (FLibHandle) {
        FReceiverWnd = ui::AllocateHWnd(ui::TWndMethod(this, &TWatch::WndProc));
        FStartWatching = hook::BindEntryPoint<hook::TStartWatching>(FLibHandle, hook::StartWatchingName);
        FStopWatching = hook::BindEntryPoint<hook::TStopWatching>(FLibHandle, hook::StopWatchingName);
        FStillWatching = hook::BindEntryPoint<hook::TStillWatching>(FLibHandle, hook::StillWatchingName);
        FStopAll = hook::BindEntryPoint<hook::TStopAll>(FLibHandle, hook::StopAllName);
        FSetReceiver = hook::BindEntryPoint<hook::TSetReceiver>(FLibHandle, hook::SetReceiverName);
        if (FSetReceiver) FSetReceiver(hook::HandleToReceiver(FReceiverWnd));
        if (FStartWatching && FStopWatching && FStillWatching && FStopAll) return;
    }
    const char* text = FLibHandle ? "Library is not valid.\r\nApplication is disabled."
                                  : "Library not found.\r\nApplication is disabled.";
    // Disabled before the dialog runs its message loop, so nothing re-enters
    // the load while it is shown.
    FDisabled = true;
    HWND receiver = FReceiverWnd;
    HMODULE lib = FLibHandle;
    ClearEntryPoints();
    if (receiver) ui::DeallocateHWnd(receiver);
    if (lib) FreeLibrary(lib);
    ui::MessageDlg(text, ui::mtError, ui::TMsgDlgButtons{ui::mbOK}, 0);
}

void TWatch::UnloadHookLibrary() {
    if (FReceiverWnd) ui::DeallocateHWnd(FReceiverWnd);
    if (FLibHandle) FreeLibrary(FLibHandle);
    ClearEntryPoints();
}

void TWatch::SetWatching(bool Enable, int Kind) {
    if (HasState(ui::csDesigning)) return;
    if (Enable) {
        LoadHookLibrary();
        if (FStartWatching) FStartWatching(Kind);
    } else if (FLibHandle && FStopWatching) {
        FStopWatching(Kind);
        if (!FStillWatching()) UnloadHookLibrary();
    }
}

void TWatch::SetOnActivateShellWindow(TShellEvent v) {
    FOnActivateShellWindow = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowActivated(TShellEvent v) {
    FOnWindowActivated = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowCreated(TShellEvent v) {
    FOnWindowCreated = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowDestroyed(TShellEvent v) {
    FOnWindowDestroyed = v;
    SetWatching(static_cast<bool>(v), KindShell);
}
void TWatch::SetOnWindowCloseQuery(TShellEvent v) {
    FOnWindowCloseQuery = v;
    SetWatching(static_cast<bool>(v), KindCloseQuery);
}
void TWatch::SetOnKeyNative(TKeyNativeEvent v) {
    FOnKeyNative = v;
    SetWatching(static_cast<bool>(v), KindKey);
}
void TWatch::SetOnKeyNativeLL(TKeyNativeEventLL v) {
    FOnKeyNativeLL = v;
    SetWatching(static_cast<bool>(v), KindKeyLL);
}
void TWatch::SetOnMouseClick(TMouseEvent v) {
    FOnMouseClick = v;
    SetWatching(static_cast<bool>(v), KindMouse);
}
void TWatch::SetOnMouseMove(TMouseMoveEvent v) {
    FOnMouseMove = v;
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
    if (msg == FMsgSysCommand && msg) {
        if (FOnWindowCloseQuery) FOnWindowCloseQuery(this, reinterpret_cast<HWND>(Message.WParam), "");
    } else if (msg == FMsgShell && msg) {
        HWND wnd = reinterpret_cast<HWND>(Message.WParam);
        if (!NotifyOwnEvents && ui::Application && wnd == ui::Application->Handle()) return;
        std::string caption = GetWindowCaption(wnd);
        switch (Message.LParam) {
        case 1:
            if (FOnWindowCreated) FOnWindowCreated(this, wnd, caption);
            break;
        case 2:
            if (FOnWindowDestroyed) FOnWindowDestroyed(this, wnd, caption);
            break;
        case 3:
            if (FOnActivateShellWindow) FOnActivateShellWindow(this, wnd, caption);
            break;
        case 4:
            if (FOnWindowActivated) {
                bool repeated = !RepeatedEvents && caption == FLastActivatedCaption;
                FLastActivatedCaption = caption;
                if (!repeated) FOnWindowActivated(this, wnd, caption);
            }
            break;
        }
    } else if (msg == FMsgKey && msg) {
        if (FOnKeyNative) FOnKeyNative(this, Message.WParam, Message.LParam);
    } else if (msg == FMsgKeyLL && msg) {
        if (FOnKeyNativeLL) FOnKeyNativeLL(this, Message.WParam, Message.LParam);
    } else if (msg == FMsgMouse && msg) {
        if (FOnMouseClick) {
            int x = static_cast<short>(LOWORD(Message.LParam)), y = static_cast<short>(HIWORD(Message.LParam));
            switch (Message.WParam) {
            case WM_LBUTTONDOWN: FOnMouseClick(this, x, y, ui::mbLeft); break;
            case WM_RBUTTONDOWN: FOnMouseClick(this, x, y, ui::mbRight); break;
            case WM_MBUTTONDOWN: FOnMouseClick(this, x, y, ui::mbMiddle); break;
            }
        }
    } else {
        Message.Result = DefWindowProcA(FReceiverWnd, msg, Message.WParam, Message.LParam);
    }
}

} // namespace core
