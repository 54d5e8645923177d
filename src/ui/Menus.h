#pragma once
// Menus: TMenuItem (one item and its sub-items, each a component), TMenu
// (a tree of items under a root item), TMainMenu (a form's menu bar) and
// TPopupMenu (shown at a point, by code or on a right click).
//
// The items live in C++ objects; the system menus are made from them on
// demand and rebuilt, one level at a time, when an item changes. Owner-drawn
// items (TMenu::OwnerDraw) are measured and drawn through the items' events
// on a canvas over the DC the system gives.
#include <memory>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Component.h"
#include "ui/Control.h"
#include "ui/Types.h"

namespace ui {

class TBitmap;
class TCanvas;
class TChangeLink;
class TImageListLink;
class TCustomForm;
class TCustomImageList;
class TMenu;
class TMenuItem;

// ---------------------------------------------------------------- shortcuts

// A key with its modifiers in one word: the virtual-key code in the low
// byte, the modifier flags above it.
using TShortCut = WORD;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+O", "Shift+Del", "F12"; empty for scNone.
std::string ShortCutToText(TShortCut ShortCut);

// ---------------------------------------------------------------- owner draw

// The state of an owner-drawn item; the flags are the system's ODS_ values.
enum TOwnerDrawStateFlag : unsigned {
    odSelected = ODS_SELECTED,
    odGrayed = ODS_GRAYED,
    odDisabled = ODS_DISABLED,
    odChecked = ODS_CHECKED,
    odFocused = ODS_FOCUS,
    odDefault = ODS_DEFAULT,
    odHotLight = ODS_HOTLIGHT,
    odInactive = ODS_INACTIVE,
    odNoAccel = ODS_NOACCEL,
    odNoFocusRect = ODS_NOFOCUSRECT,
    odComboBoxEdit = ODS_COMBOBOXEDIT,
};
using TOwnerDrawState = unsigned;

using TMenuMeasureItemEvent = Event<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = Event<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent = Event<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
// Source is the item that changed, or null for a change of the whole menu.
using TMenuChangeEvent = Event<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

// ---------------------------------------------------------------- TMenuItem

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // ---- the tree
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EMenuError "Menu index out of range" for a bad index.
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    TMenuItem* Parent() const { return parent_; }
    int IndexOf(const TMenuItem* Item) const;
    // Position among the parent's items (-1 without a parent).
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // Adds Item at the end / at Index. An item sits in one place only:
    // adding an item that has a parent raises EMenuError "Menu inserted twice".
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item at Index out of this one without freeing it.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Frees every sub-item.
    void Clear();
    // The sub-item with this caption (accelerator marks ignored), or null.
    TMenuItem* Find(const std::string& ACaption) const;

    // The menu the item belongs to (through its root), or null.
    TMenu* GetParentMenu() const;
    // The parent item, or the menu for an item at the top of a menu.
    TComponent* GetParentComponent() const;
    // SubMenuImages of the nearest parent that has them, else the menu's
    // Images.
    TCustomImageList* GetImageList() const;
    // An item captioned "-" is a separator line.
    bool IsLine() const { return caption_ == "-"; }

    // ---- properties
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the radio items of its group among
    // its siblings.
    void SetChecked(bool Value);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int Value);
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool Value) { autoCheck_ = Value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    bool Default() const { return default_; }
    void SetDefault(bool Value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut Value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value) { hint_ = Value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak Value);
    // The item's own picture; made empty on first use and owned by the item.
    TBitmap* Bitmap();
    // Copies Value's picture (null empties it).
    void SetBitmap(TBitmap* Value);
    TCustomImageList* SubMenuImages() const;
    void SetSubMenuImages(TCustomImageList* Value);

    // The id the system reports in WM_COMMAND, unique in the process.
    WORD Command() const { return command_; }
    // The system menu of the item's sub-items, made on demand.
    HMENU Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }

    // Runs AutoCheck and OnClick; nothing for a disabled item.
    virtual void Click();
    // The library's measuring and drawing of an owner-drawn item: the
    // proposed size is the default look's, which OnMeasureItem may change;
    // drawing raises OnAdvancedDrawItem, else OnDrawItem, else paints the
    // default look. TopLevel: an item on a menu bar.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

protected:
    void Destroying() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Tells the parent (and so the menu) that this item changed; Rebuild:
    // the parent's system menu must be made again.
    void MenuChanged(bool Rebuild);
    void DrawDefault(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);

