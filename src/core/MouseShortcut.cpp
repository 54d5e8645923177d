#include "core/MouseShortcut.h"

namespace core {

bool PointInCorner(uint8_t Corner, int32_t ZoneSize, int X, int Y, int Width, int Height) {
    // 64-bit, so a huge zone cannot overflow the edges.
    const int64_t z = ZoneSize, w = Width, h = Height;
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    switch (Corner) {
    case 0:
        right = z;
        bottom = z;
        break;
    case 1:
        left = w - z;
        right = w;
        bottom = z;
        break;
    case 2:
        top = h - z;
        right = z;
        bottom = h;
        break;
    case 3:
        left = w - z;
        top = h - z;
        right = w;
        bottom = h;
        break;
    default: return false;
    }
    return left <= X && X < right && top <= Y && Y < bottom;
}

bool TMouseShortcutInfo::IsTriggered(int X, int Y, int Width, int Height, uint32_t Now) {
    if (!PointInCorner(Corner, ZoneSize, X, Y, Width, Height)) {
        HoverStart = 0;
        WaitForLeave = false;
        return false;
    }
    if (WaitForLeave) return false;
    // 0 means "outside": entering at tick count 0 counts as entering 1 ms
    // earlier (never later, which would read as a wrap-around).
    if (HoverStart == 0) HoverStart = Now != 0 ? Now : UINT32_MAX;
    if (HoverInterval < 0) return true;
    return static_cast<uint32_t>(Now - HoverStart) >= static_cast<uint32_t>(HoverInterval);
}

void TMouseShortcutInfo::Acted() {
    HoverStart = 0;
    WaitForLeave = true;
}

TCornerActions MouseCornerTick(const TCornerTick& Tick, TMouseShortcutInfo& HideCorner,
                               TMouseShortcutInfo& SaverCorner) {
    TCornerActions a;
    if (!Tick.Running || Tick.DesktopLocked) return a;
    if (Tick.HideCornerOn) {
        const bool fired = HideCorner.IsTriggered(Tick.X, Tick.Y, Tick.Width, Tick.Height, Tick.Now);
        if (Tick.WindowsHidden) {
            // Resting in the corner while hidden does not count: after a
            // restore by hot key the windows stay until the pointer has left.
            if (PointInCorner(HideCorner.Corner, HideCorner.ZoneSize, Tick.X, Tick.Y, Tick.Width, Tick.Height))
                HideCorner.Acted();
        } else if (fired) {
            a.HideWindows = true;
            HideCorner.Acted();
        }
    }
    if (Tick.SaverCornerOn && SaverCorner.IsTriggered(Tick.X, Tick.Y, Tick.Width, Tick.Height, Tick.Now)) {
        a.StartScreenSaver = true;
        SaverCorner.Acted();
    }
    return a;
}

}  // namespace core
