#include "WindowImplBase.h"

#include "../control/ControlUI.h"
#include "../core/UniqueHandle.h"
#include "../render/GdiObjects.h"

#include <windowsx.h>

#include <cstdio>
#include <cwchar>

namespace Facet {

namespace {

// The message box shown when the skin cannot be built.
const wchar_t kSkinLoadFailedText[] = L"\u52a0\u8f7d\u8d44\u6e90\u6587\u4ef6\u5931\u8d25";
const wchar_t kSkinLoadFailedCaption[] = L"Facet";

// The title bar and frame border bits the window does without.
const LONG kCaptionBits = WS_CAPTION;

// The work area of the monitor nearest to the window, moved so that the
// monitor's own origin is (0, 0): where a maximised window goes.
RECT MaximisedArea(HWND hWnd)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info);
    RECT area = info.rcWork;
    ::OffsetRect(&area, -info.rcMonitor.left, -info.rcMonitor.top);
    return area;
}

bool IsCaptionExempt(CControlUI* control)
{
    const wchar_t* className = control->GetClass();
    if (className != nullptr && (_wcsicmp(className, L"Button") == 0 || _wcsicmp(className, L"Option") == 0 ||
                                 _wcsicmp(className, L"Text") == 0)) {
        return true;
    }
    // Kinds of button (check boxes and the like) are clicked, not dragged.
    return control->GetInterface(L"Button") != nullptr;
}

} // namespace

WindowImplBase::TResourceZipBuffer WindowImplBase::m_ResourceZipBuffer = {nullptr, 0, CFacetString()};

FACET_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
FACET_ON_MSGTYPE(L"click", WindowImplBase::OnClick)
FACET_END_MESSAGE_MAP()

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() = default;

UINT WindowImplBase::GetClassStyle() const
{
    return CS_DBLCLKS;
}

void WindowImplBase::InitWindow()
{
}

void WindowImplBase::OnFinalMessage(HWND /*hWnd*/)
{
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.ReapObjects(m_pm.GetRoot());
}

void WindowImplBase::Notify(TNotifyUI& msg)
{
    NotifyPump(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg)
{
    if (msg.pSender == nullptr)
        return;
    const CFacetString name = msg.pSender->GetName();
    if (name == L"closebtn")
        Close(1);
    else if (name == L"minbtn")
        SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (name == L"maxbtn")
        SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (name == L"restorebtn")
        SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0);
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam)
{
    if (wParam == VK_ESCAPE) {
        Close(1);
        return 1;
    }
    return 0;
}

FacetSkinResourceType WindowImplBase::GetResourceType() const
{
    return FACET_SKIN_FILE;
}

CFacetString WindowImplBase::GetZIPFileName() const
{
    return CFacetString();
}

CFacetString WindowImplBase::GetResourceID() const
{
    return CFacetString();
}

CControlUI* WindowImplBase::CreateControl(const wchar_t* /*className*/)
{
    return nullptr;
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM /*lParam*/, bool& /*bHandled*/)
{
    if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        return ResponseDefaultKeyEvent(wParam);
    return 0;
}

LONG WindowImplBase::GetStyle()
{
    return ::GetWindowLongW(m_hWnd, GWL_STYLE) & ~kCaptionBits;
}

// -- Default handlers: leave the message to the paint manager and the platform --

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

// -- The frameless window --

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& bHandled)
{
    if (::IsIconic(m_hWnd))
        bHandled = false;
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM wParam, LPARAM lParam, bool& /*bHandled*/)
{
    if (!::IsZoomed(m_hWnd))
        return 0;
    // Both forms of the message start with the proposed window rectangle.
    RECT* proposed = reinterpret_cast<RECT*>(lParam);
    if (proposed != nullptr) {
        const RECT area = MaximisedArea(m_hWnd);
        proposed->right = proposed->left + (area.right - area.left);
        proposed->bottom = proposed->top + (area.bottom - area.top);
    }
    // Only the form with valid-rectangle information may answer with flags.
    return wParam != 0 ? (WVR_HREDRAW | WVR_VREDRAW) : 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool& /*bHandled*/)
{
    return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& /*bHandled*/)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    return HitTest(pt);
}

