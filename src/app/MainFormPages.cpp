// The main window's pages and panels: the page buttons, the Windows page's
// splitter and "Special windows" group, the About page, and the Extra
// Settings page's column of panel buttons with the General panel and the
// Shortcuts panel's instructions.
#include "app/Dialogs.h"
#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/SettingsUnit.h"
#include "core/Wallpaper.h"
#include "tbx/PNGBitmap.h"
#include "ui/Application.h"
#include "ui/Graphic.h"
#include "ui/Stream.h"

using namespace ui;
using controls::TFlatCheckBox;
using controls::TFlatGroupBox;
using controls::TFlatSpeedButton;
using controls::TLbSpeedButton;

namespace {

constexpr int kPageButtonGroup = 1;
constexpr int kPanelButtonGroup = 1;
constexpr int kLeftPanelMinWidth = 306;
constexpr int kRightPanelMinWidth = 100;
constexpr TColor kLinkColor = 0xCC6600;  // $00BBGGRR: a web link's blue

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const char* caption, int x, int y, int w, int h) {
    auto* l = TComponent::Create<TLabel>(owner);
    l->SetParent(parent);
    l->SetBounds(x, y, w, h);
    l->SetCaption(caption);
    return l;
}

TFlatGroupBox* MakeGroup(TComponent* owner, TWinControl* parent, const char* name, const char* caption, int x, int y,
                         int w, int h) {
    auto* g = TComponent::Create<TFlatGroupBox>(owner);
    g->SetName(name);
    g->SetParent(parent);
    g->SetBounds(x, y, w, h);
    g->SetCaption(caption);
    return g;
}

void GiveHint(TControl* c, const char* hint) {
    c->SetHint(hint);
    c->SetShowHint(true);
}

// A label whose caption wraps inside the given box.
TLabel* MakeWrappedLabel(TComponent* owner, TWinControl* parent, const char* caption, int x, int y, int w, int h) {
    auto* l = TComponent::Create<TLabel>(owner);
    l->SetParent(parent);
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetBounds(x, y, w, h);
    l->SetCaption(caption);
    return l;
}

} // namespace

TLabel* TMainForm::MakeListCaption(TWinControl* parent, const char* caption) {
    auto* l = TComponent::Create<TLabel>(this);
    l->SetParent(parent);
    l->SetHeight(18);
    l->SetAlign(alTop);
    l->SetCaption(caption);
    return l;
}

