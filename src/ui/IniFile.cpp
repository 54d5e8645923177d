#include "ui/IniFile.h"

#include <windows.h>

#include <cstdint>

#include "ui/Exception.h"
#include "ui/HexDigit.h"

namespace ui {

namespace {

// Calls GetPrivateProfileStringA with a buffer that grows until the answer
// fits: the system cuts long answers without saying so, except by filling the
// buffer (size - 1 for a value, size - 2 for a list of names).
std::string ProfileString(const char* section, const char* key, const char* def, const std::string& file) {
    std::string buf(2048, '\0');
    for (;;) {
        const DWORD n =
            GetPrivateProfileStringA(section, key, def, buf.data(), static_cast<DWORD>(buf.size()), file.c_str());
        if (n + 2 < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

// A list of names separated by zero bytes.
std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool ContainsName(const std::vector<std::string>& names, const std::string& name) {
    for (const auto& n : names)
        if (lstrcmpiA(n.c_str(), name.c_str()) == 0) return true;
    return false;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string IniQuoted(const std::string& v) {
    if (v.empty()) return v;
    const bool quoted = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    if (IsBlank(v.front()) || IsBlank(v.back()) || quoted) return '"' + v + '"';
    return v;
}

bool TryStrToInt(const std::string& s, int& value) {
    size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        i += 1;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return false;
    uint64_t mag = 0;
    const uint64_t limit = hex ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
    for (; i < s.size(); ++i) {
        const int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0) return false;
        mag = mag * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (mag > limit) return false;
    }
    // Hexadecimal digits are a 32-bit pattern: "$FFFFFFFF" is -1.
    const uint32_t bits = static_cast<uint32_t>(negative ? 0 - mag : mag);
    value = static_cast<int32_t>(bits);
    return true;
}

TIniFile::~TIniFile() { UpdateFile(); }

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    return ProfileString(Section.c_str(), Ident.c_str(), Default.c_str(), fileName_);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), IniQuoted(Value).c_str(), fileName_.c_str()))
        throw EIniFileException("Unable to write to " + fileName_);
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    int v;
    return TryStrToInt(ReadString(Section, Ident, ""), v) ? v : Default;
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& Section) const { return !ReadSection(Section).empty(); }

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    return ContainsName(ReadSection(Section), Ident);
}

std::vector<std::string> TIniFile::ReadSection(const std::string& Section) const {
    return SplitNames(ProfileString(Section.c_str(), nullptr, "", fileName_));
}

std::vector<std::string> TIniFile::ReadSections() const {
    return SplitNames(ProfileString(nullptr, nullptr, "", fileName_));
}

// Removing what is not there is nothing to do: the file is neither touched
// nor created, and only a removal the system refuses is a failure.
void TIniFile::EraseSection(const std::string& Section) {
    if (!ContainsName(ReadSections(), Section)) return;
    if (!WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, fileName_.c_str()))
        throw EIniFileException("Unable to write to " + fileName_);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    if (!ValueExists(Section, Ident)) return;
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), nullptr, fileName_.c_str()))
        throw EIniFileException("Unable to write to " + fileName_);
}

void TIniFile::UpdateFile() {
    // The system answers FALSE for a flush whatever happens; every write has
    // already reported its own failure.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
}

}  // namespace ui
