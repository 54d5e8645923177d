// The page control against the real SysTabControl32: which sheet shows,
// where the sheets sit, and what a click on a tab does.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/PageControl.h"
#include "ui/StdCtrls.h"
#include "support/UiTestUtil.h"

using namespace ui;

namespace {

using vsk::test::Drain;
using vsk::test::PumpUntil;

using vsk::test::ThreadWindows;

// Rectangles compare and print as "left,top,right,bottom".
std::string Str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

struct Log {
    std::vector<std::string> lines;
    bool allow = true;
    void Changing(TObject*, bool& ok) {
        lines.push_back("changing");
        ok = allow;
    }
    void Changed(TObject* s) { lines.push_back("change to " + static_cast<TPageControl*>(s)->ActivePage()->Name()); }
    void Shown(TObject* s) { lines.push_back("show " + static_cast<TComponent*>(s)->Name()); }
    void Hidden(TObject* s) { lines.push_back("hide " + static_cast<TComponent*>(s)->Name()); }
};

class PageControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = TComponent::Create<TForm>(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(60, 60, 400, 300);
        pages = TComponent::Create<TPageControl>(form);
        pages->SetParent(form);
        pages->SetBounds(10, 10, 360, 260);
        for (const char* name : {"SheetWindows", "SheetAbout", "SheetOptions"}) {
            auto* s = TComponent::Create<TTabSheet>(form);
            s->SetName(name);
            s->SetCaption(name + 5);
            s->SetPageControl(pages);
            s->OnShow = TNotifyEvent(&log, &Log::Shown);
            s->OnHide = TNotifyEvent(&log, &Log::Hidden);
            sheets.push_back(s);
        }
        pages->OnChanging = TTabChangingEvent(&log, &Log::Changing);
        pages->OnChange = TNotifyEvent(&log, &Log::Changed);
    }
    void TearDown() override { TComponent::Free(form); }

    // Which sheets have a window that is shown (whether the form is or not).
    std::vector<bool> ShownSheets() {
        std::vector<bool> r;
        for (TTabSheet* s : sheets)
            r.push_back(s->HandleAllocated() && (GetWindowLongA(s->Handle(), GWL_STYLE) & WS_VISIBLE));
        return r;
    }
    int NativeSel() { return static_cast<int>(SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0)); }
    int NativeCount() { return static_cast<int>(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0)); }
    std::string NativeText(int i) {
        char buf[64] = {};
        TCITEMA it{};
        it.mask = TCIF_TEXT;
        it.pszText = buf;
        it.cchTextMax = sizeof(buf);
        SendMessageA(pages->Handle(), TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    // A left click on tab i, as the mouse would give it.
    void ClickTab(int i) {
        RECT r{};
        SendMessageA(pages->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(pages->Handle(), WM_LBUTTONUP, 0, at);
        Drain();
    }

    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    std::vector<TTabSheet*> sheets;
    Log log;
};

}  // namespace

TEST_F(PageControlTest, OnlyTheActiveSheetIsVisibleAndItsTabIsSelected) {
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()); }));
    EXPECT_EQ(pages->ActivePage(), nullptr);
    EXPECT_EQ(ShownSheets(), (std::vector<bool>{false, false, false}));
    ASSERT_EQ(NativeCount(), 3);
    EXPECT_EQ(NativeText(1), "About");

    for (int i : {0, 2, 1}) {
        SCOPED_TRACE("page " + std::to_string(i));
        pages->SetActivePage(sheets[i]);
        std::vector<bool> want(3, false);
        want[i] = true;
        EXPECT_EQ(ShownSheets(), want);
        EXPECT_EQ(pages->ActivePageIndex(), i);
        EXPECT_EQ(NativeSel(), i);
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{"show SheetWindows", "show SheetOptions", "hide SheetWindows",
                                                   "show SheetAbout", "hide SheetOptions"}))
        << "changing pages in code raises no OnChanging or OnChange";

    // A sheet of another page control is not taken.
    auto* stranger = TComponent::Create<TTabSheet>(form);
    pages->SetActivePage(stranger);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    pages->SetActivePageIndex(-1);
    EXPECT_EQ(ShownSheets(), (std::vector<bool>{false, false, false}));
}

TEST_F(PageControlTest, ClickingATabSwitchesPagesThroughOnChangingAndOnChange) {
    pages->SetActivePage(sheets[0]);
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()); }));
    log.lines.clear();

    ClickTab(2);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_EQ(ShownSheets(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"changing", "show SheetOptions", "hide SheetWindows",
                                                   "change to SheetOptions"}));

    // OnChanging can refuse: the page and the tab stay.
    log.lines.clear();
    log.allow = false;
    ClickTab(1);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_EQ(NativeSel(), 2);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"changing"}));

    // SelectNextPage goes the way a click does, wrapping round.
    log.allow = true;
    log.lines.clear();
    pages->SelectNextPage(true);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_EQ(log.lines.front(), "changing");
    EXPECT_EQ(log.lines.back(), "change to SheetWindows");
    pages->SelectNextPage(false);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
}

