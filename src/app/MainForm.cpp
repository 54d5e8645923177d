#include "app/MainForm.h"

#include <map>

#include "app/GlobalUnit.h"
#include "core/AudioUnit.h"
#include "core/ExcludeEntry.h"
#include "core/RegistryValues.h"
#include "core/Wallpaper.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/GdiObjects.h"

TMainForm* MainForm = nullptr;

using namespace ui;
using controls::TFlatCheckBox;
using controls::TFlatEdit;

// ---------------------------------------------------------------- building

TFlatCheckBox* TMainForm::MakeCheck(TWinControl* parent, const char* name, const char* caption, int x, int y,
                                    int w) {
    auto* c = TComponent::Create<TFlatCheckBox>(this);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(x, y, w, 17);
    c->SetCaption(caption);
    return c;
}

TFlatEdit* TMainForm::MakeHotKeyEdit(TWinControl* parent, const char* name, const char* text, int x, int y) {
    auto* e = TComponent::Create<TFlatEdit>(this);
    e->SetName(name);
    e->SetParent(parent);
    e->SetBounds(x, y, 90, 19);
    e->SetText(text);
    e->SetHint("Click in this field and hit the key of your choice. Please click outside the box using your "
               "mouse before hitting any other keys.");
    e->SetShowHint(true);
    e->OnKeyPress = TKeyPressEvent(this, &TMainForm::edHkWindowsKeyKeyPress);
    // Reached with the mouse only, as its hint says: every key pressed in
    // the field becomes its key, so the Tab that would leave it again would
    // change the hot key.
    e->SetTabStop(false);
    return e;
}

