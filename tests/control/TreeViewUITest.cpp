// Trees built from skins: nested "TreeNode" elements become rows in tree
// order, nodes expand and collapse (by code, folder button and double
// click), check boxes check whole subtrees, nodes leave with their subtrees,
// and misplaced tree nodes are skipped without leaks or crashes.
#include "../support/LayoutTestSupport.h"

#include "../support/TestWindow.h"
#include "core/DialogBuilder.h"

#include <string>

using namespace Facet;
using namespace testsupport;

namespace {

const wchar_t kTreeSkin[] = L"<Window>"
                            L"<TreeView name=\"tree\" visiblecheckbtn=\"true\">"
                            L"  <TreeNode name=\"a\" text=\"A\" height=\"20\">"
                            L"    <TreeNode name=\"a1\" text=\"A1\" height=\"20\"/>"
                            L"    <TreeNode name=\"a2\" text=\"A2\" height=\"20\">"
                            L"      <TreeNode name=\"a2x\" text=\"A2x\" height=\"20\"/>"
                            L"    </TreeNode>"
                            L"  </TreeNode>"
                            L"  <TreeNode name=\"b\" text=\"B\" height=\"20\">"
                            L"    <Label name=\"extra\" text=\"note\"/>"
                            L"  </TreeNode>"
                            L"</TreeView>"
                            L"</Window>";

class TreeInWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        CDialogBuilder builder;
        CControlUI* root = builder.Create(kTreeSkin, nullptr, nullptr, &window.manager);
        ASSERT_NE(root, nullptr);
        tree = static_cast<CTreeViewUI*>(root->GetInterface(L"TreeView"));
        ASSERT_NE(tree, nullptr);
        window.manager.AttachDialog(root);
        window.manager.AddNotifier(&log);
        window.Pump();
    }

    CTreeNodeUI* Node(const wchar_t* name) const
    {
        CControlUI* control = window.manager.FindControl(name);
        return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
    }
    std::wstring Rows() const
    {
        std::wstring rows;
        for (int i = 0; i < tree->GetCount(); ++i) {
            auto* node = static_cast<CTreeNodeUI*>(tree->GetItemAt(i)->GetInterface(L"TreeNode"));
            rows += node->GetItemText().GetData();
            rows += node->IsVisible() ? L" " : L"- ";
        }
        return rows;
    }

    ScopedDpi dpi{96};
    NotifyLog log;
    testsupport::TestWindow window{200, 150};
    CTreeViewUI* tree = nullptr;
};

TEST_F(TreeInWindow, NestedNodesBecomeRowsInTreeOrder)
{
    EXPECT_EQ(Rows(), L"A A1 A2 A2x B ");
    CTreeNodeUI* a = Node(L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetCountChild(), 2);
    EXPECT_EQ(a->GetDescendantCount(), 3);
    EXPECT_EQ(Node(L"a2x")->GetParentNode(), Node(L"a2"));
    EXPECT_EQ(Node(L"a2x")->GetTreeLevel(), 2);
    EXPECT_EQ(Node(L"a1")->GetTreeLevel(), 1);
    EXPECT_EQ(Node(L"a2x")->GetTreeView(), tree);
    // Deeper rows are indented further.
    EXPECT_GT(Node(L"a2x")->GetItemButton()->GetPos().left, Node(L"a1")->GetItemButton()->GetPos().left);
    EXPECT_GT(Node(L"a1")->GetItemButton()->GetPos().left, a->GetItemButton()->GetPos().left);
    // The rows stack from the top.
    EXPECT_EQ(a->GetPos().top, 0);
    EXPECT_EQ(Node(L"b")->GetPos().top, 80);

    // A control inside a node joins the node's row.
    CControlUI* extra = window.manager.FindControl(L"extra");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->GetParent(), Node(L"b")->GetTreeNodeHorizontal());
    // Folder buttons work only on nodes with children; check boxes show as
    // the view says.
    EXPECT_TRUE(a->GetFolderButton()->IsEnabled());
    EXPECT_TRUE(Node(L"b")->GetFolderButton()->IsVisible());
    EXPECT_FALSE(Node(L"b")->GetFolderButton()->IsEnabled());
    EXPECT_TRUE(a->GetCheckBox()->IsVisible());
}

TEST_F(TreeInWindow, CollapsingHidesTheSubtreeAndExpandingRestoresItsState)
{
    CTreeNodeUI* a = Node(L"a");
    CTreeNodeUI* a2 = Node(L"a2");
    EXPECT_TRUE(a2->Expand(false));
    EXPECT_EQ(Rows(), L"A A1 A2 A2x- B ");
    EXPECT_EQ(log.Last(L"itemcollapse")->pSender, a2);

    a->Expand(false);
    EXPECT_FALSE(a->IsExpanded());
    EXPECT_FALSE(a->GetFolderButton()->IsSelected());
    EXPECT_EQ(Rows(), L"A A1- A2- A2x- B ");
    window.Pump();
    // Hidden rows take no room.
    EXPECT_EQ(Node(L"b")->GetPos().top, 20);

    a->Expand(true);
    EXPECT_EQ(Rows(), L"A A1 A2 A2x- B ");
    EXPECT_EQ(log.Last(L"itemexpand")->pSender, a);
    window.Pump();
    EXPECT_EQ(Node(L"b")->GetPos().top, 60);
}

