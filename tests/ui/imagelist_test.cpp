// TImageList: adding bitmaps and icons, drawing them back, change links.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "GdiTestUtil.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/Icon.h"
#include "ui/ImageList.h"

using namespace ui;
using gditest::Hex;
using gditest::PixelAt;

namespace {

// 16 x 16, white, with a red square from (4, 4) to (12, 12).
std::unique_ptr<TBitmap> Glyph() {
    auto b = std::make_unique<TBitmap>(16, 16);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(4, 4, 12, 12));
    return b;
}

std::unique_ptr<TBitmap> Background(int w = 16, int h = 16) {
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(clGreen);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

// A 16 x 16 icon: the left half opaque red, the right half red at alpha 128
// (icons keep straight, not premultiplied, alpha).
HICON HalfAlphaIcon() {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> color(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* px = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 256; ++i) px[i] = (i % 16) < 8 ? 0xFFFF0000u : 0x80FF0000u;
    std::vector<uint8_t> zeros(64, 0);
    ScopedGdiObject<HBITMAP> mask(CreateBitmap(16, 16, 1, 1, zeros.data()));
    ICONINFO ii{TRUE, 0, 0, mask, color};
    return CreateIconIndirect(&ii);
}

struct ChangeCounter {
    int count = 0;
    void Changed(TObject*) { ++count; }
};

}  // namespace

TEST(ImageList, AddMaskedDrawsTheMaskColourTransparent) {
    TImageList list(nullptr);
    auto glyph = Glyph();
    EXPECT_EQ(list.AddMasked(glyph.get(), clWhite), 0);
    EXPECT_EQ(Hex(PixelAt(*glyph, 0, 0)), Hex(clWhite)) << "the caller's bitmap must be left as it was";
    auto out = Background();
    list.Draw(out->Canvas(), 0, 0, 0);
    EXPECT_EQ(Hex(PixelAt(*out, 0, 0)), Hex(clGreen));
    EXPECT_EQ(Hex(PixelAt(*out, 8, 8)), Hex(clRed));
    EXPECT_EQ(Hex(PixelAt(*out, 12, 12)), Hex(clGreen));
}

TEST(ImageList, AddTakesAMaskAndSplitsStrips) {
    TImageList list(nullptr);
    TBitmap strip(32, 16);
    strip.Canvas()->Brush()->SetColor(clBlue);
    strip.Canvas()->FillRect(Rect(0, 0, 16, 16));
    strip.Canvas()->Brush()->SetColor(clYellow);
    strip.Canvas()->FillRect(Rect(16, 0, 32, 16));
    TBitmap mask(32, 16);  // white: transparent; black: the image shows
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(8, 0, 32, 16));
    EXPECT_EQ(list.Add(&strip, &mask), 0);
    EXPECT_EQ(list.Count(), 2) << "a 32-pixel strip gives two 16-pixel images";

    auto out = Background(32, 16);
    list.Draw(out->Canvas(), 0, 0, 0);
    list.Draw(out->Canvas(), 16, 0, 1);
    EXPECT_EQ(Hex(PixelAt(*out, 2, 8)), Hex(clGreen)) << "masked part of image 0";
    EXPECT_EQ(Hex(PixelAt(*out, 10, 8)), Hex(clBlue));
    EXPECT_EQ(Hex(PixelAt(*out, 20, 8)), Hex(clYellow));
}

TEST(ImageList, IconsKeepTheirAlpha) {
    TImageList list(nullptr);
    TIcon icon;
    icon.SetHandle(HalfAlphaIcon());
    EXPECT_EQ(list.AddIcon(&icon), 0);
    auto out = Background();
    list.Draw(out->Canvas(), 0, 0, 0);
    EXPECT_EQ(Hex(PixelAt(*out, 2, 8)), Hex(clRed));
    const TColor blended = PixelAt(*out, 12, 8);
    EXPECT_NEAR(GetRValue(blended), 128, 3) << "half-transparent red over green: " << Hex(blended);
    EXPECT_NEAR(GetGValue(blended), 64, 3) << "half-transparent red over green: " << Hex(blended);

    TIcon back;
    list.GetIcon(0, &back);
    EXPECT_EQ(back.Width(), 16);
    TBitmap copy;
    list.GetBitmap(0, &copy);
    EXPECT_EQ(copy.Width(), 16);
    EXPECT_EQ(Hex(PixelAt(copy, 2, 8)), Hex(clRed));
}

