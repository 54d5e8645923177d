#include "ui/Bitmap.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/Stream.h"

namespace ui {

// ================================================================ the canvas

// A canvas on a memory DC that holds the bitmap's DIB.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : bitmap_(owner) {}
    ~TBitmapCanvas() override { FreeContext(); }

    // Deselects the DIB and deletes the DC; the next drawing call makes them
    // again.
    void FreeContext() {
        HDC dc = PeekHandle();
        if (!dc) return;
        SetHandle(nullptr);
        if (oldBitmap_) SelectObject(dc, oldBitmap_);
        oldBitmap_ = nullptr;
        DeleteDC(dc);
    }

    // The bitmap's DIB was replaced: the DC (if any) takes the new one, and
    // lets go of the old one before it is deleted.
    void ImageReplaced(HBITMAP dib) {
        HDC dc = PeekHandle();
        if (!dc) return;
        if (dib) {
            const HGDIOBJ prev = SelectObject(dc, dib);
            if (!oldBitmap_) oldBitmap_ = prev;
        } else if (oldBitmap_) {
            SelectObject(dc, oldBitmap_);
            oldBitmap_ = nullptr;
        }
    }

protected:
    void CreateHandle() override {
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) throw EOutOfResources("Out of system resources");
        if (bitmap_->dib_) oldBitmap_ = SelectObject(dc, bitmap_->dib_);
        SetHandle(dc);
    }

private:
    TBitmap* bitmap_;  // not owned: the bitmap owns this canvas
    HGDIOBJ oldBitmap_ = nullptr;
};

// ================================================================ DIB helpers

namespace {

constexpr const char kInvalidBitmap[] = "Bitmap image is not valid";
// 64 M pixels (256 MB): far beyond any picture of the program, small enough
// that a hostile header cannot make us allocate without bound.
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;
constexpr uint32_t kWhite = 0x00FFFFFF;

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(kInvalidBitmap); }

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void PutLe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// The description of a 32-bit top-down DIB.
BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// A 32-bit top-down DIB section; EOutOfResources when the system refuses.
HBITMAP CreateDib32(int width, int height, uint8_t** bits) {
    if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > kMaxPixels)
        throw EOutOfResources("Out of system resources");
    const BITMAPINFO bi = TopDown32(width, height);
    void* p = nullptr;
    ScopedGdiObject<HBITMAP> h(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    if (!h || !p) throw EOutOfResources("Out of system resources");
    *bits = static_cast<uint8_t*>(p);
    return h.Release();
}

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // mask >> shift

    static Channel From(uint32_t mask) {
        Channel c;
        if (mask == 0) return c;
        c.mask = mask;
        c.shift = std::countr_zero(mask);
        c.max = mask >> c.shift;
        if ((c.max & (c.max + 1)) != 0) InvalidBitmap();  // not one run of bits
        return c;
    }
    uint8_t Get(uint32_t px) const {
        if (max == 0) return 0;
        const uint32_t v = (px & mask) >> shift;
        return static_cast<uint8_t>((uint64_t(v) * 255 + max / 2) / max);
    }
};

// What a DIB header says about the pixels that follow it.
struct DibFormat {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bpp = 0;
    bool bitFields = false;
    uint32_t masks[4] = {};        // red, green, blue, alpha
    size_t headerSize = 0;         // the header structure itself
    size_t separateMaskBytes = 0;  // masks stored after a 40-byte header
    size_t paletteCount = 0;       // entries present in the file
    size_t paletteEntrySize = 4;
    size_t stride = 0;
    size_t imageBytes = 0;

    size_t PaletteBytes() const { return paletteCount * paletteEntrySize; }
};

bool KnownHeaderSize(uint32_t size) {
    return size == sizeof(BITMAPCOREHEADER) || size == sizeof(BITMAPINFOHEADER) || size == 52 || size == 56 ||
           size == sizeof(BITMAPV4HEADER) || size == sizeof(BITMAPV5HEADER);
}

