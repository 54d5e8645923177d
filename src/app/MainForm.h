#pragma once
// The main settings window: the lists of windows, the hot keys and the
// options, and the hide/restore toggle behind them.
#include <cstdint>
#include <set>
#include <vector>

#include "app/GlobalUnit.h"
#include "app/HotKeyRow.h"
#include "controls/FlatCheckBox.h"
#include "controls/FlatEdit.h"
#include "controls/FlatGroupBox.h"
#include "controls/FlatSpeedButton.h"
#include "controls/FlatSplitter.h"
#include "controls/KstGradientPanel.h"
#include "controls/LbSpeedButton.h"
#include "controls/ZevScroller.h"
#include "core/ExcludeEntry.h"
#include "core/ListRecords.h"
#include "core/KeyData.h"
#include "core/Watch.h"
#include "core/WindowPrimitives.h"
#include "painters/BarMenus.h"
#include "painters/XPMenu.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "ui/Menus.h"
#include "ui/OpenDialog.h"
#include "ui/PageControl.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"

class TMainForm : public ui::TForm {
public:
    explicit TMainForm(ui::TComponent* AOwner);

    // ---- components
    core::TWatch* Watch;
    ui::TPanel* HeaderPanel;
    ui::TLabel* stVersioninfo;
    ui::TPanel* ButtonsPanel;
    controls::TLbSpeedButton* btnTerminate;
    controls::TLbSpeedButton* btnHide;
    ui::TPageControl* MainPageControl;
    ui::TTabSheet* SheetWindows;
    ui::TTabSheet* SheetOptions;
    ui::TPanel* pnlLeft;
    ui::TPanel* pnlRight;
    ui::TLabel* lbAvailable;
    ui::TListView* AvailableWindowsList;
    ui::TLabel* lbExclude;
    ui::TListView* ExcludeList;
    ui::TLabel* lbBringToTop;
    ui::TListView* BringToTopList;
    ui::TButton* btnHideAll;
    ui::TImageList* ProgramsImageList;
    // The icon column of the lists' popup menus.
    ui::TImageList* MenuImages;
    ui::TPanel* pnlGeneral;
    controls::TFlatCheckBox* cbCloseActiveWindow;
    ui::TPanel* pnlKeyboard;
    ui::TGroupBox* gbHideWindows;
    ui::TGroupBox* gbShowProgram;
    ui::TGroupBox* gbScreenSaver;
    // The three hot keys; each control is reached by its own name too.
    THotKeyRow HideKeys, ProgramKeys, SaverKeys;
    controls::TFlatCheckBox *const &cbWinCtrl = HideKeys.Ctrl, *const &cbWinAlt = HideKeys.Alt,
                                   *const &cbWinShift = HideKeys.Shift, *const &cbWinWin = HideKeys.Win;
    controls::TFlatEdit* const& edHkWindowsKey = HideKeys.Key;
    controls::TFlatCheckBox *const &cbProgCtrl = ProgramKeys.Ctrl, *const &cbProgAlt = ProgramKeys.Alt,
                                   *const &cbProgShift = ProgramKeys.Shift, *const &cbProgWin = ProgramKeys.Win;
    controls::TFlatEdit* const& edHkProgramKey = ProgramKeys.Key;
    controls::TFlatCheckBox *const &cbSSaverCtrl = SaverKeys.Ctrl, *const &cbSSaverAlt = SaverKeys.Alt,
                                   *const &cbSSaverShift = SaverKeys.Shift, *const &cbSSaverWin = SaverKeys.Win;
    controls::TFlatEdit* const& edHKSSaverKey = SaverKeys.Key;
    controls::TFlatCheckBox* cbLockWorkstation;

    // ---- header picture
    ui::TImage* HeaderImage;  // holds a TPNGBitmap from the form's creation
    void CreateHeaderPicture();
    void LoadHeaderPicture();
    // ---- sound
    ui::TPanel* pnlSound;
    controls::TFlatGroupBox* gbVolume;
    controls::TZevScroller* SliderGlobalVolume;      // indicator of the system volume; its Max is the scale
    controls::TFlatCheckBox* cbGlobalVolumMuted;     // indicator of the system mute state
    controls::TZevScroller* sliderSelectedVolume;    // the desired volume, upside down
    controls::TFlatCheckBox* cbSelectedVolumeMuted;  // the desired mute state
    controls::TLbSpeedButton* btnGetVolume;
    controls::TLbSpeedButton* btnTestSound;
    void BuildSoundPage();
    void btnGetVolumeClick(ui::TObject* Sender);
    void btnTestSoundClick(ui::TObject* Sender);
    void sliderSelectedVolumeChange(ui::TObject* Sender, int ScrollPos);
    void cbSelevtedVolumeMutedClick(ui::TObject* Sender);
    void btnSoundClick(ui::TObject* Sender);
    void SheetOptionsShow(ui::TObject* Sender);
    // The system volume and mute into the indicator.
    void ShowCurrentVolume();
    // DesiredVolume and DesiredMuted into the desired-volume slider and box.
    void ShowDesiredVolume();
    // The program's volume scale: the indicator's Max.
    int VolumeScale() const { return SliderGlobalVolume->Max(); }
    // ---- bar menus
    // A popup menu of this window, owned by it, in the window's menu look.
    painters::TBcBarPopupMenu* MakeBarPopupMenu(const char* Name);

