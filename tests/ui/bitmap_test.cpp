// TBitmap: pixels, transparency, BMP files and bitmap resources.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "GdiTestUtil.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/Icon.h"
#include "ui/Stream.h"

using namespace ui;
using gditest::BmpSpec;
using gditest::Hex;
using gditest::MakeBmp;
using gditest::PixelAt;

namespace {

std::vector<TColor> AllPixels(TBitmap& b) {
    std::vector<TColor> v;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) v.push_back(PixelAt(b, x, y));
    return v;
}

std::string Describe(const std::vector<TColor>& v) {
    std::string s;
    for (TColor c : v) s += Hex(c) + " ";
    return s;
}

void LoadBytes(TBitmap& b, const std::vector<uint8_t>& bytes) {
    TMemoryStream m;
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m.SetPosition(0);
    b.LoadFromStream(&m);
}

// A bitmap filled with `outer` and a 2 x 2 square of `inner` in its middle.
void PaintTarget(TBitmap& b, TColor outer, TColor inner) {
    b.SetSize(4, 4);
    b.Canvas()->Brush()->SetColor(outer);
    b.Canvas()->FillRect(Rect(0, 0, 4, 4));
    b.Canvas()->Brush()->SetColor(inner);
    b.Canvas()->FillRect(Rect(1, 1, 3, 3));
}

}  // namespace

TEST(Bitmap, NewPixelsAreWhiteAndResizingKeepsTheOverlap) {
    TBitmap b(3, 2);
    EXPECT_EQ(Describe(AllPixels(b)), Describe(std::vector<TColor>(6, clWhite)));
    b.Canvas()->SetPixel(0, 0, clRed);
    b.Canvas()->SetPixel(2, 1, clBlue);
    b.SetSize(5, 4);
    EXPECT_EQ(Hex(PixelAt(b, 0, 0)), Hex(clRed));
    EXPECT_EQ(Hex(PixelAt(b, 2, 1)), Hex(clBlue));
    EXPECT_EQ(Hex(PixelAt(b, 4, 3)), Hex(clWhite));
    b.Canvas()->SetPixel(4, 3, clGreen);
    EXPECT_EQ(Hex(PixelAt(b, 4, 3)), Hex(clGreen)) << "the canvas must draw on the resized picture";
    b.SetSize(1, 1);
    EXPECT_EQ(Hex(PixelAt(b, 0, 0)), Hex(clRed));
    b.SetWidth(-3);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Handle(), nullptr);
    EXPECT_THROW(b.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, ScanLinesAreTopDownBlueGreenRedAlpha) {
    TBitmap b(3, 2);
    auto* row0 = static_cast<uint8_t*>(b.ScanLine(0));
    row0[4 + 0] = 0xFF;  // pixel (1, 0): blue
    row0[4 + 1] = 0;
    row0[4 + 2] = 0;
    EXPECT_EQ(Hex(b.Canvas()->Pixels(1, 0)), Hex(clBlue)) << "scan line 0 is the top row";
    b.Canvas()->SetPixel(2, 1, RGB(10, 20, 30));
    const auto* row1 = static_cast<const uint8_t*>(b.ScanLine(1));
    EXPECT_EQ(row1[8], 30);
    EXPECT_EQ(row1[9], 20);
    EXPECT_EQ(row1[10], 10);
    EXPECT_EQ(static_cast<const uint8_t*>(b.ScanLine(1)) - static_cast<const uint8_t*>(b.ScanLine(0)), 12)
        << "rows are Width * 4 bytes apart";
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmap, TransparentDrawingLeavesTheBackgroundWhereTheKeyColourWas) {
    struct Case {
        const char* name;
        std::function<void(TBitmap&)> setup;
        TRect dest;
        TColor corner, centre;
    };
    const std::vector<Case> cases = {
        {"opaque", [](TBitmap&) {}, Bounds(0, 0, 4, 4), clFuchsia, clRed},
        {"transparent, colour from the bottom-left pixel", [](TBitmap& b) { b.SetTransparent(true); },
         Bounds(0, 0, 4, 4), clGreen, clRed},
        {"transparent and stretched", [](TBitmap& b) { b.SetTransparent(true); }, Bounds(0, 0, 8, 8), clGreen, clRed},
        {"transparent with a fixed colour",
         [](TBitmap& b) {
             b.SetTransparent(true);
             b.SetTransparentColor(clRed);
         },
         Bounds(0, 0, 4, 4), clFuchsia, clGreen},
    };
    for (const Case& t : cases) {
        TBitmap picture;
        PaintTarget(picture, clFuchsia, clRed);
        t.setup(picture);
        TBitmap target(8, 8);
        target.Canvas()->Brush()->SetColor(clGreen);
        target.Canvas()->FillRect(Rect(0, 0, 8, 8));
        target.Canvas()->StretchDraw(t.dest, &picture);
        const int mid = RectWidth(t.dest) / 2;
        EXPECT_EQ(Hex(PixelAt(target, 0, 0)), Hex(t.corner)) << t.name << ": corner";
        EXPECT_EQ(Hex(PixelAt(target, mid, mid)), Hex(t.centre)) << t.name << ": centre";
    }
}

