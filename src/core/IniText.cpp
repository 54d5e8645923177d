#include "core/IniText.h"

#include <cctype>

namespace core {

namespace {

// Blanks as the system's profile reader counts them: space, tab to carriage
// return, and the old end-of-file mark ^Z.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; }

std::string Trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The section a line opens: "[name]" with blanks allowed around the name,
// up to the last "]"; false for any other line. Without a "]" the line is no
// section: the reader takes it for a key of the section before.
bool SectionOf(const std::string& line, std::string& name) {
    const std::string t = Trimmed(line);
    const size_t close = t.rfind(']');
    if (t.empty() || t.front() != '[' || close == std::string::npos) return false;
    name = Trimmed(t.substr(1, close - 1));
    return true;
}

// The key a line holds: the name before its first "=", without blanks. A
// line without one is a key without a value, named by the whole line.
std::string KeyOf(const std::string& line) { return Trimmed(line.substr(0, line.find('='))); }

}  // namespace

TIniText::TIniText(const std::string& Text) {
    size_t start = 0;
    while (start < Text.size()) {
        size_t end = Text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines_.push_back({Text.substr(start), ""});
            break;
        }
        const size_t endLen = Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n' ? 2 : 1;
        lines_.push_back({Text.substr(start, end - start), Text.substr(end, endLen)});
        start = end + endLen;
    }
}

void TIniText::SetValue(const std::string& Section, const std::string& Ident, const std::string& Value) {
    const std::string keyLine = Ident + "=" + Value;
    bool inSection = false;
    size_t insertAt = 0;  // after the last key line of the first matching section
    bool sectionFound = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::string name;
        if (SectionOf(lines_[i].text, name)) {
            // Only the first section of that name takes a new key.
            inSection = SameName(name, Section) && !sectionFound;
            if (inSection) {
                sectionFound = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        name = KeyOf(lines_[i].text);
        if (SameName(name, Ident)) {
            // The file's spelling of the name stays.
            lines_[i].text = name + "=" + Value;
            return;
        }
        if (!Trimmed(lines_[i].text).empty()) insertAt = i + 1;
    }
    if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = "\r\n";
    if (!sectionFound) {
        lines_.push_back({"[" + Section + "]", "\r\n"});
        insertAt = lines_.size();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), TLine{keyLine, "\r\n"});
}

std::string TIniText::Text() const {
    std::string s;
    for (const TLine& l : lines_) s += l.text + l.end;
    return s;
}

}  // namespace core
