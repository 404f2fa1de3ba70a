// Mark-up links (recorded into the caller's slots, never beyond them; the
// hovered one in the hover colour), images and pen moves.
#include "TextTestSupport.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"

#include <string>

using namespace Facet;
using namespace testsupport;

namespace {

const wchar_t kThreeLinks[] = L"{a first}One{/a} and {a second}Two{/a} and {a third}Three{/a}";

class HtmlLinks : public TextTest
{
protected:
    int DrawLinks(const wchar_t* text, RECT* rects, CFacetString* texts, int count, RECT rc = {0, 0, 400, 200},
                  UINT style = DT_SINGLELINE)
    {
        m_canvas.Fill(0xFFFFFFFF);
        CRenderEngine::DrawHtmlText(m_canvas.Dc(), &m_manager, rc, text, 0xFF000000, rects, texts, count, kNormalFont,
                                    style);
        return count;
    }
};

TEST_F(HtmlLinks, LinksAreRecordedUpToTheSlotsGiven)
{
    RECT rects[3] = {{0, 0, 0, 0}, {0, 0, 0, 0}, {1, 2, 3, 4}};
    CFacetString texts[3] = {L"", L"", L"untouched"};
    EXPECT_EQ(DrawLinks(kThreeLinks, rects, texts, 2), 2);
    EXPECT_STREQ(texts[0].GetData(), L"first");
    EXPECT_STREQ(texts[1].GetData(), L"second");
    EXPECT_STREQ(texts[2].GetData(), L"untouched");
    EXPECT_EQ(rects[2].left + rects[2].top + rects[2].right + rects[2].bottom, 1 + 2 + 3 + 4);
    EXPECT_FALSE(IsRectEmpty(&rects[0]));
    EXPECT_FALSE(IsRectEmpty(&rects[1]));
    EXPECT_LE(rects[0].right, rects[1].left);
    EXPECT_EQ(rects[0].top, rects[1].top);
    // Links are drawn in the link colour, inside their rectangles.
    const DWORD link = m_manager.GetDefaultLinkFontColor();
    EXPECT_GT(CountPixels(m_canvas, rects[0], [&](uint32_t p) { return IsNear(p, link); }), 5);
    EXPECT_TRUE(Contains(RECT{0, 0, 400, 200}, rects[1]));

    // With more slots than links the count is the number of links.
    RECT many[8] = {};
    CFacetString manyTexts[8];
    EXPECT_EQ(DrawLinks(kThreeLinks, many, manyTexts, 8), 3);
    EXPECT_STREQ(manyTexts[2].GetData(), L"third");

    // No slots: links are drawn but not recorded.
    EXPECT_EQ(DrawLinks(kThreeLinks, nullptr, nullptr, 0), 0);
    EXPECT_GT(CountPixels(m_canvas, RECT{0, 0, 400, 200}, [&](uint32_t p) { return IsNear(p, link); }), 5);
    EXPECT_EQ(DrawLinks(kThreeLinks, nullptr, nullptr, 5), 0);
    EXPECT_EQ(DrawLinks(kThreeLinks, rects, texts, -4), 0);
    EXPECT_EQ(DrawLinks(L"", rects, texts, 3), 0);
}

TEST_F(HtmlLinks, LinkUnderTheMouseTakesTheHoverColour)
{
    RECT rects[3] = {};
    CFacetString texts[3];
    ASSERT_EQ(DrawLinks(kThreeLinks, rects, texts, 3), 3);
    const DWORD hover = m_manager.GetDefaultLinkHoverFontColor();
    const DWORD link = m_manager.GetDefaultLinkFontColor();
    EXPECT_EQ(CountPixels(m_canvas, RECT{0, 0, 400, 200}, [&](uint32_t p) { return IsNear(p, hover); }), 0);

    LRESULT result = 0;
    const POINT centre = {(rects[1].left + rects[1].right) / 2, (rects[1].top + rects[1].bottom) / 2};
    m_manager.MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y), result);
    ASSERT_EQ(m_manager.GetMousePos().x, centre.x);
    const RECT second = rects[1];
    const RECT first = rects[0];
    ASSERT_EQ(DrawLinks(kThreeLinks, rects, texts, 3), 3);
    EXPECT_GT(CountPixels(m_canvas, second, [&](uint32_t p) { return IsNear(p, hover); }), 5);
    EXPECT_EQ(CountPixels(m_canvas, second, [&](uint32_t p) { return IsNear(p, link); }), 0);
    EXPECT_GT(CountPixels(m_canvas, first, [&](uint32_t p) { return IsNear(p, link); }), 5);
}

