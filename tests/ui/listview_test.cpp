// The list view against the real SysListView32 under the window manager:
// what the control shows is read back with its own messages.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "support/UiTestUtil.h"

using namespace ui;

namespace {

using vsk::test::Drain;
using vsk::test::PumpUntil;

using vsk::test::ThreadWindows;

std::string ClassOf(HWND h) {
    char buf[128] = {};
    GetClassNameA(h, buf, sizeof(buf));
    return buf;
}

// The form and list views each test works on.
class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = TComponent::Create<TForm>(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(50, 50, 600, 300);
        list = NewList(10, 10, 280, 200);
    }
    void TearDown() override { TComponent::Free(form); }

    TListView* NewList(int x, int y, int w, int h) {
        auto* lv = TComponent::Create<TListView>(form);
        lv->SetParent(form);
        lv->SetBounds(x, y, w, h);
        lv->SetViewStyle(vsReport);
        lv->SetReadOnly(true);
        lv->SetRowSelect(true);
        return lv;
    }

    static void AddColumns(TListView* lv, std::initializer_list<const char*> captions) {
        for (const char* c : captions) lv->Columns()->Add()->SetCaption(c);
    }

    // What the control itself holds for row i, column sub.
    static std::string Text(TListView* lv, int i, int sub) {
        char buf[256] = {};
        LVITEMA it{};
        it.iSubItem = sub;
        it.pszText = buf;
        it.cchTextMax = sizeof(buf);
        SendMessageA(lv->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    static std::vector<std::string> Captions(TListView* lv) {
        std::vector<std::string> r;
        int n = static_cast<int>(SendMessageA(lv->Handle(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) r.push_back(Text(lv, i, 0));
        return r;
    }
    static std::vector<std::string> ObjectCaptions(TListView* lv) {
        std::vector<std::string> r;
        for (int i = 0; i < lv->Items()->Count(); ++i) r.push_back(lv->Items()->Item(i)->Caption());
        return r;
    }
    static LPARAM Param(TListView* lv, int i) {
        LVITEMA it{};
        it.mask = LVIF_PARAM;
        it.iItem = i;
        SendMessageA(lv->Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        return it.lParam;
    }
    static int Image(TListView* lv, int i) {
        LVITEMA it{};
        it.mask = LVIF_IMAGE;
        it.iItem = i;
        SendMessageA(lv->Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        return it.iImage;
    }
    static void SelectInControl(TListView* lv, int i, bool on) {
        LVITEMA it{};
        it.stateMask = LVIS_SELECTED;
        it.state = on ? LVIS_SELECTED : 0;
        SendMessageA(lv->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
    }
    static bool SelectedInControl(TListView* lv, int i) {
        return SendMessageA(lv->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) != 0;
    }

    TForm* form = nullptr;
    TListView* list = nullptr;
};

// Records the events of a list view.
struct Events {
    std::vector<std::string> log;
    std::vector<void*> deleted;
    void OnSelect(TObject*, TListItem* item, bool selected) {
        log.push_back((selected ? "select " : "unselect ") + item->Caption());
    }
    void OnDeletion(TObject*, TListItem* item) {
        log.push_back("delete " + item->Caption());
        deleted.push_back(item->Data());
        delete static_cast<int*>(item->Data());  // the program frees its records here
    }
};

}  // namespace

TEST_F(ListViewTest, ItemsShowInTheControlWithTextsImagesAndData) {
    AddColumns(list, {"Application Name", "Window Title", "All"});
    struct Row {
        const char* caption;
        std::vector<std::string> subs;
        int image;
    };
    const std::vector<Row> rows = {
        {"notepad.exe", {"Untitled - Notepad", "yes"}, 0},
        {"calc.exe", {"Calculator"}, 2},
        {"", {"", "no"}, -1},
    };
    // Half the items exist before the window, half come after.
    int data[3] = {};
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == 1) {
            ASSERT_NE(list->Handle(), nullptr);
        }
        TListItem* item = list->Items()->Add();
        item->SetCaption(rows[i].caption);
        for (const auto& s : rows[i].subs) item->SubItems()->Add(s);
        item->SetImageIndex(rows[i].image);
        item->SetData(&data[i]);
    }
    ASSERT_EQ(SendMessageA(list->Handle(), LVM_GETITEMCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(Text(list, i, 0), rows[i].caption);
        for (int s = 0; s < 2; ++s) {
            std::string want = s < static_cast<int>(rows[i].subs.size()) ? rows[i].subs[s] : "";
            EXPECT_EQ(Text(list, i, s + 1), want) << "sub-item " << s;
        }
        EXPECT_EQ(Image(list, i), rows[i].image);
        EXPECT_EQ(Param(list, i), reinterpret_cast<LPARAM>(list->Items()->Item(i)));
        EXPECT_EQ(list->Items()->Item(i)->Data(), &data[i]);
        EXPECT_EQ(list->Items()->Item(i)->Index(), i);
    }

    // Later changes reach the control at once.
    TListItem* second = list->Items()->Item(1);
    second->SetCaption("calc2.exe");
    second->SubItems()->SetStrings(0, "Calc");
    second->SubItems()->Add("no");
    list->Items()->Item(0)->SubItems()->Delete(0);
    list->Items()->Item(2)->SetImageIndex(5);
    EXPECT_EQ(Text(list, 1, 0), "calc2.exe");
    EXPECT_EQ(Text(list, 1, 1), "Calc");
    EXPECT_EQ(Text(list, 1, 2), "no");
    EXPECT_EQ(Text(list, 0, 1), "yes") << "the remaining sub-item moves left";
    EXPECT_EQ(Text(list, 0, 2), "") << "and the last column empties";
    EXPECT_EQ(Image(list, 2), 5);

    // A new window gets everything again.
    list->Items()->Item(2)->SetSelected(true);
    list->SetMultiSelect(true);  // makes the window again
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"notepad.exe", "calc2.exe", ""}));
    EXPECT_EQ(Text(list, 1, 2), "no");
    EXPECT_TRUE(SelectedInControl(list, 2)) << "selection survives the new window";
}

TEST_F(ListViewTest, InsertAndIndexKeepObjectsAndRowsInStep) {
    list->Handle();
    for (const char* c : {"b", "d"}) list->Items()->Add()->SetCaption(c);
    list->Items()->Insert(0)->SetCaption("a");
    list->Items()->Insert(2)->SetCaption("c");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(ObjectCaptions(list), Captions(list));
    EXPECT_THROW(list->Items()->Item(4), EListError);
    EXPECT_THROW(list->Items()->Insert(9), EListError);
    EXPECT_THROW(list->Items()->Item(0)->SubItems()->Strings(0), EListError);
}

TEST_F(ListViewTest, EveryItemThatGoesIsAnnouncedWithItsDataOnce) {
    Events ev;
    list->OnDeletion = TLVDeletedEvent(&ev, &Events::OnDeletion);
    list->Handle();
    std::vector<int*> records;
    for (const char* c : {"one", "two", "three", "four", "five"}) {
        TListItem* item = list->Items()->Add();
        item->SetCaption(c);
        records.push_back(new int(0));
        item->SetData(records.back());
    }
    list->Items()->Item(1)->Delete();
    EXPECT_EQ(ev.log, (std::vector<std::string>{"delete two"}));
    EXPECT_EQ(ev.deleted, (std::vector<void*>{records[1]}));
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"one", "three", "four", "five"}));

    list->Items()->Delete(3);
    EXPECT_EQ(ev.log.back(), "delete five");

    ev.log.clear();
    list->Items()->Clear();
    EXPECT_EQ(ev.log, (std::vector<std::string>{"delete one", "delete three", "delete four"}));
    EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);

    // Freeing the list view (with its form) announces what it still holds.
    for (const char* c : {"six", "seven"}) {
        TListItem* item = list->Items()->Add();
        item->SetCaption(c);
        item->SetData(new int(0));
    }
    ev.log.clear();
    TComponent::Free(list);
    list = nullptr;
    EXPECT_EQ(ev.log, (std::vector<std::string>{"delete six", "delete seven"}));
}

