// CComboWnd: the drop-down window of CComboUI.
#include "ComboUIWnd.h"

#include <algorithm>
#include <vector>

#include "ComboUI.h"
#include "ScrollBarUI.h"

namespace Facet {

namespace {

CControlUI* CALLBACK CollectControl(CControlUI* control, LPVOID data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

// The monitor's work area around a point of the screen.
RECT WorkAreaAt(const RECT& rc)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    const HMONITOR monitor = ::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return work;
}

} // namespace

CComboWnd::CComboWnd()
    : m_pOwner(nullptr), m_pBody(nullptr), m_iOldSel(-1), m_bItemsReturned(false), m_nDepth(0), m_bDeletePending(false)
{
}

CComboWnd::~CComboWnd() = default;

const wchar_t* CComboWnd::GetWndClassName() const
{
    return L"ComboWnd";
}

UINT CComboWnd::GetClassStyle() const
{
    return CS_DBLCLKS;
}

CComboBodyUI* CComboWnd::GetBody() const
{
    return m_pBody;
}

CPaintManagerUI* CComboWnd::GetPaintManager()
{
    return &m_pm;
}

RECT CComboWnd::CalPos() const
{
    CPaintManagerUI* manager = m_pOwner->GetManager();
    const RECT owner = m_pOwner->GetPos();
    const SIZE dropBox = m_pOwner->GetDropBoxSize();

    // As tall as the rows need, at most the drop box height.
    const long width = dropBox.cx > 0 ? dropBox.cx : owner.right - owner.left;
    long needed = 2; // the border
    for (int i = 0; i < m_pOwner->GetCount(); ++i) {
        CControlUI* row = m_pOwner->GetItemAt(i);
        if (!row->IsVisible())
            continue;
        const SIZE estimate = row->EstimateSize(SIZE{width, dropBox.cy});
        needed += estimate.cy > 0 ? estimate.cy : row->GetFixedHeight();
    }
    long height = dropBox.cy > 0 ? (std::min)(needed, static_cast<long>(dropBox.cy)) : needed;
    if (height <= 2)
        height = (std::max)(static_cast<long>(dropBox.cy), 2L);

    POINT corners[2] = {{owner.left, owner.bottom}, {owner.left + width, owner.bottom + height}};
    ::MapWindowPoints(manager->GetPaintWindow(), HWND_DESKTOP, corners, 2);
    RECT rc = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    const RECT work = WorkAreaAt(rc);
    if (rc.bottom > work.bottom) {
        // No room below: open above the combo.
        POINT top = {owner.left, owner.top};
        ::MapWindowPoints(manager->GetPaintWindow(), HWND_DESKTOP, &top, 1);
        rc.bottom = top.y;
        rc.top = top.y - height;
    }
    return rc;
}

bool CComboWnd::Init(CComboUI* owner)
{
    ++m_nDepth;
    m_pOwner = owner;
    m_iOldSel = owner->GetCurSel();
    bool created = false;
    if (owner->GetManager() != nullptr && owner->GetManager()->GetPaintWindow() != nullptr) {
        const RECT rc = CalPos();
        created = Create(owner->GetManager()->GetPaintWindow(), nullptr, WS_POPUP | WS_BORDER,
                         WS_EX_TOOLWINDOW | WS_EX_TOPMOST, rc) != nullptr;
    }
    if (created && m_hWnd != nullptr) {
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::SetFocus(m_hWnd);
        // The owner's window keeps looking active while its pop-up is open.
        HWND top = owner->GetManager()->GetPaintWindow();
        while (::GetParent(top) != nullptr)
            top = ::GetParent(top);
        ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
        if (m_iOldSel >= 0)
            EnsureVisible(m_iOldSel);
    }
    --m_nDepth;
    if (!created || m_hWnd == nullptr || m_bDeletePending) {
        ReturnItems();
        delete this;
        return false;
    }
    return true;
}

void CComboWnd::CreateBody()
{
    m_pm.Init(m_hWnd);
    m_pBody = new CComboBodyUI(m_pOwner);
    m_pBody->SetManager(&m_pm, nullptr, true);
    m_pBody->SetBkColor(0xFFFFFFFF);
    m_pBody->SetAutoDestroy(false);
    m_pBody->EnableScrollBar(true, false);
    const CFacetString attributes = m_pOwner->GetDropBoxAttributeList();
    if (!attributes.IsEmpty())
        m_pBody->SetAttributeList(attributes);
    for (int i = 0; i < m_pOwner->GetCount(); ++i)
        m_pBody->Add(m_pOwner->GetItemAt(i));
    m_pm.AttachDialog(m_pBody);
}

void CComboWnd::EnsureVisible(int index)
{
    if (m_pBody == nullptr || m_pOwner == nullptr)
        return;
    CControlUI* row = m_pOwner->GetItemAt(index);
    if (row == nullptr || row->GetParent() != m_pBody)
        return;
    if (m_pBody->IsUpdateNeeded()) {
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        m_pBody->SetPos(client, false);
    }
    const RECT area = m_pBody->GetClientPos();
    const RECT pos = row->GetPos();
    long delta = 0;
    if (pos.top < area.top)
        delta = pos.top - area.top;
    else if (pos.bottom > area.bottom)
        delta = pos.bottom - area.bottom;
    if (delta != 0) {
        SIZE scroll = m_pBody->GetScrollPos();
        scroll.cy += delta;
        m_pBody->SetScrollPos(scroll);
    }
}

void CComboWnd::ReturnItems()
{
    if (m_bItemsReturned)
        return;
    m_bItemsReturned = true;
    if (m_pBody != nullptr) {
        // The pop-up's manager forgets every row (and what they hold) before
        // the rows leave: nothing of it may point at them afterwards.
        std::vector<CControlUI*> controls;
        for (int i = 0; i < m_pBody->GetCount(); ++i)
            m_pBody->GetItemAt(i)->FindControl(CollectControl, &controls, UIFIND_ALL);
        for (CControlUI* control : controls)
            m_pm.ReapObjects(control);
        m_pBody->RemoveAll();
    }
    CComboUI* owner = m_pOwner;
    m_pOwner = nullptr;
    if (owner != nullptr) {
        // The rows go back to the owner's manager, with the owner as parent.
        owner->SetManager(owner->GetManager(), owner->GetParent(), false);
        owner->DropDownClosed();
    }
}

void CComboWnd::OwnerDestroyed()
{
    ReturnItems();
    if (m_hWnd == nullptr)
        return;
    if (m_nDepth > 0) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    } else {
        ::DestroyWindow(m_hWnd); // deletes this object
    }
}

