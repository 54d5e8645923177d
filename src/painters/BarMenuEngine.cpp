#include "painters/BarMenuEngine.h"

#include <cstring>
#include <vector>

#include "painters/BarMenuOptions.h"
#include "painters/BarMenus.h"
#include "painters/BcChecked.h"
#include "painters/BcLayeredWindows.h"
#include "painters/BcUtilities.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/ImageList.h"

namespace painters {

using namespace checked;
using ui::TCanvas;
using ui::TColor;
using ui::TMenuItem;
using ui::TRect;

const char* const SBcRadioItemResName = "BCRADIOITEM";

namespace {

// The system's check-mark bitmap (OBM_CHECK).
constexpr int kObmCheck = 32760;
// Marks a popup window whose region the frame step has set.
constexpr const char* kFramedProp = "VskBarMenuFramed";

void Offset(TRect& r, int dx, int dy) {
    r.left = Add(r.left, dx);
    r.right = Add(r.right, dx);
    r.top = Add(r.top, dy);
    r.bottom = Add(r.bottom, dy);
}

// Fills r with c without touching the canvas's brush.
void FillSolid(HDC dc, const TRect& r, TColor c) {
    ui::ScopedGdiObject<HBRUSH> b(CreateSolidBrush(ui::ColorToCOLORREF(c)));
    if (b) FillRect(dc, &r, b);
}

void FrameSolid(HDC dc, const TRect& r, TColor c) {
    ui::ScopedGdiObject<HBRUSH> b(CreateSolidBrush(ui::ColorToCOLORREF(c)));
    if (b) FrameRect(dc, &r, b);
}

// DrawText with the canvas's font, font colour and brush.
int CanvasDrawText(TCanvas* c, const std::string& text, TRect& r, UINT format) {
    HDC dc = c->Handle();
    ui::ScopedSelectObject font(dc, c->Font()->Handle());
    SetTextColor(dc, ui::ColorToCOLORREF(c->Font()->Color()));
    if (c->Brush()->Style() == ui::bsClear) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, ui::ColorToCOLORREF(c->Brush()->Color()));
    }
    return DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

// The item's own OnAdvancedDrawItem is put aside while the engine draws
// it and put back however the drawing ends.
class DetachedDrawHandler {
public:
    explicit DetachedDrawHandler(TMenuItem* item) : item_(item), saved_(item->OnAdvancedDrawItem) {
        item->OnAdvancedDrawItem = nullptr;
    }
    ~DetachedDrawHandler() { item_->OnAdvancedDrawItem = saved_; }
    DetachedDrawHandler(const DetachedDrawHandler&) = delete;
    DetachedDrawHandler& operator=(const DetachedDrawHandler&) = delete;

private:
    TMenuItem* item_;
    ui::TAdvancedMenuDrawItemEvent saved_;
};

// A checker of clBtnFace and clBtnHighlight, as behind a checked glyph.
void FillPattern(HDC dc, const TRect& r) {
    static const WORD bits[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    ui::ScopedGdiObject<HBITMAP> bmp(CreateBitmap(8, 8, 1, 1, bits));
    if (!bmp) return;
    ui::ScopedGdiObject<HBRUSH> brush(CreatePatternBrush(bmp));
    if (!brush) return;
    const COLORREF oldText = SetTextColor(dc, ui::ColorToCOLORREF(ui::clBtnFace));
    const COLORREF oldBk = SetBkColor(dc, ui::ColorToCOLORREF(ui::clBtnHighlight));
    FillRect(dc, &r, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

// ---------------------------------------------------------------- default painter

struct ItemPaint {
    TMenuItem* item;
    TCanvas* canvas;
    TRect rect;
    ui::TOwnerDrawState state;
    ui::TCustomImageList* images;
    bool selected;
    bool xp;
    bool topLevel;
};

bool Hot(const ItemPaint& p) { return (p.state & ui::odHotLight) != 0; }

bool ValidImageIndex(const ItemPaint& p) {
    const int index = p.item->ImageIndex();
    return p.images && index >= 0 && index < p.images->Count();
}

// An image stands for the check mark when the item has no bitmap.
bool DrawsImage(const ItemPaint& p) {
    return p.images && (ValidImageIndex(p) || (p.item->Checked() && p.item->Bitmap()->Empty()));
}

// The glyph cell (W x H) one pixel in from the item's top-left corner,
// centred on its height.
TRect GlyphCell(const TRect& A, int W, int H) {
    TRect G = ui::Rect(Add(A.left, 1), Add(A.top, 1), 0, 0);
    G.right = Add(G.left, W);
    G.bottom = Add(G.top, H);
    Offset(G, 0, Sub(Div(Sub(RectHeight(A), H), 2), 1));
    return G;
}

// Where a bitmap smaller than G is drawn: centred, a pixel right and down.
TRect CentredIn(TRect G, int W, int H) {
    if (W < RectWidth(G)) {
        G.left = Add(G.left, Add(Div(Sub(RectWidth(G), W), 2), 1));
        G.right = Add(G.left, W);
    }
    if (H < RectHeight(G)) {
        G.top = Add(G.top, Add(Div(Sub(RectHeight(G), H), 2), 1));
        G.bottom = Add(G.top, H);
    }
    return G;
}

// The glyph's column (XP look) or the checked background (classic look)
// under the cell G; answers where the glyph goes.
TRect PaintGlyphBackground(const ItemPaint& p, TRect G) {
    TCanvas* c = p.canvas;
    const bool checked = p.item->Checked();
    if (p.xp) {
        const TRect column = ui::Rect(p.rect.left, p.rect.top, Add(G.right, 5), p.rect.bottom);
        if (!checked) {
            c->FillRect(column);
            Offset(G, 1, 0);
            return G;
        }
        const TColor keep = c->Brush()->Color();
        c->Brush()->SetColor(ui::clHighlight);
        if (p.selected) c->FillRect(column);
        const int oldRight = G.right;
        Offset(G, 1, 0);
        if (p.selected)
            FillSolid(c->Handle(), G, ui::clMenu);
        else
            c->FrameRect(ui::Rect(Sub(G.left, 1), Sub(G.top, 1), Add(oldRight, 2), Add(G.bottom, 1)));
        c->Brush()->SetColor(keep);
        return G;
    }
    if (!checked) return G;
    G.right = Add(G.right, 1);
    G.bottom = Add(G.bottom, 1);
    if (p.state & ui::odSelected)
        FillSolid(c->Handle(), G, ui::clBtnFace);
    else
        FillPattern(c->Handle(), G);
    G.left = Add(G.left, 1);
    G.top = Add(G.top, 1);
    return G;
}

// The system's check mark, or the radio dot, centred in G.
void PaintCheckMark(const ItemPaint& p, const TRect& G) {
    TCanvas* c = p.canvas;
    ui::TBitmap mark;
    if (p.item->RadioItem()) {
        mark.LoadFromResourceName(GetModuleHandleA(nullptr), SBcRadioItemResName);
    } else if (HBITMAP h = LoadBitmapA(nullptr, MAKEINTRESOURCEA(kObmCheck))) {
        mark.SetHandle(h);
    }
    mark.SetTransparent(true);
    const TColor keepFont = c->Font()->Color();
    c->Font()->SetColor(ui::clBtnText);
    int x = Add(G.left, Div(Sub(RectWidth(G), mark.Width()), 2));
    int y = Add(G.top, Div(Sub(RectHeight(G), mark.Height()), 2));
    if (!p.xp) {
        x = Add(x, 1);
        y = Add(y, 1);
    } else if (!p.item->RadioItem()) {
        x = Add(x, 1);
    }
    if (!mark.Empty()) c->Draw(x, y, &mark);
    c->Font()->SetColor(keepFont);
}

// Paints the glyph with its background; answers the glyph's box.
TRect PaintGlyphCell(const ItemPaint& p) {
    const bool drawImage = DrawsImage(p);
    TRect G = GlyphCell(p.rect, drawImage ? p.images->Width() : 16, drawImage ? p.images->Height() : 16);
    G = PaintGlyphBackground(p, G);
    ui::TBitmap* bitmap = p.item->Bitmap();
    if (ValidImageIndex(p))
        p.images->Draw(p.canvas, G.left, G.top, p.item->ImageIndex(), p.item->Enabled());
    else if (drawImage)
        PaintCheckMark(p, G);
    else
        p.canvas->StretchDraw(CentredIn(G, bitmap->Width(), bitmap->Height()), bitmap);
    if (p.item->Checked()) {
        G.right = Sub(G.right, 1);
        G.bottom = Sub(G.bottom, 1);
    }
    return G;
}

// The room a glyphless item keeps: its image list's cell in a popup menu.
TRect EmptyGlyphCell(const ItemPaint& p) {
    TRect G = ui::Rect(Add(p.rect.left, 1), Add(p.rect.top, 1), 0, 0);
    const bool room = p.images && !p.topLevel;
    G.right = room ? Add(G.left, p.images->Width()) : G.left;
    G.bottom = room ? Add(G.top, p.images->Height()) : G.top;
    return G;
}

// The glyph's edge (classic look) and the selection beside or over the
// glyph box G.
void PaintItemSelection(ItemPaint& p, const TRect& G, bool drawGlyph) {
    TCanvas* c = p.canvas;
    TRect& A = p.rect;
    const bool checked = p.item->Checked();
    if (!p.xp && (checked || (p.selected && drawGlyph))) {
        TRect e = G;
        DrawEdge(c->Handle(), &e, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (!p.selected) return;
    if (p.xp) {
        c->Brush()->SetColor(ui::clHighlight);
        c->FillRect(ui::Rect(drawGlyph ? Sub(G.right, 1) : A.left, A.top, A.right, A.bottom));
        if (drawGlyph) A.left = Add(G.right, 1);
    } else {
        if (drawGlyph) A.left = Add(G.right, 1);
        if (!(p.topLevel && NewStyleMenus)) c->Brush()->SetColor(ui::clHighlight);
        c->FillRect(A);
    }
}

// A menu-bar item's own selected or hot-tracked look.
void PaintTopLevelItem(ItemPaint& p) {
    TCanvas* c = p.canvas;
    if (p.xp) {
        if (p.selected || Hot(p)) c->Brush()->SetColor(ui::clHighlight);
        c->FillRect(p.rect);
    } else if (NewStyleMenus) {
        TRect e = p.rect;
        if (p.selected)
            DrawEdge(c->Handle(), &e, BDR_SUNKENOUTER, BF_RECT);
        else if (Hot(p))
            DrawEdge(c->Handle(), &e, BDR_RAISEDINNER, BF_RECT);
        if (!p.selected) Offset(p.rect, 0, -1);
    }
}

// The caption, centred on the item's height, and a popup item's shortcut.
void PaintItemCaption(ItemPaint& p) {
    TMenuItem* item = p.item;
    TCanvas* c = p.canvas;
    TRect& A = p.rect;
    UINT format = DT_LEFT | DT_EXPANDTABS | DT_SINGLELINE;
    if (NT5OrLater && (p.state & ui::odNoAccel)) format |= DT_HIDEPREFIX;
    const TRect S = A;
    if (p.state & ui::odDefault) c->Font()->SetStyle(ui::fsBold);
    DrawMenuItemText(item, c, item->Caption(), A, p.selected, format | DT_CALCRECT | DT_NOCLIP);
    Offset(A, 0, Div(Sub(RectHeight(S), RectHeight(A)), 2));
    if (p.topLevel) {
        if (p.xp) {
            if (!(p.state & ui::odInactive) && (p.selected || Hot(p))) c->Font()->SetColor(ui::clHighlightText);
            A.top = Sub(A.top, 1);
        } else if (NewStyleMenus && p.selected) {
            Offset(A, 1, 0);
        }
    }
    // The measuring only places the caption vertically: it is drawn across
    // the item's whole text width. A substituted font can draw wider than
    // it measures, and a right-aligned caption needs the room to move right.
    TRect T = A;
    T.right = MaxInteger(A.right, Add(S.right, Sub(A.left, S.left)));
    DrawMenuItemText(item, c, item->Caption(), T, p.selected, format);
    if (item->ShortCut() != ui::scNone && !p.topLevel) {
        A.left = A.right;
        A.right = Sub(S.right, 10);
        DrawMenuItemText(item, c, ui::ShortCutToText(item->ShortCut()), A, p.selected, format | DT_RIGHT);
    }
}

void PaintMenuItemNormal(ItemPaint& p) {
    if (!p.selected) p.canvas->FillRect(p.rect);
    const bool drawGlyph = DrawsImage(p) || !p.item->Bitmap()->Empty();
    TRect G = drawGlyph ? PaintGlyphCell(p) : EmptyGlyphCell(p);
    G = ui::Rect(Sub(G.left, 1), Sub(G.top, 1), Add(G.right, 2), Add(G.bottom, 2));
    PaintItemSelection(p, G, drawGlyph);
    if (p.topLevel) PaintTopLevelItem(p);
    // The caption starts after the glyph box, unless the selection put it
    // there already.
    if (!p.selected || !drawGlyph) p.rect.left = Add(G.right, 1);
    p.rect.left = Add(p.rect.left, (p.xp && !p.topLevel) ? 4 : 2);
    p.rect.right = Sub(p.rect.right, 1);
    PaintItemCaption(p);
}

void PaintMenuItemState(TMenuItem* item, TCanvas* c, TRect R, ui::TOwnerDrawState State, bool mainBar,
                        IBarMenusIntf* intf) {
    ItemPaint p{item,
                c,
                R,
                State,
                item->GetImageList(),
                (State & ui::odSelected) != 0,
                intf->GetEffectiveMenuStyle() == msWindowsXP,
                mainBar};
    PaintMenuItemNormal(p);
}

void PaintMenuItemColors(TMenuItem* item, TCanvas* c, TRect R, ui::TOwnerDrawState State, bool mainBar,
                         IBarMenusIntf* intf) {
    if ((State & ui::odSelected) && (!mainBar || !NewStyleMenus)) {
        c->Brush()->SetColor(ui::clHighlight);
        c->Font()->SetColor(ui::clHighlightText);
    } else {
        c->Font()->SetColor(NewStyleMenus && (State & ui::odInactive) ? ui::clGrayText : ui::clMenuText);
        c->Brush()->SetColor(mainBar && XPLookMenus ? ui::clBtnFace : ui::clMenu);
    }
    PaintMenuItemState(item, c, R, State, mainBar, intf);
}

// One colour channel of a gradient step.
uint8_t Channel(int start, int delta, int num, int den) {
    return Narrow<uint8_t>(Add(start, Div(Mul(delta, num), den)));
}

}  // namespace

// ================================================================ hooking

void HookBarMenuItem(TMenuItem* Item, const TBarMenuHookRecord& Hook) {
    if (!Item) return;
    if (Hook.Menu && Hook.Menu->HasState(ui::csLoading)) return;
    if (Item->OnAdvancedDrawItem == Hook.DrawHandler) return;
    if (!Item->OnMeasureItem || !Hook.OnlyWithoutHandlers) Item->OnMeasureItem = Hook.MeasureHandler;
    if ((Item->OnAdvancedDrawItem || Item->OnDrawItem) && Hook.OnlyWithoutHandlers) return;
    Item->OnAdvancedDrawItem = Hook.DrawHandler;
}

void HookBarSubItems(TMenuItem* Item, bool Recursive, const TBarMenuHookRecord& Hook) {
    if (!Item) return;
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* child = Item->Items(i);
        HookBarMenuItem(child, Hook);
        if (Recursive && child->Count() > 0) HookBarSubItems(child, Recursive, Hook);
    }
}

void HookMenuItems(ui::TMenu* Menu, TMenuItem* Item, bool Recursive, ui::TMenuMeasureItemEvent MeasureHandler,
                   ui::TAdvancedMenuDrawItemEvent DrawHandler, bool OnlyWithoutHandlers) {
    TBarMenuHookRecord hook;
    hook.Menu = Menu;
    hook.OnlyWithoutHandlers = OnlyWithoutHandlers;
    hook.DrawHandler = DrawHandler;
    hook.MeasureHandler = MeasureHandler;
    if (Item)
        HookBarMenuItem(Item, hook);
    else if (Menu)
        HookBarSubItems(Menu->Items(), Recursive, hook);
}

// ================================================================ item tests

bool IsSeparatorWithText(TMenuItem* Item, std::string& Text) {
    Text.clear();
    if (!Item || !Item->IsLine()) return false;
    if (Item->Enabled()) Text = Item->Hint();
    return true;
}

bool IsItemAfterBreak(TMenuItem* Item) {
    if (!Item || !Item->Parent()) return false;
    TMenuItem* parent = Item->Parent();
    for (int i = Item->MenuIndex(); i >= 0; --i) {
        TMenuItem* s = parent->Items(i);
        if (s->Visible() && s->Break() != ui::mbNone) return true;
    }
    return false;
}

bool IsPopupMenuItem(TMenuItem* Item) {
    return Item && dynamic_cast<ui::TPopupMenu*>(Item->GetParentComponent()) != nullptr;
}

bool IsMainMenuItem(TMenuItem* Item) {
    return Item && dynamic_cast<ui::TMainMenu*>(Item->GetParentComponent()) != nullptr;
}

TMenuItem* GetFirstVisibleItem(TBcCustomBarMainMenu* Menu) {
    if (!Menu || !Menu->Items()) return nullptr;
    for (int i = 0; i < Menu->Items()->Count(); ++i)
        if (Menu->Items()->Items(i)->Visible()) return Menu->Items()->Items(i);
    return nullptr;
}

bool IsChildOfFirstVisibleItem(TBcCustomBarMainMenu* Menu, TMenuItem* Item) {
    if (!Item) return false;
    TMenuItem* first = GetFirstVisibleItem(Menu);
    return first && Item->Parent() == first;
}

// ================================================================ measuring

void MeasureBarMenuItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height, bool ABarVisible) {
    IBarMenusIntf* intf = GetItemBarMenusIntf(Item);
    if (!intf) return;
    TBcBarProtected* cache = intf->GetBarProtected();
    const bool mainBar = IsMainMenuItem(Item);
    const bool xp = intf->GetEffectiveMenuStyle() == msWindowsXP;
    std::string text;
    if (IsSeparatorWithText(Item, text)) {
        Height = !text.empty() ? 14 : xp ? 9 : 12;
    } else if (!mainBar) {
        if (!intf->GetMenu()->Images() && Item->Bitmap()->Empty()) Width = Add(Width, 15);
        if (xp) {
            Height = Mul(Div(Add(Height, 1), 2), 2);
            Width = Add(Width, 2);
        }
    }
    bool defaultMeasure = true;
    if (TOnMeasureMenuItemEvent ev = intf->GetOnMeasureMenuItem())
        ev(intf->GetMenu(), Item, ACanvas, Width, Height, ABarVisible, defaultMeasure);
    if (defaultMeasure)
        if (TBcBarMenusDrawModule* module = intf->GetDrawModule())
            module->MeasureMenuItem(Item, ACanvas, Width, Height, ABarVisible, defaultMeasure);
    if (defaultMeasure && intf->GetSeparators()->SeparatorStyle() == ssShortLine && !mainBar) Width = Add(Width, 10);
    if (ABarVisible && !IsItemAfterBreak(Item)) {
        TBcBar* bar = intf->GetBar();
        Width = Add(Width, Add(bar->Width(), bar->Space()));
        if (cache->Recalc && Item->Visible()) cache->SetBarHeight(Add(cache->BarHeight, Height));
    }
}

// ================================================================ drawing

void DrawBarMenuItem(TMenuItem* Item, TCanvas* ACanvas, TRect ARect, ui::TOwnerDrawState State, bool ABarVisible) {
    IBarMenusIntf* intf = GetItemBarMenusIntf(Item);
    if (!intf) return;
    HWND window = WindowFromDC(ACanvas->Handle());
    TBcBarProtected* cache = intf->GetBarProtected();
    TBcBar* bar = intf->GetBar();
    intf->SetMenuWindow(window);
    ApplyMenuAlpha(intf, window, intf->GetAlpha());
    ABarVisible = ABarVisible && !IsItemAfterBreak(Item);
    {
        DetachedDrawHandler detached(Item);
        TRect R = ARect;
        if (ABarVisible) {
            const int room = Add(bar->Width(), bar->Space());
            R.right = Sub(R.right, room);
            if (bar->Side() == sLeft) Offset(R, room, 0);
        }
        if (!intf->GetUseSystemFont()) ACanvas->Font()->Assign(intf->GetMenuFont());
        bool defaultDraw = true;
        if (TBcBarMenusDrawModule* module = intf->GetDrawModule())
            module->DrawMenuItem(Item, ACanvas, R, State, ABarVisible, defaultDraw);
        if (defaultDraw) {
            if (intf->GetSeparators()->SeparatorStyle() == ssShortLine && !IsMainMenuItem(Item))
                R.right = Sub(R.right, 10);
            PaintMenuItemDefault(intf, Item, ACanvas, R, State);
        }
    }
    if (ABarVisible) {
        RECT client;
        if (cache->Recalc && window && GetClientRect(window, &client)) cache->SetBarHeight(RectHeight(client));
        ui::TBitmap* bmp = cache->GetBarBitmap();
        if (cache->Recalc) cache->SetRecalc(false);
        // Both sizes at once: a bitmap with one side 0 keeps neither.
        if (bmp->Height() != cache->BarHeight || bmp->Width() != bar->Width()) {
            bmp->SetSize(bar->Width(), cache->BarHeight);
            cache->Valid = false;
        }
        TRect dest = cache->Valid ? ARect : ui::Rect(0, 0, bar->Width(), cache->BarHeight);
        if (bar->Side() == sRight) Offset(dest, Sub(RectWidth(ARect), bar->Width()), 0);
        if (cache->Valid) {
            // The item's rows of the bar image, no wider than the image.
            const int w = MaxInteger(0, MinInteger(RectWidth(ARect), Sub(bmp->Width(), MaxInteger(ARect.left, 0))));
            const TRect src = ui::Rect(ARect.left, ARect.top, Add(ARect.left, w), ARect.bottom);
            dest.right = Add(dest.left, w);
            if (w > 0) CopyBarImage(intf, ACanvas, dest, src);
        } else {
            const TRect full = BitmapRect(bmp);
            ui::TObject* sender = intf->GetMenu();
            bool defaultDraw = true;
            if (TOnBeforeDrawBarEvent ev = intf->GetOnBeforeDrawBar()) ev(sender, bmp->Canvas(), full, defaultDraw);
            if (defaultDraw) {
                TBarParts parts = bpGradient;
                if (bar->BarPicture()->Visible()) parts |= bpPicture;
                if (bar->BarBackPicture()->Visible()) parts |= bpBackPicture;
                if (bar->BarCaption()->Visible()) parts |= bpCaption;
                if (TOnAdvancedBeforeDrawBarEvent ev = intf->GetOnAdvancedBeforeDrawBar())
                    ev(sender, bmp->Canvas(), full, parts);
                if (parts & bpGradient) DrawBarGradient(intf, full);
                if (parts & bpBackPicture) DrawBarBackPicture(intf);
                if (parts & bpPicture) DrawBarPicture(intf);
                if (parts & bpCaption) DrawBarCaption(intf, full);
            }
            if (!::IsRectEmpty(&full)) CopyBarImage(intf, ACanvas, dest, full);
            if (TOnAfterDrawBarEvent ev = intf->GetOnAfterDrawBar()) ev(sender, bmp->Canvas(), full);
            cache->Valid = true;
        }
    }
    ApplyMenuWindowFrame(intf, window);
}

void PaintMenuItemDefault(IBarMenusIntf* Intf, TMenuItem* Item, TCanvas* ACanvas, TRect R, ui::TOwnerDrawState State) {
    std::string text;
    if (IsSeparatorWithText(Item, text)) {
        DrawSeparator(Intf, Item, text, ACanvas, R, State);
        return;
    }
    const bool mainBar = IsMainMenuItem(Item);
    if (Intf->GetSeparators()->SeparatorStyle() == ssShortLine && !mainBar)
        ACanvas->FillRect(ui::Rect(R.right, R.top, Add(R.right, 10), R.bottom));
    PaintMenuItemColors(Item, ACanvas, R, State, mainBar, Intf);
}

void DrawMenuItemText(TMenuItem* Item, TCanvas* ACanvas, const std::string& Text, TRect& R, bool Selected,
                      UINT Format) {
    std::string text = Text;
    ui::TMenu* menu = Item->GetParentMenu();
    if (menu && menu->IsRightToLeft()) Format |= DT_RIGHT | DT_RTLREADING;
    const bool measuring = (Format & DT_CALCRECT) != 0;
    if (measuring && (text.empty() || text == "&")) text += " ";
    if (text != "-") {
        ACanvas->Brush()->SetStyle(ui::bsClear);
        if (Item->Default()) ACanvas->Font()->SetStyle(ACanvas->Font()->Style() | ui::fsBold);
        if (!Item->Enabled()) {
            if (!Selected) {
                TRect shifted = R;
                Offset(shifted, 1, 1);
                ACanvas->Font()->SetColor(ui::clBtnHighlight);
                CanvasDrawText(ACanvas, text, shifted, Format);
            }
            const bool same = ui::ColorToRGB(ui::clHighlight) == ui::ColorToRGB(ui::clBtnShadow);
            ACanvas->Font()->SetColor(Selected && same ? ui::clBtnHighlight : ui::clBtnShadow);
        }
        CanvasDrawText(ACanvas, text, R, Format);
    } else if (!measuring) {
        TRect line = R;
        line.top = Add(line.top, 4);
        DrawEdge(ACanvas->Handle(), &line, EDGE_ETCHED, BF_TOP);
    }
}

// ================================================================ separators

void DrawSeparator(IBarMenusIntf* Intf, TMenuItem*, const std::string& Text, TCanvas* ACanvas, TRect R,
                   ui::TOwnerDrawState) {
    TBcSeparators* seps = Intf->GetSeparators();
    HDC dc = ACanvas->Handle();
    TRect L = R;
    if (seps->SeparatorStyle() == ssShortLine) {
        L.right = Add(L.right, 10);
        L.left = Add(L.left, 12);
        L.right = Sub(L.right, 12);
    }
    auto edge = [&](TRect r) {
        if (seps->FlatLines())
            DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_TOP | BF_FLAT);
        else
            DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
    };
    if (Text.empty()) {
        L.top = Add(L.top, 5);
        if (seps->Fade()) {
            if (!seps->FlatLines()) DrawFadeLine(ACanvas, TRect{}, L, ui::clBtnHighlight, seps->FadeWidth(), false);
            Offset(L, 0, -1);
            DrawFadeLine(ACanvas, TRect{}, L, seps->FadeColor(), seps->FadeWidth(), false);
        } else {
            edge(L);
        }
        return;
    }
    const std::string text = " " + Text + " ";
    if (seps->SeparatorStyle() == ssCaption) {
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (seps->Alignment() == ui::taRightJustify)
            format |= DT_RIGHT;
        else if (seps->Alignment() == ui::taCenter)
            format |= DT_CENTER;
        if (!seps->UseSystemFont()) ACanvas->Font()->Assign(seps->Font());
        ACanvas->Brush()->SetColor(seps->GradientStart());
        FillGradientRect(nullptr, ACanvas, L, seps->GradientStart(), seps->GradientEnd(), seps->GradientStyle());
        ACanvas->Brush()->SetStyle(ui::bsClear);
        HDC tdc = ACanvas->Handle();
        ui::ScopedSelectObject font(tdc, ACanvas->Font()->Handle());
        SetTextColor(tdc, ui::ColorToCOLORREF(ACanvas->Font()->Color()));
        SetBkMode(tdc, TRANSPARENT);
        std::string buf = text;
        DrawTextExA(tdc, buf.data(), static_cast<int>(buf.size()), &L, format, nullptr);
        return;
    }
    ACanvas->Brush()->SetStyle(ui::bsClear);
    TRect T = L;
    T.bottom = Sub(T.bottom, 1);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_CENTER;
    CanvasDrawText(ACanvas, text, T, format | DT_CALCRECT);
    if (seps->Alignment() == ui::taRightJustify)
        Offset(T, Sub(RectWidth(L), RectWidth(T)), 0);
    else if (seps->Alignment() == ui::taCenter)
        Offset(T, Round(static_cast<double>(Sub(RectWidth(L), RectWidth(T))) / 2.0 - 0.5), 0);
    L.top = Add(L.top, 6);
    if (seps->Fade()) {
        Offset(L, 0, 1);
        DrawFadeLine(ACanvas, T, L, seps->FadeColor(), seps->FadeWidth(), true);
        if (!seps->FlatLines()) {
            Offset(L, 0, 1);
            DrawFadeLine(ACanvas, T, L, ui::clBtnHighlight, seps->FadeWidth(), true);
        }
    } else {
        if (seps->FlatLines()) Offset(L, 0, 1);
        TRect left = L;
        left.right = T.left;
        edge(left);
        TRect right = L;
        right.left = T.right;
        edge(right);
    }
    CanvasDrawText(ACanvas, text, T, format);
}

void DrawFadeLine(TCanvas* ACanvas, TRect T, TRect L, TColor Color, int W, bool HasText) {
    if (!HasText) T = TRect{};
    const int y = MaxInteger(L.top, T.top);
    const int mid = Add(L.left, Div(Sub(L.right, L.left), 2));
    const int leftEnd = HasText ? Sub(MinInteger(mid, T.left), 1) : mid;
    const int rightStart = HasText ? MaxInteger(mid, T.right) : mid;
    const TColor c = ui::ColorToRGB(Color);
    const int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
    // Towards the colour over Num / W of the way; a fade width of 0 or less
    // has no fading stretch.
    auto put = [&](int x, int num) {
        if (W <= 0) {
            ACanvas->SetPixel(x, y, c);
            return;
        }
        const TColor p = ui::ColorToRGB(ACanvas->Pixels(x, y));
        const int pr = GetRValue(p), pg = GetGValue(p), pb = GetBValue(p);
        ACanvas->SetPixel(
            x, y,
            RGB(Channel(pr, Sub(cr, pr), num, W), Channel(pg, Sub(cg, pg), num, W), Channel(pb, Sub(cb, pb), num, W)));
    };
    for (int x = L.left; x <= leftEnd; ++x) {
        if (x < Add(L.left, W))
            put(x, Sub(x, L.left));
        else
            ACanvas->SetPixel(x, y, c);
    }
    for (int x = rightStart; x <= L.right; ++x) {
        if (x > Sub(L.right, W))
            put(x, Sub(L.right, x));
        else
            ACanvas->SetPixel(x, y, c);
    }
}

// ================================================================ gradients

void FillGradientRect(ui::TBitmap* Bitmap, TCanvas* ACanvas, TRect R, TColor StartColor, TColor EndColor,
                      TGradientStyle Style) {
    const int W = RectWidth(R), H = RectHeight(R);
    const TColor s = ui::ColorToRGB(StartColor), e = ui::ColorToRGB(EndColor);
    // Rows and columns that fall inside the bitmap; the gradient itself is
    // still laid over the whole of R.
    int x0 = R.left, x1 = R.right, y0 = R.top, y1 = R.bottom;
    if (Bitmap) {
        Bitmap->SetPixelFormat(ui::pf32bit);
        x0 = MaxInteger(x0, 0);
        y0 = MaxInteger(y0, 0);
        x1 = MinInteger(x1, Bitmap->Width());
        y1 = MinInteger(y1, Bitmap->Height());
        if (x0 >= x1 || y0 >= y1) return;
    } else if (!ACanvas) {
        return;
    }
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        if (Bitmap) {
            if (x < x0 || x >= x1) return;
            auto* px = static_cast<uint8_t*>(Bitmap->ScanLine(y)) + 4 * static_cast<size_t>(x);
            px[0] = b;
            px[1] = g;
            px[2] = r;
            px[3] = 0;
        } else {
            ACanvas->SetPixel(x, y, RGB(r, g, b));
        }
    };
    if (s == e) {
        if (Bitmap) {
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) put(x, y, GetRValue(s), GetGValue(s), GetBValue(s));
        } else {
            FillSolid(ACanvas->Handle(), R, s);
        }
        return;
    }
    const int sr = GetRValue(s), sg = GetGValue(s), sb = GetBValue(s);
    const int dr = Sub<int>(GetRValue(e), sr), dg = Sub<int>(GetGValue(e), sg), db = Sub<int>(GetBValue(e), sb);
    if (H < 1) return;
    switch (Style) {
    case gsVertical:
        for (int y = y0; y < y1; ++y) {
            const int k = Sub(y, R.top);
            const uint8_t r = Channel(sr, dr, k, H), g = Channel(sg, dg, k, H), b = Channel(sb, db, k, H);
            if (Bitmap) {
                for (int x = x0; x < x1; ++x) put(x, y, r, g, b);
            } else {
                FillSolid(ACanvas->Handle(), ui::Rect(R.left, y, R.right, Add(y, 1)), RGB(r, g, b));
            }
        }
        break;
    case gsDiagonalLeftRight:
    case gsDiagonalRightLeft:
        for (int y = y0; y < y1; ++y) {
            for (int x = R.left; x < R.right; ++x) {
                const int k =
                    Trunc((static_cast<double>(Sub(y, R.top)) / H + static_cast<double>(Sub(x, R.left)) / W) * 512.0);
                const int col = Style == gsDiagonalLeftRight ? x : Sub(Sub(R.right, 1), Sub(x, R.left));
                put(col, y, Channel(sr, dr, k, 1024), Channel(sg, dg, k, 1024), Channel(sb, db, k, 1024));
            }
        }
        break;
    case gsHorizontal: {
        if (W < 1) return;
        for (int x = R.left; x < R.right; ++x) {
            const int k = Sub(x, R.left);
            put(x, y0, Channel(sr, dr, k, W), Channel(sg, dg, k, W), Channel(sb, db, k, W));
        }
        if (Bitmap) {
            const auto* first = static_cast<const uint8_t*>(Bitmap->ScanLine(y0)) + 4 * static_cast<size_t>(x0);
            std::vector<uint8_t> row(first, first + 4 * static_cast<size_t>(x1 - x0));
            for (int y = y0 + 1; y < y1; ++y)
                std::memcpy(static_cast<uint8_t*>(Bitmap->ScanLine(y)) + 4 * static_cast<size_t>(x0), row.data(),
                            row.size());
        } else if (H > 1) {
            HDC dc = ACanvas->Handle();
            StretchBlt(dc, R.left, Add(R.top, 1), W, Sub(H, 1), dc, R.left, R.top, W, 1, SRCCOPY);
        }
        break;
    }
    }
}

