#pragma once
// The dialog that edits one mouse-corner shortcut: which corner, how long
// the pointer must rest there and how large the corner zone is.
#include "controls/FlatCheckBox.h"
#include "controls/FlatSpinEdit.h"
#include "core/MouseShortcut.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

class TMouseShortcutForm : public ui::TForm {
public:
    explicit TMouseShortcutForm(ui::TComponent* AOwner);

    ui::TGroupBox* gbCorners;
    controls::TFlatCheckBox* cbTopLeft;
    controls::TFlatCheckBox* cbTopRight;
    controls::TFlatCheckBox* cbBottomLeft;
    controls::TFlatCheckBox* cbBottomRight;
    ui::TLabel* lbHoverInterval;
    controls::TFlatSpinEditInteger* edHoverInterval;
    ui::TLabel* lbZoneSize;
    controls::TFlatSpinEditInteger* edZoneSize;
    ui::TButton* btnOk;
    ui::TButton* btnCancel;

    // Leaves Sender the only ticked box (none when Sender is null), without
    // running any box's click handler.
    void SelectCorner(ui::TObject* Sender);
    void cbTopLeftClick(ui::TObject* Sender);
    void cbTopRightClick(ui::TObject* Sender);
    void cbBottomLeftClick(ui::TObject* Sender);
    void cbBottomRightClick(ui::TObject* Sender);
    void btnOkClick(ui::TObject* Sender);
    void btnCancelClick(ui::TObject* Sender);

    // The four boxes in corner order: top-left, top-right, bottom-left, bottom-right.
    controls::TFlatCheckBox* CornerBox(int Corner) const;
};

// Edits Info in a new dialog owned by Owner; true when accepted (then Info
// holds the new values), false on Cancel (Info unchanged).
bool Configure(core::TMouseShortcutInfo& Info, ui::TComponent* Owner);
