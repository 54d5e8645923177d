// The volume arithmetic: version names, which interface serves a version,
// the scale conversions, and the wave file header.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/VolumeScale.h"
#include "core/WaveFile.h"

using namespace core;

TEST(VolumeScale, VersionNameForEveryRowOfTheTable) {
    struct Row {
        uint32_t platform, major, minor;
        const char* sp;
        const char* name;
        bool coreAudio;
    } rows[] = {
        {1, 4, 0, "", "wvWin95", false},
        {1, 4, 10, " A ", "wvWin98SE", false},
        {1, 4, 10, "A", "wvWin98", false},  // the mark is the second character
        {1, 4, 10, "", "wvWin98", false},
        {1, 4, 90, "", "wvWinME", false},
        {1, 4, 3, "", "wvUnknown", false},
        {1, 5, 0, "", "wvUnknown", false},
        {2, 3, 51, "", "wvWinNT", false},
        {2, 4, 0, "Service Pack 6", "wvWinNT", false},
        {2, 5, 0, "", "wvWin2000", false},
        {2, 5, 1, "Service Pack 3", "wvWinXP", false},
        {2, 5, 2, "", "wvUnknown", false},
        {2, 6, 0, "", "wvWinVista", true},
        {2, 6, 1, "Service Pack 1", "wvWinVista", true},
        {2, 6, 3, "", "wvWinVista", true},
        {2, 10, 0, "", "wvUnknown", true},  // reported as itself: still Core Audio
        {2, 7, 0, "", "wvUnknown", true},
        {0, 6, 0, "", "wvUnknown", false},
        {3, 10, 0, "", "wvUnknown", false},
    };
    for (const Row& r : rows) {
        TVersionRecord v{r.platform, r.major, r.minor, r.sp};
        SCOPED_TRACE(std::to_string(r.platform) + ":" + std::to_string(r.major) + "." + std::to_string(r.minor));
        EXPECT_EQ(WindowsVersionName(v), r.name);
        EXPECT_EQ(UsesCoreAudio(v), r.coreAudio);
    }
}

TEST(VolumeScale, LevelsToTheProgramsScaleAndBack) {
    struct Row {
        float level;
        int max;
        uint16_t volume;
    } rows[] = {
        {0.5f, 65535, 32768},                                            // 32767.5 goes to the even neighbour
        {1.0f, 65535, 65535}, {0.0f, 65535, 0},  {0.25f, 65535, 16384},  // 16383.75
        {0.5f, 100, 50},      {0.125f, 20, 2},                           // 2.5 goes to the even neighbour
        {1.5f, 65535, 65535}, {-0.5f, 65535, 0}, {std::numeric_limits<float>::quiet_NaN(), 65535, 0},
        {0.5f, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.level) + " of " + std::to_string(r.max));
        EXPECT_EQ(ScaleFromLevel(r.level, r.max), r.volume);
    }
    EXPECT_EQ(LevelFromScale(65535, 65535), 1.0f);
    EXPECT_EQ(LevelFromScale(0, 65535), 0.0f);
    EXPECT_FLOAT_EQ(LevelFromScale(32768, 65535), 32768.0f / 65535.0f);
    EXPECT_EQ(LevelFromScale(200, 100), 1.0f);
    EXPECT_EQ(LevelFromScale(5, 0), 0.0f);
    // Every volume survives the way to a level and back.
    for (int v = 0; v <= 65535; v += 97)
        ASSERT_EQ(ScaleFromLevel(LevelFromScale(static_cast<uint16_t>(v), 65535), 65535), v);
    EXPECT_EQ(65535 - MixerVolume(1000, 2001), 65535 - 1500);
    EXPECT_EQ(MixerVolume(65535, 65535), 65535);
}

TEST(WaveFile, HeaderAndSizes) {
    auto h = MakeWaveHeader(2, 44100, 16);
    auto dword = [&](int at) { return h[at] | h[at + 1] << 8 | h[at + 2] << 16 | uint32_t(h[at + 3]) << 24; };
    auto word = [&](int at) { return h[at] | h[at + 1] << 8; };
    EXPECT_EQ(std::string(h.begin(), h.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(h.begin() + 8, h.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(dword(16), 16u);
    EXPECT_EQ(word(20), 1);
    EXPECT_EQ(word(22), 2);
    EXPECT_EQ(dword(24), 44100u);
    EXPECT_EQ(dword(28), 44100u * 4);
    EXPECT_EQ(word(32), 4);
    EXPECT_EQ(word(34), 16);
    EXPECT_EQ(std::string(h.begin() + 36, h.begin() + 40), "data");
    EXPECT_EQ(dword(kRiffSizeOffset), 36u);
    EXPECT_EQ(dword(kDataSizeOffset), 0u);
    EXPECT_EQ(MakeWaveHeader(1, 11025, 8)[32], 1) << "block align of 8-bit mono";

    struct Row {
        uint64_t file;
        uint32_t riff, data;
    } rows[] = {{44, 36, 0}, {144, 136, 100}, {10, 36, 0}, {0x1'0000'0100ull, 0xFFFFFFFFu, 0xFFFFFFFFu}};
    for (const Row& r : rows) {
        TWaveSizes s = WaveSizesFor(r.file);
        EXPECT_EQ(s.Riff, r.riff) << r.file;
        EXPECT_EQ(s.Data, r.data) << r.file;
    }
}
