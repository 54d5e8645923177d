#pragma once
// TXPMenuManager: the one process-wide registry of TXPMenu components. The
// first active menu that takes part (the current menu) adopts every form
// that has no TXPMenu of its own: forms are queued when they appear and
// walked at the next message of the application window. When the current
// menu goes, its controls are handed to the next eligible menu, or put
// back when there is none.
#include <vector>

#include "ui/Component.h"
#include "ui/Messages.h"

namespace ui {
class TCustomForm;
class TWinControl;
}  // namespace ui

namespace painters {

class TXPMenu;

// Private messages posted to the application window by the popup painting:
// a menu item whose popup window gets the flat border, and a popup window.
constexpr UINT WM_XPFLATBORDERITEM = 0xBCB3;
constexpr UINT WM_XPFLATBORDERWINDOW = 0xBCB4;

class TXPMenuManager : public ui::TComponent {
public:
    TXPMenuManager();
    ~TXPMenuManager() override;

    void FormNotify(ui::TComponent* AComponent, ui::TOperation Operation);
    void AddMenu(TXPMenu* Menu);
    void RemoveMenu(TXPMenu* Menu);
    void HandOver(TXPMenu* Menu);
    TXPMenu* FindActiveMenu(TXPMenu* Except) const;
    bool AppHook(ui::TMessage& m);
    void QueueForms();
    void RestoreControls(ui::TWinControl* Container);

    TXPMenu* CurrentMenu() const { return currentMenu_; }
    int MenuCount() const { return static_cast<int>(menus_.size()); }
    bool IsPending(const ui::TComponent* Form) const;
    int PendingCount() const { return static_cast<int>(pending_.size()); }
    bool IsProcessed(const ui::TComponent* Form) const;

protected:
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;

private:
    void Forget(ui::TComponent* c);
    void Watch(ui::TComponent* c);
    void Queue(ui::TComponent* f);

    // References only: the manager owns no form or menu, and hears of
    // their end through free notification.
    std::vector<TXPMenu*> menus_;
    std::vector<ui::TComponent*> pending_;
    std::vector<ui::TComponent*> processed_;
    TXPMenu* currentMenu_ = nullptr;
};

// The one manager, or null.
extern TXPMenuManager* XPMenuManager;
void CreateXPMenuManager();
void FreeXPMenuManager();

}  // namespace painters
