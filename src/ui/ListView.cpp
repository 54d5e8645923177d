#include "ui/ListView.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/Exception.h"
#include "ui/GdiObjects.h"
#include "ui/ImageList.h"

namespace ui {

namespace {

constexpr unsigned kStateMask = LVIS_SELECTED | LVIS_FOCUSED;

void InitListViewClasses() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    done = InitCommonControlsEx(&icc) != FALSE;
}

int ColumnFormat(TAlignment a) {
    switch (a) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
    }
}

[[noreturn]] void IndexError(int index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

// The order the objects were sorted into, handed to the control's sort.
int CALLBACK NativeOrder(LPARAM a, LPARAM b, LPARAM) {
    return TListItemSortPos(reinterpret_cast<TListItem*>(a)) - TListItemSortPos(reinterpret_cast<TListItem*>(b));
}

std::string FromWide(const wchar_t* w) {
    if (!w) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

// Counts the notifications that the object's own changes to the control
// cause, which raise no events.
class QuietScope {
public:
    explicit QuietScope(int& q) : q_(q) { ++q_; }
    ~QuietScope() { --q_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    int& q_;
};

}  // namespace

// ================================================================ TListColumn

void TListColumn::SetCaption(const std::string& Value) {
    if (Value == caption_) return;
    caption_ = Value;
    Update();
}

int TListColumn::Width() const {
    if (owner_->HandleAllocated() && owner_->viewStyle_ == vsReport)
        return static_cast<int>(owner_->Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index())));
    return width_;
}

void TListColumn::SetWidth(int Value) {
    width_ = std::max(Value, 0);
    if (owner_->HandleAllocated())
        owner_->Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index()), MAKELPARAM(width_, 0));
    owner_->UpdateColumnSizes();
}

void TListColumn::SetAlignment(TAlignment Value) {
    if (Value == alignment_) return;
    alignment_ = Value;
    Update();
}

void TListColumn::SetAutoSize(bool Value) {
    if (Value == autoSize_) return;
    autoSize_ = Value;
    owner_->UpdateColumnSizes();
}

int TListColumn::Index() const { return owner_->columns_->IndexOf(this); }

void TListColumn::Update() {
    if (owner_->HandleAllocated()) owner_->SetNativeColumn(Index(), this);
}

// ================================================================ TListColumns

TListColumn* TListColumns::Items(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return columns_[static_cast<size_t>(Index)].get();
}

int TListColumns::IndexOf(const TListColumn* c) const {
    auto it = std::find_if(columns_.begin(), columns_.end(), [c](const auto& p) { return p.get() == c; });
    return it == columns_.end() ? -1 : static_cast<int>(it - columns_.begin());
}

TListColumn* TListColumns::Add() {
    TListColumn* c = columns_.emplace_back(new TListColumn(owner_)).get();
    if (owner_->HandleAllocated()) owner_->InsertNativeColumn(Count() - 1, c);
    owner_->UpdateColumnSizes();
    return c;
}

void TListColumns::Delete(int Index) {
    Items(Index);  // the bounds check
    columns_.erase(columns_.begin() + Index);
    owner_->ColumnDeleted(Index);
}

void TListColumns::Clear() {
    while (!columns_.empty()) Delete(Count() - 1);
}

// ================================================================ TSubItems

const std::string& TSubItems::Strings(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return strings_[static_cast<size_t>(Index)];
}

void TSubItems::SetStrings(int Index, const std::string& Value) {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    if (strings_[static_cast<size_t>(Index)] == Value) return;
    strings_[static_cast<size_t>(Index)] = Value;
    Changed(Count());
}

int TSubItems::Add(const std::string& Value) {
    strings_.push_back(Value);
    Changed(Count() - 1);
    return Count() - 1;
}

void TSubItems::Insert(int Index, const std::string& Value) {
    if (Index < 0 || Index > Count()) IndexError(Index);
    strings_.insert(strings_.begin() + Index, Value);
    Changed(Count() - 1);
}

void TSubItems::Delete(int Index) {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    strings_.erase(strings_.begin() + Index);
    Changed(Count() + 1);
}

