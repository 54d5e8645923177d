#include "ui/ExtCtrls.h"

#include <algorithm>

#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace ui {

// ================================================================ TBoundLabel

TBoundLabel::TBoundLabel(TComponent* AOwner) : TCustomLabel(AOwner) { SetName("SubLabel"); }

void TBoundLabel::Resize() {
    TCustomLabel::Resize();
    if (auto* edit = dynamic_cast<TCustomLabeledEdit*>(Owner())) edit->PlaceLabel();
}

// ================================================================ TCustomLabeledEdit

TCustomLabeledEdit::TCustomLabeledEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    label_ = TComponent::Create<TBoundLabel>(this);
    label_->SetFocusControl(this);
    FreeNotification(label_);
}

void TCustomLabeledEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == label_) label_ = nullptr;
}

void TCustomLabeledEdit::SetLabelPosition(TLabelPosition v) {
    labelPosition_ = v;
    PlaceLabel();
}

void TCustomLabeledEdit::SetLabelSpacing(int v) {
    labelSpacing_ = v;
    PlaceLabel();
}

void TCustomLabeledEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceLabel();
}

void TCustomLabeledEdit::SetParent(TWinControl* p) {
    TCustomEdit::SetParent(p);
    if (!label_) return;
    label_->SetParent(p);
    PlaceLabel();
}

void TCustomLabeledEdit::PlaceLabel() {
    if (!label_ || HasState(csDestroying)) return;
    const int lw = label_->Width(), lh = label_->Height();
    int x = Left(), y = Top();
    switch (labelPosition_) {
    case lpAbove: y = Top() - lh - labelSpacing_; break;
    case lpBelow: y = Top() + Height() + labelSpacing_; break;
    case lpLeft:
        x = Left() - lw - labelSpacing_;
        y = Top() + (Height() - lh) / 2;
        break;
    case lpRight:
        x = Left() + Width() + labelSpacing_;
        y = Top() + (Height() - lh) / 2;
        break;
    }
    label_->SetBounds(x, y, lw, lh);
}

void TCustomLabeledEdit::EnabledChanged() {
    TCustomEdit::EnabledChanged();
    if (label_) label_->SetEnabled(Enabled());
}

void TCustomLabeledEdit::VisibleChanged() {
    TCustomEdit::VisibleChanged();
    if (label_) label_->SetVisible(Visible());
}

// ================================================================ TCustomStaticText

TCustomStaticText::TCustomStaticText(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csReplicatable);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TCustomStaticText::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "STATIC");
    p.Style |= SS_NOTIFY;
    switch (alignment_) {
    case taLeftJustify: p.Style |= SS_LEFT; break;
    case taRightJustify: p.Style |= SS_RIGHT; break;
    case taCenter: p.Style |= SS_CENTER; break;
    }
    if (!showAccelChar_) p.Style |= SS_NOPREFIX;
    if (borderStyle_ == sbsSingle) p.Style |= WS_BORDER;
    if (borderStyle_ == sbsSunken) p.Style |= SS_SUNKEN;
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomStaticText::AdjustBounds() {
    if (!autoSize_ || HasState(csLoading)) return;
    const std::string caption = Caption();
    const char* text = caption.empty() ? " " : caption.c_str();  // an empty one keeps a line's height
    RECT r{0, 0, 0, 0};
    {
        ScopedGetDC dc(nullptr);
        ScopedSelectObject font(dc, Font()->Handle());
        DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | (showAccelChar_ ? 0 : DT_NOPREFIX));
    }
    // The frame the border style adds around the text.
    int frame = 0;
    if (borderStyle_ == sbsSingle) frame = 2 * GetSystemMetrics(SM_CXBORDER);
    if (borderStyle_ == sbsSunken) frame = 2 * GetSystemMetrics(SM_CXEDGE);
    SetBounds(Left(), Top(), r.right + frame, r.bottom + frame);
}

void TCustomStaticText::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    RecreateWnd();
}

void TCustomStaticText::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    AdjustBounds();
}

void TCustomStaticText::SetBorderStyle(TStaticBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    RecreateWnd();
    AdjustBounds();
}

