#include "ui/WindowProcHook.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {
// Every live hook, so that one released out of order can find the hook
// that took over after it. All on the GUI thread.
std::vector<TWindowProcHook*>& LiveHooks() {
    static std::vector<TWindowProcHook*> hooks;
    return hooks;
}
}  // namespace

TWindowProcHook::TWindowProcHook(TControl* AControl, TWndMethod AHandler)
    : TComponent(nullptr), control_(AControl), handler_(AHandler) {
    if (!control_) return;
    previous_ = control_->WindowProc;
    control_->WindowProc = Self();
    FreeNotification(control_);
    LiveHooks().push_back(this);
}

TWindowProcHook::~TWindowProcHook() { Release(); }

void TWindowProcHook::Release() {
    if (!control_) return;
    TControl* c = control_;
    control_ = nullptr;
    auto& live = LiveHooks();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (c->WindowProc == Self()) {
        c->WindowProc = previous_;
    } else {
        // A later hook holds this one as its previous procedure: it skips
        // this one from now on.
        for (TWindowProcHook* h : live)
            if (h->control_ == c && h->previous_ == Self()) h->previous_ = previous_;
    }
    RemoveFreeNotification(c);
}

void TWindowProcHook::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    // The control still answers its last messages (WM_DESTROY) through the
    // procedure put back here.
    if (Operation == opRemove && AComponent == control_) Release();
}

void TWindowProcHook::CallPrevious(TMessage& m) {
    if (previous_) previous_(m);
}

void TWindowProcHook::Dispatch(TMessage& m) {
    if (handler_)
        handler_(m);
    else
        CallPrevious(m);
}

}  // namespace ui
