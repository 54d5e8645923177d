#include "ui/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "ui/Exception.h"

namespace ui {

// ---- TStream ----------------------------------------------------------------

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {
    // A stream that cannot change its size ignores the request.
}

void TStream::ReadBuffer(void* buf, int64_t count) {
    if (count != 0 && Read(buf, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buf, int64_t count) {
    if (count != 0 && Write(buf, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t count) {
    if (count == 0) {
        Source->SetPosition(0);
        count = Source->Size();
    }
    if (count <= 0) return 0;
    constexpr int64_t kChunk = 61440;
    std::vector<uint8_t> buf(static_cast<size_t>(std::min(count, kChunk)));
    for (int64_t left = count; left > 0;) {
        const int64_t n = std::min(left, kChunk);
        Source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        left -= n;
    }
    return count;
}

// ---- TCustomMemoryStream ------------------------------------------------------

void TCustomMemoryStream::SetPointer(void* memory, int64_t size) {
    memory_ = memory;
    size_ = size;
}

int64_t TCustomMemoryStream::Read(void* buf, int64_t count) {
    if (count <= 0 || position_ >= size_) return 0;
    const int64_t n = std::min(count, size_ - position_);
    std::memcpy(buf, static_cast<const uint8_t*>(memory_) + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
    // Positions past the end are allowed (a write there extends the stream);
    // positions before the start, or ones that overflow, are not.
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0) return -1;
    position_ = base + offset;
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) { Stream->WriteBuffer(memory_, size_); }

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// ---- TMemoryStream ------------------------------------------------------------

int64_t TMemoryStream::Write(const void* buf, int64_t count) {
    if (count <= 0) return 0;
    if (position_ > std::numeric_limits<int64_t>::max() - count) return 0;
    const int64_t end = position_ + count;
    if (end > Size()) SetSize(end);
    std::memcpy(data_.data() + position_, buf, static_cast<size_t>(count));
    position_ = end;
    return count;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0) newSize = 0;
    try {
        if (static_cast<uint64_t>(newSize) > data_.max_size()) throw std::bad_alloc();
        data_.resize(static_cast<size_t>(newSize));
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
    SetPointer(data_.data(), newSize);
    if (position_ > newSize) position_ = newSize;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    SetPointer(nullptr, 0);
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    const int64_t count = Stream->Size();
    SetSize(count);
    Stream->ReadBuffer(Memory(), count);
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

// ---- THandleStream ------------------------------------------------------------

// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces.
constexpr int64_t kMaxIo = 1 << 30;

int64_t THandleStream::Read(void* buf, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxIo));
        if (!ReadFile(handle_, static_cast<uint8_t*>(buf) + done, want, &got, nullptr)) break;
        done += got;
        if (got < want) break;
    }
    return done;
}

int64_t THandleStream::Write(const void* buf, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxIo));
        if (!WriteFile(handle_, static_cast<const uint8_t*>(buf) + done, want, &put, nullptr)) break;
        done += put;
        if (put < want) break;
    }
    return done;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
    static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER dist, pos;
    dist.QuadPart = offset;
    if (!SetFilePointerEx(handle_, dist, &pos, kMethod[origin])) return -1;
    return pos.QuadPart;
}

void THandleStream::SetSize(int64_t newSize) {
    if (Seek(newSize, soBeginning) != newSize) RaiseLastOSError();
    Win32Check(SetEndOfFile(handle_));
}

// ---- TFileStream --------------------------------------------------------------

namespace {

DWORD ShareMode(unsigned mode) {
    switch (mode & 0xF0) {
    case fmShareDenyWrite: return FILE_SHARE_READ;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return 0;  // compatible and exclusive alike share nothing
    }
}

HANDLE OpenOrCreate(const std::string& name, unsigned mode) {
    if ((mode & fmCreate) == fmCreate) {
        HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, ShareMode(mode), nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD err = GetLastError();
            throw EFCreateError("Cannot create file \"" + name + "\". " + SysErrorMessage(err));
        }
        return h;
    }
    static constexpr DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
    HANDLE h = CreateFileA(name.c_str(), kAccess[mode & 3], ShareMode(mode), nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        throw EFOpenError("Cannot open file \"" + name + "\". " + SysErrorMessage(err));
    }
    return h;
}

}  // namespace

TFileStream::TFileStream(const std::string& FileName, unsigned Mode)
    : THandleStream(OpenOrCreate(FileName, Mode)), fileName_(FileName) {}

TFileStream::~TFileStream() { CloseHandle(handle_); }

// ---- TResourceStream ----------------------------------------------------------

TResourceStream::TResourceStream(HINSTANCE Instance, const std::string& ResName, const char* ResType) {
    Initialize(Instance, ResName.c_str(), ResType, ResName);
}

TResourceStream::TResourceStream(HINSTANCE Instance, int ResID, const char* ResType) {
    Initialize(Instance, MAKEINTRESOURCEA(ResID), ResType, std::to_string(ResID));
}

void TResourceStream::Initialize(HINSTANCE Instance, const char* name, const char* type, const std::string& shownName) {
    // A loaded resource lives as long as its module: nothing to release.
    HRSRC res = FindResourceA(Instance, name, type);
    HGLOBAL global = res ? LoadResource(Instance, res) : nullptr;
    void* data = global ? LockResource(global) : nullptr;
    if (data == nullptr) throw EResNotFound("Resource " + shownName + " not found");
    SetPointer(data, SizeofResource(Instance, res));
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}

void TResourceStream::SetSize(int64_t) { throw EStreamError("Can't write to a read-only resource stream"); }

}  // namespace ui
