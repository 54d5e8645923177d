#pragma once
// Colour values: $00BBGGRR for plain colours; $80000000 | COLOR_xxx for the
// system's colours, which follow the user's scheme and are resolved only when
// something is drawn (ColorToRGB).
#include <windows.h>

#include <cstdint>

namespace ui {

using TColor = int32_t;

namespace detail {
constexpr TColor SysColor(unsigned index) { return static_cast<TColor>(0x80000000u | index); }
}  // namespace detail

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clScrollBar = detail::SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = detail::SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = detail::SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = detail::SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = detail::SysColor(COLOR_MENU);
constexpr TColor clWindow = detail::SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = detail::SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = detail::SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = detail::SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = detail::SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = detail::SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = detail::SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = detail::SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = detail::SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = detail::SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = detail::SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = detail::SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = detail::SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = detail::SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = detail::SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = detail::SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = detail::SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = detail::SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = detail::SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = detail::SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = detail::SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = detail::SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = detail::SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = detail::SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = detail::SysColor(COLOR_MENUBAR);

// "No colour": nothing is painted where it is asked for.
constexpr TColor clNone = 0x1FFFFFFF;
// "Whatever the object would use by default" (image lists: their own colour).
constexpr TColor clDefault = 0x20000000;

constexpr bool IsSystemColor(TColor c) { return c < 0; }

// System colours become the user's current RGB value; every other value is
// returned unchanged (clNone and clDefault included, so callers can still
// recognise them).
TColor ColorToRGB(TColor c);

// The COLORREF to hand to GDI: ColorToRGB without the flag bits of clNone and
// clDefault, which GDI would read as palette requests.
inline COLORREF ColorToCOLORREF(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)) & 0x00FFFFFFu; }

}  // namespace ui
