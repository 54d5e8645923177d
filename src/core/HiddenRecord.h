#pragma once
// The record of the windows a hide took away, kept on disk while they are
// hidden: a program that is ended by force (or fails) cannot show them
// again itself, so its next start does. Pure byte work, so the host build
// tests it; writing and acting on it is in HiddenWindows.h.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace core {

// One hidden window, enough to know it again: a handle alone may name a new
// window of another program by the time it is read, the owner's process and
// thread ids with it do not.
struct THiddenWindow {
    std::uint64_t Handle = 0;
    std::uint32_t ProcessId = 0;
    std::uint32_t ThreadId = 0;
    std::int32_t ExStyle = 0;  // the extended style before hiding
    bool operator==(const THiddenWindow&) const = default;
};

struct THiddenRecord {
    // When the system started, in seconds: handles and ids are only
    // meaningful in the run of the system that gave them out.
    std::uint64_t BootTime = 0;
    std::vector<THiddenWindow> Windows;  // topmost first
};

// More windows than any desktop holds: a count beyond it is damage.
constexpr std::size_t MaxHiddenWindows = 65536;
// The largest record: a header, 24 bytes a window and a checksum.
constexpr std::size_t MaxHiddenRecordBytes = 24 + MaxHiddenWindows * 24 + 4;

std::vector<std::uint8_t> EncodeHiddenRecord(const THiddenRecord& Record);
// False, with Record untouched, for anything that is not a whole record as
// EncodeHiddenRecord writes it.
bool DecodeHiddenRecord(const std::uint8_t* Data, std::size_t Size, THiddenRecord& Record);

// Two estimates of the system's start (the clock less the time since the
// start) differ a little, and more when the clock was set in between.
constexpr std::uint64_t BootTimeTolerance = 600;
inline bool SameBoot(std::uint64_t A, std::uint64_t B) { return (A > B ? A - B : B - A) <= BootTimeTolerance; }

}  // namespace core
