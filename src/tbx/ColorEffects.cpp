#include "tbx/ColorEffects.h"

#include <algorithm>
#include <vector>

#include "tbx/TbxErrors.h"

namespace tbx {

namespace {

struct TEffectEntry {
    std::int32_t id;
    TColorEffect effect;
};

std::vector<TEffectEntry>& Effects() {
    static std::vector<TEffectEntry> effects;
    return effects;
}

constexpr int MissingEffectAssertionLine = 2626;

// 0-255 to 0-256, so that 255 means "all".
inline std::uint32_t Weight(std::uint32_t a) { return a + (a >> 7); }

inline std::uint32_t ChannelOf(std::uint32_t pixel, int i) { return (pixel >> (8 * i)) & 0xFF; }

// (R + 2G + B + (B >> 7)) >> 2.
inline std::uint32_t Brightness(std::uint32_t pixel) {
    return (ChannelOf(pixel, 2) + ((pixel >> 7) & 0x1FF) + ChannelOf(pixel, 0)) >> 2;
}

// Applies f to blue, green and red; keeps alpha.
template <class F> inline void PerChannel(std::uint32_t& pixel, F f) {
    std::uint32_t result = pixel & 0xFF000000u;
    for (int i = 0; i < 3; ++i) result |= (f(ChannelOf(pixel, i), i) & 0xFF) << (8 * i);
    pixel = result;
}

}  // namespace

void EffectInvert(std::uint32_t& pixel, std::uint32_t) { pixel ^= 0xFFFFFFu; }

void EffectDesaturate(std::uint32_t& pixel, std::uint32_t amount) {
    const std::uint32_t y = Brightness(pixel);
    if (amount >= 255) {
        pixel = (pixel & 0xFF000000u) | y * 0x010101u;
        return;
    }
    const std::uint32_t w = Weight(amount);
    const std::uint32_t t = (y * w) >> 8;
    PerChannel(pixel, [&](std::uint32_t x, int) { return (x * (256 - w) + t * 256 + 0x7F) >> 8; });
}

void EffectMultiply(std::uint32_t& pixel, std::uint32_t parameter) {
    const std::uint32_t a = parameter >> 24;
    PerChannel(pixel, [&](std::uint32_t x, int i) {
        const std::uint32_t m = ((x + (x >> 7)) * ChannelOf(parameter, i) + 127) >> 8;
        if (a == 255) return m;
        return (m * Weight(a) + x * (256 - Weight(a)) + 127) >> 8;
    });
}

void EffectAdd(std::uint32_t& pixel, std::uint32_t parameter) {
    const std::uint32_t a = parameter >> 24;
    if (a == 0) return;
    PerChannel(pixel, [&](std::uint32_t x, int i) {
        const std::uint32_t p = ChannelOf(parameter, i);
        const std::uint32_t q = a == 255 ? p : (Weight(a) * p + 127) >> 8;
        return std::min<std::uint32_t>(255, x + q);
    });
}

void EffectAlphaScale(std::uint32_t& pixel, std::uint32_t factor) {
    const std::uint32_t alpha = (Weight(factor & 0xFF) * (pixel >> 24) + 127) >> 8;
    pixel = (pixel & 0xFFFFFFu) | alpha << 24;
}

void EffectBlendColor(std::uint32_t& pixel, std::uint32_t parameter) {
    const std::uint32_t a = parameter >> 24;
    if (a == 255) {
        pixel = (pixel & 0xFF000000u) | (parameter & 0xFFFFFFu);
        return;
    }
    PerChannel(pixel, [&](std::uint32_t x, int i) {
        return (Weight(a) * ChannelOf(parameter, i) + (256 - Weight(a)) * x + 127) >> 8;
    });
}

void EffectAlphaFromBrightness(std::uint32_t& pixel, std::uint32_t parameter) {
    std::uint32_t alpha = pixel >> 24;
    if (alpha == 0) return;
    const std::uint32_t y = Brightness(pixel);
    if (y >= 255)
        alpha = 0;
    else if (y > 192)
        alpha = ((256 - y) * alpha) >> 6;
    pixel = alpha << 24 | (parameter & 0xFFFFFFu);
}

int RegisterColorEffect(std::int32_t id, TColorEffect effect) {
    if (!effect) AssertionFailed("tbx\\TBXGraphics", MissingEffectAssertionLine);
    if (FindColorEffect(id) >= 0) throw Exception("color effect " + std::to_string(id) + " already registered");
    Effects().push_back({id, effect});
    return static_cast<int>(Effects().size()) - 1;
}

int FindColorEffect(std::int32_t id) {
    const std::vector<TEffectEntry>& effects = Effects();
    for (std::size_t i = 0; i < effects.size(); ++i)
        if (effects[i].id == id) return static_cast<int>(i);
    return -1;
}

TColorEffect ColorEffectAt(int index) {
    const std::vector<TEffectEntry>& effects = Effects();
    if (index < 0 || static_cast<std::size_t>(index) >= effects.size()) return nullptr;
    return effects[static_cast<std::size_t>(index)].effect;
}

void RegisterStandardColorEffects() {
    RegisterColorEffect(1, EffectInvert);
    RegisterColorEffect(2, EffectDesaturate);
    RegisterColorEffect(3, EffectMultiply);
    RegisterColorEffect(4, EffectAdd);
    RegisterColorEffect(5, EffectAlphaScale);
    RegisterColorEffect(6, EffectBlendColor);
    RegisterColorEffect(7, EffectAlphaFromBrightness);
}

void ClearColorEffects() { Effects().clear(); }

}  // namespace tbx
