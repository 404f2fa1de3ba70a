#include "ValueTypesTestPrint.h"

#include <gtest/gtest.h>

#include <string>

using Facet::CFacetString;

namespace {

// True when the characters live inside the string object itself.
bool IsLocal(const CFacetString& s)
{
    const char* data = reinterpret_cast<const char*>(s.GetData());
    const char* self = reinterpret_cast<const char*>(&s);
    return data >= self && data < self + sizeof(CFacetString);
}

std::wstring Repeat(wchar_t ch, size_t count)
{
    return std::wstring(count, ch);
}

TEST(FacetString, ShortTextsStayLocalLongOnesMoveToTheHeapAndBack)
{
    CFacetString s;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(IsLocal(s));

    s.Assign(Repeat(L'x', 62).c_str());
    EXPECT_EQ(s.GetLength(), 62);
    EXPECT_TRUE(IsLocal(s));

    s.Assign(Repeat(L'y', 63).c_str());
    EXPECT_EQ(s.GetLength(), 63);
    EXPECT_FALSE(IsLocal(s));
    EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'y', 63));

    s = L"short";
    EXPECT_TRUE(IsLocal(s));
    EXPECT_EQ(s, L"short");

    // Growing by appending crosses the same line, and keeps growing on the heap.
    CFacetString grown(Repeat(L'a', 61).c_str());
    grown += L'b';
    EXPECT_TRUE(IsLocal(grown));
    grown += L'c';
    EXPECT_FALSE(IsLocal(grown));
    grown.Append(Repeat(L'd', 500).c_str());
    EXPECT_EQ(std::wstring(grown.GetData()), Repeat(L'a', 61) + L"bc" + Repeat(L'd', 500));

    grown.Empty();
    EXPECT_TRUE(grown.IsEmpty());
    EXPECT_TRUE(IsLocal(grown));
}

TEST(FacetString, ConstructionAssignmentAndCopiesAreIndependent)
{
    EXPECT_TRUE(CFacetString(nullptr).IsEmpty());
    EXPECT_EQ(CFacetString(L"abcdef", 3), L"abc");
    EXPECT_EQ(CFacetString(L"abc", -1), L"abc");
    // A length beyond the text stops at its terminator.
    EXPECT_EQ(CFacetString(L"ab", 10), L"ab");
    EXPECT_EQ(CFacetString(L'z'), L"z");

    CFacetString longText(Repeat(L'q', 100).c_str());
    CFacetString copy(longText);
    copy.SetAt(0, L'Q');
    EXPECT_EQ(longText.GetAt(0), L'q');
    EXPECT_EQ(copy[0], L'Q');

    CFacetString s(L"keep");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = L'c';
    EXPECT_EQ(s, L"c");
    s = "narrow";
    EXPECT_EQ(s, L"narrow");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());

    // Assigning a part of itself (which may move its storage) keeps the text right.
    CFacetString self(Repeat(L'm', 70).c_str());
    self.SetAt(65, L'!');
    self.Assign(self.GetData() + 60);
    EXPECT_EQ(self, L"mmmmm!mmmm");
    self += self;
    EXPECT_EQ(self, L"mmmmm!mmmmmmmmm!mmmm");
}

TEST(FacetString, AppendingAndConcatenation)
{
    CFacetString s(L"ab");
    s += CFacetString(L"cd");
    s += L"ef";
    s += static_cast<const wchar_t*>(nullptr);
    s += L'g';
    s += "hi";
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(s, L"abcdefghi");

    EXPECT_EQ(s + L"!", L"abcdefghi!");
    EXPECT_EQ(s + static_cast<const wchar_t*>(nullptr), L"abcdefghi");
    EXPECT_EQ(CFacetString(L"x") + CFacetString(L"y"), L"xy");
}

TEST(FacetString, ComparisonsAreOrdinalAndCaseSensitive)
{
    const CFacetString s(L"Beta");
    EXPECT_TRUE(s == L"Beta");
    EXPECT_TRUE(s != L"beta");
    EXPECT_TRUE(s < L"beta"); // 'B' < 'b'
    EXPECT_TRUE(s <= L"Beta");
    EXPECT_TRUE(s > L"Alpha");
    EXPECT_TRUE(s >= L"Beta");
    EXPECT_LT(s.Compare(L"Betb"), 0);
    EXPECT_GT(s.Compare(L"Bet"), 0);
    EXPECT_GT(s.Compare(nullptr), 0);
    EXPECT_EQ(s.CompareNoCase(L"bETA"), 0);
    EXPECT_NE(s.CompareNoCase(L"gamma"), 0);
    EXPECT_TRUE(s == CFacetString(L"Beta"));
}

TEST(FacetString, LeftMidAndRightClampTheirArguments)
{
    const CFacetString s(L"abcdef");
    EXPECT_EQ(s.Left(2), L"ab");
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.Left(10), L"abcdef");

    EXPECT_EQ(s.Mid(3), L"def");
    EXPECT_EQ(s.Mid(4, 10), L"ef");
    EXPECT_EQ(s.Mid(2, 2), L"cd");
    EXPECT_EQ(s.Mid(6), L"");
    EXPECT_EQ(s.Mid(2, 0), L"");
    // Positions outside the text are clamped into it, never read beyond it.
    EXPECT_EQ(s.Mid(7), L"");
    EXPECT_EQ(s.Mid(100, 3), L"");
    EXPECT_EQ(s.Mid(-2, 3), L"abc");
    EXPECT_EQ(s.Mid(-2), L"abcdef");

    EXPECT_EQ(CFacetString(L"abc").Right(10), L"abc");
    EXPECT_EQ(s.Right(2), L"ef");
    EXPECT_EQ(s.Right(0), L"");
    EXPECT_EQ(s.Right(-3), L"");
}

