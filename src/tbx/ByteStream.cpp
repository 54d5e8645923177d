#include "tbx/ByteStream.h"

#include <algorithm>
#include <cstring>

#include "tbx/TbxErrors.h"

namespace tbx {

void TByteStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EStreamError("Stream read error");
}

std::uint64_t TByteStream::Remaining() const {
    const std::uint64_t size = Size(), position = Position();
    return position < size ? size - position : 0;
}

namespace {

std::size_t CopyOut(std::span<const std::uint8_t> bytes, std::uint64_t& position, void* buffer, std::size_t count) {
    if (position >= bytes.size()) return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, bytes.size() - position));
    if (n != 0) std::memcpy(buffer, bytes.data() + position, n);
    position += n;
    return n;
}

}  // namespace

std::size_t TMemoryByteStream::Read(void* buffer, std::size_t count) {
    return CopyOut(bytes_, position_, buffer, count);
}

void TMemoryByteStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return;
    const std::uint64_t end = position_ + count;
    if (end > bytes_.size()) bytes_.resize(static_cast<std::size_t>(end));
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = end;
}

std::size_t TConstByteStream::Read(void* buffer, std::size_t count) {
    return CopyOut(bytes_, position_, buffer, count);
}

void TConstByteStream::Write(const void*, std::size_t) { throw EStreamError("Stream write error"); }

}  // namespace tbx