    // ---- XP look
    painters::TXPMenu* XPMenu1 = nullptr;
    void BuildXPMenu();
    // Switches the flat look off while the window goes.
    void XPMenuDestroy();

    // ---- handlers
    void FormCreate(ui::TObject* Sender);
    void FormCloseQuery(ui::TObject* Sender, bool& CanClose);
    void FormDestroy(ui::TObject* Sender);
    void btnTerminateClick(ui::TObject* Sender);
    void btnHideClick(ui::TObject* Sender);
    void btnHideAllClick(ui::TObject* Sender);
    void WatchKeyNative(ui::TObject* Sender, WPARAM wParam, LPARAM lParam);
    void WatchWindowCreated(ui::TObject* Sender, HWND Handle, const std::string& AppName);
    void edHkWindowsKeyKeyPress(ui::TObject* Sender, char& Key);

    // ---- hide and restore
    void HideAllWindows();
    void HideWindowUnlessExcluded(core::TWinInfo& Info);
    void BringProgramToTop();
    void RefreshAvailableWindows();
    void LoadWindowIcons();
    // Set when the windows came back while the main window was hidden: its
    // list is refreshed when it is shown, not for nobody to see.
    bool AvailableWindowsStale = false;

    // ---- lists
    ui::TButton* btnRefreshList;
    painters::TBcBarPopupMenu* popMenuAvailableWindows;
    ui::TMenuItem* mnAddToDoNotHideList;
    ui::TMenuItem* mnRefreshList;
    painters::TBcBarPopupMenu* popMenuDoNotHideList;
    ui::TMenuItem* mnAllWindows;
    ui::TMenuItem* mnRemoveSelectedEntry;
    ui::TMenuItem* mnClearDoNotHideList;
    ui::TMenuItem* mnAddApplicationFromDisk;
    painters::TBcBarPopupMenu* PopMenuBringToTopList;
    ui::TMenuItem* mnClearBringToTopList;
    ui::TOpenDialog* OpenDialog;
    // Builds the lists' menus and wires their drag, key and menu handlers.
    void BuildListEditing();
    // Start-up: both list files. A file that cannot be read is reported
    // once and never saved over while the program runs.
    void LoadExcludeLists();
    // Both list files; raises the input/output error of a failed save.
    void SaveExcludeLists();
    // Saves both lists and the settings, each on its own, so that what can
    // be written is: the failures' texts, or nothing.
    std::string SaveAll();
    // SaveAll, and when some file cannot be written, the user is told which
    // and asked Question (whether to go on without saving it): false when
    // the answer is No; Unsaved tells whether something was left unsaved.
    // Nothing already stored is touched.
    bool SaveAllOrAsk(const std::string& Question, bool& Unsaved);
    void SaveExcludeList() { SaveList(exFile_); }
    void SaveBringToTopList() { SaveList(bttFile_); }
    void AddSelectedToDoNotHideList();
    int FindDoNotHideEntry(ui::TListItem* Item);
    void AddApplicationFromDisk();
    void ToggleAllWindowsFlag();
    void ClearDoNotHideList();
    void ClearBringToTopList();
    void mnRemoveSelectedEntryClick(ui::TObject* Sender);
    void popMenuDoNotHideListPopup(ui::TObject* Sender);
    void ExcludeListDragOver(ui::TObject* Sender, ui::TObject* Source, int X, int Y, ui::TDragState State,
                             bool& Accept);
    void ExcludeListDragDrop(ui::TObject* Sender, ui::TObject* Source, int X, int Y);
    void BringToTopListDragOver(ui::TObject* Sender, ui::TObject* Source, int X, int Y, ui::TDragState State,
                                bool& Accept);
    void BringToTopListDragDrop(ui::TObject* Sender, ui::TObject* Source, int X, int Y);
    void ExcludeListKeyUp(ui::TObject* Sender, WORD& Key, ui::TShiftState Shift);
    void BringToTopListKeyDown(ui::TObject* Sender, WORD& Key, ui::TShiftState Shift);
    void ExcludeEntryDeletion(ui::TObject* Sender, ui::TListItem* Item);
    void mnAddToDoNotHideListClick(ui::TObject* Sender);
    void mnRefreshListClick(ui::TObject* Sender);
    void mnAllWindowsClick(ui::TObject* Sender);
    void mnClearDoNotHideListClick(ui::TObject* Sender);
    void mnAddApplicationFromDiskClick(ui::TObject* Sender);
    void mnClearBringToTopListClick(ui::TObject* Sender);

