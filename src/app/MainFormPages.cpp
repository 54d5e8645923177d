// The main window's pages and panels: the page buttons, the Windows page's
// splitter and "Special windows" group, the About page, and the Extra
// Settings page's column of panel buttons with the General panel and the
// Shortcuts panel's instructions.
#include <algorithm>

#include "app/Dialogs.h"
#include "app/FormBuilding.h"
#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/SettingsUnit.h"
#include "core/Wallpaper.h"
#include "tbx/PNGBitmap.h"
#include "ui/Application.h"
#include "ui/Graphic.h"
#include "ui/Stream.h"

using namespace ui;
using controls::TFlatGroupBox;
using controls::TFlatSpeedButton;
using controls::TLbSpeedButton;

namespace {

constexpr int kPageButtonGroup = 1;
constexpr int kPanelButtonGroup = 1;
constexpr int kLeftPanelMinWidth = 306;
constexpr int kRightPanelMinWidth = 100;
constexpr int kPageMargin = 4;           // the lists' border
constexpr TColor kLinkColor = 0xCC6600;  // $00BBGGRR: a web link's blue

// A web link: blue, underlined, under a hand.
TLabel* MakeLink(TComponent* owner, TWinControl* parent, const char* name, int x, int y, int w, TNotifyEvent click) {
    auto* l = Make<TLabel>(owner, parent, name, HomePageAddress, x, y, w, 13);
    l->Font()->SetColor(kLinkColor);
    l->Font()->SetStyle(fsUnderline);
    l->SetCursor(LoadCursorA(nullptr, IDC_HAND));
    l->OnClick = click;
    return l;
}

}  // namespace

