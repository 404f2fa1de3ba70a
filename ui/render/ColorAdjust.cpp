// Hue, saturation and lightness adjustment of colours and images.
#include "RenderEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Facet {

namespace {

struct Hsl
{
    double h; // degrees, 0 <= h < 360
    double s; // 0..1
    double l; // 0..1
};

Hsl ToHsl(double r, double g, double b)
{
    const double maxValue = (std::max)({r, g, b});
    const double minValue = (std::min)({r, g, b});
    Hsl hsl = {0.0, 0.0, (maxValue + minValue) / 2.0};
    const double delta = maxValue - minValue;
    if (delta <= 0.0)
        return hsl;
    hsl.s = hsl.l > 0.5 ? delta / (2.0 - maxValue - minValue) : delta / (maxValue + minValue);
    if (maxValue == r)
        hsl.h = (g - b) / delta + (g < b ? 6.0 : 0.0);
    else if (maxValue == g)
        hsl.h = (b - r) / delta + 2.0;
    else
        hsl.h = (r - g) / delta + 4.0;
    hsl.h *= 60.0;
    return hsl;
}

double HueToChannel(double p, double q, double t)
{
    if (t < 0.0)
        t += 1.0;
    if (t > 1.0)
        t -= 1.0;
    if (t < 1.0 / 6.0)
        return p + (q - p) * 6.0 * t;
    if (t < 1.0 / 2.0)
        return q;
    if (t < 2.0 / 3.0)
        return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

BYTE ToByte(double value)
{
    const double scaled = std::floor(value * 255.0 + 0.5);
    return static_cast<BYTE>((std::min)(255.0, (std::max)(0.0, scaled)));
}

// Adjusts one colour given as its three channels (0..255); returns them adjusted.
void Adjust(BYTE& r, BYTE& g, BYTE& b, short hue, short saturation, short lightness)
{
    Hsl hsl = ToHsl(r / 255.0, g / 255.0, b / 255.0);
    hsl.h += hue - 180;
    if (hsl.h <= 0.0)
        hsl.h += 360.0;
    hsl.h = std::fmod(hsl.h, 360.0);
    // Saturation and lightness may pass 1 here: only the channels they give
    // are clamped (ToByte), so a strong saturation still reaches full colour.
    hsl.s = hsl.s * saturation / 100.0;
    hsl.l = hsl.l * lightness / 100.0;
    if (hsl.s <= 0.0) {
        r = g = b = ToByte(hsl.l);
        return;
    }
    const double q = hsl.l < 0.5 ? hsl.l * (1.0 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
    const double p = 2.0 * hsl.l - q;
    const double t = hsl.h / 360.0;
    r = ToByte(HueToChannel(p, q, t + 1.0 / 3.0));
    g = ToByte(HueToChannel(p, q, t));
    b = ToByte(HueToChannel(p, q, t - 1.0 / 3.0));
}

bool IsNeutral(short hue, short saturation, short lightness)
{
    return hue == 180 && saturation == 100 && lightness == 100;
}

} // namespace

DWORD CRenderEngine::AdjustColor(DWORD color, short hue, short saturation, short lightness)
{
    if (IsNeutral(hue, saturation, lightness))
        return color;
    BYTE r = static_cast<BYTE>(color >> 16);
    BYTE g = static_cast<BYTE>(color >> 8);
    BYTE b = static_cast<BYTE>(color);
    Adjust(r, g, b, hue, saturation, lightness);
    return (color & 0xFF000000u) | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | b;
}

void CRenderEngine::AdjustImage(bool useHSL, TImageInfo* image, short hue, short saturation, short lightness)
{
    if (image == nullptr || !image->bUseHSL || image->pBits == nullptr || image->pSrcBits == nullptr)
        return;
    const size_t count = static_cast<size_t>(image->nX) * static_cast<size_t>(image->nY);
    if (!useHSL || IsNeutral(hue, saturation, lightness)) {
        std::memcpy(image->pBits, image->pSrcBits, count * 4);
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        const BYTE* in = image->pSrcBits + i * 4;
        BYTE* out = image->pBits + i * 4;
        // The pixels are premultiplied: adjust the colour itself, then premultiply
        // again, so no channel can exceed its alpha.
        const unsigned a = in[3];
        if (a == 0) {
            std::memcpy(out, in, 4);
            continue;
        }
        BYTE b = static_cast<BYTE>((std::min)(255u, in[0] * 255u / a));
        BYTE g = static_cast<BYTE>((std::min)(255u, in[1] * 255u / a));
        BYTE r = static_cast<BYTE>((std::min)(255u, in[2] * 255u / a));
        Adjust(r, g, b, hue, saturation, lightness);
        out[0] = static_cast<BYTE>(b * a / 255);
        out[1] = static_cast<BYTE>(g * a / 255);
        out[2] = static_cast<BYTE>(r * a / 255);
        out[3] = static_cast<BYTE>(a);
    }
}

} // namespace Facet
