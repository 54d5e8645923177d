// TDIB32 against the real GDI: pixels drawn onto memory DCs are read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tbx/DIB32.h"
#include "ui/GdiTestUtil.h"

using tbx::TDIB32;

namespace {

constexpr std::uint32_t Blue = 0xFF0000FFu, White = 0xFFFFFFFFu;

void Fill(TDIB32& dib, std::uint32_t pixel) {
    GdiFlush();
    std::fill_n(dib.Bits(), std::size_t(dib.Width()) * dib.Height(), pixel);
}

std::uint32_t Rgb(const TDIB32& dib, int x, int y) {
    GdiFlush();
    return dib.Bits()[std::size_t(y) * dib.Width() + x] & 0xFFFFFFu;
}

// A DIB of the size whose pixels are alpha ramps over a colour gradient.
void Pattern(TDIB32& dib, int width, int height) {
    dib.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.Bits()[std::size_t(y) * width + x] = std::uint32_t((x * 37 + y * 11) & 0xFF) << 24 |
                                                     std::uint32_t(x * 5 & 0xFF) << 16 |
                                                     std::uint32_t(y * 7 & 0xFF) << 8 | 0x40u;
}

// What blending the pattern onto the background gives, computed in memory.
std::vector<std::uint32_t> Expected(const TDIB32& source, std::uint32_t background, unsigned opacity) {
    std::vector<std::uint32_t> pixels(std::size_t(source.Width()) * source.Height(), background);
    for (int y = 0; y < source.Height(); ++y)
        tbx::BlendLine(source.Bits() + std::size_t(y) * source.Width(), pixels.data() + std::size_t(y) * source.Width(),
                       std::size_t(source.Width()), opacity);
    return pixels;
}

}  // namespace

TEST(DIB32, AlphaDrawBlendsOntoTheDcAndLeavesItsOwnPixels) {
    // Small areas go through one temporary DIB, large ones row by row.
    for (int size : {3, 70}) {
        for (unsigned opacity : {255u, 128u}) {
            TDIB32 source, screen;
            Pattern(source, size, size);
            const std::vector<std::uint32_t> before(source.Bits(), source.Bits() + size * size);
            screen.SetSize(size + 4, size + 4);
            Fill(screen, Blue);
            const std::vector<std::uint32_t> expected = Expected(source, Blue, opacity);
            for (int pass = 0; pass < 2; ++pass) {
                if (pass == 1) Fill(screen, Blue);  // a second draw must give the same picture
                source.AlphaDraw(screen.DC(), 2, 2, opacity, source.Bounds());
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x)
                        ASSERT_EQ(Rgb(screen, x + 2, y + 2), expected[std::size_t(y) * size + x] & 0xFFFFFFu)
                            << "size " << size << ", opacity " << opacity << ", pass " << pass << " at " << x << ","
                            << y;
                EXPECT_EQ(Rgb(screen, 1, 1), Blue & 0xFFFFFFu) << "outside the area";
            }
            EXPECT_EQ(std::vector<std::uint32_t>(source.Bits(), source.Bits() + size * size), before)
                << "drawing changed the picture, size " << size << ", opacity " << opacity;
        }
    }
}

TEST(DIB32, AlphaDrawOfKnownPixels) {
    TDIB32 source, screen;
    source.SetSize(3, 1);
    source.Bits()[0] = 0x00FFFFFFu;
    source.Bits()[1] = 0x80FFFFFFu;
    source.Bits()[2] = White;
    screen.SetSize(3, 1);
    Fill(screen, Blue);
    source.AlphaDraw(screen.DC(), 0, 0, 255, source.Bounds());
    EXPECT_EQ(Rgb(screen, 0, 0), 0x0000FFu);
    EXPECT_EQ(Rgb(screen, 1, 0), 0x8080FFu);  // weight 129 of 256
    EXPECT_EQ(Rgb(screen, 2, 0), 0xFFFFFFu);
    Fill(screen, Blue);
    source.AlphaDraw(screen.DC(), 0, 0, 0, source.Bounds());
    EXPECT_EQ(Rgb(screen, 2, 0), 0x0000FFu) << "opacity 0 draws nothing";
}

TEST(DIB32, DrawToChoosesTheDrawingByModeAndSize) {
    TDIB32 source;
    Pattern(source, 6, 5);
    struct Case {
        const char* what;
        RECT dest;
        std::uint16_t mode;
        std::uint32_t stretchMode;  // the same picture made by StretchBlend
    };
    const Case cases[] = {
        {"equal size, blended", {1, 2, 7, 7}, 0x101, tbx::ModeBlend},
        {"equal size, copied", {1, 2, 7, 7}, 0, 0},
        {"enlarged bilinear, blended", {0, 0, 15, 11}, 0x101, tbx::ModeBlend | tbx::ModeBilinear},
        {"enlarged bilinear, copied", {0, 0, 15, 11}, 0x100, tbx::ModeBilinear},
        {"enlarged nearest, blended", {0, 0, 15, 11}, 0x001, tbx::ModeBlend},
        {"shrunk, blended", {2, 1, 5, 4}, 0x101, tbx::ModeBlend},
    };
    for (const Case& c : cases) {
        TDIB32 screen, expected;
        screen.SetSize(16, 12);
        Fill(screen, Blue);
        expected.SetSize(16, 12);
        Fill(expected, Blue);
        source.DrawTo(screen.DC(), c.dest, c.mode, source.Bounds());
        source.StretchTo(&expected, c.dest, c.stretchMode, source.Bounds());
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool inside = x >= c.dest.left && x < c.dest.right && y >= c.dest.top && y < c.dest.bottom;
                if (!inside)
                    ASSERT_EQ(Rgb(screen, x, y), 0x0000FFu) << c.what << " outside at " << x << "," << y;
                else
                    ASSERT_EQ(Rgb(screen, x, y), Rgb(expected, x, y)) << c.what << " at " << x << "," << y;
            }
    }
}

