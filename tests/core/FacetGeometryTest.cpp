#include "ValueTypesTestPrint.h"

#include <windows.h>
#include <windowsx.h>

#include <vector>

using Facet::CFacetPoint;
using Facet::CFacetRect;
using Facet::CFacetSize;
using Facet::ParseIntList;
using Facet::STRINGorID;

namespace {

std::vector<long> Edges(const RECT& rc)
{
    return {rc.left, rc.top, rc.right, rc.bottom};
}

TEST(ParseIntList, ReadsNumbersEachFollowedByOneSeparator)
{
    long values[4] = {-1, -1, -1, -1};
    const wchar_t* end = nullptr;
    const wchar_t* text = L"10, -20;+30x 40";
    EXPECT_EQ(ParseIntList(text, values, 4, &end), 4);
    EXPECT_EQ(std::vector<long>(values, values + 4), (std::vector<long>{10, -20, 30, 40}));
    EXPECT_EQ(*end, L'\0');

    // Stops after `capacity` numbers, just past the separator.
    long two[2] = {0, 0};
    EXPECT_EQ(ParseIntList(L"1,2,3", two, 2, &end), 2);
    EXPECT_EQ(std::wstring(end), L"3");

    // Text that is no number reads as 0 and only one character of it is
    // skipped: "x" gives 0, then "," gives 0 again.
    long gaps[3] = {-1, -1, -1};
    EXPECT_EQ(ParseIntList(L"1,x,3", gaps, 3), 3);
    EXPECT_EQ(std::vector<long>(gaps, gaps + 3), (std::vector<long>{1, 0, 0}));
}

TEST(ParseIntList, ShortListsStopAtTheTerminator)
{
    // The text lives at the end of a buffer whose next characters are not
    // part of it: the reader must stop at the terminator.
    wchar_t buffer[] = {L'5', L',', L'6', L'\0', L'7', L',', L'8', L'\0'};
    long values[4] = {-1, -1, -1, -1};
    const wchar_t* end = nullptr;
    EXPECT_EQ(ParseIntList(buffer, values, 4, &end), 2);
    EXPECT_EQ(end, buffer + 3);
    EXPECT_EQ(std::vector<long>(values, values + 4), (std::vector<long>{5, 6, -1, -1}));

    // A trailing separator ends the list too.
    EXPECT_EQ(ParseIntList(L"9,", values, 4, &end), 1);
    EXPECT_EQ(*end, L'\0');

    EXPECT_EQ(ParseIntList(L"", values, 4), 0);
    EXPECT_EQ(ParseIntList(nullptr, values, 4, &end), 0);
    EXPECT_EQ(end, nullptr);
    EXPECT_EQ(ParseIntList(L"1,2", values, 0), 0);
}

TEST(FacetRect, TextFillsEdgesFromTheEarlierNumbers)
{
    EXPECT_EQ(Edges(CFacetRect(L"10,20,30,40")), (std::vector<long>{10, 20, 30, 40}));
    EXPECT_EQ(Edges(CFacetRect(L"7")), (std::vector<long>{7, 7, 7, 7}));
    EXPECT_EQ(Edges(CFacetRect(L"1,2")), (std::vector<long>{1, 2, 1, 2}));
    EXPECT_EQ(Edges(CFacetRect(L"1,2,3")), (std::vector<long>{1, 2, 3, 2}));
    EXPECT_EQ(Edges(CFacetRect(L"-4, 5,6,7,8")), (std::vector<long>{-4, 5, 6, 7}));
    EXPECT_EQ(Edges(CFacetRect(L"")), (std::vector<long>{0, 0, 0, 0}));
    EXPECT_EQ(Edges(CFacetRect(static_cast<const wchar_t*>(nullptr))), (std::vector<long>{0, 0, 0, 0}));

    EXPECT_EQ(CFacetRect(1, -2, 30, 40).ToString(), L"1,-2,30,40");
}

TEST(FacetRect, Arithmetic)
{
    CFacetRect rc(10, 20, 50, 80);
    EXPECT_EQ(rc.GetWidth(), 40);
    EXPECT_EQ(rc.GetHeight(), 60);
    EXPECT_FALSE(rc.IsNull());

    rc.Offset(5, -5);
    EXPECT_EQ(Edges(rc), (std::vector<long>{15, 15, 55, 75}));
    rc.Inflate(2, 3);
    EXPECT_EQ(Edges(rc), (std::vector<long>{13, 12, 57, 78}));
    rc.Deflate(2, 3);
    EXPECT_EQ(Edges(rc), (std::vector<long>{15, 15, 55, 75}));
    rc.ResetOffset();
    EXPECT_EQ(Edges(rc), (std::vector<long>{0, 0, 40, 60}));

    CFacetRect reversed(30, 40, 10, 20);
    reversed.Normalize();
    EXPECT_EQ(Edges(reversed), (std::vector<long>{10, 20, 30, 40}));

    // Join counts an empty rectangle, Union does not.
    CFacetRect joined(10, 10, 20, 20);
    joined.Join(CFacetRect(0, 0, 0, 0));
    EXPECT_EQ(Edges(joined), (std::vector<long>{0, 0, 20, 20}));
    CFacetRect united(10, 10, 20, 20);
    united.Union(CFacetRect(0, 0, 0, 0));
    EXPECT_EQ(Edges(united), (std::vector<long>{10, 10, 20, 20}));
    united.Union(CFacetRect(15, 5, 30, 12));
    EXPECT_EQ(Edges(united), (std::vector<long>{10, 5, 30, 20}));

    united.Empty();
    EXPECT_TRUE(united.IsNull());
}

TEST(FacetSizeAndPoint, TextAndConversions)
{
    const CFacetSize both(L"680,440");
    EXPECT_EQ(both.cx, 680);
    EXPECT_EQ(both.cy, 440);
    const CFacetSize one(L"12");
    EXPECT_EQ(one.cx, 12);
    EXPECT_EQ(one.cy, 12);
    EXPECT_EQ(CFacetSize(L"").cx, 0);
    EXPECT_EQ(CFacetSize(CFacetRect(5, 6, 15, 26)).cy, 20);
    EXPECT_EQ(CFacetSize(3, -4).ToString(), L"3,-4");

    const CFacetPoint pt(L"-3,9");
    EXPECT_EQ(pt.x, -3);
    EXPECT_EQ(pt.y, 9);
    const CFacetPoint same(L"8");
    EXPECT_EQ(same.x, 8);
    EXPECT_EQ(same.y, 8);
    EXPECT_EQ(CFacetPoint(-1, 2).ToString(), L"-1,2");
}

TEST(FacetSizeAndPoint, PointFromPackedMouseParameterKeepsTheSign)
{
    const CFacetPoint negative(static_cast<LPARAM>(MAKELPARAM(static_cast<WORD>(-5), static_cast<WORD>(-300))));
    EXPECT_EQ(negative.x, -5);
    EXPECT_EQ(negative.y, -300);
    EXPECT_EQ(negative.x, GET_X_LPARAM(MAKELPARAM(static_cast<WORD>(-5), 0)));

    const CFacetPoint positive(static_cast<LPARAM>(MAKELPARAM(640, 32767)));
    EXPECT_EQ(positive.x, 640);
    EXPECT_EQ(positive.y, 32767);

    // Bits above the low 32 are not part of the coordinates.
    const LPARAM wide = static_cast<LPARAM>((static_cast<unsigned long long>(0xABCD) << 32) | 0x00020001ull);
    const CFacetPoint high(wide);
    EXPECT_EQ(high.x, 1);
    EXPECT_EQ(high.y, 2);
}

TEST(StringOrId, NamesAndNumbers)
{
    const wchar_t* name = L"SKIN";
    const STRINGorID byName(name);
    EXPECT_EQ(byName.m_lpstr, name);
    EXPECT_FALSE(byName.IsId());

    const STRINGorID byNumber(136u);
    EXPECT_TRUE(byNumber.IsId());
    EXPECT_EQ(byNumber.GetId(), 136u);
    EXPECT_TRUE(byNumber.m_lpstr == MAKEINTRESOURCEW(136));

    // Only the low 16 bits of a number are kept.
    const STRINGorID truncated(0x12345u);
    EXPECT_TRUE(truncated.IsId());
    EXPECT_EQ(truncated.GetId(), 0x2345u);
}

} // namespace