TEST_F(TreeInWindow, TheFolderButtonAndDoubleClicksToggleTheNode)
{
    CTreeNodeUI* a = Node(L"a");
    const RECT folder = a->GetFolderButton()->GetPos();
    ASSERT_GT(folder.right, folder.left);
    const int x = (folder.left + folder.right) / 2;
    const int y = (folder.top + folder.bottom) / 2;
    window.ButtonDown(x, y);
    window.ButtonUp(x, y);
    window.Pump();
    EXPECT_FALSE(a->IsExpanded());
    EXPECT_EQ(Rows(), L"A A1- A2- A2x- B ");
    EXPECT_EQ(log.Count(L"itemcollapse"), 1);

    // A double click on the row's text: "itemdbclick", and the node opens.
    const RECT text = a->GetItemButton()->GetPos();
    window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM((text.left + text.right) / 2, 10));
    window.Pump();
    ASSERT_NE(log.Last(L"itemdbclick"), nullptr);
    EXPECT_EQ(log.Last(L"itemdbclick")->pSender, a);
    EXPECT_TRUE(a->IsExpanded());

    // A click on the text selects the node's row.
    window.ButtonDown((text.left + text.right) / 2, 30);
    window.ButtonUp((text.left + text.right) / 2, 30);
    EXPECT_EQ(tree->GetCurSel(), 1);
    EXPECT_TRUE(Node(L"a1")->GetItemButton()->IsSelected());
    // Collapsing the parent of the selected row clears the selection.
    a->Expand(false);
    EXPECT_EQ(tree->GetCurSel(), -1);
}

TEST_F(TreeInWindow, CheckingANodeChecksItsSubtree)
{
    CTreeNodeUI* a = Node(L"a");
    const RECT box = a->GetCheckBox()->GetPos();
    window.ButtonDown((box.left + box.right) / 2, 10);
    window.ButtonUp((box.left + box.right) / 2, 10);
    EXPECT_TRUE(a->IsChecked());
    EXPECT_TRUE(Node(L"a1")->IsChecked());
    EXPECT_TRUE(Node(L"a2x")->IsChecked());
    EXPECT_FALSE(Node(L"b")->IsChecked());
    Node(L"a2")->SetChecked(false);
    EXPECT_FALSE(Node(L"a2x")->IsChecked());
    EXPECT_TRUE(Node(L"a1")->IsChecked());
}

TEST_F(TreeInWindow, NodesLeaveAndJoinWithTheirSubtrees)
{
    CTreeNodeUI* a = Node(L"a");
    EXPECT_TRUE(a->RemoveChildNode(Node(L"a2")));
    EXPECT_EQ(Rows(), L"A A1 B ");
    EXPECT_EQ(a->GetCountChild(), 1);

    // A new child goes after the parent's last descendant.
    auto* fresh = new CTreeNodeUI;
    fresh->SetItemText(L"A3");
    auto* deeper = new CTreeNodeUI;
    deeper->SetItemText(L"A3a");
    EXPECT_TRUE(fresh->Add(deeper));
    EXPECT_TRUE(a->Add(fresh));
    EXPECT_EQ(Rows(), L"A A1 A3 A3a B ");
    EXPECT_EQ(deeper->GetTreeLevel(), 2);
    // A node cannot be added twice or below itself.
    EXPECT_FALSE(Node(L"b")->Add(fresh));
    EXPECT_FALSE(deeper->Add(a));

    // Removing a top-level node through the view takes its rows along.
    EXPECT_TRUE(tree->Remove(a));
    window.Pump();
    EXPECT_EQ(Rows(), L"B ");
    EXPECT_EQ(tree->GetCount(), 1);

    // A top-level node may only go between subtrees.
    auto* top = new CTreeNodeUI;
    top->SetItemText(L"C");
    EXPECT_TRUE(tree->AddAt(top, 0));
    EXPECT_EQ(Rows(), L"C B ");
    tree->RemoveAll();
    EXPECT_EQ(tree->GetCount(), 0);
}

TEST(TreeBuilder, MisplacedTreeNodesAreSkipped)
{
    ScopedDpi dpi(96);
    // At the top level there is no parent: skipped, with its children.
    CDialogBuilder first;
    CControlUI* root = first.Create(L"<Window><TreeNode text=\"x\"><TreeNode/></TreeNode>"
                                    L"<Label name=\"after\"/></Window>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), L"after");
    root->Delete();

    // Under a parent that is no tree view the level ends with nothing.
    CDialogBuilder second;
    root = second.Create(L"<Window><VerticalLayout><TreeNode text=\"x\"><TreeNode/></TreeNode>"
                         L"<Label/></VerticalLayout></Window>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(static_cast<CContainerUI*>(root->GetInterface(L"Container"))->GetCount(), 0);
    root->Delete();

    // Without a manager the tree still gets its rows.
    CDialogBuilder third;
    root = third.Create(L"<Window><Tree><TreeNode text=\"p\"><TreeNode text=\"c\"/></TreeNode></Tree></Window>");
    ASSERT_NE(root, nullptr);
    auto* tree = static_cast<CTreeViewUI*>(root->GetInterface(L"TreeView"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetCount(), 2);
    root->Delete();
}

TEST(TreeNodes, ANodeOutsideAViewOwnsItsSubtree)
{
    // Outside a view a node frees its subtree with itself; a child taken out
    // without being destroyed becomes a top node of its own subtree.
    auto* parent = new CTreeNodeUI;
    auto* child = new CTreeNodeUI;
    auto* grandchild = new CTreeNodeUI;
    EXPECT_TRUE(child->Add(grandchild));
    EXPECT_TRUE(parent->Add(child));
    EXPECT_EQ(parent->GetDescendantCount(), 2);
    EXPECT_EQ(parent->GetLastDescendant(), grandchild);
    EXPECT_TRUE(parent->RemoveChildNode(child, true));
    EXPECT_EQ(child->GetParentNode(), nullptr);
    EXPECT_EQ(child->GetTreeLevel(), 0);
    EXPECT_EQ(grandchild->GetTreeLevel(), 1);
    parent->Delete();
    child->Delete();
}

} // namespace
