#pragma once
// The standard controls: labels, edits, push buttons, check boxes, radio
// buttons, group boxes, panels and images.
//
// Edits and buttons are the system's own EDIT and BUTTON windows,
// superclassed (CreateSubClass) so that every message passes through the
// library first; their notifications come back to them reflected (CN_COMMAND).
// Labels and images have no window of their own: they paint on their parent.
// Panels paint themselves on a canvas.
#include <memory>
#include <string>
#include <vector>

#include "ui/Bordered.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace ui {

class TPicture;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
// Where a check box or radio button puts its box: at the right when the
// caption is aligned to the reading start (left aligned reading left to
// right, right aligned reading right to left).
inline bool BoxAtRight(TBiDiMode Mode, TAlignment Alignment) {
    return Mode == bdRightToLeft ? Alignment == taRightJustify : Alignment == taLeftJustify;
}
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
// A combo box with an edit field and a drop-down list, with the list always
// shown under the edit field, or with a drop-down list and no edit field.
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// Draws Width rings inside r, top and left edges in TopColor, bottom and
// right edges in BottomColor, and shrinks r by the rings drawn.
void Frame3D(TCanvas* Canvas, TRect& r, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------- labels

// The control a caption's accelerator focuses (labels, static texts), held
// with a free notification so that a freed control is forgotten.
class TAccelTarget {
public:
    explicit TAccelTarget(TComponent* AHolder) : holder_(AHolder) {}
    TWinControl* Get() const { return target_; }
    void Set(TWinControl* c);
    // From the holder's Notification.
    void Removed(TComponent* AComponent, TOperation Operation);
    // Focuses the target when Key is Caption's accelerator; true when it did.
    bool Focus(char Key, const std::string& Caption) const;

private:
    TComponent* holder_;             // not owned: the label
    TWinControl* target_ = nullptr;  // not owned
};

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    // Sizes the label to its text whenever the text or the font changes
    // (keeping the width when WordWrap is on).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout v);
    // A transparent label paints only its text; otherwise it fills its
    // bounds with Color first.
    bool Transparent() const { return !(ControlStyle() & csOpaque); }
    void SetTransparent(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // The control that the caption's accelerator focuses.
    TWinControl* FocusControl() const { return focusControl_.Get(); }
    void SetFocusControl(TWinControl* c);
    // Off: '&' is shown as it is and is no accelerator.
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);

protected:
    bool DialogChar(char Key) override;
    void TextChanged() override;
    void FontChanged() override;
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The DrawText flags the label paints and measures with.
    UINT DrawTextFlags() const;
    void AdjustBounds();

private:
    void DoDrawText(HDC dc, TRect& r, UINT flags);

    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TAccelTarget focusControl_{this};
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------- edits

class TCustomEdit : public TBordered<TWinControl> {
public:
    explicit TCustomEdit(TComponent* AOwner);

    // Keeps the height at the font's height plus the border.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // Selects the whole text when the edit gets the focus from the keyboard.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase v);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    bool OEMConvert() const { return oemConvert_; }
    void SetOEMConvert(bool v);
    // The most characters the user can enter; 0 for the system's limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    // Shown in place of every character when not 0; Text still returns
    // what was typed.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char v);
    bool Modified();
    void SetModified(bool v);

    int SelStart();
    void SetSelStart(int v);
    int SelLength();
    void SetSelLength(int v);
    std::string SelText();
    // Replaces the selection with v.
    void SetSelText(const std::string& v);
    void Clear() { SetText(""); }
    void ClearSelection() { SetSelText(""); }
    void SelectAll();

    // The text changed, by the user or by code.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& m) override;
    void FontChanged() override;
    // The height follows the frame.
    void FrameChanged() override;
    virtual void Change();
    void AdjustHeight();

private:
    bool autoSize_ = true;
    bool autoSelect_ = true;
    TEditCharCase charCase_ = ecNormal;
    bool hideSelection_ = true;
    bool oemConvert_ = false;
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    bool modified_ = false;
    bool creating_ = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// An edit of several lines; Enter starts a new line.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& p) override;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------- lists

// A combo box or list box: keeps its strings and chosen index while it has
// no window and copies them into each new one. The three messages are the
// control kind's own (CB_* or LB_*).
class TItemsControl : public TWinControl {
public:
    const std::vector<std::string>& Items() const { return items_; }
    void AddItem(const std::string& s);
    // -1 when no item is chosen.
    int ItemIndex() const;
    void SetItemIndex(int v);

protected:
    TItemsControl(TComponent* AOwner, UINT AddMsg, UINT GetSelMsg, UINT SetSelMsg);
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    UINT add_, getSel_, setSel_;
    std::vector<std::string> items_;
    int index_ = -1;
};

class TCustomCombo : public TItemsControl {
public:
    explicit TCustomCombo(TComponent* AOwner);

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle v);
    // The list is showing under the control (the drop-down styles only).
    bool DroppedDown();
    void SetDroppedDown(bool v);

protected:
    void CreateParams(TCreateParams& p) override;

private:
    TComboBoxStyle style_ = csDropDown;
};

class TCustomComboBox : public TCustomCombo {
public:
    explicit TCustomComboBox(TComponent* AOwner) : TCustomCombo(AOwner) {}
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

class TCustomListBox : public TBordered<TItemsControl> {
public:
    explicit TCustomListBox(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& p) override;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---------------------------------------------------------------- buttons

// The system's BUTTON window in its several kinds.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    // While set, state changes made by code run no Click.
    bool ClicksDisabled() const { return clicksDisabled_; }
    void SetClicksDisabled(bool v) { clicksDisabled_ = v; }

private:
    bool clicksDisabled_ = false;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);

    // Enter clicks the default button, unless another button has the focus
    // (then Enter clicks that one).
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // Esc clicks the cancel button.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    // Clicking hands this to the parent form's ModalResult.
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& p) override;
    void WndProc(TMessage& m) override;
    bool DialogChar(char Key) override;

private:
    // Enter is this button's: it has the focus, or it is the default and
    // no other button has the focus.
    bool TakesEnter() const;

    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

// A three-state BUTTON that this library toggles itself, so that every
// change, by the user or by code, goes through State and runs Click once.
class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState v);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    // Lets a click go through the grayed state (unchecked, grayed,
    // checked); without it grayed is reached only by code.
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    // taRightJustify: the caption right of the box (the usual look);
    // taLeftJustify: left of it.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    bool DialogChar(char Key) override;
    // What a click or the space bar does.
    virtual void Toggle();

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button unchecks the other radio buttons of its parent.
// OnClick runs when it becomes checked.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    bool DialogChar(char Key) override;

