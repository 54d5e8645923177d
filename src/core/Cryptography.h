#pragma once
// A small block-cipher framework: a key string is folded into a fixed-size
// key buffer, and a block operation runs over a string or a stream chunk by
// chunk. The last partial block is padded with zero bytes and no length is
// stored, so decrypting gives the text padded to a whole number of blocks.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace core {

// The string-table entry that holds every cipher's default key.
inline constexpr unsigned DefaultCipherKeyId = 65265;

// The key the program gives its cipher at start-up.
inline constexpr char AppCipherKey[] = "vqe";

// The byte streams the stream operations read and write. Read and Write move
// up to count bytes and return how many moved (0 at the end or on failure),
// the same contract as the class library's TStream, which adapts to it.
class TCipherStream {
public:
    virtual ~TCipherStream() = default;
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
};

class TCryptography {
public:
    // A chunk reader fills up to Count bytes and returns how many it gave; a
    // writer takes Count bytes and returns how many it took.
    using TReader = std::function<int(void* Buffer, int Count)>;
    using TWriter = std::function<int(const void* Buffer, int Count)>;
    // One block of BlockSize() bytes, transformed in place; false stops the run.
    using TBlockOperation = bool (TCryptography::*)(void* Block);

    TCryptography(const std::string& Name, int BlockSize, int KeySize);
    virtual ~TCryptography() = default;
    TCryptography(const TCryptography&) = delete;
    TCryptography& operator=(const TCryptography&) = delete;

    virtual int ReadFromString(void* Buffer, int Count);
    virtual int WriteToString(const void* Buffer, int Count);
    virtual int ReadFromStream(void* Buffer, int Count);
    virtual int WriteToStream(const void* Buffer, int Count);
    // Runs Operation over everything Reader gives, writing each chunk through
    // Writer; returns false when a block operation or a write failed in any
    // pass (the run goes on to the end of the input after a failed pass).
    virtual bool Process(TBlockOperation Operation, const TReader& Reader, const TWriter& Writer);
    // The largest whole number of blocks not above Size, but never fewer
    // bytes than fit in 256; returns the new size.
    virtual int SetBufferSize(int Size);
    virtual void Init(const std::string& Name, int BlockSize, int KeySize, const std::string& Key);
    virtual void FoldKey();
    virtual void KeySchedule() = 0;
    virtual bool EncryptBlock(void* Block) = 0;
    virtual bool DecryptBlock(void* Block) = 0;
    virtual bool EncryptString(std::string& Text);
    virtual bool DecryptString(std::string& Text);
    virtual bool EncryptStream(TCipherStream* Source, TCipherStream* Dest);
    virtual bool DecryptStream(TCipherStream* Source, TCipherStream* Dest);
    virtual bool Encrypt(const TReader& Reader, const TWriter& Writer);
    virtual bool Decrypt(const TReader& Reader, const TWriter& Writer);

    // A new non-empty key is folded into the key buffer (on top of what the
    // previous keys left there) and scheduled; the held key or an empty one
    // changes nothing but the remembered key string.
    void SetKey(const std::string& Key);

protected:
    int blockSize_ = 0;
    std::string key_;
    int bufferSize_ = 0;
    int keySize_ = 0;
    std::vector<std::uint8_t> keyBuffer_;
    std::string name_;
    std::string input_;
    int inputPos_ = 1;  // 1-based
    std::string output_;
    TCipherStream* source_ = nullptr;  // not owned
    TCipherStream* dest_ = nullptr;    // not owned

private:
    TReader StringReader();
    TWriter StringWriter();
    TReader StreamReader();
    TWriter StreamWriter();
};

}  // namespace core
