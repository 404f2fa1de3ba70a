// Loading a platform library from the system folder only. The framework may run
// in an elevated process started from a folder that anyone can write to, so a
// library that is not one of the platform's known libraries must never be
// searched for beside the executable.
#pragma once

#include "UniqueHandle.h"

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

// A library from the system folder (see LoadSystemLibrary), freed with the
// owner unless released to stay loaded for the life of the process.
class SystemLibrary
{
public:
    explicit SystemLibrary(const wchar_t* name)
        : m_module(LoadSystemLibrary(name)), m_error(m_module ? 0 : ::GetLastError())
    {
    }

    HMODULE Get() const { return m_module.Get(); }
    explicit operator bool() const { return static_cast<bool>(m_module); }
    // Why the library did not load (0 when it did).
    DWORD Error() const { return m_error; }

    // The address of `procedure` as a function pointer of type F; null when
    // the library or the procedure is missing.
    template <typename F>
    F Procedure(const char* procedure) const
    {
        return SystemProcedure<F>(m_module.Get(), procedure);
    }

    // Keeps the library loaded for good (what it handed out lives in it).
    HMODULE Release() { return m_module.Release(); }

private:
    UniqueModule m_module;
    DWORD m_error;
};

} // namespace Facet
