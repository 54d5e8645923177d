#include "ui/Component.h"

#include <algorithm>

#include "ui/Exception.h"

namespace ui {

void TPersistent::Assign(TPersistent* Source) {
    throw EConvertError(std::string("Cannot assign a ") + (Source ? "object" : "nil") + " to this object");
}

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
    if (owner_) owner_->components_.push_back(this);
}

void TComponent::AfterConstruction() {
    if (!owner_) return;
    owner_->Notification(this, opInsert);
}

TComponent::~TComponent() {
    // A plain delete (no Free) still leaves nothing dangling; the overrides of
    // Destroying cannot run from here, only the base steps.
    BeginFree();
    DestroyComponents();
    for (TComponent* c : freeNotifies_) {
        auto& v = c->freeNotifies_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    if (owner_) {
        auto& v = owner_->components_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}

void TComponent::Free(TComponent* c) {
    if (!c) return;
    c->BeginFree();
    c->DestroyComponents();
    delete c;
}

void TComponent::BeginFree() {
    if (freeBegun_) return;
    freeBegun_ = true;
    state_ |= csDestroying;
    // Removal notifications first, while every object involved is whole.
    std::vector<TComponent*> listeners = freeNotifies_;
    for (TComponent* c : listeners) {
        if (c != owner_) c->Notification(this, opRemove);
    }
    if (owner_ && !owner_->HasState(csDestroying)) owner_->Notification(this, opRemove);
    Destroying();
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        Free(c);  // its destructor takes it out of components_
        if (!components_.empty() && components_.back() == c) components_.pop_back();
    }
}

void TComponent::Destroying() {
    for (TComponent* c : components_) c->state_ |= csDestroying;
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    auto& v = owner_->components_;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_) {
        if (c->name_.size() == name.size() &&
            std::equal(name.begin(), name.end(), c->name_.begin(),
                       [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); }))
            return c;
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
    if (!c || c->owner_ == this) return;
    if (c->owner_) c->owner_->RemoveComponent(c);
    c->owner_ = this;
    components_.push_back(c);
    Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    if (!c || c->owner_ != this) return;
    Notification(c, opRemove);
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
    c->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
    if (!c || c == this || c == owner_) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) {
        freeNotifies_.push_back(c);
        c->freeNotifies_.push_back(this);  // both sides forget each other when either goes
    }
    state_ |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* c) {
    auto drop = [](std::vector<TComponent*>& v, TComponent* x) {
        v.erase(std::remove(v.begin(), v.end(), x), v.end());
    };
    drop(freeNotifies_, c);
    if (c) drop(c->freeNotifies_, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    // Both sides forget the link: one that kept it would reach a freed
    // component from its own destructor.
    if (Operation == opRemove) RemoveFreeNotification(AComponent);
    // Pass the news on to the owned components, as owners do for their forms.
    if (Operation == opRemove || Operation == opInsert) {
        std::vector<TComponent*> copy = components_;
        for (TComponent* c : copy)
            if (c != AComponent) c->Notification(AComponent, Operation);
    }
}

void TComponent::SetState(TComponentState s, bool on) {
    if (on)
        state_ |= s;
    else
        state_ &= ~s;
}

void TComponent::BeginLoading() {
    state_ |= csLoading;
    for (TComponent* c : components_) c->state_ |= csLoading;
}

void TComponent::EndLoading() {
    std::vector<TComponent*> copy = components_;
    for (TComponent* c : copy) c->Loaded();
    Loaded();
}

void TComponent::Loaded() { state_ &= ~csLoading; }

}  // namespace ui
