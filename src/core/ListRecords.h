#pragma once
// The records of the do-not-hide and bring-to-top list files: one
// TExcludeEntry after another, 513 bytes each, with no header, count or
// trailer. Pure byte work, so the host build tests it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ExcludeEntry.h"

namespace core {

constexpr std::size_t ListRecordSize = sizeof(TExcludeEntry);

// The bring-to-top list does not use the last byte of its record.
enum class TListKind { DoNotHide, BringToTop };

// One record as stored, byte for byte (a last byte of 2 stays 2: any
// non-zero value reads as set).
TExcludeEntry DecodeListRecord(const std::uint8_t* Record);

// Every whole record of Data, in file order; a trailing part shorter than
// one record is not read.
std::vector<TExcludeEntry> DecodeListRecords(const std::uint8_t* Data, std::size_t Size);

// One record in its canonical form: zeros after each string, the last byte
// written as 1 or 0 (always 0 for the bring-to-top list), so nothing but
// the entry's own texts and flag reaches the disk.
void EncodeListRecord(const TExcludeEntry& Entry, TListKind Kind, std::uint8_t* Record);

// The whole file for Entries (empty for an empty list).
std::vector<std::uint8_t> EncodeListRecords(const std::vector<TExcludeEntry>& Entries, TListKind Kind);

}  // namespace core
