// CTreeNodeUI and CTreeViewUI.
#include "TreeViewUI.h"

#include <cwchar>
#include <vector>

#include "../core/PaintManager.h"
#include "ListAttributeReaders.h"

namespace Facet {

using namespace list_attributes;

namespace {

// The nodes below `node`, in row order.
void CollectDescendants(CTreeNodeUI* node, std::vector<CTreeNodeUI*>& out)
{
    for (int i = 0; i < node->GetCountChild(); ++i) {
        CTreeNodeUI* child = node->GetChildNode(i);
        out.push_back(child);
        CollectDescendants(child, out);
    }
}

const int kIndentPerLevel = 16;

} // namespace

// -- CTreeNodeUI --

CTreeNodeUI::CTreeNodeUI()
    : m_pTreeView(nullptr),
      m_pParentTreeNode(nullptr),
      m_iTreeLevel(0),
      m_bNodeExpanded(true),
      m_bFolderAllowed(true),
      m_pHoriz(new CHorizontalLayoutUI()),
      m_pDottedLine(new CLabelUI()),
      m_pFolderButton(new CCheckBoxUI()),
      m_pCheckBox(new CCheckBoxUI()),
      m_pItemButton(new COptionUI())
{
    SetFixedHeight(18);
    const int side = GetFixedHeight();
    m_pDottedLine->SetFixedWidth(2);
    m_pDottedLine->SetVisible(false);
    m_pDottedLine->SetMouseEnabled(false);
    m_pFolderButton->SetFixedWidth(side);
    m_pFolderButton->Selected(true, false);
    m_pFolderButton->SetEnabled(false);
    m_pCheckBox->SetFixedWidth(side);
    m_pCheckBox->SetVisible(false);
    // Clicks on the text select the row.
    m_pItemButton->SetMouseEnabled(false);
    m_pItemButton->SetAttribute(L"align", L"left");
    m_pHoriz->Add(m_pDottedLine);
    m_pHoriz->Add(m_pFolderButton);
    m_pHoriz->Add(m_pCheckBox);
    m_pHoriz->Add(m_pItemButton);
    CListContainerElementUI::AddAt(m_pHoriz, 0);
    m_pFolderButton->OnNotify += MakeDelegate(this, &CTreeNodeUI::OnFolderNotify);
    m_pCheckBox->OnNotify += MakeDelegate(this, &CTreeNodeUI::OnCheckNotify);
}

CTreeNodeUI::~CTreeNodeUI()
{
    // In a view the list holds every row; outside one the subtree is this
    // node's.
    if (m_pTreeView == nullptr) {
        for (int i = 0; i < m_aTreeNodes.GetSize(); ++i)
            static_cast<CTreeNodeUI*>(m_aTreeNodes[i])->Delete();
    }
}

const wchar_t* CTreeNodeUI::GetClass() const
{
    return L"TreeNode";
}

LPVOID CTreeNodeUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return static_cast<CTreeNodeUI*>(this);
    return CListContainerElementUI::GetInterface(name);
}

bool CTreeNodeUI::Add(CControlUI* control)
{
    if (CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(control))
        return AddChildNode(node);
    return CListContainerElementUI::Add(control);
}

bool CTreeNodeUI::AddAt(CControlUI* control, int index)
{
    if (CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(control))
        return InsertChildNode(node, index);
    return CListContainerElementUI::AddAt(control, index);
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* node)
{
    return InsertChildNode(node, m_aTreeNodes.GetSize());
}