void TSubItems::Clear() {
    if (strings_.empty()) return;
    int old = Count();
    strings_.clear();
    Changed(old);
}

int TSubItems::IndexOf(const std::string& Value) const {
    auto it = std::find(strings_.begin(), strings_.end(), Value);
    return it == strings_.end() ? -1 : static_cast<int>(it - strings_.begin());
}

void TSubItems::Changed(int oldCount) { owner_->TextChanged(oldCount); }

// ================================================================ TListItem

TCustomListView* TListItem::ListView() const { return owner_->owner_; }

int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::SetCaption(const std::string& Value) {
    if (Value == caption_) return;
    caption_ = Value;
    TCustomListView* lv = ListView();
    if (lv->HandleAllocated()) {
        QuietScope q(lv->quiet_);
        lv->SetNativeTexts(Index(), this, 0, 0);
    }
    lv->Change(this, ctText);
    lv->SortIfNeeded(true, false);
}

void TListItem::TextChanged(int oldSubCount) {
    TCustomListView* lv = ListView();
    if (lv->HandleAllocated()) {
        QuietScope q(lv->quiet_);
        lv->SetNativeTexts(Index(), this, 1, std::max(oldSubCount, subItems_.Count()));
    }
    lv->Change(this, ctText);
}

void TListItem::SetImageIndex(int Value) {
    if (Value == imageIndex_) return;
    imageIndex_ = Value;
    TCustomListView* lv = ListView();
    if (lv->HandleAllocated()) {
        QuietScope q(lv->quiet_);
        LVITEMA it{};
        it.mask = LVIF_IMAGE;
        it.iItem = Index();
        it.iImage = Value;
        lv->Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    }
    lv->Change(this, ctImage);
}

void TListItem::SetData(void* Value) {
    if (Value == data_) return;
    data_ = Value;
    ListView()->SortIfNeeded(false, true);
}

bool TListItem::Selected() const { return (ListView()->ItemState(this) & LVIS_SELECTED) != 0; }

void TListItem::SetSelected(bool Value) { ListView()->SetItemState(this, LVIS_SELECTED, Value ? LVIS_SELECTED : 0); }

bool TListItem::Focused() const { return (ListView()->ItemState(this) & LVIS_FOCUSED) != 0; }

void TListItem::SetFocused(bool Value) { ListView()->SetItemState(this, LVIS_FOCUSED, Value ? LVIS_FOCUSED : 0); }

void TListItem::Delete() { owner_->Delete(Index()); }

void TListItem::MakeVisible(bool PartialOK) {
    TCustomListView* lv = ListView();
    if (lv->HandleAllocated()) lv->Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), PartialOK);
}

TRect TListItem::DisplayRect(TDisplayCode Code) const {
    TRect r{};
    TCustomListView* lv = ListView();
    if (!lv->HandleAllocated()) return r;
    static const int codes[] = {LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS};
    r.left = codes[Code];
    if (!lv->Send(LVM_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&r))) return TRect{};
    return r;
}

// ================================================================ TListItems

TListItem* TListItems::Item(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return items_[static_cast<size_t>(Index)].get();
}

