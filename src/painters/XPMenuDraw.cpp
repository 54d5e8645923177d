// The flat look of menu items: measuring, the item painter with its text,
// icon and check painters, and the flat border of popup menu windows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "painters/PaintGeometry.h"
#include "painters/QuietPaint.h"
#include "painters/XPMenu.h"
#include "painters/XPMenuManager.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/GdiGuards.h"
#include "ui/ImageList.h"

namespace painters {

using namespace ui;

namespace {

// The menu-bar item test: a top-level item of a main menu.
TMainMenu* BarMenuOf(TMenuItem* Item) {
    auto* mm = dynamic_cast<TMainMenu*>(Item->GetParentMenu());
    if (mm && Item->Parent() == mm->Items()) return mm;
    return nullptr;
}

TCustomImageList* ImagesFor(TMenuItem* Item) {
    if (Item->ImageIndex() == -1) return nullptr;
    if (Item->Parent() && Item->Parent()->SubMenuImages()) return Item->Parent()->SubMenuImages();
    TMenu* menu = Item->GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

// The item's icon, copied off its image list or bitmap; null without one.
std::unique_ptr<TBitmap> MenuItemIcon(TMenuItem* Item) {
    if (TCustomImageList* images = ImagesFor(Item)) return ImageListGlyph(images, Item->ImageIndex());
    TBitmap* b = Item->Bitmap();
    if (b->Width() <= 0) return nullptr;
    auto icon = BlankGlyph(b->Width(), b->Height());
    std::unique_ptr<TBitmap> glyph(static_cast<TBitmap*>(b->Clone()));
    glyph->SetTransparent(true);
    glyph->SetTransparentMode(tmAuto);
    icon->Canvas()->Draw(0, 0, glyph.get());
    return icon;
}

bool HoldsItem(const TMenuItem* Root, const void* Item) {
    if (!Root) return false;
    if (Root == Item) return true;
    for (int i = 0; i < Root->Count(); ++i)
        if (HoldsItem(Root->Items(i), Item)) return true;
    return false;
}

bool ComponentHoldsItem(const TComponent* C, const void* Item) {
    if (auto* m = dynamic_cast<const TMenu*>(C); m && HoldsItem(m->Items(), Item)) return true;
    for (int i = 0; i < C->ComponentCount(); ++i)
        if (ComponentHoldsItem(C->Components(i), Item)) return true;
    return false;
}

}  // namespace

std::unique_ptr<TBitmap> BlankGlyph(int W, int H) {
    auto glyph = std::make_unique<TBitmap>(W, H);
    TCanvas* gc = glyph->Canvas();
    gc->Brush()->SetStyle(bsSolid);
    gc->Brush()->SetColor(gc->Pixels(0, H - 1));
    gc->FillRect(TRect{0, 0, W, H});
    return glyph;
}

std::unique_ptr<TBitmap> ImageListGlyph(TCustomImageList* Images, int Index) {
    auto glyph = BlankGlyph(Images->Width(), Images->Height());
    ImageList_DrawEx(Images->Handle(), Index, glyph->Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT);
    return glyph;
}

bool IsLiveMenuItem(const void* Item) {
    if (!Item || !Screen) return false;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (ComponentHoldsItem(Screen->Forms(i), Item)) return true;
    return Application && ComponentHoldsItem(Application, Item);
}

bool IsCursorInItemRect(const TControl* Form, TRect ItemRect) {
    if (!Form) return false;
    POINT p;
    if (!GetCursorPos(&p)) return false;
    const int x = p.x - Form->Left(), y = p.y - Form->Top();
    return x >= ItemRect.left && x <= ItemRect.right - 1 && y >= ItemRect.top && y <= ItemRect.bottom - 2;
}

TControl* TXPMenu::MenuOwnerForm(TMenu* Menu) const {
    if (auto* owner = Menu ? dynamic_cast<TControl*>(Menu->Owner()) : nullptr) return owner;
    return ownerForm_;
}

// ---------------------------------------------------------------- measuring

void TXPMenu::GetItemIconSize(TMenuItem* Item, TMenu* BarMenu, int& W, int& H) const {
    W = H = 0;
    if (TCustomImageList* images = ImagesFor(Item)) {
        W = images->Width();
        H = images->Height();
    } else if (Item->Bitmap()->Width() > 0) {
        W = Item->Bitmap()->Width();
        H = Item->Bitmap()->Height();
    }
    if (!BarMenu) W = std::max(W, iconWidth_);
}

void TXPMenu::HandleMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!active_ || !ACanvas || !item) return;
    // Measuring never breaks the menu loop: the proposed size stands.
    PaintQuietly([&] {
        const bool separator = item->IsLine();
        std::string text = separator ? std::string() : item->Caption();
        const std::string shortCut = ShortCutToText(item->ShortCut());
        if (shortCut.find_first_not_of(" \t") != std::string::npos) text += shortCut + "WWW";
        ACanvas->Font()->Assign(font_.get());
        int w = ACanvas->TextWidth(text) + 5;
        if (text.find('&') != std::string::npos) w -= ACanvas->TextWidth("&");
        TMainMenu* bar = BarMenuOf(item);
        if (!bar && item->Count() > 0) w += 6;
        int iw = 0, ih = 0;
        GetItemIconSize(item, bar, iw, ih);
        Width = std::max(Width, w + iw);
        if (separator) {
            Height = 4;
            return;
        }
        const int th = ACanvas->TextHeight(text.empty() ? std::string("W") : text);
        // nearbyint rounds a half to the even neighbour (the default mode).
        Height = std::max(Height, std::max(th + static_cast<int>(std::nearbyint(th * 0.75)), ih + 6));
    });
}

