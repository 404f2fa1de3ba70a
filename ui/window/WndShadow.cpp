// The shadow window's life: class registration, the registry of shadows, the
// subclassed parent's messages, the setters and the redraw onto the layered
// window. The pixels themselves are made in WndShadowBitmap.cpp.
#include "WndShadow.h"

#include "../render/GdiObjects.h"
#include "../render/RenderEngine.h"

namespace Facet {

namespace {

const wchar_t kShadowClassName[] = L"FacetShadowWnd";

// The parent's procedure from before it was subclassed, kept on the parent
// itself: the hook stays in the parent's chain when another procedure was
// installed over it after the shadow, and then still has to pass messages on
// after the shadow object is gone.
const wchar_t kPreviousProcProperty[] = L"FacetShadowParentProc";

struct ShadowEntry
{
    HWND hParent;
    CWndShadow* pShadow;
};

const ShadowEntry* EntryAt(const CFacetValArray& registry, int index)
{
    return static_cast<const ShadowEntry*>(registry.GetAt(index));
}

HWND InvalidWindow()
{
    return reinterpret_cast<HWND>(INVALID_HANDLE_VALUE);
}

} // namespace

CWndShadow::UpdateLayeredWindowProc CWndShadow::s_UpdateLayeredWindow = nullptr;
HINSTANCE CWndShadow::s_hInstance = nullptr;
CFacetValArray CWndShadow::s_Shadowmap(sizeof(ShadowEntry), 10);

CWndShadow::CWndShadow()
    : m_hWnd(InvalidWindow()),
      m_OriParentProc(nullptr),
      m_Status(0),
      m_nDarkness(150),
      m_nSharpness(5),
      m_nSize(0),
      m_nxOffset(5),
      m_nyOffset(5),
      m_WndSize(0),
      m_bUpdate(FALSE),
      m_Color(RGB(0, 0, 0)),
      m_pImageInfo(nullptr),
      m_rcImageMargin{0, 0, 0, 0},
      m_rcImageCorner{0, 0, 0, 0}
{
}

CWndShadow::~CWndShadow()
{
    Detach();
    if (m_hWnd != InvalidWindow() && ::IsWindow(m_hWnd))
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    if (m_pImageInfo != nullptr)
        CRenderEngine::FreeImage(m_pImageInfo);
}

bool CWndShadow::Initialize(HINSTANCE hInstance)
{
    if (s_UpdateLayeredWindow != nullptr)
        return false;
    HMODULE user32 = ::GetModuleHandleW(L"USER32.DLL");
    if (user32 == nullptr)
        return false;
    s_UpdateLayeredWindow = reinterpret_cast<UpdateLayeredWindowProc>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "UpdateLayeredWindow")));
    if (s_UpdateLayeredWindow == nullptr)
        return false;

    s_hInstance = hInstance;
    WNDCLASSEXW wcex = {};
    wcex.cbSize = sizeof(wcex);
    wcex.style = CS_HREDRAW | CS_VREDRAW;
    wcex.lpfnWndProc = ShadowProc;
    wcex.hInstance = hInstance;
    wcex.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wcex.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wcex.lpszClassName = kShadowClassName;
    ::RegisterClassExW(&wcex);
    return true;
}

void CWndShadow::Create(HWND hParentWnd)
{
    if (s_UpdateLayeredWindow == nullptr || hParentWnd == nullptr || !::IsWindow(hParentWnd))
        return;
    // One shadow per parent, and one parent per shadow: a second hook on the
    // same parent would call itself as its own previous procedure.
    if ((m_hWnd != InvalidWindow() && ::IsWindow(m_hWnd)) || FindShadowWindow(hParentWnd) != nullptr)
        return;
    for (int i = 0; i < s_Shadowmap.GetSize(); ++i) {
        if (EntryAt(s_Shadowmap, i)->pShadow == this)
            return;
    }

    const ShadowEntry entry = {hParentWnd, this};
    if (!s_Shadowmap.Add(&entry))
        return;
    m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr, WS_POPUPWINDOW,
                               CW_USEDEFAULT, 0, 0, 0, hParentWnd, nullptr, s_hInstance, nullptr);
    if (m_hWnd == nullptr) {
        m_hWnd = InvalidWindow();
        s_Shadowmap.Remove(GetShadowWindowIndex(hParentWnd));
        return;
    }

    // The size to compare the parent's next size message with: its size now,
    // so that a first shrink is redrawn at once like any later one.
    RECT client = {};
    ::GetClientRect(hParentWnd, &client);
    m_WndSize = static_cast<DWORD>(MAKELONG(client.right - client.left, client.bottom - client.top));

    const LONG style = ::GetWindowLongW(hParentWnd, GWL_STYLE);
    if ((style & WS_VISIBLE) == 0) {
        m_Status = SS_ENABLED;
    } else if ((style & (WS_MAXIMIZE | WS_MINIMIZE)) != 0) {
        m_Status = SS_ENABLED | SS_PARENTVISIBLE;
    } else {
        m_Status = SS_ENABLED | SS_VISIBLE | SS_PARENTVISIBLE;
        ::ShowWindow(m_hWnd, SW_SHOWNA);
        Update(hParentWnd);
    }

    // A hook of an earlier shadow that could not be taken out again still sits
    // in the parent's chain: it serves this shadow too.
    if (HANDLE saved = ::GetPropW(hParentWnd, kPreviousProcProperty)) {
        m_OriParentProc = reinterpret_cast<WNDPROC>(saved);
        return;
    }
    m_OriParentProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hParentWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc)));
    ::SetPropW(hParentWnd, kPreviousProcProperty, reinterpret_cast<HANDLE>(m_OriParentProc));
}

