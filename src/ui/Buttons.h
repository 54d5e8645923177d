#pragma once
// Buttons with a glyph: TBitBtn (a push button carrying a glyph for a
// painter to show) and TSpeedButton (a windowless button that paints itself,
// may stay down, and may belong to a group of which one is down).
#include <memory>

#include "ui/Bitmap.h"
#include "ui/GlyphLayout.h"
#include "ui/StdCtrls.h"

namespace ui {

// The glyph cell (0-based) a button in this state shows: the first; the
// second when disabled; the third when pressed; the fourth when down; a
// cell is used only when the glyph has it, and later rules win.
int GlyphCellFor(bool Enabled, bool Pressed, bool Down, int NumGlyphs);
// A new bitmap holding cell Cell (0-based) of Glyph cut into NumGlyphs
// side-by-side cells; empty when the glyph is.
std::unique_ptr<TBitmap> CopyGlyphCell(TBitmap* Glyph, int NumGlyphs, int Cell);

// The glyph properties both buttons share. The glyph is the button's own
// copy; NumGlyphs is kept between 1 and 4. A change calls GlyphChanged.
class TGlyphProperties {
public:
    TGlyphProperties() : glyph_(std::make_unique<TBitmap>()) {}
    virtual ~TGlyphProperties() = default;
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    // Pixels between glyph and caption.
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);

protected:
    virtual void GlyphChanged() = 0;

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
};

class TBitBtn : public TButton, public TGlyphProperties {
public:
    explicit TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

    // Pixels between the edge and the glyph; -1 centres glyph and caption.
    int Margin() const { return margin_; }
    void SetMargin(int v);

protected:
    void GlyphChanged() override { Invalidate(); }

private:
    int margin_ = -1;
};

class TSpeedButton : public TGraphicControl, public TGlyphProperties {
public:
    explicit TSpeedButton(TComponent* AOwner);

    // Flat: no frame until the mouse is over the button.
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    // Transparent: the parent shows through where the button paints nothing.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Buttons of one parent with the same nonzero GroupIndex form a group:
    // a click puts the button down and the others of its group up. With
    // GroupIndex 0 a button never stays down.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool Down() const { return down_; }
    void SetDown(bool v);
    // A click on the down button of a group puts it up (all up) instead of
    // doing nothing. Shared by the whole group.
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    // The left button went down on the button and has not come up.
    bool Pressed() const { return pressed_; }
    // The mouse is over the button.
    bool MouseInControl() const { return mouseIn_; }

    void Click() override;

protected:
    void GlyphChanged() override { Invalidate(); }
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    // Calls F for every other button of this one's group.
    template <class F> void ForGroup(F f);

    bool flat_ = false;
    bool transparent_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool pressed_ = false;
    bool mouseIn_ = false;
};

}  // namespace ui
