#include "ui/DragDrop.h"

#include "ui/Application.h"
#include "ui/UtilWindow.h"

namespace ui {

namespace {

// The drag in progress. A component, so that it hears when the source or
// the current target is freed halfway.
class DragTracker : public TComponent {
public:
    DragTracker() : TComponent(nullptr) {}
    ~DragTracker() override {
        if (window_) DeallocateHWnd(window_);
    }

    bool Active() const { return source_ != nullptr; }
    TControl* Source() const { return source_; }

    void Begin(TControl* source) {
        if (source_ || !source) return;
        // A window of its own for each drag, gone when the drag ends.
        if (!window_) {
            window_ = AllocateHWnd(TWndMethod(this, &DragTracker::WndProc));
            if (!window_) return;
        }
        source_ = source;
        FreeNotification(source);
        target_ = nullptr;
        accepted_ = false;
        // Every mouse message comes here until the button goes up.
        SetCapture(window_);
        POINT p;
        GetCursorPos(&p);
        MoveTo(p);
    }

    void Cancel() { Finish(false, CursorPos()); }

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op != opRemove) return;
        if (c == target_) {
            target_ = nullptr;
            accepted_ = false;
        }
        if (c == source_) {
            // Nothing left to drop: end quietly.
            source_ = nullptr;
            target_ = nullptr;
            if (GetCapture() == window_) ReleaseCapture();
            FreeWindow();
        }
    }

private:
    static TPoint CursorPos() {
        POINT p{};
        GetCursorPos(&p);
        return p;
    }

    bool Send(TControl* to, TDragMessage msg, TPoint p, TControl* target = nullptr) {
        TDragRec rec{p, source_, target};
        return to->Perform(CM_DRAG, msg, reinterpret_cast<LPARAM>(&rec)) != 0;
    }

    void MoveTo(TPoint p) {
        if (!source_) return;
        TControl* t = FindDragTarget(p, false);
        if (t != target_) {
            if (target_) Send(target_, dmDragLeave, p);
            target_ = t;
            if (t) FreeNotification(t);
            accepted_ = t && source_ && Send(t, dmDragEnter, p);
        } else if (t) {
            accepted_ = Send(t, dmDragMove, p);
        }
        HCURSOR shown = accepted_ && source_->DragCursor()
                            ? source_->DragCursor()
                            : LoadCursorA(nullptr, accepted_ ? MAKEINTRESOURCEA(32512) /* IDC_ARROW */
                                                             : MAKEINTRESOURCEA(32648) /* IDC_NO */);
        SetCursor(shown);
    }

    // The drag state is cleared and the capture released before the drop
    // and end handlers run, so that they may show dialogs or start a new
    // drag.
    void Finish(bool drop, TPoint p) {
        if (!source_) return;
        if (drop) MoveTo(p);
        TControl* source = source_;
        TControl* target = target_;
        const bool accepted = drop && accepted_ && target;
        source_ = nullptr;
        target_ = nullptr;
        accepted_ = false;
        if (GetCapture() == window_) ReleaseCapture();
        TDragRec rec{p, source, nullptr};
        if (!accepted && target) target->Perform(CM_DRAG, dmDragLeave, reinterpret_cast<LPARAM>(&rec));
        if (accepted) target->Perform(CM_DRAG, dmDragDrop, reinterpret_cast<LPARAM>(&rec));
        rec.Target = accepted ? target : nullptr;
        source->Perform(CM_DRAG, dmEndDrag, reinterpret_cast<LPARAM>(&rec));
        FreeWindow();
    }

    // Not from inside the window's own message: the outermost one frees it
    // on the way out.
    void FreeWindow() {
        if (!window_ || source_ || inWndProc_ > 0) return;
        HWND w = window_;
        window_ = nullptr;
        DeallocateHWnd(w);
    }

    void WndProc(TMessage& m) {
        ++inWndProc_;
        try {
            Dispatch(m);
        } catch (...) {
            --inWndProc_;
            FreeWindow();
            throw;
        }
        --inWndProc_;
        FreeWindow();
    }

    void Dispatch(TMessage& m) {
        if (source_) {
            POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
            switch (m.Msg) {
            case WM_MOUSEMOVE:
                ClientToScreen(window_, &p);
                MoveTo(p);
                return;
            case WM_LBUTTONUP:
                ClientToScreen(window_, &p);
                Finish(true, p);
                return;
            case WM_RBUTTONDOWN:
            case WM_CANCELMODE: Finish(false, CursorPos()); return;
            case WM_CAPTURECHANGED:
                if (reinterpret_cast<HWND>(m.LParam) != window_) Finish(false, CursorPos());
                return;
            }
        }
        m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
    }

    HWND window_ = nullptr;
    TControl* source_ = nullptr;  // not owned
    TControl* target_ = nullptr;  // not owned
    bool accepted_ = false;
    int inWndProc_ = 0;
};

DragTracker& Tracker() {
    static DragTracker* t = new DragTracker;  // lives as long as the program
    return *t;
}

}  // namespace

void BeginDrag(TControl* Source) { Tracker().Begin(Source); }
bool IsDragging() { return Tracker().Active(); }
TControl* DragSource() { return Tracker().Source(); }
void CancelDrag() { Tracker().Cancel(); }

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
    HWND h = WindowFromPoint(Pos);
    TWinControl* w = nullptr;
    while (h && !(w = TWinControl::FindControl(h))) h = GetParent(h);
    if (!w) return nullptr;
    TPoint client = Pos;
    ScreenToClient(w->Handle(), &client);
    if (TControl* c = w->ControlAtPos(client, AllowDisabled)) return c;
    return w;
}

}  // namespace ui