// ================================================================ side bar

void DrawBarGradient(IBarMenusIntf* Intf, TRect R) {
    TBcBar* bar = Intf->GetBar();
    TBcBarBackPicture* back = bar->BarBackPicture();
    if (!back->Transparent() && (back->DrawStyle() == dsTile || back->DrawStyle() == dsStretch) &&
        !back->Picture()->Empty())
        return;
    FillGradientRect(Intf->GetBarProtected()->GetBarBitmap(), nullptr, R, bar->GradientStart(), bar->GradientEnd(),
                     bar->GradientStyle());
}

int TileStart(int Step, int Start) {
    if (Step <= 0) return Start;  // no step would never get there
    while (Start > 0) Start = Sub(Start, Step);
    return Start;
}

void DrawBarBackPicture(IBarMenusIntf* Intf) {
    TBcBar* bar = Intf->GetBar();
    TBcBarBackPicture* back = bar->BarBackPicture();
    ui::TBitmap* B = Intf->GetBarProtected()->GetBarBitmap();
    ui::TBitmap* P = back->Picture();
    if (!P->Empty()) {
        switch (back->DrawStyle()) {
        case dsNormal: {
            int x, y;
            back->CalcPosition(x, y);
            B->Canvas()->Draw(x, y, P);
            break;
        }
        case dsTile: {
            const int pw = P->Width(), ph = P->Height();
            int ox = 0, oy = 0;
            if (back->HorzAlignment() != haLeft) {
                ox = Sub(Mod(B->Width(), pw), pw);
                if (back->HorzAlignment() == haCenter) ox = Div(ox, 2);
            }
            if (back->VertAlignment() != vaTop) {
                oy = Sub(Mod(B->Height(), ph), ph);
                if (back->VertAlignment() == vaMiddle) oy = Div(oy, 2);
            }
            for (int y = TileStart(ph, Add(back->OffsetY(), oy)); y <= B->Height(); y = Add(y, ph))
                for (int x = TileStart(pw, Add(back->OffsetX(), ox)); x <= B->Width(); x = Add(x, pw))
                    B->Canvas()->Draw(x, y, P);
            break;
        }
        case dsStretch: B->Canvas()->StretchDraw(BitmapRect(B), P); break;
        }
    }
    if (bar->Border() != ui::clNone) {
        TCanvas* c = B->Canvas();
        c->Brush()->SetStyle(ui::bsSolid);
        c->Brush()->SetColor(bar->Border());
        c->FrameRect(BitmapRect(B));
    }
}