void TMainForm::BuildPages() {
    // ---- header: the product's web link at the right
    stHeaderLink = MakeLabel(this, HeaderPanel, HomePageAddress, 470, 9, 156, 13);
    stHeaderLink->SetName("stHeaderLink");
    stHeaderLink->Font()->SetColor(kLinkColor);
    stHeaderLink->Font()->SetStyle(fsUnderline);
    stHeaderLink->SetCursor(LoadCursorA(nullptr, IDC_HAND));
    stHeaderLink->OnClick = TNotifyEvent(this, &TMainForm::stHeaderLinkClick);

    // ---- the page buttons, one down at a time
    auto pageButton = [&](const char* name, const char* caption, int x, int w, const char* hint,
                          void (TMainForm::*handler)(TObject*)) {
        auto* b = TComponent::Create<TLbSpeedButton>(this);
        b->SetName(name);
        b->SetParent(ButtonsPanel);
        b->SetBounds(x, 2, w, 23);
        b->SetCaption(caption);
        b->SetGroupIndex(kPageButtonGroup);
        GiveHint(b, hint);
        b->OnClick = TNotifyEvent(this, handler);
        return b;
    };
    btnAbout = pageButton("btnAbout", "&About", 4, 75, "About the product.", &TMainForm::btnAboutClick);
    btnWindows = pageButton("btnWindows", "&Windows", 81, 75, "Display the window behaviour setup panel",
                            &TMainForm::btnWindowsClick);
    btnOptions = pageButton("btnOptions", "&Extra Settings", 158, 95, "Display the extra settings panel",
                            &TMainForm::btnOptionsClick);
    btnWindows->SetDown(true);

    // The pages are chosen by the buttons above, not by tabs.
    MainPageControl->SetStyle(tsFlatButtons);
    SheetWindows->SetTabVisible(false);
    SheetOptions->SetTabVisible(false);

    // ---- the Windows page: splitter and special windows
    gbSpecialWindows = MakeGroup(this, SheetWindows, "gbSpecialWindows", "Special windows", 0, 0, 100, 40);
    gbSpecialWindows->SetAlign(alBottom);
    cbHideDeskTop = MakeCheck(gbSpecialWindows, "cbHideDeskTop", "Hide Desktop Icons", 10, 17, 130);
    GiveHint(cbHideDeskTop, "Hide the icons on the desktop when the hot key is pressed");
    cbHideTaskBar = MakeCheck(gbSpecialWindows, "cbHideTaskBar", "Hide Taskbar", 150, 17, 100);
    GiveHint(cbHideTaskBar, "Hide the taskbar when the hot key is pressed");
    cbHideTray = MakeCheck(gbSpecialWindows, "cbHideTray", "Hide Tray Icons", 262, 17, 120);
    GiveHint(cbHideTray, "Hide the tray icons when the hot key is pressed");

    SheetWindows->OnMouseDown = TMouseEvent(this, &TMainForm::SheetWindowsMouseDown);

    FlatSplitter = TComponent::Create<controls::TFlatSplitter>(this);
    FlatSplitter->SetName("FlatSplitter");
    FlatSplitter->SetParent(SheetWindows);
    FlatSplitter->SetBounds(pnlLeft->Left() + pnlLeft->Width(), 0, 4, 100);
    FlatSplitter->SetAlign(alLeft);
    FlatSplitter->SetMinSize(kRightPanelMinWidth);
    FlatSplitter->OnMoved = TNotifyEvent(this, &TMainForm::FlatSplitterMoved);

    // ---- the About page
    SheetAbout = TComponent::Create<TTabSheet>(this);
    SheetAbout->SetName("SheetAbout");
    SheetAbout->SetPageControl(MainPageControl);
    SheetAbout->SetPageIndex(0);
    SheetAbout->SetCaption("About");
    SheetAbout->SetHelpContext(1030);
    SheetAbout->SetTabVisible(false);
    pnlAbout = TComponent::Create<controls::TKstGradientPanel>(this);
    pnlAbout->SetName("pnlAbout");
    pnlAbout->SetParent(SheetAbout);
    pnlAbout->SetAlign(alClient);
    pnlAbout->SetStartColor(8745304);
    pnlAbout->SetEndColor(clWindow);
    pnlAbout->SetGradientStyle(controls::gsDiagonalRightLeft);
    pnlAboutFrame = TComponent::Create<controls::TFlatPanel>(this);
    pnlAboutFrame->SetName("pnlAboutFrame");
    pnlAboutFrame->SetParent(pnlAbout);
    pnlAboutFrame->SetBounds(16, 16, 420, 150);
    pnlAboutFrame->SetCaption("");
    // The gradient's light caption colour would make the texts unreadable on
    // the frame's face.
    pnlAboutFrame->Font()->SetColor(clWindowText);
    imgLogo = TComponent::Create<TImage>(this);
    imgLogo->SetName("imgLogo");
    imgLogo->SetParent(pnlAboutFrame);
    imgLogo->SetBounds(16, 14, 195, 30);
    imgLogo->SetTransparent(true);
    {
        // The logo is the header's picture: the program's name.
        tbx::TPNGBitmap logo;
        TResourceStream stream(GetModuleHandleA(nullptr), 1, RT_RCDATA);
        logo.LoadFromStream(&stream);
        imgLogo->Picture()->SetGraphic(&logo);
    }
    stAboutVersion = MakeLabel(this, pnlAboutFrame, "Version 4.4", 16, 54, 200, 13);
    stAboutVersion->SetName("stAboutVersion");
    stCompanyInfo = MakeWrappedLabel(this, pnlAboutFrame,
                              "Veskara hides your open windows at a keystroke and brings them back at the "
                              "next. Made by the Veskara project; free to use.",
                              16, 76, 388, 30);
    stCompanyInfo->SetName("stCompanyInfo");
    stCompanyLink = MakeLabel(this, pnlAboutFrame, HomePageAddress, 16, 116, 200, 13);
    stCompanyLink->SetName("stCompanyLink");
    stCompanyLink->Font()->SetColor(kLinkColor);
    stCompanyLink->Font()->SetStyle(fsUnderline);
    stCompanyLink->SetCursor(LoadCursorA(nullptr, IDC_HAND));
    stCompanyLink->OnClick = TNotifyEvent(this, &TMainForm::stCompanyLinkClick);

    // ---- the Extra Settings page: the panel buttons
    pnlButtons = TComponent::Create<TPanel>(this);
    pnlButtons->SetName("pnlButtons");
    pnlButtons->SetParent(SheetOptions);
    pnlButtons->SetWidth(96);
    pnlButtons->SetAlign(alLeft);
    pnlButtons->SetBevelOuter(bvNone);
    pnlButtons->SetCaption("");
    int row = 0;
    auto panelButton = [&](const char* name, const char* caption, int helpContext,
                           void (TMainForm::*handler)(TObject*)) {
        auto* b = TComponent::Create<TFlatSpeedButton>(this);
        b->SetName(name);
        b->SetParent(pnlButtons);
        b->SetBounds(6, 6 + 30 * row++, 84, 26);
        b->SetCaption(caption);
        b->SetGroupIndex(kPanelButtonGroup);
        b->SetHelpContext(helpContext);
        b->OnClick = TNotifyEvent(this, handler);
        return b;
    };
    btnGeneral = panelButton("btnGeneral", "General", 1011, &TMainForm::btnGeneralClick);
    btnSound = panelButton("btnSound", "Sound", 1012, &TMainForm::btnSoundClick);
    btnKeyaboard = panelButton("btnKeyaboard", "Shortcuts", 1013, &TMainForm::btnKeyaboardClick);
    btnDisplay = panelButton("btnDisplay", "Display", 1014, &TMainForm::btnDisplayClick);
    btnGeneral->SetDown(true);

    // ---- the General panel (in front at first)
    pnlGeneral->SetHelpContext(1011);
    btnSetAppPassword = TComponent::Create<TLbSpeedButton>(this);
    btnSetAppPassword->SetName("btnSetAppPassword");
    btnSetAppPassword->SetParent(pnlGeneral);
    btnSetAppPassword->SetBounds(316, 26, 110, 22);
    btnSetAppPassword->SetCaption("Set Password");
    GiveHint(btnSetAppPassword, "Click to set a password.");
    btnSetAppPassword->OnClick = TNotifyEvent(this, &TMainForm::btnSetAppPasswordClick);
    cbAppPassword->OnClick = TNotifyEvent(this, &TMainForm::cbAppPasswordClick);
    cbHideNewlyCreatedWindows = MakeCheck(pnlGeneral, "cbHideNewlyCreatedWindows",
                                          "Hide newly created windows while in HIDE mode", 8, 50, 300);
    GiveHint(cbHideNewlyCreatedWindows,
            "Use this option to prevent the newly created windows from being displayed on the screen.");
    cbHideWallapaper = MakeCheck(pnlGeneral, "cbHideWallapaper", "Hide wallpaper", 8, 92, 300);
    GiveHint(cbHideWallapaper, "Use this option to hide your wallpaper image when the hot key is pressed");
    gbDefaultHotkeys = MakeGroup(this, pnlGeneral, "gbDefaultHotkeys", "Default Hotkeys", 8, 118, 500, 84);
    MakeLabel(this, gbDefaultHotkeys, "Hide/Restore Windows - Ctrl + `", 12, 20, 300, 13);
    MakeLabel(this, gbDefaultHotkeys, "Hide/Show Program - Ctrl + \\", 12, 40, 300, 13);
    MakeLabel(this, gbDefaultHotkeys, "Start Secreensaver - F12", 12, 60, 300, 13);
    btShowLayout = TComponent::Create<TLbSpeedButton>(this);
    btShowLayout->SetName("btShowLayout");
    btShowLayout->SetParent(gbDefaultHotkeys);
    btShowLayout->SetBounds(340, 34, 144, 25);
    btShowLayout->SetCaption("Show Hotkeys Layout");
    btShowLayout->OnClick = TNotifyEvent(this, &TMainForm::btShowLayoutClick);

    // ---- the Shortcuts panel's instructions, beside the hot-key groups
    pnlKeyboard->SetHelpContext(1013);
    gbQuickInstructions = MakeGroup(this, pnlKeyboard, "gbQuickInstructions", "Quick instructions", 372, 4, 150, 216);
    lbQuickInstructions = MakeWrappedLabel(this, gbQuickInstructions,
                                    "Click in one of the edit boxes (white fields) and press the key of your choice. "
                                    "The key name will be displayed in the field. Click the button with the mouse "
                                    "icon to set a mouse shortcut for the action. Hide the application and try the "
                                    "new shortcuts.",
                                    8, 18, 134, 180);
    pnlKeyboard->SetVisible(false);  // the General panel shows first

    SetKeyPreview(false);
    OnKeyDown = TKeyEvent(this, &TMainForm::FormKeyDown);
}