void TCustomStaticText::SetShowAccelChar(bool v) {
    if (v == showAccelChar_) return;
    showAccelChar_ = v;
    RecreateWnd();
    AdjustBounds();
}

void TCustomStaticText::SetFocusControl(TWinControl* c) { focusControl_.Set(c); }

void TCustomStaticText::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    focusControl_.Removed(AComponent, Operation);
}

bool TCustomStaticText::DialogChar(char Key) {
    return (Enabled() && showAccelChar_ && focusControl_.Focus(Key, Caption())) || TWinControl::DialogChar(Key);
}

void TCustomStaticText::TextChanged() {
    TWinControl::TextChanged();
    AdjustBounds();
}

void TCustomStaticText::FontChanged() {
    TWinControl::FontChanged();
    AdjustBounds();
}

void TCustomStaticText::Loaded() {
    TWinControl::Loaded();
    AdjustBounds();
}

}  // namespace ui

namespace ui {

// ================================================================ TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

// ================================================================ TCustomFrame

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
    SetBounds(0, 0, 320, 240);
}

// ================================================================ TCustomRadioGroup

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner) {}

TRadioButton* TCustomRadioGroup::Buttons(int i) const {
    if (i < 0 || i >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<size_t>(i)];
}

void TCustomRadioGroup::SetItems(const std::vector<std::string>& v) {
    // Freeing a button reaches Notification, which nulls its slot: free from
    // a copy.
    updating_ = true;
    const std::vector<TRadioButton*> old = buttons_;
    for (TRadioButton* b : old)
        if (b) TComponent::Free(b);
    buttons_.clear();
    items_ = v;
    itemIndex_ = -1;
    for (const std::string& s : items_) {
        auto* b = TComponent::Create<TRadioButton>(this);
        b->SetCaption(s);
        b->OnClick = TNotifyEvent(this, &TCustomRadioGroup::ButtonClick);
        b->SetParent(this);
        buttons_.push_back(b);
    }
    updating_ = false;
    ArrangeButtons();
}

void TCustomRadioGroup::SetItemIndex(int v) {
    if (v < -1 || v >= static_cast<int>(items_.size())) v = -1;
    if (v == itemIndex_) return;
    if (v == -1) {
        // No button checks itself off: clear the one that is on.
        if (TRadioButton* b = Buttons(itemIndex_)) {
            updating_ = true;
            b->SetChecked(false);
            updating_ = false;
        }
        itemIndex_ = -1;
        return;
    }
    if (TRadioButton* b = Buttons(v))
        b->SetChecked(true);  // ButtonClick stores it
    else
        itemIndex_ = v;
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
    if (updating_) return;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i] != Sender) continue;
        if (itemIndex_ == static_cast<int>(i)) return;
        itemIndex_ = static_cast<int>(i);
        Click();
        return;
    }
}

void TCustomRadioGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGroupBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i] != AComponent) continue;
        buttons_[i] = nullptr;
        if (itemIndex_ == static_cast<int>(i)) itemIndex_ = -1;
    }
}

void TCustomRadioGroup::Resize() {
    TCustomGroupBox::Resize();
    ArrangeButtons();
}

void TCustomRadioGroup::FontChanged() {
    TCustomGroupBox::FontChanged();
    ArrangeButtons();
}

// One column, the rows sharing the space inside the frame.
void TCustomRadioGroup::ArrangeButtons() {
    if (buttons_.empty() || HasState(csDestroying)) return;
    TRect r = TWinControl::ClientRect();
    AdjustClientRect(r);
    constexpr int kIndent = 8;
    const int rows = static_cast<int>(buttons_.size());
    const int rowHeight = std::max(RectHeight(r) / rows, 1);
    const int width = std::max(RectWidth(r) - kIndent, 1);
    for (int i = 0; i < rows; ++i) {
        if (TRadioButton* b = buttons_[static_cast<size_t>(i)])
            b->SetBounds(r.left + kIndent, r.top + i * rowHeight, width, rowHeight);
    }
}

}  // namespace ui
