#include "ui/GdiObjects.h"

#include <algorithm>
#include <cstring>

#include "ui/Bitmap.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"

namespace ui {

namespace {

// GDI refuses new objects only when the process or session is out of them.
[[noreturn]] void RaiseOutOfResources() { throw EOutOfResources("Out of system resources"); }

constexpr const char kDefaultFontName[] = "Tahoma";
constexpr int kDefaultFontSize = 8;

}  // namespace

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

int ScreenPixelsPerInch() {
    static const int ppi = [] {
        ScopedGetDC dc(nullptr);
        const int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
        return v > 0 ? v : 96;
    }();
    return ppi;
}

// ================================================================ TFont

TFont::TFont() : pixelsPerInch_(ScreenPixelsPerInch()) {
    std::strcpy(lf_.lfFaceName, kDefaultFontName);
    lf_.lfHeight = -MulDiv(kDefaultFontSize, pixelsPerInch_, 72);
    lf_.lfWeight = FW_NORMAL;
    lf_.lfCharSet = DEFAULT_CHARSET;
    lf_.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf_.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf_.lfQuality = DEFAULT_QUALITY;
    lf_.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
}

void TFont::HandleChanged() {
    // The listeners run while the old handle still exists: a canvas that has
    // it selected puts its DC's own font back first; then it can go.
    auto old = std::move(handle_);
    Changed();
}

HFONT TFont::Handle() {
    if (!handle_) {
        handle_.Reset(CreateFontIndirectA(&lf_));
        if (!handle_) RaiseOutOfResources();
    }
    return handle_;
}

void TFont::SetHandle(HFONT h) {
    if (h == handle_) return;
    LOGFONTA lf{};
    if (h && GetObjectA(h, sizeof lf, &lf) == 0) throw EInvalidGraphic("Invalid font handle");
    auto old = std::move(handle_);
    if (h) lf_ = lf;
    handle_.Reset(h);
    Changed();
}

void TFont::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TFont*>(Source);
    if (!src) {
        TGraphicsObject::Assign(Source);
        return;
    }
    if (src == this) return;
    const bool sameHandle = std::memcmp(&lf_, &src->lf_, sizeof lf_) == 0;
    if (sameHandle && color_ == src->color_) return;
    color_ = src->color_;
    if (sameHandle) {
        Changed();
        return;
    }
    lf_ = src->lf_;
    // Keep the point size when the two fonts measure inches differently.
    if (pixelsPerInch_ != src->pixelsPerInch_) lf_.lfHeight = -MulDiv(src->Size(), pixelsPerInch_, 72);
    HandleChanged();
}

void TFont::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Changed();
}

void TFont::SetHeight(int v) {
    if (v == lf_.lfHeight) return;
    lf_.lfHeight = v;
    HandleChanged();
}

