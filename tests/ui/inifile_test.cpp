#include "ui/IniFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "TempFolder.h"
#include "ui/Exception.h"

using namespace ui;

namespace {

// Puts text into the file as another program would, bypassing TIniFile.
void WriteRaw(const std::string& file, const char* section, const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, file.c_str())) << key;
}

// The file as it is on disk, with line breaks as "\n".
std::string DiskText(const std::string& file) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // flush the cache
    HANDLE h =
        CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(h);
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

bool FileExists(const std::string& file) { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TEST(IniFile, StringsRoundTripExactly) {
    TempFolder dir;
    const std::string file = dir.File("strings.ini");
    const std::string values[] = {
        "plain",
        "inner  blanks  kept",
        "  leading and trailing  ",
        "\"quoted\"",
        "'single'",
        "\"",
        "a \"middle\" quote",
        "",
        "`",
        "\\",
        std::string(10000, 'x') + "end",
    };
    {
        TIniFile ini(file);
        for (size_t i = 0; i < std::size(values); ++i) ini.WriteString("S", "K" + std::to_string(i), values[i]);
    }
    // A fresh object after the cache was flushed reads what is on disk.
    TIniFile ini(file);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(ini.ReadString("S", "K" + std::to_string(i), "<default>"), values[i])
            << "value " << i << " did not survive the file";
}

TEST(IniFile, WritesOneKeyValueLinePerKey) {
    TempFolder dir;
    const std::string file = dir.File("format.ini");
    {
        TIniFile ini(file);
        ini.WriteInteger("Sounds", "Volume", 65535);
        ini.WriteBool("Sounds", "VolumeMuted", true);
        ini.WriteBool("Display", "Switch", false);
        ini.WriteInteger("Display", "Resolution", -3);
    }
    EXPECT_EQ(DiskText(file), "[Sounds]\nVolume=65535\nVolumeMuted=1\n[Display]\nSwitch=0\nResolution=-3\n");
}

TEST(IniFile, IntegersAreParsedStrictly) {
    TempFolder dir;
    const std::string file = dir.File("ints.ini");
    const int kDefault = 77;
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"12", 12},
        {"-1", -1},
        {"+5", 5},
        {"0", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$1F", 31},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483648", kDefault},
        {"-2147483649", kDefault},
        {"$100000000", kDefault},
        {"abc", kDefault},
        {"12abc", kDefault},
        {"1 2", kDefault},
        {"1.5", kDefault},
        {"", kDefault},
        {"-", kDefault},
        {"$", kDefault},
        {"0x", kDefault},
        {"$G", kDefault},
        {"--1", kDefault},
        {"99999999999999999999", kDefault},
    };
    for (size_t i = 0; i < std::size(cases); ++i) WriteRaw(file, "N", ("K" + std::to_string(i)).c_str(), cases[i].text);
    TIniFile ini(file);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ini.ReadInteger("N", "K" + std::to_string(i), kDefault), cases[i].expected)
            << "reading \"" << cases[i].text << "\"";
    EXPECT_EQ(ini.ReadInteger("N", "missing", kDefault), kDefault);
}

TEST(IniFile, BooleansAreNonZeroIntegers) {
    TempFolder dir;
    const std::string file = dir.File("bools.ini");
    WriteRaw(file, "B", "two", "2");
    WriteRaw(file, "B", "zero", "0");
    WriteRaw(file, "B", "minus", "-1");
    WriteRaw(file, "B", "word", "yes");
    TIniFile ini(file);
    EXPECT_TRUE(ini.ReadBool("B", "two", false));
    EXPECT_FALSE(ini.ReadBool("B", "zero", true));
    EXPECT_TRUE(ini.ReadBool("B", "minus", false));
    EXPECT_TRUE(ini.ReadBool("B", "word", true)) << "a non-number reads as the default";
    EXPECT_FALSE(ini.ReadBool("B", "word", false)) << "a non-number reads as the default";
    EXPECT_TRUE(ini.ReadBool("B", "missing", true));
}

TEST(IniFile, MissingFileReadsAsDefaultsAndStaysMissing) {
    TempFolder dir;
    const std::string file = dir.File("absent.ini");
    {
        TIniFile ini(file);
        EXPECT_EQ(ini.ReadString("HOTKEY_Windows", "Key", "`"), "`");
        EXPECT_EQ(ini.ReadInteger("Sounds", "Volume", 65535), 65535);
        EXPECT_FALSE(ini.ReadBool("Display", "Switch", false));
        EXPECT_FALSE(ini.SectionExists("Sounds"));
        EXPECT_FALSE(ini.ValueExists("Sounds", "Volume"));
        EXPECT_TRUE(ini.ReadSections().empty());
        EXPECT_NO_THROW(ini.DeleteKey("Sounds", "Volume"));
        EXPECT_NO_THROW(ini.EraseSection("Sounds"));
    }
    EXPECT_FALSE(FileExists(file)) << "reading must not create the file";
}

TEST(IniFile, FailedWritesRaise) {
    TempFolder dir;
    const std::string noFolder = dir.File("no-such-folder\\x.ini");
    const std::string isFolder = dir.Path();
    const std::string locked = dir.File("locked.ini");
    WriteRaw(locked, "S", "K", "old");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, locked.c_str());
    // Another program holds the file open and shares it with nobody.
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    for (const std::string& file : {noFolder, isFolder, locked}) {
        TIniFile ini(file);
        const std::function<void()> writes[] = {
            [&] { ini.WriteString("S", "K", "new"); },
            [&] { ini.WriteInteger("S", "K", 1); },
            [&] { ini.WriteBool("S", "K", true); },
        };
        for (const auto& write : writes) {
            try {
                write();
                ADD_FAILURE() << "a write to " << file << " was reported as done";
            } catch (const EIniFileException& e) {
                EXPECT_EQ(e.Message(), "Unable to write to " + file);
            }
        }
    }
    CloseHandle(lock);
    EXPECT_EQ(TIniFile(locked).ReadString("S", "K", ""), "old");
}

TEST(IniFile, SectionsAndKeysCanBeListedAndRemoved) {
    TempFolder dir;
    const std::string file = dir.File("lists.ini");
    TIniFile ini(file);
    ini.WriteString("First", "b", "1");
    ini.WriteString("First", "a", "2");
    ini.WriteString("Second", "c", "3");
    ini.WriteString("Third", "d", std::string(5000, 'v'));
    for (int i = 0; i < 400; ++i) ini.WriteString("Many", "key-with-a-longish-name-" + std::to_string(i), "v");

    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"First", "Second", "Third", "Many"}));
    EXPECT_EQ(ini.ReadSection("First"), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(ini.ReadSection("Many").size(), 400u) << "a long key list was cut";
    EXPECT_TRUE(ini.ValueExists("first", "B")) << "names are compared without case";
    EXPECT_FALSE(ini.ValueExists("First", "z"));

    ini.DeleteKey("First", "b");
    EXPECT_EQ(ini.ReadSection("First"), (std::vector<std::string>{"a"}));
    ini.EraseSection("Second");
    EXPECT_FALSE(ini.SectionExists("Second"));
    EXPECT_NO_THROW(ini.DeleteKey("First", "b")) << "deleting a missing key is no failure";
    EXPECT_NO_THROW(ini.EraseSection("Second")) << "erasing a missing section is no failure";
    EXPECT_EQ(ini.FileName(), file);
}
