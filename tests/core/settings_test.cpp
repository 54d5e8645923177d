#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/Settings.h"
#include "core/StoredValues.h"

using namespace core;

namespace {

// An INI file in memory: values as text, numbers read strictly (a value that
// is not a whole decimal number reads as the default), writes recorded in order.
class MemoryStore : public TSettingsStore {
public:
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::vector<std::string> written;  // "Section/Key" in write order

    std::string ReadString(const std::string& s, const std::string& k, const std::string& d) override {
        auto it = values.find({s, k});
        return it == values.end() ? d : it->second;
    }
    int ReadInteger(const std::string& s, const std::string& k, int d) override {
        const std::string v = ReadString(s, k, "");
        size_t used = 0;
        try {
            const long long n = std::stoll(v, &used);
            if (used == v.size() && n >= INT32_MIN && n <= INT32_MAX) return static_cast<int>(n);
        } catch (...) {}
        return d;
    }
    bool ReadBool(const std::string& s, const std::string& k, bool d) override { return ReadInteger(s, k, d) != 0; }
    void WriteString(const std::string& s, const std::string& k, const std::string& v) override {
        values[{s, k}] = v;
        written.push_back(s + "/" + k);
    }
    void WriteInteger(const std::string& s, const std::string& k, int v) override {
        WriteString(s, k, std::to_string(v));
    }
    void WriteBool(const std::string& s, const std::string& k, bool v) override { WriteString(s, k, v ? "1" : "0"); }
};

bool operator==(const THotKey& a, const THotKey& b) {
    return a.Ctrl == b.Ctrl && a.Alt == b.Alt && a.Shift == b.Shift && a.Win == b.Win && a.Key == b.Key;
}
bool operator==(const TCornerSettings& a, const TCornerSettings& b) {
    return a.Enabled == b.Enabled && a.ZoneSize == b.ZoneSize && a.HoverInterval == b.HoverInterval &&
           a.Corner == b.Corner;
}

}  // namespace

TEST(Settings, AnEmptyFileGivesTheDefaults) {
    MemoryStore store;
    const TSoundSettings sound = ReadSoundSettings(store);
    EXPECT_EQ(sound.Volume, 65535);
    EXPECT_FALSE(sound.VolumeMuted);
    const TSettings s = ReadSettings(store, 7);
    EXPECT_EQ(s.Resolution, 7) << "the current display mode is the default";
    EXPECT_FALSE(s.SwitchResolution);
    EXPECT_TRUE((s.WindowsKey == THotKey{true, false, false, false, "`"}));
    EXPECT_TRUE((s.AppKey == THotKey{true, false, false, false, "\\"}));
    EXPECT_TRUE((s.WindowsCorner == TCornerSettings{false, 20, 500, 0}));
    EXPECT_TRUE((s.SSaverCorner == TCornerSettings{false, 20, 500, 1}));
}

TEST(Settings, KeysAreWrittenInTheFileOrder) {
    MemoryStore store;
    WriteSoundSettings(store, {});
    WriteSettings(store, TSettings{});
    std::vector<std::string> expected = {"Sounds/Volume", "Sounds/VolumeMuted", "Display/Resolution", "Display/Switch"};
    for (const char* sec : {"HOTKEY_Windows", "HOTKEY_App"})
        for (const char* key : {"Shift", "Ctrl", "Alt", "Win", "Key"}) expected.push_back(std::string(sec) + "/" + key);
    for (const char* sec : {"MouseShortcut_Windows", "MouseShortcut_SSaver"})
        for (const char* key : {"Enabled", "ZoneSize", "HoverInterval", "Corner"})
            expected.push_back(std::string(sec) + "/" + key);
    EXPECT_EQ(store.written, expected);
}

TEST(Settings, EveryKeySurvivesSaveAndLoad) {
    TSettings s;
    s.Resolution = 3;
    s.SwitchResolution = true;
    s.WindowsKey = {false, true, true, true, "F11"};
    s.AppKey = {true, true, false, true, "A"};
    s.WindowsCorner = {true, 0, -1, 3};
    s.SSaverCorner = {true, 200, 30000, 2};
    MemoryStore store;
    WriteSoundSettings(store, {1234, true});
    WriteSettings(store, s);

    const TSoundSettings sound = ReadSoundSettings(store);
    EXPECT_EQ(sound.Volume, 1234);
    EXPECT_TRUE(sound.VolumeMuted);
    const TSettings r = ReadSettings(store, 0);
    EXPECT_EQ(r.Resolution, 3);
    EXPECT_TRUE(r.SwitchResolution);
    EXPECT_TRUE(r.WindowsKey == s.WindowsKey);
    EXPECT_TRUE(r.AppKey == s.AppKey);
    EXPECT_TRUE(r.WindowsCorner == s.WindowsCorner);
    EXPECT_TRUE(r.SSaverCorner == s.SSaverCorner);
}

