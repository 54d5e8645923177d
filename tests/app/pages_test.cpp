// The main window's pages and panels: what the page and panel buttons show
// and focus, that every caption fits at the smallest window size with no
// control over another, the placing of the small dialogs, the splitter's
// repaint and the set-password dialog's checks.
// With VSK_SHOTS set to a folder, each page and panel is also written there
// as a BMP picture, for a person to look at.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "controls/ZevScroller.h"
#include "app/Dialogs.h"
#include "app/SettingsUnit.h"
#include "core/RegistryValues.h"
#include "support/DialogDriver.h"
#include "support/PasswordDialogDriver.h"
#include "support/FakeWallpaper.h"
#include "ui/ControlCanvas.h"
#include "ui/Graphic.h"
#include "ui/Timer.h"

using namespace ui;

namespace {

// The pixels of a rectangle of the screen, top row first, each 32 bits:
// blue, green, red and one unused byte.
std::vector<uint32_t> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<uint32_t> pixels;
    if (w <= 0 || h <= 0) return pixels;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    pixels.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + w * h);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void SaveShot(HWND window, const std::string& name) {
    const char* folder = std::getenv("VSK_SHOTS");
    if (!folder || !*folder) return;
    RECT r{};
    GetWindowRect(window, &r);
    // A maximised window's frame lies past the screen's edges.
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&r, &r, &screen);
    std::vector<uint32_t> pixels = ScreenPixels(r);
    for (uint32_t& p : pixels) p |= 0xFF000000u;  // opaque: viewers read the fourth byte as alpha
    const int w = r.right - r.left, h = r.bottom - r.top;
    const BITMAPINFOHEADER bih{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER fh{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
    std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bih), sizeof bih);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size() * 4));
}

// The screen rectangle of a control that shows.
bool ShownRect(TControl* c, RECT& r) {
    if (!c->Visible() || !c->Parent()) return false;
    for (TWinControl* p = c->Parent(); p; p = p->Parent())
        if (!p->Visible()) return false;
    TPoint tl = c->Parent()->ClientToScreen(TPoint{c->Left(), c->Top()});
    r = RECT{tl.x, tl.y, tl.x + c->Width(), tl.y + c->Height()};
    return true;
}

// Every fault of the controls that show: a caption wider than its label, a
// control outside its parent, two siblings over each other.
std::vector<std::string> LayoutFaults(TWinControl* root) {
    std::vector<std::string> faults;
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* c = root->Controls(i);
        RECT r{};
        if (!ShownRect(c, r)) continue;
        const std::string who = c->Name().empty() ? "a control in " + root->Name() : c->Name();
        if (c->Left() < 0 || c->Top() < 0 || c->Left() + c->Width() > root->ClientWidth() ||
            c->Top() + c->Height() > root->ClientHeight())
            faults.push_back(who + " reaches outside " + root->Name());
        if (auto* l = dynamic_cast<TLabel*>(c); l && !l->WordWrap()) {
            TControlCanvas canvas;
            canvas.SetControl(root);
            canvas.Font()->Assign(l->Font());
            if (canvas.TextWidth(l->Caption()) > l->Width())
                faults.push_back("the caption \"" + l->Caption() + "\" is cut");
        }
        for (int j = i + 1; j < root->ControlCount(); ++j) {
            RECT o{}, both{};
            // The panels of one page are stacked on purpose: one in front at a time.
            if (c->Align() == alClient && root->Controls(j)->Align() == alClient) continue;
            if (ShownRect(root->Controls(j), o) && IntersectRect(&both, &r, &o))
                faults.push_back(who + " and " + root->Controls(j)->Name() + " overlap");
        }
        // A scroller's parts lie over each other by design (the thumb on
        // its track): the scroller is one control here.
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !dynamic_cast<controls::TZevScroller*>(c)) {
            auto inner = LayoutFaults(w);
            faults.insert(faults.end(), inner.begin(), inner.end());
        }
    }
    return faults;
}

