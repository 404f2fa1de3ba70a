#include "WindowWnd.h"

#include "../core/PaintManager.h"

namespace Facet {

namespace {

// The window property that binds a superclassed window to its object.
const wchar_t kObjectProperty[] = L"WndX";

// The object named by the creation parameters of a non-client create message.
CWindowWnd* ObjectFromCreateParams(LPARAM lParam)
{
    const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    return create != nullptr ? static_cast<CWindowWnd*>(create->lpCreateParams) : nullptr;
}

// An icon size rounded up to a multiple of 16.
int RoundedIconSize(int metric)
{
    return (::GetSystemMetrics(metric) + 15) & ~15;
}

} // namespace

CWindowWnd::CWindowWnd() : m_hWnd(nullptr), m_OldWndProc(::DefWindowProcW), m_bSubclassed(false)
{
}

CWindowWnd::~CWindowWnd() = default;

HWND CWindowWnd::GetHWND() const
{
    return m_hWnd;
}

CWindowWnd::operator HWND() const
{
    return m_hWnd;
}

const wchar_t* CWindowWnd::GetSuperClassName() const
{
    return nullptr;
}

UINT CWindowWnd::GetClassStyle() const
{
    return 0;
}

bool CWindowWnd::RegisterWindowClass()
{
    // No extra bytes, icon, background brush or menu.
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::WindowProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWndClassName();
    const ATOM atom = ::RegisterClassW(&wc);
    return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(CPaintManagerUI::GetInstance(), GetSuperClassName(), &wc)) {
        return false;
    }
    m_OldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::ControlProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.lpszClassName = GetWndClassName();
    const ATOM atom = ::RegisterClassExW(&wc);
    return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y, int cx,
                        int cy, HMENU hMenu)
{
    if (GetSuperClassName() != nullptr && !RegisterSuperclass()) {
        return nullptr;
    }
    if (GetSuperClassName() == nullptr && !RegisterWindowClass()) {
        return nullptr;
    }
    const HWND hWnd = ::CreateWindowExW(dwExStyle, GetWndClassName(), pstrName, dwStyle, x, y, cx, cy, hwndParent,
                                        hMenu, CPaintManagerUI::GetInstance(), this);
    // A window that fails during creation has already had its final message,
    // which may have deleted this object: only a live window is stored.
    if (hWnd == nullptr) {
        return nullptr;
    }
    m_hWnd = hWnd;
    return hWnd;
}

HWND CWindowWnd::Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT rc,
                        HMENU hMenu)
{
    return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                  hMenu);
}

HWND CWindowWnd::CreateFacetWindow(HWND hwndParent, const wchar_t* pstrWindowName, DWORD dwStyle, DWORD dwExStyle)
{
    return Create(hwndParent, pstrWindowName, dwStyle, dwExStyle, 0, 0, 0, 0, nullptr);
}

HWND CWindowWnd::Subclass(HWND hWnd)
{
    const WNDPROC previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CWindowWnd::WindowProc)));
    if (previous == nullptr) {
        return nullptr;
    }
    m_OldWndProc = previous;
    m_bSubclassed = true;
    m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_hWnd;
}

