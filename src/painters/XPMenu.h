#pragma once
// TXPMenu: a non-visual component that gives its form a flat look. While
// Active it draws the form's menus through its own item handlers and takes
// over the WindowProc of the qualifying standard controls (one
// TControlSubClass each), which then paint themselves flat. Every TXPMenu
// registers with the one TXPMenuManager, which brings the control painting
// to the application's forms that have no TXPMenu of their own.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "painters/XPControlSubClass.h"
#include "ui/Colors.h"
#include "ui/Component.h"
#include "ui/Control.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "ui/ToolWin.h"

namespace ui {
class TBitmap;
class TCanvas;
class TCustomImageList;
class TFont;
}  // namespace ui

namespace painters {

using ui::TColor;
struct TBox;
struct TMenuItemLayout;

// Kinds of parent whose children may be taken over (bit order).
enum TXPContainer : unsigned {
    xccForm,
    xccFrame,
    xccToolbar,
    xccCoolbar,
    xccControlbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccPageScroller
};
using TXPContainers = uint16_t;
constexpr TXPContainers AllXPContainers = 1023;

// Kinds of component that are hooked or taken over (bit order).
enum TXPControl : unsigned {
    xcMainMenu,
    xcPopupMenu,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcListBox,
    xcEdit,
    xcMaskEdit,
    xcMemo,
    xcRichEdit,
    xcMiscEdit,
    xcCheckBox,
    xcRadioButton,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcUpDown,
    xcPanel,
    xcGroupBox,
    xcTreeView,
    xcListView,
    xcProgressBar,
    xcHotKey
};
using TXPControls = uint32_t;
constexpr TXPControls AllXPControls = 0x7FFFFF;

constexpr uint32_t Bit(unsigned b) { return 1u << b; }

// A Tag that keeps a component, control or form out of the painter's hands.
constexpr intptr_t XPLeaveAloneTag = 999;

// ---- colour and glyph routines (colour arguments may be system colours)
TColor DarkenColor(TColor C, int N);
TColor LightenColor(TColor C, int P);
TColor AverageColor(std::initializer_list<TColor> Colors);
TColor GreyShade(TColor C, int N);
void GreyOutBitmap(ui::TBitmap* Bitmap, int N);
void PaleBitmap(ui::TBitmap* Bitmap, int P);
void DrawDropArrow(ui::TCanvas* Canvas, int X, int Y);
void DrawSpinArrow(ui::TCanvas* Canvas, int X, int Y, int Direction);
void DrawGlyphSilhouette(ui::TBitmap* Bitmap, ui::TCanvas* Canvas, int X, int Y, TColor SilhouetteColor);
void DrawTickMark(ui::TCanvas* Canvas, int X, int Y);
void DrawLine(ui::TCanvas* Canvas, int X1, int Y1, int X2, int Y2);
// What a control's parent shows around it (clBtnFace without a parent).
TColor ParentColorOf(const ui::TControl* C);
// A W x H glyph filled with the colour of its own bottom-left pixel, the
// background an icon is drawn on.
std::unique_ptr<ui::TBitmap> BlankGlyph(int W, int H);
// Image Index of Images drawn on a blank glyph.
std::unique_ptr<ui::TBitmap> ImageListGlyph(ui::TCustomImageList* Images, int Index);

// The class name of an object as the walk compares it: the bare class name,
// without namespace ("TButton").
std::string ClassNameOf(const ui::TObject* Object);
// C is Container or lies inside it (through the chain of parents).
bool ControlInside(const ui::TControl* Container, const ui::TControl* C);

class TXPMenu : public ui::TComponent {
public:
    explicit TXPMenu(ui::TComponent* AOwner);
    ~TXPMenu() override;

