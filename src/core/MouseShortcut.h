#pragma once
// One mouse-corner shortcut: holding the pointer in a corner of the screen
// for a while starts an action. The screen size, the pointer and the clock
// are passed in, so this runs without Win32.
#include <cstdint>

namespace core {

// Whether (X, Y) lies in the square zone of side ZoneSize in the given
// corner (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right) of a
// screen of Width x Height. The right and bottom edges of the zone are
// outside it; zone 0 and any other corner hold no point.
bool PointInCorner(uint8_t Corner, int32_t ZoneSize, int X, int Y, int Width, int Height);

class TMouseShortcutInfo {
public:
    TMouseShortcutInfo() = default;
    virtual ~TMouseShortcutInfo() = default;

    int32_t ZoneSize = 0;       // side of the square corner zone, in pixels
    int32_t HoverInterval = 0;  // ms the pointer must stay; negative: at once
    uint8_t Corner = 0;         // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right
    uint32_t HoverStart = 0;    // tick count when the pointer entered; 0: not in the zone
    // Set once the corner has acted; it acts again only after the pointer
    // has left the zone.
    bool WaitForLeave = false;

    // Follows the pointer: leaving the zone restarts the hover time; true
    // once the pointer has stayed HoverInterval ms (Now - HoverStart as an
    // unsigned 32-bit difference, so the tick counter's wrap-around is
    // harmless). It stays true until Acted.
    bool IsTriggered(int X, int Y, int Width, int Height, uint32_t Now);
    // The action ran: the hover starts afresh once the pointer has left.
    void Acted();
};

// One tick of the corner timer, decided.
struct TCornerTick {
    bool Running = false;        // the running gate is open
    bool DesktopLocked = false;  // the user's desktop is not the input desktop
    bool HideCornerOn = false;   // the hide corner's toggle button is down
    bool SaverCornerOn = false;  // the screen-saver corner's toggle button is down
    bool WindowsHidden = false;
    int X = 0, Y = 0;           // the pointer
    int Width = 0, Height = 0;  // the screen
    uint32_t Now = 0;           // tick count
};

struct TCornerActions {
    bool HideWindows = false;
    bool StartScreenSaver = false;
};

// Advances both shortcuts and says what to do. While windows are hidden the
// hide corner does nothing (restoring is the hot key's), and a pointer
// resting in it must leave before it can hide again.
TCornerActions MouseCornerTick(const TCornerTick& Tick, TMouseShortcutInfo& HideCorner,
                               TMouseShortcutInfo& SaverCorner);

}  // namespace core
