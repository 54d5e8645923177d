#pragma once
// The bar-menu drawing engine: installs the menus' handlers on their items,
// answers the system's measuring request for an item, and draws an item with
// its slice of the side bar. It reaches a menu only through IBarMenusIntf;
// without one (an item of another menu) it does nothing.
#include <string>

#include "painters/BarMenuTypes.h"
#include "ui/Menus.h"
#include "ui/Types.h"

namespace ui {
class TBitmap;
class TCanvas;
class TMainMenu;
}  // namespace ui

namespace painters {

class TBcCustomBarMainMenu;

// ---------------------------------------------------------------- hooking

struct TBarMenuHookRecord {
    ui::TMenu* Menu = nullptr;
    bool OnlyWithoutHandlers = true;  // leave items that have handlers of their own
    ui::TAdvancedMenuDrawItemEvent DrawHandler;
    ui::TMenuMeasureItemEvent MeasureHandler;
};

// On Item alone, or on every item of Menu (recursing when Recursive).
void HookMenuItems(ui::TMenu* Menu, ui::TMenuItem* Item, bool Recursive, ui::TMenuMeasureItemEvent MeasureHandler,
                   ui::TAdvancedMenuDrawItemEvent DrawHandler, bool OnlyWithoutHandlers);
void HookBarMenuItem(ui::TMenuItem* Item, const TBarMenuHookRecord& Hook);
void HookBarSubItems(ui::TMenuItem* Item, bool Recursive, const TBarMenuHookRecord& Hook);

// ---------------------------------------------------------------- measuring and drawing

void MeasureBarMenuItem(ui::TMenuItem* Item, ui::TCanvas* ACanvas, int& Width, int& Height, bool ABarVisible);
void DrawBarMenuItem(ui::TMenuItem* Item, ui::TCanvas* ACanvas, ui::TRect ARect, ui::TOwnerDrawState State,
                     bool ABarVisible);
void PaintMenuItemDefault(IBarMenusIntf* Intf, ui::TMenuItem* Item, ui::TCanvas* ACanvas, ui::TRect R,
                          ui::TOwnerDrawState State);
void DrawMenuItemText(ui::TMenuItem* Item, ui::TCanvas* ACanvas, const std::string& Text, ui::TRect& R, bool Selected,
                      UINT Format);
void DrawSeparator(IBarMenusIntf* Intf, ui::TMenuItem* Item, const std::string& Text, ui::TCanvas* ACanvas, ui::TRect R,
                   ui::TOwnerDrawState State);
void DrawFadeLine(ui::TCanvas* ACanvas, ui::TRect T, ui::TRect L, ui::TColor Color, int W, bool HasText);
// Into Bitmap's pixels when given (clipped to the bitmap), else on ACanvas.
void FillGradientRect(ui::TBitmap* Bitmap, ui::TCanvas* ACanvas, ui::TRect R, ui::TColor StartColor,
                      ui::TColor EndColor, TGradientStyle Style);

// ---------------------------------------------------------------- side bar

void DrawBarGradient(IBarMenusIntf* Intf, ui::TRect R);
void DrawBarBackPicture(IBarMenusIntf* Intf);
void DrawBarPicture(IBarMenusIntf* Intf);
void DrawBarCaption(IBarMenusIntf* Intf, ui::TRect R);
// Start reduced by whole steps until it is 0 or below.
int TileStart(int Step, int Start);
void CopyBarImage(IBarMenusIntf* Intf, ui::TCanvas* ACanvas, ui::TRect D, ui::TRect S);

// ---------------------------------------------------------------- the menu window

void ApplyMenuAlpha(IBarMenusIntf* Intf, HWND Window, uint8_t Alpha);
void ApplyMenuWindowFrame(IBarMenusIntf* Intf, HWND Window);
// Whether the frame step has already shaped this window.
bool MenuWindowFramed(HWND Window);

// ---------------------------------------------------------------- item tests

// A line item ("-"); Text is its hint when it is enabled, else empty.
bool IsSeparatorWithText(ui::TMenuItem* Item, std::string& Text);
// The item or a sibling before it is visible and starts a new column.
bool IsItemAfterBreak(ui::TMenuItem* Item);
bool IsPopupMenuItem(ui::TMenuItem* Item);
bool IsMainMenuItem(ui::TMenuItem* Item);
ui::TMenuItem* GetFirstVisibleItem(TBcCustomBarMainMenu* Menu);
bool IsChildOfFirstVisibleItem(TBcCustomBarMainMenu* Menu, ui::TMenuItem* Item);

// The name of the radio-dot bitmap resource.
extern const char* const SBcRadioItemResName;

}  // namespace painters
