// CListRowUI for the two kinds of rows: plain controls and containers.
#include "ListRowUI.h"

#include <cwchar>

#include "../core/PaintManager.h"
#include "ButtonUI.h"
#include "ControlDispatch.h"

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

template <class TControl>
CListRowUI<TControl>::CListRowUI() : m_iIndex(-1), m_bSelected(false), m_uButtonState(0), m_pOwner(nullptr)
{
}

template <class TControl>
LPVOID CListRowUI<TControl>::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, IListItemUI::kInterfaceName) == 0)
        return static_cast<IListItemUI*>(this);
    return TControl::GetInterface(name);
}

template <class TControl>
bool CListRowUI<TControl>::Activate()
{
    if (!TControl::Activate())
        return false;
    if (this->m_pManager != nullptr)
        this->m_pManager->SendNotify(this, L"itemactivate");
    return true;
}

template <class TControl>
void CListRowUI<TControl>::SetVisible(bool visible)
{
    TControl::SetVisible(visible);
    if (!this->IsVisible() && m_bSelected) {
        m_bSelected = false;
        if (m_pOwner != nullptr && m_pOwner->GetCurSel() == m_iIndex)
            m_pOwner->SelectItem(-1);
    }
}

template <class TControl>
void CListRowUI<TControl>::SetEnabled(bool enabled)
{
    TControl::SetEnabled(enabled);
    if (!this->IsEnabled())
        m_uButtonState = 0;
}

template <class TControl>
void CListRowUI<TControl>::DoEvent(TEventUI& event)
{
    if (IsForOwner(event)) {
        PassToOwner(event);
        return;
    }
    if (TrackHot(*this, m_uButtonState, event))
        return;
    if (!HandleRowEvent(event))
        TControl::DoEvent(event);
}

// Keys and the wheel move the owner's selection; a row without mouse input
// lets the owner have the mouse too.
template <class TControl>
bool CListRowUI<TControl>::IsForOwner(const TEventUI& event) const
{
    return (!this->IsMouseEnabled() && IsMouseEvent(event.Type)) || IsKeyEvent(event.Type) ||
           event.Type == UIEVENT_SCROLLWHEEL;
}

// A row not yet in a list handles the event as its base control would.
template <class TControl>
void CListRowUI<TControl>::PassToOwner(TEventUI& event)
{
    if (m_pOwner != nullptr)
        m_pOwner->DoEvent(event);
    else
        TControl::DoEvent(event);
}

// One line per event the row answers; true when the event stops here, false
// when the base control goes on with it.
template <class TControl>
bool CListRowUI<TControl>::HandleRowEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_DBLCLICK:
        return OnDoubleClick();
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        return OnButtonDown();
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        // The hot state was tracked above; a row is not dragged.
        return true;
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        // The plain control's focus handling, also for container rows.
        CControlUI::DoEvent(event);
        return true;
    default:
        return false;
    }
}

// Expands the row where it can (rows that cannot refuse) and activates it.
template <class TControl>
bool CListRowUI<TControl>::OnDoubleClick()
{
    if (this->IsEnabled()) {
        Expand(!IsExpanded());
        this->Activate();
        this->Invalidate();
    }
    return true;
}

// A press with either button selects the row in its owner.
template <class TControl>
bool CListRowUI<TControl>::OnButtonDown()
{
    if (this->IsEnabled()) {
        if (m_pOwner != nullptr)
            m_pOwner->SelectItem(m_iIndex, true);
        this->Invalidate();
    }
    return true;
}

template <class TControl>
const CControlAttributeTable& CListRowUI<TControl>::GetAttributeTable() const
{
    using C = CListRowUI<TControl>;
    static const TAttribute<C> kAttributes[] = {
        {L"selected", kValueFlag, [](C& c, const wchar_t* v) { c.Select(wcscmp(v, L"true") == 0); }},
    };
    static const TAttributeTable table(kAttributes, &TControl::GetAttributeTable());
    return table;
}

template <class TControl>
bool CListRowUI<TControl>::Select(bool select)
{
    if (!this->IsEnabled())
        return false;
    if (select == m_bSelected)
        return true;
    m_bSelected = select;
    // A row selected on its own (by attribute or by code) becomes its
    // owner's selection.
    if (select && m_pOwner != nullptr && m_iIndex >= 0)
        m_pOwner->SelectItem(m_iIndex);
    this->Invalidate();
    return true;
}

template <class TControl>
void CListRowUI<TControl>::DrawItemBk(HDC hDC, const RECT& rcItem)
{
    DrawListRowBk(hDC, this, rcItem, m_pOwner, m_iIndex, m_bSelected, m_uButtonState);
}

template class CListRowUI<CControlUI>;
template class CListRowUI<CContainerUI>;

} // namespace Facet
