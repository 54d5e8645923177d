#pragma once
// A canvas bound to a control: outside painting it takes a DC of the
// control's window (a graphic control draws through its parent's DC, moved to
// its origin and clipped to its bounds).
#include "ui/Canvas.h"
#include "ui/GdiGuards.h"

namespace ui {

class TControl;
class TWinControl;

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
    HDC dc_ = nullptr;             // taken with GetDCEx; null while painting
    HWND dcWindow_ = nullptr;
};

// A canvas on a control's whole window, its frame included; the DC goes back
// when the canvas goes. False, and not to draw on, without a window or a DC.
class TWindowCanvas {
public:
    explicit TWindowCanvas(TWinControl* w);
    explicit operator bool() const { return dc_ != nullptr; }
    TCanvas& operator*() { return canvas_; }
    TCanvas* operator->() { return &canvas_; }

private:
    ScopedWindowDC dc_;
    TCanvas canvas_;
};

}  // namespace ui
