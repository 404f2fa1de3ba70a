// The shadow's pixels, read from the bitmap it builds for a parent rectangle
// (a layered window shows nothing without a compositor, so the screen is not
// looked at).
#include "ShadowTestSupport.h"

#include "../support/DibCanvas.h"

#include <algorithm>
#include <vector>

using namespace Facet;
using namespace testsupport;

namespace {

const RECT kParent = {0, 0, 100, 100};

uint32_t Red(uint32_t alpha) // premultiplied
{
    return (alpha << 24) | (alpha << 16);
}

void Configure(CWndShadow& shadow, int size, unsigned sharpness, unsigned darkness, int x, int y,
               COLORREF colour = RGB(255, 0, 0))
{
    ASSERT_TRUE(shadow.SetSize(size) && shadow.SetSharpness(sharpness) && shadow.SetDarkness(darkness) &&
                shadow.SetPosition(x, y) && shadow.SetColor(colour));
}

} // namespace

TEST(ShadowBitmap, PreMultiplyScalesEachChannelAndLeavesAlphaZero)
{
    EXPECT_EQ(CWndShadow::PreMultiply(RGB(255, 0, 0), 128), 0x00800000u);
    EXPECT_EQ(CWndShadow::PreMultiply(RGB(255, 0, 0), 255), 0x00FF0000u);
    EXPECT_EQ(CWndShadow::PreMultiply(RGB(10, 200, 255), 100), 0x00034E64u); // 3, 78, 100: truncated
}

TEST(ShadowBitmap, SizeBeyondSharpnessGivesADarkCoreFadingOutward)
{
    // Size 10, sharpness 3: full darkness up to 7 pixels out from the parent,
    // then 150, 100, 50, and nothing beyond 10.
    CWndShadow shadow;
    Configure(shadow, 10, 3, 200, 0, 0);
    ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(pixels.Valid());
    ASSERT_EQ(pixels.Width(), 120);
    ASSERT_EQ(pixels.Height(), 120);
    const uint32_t ramp[] = {50, 100, 150, 200, 200, 200, 200, 200, 200, 200};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(pixels.At(i, 60), Red(ramp[i])) << i;
        EXPECT_EQ(pixels.At(119 - i, 60), Red(ramp[i])) << i;
        EXPECT_EQ(pixels.At(60, i), Red(ramp[i])) << i;
        EXPECT_EQ(pixels.At(60, 119 - i), Red(ramp[i])) << i;
    }
    EXPECT_EQ(pixels.At(10, 60), 0u); // behind the parent
    EXPECT_EQ(pixels.At(109, 60), 0u);
    EXPECT_EQ(pixels.At(0, 0), 0u); // outside the rounded corner
    EXPECT_NE(pixels.Alpha(5, 5), 0u);

    // An offset moves the transparent part; the colour is premultiplied.
    Configure(shadow, 10, 3, 200, 5, 5, RGB(0, 128, 255));
    ShadowPixels moved(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(moved.Valid());
    const uint32_t solid = 0xC80064C8u; // alpha 200 with 0, 100, 200
    EXPECT_EQ(moved.At(4, 60), solid);
    EXPECT_EQ(moved.At(5, 60), 0u);
    EXPECT_EQ(moved.At(104, 60), 0u);
    EXPECT_EQ(moved.At(105, 60), solid);
    EXPECT_EQ(moved.At(60, 5), 0u);
    EXPECT_EQ(moved.At(60, 105), solid);
}

TEST(ShadowBitmap, SharpnessBeyondSizeErodesTheCore)
{
    // Size 0, sharpness 3, offset 5: beside the parent the strip is solid for
    // two pixels, then 3/4, 2/4, 1/4 of the darkness.
    for (unsigned darkness : {200u, 100u, 0u}) {
        CWndShadow shadow;
        Configure(shadow, 0, 3, darkness, 5, 5);
        ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
        ASSERT_TRUE(pixels.Valid());
        const uint32_t quarters[] = {4, 4, 3, 2, 1};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(pixels.Alpha(95 + i, 50), darkness * quarters[i] / 4) << i;
            EXPECT_EQ(pixels.Alpha(50, 95 + i), darkness * quarters[i] / 4) << i;
        }
        EXPECT_EQ(pixels.At(94, 50), 0u);
        EXPECT_EQ(pixels.At(99, 99), 0u);
    }
}

