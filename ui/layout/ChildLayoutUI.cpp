// CChildLayoutUI: building the children from a skin file.
#include "ChildLayoutUI.h"

#include <cwchar>

#include "../core/AttributeValues.h"
#include "../core/DialogBuilder.h"
#include "../core/Markup.h"
#include "../core/PaintManager.h"
#include "../core/SkinSource.h"

namespace Facet {

using namespace attribute_values;

CChildLayoutUI::CChildLayoutUI() = default;

const wchar_t* CChildLayoutUI::GetClass() const
{
    return L"ChildLayout";
}

LPVOID CChildLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
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

namespace {

// How many parents the control has.
int LevelOf(const CControlUI* control)
{
    int level = 0;
    for (const CControlUI* parent = control->GetParent(); parent != nullptr; parent = parent->GetParent())
        ++level;
    return level;
}

// The deepest level below `top` of a control in its subtree (its children
// are at level 1).
struct DepthSearch
{
    CControlUI* top;
    int deepest;
};

CControlUI* CALLBACK MeasureDepth(CControlUI* control, LPVOID data)
{
    DepthSearch* search = static_cast<DepthSearch*>(data);
    int level = 0;
    for (CControlUI* p = control; p != nullptr && p != search->top; p = p->GetParent())
        ++level;
    if (level > search->deepest)
        search->deepest = level;
    return nullptr; // visit every control
}

} // namespace

bool CChildLayoutUI::IsFileBuiltByAncestor() const
{
    const CFacetString file = CSkinSource::DocumentIdentity(m_sXMLFile);
    for (CControlUI* ancestor = m_pParent; ancestor != nullptr; ancestor = ancestor->GetParent()) {
        auto* layout = InterfaceCast<CChildLayoutUI>(ancestor);
        if (layout != nullptr && !layout->m_sLoadedFile.IsEmpty() &&
            CSkinSource::DocumentIdentity(layout->m_sLoadedFile) == file)
            return true;
    }
    return false;
}

bool CChildLayoutUI::IsInWindowTree() const
{
    return m_pManager != nullptr && (m_pParent != nullptr || m_pManager->GetRoot() == this);
}

void CChildLayoutUI::LoadChildren()
{
    if (m_sLoadedFile == m_sXMLFile.GetData() || !IsInWindowTree())
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
    // The file's tree hangs below this layout: the two together keep within
    // the nesting bound that layout and painting rely on.
    DepthSearch search = {&holder, 0};
    holder.FindControl(MeasureDepth, &search, UIFIND_ALL);
    if (LevelOf(this) + search.deepest >= static_cast<int>(CMarkup::kMaxDepth)) {
        holder.RemoveAll();
        return;
    }
    while (holder.GetCount() > 0) {
        CControlUI* control = holder.GetItemAt(0);
        holder.RemoveAt(0, true);
        if (!Add(control))
            control->Delete();
    }
    NeedUpdate();
}

} // namespace Facet
