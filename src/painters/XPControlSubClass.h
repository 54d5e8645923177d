#pragma once
// TControlSubClass: one standard control taken over by a TXPMenu, which
// paints it flat after its own painting.
#include <windows.h>

#include <memory>

#include "ui/Colors.h"
#include "ui/Component.h"
#include "ui/Control.h"
#include "ui/StdCtrls.h"

namespace ui {
class TCanvas;
class TSpeedButton;
class TWindowProcHook;
struct TMessage;
}  // namespace ui

namespace painters {

class TXPMenu;

// One taken-over control. Created by the walk (or a hand-over) and owned by
// its TXPMenu; it lets go of the control when the control goes, when its
// window is destroyed, or at the first message after the menu was switched
// off, and stays behind inert (Control() null) until its menu purges it.
class TControlSubClass : public ui::TComponent {
public:
    // Takes over AControl's WindowProc for AMenu.
    TControlSubClass(TXPMenu* AMenu, ui::TControl* AControl);
    ~TControlSubClass() override;

    // The live object that has taken over AControl, or null.
    static TControlSubClass* Find(const ui::TControl* AControl);

    ui::TControl* Control() const { return control_; }
    TXPMenu* XPMenu() const { return xpMenu_; }
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    bool SpaceDown() const { return spaceDown_; }
    bool HasFocus() const { return hasFocus_; }
    bool Busy() const { return busy_; }
    bool SavedCtl3D() const { return savedCtl3D_; }
    ui::TBorderStyle SavedBorderStyle() const { return savedBorderStyle_; }
    unsigned LastMessage() const { return lastMessage_; }
    // How many times the control was painted over (diagnostics and tests).
    int PaintCount() const { return paintCount_; }
    int SavedBorderWidth() const { return savedBorderWidth_; }
    // How many up-down halves were left alone because they already showed
    // their state (diagnostics and tests).
    int SpinSkips() const { return spinSkips_; }

    // Puts back the control's window procedure (and, with RestoreLook, its
    // Ctl3D and border), repaints it and lets go of it.
    void Restore(bool RestoreLook);
    // Hands the control to a new object of Next, which takes over from here.
    TControlSubClass* HandTo(TXPMenu* Next);

    void ControlWndProc(ui::TMessage& m);

protected:
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;

private:
    void CallSaved(ui::TMessage& m);
    // The painting and state a message the control has handled calls for.
    void AfterMessage(const ui::TMessage& m, bool graphic);
    void SpaceKey(bool Down);
    // The pointer entered or left the control.
    void Hover(bool Enter, bool Graphic);
    void LetGo();
    void PaintControl();
    void PaintEditBorder();
    void PaintCheckBoxFace();
    void PaintRadioFace();
    void PaintButtonFace();
    // The rounded face of a push button on the parent's colour, with the
    // shading line of its pressed or raised look when Shade.
    void PaintRoundedFace(ui::TCanvas& cv, ui::TColor Parent, ui::TColor Face, ui::TColor Edge, bool Shade);
    void PaintBitBtnFace();
    void PaintSpeedButtonFace();
    struct TFaceColors {
        ui::TColor face, edge;
    };
    // A push button's face and edge: lighter while Hot, lightened from the
    // parent's colour with FromParent, the edge marking the focus.
    TFaceColors ButtonColors(bool Hot, bool FromParent, ui::TColor Parent) const;
    // The steps of PaintSpeedButtonFace.
    TFaceColors SpeedButtonColors(ui::TSpeedButton* b) const;
    void TintSpeedButton(ui::TCanvas& cv, ui::TSpeedButton* b, ui::TColor Face);
    void PaintSpeedButtonFrame(ui::TCanvas& cv, ui::TSpeedButton* b, const TFaceColors& k);
    void PaintSpeedButtonContent(ui::TCanvas& cv, ui::TSpeedButton* b);
    void PaintPanelBevels();
    void PaintGroupFrame();
    void PaintListBorder();
    // Input controls (XPControlPaintInputs.cpp).
    void SaveInputLook();
    void RestoreInputLook();
    void PaintComboFrame();
    void PaintLookupComboFrame();
    void PaintRichEditBorder();
    void PaintSpinControl();
    void PaintSpinHalf(ui::TCanvas* ACanvas, ui::TRect R, int Direction, bool IsHot);
    void PaintProgressFrame();
    void PaintHotKeyFrame();

    ui::TControl* control_ = nullptr;  // not owned
    // The hook has no owner: it goes with this object.
    std::unique_ptr<ui::TWindowProcHook, void (*)(ui::TComponent*)> hook_{nullptr, &ui::TComponent::Free};
    TXPMenu* xpMenu_ = nullptr;  // not owned (our owner)
    bool busy_ = false, hot_ = false, pressed_ = false, spaceDown_ = false;
    bool spacePainted_ = false, hasFocus_ = false;
    bool savedCtl3D_ = true;
    ui::TBorderStyle savedBorderStyle_ = ui::bsSingle;
    unsigned lastMessage_ = 0;
    int paintCount_ = 0;
    // The DC a graphic control's parent lends it for the WM_PAINT in hand.
    HDC paintDC_ = nullptr;
    int savedBorderWidth_ = 0;
    int spinSkips_ = 0;
    // False once this object is gone: a message handler may free it (or
    // its menu) while the control's own procedure runs.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace painters
