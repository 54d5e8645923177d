// The canvas and its GDI objects, drawn into bitmaps and read back.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "GdiTestUtil.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/ImageList.h"
#include "ui/Icon.h"

using namespace ui;
using gditest::Hex;
using gditest::PixelAt;

namespace {

struct Probe {
    int x, y;
    TColor expected;
};

void ExpectPixels(TBitmap& b, const std::vector<Probe>& probes, const std::string& what) {
    for (const Probe& p : probes)
        EXPECT_EQ(Hex(PixelAt(b, p.x, p.y)), Hex(p.expected)) << what << ": pixel (" << p.x << ", " << p.y << ")";
}

struct ChangeCounter {
    int count = 0;
    void Changed(TObject*) { ++count; }
};

int ChangesOf(TGraphicsObject& o, const std::function<void()>& f) {
    ChangeCounter c;
    o.OnChange = TNotifyEvent(&c, &ChangeCounter::Changed);
    f();
    o.OnChange = nullptr;
    return c.count;
}

}  // namespace

TEST(Canvas, DrawsShapesWithPenAndBrush) {
    struct Case {
        const char* name;
        std::function<void(TCanvas*)> draw;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"FillRect fills with the brush, right and bottom edges excluded",
         [](TCanvas* c) {
             c->Brush()->SetColor(clRed);
             c->FillRect(Rect(2, 2, 6, 6));
         },
         {{2, 2, clRed}, {5, 5, clRed}, {6, 6, clWhite}, {1, 1, clWhite}}},
        {"FrameRect draws a one-pixel border with the brush",
         [](TCanvas* c) {
             c->Brush()->SetColor(clBlue);
             c->FrameRect(Rect(2, 2, 8, 8));
         },
         {{2, 2, clBlue}, {7, 4, clBlue}, {4, 7, clBlue}, {4, 4, clWhite}}},
        {"LineTo paints from the pen position and leaves the last point",
         [](TCanvas* c) {
             c->Pen()->SetColor(clLime);
             c->MoveTo(1, 3);
             c->LineTo(6, 3);
         },
         {{1, 3, clLime}, {5, 3, clLime}, {6, 3, clWhite}, {3, 4, clWhite}}},
        {"Rectangle outlines with the pen and fills with the brush",
         [](TCanvas* c) {
             c->Pen()->SetColor(clNavy);
             c->Brush()->SetColor(clYellow);
             c->Rectangle(1, 1, 9, 9);
         },
         {{1, 1, clNavy}, {8, 5, clNavy}, {4, 4, clYellow}, {9, 9, clWhite}}},
        {"a clear pen draws no outline (and the fill stops a pixel short)",
         [](TCanvas* c) {
             c->Pen()->SetStyle(psClear);
             c->Brush()->SetColor(clYellow);
             c->Rectangle(1, 1, 9, 9);
         },
         {{1, 1, clYellow}, {7, 7, clYellow}, {8, 8, clWhite}}},
        {"a clear brush leaves the inside alone",
         [](TCanvas* c) {
             c->Pen()->SetColor(clRed);
             c->Brush()->SetStyle(bsClear);
             c->Ellipse(0, 0, 10, 10);
         },
         {{5, 5, clWhite}, {5, 0, clRed}}},
        {"Polygon fills the shape",
         [](TCanvas* c) {
             c->Brush()->SetColor(clGreen);
             c->Pen()->SetColor(clGreen);
             c->Polygon({{0, 0}, {9, 0}, {9, 9}});
         },
         {{8, 2, clGreen}, {1, 8, clWhite}}},
        {"Polyline joins the points",
         [](TCanvas* c) {
             c->Pen()->SetColor(clMaroon);
             c->Polyline({{0, 9}, {0, 0}, {9, 0}});
         },
         {{0, 5, clMaroon}, {5, 0, clMaroon}, {5, 5, clWhite}}},
        {"system colours are resolved when drawn",
         [](TCanvas* c) {
             c->Brush()->SetColor(clBtnFace);
             c->FillRect(Rect(0, 0, 10, 10));
         },
         {{3, 3, static_cast<TColor>(GetSysColor(COLOR_BTNFACE))}}},
        {"SetPixel sets one pixel",
         [](TCanvas* c) { c->SetPixel(4, 4, clPurple); },
         {{4, 4, clPurple}, {4, 5, clWhite}}},
    };
    for (const Case& t : cases) {
        TBitmap b(10, 10);
        t.draw(b.Canvas());
        ExpectPixels(b, t.probes, t.name);
    }
}

