#include "ControlsTestSupport.h"

#include "control/LabelUIEffects.h"
#include "render/GdiplusSession.h"

#include "../support/GdiObjectCount.h"

using namespace Facet;
using testsupport::ControlsTest;
using testsupport::InkColumns;

namespace {

TEST(LabelEffectsPlan, DrawsGlowStrokeShadowThenTextAtTheirShifts)
{
    TTextEffectSettings settings = {true, true, true, 0xFF112233, 0xFF000000, 0xFFFFFFFF, 2.0f, -3.0f};
    const std::vector<TTextEffectDraw> draws = PlanTextEffects(settings);
    ASSERT_EQ(draws.size(), 7u);
    EXPECT_EQ(draws[0].kind, TextEffectKind::Glow);
    EXPECT_EQ(draws[0].dx, 2.0f);
    EXPECT_EQ(draws[0].dy, -3.0f);
    const float strokeShifts[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(draws[1 + i].kind, TextEffectKind::Stroke);
        EXPECT_EQ(draws[1 + i].dx, strokeShifts[i][0]);
        EXPECT_EQ(draws[1 + i].dy, strokeShifts[i][1]);
    }
    EXPECT_EQ(draws[5].kind, TextEffectKind::Shadow);
    EXPECT_EQ(draws[5].dx, 2.0f);
    EXPECT_EQ(draws[5].dy, -3.0f);
    EXPECT_EQ(draws[6].kind, TextEffectKind::Text);
    EXPECT_EQ(draws[6].dx, 0.0f);

    // A stroke without colour and a shadow without colours are left out.
    settings = {false, true, true, 0, 0, 0, 1.0f, 1.0f};
    const std::vector<TTextEffectDraw> textOnly = PlanTextEffects(settings);
    ASSERT_EQ(textOnly.size(), 1u);
    EXPECT_EQ(textOnly[0].kind, TextEffectKind::Text);
}

TEST(LabelEffectsPlan, GlowBitmapNeverGrowsPastTheTextRectangle)
{
    EXPECT_EQ(GlowBitmapSize(300, 30, 3.0f).cx, 100);
    EXPECT_EQ(GlowBitmapSize(300, 30, 3.0f).cy, 10);
    EXPECT_EQ(GlowBitmapSize(300, 30, 0.0001f).cx, 300);
    EXPECT_EQ(GlowBitmapSize(300, 30, 0.5f).cy, 30);
    EXPECT_EQ(GlowBitmapSize(2, 2, 50.0f).cx, 1);
    EXPECT_EQ(GlowBitmapSize(2, 2, 50.0f).cy, 1);
}

class LabelEffectsTest : public ControlsTest
{
protected:
    CLabelUI* MakeEffectLabel(RECT rc, const wchar_t* name)
    {
        CLabelUI* label = Place(new CLabelUI, rc, name);
        label->SetAttributeList(L"font=\"16\" text=\"Glow\" textcolor=\"#FF2040C0\" enabledeffect=\"true\" "
                                L"enabledluminous=\"true\" luminousfuzzy=\"0.5\" enabledstroke=\"true\" "
                                L"strokecolor=\"#FFFFFF00\" enabledshadow=\"true\" shadowoffset=\"2,45\"");
        return label;
    }
};

TEST_F(LabelEffectsTest, ShadowOffsetMovesAwayFromTheAngleBeforeAndAfterLayout)
{
    CLabelUI* label = Place(new CLabelUI, RECT{50, 60, 150, 90}, L"lbl");
    struct Case
    {
        int angle;
        float x;
        float y;
    } cases[] = {{45, -3, -3}, {135, -3, 3}, {-45, 3, -3}, {-135, 3, 3}, {180, -3, 3}, {-180, 0, 3}};
    for (const Case& c : cases) {
        label->SetShadowOffset(3, c.angle);
        EXPECT_EQ(label->GetShadowOffset().x, c.x) << c.angle;
        EXPECT_EQ(label->GetShadowOffset().y, c.y) << c.angle;
    }
    label->SetShadowOffset(3, 45);
    label->SetShadowOffset(7, 181); // out of range: ignored
    EXPECT_EQ(label->GetShadowOffset().x, -3.0f);
}

TEST_F(LabelEffectsTest, FuzzyFactorsBelowTheFloorAreIgnored)
{
    CLabelUI* label = Place(new CLabelUI, RECT{50, 60, 150, 90}, L"lbl");
    EXPECT_EQ(label->GetLuminousFuzzy(), 3.0f);
    label->SetAttribute(L"luminousfuzzy", L"0.00001");
    EXPECT_EQ(label->GetLuminousFuzzy(), 3.0f);
    label->SetAttribute(L"luminousfuzzy", L"0.5");
    EXPECT_EQ(label->GetLuminousFuzzy(), 0.5f);
}

TEST_F(LabelEffectsTest, EffectTextPaintsWithOneGdiplusSessionAndReleasesItsObjects)
{
    CLabelUI* first = MakeEffectLabel(RECT{10, 10, 150, 50}, L"first");
    CLabelUI* second = MakeEffectLabel(RECT{10, 60, 150, 100}, L"second");
    EXPECT_TRUE(first->GetEnabledEffect());

    PaintAlone(first);
    const RECT ink = InkColumns(canvas, RECT{0, 0, 300, 200});
    EXPECT_GT(ink.right, ink.left);
    EXPECT_GE(ink.left, 10 - 4); // shifts and glow stay near the text rectangle
    EXPECT_LE(ink.right, 150 + 4);
    // The stroke went through GDI+: yellow outlines around the blue text.
    int yellowish = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 6; x < 154; ++x)
            yellowish += testsupport::Near(canvas.Rgb(x, y), 0xFFFF00, 60) ? 1 : 0;
    EXPECT_GT(yellowish, 0);
    PaintAlone(second);
    EXPECT_EQ(CGdiplusSession::StartCount(), 1);

    const DWORD before = testsupport::CountGdiObjects();
    for (int i = 0; i < 20; ++i) {
        PaintAlone(first);
        PaintAlone(second);
        window.manager.Invalidate();
        window.Pump();
    }
    EXPECT_EQ(testsupport::CountGdiObjects(), before);
    EXPECT_EQ(CGdiplusSession::StartCount(), 1);
}

TEST_F(LabelEffectsTest, EffectLabelsWithoutTextOrRoomPaintNothing)
{
    CLabelUI* label = MakeEffectLabel(RECT{10, 10, 150, 50}, L"lbl");
    label->SetText(L"");
    PaintAlone(label);
    EXPECT_EQ(InkColumns(canvas, RECT{0, 0, 300, 200}).right, 0);
    label->SetText(L"Glow");
    label->SetAttribute(L"textpadding", L"100,0,100,0"); // the text rectangle is inverted
    PaintAlone(label);
    EXPECT_EQ(InkColumns(canvas, RECT{0, 0, 300, 200}).right, 0);
}

} // namespace