void TMainForm::BuildPages() {
    // ---- header: the product's web link at the right
    stHeaderLink =
        MakeLink(this, HeaderPanel, "stHeaderLink", 470, 9, 156, TNotifyEvent(this, &TMainForm::stHeaderLinkClick));
    stHeaderLink->SetAnchors(akTop | akRight);

    // ---- the page buttons, one down at a time
    auto pageButton = [&](const char* name, const char* caption, int x, int w, const char* hint,
                          void (TMainForm::*handler)(TObject*)) {
        TLbSpeedButton* b = MakeSpeedButton(ButtonsPanel, name, caption, x, 2, w, 23, hint, handler);
        b->SetGroupIndex(kPageButtonGroup);
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
    MainPageControl->SetTabStop(false);  // without tabs it has nothing to show the focus on
    SheetWindows->SetTabVisible(false);
    SheetOptions->SetTabVisible(false);

    // ---- the Windows page: splitter and special windows
    // The same margin as the lists above.
    pnlSpecialWindows = MakePanel(this, SheetWindows, "pnlSpecialWindows", alBottom, 40 + 2 * kPageMargin);
    pnlSpecialWindows->SetBorderWidth(kPageMargin);
    gbSpecialWindows =
        Make<TFlatGroupBox>(this, pnlSpecialWindows, "gbSpecialWindows", "Special windows", 0, 0, 100, 40);
    gbSpecialWindows->SetAlign(alClient);
    cbHideDeskTop = MakeCheck(gbSpecialWindows, "cbHideDeskTop", "Hide Desktop Icons", 10, 17, 130,
                              "Hide the icons on the desktop when the hot key is pressed");
    cbHideTaskBar = MakeCheck(gbSpecialWindows, "cbHideTaskBar", "Hide Taskbar", 150, 17, 100,
                              "Hide the taskbar when the hot key is pressed");
    cbHideTray = MakeCheck(gbSpecialWindows, "cbHideTray", "Hide Tray Icons", 262, 17, 120,
                           "Hide the tray icons when the hot key is pressed");

    SheetWindows->OnMouseDown = TMouseEvent(this, &TMainForm::SheetWindowsMouseDown);
    SheetWindows->OnResize = TNotifyEvent(this, &TMainForm::SheetWindowsResize);

    FlatSplitter = Make<controls::TFlatSplitter>(this, SheetWindows, "FlatSplitter");
    FlatSplitter->SetBounds(pnlLeft->Left() + pnlLeft->Width(), 0, 4, 100);
    FlatSplitter->SetAlign(alLeft);
    FlatSplitter->SetMinSize(kRightPanelMinWidth);
    FlatSplitter->OnMoved = TNotifyEvent(this, &TMainForm::FlatSplitterMoved);

    // ---- the About page
    SheetAbout = MakeSheet("SheetAbout", "About", 1030);
    SheetAbout->SetPageIndex(0);
    SheetAbout->SetTabVisible(false);
    pnlAbout = Make<controls::TKstGradientPanel>(this, SheetAbout, "pnlAbout");
    pnlAbout->SetAlign(alClient);
    pnlAbout->SetStartColor(8745304);
    pnlAbout->SetEndColor(clWindow);
    pnlAbout->SetGradientStyle(controls::gsDiagonalRightLeft);
    pnlAboutFrame = Make<controls::TFlatPanel>(this, pnlAbout, "pnlAboutFrame", "", 16, 16, 420, 150);
    // The gradient's light caption colour would make the texts unreadable on
    // the frame's face.
    pnlAboutFrame->Font()->SetColor(clWindowText);
    imgLogo = Make<TImage>(this, pnlAboutFrame, "imgLogo");
    imgLogo->SetBounds(16, 14, 195, 30);
    imgLogo->SetTransparent(true);
    {
        // The logo is the header's picture: the program's name.
        tbx::TPNGBitmap logo;
        TResourceStream stream(GetModuleHandleA(nullptr), 1, RT_RCDATA);
        logo.LoadFromStream(&stream);
        imgLogo->Picture()->SetGraphic(&logo);
    }
    stAboutVersion = Make<TLabel>(this, pnlAboutFrame, "stAboutVersion", "Version 4.4", 16, 54, 200, 13);
    stCompanyInfo = MakeWrappedLabel(this, pnlAboutFrame, "stCompanyInfo",
                                     "Veskara hides your open windows at a keystroke and brings them back at the "
                                     "next. Made by the Veskara project; free to use.",
                                     16, 76, 388, 30);
    stCompanyLink = MakeLink(this, pnlAboutFrame, "stCompanyLink", 16, 116, 200,
                             TNotifyEvent(this, &TMainForm::stCompanyLinkClick));

    // ---- the Extra Settings page: the panel buttons
    pnlButtons = MakePanel(this, SheetOptions, "pnlButtons", alLeft, 96);
    int row = 0;
    auto panelButton = [&](const char* name, const char* caption, int helpContext,
                           void (TMainForm::*handler)(TObject*)) {
        auto* b = Make<TFlatSpeedButton>(this, pnlButtons, name, caption, 6, 6 + 30 * row++, 84, 26);
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
    btnSetAppPassword = MakeSpeedButton(pnlGeneral, "btnSetAppPassword", "Set Password", 316, 26, 110, 22,
                                        "Click to set a password.", &TMainForm::btnSetAppPasswordClick);
    cbAppPassword->OnClick = TNotifyEvent(this, &TMainForm::cbAppPasswordClick);
    cbHideNewlyCreatedWindows =
        MakeCheck(pnlGeneral, "cbHideNewlyCreatedWindows", "Hide newly created windows while in HIDE mode", 8, 50, 300,
                  "Use this option to prevent the newly created windows from being displayed on the screen.");
    cbHideWallapaper = MakeCheck(pnlGeneral, "cbHideWallapaper", "Hide wallpaper", 8, 92, 300,
                                 "Use this option to hide your wallpaper image when the hot key is pressed");
    gbDefaultHotkeys = Make<TFlatGroupBox>(this, pnlGeneral, "gbDefaultHotkeys", "Default Hotkeys", 8, 118, 520, 84);
    gbDefaultHotkeys->SetAnchors(akLeft | akTop | akRight);
    Make<TLabel>(this, gbDefaultHotkeys, nullptr, "Hide/Restore Windows - Ctrl + `", 12, 20, 300, 13);
    Make<TLabel>(this, gbDefaultHotkeys, nullptr, "Hide/Show Program - Ctrl + \\", 12, 40, 300, 13);
    Make<TLabel>(this, gbDefaultHotkeys, nullptr, "Start Secreensaver - F12", 12, 60, 300, 13);
    btShowLayout = MakeSpeedButton(gbDefaultHotkeys, "btShowLayout", "Show Hotkeys Layout", 360, 34, 144, 25, nullptr,
                                   &TMainForm::btShowLayoutClick);
    btShowLayout->SetAnchors(akTop | akRight);

    // ---- the Shortcuts panel's instructions, beside the hot-key groups
    pnlKeyboard->SetHelpContext(1013);
    gbQuickInstructions =
        Make<TFlatGroupBox>(this, pnlKeyboard, "gbQuickInstructions", "Quick instructions", 372, 4, 156, 216);
    gbQuickInstructions->SetAnchors(akLeft | akTop | akRight);
    lbQuickInstructions = MakeWrappedLabel(this, gbQuickInstructions, nullptr,
                                           "Click in one of the edit boxes (white fields) and press the key of your "
                                           "choice. The key name will be displayed in the field. Click the button "
                                           "with the mouse icon to set a mouse shortcut for the action. Hide the "
                                           "application and try the new shortcuts.",
                                           8, 18, 140, 180);
    lbQuickInstructions->SetAnchors(akLeft | akTop | akRight);
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
        if (TWinControl* first = Panel->FindNextControl(nullptr, true, true, false))
            first->SetFocus();
        else if (SheetOptions->CanFocus())
            SheetOptions->SetFocus();
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
    leftShare_ = static_cast<double>(pnlLeft->Width()) / SheetWindows->ClientWidth();
    RepaintAllControls(this);
}

void TMainForm::SheetWindowsResize(TObject*) {
    // The page's first sizes come while the form is laid out.
    const int width = SheetWindows->ClientWidth();
    if (HasState(csLoading) || width <= 0) return;
    if (leftShare_ <= 0) {
        leftShare_ = static_cast<double>(pnlLeft->Width()) / width;
        return;
    }
    const int most = width - FlatSplitter->Width() - kRightPanelMinWidth;
    pnlLeft->SetWidth(std::max(kLeftPanelMinWidth, std::min(most, static_cast<int>(leftShare_ * width + 0.5))));
}

void TMainForm::FormKeyDown(TObject*, WORD&, TShiftState) {}

void TMainForm::SheetWindowsMouseDown(TObject*, TMouseButton, TShiftState, int, int) { core::HideWallpaper(); }
