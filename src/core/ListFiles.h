#pragma once
// Reading and writing the list files "ExList.Dat" and "BttList.Dat".
#include <string>
#include <vector>

#include "core/ListRecords.h"

namespace core {

// The most records of a list file that are loaded, far more than any list
// is given by hand; a larger file is not read past them.
inline constexpr std::size_t MaxListRecords = 1000;

// Appends the file's whole records to Entries. A missing file (or folder)
// is an empty list. A file that exists but cannot be opened or read raises
// ui::EInOutError; Entries then holds the records read before the failure.
// False when the file holds more than MaxListRecords records: only the
// first MaxListRecords are appended.
bool LoadListFile(const std::string& FileName, std::vector<TExcludeEntry>& Entries);

// Writes Entries in their canonical form. The records go to a temporary
// file beside FileName ("<FileName>.tmp"), which replaces the old file only
// once it is complete, so a failure half-way leaves the old list intact.
// A failure raises ui::EInOutError (a read-only list file fails as it would
// when written in place).
void SaveListFile(const std::string& FileName, const std::vector<TExcludeEntry>& Entries, TListKind Kind);

}  // namespace core