// ---------------------------------------------------------------- handlers

void TMainForm::btnAboutClick(TObject*) { MainPageControl->SetActivePage(SheetAbout); }

void TMainForm::btnWindowsClick(TObject*) { MainPageControl->SetActivePage(SheetWindows); }

void TMainForm::btnOptionsClick(TObject*) {
    MainPageControl->SetActivePage(SheetOptions);
    if (SheetOptions->CanFocus()) SheetOptions->SetFocus();
}

void TMainForm::btnGeneralClick(TObject*) {
    ShowOptionsPanel(pnlGeneral);
    if (cbAutoStart->CanFocus()) cbAutoStart->SetFocus();
}

void TMainForm::ShowOptionsPanel(TPanel* Panel) {
    // The panels lie on top of each other. A panel merely covered would keep
    // its Tab stops and could hold the focus where the user cannot see it,
    // and keys typed there would change settings unseen: only the panel in
    // front is shown.
    TPanel* const panels[] = {pnlGeneral, pnlSound, pnlKeyboard, pnlDisplay};
    const HWND focus = GetFocus();
    bool focusHidden = false;
    for (TPanel* p : panels)
        if (p != Panel && p->HandleAllocated() && focus && IsChild(p->Handle(), focus)) focusHidden = true;
    Panel->SetVisible(true);
    Panel->BringToFront();
    // The focus moves before its panel hides, to the first stop of the panel
    // shown, else to the page.
    if (focusHidden) {
        if (TWinControl* first = Panel->FindNextControl(nullptr, true, true, false)) first->SetFocus();
        else if (SheetOptions->CanFocus()) SheetOptions->SetFocus();
    }
    for (TPanel* p : panels)
        if (p != Panel) p->SetVisible(false);
}

