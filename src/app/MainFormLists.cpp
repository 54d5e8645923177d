// The do-not-hide and bring-to-top lists of the Windows page: their menus,
// dragging between the lists, the edits, and their files.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/FormBuilding.h"
#include "app/GlobalUnit.h"
#include "app/ItemData.h"
#include "app/MainForm.h"
#include "core/ListFiles.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/ImageList.h"

using namespace ui;
using core::TExcludeEntry;

namespace {

constexpr WORD VK_DELETE_KEY = 46;
constexpr size_t MaxRecordText = 255;

bool IsControlNamed(TObject* obj, const char* name) {
    auto* c = dynamic_cast<TControl*>(obj);
    return c && c->Name() == name;
}

void Warn(const std::string& text) { MessageDlg(text, mtWarning, TMsgDlgButtons{mbOK}, 0); }

const char* YesNo(uint8_t flag) { return flag ? "yes" : "no"; }

}  // namespace

std::vector<TExcludeEntry> EntriesOf(TListView* List) {
    std::vector<TExcludeEntry> out;
    out.reserve(static_cast<size_t>(List->Items()->Count()));
    for (int i = 0; i < List->Items()->Count(); ++i)
        if (TExcludeEntry* e = DataOf<TExcludeEntry>(List, i)) out.push_back(*e);
    return out;
}

// ---------------------------------------------------------------- building

void TMainForm::BuildListEditing() {
    auto item = [&](TMenu* menu, const char* name, const char* caption, void (TMainForm::*click)(TObject*)) {
        auto* mi = MakeNamed<TMenuItem>(this, name);
        mi->SetCaption(caption);
        if (click) mi->OnClick = TNotifyEvent(this, click);
        menu->Items()->Add(mi);
        return mi;
    };
    auto popup = [&](const char* name) {
        painters::TBcBarPopupMenu* m = MakeBarPopupMenu(name);
        m->SetImages(MenuImages);
        return m;
    };

    popMenuAvailableWindows = popup("popMenuAvailableWindows");
    mnAddToDoNotHideList = item(popMenuAvailableWindows, "mnAddToDoNotHideList", "Add to 'Do not hide list'",
                                &TMainForm::mnAddToDoNotHideListClick);
    mnRefreshList = item(popMenuAvailableWindows, "mnRefreshList", "Refresh List", &TMainForm::mnRefreshListClick);

    popMenuDoNotHideList = popup("popMenuDoNotHideList");
    mnAllWindows = item(popMenuDoNotHideList, "mnAllWindows", "All windows/This window", &TMainForm::mnAllWindowsClick);
    mnAllWindows->SetHint("Set All windows to 'yes' to hide all windows of the selected application (regardless the "
                          "window's title)");
    item(popMenuDoNotHideList, nullptr, "-", nullptr);
    mnRemoveSelectedEntry = item(popMenuDoNotHideList, "mnRemoveSelectedEntry", "Remove Selected Entry",
                                 &TMainForm::mnRemoveSelectedEntryClick);
    mnClearDoNotHideList =
        item(popMenuDoNotHideList, "mnClearDoNotHideList", "Clear List", &TMainForm::mnClearDoNotHideListClick);
    item(popMenuDoNotHideList, nullptr, "-", nullptr);
    mnAddApplicationFromDisk = item(popMenuDoNotHideList, "mnAddApplicationFromDisk", "Add application from disk",
                                    &TMainForm::mnAddApplicationFromDiskClick);
    popMenuDoNotHideList->OnPopup = TNotifyEvent(this, &TMainForm::popMenuDoNotHideListPopup);

    PopMenuBringToTopList = popup("PopMenuBringToTopList");
    mnClearBringToTopList =
        item(PopMenuBringToTopList, "mnClearBringToTopList", "Clear List", &TMainForm::mnClearBringToTopListClick);

    OpenDialog = MakeNamed<TOpenDialog>(this, "OpenDialog");
    OpenDialog->SetFilter("All files|*.*");
    OpenDialog->SetDefaultExt("*.*");

    // The refresh button sits in the row below the lists.
    btnRefreshList = Make<TButton>(this, gbSpecialWindows, "btnRefreshList", "Refresh List", 527, 12, 90, 23);
    btnRefreshList->SetAnchors(akTop | akRight);
    GiveHint(btnRefreshList, "Refresh the list of currently visible windows");
    btnRefreshList->OnClick = TNotifyEvent(this, &TMainForm::mnRefreshListClick);

    AvailableWindowsList->SetPopupMenu(popMenuAvailableWindows);
    ExcludeList->SetPopupMenu(popMenuDoNotHideList);
    BringToTopList->SetPopupMenu(PopMenuBringToTopList);
    for (TListView* l : {AvailableWindowsList, ExcludeList, BringToTopList}) l->SetDragMode(dmAutomatic);
    ExcludeList->OnDragOver = TDragOverEvent(this, &TMainForm::ExcludeListDragOver);
    ExcludeList->OnDragDrop = TDragDropEvent(this, &TMainForm::ExcludeListDragDrop);
    ExcludeList->OnKeyUp = TKeyEvent(this, &TMainForm::ExcludeListKeyUp);
    ExcludeList->OnDeletion = TLVDeletedEvent(this, &TMainForm::ExcludeEntryDeletion);
    BringToTopList->OnDragOver = TDragOverEvent(this, &TMainForm::BringToTopListDragOver);
    BringToTopList->OnDragDrop = TDragDropEvent(this, &TMainForm::BringToTopListDragDrop);
    BringToTopList->OnKeyDown = TKeyEvent(this, &TMainForm::BringToTopListKeyDown);
    BringToTopList->OnDeletion = TLVDeletedEvent(this, &TMainForm::ExcludeEntryDeletion);
}

