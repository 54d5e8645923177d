// Pieces of the class library that outside code leans on: taking over a
// control's WindowProc and giving it back, image lists shared by several
// users and freed before them, window classes of same-named C++ classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Owned.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "ui/Menus.h"
#include "ui/PageControl.h"
#include "ui/StdCtrls.h"
#include "ui/WindowProcHook.h"

using namespace ui;

namespace {

// Marks every message it sees, then passes it on.
struct Painter {
    std::string name;
    std::vector<std::string>* log;
    TWindowProcHook* hook = nullptr;
    void Handle(TMessage& m) {
        if (m.Msg == WM_USER + 1) log->push_back(name);
        hook->CallPrevious(m);
    }
};

struct Taken {
    Painter painter;
    TWindowProcHook* hook;
};

Taken* TakeOver(TControl* c, const char* name, std::vector<std::string>* log) {
    auto* t = new Taken{{name, log}, nullptr};
    t->hook = new TWindowProcHook(c, TWndMethod(&t->painter, &Painter::Handle));
    t->painter.hook = t->hook;
    return t;
}

void Drop(Taken* t) {
    delete t->hook;
    delete t;
}

}  // namespace

TEST(WindowProcHook, TakeOversReleasedInAnyOrderEndWithTheOriginalProcedure) {
    // Which of two take-overs goes first, and whether the control is freed
    // before either is released.
    struct Case {
        const char* what;
        bool firstGoesFirst;
        bool controlFreedFirst;
    };
    for (const Case& c : {Case{"last in, first out", false, false}, Case{"first in, first out", true, false},
                          Case{"control freed first", true, true}}) {
        SCOPED_TRACE(c.what);
        TForm* f = vsk::test::NewBareForm(0, 0, 100, 100);
        auto* edit = TComponent::Create<TEdit>(f);
        edit->SetParent(f);
        edit->Handle();
        const TWndMethod original = edit->WindowProc;
        std::vector<std::string> log;
        Taken* a = TakeOver(edit, "a", &log);
        Taken* b = TakeOver(edit, "b", &log);
        edit->Perform(WM_USER + 1);
        EXPECT_EQ(log, (std::vector<std::string>{"b", "a"})) << "the later take-over sees messages first";

        if (c.controlFreedFirst) {
            TComponent::Free(edit);
            EXPECT_EQ(a->hook->Control(), nullptr);
            EXPECT_EQ(b->hook->Control(), nullptr);
            Drop(c.firstGoesFirst ? a : b);  // nothing left to touch: must not crash
            Drop(c.firstGoesFirst ? b : a);
            TComponent::Free(f);
            continue;
        }
        Taken* first = c.firstGoesFirst ? a : b;
        Taken* second = c.firstGoesFirst ? b : a;
        Drop(first);
        log.clear();
        edit->Perform(WM_USER + 1);
        EXPECT_EQ(log, std::vector<std::string>{second->painter.name}) << "only the remaining take-over";
        Drop(second);
        EXPECT_EQ(edit->WindowProc, original);
        log.clear();
        edit->Perform(WM_USER + 1);
        EXPECT_TRUE(log.empty());
        edit->SetText("still works");
        EXPECT_EQ(edit->Text(), "still works");
        TComponent::Free(f);
    }
}

namespace {

class CountingPageControl : public TPageControl {
public:
    explicit CountingPageControl(TComponent* o) : TPageControl(o) {}
    TComponent* watched = nullptr;
    int removals = 0;

protected:
    void Notification(TComponent* c, TOperation op) override {
        if (op == opRemove && c == watched) ++removals;
        TPageControl::Notification(c, op);
    }
};

}  // namespace

