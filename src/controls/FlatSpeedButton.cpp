#include "controls/FlatSpeedButton.h"

#include <memory>

#include "ui/ActnList.h"
#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/ImageList.h"

namespace controls {

using namespace ui;

namespace {

// Watches the button in the hover state, the only one that can be hot.
TSharedHoverTimer HoverTimer;

}  // namespace

TFlatSpeedButton::TFlatSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    HoverTimer.Join();
    SetBounds(0, 0, 25, 25);
    // The button completes its own clicks (a left release inside).
    SetControlStyle(csCaptureMouse | csDoubleClicks);
    SetParentFont(true);
    SetParentColor(true);
}

TFlatSpeedButton::~TFlatSpeedButton() { HoverTimer.Leave(this); }

void TFlatSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    Invalidate();
}

// ---------------------------------------------------------------- colours

void TFlatSpeedButton::SetColorAt(int i, TColor v) {
    colors_[i] = v;
    Invalidate();
}

void TFlatSpeedButton::SetAdvAt(int i, TAdvColors v) {
    adv_[i] = v > 100 ? 100 : v;
    DeriveAdvColors();
    Invalidate();
}

void TFlatSpeedButton::SetUseAdvColors(bool v) {
    if (v == useAdvColors_) return;
    useAdvColors_ = v;
    SetParentColor(v);
    DeriveAdvColors();
    Invalidate();
}

void TFlatSpeedButton::DeriveAdvColors() {
    if (!useAdvColors_) return;
    DeriveAdvColorSet(Color(), colors_[0], colors_[1], colors_[2], adv_[0], adv_[1], adv_[2]);
}

void TFlatSpeedButton::ColorChanged() {
    TGraphicControl::ColorChanged();
    DeriveAdvColors();
    Invalidate();
}

// ---------------------------------------------------------------- glyph and layout

void TFlatSpeedButton::SetGlyph(TBitmap* v) {
    if (v == glyph_.get()) return;
    glyph_->Assign(v);
    if (!glyph_->Empty() && glyph_->Width() % glyph_->Height() == 0) {
        const int n = glyph_->Width() / glyph_->Height();
        numGlyphs_ = n > 4 ? 1 : n;
    }
    Invalidate();
}

void TFlatSpeedButton::SetNumGlyphs(int v) {
    v = v < 1 ? 1 : v > 4 ? 4 : v;
    if (v == numGlyphs_) return;
    numGlyphs_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetLayout(TButtonLayout v) {
    if (v == layout_) return;
    layout_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetMargin(int v) {
    if (v == margin_ || v < -1) return;
    margin_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetSpacing(int v) {
    if (v == spacing_) return;
    spacing_ = v;
    Invalidate();
}

void TFlatSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a || !glyph_->Empty() || !a->ActionList()) return;
    TCustomImageList* images = a->ActionList()->Images();
    if (images && a->ImageIndex() >= 0 && a->ImageIndex() < images->Count())
        GlyphFromImageList(images, a->ImageIndex());
}

// The image on magenta, which the bottom-left pixel makes transparent where
// the image leaves it showing.
void TFlatSpeedButton::GlyphFromImageList(TCustomImageList* Images, int Index) {
    glyph_->SetSize(Images->Width(), Images->Height());
    TCanvas* c = glyph_->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(0xFF00FF);
    c->FillRect(Rect(0, 0, Images->Width(), Images->Height()));
    Images->Draw(c, 0, 0, Index, true);
    Invalidate();
}

// ---------------------------------------------------------------- down and groups

void TFlatSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_ || (down_ && !allowAllUp_)) return;
    down_ = v;
    if (v) {
        if (state_ == bsUp) Invalidate();
        state_ = bsExclusive;
        BroadcastGroupDown();
    } else {
        state_ = bsUp;
        Repaint();
    }
}

void TFlatSpeedButton::SetGroupIndex(int v) {
    if (v == groupIndex_) return;
    groupIndex_ = v;
    BroadcastGroupDown();
}

