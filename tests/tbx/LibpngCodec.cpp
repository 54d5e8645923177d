#include "LibpngCodec.h"

#include <csetjmp>
#include <cstring>

#include <png.h>

namespace libpngref {

namespace {

struct TReadSource {
    const std::uint8_t* data;
    std::size_t size, at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<TReadSource*>(png_get_io_ptr(png));
    if (source->size - source->at < count) png_error(png, "read past the end of the data");
    std::memcpy(out, source->data + source->at, count);
    source->at += count;
}

struct TErrorSink {
    std::string message;
};

void OnError(png_structp png, png_const_charp message) {
    static_cast<TErrorSink*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void WriteToVector(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

}  // namespace

bool DecodeBgra(const std::uint8_t* data, std::size_t size, TImage& image, std::string* error) {
    std::unique_ptr<std::uint32_t[]> pixels;
    if (!DecodeBgra(data, size, image.width, image.height, pixels, error)) return false;
    image.pixels.assign(pixels.get(), pixels.get() + std::size_t(image.width) * image.height);
    return true;
}

bool DecodeBgra(const std::uint8_t* data, std::size_t size, std::uint32_t& outWidth, std::uint32_t& outHeight,
                std::unique_ptr<std::uint32_t[]>& pixels, std::string* error) {
    TErrorSink sink;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    TReadSource source{data, size, 0};
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (error) *error = sink.message;
        return false;
    }
    png_set_read_fn(png, &source, ReadFromMemory);
    png_read_info(png, info);
    png_uint_32 width, height;
    int depth, colorType, interlace;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);

    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    outWidth = width;
    outHeight = height;
    pixels = std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t(width) * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels.get() + std::size_t(y) * width);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::vector<std::uint8_t> Encode(const TEncodeOptions& o) {
    std::vector<std::uint8_t> out;
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < o.palette.size(); i += 3)
        palette.push_back(png_color{o.palette[i], o.palette[i + 1], o.palette[i + 2]});
    std::vector<png_bytep> rows(o.height);
    TErrorSink sink;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, WriteToVector, FlushNothing);
    png_set_IHDR(png, info, o.width, o.height, o.bitDepth, o.colorType,
                 o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!o.tRNS.empty()) {
        if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, o.tRNS.data(), static_cast<int>(o.tRNS.size()), nullptr);
        } else {
            png_color_16 key{};
            auto sample = [&](std::size_t i) { return static_cast<png_uint_16>(o.tRNS[i] << 8 | o.tRNS[i + 1]); };
            if (o.colorType == PNG_COLOR_TYPE_GRAY) {
                key.gray = sample(0);
            } else {
                key.red = sample(0);
                key.green = sample(2);
                key.blue = sample(4);
            }
            png_set_tRNS(png, info, nullptr, 0, &key);
        }
    }
    png_set_compression_level(png, o.compressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_write_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    for (std::uint32_t y = 0; y < o.height; ++y) rows[y] = const_cast<png_bytep>(o.rows.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace libpngref