// ---------------------------------------------------------------- item painting

void TXPMenu::HandleDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!active_ || !ACanvas || !item) return;
    // A failed paint leaves the background the menu drew.
    PaintQuietly([&] { PaintMenuItem(item, ACanvas, Selected, ARect); });
}

void TXPMenu::PaintItemGradient(TCanvas* ACanvas, TRect R, bool RightToLeft) {
    int k = 0;
    auto column = [&](int x, bool inIconColumn) {
        k = std::min(96, k + (inIconColumn ? 3 : 1));
        ACanvas->Brush()->SetColor(LightenColor(iconColumnColor_, k));
        ACanvas->FillRect(TRect{x, R.top, x + 1, R.bottom});
    };
    ACanvas->Brush()->SetStyle(bsSolid);
    if (RightToLeft) {
        for (int x = R.right - 1; x >= R.left - 1; --x) column(x, x > R.right - iconWidth_ - 5 && x < R.right);
    } else {
        for (int x = R.left; x < R.right; ++x) column(x, x > R.left && x < R.left + iconWidth_ + 5);
    }
}

void TXPMenu::PaintSelectedBarItem(TObject* Sender, TCanvas* ACanvas, TColor BaseColor, TRect R, bool RightToLeft) {
    const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(selectFillColor_);
    ACanvas->FillRect(R);
    ACanvas->Pen()->SetColor(selectFrameColor_);
    if (RightToLeft || !isHighColor_ || !dynamic_cast<TMenuItem*>(Sender)) {
        ACanvas->Polyline({{L, B - 1}, {L, T}, {Rt - 3, T}, {Rt - 3, B}});
        ACanvas->Brush()->SetColor(DarkenColor(BaseColor, 70));
        ACanvas->FillRect(TRect{Rt - 2, T + 2, Rt, B});
        ACanvas->Brush()->SetColor(BaseColor);
        ACanvas->FillRect(TRect{Rt - 2, T, Rt, T + 2});
        return;
    }
    // A menu-bar item: the box turns down early and a graded shadow falls
    // to its right, darkest next to the box.
    ACanvas->Polyline({{L, B - 1}, {L, T}, {Rt - 8, T}, {Rt - 8, B}});
    const TColor c = barColor_;
    auto fill = [&](TRect r, int n) {
        ACanvas->Brush()->SetColor(DarkenColor(c, n));
        ACanvas->FillRect(r);
    };
    fill(TRect{Rt - 7, T, Rt, B}, 10);
    fill(TRect{Rt - 7, T + 3, Rt - 2, B}, 30);
    fill(TRect{Rt - 7, T + 5, Rt - 3, B}, 60);
    fill(TRect{Rt - 7, T + 6, Rt - 5, B}, 100);
    ACanvas->Pen()->SetColor(c);
    ACanvas->Polyline({{Rt - 5, T + 1}, {Rt - 1, T + 1}, {Rt - 1, T + 6}});
    ACanvas->Polyline({{Rt - 3, T + 2}, {Rt - 2, T + 2}, {Rt - 2, T + 3}, {Rt - 3, T + 3}});
    ACanvas->Pen()->SetColor(DarkenColor(c, 10));
    ACanvas->Polyline({{Rt - 6, T + 3}, {Rt - 3, T + 3}, {Rt - 3, T + 6}, {Rt - 4, T + 6}, {Rt - 4, T + 3}});
    ACanvas->Pen()->SetColor(DarkenColor(c, 30));
    ACanvas->Polyline({{Rt - 5, T + 5}, {Rt - 4, T + 5}, {Rt - 4, T + 9}});
    ACanvas->Pen()->SetColor(DarkenColor(c, 40));
    ACanvas->Polyline({{Rt - 6, T + 5}, {Rt - 6, T + 7}});
}

