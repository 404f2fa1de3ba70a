// Mark-up text: styles, colours, the two bracket forms, raw text, line
// breaking, calculate mode, ellipsis, alignment and language tokens.
#include "TextTestSupport.h"

#include <cstring>
#include <vector>

using namespace Facet;
using namespace testsupport;

namespace {

class HtmlText : public TextTest
{
protected:
    std::vector<uint32_t> Snapshot()
    {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < m_canvas.Height(); ++y)
            for (int x = 0; x < m_canvas.Width(); ++x)
                pixels.push_back(m_canvas.Rgb(x, y));
        return pixels;
    }
    std::vector<uint32_t> Drawn(const wchar_t* text, UINT style = 0)
    {
        m_canvas.Fill(0xFFFFFFFF);
        Draw(text, RECT{0, 0, 400, 200}, style);
        return Snapshot();
    }
};

TEST_F(HtmlText, StyleTagsChangeTheFont)
{
    const RECT plain = Measure(L"Some words here", DT_SINGLELINE);
    const RECT bold = Measure(L"{b}Some words here{/b}", DT_SINGLELINE);
    EXPECT_GT(Width(bold), Width(plain));
    EXPECT_EQ(Height(bold), Height(plain));

    // Bold ends with its end tag: only the first word is wider.
    const RECT firstBold = Measure(L"{b}Some{/b} words here", DT_SINGLELINE);
    EXPECT_GT(Width(firstBold), Width(plain));
    EXPECT_LT(Width(firstBold), Width(bold));

    // A font by number, and a font by face, size and styles.
    const RECT numbered = Measure(L"{f 2}Some words here{/f}", DT_SINGLELINE);
    EXPECT_GT(Height(numbered), Height(plain));
    const RECT named = Measure(L"{f Tahoma 32}Some words here{/f}", DT_SINGLELINE);
    const RECT namedBold = Measure(L"{f Tahoma 32 Bold}Some words here{/f}", DT_SINGLELINE);
    EXPECT_GT(Height(named), Height(plain));
    EXPECT_GT(Width(namedBold), Width(named));
    // A named font is added to the manager's table once and found again.
    const int fonts = m_manager.GetCustomFontCount();
    Measure(L"{f Tahoma 32 bold}again{/f}", DT_SINGLELINE);
    EXPECT_EQ(m_manager.GetCustomFontCount(), fonts);
    EXPECT_GE(m_manager.GetFontIndex(L"Tahoma", 32, true, false, false), 0);
    // Without a size the font is 10 pixels.
    EXPECT_GE(Measure(L"{f Tahoma}x{/f}").right, 0);
    EXPECT_GE(m_manager.GetFontIndex(L"Tahoma", 10, false, false, false), 0);
    // Skin font numbers are not replaced by the fonts the mark-up adds.
    EXPECT_EQ(m_manager.GetFontInfo(kNormalFont)->iSize, 16);
    EXPECT_EQ(m_manager.GetFontInfo(kBigFont)->iSize, 32);
}

TEST_F(HtmlText, ColourTagsGiveColouredInk)
{
    Draw(L"{c #FFFF0000}WWWW{/c}MMMM", RECT{0, 0, 400, 200});
    const RECT all = {0, 0, 400, 200};
    EXPECT_GT(CountPixels(m_canvas, all, [](uint32_t p) { return IsNear(p, 0xFF0000); }), 10);
    EXPECT_GT(CountPixels(m_canvas, all, [](uint32_t p) { return IsNear(p, 0x000000); }), 10);
    // The colour stops at its end tag: no red ink right of the red run.
    const int redRun = Width(Measure(L"WWWW", DT_SINGLELINE));
    EXPECT_EQ(CountPixels(m_canvas, RECT{redRun + 1, 0, 400, 200}, [](uint32_t p) { return IsNear(p, 0xFF0000); }), 0);

    // Without "#" the value is read alike; the base colour is the one given.
    m_canvas.Fill(0xFFFFFFFF);
    Draw(L"{c FF0000FF}WWWW{/c}", all, 0, kNormalFont, 0xFF00FF00);
    EXPECT_GT(CountPixels(m_canvas, all, [](uint32_t p) { return IsNear(p, 0x0000FF); }), 10);
    EXPECT_EQ(CountPixels(m_canvas, all, [](uint32_t p) { return IsNear(p, 0x00FF00); }), 0);
}

