#include "PlatformBlend.h"

#include "../core/SystemLibrary.h"

namespace Facet {

namespace {

PlatformBlend LookUp()
{
    PlatformBlend blend;
    // Kept loaded for the life of the process, as the functions are.
    if (HMODULE module = LoadSystemLibrary(L"msimg32.dll")) {
        blend.alphaBlend = SystemProcedure<AlphaBlendFunction>(module, "AlphaBlend");
        blend.gradientFill = SystemProcedure<GradientFillFunction>(module, "GradientFill");
    }
    return blend;
}

} // namespace

const PlatformBlend& PlatformBlend::Get()
{
    static const PlatformBlend platform = LookUp();
    return platform;
}

} // namespace Facet
