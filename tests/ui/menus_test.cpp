// Menus against the real window manager: the system menus built from the
// items, commands reaching OnClick, the system's menu loop driven by keys
// posted to this program's queue, owner-drawn items, a form's menu bar and
// the right-click popup of a control.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "support/Owned.h"
#include "ui/Application.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "support/UiTestUtil.h"

using namespace ui;

namespace {

using vsk::test::Drain;
using vsk::test::PumpUntil;

std::set<HWND> ThreadWindows() {
    std::set<HWND> all;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::set<HWND>*>(lp)->insert(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// Keys for the system's menu loop, posted one per timer tick once the menu
// shows. The loop takes keyboard messages from the queue whatever window
// they are posted to.
struct KeyScript {
    std::vector<WORD> keys;
    size_t next = 0;
    int waits = 0;
};
KeyScript gScript;

using vsk::test::MenuShowing;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR id, DWORD) {
    if (gScript.next == 0 && !MenuShowing() && ++gScript.waits < 50) return;
    if (gScript.next >= gScript.keys.size() || gScript.waits >= 50) {
        KillTimer(nullptr, id);
        return;
    }
    WORD k = gScript.keys[gScript.next++];
    PostMessageA(PopupListWindow(), WM_KEYDOWN, k, 1);
    PostMessageA(PopupListWindow(), WM_KEYUP, k, static_cast<LPARAM>(0xC0000001u));
}

void PlayKeys(std::vector<WORD> keys) {
    gScript.keys = std::move(keys);
    gScript.next = 0;
    gScript.waits = 0;
    SetTimer(nullptr, 0, 120, &ScriptTick);
}

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& caption) {
    auto* i = TComponent::Create<TMenuItem>(owner);
    i->SetCaption(caption);
    parent->Add(i);
    return i;
}

std::string MenuString(HMENU m, int pos) {
    char buf[128] = {};
    GetMenuStringA(m, static_cast<UINT>(pos), buf, sizeof(buf), MF_BYPOSITION);
    return buf;
}

MENUITEMINFOA MenuInfo(HMENU m, int pos) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    GetMenuItemInfoA(m, static_cast<UINT>(pos), TRUE, &mii);
    return mii;
}

struct Log {
    std::vector<std::string> lines;
    void Click(TObject* s) { lines.push_back("click " + static_cast<TMenuItem*>(s)->Caption()); }
    void Popped(TObject*) { lines.push_back("popup"); }
    void Changed(TObject*, TMenuItem* source, bool) {
        lines.push_back("change " + (source ? source->Caption() : "menu"));
    }
};

}  // namespace