bool CTreeNodeUI::InsertChildNode(CTreeNodeUI* node, int index)
{
    if (node == nullptr || node->m_pParentTreeNode != nullptr || node->m_pTreeView != nullptr)
        return false;
    // A node cannot go below itself or its own descendants.
    for (CTreeNodeUI* ancestor = this; ancestor != nullptr; ancestor = ancestor->m_pParentTreeNode) {
        if (ancestor == node)
            return false;
    }
    if (index < 0 || index > m_aTreeNodes.GetSize())
        index = m_aTreeNodes.GetSize();

    int row = -1;
    if (m_pTreeView != nullptr) {
        CTreeNodeUI* before = index < m_aTreeNodes.GetSize() ? GetChildNode(index) : nullptr;
        row = before != nullptr ? m_pTreeView->GetItemIndex(before)
                                : m_pTreeView->GetItemIndex(GetLastDescendant()) + 1;
        if (row <= 0)
            return false;
    }
    if (!m_aTreeNodes.InsertAt(index, node))
        return false;
    node->SetParentNode(this);
    node->SetTreeLevel(m_iTreeLevel + 1);
    if (m_pTreeView != nullptr && !m_pTreeView->InsertNodeRows(node, row)) {
        m_aTreeNodes.Remove(index);
        node->SetParentNode(nullptr);
        node->SetTreeLevel(0);
        return false;
    }
    UpdateFolderButton();
    UpdateChildVisibility();
    return true;
}

bool CTreeNodeUI::RemoveChildNode(CTreeNodeUI* node, bool doNotDestroy)
{
    const int index = m_aTreeNodes.Find(node);
    if (index < 0)
        return false;
    m_aTreeNodes.Remove(index);
    node->SetParentNode(nullptr);
    node->SetTreeLevel(0);
    UpdateFolderButton();
    if (m_pTreeView != nullptr)
        m_pTreeView->RemoveNodeRows(node, doNotDestroy);
    else if (!doNotDestroy)
        node->Delete();
    return true;
}

int CTreeNodeUI::GetCountChild() const
{
    return m_aTreeNodes.GetSize();
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const
{
    if (index < 0 || index >= m_aTreeNodes.GetSize())
        return nullptr;
    return static_cast<CTreeNodeUI*>(m_aTreeNodes[index]);
}

CTreeNodeUI* CTreeNodeUI::GetParentNode() const
{
    return m_pParentTreeNode;
}

int CTreeNodeUI::GetDescendantCount() const
{
    int count = m_aTreeNodes.GetSize();
    for (int i = 0; i < m_aTreeNodes.GetSize(); ++i)
        count += GetChildNode(i)->GetDescendantCount();
    return count;
}

CTreeNodeUI* CTreeNodeUI::GetLastDescendant()
{
    CTreeNodeUI* node = this;
    while (node->GetCountChild() > 0)
        node = node->GetChildNode(node->GetCountChild() - 1);
    return node;
}

int CTreeNodeUI::GetTreeLevel() const
{
    return m_iTreeLevel;
}

CTreeViewUI* CTreeNodeUI::GetTreeView() const
{
    return m_pTreeView;
}

void CTreeNodeUI::SetTreeView(CTreeViewUI* view)
{
    m_pTreeView = view;
    for (int i = 0; i < m_aTreeNodes.GetSize(); ++i)
        GetChildNode(i)->SetTreeView(view);
}

void CTreeNodeUI::SetParentNode(CTreeNodeUI* parent)
{
    m_pParentTreeNode = parent;
}

void CTreeNodeUI::SetTreeLevel(int level)
{
    m_iTreeLevel = level;
    // The indent line widens with the depth.
    m_pDottedLine->SetVisible(level > 0);
    if (level > 0)
        m_pDottedLine->SetFixedWidth(kIndentPerLevel * level);
    for (int i = 0; i < m_aTreeNodes.GetSize(); ++i)
        GetChildNode(i)->SetTreeLevel(level + 1);
}

void CTreeNodeUI::UpdateFolderButton()
{
    // Shown on every node so that the rows of one level line up; only a
    // node with children can be opened and closed with it.
    m_pFolderButton->SetVisible(m_bFolderAllowed);
    m_pFolderButton->SetEnabled(m_aTreeNodes.GetSize() > 0);
}

void CTreeNodeUI::UpdateChildVisibility()
{
    ShowDescendants(m_bNodeExpanded && m_bVisible);
}

void CTreeNodeUI::ShowDescendants(bool shown)
{
    for (int i = 0; i < m_aTreeNodes.GetSize(); ++i) {
        CTreeNodeUI* child = GetChildNode(i);
        child->SetVisible(shown);
        child->ShowDescendants(shown && child->m_bNodeExpanded);
    }
}

void CTreeNodeUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_DBLCLICK && IsEnabled() && IsMouseEnabled()) {
        if (m_pManager != nullptr)
            m_pManager->SendNotify(this, L"itemdbclick");
        if (m_aTreeNodes.GetSize() > 0)
            Expand(!m_bNodeExpanded);
        Invalidate();
        return;
    }
    CListContainerElementUI::DoEvent(event);
}

