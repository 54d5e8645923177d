#include "ui/ControlCanvas.h"

#include "ui/Control.h"

namespace ui {

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* c) {
    if (c == control_) return;
    FreeHandle();
    control_ = c;
}

void TControlCanvas::FreeHandle() {
    if (!dc_) return;
    HDC dc = dc_;
    dc_ = nullptr;
    SetHandle(nullptr);
    ReleaseDC(dcWindow_, dc);
    dcWindow_ = nullptr;
}

void TControlCanvas::CreateHandle() {
    if (!control_) return;
    TWinControl* w = dynamic_cast<TWinControl*>(control_);
    bool graphic = !w;
    if (graphic) w = control_->Parent();
    if (!w) return;
    HWND h = w->Handle();
    HDC dc = GetDCEx(h, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc) return;
    if (graphic) {
        SetViewportOrgEx(dc, control_->Left(), control_->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, control_->Width(), control_->Height());
    }
    dc_ = dc;
    dcWindow_ = h;
    SetHandle(dc);
}

TWindowCanvas::TWindowCanvas(TWinControl* w) : dc_(w->HandleAllocated() ? w->Handle() : nullptr), canvas_(dc_) {}

}  // namespace ui
