#include "app/MainForm.h"

#include <map>

#include "app/FormBuilding.h"
#include "app/GlobalUnit.h"
#include "app/ItemData.h"
#include "core/AudioUnit.h"
#include "core/ExcludeEntry.h"
#include "core/RegistryValues.h"
#include "core/Wallpaper.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Exception.h"
#include "ui/GdiObjects.h"

TMainForm* MainForm = nullptr;

using namespace ui;
using controls::TFlatCheckBox;
using controls::TFlatEdit;

// ---------------------------------------------------------------- building

TFlatCheckBox* TMainForm::MakeCheck(TWinControl* parent, const char* name, const char* caption, int x, int y, int w,
                                    const char* hint) {
    auto* c = Make<TFlatCheckBox>(this, parent, name, caption, x, y, w, 17);
    if (hint) GiveHint(c, hint);
    return c;
}

controls::TLbSpeedButton* TMainForm::MakeSpeedButton(TWinControl* parent, const char* name, const char* caption, int x,
                                                     int y, int w, int h, const char* hint,
                                                     void (TMainForm::*click)(TObject*)) {
    auto* b = Make<controls::TLbSpeedButton>(this, parent, name, caption, x, y, w, h);
    if (hint) GiveHint(b, hint);
    b->OnClick = TNotifyEvent(this, click);
    return b;
}

THotKeyRow TMainForm::MakeHotKeyRow(TGroupBox* group, const std::string& boxes, const char* edit, const char* key) {
    THotKeyRow row;
    row.Ctrl = MakeCheck(group, (boxes + "Ctrl").c_str(), "Ctrl", 10, 20, 44);
    row.Alt = MakeCheck(group, (boxes + "Alt").c_str(), "Alt", 56, 20, 38);
    row.Shift = MakeCheck(group, (boxes + "Shift").c_str(), "Shift", 96, 20, 46);
    row.Win = MakeCheck(group, (boxes + "Win").c_str(), "Win", 144, 20, 42);
    row.Key = Make<TFlatEdit>(this, group, edit, key, 190, 18, 90, 19);
    GiveHint(row.Key, "Click in this field and hit the key of your choice. Please click outside the box using your "
                      "mouse before hitting any other keys.");
    row.Key->OnKeyPress = TKeyPressEvent(this, &TMainForm::edHkWindowsKeyKeyPress);
    // Reached with the mouse only, as its hint says: every key pressed in
    // the field becomes its key, so the Tab that would leave it again would
    // change the hot key.
    row.Key->SetTabStop(false);
    return row;
}

TLabel* TMainForm::MakeListCaption(TWinControl* parent, const char* caption) {
    auto* l = Make<TLabel>(this, parent, nullptr);
    l->SetHeight(18);
    l->SetAlign(alTop);
    l->SetCaption(caption);
    return l;
}

TListView* TMainForm::MakeList(TWinControl* parent, const char* name,
                               std::initializer_list<std::pair<const char*, int>> columns, bool sorted) {
    auto* l = Make<TListView>(this, parent, name);
    l->SetViewStyle(vsReport);
    l->SetRowSelect(true);
    l->SetReadOnly(true);
    l->SetColumnClick(false);
    l->SetGridLines(true);
    l->SetFlatScrollBars(true);
    l->SetHideSelection(false);
    for (auto& [caption, width] : columns) {
        TListColumn* c = l->Columns()->Add();
        c->SetCaption(caption);
        c->SetWidth(width);
    }
    if (sorted) l->SetSortType(stText);
    l->SetAlign(alClient);
    return l;
}