// A left click in the middle of a windowless button, as the mouse makes it.
void ClickAt(TControl* c) {
    const LPARAM at = MAKELPARAM(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2);
    SendMessageA(c->Parent()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(c->Parent()->Handle(), WM_LBUTTONUP, 0, at);
}

class PagesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        MainForm->SetBounds(20, 20, 640, 347);
        MainForm->Show();
        ASSERT_TRUE(vsk::test::PumpUntil([] { return IsWindowVisible(MainForm->Handle()) != 0; }));
    }
};

}  // namespace

TEST_F(PagesTest, ButtonsSwitchPagesAndPanelsAndMoveTheFocus) {
    struct Step {
        const char* what;
        TControl* button;
        TTabSheet* page;
        TWinControl* panel;    // in front on the page (null: none)
        TWinControl* focused;  // null: the focus is not checked
        int helpContext;
    };
    const Step steps[] = {
        {"About", MainForm->btnAbout, MainForm->SheetAbout, nullptr, nullptr, 1030},
        {"Windows", MainForm->btnWindows, MainForm->SheetWindows, nullptr, nullptr, 1001},
        {"Extra Settings", MainForm->btnOptions, MainForm->SheetOptions, MainForm->pnlGeneral, MainForm->SheetOptions,
         1010},
        {"Shortcuts", MainForm->btnKeyaboard, MainForm->SheetOptions, MainForm->pnlKeyboard, MainForm->cbWinCtrl, 1013},
        {"Sound", MainForm->btnSound, MainForm->SheetOptions, MainForm->pnlSound, nullptr, 1012},
        {"Display", MainForm->btnDisplay, MainForm->SheetOptions, MainForm->pnlDisplay, nullptr, 1014},
        {"General", MainForm->btnGeneral, MainForm->SheetOptions, MainForm->pnlGeneral, nullptr, 1011},
    };
    for (const Step& s : steps) {
        ClickAt(s.button);
        vsk::test::PumpUntil([&] { return MainForm->MainPageControl->ActivePage() == s.page; }, 2000);
        EXPECT_EQ(MainForm->MainPageControl->ActivePage(), s.page) << s.what;
        EXPECT_EQ(s.page->HelpContext() == s.helpContext || s.button->HelpContext() == s.helpContext, true) << s.what;
        if (s.panel) {
            // The panel in front is the only one shown: a covered one would
            // keep its Tab stops.
            for (TWinControl* p :
                 {MainForm->pnlGeneral, MainForm->pnlSound, MainForm->pnlKeyboard, MainForm->pnlDisplay})
                EXPECT_EQ(IsWindowVisible(p->Handle()) != FALSE, p == s.panel)
                    << s.what << ": " << p->Name() << (p == s.panel ? " is hidden" : " shows too");
        }
        if (auto* flat = dynamic_cast<controls::TFlatSpeedButton*>(s.button)) {
            EXPECT_TRUE(flat->Down()) << s.what << ": its button is not down";
        }
        if (auto* page = dynamic_cast<controls::TLbSpeedButton*>(s.button)) {
            EXPECT_TRUE(page->Down()) << s.what << ": its button is not down";
        }
        if (s.focused) {
            vsk::test::PumpUntil([&] { return GetFocus() == s.focused->Handle(); }, 2000);
            EXPECT_EQ(GetFocus(), s.focused->Handle()) << s.what << ": the focus is elsewhere";
        }
    }
}