TEST(Menus, ItemsBuildTheSystemMenuAndChangesRebuildIt) {
    vsk::test::Owned pm{TComponent::Create<TPopupMenu>(Application)};
    Log log;
    TMenuItem* open = NewItem(pm, pm->Items(), "&Open");
    open->SetShortCut(ShortCut('O', ssCtrl));
    NewItem(pm, pm->Items(), "-");
    NewItem(pm, pm->Items(), "Checked")->SetChecked(true);
    NewItem(pm, pm->Items(), "Disabled")->SetEnabled(false);
    TMenuItem* sub = NewItem(pm, pm->Items(), "Sub");
    NewItem(pm, sub, "Inner 1");
    NewItem(pm, sub, "Inner 2");
    TMenuItem* hidden = NewItem(pm, pm->Items(), "Hidden");
    hidden->SetVisible(false);
    pm->OnChange = TMenuChangeEvent(&log, &Log::Changed);

    HMENU h = pm->Handle();
    ASSERT_TRUE(IsMenu(h));
    ASSERT_EQ(GetMenuItemCount(h), 5) << "the hidden item is left out";
    struct Row {
        const char* text;
        UINT type;
        UINT state;
    };
    const Row rows[] = {
        {"&Open\tCtrl+O", MFT_STRING, 0},     {"", MFT_SEPARATOR, 0}, {"Checked", MFT_STRING, MFS_CHECKED},
        {"Disabled", MFT_STRING, MFS_GRAYED}, {"Sub", MFT_STRING, 0},
    };
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(rows[i].text);
        MENUITEMINFOA mii = MenuInfo(h, i);
        if (rows[i].type != MFT_SEPARATOR) {
            EXPECT_EQ(MenuString(h, i), rows[i].text);
        }
        EXPECT_EQ(mii.fType & (MFT_SEPARATOR | MFT_OWNERDRAW), rows[i].type);
        EXPECT_EQ(mii.fState & (MFS_CHECKED | MFS_GRAYED), rows[i].state);
        EXPECT_EQ(mii.wID, pm->Items()->Items(i == 4 ? 5 - 1 : i)->Command());
    }
    MENUITEMINFOA subInfo = MenuInfo(h, 4);
    EXPECT_EQ(subInfo.hSubMenu, sub->Handle());
    EXPECT_EQ(GetMenuItemCount(subInfo.hSubMenu), 2);
    EXPECT_EQ(MenuString(subInfo.hSubMenu, 1), "Inner 2");

    // Changes reach the system menu at once and are reported with their item.
    open->SetCaption("&Open...");
    EXPECT_EQ(MenuString(h, 0), "&Open...\tCtrl+O");
    hidden->SetVisible(true);
    EXPECT_EQ(GetMenuItemCount(h), 6);
    TMenuItem* first = TComponent::Create<TMenuItem>(pm);
    first->SetCaption("First");
    pm->Items()->Insert(0, first);
    EXPECT_EQ(MenuString(h, 0), "First");
    sub->Clear();
    EXPECT_EQ(MenuInfo(h, 5).hSubMenu, nullptr) << "an item without sub-items opens nothing";
    EXPECT_EQ(log.lines, (std::vector<std::string>{"change &Open...", "change Hidden", "change First", "change Sub",
                                                   "change Sub"}))
        << "one change for each sub-item that went";

    EXPECT_EQ(pm->FindItem(first->Command()), first);
    EXPECT_EQ(pm->FindItem(ShortCut('O', ssCtrl), fkShortCut), open);
    EXPECT_EQ(pm->FindItem(reinterpret_cast<intptr_t>(h), fkHandle), pm->Items());
    EXPECT_EQ(open->GetParentMenu(), pm);
    EXPECT_EQ(open->GetParentComponent(), pm);
    EXPECT_EQ(pm->Items()->Find("open..."), open);
    EXPECT_THROW(pm->Items()->Add(open), EMenuError) << "an item sits in one place only";
    pm.Free();
}

TEST(Menus, ACommandPostedToThePopupWindowClicksItsItem) {
    vsk::test::Owned pm{TComponent::Create<TPopupMenu>(Application)};
    vsk::test::Owned other{TComponent::Create<TPopupMenu>(Application)};
    Log log;
    TMenuItem* a = NewItem(pm, pm->Items(), "A");
    TMenuItem* off = NewItem(pm, pm->Items(), "Off");
    off->SetEnabled(false);
    TMenuItem* toggle = NewItem(pm, pm->Items(), "Toggle");
    toggle->SetAutoCheck(true);
    TMenuItem* b = NewItem(other, other->Items(), "B");
    for (TMenuItem* i : {a, off, toggle, b}) i->OnClick = TNotifyEvent(&log, &Log::Click);

    ASSERT_NE(PopupListWindow(), nullptr);
    for (TMenuItem* i : {a, off, toggle, b, toggle})
        PostMessageA(PopupListWindow(), WM_COMMAND, MAKEWPARAM(i->Command(), 0), 0);
    Drain();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"click A", "click Toggle", "click B", "click Toggle"}));
    EXPECT_FALSE(toggle->Checked()) << "auto-check toggled it twice";
    pm.Free();
    other.Free();
}

TEST(Menus, KeysInTheSystemMenuLoopChooseAnItemAfterOnPopup) {
    auto* pm = TComponent::Create<TPopupMenu>(Application);
    Log log;
    pm->OnPopup = TNotifyEvent(&log, &Log::Popped);
    for (const char* c : {"One", "-", "Two", "Three"})
        NewItem(pm, pm->Items(), c)->OnClick = TNotifyEvent(&log, &Log::Click);
    // Down selects One, Down skips the line to Two, Enter chooses it.
    PlayKeys({VK_DOWN, VK_DOWN, VK_RETURN});
    pm->Popup(200, 200);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"popup"})) << "the click comes from the message loop";
    PumpUntil([&] { return log.lines.size() >= 2; });
    EXPECT_EQ(log.lines, (std::vector<std::string>{"popup", "click Two"}));
    EXPECT_EQ(pm->PopupPoint().x, 200);
    TComponent::Free(pm);
}

