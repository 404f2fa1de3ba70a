#include "render/RenderClip.h"
#include "render/RenderEngine.h"

#include "../support/DibCanvas.h"

#include <gtest/gtest.h>

using namespace Facet;
using testsupport::DibCanvas;
using testsupport::Near;

namespace {

TEST(DrawColor, OpaqueFillsTransparentSkipsTranslucentBlends)
{
    DibCanvas canvas(10, 10);
    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawColor(canvas.Dc(), RECT{2, 2, 6, 6}, 0xFF3366CC);
    EXPECT_EQ(canvas.Rgb(2, 2), 0x3366CCu);
    EXPECT_EQ(canvas.Rgb(5, 5), 0x3366CCu);
    EXPECT_EQ(canvas.Rgb(6, 6), 0xFFFFFFu);

    CRenderEngine::DrawColor(canvas.Dc(), RECT{0, 0, 10, 10}, 0x00FF0000);
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFFFFu);

    // Half-transparent red over white: red stays full, green and blue halve. A
    // blend that forgot to premultiply would overflow the red channel.
    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawColor(canvas.Dc(), RECT{0, 0, 10, 10}, 0x80FF0000);
    EXPECT_TRUE(Near(canvas.Rgb(4, 4), 0xFF7F7F)) << std::hex << canvas.Rgb(4, 4);
    canvas.Fill(0xFF000000);
    CRenderEngine::DrawColor(canvas.Dc(), RECT{0, 0, 10, 10}, 0x80FF0000);
    EXPECT_TRUE(Near(canvas.Rgb(4, 4), 0x800000)) << std::hex << canvas.Rgb(4, 4);
}

TEST(DrawGradient, RunsFromTheFirstColourToTheSecond)
{
    DibCanvas canvas(16, 64);
    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawGradient(canvas.Dc(), RECT{0, 0, 16, 64}, 0xFFFF0000, 0xFF0000FF, true, 64);
    EXPECT_TRUE(Near(canvas.Rgb(8, 0), 0xFF0000, 8)) << std::hex << canvas.Rgb(8, 0);
    EXPECT_TRUE(Near(canvas.Rgb(8, 63), 0x0000FF, 8)) << std::hex << canvas.Rgb(8, 63);
    const uint32_t middle = canvas.Rgb(8, 32);
    EXPECT_TRUE(Near(middle, 0x7F007F, 12)) << std::hex << middle;

    // Fully transparent ends draw nothing.
    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawGradient(canvas.Dc(), RECT{0, 0, 16, 64}, 0x00FF0000, 0x000000FF, true, 64);
    EXPECT_EQ(canvas.Rgb(8, 8), 0xFFFFFFu);
}

TEST(DrawFrames, RectangleFrameLiesInsideItsRectangle)
{
    DibCanvas canvas(20, 20);
    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawRect(canvas.Dc(), RECT{2, 2, 12, 12}, 2, 0xFF000000);
    EXPECT_EQ(canvas.Rgb(2, 2), 0u);
    EXPECT_EQ(canvas.Rgb(3, 7), 0u);
    EXPECT_EQ(canvas.Rgb(11, 11), 0u);
    EXPECT_EQ(canvas.Rgb(12, 12), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(7, 7), 0xFFFFFFu); // no fill
    EXPECT_EQ(canvas.Rgb(1, 1), 0xFFFFFFu);

    CRenderEngine::DrawLine(canvas.Dc(), RECT{0, 18, 19, 18}, 1, 0xFF00FF00);
    EXPECT_EQ(canvas.Rgb(10, 18), 0x00FF00u);
}

