// The platform's alpha blend and gradient fill (msimg32), looked up once per
// process from the system folder. Either may be missing; callers then fall back
// to their software forms.
#pragma once

#include <windows.h>

namespace Facet {

typedef BOOL(WINAPI* AlphaBlendFunction)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillFunction)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct PlatformBlend
{
    AlphaBlendFunction alphaBlend = nullptr;
    GradientFillFunction gradientFill = nullptr;

    static const PlatformBlend& Get();
};

} // namespace Facet
