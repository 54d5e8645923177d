#pragma once
// TFlatGroupBox and TFlatPanel: a captioned group and a plain panel. The
// flat look comes later; for now they are the library's group box and panel.
#include "ui/StdCtrls.h"

namespace controls {

class TFlatGroupBox : public ui::TGroupBox {
public:
    explicit TFlatGroupBox(ui::TComponent* AOwner) : ui::TGroupBox(AOwner) {}
};

class TFlatPanel : public ui::TPanel {
public:
    explicit TFlatPanel(ui::TComponent* AOwner) : ui::TPanel(AOwner) {}
};

} // namespace controls