TEST(RenderClip, DrawingStaysInsideTheClipUntilItEnds)
{
    DibCanvas canvas(20, 20);
    canvas.Fill(0xFFFFFFFF);
    {
        CRenderClip clip;
        CRenderClip::GenerateClip(canvas.Dc(), RECT{5, 5, 10, 10}, clip);
        CRenderEngine::DrawColor(canvas.Dc(), RECT{0, 0, 20, 20}, 0xFF000000);
        EXPECT_EQ(canvas.Rgb(5, 5), 0u);
        EXPECT_EQ(canvas.Rgb(4, 4), 0xFFFFFFu);
        EXPECT_EQ(canvas.Rgb(10, 10), 0xFFFFFFu);

        // Inside the old clip again for a while.
        CRenderClip::UseOldClipBegin(canvas.Dc(), clip);
        CRenderEngine::DrawColor(canvas.Dc(), RECT{0, 0, 1, 1}, 0xFFFF0000);
        CRenderClip::UseOldClipEnd(canvas.Dc(), clip);
        CRenderEngine::DrawColor(canvas.Dc(), RECT{19, 19, 20, 20}, 0xFFFF0000);
        EXPECT_EQ(canvas.Rgb(0, 0), 0xFF0000u);
        EXPECT_EQ(canvas.Rgb(19, 19), 0xFFFFFFu);
    }
    // The clip has ended: the whole canvas can be drawn again.
    CRenderEngine::DrawColor(canvas.Dc(), RECT{15, 15, 20, 20}, 0xFF00FF00);
    EXPECT_EQ(canvas.Rgb(19, 19), 0x00FF00u);
}

TEST(RenderClip, NestedClipsIntersectAndRoundClipCutsCorners)
{
    DibCanvas canvas(40, 40);
    canvas.Fill(0xFFFFFFFF);
    CRenderClip outer;
    CRenderClip::GenerateClip(canvas.Dc(), RECT{0, 0, 20, 40}, outer);
    {
        CRenderClip inner;
        CRenderClip::GenerateClip(canvas.Dc(), RECT{10, 0, 40, 40}, inner);
        CRenderEngine::DrawColor(canvas.Dc(), RECT{0, 0, 40, 40}, 0xFF000000);
    }
    EXPECT_EQ(canvas.Rgb(9, 5), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(15, 5), 0u);
    EXPECT_EQ(canvas.Rgb(25, 5), 0xFFFFFFu);

    canvas.Fill(0xFFFFFFFF);
    {
        CRenderClip round;
        CRenderClip::GenerateRoundClip(canvas.Dc(), RECT{0, 0, 20, 20}, RECT{0, 0, 19, 19}, 10, 10, round);
        CRenderEngine::DrawColor(canvas.Dc(), RECT{0, 0, 40, 40}, 0xFF000000);
    }
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFFFFu); // cut by the rounded corner
    EXPECT_EQ(canvas.Rgb(10, 10), 0u);
    EXPECT_EQ(canvas.Rgb(10, 0), 0u);
}

TEST(AdjustColor, NeutralKeepsAndHueRotates)
{
    EXPECT_EQ(CRenderEngine::AdjustColor(0x80123456, 180, 100, 100), 0x80123456u);
    // Pure red turned by 120 degrees is pure green; alpha is kept.
    EXPECT_EQ(CRenderEngine::AdjustColor(0xC0FF0000, 300, 100, 100), 0xC000FF00u);
    // Zero saturation gives grey of the same lightness.
    const DWORD grey = CRenderEngine::AdjustColor(0xFFFF0000, 180, 0, 100);
    EXPECT_TRUE(Near(grey, 0xFF808080)) << std::hex << grey;
    // Lightness 0 gives black.
    EXPECT_EQ(CRenderEngine::AdjustColor(0xFF3366CC, 180, 100, 0), 0xFF000000u);
}

TEST(AdjustColor, OnlyTheResultingChannelsAreClamped)
{
    // Saturation 300 % of C83232 (s = 0.6) is 1.8: red runs past full and is
    // clamped there, green and blue below zero. Clamping s to 1 first would
    // give FA0000.
    EXPECT_EQ(CRenderEngine::AdjustColor(0xFFC83232, 180, 300, 100), 0xFFFF0000u);
    EXPECT_EQ(CRenderEngine::AdjustColor(0x80C83232, 180, 300, 100), 0x80FF0000u);
}

} // namespace
