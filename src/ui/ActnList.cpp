#include "ui/ActnList.h"

#include <algorithm>

#include "ui/Control.h"
#include "ui/ImageList.h"

namespace ui {

namespace {
template <class T> void Forget(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

// ---------------------------------------------------------------- TBasicAction

TBasicAction::~TBasicAction() {
    while (!clients_.empty()) clients_.back()->SetAction(nullptr);
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

void TBasicAction::Change() {
    // A client's reaction may let go of the action: walk a copy.
    const std::vector<TControl*> clients = clients_;
    for (TControl* c : clients) c->ActionChange(this, false);
}

// ---------------------------------------------------------------- TCustomAction

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetCaption(const std::string& v) {
    if (v == caption_) return;
    caption_ = v;
    Change();
}

void TCustomAction::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Change();
}

void TCustomAction::SetHint(const std::string& v) {
    if (v == hint_) return;
    hint_ = v;
    Change();
}

void TCustomAction::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Change();
}

void TCustomAction::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    Change();
}

void TCustomAction::SetActionList(TActionList* v) {
    if (v == actionList_) return;
    if (actionList_) Forget(actionList_->actions_, this);
    actionList_ = v;
    if (v) v->actions_.push_back(this);
    Change();
}

// ---------------------------------------------------------------- TActionList

TActionList::~TActionList() {
    for (TCustomAction* a : actions_) a->actionList_ = nullptr;
}

void TActionList::SetImages(TCustomImageList* v) {
    if (images_) RemoveFreeNotification(images_);
    images_ = v;
    if (v) FreeNotification(v);
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) images_ = nullptr;
}

}  // namespace ui
