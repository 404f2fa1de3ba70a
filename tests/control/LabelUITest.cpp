#include "ControlsTestSupport.h"

#include "../support/ControlTestSupport.h"

#include <cstdlib>

using namespace Facet;
using testsupport::ControlsTest;
using testsupport::InkColumns;

namespace {

const RECT kLabelRect = {20, 20, 220, 50}; // 200 x 30

class LabelTest : public ControlsTest
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        label = Place(new CLabelUI, kLabelRect, L"lbl");
        label->SetAttribute(L"font", L"16");
        label->SetAttribute(L"textcolor", L"#FF000000");
        label->SetAttribute(L"text", L"Hello");
    }

    // The ink columns of the label's painted text, relative to its left edge.
    RECT Ink()
    {
        PaintAlone(label);
        RECT ink = InkColumns(canvas, kLabelRect);
        if (ink.right > ink.left)
            OffsetRect(&ink, -kLabelRect.left, 0);
        return ink;
    }

    int TextWidth(const wchar_t* text)
    {
        return CRenderEngine::GetTextSize(nullptr, &window.manager, text, kFont, 0).cx;
    }

    CLabelUI* label = nullptr;
};

TEST_F(LabelTest, AlignAndValignAttributesSetTheStyleBits)
{
    EXPECT_EQ(label->GetTextStyle(), static_cast<UINT>(DT_VCENTER | DT_SINGLELINE));
    label->SetAttribute(L"align", L"left center"); // the centre test comes after the left test
    EXPECT_EQ(label->GetTextStyle() & (DT_CENTER | DT_RIGHT), static_cast<UINT>(DT_CENTER));
    label->SetAttribute(L"align", L"right");
    EXPECT_EQ(label->GetTextStyle() & (DT_CENTER | DT_RIGHT), static_cast<UINT>(DT_RIGHT));
    label->SetAttribute(L"align", L"left");
    EXPECT_EQ(label->GetTextStyle() & (DT_CENTER | DT_RIGHT), 0u);

    label->SetAttribute(L"multiline", L"true");
    EXPECT_TRUE(label->IsMultiLine());
    EXPECT_NE(label->GetTextStyle() & DT_WORDBREAK, 0u);
    label->SetAttribute(L"valign", L"bottom");
    EXPECT_EQ(label->GetTextStyle() & (DT_VCENTER | DT_BOTTOM), static_cast<UINT>(DT_BOTTOM));
    label->SetAttribute(L"valign", L"vcenter"); // also makes the label single-line
    EXPECT_EQ(label->GetTextStyle() & (DT_VCENTER | DT_BOTTOM), static_cast<UINT>(DT_VCENTER));
    EXPECT_FALSE(label->IsMultiLine());
    label->SetAttribute(L"valign", L"top");
    EXPECT_EQ(label->GetTextStyle() & (DT_VCENTER | DT_BOTTOM), 0u);

    label->SetAttribute(L"endellipsis", L"true");
    EXPECT_NE(label->GetTextStyle() & DT_END_ELLIPSIS, 0u);
    label->SetAttribute(L"endellipsis", L"false");
    EXPECT_EQ(label->GetTextStyle() & DT_END_ELLIPSIS, 0u);

    // Unknown names reach the base class.
    label->SetAttribute(L"width", L"77");
    EXPECT_EQ(label->GetFixedWidth(), 77);
}

TEST_F(LabelTest, InkFollowsTheAlignmentAndThePadding)
{
    const int width = TextWidth(L"Hello");
    ASSERT_GT(width, 10);
    const RECT left = Ink();
    EXPECT_LE(left.left, 2);
    EXPECT_GE(left.left, 0);

    label->SetAttribute(L"textpadding", L"30,0,0,0");
    EXPECT_EQ(label->GetTextPadding().left, 30);
    const RECT padded = Ink();
    EXPECT_EQ(padded.left - left.left, 30);

    label->SetAttribute(L"textpadding", L"0,0,0,0");
    label->SetAttribute(L"align", L"right");
    const RECT right = Ink();
    EXPECT_EQ(right.left - left.left, 200 - width); // the text's box ends at the right edge

    label->SetAttribute(L"align", L"center");
    const RECT centre = Ink();
    EXPECT_LE(std::abs((centre.left + centre.right) / 2 - 100), 3);
    EXPECT_EQ(centre.right - centre.left, left.right - left.left);
}

