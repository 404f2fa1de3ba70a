#include "render/RenderEngine.h"
#include "core/DpiManager.h"

#include "../support/TestImages.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace Facet;
using testsupport::EncodePng;
using testsupport::Picture;

namespace {

struct ImageDeleter
{
    void operator()(TImageInfo* image) const { CRenderEngine::FreeImage(image); }
};
using ImagePtr = std::unique_ptr<TImageInfo, ImageDeleter>;

ImagePtr Decode(const std::vector<unsigned char>& bytes, const wchar_t* name = L"image.png", DWORD mask = 0)
{
    return ImagePtr(CRenderEngine::DecodeImage(bytes.data(), bytes.size(), name, mask));
}

uint32_t StoredPixel(const TImageInfo& image, int x, int y)
{
    GdiFlush();
    return reinterpret_cast<const uint32_t*>(image.pBits)[y * image.nX + x];
}

ImagePtr DecodeSvg(const std::string& text, const wchar_t* name = L"icon.svg")
{
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    return Decode(bytes, name);
}

int g_dpi = 96;
int TestDpi()
{
    return g_dpi;
}

TEST(ImageLoading, PixelsArePremultipliedTopDownAndAlphaIsNoted)
{
    Picture picture(3, 2, 0xFF102030);
    picture.At(1, 0) = 0x80C86432; // half-transparent (200, 100, 50)
    picture.At(2, 1) = 0x00FFFFFF; // fully transparent white
    const ImagePtr image = Decode(EncodePng(picture));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->nX, 3);
    EXPECT_EQ(image->nY, 2);
    EXPECT_TRUE(image->bAlpha);
    EXPECT_FALSE(image->bUseHSL);
    EXPECT_EQ(image->pSrcBits, nullptr);
    EXPECT_EQ(StoredPixel(*image, 0, 0), 0xFF102030u);
    EXPECT_EQ(StoredPixel(*image, 1, 0), (0x80u << 24) | (100u << 16) | (50u << 8) | 25u);
    EXPECT_EQ(StoredPixel(*image, 2, 1), 0u);

    const ImagePtr opaque = Decode(EncodePng(Picture(4, 4, 0xFF00FF00)));
    ASSERT_TRUE(opaque);
    EXPECT_FALSE(opaque->bAlpha);
}

TEST(ImageLoading, MaskColourMakesMatchingOpaquePixelsTransparent)
{
    Picture picture(2, 1, 0xFFFF00FF);
    picture.At(1, 0) = 0xFF00FF00;
    const ImagePtr image = Decode(EncodePng(picture), L"chk.png", 0xFFFF00FF);
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->bAlpha);
    EXPECT_EQ(StoredPixel(*image, 0, 0), 0u);
    EXPECT_EQ(StoredPixel(*image, 1, 0), 0xFF00FF00u);
}

TEST(ImageLoading, BadBytesGiveNoImage)
{
    std::vector<unsigned char> png = EncodePng(Picture(16, 16, 0xFF123456));
    EXPECT_FALSE(Decode(std::vector<unsigned char>(png.begin(), png.begin() + png.size() / 2)));
    EXPECT_FALSE(Decode(std::vector<unsigned char>()));
    EXPECT_FALSE(Decode(std::vector<unsigned char>{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}));

    // A PNG header that claims 100000 x 100000 pixels is refused before any memory is asked for.
    std::vector<unsigned char> huge = png;
    const unsigned char extent[4] = {0x00, 0x01, 0x86, 0xA0};
    std::memcpy(&huge[16], extent, 4);
    std::memcpy(&huge[20], extent, 4);
    EXPECT_FALSE(Decode(huge));
}

TEST(ImageLoading, SvgIsRasterisedAtTheWindowScale)
{
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='20'>"
                            "<rect x='0' y='0' width='10' height='20' fill='#FF0000'/></svg>";
    DpiManager::GetInstance()->SetDpiSource(TestDpi);
    g_dpi = 96;
    const ImagePtr plain = DecodeSvg(svg);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->nX, 10);
    EXPECT_EQ(plain->nY, 20);
    EXPECT_EQ(StoredPixel(*plain, 5, 10), 0xFFFF0000u);

    g_dpi = 120;
    const ImagePtr scaled = DecodeSvg(svg, L"icon.SVG");
    DpiManager::GetInstance()->SetDpiSource(nullptr);
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->nX, 12);
    EXPECT_EQ(scaled->nY, 25);
}

TEST(ImageLoading, OnlyTheSvgExtensionAfterTheFirstDotMeansSvg)
{
    const std::string svg = "<svg width='4' height='4'><rect width='4' height='4' fill='#00FF00'/></svg>";
    EXPECT_TRUE(DecodeSvg(svg, L"a.svg"));
    // These names are not SVG, so the same bytes go to the raster decoder and fail.
    EXPECT_FALSE(DecodeSvg(svg, L"a.Svg"));
    EXPECT_FALSE(DecodeSvg(svg, L"a.b.svg"));
    EXPECT_FALSE(DecodeSvg(svg, L".svg"));
}

TEST(ImageLoading, BrokenOrOversizedSvgGivesNoImageAndSaysWhy)
{
    testsupport::StartCapturingStdout();
    EXPECT_FALSE(DecodeSvg("this is not svg"));
    EXPECT_EQ(testsupport::CapturedStdout(), "Could not open SVG image.\n");

    testsupport::StartCapturingStdout();
    EXPECT_FALSE(DecodeSvg("<svg width='100000' height='100000'></svg>"));
    EXPECT_EQ(testsupport::CapturedStdout(), "Could not alloc image buffer.\n");

    EXPECT_FALSE(DecodeSvg("<svg width='0' height='10'></svg>"));
    EXPECT_FALSE(DecodeSvg("<svg width='-5' height='10'></svg>"));
}

} // namespace
