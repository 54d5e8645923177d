#pragma once
// The main settings window: the lists of windows, the hot keys and the
// options, and the hide/restore toggle behind them.
#include <set>

#include "controls/FlatCheckBox.h"
#include "controls/FlatEdit.h"
#include "core/ExcludeEntry.h"
#include "core/KeyData.h"
#include "core/Watch.h"
#include "core/WindowPrimitives.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/ListView.h"
#include "ui/Menus.h"
#include "ui/OpenDialog.h"
#include "ui/PageControl.h"
#include "ui/StdCtrls.h"

class TMainForm : public ui::TForm {
public:
    explicit TMainForm(ui::TComponent* AOwner);

    // ---- components
    core::TWatch* Watch;
    ui::TPanel* HeaderPanel;
    ui::TLabel* stVersioninfo;
    ui::TPanel* ButtonsPanel;
    ui::TButton* btnTerminate;
    ui::TButton* btnHide;
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
    ui::TPanel* pnlGeneral;
    controls::TFlatCheckBox* cbCloseActiveWindow;
    ui::TPanel* pnlKeyboard;
    ui::TGroupBox* gbHideWindows;
    controls::TFlatCheckBox* cbWinCtrl;
    controls::TFlatCheckBox* cbWinAlt;
    controls::TFlatCheckBox* cbWinShift;
    controls::TFlatCheckBox* cbWinWin;
    controls::TFlatEdit* edHkWindowsKey;
    ui::TGroupBox* gbShowProgram;
    controls::TFlatCheckBox* cbProgCtrl;
    controls::TFlatCheckBox* cbProgAlt;
    controls::TFlatCheckBox* cbProgShift;
    controls::TFlatCheckBox* cbProgWin;
    controls::TFlatEdit* edHkProgramKey;
    ui::TGroupBox* gbScreenSaver;
    controls::TFlatCheckBox* cbSSaverCtrl;
    controls::TFlatCheckBox* cbSSaverAlt;
    controls::TFlatCheckBox* cbSSaverShift;
    controls::TFlatCheckBox* cbSSaverWin;
    controls::TFlatEdit* edHKSSaverKey;
    controls::TFlatCheckBox* cbLockWorkstation;

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
    void HideWindowUnlessExcluded(core::TWinInfo Info);
    void BringProgramToTop();
    void RefreshAvailableWindows();
    void LoadWindowIcons();

    // ---- lists
    ui::TButton* btnRefreshList;
    ui::TPopupMenu* popMenuAvailableWindows;
    ui::TMenuItem* mnAddToDoNotHideList;
    ui::TMenuItem* mnRefreshList;
    ui::TPopupMenu* popMenuDoNotHideList;
    ui::TMenuItem* mnAllWindows;
    ui::TMenuItem* mnRemoveSelectedEntry;
    ui::TMenuItem* mnClearDoNotHideList;
    ui::TMenuItem* mnAddApplicationFromDisk;
    ui::TPopupMenu* PopMenuBringToTopList;
    ui::TMenuItem* mnClearBringToTopList;
    ui::TOpenDialog* OpenDialog;
    // Builds the lists' menus and wires their drag, key and menu handlers.
    void BuildListEditing();
    // Start-up: both list files. A file that cannot be read is reported
    // once and never saved over while the program runs.
    void LoadExcludeLists();
    // Both list files; raises the input/output error of a failed save.
    void SaveExcludeLists();
    void LoadExcludeList();
    void LoadBringToTopList();
    void SaveExcludeList();
    void SaveBringToTopList();
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

private:
    // ---- lists
    bool exListUnreadable_ = false;   // ExList.Dat failed to load: never saved over
    bool bttListUnreadable_ = false;  // the same for BttList.Dat
    // Entries made here whose program path was longer than a record holds.
    std::set<const core::TExcludeEntry*> cutPaths_;
    void AddEntryItem(ui::TListView* List, core::TExcludeEntry* Entry);
    bool PathWasCut(const core::TExcludeEntry& Entry) const;

    controls::TFlatCheckBox* MakeCheck(ui::TWinControl* parent, const char* name, const char* caption, int x,
                                        int y, int w);
    controls::TFlatEdit* MakeHotKeyEdit(ui::TWinControl* parent, const char* name, const char* text, int x, int y);
    ui::TListView* MakeList(ui::TWinControl* parent, const char* name,
                            std::initializer_list<std::pair<const char*, int>> columns, bool sorted);
};

extern TMainForm* MainForm;

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
