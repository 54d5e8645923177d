#include "core/DisplayModes.h"

namespace core {

int SelectedDisplayMode = 0;

// The mode list comes with the display page; until then every mode is the first.
int FindCurrentDisplayMode() { return 0; }

std::string DisplayModeText(int) { return std::string(); }

} // namespace core
