#include <gtest/gtest.h>

#include "core/KeyData.h"

using core::DecodeKeyData;
using core::TKeyInfo;

namespace {

struct DecodeCase {
    const char* what;
    uint32_t data;
    int32_t repeat, scan;
    bool extended, contextAlt, wasDown, isDown;
};

TEST(KeyData, DecodesEveryFieldOfTheKeystrokeLayout) {
    const DecodeCase cases[] = {
        {"plain press of scan 30", 0x001E0001u, 1, 30, false, false, false, true},
        {"Alt release with previous state", 0xC0380001u, 1, 56, false, false, true, false},
        {"extended right Ctrl press", 0x011D0001u, 1, 29, true, false, false, true},
        {"key held with Alt, repeated", 0x601E0003u, 3, 30, false, true, true, true},
        {"largest repeat count and scan byte", 0x00FFFFFFu, 0xFFFF, 0xFF, false, false, false, true},
        {"reserved bits 25-28 are ignored", 0x1E1E0001u, 1, 30, false, false, false, true},
        {"every flag set", 0xE1FF0000u, 0, 0xFF, true, true, true, false},
    };
    for (const auto& c : cases) {
        const TKeyInfo info = DecodeKeyData(c.data);
        EXPECT_EQ(info.RepeatCount, c.repeat) << c.what;
        EXPECT_EQ(info.ScanCode, c.scan) << c.what;
        EXPECT_EQ(info.Extended, c.extended) << c.what;
        EXPECT_EQ(info.ContextAlt, c.contextAlt) << c.what;
        EXPECT_EQ(info.WasDown, c.wasDown) << c.what;
        EXPECT_EQ(info.IsDown, c.isDown) << c.what;
    }
}

TEST(KeyData, KeepsTheGivenKeyName) {
    EXPECT_EQ(DecodeKeyData(0x00580001u, "F12").KeyName, "F12");
    EXPECT_EQ(DecodeKeyData(0x00580001u).KeyName, "");
}

}  // namespace
