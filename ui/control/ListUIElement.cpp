// CListElementUI, CListLabelElementUI and CListTextElementUI.
#include "ListUIElement.h"

#include <algorithm>
#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"
#include "ButtonUI.h"
#include "LinkTracking.h"
#include "ListAttributeReaders.h"

namespace Facet {

namespace {

bool IsMouseEvent(int type)
{
    return type > UIEVENT__MOUSEBEGIN && type < UIEVENT__MOUSEEND;
}

} // namespace

// -- CListElementUI --

const wchar_t* CListElementUI::GetClass() const
{
    return L"ListElement";
}

LPVOID CListElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListElement") == 0)
        return static_cast<CListElementUI*>(this);
    return CListRowUI<CControlUI>::GetInterface(name);
}

bool CListElementUI::IsExpanded() const
{
    return false;
}

bool CListElementUI::Expand(bool /*expand*/)
{
    return false;
}

DWORD CListElementUI::ItemTextColor(const TListInfoUI& info) const
{
    if (!IsEnabled())
        return info.dwDisabledTextColor;
    if (m_bSelected)
        return info.dwSelectedTextColor;
    if ((m_uButtonState & UISTATE_HOT) != 0)
        return info.dwHotTextColor;
    return info.dwTextColor;
}

int CListElementUI::RowHeight() const
{
    if (m_cxyFixed.cy > 0)
        return m_cxyFixed.cy;
    return ListRowHeight(const_cast<CListElementUI*>(this), m_pOwner);
}

// -- CListLabelElementUI --

const wchar_t* CListLabelElementUI::GetClass() const
{
    return L"ListLabelElement";
}

LPVOID CListLabelElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListLabelElement") == 0)
        return static_cast<CListLabelElementUI*>(this);
    return CListElementUI::GetInterface(name);
}

SIZE CListLabelElementUI::EstimateSize(SIZE /*available*/)
{
    return SIZE{m_cxyFixed.cx, RowHeight()};
}

bool CListLabelElementUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* /*stopControl*/)
{
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem))
        return true;
    DrawItemBk(hDC, m_rcItem);
    DrawItemText(hDC, m_rcItem);
    PaintBorder(hDC);
    return true;
}

void CListLabelElementUI::DrawItemText(HDC hDC, const RECT& rcItem)
{
    const CFacetString text = GetText();
    if (text.IsEmpty() || m_pOwner == nullptr || m_pManager == nullptr)
        return;
    const TListInfoUI& info = *m_pOwner->GetListInfo();
    list_attributes::DrawLabelText(hDC, m_pManager, list_attributes::Inset(rcItem, info.rcTextPadding), text,
                                   ItemTextColor(info), info.nFont, info.uTextStyle, info.bShowHtml);
}

// -- CListTextElementUI --

CListTextElementUI::CListTextElementUI() : m_pOwnerList(nullptr), m_nLinks(0), m_rcLinks(), m_nHoverLink(-1)
{
}

const wchar_t* CListTextElementUI::GetClass() const
{
    return L"ListTextElement";
}

LPVOID CListTextElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListTextElement") == 0)
        return static_cast<CListTextElementUI*>(this);
    return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetControlFlags() const
{
    return (IsEnabled() && m_nLinks > 0) ? UIFLAG_SETCURSOR : 0;
}

void CListTextElementUI::SetOwner(CControlUI* owner)
{
    CListLabelElementUI::SetOwner(owner);
    m_pOwnerList = InterfaceCast<IListUI>(owner);
}

CFacetString CListTextElementUI::GetText(int column) const
{
    if (column < 0 || column >= static_cast<int>(m_aTexts.size()))
        return CFacetString();
    return m_aTexts[static_cast<size_t>(column)];
}

void CListTextElementUI::SetText(int column, const wchar_t* text)
{
    if (column < 0 || column >= kListMaxColumns)
        return;
    if (column >= static_cast<int>(m_aTexts.size()))
        m_aTexts.resize(static_cast<size_t>(column) + 1);
    m_aTexts[static_cast<size_t>(column)] = text;
    Invalidate();
}

int CListTextElementUI::GetLinkCount() const
{
    return m_nLinks;
}

CFacetString CListTextElementUI::GetLinkContent(int index) const
{
    if (index < 0 || index >= m_nLinks)
        return CFacetString();
    return m_sLinks[index];
}

RECT CListTextElementUI::GetLinkRect(int index) const
{
    if (index < 0 || index >= m_nLinks)
        return RECT{0, 0, 0, 0};
    return m_rcLinks[index];
}

int CListTextElementUI::LinkAt(POINT pt) const
{
    return LinkIndexAt(m_rcLinks, m_nLinks, pt);
}

void CListTextElementUI::DoEvent(TEventUI& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CListLabelElementUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (LinkAt(event.ptMouse) >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case UIEVENT_BUTTONUP: {
        const int link = IsEnabled() ? LinkAt(event.ptMouse) : -1;
        if (link >= 0 && m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link));
            return;
        }
        break;
    }
    case UIEVENT_MOUSEMOVE:
        // Unlike the text control, hover follows links of a disabled row too.
        SetHoverLink(*this, m_nHoverLink, LinkAt(event.ptMouse));
        return;
    case UIEVENT_MOUSELEAVE:
        SetHoverLink(*this, m_nHoverLink, -1);
        break;
    default:
        break;
    }
    CListLabelElementUI::DoEvent(event);
}

void CListTextElementUI::DrawItemText(HDC hDC, const RECT& rcItem)
{
    m_nLinks = 0;
    if (m_pOwner == nullptr || m_pManager == nullptr)
        return;
    const TListInfoUI& info = *m_pOwner->GetListInfo();
    const DWORD color = ItemTextColor(info);
    IListCallbackUI* callback = m_pOwnerList != nullptr ? m_pOwnerList->GetTextCallback() : nullptr;
    // Without columns the first text fills the row.
    const int columns = (std::max)(info.nColumns, 1);
    for (int i = 0; i < columns; ++i) {
        RECT cell = rcItem;
        if (info.nColumns > 0) {
            cell.left = info.rcColumn[i].left;
            cell.right = info.rcColumn[i].right;
        }
        if (info.iVLineSize > 0 && info.nColumns > 0 && i + 1 < info.nColumns) {
            const RECT line = {cell.right - info.iVLineSize, rcItem.top, cell.right - info.iVLineSize, rcItem.bottom};
            CRenderEngine::DrawLine(hDC, line, info.iVLineSize, GetAdjustColor(info.dwVLineColor));
        }
        RECT rc = list_attributes::Inset(cell, info.rcTextPadding);
        CFacetString text;
        if (callback != nullptr)
            text = callback->GetItemText(this, m_iIndex, i);
        else
            text = GetText(i);
        if (text.IsEmpty())
            continue;
        if (info.bShowHtml) {
            int links = kMaxLinks - m_nLinks;
            CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text, color, &m_rcLinks[m_nLinks], &m_sLinks[m_nLinks],
                                        links, info.nFont, info.uTextStyle);
            m_nLinks += links;
        } else {
            CRenderEngine::DrawText(hDC, m_pManager, rc, text, color, info.nFont, info.uTextStyle);
        }
    }
}

} // namespace Facet
