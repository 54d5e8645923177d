#include "painters/BarMenus.h"

#include <utility>

#include "ui/Menus.h"

namespace painters {

// ================================================================ system flags

bool NewStyleMenus = false;
bool XPLookMenus = false;
bool NT5OrLater = false;

void SetBarMenuOSVersion(unsigned Major, unsigned Minor, bool PlatformNT) {
    NewStyleMenus = Major > 4 || (Major == 4 && Minor > 0);
    XPLookMenus = PlatformNT && Major > 4 && Minor > 0;
    NT5OrLater = PlatformNT && Major > 4;
}

void ReadBarMenuOSVersion() {
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (!GetVersionExA(&vi)) return;  // the flags stay off: the plain look
    SetBarMenuOSVersion(vi.dwMajorVersion, vi.dwMinorVersion, vi.dwPlatformId == VER_PLATFORM_WIN32_NT);
}

namespace {
struct OSFlagsReader {
    OSFlagsReader() { ReadBarMenuOSVersion(); }
} gOSFlagsReader;
}  // namespace

// ================================================================ finding a menu's interface

ui::TMenu* GetItemMenu(ui::TMenuItem* Item) {
    if (!Item) return nullptr;
    if (Item->Parent()) return Item->GetParentMenu();
    return dynamic_cast<ui::TMenu*>(Item->Owner());
}

IBarMenusIntf* GetBarMenusIntf(ui::TMenu* Menu) { return dynamic_cast<IBarMenusIntf*>(Menu); }

IBarMenusIntf* GetItemBarMenusIntf(ui::TMenuItem* Item) { return GetBarMenusIntf(GetItemMenu(Item)); }

void RefreshBarMenu(IBarMenusIntf* Intf, bool ResetBar, bool Rebuild) {
    if (!Intf) return;
    if (ResetBar) {
        Intf->GetBarProtected()->SetRecalc(true);
        Intf->GetBarProtected()->Valid = false;
    }
    if (ResetBar || Rebuild) {
        Intf->UpdateItems();
    } else if (auto* mm = dynamic_cast<ui::TMainMenu*>(Intf->GetMenu()); mm && mm->WindowHandle()) {
        DrawMenuBar(mm->WindowHandle());
    }
}

// ================================================================ item handlers

namespace {

bool BarVisibleFor(IBarMenusIntf* intf, ui::TMenuItem* item) {
    if (!intf->GetBar()->Visible()) return false;
    if (auto* mm = dynamic_cast<TBcCustomBarMainMenu*>(intf->GetMenu())) return IsChildOfFirstVisibleItem(mm, item);
    return item->Parent() && !item->Parent()->Parent();
}

}  // namespace

void BarMenuMeasureItem(ui::TObject* Sender, ui::TCanvas* ACanvas, int& Width, int& Height) {
    auto* item = dynamic_cast<ui::TMenuItem*>(Sender);
    if (!item) return;
    // An item that has moved to a menu of another kind keeps the size the
    // library proposed.
    IBarMenusIntf* intf = GetItemBarMenusIntf(item);
    if (!intf) return;
    MeasureBarMenuItem(item, ACanvas, Width, Height, BarVisibleFor(intf, item));
}

void BarMenuAdvancedDrawItem(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect, ui::TOwnerDrawState State) {
    auto* item = dynamic_cast<ui::TMenuItem*>(Sender);
    if (!item) return;
    IBarMenusIntf* intf = GetItemBarMenusIntf(item);
    if (!intf) {
        // Not in a bar menu (any more): the library paints its own look.
        const ui::TAdvancedMenuDrawItemEvent keep = item->OnAdvancedDrawItem;
        item->OnAdvancedDrawItem = nullptr;
        try {
            item->AdvancedDrawItem(ACanvas, ARect, State, IsMainMenuItem(item));
        } catch (...) {
            item->OnAdvancedDrawItem = keep;
            throw;
        }
        item->OnAdvancedDrawItem = keep;
        return;
    }
    DrawBarMenuItem(item, ACanvas, ARect, State, BarVisibleFor(intf, item));
}

namespace {

void HookAll(ui::TMenu* menu) {
    HookMenuItems(menu, nullptr, true, ui::TMenuMeasureItemEvent(&BarMenuMeasureItem),
                  ui::TAdvancedMenuDrawItemEvent(&BarMenuAdvancedDrawItem), true);
}

// A changed item and whatever it brought along beneath it.
void HookChanged(ui::TMenu* menu, ui::TMenuItem* source) {
    if (!source) {
        HookAll(menu);
        return;
    }
    TBarMenuHookRecord hook;
    hook.Menu = menu;
    hook.OnlyWithoutHandlers = true;
    hook.MeasureHandler = ui::TMenuMeasureItemEvent(&BarMenuMeasureItem);
    hook.DrawHandler = ui::TAdvancedMenuDrawItemEvent(&BarMenuAdvancedDrawItem);
    HookBarMenuItem(source, hook);
    HookBarSubItems(source, true, hook);
}

}  // namespace

// ================================================================ TBcBarMenuBase

template <class MenuBase> TBcBarMenuBase<MenuBase>::TBcBarMenuBase(ui::TComponent* AOwner) : MenuBase(AOwner) {
    this->SetOwnerDraw(true);
    barProtected_ = std::make_unique<TBcBarProtected>(this);
    bar_ = std::make_unique<TBcBar>(this);
    separators_ = std::make_unique<TBcSeparators>(this);
    menuFont_ = std::make_unique<ui::TFont>();
}

template <class MenuBase> TBcBarMenuBase<MenuBase>::~TBcBarMenuBase() {
    destroying_ = true;
    // After a plain delete the items are still here: they go first, while
    // MenuChanged knows to do nothing.
    if (this->Items()) this->Items()->Clear();
    if (TBcBarMenusDrawModule* module = std::exchange(drawModule_, nullptr))
        if (module->GetMenu() == this) module->SetMenu(nullptr);
    menuFont_->OnChange = nullptr;
    barProtected_.reset();
    bar_.reset();
    separators_.reset();
    menuFont_.reset();
}

template <class MenuBase> void TBcBarMenuBase<MenuBase>::Destroying() {
    destroying_ = true;
    MenuBase::Destroying();
}

template <class MenuBase>
void TBcBarMenuBase<MenuBase>::Notification(ui::TComponent* AComponent, ui::TOperation Operation) {
    if (drawModule_ && AComponent == drawModule_ && Operation == ui::opRemove) drawModule_ = nullptr;
    MenuBase::Notification(AComponent, Operation);
}

template <class MenuBase> TBcMenuStyle TBcBarMenuBase<MenuBase>::GetEffectiveMenuStyle() {
    if (menuStyle_ != msAuto) return menuStyle_;
    return XPLookMenus ? msWindowsXP : msStandard;
}

template <class MenuBase> void TBcBarMenuBase<MenuBase>::ChangeDrawModule(TBcBarMenusDrawModule* Value) {
    if (drawModule_) {
        this->RemoveFreeNotification(drawModule_);
        drawModule_->SetMenu(nullptr);
    }
    drawModule_ = Value;
    if (Value) {
        Value->SetMenu(this);
        this->FreeNotification(Value);
    }
}

template class TBcBarMenuBase<ui::TPopupMenu>;
template class TBcBarMenuBase<ui::TMainMenu>;

// ================================================================ TBcCustomBarPopupMenu

void TBcCustomBarPopupMenu::MeasureItemHandler(ui::TObject* Sender, ui::TCanvas* ACanvas, int& Width, int& Height) {
    BarMenuMeasureItem(Sender, ACanvas, Width, Height);
}

void TBcCustomBarPopupMenu::AdvancedDrawItemHandler(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect,
                                                    ui::TOwnerDrawState State) {
    BarMenuAdvancedDrawItem(Sender, ACanvas, ARect, State);
}

void TBcCustomBarPopupMenu::Loaded() {
    ui::TPopupMenu::Loaded();
    SetOwnerDraw(true);
    HookAll(this);
}

void TBcCustomBarPopupMenu::MenuChanged(ui::TObject* Sender, ui::TMenuItem* Source, bool Rebuild) {
    if (IsDestroying()) return;
    HookChanged(this, Source);
    if (Source && dynamic_cast<ui::TPopupMenu*>(Source->GetParentComponent())) {
        barProtected_->SetRecalc(true);
        barProtected_->Valid = false;
    }
    TBcBarMenuBase::MenuChanged(Sender, Source, Rebuild);
}

void TBcCustomBarPopupMenu::Popup(int X, int Y) {
    barProtected_->SetRecalc(true);
    ui::TPopupMenu::Popup(X, Y);
}

void TBcCustomBarPopupMenu::SetDrawModule(TBcBarMenusDrawModule* Value) {
    ChangeDrawModule(Value);
    ResetBar();
}

// ================================================================ TBcCustomBarMainMenu

TBcCustomBarMainMenu::TBcCustomBarMainMenu(ui::TComponent* AOwner) : TBcBarMenuBase(AOwner) {
    menuFont_->OnChange = ui::TNotifyEvent(this, &TBcCustomBarMainMenu::MenuFontChanged);
}

void TBcCustomBarMainMenu::ToggleFirstItem() {
    if (!Items() || Items()->Count() == 0) return;
    ui::TMenuItem* first = Items()->Items(0);
    first->SetVisible(false);
    first->SetVisible(true);
}

void TBcCustomBarMainMenu::Loaded() {
    ui::TMainMenu::Loaded();
    SetOwnerDraw(true);
    HookAll(this);
    ToggleFirstItem();
    Refresh(false, false);
}

void TBcCustomBarMainMenu::MenuChanged(ui::TObject* Sender, ui::TMenuItem* Source, bool Rebuild) {
    if (IsDestroying()) return;
    HookChanged(this, Source);
    TBcBarMenuBase::MenuChanged(Sender, Source, Rebuild);
}

void TBcCustomBarMainMenu::ResetBar() {
    barProtected_->Reset();
    UpdateItems();
}

void TBcCustomBarMainMenu::SetMenuStyle(TBcMenuStyle Value) {
    if (Value == GetMenuStyle()) return;
    TBcBarMenuBase::SetMenuStyle(Value);
    Refresh(false, false);
    Refresh(true, true);
}

void TBcCustomBarMainMenu::SetUseSystemFont(bool Value) {
    TBcBarMenuBase::SetUseSystemFont(Value);
    Refresh(false, false);
}

void TBcCustomBarMainMenu::MenuFontChanged(ui::TObject*) {
    if (!IsDestroying()) Refresh(false, false);
}

void TBcCustomBarMainMenu::SetDrawModule(TBcBarMenusDrawModule* Value) {
    ChangeDrawModule(Value);
    HookAll(this);
    ToggleFirstItem();
    Refresh(true, true);
}

}  // namespace painters
