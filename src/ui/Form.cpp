#include "ui/Form.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/GdiObjects.h"
#include "ui/Menus.h"

namespace ui {

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomControl(AOwner) {
    // A form starts hidden; Show, ShowModal or the application's Run show it.
    TControl::SetVisible(false);
    SetParentFont(false);
    SetParentColor(false);
    SetBounds(0, 0, 320, 240);
    if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (Screen) Screen->RemoveForm(this);
    if (Application) Application->FormDestroyed(this);
}

void TCustomForm::Destroying() {
    if (!destroyRan_) {
        destroyRan_ = true;
        // OnDestroy sees the whole form, its controls and its window.
        if (OnDestroy) {
            try {
                OnDestroy(this);
            } catch (...) {
                if (Application) Application->HandleException(this);
            }
        }
    }
    if (Screen) Screen->RemoveForm(this);
    TCustomControl::Destroying();
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::Loaded() {
    TCustomControl::Loaded();
    AlignControls();
    UpdateAnchorRulesInside();
}

TRect TCustomForm::ClientRect() {
    if (HandleAllocated() || Parent()) return TCustomControl::ClientRect();
    TCreateParams p;
    CreateParams(p);
    RECT frame{0, 0, 0, 0};
    if (!AdjustWindowRectEx(&frame, p.Style, menu_ != nullptr, p.ExStyle)) return TCustomControl::ClientRect();
    return Rect(0, 0, std::max(Width() - RectWidth(frame), 0), std::max(Height() - RectHeight(frame), 0));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
    if (v == borderIcons_) return;
    borderIcons_ = v;
    RecreateWnd();
}

void TCustomForm::SetConstraints(int minW, int minH, int maxW, int maxH) {
    minWidth_ = minW;
    minHeight_ = minH;
    maxWidth_ = maxW;
    maxHeight_ = maxH;
    int w = std::max(Width(), minW), h = std::max(Height(), minH);
    if (maxW) w = std::min(w, maxW);
    if (maxH) h = std::min(h, maxH);
    SetBounds(Left(), Top(), w, h);
}

TWindowState TCustomForm::WindowState() const {
    if (handle_) {
        if (IsIconic(handle_)) return wsMinimized;
        if (IsZoomed(handle_)) return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState v) {
    windowState_ = v;
    if (handle_ && Visible())
        ShowWindow(handle_, v == wsMinimized ? SW_MINIMIZE : v == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.ExStyle = 0;
    p.WndParent = Application ? Application->Handle() : nullptr;
    bool sysMenu = (borderIcons_ & biSystemMenu) != 0;
    switch (borderStyle_) {
    case bsNone:
        p.Style |= WS_POPUP;
        sysMenu = false;
        break;
    case bsSingle: p.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        p.Style |= WS_POPUP | WS_CAPTION;
        p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        p.Style |= WS_CAPTION | WS_BORDER;
        p.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        p.Style |= WS_CAPTION | WS_THICKFRAME;
        p.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (sysMenu) p.Style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsNone && borderStyle_ != bsToolWindow &&
        borderStyle_ != bsSizeToolWin) {
        if (borderIcons_ & biMinimize) p.Style |= WS_MINIMIZEBOX;
        if (borderIcons_ & biMaximize) p.Style |= WS_MAXIMIZEBOX;
    }
    if ((borderIcons_ & biHelp) && !(p.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) p.ExStyle |= WS_EX_CONTEXTHELP;
    // Every form is owned by the application window, which carries the
    // program's taskbar button while the main form is shown.
    if (!Enabled()) p.Style |= WS_DISABLED;
    p.WindowClass.style |= CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
    TCustomControl::CreateWnd();
    // The new window gets the menu bar.
    if (menu_) {
        menu_->SetWindowHandle(handle_);
        AlignControls();
    }
}

void TCustomForm::PlaceOnScreen() {
    if (placed_) return;
    placed_ = true;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    TCustomForm* ref = nullptr;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter: SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height()); break;
    case poMainFormCenter: ref = Application ? Application->MainForm() : nullptr; [[fallthrough]];
    case poOwnerFormCenter:
        if (!ref) ref = dynamic_cast<TCustomForm*>(Owner());
        if (ref && ref != this && ref->Visible())
            SetBounds(ref->Left() + (ref->Width() - Width()) / 2, ref->Top() + (ref->Height() - Height()) / 2, Width(),
                      Height());
        else
            SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height());
        break;
    default: break;
    }
}

void TCustomForm::SetVisible(bool v) { TCustomControl::SetVisible(v); }

void TCustomForm::Show() {
    SetVisible(true);
    if (handle_) BringWindowToTop(handle_);
}

bool TCustomForm::Showing() const { return Visible() && handle_ && IsWindowVisible(handle_); }

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (modal_) {
        // Through SetModalResult: a close sent from another thread wakes the
        // loop too.
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = (Application && Application->MainForm() == this) ? caFree : caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

void TCustomForm::Release() {
    if (handle_) PostMessageA(handle_, CM_RELEASE, 0, 0);
}

namespace {
struct DisabledWindows {
    HWND except;
    std::vector<HWND> list;
};
BOOL CALLBACK DisableOne(HWND h, LPARAM lp) {
    auto* d = reinterpret_cast<DisabledWindows*>(lp);
    if (h != d->except && IsWindowVisible(h) && IsWindowEnabled(h)) {
        d->list.push_back(h);
        EnableWindow(h, FALSE);
    }
    return TRUE;
}
}  // namespace

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    HWND previous = GetActiveWindow();
    modal_ = true;
    modalResult_ = mrNone;
    DisabledWindows disabled{Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    auto restore = [&]() {
        for (HWND h : disabled.list)
            if (IsWindow(h)) EnableWindow(h, TRUE);
        // The window the dialog was shown over takes the activation back
        // before the dialog hides, as a message box hands it to its owner: a
        // dialog hidden while active leaves the system to pick the next
        // window in Z order, which may be another program's. Only while this
        // thread is in front: a window made active in a thread that is not
        // keeps its title grey, and under Wine a click on it then no longer
        // brings it to the front.
        const HWND front = GetForegroundWindow();
        if (front && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId() && previous &&
            IsWindow(previous) && IsWindowVisible(previous))
            SetActiveWindow(previous);
        if (Visible()) Hide();
        modal_ = false;
    };
    try {
        Show();
        do {
            Application->HandleMessage();
            if (Application->Terminated()) {
                modalResult_ = mrCancel;
            } else if (modalResult_ != mrNone) {
                TCloseAction action = caHide;
                if (!CloseQuery()) {
                    modalResult_ = mrNone;
                } else {
                    DoClose(action);
                    if (action == caNone) modalResult_ = mrNone;
                }
            }
        } while (modalResult_ == mrNone);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return modalResult_;
}

void TCustomForm::SetModalResult(TModalResult v) {
    modalResult_ = v;
    // A result set while handling a message sent from another thread (a
    // button clicked with BM_CLICK) leaves the queue empty: wake the modal
    // loop, or it waits for the next input before it sees the result.
    if (modal_ && handle_ && v != mrNone) PostMessageA(handle_, WM_NULL, 0, 0);
}

void TCustomForm::SetActiveControl(TWinControl* c) {
    activeControl_ = c;
    if (c && active_ && handle_ && c->CanFocus()) ::SetFocus(c->Handle());
}

void TCustomForm::FocusControl(TWinControl* c) {
    activeControl_ = c;
    if (c && handle_ && (active_ || GetActiveWindow() == handle_) && c->CanFocus()) ::SetFocus(c->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* c) {
    if (c == focusedControl_) return;
    TWinControl* old = focusedControl_;
    focusedControl_ = c;
    activeControl_ = c;
    if (Screen) Screen->SetActiveControl(c);
    if (old) old->Perform(CM_EXIT);
    if (c) c->Perform(CM_ENTER);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(c));
}

void TCustomForm::ControlRemoved(TControl* c) {
    auto inside = [c](const TControl* x) {
        for (; x; x = x->Parent())
            if (x == c) return true;
        return false;
    };
    if (inside(activeControl_)) activeControl_ = nullptr;
    if (inside(focusedControl_)) focusedControl_ = nullptr;
    if (Screen && inside(Screen->ActiveControl())) Screen->SetActiveControl(nullptr);
}

void TCustomForm::SetMenu(TMainMenu* m) {
    if (m == menu_) return;
    if (TMainMenu* old = menu_) {
        menu_ = nullptr;
        if (handle_ && GetMenu(handle_) == old->Handle()) ::SetMenu(handle_, nullptr);
        old->window_ = nullptr;
        old->form_ = nullptr;
    }
    if (m) {
        // A menu bar sits on one form at a time.
        if (m->form_ && m->form_ != this) m->form_->SetMenu(nullptr);
        menu_ = m;
        m->Attach(this);
        if (handle_) m->SetWindowHandle(handle_);
    }
    if (handle_) {
        DrawMenuBar(handle_);
        AlignControls();
    }
}

void TCustomForm::SetWindowFocus() {
    if (!activeControl_ || !activeControl_->CanFocus()) activeControl_ = FindNextControl(nullptr, true, true, false);
    if (activeControl_ && activeControl_->CanFocus())
        ::SetFocus(activeControl_->Handle());
    else if (handle_)
        ::SetFocus(handle_);
}

bool TCustomForm::HandleMenuMessage(TMessage& m) { return menu_ && menu_->HandleMenuMessage(m); }

void TCustomForm::Paint() {}

// A form shows itself (placed, activated, its focus set) instead of the
// plain window show of a control.
void TCustomForm::VisibleChanged() {
    if (Visible()) {
        HandleNeeded();
        PlaceOnScreen();
        DoShow();
        if (Application && Application->MainForm() == this) Application->MainFormShown(true);
        ShowWindow(handle_, windowState_ == wsMinimized   ? SW_SHOWMINIMIZED
                            : windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                                                          : SW_SHOW);
        SetForegroundWindow(handle_);
        if (GetActiveWindow() == handle_) SetWindowFocus();
    } else if (handle_) {
        DoHide();
        ShowWindow(handle_, SW_HIDE);
        if (Application && Application->MainForm() == this) Application->MainFormShown(false);
    }
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE: Close(); return;
    case WM_DESTROY:
        // The menu bar is the menu object's: it comes off before the system
        // destroys it with the window.
        if (menu_ && menu_->window_) {
            ::SetMenu(menu_->window_, nullptr);
            menu_->window_ = nullptr;
        }
        break;
    case CM_RELEASE: TComponent::Free(this); return;
    case WM_ACTIVATE:
        DefaultHandler(m);
        active_ = LOWORD(m.WParam) != WA_INACTIVE;
        if (active_) {
            if (Screen) Screen->SetActiveForm(this);
            SetWindowFocus();
            if (OnActivate) OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        m.Result = 0;
        return;
    case WM_GETMINMAXINFO: {
        DefaultHandler(m);
        auto* mm = reinterpret_cast<MINMAXINFO*>(m.LParam);
        if (minWidth_) mm->ptMinTrackSize.x = minWidth_;
        if (minHeight_) mm->ptMinTrackSize.y = minHeight_;
        if (maxWidth_) mm->ptMaxTrackSize.x = maxWidth_;
        if (maxHeight_) mm->ptMaxTrackSize.y = maxHeight_;
        return;
    }
    case WM_HELP: {
        // The help of the control that has the focus, else of the nearest
        // parent that has one.
        auto* info = reinterpret_cast<HELPINFO*>(m.LParam);
        TControl* c =
            info && info->iContextType == HELPINFO_WINDOW ? FindControl(static_cast<HWND>(info->hItemHandle)) : nullptr;
        while (c && !c->HelpContext() && c != this) c = c->Parent();
        const int context = c ? c->HelpContext() : HelpContext();
        if (Application && context) Application->HelpContext(context);
        m.Result = 1;
        return;
    }
    case CM_DIALOGKEY:
        if (GetKeyState(VK_MENU) >= 0) {
            TShiftState shift = KeyDataToShiftState(m.LParam);
            switch (m.WParam) {
            case VK_TAB:
                if (!(shift & ssCtrl)) {
                    SelectNext(activeControl_, !(shift & ssShift), true);
                    m.Result = 1;
                    return;
                }
                break;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (activeControl_) {
                    SelectNext(activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
                    m.Result = 1;
                    return;
                }
                break;
            }
        }
        break;
    }
    TCustomControl::WndProc(m);
}

}  // namespace ui
