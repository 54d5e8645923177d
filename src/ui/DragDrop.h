#pragma once
// Dragging between controls: a source control starts a drag (a list view in
// automatic drag mode does so when the user drags one of its items); while
// the mouse moves, the control under it is asked with CM_DRAG whether it
// accepts the source, and the cursor shows the answer; releasing the left
// button over a control that accepts drops the source there. The right
// button, Esc in the source or losing the mouse capture cancels.
//
// Any control can be a source or a target: TControl answers CM_DRAG (WParam a
// TDragMessage, LParam a TDragRec*, Result non-zero to accept) through its
// drag events; without OnDragOver it refuses every drag.
#include "ui/Control.h"

namespace ui {

enum TDragMessage {
    dmDragEnter,  // the pointer came over the target; Result: accepted
    dmDragLeave,  // it left
    dmDragMove,   // it moved over the target; Result: accepted
    dmDragDrop,   // the button went up over a target that accepted
    dmEndDrag,    // to the source, last: Target says where it ended
};

struct TDragRec {
    TPoint Pos;        // screen coordinates
    TObject* Source;   // the control being dragged
    TControl* Target;  // dmEndDrag: the control that took the drop, or null
};

// Starts dragging Source with the left button held down. Nothing happens
// while another drag runs.
void BeginDrag(TControl* Source);
bool IsDragging();
TControl* DragSource();
// Ends the drag without a drop.
void CancelDrag();

// The control of this library under a screen point: the windowed control
// whose window (or a foreign child window of it) is there, or the graphic
// child of it at that point; null for none.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);

}  // namespace ui
