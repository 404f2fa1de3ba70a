#include "SystemLibrary.h"

namespace Facet {

// Only the system folder is searched, and it alone serves the library's own
// dependencies too. Every supported Windows has the flag; there is no second
// way in (a full path would leave the dependencies to the ordinary search).
HMODULE LoadSystemLibrary(const wchar_t* name)
{
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace Facet
