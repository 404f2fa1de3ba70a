#include "render/RenderEngine.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"
#include "../support/TestWindow.h"

#include <gtest/gtest.h>

using namespace Facet;
using testsupport::TestWindow;

namespace {

int FontWeight(HFONT font)
{
    LOGFONTW lf = {};
    GetObjectW(font, sizeof(lf), &lf);
    return lf.lfWeight;
}

TEST(ResourceTables, WindowFontsOverrideSharedOnesAndUnknownIdsGiveTheDefault)
{
    TestWindow window;
    CPaintManagerUI& manager = window.manager;
    HFONT shared = manager.AddFont(12, L"Arial", 14, false, false, false, true);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(manager.GetFont(12), shared);
    HFONT own = manager.AddFont(12, L"Arial", 20, false, false, false);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(manager.GetFont(12), own);
    EXPECT_EQ(manager.GetFontIndex(own), 12);
    EXPECT_EQ(manager.GetFontIndex(shared, true), 12);
    EXPECT_EQ(manager.GetFont(L"Arial", 14, false, false, false), shared);

    HFONT fallback = manager.GetDefaultFontInfo()->hFont;
    EXPECT_EQ(manager.GetFont(-1), fallback);
    EXPECT_EQ(manager.GetFont(777), fallback);

    // Fonts are measured with the window's device context.
    const TFontInfo* info = manager.GetFontInfo(12);
    EXPECT_GT(info->tm.tmHeight, 0);
    manager.AddFont(13, L"Arial", 10, false, false, false);
    EXPECT_GT(manager.GetFontInfo(12)->tm.tmHeight, manager.GetFontInfo(13)->tm.tmHeight);
    EXPECT_EQ(manager.GetCustomFontCount(), 2);

    EXPECT_TRUE(manager.RemoveFont(own));
    EXPECT_EQ(manager.GetFont(12), shared);
    EXPECT_TRUE(manager.RemoveFont(12, true));
    EXPECT_EQ(manager.GetFont(12), fallback);
}

// A font is measured when first asked for, by number or by handle, with what
// the platform tells for it in a device context.
TEST(ResourceTables, FontMetricsAreMeasuredOnFirstNeedByNumberOrHandle)
{
    TestWindow window;
    CPaintManagerUI& manager = window.manager;
    HFONT byHandle = manager.AddFont(20, L"Arial", 18, false, false, false);
    manager.AddFont(21, L"Arial", 30, true, false, false);
    ASSERT_NE(byHandle, nullptr);

    HDC dc = CreateCompatibleDC(nullptr);
    TEXTMETRICW expected = {};
    HGDIOBJ old = SelectObject(dc, byHandle);
    GetTextMetricsW(dc, &expected);
    SelectObject(dc, old);
    DeleteDC(dc);

    const TFontInfo* info = manager.GetFontInfo(byHandle);
    EXPECT_EQ(info->iSize, 18);
    EXPECT_EQ(info->tm.tmHeight, expected.tmHeight);
    EXPECT_EQ(info->tm.tmAveCharWidth, expected.tmAveCharWidth);
    EXPECT_EQ(manager.GetFontInfo(20), info);
    const TFontInfo* big = manager.GetFontInfo(21);
    EXPECT_EQ(big->iSize, 30);
    EXPECT_GT(big->tm.tmHeight, info->tm.tmHeight);
    EXPECT_EQ(manager.GetFontIndex(big->hFont), 21);
}

TEST(ResourceTables, BoldAddsSevenHundredWithinTheValidRangeAndLongFaceNamesAreCut)
{
    TestWindow window;
    LOGFONTW gui = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    HFONT bold = window.manager.AddFont(1, L"Arial", 12, true, false, false);
    EXPECT_EQ(FontWeight(bold), (std::min)(static_cast<int>(gui.lfWeight) + 700, 1000));

    const std::wstring longName(60, L'x');
    HFONT font = window.manager.AddFont(2, longName.c_str(), 12, false, true, true);
    ASSERT_NE(font, nullptr);
    LOGFONTW lf = {};
    GetObjectW(font, sizeof(lf), &lf);
    EXPECT_EQ(wcslen(lf.lfFaceName), 31u);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_TRUE(lf.lfItalic);
}

TEST(ResourceTables, ImagesAreCaseSensitiveAndReplacedInPlace)
{
    TestWindow window;
    CPaintManagerUI& manager = window.manager;
    const TImageInfo* red = manager.AddImage(L"#FFFF0000", L"*COLOR*");
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(manager.GetImage(L"#FFFF0000"), red);
    EXPECT_EQ(manager.GetImage(L"#ffff0000"), nullptr);
    EXPECT_EQ(manager.AddImage(L""), nullptr);

    // A control may hold the record: replacing keeps the record and renews its bitmap.
    const std::wstring folder = testsupport::FreshTempFolder(L"tables");
    auto write = [&](uint32_t colour) {
        const std::vector<unsigned char> png = testsupport::EncodePng(testsupport::Picture(2, 2, colour));
        testsupport::WriteFileText(folder + L"\\pic.png", std::string(png.begin(), png.end()));
    };
    CPaintManagerUI::SetResourceZip(L"", false);
    CPaintManagerUI::SetResourcePath(folder.c_str());
    write(0xFF0000FF);
    const TImageInfo* first = manager.AddImage(L"pic.png");
    ASSERT_NE(first, nullptr);
    write(0xFF00FF00);
    const TImageInfo* second = manager.AddImage(L"pic.png");
    EXPECT_EQ(second, first);
    GdiFlush();
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(second->pBits), 0xFF00FF00u);