TEST(DIB32, DrawToStretchesBySystemWithoutBlendOrBilinearAndHonoursClipping) {
    TDIB32 source, screen;
    source.SetSize(1, 1);
    source.Bits()[0] = 0x00123456u;
    screen.SetSize(8, 8);
    Fill(screen, Blue);
    source.DrawTo(screen.DC(), {0, 0, 3, 3}, 0, source.Bounds());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Rgb(screen, x, y), 0x123456u) << "system stretch at " << x << "," << y;
    EXPECT_EQ(Rgb(screen, 3, 3), 0x0000FFu);

    // Only the visible part is drawn; a destination outside the clip draws nothing.
    TDIB32 picture;
    Pattern(picture, 4, 4);
    Fill(screen, Blue);
    HRGN clip = CreateRectRgn(0, 0, 4, 8);
    ASSERT_NE(clip, nullptr);
    SelectClipRgn(screen.DC(), clip);
    DeleteObject(clip);
    picture.DrawTo(screen.DC(), {5, 0, 8, 3}, 0x101, picture.Bounds());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(Rgb(screen, x, y), 0x0000FFu) << "drawn outside the clip at " << x << "," << y;
    picture.DrawTo(screen.DC(), {0, 0, 8, 8}, 0x101, picture.Bounds());
    SelectClipRgn(screen.DC(), nullptr);
    TDIB32 whole;
    whole.SetSize(8, 8);
    Fill(whole, Blue);
    picture.DrawTo(whole.DC(), {0, 0, 8, 8}, 0x101, picture.Bounds());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(Rgb(screen, x, y), x < 4 ? Rgb(whole, x, y) : 0x0000FFu) << "clipped draw at " << x << "," << y;
}

TEST(DIB32, SetSizeRecordsSizesAndKeepsPixelsOnRequest) {
    TDIB32 dib;
    dib.SetSize(-5, 10);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_EQ(dib.Height(), 10);
    EXPECT_EQ(dib.Bits(), nullptr);
    tbx::TPixelBlock block;
    EXPECT_FALSE(dib.GetBlock(block));

    dib.SetSize(3, 2);
    for (int i = 0; i < 6; ++i) dib.Bits()[i] = 0xFF000000u | std::uint32_t(i + 1);
    dib.SetSize(2, 3, true);
    GdiFlush();
    EXPECT_EQ(std::vector<std::uint32_t>(dib.Bits(), dib.Bits() + 6),
              (std::vector<std::uint32_t>{0xFF000001u, 0xFF000002u, 0xFF000004u, 0xFF000005u, 0, 0}));
    dib.SetSize(4, 4);
    EXPECT_EQ(std::vector<std::uint32_t>(dib.Bits(), dib.Bits() + 16), std::vector<std::uint32_t>(16, 0))
        << "new pixels are transparent black";

    const std::unique_ptr<TDIB32> taken = dib.Detach();
    EXPECT_EQ(taken->Width(), 4);
    EXPECT_NE(taken->Bits(), nullptr);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_EQ(dib.Bits(), nullptr);

    TDIB32 copy;
    copy.Assign(taken.get());
    EXPECT_EQ(copy.Width(), 4);
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Width(), 0);
}

TEST(DIB32, RaisesForAMissingTargetAndLeaksNoGdiObjects) {
    TDIB32 dib;
    dib.SetSize(2, 2);
    const RECT r{0, 0, 2, 2};
    for (int i = 0; i < 2; ++i) {
        try {
            if (i == 0)
                dib.CopyRect(nullptr, 0, 0, 0, r);
            else
                dib.StretchTo(nullptr, r, 0, r);
            ADD_FAILURE() << "no error for a missing target";
        } catch (const tbx::EDIB32Error& e) {
            EXPECT_EQ(e.Message(), "Invalid parameters");
        }
    }
    const int left = gditest::GdiObjectsLeftBy([] {
        TDIB32 a, screen;
        screen.SetSize(100, 100);
        a.SetSize(80, 70);
        a.SetSize(20, 10, true);
        a.DrawTo(screen.DC(), {0, 0, 100, 100}, 0x101, a.Bounds());
        a.AlphaDraw(screen.DC(), 0, 0, 128, a.Bounds());
        const std::unique_ptr<TDIB32> b = a.Detach();
    });
    EXPECT_EQ(left, 0);
}

TEST(DIB32, AFailedResizeKeepsThePicture) {
    TDIB32 dib;
    dib.SetSize(3, 2);
    for (int i = 0; i < 6; ++i) dib.Bits()[i] = 0xFF000000u | std::uint32_t(i + 1);
    const int left = gditest::GdiObjectsLeftBy([&] {
        for (bool preserve : {true, false})
            EXPECT_THROW(dib.SetSize(40000, 40000, preserve), ui::EOSError) << "preserve " << preserve;
    });
    EXPECT_EQ(left, 0);
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.Height(), 2);
    ASSERT_NE(dib.Bits(), nullptr);
    GdiFlush();
    EXPECT_EQ(dib.Bits()[5], 0xFF000006u);
}