void TFlatSpeedButton::SetAllowAllUp(bool v) {
    if (v == allowAllUp_) return;
    allowAllUp_ = v;
    BroadcastGroupDown();
}

void TFlatSpeedButton::BroadcastGroupDown() {
    if (groupIndex_ == 0 || !Parent()) return;
    TWinControl* p = Parent();
    for (int i = 0; i < p->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TFlatSpeedButton*>(p->Controls(i)); b && b != this) b->GroupMemberWentDown(this);
}

void TFlatSpeedButton::GroupMemberWentDown(TFlatSpeedButton* sender) {
    if (sender->groupIndex_ != groupIndex_) return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
    }
    allowAllUp_ = sender->allowAllUp_;
}

// ---------------------------------------------------------------- mouse and keys

void TFlatSpeedButton::Click() {
    if (TCustomForm* f = GetParentForm()) f->SetModalResult(modalResult_);
    TGraphicControl::Click();
}

void TFlatSpeedButton::DblClick() {
    if (down_) TGraphicControl::DblClick();
}

void TFlatSpeedButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseDown(b, s, x, y);
    if (b != mbLeft || !Enabled()) return;
    if (!down_) {
        state_ = bsDown;
        Invalidate();
    }
    tracking_ = true;
}

void TFlatSpeedButton::MouseMove(TShiftState s, int x, int y) {
    TGraphicControl::MouseMove(s, x, y);
    if (HoverTimer.Watched != this && Inside(x, y)) HoverTimer.MovedOver(this, this);
    if (!tracking_) return;
    const uint8_t st = down_ ? bsExclusive : Inside(x, y) ? bsDown : bsUp;
    if (st != state_) {
        state_ = st;
        Invalidate();
    }
}

void TFlatSpeedButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseUp(b, s, x, y);
    // Only the release of the button that started the press completes it.
    if (!tracking_ || b != mbLeft) return;
    tracking_ = false;
    const bool inside = Inside(x, y);
    if (groupIndex_ == 0) {
        state_ = bsUp;
        hot_ = false;
        if (inside) Invalidate();
    } else if (inside) {
        SetDown(!down_);
        if (down_) Repaint();
    } else {
        if (down_) state_ = bsExclusive;
        Repaint();
    }
    if (inside)
        Click();
    else
        HoverOff();
    // The click's handler may have run a dialog while the pointer moved on:
    // the position read before it no longer tells where the pointer is.
    RecheckPointerInside();
}

