// Tile layout arithmetic, child layouts built from skin files, and the
// animation pane's frames.
#include "Facet.h"

#include "../support/ControlTestSupport.h"
#include "../support/TestFiles.h"
#include "../support/TestWindow.h"
#include "../support/ControlInputSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace Facet;
using testsupport::SameRect;
using testsupport::TestWindow;

namespace {

CControlUI* Box(int width, int height)
{
    auto* box = new CControlUI();
    if (width > 0)
        box->SetFixedWidth(width);
    if (height > 0)
        box->SetFixedHeight(height);
    return box;
}

} // namespace

TEST(TileLayout, SharesTheWidthBetweenAFixedNumberOfColumns)
{
    testsupport::ScopedDpi dpi(96);
    CTileLayoutUI tile;
    tile.SetAttributeList(L"columns=\"3\" childpadding=\"10\" childvpadding=\"5\"");
    for (int i = 0; i < 5; ++i)
        tile.Add(Box(i == 4 ? 30 : 0, 20));
    tile.SetPos(RECT{0, 0, 200, 300});

    // (200 - 2 * 10) / 3 = 60 per tile.
    EXPECT_TRUE(SameRect(tile.GetItemAt(0)->GetPos(), RECT{0, 0, 60, 20}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(1)->GetPos(), RECT{70, 0, 130, 20}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(2)->GetPos(), RECT{140, 0, 200, 20}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(3)->GetPos(), RECT{0, 25, 60, 45}));
    // A narrower child sits in the middle of its tile.
    EXPECT_TRUE(SameRect(tile.GetItemAt(4)->GetPos(), RECT{85, 25, 115, 45}));
}

TEST(TileLayout, AnItemSizeDecidesTheColumnsAndSkipsHiddenChildren)
{
    testsupport::ScopedDpi dpi(96);
    CTileLayoutUI tile;
    tile.SetAttributeList(L"itemsize=\"50,30\" childpadding=\"10\" inset=\"5,5,5,5\"");
    for (int i = 0; i < 5; ++i)
        tile.Add(Box(0, 0));
    tile.GetItemAt(1)->SetVisible(false);
    tile.SetPos(RECT{0, 0, 200, 300});

    // 190 pixels inside the inset: (190 + 10) / (50 + 10) = 3 columns.
    EXPECT_EQ(tile.GetColumns(), 3);
    EXPECT_TRUE(SameRect(tile.GetItemAt(0)->GetPos(), RECT{5, 5, 55, 35}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(2)->GetPos(), RECT{65, 5, 115, 35}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(3)->GetPos(), RECT{125, 5, 175, 35}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(4)->GetPos(), RECT{5, 35, 55, 65}));

    // Narrower than one item: still one column.
    tile.SetPos(RECT{0, 0, 30, 300});
    EXPECT_EQ(tile.GetColumns(), 1);
    EXPECT_EQ(tile.GetItemAt(2)->GetPos().top, 35);
}

TEST(TileLayout, RowsAreAsHighAsTheirHighestChild)
{
    testsupport::ScopedDpi dpi(96);
    CTileLayoutUI tile;
    tile.SetAttributeList(L"columns=\"2\"");
    tile.Add(Box(0, 10));
    tile.Add(Box(0, 40));
    tile.Add(Box(0, 0)); // a row without heights takes the tile width
    tile.SetPos(RECT{0, 0, 100, 300});
    EXPECT_TRUE(SameRect(tile.GetItemAt(0)->GetPos(), RECT{0, 0, 50, 10}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(1)->GetPos(), RECT{50, 0, 100, 40}));
    EXPECT_TRUE(SameRect(tile.GetItemAt(2)->GetPos(), RECT{0, 40, 50, 90}));
}

class ChildLayout : public ::testing::Test
{
protected:
    // Under a root container, as a skin places it (the root itself is not
    // initialised by the manager).
    void Attach(CChildLayoutUI* child)
    {
        auto* root = new CVerticalLayoutUI();
        root->Add(child);
        window.manager.AttachDialog(root);
    }

    std::wstring folder = testsupport::FreshTempFolder(L"childlayout");
    testsupport::ScopedResourcePath path{folder};
    TestWindow window{200, 100};
};

