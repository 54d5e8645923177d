#pragma once
// The display modes: the one chosen for hiding, and the current one.
#include <string>

namespace core {

extern int SelectedDisplayMode;
int FindCurrentDisplayMode();
std::string DisplayModeText(int Index);

} // namespace core
