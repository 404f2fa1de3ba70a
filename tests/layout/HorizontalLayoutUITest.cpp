// Layout arithmetic of the horizontal layout.
#include "../support/LayoutTestSupport.h"

using namespace Facet;
using namespace testsupport;

namespace {

class HorizontalLayout : public LayoutFixture<CHorizontalLayoutUI>
{
};

TEST_F(HorizontalLayout, TheTitleBarRowStretchesItsFirstControl)
{
    layout.SetInset(RECT{24, 0, 24, 0});
    Box* title = AddBox();
    AddBox(26, 26);
    Box* gap = AddBox(12, 0);
    AddBox(26, 26);
    AddBox(12, 0);
    Box* close = AddBox(26, 26);
    layout.SetPos(RECT{0, 0, 680, 50});
    EXPECT_EQ(R(title->GetPos()), (Rect{24, 0, 554, 50}));
    EXPECT_EQ(R(gap->GetPos()), (Rect{580, 0, 592, 50}));
    EXPECT_EQ(R(close->GetPos()), (Rect{630, 0, 656, 26}));
}

TEST_F(HorizontalLayout, AChildWithoutAWidthStretchesEvenWithAHeight)
{
    Box* tall = AddBox(0, 50);
    Box* label = AddBox(55, 0);
    layout.SetPos(RECT{0, 0, 200, 100});
    EXPECT_EQ(R(tall->GetPos()), (Rect{0, 0, 145, 50}));
    EXPECT_EQ(R(label->GetPos()), (Rect{145, 0, 200, 100}));
}

TEST_F(HorizontalLayout, SharesPaddingsAndLimits)
{
    layout.SetChildPadding(10);
    Box* a = AddBox();
    Box* b = AddBox();
    b->SetPadding(RECT{2, 3, 4, 5});
    Box* c = AddBox();
    c->SetMinWidth(40);
    layout.SetPos(RECT{0, 0, 120, 60});
    // 120 - 2 * 10 - 6 = 94 shared by three: 31 each, the last raised to 40.
    EXPECT_EQ(R(a->GetPos()), (Rect{0, 0, 31, 60}));
    EXPECT_EQ(R(b->GetPos()), (Rect{43, 3, 74, 55}));
    EXPECT_EQ(R(c->GetPos()), (Rect{88, 0, 128, 60}));
}

TEST_F(HorizontalLayout, VerticalAlignmentOfChildren)
{
    Box* box = AddBox(20, 40);
    box->SetPadding(RECT{0, 0, 0, 5});
    layout.SetChildVAlign(4);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(R(box->GetPos()), (Rect{0, 30, 20, 70}));
    layout.SetChildVAlign(8);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(R(box->GetPos()), (Rect{0, 55, 20, 95}));
    layout.SetChildVAlign(0);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(R(box->GetPos()), (Rect{0, 0, 20, 40}));
}

TEST_F(HorizontalLayout, WidthsScaleWithTheDisplay)
{
    ScopedDpi display(120);
    CHorizontalLayoutUI scaled;
    Box* fixed = new Box;
    fixed->SetAttribute(L"width", L"40");
    Box* rest = new Box;
    scaled.Add(fixed);
    scaled.Add(rest);
    scaled.SetAttribute(L"inset", L"4,0,4,0");
    scaled.SetPos(RECT{0, 0, 300, 20});
    EXPECT_EQ(R(fixed->GetPos()), (Rect{5, 0, 55, 20}));
    EXPECT_EQ(R(rest->GetPos()), (Rect{55, 0, 295, 20}));
}

} // namespace