private:
    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;
};

// ---------------------------------------------------------------- containers

// The system's group box frame with its caption; the controls placed in it
// are aligned inside the frame.
class TCustomGroupBox : public TWinControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& p) override;
    void AdjustClientRect(TRect& r) override;
    void WndProc(TMessage& m) override;
    bool DialogChar(char Key) override;
    void TextChanged() override;
    void FontChanged() override;
    void Ctl3DChanged() override;
};

class TGroupBox : public TCustomGroupBox {
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    // Space in Color between the outer and the inner bevel.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    // bsSingle adds a window border around everything.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);

protected:
    void CreateParams(TCreateParams& p) override;
    void AdjustClientRect(TRect& r) override;
    void Paint() override;

private:
    void BevelsChanged();

    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------- images

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    // The picture, owned by the image; changing it repaints the image.
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* v);
    // Stretched to the whole client area.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    // Placed in the middle rather than the top-left corner.
    bool Center() const { return center_; }
    void SetCenter(bool v);
    // Scaled down (or, with Stretch, up) keeping its proportions.
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v);
    // Makes the picture's transparent colour show what lies beneath.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Takes the picture's size whenever the picture changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);

    // Where the picture is drawn within the client area.
    TRect DestRect();

protected:
    void Paint() override;

private:
    void PictureChanged(TObject* Sender);

    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
    bool drawing_ = false;
};

}  // namespace ui
