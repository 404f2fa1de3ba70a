// The paint manager's message handling: mouse, keyboard, focus and capture,
// tooltips, control timers, notifications and the message loop's
// pre-translation.
#include "PaintManager.h"

#include "../control/ControlUI.h"

#include <windowsx.h>

#include <cwchar>
#include <cwctype>

namespace Facet {

namespace {

struct TabSearch
{
    CControlUI* pFocus;
    CControlUI* pLast;
    bool bForward;
    bool bNextIsIt;
};

struct ShortcutSearch
{
    wchar_t ch;
    bool bPickNext;
};

const UINT kTabSearchFlags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;

TEventUI MakeEvent(int type, CControlUI* sender, POINT pt, WPARAM wParam = 0, LPARAM lParam = 0)
{
    TEventUI event = {};
    event.Type = type;
    event.pSender = sender;
    event.dwTimestamp = GetTickCount();
    event.ptMouse = pt;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

// Asks each filter of `list` in turn until one handles the message. Works on
// a copy: a filter may remove itself or others, which are then skipped.
bool AskFilters(const CFacetPtrArray& list, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    CFacetPtrArray filters(list);
    for (int i = 0; i < filters.GetSize(); ++i) {
        if (list.Find(filters[i]) < 0)
            continue;
        bool handled = false;
        const LRESULT result =
            static_cast<IMessageFilterUI*>(filters[i])->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = result;
            return true;
        }
    }
    return false;
}

} // namespace

WORD CPaintManagerUI::CurrentKeyState()
{
    WORD state = 0;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= UIKEYSTATE_CONTROL;
    if (GetKeyState(VK_RBUTTON) < 0)
        state |= UIKEYSTATE_RBUTTON;
    if (GetKeyState(VK_LBUTTON) < 0)
        state |= UIKEYSTATE_LBUTTON;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= UIKEYSTATE_SHIFT;
    if (GetKeyState(VK_MENU) < 0)
        state |= UIKEYSTATE_ALT;
    return state;
}

// -- Notifications --

void CPaintManagerUI::SendNotify(CControlUI* pControl, const wchar_t* pstrMessage, WPARAM wParam, LPARAM lParam,
                                 bool bAsync, bool bEnableRepeat)
{
    TNotifyUI msg;
    msg.pSender = pControl;
    msg.sType = pstrMessage;
    msg.dwTimestamp = 0;
    msg.ptMouse = POINT{0, 0};
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, bAsync, bEnableRepeat);
}

void CPaintManagerUI::SendNotify(TNotifyUI& Msg, bool bAsync, bool bEnableRepeat)
{
    Msg.ptMouse = m_ptLastMousePos;
    Msg.dwTimestamp = GetTickCount();
    if (m_bUsedVirtualWnd && Msg.pSender != nullptr)
        Msg.sVirtualWnd = Msg.pSender->GetVirtualWnd();

    if (!bAsync) {
        DeliverNotify(Msg);
        return;
    }
    if (!bEnableRepeat) {
        for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
            TNotifyUI* queued = static_cast<TNotifyUI*>(m_aAsyncNotify[i]);
            if (queued->pSender == Msg.pSender && queued->sType == Msg.sType) {
                queued->sVirtualWnd = Msg.sVirtualWnd;
                queued->wParam = Msg.wParam;
                queued->lParam = Msg.lParam;
                queued->ptMouse = Msg.ptMouse;
                queued->dwTimestamp = Msg.dwTimestamp;
                return;
            }
        }
    }
    TNotifyUI* copy = new TNotifyUI(Msg);
    if (!m_aAsyncNotify.Add(copy)) {
        delete copy;
        return;
    }
    PostAsyncNotify();
}

void CPaintManagerUI::PostAsyncNotify()
{
    if (m_bAsyncNotifyPosted || m_hWndPaint == nullptr)
        return;
    // The flag stays clear when the post fails, so the next request tries again
    // instead of waiting for ever for a message that never comes.
    m_bAsyncNotifyPosted = ::PostMessageW(m_hWndPaint, WM_FACET_ASYNC_NOTIFY, 0, 0) != FALSE;
}

