// Loading a platform library from the system folder only. The framework may run
// in an elevated process started from a folder that anyone can write to, so a
// library that is not one of the platform's known libraries must never be
// searched for beside the executable.
#pragma once

#include <windows.h>

namespace Facet {

// The library `name` (a file name such as L"msimg32.dll") from the system
// folder, or null. The caller keeps it loaded for as long as it uses it.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The address of `procedure` in `module` as a function pointer of type F, or
// null when the module is null or lacks it.
template <typename F>
F SystemProcedure(HMODULE module, const char* procedure)
{
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, procedure)));
}

} // namespace Facet
