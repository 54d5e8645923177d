#pragma once
// Colour arithmetic of the flat controls: hue/saturation/lightness on real
// numbers and on the 0..240 scale, the lightness rule behind UseAdvColors,
// and the 32-bit pixel packer. Plain functions on $00BBGGRR values that are
// already RGB (system colours are resolved by the caller).
#include <cstdint>

namespace controls {

// Hue runs 0..HslScale-1, saturation and lightness 0..HslScale.
constexpr int HslScale = 240;

// The integer nearest to x, halves going to the even integer.
int NearestEven(double x);

void ColorToHsl(int32_t rgb, double& H, double& S, double& L);
int32_t HslToColor(double H, double S, double L);
void ColorToHslScale(int32_t rgb, int& H, int& S, int& L);
int32_t HslScaleToColor(int H, int S, int L);

// The lightness rule on an RGB base colour: the base's lightness plus 10,
// then darker or lighter by Percent (floored at 0, capped at 100 on the 240
// scale). Percent 0 answers `current` untouched.
int32_t AdjustRgbLightness(int32_t baseRgb, int32_t current, int percent, bool darker);

constexpr uint32_t MakeColor32(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return uint32_t(b0) | uint32_t(b1) << 8 | uint32_t(b2) << 16 | uint32_t(b3) << 24;
}

}  // namespace controls