    // ---- published properties
    uint8_t DimLevel() const { return dimLevel_; }
    void SetDimLevel(uint8_t v) { dimLevel_ = v; }
    uint8_t GrayLevel() const { return grayLevel_; }
    void SetGrayLevel(uint8_t v) { grayLevel_ = v; }
    ui::TFont* Font() const { return font_.get(); }
    void SetFont(ui::TFont* v);
    TColor Color() const { return color_; }
    void SetColor(TColor v) { SetStaleColor(color_, v); }
    bool DrawMenuBar() const { return drawMenuBar_; }
    void SetDrawMenuBar(bool v) { drawMenuBar_ = v; }
    TColor IconBackColor() const { return iconBackColor_; }
    void SetIconBackColor(TColor v) { SetStaleColor(iconBackColor_, v); }
    TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(TColor v);
    TColor SelectColor() const { return selectColor_; }
    void SetSelectColor(TColor v) { SetStaleColor(selectColor_, v); }
    TColor SelectBorderColor() const { return selectBorderColor_; }
    void SetSelectBorderColor(TColor v) { SetStaleColor(selectBorderColor_, v); }
    TColor SelectFontColor() const { return selectFontColor_; }
    void SetSelectFontColor(TColor v) { SetStaleColor(selectFontColor_, v); }
    TColor DisabledColor() const { return disabledColor_; }
    void SetDisabledColor(TColor v) { SetStaleColor(disabledColor_, v); }
    TColor SeparatorColor() const { return separatorColor_; }
    void SetSeparatorColor(TColor v) { SetStaleColor(separatorColor_, v); }
    TColor CheckedColor() const { return checkedColor_; }
    void SetCheckedColor(TColor v) { SetStaleColor(checkedColor_, v); }
    int IconWidth() const { return iconWidth_; }
    void SetIconWidth(int v) { iconWidth_ = v; }
    bool DrawSelect() const { return drawSelect_; }
    void SetDrawSelect(bool v) { drawSelect_ = v; }
    bool UseSystemColors() const { return useSystemColors_; }
    void SetUseSystemColors(bool v);
    bool UseDimColor() const { return useDimColor_; }
    void SetUseDimColor(bool v) { useDimColor_ = v; }
    bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }
    void SetOverrideOwnerDraw(bool v);
    bool Gradient() const { return gradient_; }
    void SetGradient(bool v) { gradient_ = v; }
    bool FlatMenu() const { return flatMenu_; }
    void SetFlatMenu(bool v) { flatMenu_ = v; }
    bool AutoDetect() const { return autoDetect_; }
    void SetAutoDetect(bool v) { autoDetect_ = v; }
    TXPContainers XPContainers() const { return xpContainers_; }
    void SetXPContainers(TXPContainers v);
    TXPControls XPControls() const { return xpControls_; }
    void SetXPControls(TXPControls v);
    bool Active() const { return active_; }
    void SetActive(bool v);
    bool DisableSubclassing() const { return disableSubclassing_; }
    void SetDisableSubclassing(bool v);

    // ---- derived colours (valid after UpdateDerivedColors)
    bool ColorsStale() const { return colorsStale_; }
    void UpdateDerivedColors(ui::TCanvas* ACanvas);
    TColor MenuBackColor() const { return menuBackColor_; }
    TColor IconColumnColor() const { return iconColumnColor_; }
    TColor SelectFillColor() const { return selectFillColor_; }
    TColor SelectFrameColor() const { return selectFrameColor_; }
    TColor SelectTextColor() const { return selectTextColor_; }
    TColor CheckedFillColor() const { return checkedFillColor_; }
    TColor CheckedSelectedFillColor() const { return checkedSelectedFillColor_; }
    TColor CheckFrameColor() const { return checkFrameColor_; }
    TColor BarColor() const { return barColor_; }
    TColor DisabledTextColor() const { return disabledTextColor_; }
    TColor SeparatorLineColor() const { return separatorLineColor_; }
    TColor FlatBorderColor() const { return flatBorderColor_; }
    TColor MenuShadowColor() const { return menuShadowColor_; }
    bool IsHighColor() const { return isHighColor_; }
    int ButtonFaceLevel() const { return buttonFaceLevel_; }
    int ButtonHotLevel() const { return buttonHotLevel_; }