TEST(Settings, NumbersAreCutToTheirFieldAndBooleansAreAnyNonZero) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        int expected;
    } cases[] = {
        {"Sounds", "Volume", "65536", 0},
        {"Sounds", "Volume", "65537", 1},
        {"Sounds", "Volume", "-1", 65535},
        {"Sounds", "Volume", "abc", 65535},
        {"Sounds", "VolumeMuted", "2", 1},
        {"Sounds", "VolumeMuted", "-7", 1},
        {"MouseShortcut_Windows", "Corner", "257", 1},
        {"MouseShortcut_SSaver", "Corner", "x", 1},
        {"MouseShortcut_Windows", "ZoneSize", "12x", 20},
        {"HOTKEY_Windows", "Ctrl", "0", 0},
    };
    for (const Case& c : cases) {
        MemoryStore store;
        store.values[{c.section, c.key}] = c.value;
        const TSoundSettings sound = ReadSoundSettings(store);
        const TSettings s = ReadSettings(store, 0);
        const std::string key = std::string(c.section) + "/" + c.key;
        int got = key == "Sounds/Volume"                    ? sound.Volume
                  : key == "Sounds/VolumeMuted"             ? sound.VolumeMuted
                  : key == "MouseShortcut_Windows/Corner"   ? s.WindowsCorner.Corner
                  : key == "MouseShortcut_SSaver/Corner"    ? s.SSaverCorner.Corner
                  : key == "MouseShortcut_Windows/ZoneSize" ? s.WindowsCorner.ZoneSize
                                                            : s.WindowsKey.Ctrl;
        EXPECT_EQ(got, c.expected) << key << "=" << c.value;
    }
}

TEST(StoredValues, PasswordHashRecordsRoundTripAndAnythingElseIsClearText) {
    TPasswordHash h;
    h.Iterations = 100000;
    for (uint8_t i = 0; i < PasswordSaltBytes; ++i) h.Salt.push_back(static_cast<uint8_t>(i * 17));
    for (uint8_t i = 0; i < PasswordKeyBytes; ++i) h.Key.push_back(static_cast<uint8_t>(255 - i));
    const std::string text = FormatPasswordHash(h);
    auto back = ParsePasswordHash(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(back->Iterations, h.Iterations);
    EXPECT_EQ(back->Salt, h.Salt);
    EXPECT_EQ(back->Key, h.Key);

    const std::string salt(2 * PasswordSaltBytes, 'a'), key(2 * PasswordKeyBytes, 'B');
    const std::string mark = PasswordHashMark;
    const std::string clearText[] = {
        "",
        "secret",
        "$vsk-pbkdf2-sha256$",
        mark + "0$" + salt + "$" + key,           // no rounds
        mark + "4294967296$" + salt + "$" + key,  // more than 32 bits
        mark + "4294967295$" + salt + "$" + key,  // hours of work to check
        mark + "5000001$" + salt + "$" + key,
        mark + "-5$" + salt + "$" + key,
        mark + "1000$" + salt.substr(2) + "$" + key,  // short salt
        mark + "1000$" + salt + "$" + key + "00",     // long key
        mark + "1000$" + salt + "$" + key.substr(1) + "g",
        mark + "1000$" + salt + key,  // a field missing
        "x" + mark + "1000$" + salt + "$" + key,
    };
    for (const std::string& v : clearText) EXPECT_FALSE(ParsePasswordHash(v).has_value()) << v;
    EXPECT_TRUE(ParsePasswordHash(mark + "1$" + salt + "$" + key).has_value());
    EXPECT_TRUE(ParsePasswordHash(mark + "5000000$" + salt + "$" + key).has_value());
}

TEST(StoredValues, AStoredPasswordTooCostlyToCheckOrDamagedIsNamedAsSuch) {
    const std::string salt(2 * PasswordSaltBytes, 'a'), key(2 * PasswordKeyBytes, 'B');
    const std::string mark = PasswordHashMark;
    struct Case {
        std::string stored;
        std::string problem;
    } cases[] = {
        {"", ""},
        {std::string(256, 'x'), ""},
        {mark + "310000$" + salt + "$" + key, ""},
        {std::string(257, 'x'), "it is 257 characters long, more than a password may have"},
        {mark + "4294967295$" + salt + "$" + key,
         "its hash asks for 4294967295 rounds, far more than this program uses"},
        {mark + "99999999999999999999$" + salt + "$" + key,
         "its hash asks for 99999999999999999999 rounds, far more than this program uses"},
        {mark + "1000$" + salt, "it is not a whole password hash"},
        {mark, "it is not a whole password hash"},
    };
    for (const Case& c : cases) EXPECT_EQ(StoredPasswordProblem(c.stored), c.problem) << c.stored;
}

TEST(StoredValues, BytesCompareWhole) {
    EXPECT_TRUE(SameBytes({1, 2, 3}, {1, 2, 3}));
    EXPECT_FALSE(SameBytes({1, 2, 3}, {1, 2, 4}));
    EXPECT_FALSE(SameBytes({1, 2, 3}, {1, 2}));
    EXPECT_TRUE(SameBytes({}, {}));
}

TEST(StoredValues, AutoStartCommandQuotesThePath) {
    EXPECT_EQ(AutoStartCommand("C:\\Program Files\\Veskara\\Veskara.exe"),
              "\"C:\\Program Files\\Veskara\\Veskara.exe\" /q");
}
