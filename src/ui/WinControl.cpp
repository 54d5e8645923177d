#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <map>
#include <typeindex>
#include <type_traits>
#include <typeinfo>

#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/DragDrop.h"
#include "ui/Form.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace ui {

namespace {

// The window being created on this thread: bound to the first message its
// window receives (for top-level windows that is WM_GETMINMAXINFO, before
// WM_NCCREATE).
thread_local TWinControl* tCreating = nullptr;

const char* kPropName = "VskControl";

ATOM PropAtom() {
    static ATOM atom = GlobalAddAtomA(kPropName);
    return atom;
}

// Window classes are named after the C++ class: "ui::TPanel" -> "TPanel", as
// other programs and tools see it. A second class of the same short name in
// another namespace gets its full name ("app.TPanel"), so the two never
// share one window class.
std::string WindowClassNameOf(const TObject* o) {
    static std::map<std::string, std::type_index> owners;  // short name -> the class that has it
    const std::type_info& type = typeid(*o);
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> d(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    std::string full = (status == 0 && d) ? d.get() : type.name();
    auto p = full.rfind("::");
    std::string shortName = p == std::string::npos ? full : full.substr(p + 2);
    auto [it, added] = owners.try_emplace(shortName, std::type_index(type));
    if (added || it->second == std::type_index(type)) return shortName;
    for (size_t at; (at = full.find("::")) != std::string::npos;) full.replace(at, 2, ".");
    return full;
}

}  // namespace

TWinControl* TWinControl::FindControl(HWND h) {
    if (!h) return nullptr;
    // Another program of this library marks its windows too (WindowFromPoint
    // finds them); its pointers mean nothing here.
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId()) return nullptr;
    return static_cast<TWinControl*>(GetPropA(h, MAKEINTATOM(PropAtom())));
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    // A window procedure runs in the window's own thread: no process check.
    auto* c = static_cast<TWinControl*>(GetPropA(h, MAKEINTATOM(PropAtom())));
    if (!c) {
        c = tCreating;
        if (!c) return DefWindowProcA(h, msg, wp, lp);
        tCreating = nullptr;
        c->Bind(h);
    }
    TMessage m{msg, wp, lp, 0};
    try {
        c->WindowProc(m);
    } catch (...) {
        // No exception crosses a window procedure.
        if (Application) Application->HandleException(c);
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(h, MAKEINTATOM(PropAtom()));
        if (c->handle_ == h) c->handle_ = nullptr;
    }
    return m.Result;
}

void TWinControl::Bind(HWND h) {
    handle_ = h;
    SetPropA(h, MAKEINTATOM(PropAtom()), this);
}

// ---------------------------------------------------------------- life

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetColor(clBtnFace);
}

TWinControl::~TWinControl() {
    // Only reached without Free (a plain delete): the overrides of Destroying
    // did not run, so the parent is left and the window goes here, while the
    // object is still a TWinControl.
    if (Parent()) Parent()->RemoveControl(this);
    DestroyHandle();
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        TComponent::Free(c);
    }
}

void TWinControl::Destroying() {
    TControl::Destroying();
    // The window first, while the whole object can still take its
    // WM_DESTROY; then the child controls, which are freed with their parent.
    DestroyHandle();
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        TComponent::Free(c);
    }
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = text_;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle() & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
    if (Visible()) p.Style |= WS_VISIBLE;
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    p.WndParent = Parent() ? Parent()->Handle() : nullptr;
    p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    p.WindowClass.lpfnWndProc = DefWindowProcA;
    p.WindowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    p.WindowClass.hbrBackground = nullptr;
    p.WinClassName = WindowClassNameOf(this);
}

