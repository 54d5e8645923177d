#include "painters/PaintGeometry.h"

namespace painters {

TMenuItemLayout LayOutMenuItem(int Width, int Height, bool IsBar, bool RightToLeft, int ColumnWidth, bool HasIcon,
                               int IconWidth) {
    TMenuItemLayout L;
    const TBox D = IsBar ? TBox{0, 0, Width, Height} : TBox{4, 0, Width + 4, Height + 1};
    L.item = D;
    L.fill = TBox{D.left - 4, D.top, D.right, D.bottom};
    const TBox IC = RightToLeft ? TBox{D.right - ColumnWidth, D.top, D.right, D.bottom}
                                : TBox{D.left, D.top, D.left + ColumnWidth, D.bottom};
    L.iconColumn = IC;
    // Without an icon the check is a 10-pixel box centred in the column.
    const int cl = IC.left + (ColumnWidth - 10) / 2, ct = IC.top + (IC.bottom - IC.top - 10) / 2;
    TBox CR = HasIcon ? TBox{IC.left + 1, IC.top + 2, IC.right - 3, IC.bottom - 2} : TBox{cl, ct, cl + 10, ct + 10};
    if (IconWidth > ColumnWidth) {
        if (RightToLeft)
            CR.right = CR.left + IconWidth;
        else
            CR.left = CR.right - IconWidth;
    }
    if (IsBar) CR.top -= 1;
    L.check = CR;
    TBox T = D;
    if (RightToLeft) {
        T.right = IsBar ? D.right - 4 : D.right - ColumnWidth;
        if (T.right > D.right - IconWidth) T.right = D.right - IconWidth - 8;
    } else {
        T.left = IsBar ? D.left + 4 : D.left + ColumnWidth;
        if (T.left < D.left + IconWidth) T.left = D.left + IconWidth + 4;
    }
    if (IsBar) {
        if (!HasIcon)
            T = D;
        else if (RightToLeft)
            T.right += 5;
        else
            T.left -= 5;
    }
    L.text = T;
    return L;
}

TBox MenuCaptionBox(TBox Text, bool RightToLeft, int LineHeight) {
    if (RightToLeft)
        Text.right -= 3;
    else
        Text.left += 3;
    Text.top += (Text.bottom - Text.top - LineHeight) / 2;
    return Text;
}

TBox ToolCaptionBox(TBox Face, bool List, bool MenuButton, bool RightToLeft, int IconWidth, int CaptionHeight,
                    int LineHeight, bool Sunken) {
    TBox T = Face;
    const int centred = (Face.bottom - Face.top - LineHeight) / 2;
    if (!List) {
        T.top = Face.bottom - CaptionHeight - 6;
    } else if (MenuButton) {
        T.top += centred;
    } else {
        if (RightToLeft)
            T.right -= IconWidth + 7;
        else
            T.left += IconWidth + 6;
        T.top += centred;
        T.bottom = T.top + LineHeight;
    }
    if (Sunken) T = TBox{T.left + 1, T.top + 1, T.right - 1, T.bottom - 1};
    return T;
}

TGlyphPlacement PlaceGlyph(ui::TButtonLayout Layout, int W, int H, int GlyphW, int GlyphH, int TextW, int TextH,
                           int Spacing, bool ExactLeft) {
    const int GW = GlyphW, GH = GlyphH, TW = TextW, TH = TextH, SP = Spacing;
    int gl = 0, gt = 0, cl = 0, ct = 0;
    switch (Layout) {
    case ui::blGlyphLeft:
        gl = (W - GW - SP - TW) / 2;
        gt = (H - GH) / 2 - (ExactLeft ? 0 : 1);
        cl = gl + GW + SP;
        ct = (H - TH) / 2;
        break;
    case ui::blGlyphRight:
        gl = (GW + SP + TW + W) / 2 - GW;
        gt = (H - GH) / 2;
        cl = gl - SP - TW;
        ct = (H - TH) / 2;
        break;
    case ui::blGlyphTop:
        gl = (W - GW) / 2;
        gt = (H - TH - GH - SP) / 2;
        cl = (W - TW) / 2;
        ct = gt + GH + SP;
        break;
    case ui::blGlyphBottom:
        gl = (W - GW) / 2;
        gt = (TH + GH + SP + H) / 2 - GH;
        cl = (W - TW) / 2;
        ct = gt - SP - TH;
        break;
    }
    return {TBox{gl, gt, gl + GW, gt + GH}, TBox{cl, ct, cl + TW, ct + TH}};
}

}  // namespace painters
