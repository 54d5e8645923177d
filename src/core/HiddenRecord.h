#pragma once
// The record of the windows a hide took away, kept on disk while they are
// hidden: a program that is ended by force (or fails) cannot show them
// again itself, so its next start does. Pure byte work; writing and acting
// on it is in HiddenWindows.h.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace core {

// One hidden window, enough to know it again for good: handles and ids are
// given out anew (and repeat) once their window or process is gone, the
// creation time of the owning process with its id does not.
struct THiddenWindow {
    std::uint64_t Handle = 0;
    std::uint32_t ProcessId = 0;
    std::uint32_t ThreadId = 0;
    std::int32_t ExStyle = 0;          // the extended style before hiding
    std::uint64_t ProcessCreated = 0;  // FILETIME of the owning process's start
    bool operator==(const THiddenWindow&) const = default;
};

// The sound as it was before the hide, in the volume scale 0..Max.
struct THiddenVolume {
    bool HasVolume = false;
    bool HasMute = false;
    bool Muted = false;
    std::uint16_t Volume[2] = {0, 0};
    std::uint16_t Max = 0;
    bool operator==(const THiddenVolume&) const = default;
};

struct THiddenRecord {
    THiddenVolume Volume;
    std::vector<THiddenWindow> Windows;  // topmost first
};

// More windows than any desktop holds: a count beyond it is damage.
constexpr std::size_t MaxHiddenWindows = 65536;
// The largest record: a header, 32 bytes a window and a checksum.
constexpr std::size_t MaxHiddenRecordBytes = 32 + MaxHiddenWindows * 32 + 4;

std::vector<std::uint8_t> EncodeHiddenRecord(const THiddenRecord& Record);
// False, with Record untouched, for anything that is not a whole record as
// EncodeHiddenRecord writes it.
bool DecodeHiddenRecord(const std::uint8_t* Data, std::size_t Size, THiddenRecord& Record);

}  // namespace core