// ---------------------------------------------------------------- files

void TMainForm::LoadExcludeLists() {
    std::string failures, cut;
    for (TListFile* f : {&exFile_, &bttFile_}) {
        f->Unreadable = false;
        try {
            LoadList(*f);
        } catch (const std::exception& e) {
            f->Unreadable = true;
            failures += e.what();
            failures += ".\n";
        }
        if (!f->Cut.empty())
            cut += "The list file \"" + f->FileName + "\" holds more than " + std::to_string(core::MaxListRecords) +
                   " entries: only the first " + std::to_string(core::MaxListRecords) + " are loaded.\n";
    }
    // Said once, here: the saves of this run leave such a file alone.
    if (!failures.empty())
        MessageDlg(failures + "\nThe file is left as it is: changes to that list are not saved until the program "
                              "starts again and can read it.",
                   mtError, TMsgDlgButtons{mbOK}, 0);
    if (!cut.empty())
        MessageDlg(cut + "\nThe file is left as it is while that list is not changed; a change saves the list "
                         "as it is shown, without the entries that were not loaded.",
                   mtWarning, TMsgDlgButtons{mbOK}, 0);
}

void TMainForm::SaveExcludeLists() {
    SaveExcludeList();
    SaveBringToTopList();
}

void TMainForm::AddEntryItem(TListView* List, TExcludeEntry* Entry) {
    TListItem* item = List->Items()->Add();
    item->SetData(Entry);
    item->SubItems()->Add(Entry->Title());
    if (List == ExcludeList) item->SubItems()->Add(YesNo(Entry->AllWindows));
    // Last: the caption sorts the item into place.
    item->SetCaption(core::ExtractFileName(Entry->Path()));
}

void TMainForm::LoadList(TListFile& File) {
    File.Cut.clear();
    // The entries read before a failure are listed too.
    std::vector<TExcludeEntry> entries;
    auto fill = [&] {
        File.List->Items()->BeginUpdate();
        for (const TExcludeEntry& e : entries) AddEntryItem(File.List, new TExcludeEntry(e));
        File.List->Items()->EndUpdate();
    };
    bool whole = true;
    try {
        whole = core::LoadListFile(File.FileName, entries);
    } catch (...) {
        fill();
        throw;
    }
    fill();
    if (!whole) File.Cut = core::EncodeListRecords(EntriesOf(File.List), File.Kind);
}