TColor TXPMenu::ContrastTextColor(TColor Background) const {
    const TColor c = static_cast<TColor>(ColorToRGB(Background));
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    if ((r + b) / 2 > 150 || g > 200) return font_->Color();
    return LightenColor(Background, 90);
}

void TXPMenu::PaintItemCheck(TMenuItem* Item, bool Selected, TRect CR, TCanvas* ACanvas, bool HasIcon, bool Enabled) {
    if (!Item->Checked()) return;
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Selected ? checkedSelectedFillColor_ : checkedFillColor_);
    ACanvas->Pen()->SetColor(Enabled ? selectFrameColor_ : disabledTextColor_);
    if (Item->RadioItem()) {
        if (HasIcon) {
            ACanvas->RoundRect(CR.left, CR.top, CR.right, CR.bottom, 6, 6);
        } else {
            ACanvas->Ellipse(CR);
            const TColor dot = ACanvas->Pen()->Color();
            ACanvas->Brush()->SetColor(dot);
            ACanvas->Ellipse(TRect{CR.left + 2, CR.top + 2, CR.right - 2, CR.bottom - 2});
        }
        return;
    }
    if (HasIcon) {
        ACanvas->Rectangle(CR);
        return;
    }
    if (Enabled) ACanvas->Pen()->SetColor(checkFrameColor_);
    ACanvas->Rectangle(CR);
    ACanvas->Pen()->SetColor(Enabled ? TColor(0) : disabledTextColor_);
    const int L = CR.left, T = CR.top, R = CR.right, B = CR.bottom;
    DrawLine(ACanvas, L + 1, T + 5, L + 4, B - 2);
    DrawLine(ACanvas, L + 2, T + 5, L + 4, B - 3);
    DrawLine(ACanvas, L + 2, T + 4, L + 5, B - 3);
    DrawLine(ACanvas, L + 4, B - 3, R + 2, T - 1);
    DrawLine(ACanvas, L + 4, B - 2, R - 2, T + 3);
}

