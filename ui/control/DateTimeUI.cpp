// CDateTimeUI and its native picker window CDateTimeWnd.
#include "DateTimeUI.h"

#include <windows.h>

#include <commctrl.h>
#include <cstdio>
#include <cwchar>

#include "../core/PaintManager.h"
#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

namespace {

// Child notifications come back to the child under their number plus this
// offset (the paint manager reflects them).
const UINT kReflectedNotify = WM_NOTIFY + 0x2000;

} // namespace

// -- CDateTimeUI --

CDateTimeUI::CDateTimeUI() : m_sysTime{}, m_bReadOnly(false), m_pWindow(nullptr)
{
    ::GetLocalTime(&m_sysTime);
    m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
    CLabelUI::SetText(FormatDate(m_sysTime).GetData());
}

CDateTimeUI::~CDateTimeUI()
{
    ClosePicker();
}

const wchar_t* CDateTimeUI::GetClass() const
{
    return L"DateTime";
}

LPVOID CDateTimeUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"DateTime") == 0)
        return static_cast<CDateTimeUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CDateTimeUI::GetControlFlags() const
{
    return IsEnabled() ? UIFLAG_TABSTOP : 0;
}

HWND CDateTimeUI::GetNativeWindow() const
{
    return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr;
}

const SYSTEMTIME& CDateTimeUI::GetTime() const
{
    return m_sysTime;
}

void CDateTimeUI::SetTime(const SYSTEMTIME& time)
{
    m_sysTime = time;
    SetText(FormatDate(m_sysTime).GetData());
    Invalidate();
}

bool CDateTimeUI::IsReadOnly() const
{
    return m_bReadOnly;
}

void CDateTimeUI::SetReadOnly(bool readOnly)
{
    m_bReadOnly = readOnly;
    if (readOnly)
        ClosePicker();
}

CFacetString CDateTimeUI::FormatDate(const SYSTEMTIME& time)
{
    wchar_t text[32] = {};
    swprintf(text, sizeof(text) / sizeof(text[0]), L"%04u-%02u-%02u", static_cast<unsigned>(time.wYear),
             static_cast<unsigned>(time.wMonth), static_cast<unsigned>(time.wDay));
    return CFacetString(text);
}