void CPaintManagerUI::DeliverNotify(TNotifyUI& msg)
{
    if (msg.pSender != nullptr && msg.pSender->OnNotify)
        msg.pSender->OnNotify(&msg);
    // A notifier may remove itself or others while it runs: walk a copy, and
    // skip any that is no longer registered when its turn comes.
    CFacetPtrArray notifiers(m_aNotifiers);
    for (int i = 0; i < notifiers.GetSize(); ++i) {
        if (m_aNotifiers.Find(notifiers[i]) >= 0)
            static_cast<INotifyUI*>(notifiers[i])->Notify(msg);
    }
}

void CPaintManagerUI::HandleAsyncNotify()
{
    m_bAsyncNotifyPosted = false;
    while (!m_aAsyncNotify.IsEmpty()) {
        TNotifyUI* msg = static_cast<TNotifyUI*>(m_aAsyncNotify[0]);
        m_aAsyncNotify.Remove(0);
        DeliverNotify(*msg);
        delete msg;
    }
    DestroyDelayedCleanup();
}

// -- Focus and capture --

CControlUI* CPaintManagerUI::GetFocus() const
{
    return m_pFocus;
}

CControlUI* CPaintManagerUI::KillFocusFor(CControlUI* pNext)
{
    // The old focus may destroy controls, the next one among them, while it
    // hears of the change: the next one is watched through the reaping.
    m_pPendingFocus = pNext;
    CControlUI* old = m_pFocus;
    TEventUI event = MakeEvent(UIEVENT_KILLFOCUS, pNext, m_ptLastMousePos);
    old->Event(event);
    if (m_pFocus == old)
        SendNotify(old, L"killfocus");
    m_pFocus = nullptr;
    pNext = m_pPendingFocus;
    m_pPendingFocus = nullptr;
    return pNext;
}

void CPaintManagerUI::SendKeyEvent(int type, CControlUI* pTarget, WPARAM wParam, LPARAM lParam)
{
    TEventUI event = MakeEvent(type, pTarget, m_ptLastMousePos, wParam, lParam);
    event.chKey = static_cast<WCHAR>(wParam);
    event.wKeyState = CurrentKeyState();
    pTarget->Event(event);
}

void CPaintManagerUI::SetFocus(CControlUI* pControl, bool bFocusWnd)
{
    if (bFocusWnd && m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && pControl != m_pFocus && !m_bNoActivate)
        ::SetFocus(m_hWndPaint);
    if (pControl == m_pFocus)
        return;
    if (m_pFocus != nullptr)
        pControl = KillFocusFor(pControl);
    if (pControl == nullptr || pControl->GetManager() != this || !pControl->IsVisible() || !pControl->IsEnabled())
        return;
    m_pFocus = pControl;
    TEventUI event = MakeEvent(UIEVENT_SETFOCUS, pControl, m_ptLastMousePos);
    pControl->Event(event);
    if (m_pFocus == pControl)
        NotifyAccessible(EVENT_OBJECT_FOCUS, pControl);
    if (m_pFocus == pControl)
        SendNotify(pControl, L"setfocus");
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl)
{
    if (!m_bNoActivate && m_hWndPaint != nullptr)
        ::SetFocus(m_hWndPaint);
    if (pControl == nullptr)
        return;
    if (m_pFocus != nullptr) {
        pControl = KillFocusFor(pControl);
        if (pControl == nullptr)
            return;
    }
    if (m_pRoot == nullptr)
        return;
    // The tab stop before the control: the next paint's forward step lands on it.
    TabSearch search = {pControl, nullptr, false, false};
    m_pFocus = m_pRoot->FindControl(FindControlFromTab, &search, kTabSearchFlags);
    m_bFocusNeeded = true;
    m_pRoot->NeedUpdate();
}

