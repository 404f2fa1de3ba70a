// Painting of controls without a paint manager into a 32-bit DIB: background
// colours and gradients, borders, the rounded clip, and the GDI objects that
// painting makes.
#include "../support/ControlTestSupport.h"

#include "../support/DibCanvas.h"
#include "../support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <winternl.h>

#include <cstdio>

using Facet::CControlUI;
using testsupport::DibCanvas;
using testsupport::Near;

namespace {

const uint32_t kBlank = 0x00FFFFFFu; // the canvas before painting (RGB)

class ControlPaint : public ::testing::Test
{
protected:
    ControlPaint() : canvas(100, 100) { canvas.Fill(0xFFFFFFFFu); }

    bool PaintAll(CControlUI& control) { return control.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, nullptr); }

    DibCanvas canvas;
};

bool RefusePaint(void*)
{
    return false;
}

int Channel(uint32_t rgb, int shift)
{
    return static_cast<int>((rgb >> shift) & 0xFF);
}

TEST_F(ControlPaint, OpaqueBackgroundFillsOnlyThePaintAreaTranslucentTheWholeControl)
{
    CControlUI opaque;
    opaque.SetPos(RECT{10, 10, 50, 50});
    opaque.SetBkColor(0xFFFF0000u);
    EXPECT_TRUE(opaque.Paint(canvas.Dc(), RECT{0, 0, 30, 30}, nullptr));
    EXPECT_EQ(0xFF0000u, canvas.Rgb(10, 10));
    EXPECT_EQ(0xFF0000u, canvas.Rgb(29, 29));
    EXPECT_EQ(kBlank, canvas.Rgb(40, 40));
    EXPECT_EQ(kBlank, canvas.Rgb(9, 9));

    CControlUI translucent;
    translucent.SetPos(RECT{60, 60, 90, 90});
    translucent.SetBkColor(0x800000FFu);
    EXPECT_TRUE(translucent.Paint(canvas.Dc(), RECT{55, 55, 70, 70}, nullptr));
    // Half blue over white, also outside the paint area.
    for (const POINT p : {POINT{65, 65}, POINT{85, 85}}) {
        const uint32_t rgb = canvas.Rgb(p.x, p.y);
        EXPECT_NEAR(0xFF, Channel(rgb, 0), 1);
        EXPECT_NEAR(0x7F, Channel(rgb, 16), 2);
        EXPECT_NEAR(0x7F, Channel(rgb, 8), 2);
    }
    EXPECT_EQ(kBlank, canvas.Rgb(91, 91));
}

TEST_F(ControlPaint, TwoColoursMakeOneVerticalGradientThreeColoursTwo)
{
    CControlUI two;
    two.SetPos(RECT{0, 0, 20, 100});
    two.SetBkColor(0xFF000000u);
    two.SetBkColor2(0xFFFFFFFFu);
    PaintAll(two);
    EXPECT_LT(Channel(canvas.Rgb(5, 2), 8), 20);
    EXPECT_GT(Channel(canvas.Rgb(5, 97), 8), 235);
    EXPECT_LT(Channel(canvas.Rgb(5, 30), 8), Channel(canvas.Rgb(5, 70), 8));
    EXPECT_EQ(canvas.Rgb(0, 50), canvas.Rgb(19, 50));

    CControlUI three;
    three.SetPos(RECT{40, 0, 60, 100});
    three.SetBkColor(0xFFFF0000u);
    three.SetBkColor2(0xFF00FF00u);
    three.SetBkColor3(0xFF0000FFu);
    PaintAll(three);
    const uint32_t top = canvas.Rgb(50, 0);
    const uint32_t middle = canvas.Rgb(50, 50);
    const uint32_t bottom = canvas.Rgb(50, 99);
    EXPECT_GT(Channel(top, 16), 240);
    EXPECT_GT(Channel(middle, 8), 240);
    EXPECT_LT(Channel(middle, 16), 15);
    EXPECT_LT(Channel(middle, 0), 15);
    EXPECT_GT(Channel(bottom, 0), 240);
}