TEST(Canvas, ReselectsPenBrushAndFontAfterTheyChange) {
    TBitmap b(20, 20);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(0, 0, 10, 10));
    c->Brush()->SetColor(clBlue);
    c->FillRect(Rect(10, 0, 20, 10));
    EXPECT_EQ(Hex(PixelAt(b, 2, 2)), Hex(clRed));
    EXPECT_EQ(Hex(PixelAt(b, 12, 2)), Hex(clBlue)) << "the second fill must use the changed brush";

    c->Pen()->SetColor(clLime);
    c->MoveTo(0, 12);
    c->LineTo(20, 12);
    c->Pen()->SetColor(clFuchsia);
    c->Pen()->SetWidth(3);
    c->MoveTo(0, 16);
    c->LineTo(20, 16);
    EXPECT_EQ(Hex(PixelAt(b, 5, 12)), Hex(clLime));
    EXPECT_EQ(Hex(PixelAt(b, 5, 16)), Hex(clFuchsia)) << "the second line must use the changed pen";
    EXPECT_EQ(Hex(PixelAt(b, 5, 17)), Hex(clFuchsia)) << "a 3-pixel pen must be 3 pixels wide";

    c->Font()->SetSize(8);
    const TSize small = c->TextExtent("Wide text");
    c->Font()->SetSize(20);
    const TSize large = c->TextExtent("Wide text");
    EXPECT_GT(small.cx, 0);
    EXPECT_GT(small.cy, 0);
    EXPECT_GT(large.cx, small.cx) << "the measurement must use the enlarged font";
    EXPECT_GT(large.cy, small.cy);
}

TEST(Canvas, ChangedObjectsLeaveTheDCBeforeTheirHandlesAreDeleted) {
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->TextExtent("x");
    c->FillRect(Rect(0, 0, 1, 1));
    c->LineTo(1, 1);
    const HGDIOBJ font = c->Font()->Handle(), brush = c->Brush()->Handle(), pen = c->Pen()->Handle();
    EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_FONT), font);
    c->Font()->SetHeight(-30);
    c->Brush()->SetColor(clRed);
    c->Pen()->SetWidth(2);
    // A handle still selected somewhere is not destroyed: these would live on.
    EXPECT_EQ(GetObjectType(font), 0u) << "the old font handle was not deleted";
    EXPECT_EQ(GetObjectType(brush), 0u) << "the old brush handle was not deleted";
    EXPECT_EQ(GetObjectType(pen), 0u) << "the old pen handle was not deleted";
}

TEST(Canvas, ReleasingTheHandleRestoresTheDCsObjects) {
    ScopedMemDC dc;
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH),
                  font = GetCurrentObject(dc, OBJ_FONT);
    {
        TCanvas c;
        c.SetHandle(dc);
        c.Brush()->SetColor(clRed);
        c.Rectangle(0, 0, 2, 2);
        c.TextOut(0, 0, "x");
        EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font);
        c.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        c.SetHandle(dc);
        c.Rectangle(0, 0, 2, 2);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush) << "a freed canvas must give the DC its own objects back";
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
}

