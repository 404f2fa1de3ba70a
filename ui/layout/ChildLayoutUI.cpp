// CChildLayoutUI: building the children from a skin file.
#include "ChildLayoutUI.h"

#include <cwchar>

#include "../control/LabelUIValues.h"
#include "../core/DialogBuilder.h"
#include "../core/PaintManager.h"

namespace Facet {

using namespace attribute_values;

CChildLayoutUI::CChildLayoutUI() = default;

const wchar_t* CChildLayoutUI::GetClass() const
{
    return L"ChildLayout";
}

LPVOID CChildLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ChildLayout") == 0)
        return static_cast<CChildLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CChildLayoutUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    CContainerUI::SetManager(manager, parent, init);
    if (m_pManager != nullptr)
        LoadChildren();
}

void CChildLayoutUI::DoInit()
{
    CContainerUI::DoInit();
    LoadChildren();
}

const CControlAttributeTable& CChildLayoutUI::GetAttributeTable() const
{
    using C = CChildLayoutUI;
    static const TAttribute<CChildLayoutUI> kAttributes[] = {
        {L"xmlfile", kValueText, [](C& c, const wchar_t* v) { c.SetChildLayoutXML(v); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CContainerUI::GetAttributeTable());
    return table;
}

void CChildLayoutUI::SetChildLayoutXML(const wchar_t* fileName)
{
    m_sXMLFile = fileName != nullptr ? fileName : L"";
    if (m_pManager != nullptr)
        LoadChildren();
}

CFacetString CChildLayoutUI::GetChildLayoutXML() const
{
    return m_sXMLFile;
}

bool CChildLayoutUI::IsFileBuiltByAncestor() const
{
    for (CControlUI* ancestor = m_pParent; ancestor != nullptr; ancestor = ancestor->GetParent()) {
        auto* layout = static_cast<CChildLayoutUI*>(ancestor->GetInterface(L"ChildLayout"));
        if (layout != nullptr && EqualsIgnoringCase(layout->m_sLoadedFile.GetData(), m_sXMLFile.GetData()))
            return true;
    }
    return false;
}

void CChildLayoutUI::LoadChildren()
{
    if (m_sLoadedFile == m_sXMLFile.GetData())
        return;
    RemoveAll();
    m_sLoadedFile.Empty();
    if (m_sXMLFile.IsEmpty() || IsFileBuiltByAncestor())
        return;
    m_sLoadedFile = m_sXMLFile;
    // Built without a manager, so that the file's root attributes leave the
    // window alone, and into a detached holder, so that each control has its
    // name and attributes before it joins the window (and the manager's name
    // table) through this container.
    CContainerUI holder;
    CDialogBuilder builder;
    builder.Create(m_sXMLFile.GetData(), nullptr, nullptr, nullptr, &holder);
    while (holder.GetCount() > 0) {
        CControlUI* control = holder.GetItemAt(0);
        holder.RemoveAt(0, true);
        if (!Add(control))
            control->Delete();
    }
    NeedUpdate();
}

} // namespace Facet