    // The form, frame or scroll box the menu serves; null without one.
    ui::TWinControl* OwnerForm() const { return ownerForm_; }

    // ---- the hooking walk
    void WalkComponents(ui::TComponent* Container, bool Activate, bool Repaint);
    void HookComponent(ui::TComponent* C, bool Activate, bool Repaint);
    void HookMenuItem(ui::TMenuItem* Item, bool Activate);
    void HookMenuItems(ui::TMenuItem* Item, bool Activate);
    // How many walks have run (diagnostics and tests).
    int WalkCount() const { return walkCount_; }

    // The take-over objects this menu owns that still hold a control.
    std::vector<TControlSubClass*> SubClasses() const;

    // ---- painters shared with the control painting
    // Text of an item or button (Sender): placed per Flags, greyed when
    // disabled, glowing for the default one. DT_RTLREADING in Flags reads it
    // right to left and puts the shortcut text at the left. A disabled tool
    // button's caption is drawn on the canvas's brush colour, centred on the
    // height of "W".
    void PaintItemText(ui::TObject* Sender, ui::TCanvas* ACanvas, const std::string& Text, ui::TRect R, unsigned Flags,
                       bool IsDefault, bool Enabled, bool Selected, const std::string& ShortCutText = "",
                       bool IsBarItem = false);
    // A glyph with the grey, dim and shadow effects of its state. Paints from
    // a copy: the bitmap given is never changed.
    void PaintIcon(ui::TObject* Sender, ui::TCanvas* ACanvas, bool IsBarItem, bool Checked, bool Enabled, bool Down,
                   bool Highlighted, ui::TRect R, const ui::TBitmap* Bitmap, bool RightToLeft = false);
    void PaintItemCheck(ui::TMenuItem* Item, bool Selected, ui::TRect CR, ui::TCanvas* ACanvas, bool HasIcon,
                        bool Enabled);
    // Lightens quickly across the icon column, slowly over the rest.
    void PaintItemGradient(ui::TCanvas* ACanvas, ui::TRect R, bool RightToLeft = false);
    // The raised box of a selected menu-bar item or pressed tool button; a
    // menu-bar item read left to right on a high-colour display gets a
    // graded shadow at its right.
    void PaintSelectedBarItem(ui::TObject* Sender, ui::TCanvas* ACanvas, TColor BaseColor, ui::TRect R,
                              bool RightToLeft = false);
    TColor ContrastTextColor(TColor Background) const;
    // The item's icon size; BarMenu is the main menu for a menu-bar item.
    void GetItemIconSize(ui::TMenuItem* Item, ui::TMenu* BarMenu, int& W, int& H) const;
    void PaintMenuItem(ui::TMenuItem* Item, ui::TCanvas* ACanvas, bool Selected, ui::TRect R);
    // Puts the flat border (and its shadow) on a popup menu window.
    void PaintFlatPopupBorder(HWND W, bool RightToLeft);
    bool BorderBusy() const { return borderBusy_; }

