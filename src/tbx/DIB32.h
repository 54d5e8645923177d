#pragma once
// TDIB32: a 32-bit top-down DIB section with its own memory DC, holding
// pixels 0xAARRGGBB (not premultiplied), drawn onto device contexts plainly,
// stretched by the system, or with per-pixel alpha and our own resampling.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "tbx/PixelBlend.h"
#include "ui/Exception.h"

namespace tbx {

// Raised with "Invalid parameters" when a DIB to work with is missing.
class EDIB32Error : public ui::Exception {
public:
    using ui::Exception::Exception;
};

class TDIB32 {
public:
    TDIB32();
    virtual ~TDIB32();
    TDIB32(const TDIB32&) = delete;
    TDIB32& operator=(const TDIB32&) = delete;

    // (Re)creates the DIB section; the new pixels are transparent black.
    // Negative sizes count as 0; a width or height below 1 records the size
    // but keeps no pixels. With preserve the pixels both sizes share are
    // kept. Raises EOSError when the system cannot make the DIB or its DC;
    // the picture is then left as it was.
    void SetSize(int width, int height, bool preserve = false);
    // Null empties the DIB; otherwise it takes the source's size and pixels.
    virtual void Assign(const TDIB32* source);
    // Returns false when there are no pixels.
    bool GetBlock(TPixelBlock& block) const;
    // A new DIB that takes over this one's pixels, DC and size; this one is
    // left empty.
    std::unique_ptr<TDIB32> Detach();

    // StretchDIBits-like copies (no alpha): at the source's own size, and
    // stretched by the system into dest.
    void Draw(HDC dc, int x, int y, const RECT& source);
    void StretchDraw(HDC dc, const RECT& dest, const RECT& source);
    // Blends the source rectangle onto the dc at (x, y) by per-pixel alpha
    // times opacity (0-255). The DIB's own pixels are not changed.
    void AlphaDraw(HDC dc, int x, int y, unsigned opacity, const RECT& source);
    // Copies (mode 0) or exchanges (mode 1) a rectangle into target at (x, y).
    void CopyRect(TDIB32* target, int x, int y, unsigned mode, const RECT& source);
    // Resamples the source rectangle into target's dest rectangle (StretchBlend).
    void StretchTo(TDIB32* target, const RECT& dest, std::uint32_t mode, const RECT& source);
    // Draws onto a dc: at equal sizes plainly (or blended with ModeBlend);
    // stretched by the system without ModeBlend and ModeBilinear; otherwise
    // resampled here into the visible part and then blended (or copied).
    void DrawTo(HDC dc, const RECT& dest, std::uint16_t mode, const RECT& source);

    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT Bounds() const { return {0, 0, width_, height_}; }
    // Pixel at (0, 0), rows Width() pixels apart; null while empty. Call
    // GdiFlush before reading after GDI drew into DC().
    std::uint32_t* Bits() const { return bits_; }
    HDC DC() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }

private:
    void Release();
    bool BlocksWith(TDIB32* target, TPixelBlock& from, TPixelBlock& to) const;

    BITMAPINFO info_{};
    std::uint32_t* bits_ = nullptr;  // inside bitmap_
    HDC dc_ = nullptr;               // owned; holds bitmap_
    HBITMAP bitmap_ = nullptr;       // owned
    HGDIOBJ oldBitmap_ = nullptr;    // the DC's own, put back before deleting
    int width_ = 0;
    int height_ = 0;
};

}  // namespace tbx