// Checks the header of headerSize bytes at p; the masks that follow a
// 40-byte header are read later (ReadSeparateMasks).
DibFormat ParseHeader(const uint8_t* p, uint32_t headerSize) {
    if (!KnownHeaderSize(headerSize)) InvalidBitmap();
    DibFormat f;
    f.headerSize = headerSize;
    uint32_t colorsUsed = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        f.width = Le16(p + 4);
        f.height = Le16(p + 6);
        if (Le16(p + 8) != 1) InvalidBitmap();
        f.bpp = Le16(p + 10);
        if (f.bpp != 1 && f.bpp != 4 && f.bpp != 8 && f.bpp != 24) InvalidBitmap();
        f.paletteEntrySize = 3;
    } else {
        const int32_t w = static_cast<int32_t>(Le32(p + 4));
        const int32_t h = static_cast<int32_t>(Le32(p + 8));
        if (w < 0 || h == INT32_MIN) InvalidBitmap();
        f.width = w;
        f.topDown = h < 0;
        f.height = h < 0 ? -h : h;
        if (Le16(p + 12) != 1) InvalidBitmap();
        f.bpp = Le16(p + 14);
        if (f.bpp != 1 && f.bpp != 4 && f.bpp != 8 && f.bpp != 16 && f.bpp != 24 && f.bpp != 32) InvalidBitmap();
        const uint32_t compression = Le32(p + 16);
        colorsUsed = Le32(p + 32);
        if (compression == BI_BITFIELDS) {
            if (f.bpp != 16 && f.bpp != 32) InvalidBitmap();
            f.bitFields = true;
            if (headerSize == sizeof(BITMAPINFOHEADER)) {
                f.separateMaskBytes = 12;
            } else {
                for (int i = 0; i < 3; ++i) f.masks[i] = Le32(p + 40 + 4 * i);
                if (headerSize >= 56) f.masks[3] = Le32(p + 52);
            }
        } else if (compression != BI_RGB) {
            InvalidBitmap();
        }
    }
    if (f.bpp <= 8) {
        const uint32_t full = 1u << f.bpp;
        if (colorsUsed > full) InvalidBitmap();
        f.paletteCount = colorsUsed ? colorsUsed : full;
    } else {
        // A palette may still be there (an optimisation hint); it is skipped.
        if (colorsUsed > 256) InvalidBitmap();
        f.paletteCount = colorsUsed;
    }
    if (uint64_t(f.width) * uint64_t(f.height) > kMaxPixels) InvalidBitmap();
    f.stride = ((uint64_t(f.width) * uint64_t(f.bpp) + 31) / 32) * 4;
    f.imageBytes = f.stride * size_t(f.height);
    if (f.bpp == 16 && !f.bitFields) {
        f.masks[0] = 0x7C00;
        f.masks[1] = 0x03E0;
        f.masks[2] = 0x001F;
    }
    return f;
}

void ReadSeparateMasks(DibFormat& f, const uint8_t* p) {
    for (int i = 0; i < 3; ++i) f.masks[i] = Le32(p + 4 * i);
}

