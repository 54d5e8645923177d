#include "controls/GradientFill.h"

#include <algorithm>
#include <vector>

#include "controls/ColorMath.h"

namespace controls {

namespace {

struct Channels {
    int r, g, b;
};

Channels Split(int32_t c) { return {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF}; }

uint32_t Pixel(int r, int g, int b) {
    return MakeColor32(static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r), 0);
}

class Writer {
public:
    Writer(const TPixelSurface& s, int left, int right) : s_(s) {
        x0_ = std::max(left, 0);
        x1_ = std::min(right, s.width);
    }
    bool RowInside(int y) const { return y >= 0 && y < s_.height; }
    bool ColumnInside(int x) const { return x >= x0_ && x < x1_; }
    uint32_t* Row(int y) const { return reinterpret_cast<uint32_t*>(s_.row0 + s_.stride * y); }
    void FillRow(int y, uint32_t px) const {
        if (!RowInside(y)) return;
        uint32_t* row = Row(y);
        for (int x = x0_; x < x1_; ++x) row[x] = px;
    }
    void Put(int x, int y, uint32_t px) const {
        if (RowInside(y) && ColumnInside(x)) Row(y)[x] = px;
    }
    int x0_, x1_;

private:
    const TPixelSurface& s_;
};

}  // namespace

void GradientFill(const TPixelSurface& s, int left, int top, int right, int bottom, int32_t startRgb, int32_t endRgb,
                  bool solid, uint8_t style) {
    const Writer w(s, left, right);
    const Channels st = Split(startRgb);
    if (solid) {
        const uint32_t px = Pixel(st.r, st.g, st.b);
        for (int y = top; y < bottom; ++y) w.FillRow(y, px);
        return;
    }
    const Channels en = Split(endRgb);
    const Channels d{en.r - st.r, en.g - st.g, en.b - st.b};
    const int W = right - left, H = bottom - top;
    if (H <= 0) return;
    auto share = [&](int k, int n) { return Pixel(st.r + d.r * k / n, st.g + d.g * k / n, st.b + d.b * k / n); };
    switch (style) {
    case gsHorizontal: {
        // One row of colours, copied into every row.
        std::vector<uint32_t> line;
        for (int x = w.x0_; x < w.x1_; ++x) line.push_back(share(x - left, W));
        for (int y = top; y < bottom; ++y)
            if (w.RowInside(y)) std::copy(line.begin(), line.end(), w.Row(y) + w.x0_);
        break;
    }
    case gsVertical:
        for (int y = top; y < bottom; ++y) w.FillRow(y, share(y - top, H));
        break;
    case gsDiagonalLeftRight:
    case gsDiagonalRightLeft:
        for (int y = top; y < bottom; ++y) {
            if (!w.RowInside(y)) continue;
            for (int x = left; x < right; ++x) {
                const int t = static_cast<int>((double(y - top) / H + double(x - left) / W) * 512);
                const uint32_t px = Pixel(st.r + d.r * t / 1024, st.g + d.g * t / 1024, st.b + d.b * t / 1024);
                w.Put(style == gsDiagonalLeftRight ? x : right - 1 - x + left, y, px);
            }
        }
        break;
    default: break;
    }
}

}  // namespace controls
