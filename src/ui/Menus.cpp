#include "ui/Menus.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <unordered_map>

#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/Form.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/ImageList.h"
#include "ui/UtilWindow.h"

namespace ui {

namespace {

// ---------------------------------------------------------------- command ids

// Every item has an id of its own, so that a WM_COMMAND names one item in
// the whole process. Ids from 0xF000 up are the system menu's commands.
constexpr WORD kFirstCommand = 1;
constexpr WORD kLastCommand = 0xEFFF;

std::unordered_map<WORD, TMenuItem*>& CommandItems() {
    static std::unordered_map<WORD, TMenuItem*> items;
    return items;
}

WORD gNextCommand = kFirstCommand;

WORD AllocCommand(TMenuItem* item) {
    auto& items = CommandItems();
    for (unsigned n = kFirstCommand; n <= kLastCommand; ++n) {
        WORD c = gNextCommand;
        gNextCommand = c >= kLastCommand ? kFirstCommand : static_cast<WORD>(c + 1);
        if (items.emplace(c, item).second) return c;
    }
    throw EMenuError("Too many menu items");
}

TMenuItem* CommandItem(WORD command) {
    auto& items = CommandItems();
    auto it = items.find(command);
    return it == items.end() ? nullptr : it->second;
}

// The caption as the user reads it: "&&" is a literal "&", a single "&"
// marks the accelerator.
std::string StripHotkey(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size())
            ++i;
        else if (s[i] == '&')
            continue;
        r += s[i];
    }
    return r;
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

void ForEachItem(TMenuItem* item, const std::function<bool(TMenuItem*)>& f, bool& stop) {
    if (stop) return;
    if (f(item)) {
        stop = true;
        return;
    }
    for (int i = 0; i < item->Count() && !stop; ++i) ForEachItem(item->Items(i), f, stop);
}

// A canvas over a DC the system lends for measuring or drawing one item,
// with the menu font; it gives the DC back as it found it.
class MenuItemCanvas {
public:
    explicit MenuItemCanvas(HDC dc) : saved_(dc) {
        canvas_.SetHandle(dc);
        if (Screen) canvas_.Font()->Assign(Screen->MenuFont());
        canvas_.Font()->SetColor(clMenuText);
        canvas_.Brush()->SetColor(clMenu);
    }
    ~MenuItemCanvas() { canvas_.SetHandle(nullptr); }
    TCanvas* Get() { return &canvas_; }

private:
    ScopedSaveDC saved_;  // restored after the canvas has let go of the DC
    TCanvas canvas_;
};

// Wine takes the right-order bit for the old system-menu bit: an item that
// carries it is drawn as the window's system-menu button and never reaches
// its owner. Wine names itself through ntdll's wine_get_version.
bool RightOrderHonoured() {
    static const bool honoured = !GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    return honoured;
}

}  // namespace

// ---------------------------------------------------------------- shortcuts

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key & 0xFF00) return scNone;
    TShortCut r = Key;
    if (Shift & ssShift) r |= scShift;
    if (Shift & ssCtrl) r |= scCtrl;
    if (Shift & ssAlt) r |= scAlt;
    return r;
}

void ShortCutToKey(TShortCut s, WORD& Key, TShiftState& Shift) {
    Key = s & 0xFF;
    Shift = 0;
    if (s & scShift) Shift |= ssShift;
    if (s & scCtrl) Shift |= ssCtrl;
    if (s & scAlt) Shift |= ssAlt;
}

std::string ShortCutToText(TShortCut s) {
    const WORD key = s & 0xFF;
    std::string name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        name = std::string(1, static_cast<char>(key));
    } else if (key >= VK_F1 && key <= VK_F24) {
        name = "F" + std::to_string(key - VK_F1 + 1);
    } else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        name = "Num " + std::to_string(key - VK_NUMPAD0);
    } else {
        switch (key) {
        case 0: return "";
        case VK_BACK: name = "BkSp"; break;
        case VK_TAB: name = "Tab"; break;
        case VK_RETURN: name = "Enter"; break;
        case VK_ESCAPE: name = "Esc"; break;
        case VK_SPACE: name = "Space"; break;
        case VK_PRIOR: name = "PgUp"; break;
        case VK_NEXT: name = "PgDn"; break;
        case VK_END: name = "End"; break;
        case VK_HOME: name = "Home"; break;
        case VK_LEFT: name = "Left"; break;
        case VK_UP: name = "Up"; break;
        case VK_RIGHT: name = "Right"; break;
        case VK_DOWN: name = "Down"; break;
        case VK_INSERT: name = "Ins"; break;
        case VK_DELETE: name = "Del"; break;
        default: {
            // Punctuation and the rest: the keyboard layout's own name.
            UINT scan = MapVirtualKeyA(key, 0 /* MAPVK_VK_TO_VSC */);
            char buf[64] = {};
            if (scan && GetKeyNameTextA(static_cast<LONG>(scan << 16), buf, sizeof(buf)) > 0)
                name = buf;
            else
                return "";
        }
        }
    }
    std::string prefix;
    if (s & scShift) prefix += "Shift+";
    if (s & scCtrl) prefix += "Ctrl+";
    if (s & scAlt) prefix += "Alt+";
    return prefix + name;
}