void DrawBarPicture(IBarMenusIntf* Intf) {
    TBcBarPicture* pic = Intf->GetBar()->BarPicture();
    ui::TBitmap* P = pic->Picture();
    if (P->Empty()) return;
    int x, y;
    pic->CalcPosition(x, y);
    Intf->GetBarProtected()->GetBarBitmap()->Canvas()->Draw(x, y, P);
}

void DrawBarCaption(IBarMenusIntf* Intf, TRect R) {
    TBcBar* bar = Intf->GetBar();
    TBcBarCaption* caption = bar->BarCaption();
    TBcBarProtected* cache = Intf->GetBarProtected();
    TCanvas* c = cache->GetBarBitmap()->Canvas();
    c->Font()->Assign(caption->Font());
    const int angle = caption->Direction() == dUpToDown ? -90 : 90;
    // The rotated font and the transparent mode go back whatever happens
    // below (the arithmetic raises on overflow).
    ui::ScopedGdiObject<HFONT> rotated(CreateRotatedFont(caption->Font(), angle));
    if (!rotated) return;
    HDC dc = c->Handle();
    ui::ScopedSelectObject selected(dc, rotated);
    struct OpaqueAgain {
        HDC dc;
        ~OpaqueAgain() { SetBkMode(dc, OPAQUE); }
    } opaqueAgain{dc};
    const std::string& text = caption->Caption();
    SIZE ext{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &ext);
    const int cx = ext.cx, cy = ext.cy;
    int x = Round(static_cast<double>(Sub(bar->Width(), cy)) / 2.0 - 0.5);
    RECT clip = R;
    clip.bottom = Add(clip.bottom, 1);
    int y = 0;
    switch (caption->Alignment()) {
    case vaTop: y = Add(caption->OffsetY(), cx); break;
    case vaBottom:
        y = Sub(cache->BarHeight, caption->OffsetY());
        if (bar->BarPicture()->VertAlignment() == vaBottom) y = Sub(y, bar->BarPicture()->Picture()->Height());
        break;
    case vaMiddle: y = Round(static_cast<double>(Add(cache->BarHeight, cx)) / 2.0 - 0.5); break;
    }
    if (caption->Direction() == dUpToDown) {
        y = Sub(y, cx);
        x = Add(x, Add(cy, 1));
    }
    SetBkMode(dc, TRANSPARENT);
    auto out = [&](int px, int py, TColor color) {
        SetTextColor(dc, ui::ColorToCOLORREF(color));
        ExtTextOutA(dc, px, py, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    };
    const int depth = caption->Depth();
    if (ui::ColorToRGB(caption->HighlightColor()) != ui::clNone)
        out(Sub(x, depth), Add(y, depth), caption->HighlightColor());
    if (ui::ColorToRGB(caption->ShadowColor()) != ui::clNone) out(Add(x, depth), Sub(y, depth), caption->ShadowColor());
    out(x, y, caption->Font()->Color());
}

void CopyBarImage(IBarMenusIntf* Intf, TCanvas* ACanvas, TRect D, TRect S) {
    ACanvas->CopyRect(D, Intf->GetBarProtected()->GetBarBitmap()->Canvas(), S);
}

// ================================================================ the menu window

void ApplyMenuAlpha(IBarMenusIntf* Intf, HWND Window, uint8_t Alpha) {
    if (!Window || !LayeredWindowsAvailable() || !SetLayeredWindowAttributesFunc) return;
    const LONG ex = GetWindowLongA(Window, GWL_EXSTYLE);
    const bool layered = (ex & WS_EX_LAYERED) != 0;
    ui::TMenu* menu = Intf->GetMenu();
    const bool popup = dynamic_cast<ui::TPopupMenu*>(menu) != nullptr;
    if (popup && Alpha < 255) {
        if (!layered) SetWindowLongA(Window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetLayeredWindowAttributesFunc(Window, 0, Alpha, LWA_ALPHA);
    } else if (layered && (popup || dynamic_cast<ui::TMainMenu*>(menu))) {
        // The system reuses menu windows: an opaque menu takes the
        // transparency of the one before off again.
        SetLayeredWindowAttributesFunc(Window, 0, 255, LWA_ALPHA);
        SetWindowLongA(Window, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    }
}

bool MenuWindowFramed(HWND Window) { return Window && GetPropA(Window, kFramedProp) != nullptr; }

void ApplyMenuWindowFrame(IBarMenusIntf* Intf, HWND Window) {
    if (!Window) return;
    ui::TMenu* menu = Intf->GetMenu();
    if (menu->HasState(ui::csDesigning) || !Intf->GetFrameOption()) return;
    auto* main = dynamic_cast<ui::TMainMenu*>(menu);
    if (main && Window == main->WindowHandle()) return;
    if (!main && Window == ui::PopupListWindow()) return;
    RECT wr;
    if (!GetWindowRect(Window, &wr)) return;
    const int w = RectWidth(wr), h = RectHeight(wr);
    if (!MenuWindowFramed(Window)) {
        if (!main) {
            HRGN rgn = CreateRectRgn(0, 0, w, h);
            // On success the window owns the region.
            if (rgn && !SetWindowRgn(Window, rgn, TRUE)) DeleteObject(rgn);
        } else {
            SetWindowRgn(Window, nullptr, TRUE);
        }
        // A property of our own, not the window's user data, which other
        // painters keep for themselves; set even when the region failed.
        SetPropA(Window, kFramedProp, reinterpret_cast<HANDLE>(1));
    }
    ui::ScopedWindowDC dc(Window);
    if (!dc) return;
    FrameSolid(dc, ui::Rect(0, 0, w, h), ui::clBtnShadow);
    FrameSolid(dc, ui::Rect(1, 1, w - 1, h - 1), ui::clBtnFace);
}

}  // namespace painters
