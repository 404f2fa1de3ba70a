#include "render/RenderEngine.h"
#include "render/SmoothStretch.h"

#include "../support/ControlTestSupport.h"

#include "../support/DibCanvas.h"
#include "../support/TestImages.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Facet;
using testsupport::DibCanvas;
using testsupport::EncodePng;
using testsupport::Near;
using testsupport::Picture;

namespace {

struct ImageDeleter
{
    void operator()(TImageInfo* image) const { CRenderEngine::FreeImage(image); }
};
using ImagePtr = std::unique_ptr<TImageInfo, ImageDeleter>;

ImagePtr Load(const Picture& picture)
{
    const std::vector<unsigned char> png = EncodePng(picture);
    return ImagePtr(CRenderEngine::DecodeImage(png.data(), png.size(), L"p.png"));
}

// A 20 x 20 nine-grid source with 4-pixel borders: each of the nine cells has its own colour.
const uint32_t kTopLeft = 0xFF110000, kTop = 0xFF220000, kTopRight = 0xFF330000;
const uint32_t kLeft = 0xFF001100, kCentre = 0xFF002200, kRight = 0xFF003300;
const uint32_t kBottomLeft = 0xFF000011, kBottom = 0xFF000022, kBottomRight = 0xFF000033;

Picture NineGrid()
{
    Picture p(20, 20, kCentre);
    p.FillRect(0, 0, 4, 4, kTopLeft);
    p.FillRect(4, 0, 16, 4, kTop);
    p.FillRect(16, 0, 20, 4, kTopRight);
    p.FillRect(0, 4, 4, 16, kLeft);
    p.FillRect(16, 4, 20, 16, kRight);
    p.FillRect(0, 16, 4, 20, kBottomLeft);
    p.FillRect(4, 16, 16, 20, kBottom);
    p.FillRect(16, 16, 20, 20, kBottomRight);
    return p;
}

const RECT kNoCorners = {0, 0, 0, 0};
const RECT kCorners4 = {4, 4, 4, 4};

TEST(NineGrid, CornersKeepTheirSizeWhileEdgesAndCentreStretch)
{
    const ImagePtr image = Load(NineGrid());
    ASSERT_TRUE(image);
    DibCanvas canvas(120, 50);
    canvas.Fill(0xFFFFFFFF);
    const RECT dest = {10, 10, 110, 40}; // 100 x 30
    CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, dest, RECT{0, 0, 20, 20}, kCorners4, false);

    // Every corner cell is exactly 4 x 4 pixels at the destination's corners.
    for (int dy = 0; dy < 4; ++dy)
        for (int dx = 0; dx < 4; ++dx) {
            EXPECT_EQ(canvas.Pixel(10 + dx, 10 + dy), kTopLeft);
            EXPECT_EQ(canvas.Pixel(106 + dx, 10 + dy), kTopRight);
            EXPECT_EQ(canvas.Pixel(10 + dx, 36 + dy), kBottomLeft);
            EXPECT_EQ(canvas.Pixel(106 + dx, 36 + dy), kBottomRight);
        }
    EXPECT_EQ(canvas.Pixel(14, 10), kTop);
    EXPECT_EQ(canvas.Pixel(105, 13), kTop);
    EXPECT_EQ(canvas.Pixel(10, 14), kLeft);
    EXPECT_EQ(canvas.Pixel(109, 35), kRight);
    EXPECT_EQ(canvas.Pixel(60, 39), kBottom);
    EXPECT_EQ(canvas.Pixel(14, 14), kCentre);
    EXPECT_EQ(canvas.Pixel(105, 35), kCentre);
    // Nothing outside the destination.
    EXPECT_EQ(canvas.Pixel(9, 9), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(110, 40), 0xFFFFFFFFu);
}

TEST(NineGrid, HoleLeavesTheCentreAndPaintRectangleLimitsDrawing)
{
    const ImagePtr image = Load(NineGrid());
    ASSERT_TRUE(image);
    DibCanvas canvas(100, 40);
    canvas.Fill(0xFFFFFFFF);
    const RECT dest = {0, 0, 100, 40};
    CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, dest, RECT{0, 0, 20, 20}, kCorners4, false, 255, true);
    EXPECT_EQ(canvas.Pixel(50, 20), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(0, 0), kTopLeft);
    EXPECT_EQ(canvas.Pixel(50, 0), kTop);

    // Only pieces that meet the paint rectangle are drawn: here the left column.
    canvas.Fill(0xFFFFFFFF);
    const RECT paint = {0, 0, 4, 40};
    CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, paint, RECT{0, 0, 20, 20}, kCorners4, false);
    EXPECT_EQ(canvas.Pixel(0, 20), kLeft);
    EXPECT_EQ(canvas.Pixel(99, 20), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(50, 20), 0xFFFFFFFFu);
}

