// COptionUI: selection, option groups of the paint manager, and the selected
// images, background and text colour.
#include "OptionUI.h"

#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"
#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

COptionUI::COptionUI() : m_bSelected(false), m_dwSelectedBkColor(0), m_dwSelectedTextColor(0)
{
}

COptionUI::~COptionUI()
{
    if (!m_sGroupName.IsEmpty() && m_pManager != nullptr)
        m_pManager->RemoveOptionGroup(m_sGroupName.GetData(), this);
}

const wchar_t* COptionUI::GetClass() const
{
    return L"Option";
}

LPVOID COptionUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    CButtonUI::SetManager(manager, parent, init);
    if (init && !m_sGroupName.IsEmpty() && m_pManager != nullptr)
        m_pManager->AddOptionGroup(m_sGroupName.GetData(), this);
}

void COptionUI::SetGroup(const wchar_t* groupName)
{
    if (groupName == nullptr)
        groupName = L"";
    if (m_sGroupName == groupName)
        return;
    // The option always leaves its old group: a member the manager still
    // listed after it became ungrouped (or was destroyed) would be unselected
    // through a stale pointer when another member is selected.
    if (!m_sGroupName.IsEmpty() && m_pManager != nullptr)
        m_pManager->RemoveOptionGroup(m_sGroupName.GetData(), this);
    m_sGroupName = groupName;
    if (!m_sGroupName.IsEmpty() && m_pManager != nullptr)
        m_pManager->AddOptionGroup(m_sGroupName.GetData(), this);
}

const wchar_t* COptionUI::GetGroup() const
{
    return m_sGroupName.GetData();
}

bool COptionUI::IsSelected() const
{
    return m_bSelected;
}

void COptionUI::Selected(bool selected, bool notify)
{
    if (m_bSelected == selected)
        return;
    m_bSelected = selected;
    if (selected)
        m_uButtonState |= UISTATE_SELECTED;
    else
        m_uButtonState &= ~static_cast<UINT>(UISTATE_SELECTED);

    if (m_pManager != nullptr) {
        if (m_sGroupName.IsEmpty()) {
            if (notify)
                m_pManager->SendNotify(this, L"selectchanged", 0, 0, false, true);
        } else if (selected) {
            const CFacetPtrArray* group = m_pManager->GetOptionGroup(m_sGroupName.GetData());
            if (group != nullptr) {
                const CFacetPtrArray members(*group);
                for (int i = 0; i < members.GetSize(); ++i) {
                    auto* control = static_cast<CControlUI*>(members[i]);
                    auto* other = InterfaceCast<COptionUI>(control);
                    if (other != nullptr && other != this)
                        other->Selected(false, notify);
                }
            }
            if (notify)
                m_pManager->SendNotify(this, L"selectchanged", 0, 0, false, true);
        }
    }
    Invalidate();
    NotifyAccessible(EVENT_OBJECT_STATECHANGE);
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate())
        return false;
    if (!m_sGroupName.IsEmpty())
        Selected(true, true);
    else
        Selected(!m_bSelected, true);
    return true;
}

void COptionUI::SetEnabled(bool enabled)
{
    CButtonUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_uButtonState = m_bSelected ? static_cast<UINT>(UISTATE_SELECTED) : 0u;
}

const wchar_t* COptionUI::GetSelectedImage() const
{
    return m_diSelected.sDrawString.GetData();
}

void COptionUI::SetSelectedImage(const wchar_t* description)
{
    ReplaceImage(m_diSelected, description);
}

const wchar_t* COptionUI::GetSelectedHotImage() const
{
    return m_diSelectedHot.sDrawString.GetData();
}

void COptionUI::SetSelectedHotImage(const wchar_t* description)
{
    ReplaceImage(m_diSelectedHot, description);
}

const wchar_t* COptionUI::GetForeImage() const
{
    return m_diSelectedFore.sDrawString.GetData();
}

void COptionUI::SetForeImage(const wchar_t* description)
{
    ReplaceImage(m_diSelectedFore, description);
}

void COptionUI::SetSelectedBkColor(DWORD color)
{
    m_dwSelectedBkColor = color;
}

DWORD COptionUI::GetSelectedBkColor() const
{
    return m_dwSelectedBkColor;
}

void COptionUI::SetSelectedTextColor(DWORD color)
{
    m_dwSelectedTextColor = color;
}

DWORD COptionUI::GetSelectedTextColor() const
{
    return m_dwSelectedTextColor;
}

const CControlAttributeTable& COptionUI::GetAttributeTable() const
{
    using C = COptionUI;
    static const TAttribute<COptionUI> kAttributes[] = {
        {L"group", kValueText, [](C& c, const wchar_t* v) { c.SetGroup(v); }},
        {L"selected", kValueFlag, [](C& c, const wchar_t* v) { c.Selected(IsTrue(v), true); }},
        {L"selectedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetSelectedImage(v); }},
        {L"selectedhotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetSelectedHotImage(v); }},
        {L"foreimage", kValueImage, [](C& c, const wchar_t* v) { c.SetForeImage(v); }},
        {L"selectedbkcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetSelectedBkColor(ReadColor(v)); }},
        {L"selectedtextcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetSelectedTextColor(ReadColor(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CButtonUI::GetAttributeTable());
    return table;
}

void COptionUI::PaintStatusImage(HDC hDC)
{
    ApplyFiveStatusImage();
    if (m_bSelected) {
        const bool drawn = ((m_uButtonState & UISTATE_HOT) != 0 && DrawImage(hDC, m_diSelectedHot)) ||
                           DrawImage(hDC, m_diSelected);
        if (drawn) {
            DrawImage(hDC, m_diSelectedFore);
            return;
        }
        if (m_dwSelectedBkColor != 0) {
            CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwSelectedBkColor));
            DrawImage(hDC, m_diSelectedFore);
            return;
        }
    }
    // Not selected (or nothing selected to show): the button's images, never
    // in their pushed form.
    const UINT pushed = m_uButtonState & UISTATE_PUSHED;
    m_uButtonState &= ~static_cast<UINT>(UISTATE_PUSHED);
    CButtonUI::PaintStatusImage(hDC);
    m_uButtonState |= pushed;
    DrawImage(hDC, m_diSelectedFore);
}

void COptionUI::PaintText(HDC hDC)
{
    if (!m_bSelected) {
        PaintButtonText(hDC, m_uButtonState & ~static_cast<UINT>(UISTATE_PUSHED));
        return;
    }
    ResolveDefaultColors();
    const CFacetString text = GetDisplayText();
    if (text.IsEmpty())
        return;
    DWORD color = m_dwSelectedTextColor != 0 ? m_dwSelectedTextColor : m_dwTextColor;
    if (!IsEnabled())
        color = m_dwDisabledTextColor;
    DrawPlainText(hDC, GetTextRect(), text, color);
}

} // namespace Facet
