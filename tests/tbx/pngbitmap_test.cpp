// TPNGBitmap as the class library's picture class for PNG images.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tbx/ByteStream.h"
#include "tbx/Crc32.h"
#include "tbx/PNGBitmap.h"
#include "tbx/PngWriter.h"
#include "tbx/TbxErrors.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/PictureData.h"
#include "ui/Stream.h"

using tbx::TPNGBitmap;

namespace {

std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint32_t>& pixels) {
    tbx::TMemoryByteStream stream;
    tbx::TPNGWriter(width, height, width, pixels.data()).SaveToStream(stream);
    return stream.Bytes();
}

const std::vector<std::uint32_t> Pixels2x2 = {0xFF102030u, 0x80FFFFFFu, 0x00000000u, 0xFF00FF00u};

void LoadBytes(TPNGBitmap& png, const std::vector<std::uint8_t>& bytes) {
    ui::TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    png.LoadFromStream(&stream);
}

std::vector<std::uint32_t> PixelsOf(const TPNGBitmap& png) {
    GdiFlush();
    const tbx::TDIB32* dib = png.DIB();
    if (!dib || !dib->Bits()) return {};
    return {dib->Bits(), dib->Bits() + std::size_t(dib->Width()) * dib->Height()};
}

// Counts OnChange calls.
struct TChangeCounter : ui::TObject {
    int count = 0;
    void Changed(ui::TObject*) { ++count; }
};

}  // namespace

TEST(PNGBitmap, StartsEmptyAndTransparentAndDrawsNothing) {
    TPNGBitmap png;
    EXPECT_TRUE(png.Empty());
    EXPECT_TRUE(png.Transparent());
    png.SetTransparent(false);
    EXPECT_TRUE(png.Transparent());
    EXPECT_EQ(png.Width(), 0);
    EXPECT_EQ(png.Height(), 0);
    EXPECT_EQ(png.DIB(), nullptr);

    ui::TBitmap target(4, 4);
    target.Canvas()->Brush()->SetColor(ui::clRed);
    target.Canvas()->FillRect(ui::Rect(0, 0, 4, 4));
    target.Canvas()->Draw(0, 0, &png);
    const auto* p = static_cast<const std::uint8_t*>(target.ScanLine(1));
    EXPECT_EQ(RGB(p[6], p[5], p[4]), RGB(255, 0, 0));

    ui::TMemoryStream stream;
    png.SaveToStream(&stream);
    EXPECT_EQ(stream.Size(), 0) << "a picture without pixels writes nothing";
}

