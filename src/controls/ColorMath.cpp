#include "controls/ColorMath.h"

#include <algorithm>
#include <cmath>

namespace controls {

int NearestEven(double x) { return static_cast<int>(std::nearbyint(x)); }

namespace {
int Red(int32_t c) { return c & 0xFF; }
int Green(int32_t c) { return (c >> 8) & 0xFF; }
int Blue(int32_t c) { return (c >> 16) & 0xFF; }
int32_t Rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

double HueChannel(double m1, double m2, double h) {
    if (h < 0)
        h += 1;
    else if (h > 1)
        h -= 1;
    if (6 * h < 1) return m1 + (m2 - m1) * h * 6;
    if (2 * h < 1) return m2;
    if (3 * h < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6;
    return m1;
}
}  // namespace

void ColorToHsl(int32_t rgb, double& H, double& S, double& L) {
    const double r = Red(rgb) / 255.0, g = Green(rgb) / 255.0, b = Blue(rgb) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    L = (mx + mn) / 2;
    if (mx == mn) {
        H = 0;
        S = 0;
        return;
    }
    const double d = mx - mn;
    S = L < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        H = (g - b) / d;
    else if (g == mx)
        H = (b - r) / d + 2;
    else
        H = (r - g) / d + 4;
    H /= 6;
    if (H < 0) H += 1;
}

int32_t HslToColor(double H, double S, double L) {
    if (S == 0) {
        const int v = NearestEven(L * 255);
        return Rgb(v, v, v);
    }
    const double m2 = L > 0.5 ? L + S - L * S : L * (1 + S);
    const double m1 = 2 * L - m2;
    return Rgb(NearestEven(HueChannel(m1, m2, H + 1.0 / 3.0) * 255), NearestEven(HueChannel(m1, m2, H) * 255),
               NearestEven(HueChannel(m1, m2, H - 1.0 / 3.0) * 255));
}

void ColorToHslScale(int32_t rgb, int& H, int& S, int& L) {
    double h, s, l;
    ColorToHsl(rgb, h, s, l);
    H = NearestEven((HslScale - 1) * h);
    S = NearestEven(HslScale * s);
    L = NearestEven(HslScale * l);
}

int32_t HslScaleToColor(int H, int S, int L) {
    return HslToColor(H / double(HslScale - 1), S / double(HslScale), L / double(HslScale));
}

int32_t AdjustRgbLightness(int32_t baseRgb, int32_t current, int percent, bool darker) {
    if (percent == 0) return current;
    int H, S, L;
    ColorToHslScale(baseRgb, H, S, L);
    L += 10;
    // The cap is 100 on the 240 scale, so every light colour lightens to the
    // same grey: the look the controls were designed with.
    L = darker ? std::max(L - percent, 0) : std::min(L + percent, 100);
    return HslScaleToColor(H, S, L);
}

}  // namespace controls
