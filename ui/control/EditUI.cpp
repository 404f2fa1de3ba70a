// CEditUI: state, setters, attributes, events and painting of the edit field.
#include "EditUI.h"

#include <cwchar>

#include "ControlDispatch.h"
#include "EditUIWnd.h"
#include "../core/AttributeValues.h"
#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"

namespace Facet {

namespace {

using attribute_values::Equals;
using attribute_values::IsTrue;
using attribute_values::ReadColor;

const DWORD kPlatformEditColors = 0xFFFFFFFF;

} // namespace

CEditUI::CEditUI()
    : m_pWindow(nullptr),
      m_uMaxChar(255),
      m_bReadOnly(false),
      m_bPasswordMode(false),
      m_bAutoSelAll(false),
      m_cPasswordChar(L'*'),
      m_uButtonState(0),
      m_dwEditbkColor(kPlatformEditColors),
      m_iWindowStyles(0),
      m_dwTipValueColor(0xFFA6A6A6)
{
    // Not scaled: the field's inner margin stays the same at every scale.
    m_rcTextPadding = RECT{4, 3, 4, 3};
    SetBkColor(0xFFFFFFFF);
}

CEditUI::~CEditUI()
{
    if (m_pWindow != nullptr) {
        CEditWnd* window = m_pWindow;
        m_pWindow = nullptr;
        window->OwnerDestroyed();
    }
}

const wchar_t* CEditUI::GetClass() const
{
    return L"Edit";
}

LPVOID CEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && Equals(name, kInterfaceName))
        return static_cast<CEditUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const
{
    return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0;
}

HWND CEditUI::GetNativeWindow() const
{
    return GetNativeEditHWND();
}

HWND CEditUI::GetNativeEditHWND() const
{
    return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr;
}

SIZE CEditUI::EstimateSize(SIZE /*available*/)
{
    if (m_cxyFixed.cy != 0 || m_pManager == nullptr)
        return m_cxyFixed;
    const TFontInfo* font = m_pManager->GetFontInfo(GetFont());
    const int fontHeight = font != nullptr ? font->tm.tmHeight : 0;
    return SIZE{m_cxyFixed.cx, LineHeight(fontHeight)};
}

// -- Text and flags --

void CEditUI::SetText(const wchar_t* text)
{
    const bool changed = m_sText != text;
    m_sText = text;
    if (m_pWindow != nullptr)
        ::SetWindowTextW(m_pWindow->GetHWND(), m_sText.GetData());
    Invalidate();
    if (changed)
        NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
}

void CEditUI::SetMaxChar(UINT max)
{
    m_uMaxChar = max;
    if (m_pWindow != nullptr)
        ::SendMessageW(m_pWindow->GetHWND(), EM_LIMITTEXT, m_uMaxChar, 0);
}

UINT CEditUI::GetMaxChar() const
{
    return m_uMaxChar;
}

void CEditUI::SetReadOnly(bool readOnly)
{
    if (m_bReadOnly == readOnly)
        return;
    m_bReadOnly = readOnly;
    if (m_pWindow != nullptr)
        ::SendMessageW(m_pWindow->GetHWND(), EM_SETREADONLY, m_bReadOnly ? TRUE : FALSE, 0);
    Invalidate();
}

bool CEditUI::IsReadOnly() const
{
    return m_bReadOnly;
}

void CEditUI::SetPasswordMode(bool passwordMode)
{
    if (m_bPasswordMode == passwordMode)
        return;
    m_bPasswordMode = passwordMode;
    Invalidate();
}

bool CEditUI::IsPasswordMode() const
{
    return m_bPasswordMode;
}

void CEditUI::SetPasswordChar(wchar_t ch)
{
    if (m_cPasswordChar == ch)
        return;
    m_cPasswordChar = ch;
    // Only a masked window takes the character: setting one on a plain edit
    // would start masking a field that is not a password field.
    if (m_pWindow != nullptr && m_bPasswordMode)
        ::SendMessageW(m_pWindow->GetHWND(), EM_SETPASSWORDCHAR, m_cPasswordChar, 0);
    Invalidate();
}