// Converts the rows at bits (f.imageBytes of them) into a new 32-bit DIB.
// Palette colours, 16-bit and 24-bit pixels get alpha 0; 32-bit pixels
// without bit fields keep their fourth byte.
HBITMAP DecodeDib(const DibFormat& f, const uint8_t* palette, const uint8_t* bits, uint8_t** outBits) {
    if (f.width == 0 || f.height == 0) return nullptr;
    if (f.bpp == 16 || f.bitFields)
        for (int i = 0; i < 3; ++i)
            if (f.masks[i] == 0) InvalidBitmap();
    const Channel ch[4] = {Channel::From(f.masks[0]), Channel::From(f.masks[1]), Channel::From(f.masks[2]),
                           Channel::From(f.masks[3])};
    // The palette as ready pixels; indexes past its end read black.
    uint32_t colors[256] = {};
    for (size_t i = 0; i < std::min<size_t>(f.paletteCount, 256) && f.bpp <= 8; ++i) {
        const uint8_t* e = palette + i * f.paletteEntrySize;
        colors[i] = uint32_t(e[0]) | (uint32_t(e[1]) << 8) | (uint32_t(e[2]) << 16);
    }
    uint8_t* out = nullptr;
    ScopedGdiObject<HBITMAP> dib(CreateDib32(f.width, f.height, &out));
    for (int row = 0; row < f.height; ++row) {
        const uint8_t* src = bits + size_t(row) * f.stride;
        const int y = f.topDown ? row : f.height - 1 - row;
        auto* dst = reinterpret_cast<uint32_t*>(out + size_t(y) * size_t(f.width) * 4);
        for (int x = 0; x < f.width; ++x) {
            uint32_t px;
            switch (f.bpp) {
            case 1: px = colors[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: px = colors[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]; break;
            case 8: px = colors[src[x]]; break;
            case 24:
                px = uint32_t(src[3 * x]) | (uint32_t(src[3 * x + 1]) << 8) | (uint32_t(src[3 * x + 2]) << 16);
                break;
            case 32:
                if (!f.bitFields) {
                    px = Le32(src + 4 * x);
                    break;
                }
                [[fallthrough]];
            default: {
                const uint32_t v = f.bpp == 16 ? Le16(src + 2 * x) : Le32(src + 4 * x);
                px = uint32_t(ch[2].Get(v)) | (uint32_t(ch[1].Get(v)) << 8) | (uint32_t(ch[0].Get(v)) << 16) |
                     (uint32_t(ch[3].Get(v)) << 24);
            }
            }
            dst[x] = px;
        }
    }
    *outBits = out;
    return dib.Release();
}

// Reads exactly n bytes or fails as an invalid picture.
void ReadExact(TStream* s, void* buf, size_t n) {
    if (n == 0) return;
    if (s->Read(buf, static_cast<int64_t>(n)) != static_cast<int64_t>(n)) InvalidBitmap();
}

}  // namespace

// ================================================================ TBitmap

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int Width, int Height) { SetSize(Width, Height); }

TBitmap::~TBitmap() {
    // The canvas's DC lets go of the DIB before the DIB is deleted.
    canvas_.reset();
    if (dib_) DeleteObject(dib_);
}

TGraphic* TBitmap::Clone() const {
    auto* copy = new TBitmap;
    copy->Assign(const_cast<TBitmap*>(this));
    return copy;
}

void TBitmap::ReplaceImage(HBITMAP dib, uint8_t* bits, int width, int height) {
    const HBITMAP old = dib_;
    dib_ = dib;
    bits_ = bits;
    width_ = dib ? width : 0;
    height_ = dib ? height : 0;
    if (canvas_) canvas_->ImageReplaced(dib_);
    if (old && old != dib) DeleteObject(old);
}

void TBitmap::FreeContext() {
    if (canvas_) canvas_->FreeContext();
}

void TBitmap::CanvasChanged(TObject*) { Changed(this); }

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(this);
        canvas_->OnChange = TNotifyEvent(this, &TBitmap::CanvasChanged);
    }
    return canvas_.get();
}

HBITMAP TBitmap::Handle() {
    FreeContext();
    return dib_;
}

void TBitmap::SetHandle(HBITMAP h) {
    if (h == dib_) return;
    if (!h) {
        ReplaceImage(nullptr, nullptr, 0, 0);
        Changed(this);
        return;
    }
    BITMAP bm{};
    if (GetObjectA(h, sizeof bm, &bm) == 0) throw EInvalidGraphic("Invalid bitmap handle");
    uint8_t* bits = nullptr;
    ScopedGdiObject<HBITMAP> dib;
    if (bm.bmWidth > 0 && bm.bmHeight > 0) {
        dib.Reset(CreateDib32(bm.bmWidth, bm.bmHeight, &bits));
        BITMAPINFO bi = TopDown32(bm.bmWidth, bm.bmHeight);
        ScopedGetDC screen(nullptr);
        if (GetDIBits(screen, h, 0, static_cast<UINT>(bm.bmHeight), bits, &bi, DIB_RGB_COLORS) == 0)
            throw EInvalidGraphic("Invalid bitmap handle");
    }
    monochrome_ = bm.bmBitsPixel == 1;
    ReplaceImage(dib.Release(), bits, bm.bmWidth, bm.bmHeight);
    DeleteObject(h);
    Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
    FreeContext();
    const HBITMAP h = dib_;
    dib_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
    if (h) Changed(this);
    return h;
}