CControlUI* CALLBACK CPaintManagerUI::FindControlFromTab(CControlUI* pThis, LPVOID pData)
{
    TabSearch* search = static_cast<TabSearch*>(pData);
    if (pThis == search->pFocus) {
        if (search->bForward) {
            search->bNextIsIt = true;
            return nullptr;
        }
        return search->pLast;
    }
    if ((pThis->GetControlFlags() & UIFLAG_TABSTOP) == 0)
        return nullptr;
    search->pLast = pThis;
    if (search->bNextIsIt || search->pFocus == nullptr)
        return pThis;
    return nullptr;
}

bool CPaintManagerUI::SetNextTabControl(bool bForward)
{
    if (m_bUpdateNeeded && bForward) {
        m_bFocusNeeded = true;
        if (m_hWndPaint != nullptr)
            ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
        return true;
    }
    if (m_pRoot == nullptr) {
        m_bFocusNeeded = false;
        return true;
    }
    TabSearch search = {m_pFocus, nullptr, bForward, false};
    CControlUI* next = m_pRoot->FindControl(FindControlFromTab, &search, kTabSearchFlags);
    if (next == nullptr) {
        if (bForward) {
            // Past the last tab stop: wrap round to the first.
            TabSearch first = {nullptr, nullptr, true, false};
            next = m_pRoot->FindControl(FindControlFromTab, &first, kTabSearchFlags);
        } else {
            next = search.pLast;
        }
    }
    if (next != nullptr)
        SetFocus(next, true);
    m_bFocusNeeded = false;
    return true;
}

void CPaintManagerUI::SetCapture()
{
    if (m_hWndPaint != nullptr)
        ::SetCapture(m_hWndPaint);
    m_bMouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture()
{
    ::ReleaseCapture();
    m_bMouseCapture = false;
}

bool CPaintManagerUI::IsCaptured() const
{
    return m_bMouseCapture;
}

// -- Control timers --

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse)
{
    return m_timers.Set(m_hWndPaint, pControl, nTimerID, uElapse);
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID)
{
    return m_timers.Kill(m_hWndPaint, pControl, nTimerID);
}

void CPaintManagerUI::KillTimer(CControlUI* pControl)
{
    m_timers.KillAll(m_hWndPaint, pControl);
}

void CPaintManagerUI::RemoveAllTimers()
{
    m_timers.RemoveAll();
}

// -- Tooltips --

void CPaintManagerUI::HideTooltip()
{
    m_tooltip.Hide();
}

CControlUI* CPaintManagerUI::BeginPress(LPARAM lParam, bool focusControl)
{
    if (!m_bNoActivate)
        ::SetFocus(m_hWndPaint);
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_ptLastMousePos = pt;
    CControlUI* control = FindControl(pt);
    if (control == nullptr || control->GetManager() != this)
        return nullptr;
    m_pEventClick = control;
    if (focusControl) {
        control->SetFocus();
        // Focus handlers may have destroyed it.
        if (m_pEventClick != control)
            return nullptr;
    }
    return control;
}

bool CPaintManagerUI::HandleMouseHover(LPARAM lParam, LRESULT& lRes)
{
    m_bMouseTracking = false;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CControlUI* hovered = FindControl(pt);
    if (hovered == nullptr)
        return false;
    if (m_pEventHover != nullptr) {
        TEventUI event = MakeEvent(UIEVENT_MOUSEHOVER, m_pEventHover, pt);
        event.wKeyState = CurrentKeyState();
        m_pEventHover->Event(event);
    }
    // The hover handler may have destroyed the control.
    hovered = FindControl(pt);
    if (hovered == nullptr)
        return false;
    CFacetString tip = hovered->GetToolTip();
    if (tip.IsEmpty()) {
        lRes = 0;
        return true;
    }
    ProcessMultiLanguageTokens(tip);
    if (!m_tooltip.Show(m_hWndPaint, GetInstance(), tip, hovered->GetPos(), hovered->GetToolTipWidth(), pt))
        return false;
    m_pLastToolTip = hovered;
    return true;
}

// -- Mouse --

