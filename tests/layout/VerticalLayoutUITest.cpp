// Layout arithmetic of the vertical layout and of the plain container.
#include "../support/LayoutTestSupport.h"

using namespace Facet;
using namespace testsupport;

namespace {

class VerticalLayout : public LayoutFixture<CVerticalLayoutUI>
{
};

TEST_F(VerticalLayout, AStretchableChildTakesWhatTheFixedOnesLeave)
{
    Box* a = AddBox();
    Box* b = AddBox(0, 10);
    Box* c = AddBox(0, 5);
    layout.SetPos(RECT{0, 0, 100, 58});
    EXPECT_EQ(R(a->GetPos()), (Rect{0, 0, 100, 43}));
    EXPECT_EQ(R(b->GetPos()), (Rect{0, 43, 100, 53}));
    EXPECT_EQ(R(c->GetPos()), (Rect{0, 53, 100, 58}));
}

TEST_F(VerticalLayout, TheLastStretchableChildTakesTheRemainder)
{
    Box* a = AddBox();
    Box* b = AddBox();
    Box* c = AddBox();
    layout.SetPos(RECT{0, 0, 50, 100});
    EXPECT_EQ(a->GetHeight(), 33);
    EXPECT_EQ(b->GetHeight(), 33);
    EXPECT_EQ(R(c->GetPos()), (Rect{0, 66, 50, 100}));
}

TEST_F(VerticalLayout, MinimumAndMaximumHeightsWinOverTheShare)
{
    Box* a = AddBox();
    a->SetMinHeight(50);
    Box* b = AddBox();
    b->SetMaxHeight(4);
    layout.SetPos(RECT{0, 0, 50, 20});
    EXPECT_EQ(a->GetHeight(), 50);                    // overflows the 20 pixels
    EXPECT_EQ(R(b->GetPos()), (Rect{0, 50, 50, 50})); // nothing is left for it
}

TEST_F(VerticalLayout, InsetPaddingAndChildPadding)
{
    layout.SetInset(RECT{10, 5, 10, 5});
    layout.SetChildPadding(7);
    Box* a = AddBox(0, 20);
    a->SetPadding(RECT{3, 4, 5, 6});
    Box* b = AddBox();
    layout.SetPos(RECT{0, 0, 200, 100});
    EXPECT_EQ(R(a->GetPos()), (Rect{13, 9, 185, 29}));
    EXPECT_EQ(R(b->GetPos()), (Rect{10, 42, 190, 95}));
    EXPECT_EQ(R(layout.GetClientPos()), (Rect{10, 5, 190, 95}));
}

TEST_F(VerticalLayout, HiddenChildrenTakeNoSpaceAndFloatingOnesUseTheirAnchors)
{
    Box* hidden = AddBox(0, 30);
    hidden->SetVisible(false);
    Box* floating = AddBox();
    floating->SetAttribute(L"pos", L"10,20,40,60");
    floating->SetAttribute(L"float", L"true");
    Box* anchored = AddBox();
    anchored->SetAttribute(L"pos", L"0,0,10,10");
    anchored->SetAttribute(L"float", L"0.5,0,0.5,0");
    Box* rest = AddBox();
    layout.SetPos(RECT{50, 50, 150, 150});
    EXPECT_EQ(R(rest->GetPos()), (Rect{50, 50, 150, 150}));
    EXPECT_EQ(R(floating->GetPos()), (Rect{60, 70, 90, 110}));
    EXPECT_EQ(R(anchored->GetPos()), (Rect{100, 50, 110, 60}));
    EXPECT_EQ(hidden->placements, 0);
}

TEST_F(VerticalLayout, WidthsFollowFixedAndMaximumWidthsAndChildAlignment)
{
    Box* fixed = AddBox(40, 10);
    Box* capped = AddBox(0, 10);
    capped->SetMaxWidth(30);
    Box* wide = AddBox(0, 10);
    wide->SetMinWidth(150);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(R(fixed->GetPos()), (Rect{0, 0, 40, 10}));
    EXPECT_EQ(capped->GetWidth(), 30);
    EXPECT_EQ(wide->GetWidth(), 150);

    layout.SetChildAlign(1);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(R(fixed->GetPos()), (Rect{30, 0, 70, 10}));

    fixed->SetPadding(RECT{0, 0, 5, 0});
    layout.SetChildAlign(2);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(R(fixed->GetPos()), (Rect{55, 0, 95, 10}));
}

TEST_F(VerticalLayout, SkinSizesScaleWithTheDisplay)
{
    for (const auto& scale : {std::make_pair(120, 1.25), std::make_pair(144, 1.5)}) {
        ScopedDpi display(scale.first);
        CVerticalLayoutUI scaled;
        scaled.SetAttribute(L"inset", L"8,8,8,8");
        scaled.SetAttribute(L"childpadding", L"4"); // not scaled
        Box* top = new Box;
        top->SetAttribute(L"height", L"33");
        top->SetAttribute(L"padding", L"0,2,0,0"); // not scaled
        Box* rest = new Box;
        scaled.Add(top);
        scaled.Add(rest);
        scaled.SetPos(RECT{0, 0, 200, 200});

        const int inset = static_cast<int>(8 * scale.second);
        const int height = static_cast<int>(33 * scale.second);
        SCOPED_TRACE(scale.first);
        EXPECT_EQ(R(top->GetPos()), (Rect{inset, inset + 2, 200 - inset, inset + 2 + height}));
        EXPECT_EQ(R(rest->GetPos()), (Rect{inset, inset + 2 + height + 4, 200 - inset, 200 - inset}));
    }
}

TEST_F(VerticalLayout, EmptyAndDegenerateRectanglesGiveNoNegativeSizes)
{
    Box* a = AddBox();
    Box* b = AddBox(0, 30);
    layout.SetInset(RECT{20, 20, 20, 20});
    layout.SetPos(RECT{0, 0, 10, 10});
    EXPECT_GE(a->GetWidth(), 0);
    EXPECT_EQ(a->GetHeight(), 0);
    EXPECT_EQ(b->GetHeight(), 30);
}

TEST_F(VerticalLayout, PlainContainerStacksEveryChildOnItsClientArea)
{
    CContainerUI container;
    container.SetInset(RECT{5, 5, 5, 5});
    Box* a = new Box;
    Box* b = new Box(20, 20);
    b->SetMaxWidth(30);
    b->SetMaxHeight(30);
    container.Add(a);
    container.Add(b);
    container.SetPos(RECT{10, 10, 110, 60});
    EXPECT_EQ(R(a->GetPos()), (Rect{15, 15, 105, 55}));
    EXPECT_EQ(R(b->GetPos()), (Rect{15, 15, 45, 45})); // clamped to its maximum
}

} // namespace