void TWinControl::CreateSubClass(TCreateParams& p, const char* ControlClassName) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, ControlClassName, &wc) &&
        !GetClassInfoA(GetModuleHandleA(nullptr), ControlClassName, &wc))
        throw EOutOfResources(std::string("Window class not found: ") + ControlClassName);
    p.WindowClass = wc;
    // The class of our own name keeps the standard control's procedure as
    // the default handler.
    p.WindowClass.style &= ~(CS_GLOBALCLASS);
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    if ((p.Style & WS_CHILD) && !p.WndParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    defWndProc_ = p.WindowClass.lpfnWndProc;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (!GetClassInfoA(inst, p.WinClassName.c_str(), &existing) ||
        existing.lpfnWndProc != &TWinControl::StaticWndProc) {
        if (existing.lpfnWndProc) UnregisterClassA(p.WinClassName.c_str(), inst);
        WNDCLASSA wc = p.WindowClass;
        wc.lpfnWndProc = &TWinControl::StaticWndProc;
        wc.hInstance = inst;
        wc.lpszClassName = p.WinClassName.c_str();
        if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register window class " + p.WinClassName);
    }
    TWinControl* outer = tCreating;
    tCreating = this;
    CreateWindowHandle(p);
    tCreating = outer;
    if (!handle_) {
        DWORD err = GetLastError();
        throw EOutOfResources("Error creating window (" + std::to_string(err) + ")");
    }
    if (!defWndProc_) defWndProc_ = DefWindowProcA;
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
    HWND h = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                             p.WndParent, nullptr, GetModuleHandleA(nullptr), p.Param);
    if (h && !handle_) Bind(h);
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    CreateWnd();
    if (pendingClient_.x >= 0) {
        const TPoint client = pendingClient_;
        pendingClient_ = Point(-1, -1);
        if (Width() == pendingOuter_.x && Height() == pendingOuter_.y) SetClientSize(client.x, client.y);
    }
    // Children get their windows in Z order, so the list order holds.
    std::vector<TControl*> copy = controls_;
    for (TControl* c : copy)
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            w->CreateHandle();
            SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    AlignControls();
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (Parent()) Parent()->HandleNeeded();
    if (!handle_) CreateHandle();
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::DestroyWnd() {
    text_ = GetText();
    DestroyWindow(handle_);
}

void TWinControl::DestroyHandle() {
    if (!handle_ || destroyingHandle_) return;
    destroyingHandle_ = true;
    DestroyWnd();
    destroyingHandle_ = false;
    handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    DestroyHandle();
    CreateHandle();
}

// ---------------------------------------------------------------- children

void TWinControl::InsertControl(TControl* c) {
    c->parent_ = this;
    controls_.push_back(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        tabList_.push_back(w);
        if (handle_) {
            if (w->handle_)
                ::SetParent(w->handle_, handle_);
            else
                w->CreateHandle();
        }
    }
    if (!c->HasState(csLoading)) {
        if (c->ParentColor()) c->Perform(CM_PARENTCOLORCHANGED);
        if (c->ParentFont()) c->Perform(CM_PARENTFONTCHANGED);
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->ParentCtl3D()) w->Perform(CM_PARENTCTL3DCHANGED);
        if (c->ParentShowHint()) c->Perform(CM_PARENTSHOWHINTCHANGED);
        if (c->ParentBiDiMode()) c->Perform(CM_PARENTBIDIMODECHANGED);
    }
    c->Invalidate();
    AlignControls();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), TRUE);
}

void TWinControl::RemoveControl(TControl* c) {
    InvalidateUncovered(c);
    if (TCustomForm* form = GetParentForm(); form && !form->HasState(csDestroying)) form->ControlRemoved(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
        // A child window cannot outlive its parent's: it goes now and comes
        // back when the control gets a new parent.
        w->DestroyHandle();
    }
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    c->parent_ = nullptr;
    if (GetCaptureControl() == c) SetCaptureControl(nullptr);
    AlignControls();
    // A parent on its way out hears nothing more (its children go with it).
    if (!HasState(csDestroying)) Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), FALSE);
}

void TWinControl::SetParent(TWinControl* p) { TControl::SetParent(p); }

