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