TEST(Menus, OwnerDrawnItemsAreMeasuredAndDrawnOnAUsableCanvas) {
    auto* pm = TComponent::Create<TPopupMenu>(Application);
    pm->SetOwnerDraw(true);
    struct Painter {
        std::vector<std::string> measured;
        std::vector<std::string> drawn;
        TRect alphaRect{};
        bool canvasOk = true;
        bool limeRead = false;
        void Measure(TObject* s, TCanvas* c, int& w, int& h) {
            auto* item = static_cast<TMenuItem*>(s);
            measured.push_back(item->Caption());
            if (!c || c->TextWidth("Alpha") <= 0) canvasOk = false;
            if (item->Caption() == "Alpha") {
                w = 120;
                h = 30;
            }
        }
        void Draw(TObject* s, TCanvas* c, TRect r, TOwnerDrawState state) {
            auto* item = static_cast<TMenuItem*>(s);
            drawn.push_back(item->Caption() + ((state & odSelected) ? " selected" : ""));
            if (!c || !c->Handle()) {
                canvasOk = false;
                return;
            }
            c->Brush()->SetColor(clLime);
            c->FillRect(r);
            if (item->Caption() == "Alpha") {
                alphaRect = r;
                limeRead = ColorToRGB(c->Pixels(r.left + 2, r.top + 2)) == clLime;
            }
        }
        void DrawSimple(TObject* s, TCanvas* c, TRect r, bool selected) {
            drawn.push_back(static_cast<TMenuItem*>(s)->Caption() + (selected ? " selected" : ""));
            c->Brush()->SetColor(clYellow);
            c->FillRect(r);
        }
    } painter;
    for (const char* name : {"Alpha", "-", "Beta", "Gamma"}) {
        TMenuItem* i = NewItem(pm, pm->Items(), name);
        if (std::string(name) == "Gamma") continue;  // the default look
        i->OnMeasureItem = TMenuMeasureItemEvent(&painter, &Painter::Measure);
        if (std::string(name) == "Beta")
            i->OnDrawItem = TMenuDrawItemEvent(&painter, &Painter::DrawSimple);
        else
            i->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(&painter, &Painter::Draw);
    }
    EXPECT_TRUE(MenuInfo(pm->Handle(), 0).fType & MFT_OWNERDRAW);
    EXPECT_TRUE(MenuInfo(pm->Handle(), 1).fType & MFT_OWNERDRAW);

    PlayKeys({0, VK_DOWN, 0, VK_ESCAPE});  // 0: a tick with nothing pressed
    pm->Popup(300, 200);
    Drain();

    EXPECT_TRUE(painter.canvasOk);
    EXPECT_EQ(painter.measured, (std::vector<std::string>{"Alpha", "-", "Beta"}));
    auto seen = [&](const std::string& s) {
        return std::find(painter.drawn.begin(), painter.drawn.end(), s) != painter.drawn.end();
    };
    EXPECT_TRUE(seen("Alpha")) << "drawn: " << ::testing::PrintToString(painter.drawn);
    EXPECT_TRUE(seen("Beta"));
    EXPECT_TRUE(seen("-"));
    EXPECT_TRUE(seen("Alpha selected")) << "Down selects the first item, which is drawn again";
    EXPECT_EQ(RectHeight(painter.alphaRect), 30) << "the measured height is the item's";
    EXPECT_GE(RectWidth(painter.alphaRect), 120);
    EXPECT_TRUE(painter.limeRead) << "the canvas draws on the menu's DC";
    TComponent::Free(pm);
}

TEST(Menus, ShortCutTextNamesTheKeyAndItsModifiers) {
    struct Case {
        WORD key;
        TShiftState shift;
        const char* text;
    };
    const Case cases[] = {
        {'O', ssCtrl, "Ctrl+O"},
        {VK_DELETE, ssShift, "Shift+Del"},
        {VK_F12, 0, "F12"},
        {'1', ssCtrl | ssAlt, "Ctrl+Alt+1"},
        {VK_RETURN, ssShift | ssCtrl | ssAlt, "Shift+Ctrl+Alt+Enter"},
        {0, 0, ""},
    };
    for (const Case& c : cases) {
        TShortCut s = ShortCut(c.key, c.shift);
        EXPECT_EQ(ShortCutToText(s), c.text);
        WORD key = 0;
        TShiftState shift = 0;
        ShortCutToKey(s, key, shift);
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(shift, c.shift);
    }
}

