#include "ui/ExtCtrls.h"

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
    case lpLeft: x = Left() - lw - labelSpacing_; y = Top() + (Height() - lh) / 2; break;
    case lpRight: x = Left() + Width() + labelSpacing_; y = Top() + (Height() - lh) / 2; break;
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
        DrawTextA(dc, text, -1, &r,
                  DT_CALCRECT | DT_SINGLELINE | (showAccelChar_ ? 0 : DT_NOPREFIX));
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

} // namespace ui