TControl* TWinControl::ControlAtPos(TPoint p, bool AllowDisabled, bool AllowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        bool isWin = dynamic_cast<TWinControl*>(c) != nullptr;
        if (isWin && !AllowWinControls) continue;
        if (!c->Visible() || (!c->Enabled() && !AllowDisabled)) continue;
        if (PtInRect(c->BoundsRect(), p)) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
    std::vector<TControl*> copy = controls_;
    for (TControl* c : copy) {
        c->WindowProc(m);
        if (m.Result != 0) return;
    }
}

// ---------------------------------------------------------------- geometry

bool TWinControl::Showing() const {
    if (handle_) return IsWindowVisible(handle_) != FALSE;
    return TControl::Showing();
}

void TWinControl::SetBounds(int l, int t, int w, int h) {
    const bool sized = std::max(w, 0) != Width() || std::max(h, 0) != Height();
    TControl::SetBounds(l, t, w, h);
    // WM_WINDOWPOSCHANGED sees the new size already stored: the aligned
    // children follow from here.
    if (sized) AlignControls();
}

void TWinControl::UpdateBoundsRect(const TRect& r) {
    if (handle_)
        SetWindowPos(handle_, nullptr, r.left, r.top, RectWidth(r), RectHeight(r), SWP_NOZORDER | SWP_NOACTIVATE);
}

TRect TWinControl::ClientRect() {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

void TWinControl::SetClientSize(int w, int h) {
    if (handle_) {
        RECT wr, cr;
        GetWindowRect(handle_, &wr);
        GetClientRect(handle_, &cr);
        SetBounds(Left(), Top(), RectWidth(wr) - cr.right + w, RectHeight(wr) - cr.bottom + h);
        return;
    }
    pendingClient_ = Point(-1, -1);
    // A top-level window's frame follows from the style it will get (a
    // child's parameters would make the parent's window: it waits). A menu
    // bar, or a frame the system draws otherwise, is settled when the window
    // exists.
    RECT r{0, 0, std::max(w, 0), std::max(h, 0)};
    TCreateParams p;
    if (!Parent()) CreateParams(p);
    if (Parent() || !AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle)) r = RECT{0, 0, w, h};
    SetBounds(Left(), Top(), RectWidth(r), RectHeight(r));
    pendingClient_ = Point(w, h);
    pendingOuter_ = Point(Width(), Height());
}

void TWinControl::EnableAlign() {
    if (alignLevel_ > 0 && --alignLevel_ == 0) AlignControls();
}

void TWinControl::AlignControl(TControl*) { AlignControls(); }

void TWinControl::AlignControls() {
    if (alignLevel_ > 0 || HasState(csLoading) || HasState(csDestroying)) return;
    ++alignLevel_;
    TRect r = ClientRect();
    AdjustClientRect(r);
    AnchorControls(ClientRect());
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : controls_) {
            // A hidden control that fills the rest is sized with it all the
            // same: it takes no room from the others, and what it holds is
            // laid out when it shows.
            if (c->Align() != a || (!c->Visible() && a != alClient)) continue;
            int w = c->Width(), h = c->Height();
            switch (a) {
            case alTop:
                c->SetBounds(r.left, r.top, RectWidth(r), h);
                r.top += h;
                break;
            case alBottom:
                c->SetBounds(r.left, r.bottom - h, RectWidth(r), h);
                r.bottom -= h;
                break;
            case alLeft:
                c->SetBounds(r.left, r.top, w, RectHeight(r));
                r.left += w;
                break;
            case alRight:
                c->SetBounds(r.right - w, r.top, w, RectHeight(r));
                r.right -= w;
                break;
            case alClient: c->SetBounds(r.left, r.top, RectWidth(r), RectHeight(r)); break;
            default: break;
            }
        }
    }
    --alignLevel_;
}

