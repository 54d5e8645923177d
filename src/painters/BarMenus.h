#pragma once
// The bar menus: TBcBarPopupMenu (a popup menu) and TBcCustomBarMainMenu (a
// menu bar), whose items the bar-menu engine measures and draws in a
// standard or an XP look, with optional captioned or fading separators, an
// optional side bar (gradient, pictures, rotated caption), an optional draw
// module and an optional window transparency and frame.
//
// TBcBarPopupMenu is a drop-in for ui::TPopupMenu: everything a popup menu
// offers stays as it is, the items are simply drawn by the engine.
#include <cstdint>
#include <memory>

#include "painters/BarMenuEngine.h"
#include "painters/BarMenuOptions.h"
#include "painters/BarMenuTypes.h"
#include "painters/BcDrawModule.h"
#include "ui/GdiObjects.h"
#include "ui/Menus.h"

namespace painters {

// Shared by both bar menus. ResetBar: the bar is measured and rendered anew
// and the items rebuilt; Rebuild: the items are rebuilt; neither: a menu bar
// is redrawn, a popup menu left alone.
void RefreshBarMenu(IBarMenusIntf* Intf, bool ResetBar, bool Rebuild);

// ---------------------------------------------------------------- shared base

// What both bar menus hold and answer alike: the bar cache, the options, the
// bar events, the draw module and the window options. MenuBase is
// ui::TPopupMenu or ui::TMainMenu.
template <class MenuBase> class TBcBarMenuBase : public MenuBase, public IBarMenusIntf {
public:
    explicit TBcBarMenuBase(ui::TComponent* AOwner);
    // The items go before the options they may reach while they are removed.
    ~TBcBarMenuBase() override;

    virtual void Refresh(bool ResetBar, bool Rebuild) { RefreshBarMenu(this, ResetBar, Rebuild); }

    TBcBar* Bar() const { return bar_.get(); }
    void SetBar(TBcBar* Value) { bar_->Assign(Value); }
    TBcSeparators* Separators() const { return separators_.get(); }
    void SetSeparators(TBcSeparators* Value) { separators_->Assign(Value); }
    ui::TFont* MenuFont() const { return menuFont_.get(); }
    TBcBarMenusDrawModule* DrawModule() const { return drawModule_; }

    TOnBeforeDrawBarEvent OnBeforeDrawBar;
    TOnAdvancedBeforeDrawBarEvent OnAdvancedBeforeDrawBar;
    TOnAfterDrawBarEvent OnAfterDrawBar;
    TOnMeasureMenuItemEvent OnMeasureMenuItem;

    // ---- IBarMenusIntf
    void UpdateItems() override { ui::TMenu::UpdateItems(); }
    void ResetBar() override { barProtected_->Reset(); }
    TBcMenuStyle GetEffectiveMenuStyle() override;
    ui::TMenu* GetMenu() override { return this; }
    TBcBar* GetBar() override { return bar_.get(); }
    TBcSeparators* GetSeparators() override { return separators_.get(); }
    TBcBarProtected* GetBarProtected() override { return barProtected_.get(); }
    void SetMenuWindow(HWND) override {}
    uint8_t GetAlpha() override { return alpha_; }
    void SetAlpha(uint8_t Value) override { alpha_ = Value; }
    bool GetFrameOption() override { return frameOption_; }
    void SetFrameOption(bool Value) override { frameOption_ = Value; }
    ui::TFont* GetMenuFont() override { return menuFont_.get(); }
    void SetMenuFont(ui::TFont* Value) override { menuFont_->Assign(Value); }
    TBcMenuStyle GetMenuStyle() override { return menuStyle_; }
    void SetMenuStyle(TBcMenuStyle Value) override { menuStyle_ = Value; }
    bool GetUseSystemFont() override { return useSystemFont_; }
    void SetUseSystemFont(bool Value) override { useSystemFont_ = Value; }
    TOnBeforeDrawBarEvent GetOnBeforeDrawBar() override { return OnBeforeDrawBar; }
    void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent Value) override { OnBeforeDrawBar = Value; }
    TOnAdvancedBeforeDrawBarEvent GetOnAdvancedBeforeDrawBar() override { return OnAdvancedBeforeDrawBar; }
    void SetOnAdvancedBeforeDrawBar(TOnAdvancedBeforeDrawBarEvent Value) override { OnAdvancedBeforeDrawBar = Value; }
    TOnAfterDrawBarEvent GetOnAfterDrawBar() override { return OnAfterDrawBar; }
    void SetOnAfterDrawBar(TOnAfterDrawBarEvent Value) override { OnAfterDrawBar = Value; }
    TOnMeasureMenuItemEvent GetOnMeasureMenuItem() override { return OnMeasureMenuItem; }
    void SetOnMeasureMenuItem(TOnMeasureMenuItemEvent Value) override { OnMeasureMenuItem = Value; }
    TBcBarMenusDrawModule* GetDrawModule() override { return drawModule_; }

protected:
    void Destroying() override;
    // A draw module freed elsewhere is forgotten (without telling it).
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;
    // The old module lets go of this menu, the new one (or none) takes it.
    void ChangeDrawModule(TBcBarMenusDrawModule* Value);
    bool IsDestroying() const { return destroying_; }
    // Nothing while the menu is being destroyed: the items going then must
    // not reach the options or the owner's handlers.
    void MenuChanged(ui::TObject* Sender, ui::TMenuItem* Source, bool Rebuild) override {
        if (!destroying_) MenuBase::MenuChanged(Sender, Source, Rebuild);
    }