wchar_t CEditUI::GetPasswordChar() const
{
    return m_cPasswordChar;
}

void CEditUI::SetNumberOnly(bool numberOnly)
{
    if (numberOnly)
        m_iWindowStyles |= ES_NUMBER;
    else
        m_iWindowStyles &= ~ES_NUMBER;
}

bool CEditUI::IsNumberOnly() const
{
    return (m_iWindowStyles & ES_NUMBER) != 0;
}

int CEditUI::GetWindowStyles() const
{
    return m_iWindowStyles;
}

void CEditUI::SetAutoSelAll(bool autoSelAll)
{
    m_bAutoSelAll = autoSelAll;
}

bool CEditUI::IsAutoSelAll() const
{
    return m_bAutoSelAll;
}

void CEditUI::SetTipValue(const wchar_t* value)
{
    m_sTipValue = value;
}

CFacetString CEditUI::GetTipValue() const
{
    return m_sTipValue;
}

void CEditUI::SetTipValueColor(const wchar_t* value)
{
    m_dwTipValueColor = value != nullptr ? ReadColor(value) : 0;
}

DWORD CEditUI::GetTipValueColor() const
{
    return m_dwTipValueColor;
}

void CEditUI::SetNativeEditBkColor(DWORD color)
{
    m_dwEditbkColor = color;
}

DWORD CEditUI::GetNativeEditBkColor() const
{
    return m_dwEditbkColor;
}

// -- State images --

void CEditUI::SetStateImage(TDrawInfo& image, const wchar_t* description)
{
    if (description == nullptr)
        description = L"";
    if (image.sDrawString == description && image.pImageInfo != nullptr)
        return;
    image.Clear();
    image.sDrawString = description;
    Invalidate();
}

const wchar_t* CEditUI::GetNormalImage() const
{
    return m_diNormal.sDrawString.GetData();
}

void CEditUI::SetNormalImage(const wchar_t* description)
{
    SetStateImage(m_diNormal, description);
}

const wchar_t* CEditUI::GetHotImage() const
{
    return m_diHot.sDrawString.GetData();
}

void CEditUI::SetHotImage(const wchar_t* description)
{
    SetStateImage(m_diHot, description);
}

const wchar_t* CEditUI::GetFocusedImage() const
{
    return m_diFocused.sDrawString.GetData();
}

void CEditUI::SetFocusedImage(const wchar_t* description)
{
    SetStateImage(m_diFocused, description);
}

const wchar_t* CEditUI::GetDisabledImage() const
{
    return m_diDisabled.sDrawString.GetData();
}

void CEditUI::SetDisabledImage(const wchar_t* description)
{
    SetStateImage(m_diDisabled, description);
}

// -- Native selection --