TEST(Menus, CheckingARadioItemUnchecksItsGroupOnly) {
    auto* pm = TComponent::Create<TPopupMenu>(Application);
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 4; ++i) {
        TMenuItem* it = NewItem(pm, pm->Items(), "R" + std::to_string(i));
        it->SetRadioItem(true);
        it->SetGroupIndex(i < 3 ? 1 : 2);
        items.push_back(it);
    }
    items[0]->SetChecked(true);
    items[3]->SetChecked(true);
    items[1]->SetChecked(true);
    EXPECT_FALSE(items[0]->Checked());
    EXPECT_TRUE(items[1]->Checked());
    EXPECT_TRUE(items[3]->Checked()) << "another group keeps its check";
    HMENU h = pm->Handle();
    EXPECT_TRUE(MenuInfo(h, 1).fType & MFT_RADIOCHECK);
    EXPECT_TRUE(MenuInfo(h, 1).fState & MFS_CHECKED);
    EXPECT_FALSE(MenuInfo(h, 0).fState & MFS_CHECKED);
    TComponent::Free(pm);
}

TEST(Menus, AMainMenuSitsOnItsFormAndItsCommandsClickItems) {
    vsk::test::Owned form{TComponent::Create<TForm>(Application)};
    form->SetBounds(100, 100, 300, 200);
    auto* mm = TComponent::Create<TMainMenu>(form);
    Log log;
    TMenuItem* file = NewItem(form, mm->Items(), "&File");
    TMenuItem* exit = NewItem(form, file, "E&xit");
    exit->OnClick = TNotifyEvent(&log, &Log::Click);
    form->SetMenu(mm);
    HWND h = form->Handle();
    EXPECT_EQ(GetMenu(h), mm->Handle());
    EXPECT_EQ(mm->WindowHandle(), h);
    EXPECT_EQ(GetMenuItemCount(mm->Handle()), 1);
    EXPECT_EQ(MenuString(mm->Handle(), 0), "&File");
    form->Show();
    Drain();

    SendMessageA(h, WM_COMMAND, MAKEWPARAM(exit->Command(), 0), 0);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"click E&xit"}));

    // A new window of the form gets the same menu bar back.
    HMENU bar = mm->Handle();
    form->SetBorderStyle(bsSingle);
    ASSERT_NE(form->Handle(), h);
    EXPECT_TRUE(IsMenu(bar)) << "the bar outlives the old window";
    EXPECT_EQ(GetMenu(form->Handle()), bar);
    file->SetCaption("&Program");
    EXPECT_EQ(MenuString(bar, 0), "&Program");

    form->SetMenu(nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_EQ(mm->WindowHandle(), nullptr);
    form->SetMenu(mm);
    EXPECT_EQ(GetMenu(form->Handle()), bar);

    // Freeing the menu takes it off the form.
    TComponent::Free(mm);
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_FALSE(IsMenu(bar));
    form.Free();
}

