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

const CControlAttributeTable& CRichEditUI::GetAttributeTable() const
{
    using C = CRichEditUI;
    static const TAttribute<CRichEditUI> kAttributes[] = {
        {L"vscrollbar", kValueFlag, [](C& c, const wchar_t* v) { c.m_bVScrollBar = IsTrue(v); }, kNameAnyCase},
        {L"autovscroll", kValueFlag, [](C& c, const wchar_t* v) { c.m_bAutoVScroll = IsTrue(v); }, kNameAnyCase},
        {L"hscrollbar", kValueFlag, [](C& c, const wchar_t* v) { c.m_bHScrollBar = IsTrue(v); }, kNameAnyCase},
        {L"autohscroll", kValueFlag, [](C& c, const wchar_t* v) { c.m_bAutoHScroll = IsTrue(v); }, kNameAnyCase},
        {L"wanttab", kValueFlag, [](C& c, const wchar_t* v) { c.SetWantTab(IsTrue(v)); }, kNameAnyCase},
        {L"wantreturn", kValueFlag, [](C& c, const wchar_t* v) { c.SetWantReturn(IsTrue(v)); }, kNameAnyCase},
        {L"wantctrlreturn", kValueFlag, [](C& c, const wchar_t* v) { c.SetWantCtrlReturn(IsTrue(v)); },
         kNameAnyCase},
        {L"transparent", kValueFlag, [](C& c, const wchar_t* v) { c.SetTransparent(IsTrue(v)); }, kNameAnyCase},
        {L"rich", kValueFlag, [](C& c, const wchar_t* v) { c.SetRich(IsTrue(v)); }, kNameAnyCase},
        {L"multiline", kValueFlag, [](C& c, const wchar_t* v) { c.SetMultiLine(IsTrue(v)); }, kNameAnyCase},
        {L"readonly", kValueFlag, [](C& c, const wchar_t* v) { c.SetReadOnly(IsTrue(v)); }, kNameAnyCase},
        {L"password", kValueFlag, [](C& c, const wchar_t* v) { c.SetPasswordMode(IsTrue(v)); }, kNameAnyCase},
        {L"align", kValueText,
         [](C& c, const wchar_t* v) {
             if (wcsstr(v, L"center") != nullptr)
                 c.SetTextAlign(DT_CENTER);
             else if (wcsstr(v, L"right") != nullptr)
                 c.SetTextAlign(DT_RIGHT);
             else if (wcsstr(v, L"left") != nullptr)
                 c.SetTextAlign(DT_LEFT);
         },
         kNameAnyCase},
        {L"font", kValueFont, [](C& c, const wchar_t* v) { c.SetFont(ReadInt(v)); }, kNameAnyCase},
        {L"textcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetTextColor(ReadColor(v)); }, kNameAnyCase},
        {L"textpadding", kValueNumbers, [](C& c, const wchar_t* v) { c.SetTextPadding(CFacetRect(v)); },
         kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CContainerUI::GetAttributeTable());
    return table;
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