bool CTreeNodeUI::Select(bool select)
{
    const bool result = CListContainerElementUI::Select(select);
    m_pItemButton->Selected(IsSelected(), false);
    return result;
}

bool CTreeNodeUI::Expand(bool expand)
{
    if (expand == m_bNodeExpanded)
        return true;
    m_bNodeExpanded = expand;
    m_pFolderButton->Selected(expand, false);
    UpdateChildVisibility();
    if (m_pManager != nullptr)
        m_pManager->SendNotify(this, expand ? L"itemexpand" : L"itemcollapse");
    NeedParentUpdate();
    return true;
}

bool CTreeNodeUI::IsExpanded() const
{
    return m_bNodeExpanded;
}

bool CTreeNodeUI::OnFolderNotify(void* param)
{
    const TNotifyUI* msg = static_cast<const TNotifyUI*>(param);
    if (msg != nullptr && msg->sType == L"selectchanged")
        Expand(m_pFolderButton->IsSelected());
    return true;
}

bool CTreeNodeUI::OnCheckNotify(void* param)
{
    const TNotifyUI* msg = static_cast<const TNotifyUI*>(param);
    if (msg != nullptr && msg->sType == L"selectchanged")
        SetChecked(m_pCheckBox->IsSelected());
    return true;
}

bool CTreeNodeUI::IsChecked() const
{
    return m_pCheckBox->IsSelected();
}

void CTreeNodeUI::SetChecked(bool checked)
{
    m_pCheckBox->Selected(checked, false);
    for (int i = 0; i < m_aTreeNodes.GetSize(); ++i)
        GetChildNode(i)->SetChecked(checked);
}

void CTreeNodeUI::SetItemText(const wchar_t* text)
{
    m_pItemButton->SetText(text);
}

CFacetString CTreeNodeUI::GetItemText() const
{
    return m_pItemButton->GetText();
}

void CTreeNodeUI::SetItemTextColor(DWORD color)
{
    m_pItemButton->SetTextColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color)
{
    m_pItemButton->SetHotTextColor(color);
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color)
{
    m_pItemButton->SetSelectedTextColor(color);
}