void CPaintManagerUI::SendMouseLeave(CControlUI* pControl)
{
    TEventUI event = MakeEvent(UIEVENT_MOUSELEAVE, pControl, m_ptLastMousePos);
    event.wKeyState = CurrentKeyState();
    pControl->Event(event);
}

bool CPaintManagerUI::HandleMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!m_bMouseTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWndPaint;
        track.dwHoverTime = m_tooltip.HoverDelay(m_iHoverTime);
        TrackMouseEvent(&track);
        m_bMouseTracking = true;
    }
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_ptLastMousePos = pt;
    CControlUI* newHover = FindControl(pt);
    if (newHover != nullptr && newHover->GetManager() != this)
        return false;

    if (!m_bMouseCapture) {
        if (newHover != m_pEventHover && m_pEventHover != nullptr) {
            // Controls that asked to hear every leave go first; each may drop
            // out of the list (or be destroyed) while the others are told.
            CFacetPtrArray needing(m_aNeedMouseLeaveNeeded);
            for (int i = 0; i < needing.GetSize(); ++i) {
                if (m_aNeedMouseLeaveNeeded.Find(needing[i]) >= 0)
                    SendMouseLeave(static_cast<CControlUI*>(needing[i]));
            }
            if (m_pEventHover != nullptr)
                SendMouseLeave(m_pEventHover);
            m_pEventHover = nullptr;
            HideTooltip();
            newHover = FindControl(pt);
        }
        if (newHover != nullptr && newHover != m_pEventHover) {
            TEventUI event = MakeEvent(UIEVENT_MOUSEENTER, newHover, pt);
            event.wKeyState = CurrentKeyState();
            m_pEventHover = newHover;
            newHover->Event(event);
            if (m_pEventHover != newHover)
                newHover = FindControl(pt); // the enter handler destroyed it
        }
    }
    CControlUI* target = m_pEventClick != nullptr ? m_pEventClick : newHover;
    if (target != nullptr) {
        TEventUI event = MakeEvent(UIEVENT_MOUSEMOVE, target, pt, 0, lParam);
        event.wKeyState = static_cast<WORD>(wParam);
        target->Event(event);
    }
    return false;
}

// -- Message handling --

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (m_hWndPaint == nullptr)
        return false;
    if (AccessibilityMessage(uMsg, wParam, lParam, lRes))
        return true;
    if (RunMessageFilters(uMsg, wParam, lParam, lRes))
        return true;
    if (m_bLayered && HandleLayeredFrame(uMsg, wParam, lRes))
        return true;

    switch (uMsg) {
    case WM_FACET_ASYNC_NOTIFY:
        HandleAsyncNotify();
        return false;
    case WM_CLOSE:
        return HandleClose(wParam, lParam);
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT:
        return HandlePaint(lRes);
    case WM_PRINTCLIENT:
        return HandlePrintClient(wParam, lParam);
    case WM_GETMINMAXINFO:
        return HandleGetMinMaxInfo(lParam);
    case WM_SIZE:
        return HandleSize();
    case WM_TIMER:
        return HandleTimer(wParam, lParam, lRes);
    case WM_MOUSEACTIVATE:
        return HandleMouseActivate(lRes);
    case WM_SETCURSOR:
        return HandleSetCursor(wParam, lParam, lRes);
    case WM_MOUSEMOVE:
        return HandleMouseMove(wParam, lParam);
    case WM_MOUSEHOVER:
        return HandleMouseHover(lParam, lRes);
    case WM_MOUSELEAVE:
        return HandleMouseLeave();
    case WM_LBUTTONDOWN:
        return HandleButtonDown(uMsg, wParam, lParam);
    case WM_LBUTTONDBLCLK:
        return HandleButtonDown(uMsg, wParam, lParam);
    case WM_LBUTTONUP:
        return HandleButtonUp(wParam, lParam);
    case WM_RBUTTONDOWN:
        return HandleRightButtonDown(wParam, lParam);
    case WM_CONTEXTMENU:
        return HandleContextMenu(lParam);
    case WM_MOUSEWHEEL:
        return HandleMouseWheel(wParam, lParam);
    case WM_KEYDOWN:
        return HandleKeyDown(wParam, lParam);
    case WM_KEYUP:
        return HandleKeyUp(wParam, lParam);
    case WM_CHAR:
        return HandleChar(wParam, lParam);
    case WM_COMMAND:
        return ReflectToChild(uMsg, wParam, lParam, lRes);
    case WM_CTLCOLOREDIT:
        return ReflectToChild(uMsg, wParam, lParam, lRes);
    case WM_CTLCOLORSTATIC:
        return ReflectToChild(uMsg, wParam, lParam, lRes);
    case WM_NOTIFY:
        return ReflectNotify(uMsg, wParam, lParam, lRes);
    case WM_KILLFOCUS:
        return HandleKillFocus(wParam);
    default:
        return false;
    }
}

