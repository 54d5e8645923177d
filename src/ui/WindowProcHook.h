#pragma once
// TWindowProcHook: outside code (a painter) taking over a control's
// WindowProc for a while. Every message goes to Handler first, which may
// pass it on with CallPrevious. Releasing (or destroying) the hook puts the
// procedure back, in whatever order several hooks of one control are
// released: a hook that is not the outermost one is taken out of the chain.
// When the control is freed first, the hook lets go of it at its removal
// notification and holds nothing afterwards.
//
// Every take-over of a WindowProc that may be undone should go through this
// class: a plain replacement made after a hook keeps a pointer to it.
#include "ui/Control.h"

namespace ui {

class TWindowProcHook : public TComponent {
public:
    TWindowProcHook(TControl* AControl, TWndMethod AHandler);
    ~TWindowProcHook() override;

    // Puts the control's procedure back (nothing when released already).
    void Release();
    // The control still taken over, or null.
    TControl* Control() const { return control_; }
    // Hands the message to the procedure that was there before this hook.
    void CallPrevious(TMessage& m);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Dispatch(TMessage& m);
    TWndMethod Self() { return TWndMethod(this, &TWindowProcHook::Dispatch); }

    TControl* control_;  // not owned
    TWndMethod handler_;
    TWndMethod previous_;
};

}  // namespace ui
