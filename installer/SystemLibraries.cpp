#include "SystemLibraries.h"

#include "Diagnostics.h"

#include "core/SystemLibrary.h"

#include <windows.h>
#include <delayimp.h>

#include <cstring>
#include <string>

namespace {

// Loads a delay-loaded library from the system folder. A library that is not
// there is looked for nowhere else: the delay-load helper would then search the
// ordinary way, starting in this executable's folder, so the process ends.
FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary)
        return nullptr;
    // The names in an import table are ASCII.
    const std::string name(info->szDll);
    HMODULE library = Facet::LoadSystemLibrary(std::wstring(name.begin(), name.end()).c_str());
    if (library == nullptr) {
        WriteDiagnosticLine(stdout, std::string("system library not found in the system folder: ") + info->szDll);
        ExitProcess(1);
    }
    return reinterpret_cast<FARPROC>(library);
}

} // namespace

// The delay-load helper asks this hook before it loads a library. (MSVC's
// helper declares the hook const, MinGW's does not.)
extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
#else
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
#endif
}

// MEVRA_DELAY_LOADED_LIBRARIES (set by cmake/DelayLoad.cmake) names each
// delay-loaded library as MEVRA_DELAY_LOADED(<name without .dll>).
#if defined(_MSC_VER)

bool LoadDelayedLibraryFromSystemFolder(const char* library)
{
    const char* const delayLoaded[] = {
#define MEVRA_DELAY_LOADED(name) #name,
        MEVRA_DELAY_LOADED_LIBRARIES
#undef MEVRA_DELAY_LOADED
    };
    for (const char* name : delayLoaded) {
        if (std::strcmp(name, library) == 0)
            return SUCCEEDED(__HrLoadAllImportsForDll((std::string(name) + ".dll").c_str()));
    }
    return false;
}

#else

// The GNU linker leaves the delay-import directory of the image empty, so the
// import descriptors that dlltool made are named directly, and every import is
// bound through the delay-load helper, as its first call would.
extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* importAddress);
#define MEVRA_DELAY_LOADED(library) extern "C" const ImgDelayDescr __DELAY_IMPORT_DESCRIPTOR_lib##library##_delay_a;
MEVRA_DELAY_LOADED_LIBRARIES
#undef MEVRA_DELAY_LOADED

namespace {

bool BindEveryImport(const ImgDelayDescr& descriptor)
{
    if (!(descriptor.grAttrs & dlattrRva))
        return false;
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleW(nullptr));
    auto* addresses = reinterpret_cast<FARPROC*>(base + descriptor.rvaIAT);
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor.rvaINT);
    for (size_t i = 0; names[i].u1.AddressOfData != 0; ++i) {
        if (__delayLoadHelper2(&descriptor, &addresses[i]) == nullptr)
            return false;
    }
    return true;
}

} // namespace

bool LoadDelayedLibraryFromSystemFolder(const char* library)
{
    // Every import is bound here, before its first call: the delay-load stubs of
    // the GNU tools do not keep the floating-point argument registers, so a first
    // call through a stub could change a float argument (GDI+ takes many).
    const struct
    {
        const char* name;
        const ImgDelayDescr& descriptor;
    } delayLoaded[] = {
#define MEVRA_DELAY_LOADED(name) {#name, __DELAY_IMPORT_DESCRIPTOR_lib##name##_delay_a},
        MEVRA_DELAY_LOADED_LIBRARIES
#undef MEVRA_DELAY_LOADED
    };
    for (const auto& entry : delayLoaded) {
        if (std::strcmp(entry.name, library) == 0)
            return BindEveryImport(entry.descriptor);
    }
    return false;
}

#endif