void CEditUI::SetSel(long start, long end)
{
    if (m_pWindow != nullptr)
        ::SendMessageW(m_pWindow->GetHWND(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CEditUI::SetSelAll()
{
    SetSel(0, -1);
}

void CEditUI::SetReplaceSel(const wchar_t* text)
{
    if (m_pWindow != nullptr)
        ::SendMessageW(m_pWindow->GetHWND(), EM_REPLACESEL, FALSE,
                       reinterpret_cast<LPARAM>(text != nullptr ? text : L""));
}

// -- Enabled, visible, position --

void CEditUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_uButtonState = 0;
}

void CEditUI::ReleaseFocusIfHidden()
{
    if (!IsVisible() && m_pWindow != nullptr && m_pManager != nullptr)
        m_pManager->SetFocus(nullptr, true);
}

void CEditUI::SetVisible(bool visible)
{
    CLabelUI::SetVisible(visible);
    ReleaseFocusIfHidden();
}

void CEditUI::SetInternVisible(bool visible)
{
    CLabelUI::SetInternVisible(visible);
    ReleaseFocusIfHidden();
}

void CEditUI::PlaceNativeWindow()
{
    if (m_pWindow == nullptr)
        return;
    const RECT rcPos = m_pWindow->CalPos();
    if (::IsRectEmpty(&rcPos)) {
        ::ShowWindow(m_pWindow->GetHWND(), SW_HIDE);
        return;
    }
    ::SetWindowPos(m_pWindow->GetHWND(), nullptr, rcPos.left, rcPos.top, rcPos.right - rcPos.left,
                   rcPos.bottom - rcPos.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CEditUI::SetPos(RECT rc, bool needInvalidate)
{
    CLabelUI::SetPos(rc, needInvalidate);
    PlaceNativeWindow();
}

void CEditUI::Move(SIZE offset, bool needInvalidate)
{
    CLabelUI::Move(offset, needInvalidate);
    PlaceNativeWindow();
}

// -- Events --

void CEditUI::OpenNativeWindow()
{
    m_pWindow = new CEditWnd();
    // A failed Init deletes the window object and clears m_pWindow.
    m_pWindow->Init(this);
}

void CEditUI::DoEvent(TEventUI& event)
{
    // Without a parent the label's handling is the plain control's for mouse
    // events, which PassMouseEventOn falls back to.
    if (PassMouseEventOn(*this, event))
        return;
    if (!HandleEditEvent(event))
        CLabelUI::DoEvent(event);
}

// One line per event the edit answers; true when the event stops here,
// false when the label goes on with it.
bool CEditUI::HandleEditEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        return OnSetCursor();
    case UIEVENT_WINDOWSIZE:
        return OnWindowSize();
    case UIEVENT_SCROLLWHEEL:
        return m_pWindow != nullptr; // the native window scrolls itself
    case UIEVENT_SETFOCUS:
        return OnSetFocus();
    case UIEVENT_KILLFOCUS:
        return OnKillFocus();
    case UIEVENT_BUTTONDOWN:
        return OnPress(event);
    case UIEVENT_DBLCLICK:
        return OnPress(event);
    case UIEVENT_RBUTTONDOWN:
        return OnPress(event);
    case UIEVENT_MOUSEMOVE:
        return true;
    case UIEVENT_BUTTONUP:
        return true;
    case UIEVENT_CONTEXTMENU:
        return true;
    case UIEVENT_MOUSEENTER:
        return OnMouseEnter(event);
    case UIEVENT_MOUSELEAVE:
        return OnMouseLeave(event);
    default:
        return false;
    }
}

bool CEditUI::OnSetCursor()
{
    if (!IsEnabled())
        return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
    return true;
}

// The window's size changed: an open native window takes the focus back.
bool CEditUI::OnWindowSize()
{
    if (m_pWindow != nullptr && m_pManager != nullptr)
        m_pManager->SetFocusNeeded(this);
    return false;
}

bool CEditUI::OnSetFocus()
{
    if (IsEnabled()) {
        if (m_pWindow != nullptr)
            return true;
        OpenNativeWindow();
        Invalidate();
    }
    return false;
}

bool CEditUI::OnKillFocus()
{
    if (IsEnabled())
        Invalidate();
    return false;
}

bool CEditUI::OnPress(const TEventUI& event)
{
    if (!IsEnabled())
        return true;
    if (m_pManager != nullptr)
        m_pManager->ReleaseCapture();
    if (IsFocused() && m_pWindow == nullptr)
        OpenNativeWindow();
    if (m_pWindow != nullptr && !m_bAutoSelAll)
        PlaceCaretAt(event);
    return true;
}

// The caret goes where the pointer is, in the native window's coordinates
// (the window sits in the middle of the field; a press above or below it is
// taken to the nearest line).
void CEditUI::PlaceCaretAt(const TEventUI& event)
{
    const HWND hWnd = m_pWindow->GetHWND();
    POINT pt = event.ptMouse;
    if (m_pManager != nullptr)
        ::MapWindowPoints(m_pManager->GetPaintWindow(), hWnd, &pt, 1);
    ::SendMessageW(hWnd, EM_SETSEL, 0, 0);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, event.wParam, MAKELPARAM(pt.x, pt.y));
}

bool CEditUI::OnMouseEnter(const TEventUI& event)
{
    if (::PtInRect(&m_rcItem, event.ptMouse) && IsEnabled() && (m_uButtonState & UIEDITSTATE_HOT) == 0) {
        m_uButtonState |= UIEDITSTATE_HOT;
        Invalidate();
    }
    return false;
}

bool CEditUI::OnMouseLeave(const TEventUI& event)
{
    if (::PtInRect(&m_rcItem, event.ptMouse)) {
        // Still over the field (the native window took the hover): hear the
        // leave that really ends it.
        if (m_pManager != nullptr)
            m_pManager->AddMouseLeaveNeeded(this);
        return true;
    }
    if (IsEnabled())
        m_uButtonState &= ~UIEDITSTATE_HOT;
    Invalidate();
    if (m_pManager != nullptr)
        m_pManager->RemoveMouseLeaveNeeded(this);
    return false;
}

// -- Attributes --

const CControlAttributeTable& CEditUI::GetAttributeTable() const
{
    using C = CEditUI;
    static const TAttribute<CEditUI> kAttributes[] = {
        {L"readonly", kValueFlag, [](C& c, const wchar_t* v) { c.SetReadOnly(IsTrue(v)); }},
        {L"numberonly", kValueFlag, [](C& c, const wchar_t* v) { c.SetNumberOnly(IsTrue(v)); }},
        {L"password", kValueFlag, [](C& c, const wchar_t* v) { c.SetPasswordMode(IsTrue(v)); }},
        {L"autoselall", kValueFlag, [](C& c, const wchar_t* v) { c.SetAutoSelAll(IsTrue(v)); }},
        {L"maxchar", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetMaxChar(static_cast<UINT>(wcstol(v, nullptr, 10))); }},
        {L"normalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetNormalImage(v); }},
        {L"hotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetHotImage(v); }},
        {L"focusedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetFocusedImage(v); }},
        {L"disabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetDisabledImage(v); }},
        {L"tipvalue", kValueText, [](C& c, const wchar_t* v) { c.SetTipValue(v); }, kNameAnyCase},
        {L"nativebkcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetNativeEditBkColor(ReadColor(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CLabelUI::GetAttributeTable());
    return table;
}

// -- Painting --

void CEditUI::PaintStatusImage(HDC hDC)
{
    if (IsFocused())
        m_uButtonState |= UIEDITSTATE_FOCUSED;
    else
        m_uButtonState &= ~UIEDITSTATE_FOCUSED;
    if (!IsEnabled())
        m_uButtonState |= UIEDITSTATE_DISABLED;
    else
        m_uButtonState &= ~UIEDITSTATE_DISABLED;

    // The state's own image, falling back to the normal image when it cannot
    // be drawn.
    TDrawInfo* stateImage = nullptr;
    if ((m_uButtonState & UIEDITSTATE_DISABLED) != 0)
        stateImage = &m_diDisabled;
    else if ((m_uButtonState & UIEDITSTATE_FOCUSED) != 0)
        stateImage = &m_diFocused;
    else if ((m_uButtonState & UIEDITSTATE_HOT) != 0)
        stateImage = &m_diHot;
    if (stateImage != nullptr && DrawImage(hDC, *stateImage))
        return;
    DrawImage(hDC, m_diNormal);
}

DWORD CEditUI::GetFocusFrameColor() const
{
    return m_diFocused.sDrawString.IsEmpty() ? CLabelUI::GetFocusFrameColor() : 0;
}

void CEditUI::PaintText(HDC hDC)
{
    ResolveDefaultColors();
    const CFacetString text = GetText();
    if (text.IsEmpty() && m_sTipValue.IsEmpty())
        return;

    CFacetString shown;
    if (text.IsEmpty() || text == m_sTipValue.GetData()) {
        shown = m_sTipValue;
    } else {
        shown = text;
        if (m_bPasswordMode) {
            for (int i = 0; i < shown.GetLength(); ++i)
                shown.SetAt(i, m_cPasswordChar);
        }
    }

    RECT rc = GetTextRect();
    const DWORD color = IsEnabled() ? m_dwTipValueColor : m_dwDisabledTextColor;
    CRenderEngine::DrawText(hDC, m_pManager, rc, shown.GetData(), color, m_iFont, DT_SINGLELINE | m_uTextStyle);
}

} // namespace Facet