void TXPMenu::PaintItemText(TObject* Sender, TCanvas* ACanvas, const std::string& Text, TRect R, unsigned Flags,
                            bool IsDefault, bool Enabled, bool Selected, const std::string& ShortCutText,
                            bool IsBarItem) {
    if (!ACanvas) return;
    TColor color = ACanvas->Font()->Color();
    if (Selected) color = selectTextColor_;
    if (!Enabled) color = disabledTextColor_;
    HDC dc = ACanvas->Handle();
    if (!Enabled && dynamic_cast<TToolButton*>(Sender)) {
        // Drawn off screen on the button's colour and copied in whole.
        TRect r = R;
        r.top += (RectHeight(R) - ACanvas->TextHeight("W")) / 2;
        const int w = RectWidth(r), h = RectHeight(r);
        if (w <= 0 || h <= 0) return;
        TBitmap off(w, h);
        TCanvas* oc = off.Canvas();
        oc->Brush()->SetColor(ACanvas->Brush()->Color());
        oc->FillRect(TRect{0, 0, w, h});
        oc->Font()->Assign(ACanvas->Font());
        oc->Font()->SetColor(color);
        HDC odc = oc->Handle();
        ScopedSelectObject font(odc, oc->Font()->Handle());
        SetTextColor(odc, ColorToCOLORREF(color));
        SetBkMode(odc, TRANSPARENT);
        std::string buf = Text;
        RECT rr{0, 0, w, h};
        DrawTextExA(odc, buf.data(), static_cast<int>(buf.size()), &rr, Flags | DT_EXPANDTABS | DT_VCENTER, nullptr);
        BitBlt(dc, r.left, r.top, w, h, odc, 0, 0, SRCCOPY);
        return;
    }
    if (Selected && IsBarItem && useSystemColors_) color = ContrastTextColor(iconColumnColor_);
    SetBkMode(dc, TRANSPARENT);
    const unsigned format = Flags | DT_EXPANDTABS;
    auto draw = [&](const std::string& s, TRect r, unsigned f, TColor c) {
        ACanvas->Font()->SetColor(c);
        // A changed font leaves the DC until the canvas's next text call:
        // select it and its colour here, or the DC's own font draws.
        ScopedSelectObject font(dc, ACanvas->Font()->Handle());
        SetTextColor(dc, ColorToCOLORREF(c));
        SetBkMode(dc, TRANSPARENT);
        RECT rr = r;
        ::DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &rr, f);
    };
    if (IsDefault && Enabled) {
        // The default item glows: four darkened copies under the text.
        static constexpr struct { int dx, dy, n; } glow[] = {{1, 0, 30}, {1, 2, 30}, {0, 1, 40}, {1, 1, 60}};
        for (const auto& g : glow) {
            TRect r{R.left + g.dx, R.top + g.dy, R.right + g.dx, R.bottom + g.dy};
            draw(Text, r, format, DarkenColor(ACanvas->Pixels(r.left, r.top), g.n));
        }
    }
    draw(Text, R, format, color);
    if (!ShortCutText.empty()) {
        // The shortcut sits at the far end of the reading direction.
        TRect r = R;
        const unsigned plain = format & ~static_cast<unsigned>(DT_CENTER | DT_RIGHT | DT_RTLREADING);
        if (Flags & DT_RTLREADING) {
            r.left += 10;
            draw(ShortCutText + " ", r, plain, color);
        } else {
            r.right -= 10;
            draw(ShortCutText + " ", r, plain | DT_RIGHT, color);
        }
    }
}

void TXPMenu::PaintIcon(TObject* Sender, TCanvas* ACanvas, bool IsBarItem, bool Checked, bool Enabled, bool Down,
                        bool Highlighted, TRect R, const TBitmap* Bitmap, bool RightToLeft) {
    if (!ACanvas || !Bitmap || Bitmap->Empty()) return;
    // The effects work on a copy: the caller's glyph stays as it was.
    std::unique_ptr<TBitmap> icon(static_cast<TBitmap*>(Bitmap->Clone()));
    const int w = icon->Width();
    int top, x;
    if (dynamic_cast<TMenuItem*>(Sender)) {
        top = R.top + 3;
        x = w < iconWidth_ ? R.left + (iconWidth_ - w) / 2 - 1 : RightToLeft ? R.right - w - 2 : R.left + 2;
    } else {
        top = R.top + 1;
        x = R.left;
    }
    if (IsBarItem) x = RightToLeft ? R.right - w - 5 : R.left + 1;
    if (Highlighted && Enabled && !Down) {
        if (IsBarItem) {
            top -= 2;
            x -= 1;
        } else if (!Checked) {
            top -= 1;
            x -= 1;
        }
    }
    if (!Highlighted && Enabled && !Checked && isHighColor_) PaleBitmap(icon.get(), dimLevel_);
    if (!Enabled) {
        GreyOutBitmap(icon.get(), grayLevel_);
        PaleBitmap(icon.get(), 40);
    }
    if (Highlighted && Enabled && !Checked) {
        const bool toolButton = dynamic_cast<TToolButton*>(Sender) != nullptr;
        const TColor s =
            toolButton && isHighColor_ && !useSystemColors_ ? LightenColor(selectColor_, 68) : selectFillColor_;
        DrawGlyphSilhouette(icon.get(), ACanvas, x + 2, top + 2, DarkenColor(s, 50));
    }
    icon->SetTransparent(true);
    ACanvas->Draw(x, top, icon.get());
}

