#include "controls/FlatEdit.h"

#include "controls/FlatUtilitys.h"
#include "ui/Application.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

TCustomFlatEdit::TCustomFlatEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    TControl::SetParentFont(true);
    SetAutoSize(false);
    SetCtl3D(false);
    SetBorderStyle(bsNone);
    SetControlStyle(ControlStyle() & ~csFramed);
    SetBounds(0, 0, 121, 19);
    TCustomEdit::SetColor(colorFlat_);
}

void TCustomFlatEdit::SetColorFocused(TColor v) {
    colorFocused_ = v;
    PaintEditFrame();
}

void TCustomFlatEdit::SetColorBorder(TColor v) {
    colorBorder_ = v;
    PaintEditFrame();
}

void TCustomFlatEdit::SetColorFlat(TColor v) {
    colorFlat_ = v;
    flatParentColor_ = false;
    PaintEditFrame();
}

void TCustomFlatEdit::SetParentColor(bool v) {
    if (v == flatParentColor_) return;
    flatParentColor_ = v;
    if (v) {
        if (Parent()) colorFlat_ = Parent()->Color();
        PaintEditFrame();
    }
}

void TCustomFlatEdit::SetAdvColorFocused(TAdvColors v) {
    advColorFocused_ = v;
    if (useAdvColors_) {
        DeriveAdvColors();
        PaintEditFrame();
    }
}

void TCustomFlatEdit::SetAdvColorBorder(TAdvColors v) {
    advColorBorder_ = v;
    if (useAdvColors_) {
        DeriveAdvColors();
        PaintEditFrame();
    }
}

void TCustomFlatEdit::SetUseAdvColors(bool v) {
    if (v == useAdvColors_) return;
    useAdvColors_ = v;
    SetParentColor(v);
    DeriveAdvColors();
    PaintEditFrame();
}

void TCustomFlatEdit::DeriveAdvColors() {
    if (!useAdvColors_) return;
    colorFocused_ = AdjustColorLightness(colorFlat_, colorFocused_, advColorFocused_, false);
    colorBorder_ = AdjustColorLightness(colorFlat_, colorBorder_, advColorBorder_, true);
}

void TCustomFlatEdit::FollowParentColor() {
    if (useAdvColors_) {
        if (Parent()) colorFlat_ = Parent()->Color();
        DeriveAdvColors();
    } else if (flatParentColor_ && Parent()) {
        colorFlat_ = Parent()->Color();
    }
    PaintEditFrame();
}

void TCustomFlatEdit::Loaded() {
    TCustomEdit::Loaded();
    if (!HasState(csDesigning)) AdjustFlatHeight();
}

void TCustomFlatEdit::AdjustFlatHeight() {
    TEXTMETRICA tm{};
    {
        ScopedGetDC dc(nullptr);
        ScopedSelectObject sel(dc, Font()->Handle());
        GetTextMetricsA(dc, &tm);
    }
    SetHeight(tm.tmHeight + 6);
}

void TCustomFlatEdit::FontChanged() {
    TCustomEdit::FontChanged();
    if (!(HasState(csDesigning) && HasState(csLoading))) AdjustFlatHeight();
}

void TCustomFlatEdit::EnabledChanged() {
    TCustomEdit::EnabledChanged();
    PaintEditFrame();
}

void TCustomFlatEdit::MouseEnter() {
    TCustomEdit::MouseEnter();
    if (GetActiveWindow() != nullptr) {
        hot_ = true;
        PaintEditFrame();
    }
}

void TCustomFlatEdit::MouseLeave() {
    TCustomEdit::MouseLeave();
    hot_ = false;
    PaintEditFrame();
}

void TCustomFlatEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomEdit::WndProc(m);
        if (!HasState(csDesigning)) PaintEditFrame();
        return;
    case WM_NCCALCSIZE:
        TCustomEdit::WndProc(m);
        if (m.WParam) {
            InflateRect(&reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0], -3, -3);
        } else {
            InflateRect(reinterpret_cast<RECT*>(m.LParam), -3, -3);
        }
        return;
    case WM_NCPAINT:
        TCustomEdit::WndProc(m);
        PaintEditFrame();
        return;
    case WM_PRINT: {
        // The edit's own printing may leave the origin at its client area.
        ScopedSaveDC saved(reinterpret_cast<HDC>(m.WParam));
        TCustomEdit::WndProc(m);
    }
        if (m.LParam & PRF_NONCLIENT) DrawEditFrame(reinterpret_cast<HDC>(m.WParam));
        return;
    case CM_PARENTCOLORCHANGED:
    case CM_SYSCOLORCHANGE: FollowParentColor(); return;
    }
    TCustomEdit::WndProc(m);
}

bool TCustomFlatEdit::ActiveLook() {
    if (HasState(csDesigning)) return false;
    if (Focused()) return true;
    if (!hot_) return false;
    TControl* active = Screen ? Screen->ActiveControl() : nullptr;
    if (!active && GetFocus()) active = TWinControl::FindControl(GetFocus());
    // Only a focused TFlatEdit keeps the hovered one flat; a spin edit with
    // the focus does not.
    return dynamic_cast<TFlatEdit*>(active) == nullptr;
}

void TCustomFlatEdit::PaintEditFrame() {
    if (!HandleAllocated()) return;
    const TColor face = ActiveLook() ? colorFocused_ : colorFlat_;
    if (Color() != face) TCustomEdit::SetColor(face);
    ScopedWindowDC dc(handle_);  // the whole window, frame included
    if (dc) DrawEditFrame(dc);
}

// The frame on a DC of the whole window (origin at the window's corner).
void TCustomFlatEdit::DrawEditFrame(HDC dc) {
    RECT r;
    if (!GetWindowRect(handle_, &r)) return;
    OffsetRect(&r, -r.left, -r.top);
    const TColor face = ActiveLook() ? colorFocused_ : colorFlat_;
    ScopedGdiObject<HBRUSH> border(CreateSolidBrush(ColorToCOLORREF(colorBorder_)));
    ScopedGdiObject<HBRUSH> band(CreateSolidBrush(ColorToCOLORREF(face)));
    if (!border.Get() || !band.Get()) return;
    FrameRect(dc, &r, border.Get());
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, band.Get());
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, band.Get());
}

}  // namespace controls