    // Menu item handlers installed by the walk.
    void HandleMeasureItem(ui::TObject* Sender, ui::TCanvas* ACanvas, int& Width, int& Height);
    void HandleDrawItem(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect, bool Selected);
    // Tool-bar and control-bar handlers installed by the walk.
    void HandleToolButtonDraw(ui::TToolBar* Sender, ui::TToolButton* Button, ui::TCustomDrawState State,
                              bool& DefaultDraw);
    void HandleBandPaint(ui::TObject* Sender, ui::TControl* Control, ui::TCanvas* ACanvas, ui::TRect& ARect,
                         ui::TBandPaintOptions& Options);

protected:
    void Loaded() override;
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;
    void Destroying() override;

private:
    // Gives the form's controls back and leaves the manager; once.
    void TearDown();
    void SetStaleColor(TColor& field, TColor v) {
        field = v;
        colorsStale_ = true;
    }
    // The form a menu sits on: its owner, else ours.
    ui::TControl* MenuOwnerForm(ui::TMenu* Menu) const;
    void RedrawMenuBar();
    // The steps of PaintMenuItem (XPMenuDraw.cpp). The selection answers
    // whether the item shows highlighted.
    void PaintItemBackground(ui::TCanvas* c, const TMenuItemLayout& L, bool IsBar, bool RightToLeft);
    bool PaintItemSelection(ui::TMenuItem* Item, ui::TMainMenu* Bar, ui::TCanvas* c, bool Selected, ui::TRect D,
                            ui::TRect R, bool RightToLeft);
    void PaintItemCaption(ui::TMenuItem* Item, ui::TCanvas* c, TBox T, bool Selected, bool IsBar, bool RightToLeft);
    void PaintBarBeside(ui::TMainMenu* Bar, ui::TMenuItem* Item, ui::TCanvas* ACanvas, ui::TRect R, bool RightToLeft);
    // A popup item asks the application window for the flat border.
    void AskForFlatBorder(ui::TMenuItem* Item, ui::TCanvas* ACanvas, bool RightToLeft);
    template <class T> void ChangeKinds(T& field, T v);
    void PurgeInert();
    bool QualifiesByKind(ui::TComponent* C) const;
    bool QualifiesByPlace(ui::TControl* C) const;
    void SubClass(ui::TControl* C);
    // The walk's step for tool bars and control bars.
    void HookBars(ui::TComponent* C, bool Activate, bool Repaint);

    bool active_ = false;
    ui::TWinControl* ownerForm_ = nullptr;  // not owned
    std::unique_ptr<ui::TFont> font_;
    TColor color_, iconBackColor_, menuBarColor_, selectColor_, selectBorderColor_;
    TColor selectFontColor_, disabledColor_, separatorColor_, checkedColor_;
    int iconWidth_ = 24;
    bool drawSelect_ = true, useSystemColors_ = true;
    bool colorsStale_ = true;
    TColor menuBackColor_ = 0, iconColumnColor_ = 0, selectFillColor_ = 0, selectFrameColor_ = 0;
    TColor selectTextColor_ = 0, checkedFillColor_ = 0, checkedSelectedFillColor_ = 0;
    TColor checkFrameColor_ = 0, barColor_ = 0, disabledTextColor_ = 0, separatorLineColor_ = 0;
    TColor flatBorderColor_ = 0, menuShadowColor_ = 0;
    bool isHighColor_ = true;
    bool overrideOwnerDraw_ = false, gradient_ = false, flatMenu_ = false, autoDetect_ = false;
    TXPContainers xpContainers_ = 0;
    TXPControls xpControls_ = 0;
    uint8_t grayLevel_ = 10, dimLevel_ = 30;
    bool drawMenuBar_ = false, useDimColor_ = false;
    int buttonFaceLevel_ = 16, buttonHotLevel_ = 40;
    bool isWinXP_ = false, isNT_ = false;
    bool disableSubclassing_ = false;
    int walkCount_ = 0;
    bool borderBusy_ = false;
    bool tornDown_ = false;
};

// The pointer, taken relative to Form's Left and Top, lies inside ItemRect
// less one pixel at the right and two at the bottom, borders included. False
// without a form.
bool IsCursorInItemRect(const ui::TControl* Form, ui::TRect ItemRect);

// The window procedure a flat-bordered popup menu window runs.
LRESULT CALLBACK FlatPopupWndProc(HWND W, UINT Msg, WPARAM wParam, LPARAM lParam);
// Item is a menu item that still exists in a menu of a live form (compared
// by address only: a pointer that arrived in a message is never read first).
bool IsLiveMenuItem(const void* Item);

}  // namespace painters
