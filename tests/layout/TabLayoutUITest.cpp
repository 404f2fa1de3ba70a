// Pages of the tab layout: selection, visibility, placement, removal and the
// "tabselect" notification.
#include "../support/LayoutTestSupport.h"

#include "../support/TestWindow.h"

using namespace Facet;
using namespace testsupport;

namespace {

class TabLayout : public testing::Test
{
protected:
    void SetUp() override
    {
        tab = new CTabLayoutUI;
        for (Box*& page : pages) {
            page = new Box;
            tab->Add(page);
        }
        window.manager.AttachDialog(tab);
        window.manager.AddNotifier(&notes);
        window.Pump();
        notes.entries.clear();
    }

    ScopedDpi dpi{96};
    testsupport::TestWindow window{200, 150};
    NotifyLog notes;
    CTabLayoutUI* tab = nullptr;
    Box* pages[3] = {};
};

TEST_F(TabLayout, TheFirstPageIsSelectedAndTheOthersHidden)
{
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(pages[0]->IsVisible());
    EXPECT_FALSE(pages[1]->IsVisible());
    EXPECT_FALSE(pages[2]->IsVisible());
    EXPECT_EQ(R(pages[0]->GetPos()), (Rect{0, 0, 200, 150}));
    EXPECT_EQ(pages[1]->placements, 0);
}

TEST_F(TabLayout, SelectingAPageShowsOnlyItAndSaysSo)
{
    EXPECT_TRUE(tab->SelectItem(0));
    EXPECT_EQ(notes.Count(L"tabselect"), 0);

    EXPECT_TRUE(tab->SelectItem(2));
    EXPECT_EQ(tab->GetCurSel(), 2);
    EXPECT_FALSE(pages[0]->IsVisible());
    EXPECT_TRUE(pages[2]->IsVisible());
    const TNotifyUI* note = notes.Last(L"tabselect");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->pSender, tab);
    EXPECT_EQ(note->wParam, 2u);
    EXPECT_EQ(note->lParam, 0);

    window.Pump();
    EXPECT_EQ(R(pages[2]->GetPos()), (Rect{0, 0, 200, 150}));

    EXPECT_FALSE(tab->SelectItem(3));
    EXPECT_FALSE(tab->SelectItem(-1));
    EXPECT_TRUE(tab->SelectItem(pages[1], false));
    EXPECT_EQ(notes.Count(L"tabselect"), 1);
    EXPECT_FALSE(tab->SelectItem(static_cast<CControlUI*>(nullptr)));
}

TEST_F(TabLayout, RemovingPagesKeepsTheSelectionConsistent)
{
    tab->SelectItem(2);
    EXPECT_TRUE(tab->Remove(pages[0]));
    EXPECT_EQ(tab->GetCurSel(), 1); // still the same page
    EXPECT_EQ(tab->GetItemAt(1), pages[2]);

    EXPECT_TRUE(tab->Remove(pages[2])); // the selected one
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(pages[1]->IsVisible());

    tab->RemoveAll();
    EXPECT_EQ(tab->GetCurSel(), -1);
    Box* fresh = new Box;
    tab->Add(fresh);
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(fresh->IsVisible());
}

TEST_F(TabLayout, InsertingBeforeTheSelectionMovesItAndShowsNoSecondPage)
{
    tab->SelectItem(1);
    Box* inserted = new Box;
    EXPECT_TRUE(tab->AddAt(inserted, 0));
    EXPECT_EQ(tab->GetCurSel(), 2);
    EXPECT_EQ(tab->GetItemAt(2), pages[1]);
    EXPECT_FALSE(inserted->IsVisible());
    Box* after = new Box;
    EXPECT_TRUE(tab->AddAt(after, 4));
    EXPECT_FALSE(after->IsVisible());
    EXPECT_EQ(tab->GetCurSel(), 2);
}

TEST_F(TabLayout, SelectedIdAttributeSelectsAPage)
{
    tab->SetAttribute(L"selectedid", L"1");
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_EQ(notes.Count(L"tabselect"), 1);
}

TEST_F(TabLayout, APageKeepsItsEstimateWithinTheInsetAndPadding)
{
    tab->SetInset(RECT{10, 10, 10, 10});
    pages[0]->SetFixedWidth(50);
    pages[0]->SetPadding(RECT{5, 5, 0, 0});
    window.Pump();
    EXPECT_EQ(R(pages[0]->GetPos()), (Rect{15, 15, 65, 140}));
}

} // namespace
