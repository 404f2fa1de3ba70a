// CTreeViewUI and CTreeNodeUI: a tree shown as a list. Every node is one row
// of the list; a node's descendants follow it in the rows and are hidden
// while it (or an ancestor) is collapsed. A node's row holds, left to right,
// an indent line, a folder button (checked = expanded), a check box (checking
// a node checks its whole subtree) and the item button with the text.
#pragma once

#include <windows.h>

#include "../core/FacetArrays.h"
#include "../layout/HorizontalLayoutUI.h"
#include "CheckBoxUI.h"
#include "LabelUI.h"
#include "ListUI.h"
#include "ListUIContainerElement.h"
#include "OptionUI.h"

namespace Facet {

class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"TreeNode";
    CTreeNodeUI();
    // A node that is not in a tree view owns its child nodes.
    ~CTreeNodeUI() override;

    // "TreeNode".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // A tree node becomes a child node; anything else joins the row.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // Double clicks send "itemdbclick" and open or close the node.
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    bool Select(bool select = true) override;
    // Opens or closes the node: its descendants are shown or hidden, and
    // "itemexpand" or "itemcollapse" is sent.
    bool Expand(bool expand = true) override;
    bool IsExpanded() const override;

    // Appends a child node (and its subtree) below this one; in a tree view
    // its rows are inserted after this node's last descendant.
    bool AddChildNode(CTreeNodeUI* node);
    // Takes a child node (and its subtree) out; the node is destroyed unless
    // `doNotDestroy`.
    bool RemoveChildNode(CTreeNodeUI* node, bool doNotDestroy = false);
    int GetCountChild() const;
    CTreeNodeUI* GetChildNode(int index) const;
    CTreeNodeUI* GetParentNode() const;
    // The number of nodes in the subtree below this one.
    int GetDescendantCount() const;
    // The last node of this node's subtree (this node when it has no children).
    CTreeNodeUI* GetLastDescendant();
    int GetTreeLevel() const;
    CTreeViewUI* GetTreeView() const;
    // Sets the view of this node and its whole subtree.
    void SetTreeView(CTreeViewUI* view);

    bool IsChecked() const;
    // Checks or clears this node and its whole subtree.
    void SetChecked(bool checked);

    void SetItemText(const wchar_t* text);
    CFacetString GetItemText() const;
    void SetItemTextColor(DWORD color);
    void SetItemHotTextColor(DWORD color);
    void SetSelItemTextColor(DWORD color);

    CHorizontalLayoutUI* GetTreeNodeHorizontal() const;
    CLabelUI* GetDottedLine() const;
    CCheckBoxUI* GetFolderButton() const;
    CCheckBoxUI* GetCheckBox() const;
    COptionUI* GetItemButton() const;

    // Shows or hides the descendants' rows for the node's state.
    void UpdateChildVisibility();

private:
    friend class CTreeViewUI;

    bool InsertChildNode(CTreeNodeUI* node, int index);
    void SetParentNode(CTreeNodeUI* parent);
    void SetTreeLevel(int level);
    // The folder button is shown when the view allows it and works when
    // there are children.
    void UpdateFolderButton();
    bool OnFolderNotify(void* param);
    bool OnCheckNotify(void* param);
    void ShowDescendants(bool shown);

    CTreeViewUI* m_pTreeView;
    CTreeNodeUI* m_pParentTreeNode;
    int m_iTreeLevel;
    bool m_bNodeExpanded;
    bool m_bFolderAllowed;
    CFacetPtrArray m_aTreeNodes;
    CHorizontalLayoutUI* m_pHoriz;
    CLabelUI* m_pDottedLine;
    CCheckBoxUI* m_pFolderButton;
    CCheckBoxUI* m_pCheckBox;
    COptionUI* m_pItemButton;
};

class CTreeViewUI : public CListUI, public INotifyUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"TreeView";
    CTreeViewUI();

    // "TreeView".
    const wchar_t* GetClass() const override;
    // "TreeView", "INotify"; the rest as a list.
    LPVOID GetInterface(const wchar_t* name) override;
    // A top-level node is added with its whole subtree; other controls as rows.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // A node leaves with its whole subtree.
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;
    const CControlAttributeTable& GetAttributeTable() const override;

    // Folder and check box changes of the nodes ("selectchanged").
    void Notify(TNotifyUI& msg) override;

    // Inserts a node's rows (the node, then its subtree in order) at `index`.
    bool InsertNodeRows(CTreeNodeUI* node, int index);
    // Takes a node's rows (the node and its subtree) out of the list; the node
    // then owns its subtree again and is destroyed unless `doNotDestroy`.
    void RemoveNodeRows(CTreeNodeUI* node, bool doNotDestroy);

    void SetItemExpand(bool expanded, CTreeNodeUI* node = nullptr);
    void SetItemCheckBox(bool checked, CTreeNodeUI* node = nullptr);
    bool IsVisibleFolderBtn() const;
    void SetVisibleFolderBtn(bool visible);
    bool IsVisibleCheckBtn() const;
    void SetVisibleCheckBtn(bool visible);
    int GetItemMinWidth() const;
    void SetItemMinWidth(int width);
    void SetItemTextColor(DWORD color);
    void SetItemHotTextColor(DWORD color);
    void SetSelItemTextColor(DWORD color);

private:
    // Applies the view's folder, check box, width and colour settings to a node.
    void ApplySettings(CTreeNodeUI* node);

    bool m_bVisibleFolderBtn;
    bool m_bVisibleCheckBtn;
    int m_uItemMinWidth;
    DWORD m_dwItemTextColor;
    DWORD m_dwItemHotTextColor;
    DWORD m_dwSelItemTextColor;
};

} // namespace Facet