TEST_F(ChildLayout, BuildsItsChildrenFromTheSkinFile)
{
    testsupport::WriteFileText(folder + L"\\page.xml",
                               "<Window size=\"999,999\"><HorizontalLayout name=\"inner\">"
                               "<Button name=\"ok\" text=\"OK\"/><Label name=\"caption\"/></HorizontalLayout>"
                               "<Label name=\"second\"/></Window>");
    testsupport::WriteFileText(folder + L"\\other.xml", "<Window><Label name=\"other\"/></Window>");
    auto* child = new CChildLayoutUI();
    child->SetChildLayoutXML(L"page.xml");
    Attach(child);
    window.Pump();

    ASSERT_EQ(child->GetCount(), 2);
    EXPECT_STREQ(child->GetItemAt(0)->GetClass(), L"HorizontalLayout");
    CControlUI* ok = window.manager.FindControl(L"ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetText(), L"OK");
    EXPECT_EQ(ok->GetManager(), &window.manager);
    EXPECT_NE(window.manager.FindControl(L"second"), nullptr);
    // The file's window attributes leave this window alone.
    EXPECT_NE(window.manager.GetInitSize().cx, 999);
    EXPECT_FALSE(IsRectEmpty(&ok->GetPos()));

    // Another file replaces the children.
    child->SetChildLayoutXML(L"other.xml");
    window.Pump();
    ASSERT_EQ(child->GetCount(), 1);
    EXPECT_EQ(child->GetItemAt(0)->GetName(), L"other");
    EXPECT_EQ(window.manager.FindControl(L"ok"), nullptr);
}

TEST_F(ChildLayout, AFileThatContainsItselfIsBuiltOnce)
{
    testsupport::WriteFileText(folder + L"\\self.xml",
                               "<Window><Label name=\"mark\"/><ChildLayout xmlfile=\"self.xml\"/></Window>");
    auto* child = new CChildLayoutUI();
    child->SetChildLayoutXML(L"self.xml");
    Attach(child);
    window.Pump();

    ASSERT_EQ(child->GetCount(), 2);
    auto* nested = static_cast<CChildLayoutUI*>(child->GetItemAt(1)->GetInterface(L"ChildLayout"));
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->GetCount(), 0);
}

TEST_F(ChildLayout, AFileThatContainsItselfDeeperDownOrSpeltOtherwiseIsBuiltOnce)
{
    testsupport::WriteFileText(folder + L"\\deep.xml",
                               "<Window><VerticalLayout><Label name=\"mark\"/><VerticalLayout>"
                               "<ChildLayout xmlfile=\"deep.xml\"/><ChildLayout xmlfile=\".\\deep.xml\"/>"
                               "</VerticalLayout></VerticalLayout></Window>");
    auto* child = new CChildLayoutUI();
    child->SetChildLayoutXML(L"deep.xml");
    Attach(child);
    window.Pump();

    ASSERT_EQ(child->GetCount(), 1);
    auto* outer = static_cast<CContainerUI*>(child->GetItemAt(0)->GetInterface(L"Container"));
    ASSERT_NE(outer, nullptr);
    auto* inner = static_cast<CContainerUI*>(outer->GetItemAt(1)->GetInterface(L"Container"));
    ASSERT_NE(inner, nullptr);
    ASSERT_EQ(inner->GetCount(), 2);
    for (int i = 0; i < 2; ++i) {
        auto* nested = static_cast<CChildLayoutUI*>(inner->GetItemAt(i)->GetInterface(L"ChildLayout"));
        ASSERT_NE(nested, nullptr);
        EXPECT_EQ(nested->GetCount(), 0) << i;
    }
}

TEST_F(ChildLayout, AFileThatWouldNestTheTreeTooDeeplyIsNotBuilt)
{
    std::string open;
    std::string close;
    for (int i = 0; i < 600; ++i) {
        open += "<VerticalLayout>";
        close += "</VerticalLayout>";
    }
    testsupport::WriteFileText(folder + L"\\outer.xml",
                               "<Window>" + open + "<ChildLayout xmlfile=\"inner.xml\"/>" + close + "</Window>");
    testsupport::WriteFileText(folder + L"\\inner.xml", "<Window>" + open + "<Label/>" + close + "</Window>");
    testsupport::WriteFileText(folder + L"\\small.xml", "<Window>" + open.substr(0, 100 * 16) + "<Label/>" +
                                                            close.substr(0, 100 * 17) + "</Window>");
    auto* child = new CChildLayoutUI();
    child->SetChildLayoutXML(L"outer.xml");
    Attach(child);
    window.Pump();
    ASSERT_EQ(child->GetCount(), 1);
    // The child layout at the bottom of the outer file.
    CControlUI* bottom = child->GetItemAt(0);
    while (bottom->GetInterface(L"ChildLayout") == nullptr) {
        auto* layout = static_cast<CContainerUI*>(bottom->GetInterface(L"Container"));
        ASSERT_NE(layout, nullptr);
        ASSERT_EQ(layout->GetCount(), 1);
        bottom = layout->GetItemAt(0);
    }
    auto* nested = static_cast<CChildLayoutUI*>(bottom->GetInterface(L"ChildLayout"));
    EXPECT_EQ(nested->GetCount(), 0);
    // A file that fits is built there.
    nested->SetChildLayoutXML(L"small.xml");
    EXPECT_EQ(nested->GetCount(), 1);
}

