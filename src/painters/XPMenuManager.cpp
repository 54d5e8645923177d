#include "painters/XPMenuManager.h"

#include <algorithm>
#include <string>

#include "painters/QuietPaint.h"
#include "painters/XPMenu.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace painters {

using namespace ui;

TXPMenuManager* XPMenuManager = nullptr;

void CreateXPMenuManager() {
    if (!XPMenuManager) XPMenuManager = new TXPMenuManager;
}

void FreeXPMenuManager() {
    TXPMenuManager* m = XPMenuManager;
    XPMenuManager = nullptr;
    if (m) TComponent::Free(m);
}

namespace {
template <class T> bool Holds(const std::vector<T*>& v, const TComponent* c) {
    return std::find(v.begin(), v.end(), c) != v.end();
}
template <class T> void Drop(std::vector<T*>& v, const TComponent* c) {
    v.erase(std::remove(v.begin(), v.end(), c), v.end());
}
}  // namespace

TXPMenuManager::TXPMenuManager() : TComponent(nullptr) {
    if (Application) Application->HookMainWindow(TMessageHook(this, &TXPMenuManager::AppHook));
}

TXPMenuManager::~TXPMenuManager() {
    if (Application) Application->UnhookMainWindow(TMessageHook(this, &TXPMenuManager::AppHook));
    for (TComponent* c : pending_) RemoveFreeNotification(c);
    for (TComponent* c : processed_) RemoveFreeNotification(c);
    for (TXPMenu* m : menus_) RemoveFreeNotification(m);
}

bool TXPMenuManager::IsPending(const TComponent* Form) const { return Holds(pending_, Form); }
bool TXPMenuManager::IsProcessed(const TComponent* Form) const { return Holds(processed_, Form); }

void TXPMenuManager::Watch(TComponent* c) {
    if (c) FreeNotification(c);
}

void TXPMenuManager::Forget(TComponent* c) {
    // A menu being freed is still whole here: it hands over (or restores)
    // before anything of it goes.
    for (TXPMenu* m : menus_)
        if (m == c) {
            RemoveMenu(m);
            break;
        }
    Drop(pending_, c);
    Drop(processed_, c);
    Drop(menus_, c);
    if (currentMenu_ == c) currentMenu_ = nullptr;
}

void TXPMenuManager::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) Forget(AComponent);
}

void TXPMenuManager::AddMenu(TXPMenu* Menu) {
    if (!Menu || Holds(menus_, Menu)) return;
    menus_.push_back(Menu);
    Watch(Menu);
    if (Menu->OwnerForm() && !Holds(processed_, Menu->OwnerForm())) {
        processed_.push_back(Menu->OwnerForm());
        Watch(Menu->OwnerForm());
    }
    if (!currentMenu_ && Menu->Active() && !Menu->DisableSubclassing()) {
        currentMenu_ = Menu;
        QueueForms();
    }
}

void TXPMenuManager::RemoveMenu(TXPMenu* Menu) {
    if (Menu && Menu == currentMenu_) HandOver(Menu);
    Drop(menus_, Menu);
    if (Menu) RemoveFreeNotification(Menu);
}

TXPMenu* TXPMenuManager::FindActiveMenu(TXPMenu* Except) const {
    for (TXPMenu* m : menus_)
        if (m != Except && m->Active() && !m->DisableSubclassing()) return m;
    return nullptr;
}

void TXPMenuManager::QueueForms() {
    if (!Screen) return;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (Holds(processed_, f) || Holds(pending_, f) || f->Tag() == XPLeaveAloneTag) continue;
        bool ownMenu = false;
        for (int j = 0; j < f->ComponentCount() && !ownMenu; ++j)
            ownMenu = dynamic_cast<TXPMenu*>(f->Components(j)) != nullptr;
        if (ownMenu) continue;
        Queue(f);
    }
}

