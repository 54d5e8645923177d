#pragma once
// TListView: the system's list view ("SysListView32"), report style and the
// others, over items kept in C++ objects.
//
// TListItems holds the items (caption, sub-items, image, a data pointer that
// stays the program's) in the order the control shows them; every change is
// copied to the control at once, and the whole list is put back into a new
// window when the window is made again. Selection and focus live in the
// control while it has a window. Sorting orders the objects and the control
// alike. OnDeletion is raised for every item that goes (Delete, Clear,
// freeing the list view), so that the owner of Data can free it.
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/DragDrop.h"
#include "ui/StdCtrls.h"

namespace ui {

class TChangeLink;
class TImageListLink;
class TCustomImageList;
class TCustomListView;
class TListColumn;
class TListItem;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
// Automatic order: by caption (stText), by Data (stData), by both, or the
// order of insertion (stNone).
enum TSortType { stNone, stData, stText, stBoth };
enum TItemChange { ctText, ctImage, ctState };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };

using TLVSelectItemEvent = Event<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = Event<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent = Event<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
using TLVDeletedEvent = Event<void(TObject* Sender, TListItem* Item)>;
// Compare < 0 puts Item1 first.
using TLVCompareEvent = Event<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVColumnClickEvent = Event<void(TObject* Sender, TListColumn* Column)>;
using TLVCompare = int (*)(TListItem* Item1, TListItem* Item2, intptr_t Data);

// ---------------------------------------------------------------- columns

class TListColumn : public TPersistent {
public:
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    // The width the user left it at while the control has a window.
    int Width() const;
    void SetWidth(int Value);
    TAlignment Alignment() const { return alignment_; }
    // The first column is always left-aligned by the system.
    void SetAlignment(TAlignment Value);
    // Auto-sized columns share the width the fixed ones leave.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    int Index() const;

private:
    friend class TListColumns;
    friend class TCustomListView;
    explicit TListColumn(TCustomListView* owner) : owner_(owner) {}
    void Update();

    TCustomListView* owner_;  // not owned
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = false;
};

class TListColumns : public TPersistent {
public:
    int Count() const { return static_cast<int>(columns_.size()); }
    // Raises EListError "List index out of bounds" for a bad index.
    TListColumn* Items(int Index) const;
    TListColumn* operator[](int Index) const { return Items(Index); }
    TListColumn* Add();
    void Delete(int Index);
    void Clear();

private:
    friend class TCustomListView;
    friend class TListColumn;
    explicit TListColumns(TCustomListView* owner) : owner_(owner) {}
    int IndexOf(const TListColumn* c) const;

    TCustomListView* owner_;  // not owned
    std::vector<std::unique_ptr<TListColumn>> columns_;
};

// ---------------------------------------------------------------- items

// The texts of an item's further columns.
class TSubItems {
public:
    int Count() const { return static_cast<int>(strings_.size()); }
    // Raises EListError "List index out of bounds" for a bad index.
    const std::string& Strings(int Index) const;
    const std::string& operator[](int Index) const { return Strings(Index); }
    void SetStrings(int Index, const std::string& Value);
    int Add(const std::string& Value);
    void Insert(int Index, const std::string& Value);
    void Delete(int Index);
    void Clear();
    int IndexOf(const std::string& Value) const;
    std::vector<std::string>::const_iterator begin() const { return strings_.begin(); }
    std::vector<std::string>::const_iterator end() const { return strings_.end(); }

private:
    friend class TListItem;
    explicit TSubItems(TListItem* owner) : owner_(owner) {}
    void Changed(int oldCount);

    TListItem* owner_;  // not owned
    std::vector<std::string> strings_;
};

class TListItem : public TPersistent {
public:
    TListItems* Owner() const { return owner_; }
    TCustomListView* ListView() const;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    TSubItems* SubItems() { return &subItems_; }
    const TSubItems* SubItems() const { return &subItems_; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    // The program's pointer; never freed by the list view (see OnDeletion).
    void* Data() const { return data_; }
    void SetData(void* Value);
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    int Index() const;
    // Removes and frees the item (OnDeletion first).
    void Delete();
    // Scrolls the control until the item shows (partly, when PartialOK).
    void MakeVisible(bool PartialOK);
    // Where the item is drawn, in the control's client coordinates; empty
    // without a window.
    TRect DisplayRect(TDisplayCode Code) const;

private:
    friend class TListItems;
    friend class TCustomListView;
    friend class TSubItems;
    friend struct std::default_delete<TListItem>;  // the list's own
    explicit TListItem(TListItems* owner) : owner_(owner), subItems_(this) {}
    ~TListItem() override = default;
    void TextChanged(int oldSubCount);
    friend int TListItemSortPos(const TListItem* i) { return i->sortPos_; }

    TListItems* owner_;  // not owned
    std::string caption_;
    TSubItems subItems_;
    int imageIndex_ = -1;
    void* data_ = nullptr;  // not owned
    unsigned state_ = 0;    // LVIS_SELECTED / LVIS_FOCUSED while there is no window
    int sortPos_ = 0;
};

class TListItems : public TPersistent {
public:
    TCustomListView* Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError "List index out of bounds" for a bad index.
    TListItem* Item(int Index) const;
    TListItem* operator[](int Index) const { return Item(Index); }
    int IndexOf(const TListItem* Item) const;
    // A new empty item at the end / at Index.
    TListItem* Add();
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    // Between the two the control is not redrawn and automatic sorting
    // waits; they nest.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TCustomListView;
    friend class TListItem;
    explicit TListItems(TCustomListView* owner) : owner_(owner) {}
    // The items as they stand, for a loop that may change the list.
    std::vector<TListItem*> Snapshot() const;