TEST(Menus, AnOwnerDrawnMenuBarIsMeasuredAndDrawnThroughItsForm) {
    vsk::test::Owned form{TComponent::Create<TForm>(Application)};
    form->SetBounds(100, 100, 300, 200);
    auto* mm = TComponent::Create<TMainMenu>(form);
    mm->SetOwnerDraw(true);
    struct Bar {
        std::vector<std::string> seen;
        void Measure(TObject* s, TCanvas*, int& w, int& h) {
            seen.push_back("measure " + static_cast<TMenuItem*>(s)->Caption());
            w = 60;
            h = 20;
        }
        void Draw(TObject* s, TCanvas* c, TRect r, TOwnerDrawState) {
            seen.push_back("draw " + static_cast<TMenuItem*>(s)->Caption());
            c->Brush()->SetColor(clAqua);
            c->FillRect(r);
        }
    } bar;
    for (const char* c : {"&File", "&Help"}) {
        TMenuItem* i = NewItem(form, mm->Items(), c);
        i->OnMeasureItem = TMenuMeasureItemEvent(&bar, &Bar::Measure);
        i->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(&bar, &Bar::Draw);
    }
    form->SetMenu(mm);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()); }));
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Drain();
    auto has = [&](const char* s) { return std::find(bar.seen.begin(), bar.seen.end(), s) != bar.seen.end(); };
    EXPECT_TRUE(has("measure &File")) << ::testing::PrintToString(bar.seen);
    EXPECT_TRUE(has("measure &Help"));
    EXPECT_TRUE(has("draw &File"));
    EXPECT_TRUE(has("draw &Help"));
    RECT item{};
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), mm->Handle(), 1, &item));
    // The system adds its spacing between bar items to the measured width.
    EXPECT_GE(item.right - item.left, 60);
    EXPECT_LT(item.right - item.left, 90);
    form.Free();
}

TEST(Menus, AMainMenuGoesWithItsForm) {
    auto* form = TComponent::Create<TForm>(Application);
    auto* mm = TComponent::Create<TMainMenu>(form);
    NewItem(form, mm->Items(), "&File");
    form->SetMenu(mm);
    form->Show();
    Drain();
    HMENU bar = mm->Handle();
    TComponent::Free(form);
    EXPECT_FALSE(IsMenu(bar));

    // A menu that belongs elsewhere stays whole when its form goes.
    auto* keeper = TComponent::Create<TMainMenu>(Application);
    NewItem(keeper, keeper->Items(), "&Edit");
    form = TComponent::Create<TForm>(Application);
    form->SetMenu(keeper);
    form->Handle();
    TComponent::Free(form);
    EXPECT_EQ(keeper->Form(), nullptr);
    EXPECT_EQ(keeper->WindowHandle(), nullptr);
    EXPECT_TRUE(IsMenu(keeper->Handle()));
    TComponent::Free(keeper);
}

TEST(Menus, ARightClickShowsTheControlsPopupMenu) {
    auto* form = TComponent::Create<TForm>(Application);
    form->SetBounds(100, 100, 300, 200);
    auto* panel = TComponent::Create<TPanel>(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 100, 100);
    auto* pm = TComponent::Create<TPopupMenu>(form);
    NewItem(form, pm->Items(), "Refresh List");
    Log log;
    pm->OnPopup = TNotifyEvent(&log, &Log::Popped);
    panel->SetPopupMenu(pm);
    form->Show();
    Drain();

    PlayKeys({VK_ESCAPE});
    SendMessageA(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(150, 160));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"popup"}));
    EXPECT_EQ(pm->PopupComponent(), panel);
    EXPECT_EQ(pm->PopupPoint().x, 150);
    EXPECT_EQ(pm->PopupPoint().y, 160);

    // Without AutoPopup nothing shows; the message goes on to the parent.
    pm->SetAutoPopup(false);
    SendMessageA(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(150, 160));
    EXPECT_EQ(log.lines.size(), 1u);

    TComponent::Free(form);
    Drain();
}

TEST(Menus, FreeingEverythingLeavesNoWindowsOrMenusBehind) {
    ASSERT_EQ(PopupListWindow(), nullptr) << "earlier tests freed their popup menus";
    const std::set<HWND> before = ThreadWindows();
    auto* pm = TComponent::Create<TPopupMenu>(Application);
    TMenuItem* parent = NewItem(Application, pm->Items(), "Parent");
    NewItem(Application, parent, "Child");
    HMENU root = pm->Handle();
    HMENU sub = parent->Handle();
    PlayKeys({VK_ESCAPE});
    pm->Popup(100, 100);
    Drain();
    EXPECT_NE(PopupListWindow(), nullptr);
    const int components = Application->ComponentCount();
    TComponent::Free(pm);
    EXPECT_EQ(Application->ComponentCount(), components - 3) << "its items (owned elsewhere) went with it";
    EXPECT_EQ(PopupListWindow(), nullptr);
    EXPECT_FALSE(IsMenu(root));
    EXPECT_FALSE(IsMenu(sub));
    Drain();
    for (HWND h : ThreadWindows()) EXPECT_TRUE(before.count(h)) << "a window was left behind";
}