    // A failed replacement removes the entry but leaves the record readable (empty).
    DeleteFileW((folder + L"\\pic.png").c_str());
    EXPECT_EQ(manager.AddImage(L"pic.png"), nullptr);
    EXPECT_EQ(manager.GetImage(L"pic.png"), nullptr);
    EXPECT_EQ(first->hBitmap, nullptr);
    RemoveDirectoryW(folder.c_str());
    CPaintManagerUI::SetResourcePath(L"");

    // GetImageEx loads what is missing.
    const TImageInfo* blue = manager.GetImageEx(L"#FF0000FF", L"*COLOR*");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(manager.GetImage(L"#FF0000FF"), blue);
    EXPECT_TRUE(manager.RemoveImage(L"#FF0000FF"));
    EXPECT_EQ(manager.GetImage(L"#FF0000FF"), nullptr);
}

TEST(ResourceTables, DefaultListsAndColours)
{
    TestWindow window;
    TestWindow other;
    CPaintManagerUI& manager = window.manager;
    manager.AddDefaultAttributeList(L"Button", L"height=\"30\"");
    manager.AddDefaultAttributeList(L"Button", L"height=\"40\"");
    EXPECT_STREQ(manager.GetDefaultAttributeList(L"Button"), L"height=\"40\"");
    EXPECT_EQ(manager.GetDefaultAttributeList(L"button"), nullptr);
    manager.AddDefaultAttributeList(L"Label", L"x=\"1\"", true);
    EXPECT_STREQ(other.manager.GetDefaultAttributeList(L"Label"), L"x=\"1\"");
    EXPECT_TRUE(manager.RemoveDefaultAttributeList(L"Label", true));

    EXPECT_EQ(manager.GetDefaultFontColor(), other.manager.GetDefaultFontColor());
    const DWORD shared = manager.GetDefaultFontColor();
    other.manager.SetDefaultFontColor(0xFF123456); // its own colour
    manager.SetDefaultFontColor(0xFF654321, true); // the shared one, followed by this window
    EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF654321u);
    EXPECT_EQ(other.manager.GetDefaultFontColor(), 0xFF123456u);
    manager.SetDefaultFontColor(shared, true);
}

TEST(ResourceTables, HslValuesAreClampedAndAdjustHslImages)
{
    TestWindow window;
    const TImageInfo* image = window.manager.AddImage(L"#FFFF0000", L"*COLOR*", 0, true);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->pSrcBits, nullptr);
    CPaintManagerUI::SetHSL(true, 400, -5, 250);
    short h = 0, s = 0, l = 0;
    EXPECT_TRUE(CPaintManagerUI::GetHSL(&h, &s, &l));
    EXPECT_EQ(h, 360);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 200);
    CPaintManagerUI::SetHSL(true, 300, 100, 100);
    GdiFlush();
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(image->pBits), 0xFF00FF00u); // red turned to green
    CPaintManagerUI::SetHSL(false, 180, 100, 100);
    GdiFlush();
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(image->pBits), 0xFFFF0000u);
    EXPECT_FALSE(CPaintManagerUI::GetHSL(nullptr, nullptr, nullptr));
}

