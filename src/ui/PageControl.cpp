#include "ui/PageControl.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/Form.h"
#include "ui/ImageList.h"

namespace ui {

namespace {

void InitTabClasses() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES};
    done = InitCommonControlsEx(&icc) != FALSE;
}

}  // namespace

// ================================================================ TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    SetAlign(alClient);
    TControl::SetVisible(false);
}

TTabSheet::~TTabSheet() { LeavePageControl(); }

void TTabSheet::Destroying() {
    LeavePageControl();
    TWinControl::Destroying();
}

void TTabSheet::LeavePageControl() {
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (Value == pageControl_) return;
    LeavePageControl();
    TWinControl::SetParent(Value);
    if (Value) Value->InsertPage(this);
}

void TTabSheet::SetParent(TWinControl* p) {
    if (auto* pc = dynamic_cast<TPageControl*>(p)) {
        SetPageControl(pc);
        return;
    }
    LeavePageControl();
    TWinControl::SetParent(p);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& v = pageControl_->pages_;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!pageControl_) return;
    auto& v = pageControl_->pages_;
    Value = std::clamp(Value, 0, static_cast<int>(v.size()) - 1);
    int cur = PageIndex();
    if (Value == cur) return;
    v.erase(v.begin() + cur);
    v.insert(v.begin() + Value, this);
    pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!pageControl_ || !tabVisible_) return -1;
    int i = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this) return i;
        if (p->tabVisible_) ++i;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == tabVisible_) return;
    tabVisible_ = Value;
    if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value) {
    if (Value == imageIndex_) return;
    imageIndex_ = Value;
    if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::DoShow() {
    if (OnShow) OnShow(this);
}

void TTabSheet::DoHide() {
    if (OnHide) OnHide(this);
}

void TTabSheet::TextChanged() {
    TWinControl::TextChanged();
    if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::VisibleChanged() {
    TWinControl::VisibleChanged();
    if (Visible())
        DoShow();
    else
        DoHide();
}

// ================================================================ TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(Left(), Top(), 289, 193);
    SetTabStop(true);
    images_ = std::make_unique<TImageListLink>(this, TNotifyEvent(this, &TPageControl::ImageListChange));
}

TPageControl::~TPageControl() {
    // Pages still here (a plain delete) must not call back into a control
    // that is half gone.
    for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
    pages_.clear();
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return pages_[static_cast<size_t>(Index)];
}

void TPageControl::CreateParams(TCreateParams& p) {
    InitTabClasses();
    TWinControl::CreateParams(p);
    CreateSubClass(p, WC_TABCONTROLA);
    p.Style |= WS_CLIPCHILDREN;
    if (style_ == tsButtons)
        p.Style |= TCS_BUTTONS;
    else if (style_ == tsFlatButtons)
        p.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TPageControl::CreateWnd() {
    TWinControl::CreateWnd();
    if (Images()) SendMessageA(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images()->Handle()));
    UpdateTabs();
}

void TPageControl::SetStyle(TTabStyle Value) {
    if (Value == style_) return;
    style_ = Value;
    RecreateWnd();
}

TCustomImageList* TPageControl::Images() const { return images_->Images(); }

void TPageControl::SetImages(TCustomImageList* Value) {
    if (images_->Attach(Value)) ImageListChange(nullptr);
}

void TPageControl::ImageListChange(TObject*) {
    if (!handle_) return;
    SendMessageA(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images() ? Images()->Handle() : nullptr));
    UpdateTabs();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (images_->ListFreed(AComponent, Operation) && handle_) SendMessageA(handle_, TCM_SETIMAGELIST, 0, 0);
}

// ---------------------------------------------------------------- pages

