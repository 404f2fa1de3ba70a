// The shadow's pixels, read from the bitmap the shadow builds for a parent
// rectangle (no screen involved: a layered window shows nothing without a
// compositor).
#include "ShadowTestSupport.h"

#include "../support/DibCanvas.h"

#include <algorithm>

#include <vector>

using namespace Facet;
using namespace shadowtest;

namespace {

const RECT kParent = {0, 0, 100, 100};

// Premultiplied red of the given alpha.
uint32_t Red(uint32_t alpha)
{
    return (alpha << 24) | (alpha << 16);
}

void Configure(CWndShadow& shadow, int size, unsigned sharpness, unsigned darkness, int x, int y,
               COLORREF colour = RGB(255, 0, 0))
{
    EXPECT_TRUE(shadow.SetSize(size));
    EXPECT_TRUE(shadow.SetSharpness(sharpness));
    EXPECT_TRUE(shadow.SetDarkness(darkness));
    EXPECT_TRUE(shadow.SetPosition(x, y));
    EXPECT_TRUE(shadow.SetColor(colour));
}

} // namespace

TEST(ShadowBitmap, PreMultiplyScalesEachChannelAndLeavesAlphaZero)
{
    EXPECT_EQ(CWndShadow::PreMultiply(RGB(255, 0, 0), 128), 0x00800000u);
    EXPECT_EQ(CWndShadow::PreMultiply(RGB(255, 0, 0), 255), 0x00FF0000u);
    // 10 * 100 / 255 = 3, 200 * 100 / 255 = 78, 255 * 100 / 255 = 100.
    EXPECT_EQ(CWndShadow::PreMultiply(RGB(10, 200, 255), 100), 0x00034E64u);
    EXPECT_EQ(CWndShadow::PreMultiply(RGB(255, 255, 255), 0), 0u);
}

TEST(ShadowBitmap, SizeLargerThanSharpnessGivesDarkCoreThatFadesOut)
{
    // Size 10, sharpness 3: full darkness up to 7 pixels from the parent's
    // edge, then 150, 100, 50 and nothing beyond 10.
    CWndShadow shadow;
    Configure(shadow, 10, 3, 200, 0, 0);
    ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(pixels.Valid());
    EXPECT_TRUE(pixels.BottomUp());
    ASSERT_EQ(pixels.Width(), 120);
    ASSERT_EQ(pixels.Height(), 120);

    const uint32_t leftRamp[] = {50, 100, 150, 200, 200, 200, 200, 200, 200, 200};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(pixels.At(x, 60), Red(leftRamp[x])) << "x " << x;
        EXPECT_EQ(pixels.At(119 - x, 60), Red(leftRamp[x])) << "x " << 119 - x;
        EXPECT_EQ(pixels.At(60, x), Red(leftRamp[x])) << "y " << x;
        EXPECT_EQ(pixels.At(60, 119 - x), Red(leftRamp[x])) << "y " << 119 - x;
    }
    // Behind the parent the shadow stays transparent.
    for (int x = 10; x < 110; x += 11)
        EXPECT_EQ(pixels.At(x, 60), 0u) << "x " << x;
    // Outside the rounded corner nothing is drawn.
    EXPECT_EQ(pixels.At(0, 0), 0u);
    EXPECT_EQ(pixels.At(119, 119), 0u);
    EXPECT_NE(pixels.Alpha(5, 5), 0u);
}

TEST(ShadowBitmap, OffsetMovesTheTransparentPartAndColourIsPremultiplied)
{
    CWndShadow shadow;
    Configure(shadow, 10, 3, 200, 5, 5, RGB(0, 128, 255));
    ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(pixels.Valid());
    const uint32_t solid = 0xC8000000u | CWndShadow::PreMultiply(RGB(0, 128, 255), 200);
    EXPECT_EQ(solid, 0xC80064C8u);

    // The parent covers shadow columns and rows 5 to 104.
    EXPECT_EQ(pixels.At(4, 60), solid);
    EXPECT_EQ(pixels.At(5, 60), 0u);
    EXPECT_EQ(pixels.At(104, 60), 0u);
    EXPECT_EQ(pixels.At(105, 60), solid);
    EXPECT_EQ(pixels.At(60, 4), solid);
    EXPECT_EQ(pixels.At(60, 5), 0u);
    EXPECT_EQ(pixels.At(60, 104), 0u);
    EXPECT_EQ(pixels.At(60, 105), solid);
    EXPECT_EQ(pixels.At(60, 110), solid);
    EXPECT_EQ(pixels.Alpha(60, 119), 50u);
    EXPECT_EQ(pixels.Alpha(0, 60), 50u);
}

