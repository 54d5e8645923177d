#pragma once
// The byte streams the PNG codec reads from and writes to. The class
// library's TStream is adapted to TByteStream; the two in-memory streams
// serve tests, tools and callers that already hold the bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tbx {

class TByteStream {
public:
    virtual ~TByteStream() = default;

    // Reads up to count bytes at the position; returns how many were read
    // (fewer only at the end of the data).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes all count bytes at the position or raises.
    virtual void Write(const void* buffer, std::size_t count) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual void SetPosition(std::uint64_t position) = 0;
    virtual std::uint64_t Size() const = 0;

    // Reads exactly count bytes; raises EStreamError "Stream read error"
    // when the data ends first.
    void ReadBuffer(void* buffer, std::size_t count);
    // Bytes between the position and the end (0 when positioned past it).
    std::uint64_t Remaining() const;
};

// A growable stream over bytes it owns; writing past the end extends it.
class TMemoryByteStream : public TByteStream {
public:
    TMemoryByteStream() = default;
    explicit TMemoryByteStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position_; }
    void SetPosition(std::uint64_t position) override { position_ = position; }
    std::uint64_t Size() const override { return bytes_.size(); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
};

// A read-only view of bytes that someone else owns; writing raises
// EStreamError "Stream write error".
class TConstByteStream : public TByteStream {
public:
    explicit TConstByteStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position_; }
    void SetPosition(std::uint64_t position) override { position_ = position; }
    std::uint64_t Size() const override { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;  // not owned
    std::uint64_t position_ = 0;
};

}  // namespace tbx