    // ---- hot keys
    void CheckHideWindowsHotKey();
    void CheckShowProgramHotKey();
    void CheckScreenSaverHotKey();
    // The hot-key text of the Hide/Show program key, as "Ctrl+\".
    std::string GetProgramHotKeyText();

    // ---- settings and registry values
    controls::TFlatCheckBox* cbAutoStart;
    controls::TFlatCheckBox* cbAppPassword;
    void BuildSettingsControls();
    // The settings file and the password value into the controls and
    // globals, and back.
    void LoadSettings();
    void SaveSettings();
    void LoadSoundSettings();
    void cbAutoStartClick(ui::TObject* Sender);

    // ---- mouse corners
    controls::TFlatSpeedButton* btnMouseWinCtrl;
    controls::TFlatSpeedButton* btnMouseSSaverCtrl;
    ui::TTimer* MouseTimer;
    void BuildMouseCornerControls();
    void MouseTimerTimer(ui::TObject* Sender);
    void btnMouseWinCtrlClick(ui::TObject* Sender);
    void btnMouseSSaverCtrlClick(ui::TObject* Sender);

    // ---- display
    controls::TFlatSpeedButton* btnKeyaboard;
    controls::TFlatSpeedButton* btnDisplay;
    ui::TPanel* pnlDisplay;
    ui::TGroupBox* gbDisplayResolution;
    ui::TButton* btnSelectResolution;
    ui::TButton* btnTestResolution;
    controls::TFlatCheckBox* cbSwitchResolution;
    ui::TLabel* lbResolutionInfo;
    controls::TFlatEdit* edResolutionInfo;
    ui::TLabel* lbCurrentResolutionInfo;
    controls::TFlatEdit* edCurrentResolutionInfo;
    painters::TBcBarPopupMenu* popMenuResolutions;
    ui::TMenuItem* mnSelectCurrentDisplayMode;
    void BuildDisplayPanel();
    void ShowDisplayModes();  // the display part of FormCreate
    void ResolutionMenuClick(ui::TObject* Sender);
    void mnSelectCurrentDisplayModeClick(ui::TObject* Sender);
    void btnTestResolutionClick(ui::TObject* Sender);
    void btnSelectResolutionClick(ui::TObject* Sender);
    void btnDisplayClick(ui::TObject* Sender);
    void btnKeyaboardClick(ui::TObject* Sender);

    // ---- help
    controls::TLbSpeedButton* btnHelp;
    void BuildHelpButton();
    void btnHelpClick(ui::TObject* Sender);