TEST_F(HtmlLinks, WrappedLinkCoversBothLines)
{
    RECT rects[1] = {};
    CFacetString texts[1];
    const int lineHeight = Height(Measure(L"x"));
    const int narrow = Width(Measure(L"aaaa bbbb")) - 2;
    ASSERT_EQ(DrawLinks(L"{a wrapped}aaaa bbbb{/a}", rects, texts, 1, RECT{0, 0, narrow, 200}, DT_WORDBREAK), 1);
    EXPECT_EQ(rects[0].top, 0);
    EXPECT_EQ(rects[0].bottom, 2 * lineHeight);
    EXPECT_LE(rects[0].right, narrow);
}

class HtmlImages : public TextTest
{
protected:
    void SetUp() override
    {
        TextTest::SetUp();
        m_oldPath = CPaintManagerUI::GetResourcePath();
        m_oldZip = CPaintManagerUI::GetResourceZip();
        const std::wstring folder = testsupport::FreshTempFolder(L"htmlimages");
        // A 20 x 10 strip: red left half, green right half; and a tall bar.
        testsupport::Picture strip(20, 10, 0xFF00FF00);
        strip.FillRect(0, 0, 10, 10, 0xFFFF0000);
        Write(folder + L"\\strip.png", strip);
        Write(folder + L"\\tall.png", testsupport::Picture(8, 60, 0xFF0000FF));
        CPaintManagerUI::SetResourcePath(folder.c_str());
        ASSERT_TRUE(m_oldZip.IsEmpty());
    }
    void TearDown() override { CPaintManagerUI::SetResourcePath(m_oldPath.GetData()); }

    static void Write(const std::wstring& path, const testsupport::Picture& picture)
    {
        const std::vector<unsigned char> png = testsupport::EncodePng(picture);
        testsupport::WriteFileText(path, std::string(png.begin(), png.end()));
    }
    int Count(uint32_t rgb)
    {
        return CountPixels(m_canvas, RECT{0, 0, 400, 200}, [&](uint32_t p) { return p == rgb; });
    }

    CFacetString m_oldPath;
    CFacetString m_oldZip;
};

TEST_F(HtmlImages, ImageTagDrawsTheImageInTheLine)
{
    Draw(L"ab{i strip.png}cd", RECT{0, 0, 400, 200});
    EXPECT_EQ(Count(0xFF0000), 100);
    EXPECT_EQ(Count(0x00FF00), 100);
    // The image takes its width in the line, like a pen move of that width.
    EXPECT_EQ(Width(Measure(L"ab{i strip.png}cd")), Width(Measure(L"ab{x 20}cd")));
    // A taller image makes the line taller.
    EXPECT_EQ(Height(Measure(L"ab{i tall.png}cd")), 60);
}

TEST_F(HtmlImages, CountAndIndexPickOnePart)
{
    Draw(L"{i strip.png 2 1}", RECT{0, 0, 400, 200});
    EXPECT_EQ(Count(0x00FF00), 100);
    EXPECT_EQ(Count(0xFF0000), 0);
    EXPECT_EQ(Width(Measure(L"{i strip.png 2 1}")), 10);

    // The key='value' form names the image alike.
    m_canvas.Fill(0xFFFFFFFF);
    Draw(L"{i file='strip.png' 2 1}", RECT{0, 0, 400, 200});
    EXPECT_EQ(Count(0x00FF00), 100);
    EXPECT_EQ(Count(0xFF0000), 0);

    // An index outside the parts takes the first part.
    m_canvas.Fill(0xFFFFFFFF);
    Draw(L"{i strip.png 2 7}", RECT{0, 0, 400, 200});
    EXPECT_EQ(Count(0xFF0000), 100);
    EXPECT_EQ(Count(0x00FF00), 0);

    // A missing image draws nothing and takes no room.
    EXPECT_EQ(Width(Measure(L"a{i missing.png}b")), Width(Measure(L"a{x 0}b")));
}

TEST_F(HtmlImages, PenMovesAndImagesWrapInNarrowRectangles)
{
    const int plain = Width(Measure(L"ab{x 0}cd"));
    EXPECT_EQ(Width(Measure(L"ab{x 40}cd")), plain + 40);
    // The moved text is drawn further right.
    Draw(L"ab{x 100}cd", RECT{0, 0, 400, 200});
    const RECT ink = InkBox(m_canvas);
    EXPECT_GE(Width(ink), plain + 90);

    // An image that does not fit in the rest of the line starts a new one.
    const int text = Width(Measure(L"abcd"));
    const RECT wrapped = Measure(L"abcd{i strip.png}", DT_WORDBREAK, text + 10);
    EXPECT_GT(Height(wrapped), Height(Measure(L"abcd")));
}

} // namespace
