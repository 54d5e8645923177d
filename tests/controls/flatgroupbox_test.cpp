// The group box and the panel as they paint into a memory DC: the caption's
// gap in the top line in both reading orders, the frame, embossed captions
// when disabled, and the parent's image under a transparent box.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "controls/ControlPixels.h"
#include "controls/FlatGroupBox.h"
#include "controls/FlatUtilitys.h"
#include "support/UiTestUtil.h"
#include "ui/Canvas.h"
#include "ui/GdiObjects.h"

using controls::TFlatGroupBox;
using controls::TFlatPanel;
using vsk::test::ClientPixels;
using namespace ui;

namespace {
constexpr COLORREF Border = 0x8396A0;
constexpr COLORREF Face = 0x00E0E0;

// A parent that paints: red left of x = 60, blue from there on.
class StripedParent : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(0x0000FF);
        Canvas()->FillRect(Rect(0, 0, 60, Height()));
        Canvas()->Brush()->SetColor(0xFF0000);
        Canvas()->FillRect(Rect(60, 0, Width(), Height()));
    }
};

struct BoxForm {
    TForm* form = vsk::test::NewBareForm(30, 30, 300, 200);
    StripedParent* parent = TComponent::Create<StripedParent>(form);
    TFlatGroupBox* box = TComponent::Create<TFlatGroupBox>(form);
    BoxForm() {
        parent->SetParent(form);
        parent->SetBounds(0, 0, 300, 200);
        box->SetParent(parent);
        box->SetBounds(20, 20, 120, 80);
        box->SetColor(Face);
        form->Show();
    }
    ~BoxForm() { TComponent::Free(form); }
    ClientPixels Pixels() { return ClientPixels(box->Handle(), box->Width(), box->Height()); }
    int TextHeight() {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, box->Font()->Handle());
        SIZE s{};
        GetTextExtentPoint32A(dc, "W", 1, &s);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return s.cy;
    }
};

std::set<COLORREF> ColoursIn(const ClientPixels& p, int l, int t, int r, int b) {
    std::set<COLORREF> s;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) s.insert(p.At(x, y));
    return s;
}
}  // namespace

TEST(FlatGroupBox, TopLineLeavesAGapForTheCaption) {
    struct Case {
        ui::TBiDiMode mode;
        controls::TGroupBoxBorder border;
        std::set<int> line, gap;
    };
    const int R = 120;
    const Case cases[] = {
        {ui::bdLeftToRight, controls::brFull, {0, 5, 13, R - 1}, {6, 9, 12}},
        {ui::bdLeftToRight, controls::brOnlyTopLine, {1, 5, 13, R - 1}, {6, 12}},
        {ui::bdRightToLeft, controls::brFull, {0, R - 15, R - 6, R - 1}, {R - 14, R - 10, R - 7}},
        {ui::bdRightToLeft, controls::brOnlyTopLine, {1, R - 13, R - 5, R - 1}, {R - 11, R - 6}},
    };
    for (const Case& c : cases) {
        BoxForm f;
        f.box->SetBiDiMode(c.mode);
        f.box->SetBorder(c.border);
        ClientPixels p = f.Pixels();
        const int Y = f.TextHeight() / 2;
        for (int x : c.line) EXPECT_EQ(p.At(x, Y), Border) << "line at x " << x << " mode " << int(c.mode);
        for (int x : c.gap) EXPECT_EQ(p.At(x, Y), Face) << "gap at x " << x << " mode " << int(c.mode);
        const bool full = c.border == controls::brFull;
        EXPECT_EQ(p.At(0, 50) == Border, full) << "left edge";
        EXPECT_EQ(p.At(R - 1, 50) == Border, full) << "right edge";
        EXPECT_EQ(p.At(50, 79) == Border, full) << "bottom edge";
        EXPECT_EQ(p.At(50, 50), Face) << "inside";
    }
}

TEST(FlatGroupBox, CaptionWidensTheGap) {
    BoxForm f;
    f.box->SetCaption("Volume");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, f.box->Font()->Handle());
    SIZE s{};
    GetTextExtentPoint32A(dc, "Volume", 6, &s);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    ClientPixels p = f.Pixels();
    const int Y = s.cy / 2;
    EXPECT_EQ(p.At(13 + s.cx, Y), Border);
    EXPECT_NE(p.At(12 + s.cx, Y), Border);
    EXPECT_NE(p.At(8, Y), Border);
}

TEST(FlatGroupBox, DisabledCaptionIsEmbossed) {
    for (bool enabled : {true, false}) {
        BoxForm f;
        f.box->SetCaption("MMMM");
        f.box->Font()->SetColor(clBlack);
        f.box->SetEnabled(enabled);
        ClientPixels p = f.Pixels();
        std::set<COLORREF> ink = ColoursIn(p, 10, 0, 60, f.TextHeight() + 1);
        const COLORREF shadow = ColorToCOLORREF(clBtnShadow), light = ColorToCOLORREF(clBtnHighlight);
        EXPECT_EQ(ink.count(0) == 1, enabled) << "black text, enabled " << enabled;
        EXPECT_EQ(ink.count(shadow) == 1, !enabled) << "shadow, enabled " << enabled;
        EXPECT_EQ(ink.count(light) == 1, !enabled) << "highlight, enabled " << enabled;
    }
}

TEST(FlatGroupBox, TransparentBoxShowsWhatTheParentPaints) {
    BoxForm f;
    ClientPixels opaque = f.Pixels();
    EXPECT_EQ(opaque.At(20, 40), Face);
    f.box->SetTransparent(true);
    ClientPixels p = f.Pixels();
    // The box stands at x 20 in its parent: red until box x 40, then blue.
    EXPECT_EQ(p.At(20, 40), 0x0000FFu);
    EXPECT_EQ(p.At(39, 40), 0x0000FFu);
    EXPECT_EQ(p.At(40, 40), 0xFF0000u);
    EXPECT_EQ(p.At(0, 60), Border) << "the frame still shows";
}

TEST(FlatPanel, FrameCaptionAndDisabledLook) {
    for (bool enabled : {true, false}) {
        auto* form = vsk::test::NewBareForm(30, 30, 300, 200);
        auto* panel = TComponent::Create<TFlatPanel>(form);
        panel->SetParent(form);
        panel->SetBounds(10, 10, 100, 41);
        panel->SetColor(Face);
        panel->SetColorHighLight(0x00FF00);
        panel->SetColorShadow(0x800000);
        panel->SetCaption("MM");
        panel->Font()->SetColor(clBlack);
        panel->SetEnabled(enabled);
        form->Show();
        ClientPixels p(panel->Handle(), 100, 41);
        EXPECT_EQ(p.At(0, 20), 0x00FF00u);
        EXPECT_EQ(p.At(50, 0), 0x00FF00u);
        EXPECT_EQ(p.At(99, 20), 0x800000u);
        EXPECT_EQ(p.At(50, 40), 0x800000u);
        EXPECT_EQ(p.At(5, 20), Face);
        std::set<COLORREF> ink = ColoursIn(p, 30, 5, 70, 36);
        EXPECT_EQ(ink.count(0) == 1, enabled) << "enabled " << enabled;
        EXPECT_EQ(ink.count(ColorToCOLORREF(clBtnShadow)) == 1, !enabled) << "enabled " << enabled;
        TComponent::Free(form);
    }
}