// Message filters come first. A filter that takes a mouse message still moves
// the position the manager reports.
bool CPaintManagerUI::RunMessageFilters(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (!AskFilters(m_aMessageFilters, uMsg, wParam, lParam, lRes))
        return false;
    switch (uMsg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        m_ptLastMousePos = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        break;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL: {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_hWndPaint, &pt);
        m_ptLastMousePos = pt;
        break;
    }
    default:
        break;
    }
    return true;
}

// A layered window draws no frame of its own.
bool CPaintManagerUI::HandleLayeredFrame(UINT uMsg, WPARAM wParam, LRESULT& lRes)
{
    switch (uMsg) {
    case WM_NCACTIVATE:
        if (::IsIconic(m_hWndPaint))
            return false;
        lRes = (wParam == 0) ? TRUE : FALSE;
        return true;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        lRes = 0;
        return true;
    default:
        return false;
    }
}

bool CPaintManagerUI::HandleClose(WPARAM wParam, LPARAM lParam)
{
    if (m_pEventHover != nullptr) {
        CControlUI* hover = m_pEventHover;
        m_pEventHover = nullptr;
        SendMouseLeave(hover);
    }
    if (m_pEventClick != nullptr) {
        CControlUI* click = m_pEventClick;
        m_pEventClick = nullptr;
        TEventUI event = MakeEvent(UIEVENT_BUTTONUP, click, m_ptLastMousePos, wParam, lParam);
        click->Event(event);
    }
    // The window may survive the close (a handler cancels it): a capture
    // left behind would stop hover, cursors and context menus.
    if (m_bMouseCapture || ::GetCapture() == m_hWndPaint)
        ReleaseCapture();
    SetFocus(nullptr);
    if (::GetActiveWindow() == m_hWndPaint) {
        HWND next = ::GetWindowOwner(m_hWndPaint);
        if (next == nullptr && (::GetWindowLongPtrW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0)
            next = ::GetParent(m_hWndPaint);
        if (next != nullptr)
            ::SetFocus(next);
    }
    m_tooltip.Destroy();
    return false;
}

bool CPaintManagerUI::HandlePaint(LRESULT& lRes)
{
    Paint();
    lRes = 0;
    return true;
}

bool CPaintManagerUI::HandlePrintClient(WPARAM wParam, LPARAM lParam)
{
    if (m_pRoot == nullptr)
        return false;
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &rcClient);
    HDC hDC = reinterpret_cast<HDC>(wParam);
    const int saved = ::SaveDC(hDC);
    m_pRoot->Paint(hDC, rcClient, nullptr);
    if ((lParam & PRF_CHILDREN) != 0) {
        for (HWND child = ::GetWindow(m_hWndPaint, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rcPos = {0, 0, 0, 0};
            ::GetWindowRect(child, &rcPos);
            ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<POINT*>(&rcPos), 2);
            ::SetWindowOrgEx(hDC, -rcPos.left, -rcPos.top, nullptr);
            ::SendMessageW(child, WM_PRINT, wParam, lParam | PRF_NONCLIENT);
        }
    }
    ::RestoreDC(hDC, saved);
    return false;
}

