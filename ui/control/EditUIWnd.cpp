// CEditWnd: the native edit window of CEditUI.
#include "EditUIWnd.h"

#include <imm.h>

#include <vector>

#include "EditUI.h"
#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"

namespace Facet {

namespace {

// The paint manager sends command and colour messages of its child windows
// back to them under their own number plus this offset.
const UINT kReflectOffset = 0x2000;
const UINT kReflectedCommand = WM_COMMAND + kReflectOffset;
const UINT kReflectedEditColor = WM_CTLCOLOREDIT + kReflectOffset;
const UINT kReflectedStaticColor = WM_CTLCOLORSTATIC + kReflectOffset;

// Blinks the caret drawn into layered windows, which cannot show the
// platform's own caret.
const UINT_PTR kCaretTimerId = 20;

// Posted to itself when the window loses the focus: it closes then unless the
// focus has come back meanwhile.
const UINT kCloseUnlessFocused = WM_APP + 1;

// The colour reference of a 0xAARRGGBB colour.
COLORREF ToColorRef(DWORD color)
{
    return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

// The input context of a window, released with the owner.
class ScopedInputContext
{
public:
    explicit ScopedInputContext(HWND hWnd) : m_hWnd(hWnd), m_hImc(::ImmGetContext(hWnd)) {}
    ~ScopedInputContext()
    {
        if (m_hImc != nullptr)
            ::ImmReleaseContext(m_hWnd, m_hImc);
    }
    ScopedInputContext(const ScopedInputContext&) = delete;
    ScopedInputContext& operator=(const ScopedInputContext&) = delete;

    HIMC Get() const { return m_hImc; }

private:
    HWND m_hWnd;
    HIMC m_hImc;
};

} // namespace

RECT EditTextArea(const RECT& item, const RECT& padding, int fontHeight)
{
    RECT rc = {item.left + padding.left, item.top + padding.top, item.right - padding.right,
               item.bottom - padding.bottom};
    const int height = rc.bottom - rc.top;
    if (fontHeight > 0 && fontHeight < height) {
        rc.top += (height - fontHeight) / 2;
        rc.bottom = rc.top + fontHeight;
    }
    return rc;
}

void CEditWnd::BackgroundBrush::Reset(HBRUSH hBrush, HBITMAP hBitmap)
{
    if (m_hBrush != nullptr)
        ::DeleteObject(m_hBrush);
    if (m_hBitmap != nullptr)
        ::DeleteObject(m_hBitmap);
    m_hBrush = hBrush;
    m_hBitmap = hBitmap;
}

CEditWnd::CEditWnd() : m_pOwner(nullptr), m_bInit(false), m_bDrawCaret(false), m_nDepth(0), m_bDeletePending(false)
{
}

CEditWnd::~CEditWnd() = default;

const wchar_t* CEditWnd::GetWndClassName() const
{
    return L"EditWnd";
}

const wchar_t* CEditWnd::GetSuperClassName() const
{
    return L"Edit";
}

UINT CEditWnd::GetClassStyle() const
{
    return 0;
}

bool CEditWnd::Init(CEditUI* pOwner)
{
    // Counted as a message in progress: a window that fails (or is destroyed)
    // while it is being created leaves its deletion to the end of Init.
    ++m_nDepth;
    m_pOwner = pOwner;
    CPaintManagerUI* manager = pOwner != nullptr ? pOwner->GetManager() : nullptr;
    bool created = false;
    if (manager != nullptr && manager->GetPaintWindow() != nullptr) {
        const RECT rcPos = CalPos();
        DWORD style = static_cast<DWORD>(pOwner->GetWindowStyles()) | WS_CHILD | ES_AUTOHSCROLL;
        const UINT textStyle = pOwner->GetTextStyle();
        if ((textStyle & DT_CENTER) != 0)
            style |= ES_CENTER;
        else if ((textStyle & DT_RIGHT) != 0)
            style |= ES_RIGHT;
        if (pOwner->IsPasswordMode())
            style |= ES_PASSWORD;
        created = Create(manager->GetPaintWindow(), nullptr, style, 0, rcPos) != nullptr;
    }
    if (created && m_hWnd != nullptr && m_pOwner != nullptr) {
        const HFONT font = manager->GetFont(pOwner->GetFont());
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        ::SendMessageW(m_hWnd, EM_LIMITTEXT, pOwner->GetMaxChar(), 0);
        if (pOwner->IsPasswordMode())
            ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, pOwner->GetPasswordChar(), 0);
        ::SetWindowTextW(m_hWnd, pOwner->GetText());
        ::SendMessageW(m_hWnd, EM_SETMODIFY, FALSE, 0);
        ::SendMessageW(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
        ::EnableWindow(m_hWnd, pOwner->IsEnabled() ? TRUE : FALSE);
        ::SendMessageW(m_hWnd, EM_SETREADONLY, pOwner->IsReadOnly() ? TRUE : FALSE, 0);
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        ::SetFocus(m_hWnd);
        const int length = ::GetWindowTextLengthW(m_hWnd);
        if (pOwner->IsAutoSelAll())
            ::SendMessageW(m_hWnd, EM_SETSEL, 0, (std::max)(length, 1));
        else
            ::SendMessageW(m_hWnd, EM_SETSEL, length, length);
        // Changes of the text from here on are the user's and are reported.
        m_bInit = true;
        PlaceCompositionWindow();
    }
    --m_nDepth;
    if (!created || m_hWnd == nullptr || m_bDeletePending) {
        // The final message, when it came, has told the owner already.
        if (m_pOwner != nullptr && m_pOwner->m_pWindow == this)
            m_pOwner->m_pWindow = nullptr;
        delete this;
        return false;
    }
    return true;
}

RECT CEditWnd::CalPos() const
{
    RECT rcPos = {0, 0, 0, 0};
    if (m_pOwner == nullptr)
        return rcPos;
    CPaintManagerUI* manager = m_pOwner->GetManager();
    const TFontInfo* font = manager != nullptr ? manager->GetFontInfo(m_pOwner->GetFont()) : nullptr;
    const int fontHeight = font != nullptr ? font->tm.tmHeight : 0;
    rcPos = EditTextArea(m_pOwner->GetPos(), m_pOwner->GetTextPadding(), fontHeight);
    for (CControlUI* parent = m_pOwner->GetParent(); parent != nullptr; parent = parent->GetParent()) {
        if (!parent->IsVisible()) {
            ::SetRectEmpty(&rcPos);
            break;
        }
        const RECT rcParent = parent->GetClientPos();
        if (!::IntersectRect(&rcPos, &rcPos, &rcParent)) {
            ::SetRectEmpty(&rcPos);
            break;
        }
    }
    return rcPos;
}

LRESULT CEditWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    ++m_nDepth;
    const LRESULT lRes = Dispatch(uMsg, wParam, lParam);
    if (--m_nDepth == 0 && m_bDeletePending)
        delete this;
    return lRes;
}

LRESULT CEditWnd::Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        RegisterWithManager();
        if (IsManagerLayered())
            ::SetTimer(m_hWnd, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
        break;
    case WM_KILLFOCUS:
        return OnKillFocus(wParam, lParam);
    case kCloseUnlessFocused:
        if (::GetFocus() != m_hWnd)
            Close();
        return 0;
    case kReflectedCommand:
        if (HIWORD(wParam) == EN_CHANGE)
            return OnEditChanged();
        // The field is full: input beyond its limit was refused. The owner
        // hears of it, so that the refusal can be shown rather than silent.
        if (HIWORD(wParam) == EN_MAXTEXT) {
            NotifyOwner(L"maxtext");
            return 0;
        }
        if (HIWORD(wParam) == EN_UPDATE) {
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            NotifyOwner(L"return");
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_CAPITAL) {
            NotifyOwner(L"capslock");
            return 0;
        }
        if (wParam == VK_TAB) {
            NotifyOwner(L"tabclick");
            return 0;
        }
        break;
    case kReflectedEditColor:
    case kReflectedStaticColor:
        return OnControlColor(wParam);
    case WM_PAINT:
        if (IsManagerLayered())
            RegisterWithManager();
        break;
    case WM_PRINT:
        return OnPrint(wParam, lParam);
    case WM_TIMER:
        if (wParam == kCaretTimerId) {
            m_bDrawCaret = !m_bDrawCaret;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        }
        break;
    case WM_IME_STARTCOMPOSITION:
        PlaceCompositionWindow();
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CEditWnd::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT lRes = CWindowWnd::HandleMessage(WM_KILLFOCUS, wParam, lParam);
    CPaintManagerUI* manager = m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr;
    if (manager != nullptr && reinterpret_cast<HWND>(wParam) != manager->GetPaintWindow())
        ::SendMessageW(manager->GetPaintWindow(), WM_KILLFOCUS, wParam, lParam);
    // Posted, not sent: the focus change that got us here is still running
    // (often inside the paint manager's own focus handling), and destroying
    // the window in the middle of it would pull it out from under that code.
    // And only when the focus stays away: a press in the field outside this
    // window's strip takes the focus to the paint window and gives it back
    // here, and editing goes on.
    if (m_hWnd != nullptr)
        ::PostMessageW(m_hWnd, kCloseUnlessFocused, 0, 0);
    return lRes;
}

LRESULT CEditWnd::OnEditChanged()
{
    if (!m_bInit || m_pOwner == nullptr)
        return 0;
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::vector<wchar_t> text(static_cast<size_t>((std::max)(length, 0)) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    // Stored directly: SetText would copy the text back into this window.
    m_pOwner->m_sText = text.data();
    NotifyOwner(L"textchanged");
    // A listener may have destroyed the owner.
    if (m_pOwner != nullptr && IsManagerLayered())
        m_pOwner->Invalidate();
    return 0;
}

LRESULT CEditWnd::OnControlColor(WPARAM wParam)
{
    CPaintManagerUI* manager = m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr;
    if (manager == nullptr)
        return 0;
    if (manager->IsLayered() && !manager->IsPainting())
        RegisterWithManager();
    const DWORD background = m_pOwner->GetNativeEditBkColor();
    if (background == 0xFFFFFFFF)
        return 0; // the platform's own colours
    const HDC hDC = reinterpret_cast<HDC>(wParam);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ToColorRef(m_pOwner->GetTextColor()));
    if (background < 0xFF000000) {
        // Translucent: the control's own painting under this window, tinted
        // with the colour, becomes the pattern of the background.
        const RECT rcWindow = manager->GetNativeWindowRect(m_hWnd);
        const HBITMAP snapshot = CRenderEngine::GenerateBitmap(manager, m_pOwner, rcWindow, background);
        const HBRUSH pattern = snapshot != nullptr ? ::CreatePatternBrush(snapshot) : nullptr;
        m_hBkBrush.Reset(pattern, snapshot);
    } else if (m_hBkBrush.Get() == nullptr) {
        m_hBkBrush.Reset(::CreateSolidBrush(ToColorRef(background)));
    }
    return reinterpret_cast<LRESULT>(m_hBkBrush.Get());
}

LRESULT CEditWnd::OnPrint(WPARAM wParam, LPARAM lParam)
{
    const LRESULT lRes = CWindowWnd::HandleMessage(WM_PRINT, wParam, lParam);
    if (m_pOwner == nullptr || !m_pOwner->IsEnabled() || !m_bDrawCaret)
        return lRes;
    // The platform's caret does not reach a layered window's bitmap: draw it.
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rcClient);
    POINT caret = {0, 0};
    ::GetCaretPos(&caret);
    const RECT rcCaret = {caret.x, caret.y, caret.x, caret.y + rcClient.bottom - rcClient.top};
    CRenderEngine::DrawLine(reinterpret_cast<HDC>(wParam), rcCaret, 1, 0xFF000000);
    return lRes;
}