// ================================================================ TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner)
    : TComponent(AOwner), subMenuImages_(new TImageListLink(this, nullptr)), command_(AllocCommand(this)) {}

TMenuItem::~TMenuItem() {
    // Only does work after a plain delete; Free ran it in Destroying.
    ReleaseTree();
    CommandItems().erase(command_);
}

void TMenuItem::Destroying() {
    ReleaseTree();
    TComponent::Destroying();
}

// Out of the parent first (its system menu no longer shows this item),
// then the sub-items go, then this item's own system menu.
void TMenuItem::ReleaseTree() {
    if (releasing_) return;
    releasing_ = true;
    if (parent_) parent_->Remove(this);
    while (!items_.empty()) {
        TMenuItem* c = items_.back();
        TComponent::Free(c);  // takes itself out of items_
        if (!items_.empty() && items_.back() == c) items_.pop_back();
    }
    DestroyHandle();
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    subMenuImages_->ListFreed(AComponent, Operation);
}

// ---------------------------------------------------------------- tree

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
    return items_[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
    if (!parent_) return;
    TMenuItem* p = parent_;
    Value = std::clamp(Value, 0, p->Count() - 1);
    int cur = MenuIndex();
    if (Value == cur) return;
    p->items_.erase(p->items_.begin() + cur);
    p->items_.insert(p->items_.begin() + Value, this);
    MenuChanged(true);
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->parent_) throw EMenuError("Menu inserted twice");
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == Item) throw EMenuError("Menu inserted into itself");
    if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
    RebuildHandle();
    // An item that gets its first sub-item now opens a submenu.
    if (Count() == 1 && parent_) parent_->RebuildHandle();
    TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    if (root->menu_) root->menu_->MenuChanged(root, Item, true);
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = Items(Index);
    items_.erase(items_.begin() + Index);
    item->parent_ = nullptr;
    if (releasing_) return;
    RebuildHandle();
    if (items_.empty() && parent_) parent_->RebuildHandle();
    TMenuItem* source = (!parent_ && menu_) ? nullptr : this;
    TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    if (root->menu_) root->menu_->MenuChanged(root, source, true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    int i = IndexOf(Item);
    if (i < 0) throw EMenuError("Menu item not found");
    Delete(i);
}

void TMenuItem::Clear() {
    while (!items_.empty()) {
        TMenuItem* c = items_.back();
        TComponent::Free(c);
        if (!items_.empty() && items_.back() == c) items_.pop_back();
    }
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    const std::string want = StripHotkey(ACaption);
    for (TMenuItem* c : items_)
        if (SameText(StripHotkey(c->caption_), want)) return c;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->parent_) i = i->parent_;
    return i->menu_;
}

TComponent* TMenuItem::GetParentComponent() const {
    if (parent_ && parent_->menu_) return parent_->menu_;
    return parent_;
}

TCustomImageList* TMenuItem::GetImageList() const {
    for (const TMenuItem* p = parent_; p; p = p->parent_)
        if (TCustomImageList* l = p->subMenuImages_->Images()) return l;
    TMenu* m = GetParentMenu();
    return m ? m->Images() : nullptr;
}

bool TMenuItem::IsOwnerDraw() const {
    TMenu* m = GetParentMenu();
    return m && m->OwnerDraw();
}

bool TMenuItem::IsTopLevel() const {
    return parent_ && !parent_->parent_ && dynamic_cast<TMainMenu*>(parent_->menu_) != nullptr;
}

// ---------------------------------------------------------------- changes