TEST_F(HtmlText, AngleFormDrawsExactlyLikeBraceForm)
{
    const auto brace = Drawn(L"{b}bold{/b} {c #FFFF0000}red{/c} {u}under{/u} {i}slant{/i} {x 10}{s}sel{/s}");
    const auto angle = Drawn(L"<b>bold</b> <c #FFFF0000>red</c> <u>under</u> <i>slant</i> <x 10><s>sel</s>");
    const auto mixed = Drawn(L"<b}bold{/b> {c #FFFF0000>red</c} {u>under{/u> <i}slant</i} {x 10><s}sel{/s>");
    EXPECT_TRUE(brace == angle);
    EXPECT_TRUE(brace == mixed);
    // The selected run has the manager's selected background behind it.
    const uint32_t selected = m_manager.GetDefaultSelectedBkColor() & 0xFFFFFF;
    const RECT all = {0, 0, 400, 200};
    EXPECT_GT(CountPixels(m_canvas, all, [&](uint32_t p) { return p == selected; }), 20);
}

TEST_F(HtmlText, RawTextAndEscapesDrawBracketsAsText)
{
    const RECT raw = Measure(L"{r}{b}x{/b}<c>{/r}", DT_SINGLELINE);
    const RECT rawAngle = Measure(L"<r>{b}x{/b}<c></r>", DT_SINGLELINE);
    const RECT interpreted = Measure(L"{b}x{/b}", DT_SINGLELINE);
    const SIZE plain = CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"{b}x{/b}<c>", kNormalFont, 0);
    EXPECT_EQ(Width(raw), plain.cx);
    EXPECT_EQ(Width(rawAngle), plain.cx);
    EXPECT_LT(Width(interpreted), Width(raw));

    // Escapes draw the bracket between them.
    const RECT escaped = Measure(L"<{>b<}>", DT_SINGLELINE);
    const RECT escapedAngle = Measure(L"{<}b{>}", DT_SINGLELINE);
    EXPECT_EQ(Width(escaped), CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"{b}", kNormalFont, 0).cx);
    EXPECT_EQ(Width(escapedAngle), CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"<b>", kNormalFont, 0).cx);
}

TEST_F(HtmlText, LineBreaksAndWordBreakMakeMoreLines)
{
    const RECT one = Measure(L"first second");
    const RECT two = Measure(L"first{n}second");
    const RECT twoByNewLine = Measure(L"first\nsecond");
    const RECT three = Measure(L"first<n>second\nthird");
    EXPECT_GT(Height(one), 0);
    EXPECT_EQ(Height(two), 2 * Height(one));
    EXPECT_EQ(Height(twoByNewLine), Height(two));
    EXPECT_EQ(Height(three), 3 * Height(one));
    EXPECT_LT(Width(two), Width(one));

    // Single-line mode ignores breaks.
    EXPECT_EQ(Height(Measure(L"first{n}second\nthird", DT_SINGLELINE)), Height(one));

    // Word break wraps at word boundaries: no line is wider than the rectangle
    // and whole words move (the narrow width fits "first " but not "second").
    const int narrow = Width(Measure(L"first second")) * 2 / 3;
    const RECT wrapped = Measure(L"first second third", DT_WORDBREAK, narrow);
    EXPECT_EQ(Height(wrapped), 3 * Height(one));
    EXPECT_LE(Width(wrapped), narrow);
    // A word longer than the line is cut so that every part fits.
    const RECT longWord = Measure(L"abcdefghijklmnopqrstuvwxyz", DT_WORDBREAK, narrow / 2);
    EXPECT_GT(Height(longWord), Height(one));
    EXPECT_LE(Width(longWord), narrow / 2);

    // Paragraph spacing and a set line height make lines taller.
    EXPECT_EQ(Height(Measure(L"{p 7}para{/p}")), Height(one) + 7);
    EXPECT_EQ(Height(Measure(L"{y 60}tall")), 60);
}

