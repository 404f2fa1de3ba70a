#include "ControlTimers.h"

namespace Facet {

struct CControlTimers::Record
{
    CControlUI* pSender;
    UINT nLocalID;
    HWND hWnd;
    UINT uWinTimer;
    bool bKilled;
};

CControlTimers::~CControlTimers()
{
    RemoveAll();
}

CControlTimers::Record* CControlTimers::FindRecord(HWND hWnd, CControlUI* pControl, UINT nTimerID) const
{
    for (int i = 0; i < m_aRecords.GetSize(); ++i) {
        Record* timer = static_cast<Record*>(m_aRecords[i]);
        if (timer->pSender == pControl && timer->hWnd == hWnd && timer->nLocalID == nTimerID)
            return timer;
    }
    return nullptr;
}

// The next window timer id in the cycle 0..254 that no record of this window
// holds: two controls never share one platform timer.
bool CControlTimers::NextFreeWindowTimer(HWND hWnd, UINT& id) const
{
    id = m_uLastWindowTimer;
    for (int attempt = 0; attempt < 255; ++attempt) {
        id = (id + 1) % 0xFF;
        bool taken = false;
        for (int i = 0; i < m_aRecords.GetSize() && !taken; ++i) {
            const Record* timer = static_cast<const Record*>(m_aRecords[i]);
            taken = timer->hWnd == hWnd && timer->uWinTimer == id;
        }
        if (!taken)
            return true;
    }
    return false;
}

bool CControlTimers::Set(HWND hWnd, CControlUI* pControl, UINT nTimerID, UINT uElapse)
{
    if (pControl == nullptr || hWnd == nullptr)
        return false;
    if (Record* timer = FindRecord(hWnd, pControl, nTimerID)) {
        if (!timer->bKilled || ::SetTimer(hWnd, timer->uWinTimer, uElapse, nullptr) == 0)
            return false;
        timer->bKilled = false;
        return true;
    }
    UINT id = 0;
    if (!NextFreeWindowTimer(hWnd, id))
        return false;
    m_uLastWindowTimer = id;
    if (::SetTimer(hWnd, id, uElapse, nullptr) == 0)
        return false;
    Record* timer = new Record{pControl, nTimerID, hWnd, id, false};
    if (!m_aRecords.Add(timer)) {
        ::KillTimer(hWnd, id);
        delete timer;
        return false;
    }
    return true;
}

bool CControlTimers::Kill(HWND hWnd, CControlUI* pControl, UINT nTimerID)
{
    Record* timer = FindRecord(hWnd, pControl, nTimerID);
    if (timer == nullptr || timer->bKilled)
        return false;
    if (::IsWindow(hWnd))
        ::KillTimer(timer->hWnd, timer->uWinTimer);
    timer->bKilled = true;
    return true;
}

void CControlTimers::KillAll(HWND hWnd, CControlUI* pControl)
{
    for (int i = m_aRecords.GetSize() - 1; i >= 0; --i) {
        Record* timer = static_cast<Record*>(m_aRecords[i]);
        if (timer->pSender == pControl && timer->hWnd == hWnd) {
            if (!timer->bKilled && ::IsWindow(hWnd))
                ::KillTimer(timer->hWnd, timer->uWinTimer);
            delete timer;
            m_aRecords.Remove(i);
        }
    }
}

void CControlTimers::RemoveAll()
{
    for (int i = 0; i < m_aRecords.GetSize(); ++i) {
        Record* timer = static_cast<Record*>(m_aRecords[i]);
        if (!timer->bKilled && ::IsWindow(timer->hWnd))
            ::KillTimer(timer->hWnd, timer->uWinTimer);
        delete timer;
    }
    m_aRecords.Empty();
}

bool CControlTimers::Find(HWND hWnd, UINT_PTR uWinTimer, CControlUI*& pControl, UINT& nTimerID) const
{
    for (int i = 0; i < m_aRecords.GetSize(); ++i) {
        const Record* timer = static_cast<const Record*>(m_aRecords[i]);
        if (timer->hWnd == hWnd && timer->uWinTimer == uWinTimer && !timer->bKilled) {
            pControl = timer->pSender;
            nTimerID = timer->nLocalID;
            return true;
        }
    }
    return false;
}

} // namespace Facet
