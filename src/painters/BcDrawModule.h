#pragma once
// TBcBarMenusDrawModule: the base of plug-ins that take over measuring and
// drawing of a bar menu's items. The menu and the module know each other;
// each is told when the other is freed.
#include <string>

#include "ui/Component.h"
#include "ui/Menus.h"
#include "ui/Types.h"

namespace painters {

class TBcBarMenusDrawModule : public ui::TComponent {
public:
    explicit TBcBarMenusDrawModule(ui::TComponent* AOwner);
    ~TBcBarMenusDrawModule() override;

    ui::TMenu* GetMenu() const { return menu_; }
    // A plain store (the menus' SetDrawModule calls it); the module asks to
    // be told when the menu goes.
    void SetMenu(ui::TMenu* Value);
    const std::string& Description() const { return description_; }
    void SetDescription(const std::string& Value) { description_ = Value; }

    // ARect is the item's rectangle without the side bar. Leaving
    // DefaultDraw true lets the default painter run afterwards.
    virtual void DrawMenuItem(ui::TMenuItem* AMenuItem, ui::TCanvas* ACanvas, ui::TRect ARect,
                              ui::TOwnerDrawState State, bool ABarVisible, bool& DefaultDraw) = 0;
    virtual void MeasureMenuItem(ui::TMenuItem* AMenuItem, ui::TCanvas* ACanvas, int& Width, int& Height,
                                 bool ABarVisible, bool& DefaultMeasure) = 0;
    // Sets this module on its menu again (which resets that menu's bar).
    virtual void Reattach();

protected:
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;

private:
    ui::TMenu* menu_ = nullptr;  // not owned
    std::string description_;
};

}  // namespace painters