const CControlAttributeTable& CTreeNodeUI::GetAttributeTable() const
{
    using C = CTreeNodeUI;
    static const TAttribute<CTreeNodeUI> kAttributes[] = {
        {L"text", kValueText, [](C& c, const wchar_t* v) { c.SetItemText(v); }},
        {L"horizattr", kValueList, [](C& c, const wchar_t* v) { c.m_pHoriz->SetAttributeList(v); }},
        {L"dotlineattr", kValueList, [](C& c, const wchar_t* v) { c.m_pDottedLine->SetAttributeList(v); }},
        {L"folderattr", kValueList, [](C& c, const wchar_t* v) { c.m_pFolderButton->SetAttributeList(v); }},
        {L"checkboxattr", kValueList, [](C& c, const wchar_t* v) { c.m_pCheckBox->SetAttributeList(v); }},
        {L"itemattr", kValueList, [](C& c, const wchar_t* v) { c.m_pItemButton->SetAttributeList(v); }},
        {L"itemtextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.SetItemTextColor(ReadColorAfterBlanks(v)); }},
        {L"itemhottextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.SetItemHotTextColor(ReadColorAfterBlanks(v)); }},
        {L"selitemtextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.SetSelItemTextColor(ReadColorAfterBlanks(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CListContainerElementUI::GetAttributeTable());
    return table;
}

CHorizontalLayoutUI* CTreeNodeUI::GetTreeNodeHorizontal() const
{
    return m_pHoriz;
}

CLabelUI* CTreeNodeUI::GetDottedLine() const
{
    return m_pDottedLine;
}

CCheckBoxUI* CTreeNodeUI::GetFolderButton() const
{
    return m_pFolderButton;
}

CCheckBoxUI* CTreeNodeUI::GetCheckBox() const
{
    return m_pCheckBox;
}

COptionUI* CTreeNodeUI::GetItemButton() const
{
    return m_pItemButton;
}

// -- CTreeViewUI --

CTreeViewUI::CTreeViewUI()
    : m_bVisibleFolderBtn(true),
      m_bVisibleCheckBtn(false),
      m_uItemMinWidth(0),
      m_dwItemTextColor(0),
      m_dwItemHotTextColor(0),
      m_dwSelItemTextColor(0)
{
}

const wchar_t* CTreeViewUI::GetClass() const
{
    return L"TreeView";
}

LPVOID CTreeViewUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr) {
        if (wcscmp(name, kInterfaceName) == 0)
            return static_cast<CTreeViewUI*>(this);
        if (wcscmp(name, L"INotify") == 0)
            return static_cast<INotifyUI*>(this);
    }
    return CListUI::GetInterface(name);
}

bool CTreeViewUI::Add(CControlUI* control)
{
    return AddAt(control, GetCount());
}

bool CTreeViewUI::AddAt(CControlUI* control, int index)
{
    CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(control);
    if (node == nullptr)
        return CListUI::AddAt(control, index);
    // Only a node without a parent node is a top level node, and it goes
    // between two top-level subtrees.
    if (node->GetParentNode() != nullptr || node->GetTreeView() != nullptr)
        return false;
    if (index < 0 || index > GetCount())
        return false;
    if (index < GetCount()) {
        CTreeNodeUI* at = InterfaceCast<CTreeNodeUI>(GetItemAt(index));
        if (at != nullptr && at->GetParentNode() != nullptr)
            return false;
    }
    return InsertNodeRows(node, index);
}

bool CTreeViewUI::InsertNodeRows(CTreeNodeUI* node, int index)
{
    std::vector<CTreeNodeUI*> rows;
    rows.push_back(node);
    CollectDescendants(node, rows);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!CListUI::AddAt(rows[i], index + static_cast<int>(i))) {
            // Nothing half-inserted stays behind.
            for (size_t j = 0; j < i; ++j)
                CListUI::Remove(rows[j], true);
            return false;
        }
        ApplySettings(rows[i]);
    }
    node->SetTreeView(this);
    node->UpdateChildVisibility();
    if (CTreeNodeUI* parent = node->GetParentNode())
        parent->UpdateChildVisibility();
    return true;
}

void CTreeViewUI::RemoveNodeRows(CTreeNodeUI* node, bool doNotDestroy)
{
    std::vector<CTreeNodeUI*> rows;
    rows.push_back(node);
    CollectDescendants(node, rows);
    for (size_t i = rows.size(); i-- > 0;) {
        CListUI::Remove(rows[i], true);
        rows[i]->SetOwner(nullptr);
        rows[i]->SetIndex(-1);
    }
    // Out of the list the subtree belongs to its top node again.
    node->SetTreeView(nullptr);
    if (doNotDestroy)
        return;
    if (m_pList->IsDelayedDestroy() && m_pManager != nullptr)
        m_pManager->AddDelayedCleanup(node);
    else
        node->Delete();
}

bool CTreeViewUI::Remove(CControlUI* control, bool doNotDestroy)
{
    CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(control);
    if (node == nullptr || node->GetTreeView() != this)
        return CListUI::Remove(control, doNotDestroy);
    if (CTreeNodeUI* parent = node->GetParentNode())
        return parent->RemoveChildNode(node, doNotDestroy);
    RemoveNodeRows(node, doNotDestroy);
    return true;
}

bool CTreeViewUI::RemoveAt(int index, bool doNotDestroy)
{
    CControlUI* control = GetItemAt(index);
    return control != nullptr && Remove(control, doNotDestroy);
}

void CTreeViewUI::RemoveAll()
{
    CListUI::RemoveAll();
}

void CTreeViewUI::Notify(TNotifyUI& msg)
{
    if (msg.sType != L"selectchanged" || msg.pSender == nullptr || msg.pSender->GetParent() == nullptr)
        return;
    CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(msg.pSender->GetParent()->GetParent());
    if (node == nullptr || node->GetTreeView() != this)
        return;
    if (msg.pSender == node->GetFolderButton())
        node->Expand(node->GetFolderButton()->IsSelected());
    else if (msg.pSender == node->GetCheckBox())
        node->SetChecked(node->GetCheckBox()->IsSelected());
}

