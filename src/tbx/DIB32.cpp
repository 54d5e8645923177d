#include "tbx/DIB32.h"

#include <algorithm>
#include <cstring>

namespace tbx {

namespace {

constexpr const char* InvalidParameters = "Invalid parameters";
// Larger areas are blended through a temporary DIB of one row.
constexpr int AlphaDrawBlockLimit = 64;

TPixelRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

[[noreturn]] void RaiseInvalidParameters() { throw EDIB32Error(InvalidParameters); }

// A new DIB section of the size, selected into a new memory DC. Nothing is
// left behind when either cannot be made.
struct TDibStorage {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    std::uint32_t* bits = nullptr;
};

TDibStorage CreateStorage(BITMAPINFO& info, int width, int height) {
    TDibStorage s;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top-down
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    s.bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const DWORD dibError = GetLastError();
    if (screen) ReleaseDC(nullptr, screen);
    if (!s.bitmap || !bits) ui::RaiseLastOSError(dibError ? dibError : ERROR_NOT_ENOUGH_MEMORY);
    s.dc = CreateCompatibleDC(nullptr);
    if (!s.dc) {
        const DWORD dcError = GetLastError();
        DeleteObject(s.bitmap);
        ui::RaiseLastOSError(dcError ? dcError : ERROR_NOT_ENOUGH_MEMORY);
    }
    s.oldBitmap = SelectObject(s.dc, s.bitmap);
    s.bits = static_cast<std::uint32_t*>(bits);
    return s;
}

}  // namespace

TDIB32::TDIB32() {
    info_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = 32;
    info_.bmiHeader.biCompression = BI_RGB;
}

TDIB32::~TDIB32() { Release(); }

void TDIB32::Release() {
    if (dc_) {
        SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    oldBitmap_ = nullptr;
    bits_ = nullptr;
    info_.bmiHeader.biWidth = 0;
    info_.bmiHeader.biHeight = 0;
}

void TDIB32::SetSize(int width, int height, bool preserve) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    // The new DIB is made before the old one goes, so a failure leaves the
    // picture as it was.
    TDibStorage fresh;
    if (width >= 1 && height >= 1) {
        BITMAPINFO info = info_;
        fresh = CreateStorage(info, width, height);
        info_ = info;
        if (preserve && bits_) {
            GdiFlush();
            const int rows = std::min(height, height_), columns = std::min(width, width_);
            for (int y = 0; y < rows; ++y)
                MovePixels(bits_ + std::ptrdiff_t(y) * width_, fresh.bits + std::ptrdiff_t(y) * width,
                           static_cast<std::size_t>(columns));
        }
    }
    const BITMAPINFOHEADER header = info_.bmiHeader;
    Release();
    if (fresh.bitmap) {
        info_.bmiHeader = header;
        bitmap_ = fresh.bitmap;
        dc_ = fresh.dc;
        oldBitmap_ = fresh.oldBitmap;
        bits_ = fresh.bits;
    }
    width_ = width;
    height_ = height;
}

void TDIB32::Assign(const TDIB32* source) {
    if (source == this) return;
    if (!source) {
        SetSize(0, 0);
        return;
    }
    SetSize(source->width_, source->height_);
    if (bits_ && source->bits_) {
        GdiFlush();
        std::memcpy(bits_, source->bits_, std::size_t(width_) * std::size_t(height_) * 4);
    }
}

bool TDIB32::GetBlock(TPixelBlock& block) const {
    block.Bits = bits_;
    block.Bounds = {0, 0, bits_ ? width_ : 0, bits_ ? height_ : 0};
    block.Stride = width_;
    return bits_ != nullptr;
}

std::unique_ptr<TDIB32> TDIB32::Detach() {
    auto other = std::make_unique<TDIB32>();
    other->info_ = info_;
    other->bits_ = bits_;
    other->dc_ = dc_;
    other->bitmap_ = bitmap_;
    other->oldBitmap_ = oldBitmap_;
    other->width_ = width_;
    other->height_ = height_;
    dc_ = nullptr;
    bitmap_ = nullptr;
    oldBitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
    info_.bmiHeader.biWidth = info_.bmiHeader.biHeight = 0;
    return other;
}

// --- Drawing ------------------------------------------------------------------

void TDIB32::Draw(HDC dc, int x, int y, const RECT& source) {
    if (!dc || !bits_) return;
    GdiFlush();
    BitBlt(dc, x, y, source.right - source.left, source.bottom - source.top, dc_, source.left, source.top, SRCCOPY);
}

void TDIB32::StretchDraw(HDC dc, const RECT& dest, const RECT& source) {
    if (!dc || !bits_) return;
    GdiFlush();
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, dc_, source.left, source.top,
               source.right - source.left, source.bottom - source.top, SRCCOPY);
}