TEST_F(ListViewTest, SortingOrdersTheObjectsAndTheControlRowsAlike) {
    struct Case {
        const char* name;
        TSortType type;
        bool handleFirst;
        std::vector<std::string> want;
    };
    const std::vector<std::string> input = {"winword.exe", "Calc.exe", "explorer.exe", "b.exe", "calc.exe"};
    const std::vector<Case> cases = {
        {"text, window first", stText, true, {"b.exe", "calc.exe", "Calc.exe", "explorer.exe", "winword.exe"}},
        {"text, window later", stText, false, {"b.exe", "calc.exe", "Calc.exe", "explorer.exe", "winword.exe"}},
        {"insertion order", stNone, true, input},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TListView* lv = NewList(300, 10, 280, 200);
        lv->SetSortType(c.type);
        if (c.handleFirst) lv->Handle();
        for (const auto& s : input) lv->Items()->Add()->SetCaption(s);
        // lstrcmp puts lower case before upper case among equals; what
        // matters is that the control and the objects agree.
        std::vector<std::string> got = Captions(lv);
        EXPECT_EQ(got, ObjectCaptions(lv));
        EXPECT_EQ(got.front(), c.want.front());
        EXPECT_EQ(got.back(), c.want.back());
        if (c.type == stNone) {
            EXPECT_EQ(got, c.want);
        }
        for (int i = 0; i < lv->Items()->Count(); ++i)
            EXPECT_EQ(Param(lv, i), reinterpret_cast<LPARAM>(lv->Items()->Item(i))) << "row " << i;
        TComponent::Free(lv);
    }

    // OnCompare decides when set; CustomSort takes a routine of its own;
    // changing a caption in a text-sorted list moves it.
    list->Handle();
    for (const char* s : {"bb", "a", "ccc"}) list->Items()->Add()->SetCaption(s);
    struct ByLength {
        void Compare(TObject*, TListItem* a, TListItem* b, int, int& c) {
            c = static_cast<int>(b->Caption().size()) - static_cast<int>(a->Caption().size());
        }
    } byLength;
    list->OnCompare = TLVCompareEvent(&byLength, &ByLength::Compare);
    list->AlphaSort();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"ccc", "bb", "a"}));
    list->CustomSort([](TListItem* a, TListItem* b, intptr_t) { return a->Caption().compare(b->Caption()); }, 0);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "bb", "ccc"}));
    list->OnCompare = nullptr;
    list->SetSortType(stText);
    list->Items()->Item(0)->SetCaption("zz");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"bb", "ccc", "zz"}));
    EXPECT_EQ(ObjectCaptions(list), Captions(list));

    // Sorting waits for the end of an update.
    list->Items()->BeginUpdate();
    list->Items()->Add()->SetCaption("aa");
    EXPECT_EQ(list->Items()->Item(3)->Caption(), "aa");
    list->Items()->EndUpdate();
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"aa", "bb", "ccc", "zz"}));
}