    TCustomListView* owner_;                         // not owned
    std::vector<std::unique_ptr<TListItem>> items_;  // in display order
    int updateCount_ = 0;
};

// ---------------------------------------------------------------- list view

class TCustomListView : public TBordered<TWinControl> {
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TListColumns* Columns() const { return columns_.get(); }
    TListItems* Items() const { return items_.get(); }

    // The first selected item; setting null clears the selection, setting
    // an item selects it (alone, unless MultiSelect).
    TListItem* Selected() const;
    void SetSelected(TListItem* Value);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* Value);
    // Index of Selected, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    int SelCount() const;
    // The item at client point (X, Y), or null.
    TListItem* GetItemAt(int X, int Y) const;
    void Clear() { items_->Clear(); }

    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool Value);
    // No editing of captions in place.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool Value);
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool Value);
    // Column headers act as buttons (OnColumnClick).
    bool ColumnClick() const { return columnClick_; }
    void SetColumnClick(bool Value);
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool Value);
    bool FlatScrollBars() const { return flatScrollBars_; }
    void SetFlatScrollBars(bool Value);
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle Value);
    // Shared with the control, never freed by it.
    TCustomImageList* SmallImages() const;
    void SetSmallImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const;
    void SetLargeImages(TCustomImageList* Value);

    TSortType SortType() const { return sortType_; }
    // Setting a sorted type sorts at once; with stText / stBoth a caption
    // change re-sorts, with stData / stBoth a Data change does.
    void SetSortType(TSortType Value);
    // Sorts with OnCompare when set, else by SortType (text when stNone).
    bool AlphaSort();
    // Sorts with SortProc, or like AlphaSort when it is null (Data passed
    // to OnCompare).
    bool CustomSort(TLVCompare SortProc, intptr_t Data);

    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVChangingEvent OnChanging;
    TLVDeletedEvent OnDeletion;
    TLVCompareEvent OnCompare;
    TLVColumnClickEvent OnColumnClick;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& m) override;
    void ColorChanged() override;
    void FontChanged() override;
    void Destroying() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Resize() override;
    virtual void Delete(TListItem* Item);
    virtual void Change(TListItem* Item, TItemChange Change);
    virtual bool CanChange(TListItem* Item, TItemChange Change);
    virtual void SelectItem(TListItem* Item, bool Selected);
    // The drag of automatic mode starts when the user drags an item.
    void BeginAutoDrag() override {}

private:
    friend class TListItems;
    friend class TListItem;
    friend class TSubItems;
    friend class TListColumns;
    friend class TListColumn;

    // ---- the control's copy
    void InsertNativeItem(int Index, TListItem* Item);
    void SetNativeTexts(int Index, TListItem* Item, int fromSub, int toSub);
    void InsertNativeColumn(int Index, TListColumn* Column);
    void SetNativeColumn(int Index, TListColumn* Column);
    void ColumnDeleted(int Index);
    void UpdateExtendedStyle();
    void UpdateColors();
    void UpdateImageLists();
    void UpdateColumnSizes();
    void ImageListChange(TObject* Sender);
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const;

    // ---- item life
    void ItemAdded(TListItem* Item, int Index);
    void RemoveItem(int Index);
    void ItemStateFromControl(int Index, unsigned NewState);
    void SetItemState(TListItem* Item, unsigned Mask, unsigned State);
    unsigned ItemState(const TListItem* Item) const;
    void SortIfNeeded(bool CaptionChanged, bool DataChanged);
    bool SortBy(int (*compare)(TCustomListView*, TListItem*, TListItem*, intptr_t, TLVCompare), TLVCompare proc,
                intptr_t data);
    static int DefaultCompare(TCustomListView* lv, TListItem* a, TListItem* b, intptr_t data, TLVCompare proc);
    void NotifyHandler(TMessage& m);

    std::unique_ptr<TListColumns> columns_;
    std::unique_ptr<TListItems> items_;
    bool multiSelect_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool gridLines_ = false;
    bool columnClick_ = true;
    bool showColumnHeaders_ = true;
    bool flatScrollBars_ = false;
    TViewStyle viewStyle_ = vsIcon;
    std::unique_ptr<TImageListLink> smallImages_;
    std::unique_ptr<TImageListLink> largeImages_;
    TSortType sortType_ = stNone;
    bool sortPending_ = false;
    // Notifications of the control that the object caused itself (filling
    // a new window, deleting, sorting) raise no events.
    int quiet_ = 0;
};

class TListView : public TCustomListView {
public:
    explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// Deletes what each item points at, read as a T, then the items.
template <class T> void FreeItems(TListView* List) {
    for (int i = 0; i < List->Items()->Count(); ++i) {
        delete static_cast<T*>(List->Items()->Item(i)->Data());
        List->Items()->Item(i)->SetData(nullptr);
    }
    List->Items()->Clear();
}

}  // namespace ui