void TMenuItem::MenuChanged(bool Rebuild) {
    if (releasing_) return;
    TMenuItem* source = (!parent_ && menu_) ? nullptr : this;
    if (parent_)
        parent_->SubItemChanged(source, Rebuild);
    else if (menu_)
        menu_->MenuChanged(this, source, Rebuild);
}

void TMenuItem::SubItemChanged(TMenuItem* Source, bool Rebuild) {
    if (Rebuild) RebuildHandle();
    if (parent_)
        parent_->SubItemChanged(Source, false);
    else if (menu_)
        menu_->MenuChanged(this, Source, Rebuild);
}

// ---------------------------------------------------------------- properties

void TMenuItem::SetCaption(const std::string& Value) {
    if (Value == caption_) return;
    caption_ = Value;
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
    if (!parent_) return;
    for (TMenuItem* s : parent_->items_)
        if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_) s->checked_ = false;
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == checked_) return;
    checked_ = Value;
    if (Value && radioItem_) TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (Value == radioItem_) return;
    radioItem_ = Value;
    if (Value && checked_) TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(int Value) {
    if (Value == groupIndex_) return;
    groupIndex_ = Value;
    if (radioItem_ && checked_) TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value == enabled_) return;
    enabled_ = Value;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
    if (Value == visible_) return;
    visible_ = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
    if (Value == default_) return;
    // A menu has one default item at most.
    if (Value && parent_)
        for (TMenuItem* s : parent_->items_) s->default_ = false;
    default_ = Value;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == shortCut_) return;
    shortCut_ = Value;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
    if (Value == imageIndex_) return;
    imageIndex_ = Value;
    MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
    if (Value == break_) return;
    break_ = Value;
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
    Bitmap()->Assign(Value);
    MenuChanged(true);
}

TCustomImageList* TMenuItem::SubMenuImages() const { return subMenuImages_->Images(); }

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
    if (!subMenuImages_->Attach(Value)) return;
    // The sub-items are measured again.
    RebuildHandle();
    MenuChanged(false);
}

// ---------------------------------------------------------------- system menu

std::string TMenuItem::MenuText() const {
    if (shortCut_ == scNone) return caption_;
    return caption_ + "\t" + ShortCutToText(shortCut_);
}

HMENU TMenuItem::Handle() {
    if (!handle_) {
        const bool bar = !parent_ && dynamic_cast<TMainMenu*>(menu_) != nullptr;
        HMENU h = bar ? CreateMenu() : CreatePopupMenu();
        if (!h) throw EMenuError("Cannot create a menu (" + std::to_string(GetLastError()) + ")");
        handle_ = h;
        for (TMenuItem* c : items_)
            if (c->visible_) c->AppendTo(h);
    }
    return handle_;
}

void TMenuItem::AppendTo(HMENU Menu) {
    std::string text = MenuText();
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    if (IsLine()) {
        mii.fType = MFT_SEPARATOR;
    } else {
        // The text stays with owner-drawn items too: the system matches
        // accelerator keys against it.
        mii.fType = MFT_STRING;
        mii.fMask |= MIIM_STRING;
        mii.dwTypeData = text.data();
        mii.cch = static_cast<UINT>(text.size());
    }
    if (radioItem_) mii.fType |= MFT_RADIOCHECK;
    if (break_ == mbBreak)
        mii.fType |= MFT_MENUBREAK;
    else if (break_ == mbBarBreak)
        mii.fType |= MFT_MENUBARBREAK;
    if (IsOwnerDraw()) mii.fType |= MFT_OWNERDRAW;
    // A right-to-left menu lays its items out from the right: the system
    // then puts its own marks (the submenu arrow) at the left end.
    if (TMenu* m = GetParentMenu(); m && m->IsRightToLeft())
        mii.fType |= MFT_RIGHTJUSTIFY | (RightOrderHonoured() ? MFT_RIGHTORDER : 0u);
    mii.fState = (checked_ ? MFS_CHECKED : 0u) | (enabled_ ? 0u : MFS_GRAYED) | (default_ ? MFS_DEFAULT : 0u);
    mii.wID = command_;
    if (!items_.empty())
        mii.hSubMenu = Handle();
    else
        DestroyHandle();  // no sub-items: nothing opens from this item
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    InsertMenuItemA(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &mii);
}

// Takes every entry out (RemoveMenu leaves the sub-items' own menus alone)
// and puts the visible sub-items back in order.
void TMenuItem::RebuildHandle() {
    if (!handle_ || releasing_) return;
    while (GetMenuItemCount(handle_) > 0)
        if (!RemoveMenu(handle_, 0, MF_BYPOSITION)) break;
    for (TMenuItem* c : items_)
        if (c->visible_) c->AppendTo(handle_);
}

