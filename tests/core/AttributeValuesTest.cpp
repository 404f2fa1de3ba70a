// The readers of attribute values shared by the controls (ui/core/AttributeValues.h).
#include "core/AttributeValues.h"

#include <gtest/gtest.h>

namespace av = Facet::attribute_values;

namespace {

TEST(AttributeValues, ColourReadersDifferOnlyInSkippingLeadingBlanks)
{
    EXPECT_EQ(av::ReadColor(L"#FF102030"), 0xFF102030u);
    EXPECT_EQ(av::ReadColor(L"FF102030"), 0xFF102030u);
    EXPECT_EQ(av::ReadColorAfterBlanks(L"#FF102030"), 0xFF102030u);
    // Blanks and control characters before the '#': only the list's reader
    // steps over them; the label's reader takes '#' only as the first character.
    EXPECT_EQ(av::ReadColorAfterBlanks(L" \t#FF102030"), 0xFF102030u);
    EXPECT_EQ(av::ReadColor(L" #FF102030"), 0u);
    // One '#' only.
    EXPECT_EQ(av::ReadColorAfterBlanks(L"##FF102030"), 0u);
}

TEST(AttributeValues, NamesBooleansAndNumbers)
{
    EXPECT_TRUE(av::Equals(L"text", L"text"));
    EXPECT_FALSE(av::Equals(L"Text", L"text"));
    EXPECT_TRUE(av::EqualsIgnoringCase(L"TextColor", L"textcolor"));
    EXPECT_FALSE(av::EqualsIgnoringCase(L"textcolor", L"textcolo"));
    EXPECT_TRUE(av::IsTrue(L"true"));
    EXPECT_FALSE(av::IsTrue(L"True"));
    EXPECT_EQ(av::ReadInt(L"42px"), 42);
    EXPECT_EQ(av::ReadInt(L"px"), 0);
}

} // namespace