void TWinControl::AnchorControls(const TRect& r) {
    const int width = RectWidth(r), height = RectHeight(r);
    anchoring_ = true;
    for (TControl* c : controls_) {
        const TAnchors a = c->anchors_;
        if (c->Align() != alNone || a == (akLeft | akTop) || c->anchorParentSize_.x < 0) continue;
        // Each axis: the near edge kept, the far edge kept, both (stretched)
        // or neither (the middle kept).
        auto place = [](bool nearEdge, bool farEdge, int grown, int& pos, int& size) {
            if (farEdge && nearEdge)
                size = std::max(size + grown, 0);
            else if (farEdge)
                pos += grown;
            else if (!nearEdge)
                pos += grown / 2;
        };
        const TRect& b = c->anchorBounds_;
        int left = b.left, top = b.top, w = RectWidth(b), h = RectHeight(b);
        place(a & akLeft, a & akRight, width - c->anchorParentSize_.x, left, w);
        place(a & akTop, a & akBottom, height - c->anchorParentSize_.y, top, h);
        c->SetBounds(left, top, w, h);
    }
    anchoring_ = false;
}

void TWinControl::UpdateAnchorRulesInside() {
    for (TControl* c : controls_) {
        c->UpdateAnchorRules();
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateAnchorRulesInside();
    }
}

// Goes through WindowProc, so that whoever took over the control learns that
// a repaint is on its way; the window is marked in the default handling.
void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

// ---------------------------------------------------------------- focus

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() {
    TCustomForm* form = GetParentForm();
    if (!form) return false;
    for (TControl* c = this; c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return form->Visible() && form->Enabled();
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(); form && form != this)
        form->FocusControl(this);
    else if (HandleAllocated() || Parent())
        ::SetFocus(Handle());
}

void TWinControl::SetTabStop(bool v) {
    if (v == tabStop_) return;
    tabStop_ = v;
    if (handle_) {
        LONG_PTR s = GetWindowLongPtrA(handle_, GWL_STYLE);
        SetWindowLongPtrA(handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
    }
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    auto& v = Parent()->tabList_;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (!Parent()) return;
    auto& l = Parent()->tabList_;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    v = std::clamp(v, 0, static_cast<int>(l.size()));
    l.insert(l.begin() + v, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool GoForward, bool CheckTabStop, bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), cur);
    int start = it == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == cur) break;
        if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(cur, GoForward, CheckTabStop, false)) c->SetFocus();
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// ---------------------------------------------------------------- keyboard

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

template <class T, class F> bool TWinControl::DoKey(TMessage& m, bool (TWinControl::*preview)(TMessage&), F handle) {
    TCustomForm* form = GetParentForm();
    if (form && form != this && form->KeyPreview() && (form->*preview)(m)) return true;
    T key = static_cast<T>(m.WParam);
    handle(key);
    m.WParam = static_cast<std::make_unsigned_t<T>>(key);
    return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& m) {
    return DoKey<WORD>(m, &TWinControl::DoKeyDown, [&](WORD& k) { KeyDown(k, KeyDataToShiftState(m.LParam)); });
}

bool TWinControl::DoKeyUp(TMessage& m) {
    return DoKey<WORD>(m, &TWinControl::DoKeyUp, [&](WORD& k) { KeyUp(k, KeyDataToShiftState(m.LParam)); });
}

bool TWinControl::DoKeyPress(TMessage& m) {
    return DoKey<char>(m, &TWinControl::DoKeyPress, [&](char& c) { KeyPress(c); });
}