TEST_F(ControlPaint, BorderColourWithoutAlphaPaintsLikeAnOpaqueOne)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetAttribute(L"bordercolor", L"D4DBDE");
    control.SetAttribute(L"bordersize", L"1");
    PaintAll(control);
    EXPECT_EQ(0xD4DBDEu, canvas.Rgb(10, 10));
    EXPECT_EQ(0xD4DBDEu, canvas.Rgb(49, 30));
    EXPECT_EQ(0xD4DBDEu, canvas.Rgb(30, 49));
    EXPECT_EQ(kBlank, canvas.Rgb(30, 30));
    EXPECT_EQ(kBlank, canvas.Rgb(50, 30));
}

TEST_F(ControlPaint, BorderNeedsAPositiveLeftWidthAndANonZeroColour)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetBorderColor(0xFF000000u);
    control.SetBorderSize(RECT{0, 1, 1, 1});
    PaintAll(control);
    for (int i = 0; i < 100; ++i)
        for (int j = 0; j < 100; j += 3)
            ASSERT_EQ(kBlank, canvas.Rgb(i, j)) << i << "," << j;

    // Only a focus colour: nothing while the control has no focus.
    CControlUI focusOnly;
    focusOnly.SetPos(RECT{10, 10, 50, 50});
    focusOnly.SetBorderSize(2);
    focusOnly.SetFocusBorderColor(0xFF00FF00u);
    PaintAll(focusOnly);
    EXPECT_EQ(kBlank, canvas.Rgb(10, 10));
    Facet::TEventUI setFocus = testsupport::MakeEvent(Facet::UIEVENT_SETFOCUS, &focusOnly);
    focusOnly.Event(setFocus);
    PaintAll(focusOnly);
    EXPECT_EQ(0x00FF00u, canvas.Rgb(10, 10));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(11, 30));
    EXPECT_EQ(kBlank, canvas.Rgb(12, 30));
}

TEST_F(ControlPaint, FocusBorderColourReplacesTheBorderColourWhileFocused)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetBorderSize(1);
    control.SetBorderColor(0xFFFF0000u);
    control.SetFocusBorderColor(0xFF0000FFu);
    PaintAll(control);
    EXPECT_EQ(0xFF0000u, canvas.Rgb(10, 30));
    Facet::TEventUI setFocus = testsupport::MakeEvent(Facet::UIEVENT_SETFOCUS, &control);
    control.Event(setFocus);
    PaintAll(control);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(10, 30));
}

TEST_F(ControlPaint, UnequalWidthsDrawOneLinePerSide)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetBkColor(0xFFFFFFFFu);
    control.SetBorderColor(0xFF000000u);
    control.SetBorderSize(RECT{4, 2, 0, 0});
    PaintAll(control);
    // Left: four pixels wide; top: two pixels high, starting after the left border.
    for (int x = 9; x <= 14; ++x)
        EXPECT_EQ(x >= 10 && x <= 13 ? 0u : kBlank, canvas.Rgb(x, 30)) << x;
    for (int y = 9; y <= 13; ++y)
        EXPECT_EQ(y >= 10 && y <= 11 ? 0u : kBlank, canvas.Rgb(30, y)) << y;
    // No right or bottom border.
    EXPECT_EQ(kBlank, canvas.Rgb(49, 30));
    EXPECT_EQ(kBlank, canvas.Rgb(30, 49));
}

TEST_F(ControlPaint, BorderIsPaintedOverTheBackground)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetBkColor(0xFF00FF00u);
    control.SetBorderColor(0xFF0000FFu);
    control.SetBorderSize(3);
    PaintAll(control);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(11, 30));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(30, 30));
}

