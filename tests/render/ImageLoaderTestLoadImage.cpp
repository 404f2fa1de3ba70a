#include "core/PaintManager.h"
#include "render/RenderEngine.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Facet;

namespace {

struct ImageDeleter
{
    void operator()(TImageInfo* image) const { CRenderEngine::FreeImage(image); }
};
using ImagePtr = std::unique_ptr<TImageInfo, ImageDeleter>;

uint32_t StoredPixel(const TImageInfo& image, int x, int y)
{
    GdiFlush();
    return reinterpret_cast<const uint32_t*>(image.pBits)[y * image.nX + x];
}

class LoadImageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CPaintManagerUI::SetResourceZip(L"", false);
        CPaintManagerUI::SetResourcePath(L"");
    }
};

TEST_F(LoadImageTest, ColourKeyGivesOnePremultipliedPixel)
{
    const ImagePtr red = ImagePtr(CRenderEngine::LoadImage(L"80FF0000", L"*COLOR*"));
    ASSERT_TRUE(red);
    EXPECT_EQ(red->nX, 1);
    EXPECT_EQ(red->nY, 1);
    EXPECT_TRUE(red->bAlpha);
    EXPECT_EQ(StoredPixel(*red, 0, 0), 0x80800000u);

    const ImagePtr opaque = ImagePtr(CRenderEngine::LoadImage(L"#FF00FF00", L"*COLOR*"));
    ASSERT_TRUE(opaque);
    EXPECT_FALSE(opaque->bAlpha);
    EXPECT_EQ(StoredPixel(*opaque, 0, 0), 0xFF00FF00u);
}

TEST_F(LoadImageTest, ResourcesByNameAndByNumber)
{
    const ImagePtr byName = ImagePtr(CRenderEngine::LoadImage(L"quad.png", L"MVIMGRES"));
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->nX, 2);
    EXPECT_EQ(StoredPixel(*byName, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(StoredPixel(*byName, 1, 1), 0xFFFF00FFu);

    // A name that starts with a digit is a resource number.
    const ImagePtr byNumber = ImagePtr(CRenderEngine::LoadImage(L"7", L"MVIMGRES", 0xFFFF00FF));
    ASSERT_TRUE(byNumber);
    EXPECT_EQ(StoredPixel(*byNumber, 1, 1), 0u);
    EXPECT_TRUE(byNumber->bAlpha);

    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImage(L"absent.png", L"MVIMGRES")));
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImage(L"quad.png", L"OTHERTYPE")));
}

TEST_F(LoadImageTest, FilesUnderTheResourcePath)
{
    const std::wstring folder = testsupport::FreshTempFolder(L"images");
    const std::vector<unsigned char> png = testsupport::EncodePng(testsupport::Picture(3, 3, 0xFF0000FF));
    testsupport::WriteFileText(folder + L"\\blue.png", std::string(png.begin(), png.end()));
    testsupport::WriteFileText(folder + L"\\broken.png", std::string(png.begin(), png.begin() + 20));
    CPaintManagerUI::SetResourcePath(folder.c_str());

    const ImagePtr blue = ImagePtr(CRenderEngine::LoadImage(L"blue.png"));
    ASSERT_TRUE(blue);
    EXPECT_EQ(StoredPixel(*blue, 2, 2), 0xFF0000FFu);
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImage(L"broken.png")));
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImage(L"missing.png")));

    // The last chance: a full file name by itself.
    CPaintManagerUI::SetResourcePath(L"");
    EXPECT_TRUE(ImagePtr(CRenderEngine::LoadImage((folder + L"\\blue.png").c_str())));

    DeleteFileW((folder + L"\\blue.png").c_str());
    DeleteFileW((folder + L"\\broken.png").c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