// Keys the application's message loop hands to the focused control before
// translating them (CN_KEYDOWN...). Result 1 means the key was used up. The
// key events themselves run once, from WM_KEYDOWN / WM_KEYUP / WM_CHAR when
// the key is dispatched (where a changed or cleared key reaches the window).
bool TWinControl::HandleKeyboardMsg(TMessage& m) {
    TCustomForm* form = GetParentForm();
    switch (m.Msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
        UINT mask = 0;
        switch (m.WParam) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
        }
        if (mask && !Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) && !(Perform(WM_GETDLGCODE) & mask) && form &&
            form->Perform(CM_DIALOGKEY, m.WParam, m.LParam)) {
            m.Result = 1;
            return true;
        }
        return true;
    }
    case CN_KEYUP: return true;
    case CN_CHAR: {
        // A character the control has no use for may be a button's accelerator.
        if (!(Perform(WM_GETDLGCODE) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL)) && form &&
            form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam))
            m.Result = 1;
        return true;
    }
    case CN_SYSCHAR:
        if (form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam)) m.Result = 1;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- painting

HBRUSH TWinControl::BackgroundBrush() {
    if (!brush_ || brushColor_ != Color()) {
        brushColor_ = Color();
        brush_.Reset(CreateSolidBrush(ColorToRGB(brushColor_)));
    }
    return brush_;
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* First) {
    auto it = controls_.begin();
    if (First) it = std::find(controls_.begin(), controls_.end(), First);
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) return;
    for (; it != controls_.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        TRect b = c->BoundsRect();
        RECT tmp;
        if (!IntersectRect(&tmp, &clip, &b)) continue;
        ScopedSaveDC saved(dc);
        POINT org;
        GetWindowOrgEx(dc, &org);
        SetWindowOrgEx(dc, org.x - b.left, org.y - b.top, nullptr);
        IntersectClipRect(dc, 0, 0, RectWidth(b), RectHeight(b));
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void TWinControl::PaintHandler(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    std::unique_ptr<ScopedPaintDC> paint;
    if (!dc) {
        paint = std::make_unique<ScopedPaintDC>(handle_);
        dc = paint->Get();
    }
    {
        // Opaque graphic children are clipped out so the window does not
        // paint under them first.
        ScopedSaveDC saved(dc);
        for (TControl* c : controls_) {
            if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !(c->ControlStyle() & csOpaque)) continue;
            TRect b = c->BoundsRect();
            ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
        }
        PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
}

void TWinControl::DoubleBufferedPaint() {
    ScopedPaintDC paint(handle_);
    RECT r;
    GetClientRect(handle_, &r);
    ScopedMemDC mem(paint.Get());
    ScopedGdiObject<HBITMAP> bmp(
        CreateCompatibleBitmap(paint.Get(), std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1)));
    if (!mem.Get() || !bmp) return;  // out of GDI resources: nothing drawn this time
    ScopedSelectObject sel(mem.Get(), bmp.Get());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), reinterpret_cast<LPARAM>(mem.Get()));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem.Get()), 0);
    BitBlt(paint.Get(), 0, 0, r.right, r.bottom, mem.Get(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- messages

void TWinControl::ReflectNotification(TMessage& m) {
    HWND child = nullptr;
    switch (m.Msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(m.LParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
    case WM_DRAWITEM: child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_MEASUREITEM: child = GetDlgItem(handle_, reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->CtlID); break;
    case WM_HSCROLL:
    case WM_VSCROLL: child = reinterpret_cast<HWND>(m.LParam); break;
    default: child = reinterpret_cast<HWND>(m.LParam); break;  // WM_CTLCOLOR*
    }
    TWinControl* c = child && child != handle_ ? FindControl(child) : nullptr;
    if (c) {
        m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
    TControl* c = GetCaptureControl();
    if (c && c->Parent() != this) c = nullptr;
    if (!c) {
        TControl* at = ControlAtPos(Point((short)LOWORD(m.LParam), (short)HIWORD(m.LParam)));
        if (at && !dynamic_cast<TWinControl*>(at)) c = at;
    }
    if (!c || dynamic_cast<TWinControl*>(c)) return false;
    int x = (short)LOWORD(m.LParam) - c->Left(), y = (short)HIWORD(m.LParam) - c->Top();
    m.Result = c->Perform(m.Msg, m.WParam, MAKELPARAM(x, y));
    return true;
}

void TWinControl::WndProc(TMessage& m) {
    if (IsClientMouseMessage(m.Msg)) {
        if (m.Msg == WM_MOUSEMOVE) TrackMouse(Point((short)LOWORD(m.LParam), (short)HIWORD(m.LParam)));
        if (IsControlMouseMsg(m)) return;
        if (m.Msg == WM_LBUTTONDOWN && tabStop_ && CanFocus() && !Focused()) SetFocus();
        TControl::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_PAINT:
        if (m.WParam == 0 && doubleBuffered_) {
            DoubleBufferedPaint();
            return;
        }
        if (customPaint_ || std::any_of(controls_.begin(), controls_.end(),
                                        [](TControl* c) { return !dynamic_cast<TWinControl*>(c); })) {
            PaintHandler(m);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (!doubleBuffered_ || m.WParam == static_cast<WPARAM>(m.LParam)) {
            RECT r;
            GetClientRect(handle_, &r);
            FillRect(reinterpret_cast<HDC>(m.WParam), &r, BackgroundBrush());
        }
        m.Result = 1;
        return;
    case WM_COMMAND:
        if (m.LParam == 0) {
            if (HandleMenuMessage(m)) return;
            break;
        }
        ReflectNotification(m);
        return;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->CtlType == ODT_MENU) {
            if (HandleMenuMessage(m)) return;
            break;
        }
        ReflectNotification(m);
        return;
    case WM_MEASUREITEM:
        if (reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->CtlType == ODT_MENU) {
            if (HandleMenuMessage(m)) return;
            break;
        }
        ReflectNotification(m);
        return;
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (m.LParam == 0) break;
        ReflectNotification(m);
        return;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: ReflectNotification(m); return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        m.Result = reinterpret_cast<LRESULT>(BackgroundBrush());
        return;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
    case CN_SYSCHAR:
        if (m.Msg == CN_KEYDOWN && CancelDragByKey(m)) return;
        HandleKeyboardMsg(m);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (CancelDragByKey(m) || DoKeyDown(m)) return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(m)) return;
        break;
    case WM_CHAR:
        if (DoKeyPress(m)) return;
        break;
    case WM_MOUSELEAVE: MouseLeft(); break;
    case WM_SETCURSOR:
        if (SetCursorFor(m)) return;
        break;
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(); form && form != this) form->SetFocusedControl(this);
        break;
    case WM_WINDOWPOSCHANGED: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
        if (!(wp->flags & SWP_NOSIZE) || !(wp->flags & SWP_NOMOVE)) {
            RECT r;
            GetWindowRect(handle_, &r);
            if (HWND p = GetParent(handle_); p && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD))
                MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
            bool sized = RectWidth(r) != Width() || RectHeight(r) != Height();
            left_ = r.left;
            top_ = r.top;
            width_ = RectWidth(r);
            height_ = RectHeight(r);
            if (sized) {
                AlignControls();
                if (!HasState(csLoading)) Resize();
            }
        }
        break;
    }
    case CM_CTL3DCHANGED: Ctl3DChanged(); return;
    case CM_PARENTCTL3DCHANGED:
        if (parentCtl3D_ && Parent() && Parent()->Ctl3D() != ctl3D_) {
            ctl3D_ = Parent()->Ctl3D();
            Perform(CM_CTL3DCHANGED);
        }
        return;
    case CM_SHOWHINTCHANGED: {
        TMessage b{CM_PARENTSHOWHINTCHANGED, 0, 0, 0};
        Broadcast(b);
        break;
    }
    case CM_INVALIDATE:
        // wParam 0: the control itself is to be repainted.
        if (handle_ && m.WParam == 0) InvalidateRect(handle_, nullptr, !(ControlStyle() & csOpaque));
        return;
    case CM_ENTER: DoEnter(); break;
    case CM_EXIT: DoExit(); break;
    case CM_DIALOGKEY: Broadcast(m); return;
    case CM_SYSCOLORCHANGE: {
        Broadcast(m);
        m.Result = 0;
        break;
    }
    }
    TControl::WndProc(m);
}