TEST_F(LabelTest, LongTextStaysInsideAndIsCutWithAnEllipsis)
{
    label->SetAttribute(L"text", L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
    PaintAlone(label);
    const RECT plain = InkColumns(canvas, RECT{0, 0, 300, 200});
    EXPECT_GE(plain.left, kLabelRect.left);
    EXPECT_LE(plain.right, kLabelRect.right);

    label->SetAttribute(L"endellipsis", L"true");
    PaintAlone(label);
    // The last glyphs are dots now: the columns near the right edge hold
    // far less ink than the same columns of the cut-off capitals.
    const RECT tail = {kLabelRect.right - 12, kLabelRect.top, kLabelRect.right, kLabelRect.bottom};
    auto inkIn = [this](const RECT& area) {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += canvas.Rgb(x, y) != testsupport::kWhite ? 1 : 0;
        return count;
    };
    const int ellipsisInk = inkIn(tail);
    label->SetAttribute(L"endellipsis", L"false");
    PaintAlone(label);
    EXPECT_LT(ellipsisInk, inkIn(tail));
}

TEST_F(LabelTest, SingleLineEstimateIsTheFontHeightPlusEightAndTheTextWidth)
{
    auto* loose = new CLabelUI;
    loose->SetManager(&window.manager, nullptr, false);
    loose->SetAttribute(L"font", L"16");
    loose->SetAttribute(L"text", L"Hello");
    loose->SetAttribute(L"textpadding", L"3,2,5,4");
    const int fontHeight = window.manager.GetFontInfo(kFont)->tm.tmHeight;
    const SIZE size = loose->EstimateSize(SIZE{500, 500});
    EXPECT_EQ(size.cy, fontHeight + 8 + 2 + 4);
    EXPECT_EQ(size.cx, TextWidth(L"Hello") + 3 + 5);

    // A fixed size on both sides is the answer as it is.
    loose->SetFixedWidth(40);
    loose->SetFixedHeight(15);
    EXPECT_EQ(loose->EstimateSize(SIZE{500, 500}).cx, 40);
    EXPECT_EQ(loose->EstimateSize(SIZE{500, 500}).cy, 15);
    loose->SetManager(nullptr, nullptr, false);
    loose->Delete();
}

TEST_F(LabelTest, MultiLineEstimateWrapsInTheAvailableWidth)
{
    label->SetFixedWidth(0);
    label->SetAttribute(L"multiline", L"true");
    label->SetAttribute(L"text", L"one two three four five six seven eight nine ten");
    const SIZE wide = label->EstimateSize(SIZE{1000, 500});
    const SIZE narrow = label->EstimateSize(SIZE{60, 500});
    EXPECT_EQ(wide.cx, 1000);
    EXPECT_EQ(narrow.cx, 60);
    EXPECT_GE(narrow.cy, 3 * wide.cy);
}

TEST_F(LabelTest, AutoCalcWidthMeasuresTheTextOnceWhenApplied)
{
    auto* early = new CLabelUI;
    early->SetManager(&window.manager, nullptr, false);
    early->SetAttribute(L"font", L"16");
    early->SetAttribute(L"textpadding", L"4,0,6,0");
    early->SetAttribute(L"AutoCalcWidth", L"TRUE"); // before the text: the width of an empty text
    early->SetAttribute(L"text", L"Hello");
    EXPECT_TRUE(early->IsAutoCalcWidth());
    EXPECT_EQ(early->GetFixedWidth(), 10);
    early->SetManager(nullptr, nullptr, false);
    early->Delete();

    label->SetAttribute(L"textpadding", L"4,0,6,0");
    label->SetAttribute(L"autocalcwidth", L"true");
    EXPECT_EQ(label->GetFixedWidth(), TextWidth(L"Hello") + 10);
}

TEST_F(LabelTest, ResourceTextShowsTheLanguageText)
{
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(
        L"<Language><Text id=\"greeting\" value=\"WWWWWWWWWW\"/></Language>"));
    label->SetText(L"greeting");
    const int keyWidth = Ink().right;
    label->SetResourceText(true);
    const int shownWidth = Ink().right;
    label->SetResourceText(false);
    label->SetText(L"WWWWWWWWWW");
    EXPECT_EQ(shownWidth, Ink().right);
    EXPECT_NE(shownWidth, keyWidth);
    CResourceManager::GetInstance()->ResetTextMap();
}

TEST_F(LabelTest, DisabledTextUsesTheDisabledColourAndHtmlIsParsed)
{
    label->SetAttribute(L"disabledtextcolor", L"#FF0000C0");
    label->SetEnabled(false);
    PaintAlone(label);
    bool blue = false;
    for (int x = kLabelRect.left; x < kLabelRect.right && !blue; ++x)
        for (int y = kLabelRect.top; y < kLabelRect.bottom && !blue; ++y)
            blue = canvas.Rgb(x, y) == 0x0000C0;
    EXPECT_TRUE(blue);

    label->SetEnabled(true);
    label->SetAttribute(L"text", L"{b}Hello{/b}");
    const int tagsAsText = Ink().right;
    label->SetAttribute(L"showhtml", L"true");
    const int html = Ink().right;
    EXPECT_LT(html, tagsAsText);
    EXPECT_GT(html, 0);
}

} // namespace

// A skin's font number names one font at every display scale: the font is
// made at the scaled size, and the label keeps the number as written, so a
// scale whose product of the number has no font (22 at 250 % would be 55)
// never falls back to the default font.
TEST(LabelFonts, AFontNumberNamesTheSameFontAtEveryScale)
{
    for (const int dpi : {96, 120, 144, 240}) {
        testsupport::ScopedDpi scale(dpi);
        testsupport::TestWindow window(300, 100);
        CDialogBuilder builder;
        CControlUI* root = builder.Create(L"<Window><Font id=\"14\" name=\"Arial\" size=\"14\" />"
                                          L"<Font id=\"22\" name=\"Arial\" size=\"22\" />"
                                          L"<VerticalLayout><Label name=\"big\" font=\"22\" text=\"Big\" />"
                                          L"</VerticalLayout></Window>",
                                          nullptr, nullptr, &window.manager);
        ASSERT_NE(root, nullptr);
        window.manager.AttachDialog(root);
        auto* label = static_cast<CLabelUI*>(window.manager.FindControl(L"big"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->GetFont(), 22) << dpi;
        const TFontInfo* font = window.manager.GetFontInfo(label->GetFont());
        EXPECT_EQ(font->iSize, static_cast<int>(22 * (dpi / 96.0))) << dpi;
        EXPECT_NE(font->hFont, window.manager.GetDefaultFontInfo()->hFont) << dpi;
        EXPECT_EQ(window.manager.GetFontInfo(14)->iSize, static_cast<int>(14 * (dpi / 96.0))) << dpi;
    }
}
