#pragma once
// Scoped owners of device contexts and GDI objects: each releases what it
// holds when the scope ends, on an early return or an exception alike.
#include <windows.h>

#include <utility>

namespace ui {

// Selects a pen, brush, font or bitmap into a DC and puts the previous one
// back at scope exit. (Regions are not objects SelectObject swaps.)
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), prev_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~ScopedSelectObject() {
        if (prev_ && prev_ != HGDI_ERROR) SelectObject(dc_, prev_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    // False when the selection failed (a bitmap already selected elsewhere).
    bool Selected() const { return prev_ && prev_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ prev_;
};

// SaveDC at construction, RestoreDC at scope exit: origins, clipping, modes.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~ScopedSaveDC() {
        if (saved_ != 0) RestoreDC(dc_, saved_);
    }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A window's DC taken with Take, ReleaseDC at scope exit.
template <auto Take> class ScopedDCOf {
public:
    explicit ScopedDCOf(HWND wnd) : wnd_(wnd), dc_(Take(wnd)) {}
    ~ScopedDCOf() {
        if (dc_) ReleaseDC(wnd_, dc_);
    }
    ScopedDCOf(const ScopedDCOf&) = delete;
    ScopedDCOf& operator=(const ScopedDCOf&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

inline HDC WholeWindowDC(HWND wnd) { return wnd ? GetWindowDC(wnd) : nullptr; }
// GetDC: the client area; a null window gives the screen's DC.
using ScopedGetDC = ScopedDCOf<GetDC>;
// GetWindowDC: the whole window, its frame included; none for a null window.
using ScopedWindowDC = ScopedDCOf<WholeWindowDC>;

// BeginPaint / EndPaint for a WM_PAINT handler.
class ScopedPaintDC {
public:
    explicit ScopedPaintDC(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
    ~ScopedPaintDC() { EndPaint(wnd_, &ps_); }
    ScopedPaintDC(const ScopedPaintDC&) = delete;
    ScopedPaintDC& operator=(const ScopedPaintDC&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    const PAINTSTRUCT& PaintStruct() const { return ps_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A memory DC compatible with ref (the screen when null); DeleteDC at exit.
// Objects selected into it must be deselected first: pair it with
// ScopedSelectObject declared after it.
class ScopedMemDC {
public:
    explicit ScopedMemDC(HDC ref = nullptr) : dc_(CreateCompatibleDC(ref)) {}
    ~ScopedMemDC() {
        if (dc_) DeleteDC(dc_);
    }
    ScopedMemDC(const ScopedMemDC&) = delete;
    ScopedMemDC& operator=(const ScopedMemDC&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// Owns a handle and frees it with Free at scope exit.
template <class T, auto Free> class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(T h) : h_(h) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    ScopedHandle& operator=(ScopedHandle&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    T Get() const { return h_; }
    operator T() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Gives up ownership.
    T Release() { return std::exchange(h_, nullptr); }
    void Reset(T h = nullptr) {
        if (h_) Free(h_);
        h_ = h;
    }

private:
    T h_ = nullptr;
};
// A pen, brush, font, bitmap or region.
template <class T> using ScopedGdiObject = ScopedHandle<T, DeleteObject>;
// An icon or cursor made by CreateIcon*, CopyIcon or the like.
using ScopedHIcon = ScopedHandle<HICON, DestroyIcon>;

}  // namespace ui
