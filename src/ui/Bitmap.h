#pragma once
// TBitmap: a picture in a 32-bit top-down DIB section (bytes B, G, R, A per
// pixel, rows top to bottom, no padding), with a canvas on a memory DC that
// holds it, created on demand.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ui/Colors.h"
#include "ui/Graphic.h"

namespace ui {

class TCanvas;
class TBitmapCanvas;

// Where the transparent colour comes from: tmAuto, the bottom-left pixel;
// tmFixed, TransparentColor as set.
enum TTransparentMode { tmAuto, tmFixed };

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int Width, int Height);
    ~TBitmap() override;

    // Null empties the bitmap; a TBitmap is copied (pixels and transparency).
    void Assign(TPersistent* Source) override;
    // Paints the picture stretched into r: with TransparentBlt when
    // Transparent, else StretchBlt with the canvas's CopyMode.
    void Draw(TCanvas* ACanvas, const TRect& r) override;

    int Width() const override { return width_; }
    void SetWidth(int v) override { SetSize(v, height_); }
    int Height() const override { return height_; }
    void SetHeight(int v) override { SetSize(width_, v); }
    // The part both sizes share keeps its pixels; new pixels are white.
    // Negative sizes count as 0 (an empty bitmap).
    void SetSize(int Width, int Height);
    bool Empty() const override { return width_ == 0 || height_ == 0; }

    // BMP files. Reading takes 1, 4, 8, 16, 24 and 32 bits per pixel,
    // uncompressed or with bit fields, and raises EInvalidGraphic "Bitmap
    // image is not valid" for anything else or anything short; a failed read
    // leaves the bitmap as it was. Writing gives a 32-bit file.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // A bitmap resource (RT_BITMAP) of the module, converted to 32 bits.
    // Raises EResNotFound when there is none.
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);

    // A canvas over the picture. Drawing on it raises the bitmap's OnChange.
    TCanvas* Canvas();
    // The DIB section (null when empty). Asking for it takes the bitmap out
    // of the canvas's DC, so that other DCs and the image lists can select
    // it; the canvas takes it back when it next draws. A DC obtained from the
    // canvas before this call is no longer valid.
    HBITMAP Handle();
    bool HandleAllocated() const { return dib_ != nullptr; }
    // Takes h over: its picture becomes this bitmap's (converted to 32 bits)
    // and h is deleted. h must not be selected into a DC.
    void SetHandle(HBITMAP h);
    // Hands the DIB section to the caller, who must delete it; the bitmap
    // is empty afterwards.
    HBITMAP ReleaseHandle();

    // Pointer to row y (0 = top) of the pixels; Width() * 4 bytes. GDI
    // drawing is flushed first, so the bytes are current.
    void* ScanLine(int y);

    // tmAuto: the bottom-left pixel (clDefault while empty); tmFixed: the
    // colour set. Setting a colour other than clDefault switches to tmFixed.
    TColor TransparentColor();
    void SetTransparentColor(TColor v);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode v);

    // Setting it reduces the picture to black and white once: pixels of the
    // canvas's brush colour become white and all others black (the rule the
    // system applies when it copies colour to a monochrome bitmap). Clearing
    // it keeps the pixels. The storage stays 32 bits per pixel.
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool v);
    // pf1bit while Monochrome, else pf32bit. Setting pf1bit sets Monochrome;
    // any other format clears it (every colour format is kept in 32 bits).
    TPixelFormat PixelFormat() const { return monochrome_ ? pf1bit : pf32bit; }
    void SetPixelFormat(TPixelFormat v) { SetMonochrome(v == pf1bit); }

    TGraphic* Clone() const override;

private:
    friend class TBitmapCanvas;
    void LoadPackedDib(const uint8_t* data, size_t size);
    // Puts a new DIB (or none) in place of the current one; the canvas's DC,
    // if any, switches to it before the old one is deleted.
    void ReplaceImage(HBITMAP dib, uint8_t* bits, int width, int height);
    void FreeContext();
    void CanvasChanged(TObject* Sender);

    HBITMAP dib_ = nullptr;
    uint8_t* bits_ = nullptr;  // owned by dib_
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<TBitmapCanvas> canvas_;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    bool monochrome_ = false;
};

}  // namespace ui