void TXPMenu::PaintMenuItem(TMenuItem* Item, TCanvas* ACanvas, bool Selected, TRect R) {
    TMainMenu* bar = BarMenuOf(Item);
    const bool isBar = bar != nullptr;
    const int width = RectWidth(R), height = RectHeight(R);
    if (width <= 0 || height <= 0) return;
    TMenu* menu = Item->GetParentMenu();
    const bool rtl = menu && menu->IsRightToLeft();

    // Drawn off screen and copied in whole, so the item never flickers.
    TBitmap off(isBar ? width : width + 4, height);
    TCanvas* c = off.Canvas();
    if (colorsStale_) UpdateDerivedColors(c);
    c->Font()->Assign(font_.get());
    const std::unique_ptr<TBitmap> icon = MenuItemIcon(Item);
    const TMenuItemLayout L =
        LayOutMenuItem(width, height, isBar, rtl, iconWidth_, icon != nullptr, icon ? icon->Width() : 0);
    PaintItemBackground(c, L, isBar, rtl);
    c->Font()->SetColor(Item->Enabled() ? font_->Color() : disabledColor_);
    const bool highlighted = PaintItemSelection(Item, bar, c, Selected, ToRect<TRect>(L.item), R, rtl);
    if (Item->Checked()) PaintItemCheck(Item, Selected, ToRect<TRect>(L.check), c, icon != nullptr, Item->Enabled());
    if (icon)
        PaintIcon(Item, c, isBar, Item->Checked(), Item->Enabled(), false, highlighted, ToRect<TRect>(L.iconColumn),
                  icon.get(), rtl);
    PaintItemCaption(Item, c, L.text, Selected, isBar, rtl);
    if (isBar && drawMenuBar_) PaintBarBeside(bar, Item, ACanvas, R, rtl);

    const int dx = isBar ? R.left : R.left - 4;
    if (!BitBlt(ACanvas->Handle(), dx, R.top, off.Width(), off.Height(), c->Handle(), 0, 0, SRCCOPY)) return;
    if (flatMenu_ && !isBar) AskForFlatBorder(Item, ACanvas, rtl);
}

void TXPMenu::PaintItemBackground(TCanvas* c, const TMenuItemLayout& L, bool IsBar, bool RightToLeft) {
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetStyle(psSolid);
    const TRect D = ToRect<TRect>(L.item);
    if (IsBar) {
        // The selected item's shadow is graded from this colour too.
        if (drawMenuBar_) barColor_ = menuBarColor_;
        c->Brush()->SetColor(barColor_);
        c->Pen()->SetColor(barColor_);
        c->FillRect(D);
    } else if (isHighColor_ && gradient_) {
        PaintItemGradient(c, TRect{D.left, D.top, D.right + 2, D.bottom}, RightToLeft);
    } else {
        c->Brush()->SetColor(menuBackColor_);
        c->FillRect(ToRect<TRect>(L.fill));
        c->Brush()->SetColor(iconColumnColor_);
        c->FillRect(ToRect<TRect>(L.iconColumn));
    }
}

