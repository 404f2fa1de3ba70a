// The records and interfaces through which the paint manager talks to controls
// and listeners: input events, named notifications, message filters.
#pragma once

#include <windows.h>

#include "FacetString.h"

namespace Facet {

class CControlUI;

// Input event types. Key events are 3 to 6 and mouse events 9 to 18, so a
// control can test a range (UIEVENT__KEYBEGIN < type < UIEVENT__KEYEND).
enum UIEventType {
    UIEVENT__FIRST = 1,
    UIEVENT__KEYBEGIN = 2,
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT__KEYEND = 7,
    UIEVENT__MOUSEBEGIN = 8,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_DBLCLICK = 16,
    UIEVENT_CONTEXTMENU = 17,
    UIEVENT_SCROLLWHEEL = 18,
    UIEVENT__MOUSEEND = 19,
    UIEVENT_KILLFOCUS = 20,
    UIEVENT_SETFOCUS = 21,
    UIEVENT_WINDOWSIZE = 22,
    UIEVENT_SETCURSOR = 23,
    UIEVENT_TIMER = 24,
    UIEVENT__LAST = 25,
};

// Key-state bits of TEventUI::wKeyState.
enum UIKeyState {
    UIKEYSTATE_LBUTTON = 0x01,
    UIKEYSTATE_RBUTTON = 0x02,
    UIKEYSTATE_SHIFT = 0x04,
    UIKEYSTATE_CONTROL = 0x08,
    UIKEYSTATE_ALT = 0x20,
};

// Control flags (CControlUI::GetControlFlags).
enum UIControlFlag {
    UIFLAG_TABSTOP = 0x1,
    UIFLAG_SETCURSOR = 0x2,
    // While focused, the control takes the Tab key itself (Ctrl+Tab still
    // moves the focus on, so the keyboard can always leave it).
    UIFLAG_WANTTAB = 0x4,
};

// Bits of a control's interaction state (buttons, options, sliders, list
// header items and combo boxes keep theirs in these).
enum UIButtonState : UINT {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    UISTATE_CAPTURED = 0x40,
};

// Tree search flags (CControlUI::FindControl).
enum UIFindFlag : unsigned int {
    UIFIND_ALL = 0x0,
    UIFIND_VISIBLE = 0x1,
    UIFIND_ENABLED = 0x2,
    UIFIND_HITTEST = 0x4,
    UIFIND_UPDATETEST = 0x8,
    UIFIND_TOP_FIRST = 0x10,
    UIFIND_ME_FIRST = 0x80000000u,
};

// The message the paint manager posts to itself to deliver queued notifications
// and destroy controls whose clean-up was delayed.
const UINT WM_FACET_ASYNC_NOTIFY = 0x8001;

// An input event for one control.
typedef struct tagTEventUI
{
    int Type;
    CControlUI* pSender;
    DWORD dwTimestamp;
    POINT ptMouse;
    WCHAR chKey;
    WORD wKeyState;
    WPARAM wParam;
    LPARAM lParam;
} TEventUI;

// A named notification raised by a control ("click", "selectchanged", ...).
typedef struct tagTNotifyUI
{
    CFacetString sType;
    CFacetString sVirtualWnd;
    CControlUI* pSender;
    DWORD dwTimestamp;
    POINT ptMouse;
    WPARAM wParam;
    LPARAM lParam;
} TNotifyUI;

class INotifyUI
{
public:
    virtual void Notify(TNotifyUI& msg) = 0;

protected:
    ~INotifyUI() = default;
};

class IMessageFilterUI
{
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

class ITranslateAccelerator
{
public:
    // 0 means the message was translated (and is swallowed).
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

// Shows the wait cursor for its lifetime.
class CWaitCursor
{
public:
    CWaitCursor() : m_hOrigCursor(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hOrigCursor); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hOrigCursor;
};

} // namespace Facet