TTabSheet* TMainForm::MakeSheet(const char* name, const char* caption, int helpContext) {
    auto* s = MakeNamed<TTabSheet>(this, name);
    s->SetPageControl(MainPageControl);
    s->SetCaption(caption);
    s->SetHelpContext(helpContext);
    return s;
}

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
    BeginLoading();
    SetName("MainForm");
    SetCaption("Tollamy - Veskara");
    SetBorderIcons(biMinimize | biMaximize);  // no system menu: Terminate ends the program
    SetPosition(poScreenCenter);
    SetHelpContext(1000);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    SetBounds(0, 0, 640, 347);
    SetConstraints(640, 347);

    // Assigning the two handlers loads the hook library and starts the shell
    // and keyboard watching, before FormCreate runs.
    Watch = MakeNamed<core::TWatch>(this, "Watch");
    Watch->SetOnWindowCreated(core::TShellEvent(this, &TMainForm::WatchWindowCreated));
    Watch->SetOnKeyNative(core::TKeyNativeEvent(this, &TMainForm::WatchKeyNative));

    // Before the controls: its walk then finds none of this window's, and the
    // flat look reaches only the dialogs its manager adopts.
    BuildXPMenu();

    ProgramsImageList = MakeNamed<TImageList>(this, "ProgramsImageList");
    MenuImages = MakeNamed<TImageList>(this, "MenuImages");

    HeaderPanel = MakePanel(this, this, "HeaderPanel", alTop, 30);
    CreateHeaderPicture();
    stVersioninfo = Make<TLabel>(this, HeaderPanel, "stVersioninfo", "", 200, 9, 80, 13);

    ButtonsPanel = MakePanel(this, this, "ButtonsPanel", alTop, 27);
    ButtonsPanel->SetTop(30);
    btnHide =
        MakeSpeedButton(ButtonsPanel, "btnHide", "&Hide", 556, 2, 75, 23, "Hide this window", &TMainForm::btnHideClick);
    btnTerminate = MakeSpeedButton(ButtonsPanel, "btnTerminate", "&Terminate", 476, 2, 75, 23, "Stop the application",
                                   &TMainForm::btnTerminateClick);
    btnHide->SetAnchors(akTop | akRight);
    btnTerminate->SetAnchors(akTop | akRight);

    MainPageControl = Make<TPageControl>(this, this, "MainPageControl");
    MainPageControl->SetTop(57);
    MainPageControl->SetAlign(alClient);

    // ---- the Windows page: the three lists
    SheetWindows = MakeSheet("SheetWindows", "Windows", 1001);
    pnlLeft = MakePanel(this, SheetWindows, "pnlLeft", alLeft, 330);
    pnlLeft->SetBorderWidth(4);
    pnlRight = MakePanel(this, SheetWindows, "pnlRight", alClient);
    pnlRight->SetLeft(334);
    pnlRight->SetBorderWidth(4);

    lbAvailable = MakeListCaption(pnlLeft, "Currently visible windows ( Drag And Drop a window )");
    AvailableWindowsList =
        MakeList(pnlLeft, "AvailableWindowsList", {{"Application Name", 100}, {"Window Title", 185}}, true);
    AvailableWindowsList->SetSmallImages(ProgramsImageList);

    // The do-not-hide list takes the room a larger window gives; the
    // bring-to-top list holds one entry.
    pnlExclude = MakePanel(this, pnlRight, "pnlExclude", alClient);
    lbExclude = MakeListCaption(pnlExclude, "Do not hide list (Right click an item for extra options)");
    ExcludeList =
        MakeList(pnlExclude, "ExcludeList", {{"Application Name", 100}, {"Window Title", 150}, {"All", 30}}, true);

    pnlBringToTop = MakePanel(this, pnlRight, "pnlBringToTop", alBottom, 93);
    lbBringToTop = MakeListCaption(pnlBringToTop, "Bring to TOP after hiding windows (execute if not running)");
    BringToTopList =
        MakeList(pnlBringToTop, "BringToTopList", {{"Application Name", 100}, {"Window Title", 185}}, false);

    btnHideAll = Make<TButton>(this, SheetWindows, "btnHideAll");
    btnHideAll->SetCaption("Hide/Restore");
    btnHideAll->SetVisible(false);
    btnHideAll->OnClick = TNotifyEvent(this, &TMainForm::btnHideAllClick);

    // ---- the options page: general options and the hot keys
    SheetOptions = MakeSheet("SheetOptions", "Extra Settings", 1010);
    pnlGeneral = MakePanel(this, SheetOptions, "pnlGeneral", alClient);
    cbCloseActiveWindow =
        MakeCheck(pnlGeneral, "cbCloseActiveWindow", "Close the window that was active before hiding", 8, 71, 300);

    pnlKeyboard = MakePanel(this, SheetOptions, "pnlKeyboard", alClient);
    gbHideWindows = Make<TGroupBox>(this, pnlKeyboard, "gbHideWindows", "Hide/Restore windows hot key", 8, 4, 356, 46);
    HideKeys = MakeHotKeyRow(gbHideWindows, "cbWin", "edHkWindowsKey", "`");
    gbShowProgram = Make<TGroupBox>(this, pnlKeyboard, "gbShowProgram", "Hide/Show program hot key", 8, 54, 356, 46);
    ProgramKeys = MakeHotKeyRow(gbShowProgram, "cbProg", "edHkProgramKey", "\\");
    gbScreenSaver = Make<TGroupBox>(this, pnlKeyboard, "gbScreenSaver", "Start Screen saver", 8, 104, 356, 66);
    SaverKeys = MakeHotKeyRow(gbScreenSaver, "cbSSaver", "edHKSSaverKey", "F12");
    cbLockWorkstation =
        MakeCheck(gbScreenSaver, "cbLockWorkstation", "Lock workstation before starting (Win 2k/XP/NT)", 10, 42, 300);

    BuildSoundPage();

    // The resource's ticks, set while loading so no click handler runs.
    cbWinCtrl->SetChecked(true);
    cbProgCtrl->SetChecked(true);

    BuildSettingsControls();
    BuildMouseCornerControls();
    BuildPages();
    BuildDisplayPanel();
    BuildHelpButton();
    BuildListEditing();

    OnCreate = TNotifyEvent(this, &TMainForm::FormCreate);
    OnCloseQuery = TCloseQueryEvent(this, &TMainForm::FormCloseQuery);
    OnDestroy = TNotifyEvent(this, &TMainForm::FormDestroy);
    EndLoading();
    TabInScreenOrder(this);
    DoCreate();
}

