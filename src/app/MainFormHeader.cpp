// The header picture: the program's name drawn with its alpha over the
// header panel, from the PNG in the program's resources.
#include "app/MainForm.h"

#include "app/FormBuilding.h"

#include <memory>

#include "tbx/PNGBitmap.h"
#include "ui/Stream.h"

using namespace ui;

namespace {

constexpr int HeaderPictureResource = 1;  // RCDATA

}  // namespace

void TMainForm::CreateHeaderPicture() {
    HeaderImage = Make<TImage>(this, HeaderPanel, "HeaderImage");
    HeaderImage->SetBounds(0, 0, 195, 30);
    // The picture holds a PNG graphic from the start, for FormCreate to load.
    tbx::TPNGBitmap empty;
    HeaderImage->Picture()->SetGraphic(&empty);
}

void TMainForm::LoadHeaderPicture() {
    TResourceStream stream(GetModuleHandleA(nullptr), HeaderPictureResource, RT_RCDATA);
    HeaderImage->Picture()->Graphic()->LoadFromStream(&stream);
    HeaderImage->Invalidate();
}