    // ---- pages
    controls::TLbSpeedButton* btnAbout;
    controls::TLbSpeedButton* btnWindows;
    controls::TLbSpeedButton* btnOptions;
    ui::TLabel* stHeaderLink;
    ui::TPanel* pnlExclude;
    ui::TPanel* pnlBringToTop;
    controls::TFlatSplitter* FlatSplitter;
    ui::TPanel* pnlSpecialWindows;
    controls::TFlatGroupBox* gbSpecialWindows;
    controls::TFlatCheckBox* cbHideDeskTop;
    controls::TFlatCheckBox* cbHideTaskBar;
    controls::TFlatCheckBox* cbHideTray;
    ui::TTabSheet* SheetAbout;
    controls::TKstGradientPanel* pnlAbout;
    controls::TFlatPanel* pnlAboutFrame;
    ui::TImage* imgLogo;
    ui::TLabel* stAboutVersion;
    ui::TLabel* stCompanyInfo;
    ui::TLabel* stCompanyLink;
    ui::TPanel* pnlButtons;
    controls::TFlatSpeedButton* btnGeneral;
    controls::TFlatSpeedButton* btnSound;
    controls::TLbSpeedButton* btnSetAppPassword;
    controls::TFlatCheckBox* cbHideNewlyCreatedWindows;
    controls::TFlatCheckBox* cbHideWallapaper;
    controls::TFlatGroupBox* gbDefaultHotkeys;
    controls::TLbSpeedButton* btShowLayout;
    controls::TFlatGroupBox* gbQuickInstructions;
    ui::TLabel* lbQuickInstructions;
    // The pages, the panel buttons and what the panels hold beyond the
    // controls of the other areas.
    void BuildPages();
    void btnAboutClick(ui::TObject* Sender);
    void btnWindowsClick(ui::TObject* Sender);
    void btnOptionsClick(ui::TObject* Sender);
    void btnGeneralClick(ui::TObject* Sender);
    void btShowLayoutClick(ui::TObject* Sender);
    void FlatSplitterMoved(ui::TObject* Sender);
    // The two sides of the Windows page keep their shares of its width.
    void SheetWindowsResize(ui::TObject* Sender);
    double leftShare_ = 0;  // of the page's width; 0: not taken yet
    void FormKeyDown(ui::TObject* Sender, WORD& Key, ui::TShiftState Shift);
    void stHeaderLinkClick(ui::TObject* Sender);
    void stCompanyLinkClick(ui::TObject* Sender);
    void btnSetAppPasswordClick(ui::TObject* Sender);
    void cbAppPasswordClick(ui::TObject* Sender);
    // Removes the desktop wallpaper; it comes back when the program ends.
    void SheetWindowsMouseDown(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X, int Y);

protected:
    // F1 in a hot-key field is the field's new key, not a request for help.
    void WndProc(ui::TMessage& m) override;

private:
    // Shows one panel of the Extra Settings page and hides the others.
    void ShowOptionsPanel(ui::TPanel* Panel);
    // ---- lists
    // A list and the file it is kept in.
    struct TListFile {
        ui::TListView* const& List;
        const std::string& FileName;
        core::TListKind Kind;
        bool Unreadable = false;  // it failed to load: never saved over
        // A file holding more records than are loaded: the list as loaded,
        // in its canonical form (empty for a file loaded whole). While the
        // list still holds just that, the file is not rewritten.
        std::vector<uint8_t> Cut;
    };
    TListFile exFile_{ExcludeList, ExListFileName, core::TListKind::DoNotHide, false, {}};
    TListFile bttFile_{BringToTopList, BttListFileName, core::TListKind::BringToTop, false, {}};
    // Fills the list with the file's entries; raises the file's error.
    void LoadList(TListFile& File);
    void SaveList(const TListFile& File);
    // The user chose to end without saving what could not be saved: the end
    // does not try again.
    bool endWithoutSaving_ = false;
    // Entries made here whose program path was longer than a record holds.
    std::set<const core::TExcludeEntry*> cutPaths_;
    void AddEntryItem(ui::TListView* List, core::TExcludeEntry* Entry);
    // An entry keeping every window of the program, added and saved.
    void AddDoNotHideEntry(const std::string& Title, const std::string& Path);
    bool PathWasCut(const core::TExcludeEntry& Entry) const;

    // The form's own kinds of control, made, named and placed in one call.
    controls::TFlatCheckBox* MakeCheck(ui::TWinControl* parent, const char* name, const char* caption, int x, int y,
                                       int w, const char* hint = nullptr);
    controls::TLbSpeedButton* MakeSpeedButton(ui::TWinControl* parent, const char* name, const char* caption, int x,
                                              int y, int w, int h, const char* hint,
                                              void (TMainForm::*click)(ui::TObject*));
    // Four boxes named boxes + "Ctrl", "Alt", "Shift", "Win" and the edit,
    // holding key at first.
    THotKeyRow MakeHotKeyRow(ui::TGroupBox* group, const std::string& boxes, const char* edit, const char* key);
    ui::TTabSheet* MakeSheet(const char* name, const char* caption, int helpContext);
    ui::TLabel* MakeListCaption(ui::TWinControl* parent, const char* caption);
    ui::TListView* MakeList(ui::TWinControl* parent, const char* name,
                            std::initializer_list<std::pair<const char*, int>> columns, bool sorted);
};

extern TMainForm* MainForm;

// Shows or hides the main window; showing it asks for the application
// password first when one is set and AskPassword is true.
void ToggleMainWindow(bool AskPassword);
// The start-up prompt: asks until the password is typed right (true) or
// the prompt is cancelled (false). True at once when there is no password.
bool AskStartupPassword();

// The windows listed at hide time (each item's data a TWinInfo); it exists
// exactly while windows are hidden.
extern ui::TListView* HiddenWindowList;

// Shows the windows of HiddenWindowList again, bottom first, and releases
// their records; the caller frees the list.
void RestoreHiddenWindows();
// Gives an image list a new, empty 32-bit colour handle and puts its images
// back (nothing for none); raises EInvalidOperation when the system refuses.
void ConvertImageListTo32Bit(ui::TCustomImageList* List);
// Clears the key state.
void ResetKeyState();
// Starts the system screen saver (locking the workstation first when asked).
void StartScreenSaver();
