#include "controls/FlatSplitter.h"

#include <utility>

#include "controls/FlatUtilitys.h"
#include "ui/Bitmap.h"
#include "ui/Form.h"

namespace controls {

using namespace ui;

TFlatSplitter::TFlatSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() | csOpaque);
    SetAlign(alLeft);
    SetWidth(5);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE)));
    SetParentColor(true);
}

void TFlatSplitter::SetColorFocused(TColor v) {
    colorFocused_ = v;
    Invalidate();
}

void TFlatSplitter::SetColorBorder(TColor v) {
    colorBorder_ = v;
    Invalidate();
}

void TFlatSplitter::SetAdvColorBorder(TAdvColors v) {
    advColorBorder_ = v;
    DeriveAdvColors();
    Invalidate();
}

void TFlatSplitter::SetAdvColorFocused(TAdvColors v) {
    advColorFocused_ = v;
    DeriveAdvColors();
    Invalidate();
}

void TFlatSplitter::SetUseAdvColors(bool v) {
    if (v == useAdvColors_) return;
    useAdvColors_ = v;
    SetParentColor(v);
    DeriveAdvColors();
    Invalidate();
}

void TFlatSplitter::DeriveAdvColors() {
    if (!useAdvColors_) return;
    const TColor base = ColorToRGB(Color());
    colorBorder_ = AdjustColorLightness(base, colorBorder_, advColorBorder_, true);
    colorFocused_ = AdjustColorLightness(base, colorFocused_, advColorFocused_, true);
}

void TFlatSplitter::WndProc(TMessage& m) {
    if (m.Msg == CM_SYSCOLORCHANGE || m.Msg == CM_PARENTCOLORCHANGED) {
        if (m.Msg == CM_PARENTCOLORCHANGED) TGraphicControl::WndProc(m);
        if (useAdvColors_) {
            SetParentColor(true);
            DeriveAdvColors();
        }
        Invalidate();
        return;
    }
    TGraphicControl::WndProc(m);
}

void TFlatSplitter::MouseEnter() {
    if (!hot_) {
        hot_ = true;
        Invalidate();
    }
}

void TFlatSplitter::MouseLeave() {
    if (hot_) {
        hot_ = false;
        Invalidate();
    }
}

void TFlatSplitter::Paint() {
    const TRect r = ClientRect();
    TBitmap picture(RectWidth(r), RectHeight(r));
    TCanvas* c = picture.Canvas();
    c->Brush()->SetColor(hot_ ? colorFocused_ : Color());
    c->FillRect(r);
    DrawFrameRings(c, r, colorBorder_, colorBorder_, 1);
    Canvas()->Draw(0, 0, &picture);
}

TControl* TFlatSplitter::FindSizedControl() {
    TWinControl* p = Parent();
    if (!p) return nullptr;
    TPoint probe;
    switch (Align()) {
    case alTop: probe = Point(Left(), Top() - 1); break;
    case alBottom: probe = Point(Left(), Top() + Height()); break;
    case alLeft: probe = Point(Left() - 1, Top()); break;
    case alRight: probe = Point(Left() + Width(), Top()); break;
    default: return nullptr;
    }
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this) continue;
        TRect b = c->BoundsRect();
        if (PtInRect(b, probe)) return c;
    }
    return nullptr;
}

void TFlatSplitter::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseDown(b, s, x, y);
    if (b != mbLeft) return;
    // A press while a drag still runs (its release never came: the capture
    // was lost, a dialog opened) ends that drag first.
    if (sizedControl_) EndSizing(false);
    TControl* sized = FindSizedControl();
    if (!sized) return;
    TWinControl* p = Parent();
    const bool horizontal = Align() == alLeft || Align() == alRight;
    int limit = (horizontal ? p->ClientWidth() : p->ClientHeight()) - minSize_;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (horizontal && (c->Align() == alLeft || c->Align() == alRight)) limit -= c->Width();
        if (!horizontal && (c->Align() == alTop || c->Align() == alBottom)) limit -= c->Height();
    }
    limit += horizontal ? sized->Width() : sized->Height();
    HDC dc = GetDCEx(p->Handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    if (!dc) return;
    sizedControl_ = sized;
    sized->FreeNotification(this);
    downPoint_ = Point(x, y);
    sizeLimit_ = limit;
    dragDC_ = dc;
    dragWnd_ = p->Handle();
    ClampSplitSize(x, y);
    if (TCustomForm* form = GetParentForm()) {
        TWinControl* active = form->ActiveControl();
        if (active) {
            hookedControl_ = active;
            active->FreeNotification(this);
            savedOnKeyDown_ = active->OnKeyDown;
            active->OnKeyDown = TKeyEvent(this, &TFlatSplitter::EscapeKeyHook);
        }
    }
    InvertLine();
}