// The distance from c's right edge to the main window's client area's.
int RightMargin(TControl* c) {
    RECT r{};
    if (!ShownRect(c, r)) return -1;
    RECT client{};
    GetClientRect(MainForm->Handle(), &client);
    MapWindowPoints(MainForm->Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client.right - r.right;
}

TEST_F(PagesTest, EveryPageAndPanelFitsTheSmallestAndTheMaximisedWindow) {
    struct Shot {
        const char* name;
        TControl* pageButton;
        TControl* panelButton;
    };
    const Shot shots[] = {
        {"windows", MainForm->btnWindows, nullptr},
        {"about", MainForm->btnAbout, nullptr},
        {"general", MainForm->btnOptions, MainForm->btnGeneral},
        {"sound", MainForm->btnOptions, MainForm->btnSound},
        {"shortcuts", MainForm->btnOptions, MainForm->btnKeyaboard},
        {"display", MainForm->btnOptions, MainForm->btnDisplay},
    };
    // What keeps to the right edge, the controls that stretch with the
    // window, and what keeps its size (on the page or panel shown first).
    struct Follows {
        const char* shot;
        TControl* control;
        int margin = 0, width = 0, height = 0;
    };
    std::vector<Follows> follows = {{"windows", MainForm->btnHide},
                                    {"windows", MainForm->btnHelp},
                                    {"windows", MainForm->stHeaderLink},
                                    {"windows", MainForm->btnRefreshList},
                                    {"windows", MainForm->ExcludeList},
                                    {"windows", MainForm->BringToTopList},
                                    {"general", MainForm->gbDefaultHotkeys},
                                    {"general", MainForm->btShowLayout},
                                    {"sound", MainForm->gbVolume},
                                    {"shortcuts", MainForm->gbQuickInstructions},
                                    {"display", MainForm->gbDisplayResolution}};
    for (bool maximised : {false, true}) {
        if (maximised) {
            ShowWindow(MainForm->Handle(), SW_MAXIMIZE);
            ASSERT_TRUE(vsk::test::PumpUntil([] { return IsZoomed(MainForm->Handle()) != 0; }));
        }
        for (const Shot& s : shots) {
            const std::string name = std::string(s.name) + (maximised ? "-maximised" : "");
            ClickAt(s.pageButton);
            if (s.panelButton) ClickAt(s.panelButton);
            MainForm->Repaint();
            vsk::test::WaitShown(MainForm->Handle());  // the page painted before a picture is taken
            SaveShot(MainForm->Handle(), name);
            for (const std::string& fault : LayoutFaults(MainForm)) ADD_FAILURE() << name << ": " << fault;
            for (const std::string& fault : vsk::test::TabOrderFaults(MainForm)) ADD_FAILURE() << name << ": " << fault;
            for (Follows& f : follows) {
                if (f.shot != std::string(s.name)) continue;
                if (!maximised) {
                    f.margin = RightMargin(f.control);
                    f.width = f.control->Width();
                    f.height = f.control->Height();
                    continue;
                }
                EXPECT_EQ(RightMargin(f.control), f.margin) << f.control->Name() << " left the right edge";
                if (f.control == MainForm->BringToTopList) {
                    EXPECT_EQ(f.control->Height(), f.height) << "the one-entry list took the new height";
                } else if (f.control == MainForm->ExcludeList) {
                    EXPECT_GT(f.control->Height(), f.height) << "the do-not-hide list did not grow";
                } else if (dynamic_cast<TWinControl*>(f.control) && f.control->Parent() != MainForm->gbSpecialWindows) {
                    EXPECT_GT(f.control->Width(), f.width) << f.control->Name() << " did not grow with the page";
                }
            }
        }
    }
    ShowWindow(MainForm->Handle(), SW_RESTORE);
}

TEST(CenteredOver, KeepsTheWindowOnTheScreenNearEveryEdge) {
    struct Case {
        const char* where;
        TRect main;
        TPoint expected;
    };
    // A 483 x 325 window over a 640 x 347 main window on a 1280 x 1024 screen.
    const Case cases[] = {
        {"middle", Bounds(320, 300, 640, 347), {398, 311}},
        {"left edge", Bounds(-500, 300, 640, 347), {0, 311}},
        {"top edge", Bounds(320, -300, 640, 347), {398, 0}},
        {"right edge", Bounds(1100, 300, 640, 347), {797, 311}},
        {"bottom edge", Bounds(320, 900, 640, 347), {398, 699}},
        {"bottom right corner", Bounds(1200, 1000, 640, 347), {797, 699}},
        {"odd difference truncates", Bounds(0, 0, 484, 326), {0, 0}},
    };
    for (const Case& c : cases) {
        const TPoint p = CenteredOver(c.main, 483, 325, 1280, 1024);
        EXPECT_EQ(p.x, c.expected.x) << c.where;
        EXPECT_EQ(p.y, c.expected.y) << c.where;
    }
}

namespace {
// The lowest brightness (0 to 255) inside a control as it shows on the
// screen, its frame left out: on a light face, where its caption shows.
int DarkestInside(TControl* c) {
    constexpr int kFrame = 4;
    RECT r{};
    if (!ShownRect(c, r)) return 255;
    InflateRect(&r, -kFrame, -kFrame);
    int darkest = 255;
    for (uint32_t p : ScreenPixels(r))
        darkest =
            std::min<int>(darkest, ((p & 0xFF) * 114 + ((p >> 8) & 0xFF) * 587 + ((p >> 16) & 0xFF) * 299) / 1000);
    return darkest;
}
}  // namespace

TEST_F(PagesTest, HotKeyPictureOpensModelessOverTheMainWindowAndOnTheScreen) {
    Application->CreateForm(FormKeyboardLayour);
    for (int x : {-400, 1000}) {
        MainForm->SetBounds(x, 900, 640, 347);
        MainForm->btShowLayout->Click();
        ASSERT_TRUE(vsk::test::PumpUntil([] { return FormKeyboardLayour->Visible(); }));
        RECT r{};
        GetWindowRect(FormKeyboardLayour->Handle(), &r);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(FormKeyboardLayour->imgHotkeys->Picture()->Graphic()->Width(), 481);
        ASSERT_TRUE(vsk::test::WaitShown(FormKeyboardLayour->Handle()));
        EXPECT_LT(DarkestInside(FormKeyboardLayour->btnExit), 128) << "the Close button's caption does not show";
        FormKeyboardLayour->btnExit->Click();
        EXPECT_TRUE(vsk::test::PumpUntil([] { return !FormKeyboardLayour->Visible(); }));
    }
    TComponent::Free(FormKeyboardLayour);
    FormKeyboardLayour = nullptr;
}

namespace {
// A control that counts its paints.
class TPaintCounter : public TCustomControl {
public:
    explicit TPaintCounter(TComponent* AOwner) : TCustomControl(AOwner) {}
    int paints = 0;

protected:
    void Paint() override { ++paints; }
};
}  // namespace

// Presses the left button on the splitter, moves to x on the page and lets go.
void DragSplitter(int x) {
    HWND page = MainForm->SheetWindows->Handle();
    const int from = MainForm->FlatSplitter->Left() + 1;
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, 50));
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((from + x) / 2, 50));
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 50));
    SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(x, 50));
}

