#include "HoverTooltip.h"

namespace Facet {

CHoverTooltip::CHoverTooltip()
{
    ZeroMemory(&m_info, sizeof(m_info));
}

CHoverTooltip::~CHoverTooltip()
{
    Destroy();
}

DWORD CHoverTooltip::HoverDelay(int fallback) const
{
    return m_hWnd == nullptr ? static_cast<DWORD>(fallback)
                             : static_cast<DWORD>(::SendMessageW(m_hWnd, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
}

void CHoverTooltip::SetMaxWidth(int width)
{
    if (m_hWnd != nullptr)
        ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, width);
}

bool CHoverTooltip::Create(HWND hOwner, HINSTANCE hInstance, int width)
{
    // The common controls start with the first tooltip, not with the first
    // window: a window that shows none never loads them (a program that loads
    // them on demand paints its first window sooner).
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_hWnd = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hOwner, nullptr, hInstance, nullptr);
    if (m_hWnd == nullptr)
        return false;
    ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_info));
    ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, width);
    m_iLastWidth = width;
    return true;
}

bool CHoverTooltip::Show(HWND hOwner, HINSTANCE hInstance, const CFacetString& text, const RECT& rcTool, int width,
                         POINT pt)
{
    m_sText = text;
    ZeroMemory(&m_info, sizeof(m_info));
    m_info.cbSize = sizeof(m_info);
    m_info.uFlags = TTF_IDISHWND;
    m_info.hwnd = hOwner;
    m_info.uId = reinterpret_cast<UINT_PTR>(hOwner);
    m_info.hinst = hInstance;
    m_info.lpszText = const_cast<wchar_t*>(m_sText.GetData());
    m_info.rect = rcTool;
    if (m_hWnd == nullptr) {
        if (!Create(hOwner, hInstance, width))
            return false;
    } else if (m_iLastWidth != width) {
        ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, width);
        m_iLastWidth = width;
    }
    ::SendMessageW(m_hWnd, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_info));
    ::SendMessageW(m_hWnd, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_info));
    POINT screen = pt;
    ::ClientToScreen(hOwner, &screen);
    ::SendMessageW(m_hWnd, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    return true;
}

void CHoverTooltip::Hide()
{
    if (m_hWnd != nullptr)
        ::SendMessageW(m_hWnd, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_info));
}

void CHoverTooltip::Destroy()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

} // namespace Facet
