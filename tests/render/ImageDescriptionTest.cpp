#include "render/ImageDescription.h"

#include <gtest/gtest.h>

using namespace Facet;

namespace {

struct Parsed
{
    TDrawInfo info;
    TImageLookup lookup;
};

Parsed Parse(const wchar_t* description, double scale = 1.0)
{
    Parsed parsed;
    parsed.info.sDrawString = description;
    ParseImageDescription(parsed.info, parsed.lookup, scale);
    return parsed;
}

bool Equal(const RECT& rc, long l, long t, long r, long b)
{
    return rc.left == l && rc.top == t && rc.right == r && rc.bottom == b;
}

TEST(ImageDescription, BareNameIsTheImage)
{
    const Parsed p = Parse(L"logo.png");
    EXPECT_EQ(p.info.sImageName, L"logo.png");
    EXPECT_FALSE(p.lookup.bByResType);
    EXPECT_EQ(p.info.uFade, 255);
}

TEST(ImageDescription, KeysSetTheirFieldsAndOnlyDestIsScaled)
{
    const Parsed p = Parse(L"res='mevra.png' restype='MVIMGRES' dest='0,0,88,88' source='1,2,3,4' "
                           L"corner='4,5,6,7' mask='#FFFF00FF' fade='128' hole='true' xtiled='true' "
                           L"ytiled='false' hsl='true'",
                           1.25);
    EXPECT_EQ(p.info.sImageName, L"mevra.png");
    EXPECT_TRUE(p.lookup.bByResType);
    EXPECT_EQ(p.lookup.sResType, L"MVIMGRES");
    EXPECT_TRUE(Equal(p.info.rcDestOffset, 0, 0, 110, 110));
    EXPECT_TRUE(Equal(p.info.rcBmpPart, 1, 2, 3, 4));
    EXPECT_TRUE(Equal(p.info.rcScale9, 4, 5, 6, 7));
    EXPECT_EQ(p.lookup.dwMask, 0xFFFF00FFu);
    EXPECT_EQ(p.info.uFade, 128);
    EXPECT_TRUE(p.info.bHole);
    EXPECT_TRUE(p.info.bTiledX);
    EXPECT_FALSE(p.info.bTiledY);
    EXPECT_TRUE(p.lookup.bHSL);

    const Parsed scale9 = Parse(L"file='a.png' scale9='3,3,3,3' mask='FF00FF00'");
    EXPECT_TRUE(Equal(scale9.info.rcScale9, 3, 3, 3, 3));
    EXPECT_EQ(scale9.lookup.dwMask, 0xFF00FF00u);
    EXPECT_FALSE(scale9.lookup.bByResType);
}

TEST(ImageDescription, ColourAndSvgKeys)
{
    const Parsed color = Parse(L"color='#80FF0000'");
    EXPECT_EQ(color.info.sImageName, L"#80FF0000");
    EXPECT_EQ(color.lookup.sResType, L"*COLOR*");
    EXPECT_TRUE(color.lookup.bByResType);

    const Parsed svg = Parse(L"svg='icons/close.svg'");
    EXPECT_EQ(svg.info.sImageName, L"icons/close.svg");
    EXPECT_TRUE(svg.lookup.bSvg);
}

TEST(ImageDescription, SyntaxErrorsKeepWhatWasRead)
{
    // The value of fade is never closed: dest stands, fade keeps its default.
    const Parsed open = Parse(L"file='a.png' dest='1,2,3,4' fade='12");
    EXPECT_EQ(open.info.sImageName, L"a.png");
    EXPECT_TRUE(Equal(open.info.rcDestOffset, 1, 2, 3, 4));
    EXPECT_EQ(open.info.uFade, 255);

    // Double quotes are no quotes here; the bare text then stays the image name.
    const Parsed quoted = Parse(L"file=\"a.png\"");
    EXPECT_EQ(quoted.info.sImageName, L"file=\"a.png\"");

    // Pairs are separated by one space: a comma ends the list.
    const Parsed comma = Parse(L"file='a.png',fade='10'");
    EXPECT_EQ(comma.info.uFade, 255);
    const Parsed unknown = Parse(L"shape='round' file='b.png' empty=''");
    EXPECT_EQ(unknown.info.sImageName, L"b.png");

    // Short number lists stop at the end of the value.
    const Parsed shortDest = Parse(L"file='a.png' dest='5,6'");
    EXPECT_TRUE(Equal(shortDest.info.rcDestOffset, 5, 6, 0, 0));
}

} // namespace
