#pragma once
// Helpers for the drawing tests: pixels read straight from a bitmap, BMP
// files built byte by byte, and the process's GDI object count.
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Colors.h"

namespace gditest {

// The pixel at (x, y) as a colour value $00BBGGRR (alpha left out).
inline ui::TColor PixelAt(ui::TBitmap& b, int x, int y) {
    const auto* p = static_cast<const uint8_t*>(b.ScanLine(y)) + 4 * x;
    return RGB(p[2], p[1], p[0]);
}

inline std::string Hex(ui::TColor c) {
    char s[16];
    snprintf(s, sizeof s, "$%06X", static_cast<unsigned>(c));
    return s;
}

// Number of GDI objects of this process. GetGuiResources where the system
// has it; under Wine it is a stub that returns 0, and the shared GDI handle
// table that the PEB points at (the same layout as Windows') is counted
// instead. -1 when neither is available.
inline int GdiObjectCount() {
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n != 0) return static_cast<int>(n);
    struct Entry {
        uint64_t object;
        uint16_t processId;
        uint16_t count;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
    static_assert(sizeof(Entry) == 24);
    // GCC mistakes the TEB read in the system header for an array overrun.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
    const auto* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8);  // GdiSharedHandleTable
    if (!table) return -1;
    int count = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].type != 0) ++count;
    return count;
}

// Runs f once to let the system make whatever it caches on first use, then
// again and returns how many GDI objects the second run left behind.
inline int GdiObjectsLeftBy(const std::function<void()>& f) {
    f();
    const int before = GdiObjectCount();
    f();
    return GdiObjectCount() - before;
}

// ---- BMP files for the reader tests

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

struct BmpSpec {
    int width = 2;
    int height = 2;  // negative: rows stored top-down
    int bpp = 24;
    uint32_t compression = BI_RGB;
    uint32_t headerSize = 40;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> palette;  // $00RRGGBB entries
    std::vector<uint32_t> masks;    // written after a 40-byte header, or inside a V4 one
    // Rows in file order, each already padded to 4 bytes.
    std::vector<std::vector<uint8_t>> rows;
    uint16_t planes = 1;
};

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
    std::vector<uint8_t> info;
    if (s.headerSize == 12) {
        Put32(info, 12);
        Put16(info, uint32_t(s.width));
        Put16(info, uint32_t(s.height));
        Put16(info, s.planes);
        Put16(info, uint32_t(s.bpp));
    } else {
        Put32(info, s.headerSize);
        Put32(info, uint32_t(s.width));
        Put32(info, uint32_t(s.height));
        Put16(info, s.planes);
        Put16(info, uint32_t(s.bpp));
        Put32(info, s.compression);
        Put32(info, 0);
        Put32(info, 2835);
        Put32(info, 2835);
        // Unless told otherwise, a short palette is declared as such.
        uint32_t used = s.colorsUsed;
        if (!used && s.bpp <= 8 && s.palette.size() < (size_t(1) << s.bpp)) used = uint32_t(s.palette.size());
        Put32(info, used);
        Put32(info, 0);
        if (s.headerSize > 40) {
            for (size_t i = 0; i < 4; ++i) Put32(info, i < s.masks.size() ? s.masks[i] : 0);
            info.resize(s.headerSize, 0);
        } else {
            for (uint32_t m : s.masks) Put32(info, m);
        }
    }
    for (uint32_t c : s.palette) {
        info.push_back(uint8_t(c));
        info.push_back(uint8_t(c >> 8));
        info.push_back(uint8_t(c >> 16));
        if (s.headerSize != 12) info.push_back(0);
    }
    std::vector<uint8_t> file = {'B', 'M'};
    size_t pixelBytes = 0;
    for (const auto& r : s.rows) pixelBytes += r.size();
    Put32(file, uint32_t(14 + info.size() + pixelBytes));
    Put32(file, 0);
    Put32(file, uint32_t(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    for (const auto& r : s.rows) file.insert(file.end(), r.begin(), r.end());
    return file;
}

}  // namespace gditest