void TXPMenuManager::Queue(TComponent* f) {
    pending_.push_back(f);
    Watch(f);
    // Adoption happens at the application window's next message: make sure
    // there is one soon, so a dialog is flat before it is first shown.
    if (Application && Application->Handle()) PostMessageA(Application->Handle(), WM_NULL, 0, 0);
}

void TXPMenuManager::FormNotify(TComponent* AComponent, TOperation Operation) {
    if (!currentMenu_ || !dynamic_cast<TCustomForm*>(AComponent)) return;
    if (Operation == opInsert) {
        if (!Holds(pending_, AComponent)) Queue(AComponent);
    } else {
        Drop(pending_, AComponent);
        Drop(processed_, AComponent);
    }
}

void TXPMenuManager::HandOver(TXPMenu* Menu) {
    TXPMenu* next = FindActiveMenu(Menu);
    if (next && !currentMenu_) {
        currentMenu_ = next;
        QueueForms();
    } else if (next) {
        TWinControl* leavingForm = Menu ? Menu->OwnerForm() : nullptr;
        if (Menu)
            for (TControlSubClass* s : currentMenu_->SubClasses())
                if (!ControlInside(leavingForm, s->Control())) s->HandTo(next);
        currentMenu_ = next;
    } else {
        // Put back at once, not at each control's next message. Forms that
        // went are already forgotten, so this is safe at shut-down too.
        pending_.clear();
        TXPMenu* leaving = currentMenu_;
        TWinControl* leavingForm = Menu ? Menu->OwnerForm() : nullptr;
        if (leaving)
            for (TComponent* c : std::vector<TComponent*>(processed_))
                if (auto* w = dynamic_cast<TWinControl*>(c); w && w != leavingForm) RestoreControls(w);
        processed_.clear();
        currentMenu_ = nullptr;
    }
}

void TXPMenuManager::RestoreControls(TWinControl* Container) {
    if (!currentMenu_) return;
    std::vector<TControlSubClass*> subs = currentMenu_->SubClasses();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it)
        if (ControlInside(Container, (*it)->Control())) (*it)->Restore(true);
}

namespace {
bool IsPopupMenuWindow(HWND w) {
    char cls[16] = {};
    return IsWindow(w) && GetClassNameA(w, cls, sizeof cls) > 0 && std::string(cls) == "#32768";
}
}  // namespace

bool TXPMenuManager::AppHook(TMessage& m) {
    if (!XPMenuManager) return false;
    if (m.Msg == WM_XPFLATBORDERITEM && m.LParam && currentMenu_) {
        // The item may have been freed since the post: only an item still
        // found in a live menu is read.
        const void* p = reinterpret_cast<const void*>(m.LParam);
        if (IsLiveMenuItem(p)) {
            auto* item = static_cast<TMenuItem*>(const_cast<void*>(p));
            RECT r{};
            if (item->Parent() && item->Parent()->HandleAllocated() &&
                GetMenuItemRect(nullptr, item->Parent()->Handle(), static_cast<UINT>(item->MenuIndex()), &r)) {
                HWND w = WindowFromPoint(POINT{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2});
                if (w && IsPopupMenuWindow(w)) {
                    TMenu* menu = item->GetParentMenu();
                    currentMenu_->PaintFlatPopupBorder(w, menu && menu->IsRightToLeft());
                }
            }
        }
    }
    if (m.Msg == WM_XPFLATBORDERWINDOW && m.LParam && currentMenu_) {
        // The window may be gone, or its handle reused, by now: only a live
        // popup menu window is painted.
        HWND w = reinterpret_cast<HWND>(m.LParam);
        if (IsPopupMenuWindow(w)) currentMenu_->PaintFlatPopupBorder(w, m.WParam != 0);
    }
    if (!pending_.empty() && currentMenu_) {
        // The rest waits for the next message.
        PaintQuietly([&] {
            while (!pending_.empty()) {
                TComponent* f = pending_.front();
                pending_.erase(pending_.begin());
                if (Holds(processed_, f)) continue;
                processed_.push_back(f);
                currentMenu_->WalkComponents(f, true, true);
            }
        });
    }
    return false;
}

}  // namespace painters