int TListItems::IndexOf(const TListItem* Item) const {
    auto it = std::find_if(items_.begin(), items_.end(), [Item](const auto& p) { return p.get() == Item; });
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

std::vector<TListItem*> TListItems::Snapshot() const {
    std::vector<TListItem*> v;
    for (const auto& i : items_) v.push_back(i.get());
    return v;
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int Index) {
    if (Index < 0 || Index > Count()) IndexError(Index);
    TListItem* item = items_.emplace(items_.begin() + Index, new TListItem(this))->get();
    owner_->ItemAdded(item, Index);
    return item;
}

void TListItems::Delete(int Index) {
    TListItem* item = Item(Index);
    owner_->Delete(item);
    // The handler may have taken the item away itself.
    int now = IndexOf(item);
    if (now >= 0) owner_->RemoveItem(now);
}

void TListItems::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    try {
        while (!items_.empty()) Delete(0);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TListItems::BeginUpdate() {
    if (updateCount_++ == 0 && owner_->HandleAllocated()) owner_->Send(WM_SETREDRAW, FALSE);
}

void TListItems::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    if (owner_->HandleAllocated()) {
        owner_->Send(WM_SETREDRAW, TRUE);
        InvalidateRect(owner_->Handle(), nullptr, TRUE);
    }
    if (owner_->sortPending_) {
        owner_->sortPending_ = false;
        owner_->AlphaSort();
    }
    owner_->UpdateColumnSizes();
}

// ================================================================ TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner)
    : TBordered(AOwner), columns_(new TListColumns(this)), items_(new TListItems(this)),
      smallImages_(new TImageListLink(this, TNotifyEvent(this, &TCustomListView::ImageListChange))),
      largeImages_(new TImageListLink(this, TNotifyEvent(this, &TCustomListView::ImageListChange))) {
    // The control tracks its own mouse presses (and drags).
    SetControlStyle(ControlStyle() & ~csCaptureMouse);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(Left(), Top(), 250, 150);
}

TCustomListView::~TCustomListView() {
    // After a plain delete the items are still here: they go the usual way.
    items_->Clear();
}

void TCustomListView::Destroying() {
    // Every item is announced while the list view and its window are whole.
    items_->Clear();
    TWinControl::Destroying();
}

LRESULT TCustomListView::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return SendMessageA(handle_, Msg, WParam, LParam);
}

// ---------------------------------------------------------------- window

void TCustomListView::CreateParams(TCreateParams& p) {
    InitListViewClasses();
    TWinControl::CreateParams(p);
    CreateSubClass(p, WC_LISTVIEWA);
    static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    p.Style |= views[viewStyle_] | LVS_SHAREIMAGELISTS;
    if (!multiSelect_) p.Style |= LVS_SINGLESEL;
    if (!readOnly_) p.Style |= LVS_EDITLABELS;
    if (!hideSelection_) p.Style |= LVS_SHOWSELALWAYS;
    if (!columnClick_) p.Style |= LVS_NOSORTHEADER;
    if (!showColumnHeaders_) p.Style |= LVS_NOCOLUMNHEADER;
    AddBorder(p);
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::CreateWnd() {
    TWinControl::CreateWnd();
    QuietScope q(quiet_);
    // Notifications in the ANSI forms, whatever the parent window is.
    Send(CCM_SETUNICODEFORMAT, FALSE);
    UpdateExtendedStyle();
    UpdateColors();
    UpdateImageLists();
    for (int i = 0; i < columns_->Count(); ++i) InsertNativeColumn(i, columns_->columns_[static_cast<size_t>(i)].get());
    Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(items_->Count()));
    for (int i = 0; i < items_->Count(); ++i) InsertNativeItem(i, items_->items_[static_cast<size_t>(i)].get());
    if (items_->updateCount_ > 0) Send(WM_SETREDRAW, FALSE);
    UpdateColumnSizes();
}

void TCustomListView::DestroyWnd() {
    // What lives only in the control is kept for the next window.
    for (auto& i : items_->items_) i->state_ = ItemState(i.get());
    for (auto& c : columns_->columns_) c->width_ = c->Width();
    QuietScope q(quiet_);
    TWinControl::DestroyWnd();
}

void TCustomListView::InsertNativeItem(int Index, TListItem* Item) {
    std::string caption = Item->caption_;
    LVITEMA it{};
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    it.iItem = Index;
    it.pszText = caption.data();
    it.iImage = Item->imageIndex_;
    it.lParam = reinterpret_cast<LPARAM>(Item);
    it.state = Item->state_;
    it.stateMask = kStateMask;
    int at = static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    if (at >= 0) SetNativeTexts(at, Item, 1, Item->subItems_.Count());
}

// Texts of columns fromSub..toSub (0 = the caption); a column past the
// item's sub-items gets an empty text.
void TCustomListView::SetNativeTexts(int Index, TListItem* Item, int fromSub, int toSub) {
    for (int s = fromSub; s <= toSub; ++s) {
        std::string text;
        if (s == 0)
            text = Item->caption_;
        else if (s - 1 < Item->subItems_.Count())
            text = Item->subItems_.Strings(s - 1);
        LVITEMA it{};
        it.iSubItem = s;
        it.pszText = text.data();
        Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
    }
}

