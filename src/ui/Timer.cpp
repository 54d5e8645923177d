#include "ui/Timer.h"

#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Exception.h"
#include "ui/UtilWindow.h"

namespace ui {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    window_ = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
    UpdateTimer();
}

TTimer::~TTimer() {
    // The timer stops before its window goes, so no WM_TIMER is left for a
    // destroyed object.
    KillTimer(window_, kTimerId);
    DeallocateHWnd(window_);
}

void TTimer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
    if (v == interval_) return;
    interval_ = v;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    KillTimer(window_, kTimerId);
    if (!enabled_ || interval_ == 0) return;
    if (!SetTimer(window_, kTimerId, interval_, nullptr)) {
        enabled_ = false;
        throw EOutOfResources("Not enough timers available");
    }
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void TTimer::WndProc(TMessage& m) {
    if (m.Msg == WM_TIMER) {
        try {
            // A timer disabled while its message waited runs no more.
            if (enabled_) Timer();
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
        m.Result = 0;
        return;
    }
    m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
}

}  // namespace ui
