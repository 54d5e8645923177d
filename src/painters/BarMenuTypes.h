#pragma once
// What the bar menus and their drawing engine share: the option enums, the
// bar events, the operating-system flags and IBarMenusIntf, the one way the
// engine reaches a menu.
#include <cstdint>

#include "ui/Colors.h"
#include "ui/Component.h"
#include "ui/Event.h"
#include "ui/Types.h"

namespace ui {
class TCanvas;
class TFont;
class TMenu;
class TMenuItem;
}  // namespace ui

namespace painters {

class TBcBar;
class TBcSeparators;
class TBcBarProtected;
class TBcBarMenusDrawModule;

enum TBcMenuStyle : uint8_t { msAuto, msStandard, msWindowsXP };
enum TGradientStyle : uint8_t { gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft };
enum TVertAlignment : uint8_t { vaTop, vaBottom, vaMiddle };
enum THorzAlignment : uint8_t { haLeft, haRight, haCenter };
enum TDrawStyle : uint8_t { dsNormal, dsTile, dsStretch };
enum TSide : uint8_t { sLeft, sRight };
enum TDirection : uint8_t { dDownToUp, dUpToDown };
enum TSeparatorStyle : uint8_t { ssNormal, ssShortLine, ssCaption };

// The parts of the side bar, one bit each.
enum TBarPart : unsigned { bpGradient = 1u << 0, bpPicture = 1u << 1, bpBackPicture = 1u << 2, bpCaption = 1u << 3 };
using TBarParts = unsigned;

// Sender is always the menu.
using TOnBeforeDrawBarEvent =
    ui::Event<void(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect, bool& DefaultDraw)>;
using TOnAdvancedBeforeDrawBarEvent =
    ui::Event<void(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect, TBarParts& DrawParts)>;
using TOnAfterDrawBarEvent = ui::Event<void(ui::TObject* Sender, ui::TCanvas* ACanvas, ui::TRect ARect)>;
using TOnMeasureMenuItemEvent = ui::Event<void(ui::TObject* Sender, ui::TMenuItem* AMenuItem, ui::TCanvas* ACanvas,
                                               int& Width, int& Height, bool ABarVisible, bool& DefaultMeasure)>;

// ---------------------------------------------------------------- system flags

// Read from the system version at start-up. Tests set them (or call
// SetBarMenuOSVersion) to take every branch.
extern bool NewStyleMenus;  // 4.1 and later: hot-tracked bar items, grey inactive text
extern bool XPLookMenus;    // NT 5.1, 5.2, 6.1, 6.2, 6.3: msAuto draws the XP look
extern bool NT5OrLater;     // NT 5 and later: access-key underlines may hide
void SetBarMenuOSVersion(unsigned Major, unsigned Minor, bool PlatformNT);
// The flags again from the running system.
void ReadBarMenuOSVersion();

// ---------------------------------------------------------------- IBarMenusIntf

// Implemented by both bar menus. Not reference-counted: holding it never
// keeps a menu alive, and a menu lives as long as its owner says.
class IBarMenusIntf {
public:
    virtual void UpdateItems() = 0;
    virtual void ResetBar() = 0;
    virtual TBcMenuStyle GetEffectiveMenuStyle() = 0;
    virtual ui::TMenu* GetMenu() = 0;
    virtual TBcBar* GetBar() = 0;
    virtual TBcSeparators* GetSeparators() = 0;
    virtual TBcBarProtected* GetBarProtected() = 0;
    virtual void SetMenuWindow(HWND Value) = 0;
    virtual uint8_t GetAlpha() = 0;
    virtual void SetAlpha(uint8_t Value) = 0;
    virtual bool GetFrameOption() = 0;
    virtual void SetFrameOption(bool Value) = 0;
    virtual ui::TFont* GetMenuFont() = 0;
    virtual void SetMenuFont(ui::TFont* Value) = 0;
    virtual TBcMenuStyle GetMenuStyle() = 0;
    virtual void SetMenuStyle(TBcMenuStyle Value) = 0;
    virtual bool GetUseSystemFont() = 0;
    virtual void SetUseSystemFont(bool Value) = 0;
    virtual TOnBeforeDrawBarEvent GetOnBeforeDrawBar() = 0;
    virtual void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent Value) = 0;
    virtual TOnAdvancedBeforeDrawBarEvent GetOnAdvancedBeforeDrawBar() = 0;
    virtual void SetOnAdvancedBeforeDrawBar(TOnAdvancedBeforeDrawBarEvent Value) = 0;
    virtual TOnAfterDrawBarEvent GetOnAfterDrawBar() = 0;
    virtual void SetOnAfterDrawBar(TOnAfterDrawBarEvent Value) = 0;
    virtual TOnMeasureMenuItemEvent GetOnMeasureMenuItem() = 0;
    virtual void SetOnMeasureMenuItem(TOnMeasureMenuItemEvent Value) = 0;
    virtual TBcBarMenusDrawModule* GetDrawModule() = 0;
    virtual void SetDrawModule(TBcBarMenusDrawModule* Value) = 0;

protected:
    ~IBarMenusIntf() = default;
};

// The menu of an item: through its parent items, or the owner of a root.
ui::TMenu* GetItemMenu(ui::TMenuItem* Item);
// The menu's interface, or null when it is not a bar menu.
IBarMenusIntf* GetBarMenusIntf(ui::TMenu* Menu);
IBarMenusIntf* GetItemBarMenusIntf(ui::TMenuItem* Item);

}  // namespace painters
