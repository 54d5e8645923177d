#pragma once
// TPNGBitmap: the picture class for PNG images ("png" in TPicture's file
// formats). It keeps its pixels in a TDIB32, reads and writes PNG data
// streams with the codec, and paints with per-pixel alpha, resampling
// bilinearly when drawn at another size. It is always transparent.
#include <memory>

#include "tbx/ByteStream.h"
#include "tbx/DIB32.h"
#include "ui/Graphic.h"

namespace ui {
class TBitmap;
}

namespace tbx {

class TPNGBitmap : public ui::TGraphic {
public:
    TPNGBitmap();
    ~TPNGBitmap() override;

    // Null frees the pixels; a TPNGBitmap is copied; a TBitmap's pixels are
    // copied and made opaque; anything else raises EConvertError.
    void Assign(ui::TPersistent* Source) override;
    // Copies the picture into a TBitmap, alpha bytes included; anything else
    // raises EConvertError.
    void AssignTo(ui::TPersistent* Dest) const;
    void Draw(ui::TCanvas* ACanvas, const ui::TRect& Rect) override;

    int Width() const override;
    int Height() const override;
    // The other dimension is kept; the pixels become transparent black.
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    bool Empty() const override;
    bool Transparent() const override { return true; }
    void SetTransparent(bool v) override;

    // A decoding error leaves the picture as it was; OnChange is not raised.
    void LoadFromStream(ui::TStream* Stream) override;
    // Writes nothing while there are no pixels at all; raises EStreamError
    // "Invalid image dimensions" for a picture of width or height 0.
    void SaveToStream(ui::TStream* Stream) override;
    // The picture's data as forms keep it: a whole PNG data stream.
    void ReadData(ui::TStream* Stream) { LoadFromStream(Stream); }
    void WriteData(ui::TStream* Stream) { SaveToStream(Stream); }

    TGraphic* Clone() const override;

    // The pixels; null until the picture first has any.
    TDIB32* DIB() const { return dib_.get(); }

private:
    TDIB32& EnsureDIB();

    std::unique_ptr<TDIB32> dib_;
};

// Decodes one PNG data stream into the DIB; a failure leaves the DIB as it was.
void LoadPNGToDIB(TByteStream& stream, TDIB32& dib);
// Encodes the DIB's pixels; raises EStreamError "Invalid image dimensions"
// for a DIB of width or height 0.
void SaveDIBAsPNG(TByteStream& stream, const TDIB32& dib);

// The class library's stream seen as the codec's byte stream.
class TStreamAdapter : public TByteStream {
public:
    explicit TStreamAdapter(ui::TStream& stream) : stream_(stream) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override;
    void SetPosition(std::uint64_t position) override;
    std::uint64_t Size() const override;

private:
    ui::TStream& stream_;  // not owned
};

void RegisterPNGFormat();
void UnregisterPNGFormat();

}  // namespace tbx