void TBitmap::SetSize(int Width, int Height) {
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (Width == width_ && Height == height_) return;
    if (Width == 0 || Height == 0) {
        ReplaceImage(nullptr, nullptr, 0, 0);
        Changed(this);
        return;
    }
    uint8_t* bits = nullptr;
    ScopedGdiObject<HBITMAP> dib(CreateDib32(Width, Height, &bits));
    auto* px = reinterpret_cast<uint32_t*>(bits);
    std::fill(px, px + size_t(Width) * size_t(Height), kWhite);
    if (dib_) {
        GdiFlush();
        const int w = std::min(Width, width_), h = std::min(Height, height_);
        for (int y = 0; y < h; ++y)
            std::memcpy(bits + size_t(y) * size_t(Width) * 4, bits_ + size_t(y) * size_t(width_) * 4, size_t(w) * 4);
    }
    ReplaceImage(dib.Release(), bits, Width, Height);
    Changed(this);
}

void* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    GdiFlush();
    return bits_ + size_t(y) * size_t(width_) * 4;
}

void TBitmap::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        ReplaceImage(nullptr, nullptr, 0, 0);
        Changed(this);
        return;
    }
    auto* src = dynamic_cast<TBitmap*>(Source);
    if (!src) {
        TGraphic::Assign(Source);
        return;
    }
    uint8_t* bits = nullptr;
    ScopedGdiObject<HBITMAP> dib;
    if (!src->Empty()) {
        dib.Reset(CreateDib32(src->width_, src->height_, &bits));
        GdiFlush();
        std::memcpy(bits, src->bits_, size_t(src->width_) * size_t(src->height_) * 4);
    }
    ReplaceImage(dib.Release(), bits, src->width_, src->height_);
    transparent_ = src->transparent_;
    transparentColor_ = src->transparentColor_;
    transparentMode_ = src->transparentMode_;
    monochrome_ = src->monochrome_;
    Changed(this);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& r) {
    if (Empty() || !ACanvas) return;
    const int w = RectWidth(r), h = RectHeight(r);
    if (w == 0 || h == 0) return;
    HDC dst = ACanvas->Handle();
    HDC src = Canvas()->Handle();
    if (Transparent() && w > 0 && h > 0) {
        TransparentBlt(dst, r.left, r.top, w, h, src, 0, 0, width_, height_, ColorToCOLORREF(TransparentColor()));
        return;
    }
    const bool stretched = w != width_ || h != height_;
    const int oldMode = stretched ? SetStretchBltMode(dst, COLORONCOLOR) : 0;
    StretchBlt(dst, r.left, r.top, w, h, src, 0, 0, width_, height_, ACanvas->CopyMode());
    if (oldMode) SetStretchBltMode(dst, oldMode);
}

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (Empty()) return clDefault;
    const uint8_t* p = static_cast<const uint8_t*>(ScanLine(height_ - 1));
    return RGB(p[2], p[1], p[0]);
}

