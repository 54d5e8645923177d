#include "controls/FlatEdit.h"

namespace controls {

TFlatEdit::TFlatEdit(ui::TComponent* AOwner) : ui::TCustomEdit(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 121, 19);
}

} // namespace controls