bool CPaintManagerUI::HandleGetMinMaxInfo(LPARAM lParam)
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (m_szMinWindow.cx > 0)
        info->ptMinTrackSize.x = m_szMinWindow.cx;
    if (m_szMinWindow.cy > 0)
        info->ptMinTrackSize.y = m_szMinWindow.cy;
    if (m_szMaxWindow.cx > 0)
        info->ptMaxTrackSize.x = m_szMaxWindow.cx;
    if (m_szMaxWindow.cy > 0)
        info->ptMaxTrackSize.y = m_szMaxWindow.cy;
    return false;
}

bool CPaintManagerUI::HandleSize()
{
    if (m_pFocus != nullptr) {
        TEventUI event = MakeEvent(UIEVENT_WINDOWSIZE, m_pFocus, m_ptLastMousePos);
        m_pFocus->Event(event);
    }
    if (m_pRoot != nullptr)
        m_pRoot->NeedUpdate();
    if (m_bLayered)
        Invalidate();
    return false;
}

// The layered window's own paint timer, or a control's timer.
bool CPaintManagerUI::HandleTimer(WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (wParam == kLayeredUpdateTimerId) {
        if (m_bLayered && !::IsRectEmpty(&m_rcLayeredUpdate) && !::IsIconic(m_hWndPaint))
            Paint();
        lRes = 0;
        return true;
    }
    CControlUI* sender = nullptr;
    UINT localId = 0;
    if (m_timers.Find(m_hWndPaint, wParam, sender, localId)) {
        TEventUI event = MakeEvent(UIEVENT_TIMER, sender, m_ptLastMousePos, localId, lParam);
        sender->Event(event);
    }
    return false;
}

bool CPaintManagerUI::HandleMouseActivate(LRESULT& lRes)
{
    if (!m_bNoActivate)
        return false;
    lRes = MA_NOACTIVATE;
    return true;
}

bool CPaintManagerUI::HandleSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (LOWORD(lParam) != HTCLIENT)
        return false;
    if (m_bMouseCapture) {
        lRes = TRUE;
        return true;
    }
    POINT pt = {0, 0};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWndPaint, &pt);
    CControlUI* control = FindControl(pt);
    if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0)
        return false;
    TEventUI event = MakeEvent(UIEVENT_SETCURSOR, control, pt, wParam, lParam);
    event.wKeyState = CurrentKeyState();
    control->Event(event);
    lRes = TRUE;
    return true;
}

// The mouse left the window, or seems to: a leave that comes while the cursor
// is still over the client area (a child window took it) moves hover there.
bool CPaintManagerUI::HandleMouseLeave()
{
    HideTooltip();
    if (m_bMouseTracking) {
        POINT pt = {0, 0};
        RECT rcWnd = {0, 0, 0, 0};
        ::GetCursorPos(&pt);
        ::GetWindowRect(m_hWndPaint, &rcWnd);
        const bool inside = !::IsIconic(m_hWndPaint) && ::GetActiveWindow() == m_hWndPaint && ::PtInRect(&rcWnd, pt) &&
                            ::SendMessageW(m_hWndPaint, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLIENT;
        if (inside) {
            ::ScreenToClient(m_hWndPaint, &pt);
            ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        } else {
            ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
        }
    }
    m_bMouseTracking = false;
    return false;
}

bool CPaintManagerUI::HandleButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    // A double click leaves the focus where the first click put it.
    const bool doubleClick = uMsg == WM_LBUTTONDBLCLK;
    CControlUI* control = BeginPress(lParam, !doubleClick);
    if (control == nullptr)
        return false;
    SetCapture();
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TEventUI event = MakeEvent(doubleClick ? UIEVENT_DBLCLICK : UIEVENT_BUTTONDOWN, control, pt, wParam, lParam);
    event.wKeyState = static_cast<WORD>(wParam);
    control->Event(event);
    return false;
}

