#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <zlib.h>

#include "tbx/CompressionStream.h"
#include "tbx/TbxErrors.h"

using tbx::CheckZlibResult;
using tbx::EZlibError;
using tbx::TCompressionStream;
using tbx::TMemoryByteStream;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Compress2(const Bytes& input) {
    uLongf size = compressBound(static_cast<uLong>(input.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, input.data(), static_cast<uLong>(input.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

Bytes Inflate(const Bytes& input, std::size_t expectedSize) {
    Bytes out(expectedSize + 1);
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, input.data(), static_cast<uLong>(input.size())), Z_OK);
    out.resize(size);
    return out;
}

Bytes RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

// Half noise, half repetition, so that the output spans several 64 KiB buffers.
Bytes MixedBytes(std::size_t count) {
    Bytes bytes = RandomBytes(count, 3);
    for (std::size_t i = 0; i < count; ++i)
        if ((i / 1000) % 2 == 1) bytes[i] = static_cast<std::uint8_t>(i % 7);
    return bytes;
}

Bytes CompressInPieces(const Bytes& input, std::size_t piece) {
    TMemoryByteStream target;
    TCompressionStream stream(target);
    for (std::size_t at = 0; at < input.size(); at += piece) {
        const std::size_t n = std::min(piece, input.size() - at);
        EXPECT_EQ(stream.Write(input.data() + at, n), n);
    }
    stream.Finish();
    return target.Bytes();
}

TEST(CompressionStream, EmptyInputGivesACompleteLevel9ZlibStream) {
    const Bytes out = CompressInPieces({}, 1);
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[0], 0x78);
    EXPECT_EQ(out[1], 0xDA) << "zlib header of a level 9 stream";
    EXPECT_EQ(out, Compress2({}));
    EXPECT_TRUE(Inflate(out, 0).empty());
}

TEST(CompressionStream, EqualsCompress2AndInflatesBackWhateverTheWriteSizes) {
    struct Case {
        std::size_t size, piece;
    };
    const Case cases[] = {{1, 1}, {1000, 7}, {300000, 65536}, {300000, 100000}, {500000, 500000}};
    for (const Case& c : cases) {
        const Bytes input = MixedBytes(c.size);
        const Bytes out = CompressInPieces(input, c.piece);
        EXPECT_EQ(out, Compress2(input)) << c.size << " bytes in pieces of " << c.piece;
        EXPECT_EQ(Inflate(out, input.size()), input) << c.size << " bytes in pieces of " << c.piece;
    }
}

TEST(CompressionStream, OutputReachesTheTargetOnlyInFullBuffersBeforeFinish) {
    const Bytes input = RandomBytes(200000, 5);  // incompressible: over three buffers of output
    TMemoryByteStream target;
    TCompressionStream stream(target);
    stream.Write(input.data(), input.size());
    EXPECT_EQ(target.Bytes().size() % 65536, 0u);
    EXPECT_GE(target.Bytes().size(), 65536u);
    EXPECT_LT(target.Bytes().size(), Compress2(input).size()) << "the stream is not complete yet";
    stream.Finish();
    EXPECT_EQ(target.Bytes(), Compress2(input));
}

TEST(CompressionStream, KeepsOneContiguousStreamWhenTheCallerMovesTheTarget) {
    const Bytes input = RandomBytes(150000, 9);
    TMemoryByteStream target;
    const Bytes prefix = {'a', 'b', 'c'};
    target.Write(prefix.data(), prefix.size());
    TCompressionStream stream(target);
    stream.Write(input.data(), 100000);
    target.SetPosition(0);  // someone else looked at the target in between
    stream.Write(input.data() + 100000, 50000);
    target.SetPosition(1);
    stream.Finish();

    Bytes expected = prefix;
    const Bytes compressed = Compress2(input);
    expected.insert(expected.end(), compressed.begin(), compressed.end());
    EXPECT_EQ(target.Bytes(), expected);
}

TEST(CompressionStream, WritingAfterFinishRaisesAZlibError) {
    TMemoryByteStream target;
    TCompressionStream stream(target);
    stream.Finish();
    const std::uint8_t byte = 1;
    try {
        stream.Write(&byte, 1);
        FAIL() << "no exception";
    } catch (const EZlibError& e) {
        EXPECT_EQ(e.Message(), "Compression error: stream error");
    }
}

TEST(CheckZlibResult, PassesSuccessCodesAndNamesEachFailure) {
    EXPECT_EQ(CheckZlibResult(Z_OK), Z_OK);
    EXPECT_EQ(CheckZlibResult(Z_STREAM_END), Z_STREAM_END);
    EXPECT_EQ(CheckZlibResult(Z_NEED_DICT), Z_NEED_DICT);
    const std::pair<int, std::string> failures[] = {
        {Z_ERRNO, "Compression error: file error"},       {Z_STREAM_ERROR, "Compression error: stream error"},
        {Z_DATA_ERROR, "Compression error: data error"},  {Z_MEM_ERROR, "Compression error: insufficient memory"},
        {Z_BUF_ERROR, "Compression error: buffer error"}, {Z_VERSION_ERROR, "Compression error: incompatible version"},
    };
    for (const auto& [code, message] : failures) {
        try {
            CheckZlibResult(code);
            ADD_FAILURE() << "code " << code << " raised nothing";
        } catch (const EZlibError& e) {
            EXPECT_EQ(e.Message(), message) << "code " << code;
        }
    }
}

}  // namespace
