// The child list, ownership and destruction, propagation to children,
// attributes and searches of a plain container.
#include "../support/LayoutTestSupport.h"

#include "../support/TestWindow.h"

using namespace Facet;
using namespace testsupport;

namespace {

class ContainerList : public testing::Test
{
protected:
    ScopedDpi dpi{96};
    CContainerUI container;
};

TEST_F(ContainerList, AddInsertsInOrderAndRefusesNullAndBadIndexes)
{
    Box* a = new Box;
    Box* b = new Box;
    Box* c = new Box;
    EXPECT_FALSE(container.Add(nullptr));
    EXPECT_TRUE(container.Add(a));
    EXPECT_TRUE(container.Add(c));
    EXPECT_TRUE(container.AddAt(b, 1));
    EXPECT_FALSE(container.AddAt(new Box, 4) || container.AddAt(nullptr, 0));
    ASSERT_EQ(container.GetCount(), 3);
    EXPECT_EQ(container.GetItemAt(0), a);
    EXPECT_EQ(container.GetItemAt(1), b);
    EXPECT_EQ(container.GetItemAt(2), c);
    EXPECT_EQ(container.GetItemAt(3), nullptr);
    EXPECT_EQ(container.GetItemAt(-1), nullptr);
    EXPECT_EQ(container.GetItemIndex(c), 2);
    EXPECT_EQ(container.GetItemIndex(nullptr), -1);
    EXPECT_EQ(a->GetParent(), &container);
}

TEST_F(ContainerList, RemoveDestroysUnlessAskedNotToOrAutoDestroyIsOff)
{
    bool destroyedA = false, destroyedB = false, destroyedC = false;
    Box* a = new Box(0, 0, &destroyedA);
    Box* b = new Box(0, 0, &destroyedB);
    Box* c = new Box(0, 0, &destroyedC);
    container.Add(a);
    container.Add(b);
    container.Add(c);

    EXPECT_TRUE(container.Remove(a));
    EXPECT_TRUE(destroyedA); // no manager: destroyed at once
    EXPECT_FALSE(container.Remove(a, true));
    EXPECT_TRUE(container.Remove(b, true));
    EXPECT_FALSE(destroyedB);
    container.SetAutoDestroy(false);
    EXPECT_TRUE(container.RemoveAt(0));
    EXPECT_FALSE(destroyedC);
    EXPECT_FALSE(container.RemoveAt(0));
    EXPECT_EQ(container.GetCount(), 0);
    delete b;
    delete c;
}

TEST_F(ContainerList, DestructionAndRemoveAllDestroyEveryChild)
{
    bool destroyed[3] = {false, false, false};
    {
        CContainerUI local;
        for (bool& flag : destroyed)
            local.Add(new Box(0, 0, &flag));
    }
    EXPECT_TRUE(destroyed[0] && destroyed[1] && destroyed[2]);

    bool again[2] = {false, false};
    container.Add(new Box(0, 0, &again[0]));
    container.Add(new Box(0, 0, &again[1]));
    container.RemoveAll();
    EXPECT_TRUE(again[0] && again[1]);
    EXPECT_EQ(container.GetCount(), 0);
}

TEST_F(ContainerList, DelayedDestroyWaitsForTheManagersCleanUp)
{
    testsupport::TestWindow window;
    auto* root = new CContainerUI;
    bool removed = false, kept = false;
    Box* child = new Box(0, 0, &removed);
    root->Add(child);
    root->Add(new Box(0, 0, &kept));
    window.manager.AttachDialog(root);
    window.Pump();

    EXPECT_TRUE(root->Remove(child));
    EXPECT_FALSE(removed);
    window.Pump();
    EXPECT_TRUE(removed);

    window.manager.AttachDialog(new CContainerUI); // the old root goes to the clean-up
    window.Pump();
    EXPECT_TRUE(kept);
}

TEST_F(ContainerList, SetItemIndexChecksTheIndexBeforeMovingTheChild)
{
    Box* a = new Box;
    Box* b = new Box;
    Box* c = new Box;
    container.Add(a);
    container.Add(b);
    container.Add(c);
    EXPECT_FALSE(container.SetItemIndex(a, 3));
    EXPECT_FALSE(container.SetItemIndex(a, -1));
    EXPECT_FALSE(container.SetItemIndex(nullptr, 0));
    ASSERT_EQ(container.GetCount(), 3);
    EXPECT_EQ(container.GetItemIndex(a), 0);

    EXPECT_TRUE(container.SetItemIndex(a, 2));
    EXPECT_EQ(container.GetItemAt(0), b);
    EXPECT_EQ(container.GetItemAt(2), a);
}

TEST_F(ContainerList, SetMultiItemIndexMovesARunOfChildren)
{
    Box* boxes[5];
    for (Box*& box : boxes) {
        box = new Box;
        container.Add(box);
    }
    EXPECT_TRUE(container.SetMultiItemIndex(boxes[0], 2, 3)); // [2 3 4 0 1]
    EXPECT_EQ(container.GetItemAt(0), boxes[2]);
    EXPECT_EQ(container.GetItemAt(3), boxes[0]);
    EXPECT_EQ(container.GetItemAt(4), boxes[1]);
    EXPECT_TRUE(container.SetMultiItemIndex(boxes[2], 2, 0));
    EXPECT_FALSE(container.SetMultiItemIndex(boxes[0], 3, 0)); // run passes the end
    EXPECT_FALSE(container.SetMultiItemIndex(boxes[2], 2, 4)); // target passes the end
    EXPECT_FALSE(container.SetMultiItemIndex(boxes[2], -1, 0));
    EXPECT_FALSE(container.SetMultiItemIndex(nullptr, 1, 0));
    EXPECT_EQ(container.GetCount(), 5);
}

TEST_F(ContainerList, InterfacesAnswerTheRightParts)
{
    EXPECT_EQ(container.GetInterface(L"IContainer"), static_cast<IContainerUI*>(&container));
    EXPECT_EQ(container.GetInterface(L"Container"), &container);
    CTabLayoutUI tab;
    EXPECT_EQ(tab.GetInterface(L"TabLayout"), &tab);
    EXPECT_EQ(tab.GetInterface(L"Container"), static_cast<CContainerUI*>(&tab));
    EXPECT_EQ(tab.GetInterface(L"VerticalLayout"), nullptr);
}

TEST_F(ContainerList, AttributesReadShortListsAndIgnoreUnknownAlignments)
{
    container.SetAttribute(L"inset", L"1,2");
    EXPECT_EQ(R(container.GetInset()), (Rect{1, 2, 0, 0}));
    container.SetAttribute(L"inset", L"4,5,6,7");
    EXPECT_EQ(R(container.GetInset()), (Rect{4, 5, 6, 7}));

    container.SetAttribute(L"childpadding", L"-5");
    EXPECT_EQ(container.GetChildPadding(), 0);
    container.SetAttribute(L"childpadding", L"6");
    EXPECT_EQ(container.GetChildPadding(), 6);

    container.SetAttribute(L"childalign", L"right");
    container.SetAttribute(L"childalign", L"CENTER");
    EXPECT_EQ(container.GetChildAlign(), 2u);
    container.SetAttribute(L"childvalign", L"vcenter");
    container.SetAttribute(L"childvalign", L"middle");
    EXPECT_EQ(container.GetChildVAlign(), 4u);

    container.SetAttribute(L"mousechild", L"false");
    EXPECT_FALSE(container.IsMouseChildEnabled());

    container.SetAttribute(L"vscrollbarstyle", L"width=\"20\" linesize=\"5\"");
    ASSERT_NE(container.GetVerticalScrollBar(), nullptr);
    EXPECT_EQ(container.GetVerticalScrollBar()->GetFixedWidth(), 20);
    EXPECT_EQ(container.GetVerticalScrollBar()->GetOwner(), &container);
    container.SetAttribute(L"hscrollbar", L"true");
    ASSERT_NE(container.GetHorizontalScrollBar(), nullptr);
    EXPECT_TRUE(container.GetHorizontalScrollBar()->IsHorizontal());
    EXPECT_NE(container.GetVerticalScrollBar(), nullptr);
    container.SetAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(container.GetVerticalScrollBar(), nullptr);
    EXPECT_NE(container.GetHorizontalScrollBar(), nullptr);

    container.SetAttribute(L"widht", L"3");
    EXPECT_STREQ(container.GetCustomAttribute(L"widht"), L"3");
}

TEST_F(ContainerList, VisibilityReachesEveryChild)
{
    Box* a = new Box;
    auto* inner = new CContainerUI;
    Box* deep = new Box;
    inner->Add(deep);
    container.Add(a);
    container.Add(inner);

    container.SetVisible(false);
    EXPECT_FALSE(a->IsVisible());
    EXPECT_FALSE(deep->IsVisible());
    Box* late = new Box;
    container.Add(late); // added while hidden
    EXPECT_FALSE(late->IsVisible());

    container.SetVisible(true);
    EXPECT_TRUE(a->IsVisible());
    EXPECT_TRUE(deep->IsVisible());
    EXPECT_TRUE(late->IsVisible());

    inner->SetVisible(false);
    container.SetInternVisible(false);
    container.SetInternVisible(true);
    EXPECT_FALSE(deep->IsVisible()); // its own parent is still hidden
}

TEST_F(ContainerList, SetManagerReachesChildrenAndBarsAndNamesAreFound)
{
    testsupport::TestWindow window;
    auto* root = new CVerticalLayoutUI;
    auto* inner = new CHorizontalLayoutUI;
    Box* named = new Box;
    named->SetName(L"deep");
    named->SetText(L"old");
    inner->Add(named);
    root->Add(inner);
    root->EnableScrollBar(true, true);
    window.manager.AttachDialog(root);

    EXPECT_EQ(named->GetManager(), &window.manager);
    EXPECT_EQ(named->GetParent(), inner);
    EXPECT_EQ(root->GetVerticalScrollBar()->GetManager(), &window.manager);
    EXPECT_EQ(root->GetHorizontalScrollBar()->GetManager(), &window.manager);

    EXPECT_EQ(root->FindSubControl(L"deep"), named);
    EXPECT_EQ(root->GetSubControlText(L"deep"), CFacetString(L"old"));
    EXPECT_TRUE(root->SetSubControlText(L"deep", L"new"));
    EXPECT_EQ(named->GetText(), CFacetString(L"new"));
    EXPECT_TRUE(root->SetSubControlFixedHeight(L"deep", 12));
    EXPECT_EQ(root->GetSubControlFixedHeight(L"deep"), 12);
    EXPECT_TRUE(root->SetSubControlFixedWdith(L"deep", 13));
    EXPECT_EQ(root->GetSubControlFixedWdith(L"deep"), 13);
    EXPECT_TRUE(root->SetSubControlUserData(L"deep", L"data"));
    EXPECT_EQ(root->GetSubControlUserData(L"deep"), CFacetString(L"data"));
    EXPECT_FALSE(root->SetSubControlText(L"missing", L"x"));
    EXPECT_EQ(root->FindSubControl(L"missing"), nullptr);
}

} // namespace
