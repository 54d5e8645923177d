#pragma once
// Tool bars and control bars.
//
// TToolBar is a window of our own that lays out and paints its TToolButtons
// (graphic children) itself, rather than a wrapper of the system's tool-bar
// control: the buttons are real components with bounds that painters and
// the program read directly, every state (hot, pressed, checked...) is ours
// to report to OnCustomDrawButton, and the pixels do not depend on which
// version of the common controls happens to be loaded.
//
// TControlBar gives each of its child controls a band: the control's bounds
// with a grab area at its left, painted through OnBandPaint.
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Event.h"

namespace ui {

class TCustomImageList;
class TImageListLink;
class TMenuItem;
class TPopupMenu;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// States a tool button is drawn in.
enum TCustomDrawStateFlag : unsigned {
    cdsSelected = 1u << 0,  // pressed
    cdsGrayed = 1u << 1,
    cdsDisabled = 1u << 2,
    cdsChecked = 1u << 3,
    cdsFocused = 1u << 4,
    cdsDefault = 1u << 5,
    cdsHot = 1u << 6,
    cdsMarked = 1u << 7,
    cdsIndeterminate = 1u << 8,
};
using TCustomDrawState = unsigned;

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;

    // The tool bar the button sits on (its parent), or null.
    TToolBar* ToolBar() const;
    // Position among the tool bar's buttons; -1 when on none.
    int Index() const;

    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    // Pressed in: a checked check button, or set by the program.
    bool Down() const { return down_; }
    void SetDown(bool v);
    bool Indeterminate() const { return indeterminate_; }
    void SetIndeterminate(bool v);
    // Clicking the button clicks the item.
    TMenuItem* MenuItem() const { return menuItem_; }
    void SetMenuItem(TMenuItem* v);
    // Shown under a drop-down button when its arrow is clicked.
    TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* v);

    // The mouse is over the button on a flat tool bar.
    bool Hot() const;
    // The left button went down on it and the pointer is still over it.
    bool Pressed() const { return pressed_ && inside_; }

    void Click() override;
    void Invalidate() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void TextChanged() override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    // The tool bar paints its buttons; a button paints nothing itself.
    void Paint() override {}

private:
    void Changed(bool Relayout);
    void SetPressed(bool Pressed, bool Inside);

    TToolButtonStyle style_ = tbsButton;
    int imageIndex_ = -1;
    bool down_ = false;
    bool indeterminate_ = false;
    bool pressed_ = false;
    bool inside_ = false;
    bool arrowPressed_ = false;
    TMenuItem* menuItem_ = nullptr;       // not owned
    TPopupMenu* dropdownMenu_ = nullptr;  // not owned
};

class TToolBar;
using TTBCustomDrawBtnEvent =
    Event<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TToolButton* Buttons(int i) const { return buttons_.at(static_cast<size_t>(i)); }
    int IndexOf(const TToolButton* b) const;

    TCustomImageList* Images() const;
    void SetImages(TCustomImageList* v);
    TCustomImageList* HotImages() const;
    void SetHotImages(TCustomImageList* v);
    TCustomImageList* DisabledImages() const;
    void SetDisabledImages(TCustomImageList* v);
    // The list a button's image comes from in State: HotImages when hot,
    // DisabledImages when disabled, each only when it holds the button's
    // image; else Images. Null when none holds it.
    TCustomImageList* ImagesFor(const TToolButton* b, TCustomDrawState State) const;

    // Captions beside the images instead of under them.
    bool List() const { return list_; }
    void SetList(bool v);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v);
    // The parent's background shows through instead of Color.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Buttons without edges that light up under the mouse.
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonSize(int Width, int Height);

    // The button under the mouse (flat bars only), or null.
    TToolButton* HotButton() const { return hot_; }
    // How many times the bar was painted (diagnostics and tests).
    int PaintCount() const { return paintCount_; }

    // Places the buttons again, left to right (after sizes or captions
    // changed).
    void ArrangeButtons();

    // Called for every button that is not a separator; clear DefaultDraw to
    // draw the button yourself on Canvas (tool bar coordinates).
    TTBCustomDrawBtnEvent OnCustomDrawButton;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Destroying() override;
    void ControlListChanged(TControl* Child, bool Inserted) override;
    void WndProc(TMessage& m) override;
    void Paint() override;

private:
    friend class TToolButton;
    void ImageListChange(TObject*);
    void SetHot(TToolButton* b);
    TSize ButtonSize(TToolButton* b);
    void DefaultDrawButton(TToolButton* b, TCustomDrawState State);
    void DrawSeparator(TToolButton* b);
    TCustomDrawState StateOf(TToolButton* b) const;

    std::vector<TToolButton*> buttons_;  // not owned: our children in order
    std::unique_ptr<TImageListLink> images_;
    std::unique_ptr<TImageListLink> hotImages_;
    std::unique_ptr<TImageListLink> disabledImages_;
    TToolButton* hot_ = nullptr;  // not owned
    bool list_ = false, showCaptions_ = false, transparent_ = false, flat_ = false;
    int buttonWidth_ = 23, buttonHeight_ = 22;
    int paintCount_ = 0;
};

enum TBandPaintOption : unsigned { bpoGrabber = 1u << 0, bpoFrame = 1u << 1 };
using TBandPaintOptions = unsigned;

class TControlBar;
using TBandPaintEvent =
    Event<void(TObject* Sender, TControl* Control, TCanvas* Canvas, TRect& ARect, TBandPaintOptions& Options)>;

class TControlBar : public TCustomControl {
public:
    // Grab area left of a band's control, and the margin around it.
    static constexpr int GrabWidth = 11;
    static constexpr int BandMargin = 2;

    explicit TControlBar(TComponent* AOwner);

    // The band of a child control, in the bar's client coordinates.
    static TRect BandRect(const TControl* Control);
    int PaintCount() const { return paintCount_; }

    // Called for the band of every visible child; ARect may be changed and
    // Options cleared of what should not be drawn by default.
    TBandPaintEvent OnBandPaint;

protected:
    void ControlListChanged(TControl* Child, bool Inserted) override;
    void Paint() override;

private:
    int paintCount_ = 0;
};

}  // namespace ui
