#pragma once
// Pixels of a control painted into a memory DC by a real message, read back.
#include <windows.h>

#include <vector>

namespace vsk::test {

class PrintedPixels {
public:
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return CLR_INVALID;
        return px_[static_cast<size_t>(y * w_ + x)];
    }

protected:
    // Sends msg (WParam: the memory DC) to h on a black w x h bitmap.
    PrintedPixels(HWND h, int w, int hgt, UINT msg, LPARAM lp) : w_(w), h_(hgt) {
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, w_, h_);
        HGDIOBJ old = SelectObject(mem, bmp);
        RECT all{0, 0, w_, h_};
        FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SendMessageA(h, msg, reinterpret_cast<WPARAM>(mem), lp);
        px_.resize(static_cast<size_t>(w_ * h_));
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) px_[static_cast<size_t>(y * w_ + x)] = GetPixel(mem, x, y);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
    }

private:
    int w_, h_;
    std::vector<COLORREF> px_;
};

// The whole window, frame included (WM_PRINT).
class WindowPixels : public PrintedPixels {
public:
    explicit WindowPixels(HWND h)
        : PrintedPixels(h, Size(h).cx, Size(h).cy, WM_PRINT, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND) {}

private:
    static SIZE Size(HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
};

// The client area as the control paints it (WM_PAINT with a DC).
class ClientPixels : public PrintedPixels {
public:
    ClientPixels(HWND h, int w, int hgt) : PrintedPixels(h, w, hgt, WM_PAINT, 0) {}
};

}  // namespace vsk::test
