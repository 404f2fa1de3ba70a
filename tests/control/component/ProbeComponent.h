// The in-process component the component-host tests embed: two classes of
// one implementation, a windowed one (a child window of its own) and a
// windowless one (drawn by its host, given the window's messages). Both fill
// their rectangle with kProbeColour. The module reports what happened to
// its objects through ProbeGetState.
#pragma once

#include <windows.h>

namespace probe {

// {6C0E7A31-2B1D-4F57-9A6E-3D1C5B8F0A01} and ...02.
const CLSID kWindowedClsid = {0x6c0e7a31, 0x2b1d, 0x4f57, {0x9a, 0x6e, 0x3d, 0x1c, 0x5b, 0x8f, 0x0a, 0x01}};
const CLSID kWindowlessClsid = {0x6c0e7a31, 0x2b1d, 0x4f57, {0x9a, 0x6e, 0x3d, 0x1c, 0x5b, 0x8f, 0x0a, 0x02}};
const wchar_t kWindowedClsidText[] = L"{6C0E7A31-2B1D-4F57-9A6E-3D1C5B8F0A01}";
const wchar_t kWindowlessClsidText[] = L"{6C0E7A31-2B1D-4F57-9A6E-3D1C5B8F0A02}";
// 0x00RRGGBB.
const DWORD kProbeColour = 0x20C040;

struct ProbeState
{
    LONG liveObjects;   // component objects not yet destroyed
    LONG created;       // component objects ever created
    LONG sited;         // 1 while the latest object has a client site
    LONG inPlaceActive; // 1 while the latest object is active in place
    LONG windowless;    // 1 when the latest object went windowless
    HWND window;        // the latest windowed object's window (null when gone)
    RECT objectRect;    // the latest rectangle the host gave it
    LONG focusCount;    // focus arrivals (its window's, or the windowless message)
    LONG clicks;        // left presses a windowless object was given
    LONG draws;         // IViewObject::Draw calls
};

typedef ProbeState*(WINAPI* GetStateProc)();

} // namespace probe