void TMenuItem::DestroyHandle() {
    if (!handle_) return;
    HMENU h = handle_;
    handle_ = nullptr;
    // DestroyMenu would take the sub-items' menus with it: they are theirs.
    while (GetMenuItemCount(h) > 0)
        if (!RemoveMenu(h, 0, MF_BYPOSITION)) break;
    DestroyMenu(h);
}

// ---------------------------------------------------------------- events

void TMenuItem::Click() {
    if (!enabled_) return;
    if (autoCheck_) SetChecked(!checked_);
    if (OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
    if (IsLine()) {
        Width = 0;
        Height = GetSystemMetrics(SM_CYMENUSIZE) / 2;
    } else {
        TSize text = ACanvas->TextExtent(StripHotkey(caption_.empty() ? std::string(" ") : caption_));
        TCustomImageList* il = GetImageList();
        const bool hasImage = il && imageIndex_ >= 0;
        if (IsTopLevel()) {
            Width = text.cx + 8 + (hasImage ? il->Width() + 4 : 0);
            Height = std::max<int>(text.cy, hasImage ? il->Height() : 0) + 4;
        } else {
            const int glyphW = il ? il->Width() : 16;
            const int glyphH = il ? il->Height() : 16;
            Width = 2 + glyphW + 8 + text.cx + 8;
            if (shortCut_ != scNone) Width += 24 + ACanvas->TextWidth(ShortCutToText(shortCut_));
            Height = std::max<int>(text.cy + 6, glyphH + 4);
        }
    }
    if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
    if (OnAdvancedDrawItem)
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
    else if (OnDrawItem)
        OnDrawItem(this, ACanvas, ARect, (State & odSelected) != 0);
    else
        DrawDefault(ACanvas, ARect, State, TopLevel);
}

// The look of an owner-drawn item without handlers: close to the system's
// own menus, so that OwnerDraw alone changes nothing a user would notice.
void TMenuItem::DrawDefault(TCanvas* ACanvas, TRect R, TOwnerDrawState State, bool TopLevel) {
    const bool selected = (State & odSelected) != 0;
    const bool disabled = !enabled_ || (State & (odGrayed | odDisabled)) != 0;
    ACanvas->Brush()->SetColor(selected && !IsLine() ? clHighlight : clMenu);
    ACanvas->FillRect(R);
    HDC dc = ACanvas->Handle();
    if (IsLine()) {
        RECT line = R;
        line.top += RectHeight(R) / 2 - 1;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const TColor textColor = disabled ? clGrayText : selected ? clHighlightText : clMenuText;
    RECT text = R;
    text.left += 4;
    text.right -= 4;
    if (!TopLevel) {
        TCustomImageList* il = GetImageList();
        const int glyphW = il ? il->Width() : 16;
        TRect glyph = Rect(R.left + 2, R.top, R.left + 2 + glyphW, R.bottom);
        if (il && imageIndex_ >= 0 && imageIndex_ < il->Count()) {
            il->Draw(ACanvas, glyph.left, R.top + (RectHeight(R) - il->Height()) / 2, imageIndex_, !disabled);
        } else if (bitmap_ && !bitmap_->Empty()) {
            ACanvas->Draw(glyph.left, R.top + (RectHeight(R) - bitmap_->Height()) / 2, bitmap_.get());
        } else if (checked_) {
            ACanvas->Pen()->SetColor(textColor);
            ACanvas->Brush()->SetColor(textColor);
            const int cx = glyph.left + glyphW / 2, cy = R.top + RectHeight(R) / 2;
            if (radioItem_) {
                ACanvas->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
            } else {
                for (int k = 0; k < 2; ++k)
                    ACanvas->Polyline(
                        {Point(cx - 4, cy - 1 + k), Point(cx - 1, cy + 2 + k), Point(cx + 4, cy - 3 + k)});
            }
        }
        text.left = glyph.right + 6;
    }
    ScopedSelectObject font(dc, ACanvas->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToCOLORREF(textColor));
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (TopLevel ? DT_CENTER : DT_LEFT);
    if (State & odNoAccel) format |= DT_HIDEPREFIX;
    DrawTextA(dc, caption_.c_str(), -1, &text, format);
    if (!TopLevel && shortCut_ != scNone) {
        const std::string sc = ShortCutToText(shortCut_);
        DrawTextA(dc, sc.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
}

// ================================================================ TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
    items_ = TComponent::Create<TMenuItem>(this);
    items_->menu_ = this;
    images_ = std::make_unique<TImageListLink>(this, TNotifyEvent(this, &TMenu::ImageListChange));
}

TMenu::~TMenu() { FreeRoot(); }

void TMenu::Destroying() {
    FreeRoot();
    TComponent::Destroying();
}

void TMenu::FreeRoot() {
    if (!items_) return;
    TMenuItem* root = items_;
    items_ = nullptr;
    root->menu_ = nullptr;  // no change news from a menu that is going
    TComponent::Free(root);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (images_->ListFreed(AComponent, Operation) && !HasState(csDestroying)) UpdateItems();
}

TCustomImageList* TMenu::Images() const { return images_->Images(); }

void TMenu::SetImages(TCustomImageList* Value) {
    if (images_->Attach(Value)) UpdateItems();
}

void TMenu::ImageListChange(TObject*) { UpdateItems(); }

void TMenu::SetOwnerDraw(bool Value) {
    if (Value == ownerDraw_) return;
    ownerDraw_ = Value;
    UpdateItems();
}

void TMenu::SetBiDiMode(TBiDiMode v) {
    if (v == biDiMode_) return;
    biDiMode_ = v;
    UpdateItems();
}

void TMenu::UpdateItems() {
    if (!items_) return;
    bool stop = false;
    ForEachItem(
        items_,
        [](TMenuItem* i) {
            i->RebuildHandle();
            return false;
        },
        stop);
    if (auto* mm = dynamic_cast<TMainMenu*>(this); mm && mm->WindowHandle()) DrawMenuBar(mm->WindowHandle());
}

void TMenu::MenuChanged(TObject*, TMenuItem* Source, bool Rebuild) {
    if (OnChange) OnChange(this, Source, Rebuild);
}

TMenuItem* TMenu::FindItem(intptr_t Value, TFindItemKind Kind) const {
    if (!items_) return nullptr;
    if (Kind == fkCommand) {
        if (Value < 0 || Value > 0xFFFF) return nullptr;
        TMenuItem* item = CommandItem(static_cast<WORD>(Value));
        return item && item->GetParentMenu() == this ? item : nullptr;
    }
    TMenuItem* found = nullptr;
    bool stop = false;
    ForEachItem(
        items_,
        [&](TMenuItem* i) {
            bool hit = Kind == fkHandle ? (i->handle_ && reinterpret_cast<intptr_t>(i->handle_) == Value)
                                        : (Value != scNone && i->shortCut_ == Value);
            if (hit) found = i;
            return hit;
        },
        stop);
    return found;
}

bool TMenu::DispatchCommand(WORD ACommand) {
    TMenuItem* item = FindItem(ACommand, fkCommand);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AMenu) {
    TMenuItem* item = FindItem(reinterpret_cast<intptr_t>(AMenu), fkHandle);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::HandleMenuMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_COMMAND:
        // From a menu (0) or an accelerator (1); controls send a window.
        if (m.LParam != 0 || HIWORD(m.WParam) > 1) return false;
        if (!DispatchCommand(LOWORD(m.WParam))) return false;
        m.Result = 0;
        return true;
    case WM_INITMENUPOPUP:
        if (HIWORD(m.LParam)) return false;  // the window menu
        return DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (!mis || mis->CtlType != ODT_MENU) return false;
        TMenuItem* item = FindItem(mis->itemID, fkCommand);
        if (!item || (mis->itemData && mis->itemData != reinterpret_cast<ULONG_PTR>(item))) return false;
        ScopedGetDC screen(nullptr);
        MenuItemCanvas canvas(screen);
        int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
        item->MeasureItem(canvas.Get(), w, h);
        mis->itemWidth = static_cast<UINT>(std::max(w, 0));
        mis->itemHeight = static_cast<UINT>(std::max(h, 0));
        m.Result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (!dis || dis->CtlType != ODT_MENU) return false;
        TMenuItem* item = FindItem(dis->itemID, fkCommand);
        if (!item || (dis->itemData && dis->itemData != reinterpret_cast<ULONG_PTR>(item))) return false;
        MenuItemCanvas canvas(dis->hDC);
        item->AdvancedDrawItem(canvas.Get(), dis->rcItem, dis->itemState, item->IsTopLevel());
        m.Result = TRUE;
        return true;
    }
    }
    return false;
}

// ================================================================ TMainMenu

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() { Detach(); }

void TMainMenu::Destroying() {
    Detach();
    TMenu::Destroying();
}

void TMainMenu::Detach() {
    if (!form_) return;
    if (form_->Menu() == this) {
        form_->SetMenu(nullptr);
    } else {
        form_ = nullptr;
        window_ = nullptr;
    }
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    // The form goes first: the bar comes off its window while both exist.
    if (Operation == opRemove && AComponent == form_) Detach();
}

void TMainMenu::Attach(TCustomForm* form) {
    form_ = form;
    FreeNotification(form);
}

void TMainMenu::SetWindowHandle(HWND Value) {
    if (window_ && window_ != Value && IsWindow(window_) && GetMenu(window_) == Handle()) ::SetMenu(window_, nullptr);
    window_ = Value;
    if (Value) {
        ::SetMenu(Value, Handle());
        DrawMenuBar(Value);
    }
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    if (window_) DrawMenuBar(window_);
    TMenu::MenuChanged(Sender, Source, Rebuild);
}

// ================================================================ popup list

namespace {

struct PopupListState {
    HWND window = nullptr;
    std::vector<TPopupMenu*> menus;  // not owned
    int dispatching = 0;
};

PopupListState& PopupList() {
    static PopupListState s;
    return s;
}

void PopupListWndProc(TMessage& m) {
    PopupListState& s = PopupList();
    switch (m.Msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM: {
        ++s.dispatching;
        bool handled = false;
        try {
            // A handler may free menus: ask only those still listed.
            const std::vector<TPopupMenu*> menus = s.menus;
            for (TPopupMenu* pm : menus) {
                if (std::find(s.menus.begin(), s.menus.end(), pm) == s.menus.end()) continue;
                if (pm->HandleMenuMessage(m)) {
                    handled = true;
                    break;
                }
            }
        } catch (...) {
            --s.dispatching;
            throw;
        }
        --s.dispatching;
        if (handled) return;
        break;
    }
    }
    m.Result = DefWindowProcA(s.window, m.Msg, m.WParam, m.LParam);
}

void PopupListAdd(TPopupMenu* pm) {
    PopupListState& s = PopupList();
    if (!s.window) {
        s.window = AllocateHWnd(TWndMethod(&PopupListWndProc));
        if (!s.window) throw EOutOfResources("Cannot create the popup menu window");
    }
    s.menus.push_back(pm);
}

void PopupListRemove(TPopupMenu* pm) {
    PopupListState& s = PopupList();
    s.menus.erase(std::remove(s.menus.begin(), s.menus.end(), pm), s.menus.end());
    // The window stays while one of its messages is being handled; the
    // next popup menu to come reuses it.
    if (s.menus.empty() && s.window && s.dispatching == 0) {
        DeallocateHWnd(s.window);
        s.window = nullptr;
    }
}

}  // namespace

HWND PopupListWindow() { return PopupList().window; }

// ================================================================ TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {
    PopupListAdd(this);
    registered_ = true;
}

