#pragma once
// One entry of the do-not-hide or bring-to-top list, laid out exactly as one
// 513-byte record of their files: two length-prefixed strings of up to 255
// characters, then the all-windows flag.
#include <cstdint>
#include <cstring>
#include <string>

namespace core {

#pragma pack(push, 1)
struct TExcludeEntry {
    uint8_t TitleLen = 0;
    char TitleChars[255] = {};
    uint8_t PathLen = 0;
    char PathChars[255] = {};
    // Non-zero: keep every window of the program whatever its title.
    uint8_t AllWindows = 0;

    std::string Title() const { return std::string(TitleChars, TitleLen); }
    std::string Path() const { return std::string(PathChars, PathLen); }
    // Longer texts are cut to the 255 characters a record holds.
    void SetTitle(const std::string& s) { Store(s, TitleLen, TitleChars); }
    void SetPath(const std::string& s) { Store(s, PathLen, PathChars); }

private:
    static void Store(const std::string& s, uint8_t& len, char* chars) {
        len = static_cast<uint8_t>(s.size() > 255 ? 255 : s.size());
        std::memcpy(chars, s.data(), len);
    }
};
#pragma pack(pop)
static_assert(sizeof(TExcludeEntry) == 513, "list file records are 513 bytes");

// The file name part of a path (after the last backslash, slash or colon).
inline std::string ExtractFileName(const std::string& path) {
    auto p = path.find_last_of("\\/:");
    return p == std::string::npos ? path : path.substr(p + 1);
}

}  // namespace core
