#include "ui/Icon.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/Stream.h"

namespace ui {

namespace {

constexpr const char kInvalidIcon[] = "Icon image is not valid";
constexpr size_t kDirHeader = 6;
constexpr size_t kDirEntry = 16;
constexpr uint16_t kMaxImages = 256;
// No icon file comes near this; it bounds what a hostile directory can ask for.
constexpr uint64_t kMaxFileBytes = 16u << 20;

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(kInvalidIcon); }

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void PutLe16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void PutLe32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

void ReadExact(TStream* s, void* buf, size_t n) {
    if (n && s->Read(buf, static_cast<int64_t>(n)) != static_cast<int64_t>(n)) InvalidIcon();
}

// The size of an icon handle, from its bitmaps (which GetIconInfo makes for
// the caller to delete).
SIZE IconSize(HICON h) {
    ICONINFO ii{};
    if (!GetIconInfo(h, &ii)) return SIZE{0, 0};
    ScopedGdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    if (color) {
        GetObjectA(color, sizeof bm, &bm);
        return SIZE{bm.bmWidth, bm.bmHeight};
    }
    GetObjectA(mask, sizeof bm, &bm);  // a monochrome icon: AND over XOR
    return SIZE{bm.bmWidth, bm.bmHeight / 2};
}

// The rows of bmp as a bottom-up DIB of the given depth (32 or 1 bit).
std::vector<uint8_t> DibRows(HBITMAP bmp, int width, int height, int bpp) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[2];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = width;
    bi.h.biHeight = height;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = static_cast<WORD>(bpp);
    bi.h.biCompression = BI_RGB;
    const size_t stride = ((size_t(width) * size_t(bpp) + 31) / 32) * 4;
    std::vector<uint8_t> rows(stride * size_t(height));
    ScopedGetDC screen(nullptr);
    if (GetDIBits(screen, bmp, 0, static_cast<UINT>(height), rows.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                  DIB_RGB_COLORS) == 0)
        InvalidIcon();
    return rows;
}

// One 32-bit image with its AND mask, as an .ico file.
std::vector<uint8_t> EncodeIcon(HICON h) {
    ICONINFO ii{};
    if (!GetIconInfo(h, &ii)) InvalidIcon();
    ScopedGdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    GetObjectA(mask, sizeof bm, &bm);
    const int w = bm.bmWidth;
    const int hgt = color ? bm.bmHeight : bm.bmHeight / 2;
    if (w <= 0 || hgt <= 0 || w > 256 || hgt > 256) InvalidIcon();
    const size_t maskStride = ((size_t(w) + 31) / 32) * 4;
    std::vector<uint8_t> xorRows, andRows;
    if (color) {
        xorRows = DibRows(color, w, hgt, 32);
        andRows = DibRows(mask, w, hgt, 1);
    } else {
        // Bottom-up, so the XOR half comes first in the rows.
        const std::vector<uint8_t> both = DibRows(mask, w, hgt * 2, 1);
        andRows.assign(both.begin() + std::ptrdiff_t(maskStride * size_t(hgt)), both.end());
        xorRows.resize(size_t(w) * size_t(hgt) * 4);
        for (int y = 0; y < hgt; ++y)
            for (int x = 0; x < w; ++x) {
                const bool on = (both[size_t(y) * maskStride + size_t(x / 8)] >> (7 - x % 8)) & 1;
                std::memset(&xorRows[(size_t(y) * size_t(w) + size_t(x)) * 4], on ? 0xFF : 0, 3);
            }
    }
    const uint32_t imageBytes = uint32_t(sizeof(BITMAPINFOHEADER) + xorRows.size() + andRows.size());
    std::vector<uint8_t> out;
    PutLe16(out, 0);
    PutLe16(out, 1);  // an icon, not a cursor
    PutLe16(out, 1);
    out.push_back(uint8_t(w == 256 ? 0 : w));
    out.push_back(uint8_t(hgt == 256 ? 0 : hgt));
    out.push_back(0);
    out.push_back(0);
    PutLe16(out, 1);
    PutLe16(out, 32);
    PutLe32(out, imageBytes);
    PutLe32(out, uint32_t(kDirHeader + kDirEntry));
    PutLe32(out, sizeof(BITMAPINFOHEADER));
    PutLe32(out, uint32_t(w));
    PutLe32(out, uint32_t(hgt * 2));
    PutLe16(out, 1);
    PutLe16(out, 32);
    PutLe32(out, BI_RGB);
    PutLe32(out, uint32_t(xorRows.size() + andRows.size()));
    for (int i = 0; i < 4; ++i) PutLe32(out, 0);
    out.insert(out.end(), xorRows.begin(), xorRows.end());
    out.insert(out.end(), andRows.begin(), andRows.end());
    return out;
}

