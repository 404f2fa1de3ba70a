// The scroll bar on its own: range and position, and the geometry of its parts.
#include "../support/LayoutTestSupport.h"

using namespace Facet;
using namespace testsupport;

namespace {

TEST(ScrollBar, PositionStaysWithinTheRange)
{
    CScrollBarUI bar;
    bar.SetScrollRange(50);
    bar.SetScrollPos(80);
    EXPECT_EQ(bar.GetScrollPos(), 50);
    bar.SetScrollPos(-5);
    EXPECT_EQ(bar.GetScrollPos(), 0);
    bar.SetScrollPos(30);
    bar.SetScrollRange(20);
    EXPECT_EQ(bar.GetScrollPos(), 20);
    bar.SetScrollRange(-3);
    EXPECT_EQ(bar.GetScrollRange(), 0);
    EXPECT_EQ(bar.GetScrollPos(), 0);

    bar.SetAttribute(L"range", L"40");
    bar.SetAttribute(L"value", L"15");
    bar.SetAttribute(L"linesize", L"3");
    bar.SetAttribute(L"scrollunit", L"0");
    EXPECT_EQ(bar.GetScrollRange(), 40);
    EXPECT_EQ(bar.GetScrollPos(), 15);
    EXPECT_EQ(bar.GetLineSize(), 3);
    EXPECT_EQ(bar.GetScrollUnit(), 1);
    EXPECT_STREQ(bar.GetClass(), L"ScrollBar");
    EXPECT_EQ(bar.GetInterface(L"ScrollBar"), &bar);
}

TEST(ScrollBar, ButtonsAndThumbFollowRangeAndPosition)
{
    ScopedDpi dpi(96);
    CScrollBarUI bar;
    EXPECT_EQ(bar.GetFixedWidth(), 16);
    bar.SetScrollRange(100);
    bar.SetPos(RECT{0, 0, 16, 200});
    EXPECT_EQ(R(bar.GetButton1Rect()), (Rect{0, 0, 16, 16}));
    EXPECT_EQ(R(bar.GetButton2Rect()), (Rect{0, 184, 16, 200}));
    // The thumb shows 200 of 300: 168 * 200 / 300 = 112 pixels.
    EXPECT_EQ(R(bar.GetThumbRect()), (Rect{0, 16, 16, 128}));
    bar.SetScrollPos(100);
    EXPECT_EQ(R(bar.GetThumbRect()), (Rect{0, 72, 16, 184}));
    bar.SetScrollPos(50);
    EXPECT_EQ(R(bar.GetThumbRect()), (Rect{0, 44, 16, 156}));

    bar.SetShowButton1(false);
    EXPECT_EQ(R(bar.GetButton1Rect()), (Rect{0, 0, 16, 0}));
    bar.SetScrollRange(0);
    EXPECT_TRUE(IsRectEmpty(&bar.GetThumbRect()));

    bar.SetAttribute(L"hor", L"true");
    EXPECT_EQ(bar.GetFixedHeight(), 16);
    EXPECT_EQ(bar.GetFixedWidth(), 0);
    bar.SetScrollRange(100);
    bar.SetPos(RECT{0, 0, 200, 16});
    EXPECT_EQ(R(bar.GetButton2Rect()), (Rect{184, 0, 200, 16}));
    EXPECT_EQ(bar.GetThumbRect().top, 0);
    EXPECT_EQ(bar.GetThumbRect().left, 0);
}

} // namespace