void CDateTimeUI::SetPos(RECT rc, bool needInvalidate)
{
    CLabelUI::SetPos(rc, needInvalidate);
    if (m_pWindow != nullptr) {
        ::SetWindowPos(m_pWindow->GetHWND(), nullptr, m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                       m_rcItem.bottom - m_rcItem.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CDateTimeUI::SetVisible(bool visible)
{
    CLabelUI::SetVisible(visible);
    if (!IsVisible())
        ClosePicker();
}

void CDateTimeUI::SetEnabled(bool enabled)
{
    CLabelUI::SetEnabled(enabled);
    if (!enabled)
        ClosePicker();
}

void CDateTimeUI::OpenPicker()
{
    if (m_pWindow != nullptr || m_pManager == nullptr)
        return;
    m_pWindow = new CDateTimeWnd();
    // A failed Init deletes the window object and clears m_pWindow.
    m_pWindow->Init(this);
}

void CDateTimeUI::ClosePicker()
{
    if (m_pWindow == nullptr)
        return;
    CDateTimeWnd* window = m_pWindow;
    m_pWindow = nullptr;
    window->OwnerDestroyed();
}

void CDateTimeUI::DoEvent(TEventUI& event)
{
    const bool mouseEvent = event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND;
    if (!IsMouseEnabled() && mouseEvent) {
        CLabelUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && !m_bReadOnly && PtInRect(&m_rcItem, event.ptMouse)) {
            OpenPicker();
            return;
        }
        break;
    case UIEVENT_KEYDOWN:
        if (IsEnabled() && !m_bReadOnly && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            OpenPicker();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

const CControlAttributeTable& CDateTimeUI::GetAttributeTable() const
{
    using C = CDateTimeUI;
    static const TAttribute<CDateTimeUI> kAttributes[] = {
        {L"readonly", kValueFlag, [](C& c, const wchar_t* v) { c.SetReadOnly(IsTrue(v)); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CLabelUI::GetAttributeTable());
    return table;
}

// -- CDateTimeWnd --

CDateTimeWnd::CDateTimeWnd() : m_pOwner(nullptr), m_bClosing(false), m_bInInit(false)
{
}

CDateTimeWnd::~CDateTimeWnd() = default;

const wchar_t* CDateTimeWnd::GetWndClassName() const
{
    return L"DateTimeWnd";
}

const wchar_t* CDateTimeWnd::GetSuperClassName() const
{
    return DATETIMEPICK_CLASSW;
}

bool CDateTimeWnd::Init(CDateTimeUI* owner)
{
    m_pOwner = owner;
    m_bInInit = true;
    CPaintManagerUI* manager = owner != nullptr ? owner->GetManager() : nullptr;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);
    const bool created = manager != nullptr && manager->GetPaintWindow() != nullptr &&
                         Create(manager->GetPaintWindow(), nullptr, WS_CHILD | DTS_SHORTDATEFORMAT, 0,
                                owner->GetPos()) != nullptr;
    m_bInInit = false;
    if (!created) {
        // A window that failed during creation has had its final message,
        // which left the deletion to this point.
        if (m_pOwner != nullptr && m_pOwner->m_pWindow == this)
            m_pOwner->m_pWindow = nullptr;
        delete this;
        return false;
    }
    const HFONT font = manager->GetFont(owner->GetFont());
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SYSTEMTIME time = owner->GetTime();
    ::SendMessageW(m_hWnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    // Registered before it takes the focus, so the manager keeps the owner
    // focused while the picker has the platform focus.
    manager->AddNativeWindow(owner, m_hWnd);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    return true;
}

void CDateTimeWnd::OwnerDestroyed()
{
    if (m_pOwner != nullptr) {
        if (CPaintManagerUI* manager = m_pOwner->GetManager())
            manager->RemoveNativeWindow(m_hWnd);
    }
    m_pOwner = nullptr;
    // Destroying the window ends with OnFinalMessage, which deletes this.
    ::DestroyWindow(m_hWnd);
}

void CDateTimeWnd::Commit()
{
    if (m_pOwner == nullptr || m_hWnd == nullptr)
        return;
    SYSTEMTIME time = {};
    if (::SendMessageW(m_hWnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        return;
    const SYSTEMTIME& current = m_pOwner->GetTime();
    if (time.wYear == current.wYear && time.wMonth == current.wMonth && time.wDay == current.wDay)
        return;
    // Only the date is picked: the owner keeps its time of day.
    SYSTEMTIME updated = current;
    updated.wYear = time.wYear;
    updated.wMonth = time.wMonth;
    updated.wDay = time.wDay;
    updated.wDayOfWeek = time.wDayOfWeek;
    m_pOwner->SetTime(updated);
}

bool CDateTimeWnd::OwnsWindow(HWND focused) const
{
    if (focused == nullptr)
        return false;
    if (focused == m_hWnd || ::IsChild(m_hWnd, focused))
        return true;
    // The drop-down calendar is a pop-up owned by the picker.
    for (HWND owner = ::GetWindow(focused, GW_OWNER); owner != nullptr; owner = ::GetWindow(owner, GW_OWNER)) {
        if (owner == m_hWnd)
            return true;
    }
    return false;
}

LRESULT CDateTimeWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case kReflectedNotify: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->code == DTN_DATETIMECHANGE)
            Commit();
        return 0;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
        if (!m_bClosing && !OwnsWindow(reinterpret_cast<HWND>(wParam))) {
            // Closed from the queue: the platform is still inside the focus
            // change of this window.
            m_bClosing = true;
            Commit();
            PostMessageW(WM_CLOSE);
        }
        return result;
    }
    case WM_CLOSE:
        Commit();
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CDateTimeWnd::OnFinalMessage(HWND hWnd)
{
    if (m_pOwner != nullptr) {
        if (CPaintManagerUI* manager = m_pOwner->GetManager())
            manager->RemoveNativeWindow(hWnd);
        if (m_pOwner->m_pWindow == this)
            m_pOwner->m_pWindow = nullptr;
        m_pOwner->Invalidate();
        m_pOwner = nullptr;
    }
    if (!m_bInInit)
        delete this;
}

} // namespace Facet