void TFlatSpeedButton::MouseEnter() {
    TGraphicControl::MouseEnter();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TFlatSpeedButton::MouseLeave() {
    TGraphicControl::MouseLeave();
    HoverOff();
    if (OnMouseLeave) OnMouseLeave(this);
}

void TFlatSpeedButton::HoverOn() {
    if (!Enabled() || hot_) return;
    hot_ = true;
    Invalidate();
}

void TFlatSpeedButton::HoverOff() {
    if (!Enabled() || !hot_ || tracking_) return;
    hot_ = false;
    ReleaseHoverTimer();
    Invalidate();
}

void TFlatSpeedButton::ReleaseHoverTimer() { HoverTimer.Release(this); }

bool TFlatSpeedButton::PointerOver() const { return ControlUnderPointer() == this; }

void TFlatSpeedButton::RecheckPointerInside() {
    if (!Enabled()) return;
    // Hot is set against the finding, so that HoverOn or HoverOff acts.
    const bool over = PointerOver();
    hot_ = !over;
    if (over)
        HoverOn();
    else
        HoverOff();
}

void TFlatSpeedButton::EnabledChanged() {
    TGraphicControl::EnabledChanged();
    if (!Enabled()) {
        hot_ = false;
        state_ = bsDisabled;
        ReleaseHoverTimer();
    }
    RecheckPointerInside();
    Invalidate();
}

bool TFlatSpeedButton::DialogChar(char Key) {
    if (!IsAccel(Key, Caption()) || !Enabled()) return TGraphicControl::DialogChar(Key);
    // The accelerator acts as a click: a grouped button latches (or comes
    // up with AllowAllUp) as it does under the mouse.
    if (groupIndex_ != 0) SetDown(!down_);
    Click();
    return true;
}

// ---------------------------------------------------------------- painting

void TFlatSpeedButton::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    const TRect client = ClientRect();
    const TPoint offset = (state_ == bsDown || state_ == bsExclusive) ? Point(1, 1) : Point(0, 0);
    LayoutGlyphAndCaption(c, client, offset, Caption(), glyph_->Empty() ? nullptr : glyph_.get(), numGlyphs_, layout_,
                          margin_, spacing_, glyphPoint_, captionRect_);
    if (!Enabled()) {
        state_ = bsDisabled;
        tracking_ = false;
    } else if (state_ == bsDisabled) {
        state_ = (down_ && groupIndex_ != 0) ? bsExclusive : bsUp;
    }

    TColor face = clNone;
    if (transparentMode_ == tmNone) {
        const TColor byState[4] = {hot_ ? ColorFocused() : Color(), Color(), ColorDown(),
                                   hot_ ? ColorFocused() : ColorDown()};
        face = byState[state_];
    } else if (transparentMode_ == tmNotFocused) {
        if (state_ == bsDisabled)
            face = Color();
        else if (state_ == bsDown)
            face = ColorDown();
        else if (hot_)
            face = ColorFocused();
    }
    if (face != clNone) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(face);
        c->FillRect(client);
    }

    if (state_ == bsDown || state_ == bsExclusive)
        DrawFrameRings(c, client, ColorShadow(), ColorHighLight(), 1);
    else if (state_ == bsUp && hot_)
        DrawFrameRings(c, client, ColorHighLight(), ColorShadow(), 1);
    else
        DrawFrameRings(c, client, ColorBorder(), ColorBorder(), 1);

    if (!glyph_->Empty()) PaintGlyph(c);

    const std::string text = Caption();
    if (text.empty()) return;
    HDC dc = c->Handle();
    ScopedSelectObject font(dc, Font()->Handle());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    TRect r = captionRect_;
    if (state_ == bsDisabled) {
        TRect r2 = Rect(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1);
        SetTextColor(dc, ColorToCOLORREF(clBtnHighlight));
        DrawTextA(dc, text.c_str(), -1, &r2, flags);
        SetTextColor(dc, ColorToCOLORREF(clBtnShadow));
    } else {
        SetTextColor(dc, ColorToCOLORREF(Font()->Color()));
    }
    DrawTextA(dc, text.c_str(), -1, &r, flags);
    SetBkMode(dc, oldMode);
}

void TFlatSpeedButton::PaintGlyph(TCanvas* c) {
    const int gw = glyph_->Width(), gh = glyph_->Height();
    const int cw = gw / numGlyphs_;
    // Cell by state and count: up, disabled, down, latched.
    static const int kCell[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 1, 2, 2}, {0, 1, 2, 3}};
    const int cell = kCell[numGlyphs_ - 1][state_];
    const int left = cell * cw;
    const int right = (cell == numGlyphs_ - 1) ? gw : left + cw;
    auto image = std::make_unique<TBitmap>(cw, gh);
    image->Canvas()->CopyRect(Rect(0, 0, right - left, gh), glyph_->Canvas(), Rect(left, 0, right, gh));
    if (numGlyphs_ == 1 && state_ == bsDisabled)
        image.reset(MakeDisabledGlyph(image.get(), clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true));
    // The bottom-left pixel is the transparent colour.
    image->SetTransparentMode(tmAuto);
    image->SetTransparent(true);
    c->Draw(glyphPoint_.x, glyphPoint_.y, image.get());
}

}  // namespace controls
