// Plain text: where DrawText puts its ink, what GetTextSize measures, and
// that both leave the device context as they found it.
#include "TextTestSupport.h"

using namespace Facet;
using namespace testsupport;

namespace {

class PlainText : public TextTest
{
protected:
    RECT DrawPlain(const wchar_t* text, UINT style, RECT rc = {0, 0, 400, 200})
    {
        m_canvas.Fill(0xFFFFFFFF);
        CRenderEngine::DrawText(m_canvas.Dc(), &m_manager, rc, text, 0xFF000000, kNormalFont, style);
        return InkBox(m_canvas);
    }
};

TEST_F(PlainText, AlignmentFlagsPutTheInkWhereExpected)
{
    const RECT area = {0, 0, 400, 200};
    const RECT topLeft = DrawPlain(L"Wide text", DT_SINGLELINE);
    ASSERT_FALSE(IsRectEmpty(&topLeft));
    EXPECT_LT(topLeft.left, 10);
    EXPECT_LT(topLeft.top, 20);
    EXPECT_LT(topLeft.right, 200);

    const RECT centred = DrawPlain(L"Wide text", DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    ASSERT_FALSE(IsRectEmpty(&centred));
    EXPECT_NEAR((centred.left + centred.right) / 2, 200, 6);
    EXPECT_NEAR((centred.top + centred.bottom) / 2, 100, 6);
    EXPECT_EQ(Width(centred), Width(topLeft));

    const RECT bottomRight = DrawPlain(L"Wide text", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    ASSERT_FALSE(IsRectEmpty(&bottomRight));
    EXPECT_GT(bottomRight.right, 390);
    EXPECT_GT(bottomRight.bottom, 185);
    EXPECT_TRUE(Contains(area, bottomRight));

    // Inside a smaller rectangle the ink stays inside it.
    const RECT inner = {50, 40, 250, 120};
    const RECT clipped = DrawPlain(L"Wide text", DT_SINGLELINE | DT_CENTER | DT_VCENTER, inner);
    EXPECT_TRUE(Contains(inner, clipped));
    EXPECT_NEAR((clipped.left + clipped.right) / 2, 150, 6);
}

TEST_F(PlainText, CalculateModeMeasuresAndDrawsNothing)
{
    RECT rc = {10, 10, 400, 200};
    CRenderEngine::DrawText(m_canvas.Dc(), &m_manager, rc, L"Measured", 0xFF000000, kNormalFont,
                            DT_SINGLELINE | DT_CALCRECT);
    const RECT ink = InkBox(m_canvas);
    EXPECT_TRUE(IsRectEmpty(&ink) != FALSE);
    const SIZE size = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"Measured", kNormalFont, 0);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(Width(rc), size.cx);
    EXPECT_EQ(Height(rc), size.cy);
}

TEST_F(PlainText, TextSizeGrowsWithTheTextAndTheFont)
{
    const SIZE shorter = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"abc", kNormalFont, 0);
    const SIZE longer = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"abcabc", kNormalFont, 0);
    const SIZE bigger = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"abc", kBigFont, 0);
    EXPECT_GT(shorter.cx, 0);
    EXPECT_GT(longer.cx, shorter.cx);
    EXPECT_EQ(longer.cy, shorter.cy);
    EXPECT_GT(bigger.cx, shorter.cx);
    EXPECT_GT(bigger.cy, shorter.cy);

    // Without a context the manager's window context measures alike.
    const SIZE noDc = CRenderEngine::GetTextSize(nullptr, &m_manager, L"abc", kNormalFont, 0);
    EXPECT_EQ(noDc.cx, shorter.cx);

    const SIZE none = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, nullptr, kNormalFont, 0);
    const SIZE noManager = CRenderEngine::GetTextSize(m_canvas.Dc(), nullptr, L"abc", kNormalFont, 0);
    EXPECT_EQ(none.cx + none.cy + noManager.cx + noManager.cy, 0);
}

TEST_F(PlainText, LanguageTokensAreSubstitutedBeforeMeasuringAndDrawing)
{
    CPaintManagerUI::AddMultiLanguageString(731, L"substituted words");
    const SIZE token = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"%{731}", kNormalFont, 0);
    const SIZE plain = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"substituted words", kNormalFont, 0);
    EXPECT_EQ(token.cx, plain.cx);

    const RECT drawnToken = DrawPlain(L"%{731}", DT_SINGLELINE);
    const RECT drawnPlain = DrawPlain(L"substituted words", DT_SINGLELINE);
    EXPECT_TRUE(EqualRect(&drawnToken, &drawnPlain) != FALSE);
    CPaintManagerUI::RemoveMultiLanguageString(731);
}

TEST_F(PlainText, DrawingRestoresTheContextsFontColourAndMode)
{
    HDC dc = m_canvas.Dc();
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    RECT rc = {0, 0, 400, 200};
    CRenderEngine::DrawText(dc, &m_manager, rc, L"text", 0xFFFF0000, kBigFont, DT_SINGLELINE);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    // The text itself was drawn in the colour asked for, on no background.
    EXPECT_GT(CountPixels(m_canvas, rc, [](uint32_t p) { return IsNear(p, 0xFF0000); }), 0);
    EXPECT_EQ(m_canvas.Rgb(399, 199), kWhite);
}

} // namespace
