#include "core/VolumeScale.h"

#include <cmath>

namespace core {

std::string WindowsVersionName(const TVersionRecord& v) {
    if (v.PlatformId == 1) {
        if (v.MajorVersion != 4) return "wvUnknown";
        switch (v.MinorVersion) {
        case 0: return "wvWin95";
        case 10: return v.ServicePack.size() >= 2 && v.ServicePack[1] == 'A' ? "wvWin98SE" : "wvWin98";
        case 90: return "wvWinME";
        default: return "wvUnknown";
        }
    }
    if (v.PlatformId == 2) {
        if (v.MajorVersion <= 4) return "wvWinNT";
        if (v.MajorVersion == 5 && v.MinorVersion == 0) return "wvWin2000";
        if (v.MajorVersion == 5 && v.MinorVersion == 1) return "wvWinXP";
        if (v.MajorVersion == 6) return "wvWinVista";
    }
    return "wvUnknown";
}

bool UsesCoreAudio(const TVersionRecord& v) { return v.PlatformId == 2 && v.MajorVersion >= 6; }

uint16_t ScaleFromLevel(float Level, int Max) {
    if (Max <= 0 || !(Level > 0.0f)) return 0;  // also a level that is not a number
    if (Level >= 1.0f) return static_cast<uint16_t>(Max > 0xFFFF ? 0xFFFF : Max);
    // nearbyint rounds halves to even in the default rounding mode.
    double v = std::nearbyint(static_cast<double>(Max) * static_cast<double>(Level));
    if (v > Max) v = Max;
    if (v > 0xFFFF) v = 0xFFFF;
    return static_cast<uint16_t>(v);
}

float LevelFromScale(uint16_t Volume, int Max) {
    if (Max <= 0) return 0.0f;
    double level = static_cast<double>(Volume) / Max;
    return static_cast<float>(level > 1.0 ? 1.0 : level);
}

uint16_t MixerVolume(uint16_t Left, uint16_t Right) {
    return static_cast<uint16_t>((static_cast<uint32_t>(Left) + Right) / 2);
}

}  // namespace core
