#pragma once
// TWatch: turns the hook library's system-wide keyboard, shell and mouse
// events into component events. The library ("shook.dll") is loaded when the
// first handler is assigned and posts five registered messages to a hidden
// receiver window owned by the component.
#include <windows.h>

#include <string>

#include "core/KeyData.h"
#include "hook/ShookApi.h"
#include "ui/Component.h"
#include "ui/Control.h"

namespace core {

using TShellEvent = ui::Event<void(ui::TObject* Sender, HWND Handle, const std::string& AppName)>;
using TKeyNativeEvent = ui::Event<void(ui::TObject* Sender, WPARAM wParam, LPARAM lParam)>;
using TKeyNativeEventLL = ui::Event<void(ui::TObject* Sender, WPARAM wParam, LPARAM lParam)>;
using TMouseEvent = ui::Event<void(ui::TObject* Sender, int X, int Y, ui::TMouseButton Button)>;
using TMouseMoveEvent = ui::Event<void(ui::TObject* Sender, int X, int Y)>;

class TWatch : public ui::TComponent {
public:
    explicit TWatch(ui::TComponent* AOwner);
    ~TWatch() override;

    bool NotifyOwnEvents = false;
    bool RepeatedEvents = false;

    const TShellEvent& OnActivateShellWindow() const { return FOnActivateShellWindow; }
    const TShellEvent& OnWindowActivated() const { return FOnWindowActivated; }
    const TShellEvent& OnWindowCreated() const { return FOnWindowCreated; }
    const TShellEvent& OnWindowDestroyed() const { return FOnWindowDestroyed; }
    const TShellEvent& OnWindowCloseQuery() const { return FOnWindowCloseQuery; }
    const TKeyNativeEvent& OnKeyNative() const { return FOnKeyNative; }
    const TKeyNativeEventLL& OnKeyNativeLL() const { return FOnKeyNativeLL; }
    const TMouseEvent& OnMouseClick() const { return FOnMouseClick; }
    const TMouseMoveEvent& OnMouseMove() const { return FOnMouseMove; }

    // Assigning a handler starts its kind of watching; clearing it stops
    // that kind, whatever the other handlers of the kind.
    void SetOnActivateShellWindow(TShellEvent v);
    void SetOnWindowActivated(TShellEvent v);
    void SetOnWindowCreated(TShellEvent v);
    void SetOnWindowDestroyed(TShellEvent v);
    void SetOnWindowCloseQuery(TShellEvent v);
    void SetOnKeyNative(TKeyNativeEvent v);
    void SetOnKeyNativeLL(TKeyNativeEventLL v);
    void SetOnMouseClick(TMouseEvent v);
    void SetOnMouseMove(TMouseMoveEvent v);

    // Splits keystroke key data into its fields, with the key's name.
    static void DecodeKeyData(uint32_t KeyData, TKeyInfo& Info);

    // State for tests and diagnostics.
    bool LibraryLoaded() const { return FLibHandle != nullptr; }
    bool Disabled() const { return FDisabled; }
    HWND ReceiverWnd() const { return FReceiverWnd; }
    UINT MsgShell() const { return FMsgShell; }
    UINT MsgKey() const { return FMsgKey; }
    UINT MsgSysCommand() const { return FMsgSysCommand; }
    UINT MsgKeyLL() const { return FMsgKeyLL; }
    UINT MsgMouse() const { return FMsgMouse; }

    // Marks the component as being designed (no library is loaded then).
    void SetDesigning(bool v) { SetState(ui::csDesigning, v); }

protected:
    void WndProc(ui::TMessage& Message);

private:
    void Shutdown();
    void ClearEntryPoints();
    void LoadHookLibrary();
    void UnloadHookLibrary();
    void SetWatching(bool Enable, int Kind);
    static std::string GetWindowCaption(HWND Wnd);

    HWND FReceiverWnd = nullptr;
    HMODULE FLibHandle = nullptr;
    bool FDisabled = false;
    UINT FMsgSysCommand = 0, FMsgShell = 0, FMsgKey = 0, FMsgKeyLL = 0, FMsgMouse = 0;
    hook::TStartWatching FStartWatching = nullptr;
    hook::TStopWatching FStopWatching = nullptr;
    hook::TStopAll FStopAll = nullptr;
    hook::TStillWatching FStillWatching = nullptr;
    hook::TSetReceiver FSetReceiver = nullptr;
    std::string FLastActivatedCaption;

    TShellEvent FOnActivateShellWindow;
    TShellEvent FOnWindowActivated;
    TShellEvent FOnWindowCreated;
    TShellEvent FOnWindowDestroyed;
    TShellEvent FOnWindowCloseQuery;
    TKeyNativeEvent FOnKeyNative;
    TKeyNativeEventLL FOnKeyNativeLL;
    TMouseEvent FOnMouseClick;
    TMouseMoveEvent FOnMouseMove;
};

} // namespace core