void TCustomListView::InsertNativeColumn(int Index, TListColumn* Column) {
    std::string caption = Column->caption_;
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.pszText = caption.data();
    col.cx = Column->width_;
    col.fmt = ColumnFormat(Column->alignment_);
    col.iSubItem = Index;
    Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&col));
    // Texts given before the column existed are given again.
    QuietScope q(quiet_);
    for (size_t i = 0; i < items_->items_.size(); ++i)
        SetNativeTexts(static_cast<int>(i), items_->items_[i].get(), Index, columns_->Count());
}

void TCustomListView::ColumnDeleted(int Index) {
    if (HandleAllocated()) {
        Send(LVM_DELETECOLUMN, static_cast<WPARAM>(Index));
        // The texts of the columns after it move one column to the left.
        QuietScope q(quiet_);
        for (size_t i = 0; i < items_->items_.size(); ++i)
            SetNativeTexts(static_cast<int>(i), items_->items_[i].get(), 1, columns_->Count());
    }
    UpdateColumnSizes();
}

void TCustomListView::SetNativeColumn(int Index, TListColumn* Column) {
    std::string caption = Column->caption_;
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_FMT;
    col.pszText = caption.data();
    col.fmt = ColumnFormat(Column->alignment_);
    Send(LVM_SETCOLUMNA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&col));
}

void TCustomListView::UpdateExtendedStyle() {
    const DWORD mask = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_FLATSB;
    DWORD style = (rowSelect_ ? LVS_EX_FULLROWSELECT : 0u) | (gridLines_ ? LVS_EX_GRIDLINES : 0u) |
                  (flatScrollBars_ ? LVS_EX_FLATSB : 0u);
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(style));
}

void TCustomListView::UpdateColors() {
    const COLORREF back = ColorToCOLORREF(Color());
    Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
    Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
    Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToCOLORREF(Font()->Color())));
}

void TCustomListView::UpdateImageLists() {
    if (!HandleAllocated()) return;
    for (auto [which, link] : {std::pair{LVSIL_SMALL, smallImages_.get()}, std::pair{LVSIL_NORMAL, largeImages_.get()}})
        Send(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(link->Images() ? link->Images()->Handle() : nullptr));
}

void TCustomListView::ImageListChange(TObject*) {
    UpdateImageLists();
    if (HandleAllocated()) InvalidateRect(handle_, nullptr, TRUE);
}

// Auto-sized columns share what the fixed ones leave of the client width.
void TCustomListView::UpdateColumnSizes() {
    if (!HandleAllocated() || viewStyle_ != vsReport || items_->updateCount_ > 0) return;
    int autos = 0, fixed = 0;
    for (auto& c : columns_->columns_) {
        if (c->autoSize_)
            ++autos;
        else
            fixed += c->Width();
    }
    if (autos == 0) return;
    RECT r;
    GetClientRect(handle_, &r);
    int left = std::max<int>(r.right - fixed, 0);
    int share = left / autos, extra = left % autos;
    for (size_t i = 0; i < columns_->columns_.size(); ++i) {
        TListColumn* c = columns_->columns_[i].get();
        if (!c->autoSize_) continue;
        int w = share + (--autos == 0 ? extra : 0);
        c->width_ = w;
        Send(LVM_SETCOLUMNWIDTH, i, MAKELPARAM(w, 0));
    }
}

void TCustomListView::Resize() {
    UpdateColumnSizes();
    TWinControl::Resize();
}

// ---------------------------------------------------------------- properties

void TCustomListView::SetMultiSelect(bool Value) {
    if (Value == multiSelect_) return;
    multiSelect_ = Value;
    RecreateWnd();
}

void TCustomListView::SetRowSelect(bool Value) {
    if (Value == rowSelect_) return;
    rowSelect_ = Value;
    if (HandleAllocated()) UpdateExtendedStyle();
}

void TCustomListView::SetReadOnly(bool Value) {
    if (Value == readOnly_) return;
    readOnly_ = Value;
    RecreateWnd();
}

