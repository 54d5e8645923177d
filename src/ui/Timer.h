#pragma once
// TTimer: runs OnTimer every Interval milliseconds while Enabled, through a
// hidden window of its own (SetTimer), on the thread that created it.
#include <windows.h>

#include "ui/Component.h"
#include "ui/Messages.h"

namespace ui {

class TTimer : public TComponent {
public:
    // Enabled, 1000 ms.
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    // Milliseconds; 0 stops the timer. Setting it starts the period anew.
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned v);

    // Runs each period. An exception leaving it goes to
    // Application->HandleException; the timer keeps running.
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& m);

    HWND window_ = nullptr;
    bool enabled_ = true;
    unsigned interval_ = 1000;
};

}  // namespace ui
