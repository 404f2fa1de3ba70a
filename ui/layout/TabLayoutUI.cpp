// CTabLayoutUI: page list, selection and placement of the selected page.
#include "TabLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "../core/PaintManager.h"

namespace Facet {

namespace {

long Clamp(long value, long low, long high)
{
    return (std::min)((std::max)(value, low), high);
}

} // namespace

CTabLayoutUI::CTabLayoutUI() : m_iCurSel(-1)
{
}

const wchar_t* CTabLayoutUI::GetClass() const
{
    return L"TabLayout";
}

LPVOID CTabLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return static_cast<CTabLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control)
{
    if (!CContainerUI::Add(control))
        return false;
    if (m_iCurSel == -1 && control->IsVisible())
        m_iCurSel = GetItemIndex(control);
    else
        control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index)
{
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (m_iCurSel == -1) {
        if (control->IsVisible())
            m_iCurSel = GetItemIndex(control);
        else
            control->SetVisible(false);
        return true;
    }
    // A page inserted at or before the selection pushes it one place on.
    // The new page is hidden either way: a second visible page would be
    // painted over the selected one without ever being placed.
    if (index <= m_iCurSel)
        ++m_iCurSel;
    control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool doNotDestroy)
{
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control, doNotDestroy))
        return false;
    if (index == m_iCurSel) {
        if (GetCount() > 0) {
            m_iCurSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_iCurSel = -1;
        }
        NeedParentUpdate();
    } else if (index < m_iCurSel) {
        --m_iCurSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

int CTabLayoutUI::GetCurSel() const
{
    return m_iCurSel;
}

bool CTabLayoutUI::SelectItem(int index, bool notify)
{
    if (index < 0 || index >= GetCount())
        return false;
    if (index == m_iCurSel)
        return true;
    const int old = m_iCurSel;
    m_iCurSel = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        const unsigned version = m_nItemsVersion;
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
        i = ResumeIndex(i, page, version);
    }
    NeedParentUpdate();
    if (m_pManager != nullptr) {
        m_pManager->SetNextTabControl(true);
        if (notify)
            m_pManager->SendNotify(this, L"tabselect", static_cast<WPARAM>(index), static_cast<LPARAM>(old), false,
                                   true);
    }
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control, bool notify)
{
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    return SelectItem(index, notify);
}

void CTabLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    const RECT area = GetInsetRect();
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (!page->IsVisible())
            continue;
        const unsigned version = m_nItemsVersion;
        if (page->IsFloat()) {
            SetFloatPos(i);
        } else if (i == m_iCurSel) {
            const RECT pad = page->GetPadding();
            const RECT inner = {area.left + pad.left, area.top + pad.top, area.right - pad.right,
                                area.bottom - pad.bottom};
            const SIZE available = {inner.right - inner.left, inner.bottom - inner.top};
            SIZE size = page->EstimateSize(available);
            if (size.cx == 0)
                size.cx = (std::max)(0L, available.cx);
            if (size.cy == 0)
                size.cy = (std::max)(0L, available.cy);
            size.cx = Clamp(size.cx, page->GetMinWidth(), page->GetMaxWidth());
            size.cy = Clamp(size.cy, page->GetMinHeight(), page->GetMaxHeight());
            page->SetPos(RECT{inner.left, inner.top, inner.left + size.cx, inner.top + size.cy}, false);
        }
        i = ResumeIndex(i, page, version);
    }
}

const CControlAttributeTable& CTabLayoutUI::GetAttributeTable() const
{
    using C = CTabLayoutUI;
    static const TAttribute<CTabLayoutUI> kAttributes[] = {
        // The page is selected and the pair is kept as a custom attribute too.
        {L"selectedid", kValueNumber,
         [](C& c, const wchar_t* v) {
             c.SelectItem(static_cast<int>(wcstol(v, nullptr, 10)), true);
             c.AddCustomAttribute(L"selectedid", v);
         }},
    };
    static const TAttributeTable table(kAttributes, &CContainerUI::GetAttributeTable());
    return table;
}

} // namespace Facet