TEST_F(ChildLayout, BuildsAlsoAsTheRootOfAWindow)
{
    testsupport::WriteFileText(folder + L"\\page.xml", "<Window><Label name=\"only\"/></Window>");
    auto* child = new CChildLayoutUI();
    child->SetChildLayoutXML(L"page.xml");
    window.manager.AttachDialog(child);
    EXPECT_EQ(child->GetCount(), 1);
    EXPECT_NE(window.manager.FindControl(L"only"), nullptr);
}

TEST_F(ChildLayout, AMissingFileLeavesItEmpty)
{
    auto* child = new CChildLayoutUI();
    child->SetChildLayoutXML(L"missing.xml");
    Attach(child);
    window.Pump();
    EXPECT_EQ(child->GetCount(), 0);
}

class AnimationPane : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* root = new CVerticalLayoutUI();
        pane = new CAnimationPaneUI();
        // The steps are fired by hand: a frame delay of ten minutes keeps the
        // platform's timer from adding frames of its own on a loaded machine.
        pane->SetAttributeList(L"height=\"100\" framecount=\"4\" framedelay=\"600000\"");
        root->Add(pane);
        root->Add(new CControlUI());
        window.manager.AttachDialog(root);
        window.Pump();
    }

    void Step() { testsupport::FireTimer(pane, CAnimationPaneUI::kPaneAnimationId); }

    testsupport::ScopedDpi dpi{96};
    TestWindow window{200, 200};
    CAnimationPaneUI* pane = nullptr;
};

TEST_F(AnimationPane, HidesAndShowsFrameByFrame)
{
    ASSERT_EQ(pane->GetHeight(), 100);
    pane->SetPaneVisible(false);
    EXPECT_TRUE(pane->IsAnimating());
    EXPECT_FALSE(pane->IsPaneVisible());
    EXPECT_TRUE(pane->IsVisible());

    const int hiding[] = {75, 50, 25};
    for (int height : hiding) {
        Step();
        window.Pump();
        EXPECT_EQ(pane->GetFixedHeight(), height);
        EXPECT_EQ(pane->GetHeight(), height);
        EXPECT_TRUE(pane->IsVisible());
    }
    Step();
    EXPECT_FALSE(pane->IsAnimating());
    EXPECT_FALSE(pane->IsVisible());
    EXPECT_EQ(pane->GetFixedHeight(), 100); // kept for the next show

    pane->SetPaneVisible(true);
    Step();
    window.Pump();
    EXPECT_TRUE(pane->IsVisible());
    EXPECT_EQ(pane->GetHeight(), 25);
    Step();
    Step();
    Step();
    window.Pump();
    EXPECT_FALSE(pane->IsAnimating());
    EXPECT_EQ(pane->GetHeight(), 100);
}

TEST_F(AnimationPane, ReversesFromWhereItIs)
{
    pane->SetPaneVisible(false);
    Step();
    Step(); // half hidden
    pane->SetPaneVisible(true);
    EXPECT_TRUE(pane->IsAnimating());
    int last = pane->GetFixedHeight();
    EXPECT_EQ(last, 50);
    for (int i = 0; i < 4; ++i) {
        Step();
        EXPECT_GT(pane->GetFixedHeight(), last);
        last = pane->GetFixedHeight();
    }
    EXPECT_FALSE(pane->IsAnimating());
    EXPECT_EQ(last, 100);
    EXPECT_TRUE(pane->IsVisible());
}

TEST_F(AnimationPane, RunsOnItsTimerAndCanSkipTheAnimation)
{
    pane->SetAttribute(L"framedelay", L"10");
    pane->SetPaneVisible(false);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !pane->IsAnimating(); }));
    EXPECT_FALSE(pane->IsVisible());

    pane->SetAnimationEnabled(false);
    pane->SetPaneVisible(true);
    EXPECT_FALSE(pane->IsAnimating());
    EXPECT_TRUE(pane->IsVisible());
    EXPECT_EQ(pane->GetFixedHeight(), 100);
}
