#pragma once
// The single frame of fields and lists, added to any window control class.
#include <windows.h>

#include "ui/Control.h"
#include "ui/Form.h"

namespace ui {

// The border of edits and panels: bsNone or bsSingle.
using TBorderStyle = TFormBorderStyle;

// BorderStyle bsSingle: a sunken client edge with Ctl3D, a plain line
// without. The frame is a window style, so a change of either makes the
// window again.
template <class Base> class TBordered : public Base {
public:
    using Base::Base;

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v) {
        if (v == borderStyle_) return;
        borderStyle_ = v;
        FrameChanged();
    }

protected:
    // For CreateParams.
    void AddBorder(TCreateParams& p) const {
        if (borderStyle_ != bsSingle) return;
        if (this->Ctl3D())
            p.ExStyle |= WS_EX_CLIENTEDGE;
        else
            p.Style |= WS_BORDER;
    }
    void Ctl3DChanged() override {
        Base::Ctl3DChanged();
        FrameChanged();
    }
    virtual void FrameChanged() { this->RecreateWnd(); }

private:
    TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace ui
