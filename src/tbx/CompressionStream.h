#pragma once
// zlib glue of the PNG codec: the result check every zlib call goes through,
// and a write-only deflate stream that produces the zlib data of an IDAT chunk.
#include <array>
#include <cstddef>
#include <cstdint>

#include <zlib.h>

#include "tbx/ByteStream.h"

namespace tbx {

// Returns code when it is 0 or positive; raises EZlibError
// "Compression error: <zlib's text for the code>" when it is negative.
int CheckZlibResult(int code);

// Deflates at level 9 into a target stream. Call Write any number of times,
// then Finish: only then is the zlib data in the target complete. The
// destructor releases zlib's state and never raises, so a stream abandoned
// after a failure leaves an incomplete zlib stream in the target.
class TCompressionStream {
public:
    explicit TCompressionStream(TByteStream& target);
    ~TCompressionStream();
    TCompressionStream(const TCompressionStream&) = delete;
    TCompressionStream& operator=(const TCompressionStream&) = delete;

    std::size_t Write(const void* buffer, std::size_t count);
    void Finish();

private:
    static constexpr std::size_t BufferSize = 65536;

    void RestoreTargetPosition();
    void FlushBuffer(std::size_t count);

    TByteStream& target_;  // not owned
    std::uint64_t savedPosition_;
    z_stream zstream_{};
    bool finished_ = false;
    // Output collects here and reaches the target in full buffers, plus one
    // partial buffer when finishing.
    std::array<std::uint8_t, BufferSize> buffer_;
};

}  // namespace tbx