void CWndShadow::Detach()
{
    for (int i = s_Shadowmap.GetSize() - 1; i >= 0; --i) {
        const ShadowEntry entry = *EntryAt(s_Shadowmap, i);
        if (entry.pShadow != this)
            continue;
        s_Shadowmap.Remove(i);
        const HWND hParent = entry.hParent;
        if (!::IsWindow(hParent) || ::GetPropW(hParent, kPreviousProcProperty) == nullptr)
            continue;
        // Only the top of the chain can be taken out; otherwise the hook stays
        // and passes every message on through the saved procedure.
        const WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hParent, GWLP_WNDPROC));
        if (current == ParentProc) {
            ::SetWindowLongPtrW(hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriParentProc));
            ::RemovePropW(hParent, kPreviousProcProperty);
        }
    }
    m_Status = 0;
    m_bUpdate = FALSE;
}

bool CWndShadow::SetSize(int nSize)
{
    if (nSize < -128 || nSize > 127)
        return false;
    m_nSize = static_cast<signed char>(nSize);
    RedrawIfVisible();
    return true;
}

bool CWndShadow::SetSharpness(unsigned int nSharpness)
{
    if (nSharpness > 20)
        return false;
    m_nSharpness = static_cast<unsigned char>(nSharpness);
    RedrawIfVisible();
    return true;
}

bool CWndShadow::SetDarkness(unsigned int nDarkness)
{
    if (nDarkness > 255)
        return false;
    m_nDarkness = static_cast<unsigned char>(nDarkness);
    RedrawIfVisible();
    return true;
}

bool CWndShadow::SetPosition(int nXOffset, int nYOffset)
{
    if (nXOffset < -20 || nXOffset > 20 || nYOffset < -20 || nYOffset > 20)
        return false;
    m_nxOffset = static_cast<signed char>(nXOffset);
    m_nyOffset = static_cast<signed char>(nYOffset);
    RedrawIfVisible();
    return true;
}

bool CWndShadow::SetColor(COLORREF color)
{
    m_Color = color;
    RedrawIfVisible();
    return true;
}

bool CWndShadow::SetImage(const wchar_t* szImage, RECT rcMargin, RECT rcCorner)
{
    if (szImage == nullptr || *szImage == L'\0')
        return false;
    TImageInfo* image = CRenderEngine::LoadImage(STRINGorID(szImage));
    if (image == nullptr)
        return false;
    if (m_pImageInfo != nullptr)
        CRenderEngine::FreeImage(m_pImageInfo);
    m_pImageInfo = image;
    m_rcImageMargin = rcMargin;
    m_rcImageCorner = rcCorner;
    RedrawIfVisible();
    return true;
}

bool CWndShadow::SetCorner(RECT rcCorner)
{
    m_rcImageMargin = rcCorner;
    return true;
}

HWND CWndShadow::GetHWND() const
{
    return m_hWnd;
}

CWndShadow::operator HWND() const
{
    return m_hWnd;
}

CWndShadow* CWndShadow::FindShadowWindow(HWND hParentWnd)
{
    const int index = GetShadowWindowIndex(hParentWnd);
    return index < 0 ? nullptr : EntryAt(s_Shadowmap, index)->pShadow;
}

int CWndShadow::GetShadowWindowIndex(HWND hParentWnd)
{
    for (int i = 0; i < s_Shadowmap.GetSize(); ++i) {
        if (EntryAt(s_Shadowmap, i)->hParent == hParentWnd)
            return i;
    }
    return -1;
}

POINT CWndShadow::GetShadowPosition(const RECT& rcParent) const
{
    if (m_pImageInfo != nullptr)
        return POINT{rcParent.left - m_rcImageMargin.left, rcParent.top - m_rcImageMargin.top};
    return POINT{rcParent.left + m_nxOffset - m_nSize, rcParent.top + m_nyOffset - m_nSize};
}

SIZE CWndShadow::GetShadowSize(const RECT& rcParent) const
{
    const LONG width = rcParent.right - rcParent.left;
    const LONG height = rcParent.bottom - rcParent.top;
    if (m_pImageInfo != nullptr)
        return SIZE{width + m_rcImageMargin.left + m_rcImageMargin.right,
                    height + m_rcImageMargin.top + m_rcImageMargin.bottom};
    return SIZE{width + 2 * m_nSize, height + 2 * m_nSize};
}

