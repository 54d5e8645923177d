#include "controls/FlatSplitter.h"

#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

TFlatSplitter::TFlatSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(csCaptureMouse);
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
}

TControl* TFlatSplitter::FindSizedControl() const {
    // The control aligned to the same side whose edge touches the bar.
    if (!Parent()) return nullptr;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c != this && c->Visible() && c->Align() == Align() && c->Left() + c->Width() == Left()) return c;
    }
    return nullptr;
}

void TFlatSplitter::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseDown(b, s, x, y);
    if (b != mbLeft) return;
    dragging_ = true;
    downX_ = x;
}

void TFlatSplitter::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseUp(b, s, x, y);
    if (b != mbLeft || !dragging_) return;
    dragging_ = false;
    if (TControl* sized = FindSizedControl()) {
        // Room is kept for MinSize pixels beyond the bar too.
        const int room = Parent()->ClientWidth() - Width() - minSize_;
        int size = sized->Width() + (x - downX_);
        if (size > room) size = room;
        if (size < minSize_) size = minSize_;
        sized->SetWidth(size);
    }
    if (OnMoved) OnMoved(this);
}

void TFlatSplitter::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
}

} // namespace controls
