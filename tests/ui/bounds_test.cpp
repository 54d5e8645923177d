// Sizes and places on the real window manager: client sizes asked for
// before a window exists, and what the parent shows again where a graphic
// control no longer covers it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/Owned.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "support/UiTestUtil.h"

using namespace ui;
using vsk::test::PumpUntil;

namespace {

struct ClientSizeCase {
    const char* name;
    TFormBorderStyle border;
    bool sizeAfterwards;  // the outer size set later wins over the client size
};

TEST(ClientSize, IsExactOnceTheWindowExists) {
    const ClientSizeCase cases[] = {
        {"single", bsSingle, false},          {"sizeable", bsSizeable, false}, {"dialog", bsDialog, false},
        {"tool window", bsToolWindow, false}, {"none", bsNone, false},         {"outer size set later", bsSingle, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vsk::test::Owned f{TComponent::Create<TForm>(Application)};
        f->SetBorderStyle(c.border);
        f->SetBorderIcons(biSystemMenu);
        f->SetClientSize(207, 94);
        if (c.border != bsNone) {
            // The frame is counted before the window exists.
            EXPECT_GT(f->Width(), 207);
            EXPECT_GT(f->Height(), 94);
        }
        if (c.sizeAfterwards) f->SetBounds(f->Left(), f->Top(), 300, 200);
        f->HandleNeeded();
        RECT wr{}, cr{};
        ASSERT_TRUE(GetWindowRect(f->Handle(), &wr));
        ASSERT_TRUE(GetClientRect(f->Handle(), &cr));
        if (c.sizeAfterwards) {
            EXPECT_EQ(wr.right - wr.left, 300);
            EXPECT_EQ(wr.bottom - wr.top, 200);
        } else {
            EXPECT_EQ(cr.right, 207);
            EXPECT_EQ(cr.bottom, 94);
            EXPECT_EQ(f->ClientWidth(), 207);
            EXPECT_EQ(f->ClientHeight(), 94);
        }
        EXPECT_EQ(f->Width(), wr.right - wr.left);
        EXPECT_EQ(f->Height(), wr.bottom - wr.top);
        // With the window made, a new client size keeps the same frame.
        f->SetClientSize(150, 60);
        EXPECT_EQ(f->ClientWidth(), 150);
        EXPECT_EQ(f->ClientHeight(), 60);
    }
}

// ---- what a form shows where a graphic control stopped covering it

constexpr TColor kFormColor = clLime;
constexpr TColor kLabelColor = clBlue;

COLORREF ClientPixel(HWND h, int x, int y) {
    HDC dc = GetDC(h);
    if (!dc) return CLR_INVALID;
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(h, dc);
    return c;
}

struct UncoverCase {
    const char* name;
    std::function<void(TLabel*)> change;
};

TEST(GraphicControl, ParentRepaintsWhatItNoLongerCovers) {
    const UncoverCase cases[] = {
        // "6 seconds." becoming "6 s" must not leave "6 seconds.s." drawn.
        {"shorter caption", [](TLabel* l) { l->SetCaption("6 s"); }},
        {"moved", [](TLabel* l) { l->SetBounds(l->Left(), l->Top() + 60, l->Width(), l->Height()); }},
        {"resized",
         [](TLabel* l) {
             l->SetAutoSize(false);
             l->SetBounds(l->Left(), l->Top(), 4, l->Height());
         }},
        {"hidden", [](TLabel* l) { l->SetVisible(false); }},
        {"taken off the form", [](TLabel* l) { l->SetParent(nullptr); }},
        {"freed", [](TLabel* l) { delete l; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vsk::test::Owned f{vsk::test::NewBareForm(40, 40, 300, 120)};
        f->SetColor(kFormColor);
        auto* l = TComponent::Create<TLabel>(f);
        l->SetParent(f);
        l->SetColor(kLabelColor);
        l->SetBounds(10, 10, 10, 10);
        l->SetCaption("6 seconds.");
        ASSERT_FALSE(l->Transparent());
        f->Show();
        HWND h = f->Handle();
        // A point of the label's own background, right of the text "6 s".
        const int x = l->Left() + l->Width() - 2, y = l->Top() + 1;
        ASSERT_GT(l->Width(), 30);
        ASSERT_TRUE(PumpUntil([&] { return ClientPixel(h, x, y) == kLabelColor; })) << "the label was never painted";
        c.change(l);
        EXPECT_TRUE(PumpUntil([&] { return ClientPixel(h, x, y) == kFormColor; }))
            << "the old place of the label still shows " << std::hex << ClientPixel(h, x, y);
    }
}

}  // namespace