TEST(ImageListLink, AListFreedBeforeItsUsersLeavesNoneOfThemHoldingIt) {
    vsk::test::Owned f{vsk::test::NewBareForm(0, 0, 300, 300)};
    auto* list = TComponent::Create<TImageList>(f);
    auto* menu = TComponent::Create<TPopupMenu>(f);
    auto* item = TComponent::Create<TMenuItem>(menu);
    menu->Items()->Add(item);
    auto* pages = TComponent::Create<TPageControl>(f);
    pages->SetParent(f);
    auto* view = TComponent::Create<TListView>(f);
    view->SetParent(f);
    menu->SetImages(list);
    item->SetSubMenuImages(list);
    pages->SetImages(list);
    view->SetSmallImages(list);
    view->SetLargeImages(list);
    ASSERT_NE(SendMessageA(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);

    TComponent::Free(list);
    EXPECT_EQ(menu->Images(), nullptr);
    EXPECT_EQ(item->SubMenuImages(), nullptr);
    EXPECT_EQ(pages->Images(), nullptr);
    EXPECT_EQ(view->SmallImages(), nullptr);
    EXPECT_EQ(view->LargeImages(), nullptr);
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETIMAGELIST, 0, 0), 0) << "the window lets go too";
    EXPECT_EQ(SendMessageA(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    EXPECT_EQ(SendMessageA(view->Handle(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
}

TEST(ImageListLink, AReplacedListIsLeftEntirely) {
    TForm* f = vsk::test::NewBareForm(0, 0, 300, 300);
    // Not owned by the form, which would pass its removal on to the page control.
    auto* oldList = TComponent::Create<TImageList>(nullptr);
    auto* newList = TComponent::Create<TImageList>(f);
    auto* pages = TComponent::Create<CountingPageControl>(f);
    pages->watched = oldList;
    pages->SetImages(oldList);
    pages->SetImages(newList);
    TComponent::Free(oldList);
    EXPECT_EQ(pages->removals, 0) << "the old list's free notification was left behind";
    EXPECT_EQ(pages->Images(), newList);

    // One user holding a list through two links keeps watching it while
    // either still holds it.
    auto* view = TComponent::Create<TListView>(f);
    view->SetSmallImages(newList);
    view->SetLargeImages(newList);
    view->SetSmallImages(nullptr);
    TComponent::Free(newList);
    EXPECT_EQ(view->LargeImages(), nullptr);
    TComponent::Free(f);
}

namespace first {
class TWidget : public TCustomControl {
public:
    explicit TWidget(TComponent* o) : TCustomControl(o) {}
    void Paint() override {}
};
}  // namespace first
namespace second {
class TWidget : public TCustomControl {
public:
    explicit TWidget(TComponent* o) : TCustomControl(o) {}
    void Paint() override {}

protected:
    void CreateParams(TCreateParams& p) override {
        TCustomControl::CreateParams(p);
        p.WindowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    }
};
}  // namespace second

TEST(WindowClass, SameNamedClassesOfTwoNamespacesGetTwoWindowClasses) {
    TForm* f = vsk::test::NewBareForm(0, 0, 100, 100);
    auto* a = TComponent::Create<first::TWidget>(f);
    a->SetParent(f);
    auto* b = TComponent::Create<second::TWidget>(f);
    b->SetParent(f);
    char ca[256] = {}, cb[256] = {}, cform[256] = {};
    GetClassNameA(a->Handle(), ca, sizeof ca);
    GetClassNameA(b->Handle(), cb, sizeof cb);
    GetClassNameA(f->Handle(), cform, sizeof cform);
    EXPECT_STRNE(ca, cb);
    EXPECT_STREQ(cform, "TForm") << "the first class of a name keeps the short name";
    EXPECT_EQ(GetClassLongPtrA(b->Handle(), GCLP_HCURSOR),
              reinterpret_cast<LONG_PTR>(LoadCursorA(nullptr, MAKEINTRESOURCEA(32515))))
        << "each class keeps its own settings";
    EXPECT_NE(GetClassLongPtrA(a->Handle(), GCLP_HCURSOR), GetClassLongPtrA(b->Handle(), GCLP_HCURSOR));
    TComponent::Free(f);
}