void CWindowWnd::Unsubclass()
{
    if (!::IsWindow(m_hWnd) || !m_bSubclassed) {
        return;
    }
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    m_OldWndProc = ::DefWindowProcW;
    m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus)
{
    if (!::IsWindow(m_hWnd)) {
        return;
    }
    ::ShowWindow(m_hWnd, bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CWindowWnd::Close(UINT nRet)
{
    if (!::IsWindow(m_hWnd)) {
        return;
    }
    ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(nRet), 0);
}

POINT CWindowWnd::CenteredPosition(const RECT& window, const RECT& workArea, const RECT& centreArea)
{
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    // Integer division truncates toward zero, also for areas left of or above
    // the primary monitor.
    POINT pt = {(centreArea.left + centreArea.right) / 2 - width / 2,
                (centreArea.top + centreArea.bottom) / 2 - height / 2};
    if (pt.x < workArea.left) {
        pt.x = workArea.left;
    } else if (pt.x + width > workArea.right) {
        pt.x = workArea.right - width;
    }
    if (pt.y < workArea.top) {
        pt.y = workArea.top;
    } else if (pt.y + height > workArea.bottom) {
        pt.y = workArea.bottom - height;
    }
    return pt;
}

void CWindowWnd::CenterWindow()
{
    RECT rcWindow = {};
    if (!::GetWindowRect(m_hWnd, &rcWindow)) {
        return;
    }
    const HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    const HWND hWndReference = hWndOwner != nullptr ? hWndOwner : m_hWnd;

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(hWndReference, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    RECT rcCentre = monitor.rcWork;
    if (hWndOwner != nullptr && !::IsIconic(hWndOwner)) {
        ::GetWindowRect(hWndOwner, &rcCentre);
    }
    const POINT pt = CenteredPosition(rcWindow, monitor.rcWork, rcCentre);
    ::SetWindowPos(m_hWnd, nullptr, pt.x, pt.y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT nRes)
{
    const HINSTANCE instance = CPaintManagerUI::GetInstance();
    HICON hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(nRes), IMAGE_ICON,
                                                  RoundedIconSize(SM_CXICON), RoundedIconSize(SM_CYICON),
                                                  LR_DEFAULTCOLOR));
    SendMessageW(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
    hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(nRes), IMAGE_ICON, RoundedIconSize(SM_CXSMICON),
                                            RoundedIconSize(SM_CYSMICON), LR_DEFAULTCOLOR));
    SendMessageW(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

LRESULT CWindowWnd::SendMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::ResizeClient(int cx, int cy)
{
    RECT rc = {};
    if (!::GetClientRect(m_hWnd, &rc)) {
        return;
    }
    if (cx != -1) {
        rc.right = cx;
    }
    if (cy != -1) {
        rc.bottom = cy;
    }
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    // A child window's menu slot holds its identifier, not a menu.
    const BOOL hasMenu = (style & WS_CHILD) == 0 && ::GetMenu(m_hWnd) != nullptr;
    if (!::AdjustWindowRectEx(&rc, style, hasMenu, exStyle)) {
        return;
    }
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_OldWndProc, m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND /*hWnd*/)
{
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* pThis = nullptr;
    if (uMsg == WM_NCCREATE) {
        pThis = ObjectFromCreateParams(lParam);
        if (pThis != nullptr) {
            pThis->m_hWnd = hWnd;
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pThis));
        }
    } else {
        pThis = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (uMsg == WM_NCDESTROY && pThis != nullptr) {
            const LRESULT lRes = ::CallWindowProcW(pThis->m_OldWndProc, hWnd, uMsg, wParam, lParam);
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
            if (pThis->m_bSubclassed) {
                pThis->Unsubclass();
            }
            pThis->m_hWnd = nullptr;
            // The object may be deleted here: nothing of it is touched after.
            pThis->OnFinalMessage(hWnd);
            return lRes;
        }
    }
    if (pThis != nullptr) {
        return pThis->HandleMessage(uMsg, wParam, lParam);
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* pThis = nullptr;
    if (uMsg == WM_NCCREATE) {
        pThis = ObjectFromCreateParams(lParam);
        if (pThis != nullptr) {
            ::SetPropW(hWnd, kObjectProperty, static_cast<HANDLE>(pThis));
            pThis->m_hWnd = hWnd;
        }
    } else {
        pThis = static_cast<CWindowWnd*>(::GetPropW(hWnd, kObjectProperty));
        if (uMsg == WM_NCDESTROY && pThis != nullptr) {
            const LRESULT lRes = ::CallWindowProcW(pThis->m_OldWndProc, hWnd, uMsg, wParam, lParam);
            if (pThis->m_bSubclassed) {
                pThis->Unsubclass();
            }
            // Removed, not only cleared: a window must take its properties
            // away before it is gone.
            ::RemovePropW(hWnd, kObjectProperty);
            pThis->m_hWnd = nullptr;
            // The object may be deleted here: nothing of it is touched after.
            pThis->OnFinalMessage(hWnd);
            return lRes;
        }
    }
    if (pThis != nullptr) {
        return pThis->HandleMessage(uMsg, wParam, lParam);
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

} // namespace Facet