void CEditWnd::OnFinalMessage(HWND hWnd)
{
    if (m_pOwner != nullptr)
        m_pOwner->Invalidate();
    m_hBkBrush.Reset();
    if (m_pOwner != nullptr) {
        if (CPaintManagerUI* manager = m_pOwner->GetManager())
            manager->RemoveNativeWindow(hWnd);
        if (m_pOwner->m_pWindow == this)
            m_pOwner->m_pWindow = nullptr;
        m_pOwner = nullptr;
    }
    if (m_nDepth > 0)
        m_bDeletePending = true;
    else
        delete this;
}

void CEditWnd::OwnerDestroyed()
{
    CEditUI* owner = m_pOwner;
    m_pOwner = nullptr;
    if (m_hWnd == nullptr)
        return;
    if (owner != nullptr && owner->GetManager() != nullptr)
        owner->GetManager()->RemoveNativeWindow(m_hWnd);
    if (m_nDepth > 0) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    } else {
        ::DestroyWindow(m_hWnd); // deletes this object
    }
}

void CEditWnd::PlaceCompositionWindow()
{
    if (m_hWnd == nullptr)
        return;
    ScopedInputContext context(m_hWnd);
    if (context.Get() == nullptr)
        return;
    POINT caret = {0, 0};
    if (::GetFocus() == m_hWnd) {
        ::GetCaretPos(&caret);
    } else {
        // Without the focus the thread's caret belongs to another window: the
        // position after the selection's end is asked of the edit instead.
        DWORD end = 0;
        ::SendMessageW(m_hWnd, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
        const LRESULT position = ::SendMessageW(m_hWnd, EM_POSFROMCHAR, end, 0);
        if (position != -1) {
            caret.x = static_cast<short>(LOWORD(position));
            caret.y = static_cast<short>(HIWORD(position));
        }
    }
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = caret;
    ::ImmSetCompositionWindow(context.Get(), &form);
}

void CEditWnd::NotifyOwner(const wchar_t* type)
{
    if (m_pOwner == nullptr)
        return;
    if (CPaintManagerUI* manager = m_pOwner->GetManager())
        manager->SendNotify(m_pOwner, type, 0, 0, false, true);
}

void CEditWnd::RegisterWithManager()
{
    if (m_pOwner == nullptr || m_hWnd == nullptr)
        return;
    if (CPaintManagerUI* manager = m_pOwner->GetManager())
        manager->AddNativeWindow(m_pOwner, m_hWnd);
}

bool CEditWnd::IsManagerLayered() const
{
    const CPaintManagerUI* manager = m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr;
    return manager != nullptr && manager->IsLayered();
}

} // namespace Facet
