#pragma once
// The GDI objects a canvas draws with: TFont, TPen, TBrush. Each describes
// its object in plain properties and owns the GDI handle made from them; the
// handle is created when first asked for and made again after a property that
// shapes it changes. Every change raises OnChange, so that a canvas holding
// the object selected can take it out of its DC before the old handle goes.
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "ui/Colors.h"
#include "ui/Component.h"
#include "ui/GdiGuards.h"

namespace ui {

class TBitmap;

class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

// ---------------------------------------------------------------- font

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles: TFontStyles{fsBold, fsItalic}, fsBold | fsItalic.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(TFontStyle s) : bits_(Bit(s)) {}
    constexpr TFontStyles(std::initializer_list<TFontStyle> l) {
        for (TFontStyle s : l) bits_ |= Bit(s);
    }
    constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TFontStyles& Include(TFontStyle s) {
        bits_ |= Bit(s);
        return *this;
    }
    constexpr TFontStyles& Exclude(TFontStyle s) {
        bits_ &= ~Bit(s);
        return *this;
    }
    friend constexpr TFontStyles operator|(TFontStyles a, TFontStyles b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TFontStyles operator-(TFontStyles a, TFontStyles b) { return FromBits(a.bits_ & ~b.bits_); }
    friend constexpr TFontStyles operator&(TFontStyles a, TFontStyles b) { return FromBits(a.bits_ & b.bits_); }
    friend constexpr bool operator==(TFontStyles a, TFontStyles b) { return a.bits_ == b.bits_; }
    constexpr unsigned Bits() const { return bits_; }

private:
    static constexpr unsigned Bit(TFontStyle s) { return 1u << static_cast<unsigned>(s); }
    static constexpr TFontStyles FromBits(unsigned b) {
        TFontStyles r;
        r.bits_ = b;
        return r;
    }
    unsigned bits_ = 0;
};
constexpr TFontStyles operator|(TFontStyle a, TFontStyle b) { return TFontStyles(a) | TFontStyles(b); }

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = BYTE;

// The screen's logical pixels per inch (vertical), read once.
int ScreenPixelsPerInch();

class TFont : public TGraphicsObject {
public:
    // "Tahoma", 8 points, clWindowText, no styles, the default character set.
    TFont();

    void Assign(TPersistent* Source) override;

    // The font handle, made on demand; owned by this object.
    HFONT Handle();
    // Adopts h: the properties take its attributes and the font owns it from
    // now on (deletes it when it is replaced or the font is freed).
    void SetHandle(HFONT h);
    bool HandleAllocated() const { return handle_ != nullptr; }

    // Not part of the handle: the canvas sets it as the DC's text colour.
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return lf_.lfHeight; }
    void SetHeight(int v);
    // Points at PixelsPerInch.
    int Size() const;
    void SetSize(int points);
    std::string Name() const { return lf_.lfFaceName; }
    void SetName(const std::string& v);
    TFontStyles Style() const;
    void SetStyle(TFontStyles v);
    TFontCharset Charset() const { return lf_.lfCharSet; }
    void SetCharset(TFontCharset v);
    TFontPitch Pitch() const;
    void SetPitch(TFontPitch v);
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int v) {
        if (v > 0) pixelsPerInch_ = v;
    }
    // The whole description the handle is made from (weight, quality and
    // escapement included, as adopted by SetHandle).
    const LOGFONTA& LogFont() const { return lf_; }

private:
    // Drops the handle after telling the listeners, so a canvas deselects
    // it before it is deleted.
    void HandleChanged();

    LOGFONTA lf_{};
    TColor color_ = clWindowText;
    int pixelsPerInch_;
    ScopedGdiObject<HFONT> handle_;
};

// ---------------------------------------------------------------- pen

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster operations of a pen (SetROP2).
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
int PenModeToROP2(TPenMode m);

class TPen : public TGraphicsObject {
public:
    // A solid black pen one pixel wide, mode pmCopy.
    TPen() = default;

    void Assign(TPersistent* Source) override;
    HPEN Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle v);
    // Not part of the handle: the canvas sets it with SetROP2.
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode v);

private:
    void HandleChanged();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    ScopedGdiObject<HPEN> handle_;
};

// ---------------------------------------------------------------- brush

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    // A solid white brush.
    TBrush();
    ~TBrush() override;

    void Assign(TPersistent* Source) override;
    // The brush handle; a clear brush is the stock NULL_BRUSH (never deleted).
    HBRUSH Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }

    TColor Color() const { return color_; }
    // Also turns a clear brush solid again, so "colour X, fill" always fills.
    void SetColor(TColor v);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle v);
    // The pattern of a pattern brush, or null. SetBitmap keeps a copy of the
    // picture (later changes to the caller's bitmap do not reach the brush);
    // null goes back to Style. While a pattern is set, Style is not used.
    TBitmap* Bitmap() const { return bitmap_.get(); }
    void SetBitmap(TBitmap* v);

private:
    void HandleChanged();
    // Null drops the pattern; HandleChanged is the caller's.
    void CopyBitmap(TBitmap* v);

    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    std::unique_ptr<TBitmap> bitmap_;  // a copy
    HBRUSH handle_ = nullptr;
    bool stock_ = false;
};

}  // namespace ui