TEST(ResourceTables, SwitchingHslOffWithTheSameValuesRestoresTheImages)
{
    TestWindow window;
    const TImageInfo* image = window.manager.AddImage(L"#FFFF0000", L"*COLOR*", 0, true);
    ASSERT_NE(image, nullptr);
    CPaintManagerUI::SetHSL(true, 300, 100, 100);
    GdiFlush();
    ASSERT_EQ(*reinterpret_cast<const uint32_t*>(image->pBits), 0xFF00FF00u);
    CPaintManagerUI::SetHSL(false, 300, 100, 100);
    GdiFlush();
    EXPECT_FALSE(CPaintManagerUI::GetHSL(nullptr, nullptr, nullptr));
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(image->pBits), 0xFFFF0000u);
    // And on again with the same values, tinted again.
    CPaintManagerUI::SetHSL(true, 300, 100, 100);
    GdiFlush();
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(image->pBits), 0xFF00FF00u);
    CPaintManagerUI::SetHSL(false, 180, 100, 100);
}

} // namespace

namespace {

// Every window attribute with its value, and which names are read in any case.
TEST(WindowAttributes, EachNameSetsItsValueWithItsCaseRule)
{
    TestWindow window;
    CPaintManagerUI& manager = window.manager;
    manager.SetWindowAttributeList(L"SIZE=\"300,200\" SizeBox=\"1,2,3,4\" CAPTION=\"0,0,0,30\" "
                                   L"RoundCorner=\"5,6\" MinInfo=\"50,40\" MAXINFO=\"800,600\" "
                                   L"ShowDirty=\"TRUE\" OPACITY=\"200\" DisabledFontColor=\"#FF010101\" "
                                   L"DEFAULTFONTCOLOR=\"#FF020202\" LinkFontColor=\"#FF030303\" "
                                   L"LINKHOVERFONTCOLOR=\"#FF040404\" SelectedColor=\"#FF050505\"");
    EXPECT_EQ(300, manager.GetInitSize().cx);
    EXPECT_EQ(4, manager.GetSizeBox().bottom);
    EXPECT_EQ(30, manager.GetCaptionRect().bottom);
    EXPECT_EQ(6, manager.GetRoundCorner().cy);
    EXPECT_EQ(40, manager.GetMinInfo().cy);
    EXPECT_EQ(800, manager.GetMaxInfo().cx);
    EXPECT_TRUE(manager.IsShowUpdateRect());
    EXPECT_EQ(200, manager.GetOpacity());
    EXPECT_EQ(0xFF010101u, manager.GetDefaultDisabledColor());
    EXPECT_EQ(0xFF020202u, manager.GetDefaultFontColor());
    EXPECT_EQ(0xFF030303u, manager.GetDefaultLinkFontColor());
    EXPECT_EQ(0xFF040404u, manager.GetDefaultLinkHoverFontColor());
    EXPECT_EQ(0xFF050505u, manager.GetDefaultSelectedBkColor());
    EXPECT_EQ(nullptr, manager.GetWindowCustomAttribute(L"SIZE"));

    // These four are read in lower case only; other spellings are kept as custom attributes.
    manager.SetWindowAttributeList(L"NoActivate=\"true\" LayeredOpacity=\"9\" LayeredImage=\"a.png\" BkTrans=\"true\"");
    EXPECT_FALSE(manager.IsNoActivate());
    EXPECT_FALSE(manager.IsLayered());
    EXPECT_STREQ(L"true", manager.GetWindowCustomAttribute(L"NoActivate"));
    EXPECT_STREQ(L"9", manager.GetWindowCustomAttribute(L"LayeredOpacity"));
    EXPECT_STREQ(L"a.png", manager.GetWindowCustomAttribute(L"LayeredImage"));
    EXPECT_STREQ(L"true", manager.GetWindowCustomAttribute(L"BkTrans"));

    manager.SetWindowAttributeList(L"noactivate=\"TRUE\" layeredopacity=\"90\" layeredimage=\"b.png\"");
    EXPECT_TRUE(manager.IsNoActivate());
    EXPECT_EQ(90, manager.GetLayeredOpacity());
    EXPECT_TRUE(manager.IsLayered());
    EXPECT_STREQ(L"b.png", manager.GetLayeredImage());
}

TEST(WindowAttributes, BkTransMakesTheWindowLayered)
{
    TestWindow window;
    window.manager.SetWindowAttribute(L"bktrans", L"false");
    EXPECT_TRUE(window.manager.IsLayered());
    EXPECT_EQ(nullptr, window.manager.GetWindowCustomAttribute(L"bktrans"));
}

} // namespace
