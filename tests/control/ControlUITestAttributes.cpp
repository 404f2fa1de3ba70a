// The common skin attributes: colours, number lists, flags, custom attributes
// and attribute lists.
#include "../support/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using Facet::CControlUI;
using testsupport::ScopedDpi;

namespace {

TEST(ControlAttributes, ColoursOfBackgroundAndBorderSkipDifferentPrefixes)
{
    CControlUI control;
    control.SetAttribute(L"bkcolor", L" #FFDBECFF");
    EXPECT_EQ(0xFFDBECFFu, control.GetBkColor());
    control.SetAttribute(L"bkcolor1", L"\t#80102030");
    EXPECT_EQ(0x80102030u, control.GetBkColor());
    control.SetAttribute(L"bkcolor2", L"FF00FF00");
    EXPECT_EQ(0xFF00FF00u, control.GetBkColor2());
    control.SetAttribute(L"bkcolor3", L"  #FF0000FF");
    EXPECT_EQ(0xFF0000FFu, control.GetBkColor3());

    control.SetAttribute(L"bordercolor", L"D4DBDE");
    EXPECT_EQ(0x00D4DBDEu, control.GetBorderColor());
    control.SetAttribute(L"bordercolor", L"#FFD4DBDE");
    EXPECT_EQ(0xFFD4DBDEu, control.GetBorderColor());
    // A blank before the '#' is not skipped for border colours.
    control.SetAttribute(L"bordercolor", L" #FFDBECFF");
    EXPECT_EQ(0u, control.GetBorderColor());
    control.SetAttribute(L"focusbordercolor", L"#FF123456");
    EXPECT_EQ(0xFF123456u, control.GetFocusBorderColor());
    control.SetAttribute(L"focusbordercolor", L"zz");
    EXPECT_EQ(0u, control.GetFocusBorderColor());
}

TEST(ControlAttributes, PosAtScaleOneSetsFixedPositionAndSize)
{
    ScopedDpi dpi(96);
    CControlUI control;
    control.SetAttribute(L"pos", L"10,20,110,70");
    EXPECT_EQ(10, control.GetFixedXY().cx);
    EXPECT_EQ(20, control.GetFixedXY().cy);
    EXPECT_EQ(100, control.GetFixedWidth());
    EXPECT_EQ(50, control.GetFixedHeight());
}

TEST(ControlAttributes, FixedSizesAreScaledAndTruncatedButPaddingAndBordersAreNot)
{
    ScopedDpi dpi(120);
    CControlUI control;
    control.SetAttribute(L"pos", L"10,20,110,70");
    EXPECT_EQ(12, control.GetFixedXY().cx);
    EXPECT_EQ(25, control.GetFixedXY().cy);
    EXPECT_EQ(125, control.GetFixedWidth());
    EXPECT_EQ(62, control.GetFixedHeight());

    control.SetAttribute(L"width", L"50");
    control.SetAttribute(L"minheight", L"7");
    control.SetAttribute(L"maxwidth", L"301");
    EXPECT_EQ(62, control.GetFixedWidth());
    EXPECT_EQ(8, control.GetMinHeight());
    EXPECT_EQ(376, control.GetMaxWidth());

    control.SetAttribute(L"padding", L"1,2,3,4");
    const RECT padding = control.GetPadding();
    EXPECT_TRUE(testsupport::SameRect(RECT{1, 2, 3, 4}, padding));
    control.SetAttribute(L"bordersize", L"3");
    EXPECT_TRUE(testsupport::SameRect(RECT{3, 3, 3, 3}, control.GetBorderSize()));
    control.SetAttribute(L"borderround", L"6,6");
    EXPECT_EQ(6, control.GetBorderRound().cx);
    EXPECT_EQ(6, control.GetBorderRound().cy);
}

TEST(ControlAttributes, MinAndMaxSizesCompareTheScaledValueWithTheStoredOne)
{
    ScopedDpi dpi(144); // scale 1.5
    CControlUI control;
    control.SetMinWidth(100);
    EXPECT_EQ(150, control.GetMinWidth());
    control.SetMinWidth(150); // the unscaled 150 equals the stored, scaled 150
    EXPECT_EQ(225, control.GetMinWidth());
    control.SetMinHeight(20);
    control.SetMinHeight(30);
    EXPECT_EQ(45, control.GetMinHeight());
    control.SetMinWidth(0);
    control.SetMinHeight(0);
    control.SetMaxWidth(100);
    control.SetMaxWidth(150);
    EXPECT_EQ(225, control.GetMaxWidth());
    control.SetMaxHeight(40);
    control.SetMaxHeight(60);
    EXPECT_EQ(90, control.GetMaxHeight());
}

TEST(ControlAttributes, ShortNumberListsStopAtTheirEnd)
{
    ScopedDpi dpi(96);
    CControlUI control;
    control.SetAttribute(L"width", L"33");
    control.SetAttribute(L"height", L"44");
    // Only two numbers: the size would be negative and is ignored.
    control.SetAttribute(L"pos", L"10,20");
    EXPECT_EQ(10, control.GetFixedXY().cx);
    EXPECT_EQ(20, control.GetFixedXY().cy);
    EXPECT_EQ(33, control.GetFixedWidth());
    EXPECT_EQ(44, control.GetFixedHeight());
    // Three numbers: the missing bottom counts as 0, so the height is negative.
    control.SetAttribute(L"pos", L"5,6,20");
    EXPECT_EQ(15, control.GetFixedWidth());
    EXPECT_EQ(44, control.GetFixedHeight());

    control.SetAttribute(L"padding", L"5,6");
    EXPECT_TRUE(testsupport::SameRect(RECT{5, 6, 0, 0}, control.GetPadding()));
    control.SetAttribute(L"bordersize", L"0,1,1,1");
    EXPECT_TRUE(testsupport::SameRect(RECT{0, 1, 1, 1}, control.GetBorderSize()));
    control.SetAttribute(L"bordersize", L"2,");
    EXPECT_TRUE(testsupport::SameRect(RECT{2, 0, 0, 0}, control.GetBorderSize()));
    control.SetAttribute(L"borderround", L"9");
    EXPECT_EQ(9, control.GetBorderRound().cx);
    EXPECT_EQ(0, control.GetBorderRound().cy);

    control.SetAttribute(L"float", L"0.25,0.5");
    const Facet::TPercentInfo percent = control.GetFloatPercent();
    EXPECT_EQ(0.25, percent.left);
    EXPECT_EQ(0.5, percent.top);
    EXPECT_EQ(0.0, percent.right);
    EXPECT_EQ(0.0, percent.bottom);
}

TEST(ControlAttributes, FloatTakesFourFractionsOrAFlag)
{
    CControlUI control;
    control.SetAttribute(L"float", L"0.5,0,0.5,0");
    EXPECT_TRUE(control.IsFloat());
    const Facet::TPercentInfo percent = control.GetFloatPercent();
    EXPECT_EQ(0.5, percent.left);
    EXPECT_EQ(0.0, percent.top);
    EXPECT_EQ(0.5, percent.right);
    EXPECT_EQ(0.0, percent.bottom);

    control.SetAttribute(L"float", L"1");
    EXPECT_FALSE(control.IsFloat());
    control.SetAttribute(L"float", L"true");
    EXPECT_TRUE(control.IsFloat());
}

TEST(ControlAttributes, BadNumbersReadAsZeroAndNegativeSizesAreIgnored)
{
    ScopedDpi dpi(96);
    CControlUI control;
    control.SetAttribute(L"width", L"40");
    control.SetAttribute(L"width", L"-5");
    EXPECT_EQ(40, control.GetFixedWidth());
    control.SetAttribute(L"width", L"abc");
    EXPECT_EQ(0, control.GetFixedWidth());
    control.SetAttribute(L"minwidth", L"-1");
    EXPECT_EQ(0, control.GetMinWidth());
    control.SetAttribute(L"borderstyle", L"x");
    EXPECT_EQ(0, control.GetBorderStyle());
    control.SetAttribute(L"tag", L"17");
    EXPECT_EQ(17u, control.GetTag());
}

TEST(ControlAttributes, FlagsAreTrueOnlyForTheExactWordTrue)
{
    CControlUI control;
    control.SetAttribute(L"enabled", L"TRUE");
    EXPECT_FALSE(control.IsEnabled());
    control.SetAttribute(L"enabled", L"true");
    EXPECT_TRUE(control.IsEnabled());
    control.SetAttribute(L"mouse", L"false");
    EXPECT_FALSE(control.IsMouseEnabled());
    control.SetAttribute(L"keyboard", L"1");
    EXPECT_FALSE(control.IsKeyboardEnabled());
    control.SetAttribute(L"menu", L"true");
    EXPECT_TRUE(control.IsContextMenuUsed());
    control.SetAttribute(L"colorhsl", L"true");
    EXPECT_TRUE(control.IsColorHSL());
    control.SetAttribute(L"visible", L"false");
    EXPECT_FALSE(control.IsVisible());
}

TEST(ControlAttributes, TextsAndTooltipLineBreaks)
{
    CControlUI control;
    control.SetAttribute(L"name", L"okButton");
    control.SetAttribute(L"text", L"OK");
    control.SetAttribute(L"tooltip", L"first<n>second<n>");
    control.SetAttribute(L"userdata", L"data");
    control.SetAttribute(L"shortcut", L"ok");
    EXPECT_EQ(0, control.GetName().Compare(L"okButton"));
    EXPECT_EQ(0, control.GetText().Compare(L"OK"));
    EXPECT_EQ(0, control.GetToolTip().Compare(L"first\r\nsecond\r\n"));
    EXPECT_EQ(0, control.GetUserData().Compare(L"data"));
    EXPECT_EQ(L'o', control.GetShortcut());
}

TEST(ControlAttributes, VirtualWindowNameIsInheritedFromTheParent)
{
    CControlUI parent;
    CControlUI child;
    child.SetManager(nullptr, &parent, false);
    EXPECT_TRUE(child.GetVirtualWnd().IsEmpty());
    parent.SetAttribute(L"virtualwnd", L"page");
    EXPECT_EQ(0, child.GetVirtualWnd().Compare(L"page"));
    child.SetVirtualWnd(L"own");
    EXPECT_EQ(0, child.GetVirtualWnd().Compare(L"own"));
}

TEST(ControlAttributes, UnknownAndMisspeltNamesBecomeCustomAttributesFirstValueKept)
{
    ScopedDpi dpi(96);
    CControlUI control;
    control.SetAttribute(L"widht", L"240");
    control.SetAttribute(L"widht", L"999");
    control.SetAttribute(L"Width", L"77"); // names are case-sensitive
    EXPECT_EQ(0, control.GetFixedWidth());
    ASSERT_NE(nullptr, control.GetCustomAttribute(L"widht"));
    EXPECT_STREQ(L"240", control.GetCustomAttribute(L"widht"));
    EXPECT_STREQ(L"77", control.GetCustomAttribute(L"Width"));

    control.AddCustomAttribute(L"", L"x");
    control.AddCustomAttribute(L"empty", L"");
    control.AddCustomAttribute(nullptr, L"x");
    EXPECT_EQ(nullptr, control.GetCustomAttribute(L"empty"));

    EXPECT_TRUE(control.RemoveCustomAttribute(L"widht"));
    EXPECT_FALSE(control.RemoveCustomAttribute(L"widht"));
    EXPECT_EQ(nullptr, control.GetCustomAttribute(L"widht"));
    control.AddCustomAttribute(L"widht", L"5");
    EXPECT_STREQ(L"5", control.GetCustomAttribute(L"widht"));

    control.RemoveAllCustomAttribute();
    EXPECT_EQ(nullptr, control.GetCustomAttribute(L"Width"));
    control.AddCustomAttribute(L"again", L"1");
    EXPECT_STREQ(L"1", control.GetCustomAttribute(L"again"));
}

// Records the pairs that reach SetAttribute.
class AttributeRecorder : public CControlUI
{
public:
    void SetAttribute(const wchar_t* name, const wchar_t* value) override
    {
        pairs.emplace_back(name, value);
        CControlUI::SetAttribute(name, value);
    }
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
};

TEST(ControlAttributes, AttributeListAppliesPairsUntilTheFirstMalformedOne)
{
    const struct
    {
        const wchar_t* list;
        size_t applied;
    } cases[] = {
        {L"width=\"10\" text=\"a b\" name=\"n\"", 3},
        {L"width=\"10\" ", 1},
        {L"width=\"10\"text=\"x\"", 1},   // no blank after the quote
        {L"width=\"10\"  text=\"x\"", 2}, // the second blank starts the next name
        {L"width=\"10\" text=x", 1},      // no opening quote
        {L"width=\"10\" text=\"x", 1},    // no closing quote before the end
        {L"width=\"10\" text", 1},        // no '=' before the end
        {L"", 0},
        {L"=\"v\"", 1}, // an empty name is passed on as it is
    };
    for (const auto& c : cases) {
        AttributeRecorder control;
        control.SetAttributeList(c.list);
        EXPECT_EQ(c.applied, control.pairs.size()) << c.list;
    }

    AttributeRecorder control;
    control.SetAttributeList(L"text=\"a b\" tooltip=\"t\"");
    ASSERT_EQ(2u, control.pairs.size());
    EXPECT_EQ(L"text", control.pairs[0].first);
    EXPECT_EQ(L"a b", control.pairs[0].second);
    EXPECT_EQ(L"tooltip", control.pairs[1].first);
    EXPECT_EQ(L"t", control.pairs[1].second);
    control.SetAttributeList(nullptr);
    EXPECT_EQ(2u, control.pairs.size());
}

} // namespace