void TCustomListView::SetHideSelection(bool Value) {
    if (Value == hideSelection_) return;
    hideSelection_ = Value;
    RecreateWnd();
}

void TCustomListView::SetGridLines(bool Value) {
    if (Value == gridLines_) return;
    gridLines_ = Value;
    if (HandleAllocated()) UpdateExtendedStyle();
}

void TCustomListView::SetColumnClick(bool Value) {
    if (Value == columnClick_) return;
    columnClick_ = Value;
    RecreateWnd();
}

void TCustomListView::SetShowColumnHeaders(bool Value) {
    if (Value == showColumnHeaders_) return;
    showColumnHeaders_ = Value;
    RecreateWnd();
}

void TCustomListView::SetFlatScrollBars(bool Value) {
    if (Value == flatScrollBars_) return;
    flatScrollBars_ = Value;
    if (HandleAllocated()) UpdateExtendedStyle();
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
    if (Value == viewStyle_) return;
    viewStyle_ = Value;
    RecreateWnd();
}

TCustomImageList* TCustomListView::SmallImages() const { return smallImages_->Images(); }
TCustomImageList* TCustomListView::LargeImages() const { return largeImages_->Images(); }

void TCustomListView::SetSmallImages(TCustomImageList* Value) {
    if (smallImages_->Attach(Value)) UpdateImageLists();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
    if (largeImages_->Attach(Value)) UpdateImageLists();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    // Both links may hold the list that goes.
    const bool smallGone = smallImages_->ListFreed(AComponent, Operation);
    const bool largeGone = largeImages_->ListFreed(AComponent, Operation);
    if (smallGone || largeGone) UpdateImageLists();
}

// ---------------------------------------------------------------- items

void TCustomListView::ItemAdded(TListItem* Item, int Index) {
    if (!HandleAllocated()) return;
    QuietScope q(quiet_);
    InsertNativeItem(Index, Item);
}

void TCustomListView::RemoveItem(int Index) {
    if (HandleAllocated()) {
        QuietScope q(quiet_);
        Send(LVM_DELETEITEM, static_cast<WPARAM>(Index));
    }
    // Freed once out of the list.
    const std::unique_ptr<TListItem> item = std::move(items_->items_[static_cast<size_t>(Index)]);
    items_->items_.erase(items_->items_.begin() + Index);
}

unsigned TCustomListView::ItemState(const TListItem* Item) const {
    if (!HandleAllocated()) return Item->state_;
    int i = Item->Index();
    if (i < 0) return 0;
    return static_cast<unsigned>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(i), kStateMask));
}

void TCustomListView::SetItemState(TListItem* Item, unsigned Mask, unsigned State) {
    if (HandleAllocated()) {
        // The control answers with LVN_ITEMCHANGED, which raises the events.
        LVITEMA it{};
        it.stateMask = Mask;
        it.state = State;
        Send(LVM_SETITEMSTATE, static_cast<WPARAM>(Item->Index()), reinterpret_cast<LPARAM>(&it));
        return;
    }
    // Without a window the object keeps the state and raises the events the
    // control would: one selected item unless MultiSelect, one focused item.
    const unsigned now = (Item->state_ & ~Mask) | (State & Mask);
    if (now == Item->state_) return;
    if (!CanChange(Item, ctState)) return;
    unsigned exclusive = (now & ~Item->state_) & (LVIS_FOCUSED | (multiSelect_ ? 0u : unsigned(LVIS_SELECTED)));
    if (exclusive) {
        for (auto& other : items_->items_)
            if (other.get() != Item && (other->state_ & exclusive)) SetItemState(other.get(), exclusive, 0);
    }
    const unsigned old = Item->state_;
    Item->state_ = now;
    Change(Item, ctState);
    if ((old ^ now) & LVIS_SELECTED) SelectItem(Item, (now & LVIS_SELECTED) != 0);
}

void TCustomListView::ItemStateFromControl(int Index, unsigned NewState) {
    if (Index < 0 || Index >= items_->Count()) return;
    TListItem* item = items_->items_[static_cast<size_t>(Index)].get();
    const unsigned old = item->state_;
    const unsigned now = NewState & kStateMask;
    item->state_ = now;
    if (quiet_ || old == now) return;
    Change(item, ctState);
    if ((old ^ now) & LVIS_SELECTED) SelectItem(item, (now & LVIS_SELECTED) != 0);
}

