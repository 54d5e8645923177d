#pragma once
// Reading and writing the program's list files as bytes, for tests that
// check them from outside.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/ExcludeEntry.h"

namespace vsk::test {

using Bytes = std::vector<uint8_t>;

// The file's bytes, or nothing when it cannot be opened.
inline std::optional<Bytes> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One record as a new entry holds it (zeros after the strings), with the
// last byte as given.
inline Bytes RecordBytes(const std::string& title, const std::string& path, uint8_t flag) {
    core::TExcludeEntry e;
    e.SetTitle(title);
    e.SetPath(path);
    e.AllWindows = flag;
    const auto* p = reinterpret_cast<const uint8_t*>(&e);
    return Bytes(p, p + sizeof e);
}

inline Bytes JoinBytes(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace vsk::test
