#include "TextConvert.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(TextConvert, EmptyStaysEmptyAndPlainTextRoundTrips)
{
    EXPECT_EQ(ToNarrow(L""), "");
    EXPECT_EQ(ToWide(""), L"");
    const std::wstring text = L"proxy.example:3128 \"quoted\" back\\slash \x1F end";
    EXPECT_EQ(ToWide(ToNarrow(text)), text);
    EXPECT_EQ(ToNarrow(text).size(), text.size());
}

TEST(TextConvert, WholeStringsIncludingZeroCharactersAreConverted)
{
    const std::wstring wide(L"a\0b", 3);
    EXPECT_EQ(ToNarrow(wide), std::string("a\0b", 3));
    EXPECT_EQ(ToWide(std::string("a\0b", 3)), wide);
}

TEST(TextConvert, CharactersTheCodePageLacksBecomeItsDefaultCharacter)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "written for the Western code page 1252; this one is " << GetACP();
    // U+0100 has the look-alike 'A' in 1252, and U+4E2D none at all: both must come
    // out as the default character, never as a different valid letter.
    EXPECT_EQ(ToNarrow(L"p\u0100ss\u4E2D"), "p?ss?");
    // Characters 1252 has are kept exactly.
    EXPECT_EQ(ToWide(ToNarrow(L"caf\u00E9")), L"caf\u00E9");
}

} // namespace