void TWinControl::EnabledChanged() {
    TControl::EnabledChanged();
    if (handle_) EnableWindow(handle_, Enabled());
}

void TWinControl::VisibleChanged() {
    if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    TMessage b{CM_PARENTCOLORCHANGED, 0, 0, 0};
    Broadcast(b);
}

void TWinControl::BiDiModeChanged() {
    TControl::BiDiModeChanged();
    TMessage b{CM_PARENTBIDIMODECHANGED, 0, 0, 0};
    Broadcast(b);
}

void TWinControl::FontChanged() {
    if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
    TControl::FontChanged();
    TMessage b{CM_PARENTFONTCHANGED, 0, 0, 0};
    Broadcast(b);
}

void TWinControl::FocusChanged(TWinControl* NewFocus) {
    TControl::FocusChanged(NewFocus);
    TMessage b{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(NewFocus), 0};
    Broadcast(b);
}

bool TWinControl::DialogChar(char Key) {
    TMessage b{CM_DIALOGCHAR, static_cast<unsigned char>(Key), 0, 0};
    Broadcast(b);
    return b.Result != 0;
}

void TWinControl::Ctl3DChanged() {
    TMessage b{CM_PARENTCTL3DCHANGED, 0, 0, 0};
    Broadcast(b);
}

void TWinControl::SetCtl3D(bool v) {
    parentCtl3D_ = false;
    if (v == ctl3D_) return;
    ctl3D_ = v;
    Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool v) {
    if (v == parentCtl3D_) return;
    parentCtl3D_ = v;
    if (v && Parent()) Perform(CM_PARENTCTL3DCHANGED);
}