void CWndShadow::RedrawIfVisible()
{
    if ((m_Status & SS_VISIBLE) != 0 && m_hWnd != InvalidWindow() && ::IsWindow(m_hWnd))
        Update(::GetParent(m_hWnd));
}

void CWndShadow::Update(HWND hParent)
{
    if (m_hWnd == InvalidWindow() || !::IsWindow(m_hWnd) || s_UpdateLayeredWindow == nullptr)
        return;
    RECT rcParent = {};
    if (!::GetWindowRect(hParent, &rcParent))
        return;
    SIZE size = GetShadowSize(rcParent);
    if (size.cx <= 0 || size.cy <= 0) {
        // Nothing to draw: the shadow lies entirely inside its own offsets.
        ::ShowWindow(m_hWnd, SW_HIDE);
        return;
    }
    ScopedGdiObject<HBITMAP> bitmap(CreateShadowBitmap(hParent, rcParent));
    if (bitmap.Get() == nullptr)
        return;
    ScopedMemoryDC memoryDC(nullptr, bitmap.Get());
    if (memoryDC.Get() == nullptr)
        return;

    POINT destination = GetShadowPosition(rcParent);
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::MoveWindow(m_hWnd, destination.x, destination.y, size.cx, size.cy, FALSE);
    s_UpdateLayeredWindow(m_hWnd, nullptr, &destination, &size, memoryDC.Get(), &source, 0, &blend, ULW_ALPHA);
    // Shown again after a size that left nothing to draw had hidden it.
    if ((m_Status & SS_VISIBLE) != 0 && !::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNA);
}

LRESULT CALLBACK CWndShadow::ShadowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_MOUSEACTIVATE)
        return MA_NOACTIVATE;
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWndShadow::ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWndShadow* shadow = FindShadowWindow(hWnd);
    const WNDPROC previous = shadow != nullptr ? shadow->m_OriParentProc
                                               : reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kPreviousProcProperty));
    if (shadow != nullptr)
        shadow->OnParentMessage(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY)
        ::RemovePropW(hWnd, kPreviousProcProperty);
    if (previous == nullptr)
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    return ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
}

void CWndShadow::OnParentMessage(HWND hParent, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_MOVE:
        if ((m_Status & SS_VISIBLE) != 0) {
            RECT rcParent = {};
            ::GetWindowRect(hParent, &rcParent);
            const POINT position = GetShadowPosition(rcParent);
            ::SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        break;

    case WM_SIZE:
        if ((m_Status & SS_ENABLED) != 0) {
            if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
                ::ShowWindow(m_hWnd, SW_HIDE);
                m_Status &= static_cast<BYTE>(~SS_VISIBLE);
            } else if ((m_Status & SS_PARENTVISIBLE) != 0) {
                // Growing: the shadow's new edge lies where the parent has not
                // painted yet, so wait for its paint; shrinking: redraw now.
                if (LOWORD(lParam) > LOWORD(m_WndSize) || HIWORD(lParam) > HIWORD(m_WndSize))
                    m_bUpdate = TRUE;
                else
                    Update(hParent);
                if ((m_Status & SS_VISIBLE) == 0) {
                    ::ShowWindow(m_hWnd, SW_SHOWNA);
                    m_Status |= SS_VISIBLE;
                }
            }
            m_WndSize = static_cast<DWORD>(lParam);
        }
        break;

    case WM_PAINT:
        if (m_bUpdate) {
            Update(hParent);
            m_bUpdate = FALSE;
        }
        break;

    case WM_EXITSIZEMOVE:
        if ((m_Status & SS_VISIBLE) != 0)
            Update(hParent);
        break;

    case WM_SHOWWINDOW:
        if ((m_Status & SS_ENABLED) != 0) {
            if (wParam == FALSE) {
                ::ShowWindow(m_hWnd, SW_HIDE);
                m_Status &= static_cast<BYTE>(~(SS_VISIBLE | SS_PARENTVISIBLE));
            } else if ((m_Status & SS_PARENTVISIBLE) == 0) {
                m_bUpdate = TRUE;
                ::ShowWindow(m_hWnd, SW_SHOWNA);
                m_Status |= SS_VISIBLE | SS_PARENTVISIBLE;
            }
        }
        break;

    case WM_DESTROY:
        if (m_hWnd != InvalidWindow() && ::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        m_hWnd = InvalidWindow();
        break;

    case WM_NCDESTROY:
        // The hook goes with the window; the object stays its creator's.
        for (int i = s_Shadowmap.GetSize() - 1; i >= 0; --i) {
            if (EntryAt(s_Shadowmap, i)->hParent == hParent)
                s_Shadowmap.Remove(i);
        }
        m_Status = 0;
        m_bUpdate = FALSE;
        break;

    default:
        break;
    }
}

} // namespace Facet
