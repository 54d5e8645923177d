#include "ui/Colors.h"

namespace ui {

TColor ColorToRGB(TColor c) {
    if (!IsSystemColor(c)) return c;
    return static_cast<TColor>(GetSysColor(static_cast<int>(c & 0xFF)));
}

}  // namespace ui