TEST(ShadowBitmap, NegativeSizeShrinksTheShadow)
{
    // Size -10, sharpness 5, offset 20: 80 x 80, 30 pixels right of and below
    // the parent, so visible from column and row 70 on.
    CWndShadow shadow;
    Configure(shadow, -10, 5, 150, 20, 20);
    ShadowPixels pixels(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(pixels.Valid());
    ASSERT_EQ(pixels.Width(), 80);
    EXPECT_EQ(pixels.At(69, 40), 0u);
    EXPECT_EQ(pixels.At(40, 2), 0u);
    for (int i = 70; i < 75; ++i) {
        EXPECT_EQ(pixels.Alpha(i, 40), 150u) << i;
        EXPECT_EQ(pixels.Alpha(40, i), 150u) << i;
    }
    EXPECT_EQ(pixels.Alpha(77, 40), 75u);
    EXPECT_EQ(pixels.Alpha(40, 77), 75u);

    // A size that leaves nothing gives no bitmap.
    Configure(shadow, -50, 5, 150, 0, 0);
    EXPECT_EQ(shadow.CreateShadowBitmap(nullptr, kParent), nullptr);
    Configure(shadow, -60, 5, 150, 0, 0);
    EXPECT_EQ(shadow.CreateShadowBitmap(nullptr, kParent), nullptr);
}

TEST(ShadowBitmap, EveryPixelWrittenLiesInsideTheBitmap)
{
    const int cases[][4] = {{-10, 20, 20, -20}, {20, 0, -20, 20},  {-40, 20, 20, 20},
                            {-49, 0, -20, -20}, {30, 20, -20, 20}, {3, 20, 0, 0}};
    const UINT32 guard = 0xDEADBEEF;
    const size_t margin = 4096;
    for (const auto& c : cases) {
        CWndShadow shadow;
        Configure(shadow, c[0], static_cast<unsigned>(c[1]), 255, c[2], c[3]);
        const SIZE size = shadow.GetShadowSize(kParent);
        const size_t count = static_cast<size_t>(size.cx) * size.cy;
        std::vector<UINT32> buffer(count + 2 * margin, guard);
        std::fill(buffer.begin() + margin, buffer.begin() + margin + count, 0u);
        shadow.MakeShadow(buffer.data() + margin, nullptr, &kParent);
        const auto guards = std::count(buffer.begin(), buffer.begin() + margin, guard) +
                            std::count(buffer.end() - margin, buffer.end(), guard);
        const bool kept = static_cast<size_t>(guards) == 2 * margin;
        EXPECT_TRUE(kept) << "size " << c[0] << " sharpness " << c[1];
    }
}

TEST(ShadowBitmap, WindowRegionShapesTheShadow)
{
    ParentWindow rectangle(0, 0, 100, 100, false), ellipse(0, 0, 100, 100, false), column(0, 0, 100, 100, false);
    SetWindowRgn(rectangle.Handle(), CreateRectRgn(0, 0, 100, 100), FALSE);
    SetWindowRgn(ellipse.Handle(), CreateEllipticRgn(0, 0, 101, 101), FALSE);
    SetWindowRgn(column.Handle(), CreateRectRgn(45, 0, 50, 100), FALSE); // narrower than the size

    CWndShadow shadow;
    Configure(shadow, 10, 3, 200, 0, 0);
    ShadowPixels plain(shadow.CreateShadowBitmap(nullptr, kParent));
    ShadowPixels square(shadow.CreateShadowBitmap(rectangle.Handle(), kParent));
    ShadowPixels round(shadow.CreateShadowBitmap(ellipse.Handle(), kParent));
    ShadowPixels narrow(shadow.CreateShadowBitmap(column.Handle(), kParent));
    ASSERT_TRUE(plain.Valid() && square.Valid() && round.Valid() && narrow.Valid());

    int differing = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            differing += plain.At(x, y) != square.At(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0) << "a rectangular region draws like none";
    EXPECT_EQ(round.At(5, 5), 0u);
    EXPECT_EQ(round.At(60, 60), 0u);
    EXPECT_NE(round.Alpha(3, 60), 0u);

    // The column lies behind shadow columns 55 to 59; its shadow reaches 10
    // pixels out on both sides alike.
    for (int d = 0; d < 12; ++d)
        EXPECT_EQ(narrow.At(54 - d, 60), narrow.At(60 + d, 60)) << d;
    EXPECT_EQ(narrow.Alpha(45, 60), 50u);
    EXPECT_EQ(narrow.Alpha(62, 60), 200u);
    EXPECT_EQ(narrow.At(57, 60), 0u);
    EXPECT_EQ(narrow.At(70, 60), 0u);
}

TEST(ShadowBitmap, ImageDrawsANineGridWithItsCentreLeftOut)
{
    UseShadowImage();
    CWndShadow shadow;
    ASSERT_TRUE(shadow.SetImage(L"shadow.png", R(6, 6, 6, 6), R(0, 0, 0, 0)));
    const POINT position = shadow.GetShadowPosition(R(200, 100, 300, 200));
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
    EXPECT_EQ(pixels.At(6, 6), 0u);
    EXPECT_EQ(pixels.At(56, 56), 0u);

    // The corner rectangle widens the nine-grid's corners beyond the margin.
    ASSERT_TRUE(shadow.SetImage(L"shadow.png", R(6, 6, 6, 6), R(1, 1, 1, 1)));
    ShadowPixels wider(shadow.CreateShadowBitmap(nullptr, kParent));
    ASSERT_TRUE(wider.Valid());
    EXPECT_TRUE(testsupport::Near(wider.At(6, 6), kCentreColour));
    EXPECT_EQ(wider.At(7, 7), 0u);

    // A missing image keeps the one loaded before, with its margin.
    EXPECT_FALSE(shadow.SetImage(L"absent.png", R(1, 1, 1, 1), R(0, 0, 0, 0)));
    EXPECT_EQ(shadow.GetShadowSize(kParent).cx, 112);
}
