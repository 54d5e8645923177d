#include "ui/Registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "ui/Exception.h"

using namespace ui;

namespace {

// Every test works below its own key of HKEY_CURRENT_USER and removes it.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = "Software\\VeskaraTests\\" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VeskaraTests");  // only when empty
    }
    std::string Abs(const std::string& sub = "") const { return "\\" + path_ + (sub.empty() ? "" : "\\" + sub); }
    bool RawKeyExists(const std::string& sub) const {
        HKEY k;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (path_ + "\\" + sub).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }
    std::string path_;
};

std::string RegistryError(const std::function<void()>& f) {
    try {
        f();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return "no exception";
}

}  // namespace

TEST_F(RegistryTest, ValuesRoundTripThroughTheRegistry) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(Abs("values"), true));
        reg.WriteString("text", "a value with \"quotes\" and  blanks ");
        reg.WriteString("empty", "");
        reg.WriteInteger("negative", INT_MIN);
        reg.WriteInteger("positive", 65535);
        reg.WriteBool("yes", true);
        reg.WriteBool("no", false);
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(Abs("values")));
    EXPECT_EQ(reg.ReadString("text"), "a value with \"quotes\" and  blanks ");
    EXPECT_EQ(reg.ReadString("empty"), "");
    EXPECT_EQ(reg.ReadInteger("negative"), INT_MIN);
    EXPECT_EQ(reg.ReadInteger("positive"), 65535);
    EXPECT_TRUE(reg.ReadBool("yes"));
    EXPECT_FALSE(reg.ReadBool("no"));
    EXPECT_TRUE(reg.ValueExists("empty"));
    EXPECT_FALSE(reg.ValueExists("missing"));
}

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAsked) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(Abs("new"), false));
    EXPECT_FALSE(reg.KeyExists(Abs("new")));
    EXPECT_FALSE(reg.OpenKeyReadOnly(Abs("new")));
    EXPECT_EQ(reg.CurrentKey(), nullptr) << "a failed open must leave no key open";

    EXPECT_TRUE(reg.OpenKey(Abs("new"), true));
    EXPECT_TRUE(RawKeyExists("new"));
    EXPECT_TRUE(reg.KeyExists(Abs("new")));
    EXPECT_EQ(reg.CurrentPath(), path_ + "\\new");

    EXPECT_FALSE(reg.OpenKey(Abs("other"), false));
    EXPECT_EQ(reg.CurrentPath(), path_ + "\\new") << "a failed open must keep the current key";
}

TEST_F(RegistryTest, KeysAreRelativeUnlessTheyStartWithABackslash) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Abs("a") + "\\", true)) << "a trailing backslash is allowed";
    EXPECT_EQ(reg.CurrentPath(), path_ + "\\a");

    ASSERT_TRUE(reg.OpenKey("b\\c", true));
    EXPECT_EQ(reg.CurrentPath(), path_ + "\\a\\b\\c");
    EXPECT_TRUE(RawKeyExists("a\\b\\c"));
    EXPECT_FALSE(reg.KeyExists("d"));

    // With no key open, a relative name is taken from the root.
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentPath(), "");
    ASSERT_TRUE(reg.OpenKey(path_ + "\\a", false));
    EXPECT_EQ(reg.CurrentPath(), path_ + "\\a");
    EXPECT_TRUE(reg.KeyExists("b\\c"));

    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.CurrentKey(), nullptr) << "changing the root must close the current key";
    EXPECT_FALSE(reg.KeyExists(Abs("a")));
}

TEST_F(RegistryTest, FailedReadsAndWritesRaise) {
    TRegistry reg;
    EXPECT_EQ(RegistryError([&] { reg.WriteString("x", "y"); }), "Failed to set data for 'x'")
        << "writing with no key open";
    EXPECT_EQ(RegistryError([&] { reg.ReadString("x"); }), "Failed to get data for 'x'") << "reading with no key open";

    ASSERT_TRUE(reg.OpenKey(Abs("errors"), true));
    reg.WriteString("text", "12");
    reg.WriteInteger("number", 12);
    struct Case {
        const char* what;
        std::function<void()> op;
        std::string expected;
    };
    const Case cases[] = {
        {"missing string", [&] { reg.ReadString("missing"); }, "Failed to get data for 'missing'"},
        {"missing integer", [&] { reg.ReadInteger("missing"); }, "Failed to get data for 'missing'"},
        {"missing bool", [&] { reg.ReadBool("missing"); }, "Failed to get data for 'missing'"},
        {"integer as string", [&] { reg.ReadString("number"); }, "Invalid data type for 'number'"},
        {"string as integer", [&] { reg.ReadInteger("text"); }, "Invalid data type for 'text'"},
    };
    for (const auto& c : cases) EXPECT_EQ(RegistryError(c.op), c.expected) << c.what;

    TRegistry readOnly;
    ASSERT_TRUE(readOnly.OpenKeyReadOnly(Abs("errors")));
    EXPECT_EQ(RegistryError([&] { readOnly.WriteString("text", "z"); }), "Failed to set data for 'text'")
        << "writing through a read-only key";
    EXPECT_EQ(readOnly.ReadString("text"), "12");
}

TEST_F(RegistryTest, ValuesAndKeysCanBeDeleted) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Abs("del"), true));
    reg.WriteString("v", "1");
    EXPECT_TRUE(reg.DeleteValue("v"));
    EXPECT_FALSE(reg.ValueExists("v"));
    EXPECT_FALSE(reg.DeleteValue("v")) << "deleting a missing value must say so";

    ASSERT_TRUE(reg.OpenKey("sub\\deeper", true));
    reg.WriteString("w", "2");
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey(Abs("del")));
    EXPECT_FALSE(RawKeyExists("del")) << "a key with subkeys must go with them";
    EXPECT_FALSE(reg.DeleteKey(Abs("del")));
    EXPECT_FALSE(reg.DeleteKey("")) << "an empty name must not empty the root";
    EXPECT_FALSE(reg.DeleteKey("\\"));
}
