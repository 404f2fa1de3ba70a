#include "PlatformOleacc.h"

#include "../core/SystemLibrary.h"

namespace Facet {

namespace {

PlatformOleacc LookUp()
{
    PlatformOleacc oleacc;
    // Kept loaded for the life of the process: objects handed out live in it.
    if (HMODULE module = LoadSystemLibrary(L"oleacc.dll")) {
        oleacc.lresultFromObject = SystemProcedure<LresultFromObjectFunction>(module, "LresultFromObject");
        oleacc.accessibleObjectFromWindow = SystemProcedure<AccessibleObjectFromWindowFunction>(
            module, "AccessibleObjectFromWindow");
    }
    return oleacc;
}

} // namespace

const PlatformOleacc& PlatformOleacc::Get()
{
    static const PlatformOleacc platform = LookUp();
    return platform;
}

} // namespace Facet