TEST(Bitmap, TransparentColourFollowsItsMode) {
    TBitmap b;
    EXPECT_EQ(b.TransparentColor(), clDefault) << "an empty bitmap has no pixel to take";
    PaintTarget(b, clFuchsia, clRed);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(Hex(b.TransparentColor()), Hex(clFuchsia));
    b.SetTransparentColor(clBlue);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(Hex(b.TransparentColor()), Hex(clBlue));
    b.SetTransparentMode(tmAuto);
    EXPECT_EQ(Hex(b.TransparentColor()), Hex(clFuchsia));
    b.Canvas()->SetPixel(0, 3, clLime);
    EXPECT_EQ(Hex(b.TransparentColor()), Hex(clLime)) << "tmAuto reads the pixel as it is now";
}

TEST(Bitmap, AssignMakesAnIndependentCopy) {
    TBitmap a;
    PaintTarget(a, clFuchsia, clRed);
    a.SetTransparent(true);
    a.SetTransparentColor(clBlue);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(Describe(AllPixels(b)), Describe(AllPixels(a)));
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clBlue);
    a.Canvas()->SetPixel(0, 0, clBlack);
    EXPECT_EQ(Hex(PixelAt(b, 0, 0)), Hex(clFuchsia)) << "the copy must not share pixels";
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TIcon icon;
    EXPECT_THROW(b.Assign(&icon), EConvertError);
}

TEST(Bitmap, HandleTakesThePictureOutOfTheCanvasDC) {
    TBitmap b(4, 4);
    b.Canvas()->FillRect(Rect(0, 0, 1, 1));
    const HBITMAP h = b.Handle();
    ASSERT_NE(h, nullptr);
    {
        ScopedMemDC other;
        ScopedSelectObject sel(other, h);
        EXPECT_TRUE(sel.Selected()) << "the DIB must be free for another DC";
    }
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(Hex(PixelAt(b, 3, 3)), Hex(clRed)) << "the canvas must take the picture back";
}

TEST(Bitmap, SetHandleAdoptsAnyBitmap) {
    ScopedGetDC screen(nullptr);
    const HBITMAP ddb = CreateCompatibleBitmap(screen, 3, 2);
    {
        ScopedMemDC dc;
        ScopedSelectObject sel(dc, ddb);
        ScopedGdiObject<HBRUSH> blue(CreateSolidBrush(RGB(0, 0, 255)));
        RECT r{0, 0, 3, 2};
        FillRect(dc, &r, blue);
    }
    TBitmap b;
    b.SetHandle(ddb);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(Hex(PixelAt(b, 2, 1)), Hex(clBlue));
    EXPECT_EQ(GetObjectType(ddb), 0u) << "the adopted handle is converted and deleted";
}

TEST(Bitmap, MonochromeTurnsTheBrushColourWhiteAndTheRestBlack) {
    TBitmap b;
    PaintTarget(b, clFuchsia, clRed);
    b.Canvas()->Brush()->SetColor(clRed);
    b.SetMonochrome(true);
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    EXPECT_EQ(Hex(PixelAt(b, 1, 1)), Hex(clWhite));
    EXPECT_EQ(Hex(PixelAt(b, 0, 0)), Hex(clBlack));
    b.SetPixelFormat(pf32bit);
    EXPECT_FALSE(b.Monochrome());
    EXPECT_EQ(Hex(PixelAt(b, 1, 1)), Hex(clWhite)) << "going back to colour keeps the pixels";
}

