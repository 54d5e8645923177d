#include "ui/HintWindow.h"

#include <algorithm>

#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace ui {

namespace {
constexpr int kMarginX = 4;  // text to frame, left and right
constexpr int kMarginY = 2;  // text to frame, top and bottom
constexpr UINT kTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;
constexpr int kMaxTextWidth = 300;
}  // namespace

std::string GetShortHint(const std::string& Hint) {
    auto bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        Font()->SetName(ncm.lfStatusFont.lfFaceName);
        Font()->SetHeight(ncm.lfStatusFont.lfHeight);
    }
}

void THintWindow::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP | WS_BORDER;
    p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    p.WndParent = nullptr;
    p.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(const std::string& Text) {
    TRect r = Rect(0, 0, kMaxTextWidth, 0);
    ScopedGetDC dc(nullptr);
    ScopedSelectObject font(dc, Font()->Handle());
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r, kTextFlags | DT_CALCRECT);
    const int frame = 2 * GetSystemMetrics(SM_CXBORDER);
    // One pixel more each way for glyphs that reach past their advance.
    return Rect(0, 0, r.right + 2 * kMarginX + frame + 1, r.bottom + 2 * kMarginY + frame);
}

void THintWindow::ActivateHint(TPoint At, const std::string& Text) {
    SetText(Text);
    TRect r = CalcHintRect(Text);
    // On the screen of the point, wholly.
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (HMONITOR mon = MonitorFromPoint(At, MONITOR_DEFAULTTONEAREST); mon && GetMonitorInfoA(mon, &mi))
        area = mi.rcWork;
    const int x = std::max<int>(area.left, std::min<int>(At.x, area.right - RectWidth(r)));
    const int y = std::max<int>(area.top, std::min<int>(At.y, area.bottom - RectHeight(r)));
    SetBounds(x, y, RectWidth(r), RectHeight(r));
    Invalidate();
    SetWindowPos(Handle(), HWND_TOPMOST, x, y, RectWidth(r), RectHeight(r), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetVisible(true);
}

void THintWindow::ReleaseHandle() {
    SetVisible(false);
    if (HandleAllocated()) ShowWindow(handle_, SW_HIDE);
}

void THintWindow::WndProc(TMessage& m) {
    // The pointer goes through it: it never takes the hover from the
    // control it describes.
    if (m.Msg == WM_NCHITTEST) {
        m.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::WndProc(m);
}

void THintWindow::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    InflateRect(&r, -kMarginX, -kMarginY);
    HDC dc = c->Handle();
    ScopedSelectObject font(dc, Font()->Handle());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorToRGB(Font()->Color()));
    std::string text = Caption();
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFlags);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

}  // namespace ui
