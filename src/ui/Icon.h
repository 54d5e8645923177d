#pragma once
// TIcon: an icon handle as a graphic. Always transparent; drawn with
// DrawIconEx, stretched to the rectangle asked for.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/GdiGuards.h"
#include "ui/Graphic.h"

namespace ui {

class TIcon : public TGraphic {
public:
    TIcon() { transparent_ = true; }

    // Null empties the icon; a TIcon is copied (CopyIcon).
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& r) override;

    // The icon's own size (0 while empty). An icon's size cannot be set:
    // the setters raise EInvalidGraphicOperation.
    int Width() const override { return width_; }
    void SetWidth(int v) override;
    int Height() const override { return height_; }
    void SetHeight(int v) override;
    bool Empty() const override { return !handle_; }
    bool Transparent() const override { return true; }
    void SetTransparent(bool) override {}

    // .ico files. Of the images in the file the one nearest the system's
    // icon size (the deepest colour among equals) becomes the handle; the
    // file's bytes are kept and written back unchanged by SaveToStream. An
    // icon that came from a handle is written as one 32-bit image. Bad
    // data raises EInvalidGraphic "Icon image is not valid" and leaves the
    // icon as it was; an empty icon writes nothing.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;

    HICON Handle() const { return handle_; }
    // Takes h over: the icon destroys it when replaced or freed.
    void SetHandle(HICON h);
    bool HandleAllocated() const { return bool(handle_); }
    // Hands the icon to the caller, who must destroy it; the icon is empty.
    HICON ReleaseHandle();

    TGraphic* Clone() const override;

private:
    void Adopt(HICON h, std::vector<uint8_t> data);

    ScopedHIcon handle_;
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> data_;  // the .ico file it was read from, if any
};

}  // namespace ui
