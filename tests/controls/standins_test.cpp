// The state contracts of the speed button and the integer spin edit that
// the program's handlers rely on.
#include <gtest/gtest.h>

#include "controls/FlatSpeedButton.h"
#include "controls/FlatSpinEdit.h"
#include "ui/Application.h"
#include "ui/Form.h"

using namespace controls;
using namespace ui;

namespace {
struct Counter {
    int clicks = 0;
    void OnClick(TObject*) { ++clicks; }
};
}  // namespace

TEST(FlatSpeedButton, DownFollowsGroupAndAllowAllUpAndRunsNoClick) {
    auto* f = TComponent::Create<TForm>(Application);
    struct Case {
        int group;
        bool allowAllUp;
        bool writes[2];
        bool after[2];
    } cases[] = {
        {0, true, {true, false}, {false, false}},  // no group: never down
        {-1, true, {true, false}, {true, false}},  // a toggle that may come up
        {1, false, {true, false}, {true, true}},   // latched: only another button releases it
    };
    for (const Case& c : cases) {
        auto* b = TComponent::Create<TFlatSpeedButton>(f);
        b->SetParent(f);
        b->SetGroupIndex(c.group);
        b->SetAllowAllUp(c.allowAllUp);
        Counter n;
        b->OnClick = TNotifyEvent(&n, &Counter::OnClick);
        for (int i = 0; i < 2; ++i) {
            b->SetDown(c.writes[i]);
            EXPECT_EQ(b->Down(), c.after[i]) << "group " << c.group << " write " << i;
        }
        EXPECT_EQ(n.clicks, 0) << "writing Down ran a click";
        TComponent::Free(b);
    }
    // One down at a time in a group under one parent.
    auto* a = TComponent::Create<TFlatSpeedButton>(f);
    auto* b = TComponent::Create<TFlatSpeedButton>(f);
    for (auto* x : {a, b}) {
        x->SetParent(f);
        x->SetGroupIndex(5);
    }
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    TComponent::Free(f);
}

TEST(FlatSpeedButton, AClickTogglesAGroupedButtonBeforeItsHandlerRuns) {
    auto* f = TComponent::Create<TForm>(Application);
    auto* b = TComponent::Create<TFlatSpeedButton>(f);
    b->SetParent(f);
    b->SetGroupIndex(-1);
    b->SetAllowAllUp(true);
    struct Seen {
        TFlatSpeedButton* b;
        std::vector<bool> down;
        void OnClick(TObject*) { down.push_back(b->Down()); }
    } seen{b, {}};
    b->OnClick = TNotifyEvent(&seen, &Seen::OnClick);
    for (int i = 0; i < 2; ++i) {
        b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(300, 3));  // released outside: nothing
    EXPECT_EQ(seen.down, (std::vector<bool>{true, false}));
    TComponent::Free(f);
}

TEST(FlatSpinEditInteger, ValueReadsMinForANonNumberAndClampsOnWrite) {
    auto* f = TComponent::Create<TForm>(Application);
    auto* e = TComponent::Create<TFlatSpinEditInteger>(f);
    e->SetParent(f);
    e->SetMinValue(10);
    e->SetMaxValue(200);
    struct Read {
        const char* text;
        int value;
    } reads[] = {{"", 10},     {"-", 10},  {"1.5", 10}, {"abc", 10}, {"99999999999", 10},
                 {"999", 999}, {"-4", -4}, {"150", 150}};
    for (const Read& r : reads) {
        e->SetText(r.text);
        EXPECT_EQ(e->Value(), r.value) << "\"" << r.text << "\"";
    }
    struct Write {
        int value;
        const char* text;
    } writes[] = {{250, "200"}, {-5, "10"}, {120, "120"}};
    for (const Write& w : writes) {
        e->SetValue(w.value);
        EXPECT_EQ(e->Text(), w.text) << w.value;
    }
    e->SetMinValue(0);
    e->SetMaxValue(0);
    e->SetValue(1000000);
    EXPECT_EQ(e->Text(), "1000000") << "equal limits mean no range";
    TComponent::Free(f);
}
