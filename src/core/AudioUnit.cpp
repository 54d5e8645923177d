#include "core/AudioUnit.h"

namespace core {

uint16_t DesiredVolume = 0xFFFF;
bool DesiredMuted = false;
uint16_t SavedVolume[2] = {0, 0};
bool SavedMuted = false;

} // namespace core
