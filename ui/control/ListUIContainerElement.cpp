// CListContainerElementUI and CListHBoxElementUI.
#include "ListUIContainerElement.h"

#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderClip.h"

namespace Facet {

CListContainerElementUI::CListContainerElementUI() : m_bExpandable(false), m_bExpanded(false)
{
}

const wchar_t* CListContainerElementUI::GetClass() const
{
    return L"ListContainerElement";
}

LPVOID CListContainerElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListContainerElement") == 0)
        return static_cast<CListContainerElementUI*>(this);
    return CListRowUI<CContainerUI>::GetInterface(name);
}

SIZE CListContainerElementUI::EstimateSize(SIZE /*available*/)
{
    SIZE size = m_cxyFixed;
    if (size.cy == 0 && m_pOwner != nullptr)
        size.cy = m_pOwner->GetListInfo()->nItemHeight;
    return size;
}

const CControlAttributeTable& CListContainerElementUI::GetAttributeTable() const
{
    using C = CListContainerElementUI;
    static const TAttribute<CListContainerElementUI> kAttributes[] = {
        {L"expandable", kValueFlag, [](C& c, const wchar_t* v) { c.SetExpandable(wcscmp(v, L"true") == 0); }},
    };
    static const TAttributeTable table(kAttributes, &CListRowUI<CContainerUI>::GetAttributeTable());
    return table;
}

bool CListContainerElementUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    RECT rcOuter;
    if (!IntersectRect(&rcOuter, &rcPaint, &m_rcItem))
        return true;
    {
        CRenderClip clip;
        CRenderClip::GenerateClip(hDC, rcOuter, clip);
        m_rcPaint = rcOuter;
        DrawItemBk(hDC, m_rcItem);
    }
    return CContainerUI::DoPaint(hDC, rcPaint, stopControl);
}

bool CListContainerElementUI::IsExpanded() const
{
    return m_bExpanded;
}

bool CListContainerElementUI::Expand(bool expand)
{
    if (!m_bExpandable)
        return false;
    if (expand == m_bExpanded)
        return true;
    m_bExpanded = expand;
    IListUI* list = nullptr;
    if (m_pParent != nullptr && m_pParent->GetParent() != nullptr)
        list = InterfaceCast<IListUI>(m_pParent->GetParent());
    if (list != nullptr && m_iIndex >= 0)
        list->ExpandItem(m_iIndex, expand);
    if (m_pManager != nullptr)
        m_pManager->SendNotify(this, expand ? L"itemexpand" : L"itemcollapse");
    NeedParentUpdate();
    return true;
}

bool CListContainerElementUI::IsExpandable() const
{
    return m_bExpandable;
}

void CListContainerElementUI::SetExpandable(bool expandable)
{
    m_bExpandable = expandable;
    if (!expandable)
        m_bExpanded = false;
}

// -- CListHBoxElementUI --

const wchar_t* CListHBoxElementUI::GetClass() const
{
    return L"ListHBoxElement";
}

LPVOID CListHBoxElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHBoxElement") == 0)
        return static_cast<CListHBoxElementUI*>(this);
    return CListContainerElementUI::GetInterface(name);
}

void CListHBoxElementUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    const RECT client = GetClientPos();
    const TListInfoUI* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    int shown = 0;
    for (int i = 0; i < m_items.GetSize(); ++i)
        shown += GetItemAt(i)->IsVisible() ? 1 : 0;
    const long share = shown > 0 ? (client.right - client.left) / shown : 0;
    int column = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        RECT place = {0, 0, 0, 0};
        if (info != nullptr && info->nColumns > 0) {
            // Children beyond the columns are not shown.
            if (column < info->nColumns)
                place = RECT{info->rcColumn[column].left, client.top, info->rcColumn[column].right, client.bottom};
        } else {
            place = RECT{client.left + column * share, client.top, client.left + (column + 1) * share, client.bottom};
        }
        const RECT pad = child->GetPadding();
        place.left += pad.left;
        place.top += pad.top;
        place.right -= pad.right;
        place.bottom -= pad.bottom;
        if (place.right < place.left)
            place.right = place.left;
        if (place.bottom < place.top)
            place.bottom = place.top;
        child->SetPos(place, false);
        ++column;
    }
}

} // namespace Facet
