#pragma once
// INI files through the system's private-profile functions. Give a full path:
// the system looks for a bare file name in the Windows folder.
#include <string>
#include <vector>

#include "ui/Component.h"

namespace ui {

class TIniFile : public TObject {
public:
    explicit TIniFile(const std::string& FileName) : fileName_(FileName) {}
    // Flushes the system's cache of the file.
    ~TIniFile() override;

    const std::string& FileName() const { return fileName_; }

    // Reads answer Default when the file, section or key is missing. Writes
    // raise EIniFileException "Unable to write to <file>" when the system
    // cannot store the value.
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    // A value that is not a whole 32-bit number (decimal, or hexadecimal with
    // "$" or "0x") reads as Default.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Any non-zero integer is true; written as "1" or "0".
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;
    // The key names of a section, and the section names of the file, in file order.
    std::vector<std::string> ReadSection(const std::string& Section) const;
    std::vector<std::string> ReadSections() const;
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    // Writes out what the system may still hold in its cache.
    void UpdateFile();

private:
    std::string fileName_;
};

// Value as WriteString puts it in the file: the system drops blanks around a
// value and one pair of matching quotes around it when reading, so such a
// value is quoted to come back whole.
std::string IniQuoted(const std::string& Value);

// The strict integer reading of INI values (exposed for tests): optional sign,
// then decimal digits, or "$"/"0x" and hexadecimal digits (up to 32 bits,
// read as their two's-complement value). False for anything else.
bool TryStrToInt(const std::string& s, int& value);

}  // namespace ui
