// The three functions of the platform's accessibility library (oleacc) that
// the framework needs, looked up once per process from the system folder.
// Any may be missing; callers then answer nothing.
#pragma once

#include <windows.h>
#include <oleacc.h>

namespace Facet {

typedef LRESULT(WINAPI* LresultFromObjectFunction)(REFIID, WPARAM, LPUNKNOWN);
typedef HRESULT(WINAPI* AccessibleObjectFromWindowFunction)(HWND, DWORD, REFIID, void**);

struct PlatformOleacc
{
    // Hands an object to a client that sent WM_GETOBJECT.
    LresultFromObjectFunction lresultFromObject = nullptr;
    // The platform's own object of a window (its frame, or its client area).
    AccessibleObjectFromWindowFunction accessibleObjectFromWindow = nullptr;

    static const PlatformOleacc& Get();
};

} // namespace Facet
