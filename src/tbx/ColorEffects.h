#pragma once
// Per-pixel colour effects and the registry that holds them by id. Each
// routine changes one pixel (0xAARRGGBB) in place, with one 32-bit parameter.
// The seven standard effects are registered under the ids 1 to 7 when the
// program starts (with the PNG picture class).
#include <cstdint>

namespace tbx {

using TColorEffect = void (*)(std::uint32_t& pixel, std::uint32_t parameter);

// RGB inverted, alpha kept.
void EffectInvert(std::uint32_t& pixel, std::uint32_t parameter);
// Towards the pixel's brightness by amount 0-255 (255: fully gray).
void EffectDesaturate(std::uint32_t& pixel, std::uint32_t parameter);
// Multiplied by the parameter's colour, with the strength in its alpha.
void EffectMultiply(std::uint32_t& pixel, std::uint32_t parameter);
// The parameter's colour, scaled by its alpha, added (saturating).
void EffectAdd(std::uint32_t& pixel, std::uint32_t parameter);
// Alpha scaled by factor 0-255.
void EffectAlphaScale(std::uint32_t& pixel, std::uint32_t parameter);
// Mixed with the parameter's colour, with the weight in its alpha.
void EffectBlendColor(std::uint32_t& pixel, std::uint32_t parameter);
// The parameter's colour, with bright pixels made transparent.
void EffectAlphaFromBrightness(std::uint32_t& pixel, std::uint32_t parameter);

// Appends an effect; returns its index. Raises Exception "color effect <id>
// already registered" for an id that is there, and an assertion failure for
// a missing routine.
int RegisterColorEffect(std::int32_t id, TColorEffect effect);
// Index of the effect with the id, or -1.
int FindColorEffect(std::int32_t id);
TColorEffect ColorEffectAt(int index);
void RegisterStandardColorEffects();
void ClearColorEffects();

}  // namespace tbx