void TFlatSplitter::ClampSplitSize(int X, int Y) {
    const TAlign a = Align();
    splitOffset_ = (a == alLeft || a == alRight) ? X - downPoint_.x : Y - downPoint_.y;
    int raw = 0;
    switch (a) {
    case alTop: raw = sizedControl_->Height() + splitOffset_; break;
    case alBottom: raw = sizedControl_->Height() - splitOffset_; break;
    case alLeft: raw = sizedControl_->Width() + splitOffset_; break;
    case alRight: raw = sizedControl_->Width() - splitOffset_; break;
    default: break;
    }
    pendingSize_ = raw;
    if (pendingSize_ < minSize_)
        pendingSize_ = minSize_;
    else if (pendingSize_ > sizeLimit_)
        pendingSize_ = sizeLimit_;
    if (pendingSize_ != raw) {
        if (a == alBottom || a == alRight)
            splitOffset_ += raw - pendingSize_;
        else
            splitOffset_ += pendingSize_ - raw;
    }
}

void TFlatSplitter::InvertLine() {
    if (!dragDC_) return;
    lineShown_ = !lineShown_;
    const bool horizontal = Align() == alLeft || Align() == alRight;
    const int x = horizontal ? Left() + splitOffset_ : Left();
    const int y = horizontal ? Top() : Top() + splitOffset_;
    PatBlt(dragDC_, x, y, Width(), Height(), PATINVERT);
}

void TFlatSplitter::MouseMove(TShiftState s, int x, int y) {
    TGraphicControl::MouseMove(s, x, y);
    if (!sizedControl_) return;
    InvertLine();
    ClampSplitSize(x, y);
    InvertLine();
}

void TFlatSplitter::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseUp(b, s, x, y);
    // Only the button that drags ends the drag.
    if (!sizedControl_ || b != mbLeft) return;
    if (lineShown_) InvertLine();
    ApplySize();
    EndSizing();
}

void TFlatSplitter::ApplySize() {
    TControl* c = sizedControl_;
    TWinControl* p = Parent();
    switch (Align()) {
    case alTop: c->SetHeight(pendingSize_); break;
    case alLeft: c->SetWidth(pendingSize_); break;
    case alBottom:
    case alRight: {
        p->DisableAlign();
        try {
            if (Align() == alBottom) {
                c->SetTop(c->Top() + c->Height() - pendingSize_);
                c->SetHeight(pendingSize_);
            } else {
                c->SetLeft(c->Left() + c->Width() - pendingSize_);
                c->SetWidth(pendingSize_);
            }
        } catch (...) {
            p->EnableAlign();
            throw;
        }
        p->EnableAlign();
        break;
    }
    default: break;
    }
}

void TFlatSplitter::ReleaseDrag() {
    if (lineShown_) InvertLine();
    lineShown_ = false;
    if (dragDC_) ReleaseDC(dragWnd_, dragDC_);
    dragDC_ = nullptr;
    dragWnd_ = nullptr;
    TControl* sized = std::exchange(sizedControl_, nullptr);
    TWinControl* hooked = std::exchange(hookedControl_, nullptr);
    if (hooked) hooked->OnKeyDown = savedOnKeyDown_;
    savedOnKeyDown_ = nullptr;
    if (sized) sized->RemoveFreeNotification(this);
    if (hooked && hooked != sized) hooked->RemoveFreeNotification(this);
}

void TFlatSplitter::EndSizing(bool Notify) {
    ReleaseDrag();
    if (Notify && OnMoved) OnMoved(this);
}

void TFlatSplitter::EscapeKeyHook(TObject* Sender, WORD& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) {
        EndSizing();
        return;
    }
    if (savedOnKeyDown_) savedOnKeyDown_(Sender, Key, Shift);
}

void TFlatSplitter::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == hookedControl_) {
        hookedControl_ = nullptr;
        savedOnKeyDown_ = nullptr;
    }
    if (AComponent == sizedControl_ || AComponent == Parent()) ReleaseDrag();
}

void TFlatSplitter::Destroying() {
    ReleaseDrag();
    TGraphicControl::Destroying();
}

}  // namespace controls