LRESULT WindowImplBase::HitTest(POINT pt)
{
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rcClient);

    if (!::IsZoomed(m_hWnd)) {
        const RECT& box = m_pm.GetSizeBox();
        const bool left = pt.x < rcClient.left + box.left;
        const bool right = pt.x > rcClient.right - box.right;
        if (pt.y < rcClient.top + box.top) {
            if (left)
                return HTTOPLEFT;
            if (right)
                return HTTOPRIGHT;
            return HTTOP;
        }
        if (pt.y > rcClient.bottom - box.bottom) {
            if (left)
                return HTBOTTOMLEFT;
            if (right)
                return HTBOTTOMRIGHT;
            return HTBOTTOM;
        }
        if (left)
            return HTLEFT;
        if (right)
            return HTRIGHT;
    }

    const RECT& caption = m_pm.GetCaptionRect();
    if (pt.x >= rcClient.left + caption.left && pt.x < rcClient.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom) {
        CControlUI* control = m_pm.FindControl(pt);
        if (control != nullptr && !IsCaptionExempt(control))
            return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& bHandled)
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info != nullptr) {
        const RECT area = MaximisedArea(m_hWnd);
        info->ptMaxPosition.x = area.left;
        info->ptMaxPosition.y = area.top;
        info->ptMaxTrackSize.x = area.right - area.left;
        info->ptMaxTrackSize.y = area.bottom - area.top;
        const SIZE minimum = m_pm.GetMinInfo();
        info->ptMinTrackSize.x = minimum.cx;
        info->ptMinTrackSize.y = minimum.cy;
    }
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& bHandled)
{
    const SIZE corner = m_pm.GetRoundCorner();
    if ((corner.cx != 0 || corner.cy != 0) && !::IsIconic(m_hWnd)) {
        RECT rcWnd = {0, 0, 0, 0};
        ::GetWindowRect(m_hWnd, &rcWnd);
        const int width = rcWnd.right - rcWnd.left;
        const int height = rcWnd.bottom - rcWnd.top;
        const UniqueWindowDC windowDC = GetUniqueWindowDC(m_hWnd);
        const UniqueMemoryDC pathDC(::CreateCompatibleDC(windowDC.Get()));
        if (pathDC.Get() != nullptr && ::BeginPath(pathDC.Get())) {
            ::RoundRect(pathDC.Get(), 0, 0, width, height, corner.cx, corner.cy);
            if (::EndPath(pathDC.Get())) {
                ScopedGdiObject<HRGN> region(::PathToRegion(pathDC.Get()));
                // The system owns the region once it is set.
                if (region.Get() != nullptr && ::SetWindowRgn(m_hWnd, region.Get(), TRUE) != 0)
                    region.Release();
            }
        }
    }
    bHandled = false;
    return 0;
}

void WindowImplBase::ShowSizingButtons(bool maximised)
{
    CControlUI* maxButton = m_pm.FindControl(L"maxbtn");
    CControlUI* restoreButton = m_pm.FindControl(L"restorebtn");
    if (maxButton == nullptr || restoreButton == nullptr)
        return;
    maxButton->SetVisible(!maximised);
    restoreButton->SetVisible(maximised);
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    // The low four bits of the command are the system's own.
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        bHandled = true;
        SendMessageW(WM_CLOSE);
        return 0;
    }
    const bool wasZoomed = ::IsZoomed(m_hWnd) != FALSE;
    const LRESULT lRes = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    const bool isZoomed = ::IsZoomed(m_hWnd) != FALSE;
    if (wasZoomed != isZoomed)
        ShowSizingButtons(isZoomed);
    return lRes;
}

// -- Building the window --

const BYTE* WindowImplBase::GetResourceZipBuffer()
{
    return m_ResourceZipBuffer.pBytes;
}

