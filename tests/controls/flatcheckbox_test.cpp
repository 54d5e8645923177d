// The check box contract the program's handlers rely on: every change of
// Checked runs OnClick once; a mouse click that toggles it runs it twice.
#include <gtest/gtest.h>

#include <vector>

#include "controls/FlatCheckBox.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Form.h"

using controls::TFlatCheckBox;
using namespace ui;

namespace {
struct Clicks {
    TFlatCheckBox* box = nullptr;
    std::vector<bool> seen;  // Checked as each OnClick saw it
    void OnClick(TObject*) { seen.push_back(box->Checked()); }
};
} // namespace

TEST(FlatCheckBox, WritingCheckedRunsOnClickOncePerChange) {
    auto* f = TComponent::Create<TForm>(Application);
    auto* box = TComponent::Create<TFlatCheckBox>(f);
    box->SetParent(f);
    Clicks c{box, {}};
    box->OnClick = TNotifyEvent(&c, &Clicks::OnClick);
    box->SetChecked(false);
    EXPECT_TRUE(c.seen.empty()) << "an unchanged value ran OnClick";
    box->SetChecked(true);
    box->SetChecked(true);
    box->SetChecked(false);
    EXPECT_EQ(c.seen, (std::vector<bool>{true, false}));
    TComponent::Free(f);
}

TEST(FlatCheckBox, MouseClickRunsOnClickBeforeAndAfterTheToggle) {
    auto* f = TComponent::Create<TForm>(Application);
    f->SetBorderStyle(bsNone);
    f->SetBounds(50, 50, 200, 60);
    auto* box = TComponent::Create<TFlatCheckBox>(f);
    box->SetParent(f);
    box->SetBounds(10, 10, 150, 17);
    f->Show();
    Application->ProcessMessages();
    Clicks c{box, {}};
    box->OnClick = TNotifyEvent(&c, &Clicks::OnClick);
    HWND h = box->Handle();
    // The box lights only in the active window, and leaves when the real
    // pointer is elsewhere: both as a person clicking it would have them.
    SetActiveWindow(f->Handle());
    POINT in{5, 5};
    ClientToScreen(h, &in);
    SetCursorPos(in.x, in.y);
    ASSERT_TRUE(vsk::test::PumpUntil([&] {
        POINT pt{};
        return GetActiveWindow() == f->Handle() && GetCursorPos(&pt) && pt.x == in.x && pt.y == in.y;
    })) << "the form did not become active under the pointer";
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // the hover comes first
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(c.seen, (std::vector<bool>{false, true}));

    c.seen.clear();
    SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(box->Checked()) << "a right click toggled";
    EXPECT_TRUE(c.seen.empty());
    TComponent::Free(f);
}