bool TXPMenu::PaintItemSelection(TMenuItem* Item, TMainMenu* Bar, TCanvas* c, bool Selected, TRect D, TRect R,
                                 bool RightToLeft) {
    if (Selected && drawSelect_) {
        if (Bar) {
            PaintSelectedBarItem(Item, c, menuBarColor_, D, RightToLeft);
        } else if (Item->Enabled()) {
            TRect s{D.left, D.top + 1, D.right - (flatMenu_ ? 1 : 0), D.bottom - 1};
            c->Brush()->SetColor(selectFillColor_);
            c->FillRect(s);
            c->Brush()->SetStyle(bsClear);
            c->Pen()->SetColor(selectFrameColor_);
            c->Rectangle(s);
            c->Brush()->SetStyle(bsSolid);
        }
        return true;
    }
    // The bar item under the pointer is hot-tracked.
    if (!Bar || !isNT_ || !Item->Enabled() || !IsCursorInItemRect(MenuOwnerForm(Bar), R)) return false;
    c->Brush()->SetColor(selectFillColor_);
    c->Pen()->SetColor(selectFrameColor_);
    c->Rectangle(D.left, D.top, D.right - 7, D.bottom);
    return true;
}

void TXPMenu::PaintItemCaption(TMenuItem* Item, TCanvas* c, TBox T, bool Selected, bool IsBar, bool RightToLeft) {
    if (Item->IsLine()) {
        c->Pen()->SetColor(separatorLineColor_);
        const int y = T.top + static_cast<int>(std::nearbyint((T.bottom - T.top) / 2.0));
        if (RightToLeft)
            DrawLine(c, T.left, y, T.right - 7, y);
        else
            DrawLine(c, T.left + 7, y, T.right, y);
        return;
    }
    const TRect box = ToRect<TRect>(MenuCaptionBox(T, RightToLeft, c->TextHeight("W")));
    PaintItemText(Item, c, " " + Item->Caption(), box, RightToLeft ? DT_RIGHT | DT_RTLREADING : 0, Item->Default(),
                  Item->Enabled(), Selected, ShortCutToText(Item->ShortCut()), IsBar);
}

void TXPMenu::PaintBarBeside(TMainMenu* Bar, TMenuItem* Item, TCanvas* ACanvas, TRect R, bool RightToLeft) {
    // The last item colours the bar up to the form's right edge, a
    // right-to-left item the gap to its neighbour, so no strip of the
    // default bar colour shows.
    const int top = R.top, bottom = R.bottom;
    const bool last = Bar->Items()->Count() > 0 && Bar->Items()->Items(Bar->Items()->Count() - 1) == Item;
    TRect fill{0, 0, 0, 0};
    if (last) {
        TControl* owner = MenuOwnerForm(Bar);
        if (RightToLeft)
            fill = TRect{3, top, R.right, bottom};
        else if (owner)
            fill = TRect{R.left, top, owner->ClientWidth() + 5, bottom};
    } else if (RightToLeft) {
        fill = TRect{R.left, top, R.right + 7, bottom};
    }
    if (fill.right <= fill.left) return;
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(menuBarColor_);
    ACanvas->FillRect(fill);
}

void TXPMenu::AskForFlatBorder(TMenuItem* Item, TCanvas* ACanvas, bool RightToLeft) {
    if (!Application || !Application->Handle()) return;
    HWND target = WindowFromDC(ACanvas->Handle());
    HWND formWnd = ownerForm_ && ownerForm_->HandleAllocated() ? ownerForm_->Handle() : nullptr;
    MSG pending;
    if (PeekMessageA(&pending, Application->Handle(), WM_XPFLATBORDERITEM, WM_XPFLATBORDERWINDOW, PM_NOREMOVE)) return;
    if (target && target != formWnd)
        PostMessageA(Application->Handle(), WM_XPFLATBORDERWINDOW, RightToLeft ? 1 : 0,
                     reinterpret_cast<LPARAM>(target));
    else if (!target)
        PostMessageA(Application->Handle(), WM_XPFLATBORDERITEM, 0, reinterpret_cast<LPARAM>(Item));
}

// ---------------------------------------------------------------- flat popup border

