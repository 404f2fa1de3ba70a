// The timers controls ask their paint manager for. Each record ties a control's
// own timer id to a window timer of the manager's window; a killed record keeps
// its window timer id so that the control can start it again under it.
#pragma once

#include <windows.h>

#include "FacetArrays.h"

namespace Facet {

class CControlUI;

class CControlTimers
{
public:
    CControlTimers() = default;
    ~CControlTimers();
    CControlTimers(const CControlTimers&) = delete;
    CControlTimers& operator=(const CControlTimers&) = delete;

    // Starts (or restarts a killed) timer `nTimerID` of the control on `hWnd`.
    // False when it runs already or no window timer is free or granted.
    bool Set(HWND hWnd, CControlUI* pControl, UINT nTimerID, UINT uElapse);
    // Stops the timer; its record stays. False when it was not running.
    bool Kill(HWND hWnd, CControlUI* pControl, UINT nTimerID);
    // Stops and forgets every timer of the control on `hWnd`.
    void KillAll(HWND hWnd, CControlUI* pControl);
    // Stops and forgets every timer.
    void RemoveAll();
    // The control and its own timer id behind the running window timer
    // `uWinTimer` of `hWnd`; false when none is.
    bool Find(HWND hWnd, UINT_PTR uWinTimer, CControlUI*& pControl, UINT& nTimerID) const;

private:
    struct Record;
    Record* FindRecord(HWND hWnd, CControlUI* pControl, UINT nTimerID) const;
    bool NextFreeWindowTimer(HWND hWnd, UINT& id) const;

    CFacetPtrArray m_aRecords;
    UINT m_uLastWindowTimer = 0x1000;
};

} // namespace Facet
