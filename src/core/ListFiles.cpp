#include "core/ListFiles.h"

#include <windows.h>

#include "core/WholeFiles.h"
#include "ui/Exception.h"

namespace core {

namespace {

[[noreturn]] void Fail(const char* what, const std::string& fileName, DWORD error) {
    throw ui::EInOutError(std::string(what) + " \"" + fileName + "\": " + ui::SysErrorMessage(error),
                          static_cast<int>(error));
}

}  // namespace

bool LoadListFile(const std::string& FileName, std::vector<TExcludeEntry>& Entries) {
    // Only the records kept are read: a huge file costs no more than that.
    constexpr std::size_t kept = MaxListRecords * ListRecordSize;
    std::string bytes;
    unsigned long long size = 0;
    const DWORD error = ReadFileStart(FileName, bytes, kept, size);
    auto read = DecodeListRecords(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    Entries.insert(Entries.end(), read.begin(), read.end());
    if (error != ERROR_SUCCESS) Fail("Cannot read the list file", FileName, error);
    return size < kept + ListRecordSize;
}

void SaveListFile(const std::string& FileName, const std::vector<TExcludeEntry>& Entries, TListKind Kind) {
    const std::vector<std::uint8_t> bytes = EncodeListRecords(Entries, Kind);
    const DWORD error = ReplaceFileWhole(FileName, bytes.data(), bytes.size());
    if (error != ERROR_SUCCESS) Fail("Cannot write the list file", FileName, error);
}

}  // namespace core
