#pragma once
// The keystroke layout of the key data the hook library posts with
// MY_KEY_EVENT (the LParam of WM_KEYDOWN and its kin): part of its contract
// with the program (ShookApi.h), and portable, so that code without Win32
// can read it.
#include <cstdint>

namespace hook {

// Bits 0-15 hold the repeat count.
constexpr uint32_t KeyDataScanShift = 16;         // bits 16-23: the scan code
constexpr uint32_t KeyDataExtended = 1u << 24;    // an extended key
constexpr uint32_t KeyDataContextAlt = 1u << 29;  // an Alt key was held
constexpr uint32_t KeyDataWasDown = 1u << 30;     // the key was down before
constexpr uint32_t KeyDataReleased = 1u << 31;    // a release, not a press

}  // namespace hook