// ---------------------------------------------------------------- life

void TMainForm::FormCreate(TObject*) {
    // A wallpaper removed by a run that could not put it back (it crashed,
    // was killed, or the session ended) comes back now.
    core::RestoreWallpaper();
    for (TWinControl* c : std::initializer_list<TWinControl*>{this, ButtonsPanel, pnlLeft, pnlRight, HeaderPanel,
                                                              pnlGeneral, pnlKeyboard, AvailableWindowsList})
        c->SetDoubleBuffered(true);
    SetCaption(AppTitle);
    Application->SetTitle(AppTitle);
    ConvertImageListTo32Bit(ProgramsImageList);
    RefreshAvailableWindows();
    stVersioninfo->SetCaption("Version 4.4");
    Application->SetHintHidePause(5000);
    Application->SetHelpFile(HelpFilePath);
    cbAutoStart->SetChecked(core::IsAutoStartEnabled());  // an existing value is rewritten with this path
    LoadSettings();
    ShowDisplayModes();
    LoadExcludeLists();
    MainPageControl->SetActivePage(SheetWindows);
    LoadHeaderPicture();
    stVersioninfo->SetLeft(200);
}

std::string TMainForm::SaveAll() {
    // Each file is saved even when another one cannot be.
    std::string failures;
    for (void (TMainForm::*save)() :
         {&TMainForm::SaveExcludeList, &TMainForm::SaveBringToTopList, &TMainForm::SaveSettings}) {
        try {
            (this->*save)();
        } catch (const std::exception& e) {
            failures += e.what();
            failures += ".\n";
        }
    }
    return failures;
}

bool TMainForm::SaveAllOrAsk(const std::string& Question, bool& Unsaved) {
    const std::string failures = SaveAll();
    Unsaved = !failures.empty();
    if (!Unsaved) return true;
    return MessageDlg(failures + "\n" + Question, mtError, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
}

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
    // A folder the user may not write to must not keep the program from
    // ending; No keeps it open, so the user can make room or change rights.
    bool unsaved = false;
    CanClose =
        SaveAllOrAsk("End the program without saving these changes? The files keep what they held before.", unsaved);
    endWithoutSaving_ = CanClose && unsaved;
}

void TMainForm::FormDestroy(TObject*) {
    XPMenuDestroy();
    core::RestoreWallpaper();
    if (HiddenWindowList) {
        core::RestoreSystemVolume(VolumeScale());
        RestoreHiddenWindows();
        TComponent::Free(HiddenWindowList);
        HiddenWindowList = nullptr;
    }
    const std::string failures = ProgramRunning() && !endWithoutSaving_ ? SaveAll() : std::string();
    FreeItems<core::TWinInfo>(AvailableWindowsList);
    FreeItems<core::TExcludeEntry>(ExcludeList);
    FreeItems<core::TExcludeEntry>(BringToTopList);
    if (!failures.empty()) throw Exception(failures);
}

void TMainForm::btnTerminateClick(TObject*) {
    if (MessageDlg("Do you really want to stop using the application?", mtWarning, TMsgDlgButtons{mbYes, mbCancel},
                   0) == mrYes)
        Close();
}

void TMainForm::btnHideClick(TObject*) {
    MessageDlg("To activate this window again use : \n\r" + GetProgramHotKeyText(), mtInformation, TMsgDlgButtons{mbOK},
               0);
    bool unsaved = false;
    if (!SaveAllOrAsk("Hide the window without saving these changes? The files keep what they held before.", unsaved))
        return;
    ToggleMainWindow(true);
}

void TMainForm::WatchWindowCreated(TObject*, HWND, const std::string&) {}

// ---------------------------------------------------------------- lists

void TMainForm::RefreshAvailableWindows() {
    core::FillWindowList(AvailableWindowsList, true);
    LoadWindowIcons();
}

void TMainForm::LoadWindowIcons() {
    ProgramsImageList->Clear();
    // One icon per program file: its windows share the image.
    std::map<std::string, int> byPath;
    TListItems* items = AvailableWindowsList->Items();
    for (int i = 0; i < items->Count(); ++i) {
        auto* info = DataOf<core::TWinInfo>(items->Item(i));
        std::string path = info ? info->ExePath : std::string();
        auto known = byPath.find(path);
        if (known == byPath.end()) {
            int index = -1;
            if (HICON icon = core::GetFileIcon(path, true)) {
                index = ImageList_AddIcon(ProgramsImageList->Handle(), icon);
                DestroyIcon(icon);
            }
            known = byPath.emplace(path, index).first;
        }
        items->Item(i)->SetImageIndex(known->second);
    }
}
