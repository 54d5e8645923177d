#pragma once
// Files read and replaced whole: the list files and the settings file.
#include <windows.h>

#include <cstddef>
#include <string>

namespace core {

// A file handle closed on every way out.
class TFileHandle {
public:
    explicit TFileHandle(HANDLE h) : h_(h) {}
    ~TFileHandle() {
        if (Valid()) CloseHandle(h_);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
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

// Puts Bytes in the place of FileName. They go to a temporary file beside it
// ("<FileName>.tmp"), are flushed to the disk, and replace the old file only
// once complete, so a failure at any point (a full disk among them) leaves
// the old file whole and no temporary file behind. A read-only file is
// refused, as writing in place would refuse it. Returns ERROR_SUCCESS or the
// system's error code. Without ToDisk nothing waits for the disk: the file
// outlives the program then, not the system.
DWORD ReplaceFileWhole(const std::string& FileName, const void* Bytes, std::size_t Size, bool ToDisk = true);

// The first MaxSize bytes of FileName into Bytes (no more are read, however
// long the file), and the file's size into Size; a missing file (or folder)
// is empty. Returns ERROR_SUCCESS or the system's error code; after a failed
// read Bytes holds what was read before it.
DWORD ReadFileStart(const std::string& FileName, std::string& Bytes, std::size_t MaxSize, unsigned long long& Size);

// The whole content of FileName into Bytes; a missing file (or folder) is
// empty. Returns ERROR_SUCCESS or the system's error code;
// ERROR_FILE_TOO_LARGE for a file longer than MaxSize.
DWORD ReadFileWhole(const std::string& FileName, std::string& Bytes, std::size_t MaxSize);

}  // namespace core