TEST(NineGrid, TiledCentreRepeatsUnstretchedAndCutsTheLastTile)
{
    // A 4 x 4 source whose left half is red and right half blue; no corners.
    Picture tile(4, 4, 0xFFFF0000);
    tile.FillRect(2, 0, 4, 4, 0xFF0000FF);
    const ImagePtr image = Load(tile);
    ASSERT_TRUE(image);
    DibCanvas canvas(10, 6);
    canvas.Fill(0xFFFFFFFF);
    const RECT dest = {0, 0, 10, 6};
    CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, dest, RECT{0, 0, 4, 4}, kNoCorners, false, 255, false,
                             true, true);
    const uint32_t expectedRow[10] = {0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFFFF0000,
                                      0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFFFF0000, 0xFFFF0000};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(canvas.Pixel(x, 0), expectedRow[x]) << "x=" << x;
        EXPECT_EQ(canvas.Pixel(x, 5), expectedRow[x]) << "x=" << x;
    }

    // Corners that leave no centre: tiling draws no centre and nothing divides by zero.
    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, dest, RECT{0, 0, 4, 4}, RECT{2, 2, 2, 2}, false, 255,
                             false, true, true);
    EXPECT_EQ(canvas.Pixel(5, 3), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFF0000u);
}

TEST(NineGrid, FadeAndPerPixelAlphaBlendOverTheBackground)
{
    const ImagePtr opaque = Load(Picture(2, 2, 0xFF000000));
    ASSERT_TRUE(opaque);
    DibCanvas canvas(4, 4);
    canvas.Fill(0xFFFFFFFF);
    const RECT dest = {0, 0, 4, 4};
    CRenderEngine::DrawImage(canvas.Dc(), opaque->hBitmap, dest, dest, RECT{0, 0, 2, 2}, kNoCorners, opaque->bAlpha,
                             128);
    EXPECT_TRUE(Near(canvas.Rgb(1, 1), 0x7F7F7F)) << std::hex << canvas.Rgb(1, 1);

    const ImagePtr half = Load(Picture(2, 2, 0x80FF0000));
    ASSERT_TRUE(half);
    canvas.Fill(0xFF0000FF);
    CRenderEngine::DrawImage(canvas.Dc(), half->hBitmap, dest, dest, RECT{0, 0, 2, 2}, kNoCorners, half->bAlpha);
    EXPECT_TRUE(Near(canvas.Rgb(2, 2), 0x80007F, 2)) << std::hex << canvas.Rgb(2, 2);
}

TEST(NineGrid, SoftwareBlendAgreesWithThePlatformBlend)
{
    Picture picture(2, 2, 0x80FF0000);
    picture.At(1, 1) = 0xFF00FF00;
    picture.At(0, 1) = 0x00000000;
    const ImagePtr image = Load(picture);
    ASSERT_TRUE(image);
    DibCanvas platform(8, 8), software(8, 8);
    platform.Fill(0xFF204060);
    software.Fill(0xFF204060);
    const RECT dest = {0, 0, 8, 8};
    CRenderEngine::DrawImage(platform.Dc(), image->hBitmap, dest, dest, RECT{0, 0, 2, 2}, kNoCorners, true, 200);

    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, image->hBitmap);
    CRenderEngine::BlendWithoutPlatform(software.Dc(), dest, source, RECT{0, 0, 2, 2}, 200);
    SelectObject(source, old);
    DeleteDC(source);

    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(Near(platform.Rgb(x, y), software.Rgb(x, y), 2))
                << x << "," << y << ": " << std::hex << platform.Rgb(x, y) << " vs " << software.Rgb(x, y);
}

TEST(NineGrid, SourceBeyondTheBitmapIsClamped)
{
    const ImagePtr image = Load(Picture(4, 4, 0xFF336699));
    ASSERT_TRUE(image);
    DibCanvas canvas(8, 8);
    canvas.Fill(0xFFFFFFFF);
    const RECT dest = {0, 0, 8, 8};
    CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, dest, RECT{-3, -3, 40, 40}, kNoCorners, false);
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFF336699u);
    EXPECT_EQ(canvas.Pixel(7, 7), 0xFF336699u);
}

} // namespace

