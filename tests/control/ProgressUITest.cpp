#include "ControlsTestSupport.h"

#include <climits>

using namespace Facet;
using testsupport::ControlsTest;
using testsupport::InkColumns;

namespace {

const RECT kBarRect = {20, 20, 220, 30}; // 200 x 10

bool Same(const RECT& rc, long l, long t, long r, long b)
{
    return rc.left == l && rc.top == t && rc.right == r && rc.bottom == b;
}

class ProgressTest : public ControlsTest
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        bar = Place(new CProgressUI, kBarRect, L"bar");
        bar->SetAttribute(L"foreimage", L"color='#FF00A000'");
    }

    // The filled columns of the bar, relative to its left edge.
    RECT Filled()
    {
        PaintAlone(bar);
        RECT ink = InkColumns(canvas, kBarRect);
        if (ink.right > ink.left)
            OffsetRect(&ink, -kBarRect.left, 0);
        return ink;
    }

    CProgressUI* bar = nullptr;
};

TEST_F(ProgressTest, FillWidthFollowsTheValue)
{
    EXPECT_EQ(bar->GetFixedHeight(), 12);
    bar->SetValue(0);
    EXPECT_EQ(Filled().right, 0);
    bar->SetValue(40);
    EXPECT_TRUE(Same(Filled(), 0, kBarRect.top, 80, kBarRect.bottom));
    EXPECT_EQ(canvas.Rgb(kBarRect.left + 40, kBarRect.top + 5), 0x00A000u);
    bar->SetValue(100);
    EXPECT_TRUE(Same(Filled(), 0, kBarRect.top, 200, kBarRect.bottom));

    // Every row of the bar is filled, not just some.
    PaintAlone(bar);
    for (int y = kBarRect.top; y < kBarRect.bottom; ++y)
        EXPECT_EQ(canvas.Rgb(kBarRect.left + 10, y), 0x00A000u) << y;
}

TEST_F(ProgressTest, VerticalBarFillsFromTheBottom)
{
    bar->SetAttribute(L"hor", L"false");
    EXPECT_FALSE(bar->IsHorizontal());
    bar->SetValue(40); // 40 % of 10 rows: the bottom 4
    PaintAlone(bar);
    EXPECT_EQ(canvas.Rgb(kBarRect.left + 50, kBarRect.bottom - 1), 0x00A000u);
    EXPECT_EQ(canvas.Rgb(kBarRect.left + 50, kBarRect.bottom - 4), 0x00A000u);
    EXPECT_EQ(canvas.Rgb(kBarRect.left + 50, kBarRect.bottom - 5), 0xFFFFFFu);
}

TEST_F(ProgressTest, ValuesAreClampedIntoTheRangeAndTheRangeIsRepaired)
{
    bar->SetValue(250);
    EXPECT_EQ(bar->GetValue(), 100);
    bar->SetValue(-5);
    EXPECT_EQ(bar->GetValue(), 0);

    bar->SetAttribute(L"min", L"10");
    bar->SetAttribute(L"max", L"10");
    PaintAlone(bar);
    EXPECT_EQ(bar->GetMaxValue(), 11);
    EXPECT_EQ(bar->GetValue(), 10);

    // A range narrowed after the value was set is applied at the next paint.
    bar->SetMinValue(0);
    bar->SetMaxValue(100);
    bar->SetValue(90);
    bar->SetMaxValue(50);
    EXPECT_EQ(Filled().right, 200);
    EXPECT_EQ(bar->GetValue(), 50);

    bar->SetMinValue(INT_MAX);
    bar->SetMaxValue(INT_MAX);
    PaintAlone(bar);
    EXPECT_LT(bar->GetMinValue(), bar->GetMaxValue());
}

TEST_F(ProgressTest, LargeRangesDoNotOverflow)
{
    // (value - min) * width passes 32 bits here.
    EXPECT_TRUE(Same(CProgressUI::FillRect(true, 0, 2000000000, 1500000000, 200, 10), 0, 0, 150, 10));
    EXPECT_TRUE(Same(CProgressUI::FillRect(true, INT_MIN, INT_MAX, 0, 200, 10), 0, 0, 100, 10));
    EXPECT_TRUE(Same(CProgressUI::FillRect(false, INT_MIN, INT_MAX, INT_MAX, 5, 1000), 0, 0, 5, 1000));
    EXPECT_TRUE(Same(CProgressUI::FillRect(true, 0, 100, 50, 632, 5), 0, 0, 316, 5));

    bar->SetMinValue(0);
    bar->SetMaxValue(2000000000);
    bar->SetValue(1000000000);
    EXPECT_EQ(Filled().right, 100);
}

} // namespace
