#include "core/HiddenRecord.h"

#include <cstring>
#include <utility>

#include "core/LittleEndian.h"

namespace core {

namespace {

// The first record (…01) named windows by handle and ids alone; it is not read.
constexpr char Magic[8] = {'V', 'S', 'K', 'H', 'I', 'D', '0', '2'};
// Magic, count, volume flags, left and right volume, scale, reserved.
constexpr std::size_t HeaderSize = 8 + 4 + 4 + 2 + 2 + 2 + 10;
// Handle, process, thread, style, reserved, process creation time.
constexpr std::size_t WindowSize = 8 + 4 + 4 + 4 + 4 + 8;
constexpr std::size_t TrailerSize = 4;
static_assert(MaxHiddenRecordBytes == HeaderSize + MaxHiddenWindows * WindowSize + TrailerSize);

constexpr std::uint32_t FlagHasVolume = 1, FlagHasMute = 2, FlagMuted = 4, KnownFlags = 7;

std::uint32_t Checksum(const std::uint8_t* p, std::size_t n) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

void Store16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

std::uint16_t Load16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

void Store64(std::uint8_t* p, std::uint64_t v) {
    StoreLE32(p, std::uint32_t(v));
    StoreLE32(p + 4, std::uint32_t(v >> 32));
}

std::uint64_t Load64(const std::uint8_t* p) { return LoadLE32(p) | std::uint64_t(LoadLE32(p + 4)) << 32; }

}  // namespace

std::vector<std::uint8_t> EncodeHiddenRecord(const THiddenRecord& Record) {
    std::vector<std::uint8_t> out(HeaderSize + Record.Windows.size() * WindowSize + TrailerSize);
    std::uint8_t* p = out.data();
    const THiddenVolume& v = Record.Volume;
    std::memcpy(p, Magic, sizeof Magic);
    StoreLE32(p + 8, static_cast<std::uint32_t>(Record.Windows.size()));
    StoreLE32(p + 12, (v.HasVolume ? FlagHasVolume : 0) | (v.HasMute ? FlagHasMute : 0) | (v.Muted ? FlagMuted : 0));
    Store16(p + 16, v.Volume[0]);
    Store16(p + 18, v.Volume[1]);
    Store16(p + 20, v.Max);
    p += HeaderSize;
    for (const THiddenWindow& w : Record.Windows) {
        Store64(p, w.Handle);
        StoreLE32(p + 8, w.ProcessId);
        StoreLE32(p + 12, w.ThreadId);
        StoreLE32(p + 16, static_cast<std::uint32_t>(w.ExStyle));
        Store64(p + 24, w.ProcessCreated);
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
    const std::uint32_t flags = LoadLE32(Data + 12);
    if (flags & ~KnownFlags) return false;
    THiddenRecord read;
    read.Volume = {(flags & FlagHasVolume) != 0,
                   (flags & FlagHasMute) != 0,
                   (flags & FlagMuted) != 0,
                   {Load16(Data + 16), Load16(Data + 18)},
                   Load16(Data + 20)};
    const std::uint8_t* p = Data + HeaderSize;
    for (std::size_t i = 0; i < count; ++i, p += WindowSize)
        read.Windows.push_back({Load64(p), LoadLE32(p + 8), LoadLE32(p + 12),
                                static_cast<std::int32_t>(LoadLE32(p + 16)), Load64(p + 24)});
    Record = std::move(read);
    return true;
}

}  // namespace core
