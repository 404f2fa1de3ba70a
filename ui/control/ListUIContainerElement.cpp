// CListContainerElementUI and CListHBoxElementUI.
#include "ListUIContainerElement.h"

#include <algorithm>
#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderClip.h"
#include "ButtonUI.h"

namespace Facet {

namespace {

bool IsMouseEvent(int type)
{
    return type > UIEVENT__MOUSEBEGIN && type < UIEVENT__MOUSEEND;
}

bool IsKeyEvent(int type)
{
    return type > UIEVENT__KEYBEGIN && type < UIEVENT__KEYEND;
}

} // namespace

CListContainerElementUI::CListContainerElementUI()
    : m_iIndex(-1), m_bSelected(false), m_bExpandable(false), m_bExpanded(false), m_uButtonState(0),
      m_pOwner(nullptr)
{
}

const wchar_t* CListContainerElementUI::GetClass() const
{
    return L"ListContainerElement";
}

LPVOID CListContainerElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr) {
        if (wcscmp(name, L"ListItem") == 0)
            return static_cast<IListItemUI*>(this);
        if (wcscmp(name, L"ListContainerElement") == 0)
            return static_cast<CListContainerElementUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

bool CListContainerElementUI::Activate()
{
    if (!CContainerUI::Activate())
        return false;
    if (m_pManager != nullptr)
        m_pManager->SendNotify(this, L"itemactivate");
    return true;
}

void CListContainerElementUI::SetVisible(bool visible)
{
    CContainerUI::SetVisible(visible);
    if (!IsVisible() && m_bSelected) {
        m_bSelected = false;
        if (m_pOwner != nullptr && m_pOwner->GetCurSel() == m_iIndex)
            m_pOwner->SelectItem(-1);
    }
}

void CListContainerElementUI::SetEnabled(bool enabled)
{
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_uButtonState = 0;
}

SIZE CListContainerElementUI::EstimateSize(SIZE /*available*/)
{
    SIZE size = m_cxyFixed;
    if (size.cy == 0 && m_pOwner != nullptr)
        size.cy = m_pOwner->GetListInfo()->nItemHeight;
    return size;
}

void CListContainerElementUI::DoEvent(TEventUI& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_pOwner != nullptr)
            m_pOwner->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    if (IsKeyEvent(event.Type) || event.Type == UIEVENT_SCROLLWHEEL) {
        if (m_pOwner != nullptr)
            m_pOwner->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) {
            if (m_bExpandable)
                Expand(!m_bExpanded);
            Activate();
            Invalidate();
        }
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        if (IsEnabled()) {
            if (m_pOwner != nullptr)
                m_pOwner->SelectItem(m_iIndex, true);
            Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        if ((m_uButtonState & UISTATE_HOT) != 0) {
            m_uButtonState &= ~static_cast<UINT>(UISTATE_HOT);
            Invalidate();
        }
        return;
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        CControlUI::DoEvent(event);
        return;
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

void CListContainerElementUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (wcscmp(name, L"selected") == 0)
        Select(wcscmp(value, L"true") == 0);
    else if (wcscmp(name, L"expandable") == 0)
        SetExpandable(wcscmp(value, L"true") == 0);
    else
        CContainerUI::SetAttribute(name, value);
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

int CListContainerElementUI::GetIndex() const
{
    return m_iIndex;
}

void CListContainerElementUI::SetIndex(int index)
{
    m_iIndex = index;
}

IListOwnerUI* CListContainerElementUI::GetOwner()
{
    return m_pOwner;
}

void CListContainerElementUI::SetOwner(CControlUI* owner)
{
    m_pOwner = AsListOwner(owner);
}

bool CListContainerElementUI::IsSelected() const
{
    return m_bSelected;
}

bool CListContainerElementUI::Select(bool select)
{
    if (!IsEnabled())
        return false;
    if (select == m_bSelected)
        return true;
    m_bSelected = select;
    if (select && m_pOwner != nullptr && m_iIndex >= 0)
        m_pOwner->SelectItem(m_iIndex);
    Invalidate();
    return true;
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
        list = static_cast<IListUI*>(m_pParent->GetParent()->GetInterface(L"IList"));
    if (list != nullptr && m_iIndex >= 0)
        list->ExpandItem(m_iIndex, expand);
    if (m_pManager != nullptr)
        m_pManager->SendNotify(this, expand ? L"itemexpand" : L"itemcollapse");
    NeedParentUpdate();
    return true;
}

void CListContainerElementUI::DrawItemText(HDC /*hDC*/, const RECT& /*rcItem*/) {}

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

void CListContainerElementUI::DrawItemBk(HDC hDC, const RECT& rcItem)
{
    DrawListRowBk(hDC, this, rcItem, m_pOwner, m_iIndex, m_bSelected, m_uButtonState);
}

UINT CListContainerElementUI::GetButtonState() const
{
    return m_uButtonState;
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
            place = RECT{client.left + column * share, client.top, client.left + (column + 1) * share,
                         client.bottom};
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
