#include "tbx/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "tbx/CompressionStream.h"
#include "tbx/Crc32.h"
#include "tbx/PngFilters.h"
#include "tbx/TbxErrors.h"

namespace tbx {

using png::TPixelKind;
using png::WriteChunk;

namespace {

constexpr std::size_t MaxPaletteSize = 256;

constexpr unsigned Alpha(std::uint32_t p) { return p >> 24; }
constexpr unsigned Red(std::uint32_t p) { return (p >> 16) & 0xFF; }
constexpr unsigned Green(std::uint32_t p) { return (p >> 8) & 0xFF; }
constexpr unsigned Blue(std::uint32_t p) { return p & 0xFF; }
constexpr std::uint32_t Rgb(std::uint32_t p) { return p & 0x00FFFFFFu; }
constexpr bool IsGray(std::uint32_t p) { return Red(p) == Green(p) && Green(p) == Blue(p); }

// Where each distinct colour sits in the palette: an open-addressing table
// with room for one colour more than a palette holds, so that colour
// counting and indexing stay linear in the number of pixels.
class TColorIndex {
public:
    TColorIndex() { slots_.fill(Slot{0, -1}); }

    // The colour's palette index, or -1.
    int Find(std::uint32_t color) const {
        for (std::size_t i = Hash(color);; i = (i + 1) & Mask) {
            if (slots_[i].index < 0 || slots_[i].color == color) return slots_[i].index;
        }
    }

    void Add(std::uint32_t color, int index) {
        std::size_t i = Hash(color);
        while (slots_[i].index >= 0) i = (i + 1) & Mask;
        slots_[i] = Slot{color, static_cast<std::int16_t>(index)};
    }

private:
    static constexpr std::size_t Bits = 10, Mask = (std::size_t(1) << Bits) - 1;
    static std::size_t Hash(std::uint32_t color) { return (color * 0x9E3779B1u) >> (32 - Bits); }

