#pragma once
// A canvas bound to a control: outside painting it takes a DC of the
// control's window (a graphic control draws through its parent's DC, moved to
// its origin and clipped to its bounds).
#include "ui/Canvas.h"

namespace ui {

class TControl;

class TControlCanvas : public TCanvas {
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return control_; }
    void SetControl(TControl* c);
    // Gives back a DC this canvas took on its own.
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* control_ = nullptr;  // not owned
    HDC dc_ = nullptr;              // taken with GetDCEx; null while painting
    HWND dcWindow_ = nullptr;
};

} // namespace ui
