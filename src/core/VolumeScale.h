#pragma once
// The pure arithmetic behind the system volume: the name of the Windows
// version, which volume interface a version is served by, and conversions
// between the system's levels and the program's 0..Max volume scale.
#include <cstdint>
#include <string>

namespace core {

// The fields of the system's version record that decide the name.
struct TVersionRecord {
    uint32_t PlatformId = 0;  // 1: the Windows 9x family, 2: the NT family
    uint32_t MajorVersion = 0;
    uint32_t MinorVersion = 0;
    std::string ServicePack;  // the record's service-pack text
};

// "wvWin95", "wvWin98", "wvWin98SE", "wvWinME", "wvWinNT", "wvWin2000",
// "wvWinXP", "wvWinVista" or "wvUnknown".
std::string WindowsVersionName(const TVersionRecord& Version);

// Whether the Core Audio endpoint volume serves this version: every NT
// version from 6 on (later versions change only the program's own session
// through the mixer).
bool UsesCoreAudio(const TVersionRecord& Version);

// A level of 0.0 to 1.0 in the program's scale: Round(Max x Level), halves
// to even, kept within 0..Max.
uint16_t ScaleFromLevel(float Level, int Max);
// A volume of the program's scale as a level of 0.0 to 1.0.
float LevelFromScale(uint16_t Volume, int Max);
// The mixer's two channel values as one volume: their mean, rounded down.
uint16_t MixerVolume(uint16_t Left, uint16_t Right);

}  // namespace core