LRESULT CComboWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    ++m_nDepth;
    const LRESULT lRes = Dispatch(uMsg, wParam, lParam);
    if (--m_nDepth == 0 && m_bDeletePending)
        delete this;
    return lRes;
}

LRESULT CComboWnd::Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lRes = 0;
    switch (uMsg) {
    case WM_CREATE:
        if (m_pOwner != nullptr)
            CreateBody();
        return 0;
    case WM_CLOSE:
        // The manager ends hover and click on the rows and hands the focus
        // back to the owner's window while the rows are still here.
        m_pm.MessageHandler(uMsg, wParam, lParam, lRes);
        ReturnItems();
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    case WM_DESTROY:
        ReturnItems();
        break;
    case WM_LBUTTONUP: {
        m_pm.MessageHandler(uMsg, wParam, lParam, lRes);
        // A click on a row ends the choice; one on the scroll bar does not.
        const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        CControlUI* control = m_pm.FindControl(pt);
        if (control != nullptr && control->GetInterface(L"ScrollBar") == nullptr)
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return lRes;
    }
    case WM_KEYDOWN:
        if (m_pOwner == nullptr)
            return 0;
        if (wParam == VK_ESCAPE) {
            m_pOwner->SelectItem(m_iOldSel, true);
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        } else if (wParam == VK_RETURN) {
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        } else {
            TEventUI event = {};
            event.Type = UIEVENT_KEYDOWN;
            event.pSender = m_pOwner;
            event.chKey = static_cast<WCHAR>(wParam);
            event.dwTimestamp = ::GetTickCount();
            m_pOwner->DoEvent(event);
        }
        return 0;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != m_hWnd)
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes))
        return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CComboWnd::OnFinalMessage(HWND /*hWnd*/)
{
    ReturnItems();
    if (m_nDepth > 0)
        m_bDeletePending = true;
    else
        delete this;
}

} // namespace Facet
