#include "core/ListFiles.h"

#include <windows.h>

#include <algorithm>

#include "core/WholeFiles.h"
#include "ui/Exception.h"

namespace core {

namespace {

[[noreturn]] void Fail(const char* what, const std::string& fileName, DWORD error) {
    throw ui::EInOutError(std::string(what) + " \"" + fileName + "\": " + ui::SysErrorMessage(error),
                          static_cast<int>(error));
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

}  // namespace

bool LoadListFile(const std::string& FileName, std::vector<TExcludeEntry>& Entries) {
    TFileHandle f(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!f.Valid()) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) return true;
        Fail("Cannot read the list file", FileName, error);
    }
    // Only the records kept are read: a huge file costs no more than that.
    constexpr std::size_t kept = MaxListRecords * ListRecordSize;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[64 * ListRecordSize];
    while (bytes.size() < kept) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min(sizeof chunk, kept - bytes.size()));
        if (!ReadFile(f.Get(), chunk, want, &got, nullptr)) {
            const DWORD error = GetLastError();
            auto read = DecodeListRecords(bytes.data(), bytes.size());
            Entries.insert(Entries.end(), read.begin(), read.end());
            Fail("Cannot read the list file", FileName, error);
        }
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    auto read = DecodeListRecords(bytes.data(), bytes.size());
    Entries.insert(Entries.end(), read.begin(), read.end());
    if (bytes.size() < kept) return true;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.Get(), &size)) Fail("Cannot read the list file", FileName, GetLastError());
    return static_cast<unsigned long long>(size.QuadPart) < kept + ListRecordSize;
}

void SaveListFile(const std::string& FileName, const std::vector<TExcludeEntry>& Entries, TListKind Kind) {
    const std::vector<std::uint8_t> bytes = EncodeListRecords(Entries, Kind);
    const DWORD error = ReplaceFileWhole(FileName, bytes.data(), bytes.size());
    if (error != ERROR_SUCCESS) Fail("Cannot write the list file", FileName, error);
}

}  // namespace core