TListView* TMainForm::MakeList(TWinControl* parent, const char* name,
                               std::initializer_list<std::pair<const char*, int>> columns, bool sorted) {
    auto* l = TComponent::Create<TListView>(this);
    l->SetName(name);
    l->SetParent(parent);
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
    return l;
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
    Watch = TComponent::Create<core::TWatch>(this);
    Watch->SetName("Watch");
    Watch->SetOnWindowCreated(core::TShellEvent(this, &TMainForm::WatchWindowCreated));
    Watch->SetOnKeyNative(core::TKeyNativeEvent(this, &TMainForm::WatchKeyNative));

    ProgramsImageList = TComponent::Create<TImageList>(this);
    ProgramsImageList->SetName("ProgramsImageList");
    MenuImages = TComponent::Create<TImageList>(this);
    MenuImages->SetName("MenuImages");

    HeaderPanel = TComponent::Create<TPanel>(this);
    HeaderPanel->SetName("HeaderPanel");
    HeaderPanel->SetParent(this);
    HeaderPanel->SetHeight(30);
    HeaderPanel->SetAlign(alTop);
    HeaderPanel->SetBevelOuter(bvNone);
    HeaderPanel->SetCaption("");
    CreateHeaderPicture();
    stVersioninfo = TComponent::Create<TLabel>(this);
    stVersioninfo->SetName("stVersioninfo");
    stVersioninfo->SetParent(HeaderPanel);
    stVersioninfo->SetBounds(200, 9, 80, 13);

    ButtonsPanel = TComponent::Create<TPanel>(this);
    ButtonsPanel->SetName("ButtonsPanel");
    ButtonsPanel->SetParent(this);
    ButtonsPanel->SetTop(30);
    ButtonsPanel->SetHeight(27);
    ButtonsPanel->SetAlign(alTop);
    ButtonsPanel->SetBevelOuter(bvNone);
    ButtonsPanel->SetCaption("");
    btnHide = TComponent::Create<controls::TLbSpeedButton>(this);
    btnHide->SetName("btnHide");
    btnHide->SetParent(ButtonsPanel);
    btnHide->SetBounds(556, 2, 75, 23);
    btnHide->SetCaption("&Hide");
    btnHide->SetHint("Hide this window");
    btnHide->SetShowHint(true);
    btnHide->OnClick = TNotifyEvent(this, &TMainForm::btnHideClick);
    btnTerminate = TComponent::Create<controls::TLbSpeedButton>(this);
    btnTerminate->SetName("btnTerminate");
    btnTerminate->SetParent(ButtonsPanel);
    btnTerminate->SetBounds(476, 2, 75, 23);
    btnTerminate->SetCaption("&Terminate");
    btnTerminate->SetHint("Stop the application");
    btnTerminate->SetShowHint(true);
    btnTerminate->OnClick = TNotifyEvent(this, &TMainForm::btnTerminateClick);

    MainPageControl = TComponent::Create<TPageControl>(this);
    MainPageControl->SetName("MainPageControl");
    MainPageControl->SetParent(this);
    MainPageControl->SetTop(57);
    MainPageControl->SetAlign(alClient);

    // ---- the Windows page: the three lists
    SheetWindows = TComponent::Create<TTabSheet>(this);
    SheetWindows->SetName("SheetWindows");
    SheetWindows->SetPageControl(MainPageControl);
    SheetWindows->SetCaption("Windows");
    SheetWindows->SetHelpContext(1001);
    pnlLeft = TComponent::Create<TPanel>(this);
    pnlLeft->SetName("pnlLeft");
    pnlLeft->SetParent(SheetWindows);
    pnlLeft->SetWidth(330);
    pnlLeft->SetBorderWidth(4);
    pnlLeft->SetAlign(alLeft);
    pnlLeft->SetBevelOuter(bvNone);
    pnlLeft->SetCaption("");
    pnlRight = TComponent::Create<TPanel>(this);
    pnlRight->SetName("pnlRight");
    pnlRight->SetParent(SheetWindows);
    pnlRight->SetLeft(334);
    pnlRight->SetBorderWidth(4);
    pnlRight->SetAlign(alClient);
    pnlRight->SetBevelOuter(bvNone);
    pnlRight->SetCaption("");

    lbAvailable = MakeListCaption(pnlLeft, "Currently visible windows ( Drag And Drop a window )");
    AvailableWindowsList = MakeList(pnlLeft, "AvailableWindowsList",
                                    {{"Application Name", 100}, {"Window Title", 185}}, true);
    AvailableWindowsList->SetAlign(alClient);
    AvailableWindowsList->SetSmallImages(ProgramsImageList);

    pnlExclude = TComponent::Create<TPanel>(this);
    pnlExclude->SetName("pnlExclude");
    pnlExclude->SetParent(pnlRight);
    pnlExclude->SetHeight(122);
    pnlExclude->SetAlign(alTop);
    pnlExclude->SetBevelOuter(bvNone);
    pnlExclude->SetCaption("");
    lbExclude = MakeListCaption(pnlExclude, "Do not hide list (Right click an item for extra options)");
    ExcludeList = MakeList(pnlExclude, "ExcludeList",
                           {{"Application Name", 100}, {"Window Title", 150}, {"All", 30}}, true);
    ExcludeList->SetAlign(alClient);

    lbBringToTop = MakeListCaption(pnlRight, "Bring to TOP after hiding windows (execute if not running)");
    BringToTopList = MakeList(pnlRight, "BringToTopList", {{"Application Name", 100}, {"Window Title", 185}},
                              false);
    BringToTopList->SetAlign(alClient);

    btnHideAll = TComponent::Create<TButton>(this);
    btnHideAll->SetName("btnHideAll");
    btnHideAll->SetParent(SheetWindows);
    btnHideAll->SetCaption("Hide/Restore");
    btnHideAll->SetVisible(false);
    btnHideAll->OnClick = TNotifyEvent(this, &TMainForm::btnHideAllClick);

    // ---- the options page: general options and the hot keys
    SheetOptions = TComponent::Create<TTabSheet>(this);
    SheetOptions->SetName("SheetOptions");
    SheetOptions->SetPageControl(MainPageControl);
    SheetOptions->SetCaption("Extra Settings");
    SheetOptions->SetHelpContext(1010);
    pnlGeneral = TComponent::Create<TPanel>(this);
    pnlGeneral->SetName("pnlGeneral");
    pnlGeneral->SetParent(SheetOptions);
    pnlGeneral->SetAlign(alClient);
    pnlGeneral->SetBevelOuter(bvNone);
    pnlGeneral->SetCaption("");
    cbCloseActiveWindow = MakeCheck(pnlGeneral, "cbCloseActiveWindow",
                                    "Close the window that was active before hiding", 8, 71, 300);

    pnlKeyboard = TComponent::Create<TPanel>(this);
    pnlKeyboard->SetName("pnlKeyboard");
    pnlKeyboard->SetParent(SheetOptions);
    pnlKeyboard->SetAlign(alClient);
    pnlKeyboard->SetBevelOuter(bvNone);
    pnlKeyboard->SetCaption("");

    auto group = [&](const char* name, const char* caption, int y) {
        auto* g = TComponent::Create<TGroupBox>(this);
        g->SetName(name);
        g->SetParent(pnlKeyboard);
        g->SetBounds(8, y, 356, 46);
        g->SetCaption(caption);
        return g;
    };
    gbHideWindows = group("gbHideWindows", "Hide/Restore windows hot key", 4);
    cbWinCtrl = MakeCheck(gbHideWindows, "cbWinCtrl", "Ctrl", 10, 20, 44);
    cbWinAlt = MakeCheck(gbHideWindows, "cbWinAlt", "Alt", 56, 20, 38);
    cbWinShift = MakeCheck(gbHideWindows, "cbWinShift", "Shift", 96, 20, 46);
    cbWinWin = MakeCheck(gbHideWindows, "cbWinWin", "Win", 144, 20, 42);
    edHkWindowsKey = MakeHotKeyEdit(gbHideWindows, "edHkWindowsKey", "`", 190, 18);

    gbShowProgram = group("gbShowProgram", "Hide/Show program hot key", 54);
    cbProgCtrl = MakeCheck(gbShowProgram, "cbProgCtrl", "Ctrl", 10, 20, 44);
    cbProgAlt = MakeCheck(gbShowProgram, "cbProgAlt", "Alt", 56, 20, 38);
    cbProgShift = MakeCheck(gbShowProgram, "cbProgShift", "Shift", 96, 20, 46);
    cbProgWin = MakeCheck(gbShowProgram, "cbProgWin", "Win", 144, 20, 42);
    edHkProgramKey = MakeHotKeyEdit(gbShowProgram, "edHkProgramKey", "\\", 190, 18);

    gbScreenSaver = group("gbScreenSaver", "Start Screen saver", 104);
    gbScreenSaver->SetHeight(66);
    cbSSaverCtrl = MakeCheck(gbScreenSaver, "cbSSaverCtrl", "Ctrl", 10, 20, 44);
    cbSSaverAlt = MakeCheck(gbScreenSaver, "cbSSaverAlt", "Alt", 56, 20, 38);
    cbSSaverShift = MakeCheck(gbScreenSaver, "cbSSaverShift", "Shift", 96, 20, 46);
    cbSSaverWin = MakeCheck(gbScreenSaver, "cbSSaverWin", "Win", 144, 20, 42);
    edHKSSaverKey = MakeHotKeyEdit(gbScreenSaver, "edHKSSaverKey", "F12", 190, 18);
    cbLockWorkstation = MakeCheck(gbScreenSaver, "cbLockWorkstation",
                                  "Lock workstation before starting (Win 2k/XP/NT)", 10, 42, 300);

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
    BuildXPMenu();  // last: it walks the controls made above

    OnCreate = TNotifyEvent(this, &TMainForm::FormCreate);
    OnCloseQuery = TCloseQueryEvent(this, &TMainForm::FormCloseQuery);
    OnDestroy = TNotifyEvent(this, &TMainForm::FormDestroy);
    EndLoading();
    DoCreate();
}