TEST_F(ListViewTest, SelectionRoundTripsBetweenObjectAndControl) {
    Events ev;
    list->OnSelectItem = TLVSelectItemEvent(&ev, &Events::OnSelect);
    for (const char* c : {"a", "b", "c"}) list->Items()->Add()->SetCaption(c);
    list->Handle();
    TListItem* a = list->Items()->Item(0);
    TListItem* b = list->Items()->Item(1);

    // Selected in the control: the object reads it and the event fires.
    SelectInControl(list, 1, true);
    EXPECT_TRUE(b->Selected());
    EXPECT_EQ(list->Selected(), b);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"select b"}));

    // Selected through the object: the control shows it; one selection only.
    ev.log.clear();
    a->SetSelected(true);
    EXPECT_TRUE(SelectedInControl(list, 0));
    EXPECT_FALSE(SelectedInControl(list, 1));
    EXPECT_FALSE(b->Selected());
    EXPECT_EQ(ev.log, (std::vector<std::string>{"unselect b", "select a"}));

    ev.log.clear();
    list->SetSelected(nullptr);
    EXPECT_EQ(list->Selected(), nullptr);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"unselect a"}));

    list->SetItemIndex(2);
    EXPECT_TRUE(SelectedInControl(list, 2));
    list->Items()->Item(2)->SetFocused(true);
    EXPECT_EQ(list->ItemFocused(), list->Items()->Item(2));

    // Multi-select keeps several; deleting a selected item raises no
    // selection event.
    list->SetMultiSelect(true);
    a->SetSelected(true);
    EXPECT_EQ(list->SelCount(), 2);
    ev.log.clear();
    a->Delete();
    EXPECT_TRUE(ev.log.empty()) << ev.log.front();
    EXPECT_EQ(list->SelCount(), 1);
}

TEST_F(ListViewTest, SelectionWithoutAWindowIsKeptAndRaisesTheSameEvents) {
    // A list view that never gets a window (as one created hidden to hold
    // records) still keeps a single selection.
    auto* lone = TComponent::Create<TListView>(nullptr);
    Events ev;
    lone->OnSelectItem = TLVSelectItemEvent(&ev, &Events::OnSelect);
    for (const char* c : {"a", "b"}) lone->Items()->Add()->SetCaption(c);
    lone->Items()->Item(0)->SetSelected(true);
    lone->Items()->Item(1)->SetSelected(true);
    EXPECT_FALSE(lone->Items()->Item(0)->Selected());
    EXPECT_EQ(lone->Selected(), lone->Items()->Item(1));
    EXPECT_EQ(lone->SelCount(), 1);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"select a", "unselect a", "select b"}));
    EXPECT_FALSE(lone->HandleAllocated());
    TComponent::Free(lone);
}