TEST(ShadowBitmap, SharpnessBeyondSizeErodesTheCore)
{
    // Size 0, sharpness 3, offset 5: the visible strip right of and below the
    // parent is solid for two pixels, then 150, 100, 50.
    for (unsigned darkness : {200u, 100u}) {
        CWndShadow shadow;
    Configure(shadow, 0, 3, darkness, 5, 5);
        ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
        ASSERT_TRUE(pixels.Valid());
        ASSERT_EQ(pixels.Width(), 100);
        const uint32_t ramp[] = {4, 4, 3, 2, 1}; // quarters of the darkness
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(pixels.Alpha(95 + i, 50), darkness * ramp[i] / 4) << "x " << 95 + i;
            EXPECT_EQ(pixels.Alpha(50, 95 + i), darkness * ramp[i] / 4) << "y " << 95 + i;
        }
        EXPECT_EQ(pixels.At(94, 50), 0u);
        EXPECT_EQ(pixels.At(50, 2), 0u);
        EXPECT_EQ(pixels.At(99, 99), 0u);
    }

    CWndShadow none;
    Configure(none, 0, 3, 0, 5, 5);
    ShadowPixels clear(none.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(clear.Valid());
    for (int x = 90; x < 100; ++x)
        EXPECT_EQ(clear.At(x, 50), 0u);
}

TEST(ShadowBitmap, NegativeSizeShrinksTheShadowAndFillsItsCore)
{
    // Size -10, sharpness 5, offset 20: an 80 x 80 shadow 30 pixels right of and
    // below the parent, visible from column and row 70 on.
    CWndShadow shadow;
    Configure(shadow, -10, 5, 150, 20, 20);
    ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(pixels.Valid());
    ASSERT_EQ(pixels.Width(), 80);
    EXPECT_EQ(pixels.At(69, 40), 0u);
    for (int x = 70; x < 75; ++x)
        EXPECT_EQ(pixels.Alpha(x, 40), 150u) << "x " << x;
    for (int y = 70; y < 75; ++y)
        EXPECT_EQ(pixels.Alpha(40, y), 150u) << "y " << y;
    EXPECT_EQ(pixels.Alpha(77, 40), 75u);
    EXPECT_EQ(pixels.Alpha(40, 77), 75u);
    EXPECT_EQ(pixels.At(40, 2), 0u);
}

TEST(ShadowBitmap, EveryPixelWrittenLiesInsideTheBitmap)
{
    struct Case
    {
        int size;
        unsigned sharpness;
        int x;
        int y;
    };
    const Case cases[] = {{-10, 5, 0, 0}, {-10, 20, 20, -20}, {20, 0, -20, 20}, {-40, 20, 20, 20},
                          {-49, 0, -20, -20}, {30, 20, -20, 20}, {3, 20, 0, 0}};
    const uint32_t guard = 0xDEADBEEF;
    const size_t guardPixels = 4096;
    for (const Case& c : cases) {
        CWndShadow shadow;
    Configure(shadow, c.size, c.sharpness, 255, c.x, c.y);
        const SIZE size = shadow.GetShadowSize(kParent);
        ASSERT_GT(size.cx, 0);
        const size_t count = static_cast<size_t>(size.cx) * size.cy;
        std::vector<UINT32> buffer(count + 2 * guardPixels, guard);
        std::fill(buffer.begin() + guardPixels, buffer.begin() + guardPixels + count, 0u);
        shadow.MakeShadow(buffer.data() + guardPixels, nullptr, &kParent);
        bool guardsKept = true;
        for (size_t i = 0; i < guardPixels; ++i)
            guardsKept = guardsKept && buffer[i] == guard && buffer[guardPixels + count + i] == guard;
        EXPECT_TRUE(guardsKept) << "size " << c.size << " sharpness " << c.sharpness;
    }
}

TEST(ShadowBitmap, SizeLeavingNothingGivesNoBitmap)
{
    CWndShadow shadow;
    ASSERT_TRUE(shadow.SetSize(-50));
    EXPECT_EQ(shadow.GetShadowSize(kParent).cx, 0);
    EXPECT_EQ(shadow.CreateShadowBitmap(nullptr, kParent), nullptr);
    ASSERT_TRUE(shadow.SetSize(-60));
    EXPECT_EQ(shadow.CreateShadowBitmap(nullptr, kParent), nullptr);
}

