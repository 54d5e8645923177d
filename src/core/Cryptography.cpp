#include "core/Cryptography.h"
#include "core/LittleEndian.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "core/Rotate.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace core {

namespace {

// The key every cipher starts with, from the program's string table (none
// outside Windows). Setting it again at construction is a no-op, so a fresh
// cipher has a zero key buffer until its first real key.
std::string LoadDefaultCipherKey() {
#ifdef _WIN32
    char text[64];
    const int n = LoadStringA(GetModuleHandleA(nullptr), DefaultCipherKeyId, text, sizeof text);
    return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
#else
    return std::string();
#endif
}

constexpr int ChunkBytes = 2048;
constexpr int MinBufferBytes = 256;

}  // namespace

TCryptography::TCryptography(const std::string& Name, int BlockSize, int KeySize) {
    // Init is called non-virtually here (a base constructor); it schedules
    // nothing, because the default key is already the held key.
    Init(Name, BlockSize, KeySize, LoadDefaultCipherKey());
}

void TCryptography::Init(const std::string& Name, int BlockSize, int KeySize, const std::string& Key) {
    // Key words are folded four bytes at a time and the buffer is walked
    // whole blocks at a time.
    assert(BlockSize > 0 && KeySize > 0 && KeySize % 4 == 0);
    name_ = Name;
    blockSize_ = BlockSize;
    bufferSize_ = BlockSize * (ChunkBytes / BlockSize);
    key_ = LoadDefaultCipherKey();
    keySize_ = KeySize;
    keyBuffer_.assign(static_cast<std::size_t>(KeySize), 0);
    SetKey(Key);
}

void TCryptography::SetKey(const std::string& Key) {
    if (Key != key_ && !Key.empty()) {
        key_ = Key;
        FoldKey();
        KeySchedule();
    }
    key_ = Key;
}

void TCryptography::FoldKey() {
    // The key repeated up to a whole number of key buffers; a key longer than
    // the buffer wraps round and folds on top of its own beginning.
    std::string s = key_;
    const std::size_t keySize = static_cast<std::size_t>(keySize_);
    for (std::size_t next = 0; s.size() % keySize != 0; ++next) s.push_back(s[next]);

    // Mixed into what the buffer already holds: each key is folded on top of
    // the ones before it, never onto a cleared buffer.
    std::size_t a = 0;
    for (std::size_t g = 0; g + 4 <= s.size(); g += 4) {
        const std::uint32_t y = LoadLE32(reinterpret_cast<const std::uint8_t*>(s.data() + g));
        const std::uint32_t x = RotateLeft(LoadLE32(&keyBuffer_[a]), static_cast<std::uint8_t>(y)) ^ y;
        StoreLE32(&keyBuffer_[a], x);
        a = (a + 4) % keySize;
    }
}

int TCryptography::SetBufferSize(int Size) {
    int size = Size / blockSize_ * blockSize_;
    if (size < MinBufferBytes) size = MinBufferBytes / blockSize_ * blockSize_;
    bufferSize_ = size;
    return bufferSize_;
}

// ---- readers and writers ----------------------------------------------------

int TCryptography::ReadFromString(void* Buffer, int Count) {
    const std::size_t start = static_cast<std::size_t>(inputPos_ - 1);
    if (inputPos_ < 1 || Count <= 0 || start >= input_.size()) return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(Count), input_.size() - start);
    std::memcpy(Buffer, input_.data() + start, n);
    inputPos_ += static_cast<int>(n);
    return static_cast<int>(n);
}

int TCryptography::WriteToString(const void* Buffer, int Count) {
    if (Count > 0) output_.append(static_cast<const char*>(Buffer), static_cast<std::size_t>(Count));
    return Count;
}

int TCryptography::ReadFromStream(void* Buffer, int Count) { return static_cast<int>(source_->Read(Buffer, Count)); }

int TCryptography::WriteToStream(const void* Buffer, int Count) {
    return static_cast<int>(dest_->Write(Buffer, Count));
}

TCryptography::TReader TCryptography::StringReader() {
    return [this](void* b, int n) { return ReadFromString(b, n); };
}

TCryptography::TWriter TCryptography::StringWriter() {
    return [this](const void* b, int n) { return WriteToString(b, n); };
}

TCryptography::TReader TCryptography::StreamReader() {
    return [this](void* b, int n) { return ReadFromStream(b, n); };
}

TCryptography::TWriter TCryptography::StreamWriter() {
    return [this](const void* b, int n) { return WriteToStream(b, n); };
}

// ---- the chunk loop ---------------------------------------------------------

bool TCryptography::Process(TBlockOperation Operation, const TReader& Reader, const TWriter& Writer) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(bufferSize_));
    bool allPassed = true;
    for (;;) {
        // Zeroed every pass: the tail of the last block is the zero padding.
        std::fill(buffer.begin(), buffer.end(), 0);
        const int n = Reader(buffer.data(), bufferSize_);
        if (n < 0 || n > bufferSize_) return false;  // a reader that overran the buffer cannot be trusted
        const int blocks = n / blockSize_ + (n % blockSize_ != 0 ? 1 : 0);
        const int out = blocks * blockSize_;
        bool ok = true;
        for (int b = 0; b < blocks && ok; ++b)
            ok = (this->*Operation)(buffer.data() + static_cast<std::size_t>(b) * blockSize_);
        const int written = Writer(buffer.data(), out);
        const bool passed = ok && written == out;
        allPassed = allPassed && passed;
        // A failed pass does not end the run while input remains: the later
        // chunks are still processed and written. Once the reader is empty the
        // run ends even when that last pass failed, since repeating a pass
        // with nothing to read cannot succeed and would never end.
        if (n == 0) return allPassed;
    }
}

// ---- strings and streams ----------------------------------------------------

bool TCryptography::Encrypt(const TReader& Reader, const TWriter& Writer) {
    return Process(&TCryptography::EncryptBlock, Reader, Writer);
}

bool TCryptography::Decrypt(const TReader& Reader, const TWriter& Writer) {
    return Process(&TCryptography::DecryptBlock, Reader, Writer);
}

bool TCryptography::EncryptString(std::string& Text) {
    input_ = Text;
    output_.clear();
    inputPos_ = 1;
    const bool ok = Encrypt(StringReader(), StringWriter());
    Text = output_;
    return ok;
}

bool TCryptography::DecryptString(std::string& Text) {
    input_ = Text;
    output_.clear();
    inputPos_ = 1;
    const bool ok = Decrypt(StringReader(), StringWriter());
    Text = output_;
    return ok;
}

bool TCryptography::EncryptStream(TCipherStream* Source, TCipherStream* Dest) {
    source_ = Source;
    dest_ = Dest;
    return Encrypt(StreamReader(), StreamWriter());
}

bool TCryptography::DecryptStream(TCipherStream* Source, TCipherStream* Dest) {
    source_ = Source;
    dest_ = Dest;
    return Decrypt(StreamReader(), StreamWriter());
}

}  // namespace core