// ---------------------------------------------------------------- life

void TMainForm::FormCreate(TObject*) {
    // A wallpaper removed by a run that could not put it back (it crashed,
    // was killed, or the session ended) comes back now.
    core::RestoreWallpaper();
    for (TWinControl* c : {static_cast<TWinControl*>(this), static_cast<TWinControl*>(ButtonsPanel),
                           static_cast<TWinControl*>(pnlLeft), static_cast<TWinControl*>(pnlRight),
                           static_cast<TWinControl*>(HeaderPanel), static_cast<TWinControl*>(pnlGeneral),
                           static_cast<TWinControl*>(pnlKeyboard), static_cast<TWinControl*>(AvailableWindowsList)})
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

bool TMainForm::SaveAllOrAsk(const std::string& Question, bool& Unsaved) {
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
    Unsaved = !failures.empty();
    if (!Unsaved) return true;
    return MessageDlg(failures + "\n" + Question, mtError, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
}

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
    // A folder the user may not write to must not keep the program from
    // ending; No keeps it open, so the user can make room or change rights.
    bool unsaved = false;
    CanClose = SaveAllOrAsk("End the program without saving these changes? The files keep what they held before.",
                            unsaved);
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
    if (Application->Tag() != 0 && !endWithoutSaving_) SaveExcludeLists();
    if (Application->Tag() != 0 && !endWithoutSaving_) SaveSettings();
    core::ReleaseWindowList(AvailableWindowsList);
    for (TListView* l : {ExcludeList, BringToTopList}) {
        for (int i = 0; i < l->Items()->Count(); ++i) {
            delete static_cast<core::TExcludeEntry*>(l->Items()->Item(i)->Data());
            l->Items()->Item(i)->SetData(nullptr);
        }
        l->Items()->Clear();
    }
}

void TMainForm::btnTerminateClick(TObject*) {
    if (MessageDlg("Do you really want to stop using the application?", mtWarning, TMsgDlgButtons{mbYes, mbCancel},
                   0) == mrYes)
        Close();
}

void TMainForm::btnHideClick(TObject*) {
    MessageDlg("To activate this window again use : \n\r" + GetProgramHotKeyText(), mtInformation,
               TMsgDlgButtons{mbOK}, 0);
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
        auto* info = static_cast<core::TWinInfo*>(items->Item(i)->Data());
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
