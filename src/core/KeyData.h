#pragma once
// The key data of a keystroke message (the LParam of WM_KEYDOWN and its
// kin), split into its fields. The hook library sends keyboard events in this
// layout (hook/KeyDataLayout.h), and the keyboard handler reads them through
// DecodeKeyData.
#include <cstdint>
#include <string>

namespace core {

struct TKeyInfo {
    int32_t RepeatCount = 0;  // bits 0-15
    int32_t ScanCode = 0;     // bits 16-23
    bool Extended = false;    // bit 24
    bool ContextAlt = false;  // bit 29: an Alt key was held
    bool WasDown = false;     // bit 30: the key was down before this event
    bool IsDown = false;      // bit 31 clear: a press, not a release
    std::string KeyName;      // the system's name for the key
};

// Splits KeyData into a TKeyInfo. The name is the caller's: it comes from
// GetKeyNameTextA of the same value, which this portable code cannot call.
TKeyInfo DecodeKeyData(uint32_t KeyData, std::string KeyName = {});

}  // namespace core