TEST(BitmapFile, RoundTripsEveryByteThroughAStream) {
    TBitmap a(5, 3);
    for (int y = 0; y < 3; ++y) {
        auto* p = static_cast<uint8_t*>(a.ScanLine(y));
        for (int i = 0; i < 20; ++i) p[i] = static_cast<uint8_t>(y * 61 + i * 13);
    }
    TMemoryStream m;
    a.SaveToStream(&m);
    ASSERT_EQ(m.Size(), 54 + 5 * 3 * 4);
    const auto* bytes = static_cast<const uint8_t*>(m.Memory());
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 32) << "bits per pixel";
    EXPECT_EQ(bytes[22], 3) << "a positive height: rows stored bottom-up";
    m.WriteBuffer("tail", 4);
    m.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(&m);
    EXPECT_EQ(m.Position(), 54 + 60) << "reading stops at the end of the picture";
    ASSERT_EQ(b.Width(), 5);
    ASSERT_EQ(b.Height(), 3);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(std::memcmp(a.ScanLine(y), b.ScanLine(y), 20), 0) << "row " << y << " differs after the round trip";

    TBitmap empty;
    TMemoryStream e;
    empty.SaveToStream(&e);
    e.SetPosition(0);
    TBitmap c(2, 2);
    c.LoadFromStream(&e);
    EXPECT_TRUE(c.Empty()) << "an empty bitmap round-trips as empty";
}

TEST(BitmapFile, ReadsEveryDepthAndLayout) {
    const TColor R = clRed, G = clLime, B = clBlue, W = clWhite, K = clBlack;
    struct Case {
        const char* name;
        BmpSpec spec;
        std::vector<TColor> expected;  // top row first
        int alpha00 = 0;
    };
    auto spec = [](int w, int h, int bpp, std::vector<std::vector<uint8_t>> rows, std::vector<uint32_t> palette = {},
                   uint32_t compression = BI_RGB, std::vector<uint32_t> masks = {}, uint32_t headerSize = 40) {
        BmpSpec s;
        s.width = w;
        s.height = h;
        s.bpp = bpp;
        s.rows = std::move(rows);
        s.palette = std::move(palette);
        s.compression = compression;
        s.masks = std::move(masks);
        s.headerSize = headerSize;
        return s;
    };
    std::vector<Case> cases = {
        {"1 bit", spec(3, 2, 1, {{0xA0, 0, 0, 0}, {0x40, 0, 0, 0}}, {0xFF0000, 0x0000FF}), {R, B, R, B, R, B}},
        {"4 bits, three colours used",
         [&] {
             auto s = spec(3, 2, 4, {{0x22, 0x00, 0, 0}, {0x01, 0x20, 0, 0}}, {0xFF0000, 0x00FF00, 0x0000FF});
             s.colorsUsed = 3;
             return s;
         }(),
         {R, G, B, B, B, R}},
        {"8 bits, top-down",
         spec(2, -2, 8, {{1, 0, 0, 0}, {2, 3, 0, 0}}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}),
         {G, R, B, W}},
        {"8 bits, an index past the palette reads black", spec(1, 1, 8, {{9, 0, 0, 0}}, {0xFF0000}), {K}},
        {"16 bits, 5-5-5", spec(2, 1, 16, {{0x00, 0x7C, 0x1F, 0x00}}), {R, B}},
        {"16 bits, 5-6-5 bit fields",
         spec(3, 1, 16, {{0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0}}, {}, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}),
         {R, G, B}},
        {"24 bits", spec(2, 2, 24, {{0, 0, 0, 255, 255, 255, 0, 0}, {255, 0, 0, 0, 0, 255, 0, 0}}), {B, R, K, W}},
        {"32 bits keep their fourth byte", spec(1, 1, 32, {{0, 255, 0, 0x80}}), {G}, 0x80},
        {"32 bits, V4 header with an alpha mask",
         spec(1, 1, 32, {{0xFF, 0x00, 0x00, 0x11}}, {}, BI_BITFIELDS, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
              108),
         {R},
         0x11},
        {"core header, 3-byte palette", spec(2, 1, 1, {{0x40, 0, 0, 0}}, {0xFF0000, 0x0000FF}, BI_RGB, {}, 12), {R, B}},
    };
    for (const Case& t : cases) {
        TBitmap b;
        try {
            LoadBytes(b, MakeBmp(t.spec));
        } catch (const Exception& e) {
            ADD_FAILURE() << t.name << ": " << e.Message();
            continue;
        }
        EXPECT_EQ(Describe(AllPixels(b)), Describe(t.expected)) << t.name;
        EXPECT_EQ(static_cast<const uint8_t*>(b.ScanLine(0))[3], t.alpha00) << t.name << ": alpha";
    }
}