int TFont::Size() const { return -MulDiv(lf_.lfHeight, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetName(const std::string& v) {
    if (v.empty() || v == lf_.lfFaceName) return;
    std::memset(lf_.lfFaceName, 0, sizeof lf_.lfFaceName);
    std::memcpy(lf_.lfFaceName, v.data(), std::min(v.size(), sizeof lf_.lfFaceName - 1));
    HandleChanged();
}

TFontStyles TFont::Style() const {
    TFontStyles s;
    if (lf_.lfWeight >= FW_BOLD) s.Include(fsBold);
    if (lf_.lfItalic) s.Include(fsItalic);
    if (lf_.lfUnderline) s.Include(fsUnderline);
    if (lf_.lfStrikeOut) s.Include(fsStrikeOut);
    return s;
}

void TFont::SetStyle(TFontStyles v) {
    if (v == Style()) return;
    // An adopted weight (semi-bold, light) survives unless boldness changes.
    if (v.Contains(fsBold) != (lf_.lfWeight >= FW_BOLD)) lf_.lfWeight = v.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf_.lfItalic = v.Contains(fsItalic);
    lf_.lfUnderline = v.Contains(fsUnderline);
    lf_.lfStrikeOut = v.Contains(fsStrikeOut);
    HandleChanged();
}

void TFont::SetCharset(TFontCharset v) {
    if (v == lf_.lfCharSet) return;
    lf_.lfCharSet = v;
    HandleChanged();
}

TFontPitch TFont::Pitch() const {
    switch (lf_.lfPitchAndFamily & 0x03) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
    }
}

void TFont::SetPitch(TFontPitch v) {
    if (v == Pitch()) return;
    const BYTE bits = v == fpFixed ? FIXED_PITCH : v == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    lf_.lfPitchAndFamily = static_cast<BYTE>((lf_.lfPitchAndFamily & ~0x03) | bits);
    HandleChanged();
}

// ================================================================ TPen

int PenModeToROP2(TPenMode m) {
    static const int rop[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                              R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    const auto i = static_cast<unsigned>(m);
    return i < std::size(rop) ? rop[i] : R2_COPYPEN;
}

void TPen::HandleChanged() {
    auto old = std::move(handle_);
    Changed();
}

HPEN TPen::Handle() {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        const auto i = static_cast<unsigned>(style_);
        handle_.Reset(CreatePen(i < std::size(styles) ? styles[i] : PS_SOLID, width_, ColorToCOLORREF(color_)));
        if (!handle_) RaiseOutOfResources();
    }
    return handle_;
}

void TPen::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TPen*>(Source);
    if (!src) {
        TGraphicsObject::Assign(Source);
        return;
    }
    if (src == this) return;
    const bool sameHandle = color_ == src->color_ && width_ == src->width_ && style_ == src->style_;
    if (sameHandle && mode_ == src->mode_) return;
    color_ = src->color_;
    width_ = src->width_;
    style_ = src->style_;
    mode_ = src->mode_;
    if (sameHandle)
        Changed();
    else
        HandleChanged();
}

void TPen::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    HandleChanged();
}

void TPen::SetWidth(int v) {
    v = std::max(v, 0);
    if (v == width_) return;
    width_ = v;
    HandleChanged();
}

void TPen::SetStyle(TPenStyle v) {
    if (v == style_) return;
    style_ = v;
    HandleChanged();
}

void TPen::SetMode(TPenMode v) {
    if (v == mode_) return;
    mode_ = v;
    Changed();
}

// ================================================================ TBrush

TBrush::TBrush() = default;

TBrush::~TBrush() {
    if (handle_ && !stock_) DeleteObject(handle_);
}

void TBrush::HandleChanged() {
    ScopedGdiObject<HBRUSH> old(stock_ ? nullptr : handle_);
    handle_ = nullptr;
    stock_ = false;
    Changed();
}

HBRUSH TBrush::Handle() {
    if (handle_) return handle_;
    if (bitmap_ && !bitmap_->Empty()) {
        handle_ = CreatePatternBrush(bitmap_->Handle());
    } else if (style_ == bsClear) {
        handle_ = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        stock_ = true;
    } else if (style_ == bsSolid) {
        handle_ = CreateSolidBrush(ColorToCOLORREF(color_));
    } else {
        static const int hatch[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
        const auto i = static_cast<unsigned>(style_) - static_cast<unsigned>(bsHorizontal);
        handle_ = CreateHatchBrush(i < std::size(hatch) ? hatch[i] : HS_CROSS, ColorToCOLORREF(color_));
    }
    if (!handle_) RaiseOutOfResources();
    return handle_;
}

void TBrush::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TBrush*>(Source);
    if (!src) {
        TGraphicsObject::Assign(Source);
        return;
    }
    if (src == this) return;
    color_ = src->color_;
    style_ = src->style_;
    CopyBitmap(src->bitmap_.get());
    HandleChanged();
}

void TBrush::SetColor(TColor v) {
    if (v == color_ && style_ != bsClear) return;
    color_ = v;
    if (style_ == bsClear) style_ = bsSolid;
    HandleChanged();
}

void TBrush::SetStyle(TBrushStyle v) {
    if (v == style_) return;
    style_ = v;
    HandleChanged();
}

void TBrush::SetBitmap(TBitmap* v) {
    if (v == bitmap_.get()) return;
    CopyBitmap(v);
    HandleChanged();
}

void TBrush::CopyBitmap(TBitmap* v) {
    if (v && !bitmap_) bitmap_ = std::make_unique<TBitmap>();
    if (v)
        bitmap_->Assign(v);
    else
        bitmap_.reset();
}

}  // namespace ui