    std::unique_ptr<TBcBarProtected> barProtected_;
    std::unique_ptr<TBcBar> bar_;
    std::unique_ptr<TBcSeparators> separators_;
    std::unique_ptr<ui::TFont> menuFont_;

private:
    TBcMenuStyle menuStyle_ = msAuto;
    bool useSystemFont_ = true;
    TBcBarMenusDrawModule* drawModule_ = nullptr;  // not owned
    bool frameOption_ = false;
    uint8_t alpha_ = 255;
    bool destroying_ = false;
};

extern template class TBcBarMenuBase<ui::TPopupMenu>;
extern template class TBcBarMenuBase<ui::TMainMenu>;

// ---------------------------------------------------------------- popup menu

class TBcCustomBarPopupMenu : public TBcBarMenuBase<ui::TPopupMenu> {
public:
    explicit TBcCustomBarPopupMenu(ui::TComponent* AOwner) : TBcBarMenuBase(AOwner) {}

    // Marks the bar for measuring afresh, then shows the menu.
    void Popup(int X, int Y) override;
    void PopupAt(ui::TPoint P) { Popup(P.x, P.y); }
    void Loaded() override;
    // The popup window the engine drew in last.
    HWND MenuWindow() const { return menuWindow_; }

    void SetMenuWindow(HWND Value) override { menuWindow_ = Value; }
    void SetDrawModule(TBcBarMenusDrawModule* Value) override;

    // The handlers the menu installs on its items (plain functions: they
    // find the item's menu each time, so an item moved elsewhere reaches
    // the right menu, or none).
    static void MeasureItemHandler(ui::TObject* Sender, ui::TCanvas* ACanvas, int& Width, int& Height);
    static void AdvancedDrawItemHandler(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect,
                                        ui::TOwnerDrawState State);

protected:
    void MenuChanged(ui::TObject* Sender, ui::TMenuItem* Source, bool Rebuild) override;

private:
    HWND menuWindow_ = nullptr;
};

// Publishes the options (in this library every property is public already).
class TBcBarPopupMenu : public TBcCustomBarPopupMenu {
public:
    explicit TBcBarPopupMenu(ui::TComponent* AOwner) : TBcCustomBarPopupMenu(AOwner) {}
};

// ---------------------------------------------------------------- main menu

class TBcCustomBarMainMenu : public TBcBarMenuBase<ui::TMainMenu> {
public:
    explicit TBcCustomBarMainMenu(ui::TComponent* AOwner);

    void Loaded() override;

    void ResetBar() override;
    void SetMenuStyle(TBcMenuStyle Value) override;
    void SetUseSystemFont(bool Value) override;
    void SetDrawModule(TBcBarMenusDrawModule* Value) override;

protected:
    void MenuChanged(ui::TObject* Sender, ui::TMenuItem* Source, bool Rebuild) override;

private:
    void MenuFontChanged(ui::TObject* Sender);
    // Hides and shows the first top-level item, which makes the menu bar
    // be built again.
    void ToggleFirstItem();
};

// The bar-menu item handlers, shared by both menus: the side bar stands
// beside the top-level items of a popup menu, and beside the drop-down of
// the first visible top-level item of a main menu.
void BarMenuMeasureItem(ui::TObject* Sender, ui::TCanvas* ACanvas, int& Width, int& Height);
void BarMenuAdvancedDrawItem(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect, ui::TOwnerDrawState State);

}  // namespace painters
