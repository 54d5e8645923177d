// Ownership, notifications and method-pointer events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Owned.h"
#include "ui/Component.h"

using namespace ui;

namespace {

std::vector<std::string> gLog;

class Logged : public TComponent {
public:
    Logged(TComponent* owner, std::string tag) : TComponent(owner), tag_(std::move(tag)) {}
    ~Logged() override { gLog.push_back("destroy " + tag_); }
    bool sawInsertOfLogged = false;
    std::vector<TComponent*> removed;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opInsert && dynamic_cast<Logged*>(c)) sawInsertOfLogged = true;
        if (op == opRemove) removed.push_back(c);
    }
    void Destroying() override {
        gLog.push_back("destroying " + tag_);
        TComponent::Destroying();
    }

private:
    std::string tag_;
};

class Handler {
public:
    int calls = 0;
    TObject* last = nullptr;
    void OnEvent(TObject* s) {
        ++calls;
        last = s;
    }
    void Other(TObject*) { calls += 100; }
};

}  // namespace

TEST(Component, OwnerFreesWhatItOwnsAfterItsOwnTeardownStep) {
    gLog.clear();
    vsk::test::Owned owner{TComponent::Create<Logged>(nullptr, "owner")};
    TComponent::Create<Logged>(owner, "a");
    TComponent::Create<Logged>(owner, "b");
    ASSERT_EQ(owner->ComponentCount(), 2);
    owner.Free();
    // The owner's own teardown runs while it is whole; owned components go
    // before its destructor, the last created first.
    std::vector<std::string> want = {"destroying owner", "destroying b", "destroy b",
                                     "destroying a",     "destroy a",    "destroy owner"};
    EXPECT_EQ(gLog, want);
}

TEST(Component, OwnerIsToldOfNewComponentWithItsFinalType) {
    auto* owner = TComponent::Create<Logged>(nullptr, "owner");
    EXPECT_FALSE(owner->sawInsertOfLogged);
    TComponent::Create<Logged>(owner, "child");
    EXPECT_TRUE(owner->sawInsertOfLogged) << "opInsert must come after the most-derived constructor";
    TComponent::Free(owner);
}

TEST(Component, FreeNotificationReachesListenersOfOtherOwners) {
    vsk::test::Owned a{TComponent::Create<Logged>(nullptr, "a")};
    vsk::test::Owned b{TComponent::Create<Logged>(nullptr, "b")};
    auto* watched = TComponent::Create<Logged>(a, "watched");
    b->FreeNotification(watched);
    TComponent::Free(watched);
    ASSERT_EQ(b->removed.size(), 1u);
    EXPECT_EQ(b->removed[0], watched);
    EXPECT_EQ(a->ComponentCount(), 0);
    // The listener going first must leave nothing dangling in the watched one.
    auto* w2 = TComponent::Create<Logged>(nullptr, "w2");
    w2->FreeNotification(b);
    TComponent::Free(w2);
    a.Free();
}

TEST(Component, FindComponentIgnoresLetterCaseAndLoadingRunsLoadedOnce) {
    auto* owner = TComponent::Create<Logged>(nullptr, "owner");
    auto* c = TComponent::Create<Logged>(owner, "c");
    c->SetName("btnHide");
    EXPECT_EQ(owner->FindComponent("BTNHIDE"), c);
    EXPECT_EQ(owner->FindComponent(""), nullptr);
    owner->BeginLoading();
    EXPECT_TRUE(c->HasState(csLoading));
    owner->EndLoading();
    EXPECT_FALSE(c->HasState(csLoading));
    EXPECT_FALSE(owner->HasState(csLoading));
    TComponent::Free(owner);
}

TEST(Event, MethodPointersCompareByObjectAndMethod) {
    Handler h1, h2;
    TObject sender;
    TNotifyEvent e1(&h1, &Handler::OnEvent);
    TNotifyEvent e1again(&h1, &Handler::OnEvent);
    TNotifyEvent e2(&h2, &Handler::OnEvent);
    TNotifyEvent other(&h1, &Handler::Other);
    EXPECT_EQ(e1, e1again);
    EXPECT_NE(e1, e2);
    EXPECT_NE(e1, other);
    EXPECT_NE(e1, TNotifyEvent());
    EXPECT_FALSE(TNotifyEvent());

    // Save, replace, put back: the saved one is the same handler again.
    TNotifyEvent slot = e1;
    TNotifyEvent saved = slot;
    slot = other;
    slot(nullptr);
    slot = saved;
    slot(&sender);
    EXPECT_EQ(slot, e1);
    EXPECT_EQ(h1.calls, 101);
    EXPECT_EQ(h1.last, &sender);
}
