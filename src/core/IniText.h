#pragma once
// The text of an INI file, changed key by key as the system's profile
// functions change it, with every other line left as it was: sections and
// keys the program does not know, their order, comments and blank lines.
// Lines are taken as the system's profile reader takes them: a "[" line
// without its "]" is no section, a line without "=" is a key without a value.
// No Win32 here: the text is read and written whole by the caller.
#include <string>
#include <vector>

namespace core {

class TIniText {
public:
    explicit TIniText(const std::string& Text = std::string());

    // Sets Ident in Section (names compare without regard to case, as the
    // system compares them). The first such key gets the new value in its
    // line; a missing key is added after the last key of the first such
    // section; a missing section is added at the end. Value is written as
    // given (the caller quotes what the reading would trim).
    void SetValue(const std::string& Section, const std::string& Ident, const std::string& Value);

    // The whole text; new lines end in CR LF, old ones as they did.
    std::string Text() const;

private:
    struct TLine {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", "\r" or "" (the last line)
    };
    std::vector<TLine> lines_;
};

}  // namespace core