    struct Slot {
        std::uint32_t color;
        std::int16_t index;
    };
    std::array<Slot, std::size_t(1) << Bits> slots_;
};

std::uint8_t ColorType(TPixelKind kind) {
    switch (kind) {
    case TPixelKind::Palette: return 3;
    case TPixelKind::Gray: return 0;
    case TPixelKind::GrayAlpha: return 4;
    case TPixelKind::Rgb: return 2;
    case TPixelKind::RgbAlpha: return 6;
    }
    return 6;
}

std::uint64_t ByteSum(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
    return sum;
}

}  // namespace

TPNGWriter::TPNGWriter(int width, int height, std::ptrdiff_t stride, const std::uint32_t* pixels)
    : width_(width), height_(height) {
    if (width <= 0 || height <= 0) throw Exception("Invalid dimensions");
    pixelCount_ = std::size_t(width) * std::size_t(height);
    pixels_.resize(pixelCount_);
    if (stride == width) {
        std::copy_n(pixels, pixelCount_, pixels_.begin());
    } else {
        for (int y = 0; y < height; ++y)
            std::copy_n(pixels + y * stride, width, pixels_.begin() + std::ptrdiff_t(y) * width);
    }
}

void TPNGWriter::AnalyzeColors() {
    // Distinct pixel values, all 32 bits, in order of first appearance; the
    // count stops at the first value beyond a full palette.
    palette_.clear();
    TColorIndex index;
    bool tooMany = false;
    for (std::size_t i = 0; i < pixelCount_; ++i) {
        const std::uint32_t p = pixels_[i];
        if (i != 0 && p == pixels_[i - 1]) continue;
        if (index.Find(p) >= 0) continue;
        if (palette_.size() == MaxPaletteSize) {
            tooMany = true;
            break;
        }
        index.Add(p, static_cast<int>(palette_.size()));
        palette_.push_back(p);
    }

    hasKey_ = false;
    hasAlpha_ = false;
    if (!tooMany) {
        const std::size_t n = palette_.size();
        bitDepth_ = n <= 2 ? 1 : n <= 4 ? 2 : n <= 16 ? 4 : 8;
        // One bit of gray stands for black (0) or white (1) only; other
        // levels would not survive the trip.
        auto fitsDepth = [this](std::uint32_t c) { return bitDepth_ == 8 || Rgb(c) == 0 || Rgb(c) == 0x00FFFFFFu; };
        gray_ =
            (bitDepth_ == 1 || bitDepth_ == 8) &&
            std::all_of(palette_.begin(), palette_.end(), [&](std::uint32_t c) { return IsGray(c) && fitsDepth(c); });
        for (std::size_t i = 0; gray_ && i < n; ++i) {
            const unsigned a = Alpha(palette_[i]);
            if (a == 0 && !hasKey_) {
                hasKey_ = true;
                keyColor_ = palette_[i];
            } else if (a != 255) {
                gray_ = false;  // a second transparent colour, or partial alpha
            }
        }
        // The key makes every pixel of its gray level transparent, so it
        // must not share its level with an opaque colour.
        if (gray_ && hasKey_) {
            gray_ = std::none_of(palette_.begin(), palette_.end(),
                                 [this](std::uint32_t c) { return c != keyColor_ && Rgb(c) == Rgb(keyColor_); });
        }
        if (gray_) {
            palette_.clear();
            usesPalette_ = false;
            kind_ = TPixelKind::Gray;
            keyColor_ = bitDepth_ == 8 ? Blue(keyColor_) : (Blue(keyColor_) != 0 ? 1 : 0);
        } else {
            usesPalette_ = true;
            kind_ = TPixelKind::Palette;
            hasKey_ = std::any_of(palette_.begin(), palette_.end(), [](std::uint32_t c) { return Alpha(c) != 255; });
        }
        return;
    }

    bitDepth_ = 8;
    palette_.clear();
    usesPalette_ = false;
    for (std::size_t i = 0; i < pixelCount_; ++i) {
        const std::uint32_t p = pixels_[i];
        const unsigned a = Alpha(p);
        if (a == 0 && !hasKey_) {
            hasKey_ = true;
            keyColor_ = p;
        } else if ((a == 0 && p != keyColor_) || (a != 0 && a != 255)) {
            hasKey_ = false;
            hasAlpha_ = true;
            break;
        }
    }
    // As above: an opaque pixel of the key's colour would turn transparent.
    if (hasKey_) {
        const bool clash = std::any_of(pixels_.begin(), pixels_.end(),
                                       [this](std::uint32_t p) { return p != keyColor_ && Rgb(p) == Rgb(keyColor_); });
        if (clash) {
            hasKey_ = false;
            hasAlpha_ = true;
        }
    }
    gray_ = std::all_of(pixels_.begin(), pixels_.end(), IsGray);
    if (hasAlpha_)
        kind_ = gray_ ? TPixelKind::GrayAlpha : TPixelKind::RgbAlpha;
    else
        kind_ = gray_ ? TPixelKind::Gray : TPixelKind::Rgb;
    if (gray_ && hasKey_) keyColor_ = Blue(keyColor_);
}

void TPNGWriter::IndexPixels() {
    TColorIndex index;
    for (std::size_t i = 0; i < palette_.size(); ++i) index.Add(palette_[i], static_cast<int>(i));
    std::uint32_t lastColor = 0, lastIndex = 0;
    for (std::size_t i = 0; i < pixelCount_; ++i) {
        const std::uint32_t p = pixels_[i];
        if (i == 0 || p != lastColor) {
            lastColor = p;
            lastIndex = static_cast<std::uint32_t>(index.Find(p));
        }
        pixels_[i] = lastIndex;
    }
}

void TPNGWriter::PackRow(const std::uint32_t* row, std::uint8_t* out, std::size_t count) const {
    switch (kind_) {
    case TPixelKind::Palette:
    case TPixelKind::Gray:
        if (bitDepth_ == 8) {
            // A palette index, or the gray level (R = G = B).
            for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(row[i]);
        } else {
            // Samples most significant bits first; gray pixels are black (0)
            // or white (1).
            const unsigned perByte = 8 / bitDepth_;
            std::memset(out, 0, (count * bitDepth_ + 7) / 8);
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned sample = kind_ == TPixelKind::Gray ? (Blue(row[i]) != 0 ? 1 : 0) : row[i];
                const unsigned shift = 8 - bitDepth_ * (static_cast<unsigned>(i % perByte) + 1);
                out[i / perByte] |= static_cast<std::uint8_t>(sample << shift);
            }
        }
        return;
    case TPixelKind::GrayAlpha:
        for (std::size_t i = 0; i < count; ++i, out += 2) {
            out[0] = static_cast<std::uint8_t>(Blue(row[i]));
            out[1] = static_cast<std::uint8_t>(Alpha(row[i]));
        }
        return;
    case TPixelKind::Rgb:
        for (std::size_t i = 0; i < count; ++i, out += 3) {
            out[0] = static_cast<std::uint8_t>(Red(row[i]));
            out[1] = static_cast<std::uint8_t>(Green(row[i]));
            out[2] = static_cast<std::uint8_t>(Blue(row[i]));
        }
        return;
    case TPixelKind::RgbAlpha:
        for (std::size_t i = 0; i < count; ++i, out += 4) {
            out[0] = static_cast<std::uint8_t>(Red(row[i]));
            out[1] = static_cast<std::uint8_t>(Green(row[i]));
            out[2] = static_cast<std::uint8_t>(Blue(row[i]));
            out[3] = static_cast<std::uint8_t>(Alpha(row[i]));
        }
        return;
    }
    throw Exception("Invalid color format");
}

void TPNGWriter::WritePalette(TByteStream& stream) const {
    if (palette_.empty()) return;
    std::vector<std::uint8_t> data;
    data.reserve(palette_.size() * 3);
    for (std::uint32_t c : palette_) {
        data.push_back(static_cast<std::uint8_t>(Red(c)));
        data.push_back(static_cast<std::uint8_t>(Green(c)));
        data.push_back(static_cast<std::uint8_t>(Blue(c)));
    }
    WriteChunk(stream, "PLTE", data.data(), data.size());
}