TEST(Canvas, WithoutADCRaises) {
    TCanvas c;
    EXPECT_THROW(c.Handle(), EInvalidOperation);
    EXPECT_THROW(c.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(Canvas, TextDrawsInTheFontColourAndHonoursTheBrush) {
    auto draw = [](TBrushStyle style, TRect clip, const std::string& text) {
        auto b = std::make_unique<TBitmap>(60, 30);
        TCanvas* c = b->Canvas();
        c->Brush()->SetColor(clYellow);
        c->FillRect(Rect(0, 0, 60, 30));
        c->Brush()->SetColor(clWhite);
        c->Brush()->SetStyle(style);
        c->Font()->SetColor(clRed);
        c->Font()->SetSize(14);
        c->TextRect(clip, 2, 2, text);
        return b;
    };
    auto count = [](TBitmap& b, TColor colour, TRect area) {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += PixelAt(b, x, y) == colour;
        return n;
    };
    auto opaque = draw(bsSolid, Rect(0, 0, 60, 30), "MW");
    EXPECT_GT(count(*opaque, clRed, Rect(0, 0, 60, 30)), 10) << "the text must be drawn in the font colour";
    EXPECT_EQ(Hex(PixelAt(*opaque, 59, 29)), Hex(clWhite)) << "a solid brush fills the text rectangle";

    auto clear = draw(bsClear, Rect(0, 0, 60, 30), "MW");
    EXPECT_GT(count(*clear, clRed, Rect(0, 0, 60, 30)), 10);
    EXPECT_EQ(count(*clear, clWhite, Rect(0, 0, 60, 30)), 0) << "a clear brush must leave the background";

    auto clipped = draw(bsClear, Rect(0, 0, 8, 30), "MMMMMM");
    EXPECT_EQ(count(*clipped, clRed, Rect(8, 0, 60, 30)), 0) << "TextRect must clip to its rectangle";
    EXPECT_GT(count(*clipped, clRed, Rect(0, 0, 8, 30)), 0);
}

TEST(Canvas, CopyRectAndDrawCopyPictures) {
    TBitmap src(4, 4);
    src.Canvas()->Brush()->SetColor(clBlue);
    src.Canvas()->FillRect(Rect(0, 0, 2, 4));
    TBitmap dst(8, 8);
    dst.Canvas()->CopyRect(Rect(0, 0, 8, 8), src.Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(Hex(PixelAt(dst, 3, 7)), Hex(clBlue)) << "CopyRect stretches the source";
    EXPECT_EQ(Hex(PixelAt(dst, 4, 0)), Hex(clWhite));

    TBitmap dst2(8, 8);
    dst2.Canvas()->Draw(4, 4, &src);
    EXPECT_EQ(Hex(PixelAt(dst2, 4, 4)), Hex(clBlue));
    EXPECT_EQ(Hex(PixelAt(dst2, 3, 3)), Hex(clWhite)) << "Draw puts the picture at (x, y), unscaled";
    EXPECT_EQ(Hex(PixelAt(dst2, 6, 7)), Hex(clWhite));
    EXPECT_EQ(Hex(dst2.Canvas()->Pixels(4, 5)), Hex(clBlue)) << "Pixels reads what was drawn";
}

TEST(Font, SizesStylesAndAdoptedHandles) {
    TFont f;
    f.SetPixelsPerInch(96);
    EXPECT_EQ(f.Name(), "Tahoma");
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    f.SetHeight(-11);
    EXPECT_EQ(f.Size(), 8);
    f.SetStyle({fsBold, fsUnderline});
    EXPECT_TRUE(f.Style().Contains(fsBold));
    EXPECT_TRUE(f.Style().Contains(fsUnderline));
    EXPECT_FALSE(f.Style().Contains(fsItalic));

    LOGFONTA lf{};
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = TRUE;
    lf.lfQuality = ANTIALIASED_QUALITY;
    strcpy(lf.lfFaceName, "Arial");
    const HFONT h = CreateFontIndirectA(&lf);
    f.SetHandle(h);
    EXPECT_EQ(f.Handle(), h);
    EXPECT_EQ(f.Name(), "Arial");
    EXPECT_EQ(f.Height(), -20);
    EXPECT_TRUE(f.Style() == (fsBold | fsItalic));
    f.SetColor(clRed);
    EXPECT_EQ(f.Handle(), h) << "the colour is not part of the font handle";
    f.SetSize(20);
    EXPECT_NE(f.Handle(), h);
    EXPECT_EQ(GetObjectType(h), 0u) << "an adopted handle belongs to the font and goes when replaced";
    EXPECT_EQ(f.LogFont().lfQuality, ANTIALIASED_QUALITY) << "adopted attributes survive a size change";

    TFont g;
    g.Assign(&f);
    EXPECT_EQ(g.Name(), "Arial");
    EXPECT_EQ(g.Color(), clRed);
    EXPECT_TRUE(g.Style() == (fsBold | fsItalic));
    EXPECT_NE(g.Handle(), f.Handle()) << "each font owns its own handle";
}

TEST(GraphicsObjects, EveryChangeRaisesOnChangeOnce) {
    TFont f;
    TPen p;
    TBrush b;
    struct Case {
        const char* name;
        TGraphicsObject* object;
        std::function<void()> change;
        int expected;
    };
    const std::vector<Case> cases = {
        {"font colour", &f, [&] { f.SetColor(clRed); }, 1},
        {"same font colour", &f, [&] { f.SetColor(clRed); }, 0},
        {"font size", &f, [&] { f.SetSize(20); }, 1},
        {"font name", &f, [&] { f.SetName("Arial"); }, 1},
        {"font style", &f, [&] { f.SetStyle(fsItalic); }, 1},
        {"same font style", &f, [&] { f.SetStyle(fsItalic); }, 0},
        {"font charset", &f, [&] { f.SetCharset(SYMBOL_CHARSET); }, 1},
        {"font pitch", &f, [&] { f.SetPitch(fpFixed); }, 1},
        {"pen colour", &p, [&] { p.SetColor(clRed); }, 1},
        {"pen width", &p, [&] { p.SetWidth(4); }, 1},
        {"pen style", &p, [&] { p.SetStyle(psDash); }, 1},
        {"pen mode", &p, [&] { p.SetMode(pmXor); }, 1},
        {"same pen mode", &p, [&] { p.SetMode(pmXor); }, 0},
        {"brush colour", &b, [&] { b.SetColor(clRed); }, 1},
        {"brush style", &b, [&] { b.SetStyle(bsCross); }, 1},
        {"font assigned", &f,
         [&] {
             TFont o;
             f.Assign(&o);
         },
         1},
    };
    for (const Case& t : cases) EXPECT_EQ(ChangesOf(*t.object, t.change), t.expected) << t.name;
}

TEST(Brush, ColourTurnsAClearBrushSolidAndPatternsRepeat) {
    TBrush b;
    b.SetStyle(bsClear);
    b.SetColor(clRed);
    EXPECT_EQ(b.Style(), bsSolid) << "setting a colour makes a clear brush solid again";

    TBitmap pattern(2, 2);
    pattern.Canvas()->SetPixel(0, 0, clBlack);
    pattern.Canvas()->SetPixel(1, 1, clBlack);
    TBitmap target(8, 8);
    target.Canvas()->Brush()->SetBitmap(&pattern);
    pattern.Canvas()->SetPixel(1, 0, clBlack);  // the brush keeps its own copy
    target.Canvas()->FillRect(Rect(0, 0, 8, 8));
    EXPECT_EQ(Hex(PixelAt(target, 4, 4)), Hex(clBlack));
    EXPECT_EQ(Hex(PixelAt(target, 5, 4)), Hex(clWhite));
    EXPECT_EQ(Hex(PixelAt(target, 7, 7)), Hex(clBlack));
}

TEST(GdiHandles, FreeingObjectsGivesEveryHandleBack) {
    ASSERT_GT(gditest::GdiObjectCount(), 0) << "no way to count GDI objects here";
    struct Case {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Case> cases = {
        {"fonts, pens and brushes",
         [] {
             TFont f;
             f.Handle();
             f.SetSize(30);
             f.Handle();
             TPen p;
             p.Handle();
             TBrush b;
             b.SetStyle(bsDiagCross);
             b.Handle();
         }},
        {"a canvas on a DC of its caller",
         [] {
             ScopedMemDC dc;
             TCanvas c;
             c.SetHandle(dc);
             c.Rectangle(0, 0, 5, 5);
             c.TextOut(0, 0, "x");
             c.Font()->SetStyle(fsBold);
             c.TextOut(0, 0, "x");
         }},
        {"bitmaps with canvases, resized, copied and streamed",
         [] {
             TBitmap b(20, 20);
             b.Canvas()->Brush()->SetColor(clRed);
             b.Canvas()->Ellipse(0, 0, 20, 20);
             b.SetSize(40, 10);
             b.Canvas()->TextOut(0, 0, "x");
             TBitmap c;
             c.Assign(&b);
             c.Handle();
             c.Canvas()->FillRect(Rect(0, 0, 1, 1));
             c.SetTransparent(true);
             b.Canvas()->Draw(0, 0, &c);
             TBitmap pattern(2, 2);
             b.Canvas()->Brush()->SetBitmap(&pattern);
             b.Canvas()->FillRect(Rect(0, 0, 4, 4));
             DeleteObject(c.ReleaseHandle());
         }},
        {"image lists with bitmaps and icons",
         [] {
             TImageList il(nullptr);
             TBitmap b(16, 16);
             il.AddMasked(&b, clWhite);
             il.Add(&b, nullptr);
             TIcon i;
             il.GetIcon(0, &i);
             il.AddIcon(&i);
             TBitmap out;
             il.Draw(out.Canvas(), 0, 0, 0, false);
             il.GetBitmap(1, &out);
             TImageList copy(nullptr);
             copy.AddImages(&il);
             copy.Assign(&il);
         }},
    };
    for (const Case& t : cases) EXPECT_EQ(gditest::GdiObjectsLeftBy(t.run), 0) << t.name << " leaked GDI objects";
}
