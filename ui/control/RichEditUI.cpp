// CRichEditUI: stored settings and plain painting of the text.
#include "RichEditUI.h"

#include <cwchar>

#include "../core/FacetGeometry.h"
#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"
#include "LabelUIValues.h"

namespace Facet {

using namespace attribute_values;

CRichEditUI::CRichEditUI()
    : m_bWantTab(true),
      m_bWantReturn(true),
      m_bWantCtrlReturn(true),
      m_bTransparent(true),
      m_bRich(true),
      m_bMultiLine(true),
      m_bReadOnly(false),
      m_bPassword(false),
      m_bVScrollBar(false),
      m_bAutoVScroll(false),
      m_bHScrollBar(false),
      m_bAutoHScroll(false),
      m_uTextAlign(DT_LEFT),
      m_iFont(-1),
      m_dwTextColor(0),
      m_rcTextPadding{0, 0, 0, 0}
{
}

const wchar_t* CRichEditUI::GetClass() const
{
    return L"RichEdit";
}

LPVOID CRichEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"RichEdit") == 0)
        return static_cast<CRichEditUI*>(this);
    if (name != nullptr && wcscmp(name, L"IMessageFilter") == 0)
        return static_cast<IMessageFilterUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const
{
    return IsEnabled() ? UIFLAG_TABSTOP : 0;
}

bool CRichEditUI::IsWantTab() const
{
    return m_bWantTab;
}

void CRichEditUI::SetWantTab(bool want)
{
    m_bWantTab = want;
}

bool CRichEditUI::IsWantReturn() const
{
    return m_bWantReturn;
}

void CRichEditUI::SetWantReturn(bool want)
{
    m_bWantReturn = want;
}

bool CRichEditUI::IsWantCtrlReturn() const
{
    return m_bWantCtrlReturn;
}

void CRichEditUI::SetWantCtrlReturn(bool want)
{
    m_bWantCtrlReturn = want;
}

bool CRichEditUI::IsTransparent() const
{
    return m_bTransparent;
}

void CRichEditUI::SetTransparent(bool transparent)
{
    m_bTransparent = transparent;
    Invalidate();
}

bool CRichEditUI::IsRich() const
{
    return m_bRich;
}

void CRichEditUI::SetRich(bool rich)
{
    m_bRich = rich;
}

bool CRichEditUI::IsMultiLine() const
{
    return m_bMultiLine;
}

void CRichEditUI::SetMultiLine(bool multiLine)
{
    m_bMultiLine = multiLine;
    Invalidate();
}

bool CRichEditUI::IsReadOnly() const
{
    return m_bReadOnly;
}

void CRichEditUI::SetReadOnly(bool readOnly)
{
    m_bReadOnly = readOnly;
}

bool CRichEditUI::IsPasswordMode() const
{
    return m_bPassword;
}

void CRichEditUI::SetPasswordMode(bool password)
{
    m_bPassword = password;
    Invalidate();
}

bool CRichEditUI::IsVScrollBar() const
{
    return m_bVScrollBar;
}

bool CRichEditUI::IsAutoVScroll() const
{
    return m_bAutoVScroll;
}

bool CRichEditUI::IsHScrollBar() const
{
    return m_bHScrollBar;
}

bool CRichEditUI::IsAutoHScroll() const
{
    return m_bAutoHScroll;
}

UINT CRichEditUI::GetTextAlign() const
{
    return m_uTextAlign;
}

void CRichEditUI::SetTextAlign(UINT align)
{
    m_uTextAlign = align;
    Invalidate();
}

int CRichEditUI::GetFont() const
{
    return m_iFont;
}

void CRichEditUI::SetFont(int index)
{
    m_iFont = index;
    Invalidate();
}

DWORD CRichEditUI::GetTextColor() const
{
    return m_dwTextColor;
}

void CRichEditUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    Invalidate();
}

RECT CRichEditUI::GetTextPadding() const
{
    return m_rcTextPadding;
}

void CRichEditUI::SetTextPadding(RECT padding)
{
    m_rcTextPadding = padding;
    Invalidate();
}

int CRichEditUI::GetTextLength() const
{
    return m_sText.GetLength();
}

void CRichEditUI::AppendText(const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return;
    CFacetString joined = m_sText;
    joined += text;
    SetText(joined.GetData());
}

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    const bool on = IsTrue(value);
    if (EqualsIgnoringCase(name, L"vscrollbar"))
        m_bVScrollBar = on;
    else if (EqualsIgnoringCase(name, L"autovscroll"))
        m_bAutoVScroll = on;
    else if (EqualsIgnoringCase(name, L"hscrollbar"))
        m_bHScrollBar = on;
    else if (EqualsIgnoringCase(name, L"autohscroll"))
        m_bAutoHScroll = on;
    else if (EqualsIgnoringCase(name, L"wanttab"))
        SetWantTab(on);
    else if (EqualsIgnoringCase(name, L"wantreturn"))
        SetWantReturn(on);
    else if (EqualsIgnoringCase(name, L"wantctrlreturn"))
        SetWantCtrlReturn(on);
    else if (EqualsIgnoringCase(name, L"transparent"))
        SetTransparent(on);
    else if (EqualsIgnoringCase(name, L"rich"))
        SetRich(on);
    else if (EqualsIgnoringCase(name, L"multiline"))
        SetMultiLine(on);
    else if (EqualsIgnoringCase(name, L"readonly"))
        SetReadOnly(on);
    else if (EqualsIgnoringCase(name, L"password"))
        SetPasswordMode(on);
    else if (EqualsIgnoringCase(name, L"align")) {
        if (wcsstr(value, L"center") != nullptr)
            SetTextAlign(DT_CENTER);
        else if (wcsstr(value, L"right") != nullptr)
            SetTextAlign(DT_RIGHT);
        else if (wcsstr(value, L"left") != nullptr)
            SetTextAlign(DT_LEFT);
    } else if (EqualsIgnoringCase(name, L"font"))
        SetFont(ReadInt(value));
    else if (EqualsIgnoringCase(name, L"textcolor"))
        SetTextColor(ReadColor(value));
    else if (EqualsIgnoringCase(name, L"textpadding"))
        SetTextPadding(CFacetRect(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CRichEditUI::PaintText(HDC hDC)
{
    if (m_sText.IsEmpty() || m_pManager == nullptr)
        return;
    CFacetString shown = m_sText;
    if (m_bPassword) {
        shown.Empty();
        for (int i = 0; i < m_sText.GetLength(); ++i)
            shown += L'*';
    }
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    const DWORD color = m_dwTextColor != 0 ? m_dwTextColor : m_pManager->GetDefaultFontColor();
    const UINT style = m_uTextAlign | (m_bMultiLine ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER) | DT_NOPREFIX;
    CRenderEngine::DrawText(hDC, m_pManager, rc, shown.GetData(), color, m_iFont, style);
}

LRESULT CRichEditUI::MessageHandler(UINT /*uMsg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, bool& bHandled)
{
    bHandled = false;
    return 0;
}

} // namespace Facet