TEST_F(PagesTest, MovingTheSplitterRepaintsTheControls) {
    auto* deep = TComponent::Create<TPaintCounter>(MainForm);
    deep->SetParent(MainForm->pnlRight);
    deep->SetBounds(0, 0, 10, 10);
    vsk::test::PumpUntil([&] { return deep->paints > 0; });
    ValidateRect(deep->Handle(), nullptr);
    const int before = deep->paints;
    const int leftWidth = MainForm->pnlLeft->Width();
    // A drag of the bar 40 pixels to the right.
    DragSplitter(MainForm->FlatSplitter->Left() + 41);
    EXPECT_EQ(MainForm->pnlLeft->Width(), leftWidth + 40);
    EXPECT_GT(deep->paints, before) << "a control of the main window was not repainted";
    // Far to the left the left panel keeps its smallest width.
    DragSplitter(2);
    EXPECT_EQ(MainForm->pnlLeft->Width(), 306);
}

// ---------------------------------------------------------------- password

namespace {

using vsk::test::DrivePasswordDialog;
using vsk::test::PasswordDialogRun;

// A left click on a check box, as the mouse makes it (the pointer comes in first).
void ClickBox(TWinControl* box) {
    const LPARAM at = MAKELPARAM(5, 5);
    SendMessageA(box->Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, at);
}

// Cancels the set-password dialog should it open while alive: a modal loop
// nobody answers would hold the test.
struct UnexpectedDialogGuard {
    bool opened = false;
    TTimer* timer;
    UnexpectedDialogGuard() {
        timer = TComponent::Create<TTimer>(nullptr);
        timer->SetInterval(50);
        timer->OnTimer = TNotifyEvent(this, &UnexpectedDialogGuard::Tick);
    }
    ~UnexpectedDialogGuard() { TComponent::Free(timer); }
    void Tick(TObject*) {
        if (FormSetAppPassword && FormSetAppPassword->Visible()) {
            opened = true;
            FormSetAppPassword->SetModalResult(mrCancel);
        }
    }
};

class PasswordTest : public PagesTest {
protected:
    void SetUp() override {
        PagesTest::SetUp();
        Application->CreateForm(FormSetAppPassword);
        AppPassword.clear();
        ClickAt(MainForm->btnOptions);
        ClickAt(MainForm->btnGeneral);
    }
    void TearDown() override {
        TComponent::Free(FormSetAppPassword);
        FormSetAppPassword = nullptr;
        PagesTest::TearDown();
    }
    // Runs action on this thread while the dialog is driven from another.
    template <class Action>
    PasswordDialogRun WithDialog(const std::string& a, const std::string& b, const char* caption, Action action) {
        PasswordDialogRun run;
        std::atomic<bool> done{false};
        std::thread driver([&] {
            run = DrivePasswordDialog(a, b, caption);
            done = true;
        });
        action();
        // The driver may still ask this thread's windows for their text.
        vsk::test::PumpUntil([&] { return done.load(); }, 15000);
        driver.join();
        return run;
    }
};

}  // namespace