// On a screen scaled above 100 % an image drawn larger than its pixels is
// filtered; at 100 % it keeps its sharp pixels, as the skin's author drew them.
TEST(NineGrid, EnlargedImagesAreSmoothOnScaledScreensOnly)
{
    Picture picture(2, 1, 0xFF000000);
    picture.At(1, 0) = 0xFFFFFFFF;
    const ImagePtr image = Load(picture);
    ASSERT_TRUE(image);
    DibCanvas canvas(8, 1);
    const RECT dest = {0, 0, 8, 1};
    {
        testsupport::ScopedDpi unscaled(96);
        canvas.Fill(0xFF808080);
        CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, dest, RECT{0, 0, 2, 1}, kNoCorners, false);
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(canvas.Rgb(x, 0) == 0x000000 || canvas.Rgb(x, 0) == 0xFFFFFF) << x;
    }
    testsupport::ScopedDpi scaled(192);
    canvas.Fill(0xFF808080);
    CRenderEngine::DrawImage(canvas.Dc(), image->hBitmap, dest, dest, RECT{0, 0, 2, 1}, kNoCorners, false);
    // Each pixel samples the source at its centre: the edges keep their
    // colours, the middle runs from dark to light through greys.
    EXPECT_EQ(canvas.Rgb(0, 0), 0x000000u);
    EXPECT_EQ(canvas.Rgb(7, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(3, 0), 0x606060u);
    EXPECT_EQ(canvas.Rgb(4, 0), 0x9F9F9Fu);
    for (int x = 1; x < 8; ++x)
        EXPECT_GE(canvas.Rgb(x, 0) & 0xFF, canvas.Rgb(x - 1, 0) & 0xFF) << x;
    // Rows keep their order: the top row stays on top.
    Picture column(1, 2, 0xFF000000);
    column.At(0, 1) = 0xFFFFFFFF;
    const ImagePtr upright = Load(column);
    ASSERT_TRUE(upright);
    DibCanvas tall(1, 8);
    tall.Fill(0xFF808080);
    const RECT high = {0, 0, 1, 8};
    CRenderEngine::DrawImage(tall.Dc(), upright->hBitmap, high, high, RECT{0, 0, 1, 2}, kNoCorners, false);
    EXPECT_EQ(tall.Rgb(0, 0), 0x000000u);
    EXPECT_EQ(tall.Rgb(0, 7), 0xFFFFFFu);

    // With per-pixel alpha the filtered pixels blend over what is there: a
    // transparent pixel beside a red one, over blue.
    Picture half(2, 1, 0x00000000);
    half.At(1, 0) = 0xFFFF0000;
    const ImagePtr blended = Load(half);
    ASSERT_TRUE(blended);
    canvas.Fill(0xFF0000FF);
    CRenderEngine::DrawImage(canvas.Dc(), blended->hBitmap, dest, dest, RECT{0, 0, 2, 1}, kNoCorners, blended->bAlpha);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(7, 0), 0xFF0000u);
    const uint32_t middle = canvas.Rgb(4, 0);
    EXPECT_GT(middle >> 16, 0x80u);
    EXPECT_GT(middle & 0xFF, 0x20u);
}

// The filter on its own: a 2 x 2 source enlarged four times.
TEST(NineGrid, BilinearStretchBlendsTheFourNearestPixels)
{
    const uint32_t source[4] = {0xFF000000, 0xFF0000FF, 0xFF00FF00, 0xFF00FFFF};
    uint32_t out[16] = {};
    BilinearStretch(reinterpret_cast<const BYTE*>(source), 8, RECT{0, 0, 2, 2}, 8, 8, 2, 2, 4, 4,
                    reinterpret_cast<BYTE*>(out));
    // Destination (2, 2) samples the source at (0.125, 0.125).
    EXPECT_EQ(out[0] & 0xFF, 0x20u);        // blue from the right column
    EXPECT_EQ((out[0] >> 8) & 0xFF, 0x20u); // green from the lower row
    EXPECT_EQ(out[0] >> 24, 0xFFu);
    // Destination (5, 5) samples (0.875, 0.875).
    EXPECT_EQ(out[15] & 0xFF, 0xDFu);
    EXPECT_EQ((out[15] >> 8) & 0xFF, 0xDFu);
}