TEST_F(ListViewTest, ColumnsReachTheControl) {
    struct Col {
        const char* caption;
        int width;
        TAlignment align;
        int fmt;
    };
    const std::vector<Col> cols = {
        {"Application Name", 100, taLeftJustify, LVCFMT_LEFT},
        {"Window Title", 150, taCenter, LVCFMT_CENTER},
        {"All", 30, taRightJustify, LVCFMT_RIGHT},
    };
    for (const Col& c : cols) {
        TListColumn* col = list->Columns()->Add();
        col->SetCaption(c.caption);
        col->SetWidth(c.width);
        col->SetAlignment(c.align);
    }
    HWND h = list->Handle();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(cols[i].caption);
        char buf[64] = {};
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = buf;
        col.cchTextMax = sizeof(buf);
        ASSERT_TRUE(SendMessageA(h, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col)));
        EXPECT_STREQ(buf, cols[i].caption);
        EXPECT_EQ(col.cx, cols[i].width);
        if (i > 0) {
            EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, cols[i].fmt);
        }
    }

    // A width the user drags is what Width reads.
    SendMessageA(h, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(77, 0));
    EXPECT_EQ(list->Columns()->Items(1)->Width(), 77);

    // An auto-sized column takes what the others leave.
    list->Columns()->Items(1)->SetAutoSize(true);
    RECT r;
    GetClientRect(h, &r);
    EXPECT_EQ(list->Columns()->Items(1)->Width(), r.right - 100 - 30);

    list->Columns()->Delete(2);
    EXPECT_EQ(list->Columns()->Count(), 2);
    HWND header = reinterpret_cast<HWND>(SendMessageA(h, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(ListViewTest, GetItemAtFindsTheRowUnderAPoint) {
    AddColumns(list, {"Name"});
    for (const char* c : {"a", "b", "c"}) list->Items()->Add()->SetCaption(c);
    list->SetDoubleBuffered(true);  // as the main window has it: paints through a memory DC
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()); }));
    UpdateWindow(list->Handle());
    for (int i = 0; i < 3; ++i) {
        TRect r = list->Items()->Item(i)->DisplayRect(drBounds);
        ASSERT_GT(r.bottom, r.top);
        EXPECT_EQ(list->GetItemAt(r.left + 2, (r.top + r.bottom) / 2), list->Items()->Item(i)) << "row " << i;
    }
    TRect last = list->Items()->Item(2)->DisplayRect(drBounds);
    EXPECT_EQ(list->GetItemAt(last.left + 2, last.bottom + 40), nullptr);
}

TEST_F(ListViewTest, ImageListsAreSharedAndFollowTheirHandle) {
    auto* images = TComponent::Create<TImageList>(form);
    list->SetSmallImages(images);
    HWND h = list->Handle();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(h, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), images->Handle());
    // A new system list (as a conversion to 32 bits makes) reaches the control.
    HIMAGELIST fresh = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
    images->SetHandle(fresh);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(h, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), fresh);
    TComponent::Free(images);
    EXPECT_EQ(list->SmallImages(), nullptr);
    EXPECT_EQ(SendMessageA(h, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
}

TEST_F(ListViewTest, FreeingLeavesNoWindowsBehind) {
    list->Handle();
    TComponent::Free(form);
    form = TComponent::Create<TForm>(Application);  // TearDown frees this one
    const std::set<HWND> before = ThreadWindows();
    {
        auto* f = TComponent::Create<TForm>(Application);
        auto* a = TComponent::Create<TListView>(f);
        a->SetParent(f);
        a->SetViewStyle(vsReport);
        a->Columns()->Add()->SetCaption("x");
        a->Items()->Add()->SetCaption("row");
        f->Show();
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(f->Handle()); }));
        a->SetDragMode(dmAutomatic);
        a->BeginDrag();
        CancelDrag();
        TComponent::Free(f);
    }
    Drain();
    for (HWND h : ThreadWindows()) EXPECT_TRUE(before.count(h)) << "left behind: a window of class " << ClassOf(h);
}