TEST_F(PasswordTest, SetPasswordChecksTheEntries) {
    struct Case {
        const char* what;
        std::string first, second;
        const char* caption;  // of the message (null: none)
        const char* text;
        bool set;
    };
    const Case cases[] = {
        {"different", "abc", "abd", "Error", "The passwords do not match!\n\rPlease correct.", false},
        {"different case", "Secret", "secret", "Error", "The passwords do not match!\n\rPlease correct.", false},
        {"both empty", "", "", "Warning", "Please fill all the fields.", false},
        {"too long", std::string(257, 'p'), std::string(257, 'p'), "Error",
         "The password is too long: a password may have at most 256 characters.\n\rPlease correct.", false},
        {"equal", "Open Sesame", "Open Sesame", nullptr, nullptr, true},
    };
    for (const Case& c : cases) {
        AppPassword.clear();
        SetCheckedSilently(MainForm->cbAppPassword, false);
        PasswordDialogRun run = WithDialog(c.first, c.second, c.caption, [] { ClickAt(MainForm->btnSetAppPassword); });
        if (c.caption) {
            EXPECT_TRUE(run.message.clicked) << c.what << ": " << vsk::test::Describe(run.message);
            bool hasText = false;
            for (const std::string& t : run.message.texts) hasText = hasText || t == c.text;
            EXPECT_TRUE(hasText) << c.what << ": " << vsk::test::Describe(run.message);
            EXPECT_FALSE(run.closedByOk) << c.what << ": the dialog closed";
        }
        EXPECT_EQ(AppPassword, c.set ? c.first : std::string()) << c.what;
        EXPECT_EQ(MainForm->cbAppPassword->Checked(), c.set) << c.what;
    }
    // The entries keep their text for the next use.
    EXPECT_EQ(FormSetAppPassword->edPassword->Text(), "Open Sesame");
}