bool CPaintManagerUI::HandleButtonUp(WPARAM wParam, LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_ptLastMousePos = pt;
    if (m_pEventClick == nullptr)
        return false;
    ReleaseCapture();
    CControlUI* click = m_pEventClick;
    m_pEventClick = nullptr;
    TEventUI event = MakeEvent(UIEVENT_BUTTONUP, click, pt, wParam, lParam);
    event.wKeyState = static_cast<WORD>(wParam);
    click->Event(event);
    return false;
}

bool CPaintManagerUI::HandleRightButtonDown(WPARAM wParam, LPARAM lParam)
{
    // No capture: the right button's release is not followed.
    CControlUI* control = BeginPress(lParam, true);
    if (control == nullptr)
        return false;
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TEventUI event = MakeEvent(UIEVENT_RBUTTONDOWN, control, pt, wParam, lParam);
    event.wKeyState = static_cast<WORD>(wParam);
    control->Event(event);
    return false;
}

bool CPaintManagerUI::HandleContextMenu(LPARAM lParam)
{
    if (m_pRoot == nullptr || m_bMouseCapture)
        return false;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWndPaint, &pt);
    m_ptLastMousePos = pt;
    if (m_pEventClick == nullptr)
        return false;
    CControlUI* click = m_pEventClick;
    m_pEventClick = nullptr;
    TEventUI event = MakeEvent(UIEVENT_CONTEXTMENU, click, pt, reinterpret_cast<WPARAM>(click),
                               reinterpret_cast<LPARAM>(click));
    click->Event(event);
    return false;
}

bool CPaintManagerUI::HandleMouseWheel(WPARAM wParam, LPARAM lParam)
{
    if (m_pRoot == nullptr)
        return false;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWndPaint, &pt);
    m_ptLastMousePos = pt;
    CControlUI* control = FindControl(pt);
    if (control == nullptr || control->GetManager() != this)
        return false;
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    TEventUI event = MakeEvent(UIEVENT_SCROLLWHEEL, control, pt, delta < 0 ? 1 : 0, lParam);
    event.wKeyState = CurrentKeyState();
    control->Event(event);
    // Hover follows the content that moved under the mouse.
    ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
    return false;
}

bool CPaintManagerUI::HandleKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (m_pRoot == nullptr || m_pFocus == nullptr)
        return false;
    m_pEventKey = m_pFocus;
    SendKeyEvent(UIEVENT_KEYDOWN, m_pFocus, wParam, lParam);
    return false;
}

// The key up goes to the control that had the key down.
bool CPaintManagerUI::HandleKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (m_pRoot == nullptr || m_pEventKey == nullptr)
        return false;
    CControlUI* key = m_pEventKey;
    m_pEventKey = nullptr;
    SendKeyEvent(UIEVENT_KEYUP, key, wParam, lParam);
    return false;
}

bool CPaintManagerUI::HandleChar(WPARAM wParam, LPARAM lParam)
{
    if (m_pRoot == nullptr || m_pFocus == nullptr)
        return false;
    SendKeyEvent(UIEVENT_CHAR, m_pFocus, wParam, lParam);
    return false;
}

// Command and colour messages are reflected to the child window that sent them.
bool CPaintManagerUI::ReflectToChild(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (lParam == 0)
        return false;
    HWND child = reinterpret_cast<HWND>(lParam);
    lRes = ::SendMessageW(child, uMsg + kReflectOffset, wParam, lParam);
    return true;
}

bool CPaintManagerUI::ReflectNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) {
        lRes = 0;
        return true;
    }
    lRes = ::SendMessageW(header->hwndFrom, uMsg + kReflectOffset, wParam, lParam);
    return true;
}

// The focus went to a native child window: its control takes the focus too.
bool CPaintManagerUI::HandleKillFocus(WPARAM wParam)
{
    HWND focused = reinterpret_cast<HWND>(wParam);
    for (int i = 0; i < m_aNativeWindow.GetSize() && focused != nullptr; ++i) {
        HWND child = static_cast<HWND>(m_aNativeWindow[i]);
        if (child == focused || ::IsChild(child, focused)) {
            CControlUI* control = static_cast<CControlUI*>(m_aNativeWindowControl[i]);
            if (control != m_pFocus)
                SetFocus(control, false);
            break;
        }
    }
    return false;
}