void TMainForm::stHeaderLinkClick(TObject*) { OpenHomePage(); }

void TMainForm::stCompanyLinkClick(TObject*) { OpenHomePage(); }

// ---------------------------------------------------------------- password

void TMainForm::btnSetAppPasswordClick(TObject*) {
    if (!FormSetAppPassword) return;
    CenterOverMainForm(FormSetAppPassword);
    if (FormSetAppPassword->ShowModal() != mrOk) return;
    AppPassword = FormSetAppPassword->edPassword->Text();
    SetCheckedSilently(cbAppPassword, true);
}

void TMainForm::cbAppPasswordClick(TObject*) {
    // A mouse click runs OnClick twice: on the release, with the old state,
    // while the box still tracks the mouse, then from the toggle. Only the
    // toggle acts, so the mouse, Space and the accelerator all do the same:
    // a box just ticked asks for a password, a box just unticked removes it.
    if (cbAppPassword->Tracking()) return;
    if (cbAppPassword->Checked()) {
        btnSetAppPasswordClick(btnSetAppPassword);
    } else {
        AppPassword.clear();
    }
    SetCheckedSilently(cbAppPassword, !AppPassword.empty());
}

void TMainForm::btShowLayoutClick(TObject*) {
    if (!FormKeyboardLayour) return;
    CenterOverMainForm(FormKeyboardLayour);
    FormKeyboardLayour->Show();
}

void TMainForm::FlatSplitterMoved(TObject*) {
    if (pnlLeft->Width() < kLeftPanelMinWidth) pnlLeft->SetWidth(kLeftPanelMinWidth);
    RepaintAllControls(this);
}

void TMainForm::FormKeyDown(TObject*, WORD&, TShiftState) {}

void TMainForm::SheetWindowsMouseDown(TObject*, TMouseButton, TShiftState, int, int) { core::HideWallpaper(); }
