#include "PlatformBlend.h"

namespace Facet {

namespace {

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    // Only the system folder: this may run in an elevated process started from a
    // folder that anyone can write to.
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr)
        return module;
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + wcslen(name) >= MAX_PATH)
        return nullptr;
    wcscat(path, L"\\");
    wcscat(path, name);
    return LoadLibraryW(path);
}

PlatformBlend LookUp()
{
    PlatformBlend blend;
    // Kept loaded for the life of the process, as the functions are.
    if (HMODULE module = LoadSystemLibrary(L"msimg32.dll")) {
        blend.alphaBlend = reinterpret_cast<AlphaBlendFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
        blend.gradientFill = reinterpret_cast<GradientFillFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")));
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