void TPageControl::InsertPage(TTabSheet* Page) {
    pages_.push_back(Page);
    Page->pageControl_ = this;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto it = std::find(pages_.begin(), pages_.end(), Page);
    if (it == pages_.end()) return;
    const bool closing = HasState(csDestroying);
    TTabSheet* next = nullptr;
    if (Page == activePage_ && !closing) {
        next = FindNextPage(Page, true, true);
        if (next == Page) next = nullptr;
    }
    pages_.erase(it);
    Page->pageControl_ = nullptr;
    if (Page == activePage_) {
        activePage_ = nullptr;
        if (next) ChangeActivePage(next);
    }
    if (!closing) UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->pageControl_ != this) return;
    ChangeActivePage(Page);
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? pages_[static_cast<size_t>(Value)] : nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
    if (Page == activePage_) return;
    TTabSheet* old = activePage_;
    // The focus must not stay on a control that is about to be hidden.
    if (old && old->HandleAllocated() && handle_) {
        HWND focus = GetFocus();
        if (focus && (focus == old->Handle() || IsChild(old->Handle(), focus))) ::SetFocus(handle_);
    }
    activePage_ = Page;  // OnShow and OnHide see the new active page
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (old) old->SetVisible(false);
    if (handle_) SendMessageA(handle_, TCM_SETCURSEL, static_cast<WPARAM>(Page ? Page->TabIndex() : -1), 0);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const {
    const int n = PageCount();
    if (n == 0) return nullptr;
    auto it = std::find(pages_.begin(), pages_.end(), CurPage);
    int start = it == pages_.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - pages_.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* p = pages_[static_cast<size_t>(i)];
        if (!CheckTabVisible || p->tabVisible_) return p;
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* page = FindNextPage(activePage_, GoForward, CheckTabVisible);
    if (page && page != activePage_ && CanChange()) {
        ChangeActivePage(page);
        Change();
    }
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    if (OnChange) OnChange(this);
}

TTabSheet* TPageControl::PageForTab(int TabIndex) const {
    if (TabIndex < 0) return nullptr;
    for (TTabSheet* p : pages_)
        if (p->tabVisible_ && TabIndex-- == 0) return p;
    return nullptr;
}

// ---------------------------------------------------------------- tabs

// The tab control holds one tab per page whose tab is visible, in page
// order; it is filled again whenever pages or their tabs change.
void TPageControl::UpdateTabs() {
    if (!handle_ || HasState(csDestroying)) return;
    SendMessageA(handle_, TCM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (TTabSheet* p : pages_) {
        if (!p->tabVisible_) continue;
        std::string caption = p->Caption();
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        item.pszText = caption.data();
        item.iImage = p->imageIndex_;
        item.lParam = reinterpret_cast<LPARAM>(p);
        SendMessageA(handle_, TCM_INSERTITEMA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(handle_, TCM_SETCURSEL, static_cast<WPARAM>(activePage_ ? activePage_->TabIndex() : -1), 0);
    // The number of tab rows, and with it the display area, may have changed.
    AlignControls();
}

TRect TPageControl::DisplayRect() {
    TRect r = ClientRect();
    AdjustClientRect(r);
    return r;
}

void TPageControl::AdjustClientRect(TRect& r) {
    if (!handle_) return;
    // Button styles without a single tab leave the whole area to the pages.
    if (style_ != tsTabs && SendMessageA(handle_, TCM_GETITEMCOUNT, 0, 0) == 0) return;
    SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
}

int TPageControl::IndexOfTabAt(int X, int Y) {
    if (!handle_) return -1;
    TCHITTESTINFO hit{};
    hit.pt = Point(X, Y);
    return static_cast<int>(SendMessageA(handle_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

// ---------------------------------------------------------------- messages

void TPageControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
        if (nm->code == static_cast<UINT>(TCN_SELCHANGING)) {
            m.Result = CanChange() ? FALSE : TRUE;
            return;
        }
        if (nm->code == static_cast<UINT>(TCN_SELCHANGE)) {
            int tab = static_cast<int>(SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
            ChangeActivePage(PageForTab(tab));
            Change();
            return;
        }
        break;
    }
    case CM_DIALOGKEY:
        // Ctrl+Tab and Ctrl+Shift+Tab page through while the focus is inside.
        if (m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && handle_ &&
            (GetFocus() == handle_ || IsChild(handle_, GetFocus()))) {
            SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
            m.Result = 1;
            return;
        }
        break;
    }
    TWinControl::WndProc(m);
}

}  // namespace ui
