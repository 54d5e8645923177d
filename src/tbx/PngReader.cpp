#include "tbx/PngReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <utility>
#include <vector>

#include <zlib.h>

#include "tbx/CompressionStream.h"
#include "tbx/Crc32.h"
#include "tbx/PngFilters.h"
#include "tbx/PngFormat.h"
#include "tbx/TbxErrors.h"

namespace tbx {

using png::TPixelKind;

namespace {

constexpr const char* InvalidFormat = "Invalid format";
constexpr const char* InvalidColorFormat = "Invalid color format";
constexpr const char* UnsupportedCompression = "Unsupported compression scheme";
constexpr const char* CrcError = "CRC error";
constexpr const char* InvalidPalette = "Invalid palette";
constexpr const char* UnexpectedCriticalChunk = "Unexpected but critical chunk detected";
constexpr const char* ExtraCompressedData = "Extra compressed data found";
constexpr const char* CompressionError = "Compression error";
constexpr const char* InvalidPaletteIndex = "Invalid palette index";

// No deflate stream expands one input byte into more than 1032 output bytes
// (a 258-byte match coded in two bits), so image data needing more than this
// many times the bytes left in the stream cannot be there.
constexpr std::uint64_t MaxDeflateRatio = 1032;

[[noreturn]] void Fail(const char* message) { throw EStreamError(message); }

// ---------------------------------------------------------------------------
// Sample conversion: one row of unfiltered samples to pixels, written every
// step pixels (1 for plain rows, the column step for Adam7 passes).

template <class PixelAt>
inline void StoreRow(std::uint32_t* dst, std::size_t step, std::size_t count, PixelAt pixelAt) {
    if (step == 1) {
        for (std::size_t i = 0; i < count; ++i) dst[i] = pixelAt(i);
    } else {
        for (std::size_t i = 0; i < count; ++i) dst[i * step] = pixelAt(i);
    }
}

// Sample i of a row of Depth-bit samples, most significant bits first.
template <unsigned Depth> inline unsigned SampleAt(const std::uint8_t* samples, std::size_t i) {
    if constexpr (Depth == 8) {
        return samples[i];
    } else {
        constexpr unsigned perByte = 8 / Depth, mask = (1u << Depth) - 1;
        const unsigned shift = 8 - Depth * (static_cast<unsigned>(i % perByte) + 1);
        return (samples[i / perByte] >> shift) & mask;
    }
}

constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// Samples are bytes in memory order; loading several at once and moving
// them into place with a few shifts beats one load per byte.
static_assert(std::endian::native == std::endian::little, "samples are loaded in memory order");

inline std::uint32_t Load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Bytes R, G, B, x in memory to 0x00RRGGBB.
inline std::uint32_t RgbFromBytes(std::uint32_t v) {
    return (v & 0x0000FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
}

constexpr std::uint32_t Opaque = 0xFF000000u;

// Palette images and gray up to 8 bits: every sample indexes a pixel table.
template <unsigned Depth>
void ConvertLookup(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n,
                   const std::uint32_t* table) {
    StoreRow(d, step, n, [=](std::size_t i) { return table[SampleAt<Depth>(s, i)]; });
}

template <unsigned Depth> bool IndicesBelow(const std::uint8_t* s, std::size_t n, std::size_t limit) {
    unsigned highest = 0;
    for (std::size_t i = 0; i < n; ++i) highest = std::max(highest, SampleAt<Depth>(s, i));
    return highest < limit;
}

void ConvertGray16(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n, bool hasKey,
                   std::uint16_t key) {
    if (!hasKey) {
        StoreRow(d, step, n, [=](std::size_t i) { return Opaque | s[2 * i] * 0x010101u; });
        return;
    }
    StoreRow(d, step, n, [=](std::size_t i) {
        const std::uint32_t alpha = png::LoadBigEndian16(s + 2 * i) == key ? 0 : Opaque;
        return alpha | s[2 * i] * 0x010101u;
    });
}

void ConvertGrayAlpha8(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n) {
    StoreRow(d, step, n, [=](std::size_t i) {
        const std::uint8_t* p = s + 2 * i;
        return Argb(p[1], p[0], p[0], p[0]);
    });
}

void ConvertGrayAlpha16(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n) {
    StoreRow(d, step, n, [=](std::size_t i) {
        const std::uint8_t* p = s + 4 * i;
        return Argb(p[2], p[0], p[0], p[0]);
    });
}

// Reads one byte past the last pixel: the row buffers leave room for it.
void ConvertRgb8(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n, bool hasKey,
                 std::uint32_t key) {
    if (!hasKey) {
        StoreRow(d, step, n, [=](std::size_t i) { return Opaque | RgbFromBytes(Load32(s + 3 * i)); });
        return;
    }
    StoreRow(d, step, n, [=](std::size_t i) {
        const std::uint32_t rgb = RgbFromBytes(Load32(s + 3 * i));
        return (rgb == key ? 0 : Opaque) | rgb;
    });
}

void ConvertRgb16(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n, bool hasKey,
                  std::uint16_t keyRed, std::uint16_t keyGreen, std::uint16_t keyBlue) {
    if (!hasKey) {
        StoreRow(d, step, n, [=](std::size_t i) {
            const std::uint8_t* p = s + 6 * i;
            return Argb(0xFF, p[0], p[2], p[4]);
        });
        return;
    }
    StoreRow(d, step, n, [=](std::size_t i) {
        const std::uint8_t* p = s + 6 * i;
        const bool isKey = png::LoadBigEndian16(p) == keyRed && png::LoadBigEndian16(p + 2) == keyGreen &&
                           png::LoadBigEndian16(p + 4) == keyBlue;
        return (isKey ? 0 : Opaque) | Argb(0, p[0], p[2], p[4]);
    });
}

void ConvertRgba8(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n) {
    StoreRow(d, step, n, [=](std::size_t i) {
        const std::uint32_t v = Load32(s + 4 * i);
        return (v & 0xFF000000u) | RgbFromBytes(v);
    });
}

// The high bytes of R, G, B, A sit at bits 0, 16, 32 and 48 of the word.
void ConvertRgba16(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n) {
    StoreRow(d, step, n, [=](std::size_t i) {
        const std::uint64_t v = Load64(s + 8 * i);
        return static_cast<std::uint32_t>(((v >> 24) & 0xFF000000u) | ((v & 0xFFu) << 16) | ((v >> 8) & 0xFF00u) |
                                          ((v >> 32) & 0xFFu));
    });
}

// The RGB value of gray sample v at bit depths 1 to 8.
constexpr std::uint32_t GrayRgb(unsigned depth, unsigned v) {
    switch (depth) {
    case 1: return v * 0xFFFFFFu;
    case 2: return v * 0x555555u;
    case 4: return v * 0x111111u;
    default: return v * 0x010101u;
    }
}

// ---------------------------------------------------------------------------
// One decoding run over one stream. It owns the inflate state and the chunk
// buffer, so both are released however the run ends.

class TPngDecoder {
public:
    explicit TPngDecoder(TByteStream& stream) : stream_(stream) {}
    ~TPngDecoder() {
        if (inflateStarted_) inflateEnd(&zstream_);
    }
    TPngDecoder(const TPngDecoder&) = delete;
    TPngDecoder& operator=(const TPngDecoder&) = delete;

    // Leaves pixels empty for an image with a width or height of 0.
    void Decode(std::uint32_t& width, std::uint32_t& height, std::unique_ptr<std::uint32_t[]>& pixels);

private:
    void ReadChunkHeader();
    void ReadChunkData();
    bool IsChunk(const char (&name)[5]) const;
    bool PassOverChunk();
    void SetColorFormat(std::uint8_t colorType, std::uint8_t bitDepth);
    std::uint64_t FilteredImageBytes() const;
    void ReadPalette(const std::uint8_t* data, std::size_t count);
    void ReadTransparency();
    void DecodeImage();
    std::size_t InflateRows(std::uint8_t* buffer, std::size_t count, std::size_t needed);
    std::uint8_t* TakeRow(std::size_t count);
    void PrepareConversion();
    void ConvertRow(const std::uint8_t* samples, std::uint32_t* dst, std::size_t step, std::size_t count);

    TByteStream& stream_;  // not owned

    // Current chunk
    std::uint32_t chunkLength_ = 0;
    std::array<std::uint8_t, 4> chunkType_{};
    std::vector<std::uint8_t> chunkData_;

    z_stream zstream_{};
    bool inflateStarted_ = false;

    // Image header
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint8_t colorType_ = 0;
    std::uint8_t bitDepth_ = 0;
    TPixelKind kind_ = TPixelKind::Gray;
    unsigned bitsPerPixel_ = 0;
    std::size_t filterUnit_ = 1;
    bool interlaced_ = false;
    std::uint32_t* pixels_ = nullptr;  // not owned

    // Palette and transparency
    std::vector<std::uint32_t> palette_;
    std::uint32_t keyColor_ = 0;
    std::uint16_t keyRed_ = 0, keyGreen_ = 0, keyBlue_ = 0;
    bool hasKey_ = false;

    // Inflated image data. zlib fills the block many rows at a time (its
    // fast path needs room for a whole match), and the rows are unfiltered
    // where they lie; the row before the current one is kept as the filters'
    // previous row.
    std::unique_ptr<std::uint8_t[]> inflated_;
    std::size_t inflatedCapacity_ = 0;
    std::size_t inflatedEnd_ = 0;
    std::size_t nextRow_ = 0;
    std::size_t previousRow_ = NoRow;
    std::uint64_t imageBytesLeft_ = 0;  // not yet inflated
    // A fault met while inflating ahead, raised when the rows reach it, so
    // that faults are reported in reading order.
    std::exception_ptr pendingError_;
    std::vector<std::uint8_t> zeroRow_;
    static constexpr std::size_t NoRow = ~std::size_t(0);

    // Pixel of each sample value for palette images and gray up to 8 bits.
    std::array<std::uint32_t, 256> lookup_{};
    bool checkIndices_ = false;
};

// --- Chunk access ----------------------------------------------------------

void TPngDecoder::ReadChunkHeader() {
    std::uint8_t header[8];
    stream_.ReadBuffer(header, sizeof header);
    chunkLength_ = png::LoadBigEndian32(header);
    std::memcpy(chunkType_.data(), header + 4, 4);
    if (chunkLength_ > 0x7FFFFFFFu) Fail(InvalidFormat);
    // The data and its CRC must be there: a length is never trusted further.
    // A chunk cut short by the end of the stream fails as reading past the
    // end does, without reading the rest first.
    if (std::uint64_t(chunkLength_) + 4 > stream_.Remaining()) {
        stream_.SetPosition(std::max(stream_.Size(), stream_.Position()));
        std::uint8_t byte;
        stream_.ReadBuffer(&byte, 1);
    }
}

void TPngDecoder::ReadChunkData() {
    chunkData_.resize(chunkLength_);
    stream_.ReadBuffer(chunkData_.data(), chunkLength_);
    std::uint8_t stored[4];
    stream_.ReadBuffer(stored, sizeof stored);
    const std::uint32_t crc = UpdateCrc32(UpdateCrc32(0, chunkType_.data(), 4), chunkData_.data(), chunkLength_);
    if (crc != png::LoadBigEndian32(stored)) Fail(CrcError);
}

// Chunk names compare without regard to case.
bool TPngDecoder::IsChunk(const char (&name)[5]) const {
    const std::uint32_t mask = 0xDFDFDFDFu;
    return (png::LoadBigEndian32(chunkType_.data()) & mask) ==
           (png::LoadBigEndian32(reinterpret_cast<const std::uint8_t*>(name)) & mask);
}

// Skips a chunk that is not read (its CRC is not checked). Returns true at
// IEND; raises for a critical chunk, which this reader cannot honour.
bool TPngDecoder::PassOverChunk() {
    stream_.SetPosition(stream_.Position() + chunkLength_ + 4);
    if (IsChunk("IEND")) return true;
    if ((chunkType_[0] & 0x20) == 0) Fail(UnexpectedCriticalChunk);
    return false;
}

// --- Header and ancillary chunks -------------------------------------------

void TPngDecoder::SetColorFormat(std::uint8_t colorType, std::uint8_t bitDepth) {
    auto depthIn = [bitDepth](std::initializer_list<int> depths) {
        return std::find(depths.begin(), depths.end(), bitDepth) != depths.end();
    };
    unsigned channels;
    switch (colorType) {
    case 0:
        if (!depthIn({1, 2, 4, 8, 16})) Fail(InvalidColorFormat);
        kind_ = TPixelKind::Gray;
        channels = 1;
        break;
    case 2:
        if (!depthIn({8, 16})) Fail(InvalidColorFormat);
        kind_ = TPixelKind::Rgb;
        channels = 3;
        break;
    case 3:
        if (!depthIn({1, 2, 4, 8})) Fail(InvalidColorFormat);
        kind_ = TPixelKind::Palette;
        channels = 1;
        break;
    case 4:
        if (!depthIn({8, 16})) Fail(InvalidColorFormat);
        kind_ = TPixelKind::GrayAlpha;
        channels = 2;
        break;
    case 6:
        if (!depthIn({8, 16})) Fail(InvalidColorFormat);
        kind_ = TPixelKind::RgbAlpha;
        channels = 4;
        break;
    default: Fail(InvalidColorFormat);
    }
    colorType_ = colorType;
    bitDepth_ = bitDepth;
    bitsPerPixel_ = bitDepth * channels;
    filterUnit_ = std::max(1u, bitsPerPixel_ / 8);
}

// Bytes the inflated image data holds, filter type bytes included.
std::uint64_t TPngDecoder::FilteredImageBytes() const {
    if (!interlaced_) return height_ * (png::RowBytes(width_, bitsPerPixel_) + 1);
    std::uint64_t total = 0;
    for (const png::TAdam7Pass& pass : png::Adam7Passes) {
        const std::uint64_t columns = png::PassColumns(pass, width_);
        if (columns != 0) total += png::PassRows(pass, height_) * (png::RowBytes(columns, bitsPerPixel_) + 1);
    }
    return total;
}

void TPngDecoder::ReadPalette(const std::uint8_t* data, std::size_t count) {
    palette_.resize(count);
    for (std::size_t i = 0; i < count; ++i, data += 3) palette_[i] = Argb(0xFF, data[0], data[1], data[2]);
}

void TPngDecoder::ReadTransparency() {
    ReadChunkData();
    const std::uint8_t* data = chunkData_.data();
    switch (kind_) {
    case TPixelKind::Gray:
        if (chunkLength_ < 2) Fail(InvalidFormat);
        if (bitDepth_ == 16) {
            keyGreen_ = png::LoadBigEndian16(data);
        } else {
            keyColor_ = data[1];
            if (bitDepth_ == 2) keyColor_ &= 3;
        }
        hasKey_ = true;
        break;
    case TPixelKind::Rgb:
        if (chunkLength_ < 6) Fail(InvalidFormat);
        keyRed_ = png::LoadBigEndian16(data);
        keyGreen_ = png::LoadBigEndian16(data + 2);
        keyBlue_ = png::LoadBigEndian16(data + 4);
        if (bitDepth_ == 8) keyColor_ = Argb(0, data[1], data[3], data[5]);
        hasKey_ = true;
        break;
    case TPixelKind::Palette: {
        // Entries without an alpha byte are opaque, so a tRNS read before
        // PLTE has no effect.
        const std::size_t n = std::min<std::size_t>(palette_.size(), chunkLength_);
        for (std::size_t i = 0; i < palette_.size(); ++i)
            palette_[i] = (palette_[i] & 0x00FFFFFFu) | (i < n ? std::uint32_t(data[i]) << 24 : Opaque);
        break;
    }
    default:  // the alpha channel decides
        break;
    }
}

// --- Image data --------------------------------------------------------------

// Fills count bytes of buffer with inflated image data, taking IDAT chunks
// as the inflater needs them; returns the bytes produced. Image data that
// ends first is an error. A fault met after the first needed bytes are
// produced is kept for later, and the bytes before it are returned.
std::size_t TPngDecoder::InflateRows(std::uint8_t* buffer, std::size_t count, std::size_t needed) {
    std::size_t produced = 0;  // bytes of buffer filled so far
    try {
        while (produced < count) {
            // zlib counts in unsigned int.
            const std::size_t sliceStart = produced;
            const std::size_t slice = std::min<std::size_t>(count - produced, std::size_t(1) << 30);
            zstream_.next_out = buffer + produced;
            zstream_.avail_out = static_cast<uInt>(slice);
            for (;;) {
                while (zstream_.avail_in == 0) {
                    if (!IsChunk("IDAT")) Fail(InvalidFormat);
                    ReadChunkData();
                    zstream_.next_in = chunkData_.data();
                    zstream_.avail_in = chunkLength_;
                    ReadChunkHeader();
                }
                const int result = inflate(&zstream_, Z_PARTIAL_FLUSH);
                produced = sliceStart + (slice - zstream_.avail_out);
                CheckZlibResult(result);
                if (result == Z_STREAM_END) {
                    if (produced != count || zstream_.avail_in != 0) Fail(ExtraCompressedData);
                    return produced;
                }
                if (result != Z_OK) Fail(CompressionError);
                if (zstream_.avail_out == 0) break;
            }
        }
    } catch (...) {
        if (produced < needed) throw;
        pendingError_ = std::current_exception();
    }
    return produced;
}

void TPngDecoder::PrepareConversion() {
    lookup_.fill(0);
    if (kind_ == TPixelKind::Palette) {
        std::copy_n(palette_.begin(), std::min<std::size_t>(palette_.size(), lookup_.size()), lookup_.begin());
        // A palette of exactly 2^depth entries covers every index.
        checkIndices_ = palette_.size() != (std::size_t(1) << bitDepth_);
    } else if (kind_ == TPixelKind::Gray && bitDepth_ <= 8) {
        for (unsigned v = 0; v < (1u << bitDepth_); ++v) {
            const bool transparent = hasKey_ && v == keyColor_;
            lookup_[v] = (transparent ? 0 : Opaque) | GrayRgb(bitDepth_, v);
        }
    }
}

void TPngDecoder::ConvertRow(const std::uint8_t* s, std::uint32_t* d, std::size_t step, std::size_t n) {
    switch (kind_) {
    case TPixelKind::Palette:
        if (checkIndices_) {
            const bool valid = bitDepth_ == 1   ? IndicesBelow<1>(s, n, palette_.size())
                               : bitDepth_ == 2 ? IndicesBelow<2>(s, n, palette_.size())
                               : bitDepth_ == 4 ? IndicesBelow<4>(s, n, palette_.size())
                                                : IndicesBelow<8>(s, n, palette_.size());
            if (!valid) Fail(InvalidPaletteIndex);
        }
        [[fallthrough]];
    case TPixelKind::Gray:
        switch (bitDepth_) {
        case 1: ConvertLookup<1>(s, d, step, n, lookup_.data()); break;
        case 2: ConvertLookup<2>(s, d, step, n, lookup_.data()); break;
        case 4: ConvertLookup<4>(s, d, step, n, lookup_.data()); break;
        case 8: ConvertLookup<8>(s, d, step, n, lookup_.data()); break;
        default: ConvertGray16(s, d, step, n, hasKey_, keyGreen_); break;
        }
        break;
    case TPixelKind::GrayAlpha:
        if (bitDepth_ == 8)
            ConvertGrayAlpha8(s, d, step, n);
        else
            ConvertGrayAlpha16(s, d, step, n);
        break;
    case TPixelKind::Rgb:
        if (bitDepth_ == 8)
            ConvertRgb8(s, d, step, n, hasKey_, keyColor_);
        else
            ConvertRgb16(s, d, step, n, hasKey_, keyRed_, keyGreen_, keyBlue_);
        break;
    case TPixelKind::RgbAlpha:
        if (bitDepth_ == 8)
            ConvertRgba8(s, d, step, n);
        else
            ConvertRgba16(s, d, step, n);
        break;
    }
}

// The next row of inflated data, count bytes with its filter type byte.
// When the block runs short, the unread rest and the previous row move to
// its front and zlib refills the space behind them, never past the end of
// the image data.
std::uint8_t* TPngDecoder::TakeRow(std::size_t count) {
    if (inflatedEnd_ - nextRow_ < count) {
        if (pendingError_) std::rethrow_exception(std::exchange(pendingError_, nullptr));
        const std::size_t needed = count - (inflatedEnd_ - nextRow_);
        const std::size_t keep = previousRow_ != NoRow ? previousRow_ : nextRow_;
        std::memmove(inflated_.get(), inflated_.get() + keep, inflatedEnd_ - keep);
        inflatedEnd_ -= keep;
        nextRow_ -= keep;
        if (previousRow_ != NoRow) previousRow_ -= keep;
        const std::size_t room =
            static_cast<std::size_t>(std::min<std::uint64_t>(inflatedCapacity_ - inflatedEnd_, imageBytesLeft_));
        const std::size_t produced = InflateRows(inflated_.get() + inflatedEnd_, room, needed);
        inflatedEnd_ += produced;
        imageBytesLeft_ -= produced;
    }
    std::uint8_t* row = inflated_.get() + nextRow_;
    nextRow_ += count;
    return row;
}

// Inflates, unfilters and converts every row, then passes over the rest of
// the IDAT run. Rows of an Adam7 pass land every column step pixels.
void TPngDecoder::DecodeImage() {
    PrepareConversion();
    const std::size_t rowBytes = png::RowBytes(width_, bitsPerPixel_);
    // Room for the previous and the current row and a good block beyond;
    // small images get just what they need.
    constexpr std::size_t BlockBytes = 128 * 1024;
    constexpr std::size_t Slack = 8;  // conversions may read a few bytes past a row
    imageBytesLeft_ = FilteredImageBytes();
    inflatedEnd_ = nextRow_ = 0;
    previousRow_ = NoRow;
    inflatedCapacity_ =
        static_cast<std::size_t>(std::min<std::uint64_t>(2 * (rowBytes + 1) + BlockBytes, imageBytesLeft_));
    inflated_ = std::make_unique_for_overwrite<std::uint8_t[]>(inflatedCapacity_ + Slack);
    std::fill_n(inflated_.get() + inflatedCapacity_, Slack, std::uint8_t(0));
    zeroRow_.assign(rowBytes + 1, 0);

    auto decodeRow = [&](std::size_t bytes, std::uint32_t* dst, std::size_t step, std::size_t count) {
        std::uint8_t* row = TakeRow(bytes + 1);
        const std::uint8_t* previous = previousRow_ == NoRow ? zeroRow_.data() : inflated_.get() + previousRow_;
        png::UnfilterRow(row[0], row + 1, bytes, filterUnit_, previous + 1);
        ConvertRow(row + 1, dst, step, count);
        previousRow_ = static_cast<std::size_t>(row - inflated_.get());
    };

    if (!interlaced_) {
        for (std::size_t y = 0; y < height_; ++y) decodeRow(rowBytes, pixels_ + y * width_, 1, width_);
    } else {
        for (const png::TAdam7Pass& pass : png::Adam7Passes) {
            const std::size_t columns = png::PassColumns(pass, width_);
            if (columns == 0) continue;
            const std::size_t bytes = png::RowBytes(columns, bitsPerPixel_);
            previousRow_ = NoRow;  // the first row of a pass has none above it
            for (std::size_t y = pass.startRow; y < height_; y += pass.rowStep)
                decodeRow(bytes, pixels_ + y * width_ + pass.startColumn, pass.columnStep, columns);
        }
    }

    if (pendingError_) std::rethrow_exception(std::exchange(pendingError_, nullptr));
    // Compressed data left after the last row is not inflated; the chunk
    // data it lies in is about to be replaced.
    zstream_.next_in = nullptr;
    zstream_.avail_in = 0;
    while (IsChunk("IDAT")) {
        ReadChunkData();
        ReadChunkHeader();
    }
}

// --- The whole stream ----------------------------------------------------------

void TPngDecoder::Decode(std::uint32_t& width, std::uint32_t& height, std::unique_ptr<std::uint32_t[]>& pixels) {
    std::uint8_t signature[8];
    stream_.ReadBuffer(signature, sizeof signature);
    if (std::memcmp(signature, png::Signature.data(), sizeof signature) != 0) Fail(InvalidFormat);

    ReadChunkHeader();
    if (!IsChunk("IHDR") || chunkLength_ < 13) Fail(InvalidFormat);
    ReadChunkData();
    const std::uint8_t* header = chunkData_.data();
    width_ = png::LoadBigEndian32(header);
    height_ = png::LoadBigEndian32(header + 4);
    const std::uint8_t bitDepth = header[8], colorType = header[9], compression = header[10], interlace = header[12];
    // The filter method byte is not looked at.
    if (width_ == 0 || height_ == 0) return;
    if (compression != 0) Fail(UnsupportedCompression);
    SetColorFormat(colorType, bitDepth);
    interlaced_ = interlace != 0;  // every non-zero method means Adam7

    // Sizes are settled before anything is allocated.
    const std::uint64_t pixelCount = std::uint64_t(width_) * height_;
    if (pixelCount > TPNGReader::MaxPixels) Fail(InvalidFormat);
    if (FilteredImageBytes() / MaxDeflateRatio > stream_.Remaining()) Fail(InvalidFormat);
    // Every pixel is written before a decode succeeds.
    auto image = std::make_unique_for_overwrite<std::uint32_t[]>(pixelCount);
    pixels_ = image.get();

    CheckZlibResult(inflateInit(&zstream_));
    inflateStarted_ = true;

    bool imageDone = false;
    ReadChunkHeader();
    for (;;) {
        if (IsChunk("IDAT")) {
            // A later run of image data is decoded again from the first row,
            // going on with the same zlib stream.
            DecodeImage();
            imageDone = true;
            // The chunk after the image data is taken as an unknown one.
            if (PassOverChunk()) break;
        } else if (IsChunk("PLTE")) {
            if (chunkLength_ % 3 != 0) Fail(InvalidPalette);
            ReadChunkData();
            if (colorType_ == 3) ReadPalette(chunkData_.data(), chunkLength_ / 3);
        } else if (IsChunk("gAMA") || IsChunk("bKGD")) {
            ReadChunkData();  // checked, but they do not change the pixels
        } else if (IsChunk("tRNS")) {
            ReadTransparency();
        } else if (PassOverChunk()) {
            break;
        }
        ReadChunkHeader();
    }
    if (!imageDone) Fail(InvalidFormat);
    inflateStarted_ = false;
    CheckZlibResult(inflateEnd(&zstream_));

    width = width_;
    height = height_;
    pixels = std::move(image);
}

}  // namespace

void TPNGReader::LoadFromStream(TByteStream& stream) {
    width_ = height_ = 0;
    pixels_.reset();
    std::uint32_t width = 0, height = 0;
    std::unique_ptr<std::uint32_t[]> pixels;
    TPngDecoder(stream).Decode(width, height, pixels);
    if (pixels) {
        width_ = width;
        height_ = height;
        pixels_ = std::move(pixels);
    }
}

std::span<const std::uint32_t> TPNGReader::GetPixels() const {
    if (!pixels_) return {};
    return {pixels_.get(), std::size_t(width_) * height_};
}

}  // namespace tbx
