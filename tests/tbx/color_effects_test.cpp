#include <gtest/gtest.h>

#include <cstdint>

#include "tbx/ColorEffects.h"
#include "tbx/TbxErrors.h"

namespace {

// The registry as the program has it after start-up.
class ColorEffects : public ::testing::Test {
protected:
    void SetUp() override {
        tbx::ClearColorEffects();
        tbx::RegisterStandardColorEffects();
    }
    void TearDown() override { tbx::ClearColorEffects(); }
};

}  // namespace

TEST_F(ColorEffects, ChangeEachPixelAsDefined) {
    struct Case {
        int id;
        std::uint32_t pixel, parameter, expected;
        const char* what;
    };
    const Case cases[] = {
        {1, 0x80102030u, 0, 0x80EFDFCFu, "invert keeps alpha"},
        {2, 0x40FF0000u, 255, 0x403F3F3Fu, "full desaturation: (R + 2G + B + (B >> 7)) >> 2"},
        {2, 0xFF0000FFu, 0, 0xFF0000FFu, "desaturation by nothing"},
        {2, 0xFFFF0000u, 128, 0xFF9E1F1Fu, "half desaturation"},
        {3, 0xFF804020u, 0xFFFF8000u, 0xFF802000u, "multiply at full strength"},
        {3, 0xFF804020u, 0x00000000u, 0xFF804020u, "multiply at no strength"},
        {4, 0x11F01020u, 0xFF204060u, 0x11FF5080u, "add saturates"},
        {4, 0x11F01020u, 0x00FFFFFFu, 0x11F01020u, "add at no strength"},
        {4, 0x11001020u, 0x80FF0000u, 0x11801020u, "add at half strength"},
        {5, 0xFF123456u, 128, 0x80123456u, "alpha scaled by 128"},
        {5, 0xFF123456u, 255, 0xFF123456u, "alpha scaled by 255"},
        {6, 0x7F000000u, 0xFFABCDEFu, 0x7FABCDEFu, "blend colour at full weight"},
        {6, 0x7F000000u, 0x80FFFFFFu, 0x7F808080u, "blend colour at half weight"},
        {7, 0xFFFFFFFFu, 0x00112233u, 0x00112233u, "white becomes transparent"},
        {7, 0xFFE0E0E0u, 0x00112233u, 0x7F112233u, "bright pixels fade"},
        {7, 0xC0404040u, 0x00112233u, 0xC0112233u, "darker pixels keep their alpha"},
        {7, 0x00FFFFFFu, 0x00112233u, 0x00FFFFFFu, "transparent pixels stay as they are"},
    };
    for (const Case& c : cases) {
        const int index = tbx::FindColorEffect(c.id);
        ASSERT_GE(index, 0) << c.what;
        std::uint32_t pixel = c.pixel;
        tbx::ColorEffectAt(index)(pixel, c.parameter);
        EXPECT_EQ(pixel, c.expected) << std::hex << c.what << ": got " << pixel;
    }
}

TEST_F(ColorEffects, RegistryRefusesDuplicateIdsAndMissingRoutines) {
    EXPECT_EQ(tbx::FindColorEffect(1), 0);
    EXPECT_EQ(tbx::FindColorEffect(7), 6);
    EXPECT_EQ(tbx::FindColorEffect(8), -1);
    try {
        tbx::RegisterColorEffect(3, tbx::EffectInvert);
        ADD_FAILURE() << "id 3 registered twice";
    } catch (const tbx::Exception& e) {
        EXPECT_EQ(e.Message(), "color effect 3 already registered");
    }
    try {
        tbx::RegisterColorEffect(9, nullptr);
        ADD_FAILURE() << "an effect without a routine was registered";
    } catch (const tbx::EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Assertion failure (tbx\\TBXGraphics, line 2626)");
    }
    EXPECT_EQ(tbx::RegisterColorEffect(9, tbx::EffectInvert), 7);
    EXPECT_EQ(tbx::FindColorEffect(9), 7);
}