TEST(PNGBitmap, LoadsSavesAndKeepsThePictureWhenLoadingFails) {
    TPNGBitmap png;
    LoadBytes(png, EncodePng(2, 2, Pixels2x2));
    EXPECT_EQ(png.Width(), 2);
    EXPECT_EQ(png.Height(), 2);
    EXPECT_EQ(PixelsOf(png), Pixels2x2);

    ui::TMemoryStream saved;
    png.SaveToStream(&saved);
    saved.SetPosition(0);
    TPNGBitmap again;
    again.LoadFromStream(&saved);
    EXPECT_EQ(PixelsOf(again), Pixels2x2);

    std::vector<std::uint8_t> broken = EncodePng(3, 1, {1, 2, 3});
    broken.resize(broken.size() - 20);
    EXPECT_THROW(LoadBytes(png, broken), tbx::Exception);
    EXPECT_EQ(PixelsOf(png), Pixels2x2) << "a failed load changed the picture";

    // A header of width 0 gives an empty picture without error.
    std::vector<std::uint8_t> zeroWidth = EncodePng(1, 1, {0xFF000000u});
    std::memset(zeroWidth.data() + 16, 0, 4);
    const std::uint32_t crc = tbx::UpdateCrc32(0, zeroWidth.data() + 12, 17);
    for (int i = 0; i < 4; ++i) zeroWidth[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    LoadBytes(png, zeroWidth);
    EXPECT_TRUE(png.Empty());

    png.SetWidth(5);
    ui::TMemoryStream out;
    try {
        png.SaveToStream(&out);
        ADD_FAILURE() << "a picture of height 0 was saved";
    } catch (const tbx::EStreamError& e) {
        EXPECT_EQ(e.Message(), "Invalid image dimensions");
    }
}

TEST(PNGBitmap, AssignsFromAndToBitmapsAndCopiesOtherPictures) {
    TPNGBitmap png;
    LoadBytes(png, EncodePng(2, 2, Pixels2x2));
    TPNGBitmap copy;
    copy.Assign(&png);
    png.SetWidth(7);
    EXPECT_EQ(PixelsOf(copy), Pixels2x2) << "the copy follows its source";

    // A plain bitmap has no alpha: its pixels must come out opaque.
    ui::TBitmap bitmap(3, 2);
    bitmap.Canvas()->Brush()->SetColor(RGB(10, 20, 30));
    bitmap.Canvas()->FillRect(ui::Rect(0, 0, 3, 2));
    TPNGBitmap fromBitmap;
    fromBitmap.Assign(&bitmap);
    EXPECT_EQ(PixelsOf(fromBitmap), std::vector<std::uint32_t>(6, 0xFF0A141Eu));
    ui::TBitmap screen(3, 2);
    screen.Canvas()->Brush()->SetColor(ui::clWhite);
    screen.Canvas()->FillRect(ui::Rect(0, 0, 3, 2));
    fromBitmap.Draw(screen.Canvas(), ui::Rect(0, 0, 3, 2));
    const auto* p = static_cast<const std::uint8_t*>(screen.ScanLine(1));
    EXPECT_EQ(RGB(p[2], p[1], p[0]), RGB(10, 20, 30)) << "an assigned bitmap draws";

    ui::TBitmap back;
    copy.AssignTo(&back);
    ASSERT_EQ(back.Width(), 2);
    const auto* row = static_cast<const std::uint32_t*>(back.ScanLine(0));
    EXPECT_EQ(row[1], 0x80FFFFFFu);

    TChangeCounter counter;
    copy.OnChange = ui::TNotifyEvent(&counter, &TChangeCounter::Changed);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(counter.count, 1);
    ui::TPicture notAPicture;
    EXPECT_THROW(copy.Assign(&notAPicture), ui::EConvertError);
}

TEST(PNGBitmap, SizeChangesClearThePixels) {
    TPNGBitmap png;
    png.SetWidth(10);
    png.SetHeight(10);
    EXPECT_EQ(PixelsOf(png), std::vector<std::uint32_t>(100, 0));
    png.SetWidth(-3);
    EXPECT_EQ(png.Width(), 0);
    EXPECT_EQ(png.Height(), 10);
    EXPECT_TRUE(png.Empty());
}

TEST(PNGBitmap, IsThePictureClassForPngFilesAndFormData) {
    EXPECT_EQ(ui::TPicture::FileFormatDescription("PNG"), "Portable network graphic images");
    std::unique_ptr<ui::TGraphic> made(ui::TPicture::CreateGraphicForExtension("png"));
    EXPECT_NE(dynamic_cast<TPNGBitmap*>(made.get()), nullptr);

    // Form data: the class name as a short string, then the PNG stream;
    // bytes after IEND are not read.
    const std::vector<std::uint8_t> png = EncodePng(2, 2, Pixels2x2);
    ui::TMemoryStream data;
    const std::uint8_t length = 10;
    data.WriteBuffer(&length, 1);
    data.WriteBuffer("TPNGBitmap", 10);
    data.WriteBuffer(png.data(), static_cast<std::int64_t>(png.size()));
    data.WriteBuffer("tail", 4);
    data.SetPosition(0);
    ui::TPicture picture;
    ui::ReadPictureData(&picture, &data);
    auto* loaded = dynamic_cast<TPNGBitmap*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(PixelsOf(*loaded), Pixels2x2);
    EXPECT_EQ(data.Position(), 11 + static_cast<std::int64_t>(png.size()));

    ui::TMemoryStream written;
    ui::WritePictureData(&picture, &written);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(written.Size()));
    written.SetPosition(0);
    written.ReadBuffer(bytes.data(), written.Size());
    ASSERT_GT(bytes.size(), 19u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 11), std::string("\x0ATPNGBitmap"));
    EXPECT_EQ(bytes[11], 0x89);
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 15), "PNG");

    ui::TMemoryStream unknown;
    const std::uint8_t three = 3;
    unknown.WriteBuffer(&three, 1);
    unknown.WriteBuffer("TXY", 3);
    unknown.SetPosition(0);
    EXPECT_THROW(ui::ReadPictureData(&picture, &unknown), ui::EInvalidGraphic);
    EXPECT_NE(dynamic_cast<TPNGBitmap*>(picture.Graphic()), nullptr) << "a failed read changed the picture";
}
