#include "tbx/PNGBitmap.h"

#include <algorithm>
#include <cstring>

#include "tbx/ColorEffects.h"
#include "tbx/PngReader.h"
#include "tbx/PngWriter.h"
#include "tbx/TbxErrors.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/PictureData.h"
#include "ui/Stream.h"

namespace tbx {

namespace {

constexpr std::uint32_t OpaqueAlpha = 0xFF000000u;

// From the start of the program to its end: the blend table is built, the
// colour effects are registered and "png" is a picture file format.
struct TImagingUnit {
    TImagingUnit() {
        InitBlendTables();
        RegisterStandardColorEffects();
        RegisterPNGFormat();
    }
    ~TImagingUnit() {
        UnregisterPNGFormat();
        ClearColorEffects();
    }
} imagingUnit;

}  // namespace

// --- Streams --------------------------------------------------------------------

std::size_t TStreamAdapter::Read(void* buffer, std::size_t count) {
    const std::int64_t read = stream_.Read(buffer, static_cast<std::int64_t>(count));
    return read > 0 ? static_cast<std::size_t>(read) : 0;
}

void TStreamAdapter::Write(const void* buffer, std::size_t count) {
    stream_.WriteBuffer(buffer, static_cast<std::int64_t>(count));
}

std::uint64_t TStreamAdapter::Position() const {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(stream_.Position(), 0));
}

void TStreamAdapter::SetPosition(std::uint64_t position) { stream_.SetPosition(static_cast<std::int64_t>(position)); }

std::uint64_t TStreamAdapter::Size() const {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(stream_.Size(), 0));
}

void LoadPNGToDIB(TByteStream& stream, TDIB32& dib) {
    TPNGReader reader;
    reader.LoadFromStream(stream);
    dib.SetSize(static_cast<int>(reader.Width()), static_cast<int>(reader.Height()));
    if (dib.Bits()) {
        GdiFlush();
        MovePixels(reader.GetPixels().data(), dib.Bits(), reader.GetPixels().size());
    }
}

void SaveDIBAsPNG(TByteStream& stream, const TDIB32& dib) {
    if (dib.Width() == 0 || dib.Height() == 0 || !dib.Bits()) throw EStreamError("Invalid image dimensions");
    GdiFlush();
    TPNGWriter writer(dib.Width(), dib.Height(), dib.Width(), dib.Bits());
    writer.SaveToStream(stream);
}

// --- TPNGBitmap -------------------------------------------------------------------

TPNGBitmap::TPNGBitmap() { transparent_ = true; }

TPNGBitmap::~TPNGBitmap() = default;

TDIB32& TPNGBitmap::EnsureDIB() {
    if (!dib_) dib_ = std::make_unique<TDIB32>();
    return *dib_;
}

void TPNGBitmap::Assign(ui::TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        dib_.reset();
        Changed(this);
        return;
    }
    if (auto* png = dynamic_cast<TPNGBitmap*>(Source)) {
        EnsureDIB().Assign(png->dib_.get());
        Changed(this);
        return;
    }
    if (auto* bitmap = dynamic_cast<ui::TBitmap*>(Source)) {
        const int width = bitmap->Width(), height = bitmap->Height();
        TDIB32& dib = EnsureDIB();
        dib.SetSize(width, height);
        if (width > 0 && height > 0 && dib.Bits()) {
            // A bitmap has no alpha of its own: its pixels are opaque.
            for (int y = 0; y < height; ++y) {
                const auto* from = static_cast<const std::uint32_t*>(bitmap->ScanLine(y));
                std::uint32_t* to = dib.Bits() + std::ptrdiff_t(y) * width;
                for (int x = 0; x < width; ++x) to[x] = from[x] | OpaqueAlpha;
            }
        }
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TPNGBitmap::AssignTo(ui::TPersistent* Dest) const {
    auto* bitmap = dynamic_cast<ui::TBitmap*>(Dest);
    if (!bitmap) throw ui::EConvertError("Cannot assign a TPNGBitmap to this object");
    const int width = Width(), height = Height();
    bitmap->SetSize(width, height);
    if (width <= 0 || height <= 0 || !dib_->Bits()) return;
    GdiFlush();
    for (int y = 0; y < height; ++y)
        std::memcpy(bitmap->ScanLine(y), dib_->Bits() + std::ptrdiff_t(y) * width, std::size_t(width) * 4);
}

void TPNGBitmap::Draw(ui::TCanvas* ACanvas, const ui::TRect& Rect) {
    if (!dib_ || !ACanvas) return;
    dib_->DrawTo(ACanvas->Handle(), Rect, ModeBilinear | ModeBlend, dib_->Bounds());
}

int TPNGBitmap::Width() const { return dib_ ? dib_->Width() : 0; }

int TPNGBitmap::Height() const { return dib_ ? dib_->Height() : 0; }

void TPNGBitmap::SetWidth(int v) {
    v = std::max(v, 0);
    if (v == Width()) return;
    EnsureDIB().SetSize(v, Height());
    Changed(this);
}

void TPNGBitmap::SetHeight(int v) {
    v = std::max(v, 0);
    if (v == Height()) return;
    EnsureDIB().SetSize(Width(), v);
    Changed(this);
}

bool TPNGBitmap::Empty() const { return !dib_ || dib_->Width() == 0 || dib_->Height() == 0; }

void TPNGBitmap::SetTransparent(bool) { transparent_ = true; }

void TPNGBitmap::LoadFromStream(ui::TStream* Stream) {
    if (!Stream) return;
    TStreamAdapter stream(*Stream);
    LoadPNGToDIB(stream, EnsureDIB());
}

void TPNGBitmap::SaveToStream(ui::TStream* Stream) {
    if (!dib_ || !Stream) return;
    TStreamAdapter stream(*Stream);
    SaveDIBAsPNG(stream, *dib_);
}

ui::TGraphic* TPNGBitmap::Clone() const {
    auto copy = std::make_unique<TPNGBitmap>();
    copy->Assign(const_cast<TPNGBitmap*>(this));
    return copy.release();
}

void RegisterPNGFormat() {
    ui::TPicture::RegisterFileFormat<TPNGBitmap>("png", "Portable network graphic images");
    ui::RegisterPictureDataClass<TPNGBitmap>("TPNGBitmap");
}

void UnregisterPNGFormat() {
    ui::TPicture::UnregisterGraphicClass<TPNGBitmap>();
    ui::UnregisterPictureDataClass("TPNGBitmap");
}

}  // namespace tbx
