#pragma once
// The bar menus' drawing options (side bar, its pictures and caption,
// separators) and the per-menu side-bar image cache. Each object knows its
// menu (not owned); the options draw nothing themselves.
#include <memory>
#include <string>

#include "painters/BarMenuTypes.h"
#include "ui/Colors.h"
#include "ui/Component.h"
#include "ui/StdCtrls.h"

namespace ui {
class TBitmap;
class TFont;
class TMenu;
}  // namespace ui

namespace painters {

// ---------------------------------------------------------------- bar cache

// The rendered side bar and its measured height, shared between measuring
// and drawing.
class TBcBarProtected : public ui::TObject {
public:
    // Raises ERequireOwner for a null menu.
    explicit TBcBarProtected(ui::TMenu* AMenu);
    ~TBcBarProtected() override;

    ui::TMenu* Menu() const { return menu_; }
    // True also sets BarHeight to 0.
    void SetRecalc(bool Value);
    void SetBarHeight(int Value) { BarHeight = Value; }
    // The bar image, made empty on first use.
    ui::TBitmap* GetBarBitmap();
    bool HasBarBitmap() const { return barBitmap_ != nullptr; }
    void FreeBarBitmap();
    // Frees the image and asks for measuring again; Valid stays.
    void Reset();

    int BarHeight = 0;
    bool Valid = false;  // the image holds the bar for the current size
    bool Recalc = true;  // BarHeight must be summed again

private:
    ui::TMenu* menu_;  // not owned
    std::unique_ptr<ui::TBitmap> barBitmap_;
};

// ---------------------------------------------------------------- gradient base

class TBcGradientBar : public ui::TPersistent {
public:
    explicit TBcGradientBar(ui::TMenu* AMenu) : TBcGradientBar(AMenu, "TBcGradientBar") {}

    ui::TMenu* Menu() const { return menu_; }
    ui::TColor Border() const { return border_; }
    void SetBorder(ui::TColor Value) { border_ = Value; }
    TGradientStyle GradientStyle() const { return gradientStyle_; }
    void SetGradientStyle(TGradientStyle Value) { gradientStyle_ = Value; }
    // Index 0 is GradientStart, 1 GradientEnd; any other raises
    // EInvalidPropertyIndex and stores nothing.
    ui::TColor GetGradientColor(int Index) const;
    void SetGradientColor(int Index, ui::TColor Value);
    ui::TColor GradientStart() const { return GetGradientColor(0); }
    void SetGradientStart(ui::TColor Value) { SetGradientColor(0, Value); }
    ui::TColor GradientEnd() const { return GetGradientColor(1); }
    void SetGradientEnd(ui::TColor Value) { SetGradientColor(1, Value); }

    void Assign(ui::TPersistent* Source) override;

protected:
    // ClassName names the object under construction in ERequireOwner.
    TBcGradientBar(ui::TMenu* AMenu, const char* ClassName);

private:
    ui::TMenu* menu_;  // not owned
    ui::TColor border_;
    TGradientStyle gradientStyle_;
    ui::TColor gradientStart_;
    ui::TColor gradientEnd_;
};

// ---------------------------------------------------------------- pictures

class TBcBarPicture : public ui::TPersistent {
public:
    explicit TBcBarPicture(ui::TMenu* AMenu) : TBcBarPicture(AMenu, "TBcBarPicture") {}
    ~TBcBarPicture() override;

    ui::TMenu* Menu() const { return menu_; }
    // Never null: an empty bitmap is made on first read.
    ui::TBitmap* Picture();
    // Null frees the bitmap; anything else is copied in.
    void SetPicture(ui::TBitmap* Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);
    int OffsetX() const { return offsetX_; }
    void SetOffsetX(int Value) { offsetX_ = Value; }
    int OffsetY() const { return offsetY_; }
    void SetOffsetY(int Value) { offsetY_ = Value; }
    TVertAlignment VertAlignment() const { return vertAlignment_; }
    void SetVertAlignment(TVertAlignment Value) { vertAlignment_ = Value; }
    THorzAlignment HorzAlignment() const { return horzAlignment_; }
    void SetHorzAlignment(THorzAlignment Value) { horzAlignment_ = Value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool Value) { visible_ = Value; }

    // The picture's top-left corner inside the bar image.
    void CalcPosition(int& X, int& Y);