void CTreeViewUI::ApplySettings(CTreeNodeUI* node)
{
    node->m_bFolderAllowed = m_bVisibleFolderBtn;
    node->UpdateFolderButton();
    node->GetCheckBox()->SetVisible(m_bVisibleCheckBtn);
    if (m_uItemMinWidth > 0)
        node->SetMinWidth(m_uItemMinWidth);
    if (m_dwItemTextColor != 0)
        node->SetItemTextColor(m_dwItemTextColor);
    if (m_dwItemHotTextColor != 0)
        node->SetItemHotTextColor(m_dwItemHotTextColor);
    if (m_dwSelItemTextColor != 0)
        node->SetSelItemTextColor(m_dwSelItemTextColor);
}

void CTreeViewUI::SetItemExpand(bool expanded, CTreeNodeUI* node)
{
    if (node != nullptr) {
        node->Expand(expanded);
        return;
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            row->Expand(expanded);
    }
}

void CTreeViewUI::SetItemCheckBox(bool checked, CTreeNodeUI* node)
{
    if (node != nullptr) {
        node->SetChecked(checked);
        return;
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            row->SetChecked(checked);
    }
}

bool CTreeViewUI::IsVisibleFolderBtn() const
{
    return m_bVisibleFolderBtn;
}

void CTreeViewUI::SetVisibleFolderBtn(bool visible)
{
    m_bVisibleFolderBtn = visible;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            ApplySettings(row);
    }
}

bool CTreeViewUI::IsVisibleCheckBtn() const
{
    return m_bVisibleCheckBtn;
}

void CTreeViewUI::SetVisibleCheckBtn(bool visible)
{
    m_bVisibleCheckBtn = visible;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            ApplySettings(row);
    }
}

int CTreeViewUI::GetItemMinWidth() const
{
    return m_uItemMinWidth;
}

void CTreeViewUI::SetItemMinWidth(int width)
{
    m_uItemMinWidth = width;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            ApplySettings(row);
    }
}

void CTreeViewUI::SetItemTextColor(DWORD color)
{
    m_dwItemTextColor = color;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            row->SetItemTextColor(color);
    }
}

void CTreeViewUI::SetItemHotTextColor(DWORD color)
{
    m_dwItemHotTextColor = color;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            row->SetItemHotTextColor(color);
    }
}

void CTreeViewUI::SetSelItemTextColor(DWORD color)
{
    m_dwSelItemTextColor = color;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            row->SetSelItemTextColor(color);
    }
}

const CControlAttributeTable& CTreeViewUI::GetAttributeTable() const
{
    using C = CTreeViewUI;
    static const TAttribute<CTreeViewUI> kAttributes[] = {
        {L"visiblefolderbtn", kValueFlag, [](C& c, const wchar_t* v) { c.SetVisibleFolderBtn(IsTrue(v)); }},
        {L"visiblecheckbtn", kValueFlag, [](C& c, const wchar_t* v) { c.SetVisibleCheckBtn(IsTrue(v)); }},
        {L"itemminwidth", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetItemMinWidth(ScaleByWindow(static_cast<int>(wcstol(v, nullptr, 10)))); }},
        // The node colours, and the list's item colours too.
        {L"itemtextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) {
             c.SetItemTextColor(ReadColorAfterBlanks(v));
             c.CListUI::GetAttributeTable().Apply(c, L"itemtextcolor", v);
         }},
        {L"itemhottextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) {
             c.SetItemHotTextColor(ReadColorAfterBlanks(v));
             c.CListUI::GetAttributeTable().Apply(c, L"itemhottextcolor", v);
         }},
        {L"selitemtextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) {
             c.SetSelItemTextColor(ReadColorAfterBlanks(v));
             c.m_ListInfo.dwSelectedTextColor = ReadColorAfterBlanks(v);
         }},
    };
    static const TAttributeTable table(kAttributes, &CListUI::GetAttributeTable());
    return table;
}

} // namespace Facet
