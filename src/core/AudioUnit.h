#pragma once
// The desired volume that hiding applies, and the volume saved to be put back.
#include <cstdint>

namespace core {

extern uint16_t DesiredVolume;  // 0..65535
extern bool DesiredMuted;
extern uint16_t SavedVolume[2];
extern bool SavedMuted;

} // namespace core