void TXPMenu::PaintFlatPopupBorder(HWND W, bool RightToLeft) {
    if (!W || borderBusy_ || !IsWindow(W)) return;
    ScopedWindowDC dc(W);
    if (!dc) return;
    borderBusy_ = true;
    // The border is decoration: a failure leaves the system's border.
    PaintQuietly([&] {
        if (colorsStale_) {
            TCanvas measure(dc);
            UpdateDerivedColors(&measure);
        }
        RECT wr{};
        GetWindowRect(W, &wr);
        int w = wr.right - wr.left, h = wr.bottom - wr.top;
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(W, GWLP_WNDPROC)) != FlatPopupWndProc) {
            const LONG_PTR prev = GetWindowLongPtrA(W, GWLP_WNDPROC);
            SetWindowLongPtrA(W, GWLP_USERDATA, prev);
            SetWindowLongPtrA(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FlatPopupWndProc));
        }
        if (!isWinXP_) {
            RECT box{};
            HRGN cur = CreateRectRgn(0, 0, 0, 0);
            const int kind = cur ? GetWindowRgn(W, cur) : ERROR;
            if (cur && kind != ERROR) GetRgnBox(cur, &box);
            if (cur) DeleteObject(cur);
            if (kind == ERROR || std::abs((box.right - box.left) - w) > 5 || std::abs((box.bottom - box.top) - h) > 5) {
                HRGN a = CreateRectRgn(0, 0, w - 2, h - 2);
                HRGN b = CreateRectRgn(2, 2, w, h);
                if (a && b && CombineRgn(a, a, b, RGN_OR) != ERROR && SetWindowRgn(W, a, TRUE)) a = nullptr;
                if (a) DeleteObject(a);
                if (b) DeleteObject(b);
            }
            w -= 2;
            h -= 2;
        }
        TCanvas canvas(dc);
        TCanvas* c = &canvas;
        c->Brush()->SetStyle(bsClear);
        c->Pen()->SetColor(flatBorderColor_);
        c->Rectangle(0, 0, w, h);
        c->Brush()->SetStyle(bsSolid);
        c->Pen()->SetColor(iconColumnColor_);
        c->Brush()->SetColor(iconColumnColor_);
        if (RightToLeft)
            DrawLine(c, w - 3, 2, w - 2, h - 1);
        else
            c->Rectangle(1, 2, 3, h - 1);
        StretchBlt(dc, 1, 1, w - 2, 2, dc, 1, 3, w - 2, 1, SRCCOPY);
        if (isWinXP_) {
            StretchBlt(dc, 1, h - 3, w - 2, 2, dc, 1, h - 4, w - 2, 1, SRCCOPY);
            c->Pen()->SetColor(menuBackColor_);
            c->Brush()->SetColor(menuBackColor_);
            c->Rectangle(w - 3, 1, w - 1, h - 1);
        } else {
            w += 2;
            h += 2;
            c->Pen()->SetColor(menuShadowColor_);
            c->Brush()->SetColor(menuShadowColor_);
            c->Rectangle(2, h - 2, w, h);
            c->Rectangle(w - 2, 2, w, h);
        }
    });
    borderBusy_ = false;
}

LRESULT CALLBACK FlatPopupWndProc(HWND W, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto prev = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(W, GWLP_USERDATA));
    if (!prev) return DefWindowProcA(W, Msg, wParam, lParam);
    if (Msg == WM_ERASEBKGND) return 1;
    if ((Msg == WM_SHOWWINDOW && !wParam) || Msg == WM_CLOSE || Msg == WM_DESTROY) {
        SetWindowRgn(W, nullptr, FALSE);
        SetWindowLongPtrA(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
        SetWindowLongPtrA(W, GWLP_USERDATA, 0);
        const LRESULT r = CallWindowProcA(prev, W, Msg, wParam, lParam);
        // A parent popup beside this one redraws the shadow this one covered.
        RECT wr{};
        if (GetWindowRect(W, &wr)) {
            HWND beside = WindowFromPoint(POINT{wr.right + 2, wr.top + 2});
            if (!beside || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(beside, GWLP_WNDPROC)) != FlatPopupWndProc)
                beside = WindowFromPoint(POINT{wr.right + 2, wr.bottom - 2});
            if (beside && beside != W &&
                reinterpret_cast<WNDPROC>(GetWindowLongPtrA(beside, GWLP_WNDPROC)) == FlatPopupWndProc)
                InvalidateRect(beside, nullptr, TRUE);
        }
        return r;
    }
    return CallWindowProcA(prev, W, Msg, wParam, lParam);
}

}  // namespace painters
