#include "core/PaintManager.h"

#include <gtest/gtest.h>

#include <string>

using Facet::CFacetString;
using Facet::CPaintManagerUI;

namespace {

class LanguageStringsTest : public ::testing::Test
{
protected:
    void TearDown() override { CPaintManagerUI::RemoveAllMultiLanguageString(); }

    static std::wstring Processed(const wchar_t* text)
    {
        CFacetString s(text);
        CPaintManagerUI::ProcessMultiLanguageTokens(s);
        return std::wstring(s.GetData());
    }
};

TEST_F(LanguageStringsTest, AddReplaceRemove)
{
    EXPECT_EQ(nullptr, CPaintManagerUI::GetMultiLanguageString(12));
    CPaintManagerUI::AddMultiLanguageString(12, L"first");
    EXPECT_STREQ(L"first", CPaintManagerUI::GetMultiLanguageString(12));
    CPaintManagerUI::AddMultiLanguageString(12, L"second");
    EXPECT_STREQ(L"second", CPaintManagerUI::GetMultiLanguageString(12));
    CPaintManagerUI::AddMultiLanguageString(1, nullptr);
    EXPECT_STREQ(L"", CPaintManagerUI::GetMultiLanguageString(1));
    // 1 and 12 are different numbers, not prefixes of each other.
    EXPECT_EQ(nullptr, CPaintManagerUI::GetMultiLanguageString(2));

    EXPECT_TRUE(CPaintManagerUI::RemoveMultiLanguageString(12));
    EXPECT_FALSE(CPaintManagerUI::RemoveMultiLanguageString(12));
    EXPECT_EQ(nullptr, CPaintManagerUI::GetMultiLanguageString(12));
    EXPECT_STREQ(L"", CPaintManagerUI::GetMultiLanguageString(1));

    CPaintManagerUI::AddMultiLanguageString(5, L"five");
    CPaintManagerUI::RemoveAllMultiLanguageString();
    EXPECT_EQ(nullptr, CPaintManagerUI::GetMultiLanguageString(5));
    EXPECT_EQ(nullptr, CPaintManagerUI::GetMultiLanguageString(1));
}

TEST_F(LanguageStringsTest, TokensAreReplacedByTheirStrings)
{
    CPaintManagerUI::AddMultiLanguageString(3, L"Mevra");
    CPaintManagerUI::AddMultiLanguageString(0, L"zero");
    CPaintManagerUI::AddMultiLanguageString(7, L"seven");
    EXPECT_EQ(L"Mevra and Mevra", Processed(L"%{3} and %{3}"));
    EXPECT_EQ(L"[zero]", Processed(L"[%{}]"));
    EXPECT_EQ(L"seven", Processed(L"%{007}"));
    EXPECT_EQ(L"100%Mevra", Processed(L"100%%{3}"));
    EXPECT_EQ(L"a very long text with Mevra in it, long enough to leave the in-object buffer: Mevra.",
              Processed(L"a very long text with %{3} in it, long enough to leave the in-object buffer: %{3}."));
}

TEST_F(LanguageStringsTest, OtherTokensStayUnchanged)
{
    CPaintManagerUI::AddMultiLanguageString(3, L"Mevra");
    EXPECT_EQ(L"%{x} %{3a} %{9} %3 %{3", Processed(L"%{x} %{3a} %{9} %3 %{3"));
    EXPECT_EQ(L"100% sure", Processed(L"100% sure"));
    EXPECT_EQ(L"%{99999999999999999999}", Processed(L"%{99999999999999999999}"));
    EXPECT_EQ(L"", Processed(L""));
}

TEST_F(LanguageStringsTest, TokensInsideStringsAreExpanded)
{
    CPaintManagerUI::AddMultiLanguageString(1, L"a%{2}");
    CPaintManagerUI::AddMultiLanguageString(2, L"b");
    EXPECT_EQ(L"abb", Processed(L"%{1}%{2}"));
}

TEST_F(LanguageStringsTest, ASubstitutedStringIsScannedTogetherWithTheTextAfterIt)
{
    // The replacement ends in "%" and the text after it supplies the rest of a token.
    CPaintManagerUI::AddMultiLanguageString(1, L"a%");
    CPaintManagerUI::AddMultiLanguageString(2, L"two");
    EXPECT_EQ(L"atwo!", Processed(L"%{1}{2}!"));
    // Or the replacement opens a token that the text closes.
    CPaintManagerUI::AddMultiLanguageString(3, L"%{");
    EXPECT_EQ(L"two", Processed(L"%{3}2}"));
    // A token completed that way still cannot name a string being expanded.
    EXPECT_EQ(L"a%{1}", Processed(L"%{1}{1}"));
}

TEST_F(LanguageStringsTest, ExpansionIsBoundedForStringsOfManyTokens)
{
    // Strings 100 to 106 each hold fifty tokens of the next: seven levels
    // would be 50^7 copies of string 107 without a bound on the work.
    for (int id = 100; id < 107; ++id) {
        std::wstring text;
        for (int i = 0; i < 50; ++i)
            text += L"%{" + std::to_wstring(id + 1) + L"}";
        CPaintManagerUI::AddMultiLanguageString(id, text.c_str());
    }
    CPaintManagerUI::AddMultiLanguageString(107, L"leaf");
    const std::wstring result = Processed(L"%{100}");
    EXPECT_LT(result.size(), 2000000u);
    EXPECT_EQ(result.compare(0, 4, L"leaf"), 0);
}

TEST_F(LanguageStringsTest, StringsThatNameThemselvesEnd)
{
    CPaintManagerUI::AddMultiLanguageString(3, L"x%{3}");
    EXPECT_EQ(L"x%{3}", Processed(L"%{3}"));
    EXPECT_EQ(L"x%{3} x%{3}", Processed(L"%{3} %{3}"));

    // A cycle through two strings, and strings that double at every level.
    CPaintManagerUI::AddMultiLanguageString(4, L"<%{5}>");
    CPaintManagerUI::AddMultiLanguageString(5, L"(%{4})");
    EXPECT_EQ(L"<(%{4})>", Processed(L"%{4}"));
    for (int id = 10; id < 40; ++id)
        CPaintManagerUI::AddMultiLanguageString(
            id, (L"%{" + std::to_wstring(id + 1) + L"}%{" + std::to_wstring(id + 1) + L"}").c_str());
    EXPECT_LT(Processed(L"%{10}").size(), 10000u);
}

} // namespace
