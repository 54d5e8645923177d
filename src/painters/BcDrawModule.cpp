#include "painters/BcDrawModule.h"

#include "painters/BarMenuTypes.h"

namespace painters {

TBcBarMenusDrawModule::TBcBarMenusDrawModule(ui::TComponent* AOwner) : ui::TComponent(AOwner) {}

TBcBarMenusDrawModule::~TBcBarMenusDrawModule() {
    // A menu that still points here lets go of the module (plain deletes
    // run no notifications).
    if (IBarMenusIntf* intf = GetBarMenusIntf(menu_); intf && intf->GetDrawModule() == this) {
        menu_ = nullptr;
        intf->SetDrawModule(nullptr);
    }
    menu_ = nullptr;
}

void TBcBarMenusDrawModule::SetMenu(ui::TMenu* Value) {
    if (menu_ && menu_ != Value) RemoveFreeNotification(menu_);
    menu_ = Value;
    if (Value) FreeNotification(Value);
}

void TBcBarMenusDrawModule::Notification(ui::TComponent* AComponent, ui::TOperation Operation) {
    ui::TComponent::Notification(AComponent, Operation);
    if (Operation == ui::opRemove && AComponent == menu_) menu_ = nullptr;
}

void TBcBarMenusDrawModule::Reattach() {
    if (!menu_) return;
    if (IBarMenusIntf* intf = GetBarMenusIntf(menu_)) intf->SetDrawModule(this);
}

}  // namespace painters