void TDIB32::AlphaDraw(HDC dc, int x, int y, unsigned opacity, const RECT& source) {
    if (opacity == 0 || !bits_ || !dc) return;
    RECT clip;
    const int region = GetClipBox(dc, &clip);
    if (region != SIMPLEREGION && region != COMPLEXREGION) return;
    const TPixelRect sourceRect = FromRect(source);
    const int dx = x - sourceRect.Left, dy = y - sourceRect.Top;
    const TPixelRect area =
        IntersectRect(OffsetRect(IntersectRect(sourceRect, {0, 0, width_, height_}), dx, dy), FromRect(clip));
    if (area.IsEmpty()) return;
    const int width = area.Width(), height = area.Height();
    const bool byRows = width > AlphaDrawBlockLimit || height > AlphaDrawBlockLimit;
    TDIB32 screen;
    screen.SetSize(width, byRows ? 1 : height);
    GdiFlush();
    auto sourceRow = [&](int row) { return bits_ + std::ptrdiff_t(row - dy) * width_ + (area.Left - dx); };
    if (byRows) {
        for (int row = area.Top; row < area.Bottom; ++row) {
            BitBlt(screen.dc_, 0, 0, width, 1, dc, area.Left, row, SRCCOPY);
            GdiFlush();
            BlendLine(sourceRow(row), screen.bits_, static_cast<std::size_t>(width), opacity);
            BitBlt(dc, area.Left, row, width, 1, screen.dc_, 0, 0, SRCCOPY);
        }
        return;
    }
    BitBlt(screen.dc_, 0, 0, width, height, dc, area.Left, area.Top, SRCCOPY);
    GdiFlush();
    for (int row = area.Top; row < area.Bottom; ++row)
        BlendLine(sourceRow(row), screen.bits_ + std::ptrdiff_t(row - area.Top) * width,
                  static_cast<std::size_t>(width), opacity);
    BitBlt(dc, area.Left, area.Top, width, height, screen.dc_, 0, 0, SRCCOPY);
}

// This DIB's and the target's pixels, both current; false when either has none.
bool TDIB32::BlocksWith(TDIB32* target, TPixelBlock& from, TPixelBlock& to) const {
    if (!target) RaiseInvalidParameters();
    if (!GetBlock(from) || !target->GetBlock(to)) return false;
    GdiFlush();
    return true;
}

void TDIB32::CopyRect(TDIB32* target, int x, int y, unsigned mode, const RECT& source) {
    TPixelBlock from, to;
    if (BlocksWith(target, from, to)) CopyBlock(to, x, y, mode, FromRect(source), from);
}

void TDIB32::StretchTo(TDIB32* target, const RECT& dest, std::uint32_t mode, const RECT& source) {
    TPixelBlock from, to;
    if (BlocksWith(target, from, to)) StretchBlend(to, FromRect(dest), from, mode, FromRect(source));
}

void TDIB32::DrawTo(HDC dc, const RECT& dest, std::uint16_t mode, const RECT& source) {
    if (!dc || !RectVisible(dc, &dest)) return;
    const bool blend = (mode & 0xFF) == ModeBlend;
    const int destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
    if (destWidth == source.right - source.left && destHeight == source.bottom - source.top) {
        if (blend)
            AlphaDraw(dc, dest.left, dest.top, 255, source);
        else
            Draw(dc, dest.left, dest.top, source);
        return;
    }
    if (!blend && (mode & ModeBilinear) == 0) {
        StretchDraw(dc, dest, source);
        return;
    }
    // Only the visible part of the destination is resampled.
    RECT clip;
    const int region = GetClipBox(dc, &clip);
    if (region != SIMPLEREGION && region != COMPLEXREGION) return;
    const TPixelRect work = IntersectRect(FromRect(clip), FromRect(dest));
    if (work.IsEmpty()) return;
    TDIB32 part;
    part.SetSize(work.Width(), work.Height());
    const RECT moved{dest.left - work.Left, dest.top - work.Top, dest.right - work.Left, dest.bottom - work.Top};
    StretchTo(&part, moved, ((mode >> 8) & 0xF) * 256u, source);
    if (blend)
        part.AlphaDraw(dc, work.Left, work.Top, 255, part.Bounds());
    else
        part.Draw(dc, work.Left, work.Top, part.Bounds());
}

}  // namespace tbx
