// libFuzzer target for the settings file's text editor. Any text must take
// the program's keys without a sanitizer report; every key set must then be
// in the text as its own line, setting the same values again must change
// nothing, and the text may grow by no more than the lines added.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/IniText.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Key {
    const char* section;
    const char* ident;
    const char* value;
};

const Key kKeys[] = {{"Sounds", "Volume", "65535"},
                     {"Sounds", "VolumeMuted", "0"},
                     {"Display", "Resolution", "2"},
                     {"HOTKEY_Windows", "Key", "\"` \""},
                     {"MouseShortcut_SSaver", "Corner", "1"}};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

void SetAll(core::TIniText& text) {
    for (const Key& k : kKeys) text.SetValue(k.section, k.ident, k.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    core::TIniText text(input);
    SetAll(text);
    const std::string once = text.Text();
    // The file's spelling of a name stays: compared without case.
    const std::string lower = Lower(once);
    std::size_t added = 0;
    for (const Key& k : kKeys) {
        added += std::string(k.section).size() + std::string(k.ident).size() + std::string(k.value).size() + 8;
        const std::string line = Lower(std::string(k.ident) + "=" + k.value);
        Check(lower.find(line + "\n") != std::string::npos || lower.find(line + "\r") != std::string::npos);
    }
    Check(once.size() <= input.size() + added);
    core::TIniText again(once);
    SetAll(again);
    Check(again.Text() == once);
    return 0;
}