TListItem* TCustomListView::Selected() const {
    if (HandleAllocated()) {
        int i = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        return i >= 0 && i < items_->Count() ? items_->items_[static_cast<size_t>(i)].get() : nullptr;
    }
    for (auto& i : items_->items_)
        if (i->state_ & LVIS_SELECTED) return i.get();
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* Value) {
    if (Value) {
        Value->SetSelected(true);
        return;
    }
    for (TListItem* i : items_->Snapshot())
        if (i->Selected()) i->SetSelected(false);
}

TListItem* TCustomListView::ItemFocused() const {
    if (HandleAllocated()) {
        int i = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        return i >= 0 && i < items_->Count() ? items_->items_[static_cast<size_t>(i)].get() : nullptr;
    }
    for (auto& i : items_->items_)
        if (i->state_ & LVIS_FOCUSED) return i.get();
    return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* Value) {
    if (Value) {
        Value->SetFocused(true);
        return;
    }
    if (TListItem* f = ItemFocused()) f->SetFocused(false);
}

int TCustomListView::ItemIndex() const {
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}

void TCustomListView::SetItemIndex(int Value) {
    if (Value >= 0 && Value < items_->Count())
        items_->items_[static_cast<size_t>(Value)]->SetSelected(true);
    else
        SetSelected(nullptr);
}

int TCustomListView::SelCount() const {
    if (HandleAllocated()) return static_cast<int>(Send(LVM_GETSELECTEDCOUNT));
    return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(),
                                          [](const auto& i) { return (i->state_ & LVIS_SELECTED) != 0; }));
}

TListItem* TCustomListView::GetItemAt(int X, int Y) const {
    if (!HandleAllocated()) return nullptr;
    LVHITTESTINFO hit{};
    hit.pt = Point(X, Y);
    int i = static_cast<int>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return i >= 0 && i < items_->Count() ? items_->items_[static_cast<size_t>(i)].get() : nullptr;
}

// ---------------------------------------------------------------- events

void TCustomListView::Delete(TListItem* Item) {
    if (OnDeletion) OnDeletion(this, Item);
}

void TCustomListView::Change(TListItem* Item, TItemChange Change) {
    if (OnChange) OnChange(this, Item, Change);
}

bool TCustomListView::CanChange(TListItem* Item, TItemChange Change) {
    bool allow = true;
    if (OnChanging) OnChanging(this, Item, Change, allow);
    return allow;
}

void TCustomListView::SelectItem(TListItem* Item, bool Selected) {
    if (OnSelectItem) OnSelectItem(this, Item, Selected);
}

// ---------------------------------------------------------------- sorting

void TCustomListView::SetSortType(TSortType Value) {
    if (Value == sortType_) return;
    sortType_ = Value;
    if (Value == stNone) return;
    if (items_->updateCount_ > 0)
        sortPending_ = true;
    else
        AlphaSort();
}

void TCustomListView::SortIfNeeded(bool CaptionChanged, bool DataChanged) {
    const bool byText = sortType_ == stText || sortType_ == stBoth;
    const bool byData = sortType_ == stData || sortType_ == stBoth;
    if (!((CaptionChanged && byText) || (DataChanged && byData))) return;
    if (items_->updateCount_ > 0)
        sortPending_ = true;
    else
        AlphaSort();
}

int TCustomListView::DefaultCompare(TCustomListView* lv, TListItem* a, TListItem* b, intptr_t data, TLVCompare proc) {
    if (proc) return proc(a, b, data);
    if (lv->OnCompare) {
        int c = 0;
        lv->OnCompare(lv, a, b, static_cast<int>(data), c);
        return c;
    }
    auto byData = [&] { return a->data_ < b->data_ ? -1 : a->data_ > b->data_ ? 1 : 0; };
    if (lv->sortType_ == stData) return byData();
    int c = lstrcmpA(a->caption_.c_str(), b->caption_.c_str());
    if (c == 0 && lv->sortType_ == stBoth) return byData();
    return c;
}

