#pragma once
// The hook library's own records and the translations behind its hook
// procedures, free of Win32 so that they can be checked without a hook: a
// low-level keyboard event becomes keystroke key data, mouse and window
// messages are sorted into what the receiver is told about.
#include <bitset>
#include <cstdint>

namespace hook {

// Flag bits of a low-level keyboard event (the system's LLKHF_* values).
constexpr uint8_t LowLevelExtended = 0x01;
constexpr uint8_t LowLevelInjected = 0x10;
constexpr uint8_t LowLevelAltDown = 0x20;
constexpr uint8_t LowLevelUp = 0x80;

// One low-level keyboard event, as the keyboard hook saw it.
struct TLowLevelKey {
    uint32_t Message = 0;     // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
    uint32_t VirtualKey = 0;  // may be 0 for input injected by scan code
    uint32_t ScanCode = 0;
    uint8_t Flags = 0;  // LowLevel* bits
};

// Follows which keys are down, for the previous-state bit and the Alt
// context that low-level events do not carry themselves.
class TKeyTracker {
public:
    // Key data in the keystroke layout (KeyDataLayout.h) for Key, with the
    // down state updated: repeat count 1, the scan code's low byte, the
    // extended flag, the Alt context (an Alt key held, by the event's own
    // flag or by what was seen), the previous state (always set for a
    // release, set for a press of a key already down), the transition bit.
    uint32_t Translate(const TLowLevelKey& Key);
    void Reset() { down_.reset(); }
    bool AltHeld() const;

private:
    static size_t Slot(const TLowLevelKey& Key);
    // Virtual keys in the first half; keys without one by scan code after.
    std::bitset<512> down_;
};

// LParam of MY_KEY_EVENT_LL: bits 0-15 the virtual key, 16-23 the scan
// code's low byte, 24-31 the LowLevel* flags.
uint32_t PackLowLevelKey(const TLowLevelKey& Key);

// Mouse-button messages, the only mouse events the receiver is told about.
bool IsMouseButtonMessage(uint32_t Message);
// LParam of MY_MOUSE_EVENT: x in the low word, y in the high word, each cut
// to 16 bits like the point of a mouse message.
uint32_t PackPoint(int32_t X, int32_t Y);

// WM_SYSCOMMAND with SC_CLOSE (the low four bits of the command are the
// system's own).
bool IsCloseRequest(uint32_t Message, uint64_t WParam);

// Shell-hook codes passed on: created, destroyed, activate the shell window.
// Activation (4, and 4 with the high bit) is reported from the activation
// of the window itself, so the shell hook's report is dropped.
bool IsForwardedShellCode(int Code);

}  // namespace hook
