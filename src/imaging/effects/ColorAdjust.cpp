// Colour operations that change each colour on its own: negative, channel swaps, brightness,
// contrast and gamma, hue/saturation/lightness, colourising, sepia, solarisation and red-eye
// removal. They all go through mapColours, so palette images change their palette (8-bit grey
// images keep their grey ramp when the result stays grey) and 32-bit images keep their alpha.

#include "imaging/effects/PixelAccess.h"
#include "imaging/fipSuperImage.h"

#include <numbers>

using kelvra::fx::Rgb;

namespace {

using Table = std::array<BYTE, 256>;

Table makeTable(const std::function<double(double)>& curve) {
    Table table{};
    for (unsigned v = 0; v < 256; ++v)
        table[v] = kelvra::fx::clampByte(std::clamp(curve(v / 255.0), 0.0, 1.0) * 255.0);
    return table;
}

Table gammaTable(double gamma) {
    return makeTable([gamma](double x) { return std::pow(x, 1.0 / gamma); });
}

double wrapDegrees(double hue) {
    hue = std::fmod(hue, 360.0);
    return hue < 0 ? hue + 360.0 : hue;
}

double hueToChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

}  // namespace

void fipSuperImage::RGBtoHSL(BYTE red, BYTE green, BYTE blue, double& hue, double& saturation,
                             double& lightness) {
    const int maxC = std::max({red, green, blue}), minC = std::min({red, green, blue});
    lightness = (maxC + minC) / 510.0;
    if (maxC == minC) {
        hue = 0;
        saturation = 0;
        return;
    }
    const double delta = (maxC - minC) / 255.0;
    saturation = lightness <= 0.5 ? delta / (2 * lightness) : delta / (2 - 2 * lightness);
    const double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    double h;
    if (maxC == red)
        h = (g - b) / delta;
    else if (maxC == green)
        h = (b - r) / delta + 2;
    else
        h = (r - g) / delta + 4;
    hue = wrapDegrees(h * 60);
}

void fipSuperImage::HSLtoRGB(double hue, double saturation, double lightness, BYTE& red,
                             BYTE& green, BYTE& blue) {
    saturation = std::clamp(saturation, 0.0, 1.0);
    lightness = std::clamp(lightness, 0.0, 1.0);
    if (saturation == 0) {
        red = green = blue = kelvra::fx::clampByte(lightness * 255);
        return;
    }
    const double q = lightness < 0.5 ? lightness * (1 + saturation)
                                     : lightness + saturation - lightness * saturation;
    const double p = 2 * lightness - q;
    const double h = wrapDegrees(hue) / 360.0;
    red = kelvra::fx::clampByte(hueToChannel(p, q, h + 1.0 / 3) * 255);
    green = kelvra::fx::clampByte(hueToChannel(p, q, h) * 255);
    blue = kelvra::fx::clampByte(hueToChannel(p, q, h - 1.0 / 3) * 255);
}

BOOL fipSuperImage::invert() {
    Table negative{};
    for (unsigned v = 0; v < 256; ++v)
        negative[v] = BYTE(255 - v);
    if (!kelvra::fx::mapChannels(_dib, negative, negative, negative))
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}

