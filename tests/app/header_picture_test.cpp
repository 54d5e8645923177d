// The header picture of the main window: a PNG graphic from the form's
// creation, loaded from the program's resources and drawn with its alpha.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "tbx/PNGBitmap.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Stream.h"

using HeaderPicture = AppTest;

TEST_F(HeaderPicture, IsLoadedIntoThePngGraphicTheImageHoldsFromCreation) {
    auto* png = dynamic_cast<tbx::TPNGBitmap*>(MainForm->HeaderImage->Picture()->Graphic());
    ASSERT_NE(png, nullptr) << "HeaderImage holds no PNG picture";
    EXPECT_EQ(png->Width(), 195);
    EXPECT_EQ(png->Height(), 30);

    // Drawn over a background, the transparent corner shows the background
    // and the picture leaves its mark where it is opaque.
    ui::TBitmap screen(195, 30);
    screen.Canvas()->Brush()->SetColor(RGB(0, 255, 0));
    screen.Canvas()->FillRect(ui::Rect(0, 0, 195, 30));
    png->Draw(screen.Canvas(), ui::Rect(0, 0, 195, 30));
    int background = 0, drawn = 0;
    for (int y = 0; y < 30; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(screen.ScanLine(y));
        for (int x = 0; x < 195; ++x)
            (RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]) == RGB(0, 255, 0) ? background : drawn)++;
    }
    const auto* corner = static_cast<const std::uint8_t*>(screen.ScanLine(29));
    EXPECT_EQ(RGB(corner[4 * 194 + 2], corner[4 * 194 + 1], corner[4 * 194]), RGB(0, 255, 0));
    EXPECT_GT(drawn, 500);
    EXPECT_GT(background, 2000);
}

TEST(ProgramPictures, HotKeyPictureOfTheKeyboardLayoutWindowDecodes) {
    ui::TResourceStream stream(GetModuleHandleA(nullptr), "HOTKEYS", RT_RCDATA);
    tbx::TPNGBitmap png;
    png.LoadFromStream(&stream);
    EXPECT_EQ(png.Width(), 481);
    EXPECT_EQ(png.Height(), 262);
    GdiFlush();
    EXPECT_EQ(png.DIB()->Bits()[0] >> 24, 0u) << "the corner is transparent";
}
