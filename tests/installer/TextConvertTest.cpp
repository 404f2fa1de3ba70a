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

// With UTF-8 as the ANSI code page (a Windows option) the narrow conversion
// must not pass a flag that is invalid for UTF-8: every text would be empty.
// The conversion for a code page is tested with UTF-8 itself, which this
// prefix's ANSI code page is not.
TEST(TextConvert, UtfEightKeepsEveryCharacter)
{
    const std::wstring text = L"p\u0100ss\u4E2D \U0001F511";
    EXPECT_EQ(ToCodePage(text, CP_UTF8), "p\xC4\x80ss\xE4\xB8\xAD \xF0\x9F\x94\x91");
    EXPECT_EQ(ToUtf8(text), ToCodePage(text, CP_UTF8));
    EXPECT_EQ(FromCodePage(ToUtf8(text), CP_UTF8), text);
    EXPECT_EQ(ToCodePage(text, CP_ACP), ToNarrow(text));
}

TEST(TextConvert, StoredTextIsReadAsUtf8WhenValidElseInTheAnsiCodePage)
{
    EXPECT_EQ(FromUtf8OrAnsi(""), L"");
    EXPECT_EQ(FromUtf8OrAnsi("plain"), L"plain");
    EXPECT_EQ(FromUtf8OrAnsi("\xE4\xB8\xAD\xE6\x96\x87"), L"\u4E2D\u6587");
    // Not UTF-8 (a lone lead byte, an overlong form, a surrogate): the ANSI code page.
    for (const char* bytes : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xE4\xB8"})
        EXPECT_EQ(FromUtf8OrAnsi(bytes), ToWide(bytes)) << bytes;
}

} // namespace
