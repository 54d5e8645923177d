#include "ui/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace ui {

namespace {

// Registers the window classes of the common controls named by Classes.
void InitCommonClasses(DWORD Classes) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), Classes};
    InitCommonControlsEx(&icc);
}

}  // namespace

// ================================================================ TCustomRichEdit

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {}

void TCustomRichEdit::CreateParams(TCreateParams& p) {
    // The class lives in the rich edit library, loaded once and kept.
    static const HMODULE lib = LoadLibraryA("riched20.dll");
    if (!lib) throw EOutOfResources("Cannot load the rich edit library riched20.dll");
    TCustomMemo::CreateParams(p);
    const DWORD style = p.Style;
    CreateSubClass(p, "RichEdit20A");
    p.Style = style;
}

void TCustomRichEdit::SetBorderWidth(int v) {
    v = std::max(v, 0);
    if (v == borderWidth_) return;
    borderWidth_ = v;
    if (HandleAllocated())
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomRichEdit::WndProc(TMessage& m) {
    TCustomMemo::WndProc(m);
    if (borderWidth_ <= 0) return;
    switch (m.Msg) {
    case WM_NCCALCSIZE: {
        // The margin sits inside whatever border the window has.
        auto* r =
            m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0] : reinterpret_cast<RECT*>(m.LParam);
        InflateRect(r, -borderWidth_, -borderWidth_);
        if (r->right < r->left) r->right = r->left;
        if (r->bottom < r->top) r->bottom = r->top;
        break;
    }
    case WM_NCPAINT: {
        RECT w, c;
        GetWindowRect(handle_, &w);
        GetClientRect(handle_, &c);
        MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&c), 2);
        OffsetRect(&c, -w.left, -w.top);
        RECT ring = c;
        InflateRect(&ring, borderWidth_, borderWidth_);
        ScopedWindowDC dc(handle_);
        if (!dc) break;
        ExcludeClipRect(dc, c.left, c.top, c.right, c.bottom);
        ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &ring, brush);
        break;
    }
    default: break;
    }
}

// ================================================================ TRangeControl

void TRangeControl::SetRange(int AMin, int AMax) {
    min_ = AMin;
    max_ = AMax;
    if (handle_) SendMessageA(handle_, setRange_, static_cast<WPARAM>(min_), max_);
}

int TRangeControl::Position() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, getPos_, 0, 0)) : position_;
}

void TRangeControl::SetPosition(int v) {
    position_ = v;
    if (handle_) SendPosition(v);
}

void TRangeControl::SendPosition(int v) const {
    if (posInLParam_)
        SendMessageA(handle_, setPos_, 0, v);
    else
        SendMessageA(handle_, setPos_, static_cast<WPARAM>(v), 0);
}

void TRangeControl::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(handle_, setRange_, static_cast<WPARAM>(min_), max_);
    SendPosition(position_);
}

void TRangeControl::DestroyWnd() {
    position_ = Position();
    TWinControl::DestroyWnd();
}

// ================================================================ TUpDown

TUpDown::TUpDown(TComponent* AOwner) : TRangeControl(AOwner, UDM_SETRANGE32, UDM_SETPOS32, true, UDM_GETPOS32) {
    SetBounds(0, 0, 16, 24);
}

void TUpDown::CreateParams(TCreateParams& p) {
    InitCommonClasses(ICC_UPDOWN_CLASS);
    TWinControl::CreateParams(p);
    CreateSubClass(p, UPDOWN_CLASSA);
    p.Style |= UDS_ARROWKEYS;
}

// ================================================================ TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TRangeControl(AOwner, PBM_SETRANGE32, PBM_SETPOS, false, PBM_GETPOS) {
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& p) {
    InitCommonClasses(ICC_PROGRESS_CLASS);
    TWinControl::CreateParams(p);
    CreateSubClass(p, PROGRESS_CLASSA);
}

// ================================================================ TCustomHotKey

TCustomHotKey::TCustomHotKey(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 24);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomHotKey::CreateParams(TCreateParams& p) {
    InitCommonClasses(ICC_HOTKEY_CLASS);
    TWinControl::CreateParams(p);
    CreateSubClass(p, HOTKEY_CLASSA);
}

void TCustomHotKey::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(handle_, HKM_SETHOTKEY, hotKey_, 0);
}

void TCustomHotKey::DestroyWnd() {
    hotKey_ = HotKey();
    TWinControl::DestroyWnd();
}

WORD TCustomHotKey::HotKey() {
    if (!HandleAllocated()) return hotKey_;
    return static_cast<WORD>(SendMessageA(handle_, HKM_GETHOTKEY, 0, 0));
}

void TCustomHotKey::SetHotKey(WORD v) {
    hotKey_ = v;
    if (HandleAllocated()) SendMessageA(handle_, HKM_SETHOTKEY, v, 0);
}

// ================================================================ TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TBordered(AOwner) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
    InitCommonClasses(ICC_TREEVIEW_CLASSES);
    TWinControl::CreateParams(p);
    CreateSubClass(p, WC_TREEVIEWA);
    p.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT;
    AddBorder(p);
}

}  // namespace ui

namespace ui {

// ================================================================ holders

TCommonHolder::TCommonHolder(TComponent* AOwner, DWORD Classes, const char* ClassName, DWORD ExtraStyle, int AWidth,
                             int AHeight)
    : TWinControl(AOwner), classes_(Classes), className_(ClassName), extraStyle_(ExtraStyle) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks);
    SetBounds(0, 0, AWidth, AHeight);
}

void TCommonHolder::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    InitCommonClasses(classes_);
    CreateSubClass(p, className_);
    p.Style |= WS_CLIPCHILDREN | extraStyle_;
}

TTabControl::TTabControl(TComponent* AOwner) : TCommonHolder(AOwner, ICC_TAB_CLASSES, WC_TABCONTROLA, 0, 289, 193) {}

TCoolBar::TCoolBar(TComponent* AOwner)
    : TCommonHolder(AOwner, ICC_COOL_CLASSES, REBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 150,
                    75) {}

TPageScroller::TPageScroller(TComponent* AOwner)
    : TCommonHolder(AOwner, ICC_PAGESCROLLER_CLASS, WC_PAGESCROLLERA, 0, 150, 45) {}

}  // namespace ui
