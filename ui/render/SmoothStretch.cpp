#include "SmoothStretch.h"

#include "GdiObjects.h"
#include "PlatformBlend.h"
#include "RenderEngine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace Facet {

namespace {

// A source coordinate along one axis: the two pixels around the sample point
// of destination pixel `d` and the weight of the second one (0..256).
struct Sample
{
    int first;
    int second;
    int weight;
};

Sample SampleOf(int d, int destLength, int partStart, int partLength)
{
    const double centre = (d + 0.5) * partLength / destLength - 0.5;
    const double clamped = (std::min)((std::max)(centre, 0.0), static_cast<double>(partLength - 1));
    const int first = static_cast<int>(std::floor(clamped));
    const int second = (std::min)(first + 1, partLength - 1);
    const int weight = static_cast<int>((clamped - first) * 256.0 + 0.5);
    return Sample{partStart + first, partStart + second, weight};
}

BYTE Mix(BYTE a, BYTE b, int weight)
{
    return static_cast<BYTE>((a * (256 - weight) + b * weight + 128) >> 8);
}

} // namespace

void BilinearStretch(const BYTE* source, int sourceStride, const RECT& part, int destWidth, int destHeight, int left,
                     int top, int width, int height, BYTE* out)
{
    const int partWidth = part.right - part.left;
    const int partHeight = part.bottom - part.top;
    for (int row = 0; row < height; ++row) {
        const Sample sy = SampleOf(top + row, destHeight, part.top, partHeight);
        const BYTE* upper = source + static_cast<ptrdiff_t>(sy.first) * sourceStride;
        const BYTE* lower = source + static_cast<ptrdiff_t>(sy.second) * sourceStride;
        BYTE* pixel = out + static_cast<size_t>(row) * width * 4;
        for (int column = 0; column < width; ++column, pixel += 4) {
            const Sample sx = SampleOf(left + column, destWidth, part.left, partWidth);
            for (int c = 0; c < 4; ++c) {
                const BYTE above = Mix(upper[sx.first * 4 + c], upper[sx.second * 4 + c], sx.weight);
                const BYTE below = Mix(lower[sx.first * 4 + c], lower[sx.second * 4 + c], sx.weight);
                pixel[c] = Mix(above, below, sy.weight);
            }
        }
    }
}

bool DrawSmoothStretch(HDC target, const RECT& dest, const RECT& clip, HDC source, const RECT& part, bool blend,
                       BYTE fade)
{
    RECT shown;
    if (!::IntersectRect(&shown, &dest, &clip))
        return true;
    // The part, copied into rows of known order and format.
    const int partWidth = part.right - part.left;
    const int partHeight = part.bottom - part.top;
    ScopedDibSurface pixels(target, partWidth, partHeight);
    const int width = shown.right - shown.left;
    const int height = shown.bottom - shown.top;
    ScopedDibSurface surface(target, width, height);
    if (!pixels.Valid() || !surface.Valid() ||
        !::BitBlt(pixels.Dc(), 0, 0, partWidth, partHeight, source, part.left, part.top, SRCCOPY))
        return false;
    ::GdiFlush();
    BilinearStretch(pixels.Bits(), partWidth * 4, RECT{0, 0, partWidth, partHeight}, dest.right - dest.left,
                    dest.bottom - dest.top, shown.left - dest.left, shown.top - dest.top, width, height,
                    surface.Bits());
    if (!blend)
        return ::BitBlt(target, shown.left, shown.top, width, height, surface.Dc(), 0, 0, SRCCOPY) != FALSE;
    if (const AlphaBlendFunction alphaBlend = PlatformBlend::Get().alphaBlend) {
        BLENDFUNCTION function = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
        return alphaBlend(target, shown.left, shown.top, width, height, surface.Dc(), 0, 0, width, height, function) !=
               FALSE;
    }
    CRenderEngine::BlendWithoutPlatform(target, shown, surface.Dc(), RECT{0, 0, width, height}, fade);
    return true;
}

} // namespace Facet