private:
    friend class TMenu;
    void SubItemChanged(TMenuItem* Source, bool Rebuild);
    void ReleaseTree();
    void RebuildHandle();
    void DestroyHandle();
    void AppendTo(HMENU Menu);
    bool IsOwnerDraw() const;
    bool IsTopLevel() const;
    void TurnSiblingsOff();
    std::string MenuText() const;

    std::string caption_;
    std::string hint_;
    bool checked_ = false;
    bool radioItem_ = false;
    bool autoCheck_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    TShortCut shortCut_ = scNone;
    TMenuBreak break_ = mbNone;
    std::unique_ptr<TBitmap> bitmap_;  // made on demand
    std::unique_ptr<TImageListLink> subMenuImages_;
    WORD command_ = 0;
    HMENU handle_ = nullptr;
    TMenuItem* parent_ = nullptr;    // not owned
    std::vector<TMenuItem*> items_;  // freed with this item
    TMenu* menu_ = nullptr;          // set on a menu's root item only; not owned
    bool releasing_ = false;
};

// ---------------------------------------------------------------- TMenu

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root item: the menu's items are its sub-items.
    TMenuItem* Items() const { return items_; }
    // The root's system menu (a menu bar for TMainMenu).
    HMENU Handle() { return items_->Handle(); }
    TCustomImageList* Images() const;
    void SetImages(TCustomImageList* Value);
    // Every item is drawn by its owner-draw events (or the default look).
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool Value);
    // The reading order the menu's items are drawn in.
    TBiDiMode BiDiMode() const { return biDiMode_; }
    // The items are made again: their order flag follows the reading order.
    void SetBiDiMode(TBiDiMode v);
    bool IsRightToLeft() const { return biDiMode_ != bdLeftToRight; }

    // The item whose command, submenu handle or shortcut is Value.
    TMenuItem* FindItem(intptr_t Value, TFindItemKind Kind = fkCommand) const;
    // Clicks the item with this command; false when the menu has none.
    bool DispatchCommand(WORD ACommand);
    // Raises OnClick of the item whose submenu AMenu is about to open.
    bool DispatchPopup(HMENU AMenu);
    // Makes every system menu again (sizes are measured anew).
    void UpdateItems();
    // Handles the messages that the window owning the menu receives for it:
    // WM_COMMAND, WM_INITMENUPOPUP, WM_MEASUREITEM and WM_DRAWITEM; true
    // when the message was one of this menu's.
    bool HandleMenuMessage(TMessage& m);

    TMenuChangeEvent OnChange;

protected:
    void Destroying() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Called when an item changed (Source) or the whole menu (Source null).
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);

private:
    friend class TMenuItem;
    void ImageListChange(TObject* Sender);
    void FreeRoot();

    TMenuItem* items_ = nullptr;  // owned (as a component)
    std::unique_ptr<TImageListLink> images_;
    bool ownerDraw_ = false;
    TBiDiMode biDiMode_ = bdLeftToRight;
};

// ---------------------------------------------------------------- TMainMenu

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    // The window whose menu bar this is; null while on no form's window.
    HWND WindowHandle() const { return window_; }
    TCustomForm* Form() const { return form_; }

protected:
    void Destroying() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

private:
    friend class TCustomForm;
    void Attach(TCustomForm* form);
    void Detach();
    void SetWindowHandle(HWND Value);

    HWND window_ = nullptr;
    TCustomForm* form_ = nullptr;  // not owned
};

// ---------------------------------------------------------------- TPopupMenu

enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Raises OnPopup, then shows the menu at screen point (X, Y) and returns
    // when it closes; the chosen item's OnClick runs from the message loop
    // afterwards, as the system posts its command.
    virtual void Popup(int X, int Y);

    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment Value) { alignment_ = Value; }
    // Shown by a right click on a control whose PopupMenu it is.
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool Value) { autoPopup_ = Value; }
    TTrackButton TrackButton() const { return trackButton_; }
    void SetTrackButton(TTrackButton Value) { trackButton_ = Value; }
    // The control that showed the menu last (not owned).
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* Value);
    TPoint PopupPoint() const { return popupPoint_; }

    TNotifyEvent OnPopup;

protected:
    void Destroying() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoPopup(TObject* Sender);

private:
    TPopupAlignment alignment_ = paLeft;
    bool autoPopup_ = true;
    TTrackButton trackButton_ = tbRightButton;
    TComponent* popupComponent_ = nullptr;  // not owned
    TPoint popupPoint_{-1, -1};
    bool registered_ = false;
};

// The hidden window that owns popup menus while they are shown: the
// system sends it their WM_COMMAND, WM_INITMENUPOPUP, WM_MEASUREITEM and
// WM_DRAWITEM, which it hands to the menus. It exists while any popup menu
// does (null otherwise).
HWND PopupListWindow();

// Shows c's popup menu for a WM_CONTEXTMENU message (point in LParam, -1/-1
// from the keyboard) when it has one with AutoPopup; true when shown.
bool ShowControlPopupMenu(TControl* c, TMessage& m);

}  // namespace ui
