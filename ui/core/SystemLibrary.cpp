#include "SystemLibrary.h"

#include <cwchar>

namespace Facet {

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr)
        return module;
    // Systems without the search flags: the full path names the system folder.
    wchar_t path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + wcslen(name) >= MAX_PATH)
        return nullptr;
    wcscat(path, L"\\");
    wcscat(path, name);
    return ::LoadLibraryW(path);
}

} // namespace Facet