void TBitmap::SetTransparentColor(TColor v) {
    if (v == transparentColor_ && (v == clDefault) == (transparentMode_ == tmAuto)) return;
    transparentColor_ = v;
    transparentMode_ = v == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
    if (v == transparentMode_) return;
    if (v == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

void TBitmap::SetMonochrome(bool v) {
    if (v == monochrome_) return;
    if (v && !Empty()) {
        const COLORREF key = ColorToCOLORREF(canvas_ ? canvas_->Brush()->Color() : clWhite);
        const uint32_t keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
        GdiFlush();
        auto* px = reinterpret_cast<uint32_t*>(bits_);
        for (size_t i = 0, n = size_t(width_) * size_t(height_); i < n; ++i)
            px[i] = (px[i] & 0x00FFFFFF) == keyPixel ? kWhite : 0;
    }
    monochrome_ = v;
    Changed(this);
}

// ---------------------------------------------------------------- files

void TBitmap::LoadFromStream(TStream* Stream) {
    uint8_t fileHeader[14];
    ReadExact(Stream, fileHeader, sizeof fileHeader);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') InvalidBitmap();
    uint64_t bitsOffset = Le32(fileHeader + 10);

    uint8_t header[sizeof(BITMAPV5HEADER)];
    ReadExact(Stream, header, 4);
    const uint32_t headerSize = Le32(header);
    if (!KnownHeaderSize(headerSize)) InvalidBitmap();
    ReadExact(Stream, header + 4, headerSize - 4);
    DibFormat f = ParseHeader(header, headerSize);

    std::vector<uint8_t> tables(f.separateMaskBytes + f.PaletteBytes());
    ReadExact(Stream, tables.data(), tables.size());
    if (f.separateMaskBytes) ReadSeparateMasks(f, tables.data());

    const uint64_t headersEnd = sizeof fileHeader + headerSize + tables.size();
    if (bitsOffset == 0) bitsOffset = headersEnd;  // some writers leave it out
    if (bitsOffset < headersEnd) InvalidBitmap();
    const uint64_t gap = bitsOffset - headersEnd;
    // Nothing is allocated for the pixels before the stream shows it has them.
    const int64_t size = Stream->Size(), pos = Stream->Position();
    if (size >= 0 && pos >= 0 && uint64_t(size - pos) < gap + f.imageBytes) InvalidBitmap();
    if (gap && Stream->Seek(static_cast<int64_t>(gap), soCurrent) < 0) InvalidBitmap();
    std::vector<uint8_t> bits(f.imageBytes);
    ReadExact(Stream, bits.data(), bits.size());

    uint8_t* out = nullptr;
    const HBITMAP dib = DecodeDib(f, tables.data() + f.separateMaskBytes, bits.data(), &out);
    ReplaceImage(dib, out, f.width, f.height);
    monochrome_ = false;
    Changed(this);
}

void TBitmap::SaveToStream(TStream* Stream) {
    const uint32_t imageBytes = uint32_t(width_) * uint32_t(height_) * 4;
    const uint32_t offset = 14 + sizeof(BITMAPINFOHEADER);
    uint8_t head[14 + sizeof(BITMAPINFOHEADER)] = {};
    head[0] = 'B';
    head[1] = 'M';
    PutLe32(head + 2, offset + imageBytes);
    PutLe32(head + 10, offset);
    uint8_t* info = head + 14;
    PutLe32(info, sizeof(BITMAPINFOHEADER));
    PutLe32(info + 4, uint32_t(width_));
    PutLe32(info + 8, uint32_t(height_));  // bottom-up, as most readers expect
    PutLe16(info + 12, 1);
    PutLe16(info + 14, 32);
    PutLe32(info + 16, BI_RGB);
    PutLe32(info + 20, imageBytes);
    PutLe32(info + 24, 3780);  // 96 dpi in pixels per metre
    PutLe32(info + 28, 3780);
    Stream->WriteBuffer(head, sizeof head);
    if (Empty()) return;
    GdiFlush();
    for (int y = height_ - 1; y >= 0; --y)
        Stream->WriteBuffer(bits_ + size_t(y) * size_t(width_) * 4, int64_t(width_) * 4);
}

void TBitmap::LoadPackedDib(const uint8_t* data, size_t size) {
    if (size < 4) InvalidBitmap();
    const uint32_t headerSize = Le32(data);
    if (!KnownHeaderSize(headerSize) || size < headerSize) InvalidBitmap();
    DibFormat f = ParseHeader(data, headerSize);
    const size_t tablesEnd = headerSize + f.separateMaskBytes + f.PaletteBytes();
    if (size < tablesEnd || size - tablesEnd < f.imageBytes) InvalidBitmap();
    if (f.separateMaskBytes) ReadSeparateMasks(f, data + headerSize);
    uint8_t* out = nullptr;
    const HBITMAP dib = DecodeDib(f, data + headerSize + f.separateMaskBytes, data + tablesEnd, &out);
    ReplaceImage(dib, out, f.width, f.height);
    monochrome_ = false;
    Changed(this);
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
    TResourceStream rs(Instance, ResName, RT_BITMAP);
    LoadPackedDib(static_cast<const uint8_t*>(rs.Memory()), static_cast<size_t>(rs.Size()));
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    TResourceStream rs(Instance, ResID, RT_BITMAP);
    LoadPackedDib(static_cast<const uint8_t*>(rs.Memory()), static_cast<size_t>(rs.Size()));
}

}  // namespace ui