void TMainForm::SaveList(const TListFile& File) {
    if (File.Unreadable) return;
    const std::vector<TExcludeEntry> entries = EntriesOf(File.List);
    // A list cut at the limit and still as loaded: the file keeps the
    // entries that were not loaded.
    if (!File.Cut.empty() && core::EncodeListRecords(entries, File.Kind) == File.Cut) return;
    core::SaveListFile(File.FileName, entries, File.Kind);
}

// ---------------------------------------------------------------- edits

int TMainForm::FindDoNotHideEntry(TListItem* Item) {
    // Compared as an entry would hold them: texts cut to a record's size.
    TExcludeEntry probe;
    probe.SetTitle(Item->SubItems()->Count() > 0 ? Item->SubItems()->Strings(0) : std::string());
    std::string caption = Item->Caption();
    if (auto* info = DataOf<core::TWinInfo>(Item)) {
        probe.SetPath(info->ExePath);
        caption = core::ExtractFileName(probe.Path());
    }
    const std::string title = probe.Title();
    for (int i = 0; i < ExcludeList->Items()->Count(); ++i) {
        TListItem* e = ExcludeList->Items()->Item(i);
        if (e->Caption() == caption && e->SubItems()->Count() > 0 && e->SubItems()->Strings(0) == title) return i;
    }
    return -1;
}

bool TMainForm::PathWasCut(const TExcludeEntry& Entry) const {
    if (cutPaths_.count(&Entry)) return true;
    // A full-length path from an older file that names no file was cut
    // when it was stored.
    return Entry.PathLen == MaxRecordText && GetFileAttributesA(Entry.Path().c_str()) == INVALID_FILE_ATTRIBUTES;
}

void TMainForm::AddSelectedToDoNotHideList() {
    TListItem* selected = AvailableWindowsList->Selected();
    if (!selected) return;
    if (FindDoNotHideEntry(selected) >= 0) {
        Warn("This winodw is already in the list");
        return;
    }
    auto* info = DataOf<core::TWinInfo>(selected);
    AddDoNotHideEntry(info ? info->Title : selected->SubItems()->Strings(0), info ? info->ExePath : std::string());
}

void TMainForm::AddApplicationFromDisk() {
    if (OpenDialog->Execute()) AddDoNotHideEntry("", OpenDialog->FileName());
}

void TMainForm::AddDoNotHideEntry(const std::string& Title, const std::string& Path) {
    auto* entry = new TExcludeEntry;
    entry->SetTitle(Title);
    entry->SetPath(Path);
    if (Path.size() > MaxRecordText) cutPaths_.insert(entry);
    entry->AllWindows = 1;
    AddEntryItem(ExcludeList, entry);
    SaveExcludeList();
}

void TMainForm::ToggleAllWindowsFlag() {
    TListItem* selected = ExcludeList->Selected();
    TExcludeEntry* entry = DataOf<TExcludeEntry>(selected);
    if (!entry) return;
    // Only bit 0 flips: a stored 2 becomes 3 and still reads as set.
    entry->AllWindows ^= 1;
    if (selected->SubItems()->Count() < 2)
        selected->SubItems()->Add(YesNo(entry->AllWindows));
    else
        selected->SubItems()->SetStrings(1, YesNo(entry->AllWindows));
}

void TMainForm::mnRemoveSelectedEntryClick(TObject*) {
    TListItem* selected = ExcludeList->Selected();
    if (!selected) {
        Warn("Please select an item first.");
        return;
    }
    if (MessageDlg("The item: \"" + selected->Caption() + "\" will be removed from the list!\nContinue?", mtWarning,
                   TMsgDlgButtons{mbYes, mbCancel}, 0) == mrCancel)
        return;
    selected->Delete();  // its entry goes with it (ExcludeEntryDeletion)
    SaveExcludeList();
}

void TMainForm::ClearDoNotHideList() {
    if (MessageDlg("All the items in the \"Do not hide\" list will be removed!\nContinue?", mtWarning,
                   TMsgDlgButtons{mbYes, mbCancel}, 0) == mrCancel)
        return;
    ExcludeList->Items()->Clear();
}

