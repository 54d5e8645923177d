#pragma once
// TLabeledEdit (an edit that carries its own label and keeps it beside
// itself), TStaticText (a text in a window of its own, which a painter
// or a focus frame can reach, unlike a TLabel), and the plain containers:
// the scroll box, the frame and the radio group.
#include <string>
#include <vector>

#include "ui/StdCtrls.h"

namespace ui {

class TCustomLabeledEdit;

// The label of a TLabeledEdit: created and freed with the edit, placed by
// it; its accelerator focuses the edit.
class TBoundLabel : public TCustomLabel {
public:
    explicit TBoundLabel(TComponent* AOwner);

protected:
    // A new size (its caption, its font) moves it to stay beside the edit.
    void Resize() override;
};

enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };

class TCustomLabeledEdit : public TCustomEdit {
public:
    explicit TCustomLabeledEdit(TComponent* AOwner);

    TBoundLabel* EditLabel() const { return label_; }
    TLabelPosition LabelPosition() const { return labelPosition_; }
    void SetLabelPosition(TLabelPosition v);
    // Pixels between the edit and its label.
    int LabelSpacing() const { return labelSpacing_; }
    void SetLabelSpacing(int v);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* p) override;
    // Places the label again (after its caption or font changed).
    void PlaceLabel();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void EnabledChanged() override;
    void VisibleChanged() override;

private:
    TBoundLabel* label_ = nullptr;  // owned (a sub-component); null once freed
    TLabelPosition labelPosition_ = lpAbove;
    int labelSpacing_ = 3;
};

class TLabeledEdit : public TCustomLabeledEdit {
public:
    explicit TLabeledEdit(TComponent* AOwner) : TCustomLabeledEdit(AOwner) {}
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TCustomStaticText : public TWinControl {
public:
    explicit TCustomStaticText(TComponent* AOwner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    // Sizes the control to its text whenever the text or the font changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TStaticBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TStaticBorderStyle v);
    // The control that the caption's accelerator focuses.
    TWinControl* FocusControl() const { return focusControl_.Get(); }
    void SetFocusControl(TWinControl* c);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);

protected:
    void CreateParams(TCreateParams& p) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool DialogChar(char Key) override;
    void TextChanged() override;
    void FontChanged() override;
    void Loaded() override;

private:
    void AdjustBounds();

    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    TStaticBorderStyle borderStyle_ = sbsNone;
    TAccelTarget focusControl_{this};
    bool showAccelChar_ = true;
};

class TStaticText : public TCustomStaticText {
public:
    explicit TStaticText(TComponent* AOwner) : TCustomStaticText(AOwner) {}
};

// ---------------------------------------------------------------- containers

// A window with a sunken border that holds controls placed in it.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& p) override;
};

// A reusable group of controls: the controls made for it are created with
// the frame as their owner, so the frame holds (and frees) them rather than
// the form it is placed on.
class TCustomFrame : public TWinControl {
public:
    explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
public:
    explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};

// A group box with one radio button per string of Items, in one column.
// The group owns its buttons; ItemIndex is the checked one (-1: none).
class TCustomRadioGroup : public TCustomGroupBox {
public:
    explicit TCustomRadioGroup(TComponent* AOwner);

    const std::vector<std::string>& Items() const { return items_; }
    // Replaces every button by one per string; no button is checked after.
    void SetItems(const std::vector<std::string>& v);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    // The button of Items()[i], or null when there is none.
    TRadioButton* Buttons(int i) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Resize() override;
    void FontChanged() override;

private:
    void ButtonClick(TObject* Sender);
    void ArrangeButtons();

    std::vector<std::string> items_;
    std::vector<TRadioButton*> buttons_;  // owned (as components); null once freed elsewhere
    int itemIndex_ = -1;
    bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};

}  // namespace ui