TEST(BitmapFile, RejectsDamagedFilesAndKeepsThePicture) {
    BmpSpec good;
    good.rows = {{0, 0, 255, 0, 0, 255, 0, 0}, {0, 0, 255, 0, 0, 255, 0, 0}};
    const std::vector<uint8_t> valid = MakeBmp(good);
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> v = valid;
        std::copy(bytes.begin(), bytes.end(), v.begin() + std::ptrdiff_t(at));
        return v;
    };
    auto with = [](std::function<void(BmpSpec&)> f) {
        BmpSpec s;
        s.rows = {{0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}};
        f(s);
        return MakeBmp(s);
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"not a bitmap", patched(0, {'P', 'K'})},
        {"cut in the header", std::vector<uint8_t>(valid.begin(), valid.begin() + 30)},
        {"cut in the pixels", std::vector<uint8_t>(valid.begin(), valid.end() - 3)},
        {"unknown header size", patched(14, {41})},
        {"run-length compressed", with([](BmpSpec& s) {
             s.bpp = 8;
             s.compression = BI_RLE8;
         })},
        {"two planes", with([](BmpSpec& s) { s.planes = 2; })},
        {"2 bits per pixel", with([](BmpSpec& s) { s.bpp = 2; })},
        {"more colours than the depth allows", with([](BmpSpec& s) {
             s.bpp = 4;
             s.colorsUsed = 17;
         })},
        {"bit fields on 24 bits", with([](BmpSpec& s) {
             s.compression = BI_BITFIELDS;
             s.masks = {0xFF, 0xFF00, 0xFF0000};
         })},
        {"a mask with a hole", with([](BmpSpec& s) {
             s.bpp = 16;
             s.compression = BI_BITFIELDS;
             s.masks = {0x0F0F, 0x00F0, 0xF000};
         })},
        {"an empty mask", with([](BmpSpec& s) {
             s.bpp = 16;
             s.compression = BI_BITFIELDS;
             s.masks = {0, 0x00F0, 0x000F};
         })},
        {"pixels said to start inside the header", patched(10, {20, 0, 0, 0})},
        {"a giant picture with no pixels", with([](BmpSpec& s) {
             s.width = 100000;
             s.height = 100000;
         })},
        {"a negative width", with([](BmpSpec& s) { s.width = -2; })},
    };
    for (const Case& t : cases) {
        TBitmap b(5, 5);
        b.Canvas()->SetPixel(0, 0, clRed);
        try {
            LoadBytes(b, t.bytes);
            ADD_FAILURE() << t.name << ": accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Bitmap image is not valid") << t.name;
        } catch (const std::exception& e) {
            ADD_FAILURE() << t.name << ": wrong exception " << e.what();
        }
        EXPECT_EQ(b.Width(), 5) << t.name << ": a failed load must leave the picture";
        EXPECT_EQ(Hex(PixelAt(b, 0, 0)), Hex(clRed)) << t.name;
    }
}

TEST(BitmapResource, LoadsByNameAndByIdConvertedTo32Bits) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    TBitmap b;
    b.LoadFromResourceName(self, "PALETTED");
    EXPECT_EQ(Describe(AllPixels(b)), Describe({clRed, clLime, clBlue, clWhite, clRed, clLime}));
    b.LoadFromResourceID(self, 7);
    EXPECT_EQ(Describe(AllPixels(b)), Describe({clBlue, clYellow, clBlack, clAqua}));
    EXPECT_THROW(b.LoadFromResourceName(self, "NO_SUCH_BITMAP"), EResNotFound);
    EXPECT_EQ(b.Width(), 2) << "a missing resource must leave the picture";
}