void TMainForm::ClearBringToTopList() {
    BringToTopList->Items()->Clear();
    SaveBringToTopList();
}

void TMainForm::ExcludeEntryDeletion(TObject*, TListItem* Item) {
    TExcludeEntry* entry = DataOf<TExcludeEntry>(Item);
    if (!entry) return;
    cutPaths_.erase(entry);
    Item->SetData(nullptr);
    delete entry;
}

// ---------------------------------------------------------------- dragging

void TMainForm::ExcludeListDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
    Accept = IsControlNamed(Source, "AvailableWindowsList");
}

void TMainForm::ExcludeListDragDrop(TObject*, TObject* Source, int, int) {
    if (IsControlNamed(Source, "AvailableWindowsList")) AddSelectedToDoNotHideList();
}

void TMainForm::BringToTopListDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
    Accept = IsControlNamed(Source, "ExcludeList");
}

void TMainForm::BringToTopListDragDrop(TObject*, TObject* Source, int, int) {
    if (!IsControlNamed(Source, "ExcludeList")) {
        Warn("Please drag a window from the 'Do not hide list'!");
        return;
    }
    const TExcludeEntry* source = DataOf<TExcludeEntry>(ExcludeList->Selected());
    if (!source) return;
    // A cut path never matches a window and cannot be started.
    if (PathWasCut(*source)) {
        Warn("The path of this program is longer than 255 characters, so it cannot be brought to the top or "
             "started from the list.\nMove the program to a folder with a shorter path and add it again.");
        return;
    }
    BringToTopList->Items()->Clear();
    auto* entry = new TExcludeEntry;  // its last byte stays 0: this list does not use it
    entry->SetTitle(source->Title());
    entry->SetPath(source->Path());
    AddEntryItem(BringToTopList, entry);
    SaveBringToTopList();
}

// ---------------------------------------------------------------- icons

void ConvertImageListTo32Bit(TCustomImageList* List) {
    if (!List) return;
    TImageList* copy = TComponent::Create<TImageList>(nullptr);
    try {
        copy->Assign(List);
        HIMAGELIST h = ImageList_Create(List->Width(), List->Height(), ILC_COLOR32 | (List->Masked() ? ILC_MASK : 0), 0,
                                        List->AllocBy());
        if (!h) throw EInvalidOperation("Invalid ImageList");
        List->SetHandle(h);
        for (int i = 0; i < copy->Count(); ++i) {
            if (HICON icon = ImageList_GetIcon(copy->Handle(), i, ILD_NORMAL)) {
                ImageList_AddIcon(h, icon);
                DestroyIcon(icon);
            }
        }
    } catch (...) {
        TComponent::Free(copy);
        throw;
    }
    TComponent::Free(copy);
}

// ---------------------------------------------------------------- menus and keys

void TMainForm::popMenuDoNotHideListPopup(TObject*) {
    const bool selected = ExcludeList->Selected() != nullptr;
    mnRemoveSelectedEntry->SetEnabled(selected);
    mnAllWindows->SetEnabled(selected);
}

void TMainForm::ExcludeListKeyUp(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_DELETE_KEY) mnRemoveSelectedEntryClick(ExcludeList);
}

void TMainForm::BringToTopListKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_DELETE_KEY) ClearBringToTopList();
}

void TMainForm::mnAddToDoNotHideListClick(TObject*) { AddSelectedToDoNotHideList(); }
void TMainForm::mnRefreshListClick(TObject*) { RefreshAvailableWindows(); }
void TMainForm::mnAllWindowsClick(TObject*) { ToggleAllWindowsFlag(); }
void TMainForm::mnClearDoNotHideListClick(TObject*) { ClearDoNotHideList(); }
void TMainForm::mnAddApplicationFromDiskClick(TObject*) { AddApplicationFromDisk(); }
void TMainForm::mnClearBringToTopListClick(TObject*) { ClearBringToTopList(); }