TEST_F(ControlPaint, RoundCornersClipBackgroundAndBorder)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 60, 60});
    control.SetBkColor(0xFF00FF00u);
    control.SetBorderColor(0xFF0000FFu);
    control.SetBorderSize(1);
    control.SetBorderRound(SIZE{20, 20});
    PaintAll(control);
    EXPECT_EQ(kBlank, canvas.Rgb(10, 10));
    EXPECT_EQ(kBlank, canvas.Rgb(59, 59));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(35, 35));
    EXPECT_EQ(0x0000FFu, canvas.Rgb(35, 10));
    EXPECT_EQ(0x0000FFu, canvas.Rgb(10, 35));
    // The clip is gone after painting.
    CControlUI square;
    square.SetPos(RECT{0, 0, 100, 100});
    square.SetBkColor(0xFFFF0000u);
    PaintAll(square);
    EXPECT_EQ(0xFF0000u, canvas.Rgb(10, 10));
}

TEST_F(ControlPaint, StopControlAndPaintListenersEndPainting)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetBkColor(0xFFFF0000u);
    EXPECT_FALSE(control.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, &control));
    EXPECT_EQ(kBlank, canvas.Rgb(20, 20));

    control.OnPaint += &RefusePaint;
    EXPECT_TRUE(PaintAll(control));
    EXPECT_EQ(kBlank, canvas.Rgb(20, 20));
}

TEST_F(ControlPaint, CoverIsPaintedOverTheControl)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    control.SetBkColor(0xFFFF0000u);
    CControlUI* cover = new CControlUI;
    control.SetCover(cover);
    cover->SetPos(RECT{20, 20, 30, 30});
    cover->SetBkColor(0xFF0000FFu);
    EXPECT_TRUE(PaintAll(control));
    EXPECT_EQ(0xFF0000u, canvas.Rgb(15, 15));
    EXPECT_EQ(0x0000FFu, canvas.Rgb(25, 25));
}

TEST_F(ControlPaint, PaintingRestoresTheContextAndLeaksNoGdiObjects)
{
    CControlUI round;
    round.SetPos(RECT{5, 5, 60, 60});
    round.SetBkColor(0xFF00FF00u);
    round.SetBorderColor(0xFF0000FFu);
    round.SetBorderSize(2);
    round.SetBorderRound(SIZE{8, 8});
    CControlUI sides;
    sides.SetPos(RECT{40, 40, 95, 95});
    sides.SetBkColor(0x80FF0000u);
    sides.SetBkColor2(0x80FFFF00u);
    sides.SetBorderColor(0xFF000000u);
    sides.SetBorderSize(RECT{1, 2, 3, 4});

    const HGDIOBJ penBefore = GetCurrentObject(canvas.Dc(), OBJ_PEN);
    const HGDIOBJ brushBefore = GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(canvas.Dc(), probe));

    PaintAll(round);
    PaintAll(sides);
    const DWORD gdiBefore = testsupport::CountGdiObjects();
    for (int i = 0; i < 2000; ++i) {
        PaintAll(round);
        PaintAll(sides);
    }
    const DWORD gdiAfter = testsupport::CountGdiObjects();

    EXPECT_EQ(penBefore, GetCurrentObject(canvas.Dc(), OBJ_PEN));
    EXPECT_EQ(brushBefore, GetCurrentObject(canvas.Dc(), OBJ_BRUSH));
    // The round clip leaves a rectangular clip of the earlier clip box behind
    // (the render engine restores clips as regions); what matters is that it
    // covers the whole canvas again.
    RECT box = {};
    GetClipBox(canvas.Dc(), &box);
    EXPECT_TRUE(testsupport::SameRect(RECT{0, 0, 100, 100}, box));
    DeleteObject(probe);

    // The counter sees objects that are made and not deleted.
    const DWORD gdiWithoutPens = testsupport::CountGdiObjects();
    HPEN pens[10];
    for (HPEN& pen : pens)
        pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    const DWORD gdiWithPens = testsupport::CountGdiObjects();
    for (HPEN pen : pens)
        DeleteObject(pen);

    if (gdiBefore == 0)
        GTEST_SKIP() << "no GDI object count on this platform; DC state checked only";
    std::printf("GDI objects before %lu, after %lu painting\n", gdiBefore, gdiAfter);
    EXPECT_EQ(gdiWithoutPens + 10, gdiWithPens);
    EXPECT_LE(gdiAfter, gdiBefore + 2);
}

} // namespace