TEST_F(PageControlTest, SheetsFillTheDisplayAreaAndFollowItsSize) {
    pages->SetActivePage(sheets[1]);
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()); }));
    auto displayRect = [&] {
        RECT r;
        GetClientRect(pages->Handle(), &r);
        SendMessageA(pages->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        return r;
    };
    EXPECT_EQ(Str(sheets[1]->BoundsRect()), Str(displayRect()));
    EXPECT_EQ(Str(pages->DisplayRect()), Str(displayRect()));
    EXPECT_GT(pages->DisplayRect().top, 0) << "the tabs take the top";

    pages->SetBounds(10, 10, 250, 200);
    Drain();
    EXPECT_EQ(Str(sheets[1]->BoundsRect()), Str(displayRect()));
    // A page shown later takes the size that holds then.
    pages->SetActivePage(sheets[2]);
    EXPECT_EQ(Str(sheets[2]->BoundsRect()), Str(displayRect()));
}

TEST_F(PageControlTest, HiddenTabsLeaveThePagesReachableInCode) {
    pages->SetActivePage(sheets[0]);
    pages->Handle();
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(NativeCount(), 2);
    EXPECT_EQ(NativeText(1), "Options");
    EXPECT_EQ(sheets[1]->TabIndex(), -1);
    EXPECT_EQ(sheets[2]->TabIndex(), 1);
    EXPECT_EQ(sheets[1]->PageIndex(), 1);
    pages->SetActivePage(sheets[1]);
    EXPECT_EQ(ShownSheets()[1], true);
    EXPECT_EQ(NativeSel(), -1) << "no tab to select";
    EXPECT_EQ(pages->FindNextPage(sheets[0], true, true), sheets[2]);
    EXPECT_EQ(pages->FindNextPage(sheets[0], true, false), sheets[1]);

    // Flat buttons and no tab at all (as the main window uses it): the
    // pages take the whole control.
    pages->SetStyle(tsFlatButtons);
    for (TTabSheet* s : sheets) s->SetTabVisible(false);
    EXPECT_EQ(NativeCount(), 0);
    EXPECT_TRUE(GetWindowLongA(pages->Handle(), GWL_STYLE) & TCS_FLATBUTTONS);
    RECT client;
    GetClientRect(pages->Handle(), &client);
    EXPECT_EQ(Str(pages->DisplayRect()), Str(client));
    EXPECT_EQ(Str(sheets[1]->BoundsRect()), Str(client));
    EXPECT_EQ(pages->ActivePage(), sheets[1]) << "a new window keeps the page";
    EXPECT_TRUE(ShownSheets()[1]);
    EXPECT_EQ(pages->FindNextPage(sheets[1], true, true), nullptr);
}

TEST_F(PageControlTest, PagesMoveAndGoWithoutLosingTheActivePage) {
    pages->SetActivePage(sheets[0]);
    pages->Handle();
    sheets[2]->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), sheets[2]);
    EXPECT_EQ(NativeText(0), "Options");
    EXPECT_EQ(NativeSel(), 1) << "the active page's tab moved";
    EXPECT_THROW(pages->Pages(3), EListError);

    sheets[0]->SetCaption("Windows!");
    EXPECT_EQ(NativeText(1), "Windows!");

    // Freeing the active page shows the one after it in page order
    // (Options, Windows, About: About).
    TComponent::Free(sheets[0]);
    sheets.erase(sheets.begin());
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_EQ(NativeCount(), 2);

    // A sheet moved to no page control leaves it.
    sheets[0]->SetPageControl(nullptr);
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(sheets[0]->Parent(), nullptr);
    // Setting a page control as parent is the same as SetPageControl.
    sheets[0]->SetParent(pages);
    EXPECT_EQ(sheets[0]->PageControl(), pages);
    EXPECT_EQ(pages->PageCount(), 2);
}

TEST_F(PageControlTest, FocusInsideAHiddenPageMovesOut) {
    auto* edit = TComponent::Create<TEdit>(form);
    edit->SetParent(sheets[0]);
    pages->SetActivePage(sheets[0]);
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()); }));
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));
    pages->SetActivePage(sheets[1]);
    EXPECT_NE(GetFocus(), edit->Handle());
}

TEST_F(PageControlTest, FreeingLeavesNoWindowsBehind) {
    pages->Handle();
    TComponent::Free(form);
    sheets.clear();
    form = TComponent::Create<TForm>(Application);
    const std::set<HWND> before = ThreadWindows();
    auto* f = TComponent::Create<TForm>(Application);
    auto* pc = TComponent::Create<TPageControl>(f);
    pc->SetParent(f);
    for (int i = 0; i < 3; ++i) TComponent::Create<TTabSheet>(f)->SetPageControl(pc);
    pc->SetActivePageIndex(1);
    f->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(f->Handle()); }));
    TComponent::Free(f);
    Drain();
    for (HWND h : ThreadWindows()) EXPECT_TRUE(before.count(h)) << "a window was left behind";
}