// -- Pre-translation --

CControlUI* CALLBACK CPaintManagerUI::FindControlFromShortcut(CControlUI* pThis, LPVOID pData)
{
    if (!pThis->IsVisible())
        return nullptr;
    ShortcutSearch* search = static_cast<ShortcutSearch*>(pData);
    if (search->ch == static_cast<wchar_t>(towupper(pThis->GetShortcut())))
        search->bPickNext = true;
    if (wcsstr(pThis->GetClass(), L"Label") != nullptr)
        return nullptr; // a label's shortcut selects the control after it
    return search->bPickNext ? pThis : nullptr;
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    NoteAccessibleInput(uMsg);
    if (AskFilters(m_aPreMessageFilters, uMsg, wParam, lParam, lRes))
        return true;
    switch (uMsg) {
    case WM_KEYDOWN:
        return HandleTabKey(wParam);
    case WM_SYSCHAR:
        return HandleShortcut(wParam);
    case WM_SYSKEYDOWN:
        if (m_pFocus != nullptr)
            SendKeyEvent(UIEVENT_SYSKEY, m_pFocus, wParam, lParam);
        return false;
    default:
        return false;
    }
}

bool CPaintManagerUI::HandleTabKey(WPARAM wParam)
{
    if (wParam != VK_TAB)
        return false;
    // A control that wants tabs keeps them, except Ctrl+Tab.
    if (m_pFocus != nullptr && m_pFocus->IsVisible() && m_pFocus->IsEnabled() &&
        (m_pFocus->GetControlFlags() & UIFLAG_WANTTAB) != 0 && ::GetKeyState(VK_CONTROL) >= 0)
        return false;
    SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
    return true;
}

// Alt with a letter focuses and activates the control with that shortcut.
bool CPaintManagerUI::HandleShortcut(WPARAM wParam)
{
    if (m_pRoot == nullptr)
        return false;
    // In document order: "the control after a label" is the one that
    // follows it in the skin, which a top-first search would visit before it.
    ShortcutSearch search = {static_cast<wchar_t>(towupper(static_cast<wint_t>(wParam))), false};
    CControlUI* control = m_pRoot->FindControl(FindControlFromShortcut, &search, UIFIND_ENABLED | UIFIND_ME_FIRST);
    if (control == nullptr)
        return false;
    control->SetFocus();
    control->Activate();
    return true;
}

bool CPaintManagerUI::TranslateAccelerator(LPMSG pMsg)
{
    for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
        if (static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator[i])->TranslateAccelerator(pMsg) == 0)
            return true;
    }
    return false;
}

bool CPaintManagerUI::TranslateMessage(const LPMSG pMsg)
{
    const LONG_PTR style = ::GetWindowLongPtrW(pMsg->hwnd, GWL_STYLE);
    LRESULT lRes = 0;
    if ((style & WS_CHILD) != 0) {
        // A child window: every manager whose window is the child or one of its
        // ancestors may translate it, the most recently registered first.
        for (int i = m_aPaintManagers.GetSize() - 1; i >= 0; --i) {
            CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(m_aPaintManagers[i]);
            for (HWND wnd = pMsg->hwnd; wnd != nullptr; wnd = ::GetParent(wnd)) {
                if (wnd != manager->GetPaintWindow())
                    continue;
                if (manager->TranslateAccelerator(pMsg))
                    return true;
                manager->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
            }
        }
        return false;
    }
    for (int i = 0; i < m_aPaintManagers.GetSize(); ++i) {
        CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(m_aPaintManagers[i]);
        if (pMsg->hwnd != manager->GetPaintWindow())
            continue;
        if (manager->TranslateAccelerator(pMsg))
            return true;
        return manager->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
    }
    return false;
}

int CPaintManagerUI::MessageLoop()
{
    MSG msg = {};
    // GetMessage answers -1 on an error: that ends the loop too.
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

} // namespace Facet
