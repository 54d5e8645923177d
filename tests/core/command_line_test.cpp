// Splitting the command line and the quiet-start switch.
#include <gtest/gtest.h>

#include "core/CommandLine.h"

using namespace core;

TEST(CommandLine, QuietSwitchIsTheFirstParameterOnlyInAnyCase) {
    struct Case {
        const char* line;
        bool quiet;
    } cases[] = {
        {"Veskara.exe /q", true},          {"\"C:\\Program Files\\Veskara\\Veskara.exe\" /Q", true},
        {"Veskara.exe   /Q  extra", true}, {"Veskara.exe /Qx", false},
        {"Veskara.exe x /Q", false},       {"Veskara.exe", false},
        {"Veskara.exe \"/q\"", true},      {"\"C:\\a b\\V.exe\"", false},
    };
    for (auto& c : cases) EXPECT_EQ(IsQuietStart(SplitParams(c.line)), c.quiet) << c.line;
    auto p = SplitParams("\"C:\\a b\\V.exe\" one \"two three\" fo\"u r\"");
    std::vector<std::string> want = {"one", "two three", "fou r"};
    EXPECT_EQ(p, want);
}