TEST_F(PasswordTest, AClickOnTheBoxRemovesThePasswordOrAsksForOne) {
    struct Case {
        const char* what;
        bool ticked;  // the box and a password before
        bool bySpace;
        bool dialogExpected;  // the set-password dialog opens (and is answered "pw"/"pw")
        bool tickedAfter;
    };
    const Case cases[] = {
        {"mouse on the ticked box", true, false, false, false},
        {"mouse on the unticked box", false, false, true, true},
        {"Space on the ticked box", true, true, false, false},
        {"Space on the unticked box", false, true, true, true},
    };
    for (const Case& c : cases) {
        AppPassword = c.ticked ? "old" : "";
        SetCheckedSilently(MainForm->cbAppPassword, c.ticked);
        SetForegroundWindow(MainForm->Handle());
        MainForm->cbAppPassword->SetFocus();
        ASSERT_TRUE(vsk::test::PumpUntil([] { return GetFocus() == MainForm->cbAppPassword->Handle(); }, 2000))
            << c.what << ": the box has no focus";
        HWND box = MainForm->cbAppPassword->Handle();
        auto act = [&] {
            if (c.bySpace) {
                // Posted, as typed keys arrive: the message loop translates
                // the key into the character the form hands to the box.
                PostMessageA(box, WM_KEYDOWN, VK_SPACE, 0x00390001);
                PostMessageA(box, WM_KEYUP, VK_SPACE, 0xC0390001);
            } else {
                ClickBox(MainForm->cbAppPassword);
            }
        };
        MSG probe;
        auto keysHandled = [&] { return !PeekMessageA(&probe, box, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE); };
        if (c.dialogExpected) {
            PasswordDialogRun run = WithDialog("pw", "pw", nullptr, act);
            EXPECT_TRUE(run.closedByOk) << c.what << ": the dialog did not close by Ok";
            EXPECT_EQ(AppPassword, "pw") << c.what;
        } else {
            UnexpectedDialogGuard guard;
            act();
            vsk::test::PumpUntil([&] { return keysHandled() && AppPassword.empty(); }, 2000);
            EXPECT_FALSE(guard.opened) << c.what << ": a dialog opened";
            EXPECT_EQ(AppPassword, "") << c.what;
        }
        ASSERT_TRUE(vsk::test::PumpUntil(keysHandled, 2000)) << c.what;
        EXPECT_EQ(MainForm->cbAppPassword->Checked(), c.tickedAfter) << c.what;
    }
    // The next save stores the empty value.
    AppPassword = "old";
    SetCheckedSilently(MainForm->cbAppPassword, true);
    ClickBox(MainForm->cbAppPassword);
    MainForm->SaveSettings();
    EXPECT_EQ(core::ReadStoredPassword().Value, "");
}

// ---------------------------------------------------------------- wallpaper

TEST_F(PagesTest, WallpaperRemovedFromTheWindowsPageComesBackWhenTheProgramEnds) {
    const std::wstring beach = L"C:\\Pictures\\Beach.bmp";
    vsk::test::FakeWallpaper desk(beach);
    auto pressBackground = [] {
        HWND sheet = MainForm->SheetWindows->Handle();
        SendMessageA(sheet, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(sheet, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    };
    ASSERT_EQ(MainForm->MainPageControl->ActivePage(), MainForm->SheetWindows);
    pressBackground();
    EXPECT_TRUE(desk.current.empty()) << "the press left the wallpaper";
    pressBackground();
    TComponent::Free(MainForm);  // the program's end
    MainForm = nullptr;
    EXPECT_EQ(desk.current, beach) << "the wallpaper did not come back at the end";
    EXPECT_EQ(vsk::test::FakeWallpaper::Record(), L"<none>") << "the record outlived the restore";

    // A run that ended without putting it back: the next start does.
    ASSERT_TRUE(vsk::test::FakeWallpaper::Leave(beach));
    desk.current.clear();
    Application->CreateForm(MainForm);
    EXPECT_EQ(desk.current, beach) << "the start did not put the wallpaper back";

    // Without a desktop object a press does nothing, and says nothing.
    std::vector<std::string> said;
    TMessageDlgHook previous = SetMessageDlgHook([&](const MessageDlgCall& c) -> std::optional<int> {
        said.push_back(c.Msg);
        return mrOk;
    });
    desk.creatable = false;
    pressBackground();
    vsk::test::Drain();
    SetMessageDlgHook(previous);
    EXPECT_EQ(desk.current, beach);
    EXPECT_TRUE(said.empty()) << said.front();
}
