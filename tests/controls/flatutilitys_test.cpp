// The flat controls' drawing routines on real GDI: pixels read back from
// 32-bit bitmaps.
#include <gtest/gtest.h>

#include <memory>

#include "controls/FlatUtilitys.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ui/GdiTestUtil.h"

using namespace controls;
using namespace ui;
using gditest::PixelAt;

TEST(FlatUtilitys, FrameRingsNestAndLeaveTheRectangleAlone) {
    TBitmap b(10, 10);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 10, 10));
    const TRect r = Rect(0, 0, 10, 10);
    DrawFrameRings(b.Canvas(), r, clRed, clBlue, 2);
    EXPECT_TRUE(r == Rect(0, 0, 10, 10));
    // Outer ring: top/left red, right/bottom blue; inner ring one pixel in.
    EXPECT_EQ(PixelAt(b, 0, 5), clRed);
    EXPECT_EQ(PixelAt(b, 5, 0), clRed);
    EXPECT_EQ(PixelAt(b, 9, 5), clBlue);
    EXPECT_EQ(PixelAt(b, 5, 9), clBlue);
    EXPECT_EQ(PixelAt(b, 1, 5), clRed);
    EXPECT_EQ(PixelAt(b, 8, 5), clBlue);
    EXPECT_EQ(PixelAt(b, 2, 5), clWhite) << "only two rings";
    EXPECT_EQ(PixelAt(b, 0, 9), clBlue) << "the bottom line runs to the left edge";
}

TEST(FlatUtilitys, GradientOnBitmapAndCanvasAgree) {
    for (TGradientStyle style : {gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft}) {
        TBitmap onBitmap(8, 6), onCanvas(8, 6);
        DrawGradient(&onBitmap, nullptr, Rect(0, 0, 8, 6), clBlack, clWhite, style);
        DrawGradient(nullptr, onCanvas.Canvas(), Rect(0, 0, 8, 6), clBlack, clWhite, style);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(PixelAt(onBitmap, x, y), PixelAt(onCanvas, x, y)) << int(style) << " at " << x << "," << y;
    }
    TBitmap solid(4, 4);
    DrawGradient(&solid, nullptr, Rect(0, 0, 4, 4), clBtnFace, clBtnFace, gsVertical);
    EXPECT_EQ(PixelAt(solid, 3, 3), ColorToRGB(clBtnFace)) << "equal system colours fill resolved";
    // A rectangle larger than the bitmap, from a negative left edge.
    TBitmap small(4, 4);
    DrawGradient(&small, nullptr, Rect(-4, 0, 12, 8), clBlack, clWhite, gsHorizontal);
    EXPECT_EQ(PixelAt(small, 0, 0), RGB(63, 63, 63));
}

TEST(FlatUtilitys, LightnessRuleResolvesSystemColours) {
    EXPECT_EQ(AdjustColorLightness(clWhite, clRed, 10, false), RGB(106, 106, 106));
    EXPECT_EQ(AdjustColorLightness(clBtnFace, clRed, 0, true), clRed);
    EXPECT_NE(AdjustColorLightness(clBtnFace, clRed, 10, true), clRed);
}

TEST(FlatUtilitys, DisabledGlyphIsEmbossedOnTheFace) {
    TBitmap glyph(8, 8);
    glyph.Canvas()->Brush()->SetColor(clWhite);
    glyph.Canvas()->FillRect(Rect(0, 0, 8, 8));
    glyph.Canvas()->Brush()->SetColor(clBlack);
    glyph.Canvas()->FillRect(Rect(2, 2, 4, 4));
    std::unique_ptr<TBitmap> d(MakeDisabledGlyph(&glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true));
    EXPECT_EQ(PixelAt(*d, 2, 2), ColorToRGB(clBtnShadow)) << "the shape in shadow";
    EXPECT_EQ(PixelAt(*d, 4, 4), ColorToRGB(clBtnHighlight)) << "its highlight one pixel down and right";
    EXPECT_EQ(PixelAt(*d, 6, 6), ColorToRGB(clBtnFace)) << "background in the face colour";
}

TEST(FlatUtilitys, ParentBackgroundShowsTheParentsPaint) {
    auto* f = TComponent::Create<TForm>(Application);
    f->SetBounds(0, 0, 200, 150);
    auto* panel = TComponent::Create<TPanel>(f);
    panel->SetParent(f);
    panel->SetBounds(0, 0, 100, 80);
    panel->SetColor(clLime);
    auto* under = TComponent::Create<TPanel>(f);
    under->SetParent(panel);
    under->SetBounds(30, 20, 10, 10);
    under->SetColor(clRed);
    auto* lone = TComponent::Create<TLabel>(f);
    lone->SetBounds(25, 15, 10, 10);
    lone->SetParent(panel);

    TBitmap b(10, 10);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 10, 10));
    auto* orphan = TComponent::Create<TLabel>(f);
    PaintParentBackground(orphan, b.Canvas());
    EXPECT_EQ(PixelAt(b, 5, 5), clWhite) << "no parent: nothing drawn";

    PaintParentBackground(lone, b.Canvas());
    EXPECT_EQ(PixelAt(b, 1, 1), clLime) << "the parent's background under the control";
    TComponent::Free(f);
}
