// The settings file's text changed key by key: the layout the system's
// profile functions write, and every line the program does not own kept.
#include <gtest/gtest.h>

#include <string>

#include "core/IniText.h"

using core::TIniText;

TEST(IniText, ANewFileGetsTheSystemsLayout) {
    TIniText t;
    t.SetValue("Sounds", "Volume", "65535");
    t.SetValue("Sounds", "VolumeMuted", "0");
    t.SetValue("Display", "Resolution", "2");
    t.SetValue("Sounds", "Volume", "7");
    EXPECT_EQ(t.Text(), "[Sounds]\r\nVolume=7\r\nVolumeMuted=0\r\n[Display]\r\nResolution=2\r\n");
}

TEST(IniText, KeysAndSectionsOfOthersStayWhereTheyAre) {
    struct Case {
        const char* what;
        std::string before, after;
    } cases[] = {
        {"names compare without case; the file's spelling and the other lines stay",
         "; note\r\n[sounds]\r\n  volume = 5 \r\nOther=x\r\nlonely line\r\n\r\n[Display]\r\nResolution=1",
         "; note\r\n[sounds]\r\nvolume=65535\r\nOther=x\r\nlonely line\r\nVolumeMuted=0\r\n\r\n[Display]\r\n"
         "Resolution=1\r\nSwitch=1\r\n[HOTKEY]\r\nKey=a\r\n"},
        {"line ends of the file are kept", "[Sounds]\nVolume=1\n[Other]\rA=b\r",
         "[Sounds]\nVolume=65535\nVolumeMuted=0\r\n[Other]\rA=b\r[Display]\r\nSwitch=1\r\n[HOTKEY]\r\nKey=a\r\n"},
        {"only the first of two sections of a name is written to",
         "[Sounds]\r\nA=1\r\n[Display]\r\n[SOUNDS]\r\nVolumeMuted=1\r\n",
         "[Sounds]\r\nA=1\r\nVolume=65535\r\nVolumeMuted=0\r\n[Display]\r\nSwitch=1\r\n[SOUNDS]\r\nVolumeMuted=1\r\n"
         "[HOTKEY]\r\nKey=a\r\n"},
        {"a value holding '=' and a name with blanks", "[HOTKEY]\r\nKey = a=b\r\n",
         "[HOTKEY]\r\nKey=a\r\n[Sounds]\r\nVolume=65535\r\nVolumeMuted=0\r\n[Display]\r\nSwitch=1\r\n"},
    };
    for (const Case& c : cases) {
        TIniText t(c.before);
        t.SetValue("Sounds", "Volume", "65535");
        t.SetValue("Sounds", "VolumeMuted", "0");
        t.SetValue("Display", "Switch", "1");
        t.SetValue("HOTKEY", "Key", "a");
        EXPECT_EQ(t.Text(), c.after) << c.what;
    }
}

#ifdef _WIN32
#include <windows.h>

#include <fstream>
#include <iterator>

// Texts made of the pieces settings files are made of, odd ones included, set
// with keys and read back through the system's profile reader: every key reads
// as it was set.
TEST(IniText, EveryKeySetReadsBackThroughTheSystemsProfileReader) {
    const char* const pieces[] = {"[Sounds]", "[sounds",     "[ SOUNDS ]x", "[Display]", "[Other]",
                                  "Volume",   " volume = 3", "Resolution=", "; c",       "=v",
                                  "[",        "]",           "=",           " ",         "\t",
                                  "\v",       "\x1a",        "\r\n",        "\n",        "\r"};
    const char* const keys[][3] = {
        {"Sounds", "Volume", "65535"}, {"Sounds", "VolumeMuted", "0"}, {"Display", "Resolution", "2 1"}};
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    const std::string file = std::string(dir) + "vsk-initext-" + std::to_string(GetCurrentProcessId()) + ".ini";
    unsigned seed = 1;
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int n = round % 24; n > 0; --n) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        TIniText t(text);
        for (const auto& [section, ident, value] : keys) t.SetValue(section, ident, value);
        std::ofstream(file, std::ios::binary) << t.Text();
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // forgets the file it holds
        for (const auto& [section, ident, value] : keys) {
            char read[64] = {};
            GetPrivateProfileStringA(section, ident, "<missing>", read, sizeof read, file.c_str());
            ASSERT_STREQ(read, value) << ident << " set in " << ::testing::PrintToString(text) << ", written as "
                                      << ::testing::PrintToString(t.Text());
        }
    }
    DeleteFileA(file.c_str());
}
#endif
