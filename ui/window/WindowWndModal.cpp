// The modal message loop of CWindowWnd. It lives apart from the rest of the
// class because it is the one part that needs the paint manager's message
// pre-translation.
#include "WindowWnd.h"

#include "../core/PaintManager.h"

namespace Facet {

namespace {

// Gives the owner back its input; a window without owner has nothing to give.
void ReleaseOwner(HWND hWndOwner)
{
    if (hWndOwner != nullptr) {
        ::EnableWindow(hWndOwner, TRUE);
        ::SetFocus(hWndOwner);
    }
}

} // namespace

UINT CWindowWnd::ShowModal()
{
    // The window's final message may delete this object while the loop runs,
    // so everything the loop needs is copied out of it first.
    const HWND hWnd = m_hWnd;
    const HWND hWndOwner = ::GetWindow(hWnd, GW_OWNER);
    UINT nRet = 0;

    ::ShowWindow(hWnd, SW_SHOWNORMAL);
    if (hWndOwner != nullptr) {
        ::EnableWindow(hWndOwner, FALSE);
    }

    MSG msg = {};
    // GetMessageW answers 0 for the quit message (which stays in `msg`) and
    // -1 on failure: both end the loop.
    while (::IsWindow(hWnd) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE && msg.hwnd == hWnd) {
            nRet = static_cast<UINT>(msg.wParam);
            ReleaseOwner(hWndOwner);
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    ReleaseOwner(hWndOwner);
    if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    }
    return nRet;
}

} // namespace Facet
