#pragma once
// The root of the object model: TObject, TPersistent and TComponent with
// ownership. An owner frees what it owns; freeing notifies the components
// that asked for it (FreeNotification) before anything is destroyed.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/Event.h"

namespace ui {

class TObject {
public:
    virtual ~TObject() = default;
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

using TNotifyEvent = Event<void(TObject*)>;

class TPersistent : public TObject {
public:
    // Copies the state of Source; a class that cannot take Source throws
    // EConvertError.
    virtual void Assign(TPersistent* Source);
};

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csFreeNotification = 1u << 5,
};
using TComponentState = unsigned;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    // Frees the component, running the removal notifications and the
    // component's Destroying step before any destructor. Use this (or the
    // owner's destruction) rather than a bare delete for components whose
    // teardown touches windows.
    static void Free(TComponent* c);

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int i) const { return components_.at(static_cast<size_t>(i)); }
    int ComponentIndex() const;
    TComponent* FindComponent(const std::string& name) const;

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& v) { name_ = v; }
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t v) { tag_ = v; }
    TComponentState ComponentState() const { return state_; }
    bool HasState(TComponentState s) const { return (state_ & s) != 0; }

    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);
    // Asks to be told (Notification opRemove) when c is freed.
    void FreeNotification(TComponent* c);
    void RemoveFreeNotification(TComponent* c);

    // Loading protocol used by form constructors: mark every owned component
    // as loading, set properties, then call Loaded on each.
    void BeginLoading();
    void EndLoading();
    virtual void Loaded();

    // Called once the most-derived constructor has run: the owner and its
    // components are told of the new component (opInsert) here, so type tests
    // on it work. The constructor already put it in the owner's list, so a
    // component is owned even when this step is skipped.
    void AfterConstruction();

    // Creates a component of type T owned by AOwner and completes its
    // construction.
    template <class T, class... Args> static T* Create(Args&&... args) {
        T* c = new T(std::forward<Args>(args)...);
        c->AfterConstruction();
        return c;
    }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // First step of freeing, while the object is still whole: destroys
    // window handles and the like. Overrides call the base last.
    virtual void Destroying();
    void SetState(TComponentState s, bool on);

private:
    void BeginFree();
    void DestroyComponents();

    TComponent* owner_ = nullptr;  // not owned
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;  // not owned
    std::string name_;
    intptr_t tag_ = 0;
    TComponentState state_ = 0;
    bool freeBegun_ = false;
};

}  // namespace ui
