#include "PngTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include <zlib.h>

#include "tbx/ByteStream.h"
#include "tbx/Crc32.h"
#include "tbx/PngReader.h"
#include "tbx/PngWriter.h"
#include "tbx/TbxErrors.h"

namespace tbxtest {

namespace {

void PutBigEndian32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t GetBigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path PngSuiteDir() { return VSK_PNGSUITE_DIR; }

std::vector<std::filesystem::path> PngSuiteFiles(bool corrupt) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(PngSuiteDir())) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".png" && (name[0] == 'x') == corrupt) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

Bytes Chunk(std::string_view type, const Bytes& data, std::optional<std::uint32_t> crc) {
    Bytes out;
    PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, crc ? *crc : tbx::UpdateCrc32(tbx::UpdateCrc32(0, type.data(), 4), data.data(), data.size()));
    return out;
}

Bytes Ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colorType,
           std::uint8_t interlace, std::uint8_t compression) {
    Bytes data;
    PutBigEndian32(data, width);
    PutBigEndian32(data, height);
    data.insert(data.end(), {depth, colorType, compression, 0, interlace});
    return Chunk("IHDR", data);
}

Bytes Iend() { return Chunk("IEND", {}); }

Bytes Png(const std::vector<Bytes>& chunks) {
    Bytes out = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    for (const Bytes& c : chunks) out.insert(out.end(), c.begin(), c.end());
    return out;
}

Bytes Zlib(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6), Z_OK);
    out.resize(size);
    return out;
}

Bytes Inflate(const Bytes& zlibData) {
    z_stream z{};
    EXPECT_EQ(inflateInit(&z), Z_OK);
    Bytes out;
    std::uint8_t buffer[16384];
    z.next_in = const_cast<Bytef*>(zlibData.data());
    z.avail_in = static_cast<uInt>(zlibData.size());
    int result;
    do {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        result = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (result == Z_OK);
    EXPECT_EQ(result, Z_STREAM_END) << "broken zlib data";
    inflateEnd(&z);
    return out;
}

Bytes FilteredRows(const std::vector<Bytes>& rows, std::uint8_t filterType) {
    Bytes out;
    for (const Bytes& row : rows) {
        out.push_back(filterType);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<TChunkInfo> ParseChunks(const Bytes& png) {
    std::vector<TChunkInfo> chunks;
    if (png.size() < 8 || png[0] != 0x89 || png[1] != 'P') {
        ADD_FAILURE() << "no PNG signature";
        return chunks;
    }
    std::size_t at = 8;
    while (at < png.size()) {
        if (png.size() - at < 12) {
            ADD_FAILURE() << "chunk header cut at " << at;
            break;
        }
        const std::uint32_t length = GetBigEndian32(&png[at]);
        if (png.size() - at - 12 < length) {
            ADD_FAILURE() << "chunk data cut at " << at;
            break;
        }
        TChunkInfo chunk{std::string(png.begin() + at + 4, png.begin() + at + 8),
                         Bytes(png.begin() + at + 8, png.begin() + at + 8 + length)};
        const std::uint32_t crc = GetBigEndian32(&png[at + 8 + length]);
        EXPECT_EQ(crc,
                  tbx::UpdateCrc32(tbx::UpdateCrc32(0, chunk.type.data(), 4), chunk.data.data(), chunk.data.size()))
            << "CRC of " << chunk.type;
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return chunks;
}

const TChunkInfo* FindChunk(const std::vector<TChunkInfo>& chunks, std::string_view type) {
    for (const TChunkInfo& c : chunks)
        if (c.type == type) return &c;
    return nullptr;
}

TImage Decode(const Bytes& png) {
    tbx::TConstByteStream stream(png);
    tbx::TPNGReader reader;
    reader.LoadFromStream(stream);
    const auto pixels = reader.GetPixels();
    return TImage{reader.Width(), reader.Height(), {pixels.begin(), pixels.end()}};
}

std::string DecodeError(const Bytes& png) {
    try {
        Decode(png);
    } catch (const tbx::Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

Bytes Encode(const TImage& image) {
    tbx::TPNGWriter writer(static_cast<int>(image.width), static_cast<int>(image.height),
                           static_cast<std::ptrdiff_t>(image.width), image.pixels.data());
    tbx::TMemoryByteStream stream;
    writer.SaveToStream(stream);
    return stream.Bytes();
}

}  // namespace tbxtest
