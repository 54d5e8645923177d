#include "ui/Canvas.h"

#include "ui/Exception.h"
#include "ui/Graphic.h"

namespace ui {

TCanvas::TCanvas()
    : pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()), font_(std::make_unique<TFont>()) {
    pen_->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
    brush_->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
    font_->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
}

TCanvas::~TCanvas() {
    // The DC may outlive us (it is the caller's): it must not keep our
    // objects, which die with the canvas.
    SetHandle(nullptr);
}

HDC TCanvas::Handle() {
    RequiredState(csHandleValid);
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectHandles(csPenValid | csBrushValid | csFontValid);
    dc_ = dc;
    oldPen_ = oldBrush_ = oldFont_ = nullptr;
    state_ = dc ? unsigned(csHandleValid) : 0u;
}

void TCanvas::RequiredState(unsigned state) {
    const unsigned need = state & ~state_;
    if (need == 0) return;
    if (need & csHandleValid) {
        CreateHandle();
        if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
    }
    if (need & csPenValid) SelectPen();
    if (need & csBrushValid) SelectBrush();
    if (need & csFontValid) SelectFont();
}

void TCanvas::SelectPen() {
    const HGDIOBJ prev = SelectObject(dc_, pen_->Handle());
    if (!oldPen_) oldPen_ = prev;
    SetROP2(dc_, PenModeToROP2(pen_->Mode()));
    state_ |= csPenValid;
}

void TCanvas::SelectBrush() {
    const HBRUSH b = brush_->Handle();
    UnrealizeObject(b);
    const HGDIOBJ prev = SelectObject(dc_, b);
    if (!oldBrush_) oldBrush_ = prev;
    // Text and styled lines fill their background only under a solid brush.
    const COLORREF c = ColorToCOLORREF(brush_->Color());
    if (brush_->Style() == bsSolid && !brush_->Bitmap()) {
        SetBkColor(dc_, c);
        SetBkMode(dc_, OPAQUE);
    } else {
        SetBkColor(dc_, ~c & 0x00FFFFFF);
        SetBkMode(dc_, TRANSPARENT);
    }
    state_ |= csBrushValid;
}

void TCanvas::SelectFont() {
    const HGDIOBJ prev = SelectObject(dc_, font_->Handle());
    if (!oldFont_) oldFont_ = prev;
    SetTextColor(dc_, ColorToCOLORREF(font_->Color()));
    state_ |= csFontValid;
}

void TCanvas::DeselectHandles(unsigned which) {
    which &= state_ & (csPenValid | csBrushValid | csFontValid);
    if (dc_) {
        if ((which & csPenValid) && oldPen_) SelectObject(dc_, oldPen_);
        if ((which & csBrushValid) && oldBrush_) SelectObject(dc_, oldBrush_);
        if ((which & csFontValid) && oldFont_) SelectObject(dc_, oldFont_);
    }
    state_ &= ~which;
}

// The objects raise OnChange before they delete their old handle: take it
// out of the DC now; the next drawing call selects the new one.
void TCanvas::PenChanged(TObject*) { DeselectHandles(csPenValid); }
void TCanvas::BrushChanged(TObject*) { DeselectHandles(csBrushValid); }
void TCanvas::FontChanged(TObject*) { DeselectHandles(csFontValid); }

void TCanvas::Refresh() { DeselectHandles(csPenValid | csBrushValid | csFontValid); }

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
    RequiredState(csHandleValid);
    TPoint p{};
    GetCurrentPositionEx(dc_, &p);
    return p;
}

// ---------------------------------------------------------------- shapes

template <class F> void TCanvas::Drawing(unsigned state, F draw) {
    Changing();
    RequiredState(csHandleValid | state);
    draw();
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Drawing(csPenValid | csBrushValid, [&] { ::Rectangle(dc_, x1, y1, x2, y2); });
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Drawing(csPenValid | csBrushValid, [&] { ::RoundRect(dc_, x1, y1, x2, y2, x3, y3); });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Drawing(csPenValid | csBrushValid, [&] { ::Ellipse(dc_, x1, y1, x2, y2); });
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    if (points.empty()) return;
    Drawing(csPenValid | csBrushValid, [&] { ::Polygon(dc_, points.data(), static_cast<int>(points.size())); });
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Drawing(csPenValid | csBrushValid, [&] { ::Pie(dc_, x1, y1, x2, y2, x3, y3, x4, y4); });
}

// ---------------------------------------------------------------- lines

void TCanvas::MoveTo(int x, int y) {
    RequiredState(csHandleValid);
    MoveToEx(dc_, x, y, nullptr);
}

// The brush counts for lines too: it decides whether the gaps of a dashed
// pen are filled (solid brush) or left alone.
void TCanvas::LineTo(int x, int y) {
    Drawing(csPenValid | csBrushValid, [&] { ::LineTo(dc_, x, y); });
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    if (points.empty()) return;
    Drawing(csPenValid | csBrushValid, [&] { ::Polyline(dc_, points.data(), static_cast<int>(points.size())); });
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Drawing(csPenValid | csBrushValid, [&] { ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4); });
}

// ---------------------------------------------------------------- areas

void TCanvas::FillRect(const TRect& r) {
    Drawing(csBrushValid, [&] { ::FillRect(dc_, &r, brush_->Handle()); });
}

void TCanvas::FrameRect(const TRect& r) {
    Drawing(csBrushValid, [&] { ::FrameRect(dc_, &r, brush_->Handle()); });
}

void TCanvas::DrawFocusRect(const TRect& r) {
    Drawing(csBrushValid, [&] { ::DrawFocusRect(dc_, &r); });
}

// ---------------------------------------------------------------- text

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Drawing(csFontValid | csBrushValid, [&] { ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size())); });
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    Drawing(csFontValid | csBrushValid, [&] {
        UINT options = ETO_CLIPPED | textFlags_;
        if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
        ::ExtTextOutA(dc_, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
    });
}

TSize TCanvas::TextExtent(const std::string& text) {
    RequiredState(csHandleValid | csFontValid);
    TSize s{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
    return s;
}

// ---------------------------------------------------------------- pictures

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Drawing(0, [&] {
        // A monochrome source takes its two colours from the DC.
        SetBkColor(dc_, ColorToCOLORREF(brush_->Color()));
        SetTextColor(dc_, ColorToCOLORREF(font_->Color()));
        graphic->Draw(this, r);
    });
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& srcRect) {
    if (!source) return;
    Drawing(csFontValid | csBrushValid, [&] {
        source->RequiredState(csHandleValid | csBrushValid);
        StretchBlt(dc_, dest.left, dest.top, RectWidth(dest), RectHeight(dest), source->dc_, srcRect.left, srcRect.top,
                   RectWidth(srcRect), RectHeight(srcRect), copyMode_);
    });
}

// ---------------------------------------------------------------- pixels

// clNone for a point outside the DC's clipping region.
TColor TCanvas::Pixels(int x, int y) {
    RequiredState(csHandleValid);
    const COLORREF c = GetPixel(dc_, x, y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor c) {
    Drawing(0, [&] { ::SetPixel(dc_, x, y, ColorToCOLORREF(c)); });
}

TRect TCanvas::ClipRect() {
    RequiredState(csHandleValid);
    TRect r{};
    GetClipBox(dc_, &r);
    return r;
}

}  // namespace ui