TEST_F(HtmlText, CalculateModeReturnsTheExtentAndDrawsNothing)
{
    RECT rc = {20, 30, 400, 200};
    int links = 5;
    RECT linkRects[5] = {};
    CFacetString linkTexts[5];
    CRenderEngine::DrawHtmlText(m_canvas.Dc(), &m_manager, rc, L"{b}calc{/b} {a x}mode{/a}\nsecond line", 0xFF000000,
                                linkRects, linkTexts, links, kNormalFont, DT_CALCRECT);
    const RECT ink = InkBox(m_canvas);
    EXPECT_TRUE(IsRectEmpty(&ink) != FALSE);
    EXPECT_EQ(rc.left, 20);
    EXPECT_EQ(rc.top, 30);
    EXPECT_GT(Width(rc), 20);
    EXPECT_LT(rc.right, 400);
    EXPECT_EQ(Height(rc), Height(Measure(L"a\nb")));
    EXPECT_EQ(links, 1);

    // Drawn, the ink lies inside the calculated extent.
    Draw(L"{b}calc{/b} {a x}mode{/a}\nsecond line", RECT{20, 30, 400, 200});
    const RECT drawn = InkBox(m_canvas);
    EXPECT_TRUE(Contains(rc, drawn));
}

TEST_F(HtmlText, EndEllipsisShortensTheLineAndEndsItWithDots)
{
    const wchar_t* text = L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM";
    const RECT box = {10, 10, 110, 60};
    Draw(text, box, DT_SINGLELINE | DT_END_ELLIPSIS);
    const RECT ink = InkBox(m_canvas);
    ASSERT_FALSE(IsRectEmpty(&ink));
    EXPECT_TRUE(Contains(box, ink));
    // The last ink columns are dots: low in the line, unlike the tall "M".
    EXPECT_GT(TopInkRow(m_canvas, RECT{ink.right - 2, 0, ink.right, 200}), ink.top + Height(ink) / 2);

    // Without the ellipsis the line is cut and the last columns are an "M".
    m_canvas.Fill(0xFFFFFFFF);
    Draw(text, box, DT_SINGLELINE);
    const RECT cut = InkBox(m_canvas);
    EXPECT_TRUE(Contains(box, cut));
    EXPECT_LT(TopInkRow(m_canvas, RECT{cut.right - 2, 0, cut.right, 200}), cut.top + Height(cut) / 2);
}

TEST_F(HtmlText, AlignmentFlagsPlaceTheText)
{
    const RECT area = {0, 0, 400, 200};
    Draw(L"{b}aligned{/b} text", area, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const RECT centred = InkBox(m_canvas);
    ASSERT_FALSE(IsRectEmpty(&centred));
    EXPECT_NEAR((centred.left + centred.right) / 2, 200, 6);
    EXPECT_NEAR((centred.top + centred.bottom) / 2, 100, 8);

    m_canvas.Fill(0xFFFFFFFF);
    Draw(L"{b}aligned{/b} text", area, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    const RECT corner = InkBox(m_canvas);
    EXPECT_GT(corner.right, 390);
    EXPECT_GT(corner.bottom, 185);
    EXPECT_EQ(Width(corner), Width(centred));

    // Multi-line text is centred line by line.
    m_canvas.Fill(0xFFFFFFFF);
    Draw(L"WWWWWWWW\nW", area, DT_CENTER);
    const int lineHeight = Height(Measure(L"W"));
    const RECT first = InkColumns(m_canvas, RECT{0, 0, 400, lineHeight});
    const RECT second = InkColumns(m_canvas, RECT{0, lineHeight, 400, 2 * lineHeight});
    EXPECT_GT(Width(first), 2 * Width(second));
    EXPECT_NEAR((first.left + first.right) / 2, 200, 6);
    EXPECT_NEAR((second.left + second.right) / 2, 200, 6);
}

TEST_F(HtmlText, LanguageTokensAreSubstitutedFirst)
{
    CPaintManagerUI::AddMultiLanguageString(732, L"{b}Bold words{/b}");
    const RECT token = Measure(L"%{732} tail", DT_SINGLELINE);
    const RECT direct = Measure(L"{b}Bold words{/b} tail", DT_SINGLELINE);
    EXPECT_EQ(Width(token), Width(direct));
    CPaintManagerUI::RemoveMultiLanguageString(732);
    // Without the string the token stays as text.
    const RECT kept = Measure(L"%{732} tail", DT_SINGLELINE);
    EXPECT_EQ(Width(kept), CRenderEngine::GetTextSize(m_canvas.Dc(), &m_manager, L"%{732} tail", kNormalFont, 0).cx);
}

} // namespace