bool WindowImplBase::UseEmbeddedZip(const CFacetString& resourceId)
{
    TResourceZipBuffer& kept = m_ResourceZipBuffer;
    if (kept.pBytes != nullptr && kept.sResourceId == resourceId.GetData()) {
        CPaintManagerUI::SetResourceZip(kept.pBytes, kept.dwSize);
        return true;
    }
    const HINSTANCE module = CPaintManagerUI::GetResourceDll();
    HRSRC resource = ::FindResourceW(module, resourceId.GetData(), L"ZIPRES");
    if (resource == nullptr)
        return false;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (loaded == nullptr)
        return false;
    const DWORD size = ::SizeofResource(module, resource);
    const void* bytes = ::LockResource(loaded);
    if (size == 0 || bytes == nullptr) {
        ::FreeResource(loaded);
        return false;
    }
    BYTE* copy = new BYTE[size];
    ::CopyMemory(copy, bytes, size);
    ::FreeResource(loaded);

    // The archive moves to the new bytes before the old ones go.
    BYTE* previous = kept.pBytes;
    kept.pBytes = copy;
    kept.dwSize = size;
    kept.sResourceId = resourceId;
    CPaintManagerUI::SetResourceZip(kept.pBytes, kept.dwSize);
    delete[] previous;
    return true;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& /*bHandled*/)
{
    // No native caption or frame; the window keeps the position it was
    // created at and only its non-client area is computed again.
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    style &= ~kCaptionBits;
    style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style);
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rcClient);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rcClient.right - rcClient.left, rcClient.bottom - rcClient.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    m_pm.Init(m_hWnd);
    m_pm.AddPreMessageFilter(this);

    CFacetString resourcePath = CPaintManagerUI::GetResourcePath();
    if (resourcePath.IsEmpty()) {
        resourcePath = CPaintManagerUI::GetInstancePath();
        resourcePath += GetSkinDirectory();
    }
    CPaintManagerUI::SetResourcePath(resourcePath.GetData());

    const FacetSkinResourceType type = GetResourceType();
    if (type == FACET_SKIN_ZIP) {
        CPaintManagerUI::SetResourceZip(GetZIPFileName().GetData(), true);
    } else if (type == FACET_SKIN_ZIPRESOURCE) {
        if (!UseEmbeddedZip(GetResourceID()))
            return 0;
    }

    CControlUI* root = nullptr;
    CDialogBuilder builder;
    const CFacetString skin = GetSkinFileName();
    if (type == FACET_SKIN_RESOURCE) {
        const unsigned int id = static_cast<unsigned int>(wcstoul(skin.GetData(), nullptr, 10));
        root = builder.Create(STRINGorID(id), L"xml", this, &m_pm);
    } else {
        root = builder.Create(STRINGorID(skin.GetData()), nullptr, this, &m_pm);
    }

    if (root == nullptr) {
        ::MessageBoxW(nullptr, kSkinLoadFailedText, kSkinLoadFailedCaption, MB_OK | MB_ICONERROR);
        // ExitProcess does not flush the C streams.
        std::fflush(stdout);
        std::fflush(stderr);
        ::ExitProcess(1);
    }
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    InitWindow();
    return 0;
}

// -- Message routing --

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lRes = 0;
    bool bHandled = true;
    switch (uMsg) {
    case WM_CREATE:
        lRes = OnCreate(uMsg, wParam, lParam, bHandled);
        break;
    case WM_CLOSE:
        lRes = OnClose(uMsg, wParam, lParam, bHandled);
        break;
    case WM_DESTROY:
        lRes = OnDestroy(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCACTIVATE:
        lRes = OnNcActivate(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCCALCSIZE:
        lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCPAINT:
        lRes = OnNcPaint(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCHITTEST:
        lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled);
        break;
    case WM_GETMINMAXINFO:
        lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEWHEEL:
        lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SIZE:
        lRes = OnSize(uMsg, wParam, lParam, bHandled);
        break;
    case WM_CHAR:
        lRes = OnChar(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SYSCOMMAND:
        lRes = OnSysCommand(uMsg, wParam, lParam, bHandled);
        break;
    case WM_KEYDOWN:
        lRes = OnKeyDown(uMsg, wParam, lParam, bHandled);
        break;
    case WM_KILLFOCUS:
        lRes = OnKillFocus(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SETFOCUS:
        lRes = OnSetFocus(uMsg, wParam, lParam, bHandled);
        break;
    case WM_LBUTTONUP:
        lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled);
        break;
    case WM_LBUTTONDOWN:
        lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEMOVE:
        lRes = OnMouseMove(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEHOVER:
        lRes = OnMouseHover(uMsg, wParam, lParam, bHandled);
        break;
    default:
        bHandled = false;
        break;
    }
    if (bHandled)
        return lRes;

    bHandled = false;
    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled)
        return lRes;

    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes))
        return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

} // namespace Facet
