#pragma once
// TPageControl: the system's tab control ("SysTabControl32") holding pages,
// TTabSheet windows of which only the active one is visible. Each page fills
// the display area inside the tabs (alClient against the tab control's
// adjusted rectangle); a page whose tab is hidden keeps its place in the
// page order and can still be made active in code.
#include <memory>
#include <vector>

#include "ui/Control.h"

namespace ui {

class TChangeLink;
class TImageListLink;
class TCustomImageList;
class TPageControl;

enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

using TTabChangingEvent = Event<void(TObject* Sender, bool& AllowChange)>;

class TTabSheet : public TWinControl {
public:
    // A new page is hidden until it becomes the active page.
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return pageControl_; }
    // Moves the page to another page control (null: to none); the page's
    // parent follows.
    void SetPageControl(TPageControl* Value);
    // A TPageControl as parent is the same as SetPageControl.
    void SetParent(TWinControl* p) override;

    // Position among the page control's pages (-1 without one).
    int PageIndex() const;
    void SetPageIndex(int Value);
    // Position among the visible tabs (-1 when the tab is hidden).
    int TabIndex() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);

    // Raised when the page is made visible / hidden (becomes or stops being
    // the active page).
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void TextChanged() override;
    void VisibleChanged() override;
    void Destroying() override;
    virtual void DoShow();
    virtual void DoHide();

private:
    friend class TPageControl;
    void LeavePageControl();

    TPageControl* pageControl_ = nullptr;  // not owned
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Raises EListError "List index out of bounds" for a bad index.
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    // Shows Page (one of this control's, or null for none) and hides the
    // page shown before. Changing pages in code raises no OnChanging or
    // OnChange.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }
    void SetActivePageIndex(int Value);
    // The page after (before) CurPage in page order, wrapping round; with
    // CheckTabVisible only pages whose tab shows. Null when there is none.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // Moves to the next page as the user would (Ctrl+Tab): OnChanging may
    // refuse, OnChange follows.
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

    TTabStyle Style() const { return style_; }
    void SetStyle(TTabStyle Value);
    TCustomImageList* Images() const;
    void SetImages(TCustomImageList* Value);
    // Where the pages are shown, in client coordinates.
    TRect DisplayRect();
    // The visible tab at client point (X, Y), or -1.
    int IndexOfTabAt(int X, int Y);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    void AdjustClientRect(TRect& r) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanChange();
    virtual void Change();

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ChangeActivePage(TTabSheet* Page);
    TTabSheet* PageForTab(int TabIndex) const;
    void UpdateTabs();
    void ImageListChange(TObject* Sender);

    std::vector<TTabSheet*> pages_;    // not owned: the pages are children
    TTabSheet* activePage_ = nullptr;  // not owned
    TTabStyle style_ = tsTabs;
    std::unique_ptr<TImageListLink> images_;
};

}  // namespace ui
