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
#include "ui/UtilWindow.h"

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

    const TShellEvent& OnActivateShellWindow() const { return onActivateShellWindow_; }
    const TShellEvent& OnWindowActivated() const { return onWindowActivated_; }
    const TShellEvent& OnWindowCreated() const { return onWindowCreated_; }
    const TShellEvent& OnWindowDestroyed() const { return onWindowDestroyed_; }
    const TShellEvent& OnWindowCloseQuery() const { return onWindowCloseQuery_; }
    const TKeyNativeEvent& OnKeyNative() const { return onKeyNative_; }
    const TKeyNativeEventLL& OnKeyNativeLL() const { return onKeyNativeLL_; }
    const TMouseEvent& OnMouseClick() const { return onMouseClick_; }
    const TMouseMoveEvent& OnMouseMove() const { return onMouseMove_; }

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
    bool LibraryLoaded() const { return libHandle_ != nullptr; }
    bool Disabled() const { return disabled_; }
    HWND ReceiverWnd() const { return receiverWnd_; }
    UINT MsgShell() const { return msgShell_; }
    UINT MsgKey() const { return msgKey_; }
    UINT MsgSysCommand() const { return msgSysCommand_; }
    UINT MsgKeyLL() const { return msgKeyLL_; }
    UINT MsgMouse() const { return msgMouse_; }

    // Marks the component as being designed (no library is loaded then).
    void SetDesigning(bool v) { SetState(ui::csDesigning, v); }

protected:
    void WndProc(ui::TMessage& Message);

private:
    void Shutdown();
    void LoadHookLibrary();
    void UnloadHookLibrary();
    void SetWatching(bool Enable, int Kind);
    static std::string GetWindowCaption(HWND Wnd);

    ui::TUtilWindow receiverWnd_;
    ui::ScopedHandle<HMODULE, FreeLibrary> libHandle_;
    bool disabled_ = false;
    UINT msgSysCommand_ = 0, msgShell_ = 0, msgKey_ = 0, msgKeyLL_ = 0, msgMouse_ = 0;
    hook::TStartWatching startWatching_ = nullptr;
    hook::TStopWatching stopWatching_ = nullptr;
    hook::TStopAll stopAll_ = nullptr;
    hook::TStillWatching stillWatching_ = nullptr;
    hook::TSetReceiver setReceiver_ = nullptr;
    std::string lastActivatedCaption_;

    TShellEvent onActivateShellWindow_;
    TShellEvent onWindowActivated_;
    TShellEvent onWindowCreated_;
    TShellEvent onWindowDestroyed_;
    TShellEvent onWindowCloseQuery_;
    TKeyNativeEvent onKeyNative_;
    TKeyNativeEventLL onKeyNativeLL_;
    TMouseEvent onMouseClick_;
    TMouseMoveEvent onMouseMove_;
};

}  // namespace core
