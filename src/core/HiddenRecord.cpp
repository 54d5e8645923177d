#include "core/HiddenRecord.h"

#include <cstring>
#include <utility>

#include "core/LittleEndian.h"

namespace core {

namespace {

constexpr char Magic[8] = {'V', 'S', 'K', 'H', 'I', 'D', '0', '1'};
constexpr std::size_t HeaderSize = 8 + 4 + 4 + 8;      // magic, count, reserved, boot time
constexpr std::size_t WindowSize = 8 + 4 + 4 + 4 + 4;  // handle, process, thread, style, reserved
constexpr std::size_t TrailerSize = 4;
static_assert(MaxHiddenRecordBytes == HeaderSize + MaxHiddenWindows * WindowSize + TrailerSize);

std::uint32_t Checksum(const std::uint8_t* p, std::size_t n) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

void Store64(std::uint8_t* p, std::uint64_t v) {
    StoreLE32(p, std::uint32_t(v));
    StoreLE32(p + 4, std::uint32_t(v >> 32));
}

std::uint64_t Load64(const std::uint8_t* p) { return LoadLE32(p) | std::uint64_t(LoadLE32(p + 4)) << 32; }

}  // namespace

std::vector<std::uint8_t> EncodeHiddenRecord(const THiddenRecord& Record) {
    std::vector<std::uint8_t> out(HeaderSize + Record.Windows.size() * WindowSize + TrailerSize);
    std::uint8_t* p = out.data();
    std::memcpy(p, Magic, sizeof Magic);
    StoreLE32(p + 8, static_cast<std::uint32_t>(Record.Windows.size()));
    Store64(p + 16, Record.BootTime);
    p += HeaderSize;
    for (const THiddenWindow& w : Record.Windows) {
        Store64(p, w.Handle);
        StoreLE32(p + 8, w.ProcessId);
        StoreLE32(p + 12, w.ThreadId);
        StoreLE32(p + 16, static_cast<std::uint32_t>(w.ExStyle));
        p += WindowSize;
    }
    StoreLE32(p, Checksum(out.data(), out.size() - TrailerSize));
    return out;
}

bool DecodeHiddenRecord(const std::uint8_t* Data, std::size_t Size, THiddenRecord& Record) {
    if (!Data || Size < HeaderSize + TrailerSize || std::memcmp(Data, Magic, sizeof Magic) != 0) return false;
    const std::size_t count = LoadLE32(Data + 8);
    if (count > MaxHiddenWindows || Size != HeaderSize + count * WindowSize + TrailerSize) return false;
    if (LoadLE32(Data + Size - TrailerSize) != Checksum(Data, Size - TrailerSize)) return false;
    THiddenRecord read;
    read.BootTime = Load64(Data + 16);
    const std::uint8_t* p = Data + HeaderSize;
    for (std::size_t i = 0; i < count; ++i, p += WindowSize)
        read.Windows.push_back(
            {Load64(p), LoadLE32(p + 8), LoadLE32(p + 12), static_cast<std::int32_t>(LoadLE32(p + 16))});
    Record = std::move(read);
    return true;
}

}  // namespace core
