#pragma once
// One mouse-corner shortcut: holding the pointer in a corner of the screen
// for a while starts an action.
#include <cstdint>

namespace core {

class TMouseShortcutInfo {
public:
    TMouseShortcutInfo() = default;
    virtual ~TMouseShortcutInfo() = default;

    int32_t ZoneSize = 0;       // side of the square corner zone, in pixels
    int32_t HoverInterval = 0;  // ms the pointer must stay; negative: at once
    uint8_t Corner = 0;         // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right
    uint32_t HoverStart = 0;    // tick count when the pointer entered; 0: not in the zone
};

} // namespace core