bool TCustomListView::AlphaSort() { return SortBy(&DefaultCompare, nullptr, 0); }

bool TCustomListView::CustomSort(TLVCompare SortProc, intptr_t Data) { return SortBy(&DefaultCompare, SortProc, Data); }

// The objects are put in order first (a stable sort: equal items keep
// their order); the control is then told to sort by that order, so the
// two always agree.
bool TCustomListView::SortBy(int (*compare)(TCustomListView*, TListItem*, TListItem*, intptr_t, TLVCompare),
                             TLVCompare proc, intptr_t data) {
    auto& v = items_->items_;
    if (v.size() < 2) return true;
    std::vector<TListItem*> sorted = items_->Snapshot();
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](TListItem* a, TListItem* b) { return compare(this, a, b, data, proc) < 0; });
    // The list follows only once the sort is through: a compare that throws
    // leaves it as it was.
    for (size_t i = 0; i < sorted.size(); ++i) sorted[i]->sortPos_ = static_cast<int>(i);
    std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a->sortPos_ < b->sortPos_; });
    if (HandleAllocated()) {
        QuietScope q(quiet_);
        return Send(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&NativeOrder)) != 0;
    }
    return true;
}

// ---------------------------------------------------------------- messages

void TCustomListView::NotifyHandler(TMessage& m) {
    auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
    auto* nv = reinterpret_cast<NMLISTVIEW*>(m.LParam);
    switch (nm->code) {
    case LVN_ITEMCHANGING:
        m.Result = FALSE;
        if (!quiet_ && (nv->uChanged & LVIF_STATE) && nv->iItem >= 0 && nv->iItem < items_->Count() &&
            ((nv->uOldState ^ nv->uNewState) & kStateMask) &&
            !CanChange(items_->items_[static_cast<size_t>(nv->iItem)].get(), ctState))
            m.Result = TRUE;
        return;
    case LVN_ITEMCHANGED:
        if (!(nv->uChanged & LVIF_STATE)) return;
        if (nv->iItem >= 0) {
            ItemStateFromControl(nv->iItem, nv->uNewState);
        } else {
            for (int i = 0; i < items_->Count(); ++i)
                ItemStateFromControl(i,
                                     static_cast<unsigned>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(i), kStateMask)));
        }
        return;
    case LVN_COLUMNCLICK:
        if (OnColumnClick && nv->iSubItem >= 0 && nv->iSubItem < columns_->Count())
            OnColumnClick(this, columns_->columns_[static_cast<size_t>(nv->iSubItem)].get());
        return;
    case LVN_BEGINDRAG:
        if (DragMode() == dmAutomatic) BeginDrag();
        return;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW: m.Result = readOnly_ ? TRUE : FALSE; return;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
        // The new caption goes through the object (and a re-sort); the
        // control is told to keep what it has, which SetCaption has set.
        m.Result = FALSE;
        std::string text;
        int index;
        if (nm->code == static_cast<UINT>(LVN_ENDLABELEDITA)) {
            auto* d = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
            if (!d->item.pszText) return;
            text = d->item.pszText;
            index = d->item.iItem;
        } else {
            auto* d = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
            if (!d->item.pszText) return;
            text = FromWide(d->item.pszText);
            index = d->item.iItem;
        }
        if (index >= 0 && index < items_->Count()) items_->items_[static_cast<size_t>(index)]->SetCaption(text);
        return;
    }
    case LVN_DELETEALLITEMS:
        m.Result = TRUE;  // no LVN_DELETEITEM for each: the objects announce their own deletion
        return;
    }
    DefaultHandler(m);
}

void TCustomListView::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_NOTIFY: NotifyHandler(m); return;
    }
    TWinControl::WndProc(m);
}

void TCustomListView::ColorChanged() {
    TWinControl::ColorChanged();
    if (HandleAllocated()) UpdateColors();
}

void TCustomListView::FontChanged() {
    TWinControl::FontChanged();
    if (HandleAllocated()) UpdateColors();
}

}  // namespace ui