TEST(ShadowBitmap, WindowRegionShapesTheShadow)
{
    ParentWindow rectangle(0, 0, 100, 100, false);
    ParentWindow ellipse(0, 0, 100, 100, false);
    ParentWindow column(0, 0, 100, 100, false);
    ASSERT_NE(SetWindowRgn(rectangle.Handle(), CreateRectRgn(0, 0, 100, 100), FALSE), 0);
    ASSERT_NE(SetWindowRgn(ellipse.Handle(), CreateEllipticRgn(0, 0, 101, 101), FALSE), 0);
    // Five pixels wide: narrower than the shadow's size.
    ASSERT_NE(SetWindowRgn(column.Handle(), CreateRectRgn(45, 0, 50, 100), FALSE), 0);

    CWndShadow shadow;
    Configure(shadow, 10, 3, 200, 0, 0);
    ShadowPixels plain(shadow.CreateShadowBitmap(nullptr, kParent));
    ShadowPixels square(shadow.CreateShadowBitmap(rectangle.Handle(), kParent));
    ShadowPixels round(shadow.CreateShadowBitmap(ellipse.Handle(), kParent));
    ShadowPixels narrow(shadow.CreateShadowBitmap(column.Handle(), kParent));
    ASSERT_TRUE(plain.Valid() && square.Valid() && round.Valid() && narrow.Valid());

    bool same = true;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            same = same && plain.At(x, y) == square.At(x, y);
    EXPECT_TRUE(same) << "a rectangular region draws like no region";

    EXPECT_NE(square.Alpha(5, 5), 0u);
    EXPECT_EQ(round.At(5, 5), 0u);
    EXPECT_EQ(round.At(60, 60), 0u);
    EXPECT_NE(round.Alpha(3, 60), 0u);

    // The column covers shadow columns 55 to 59: its shadow reaches 10 pixels
    // out on both sides alike.
    for (int d = 0; d < 12; ++d)
        EXPECT_EQ(narrow.At(54 - d, 60), narrow.At(60 + d, 60)) << "distance " << d;
    EXPECT_EQ(narrow.Alpha(45, 60), 50u);
    EXPECT_EQ(narrow.Alpha(69, 60), 50u);
    EXPECT_EQ(narrow.Alpha(62, 60), 200u);
    EXPECT_EQ(narrow.At(57, 60), 0u);
    EXPECT_EQ(narrow.At(70, 60), 0u);
}

TEST(ShadowBitmap, ImageDrawsANineGridWithItsCentreLeftOut)
{
    UseShadowImage();
    CWndShadow shadow;
    ASSERT_TRUE(shadow.SetImage(L"shadow.png", MakeRect(6, 6, 6, 6), MakeRect(0, 0, 0, 0)));
    const POINT position = shadow.GetShadowPosition(MakeRect(200, 100, 300, 200));
    EXPECT_EQ(position.x, 194);
    EXPECT_EQ(position.y, 94);

    ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(pixels.Valid());
    ASSERT_EQ(pixels.Width(), 112);
    ASSERT_EQ(pixels.Height(), 112);
    EXPECT_TRUE(testsupport::Near(pixels.At(2, 2), kCornerColour));
    EXPECT_TRUE(testsupport::Near(pixels.At(56, 2), kRingStored));
    EXPECT_TRUE(testsupport::Near(pixels.At(2, 56), kRingStored));
    EXPECT_TRUE(testsupport::Near(pixels.At(109, 109), kRingStored));
    EXPECT_EQ(pixels.At(7, 7), 0u);
    EXPECT_EQ(pixels.At(56, 56), 0u);

    // The corner rectangle widens the nine-grid's corners beyond the margin.
    ASSERT_TRUE(shadow.SetImage(L"shadow.png", MakeRect(6, 6, 6, 6), MakeRect(1, 1, 1, 1)));
    ShadowPixels wider(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(wider.Valid());
    EXPECT_EQ(wider.Width(), 112);
    EXPECT_EQ(pixels.At(6, 6), 0u);
    EXPECT_TRUE(testsupport::Near(wider.At(6, 6), kCentreColour));
    EXPECT_EQ(wider.At(7, 7), 0u);

    // A missing image keeps the one loaded before.
    EXPECT_FALSE(shadow.SetImage(L"absent.png", MakeRect(1, 1, 1, 1), MakeRect(0, 0, 0, 0)));
    EXPECT_EQ(shadow.GetShadowSize(kParent).cx, 112);
    ShadowPixels kept(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(kept.Valid());
    EXPECT_TRUE(testsupport::Near(kept.At(2, 2), kCornerColour));
}
