#pragma once
// Geometry shared by the whole library: the Win32 structures themselves, so
// they pass to the API unchanged.
#include <windows.h>

namespace ui {

using TRect = RECT;
using TPoint = POINT;
using TSize = SIZE;

inline TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
inline TRect Bounds(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }
inline TPoint Point(int x, int y) { return TPoint{x, y}; }
inline int RectWidth(const TRect& r) { return r.right - r.left; }
inline int RectHeight(const TRect& r) { return r.bottom - r.top; }
inline bool PtInRect(const TRect& r, TPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool operator==(const TRect& a, const TRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const TPoint& a, const TPoint& b) { return a.x == b.x && a.y == b.y; }

}  // namespace ui
