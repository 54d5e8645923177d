#include "painters/XPMenu.h"

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "painters/XPMenuManager.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Buttons.h"
#include "ui/Canvas.h"
#include "ui/ComCtrls.h"
#include "ui/Exception.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/ListView.h"
#include "ui/PageControl.h"
#include "ui/StdCtrls.h"

namespace painters {

using namespace ui;

// ---------------------------------------------------------------- colours

namespace {
int Clamp255(int v) { return std::clamp(v, 0, 255); }
int R(TColor c) { return c & 0xFF; }
int G(TColor c) { return (c >> 8) & 0xFF; }
int B(TColor c) { return (c >> 16) & 0xFF; }
TColor Rgb(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }
TColor Plain(TColor c) { return static_cast<TColor>(ColorToRGB(c) & 0xFFFFFF); }
}  // namespace

TColor DarkenColor(TColor C, int N) {
    const TColor c = Plain(C);
    return Rgb(Clamp255(R(c) - N), Clamp255(G(c) - N + 2), Clamp255(B(c) - N));
}

TColor LightenColor(TColor C, int P) {
    const TColor c = Plain(C);
    const double f = std::min(P, 100) / 100.0;
    // nearbyint rounds halves to the even neighbour (the default FP mode).
    auto up = [f](int v) { return Clamp255(v + static_cast<int>(std::nearbyint((255 - v) * f))); };
    return Rgb(up(R(c)), up(G(c)), up(B(c)));
}

TColor AverageColor(std::initializer_list<TColor> Colors) {
    if (Colors.size() == 0) return 0;
    const int n = static_cast<int>(Colors.size());
    int r = 0, g = 0, b = 0;
    for (TColor x : Colors) {
        const TColor c = Plain(x);
        r += R(c) / n;
        g += G(c) / n;
        b += B(c) / n;
    }
    return Rgb(r, g, b);
}

TColor GreyShade(TColor C, int N) {
    const TColor c = Plain(C);
    const int g = std::min((R(c) + G(c) + B(c)) / 3 + N, 240);
    return Rgb(g, g, g);
}

namespace {
template <class F> void MapPixels(TBitmap* Bitmap, F f) {
    if (!Bitmap) return;
    TCanvas* cv = Bitmap->Canvas();
    bool havePrev = false;
    TColor prevIn = 0, prevOut = 0;
    for (int y = 0; y < Bitmap->Height(); ++y)
        for (int x = 0; x < Bitmap->Width(); ++x) {
            const TColor p = cv->Pixels(x, y);
            if (!havePrev || p != prevIn) {
                prevIn = p;
                prevOut = f(p);
                havePrev = true;
            }
            cv->SetPixel(x, y, prevOut);
        }
}
}  // namespace

void GreyOutBitmap(TBitmap* Bitmap, int N) {
    MapPixels(Bitmap, [N](TColor p) { return GreyShade(p, N); });
}

void PaleBitmap(TBitmap* Bitmap, int P) {
    MapPixels(Bitmap, [P](TColor p) { return LightenColor(p, P); });
}

void DrawGlyphSilhouette(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, TColor SilhouetteColor) {
    if (!Bitmap || !Canvas || Bitmap->Width() <= 0 || Bitmap->Height() <= 0) return;
    TCanvas* src = Bitmap->Canvas();
    const TColor key = src->Pixels(0, Bitmap->Height() - 1);
    for (int i = 0; i < Bitmap->Height(); ++i)
        for (int j = 0; j < Bitmap->Width(); ++j)
            if (src->Pixels(j, i) != key) Canvas->SetPixel(X + j, Y + i, SilhouetteColor);
}

void DrawLine(TCanvas* c, int x1, int y1, int x2, int y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

TColor ParentColorOf(const TControl* c) { return c->Parent() ? c->Parent()->Color() : clBtnFace; }

void DrawDropArrow(TCanvas* Canvas, int X, int Y) {
    DrawLine(Canvas, X, Y, X + 5, Y);
    DrawLine(Canvas, X + 1, Y + 1, X + 4, Y + 1);
    DrawLine(Canvas, X + 2, Y + 2, X + 3, Y + 2);
}

void DrawSpinArrow(TCanvas* Canvas, int X, int Y, int Direction) {
    if (Direction == 0) {
        DrawLine(Canvas, X, Y, X, Y - 1);
        DrawLine(Canvas, X + 1, Y + 1, X + 4, Y + 4);
        DrawLine(Canvas, X, Y + 1, X + 3, Y + 4);
        DrawLine(Canvas, X, Y + 2, X + 2, Y + 4);
        DrawLine(Canvas, X - 1, Y + 1, X - 4, Y + 4);
        DrawLine(Canvas, X, Y + 2, X - 3, Y + 4);
        DrawLine(Canvas, X, Y + 1, X - 2, Y + 4);
    } else if (Direction == 1) {
        DrawLine(Canvas, X, Y + 3, X, Y + 4);
        DrawLine(Canvas, X + 1, Y + 2, X + 4, Y - 1);
        DrawLine(Canvas, X, Y + 2, X + 3, Y - 1);
        DrawLine(Canvas, X, Y + 1, X + 2, Y);
        DrawLine(Canvas, X - 1, Y + 2, X - 4, Y - 1);
        DrawLine(Canvas, X, Y + 2, X - 3, Y - 1);
        DrawLine(Canvas, X, Y + 1, X - 2, Y);
    }
}

void DrawTickMark(TCanvas* Canvas, int X, int Y) {
    for (int k = 0; k < 3; ++k)
        Canvas->Polyline({Point(X + 2, Y - 5 - k), Point(X + 4, Y - 3 - k), Point(X + 9, Y - 8 - k)});
}

std::string ClassNameOf(const TObject* Object) {
    if (!Object) return {};
    const char* mangled = typeid(*Object).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = (status == 0 && plain) ? plain.get() : mangled;
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

bool ControlInside(const TControl* Container, const TControl* C) {
    for (const TControl* p = C; p; p = p->Parent())
        if (p == Container) return true;
    return false;
}

// ---------------------------------------------------------------- TXPMenu

TXPMenu::TXPMenu(TComponent* AOwner)
    : TComponent(AOwner), color_(clBtnFace), iconBackColor_(clBtnFace), menuBarColor_(clBtnFace),
      selectColor_(clHighlight), selectBorderColor_(clHighlight), selectFontColor_(clMenuText),
      disabledColor_(clInactiveCaption), separatorColor_(clBtnFace), checkedColor_(clHighlight) {
    if (AOwner) {
        // Only a form, a frame or a scroll box can hold the painter.
        if (!dynamic_cast<TCustomForm*>(AOwner) && !dynamic_cast<TCustomFrame*>(AOwner) &&
            !dynamic_cast<TScrollBox*>(AOwner))
            throw EConvertError("Invalid class typecast");
        ownerForm_ = static_cast<TWinControl*>(AOwner);
    }
    font_ = std::make_unique<TFont>();
    if (Screen) font_->Assign(Screen->MenuFont());
    selectFontColor_ = font_->Color();
    SetXPContainers(AllXPContainers);
    SetXPControls(AllXPControls);
    if (ownerForm_) {
        ScopedGetDC dc(nullptr);
        if (dc) {
            TCanvas cv(dc);
            UpdateDerivedColors(&cv);
        }
    }
    colorsStale_ = false;
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (GetVersionExA(&vi)) {
        isNT_ = vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
        isWinXP_ = isNT_ && vi.dwMajorVersion == 5 && vi.dwMinorVersion == 1;
    }
    if (!HasState(csDesigning)) CreateXPMenuManager();
}

TXPMenu::~TXPMenu() { TearDown(); }

// Runs before the owned take-over objects are freed: from Destroying when
// the menu is freed the library's way, from the destructor after a plain
// delete.
void TXPMenu::Destroying() {
    TearDown();
    TComponent::Destroying();
}

void TXPMenu::TearDown() {
    if (tornDown_) return;
    tornDown_ = true;
    if (ownerForm_) {
        // The controls of our own form are not handed over: put them back
        // here, so none keeps a procedure bound to an object freed below.
        active_ = false;
        WalkComponents(ownerForm_, false, false);
        for (TControlSubClass* s : SubClasses())
            if (ControlInside(ownerForm_, s->Control())) s->Restore(true);
    }
    if (XPMenuManager && !HasState(csDesigning)) {
        XPMenuManager->RemoveMenu(this);
        if (ownerForm_ && ownerForm_->HandleAllocated()) ownerForm_->Update();
        if (XPMenuManager->MenuCount() == 0) FreeXPMenuManager();
    }
    // Whatever we still hold lets go before the objects are freed.
    for (TControlSubClass* s : SubClasses()) s->Restore(false);
}

void TXPMenu::Loaded() {
    TComponent::Loaded();
    if (XPMenuManager && !HasState(csDesigning)) XPMenuManager->AddMenu(this);
}

void TXPMenu::Notification(TComponent* AComponent, TOperation Operation) {
    if (XPMenuManager && !HasState(csDesigning)) XPMenuManager->FormNotify(AComponent, Operation);
    // Always passed on: free notifications must reach the base whatever the
    // manager's state.
    TComponent::Notification(AComponent, Operation);
    if (active_ && autoDetect_ && Operation == opInsert && !HasState(csDesigning) &&
        (dynamic_cast<TMenuItem*>(AComponent) || dynamic_cast<TControlBar*>(AComponent)))
        HookComponent(AComponent, true, true);
}

void TXPMenu::RedrawMenuBar() {
    if (ownerForm_ && ownerForm_->HandleAllocated()) ::DrawMenuBar(ownerForm_->Handle());
}

void TXPMenu::SetFont(TFont* v) {
    font_->Assign(v);
    RedrawMenuBar();
}

void TXPMenu::SetMenuBarColor(TColor v) {
    SetStaleColor(menuBarColor_, v);
    RedrawMenuBar();
}

void TXPMenu::SetUseSystemColors(bool v) {
    useSystemColors_ = v;
    colorsStale_ = true;
    RedrawMenuBar();
}

void TXPMenu::SetOverrideOwnerDraw(bool v) {
    overrideOwnerDraw_ = v;
    if (active_) {
        if (ownerForm_) WalkComponents(ownerForm_, true, true);
        RedrawMenuBar();
    }
}

// While active, the menus follow the new kinds at once: unhook with the old
// value, store, hook with the new. A control that no longer qualifies keeps
// its take-over until its object sees the menu switched off.
template <class T> void TXPMenu::ChangeKinds(T& field, T v) {
    if (v != field && active_ && ownerForm_) {
        active_ = false;
        WalkComponents(ownerForm_, false, true);
        active_ = true;
        field = v;
        WalkComponents(ownerForm_, true, true);
    }
    field = v;
}

void TXPMenu::SetXPContainers(TXPContainers v) { ChangeKinds(xpContainers_, v); }
void TXPMenu::SetXPControls(TXPControls v) { ChangeKinds(xpControls_, v); }

void TXPMenu::SetActive(bool v) {
    if (v == active_) return;
    active_ = v;
    if (ownerForm_) WalkComponents(ownerForm_, v, true);
    RedrawMenuBar();
}

void TXPMenu::SetDisableSubclassing(bool v) {
    if (v == disableSubclassing_) return;
    // Stored first: the hand-over looks for the next menu by this value.
    disableSubclassing_ = v;
    if (!XPMenuManager) return;
    if (XPMenuManager->CurrentMenu() == this) {
        if (v) XPMenuManager->HandOver(this);
    } else if (!XPMenuManager->CurrentMenu() && !v) {
        XPMenuManager->HandOver(nullptr);
    }
}

void TXPMenu::UpdateDerivedColors(TCanvas* ACanvas) {
    colorsStale_ = false;
    isHighColor_ = !ACanvas || GetDeviceCaps(ACanvas->Handle(), BITSPIXEL) > 15;
    buttonFaceLevel_ = 16;
    buttonHotLevel_ = 40;
    menuBackColor_ = color_;
    iconColumnColor_ = iconBackColor_;
    if (isHighColor_) {
        if (useDimColor_) {
            selectFillColor_ = LightenColor(selectColor_, 68);
            checkedFillColor_ = LightenColor(selectColor_, 80);
            checkedSelectedFillColor_ = LightenColor(selectColor_, 50);
        } else {
            selectFillColor_ = checkedFillColor_ = checkedSelectedFillColor_ = selectColor_;
        }
        flatBorderColor_ = DarkenColor(clBtnFace, 90);
        menuShadowColor_ = DarkenColor(clBtnFace, 76);
    } else {
        selectFillColor_ = selectColor_;
        checkedFillColor_ = clWhite;
        checkedSelectedFillColor_ = clSilver;
        flatBorderColor_ = menuShadowColor_ = clBtnShadow;
    }
    selectFrameColor_ = selectBorderColor_;
    selectTextColor_ = selectFontColor_;
    barColor_ = menuBarColor_;
    disabledTextColor_ = disabledColor_;
    checkFrameColor_ = checkedColor_;
    separatorLineColor_ = separatorColor_;
    if (useSystemColors_) {
        selectTextColor_ = font_->Color();
        const bool h = isHighColor_;
        menuBackColor_ = h ? LightenColor(clBtnFace, 86) : clWhite;
        iconColumnColor_ = h ? LightenColor(clBtnFace, 16) : clBtnFace;
        selectFillColor_ = h ? LightenColor(clHighlight, 68) : clWhite;
        selectFrameColor_ = clHighlight;
        barColor_ = clBtnFace;
        disabledTextColor_ = h ? LightenColor(clBtnShadow, 10) : clBtnShadow;
        separatorLineColor_ = h ? LightenColor(clBtnShadow, 25) : clBtnShadow;
        checkFrameColor_ = clHighlight;
        checkedFillColor_ = h ? LightenColor(clHighlight, 80) : clWhite;
        checkedSelectedFillColor_ = h ? LightenColor(clHighlight, 50) : clWhite;
    }
}

// ---------------------------------------------------------------- the walk

void TXPMenu::WalkComponents(TComponent* Container, bool Activate, bool Repaint) {
    if (!Container) return;
    ++walkCount_;
    PurgeInert();
    // A handler run by the walk may add or free components: walk a copy and
    // skip what has gone meanwhile.
    std::vector<TComponent*> items;
    for (int i = 0; i < Container->ComponentCount(); ++i) items.push_back(Container->Components(i));
    for (TComponent* c : items) {
        bool stillThere = false;
        for (int i = 0; i < Container->ComponentCount() && !stillThere; ++i) stillThere = Container->Components(i) == c;
        if (stillThere) HookComponent(c, Activate, Repaint);
    }
}

bool TXPMenu::QualifiesByKind(TComponent* C) const {
    const std::string name = ClassNameOf(C);
    auto on = [this](TXPControl b) { return (xpControls_ & Bit(b)) != 0; };
    struct Row {
        bool match;
        TXPControl bit;
    };
    const Row rows[] = {
        {dynamic_cast<TCustomCombo*>(C) != nullptr, xcCombo},
        {dynamic_cast<TCustomLabeledEdit*>(C) != nullptr, xcEdit},
        {dynamic_cast<TEdit*>(C) != nullptr, xcEdit},
        {name == "TMaskEdit", xcMaskEdit},
        {name == "TDBEdit", xcMaskEdit},
        {dynamic_cast<TCustomMemo*>(C) != nullptr, xcMemo},
        {dynamic_cast<TCustomRichEdit*>(C) != nullptr, xcRichEdit},
        {dynamic_cast<TCustomCheckBox*>(C) != nullptr, xcCheckBox},
        {dynamic_cast<TRadioButton*>(C) != nullptr, xcRadioButton},
        {name == "TBitBtn", xcBitBtn},
        {name == "TButton", xcButton},
        {name == "TUpDown", xcUpDown},
        {dynamic_cast<TSpeedButton*>(C) != nullptr, xcSpeedButton},
        {dynamic_cast<TCustomPanel*>(C) != nullptr, xcPanel},
        {name == "TDBNavigator", xcButton},
        {name == "TDBLookupComboBox", xcButton},
        {dynamic_cast<TCustomGroupBox*>(C) != nullptr, xcGroupBox},
        {dynamic_cast<TCustomListBox*>(C) != nullptr, xcListBox},
        {dynamic_cast<TCustomTreeView*>(C) != nullptr, xcTreeView},
        {dynamic_cast<TCustomListView*>(C) != nullptr, xcListView},
        {dynamic_cast<TProgressBar*>(C) != nullptr, xcProgressBar},
        {dynamic_cast<TCustomHotKey*>(C) != nullptr, xcHotKey},
    };
    for (const Row& r : rows)
        if (r.match && on(r.bit)) return true;
    return false;
}

bool TXPMenu::QualifiesByPlace(TControl* C) const {
    TWinControl* p = C->Parent();
    if (!p) return false;
    const std::string name = ClassNameOf(p);
    auto on = [this](TXPContainer b) { return (xpContainers_ & Bit(b)) != 0; };
    struct Row {
        bool match;
        TXPContainer bit;
    };
    const Row rows[] = {
        {dynamic_cast<TToolBar*>(p) != nullptr, xccToolbar},
        {dynamic_cast<TCoolBar*>(p) != nullptr, xccCoolbar},
        {dynamic_cast<TCustomPanel*>(p) != nullptr, xccPanel},
        {dynamic_cast<TControlBar*>(p) != nullptr, xccControlbar},
        {dynamic_cast<TScrollBox*>(p) != nullptr, xccScrollBox},
        {dynamic_cast<TCustomGroupBox*>(p) != nullptr, xccGroupBox},
        {dynamic_cast<TTabSheet*>(p) != nullptr, xccTabSheet},
        {dynamic_cast<TTabControl*>(p) != nullptr, xccTabSheet},
        {name == "TdxTabSheet", xccTabSheet},
        {dynamic_cast<TPageScroller*>(p) != nullptr, xccPageScroller},
        {dynamic_cast<TCustomFrame*>(p) != nullptr, xccFrame},
        {name == "TDBCtrlPanel", xccFrame},
        {dynamic_cast<TCustomForm*>(p) != nullptr, xccForm},
    };
    for (const Row& r : rows)
        if (r.match && on(r.bit)) return true;
    return false;
}

void TXPMenu::SubClass(TControl* C) {
    // Never twice: a control keeps the object it has.
    if (TControlSubClass::Find(C)) return;
    TComponent::Create<TControlSubClass>(this, C);
}

void TXPMenu::HookComponent(TComponent* C, bool Activate, bool Repaint) {
    if (!C) return;
    auto on = [this](TXPControl b) { return (xpControls_ & Bit(b)) != 0; };
    const bool designing = HasState(csDesigning);

    if (auto* mm = dynamic_cast<TMainMenu*>(C); mm && on(xcMainMenu) && C->Tag() != XPLeaveAloneTag) {
        TMenuItem* items = mm->Items();
        for (int i = 0; items && i < items->Count(); ++i) {
            mm->SetOwnerDraw(Activate);
            HookMenuItems(items->Items(i), Activate);
        }
        if (items && items->Count() > 0) {
            // Rebuilds the menu bar with the new drawing.
            TMenuItem* first = items->Items(0);
            const std::string caption = first->Caption();
            first->SetCaption("");
            first->SetCaption(caption);
        }
    }
    if (auto* pm = dynamic_cast<TPopupMenu*>(C); pm && on(xcPopupMenu)) {
        TMenuItem* items = pm->Items();
        for (int i = 0; items && i < items->Count(); ++i) {
            pm->SetOwnerDraw(Activate);
            HookMenuItems(items->Items(i), Activate);
        }
    }

    HookBars(C, Activate, Repaint);

    auto* ctl = dynamic_cast<TControl*>(C);
    if (ctl && !designing && QualifiesByKind(C) && QualifiesByPlace(ctl)) {
        if (Activate && C->Tag() != XPLeaveAloneTag && ctl->Parent()->Tag() != XPLeaveAloneTag) SubClass(ctl);
        if (Repaint) ctl->Invalidate();
    }

    // The walk goes by ownership: a radio group owns its buttons and a frame
    // the controls made for it, none of which the form itself owns.
    auto inOn = [this](TXPContainer b) { return (xpContainers_ & Bit(b)) != 0; };
    if (dynamic_cast<TCustomRadioGroup*>(C) && inOn(xccGroupBox)) WalkComponents(C, Activate, Repaint);
    if ((dynamic_cast<TCustomFrame*>(C) && inOn(xccFrame)) || ClassNameOf(C) == "TDBNavigator" ||
        dynamic_cast<TCustomForm*>(C))
        WalkComponents(C, Activate, Repaint);
}

void TXPMenu::HookMenuItem(TMenuItem* Item, bool Activate) {
    if (!Item) return;
    const TMenuMeasureItemEvent measure(this, &TXPMenu::HandleMeasureItem);
    const TMenuDrawItemEvent draw(this, &TXPMenu::HandleDrawItem);
    if (Activate) {
        if (Item->Tag() == XPLeaveAloneTag) return;
        if (!Item->OnDrawItem || overrideOwnerDraw_) Item->OnDrawItem = draw;
        if (!Item->OnMeasureItem || overrideOwnerDraw_) Item->OnMeasureItem = measure;
    } else {
        if (Item->OnDrawItem == draw) Item->OnDrawItem = nullptr;
        if (Item->OnMeasureItem == measure) Item->OnMeasureItem = nullptr;
    }
}

void TXPMenu::HookMenuItems(TMenuItem* Item, bool Activate) {
    if (!Item) return;
    HookMenuItem(Item, Activate);
    for (int i = 0; i < Item->Count(); ++i) HookMenuItems(Item->Items(i), Activate);
}

std::vector<TControlSubClass*> TXPMenu::SubClasses() const {
    std::vector<TControlSubClass*> v;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* s = dynamic_cast<TControlSubClass*>(Components(i)); s && s->Control()) v.push_back(s);
    return v;
}

void TXPMenu::PurgeInert() {
    std::vector<TControlSubClass*> inert;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* s = dynamic_cast<TControlSubClass*>(Components(i)); s && !s->Control()) inert.push_back(s);
    for (TControlSubClass* s : inert) TComponent::Free(s);
}

}  // namespace painters