BOOL fipSuperImage::swapChannels(int order) {
    if (order < 0 || order > 4)
        return FALSE;
    const bool done = kelvra::fx::mapColours(_dib, [order](Rgb c) {
        switch (order) {
        case 0: return Rgb{c.r, c.b, c.g};
        case 1: return Rgb{c.b, c.g, c.r};
        case 2: return Rgb{c.b, c.r, c.g};
        case 3: return Rgb{c.g, c.r, c.b};
        default: return Rgb{c.g, c.b, c.r};
        }
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}

// Brightness scales the values (−100 is black, +100 doubles them), contrast steepens or
// flattens the tones around middle grey (−100 is flat grey, near +100 a hard threshold), and
// gamma bends the mid-tones, as the exposure controls of a darkroom would.
BOOL fipSuperImage::adjustColors(double brightness, double contrast, double gamma, BOOL invert) {
    if (!(gamma > 0) || !kelvra::fx::isBitmap(_dib))
        return FALSE;
    brightness = std::clamp(brightness, -100.0, 100.0);
    contrast = std::clamp(contrast, -100.0, 99.0);
    const double slope = std::tan(std::numbers::pi / 4 * (1 + contrast / 100));
    const Table table = makeTable([&](double x) {
        if (brightness != 0)
            x = std::clamp(x * (1 + brightness / 100), 0.0, 1.0);
        if (contrast != 0)
            x = std::clamp(0.5 + (x - 0.5) * slope, 0.0, 1.0);
        if (gamma != 1)
            x = std::pow(x, 1 / gamma);
        return invert ? 1 - x : x;
    });
    if (!kelvra::fx::mapChannels(_dib, table, table, table))
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}

BOOL fipSuperImage::adjustGammaRGB(double red, double green, double blue) {
    if (!(red > 0) || !(green > 0) || !(blue > 0) || !kelvra::fx::isBitmap(_dib))
        return FALSE;
    if (!kelvra::fx::mapChannels(_dib, gammaTable(red), gammaTable(green), gammaTable(blue)))
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}

namespace {

// The per-pixel work of adjustHSL in single precision, with the hue kept in sixths of a turn
// and the new lightness looked up by max + min: the same model as RGBtoHSL/HSLtoRGB, fast
// enough for large photos.
class HslShift {
public:
    HslShift(int hue, int saturation, int lightness)
        : turn_(float(hue) * 3.0f / 100.0f), saturationScale_(1.0f + float(saturation) / 100.0f) {
        const float light = float(lightness) / 100.0f;
        for (unsigned sum = 0; sum < newLightness_.size(); ++sum) {
            const float l = float(sum) / 510.0f;
            newLightness_[sum] = light < 0 ? l * (1 + light) : l + (1 - l) * light;
        }
    }

    Rgb operator()(Rgb c) const {
        const int high = std::max({c.r, c.g, c.b}), low = std::min({c.r, c.g, c.b});
        const float l = newLightness_[std::size_t(high + low)];
        if (high == low) {
            const BYTE v = toByte(l);
            return {v, v, v};
        }
        const float range = float(high - low), oldL = float(high + low) / 510.0f;
        const float chroma = range / 255.0f;
        float s = oldL <= 0.5f ? chroma / (2 * oldL) : chroma / (2 - 2 * oldL);
        s = std::min(1.0f, s * saturationScale_);
        float h = high == c.r ? float(c.g - c.b) / range
                : high == c.g ? float(c.b - c.r) / range + 2
                              : float(c.r - c.g) / range + 4;
        h = wrap(h + turn_);
        const float q = l < 0.5f ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
        return {toByte(channel(p, q, wrap(h + 2))), toByte(channel(p, q, h)), toByte(channel(p, q, wrap(h - 2)))};
    }

private:
    static float wrap(float sixths) {
        if (sixths < 0) sixths += 6;
        if (sixths >= 6) sixths -= 6;
        return sixths;
    }
    static float channel(float p, float q, float t) {
        if (t < 1) return p + (q - p) * t;
        if (t < 3) return q;
        if (t < 4) return p + (q - p) * (4 - t);
        return p;
    }
    static BYTE toByte(float v) { return v <= 0 ? 0 : v >= 1 ? 255 : BYTE(v * 255.0f + 0.5f); }

    float turn_, saturationScale_;
    std::array<float, 511> newLightness_{};
};

}  // namespace

// Hue turns the colour wheel (±100 is half a turn); saturation scales the colourfulness
// (−100 gives grey, +100 doubles it), so greys stay grey; lightness moves towards black
// (negative) or white (positive).
BOOL fipSuperImage::adjustHSL(int hue, int saturation, int lightness) {
    if (!kelvra::fx::isBitmap(_dib))
        return FALSE;
    hue = std::clamp(hue, -100, 100);
    saturation = std::clamp(saturation, -100, 100);
    lightness = std::clamp(lightness, -100, 100);
    if (hue == 0 && saturation == 0 && lightness == 0)
        return TRUE;
    const HslShift shift(hue, saturation, lightness);
    if (!kelvra::fx::mapColours(_dib, shift))
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}

// Each pixel takes the chosen hue and saturation at its own luminance, like a toned print;
// amount blends that over the original colours.
BOOL fipSuperImage::colorize(double hue, double saturation, double amount) {
    if (!kelvra::fx::isBitmap(_dib) || !std::isfinite(hue) || !std::isfinite(saturation) ||
        !std::isfinite(amount))
        return FALSE;
    amount = std::clamp(amount, 0.0, 1.0);
    std::array<Rgb, 256> tint{};
    for (unsigned v = 0; v < 256; ++v)
        HSLtoRGB(hue, saturation, v / 255.0, tint[v].r, tint[v].g, tint[v].b);
    const auto blend = [amount](BYTE from, BYTE to) {
        return kelvra::fx::clampByte(from + amount * (int(to) - int(from)));
    };
    const bool done = kelvra::fx::mapColours(_dib, [&](Rgb c) {
        const Rgb t = tint[kelvra::fx::luminance(c.r, c.g, c.b)];
        return Rgb{blend(c.r, t.r), blend(c.g, t.g), blend(c.b, t.b)};
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}

// The warm brown of an old toned print: the colourise dialog's own sepia colour at full amount.
BOOL fipSuperImage::sepia() {
    double hue, saturation, lightness;
    RGBtoHSL(172, 122, 51, hue, saturation, lightness);
    return colorize(hue, saturation, 1.0);
}

// The darkroom effect of flashing a print while it develops: tones beyond the threshold turn
// into their negative.
BOOL fipSuperImage::solarize(BYTE threshold, BOOL aboveThreshold) {
    Table table{};
    for (unsigned v = 0; v < 256; ++v) {
        const bool flip = aboveThreshold ? v > threshold : v < threshold;
        table[v] = flip ? BYTE(255 - v) : BYTE(v);
    }
    if (!kelvra::fx::mapChannels(_dib, table, table, table))
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}

// A pixel whose red is well above the mean of its green and blue (from 1.8 times, fully at
// 2.5 times) loses that red, leaving the dark grey of a pupil; skin, whose red stays below
// about 1.6 times the others, is left alone.
BOOL fipSuperImage::removeRedEye() {
    if (!kelvra::fx::isBitmap(_dib))
        return FALSE;
    const bool done = kelvra::fx::mapColours(_dib, [](Rgb c) {
        const double others = (c.g + c.b) / 2.0;
        if (c.r < 40 || c.r <= 1.8 * others)
            return c;
        const double strength = std::min(1.0, (c.r / std::max(others, 1.0) - 1.8) / 0.7);
        return Rgb{kelvra::fx::clampByte(c.r + strength * (others - c.r)), c.g, c.b};
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}
