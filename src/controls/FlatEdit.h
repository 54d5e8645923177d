#pragma once
// TFlatEdit: a single-line edit of the flat control family.
#include "ui/StdCtrls.h"

namespace controls {

class TFlatEdit : public ui::TCustomEdit {
public:
    explicit TFlatEdit(ui::TComponent* AOwner);
};

} // namespace controls
