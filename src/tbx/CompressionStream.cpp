#include "tbx/CompressionStream.h"

#include <string>

#include "tbx/TbxErrors.h"

namespace tbx {

int CheckZlibResult(int code) {
    if (code >= 0) return code;
    // The texts zlib itself gives these codes; kept here so that the message
    // does not depend on the zlib build.
    const char* text;
    switch (code) {
    case Z_ERRNO: text = "file error"; break;
    case Z_STREAM_ERROR: text = "stream error"; break;
    case Z_DATA_ERROR: text = "data error"; break;
    case Z_MEM_ERROR: text = "insufficient memory"; break;
    case Z_BUF_ERROR: text = "buffer error"; break;
    case Z_VERSION_ERROR: text = "incompatible version"; break;
    default: text = "unknown error"; break;
    }
    throw EZlibError(std::string("Compression error: ") + text);
}

TCompressionStream::TCompressionStream(TByteStream& target) : target_(target), savedPosition_(target.Position()) {
    zstream_.next_out = buffer_.data();
    zstream_.avail_out = BufferSize;
    CheckZlibResult(deflateInit(&zstream_, 9));
}

TCompressionStream::~TCompressionStream() { deflateEnd(&zstream_); }

// A caller may move the target between writes; the output must still be one
// contiguous stream from where it began.
void TCompressionStream::RestoreTargetPosition() {
    if (target_.Position() != savedPosition_) target_.SetPosition(savedPosition_);
}

void TCompressionStream::FlushBuffer(std::size_t count) {
    target_.Write(buffer_.data(), count);
    savedPosition_ = target_.Position();
    zstream_.next_out = buffer_.data();
    zstream_.avail_out = BufferSize;
}

std::size_t TCompressionStream::Write(const void* buffer, std::size_t count) {
    // zlib counts in unsigned int; larger writes go in slices.
    const auto* p = static_cast<const Bytef*>(buffer);
    std::size_t left = count;
    RestoreTargetPosition();
    while (left != 0) {
        const uInt slice = left > 0x40000000u ? 0x40000000u : static_cast<uInt>(left);
        zstream_.next_in = const_cast<Bytef*>(p);
        zstream_.avail_in = slice;
        while (zstream_.avail_in != 0) {
            CheckZlibResult(deflate(&zstream_, Z_NO_FLUSH));
            if (zstream_.avail_out == 0) FlushBuffer(BufferSize);
        }
        p += slice;
        left -= slice;
    }
    return count;
}

void TCompressionStream::Finish() {
    if (finished_) return;
    zstream_.next_in = nullptr;
    zstream_.avail_in = 0;
    RestoreTargetPosition();
    for (;;) {
        const int result = CheckZlibResult(deflate(&zstream_, Z_FINISH));
        if (result == Z_STREAM_END || zstream_.avail_out != 0) break;
        FlushBuffer(BufferSize);
    }
    if (zstream_.avail_out < BufferSize) FlushBuffer(BufferSize - zstream_.avail_out);
    finished_ = true;
}

}  // namespace tbx
