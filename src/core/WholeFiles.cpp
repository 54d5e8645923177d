#include "core/WholeFiles.h"

#include <algorithm>

namespace core {

DWORD ReplaceFileWhole(const std::string& FileName, const void* Bytes, std::size_t Size, bool ToDisk) {
    // Replacing by rename would pass over the read-only mark that writing
    // in place is stopped by.
    const DWORD attributes = GetFileAttributesA(FileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    if (Size > MAXDWORD) return ERROR_FILE_TOO_LARGE;

    const std::string temp = FileName + ".tmp";
    {
        TFileHandle f(
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f.Valid()) return GetLastError();
        DWORD error = ERROR_SUCCESS;
        DWORD written = 0;
        if (Size > 0 && (!WriteFile(f.Get(), Bytes, static_cast<DWORD>(Size), &written, nullptr) || written != Size))
            error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        if (error == ERROR_SUCCESS && ToDisk && !FlushFileBuffers(f.Get())) error = GetLastError();
        if (!f.Close() && error == ERROR_SUCCESS) error = GetLastError();
        if (error != ERROR_SUCCESS) {
            DeleteFileA(temp.c_str());
            return error;
        }
    }
    if (!MoveFileExA(temp.c_str(), FileName.c_str(),
                     MOVEFILE_REPLACE_EXISTING | (ToDisk ? MOVEFILE_WRITE_THROUGH : 0))) {
        const DWORD error = GetLastError();
        DeleteFileA(temp.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}

DWORD ReadFileStart(const std::string& FileName, std::string& Bytes, std::size_t MaxSize, unsigned long long& Size) {
    Bytes.clear();
    Size = 0;
    TFileHandle f(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!f.Valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.Get(), &size)) return GetLastError();
    Size = static_cast<unsigned long long>(size.QuadPart);
    Bytes.resize(static_cast<std::size_t>(std::min<unsigned long long>(Size, MaxSize)));
    std::size_t got = 0;
    DWORD error = ERROR_SUCCESS;
    while (got < Bytes.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(Bytes.size() - got, MAXDWORD));
        if (!ReadFile(f.Get(), Bytes.data() + got, want, &n, nullptr)) {
            error = GetLastError();
            break;
        }
        if (n == 0) break;  // cut short meanwhile
        got += n;
    }
    Bytes.resize(got);
    return error;
}

DWORD ReadFileWhole(const std::string& FileName, std::string& Bytes, std::size_t MaxSize) {
    unsigned long long size = 0;
    const DWORD error = ReadFileStart(FileName, Bytes, MaxSize, size);
    if (error != ERROR_SUCCESS || size <= MaxSize) return error;
    Bytes.clear();
    return ERROR_FILE_TOO_LARGE;
}

}  // namespace core