// ---------------------------------------------------------------- hover

// The window system reports when the pointer leaves the window (asked anew
// at each move), also while a menu, a drag or a modal dialog runs its own
// loop; the graphic child under the pointer is found here.
void TWinControl::TrackMouse(TPoint p) {
    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, handle_, 0};
    TrackMouseEvent(&t);
    TControl* target = this;
    if (TControl* g = ControlAtPos(p); g && !dynamic_cast<TWinControl*>(g)) target = g;
    if (Application) Application->SetMouseControl(target);
}

// The Cursor of the control under the pointer in the client area (a graphic
// child's first), else the window class's.
bool TWinControl::SetCursorFor(TMessage& m) {
    if (reinterpret_cast<HWND>(m.WParam) != handle_ || LOWORD(m.LParam) != HTCLIENT) return false;
    POINT p;
    if (!GetCursorPos(&p) || !::ScreenToClient(handle_, &p)) return false;
    HCURSOR c = Cursor();
    if (TControl* g = ControlAtPos(p, true); g && !dynamic_cast<TWinControl*>(g) && g->Cursor()) c = g->Cursor();
    if (!c) return false;
    ::SetCursor(c);
    m.Result = TRUE;
    return true;
}

// Esc in the focused control ends a drag without a drop.
bool TWinControl::CancelDragByKey(TMessage& m) {
    if (m.WParam != VK_ESCAPE || !IsDragging()) return false;
    CancelDrag();
    m.Result = 1;
    return true;
}

void TWinControl::MouseLeft() {
    if (!Application) return;
    TControl* c = Application->MouseControl();
    if (c == this || (c && c->Parent() == this && !dynamic_cast<TWinControl*>(c)))
        Application->SetMouseControl(nullptr);
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_) return;
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) return;  // our own messages stop here
    m.Result = CallWindowProcA(defWndProc_ ? defWndProc_ : DefWindowProcA, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::SetTextBuf(const std::string& s) {
    text_ = s;
    if (handle_) SetWindowTextA(handle_, s.c_str());
}

std::string TWinControl::GetText() {
    if (!handle_) return text_;
    int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

}  // namespace ui
