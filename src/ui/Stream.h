#pragma once
// Byte streams: the abstract TStream, memory, handle and file streams, and a
// read-only view of a program resource.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Component.h"

namespace ui {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Read and Write move up to count bytes and return how many moved (0 on
    // failure or at the end); ReadBuffer and WriteBuffer insist on all.
    virtual int64_t Read(void* buf, int64_t count) = 0;
    virtual int64_t Write(const void* buf, int64_t count) = 0;
    // Returns the new position, or -1 when the stream cannot go there (the
    // position is then unchanged).
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    void ReadBuffer(void* buf, int64_t count);
    void WriteBuffer(const void* buf, int64_t count);
    // Copies count bytes from Source's position; count 0 copies the whole of
    // Source from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream* Source, int64_t count);
};

// A stream over a block of memory that someone else provides.
class TCustomMemoryStream : public TStream {
public:
    int64_t Read(void* buf, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }
    void* Memory() const { return memory_; }
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);

protected:
    void SetPointer(void* memory, int64_t size);
    int64_t position_ = 0;

private:
    void* memory_ = nullptr;  // not owned
    int64_t size_ = 0;
};

// A growable stream in memory of its own.
class TMemoryStream : public TCustomMemoryStream {
public:
    int64_t Write(const void* buf, int64_t count) override;
    void SetSize(int64_t newSize) override;
    void Clear();
    // Replaces the content with the whole of Stream (read from its start).
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);

private:
    std::vector<uint8_t> data_;
};

// A stream over an open file handle that someone else owns.
class THandleStream : public TStream {
public:
    explicit THandleStream(HANDLE handle) : handle_(handle) {}
    int64_t Read(void* buf, int64_t count) override;
    int64_t Write(const void* buf, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    HANDLE Handle() const { return handle_; }

protected:
    HANDLE handle_;
};

// File open modes: one access mode, optionally or-ed with one share mode.
// fmCreate makes a new, empty file (replacing an existing one), open for
// reading and writing.
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A stream over a file it opens and owns. Raises EFOpenError or EFCreateError
// with the system's reason when the file cannot be opened or made.
class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& FileName, unsigned Mode);
    ~TFileStream() override;
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
};

// The bytes of a resource of the given module, read-only. Raises EResNotFound
// when the module has no such resource.
class TResourceStream : public TCustomMemoryStream {
public:
    TResourceStream(HINSTANCE Instance, const std::string& ResName, const char* ResType);
    TResourceStream(HINSTANCE Instance, int ResID, const char* ResType);
    int64_t Write(const void* buf, int64_t count) override;
    void SetSize(int64_t newSize) override;

private:
    void Initialize(HINSTANCE Instance, const char* name, const char* type, const std::string& shownName);
};

}  // namespace ui