void TPNGWriter::WriteTransparency(TByteStream& stream) const {
    if (!hasKey_) return;
    switch (kind_) {
    case TPixelKind::Palette: {
        std::vector<std::uint8_t> alphas;
        for (std::uint32_t c : palette_) alphas.push_back(static_cast<std::uint8_t>(Alpha(c)));
        while (!alphas.empty() && alphas.back() == 255) alphas.pop_back();
        if (!alphas.empty()) WriteChunk(stream, "tRNS", alphas.data(), alphas.size());
        return;
    }
    case TPixelKind::Gray: {
        const std::uint8_t data[2] = {0, static_cast<std::uint8_t>(keyColor_)};
        WriteChunk(stream, "tRNS", data, sizeof data);
        return;
    }
    case TPixelKind::Rgb: {
        const std::uint8_t data[6] = {0, static_cast<std::uint8_t>(Red(keyColor_)),
                                      0, static_cast<std::uint8_t>(Green(keyColor_)),
                                      0, static_cast<std::uint8_t>(Blue(keyColor_))};
        WriteChunk(stream, "tRNS", data, sizeof data);
        return;
    }
    default:  // the alpha channel carries transparency
        return;
    }
}

void TPNGWriter::WriteImageData(TByteStream& stream) const {
    std::size_t rowBytes, unit;
    switch (kind_) {
    case TPixelKind::GrayAlpha:
        rowBytes = 2 * std::size_t(width_);
        unit = 2;
        break;
    case TPixelKind::Rgb:
        rowBytes = 3 * std::size_t(width_);
        unit = 3;
        break;
    case TPixelKind::RgbAlpha:
        rowBytes = 4 * std::size_t(width_);
        unit = 4;
        break;
    default:
        rowBytes = (std::size_t(width_) * bitDepth_ + 7) / 8;
        unit = 1;
        break;
    }
    // Palette indices and packed samples gain little from filtering.
    const bool adaptive = !usesPalette_ && bitDepth_ > 4;

    std::vector<std::uint8_t> packed(rowBytes), previous(rowBytes);
    std::array<std::vector<std::uint8_t>, 4> filtered;
    if (adaptive)
        for (auto& buffer : filtered) buffer.resize(rowBytes);

    TMemoryByteStream compressed;
    TCompressionStream deflater(compressed);
    for (int y = 0; y < height_; ++y) {
        PackRow(pixels_.data() + std::size_t(y) * width_, packed.data(), width_);
        std::uint8_t filterType = png::FilterNone;
        const std::uint8_t* chosen = packed.data();
        if (adaptive) {
            // The smallest sum of bytes wins; on a tie the lower type.
            std::uint64_t bestSum = ByteSum(packed.data(), rowBytes);
            for (std::uint8_t type = png::FilterSub; type <= png::FilterPaeth; ++type) {
                std::vector<std::uint8_t>& out = filtered[type - 1];
                png::FilterRow(type, packed.data(), rowBytes, unit, out.data(), previous.data());
                const std::uint64_t sum = ByteSum(out.data(), rowBytes);
                if (sum < bestSum) {
                    bestSum = sum;
                    filterType = type;
                    chosen = out.data();
                }
            }
        }
        deflater.Write(&filterType, 1);
        deflater.Write(chosen, rowBytes);
        std::swap(packed, previous);
    }
    deflater.Finish();
    WriteChunk(stream, "IDAT", compressed.Bytes().data(), compressed.Bytes().size());
}

void TPNGWriter::SaveToStream(TByteStream& stream) {
    stream.Write(png::Signature.data(), png::Signature.size());
    AnalyzeColors();

    std::uint8_t header[13];
    png::StoreBigEndian32(header, static_cast<std::uint32_t>(width_));
    png::StoreBigEndian32(header + 4, static_cast<std::uint32_t>(height_));
    header[8] = static_cast<std::uint8_t>(bitDepth_);
    header[9] = ColorType(kind_);
    header[10] = 0;  // deflate
    header[11] = 0;  // adaptive filtering
    header[12] = 0;  // not interlaced
    WriteChunk(stream, "IHDR", header, sizeof header);

    if (kind_ == TPixelKind::Palette) {
        IndexPixels();
        WritePalette(stream);
    }
    WriteTransparency(stream);
    WriteImageData(stream);
    WriteChunk(stream, "IEND", nullptr, 0);
}

namespace png {

void WriteChunk(TByteStream& stream, const char (&type)[5], const std::uint8_t* data, std::size_t length) {
    // The length field holds at most 2^31 - 1.
    if (length > MaxChunkLength) throw EStreamError(ChunkTooLong);
    std::uint8_t header[8];
    png::StoreBigEndian32(header, static_cast<std::uint32_t>(length));
    std::memcpy(header + 4, type, 4);
    stream.Write(header, sizeof header);
    if (length != 0) stream.Write(data, length);
    std::uint8_t crc[4];
    png::StoreBigEndian32(crc, UpdateCrc32(UpdateCrc32(0, type, 4), data, length));
    stream.Write(crc, sizeof crc);
}

}  // namespace png

}  // namespace tbx
