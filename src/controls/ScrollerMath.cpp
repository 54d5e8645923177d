#include "controls/ScrollerMath.h"

#include <cmath>

namespace controls {

int ScrollerPositionToOffset(int Position, int Min, int Max, int FreeLength) {
    if (Min >= Position) return 0;
    const double range = std::fabs(static_cast<double>(Max) - Min);
    if (range == 0) return 0;
    return static_cast<int>(std::nearbyint((static_cast<double>(Position) - Min) / range * FreeLength));
}

int ScrollerOffsetToPosition(int Offset, int Min, int Max, int FreeLength) {
    // A thumb as long as the track has nowhere to go: it shows Min.
    if (FreeLength <= 0) return Min;
    const double range = std::fabs(static_cast<double>(Max) - Min);
    return Min + static_cast<int>(std::nearbyint(static_cast<double>(Offset) / FreeLength * range));
}

}  // namespace controls