TEST(ImageList, RefusesBadImagesAndIndexes) {
    TImageList list(nullptr);
    list.SetSize(16, 16);
    TBitmap small(8, 8);
    auto glyph = Glyph();
    TIcon empty;
    struct Case {
        const char* name;
        std::function<void()> action;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"a bitmap smaller than the images", [&] { list.Add(&small, nullptr); }, "Invalid image size"},
        {"a missing bitmap", [&] { list.AddMasked(nullptr, clWhite); }, "Invalid image size"},
        {"an empty icon", [&] { list.AddIcon(&empty); }, "Invalid image size"},
        {"deleting past the end", [&] { list.Delete(1); }, "Invalid ImageList Index"},
        {"deleting a negative index", [&] { list.Delete(-1); }, "Invalid ImageList Index"},
        {"replacing past the end", [&] { list.Replace(3, glyph.get(), nullptr); }, "Invalid ImageList Index"},
    };
    list.AddMasked(glyph.get(), clWhite);
    for (const Case& t : cases) {
        try {
            t.action();
            ADD_FAILURE() << t.name << ": accepted";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(e.Message(), t.message) << t.name;
        }
    }
    EXPECT_EQ(list.Count(), 1);
    auto out = Background();
    list.Draw(out->Canvas(), 0, 0, 7);  // painting an image that is gone draws nothing
    EXPECT_EQ(Hex(PixelAt(*out, 8, 8)), Hex(clGreen));
}

TEST(ImageList, DisabledImagesAreEmbossed) {
    TImageList list(nullptr);
    auto glyph = Glyph();
    list.AddMasked(glyph.get(), clWhite);
    auto out = Background();
    list.Draw(out->Canvas(), 0, 0, 0, false);
    EXPECT_EQ(Hex(PixelAt(*out, 8, 8)), Hex(ColorToRGB(clBtnShadow))) << "the shape in the shadow colour";
    EXPECT_EQ(Hex(PixelAt(*out, 12, 12)), Hex(ColorToRGB(clBtnHighlight))) << "its highlight, 1 pixel down-right";
    EXPECT_EQ(Hex(PixelAt(*out, 1, 1)), Hex(clGreen)) << "the transparent part";
}

TEST(ImageList, ChangesReachTheLinksAndOnChange) {
    auto list = std::make_unique<TImageList>(nullptr);
    ChangeCounter linkChanges, listChanges;
    TChangeLink link;
    link.OnChange = TNotifyEvent(&linkChanges, &ChangeCounter::Changed);
    list->RegisterChanges(&link);
    list->OnChange = TNotifyEvent(&listChanges, &ChangeCounter::Changed);
    EXPECT_EQ(link.Sender(), list.get());

    auto glyph = Glyph();
    list->AddMasked(glyph.get(), clWhite);
    list->AddMasked(glyph.get(), clWhite);
    list->Delete(0);
    EXPECT_EQ(list->Count(), 1);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    list->AddMasked(glyph.get(), clWhite);
    list->SetSize(24, 24);
    EXPECT_EQ(list->Count(), 0) << "a new size empties the list";
    EXPECT_EQ(linkChanges.count, 6);
    EXPECT_EQ(listChanges.count, 6);

    {
        TChangeLink shortLived;
        list->RegisterChanges(&shortLived);
    }
    list->Clear();  // the freed link unregistered itself: nothing to crash on
    list.reset();
    EXPECT_EQ(link.Sender(), nullptr) << "a freed list leaves its links";
}

TEST(ImageList, CopiesImagesBetweenLists) {
    TImageList a(nullptr);
    auto glyph = Glyph();
    a.AddMasked(glyph.get(), clWhite);
    TIcon icon;
    icon.SetHandle(HalfAlphaIcon());
    a.AddIcon(&icon);

    TImageList b(nullptr);
    b.AddImages(&a);
    TImageList c(nullptr);
    c.Assign(&a);
    for (TImageList* l : {&b, &c}) {
        ASSERT_EQ(l->Count(), 2);
        auto out = Background(32, 16);
        l->Draw(out->Canvas(), 0, 0, 0);
        l->Draw(out->Canvas(), 16, 0, 1);
        EXPECT_EQ(Hex(PixelAt(*out, 0, 0)), Hex(clGreen)) << "the mask was lost";
        EXPECT_EQ(Hex(PixelAt(*out, 8, 8)), Hex(clRed));
        EXPECT_NEAR(GetGValue(PixelAt(*out, 28, 8)), 64, 3) << "the alpha was lost";
    }

    HIMAGELIST raw = ImageList_Create(20, 10, ILC_COLOR32 | ILC_MASK, 0, 4);
    TImageList d(nullptr);
    d.SetHandle(raw);
    EXPECT_EQ(d.Width(), 20);
    EXPECT_EQ(d.Height(), 10);
}
