#include "core/ListFiles.h"

#include <windows.h>

#include "ui/Exception.h"

namespace core {

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    // Closes now; false (GetLastError set) when the system reports a failure.
    bool Close() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != FALSE;
    }

private:
    HANDLE h_;
};

[[noreturn]] void Fail(const char* what, const std::string& fileName, DWORD error) {
    throw ui::EInOutError(std::string(what) + " \"" + fileName + "\": " + ui::SysErrorMessage(error),
                          static_cast<int>(error));
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

} // namespace

void LoadListFile(const std::string& FileName, std::vector<TExcludeEntry>& Entries) {
    FileHandle f(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!f.Valid()) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) return;
        Fail("Cannot read the list file", FileName, error);
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[64 * ListRecordSize];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(f.Get(), chunk, sizeof chunk, &got, nullptr)) {
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
}

void SaveListFile(const std::string& FileName, const std::vector<TExcludeEntry>& Entries, TListKind Kind) {
    const char* what = "Cannot write the list file";
    // Replacing by rename would pass over the read-only mark that writing
    // in place is stopped by.
    const DWORD attributes = GetFileAttributesA(FileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        Fail(what, FileName, ERROR_ACCESS_DENIED);

    const std::vector<std::uint8_t> bytes = EncodeListRecords(Entries, Kind);
    const std::string temp = FileName + ".tmp";
    {
        FileHandle f(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
        if (!f.Valid()) Fail(what, FileName, GetLastError());
        DWORD error = ERROR_SUCCESS;
        DWORD written = 0;
        if (!bytes.empty() &&
            (!WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
             written != bytes.size()))
            error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        if (error == ERROR_SUCCESS && !FlushFileBuffers(f.Get())) error = GetLastError();
        if (!f.Close() && error == ERROR_SUCCESS) error = GetLastError();
        if (error != ERROR_SUCCESS) {
            DeleteFileA(temp.c_str());
            Fail(what, FileName, error);
        }
    }
    if (!MoveFileExA(temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(temp.c_str());
        Fail(what, FileName, error);
    }
}

} // namespace core