TEST(FacetString, FindRules)
{
    const CFacetString s(L"abcabc");
    const CFacetString empty;

    // Characters: a start other than 0 must be inside the text.
    EXPECT_EQ(s.Find(L'b'), 1);
    EXPECT_EQ(s.Find(L'b', 2), 4);
    EXPECT_EQ(s.Find(L'z'), -1);
    EXPECT_EQ(s.Find(L'a', 6), -1);
    EXPECT_EQ(s.Find(L'a', -1), -1);
    EXPECT_EQ(empty.Find(L'a'), -1);
    EXPECT_EQ(s.Find(L'\0'), -1);

    // Texts: the start may equal the length (the empty tail is searched).
    EXPECT_EQ(s.Find(L"ca"), 2);
    EXPECT_EQ(s.Find(L"bc", 2), 4);
    EXPECT_EQ(s.Find(L"x"), -1);
    EXPECT_EQ(s.Find(L""), 0);
    EXPECT_EQ(empty.Find(L""), 0);
    EXPECT_EQ(s.Find(L"", 6), 6);
    EXPECT_EQ(s.Find(L"a", 6), -1);
    EXPECT_EQ(s.Find(L"", 7), -1);
    EXPECT_EQ(s.Find(L"a", -1), -1);
    EXPECT_EQ(s.Find(static_cast<const wchar_t*>(nullptr)), -1);

    EXPECT_EQ(s.ReverseFind(L'a'), 3);
    EXPECT_EQ(s.ReverseFind(L'z'), -1);
    EXPECT_EQ(empty.ReverseFind(L'a'), -1);
}

TEST(FacetString, ReplaceNeverSearchesReplacedText)
{
    CFacetString s(L"aaa");
    EXPECT_EQ(s.Replace(L"a", L"aa"), 3);
    EXPECT_EQ(s, L"aaaaaa");

    CFacetString path(L"a/b/c");
    EXPECT_EQ(path.Replace(L"/", L"\\\\"), 2);
    EXPECT_EQ(path, L"a\\\\b\\\\c");

    CFacetString shrink(L"one two two three");
    EXPECT_EQ(shrink.Replace(L"two ", L""), 2);
    EXPECT_EQ(shrink, L"one three");

    CFacetString none(L"abc");
    EXPECT_EQ(none.Replace(L"x", L"y"), 0);
    EXPECT_EQ(none, L"abc");
    // An empty search text replaces nothing (and must not loop).
    EXPECT_EQ(none.Replace(L"", L"y"), 0);
    EXPECT_EQ(none.Replace(nullptr, L"y"), 0);
    EXPECT_EQ(none, L"abc");

    // Growing past the local buffer and back.
    CFacetString grow(Repeat(L'x', 40).c_str());
    EXPECT_EQ(grow.Replace(L"x", L"yy"), 40);
    EXPECT_EQ(std::wstring(grow.GetData()), Repeat(L'y', 80));
    EXPECT_EQ(grow.Replace(L"yy", L"z"), 40);
    EXPECT_EQ(std::wstring(grow.GetData()), Repeat(L'z', 40));
    EXPECT_TRUE(IsLocal(grow));
}

TEST(FacetString, CaseMappingAndCopy)
{
    CFacetString s(L"MiXeD 42");
    s.MakeUpper();
    EXPECT_EQ(s, L"MIXED 42");
    s.MakeLower();
    EXPECT_EQ(s, L"mixed 42");
    EXPECT_EQ(s.ToString(), L"mixed 42");
}

TEST(FacetString, FormatHandlesWideArgumentsAndLongOutput)
{
    CFacetString s;
    EXPECT_EQ(s.Format(L"%d-%ls-%c", 42, L"wide", L'z'), 9);
    EXPECT_EQ(s, L"42-wide-z");

    // Longer than the platform's small formatter could ever give.
    const std::wstring big = Repeat(L'k', 3000);
    EXPECT_EQ(s.Format(L"<%ls>", big.c_str()), 3002);
    EXPECT_EQ(std::wstring(s.GetData()), L"<" + big + L">");

    EXPECT_EQ(s.Format(L"%ls", L""), 0);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(FacetString, SmallFormatKeepsAtMost63Characters)
{
    CFacetString s;
    EXPECT_EQ(s.SmallFormat(L"%d,%ls", -7, L"abc"), 6);
    EXPECT_EQ(s, L"-7,abc");

    const std::wstring exact = Repeat(L'e', 63);
    EXPECT_EQ(s.SmallFormat(L"%ls", exact.c_str()), 63);
    EXPECT_EQ(std::wstring(s.GetData()), exact);

    const std::wstring over = Repeat(L'o', 64);
    EXPECT_EQ(s.SmallFormat(L"%ls", over.c_str()), 64);
    EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'o', 63));

    // The platform formatter stops at 1024 characters; the buffer behind it
    // must hold all of them.
    const std::wstring huge = Repeat(L'h', 1500);
    const int count = s.SmallFormat(L"%ls", huge.c_str());
    EXPECT_GE(count, 1023);
    EXPECT_LE(count, 1024);
    EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'h', 63));
}

} // namespace