TPopupMenu::~TPopupMenu() {
    if (registered_) PopupListRemove(this);
}

void TPopupMenu::Destroying() {
    if (registered_) {
        registered_ = false;
        PopupListRemove(this);
    }
    TMenu::Destroying();
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    popupComponent_ = Value;
    if (Value) FreeNotification(Value);
}

void TPopupMenu::DoPopup(TObject* Sender) {
    if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
    popupPoint_ = Point(X, Y);
    DoPopup(this);
    UINT flags = alignment_ == paRight ? TPM_RIGHTALIGN : alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    flags |= trackButton_ == tbLeftButton ? TPM_LEFTBUTTON : TPM_RIGHTBUTTON;
    HMENU h = Handle();
    HWND owner = PopupListWindow();
    if (!owner) return;
    TrackPopupMenu(h, flags, X, Y, 0, owner, nullptr);
}

bool ShowControlPopupMenu(TControl* c, TMessage& m) {
    TPopupMenu* pm = c->PopupMenu();
    if (!pm || !pm->AutoPopup()) return false;
    TPoint p = Point(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
    if (p.x == -1 && p.y == -1) p = c->ClientToScreen(Point(0, 0));  // from the keyboard
    pm->SetPopupComponent(c);
    pm->Popup(p.x, p.y);
    m.Result = 1;
    return true;
}

}  // namespace ui
