#include "hook/HookData.h"

#include "hook/KeyDataLayout.h"

namespace hook {

namespace {

// Virtual keys of the Alt keys: generic, left, right.
constexpr uint32_t VkMenu = 0x12, VkLMenu = 0xA4, VkRMenu = 0xA5;

constexpr uint32_t WmSysCommand = 0x0112;
constexpr uint64_t ScClose = 0xF060;

}  // namespace

size_t TKeyTracker::Slot(const TLowLevelKey& Key) {
    if (Key.VirtualKey != 0 && Key.VirtualKey < 256) return Key.VirtualKey;
    return 256 + (Key.ScanCode & 0xFFu);
}

bool TKeyTracker::AltHeld() const { return down_[VkMenu] || down_[VkLMenu] || down_[VkRMenu]; }

uint32_t TKeyTracker::Translate(const TLowLevelKey& Key) {
    const bool up = (Key.Flags & LowLevelUp) != 0;
    const size_t slot = Slot(Key);
    const bool wasDown = up || down_[slot];
    down_[slot] = !up;
    const bool alt = (Key.Flags & LowLevelAltDown) != 0 || AltHeld();

    uint32_t data = 1u | ((Key.ScanCode & 0xFFu) << KeyDataScanShift);
    if (Key.Flags & LowLevelExtended) data |= KeyDataExtended;
    if (alt) data |= KeyDataContextAlt;
    if (wasDown) data |= KeyDataWasDown;
    if (up) data |= KeyDataReleased;
    return data;
}

uint32_t PackLowLevelKey(const TLowLevelKey& Key) {
    return (Key.VirtualKey & 0xFFFFu) | ((Key.ScanCode & 0xFFu) << 16) | (static_cast<uint32_t>(Key.Flags) << 24);
}

bool IsMouseButtonMessage(uint32_t Message) {
    switch (Message) {
    case 0x0201:
    case 0x0202:  // left down, up
    case 0x0204:
    case 0x0205:  // right
    case 0x0207:
    case 0x0208:  // middle
    case 0x020B:
    case 0x020C:  // X buttons
        return true;
    default: return false;
    }
}

uint32_t PackPoint(int32_t X, int32_t Y) {
    return (static_cast<uint32_t>(X) & 0xFFFFu) | ((static_cast<uint32_t>(Y) & 0xFFFFu) << 16);
}

bool IsCloseRequest(uint32_t Message, uint64_t WParam) {
    return Message == WmSysCommand && (WParam & 0xFFF0u) == ScClose;
}

bool IsForwardedShellCode(int Code) { return Code >= 1 && Code <= 3; }

}  // namespace hook
