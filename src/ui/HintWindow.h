#pragma once
// THintWindow: the small pop-up that shows a control's Hint. The
// application shows it when the pointer has rested on a control for its
// HintPause and hides it on leave, click or key, or after HintHidePause.
#include "ui/Control.h"

namespace ui {

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);

    // Shows Text with the window's top-left at the screen point At (kept on
    // the screen), without taking the activation.
    void ActivateHint(TPoint At, const std::string& Text);
    void ReleaseHandle();
    // The size the text needs, frame included.
    TRect CalcHintRect(const std::string& Text);

protected:
    void CreateParams(TCreateParams& p) override;
    void WndProc(TMessage& m) override;
    void Paint() override;
};

// The part of a hint before '|' (the part after it is for a status line).
std::string GetShortHint(const std::string& Hint);

}  // namespace ui