    void Assign(ui::TPersistent* Source) override;

protected:
    TBcBarPicture(ui::TMenu* AMenu, const char* ClassName);

private:
    ui::TMenu* menu_;  // not owned
    bool transparent_;
    std::unique_ptr<ui::TBitmap> picture_;  // made on first read
    int offsetX_;
    int offsetY_;
    TVertAlignment vertAlignment_;
    THorzAlignment horzAlignment_;
    bool visible_;
};

class TBcBarBackPicture : public TBcBarPicture {
public:
    explicit TBcBarBackPicture(ui::TMenu* AMenu);
    TDrawStyle DrawStyle() const { return drawStyle_; }
    void SetDrawStyle(TDrawStyle Value) { drawStyle_ = Value; }

private:
    TDrawStyle drawStyle_;
};

// ---------------------------------------------------------------- caption

class TBcBarCaption : public ui::TPersistent {
public:
    // Made only by TBcBar, whose menu has passed the owner check.
    explicit TBcBarCaption(ui::TMenu* AMenu);
    ~TBcBarCaption() override;

    ui::TMenu* Menu() const { return menu_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value) { caption_ = Value; }
    ui::TFont* Font() const { return font_.get(); }
    void SetFont(ui::TFont* Value);
    int OffsetY() const { return offsetY_; }
    void SetOffsetY(int Value) { offsetY_ = Value; }
    TVertAlignment Alignment() const { return alignment_; }
    void SetAlignment(TVertAlignment Value) { alignment_ = Value; }
    TDirection Direction() const { return direction_; }
    void SetDirection(TDirection Value) { direction_ = Value; }
    ui::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(ui::TColor Value) { shadowColor_ = Value; }
    ui::TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(ui::TColor Value) { highlightColor_ = Value; }
    int Depth() const { return depth_; }
    void SetDepth(int Value) { depth_ = Value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool Value) { visible_ = Value; }

    void Assign(ui::TPersistent* Source) override;

private:
    ui::TMenu* menu_;  // not owned
    std::string caption_;
    std::unique_ptr<ui::TFont> font_;
    int offsetY_;
    TVertAlignment alignment_;
    TDirection direction_;
    ui::TColor shadowColor_;
    ui::TColor highlightColor_;
    int depth_;
    bool visible_;
};

// ---------------------------------------------------------------- side bar

class TBcBar : public TBcGradientBar {
public:
    explicit TBcBar(ui::TMenu* AMenu);
    ~TBcBar() override;

    int Width() const { return width_; }
    void SetWidth(int Value) { width_ = Value; }
    bool Visible() const { return visible_; }
    // False empties the menu's bar cache; on a main menu with a window
    // either value rebuilds the items.
    void SetVisible(bool Value);
    int Space() const { return space_; }
    void SetSpace(int Value) { space_ = Value; }
    TSide Side() const { return side_; }
    void SetSide(TSide Value) { side_ = Value; }
    TBcBarPicture* BarPicture() const { return barPicture_.get(); }
    void SetBarPicture(TBcBarPicture* Value) { barPicture_->Assign(Value); }
    TBcBarBackPicture* BarBackPicture() const { return barBackPicture_.get(); }
    void SetBarBackPicture(TBcBarBackPicture* Value) { barBackPicture_->Assign(Value); }
    TBcBarCaption* BarCaption() const { return barCaption_.get(); }
    void SetBarCaption(TBcBarCaption* Value) { barCaption_->Assign(Value); }

    void Assign(ui::TPersistent* Source) override;

private:
    int width_;
    bool visible_;
    std::unique_ptr<TBcBarPicture> barPicture_;
    std::unique_ptr<TBcBarBackPicture> barBackPicture_;
    std::unique_ptr<TBcBarCaption> barCaption_;
    int space_;
    TSide side_;
};

// ---------------------------------------------------------------- separators

class TBcSeparators : public TBcGradientBar {
public:
    explicit TBcSeparators(ui::TMenu* AMenu);
    ~TBcSeparators() override;

    ui::TFont* Font() const { return font_.get(); }
    void SetFont(ui::TFont* Value);
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool Value) { useSystemFont_ = Value; }
    ui::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ui::TAlignment Value) { alignment_ = Value; }
    TSeparatorStyle SeparatorStyle() const { return separatorStyle_; }
    void SetSeparatorStyle(TSeparatorStyle Value) { separatorStyle_ = Value; }
    bool Fade() const { return fade_; }
    void SetFade(bool Value) { fade_ = Value; }
    int FadeWidth() const { return fadeWidth_; }
    void SetFadeWidth(int Value) { fadeWidth_ = Value; }
    ui::TColor FadeColor() const { return fadeColor_; }
    void SetFadeColor(ui::TColor Value) { fadeColor_ = Value; }
    bool FlatLines() const { return flatLines_; }
    void SetFlatLines(bool Value) { flatLines_ = Value; }

    void Assign(ui::TPersistent* Source) override;

private:
    std::unique_ptr<ui::TFont> font_;
    bool useSystemFont_;
    ui::TAlignment alignment_;
    TSeparatorStyle separatorStyle_;
    bool fade_;
    int fadeWidth_;
    ui::TColor fadeColor_;
    bool flatLines_;
};

}  // namespace painters
