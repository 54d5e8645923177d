#pragma once
// The gradient styles of the toolkit's gradient fills.
#include <cstdint>

namespace controls {

enum TGradientStyle : uint8_t { gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft };

} // namespace controls
