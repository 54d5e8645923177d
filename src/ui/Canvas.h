#pragma once
// TCanvas: drawing on a device context with a pen, a brush and a font.
//
// The canvas selects its objects into the DC only when a drawing call needs
// them, and selects them again after they change; whatever the DC held
// before is put back when the handle is released (SetHandle(nullptr), or
// another DC). A canvas that gets its DC on demand (a control's, a bitmap's)
// overrides CreateHandle.
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <span>
#include <string>

#include "ui/Colors.h"
#include "ui/Component.h"
#include "ui/GdiObjects.h"
#include "ui/Types.h"

namespace ui {

class TGraphic;

// Raster operations for CopyRect and bitmap drawing.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
public:
    TCanvas();
    // A canvas over dc, which stays the caller's (see SetHandle).
    explicit TCanvas(HDC dc) : TCanvas() { SetHandle(dc); }
    ~TCanvas() override;

    // The DC, obtained through CreateHandle when there is none yet. Raises
    // EInvalidOperation "Canvas does not allow drawing" when none results.
    virtual HDC Handle();
    // Releases the current DC (our objects out, its own back in) and takes
    // dc, which stays the caller's: the canvas never deletes it.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TPen* Pen() const { return pen_.get(); }
    TBrush* Brush() const { return brush_.get(); }
    TFont* Font() const { return font_.get(); }
    // These copy the properties (Assign); the canvas keeps its own objects.
    void SetPen(TPen* v) { pen_->Assign(v); }
    void SetBrush(TBrush* v) { brush_->Assign(v); }
    void SetFont(TFont* v) { font_->Assign(v); }

    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode v) { copyMode_ = v; }
    TPoint PenPos();
    void SetPenPos(TPoint p) { MoveTo(p.x, p.y); }

    // ---- shapes (outline with the pen, inside with the brush)
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    void Polygon(std::span<const TPoint> points);
    void Polygon(std::initializer_list<TPoint> points) {
        Polygon(std::span<const TPoint>(points.begin(), points.size()));
    }
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // ---- lines (pen)
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    void Polyline(std::initializer_list<TPoint> points) {
        Polyline(std::span<const TPoint>(points.begin(), points.size()));
    }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // ---- areas (brush)
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);
    // ---- text (font; a clear brush leaves the background showing)
    // (<windows.h> renames TextOut to TextOutA, here as in every caller, so
    // the member keeps working under either spelling.)
    void TextOut(int x, int y, const std::string& text);
    // Text at (x, y) clipped to r; a brush that is not clear fills r first.
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    // ExtTextOut options added to TextRect's own (ETO_RTLREADING reads the
    // text right to left).
    unsigned TextFlags() const { return textFlags_; }
    void SetTextFlags(unsigned v) { textFlags_ = v; }
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // ---- pictures
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    // Copies srcRect of source onto dest with CopyMode, stretching as needed.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& srcRect);
    // ---- pixels
    TColor Pixels(int x, int y);
    void SetPixel(int x, int y, TColor c);

    // The bounds of the DC's clipping region.
    TRect ClipRect();
    // Takes the pen, brush and font out of the DC; the next drawing call
    // selects them again (after someone else changed the DC's objects).
    void Refresh();

    // A nesting counter kept for code written against it; the program has a
    // single GUI thread, so nothing waits on it.
    void Lock() { ++lockCount_; }
    void Unlock() {
        if (lockCount_ > 0) --lockCount_;
    }
    bool TryLock() {
        Lock();
        return true;
    }
    int LockCount() const { return lockCount_; }

    // Around every drawing call: before (OnChanging) and after (OnChange).
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    enum : unsigned {
        csHandleValid = 1u << 0,
        csPenValid = 1u << 1,
        csBrushValid = 1u << 2,
        csFontValid = 1u << 3,
    };
    // Called when a DC is needed and there is none: an override obtains one
    // and hands it to SetHandle. A canvas that owns its DC releases it by
    // calling SetHandle(nullptr) first (which restores the DC's objects) and
    // then ReleaseDC / DeleteDC on the DC it read from PeekHandle.
    virtual void CreateHandle() {}
    // The current DC without creating one.
    HDC PeekHandle() const { return dc_; }
    void RequiredState(unsigned state);
    virtual void Changing();
    virtual void Changed();

private:
    // One drawing call: Changing, the DC with the objects in state selected,
    // draw, Changed.
    template <class F> void Drawing(unsigned state, F draw);
    void DeselectHandles(unsigned which);
    void SelectPen();
    void SelectBrush();
    void SelectFont();
    void PenChanged(TObject*);
    void BrushChanged(TObject*);
    void FontChanged(TObject*);

    HDC dc_ = nullptr;  // not owned
    unsigned state_ = 0;
    // What the DC held before our first selection, put back on release.
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TFont> font_;
    TCopyMode copyMode_ = cmSrcCopy;
    int lockCount_ = 0;
    unsigned textFlags_ = 0;
};

}  // namespace ui