struct DirEntry {
    int width, height, bpp;
    uint32_t size, offset;
};

}  // namespace

TGraphic* TIcon::Clone() const {
    auto* copy = new TIcon;
    copy->Assign(const_cast<TIcon*>(this));
    return copy;
}

void TIcon::Adopt(HICON h, std::vector<uint8_t> data) {
    if (h != handle_) handle_.Reset(h);
    data_ = std::move(data);
    const SIZE s = h ? IconSize(h) : SIZE{0, 0};
    width_ = s.cx;
    height_ = s.cy;
    Changed(this);
}

void TIcon::SetHandle(HICON h) {
    if (h == handle_) return;
    Adopt(h, {});
}

HICON TIcon::ReleaseHandle() {
    const HICON h = handle_.Release();
    width_ = height_ = 0;
    data_.clear();
    if (h) Changed(this);
    return h;
}

void TIcon::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        Adopt(nullptr, {});
        return;
    }
    auto* src = dynamic_cast<TIcon*>(Source);
    if (!src) {
        TGraphic::Assign(Source);
        return;
    }
    HICON copy = nullptr;
    if (src->handle_) {
        copy = CopyIcon(src->handle_);
        if (!copy) throw EOutOfResources("Out of system resources");
    }
    Adopt(copy, src->data_);
}

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Draw(TCanvas* ACanvas, const TRect& r) {
    if (!handle_ || !ACanvas) return;
    DrawIconEx(ACanvas->Handle(), r.left, r.top, handle_.Get(), RectWidth(r), RectHeight(r), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream* Stream) {
    uint8_t head[kDirHeader];
    ReadExact(Stream, head, sizeof head);
    const uint16_t count = Le16(head + 4);
    if (Le16(head) != 0 || Le16(head + 2) != 1 || count == 0 || count > kMaxImages) InvalidIcon();

    const size_t dirBytes = kDirHeader + kDirEntry * count;
    std::vector<uint8_t> data(dirBytes);
    std::memcpy(data.data(), head, sizeof head);
    ReadExact(Stream, data.data() + kDirHeader, dirBytes - kDirHeader);

    std::vector<DirEntry> entries;
    uint64_t end = dirBytes;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = data.data() + kDirHeader + kDirEntry * i;
        DirEntry d{e[0] ? e[0] : 256, e[1] ? e[1] : 256, Le16(e + 6), Le32(e + 8), Le32(e + 12)};
        if (d.size < 4 || d.offset < dirBytes || uint64_t(d.offset) + d.size > kMaxFileBytes) InvalidIcon();
        end = std::max<uint64_t>(end, uint64_t(d.offset) + d.size);
        entries.push_back(d);
    }
    const int64_t size = Stream->Size(), pos = Stream->Position();
    if (size >= 0 && pos >= 0 && uint64_t(size - pos) < end - dirBytes) InvalidIcon();
    data.resize(end);
    ReadExact(Stream, data.data() + dirBytes, end - dirBytes);

    // The image nearest the system's icon size; among equals the deepest.
    // The depth in the directory is often 0: the image's own header has it.
    const int want = GetSystemMetrics(SM_CXICON);
    const DirEntry* best = nullptr;
    int bestDepth = 0;
    for (const DirEntry& d : entries) {
        const uint8_t* img = data.data() + d.offset;
        int depth = d.bpp;
        if (Le32(img) == sizeof(BITMAPINFOHEADER) && d.size >= sizeof(BITMAPINFOHEADER))
            depth = Le16(img + 14);
        else if (depth == 0)
            depth = 32;  // a PNG image
        if (!best || std::abs(d.width - want) < std::abs(best->width - want) ||
            (std::abs(d.width - want) == std::abs(best->width - want) && depth > bestDepth)) {
            best = &d;
            bestDepth = depth;
        }
    }
    HICON h = CreateIconFromResourceEx(data.data() + best->offset, best->size, TRUE, 0x00030000, best->width,
                                       best->height, LR_DEFAULTCOLOR);
    if (!h) InvalidIcon();
    Adopt(h, std::move(data));
}

void TIcon::SaveToStream(TStream* Stream) {
    if (!handle_) return;
    if (data_.empty()) {
        const std::vector<uint8_t> ico = EncodeIcon(handle_);
        Stream->WriteBuffer(ico.data(), static_cast<int64_t>(ico.size()));
        return;
    }
    Stream->WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

}  // namespace ui
