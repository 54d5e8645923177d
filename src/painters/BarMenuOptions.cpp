#include "painters/BarMenuOptions.h"

#include "painters/BarMenus.h"
#include "painters/BcChecked.h"
#include "painters/BcExceptions.h"
#include "ui/Bitmap.h"
#include "ui/GdiObjects.h"
#include "ui/Menus.h"

namespace painters {

namespace {

void RequireOwner(const ui::TMenu* menu, const char* className) {
    if (!menu) throw ERequireOwner(RequireOwnerText(className));
}

}  // namespace

// ================================================================ TBcBarProtected

TBcBarProtected::TBcBarProtected(ui::TMenu* AMenu) : menu_(AMenu) { RequireOwner(AMenu, "TBcBarProtected"); }

TBcBarProtected::~TBcBarProtected() = default;

void TBcBarProtected::SetRecalc(bool Value) {
    Recalc = Value;
    if (Value) BarHeight = 0;
}

ui::TBitmap* TBcBarProtected::GetBarBitmap() {
    if (!barBitmap_) barBitmap_ = std::make_unique<ui::TBitmap>();
    return barBitmap_.get();
}

void TBcBarProtected::FreeBarBitmap() { barBitmap_.reset(); }

void TBcBarProtected::Reset() {
    FreeBarBitmap();
    SetRecalc(true);
}

// ================================================================ TBcGradientBar

TBcGradientBar::TBcGradientBar(ui::TMenu* AMenu, const char* ClassName)
    : menu_(AMenu), border_(ui::clNone), gradientStyle_(gsVertical), gradientStart_(0xD8BDAF), gradientEnd_(0) {
    RequireOwner(AMenu, ClassName);
}

ui::TColor TBcGradientBar::GetGradientColor(int Index) const {
    switch (Index) {
    case 0: return gradientStart_;
    case 1: return gradientEnd_;
    }
    throw EInvalidPropertyIndex(InvalidPropertyIndexText(Index));
}

void TBcGradientBar::SetGradientColor(int Index, ui::TColor Value) {
    switch (Index) {
    case 0: gradientStart_ = Value; return;
    case 1: gradientEnd_ = Value; return;
    }
    throw EInvalidPropertyIndex(InvalidPropertyIndexText(Index));
}

void TBcGradientBar::Assign(ui::TPersistent* Source) {
    if (auto* s = dynamic_cast<TBcGradientBar*>(Source)) {
        SetGradientColor(0, s->GetGradientColor(0));
        SetGradientColor(1, s->GetGradientColor(1));
        gradientStyle_ = s->gradientStyle_;
        border_ = s->border_;
        return;
    }
    ui::TPersistent::Assign(Source);
}

// ================================================================ TBcBarPicture

TBcBarPicture::TBcBarPicture(ui::TMenu* AMenu, const char* ClassName)
    : menu_(AMenu), transparent_(true), offsetX_(0), offsetY_(0), vertAlignment_(vaBottom), horzAlignment_(haCenter),
      visible_(true) {
    RequireOwner(AMenu, ClassName);
}

TBcBarPicture::~TBcBarPicture() = default;

ui::TBitmap* TBcBarPicture::Picture() {
    if (!picture_) {
        picture_ = std::make_unique<ui::TBitmap>();
        picture_->SetTransparent(transparent_);
        picture_->SetTransparentMode(ui::tmAuto);
    }
    return picture_.get();
}

void TBcBarPicture::SetPicture(ui::TBitmap* Value) {
    if (!Value) {
        picture_.reset();
        return;
    }
    Picture()->Assign(Value);
}

void TBcBarPicture::SetTransparent(bool Value) {
    transparent_ = Value;
    if (picture_) {
        picture_->SetTransparent(Value);
        picture_->SetTransparentMode(ui::tmAuto);
    }
}

void TBcBarPicture::CalcPosition(int& X, int& Y) {
    using namespace checked;
    X = 0;
    Y = 0;
    int W = 0, H = 0;
    if (IBarMenusIntf* intf = GetBarMenusIntf(menu_)) {
        W = intf->GetBar()->Width();
        H = intf->GetBarProtected()->BarHeight;
    }
    ui::TBitmap* p = Picture();
    const int w = p->Width(), h = p->Height();
    switch (vertAlignment_) {
    case vaTop: Y = offsetY_; break;
    case vaBottom: Y = Sub(Add(H, offsetY_), h); break;
    case vaMiddle: Y = Add(Div(Sub(H, h), 2), offsetY_); break;
    }
    switch (horzAlignment_) {
    case haLeft: X = offsetX_; break;
    case haRight: X = Sub(Add(W, offsetX_), w); break;
    case haCenter: X = Add(Div(Sub(W, w), 2), offsetX_); break;
    }
}

void TBcBarPicture::Assign(ui::TPersistent* Source) {
    if (auto* s = dynamic_cast<TBcBarPicture*>(Source)) {
        SetPicture(s->picture_.get());
        SetTransparent(s->transparent_);
        offsetX_ = s->offsetX_;
        offsetY_ = s->offsetY_;
        vertAlignment_ = s->vertAlignment_;
        horzAlignment_ = s->horzAlignment_;
        return;
    }
    ui::TPersistent::Assign(Source);
}

TBcBarBackPicture::TBcBarBackPicture(ui::TMenu* AMenu)
    : TBcBarPicture(AMenu, "TBcBarBackPicture"), drawStyle_(dsNormal) {
    SetVertAlignment(vaTop);
    SetHorzAlignment(haLeft);
}

// ================================================================ TBcBarCaption

TBcBarCaption::TBcBarCaption(ui::TMenu* AMenu)
    : menu_(AMenu), offsetY_(6), alignment_(vaBottom), direction_(dDownToUp), shadowColor_(ui::clNone),
      highlightColor_(ui::clNone), depth_(1), visible_(true) {
    font_ = std::make_unique<ui::TFont>();
    font_->SetName("Tahoma");
    font_->SetSize(14);
    font_->SetColor(ui::clWhite);
    font_->SetStyle({ui::fsBold, ui::fsItalic});
}

TBcBarCaption::~TBcBarCaption() = default;

void TBcBarCaption::SetFont(ui::TFont* Value) { font_->Assign(Value); }

void TBcBarCaption::Assign(ui::TPersistent* Source) {
    if (auto* s = dynamic_cast<TBcBarCaption*>(Source)) {
        font_->Assign(s->font_.get());
        caption_ = s->caption_;
        offsetY_ = s->offsetY_;
        alignment_ = s->alignment_;
        depth_ = s->depth_;
        shadowColor_ = s->shadowColor_;
        highlightColor_ = s->highlightColor_;
        direction_ = s->direction_;
        return;
    }
    ui::TPersistent::Assign(Source);
}

// ================================================================ TBcBar

TBcBar::TBcBar(ui::TMenu* AMenu)
    : TBcGradientBar(AMenu, "TBcBar"), width_(32), visible_(true), space_(1), side_(sLeft) {
    barPicture_ = std::make_unique<TBcBarPicture>(AMenu);
    barBackPicture_ = std::make_unique<TBcBarBackPicture>(AMenu);
    barCaption_ = std::make_unique<TBcBarCaption>(AMenu);
}

// Freed in the order they were made.
TBcBar::~TBcBar() {
    barPicture_.reset();
    barBackPicture_.reset();
    barCaption_.reset();
}

void TBcBar::SetVisible(bool Value) {
    if (!Value) {
        // An option object whose menu is not a bar menu has no cache to empty.
        if (IBarMenusIntf* intf = GetBarMenusIntf(Menu())) {
            TBcBarProtected* cache = intf->GetBarProtected();
            cache->FreeBarBitmap();
            cache->SetRecalc(true);
            cache->Valid = false;
        }
    }
    visible_ = Value;
    if (auto* mm = dynamic_cast<TBcCustomBarMainMenu*>(Menu()); mm && mm->WindowHandle()) mm->Refresh(false, true);
}

void TBcBar::Assign(ui::TPersistent* Source) {
    if (auto* s = dynamic_cast<TBcBar*>(Source)) {
        width_ = s->width_;
        SetVisible(s->visible_);
        side_ = s->side_;
        space_ = s->space_;
        barPicture_->Assign(s->barPicture_.get());
        barBackPicture_->Assign(s->barBackPicture_.get());
        barCaption_->Assign(s->barCaption_.get());
    }
    TBcGradientBar::Assign(Source);
}

// ================================================================ TBcSeparators

TBcSeparators::TBcSeparators(ui::TMenu* AMenu)
    : TBcGradientBar(AMenu, "TBcSeparators"), useSystemFont_(true), alignment_(ui::taCenter), separatorStyle_(ssNormal),
      fade_(false), fadeWidth_(32), fadeColor_(ui::clBtnShadow), flatLines_(false) {
    font_ = std::make_unique<ui::TFont>();
    SetGradientStart(0x808080);
    SetGradientEnd(0xC0C0C0);
    SetGradientStyle(gsHorizontal);
}

TBcSeparators::~TBcSeparators() = default;

void TBcSeparators::SetFont(ui::TFont* Value) { font_->Assign(Value); }

void TBcSeparators::Assign(ui::TPersistent* Source) {
    if (auto* s = dynamic_cast<TBcSeparators*>(Source)) {
        font_->Assign(s->font_.get());
        alignment_ = s->alignment_;
        separatorStyle_ = s->separatorStyle_;
        useSystemFont_ = s->useSystemFont_;
    }
    TBcGradientBar::Assign(Source);
}

}  // namespace painters
