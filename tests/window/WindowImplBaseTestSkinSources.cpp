// Where the template window reads its skin from: a folder, a zip file in the
// folder, a numbered "xml" resource, or a zip compiled in as a "ZIPRES"
// resource (read once for the process).
#include "TemplateTestSupport.h"

#include "../support/ZipWriter.h"

using testsupport::SkinWindow;

namespace {

const char kZipSkin[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                        "<Window size=\"150,70\">\n"
                        "  <VerticalLayout name=\"ziproot\" bkcolor=\"#FF0000FF\">\n"
                        "    <Include source=\"part.xml\" />\n"
                        "  </VerticalLayout>\n"
                        "</Window>\n";
const char kZipPart[] = "<Window>\n"
                        "  <Label name=\"zippart\" text=\"included from the same archive\" />\n"
                        "</Window>\n";

using WindowSkinSourcesTest = testsupport::SkinSettingsTest;

SIZE ClientSize(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return SIZE{rc.right, rc.bottom};
}

} // namespace

TEST_F(WindowSkinSourcesTest, SkinFileInTheSkinFolderBelowTheInstance)
{
    // With no resource path set, the instance's folder and the skin directory name it.
    SkinWindow window(L"round.xml");
    window.skinDirectory = L"template_data\\";
    ASSERT_NE(window.Open(), nullptr);
    EXPECT_EQ(std::wstring(Facet::CPaintManagerUI::GetResourcePath().GetData()), testsupport::DataFolder());
    EXPECT_NE(window.Find(L"root"), nullptr);
    EXPECT_EQ(window.initCount, 1);
}

TEST_F(WindowSkinSourcesTest, SkinInsideAZipFile)
{
    const std::wstring folder = testsupport::FreshTempFolder(L"template-zip");
    testsupport::ZipWriter zip;
    zip.Add("Skin/Main.xml", kZipSkin);
    zip.Add("part.xml", kZipPart, testsupport::ZipWriter::Method::Stored);
    ASSERT_TRUE(zip.WriteTo(folder + L"\\skins.zip"));

    // A resource path set beforehand is kept; entry names are found without regard to case.
    Facet::CPaintManagerUI::SetResourcePath(folder.c_str());
    SkinWindow window(L"skin/main.xml", Facet::FACET_SKIN_ZIP);
    window.zipFile = L"skins.zip";
    ASSERT_NE(window.Open(), nullptr);
    EXPECT_EQ(std::wstring(Facet::CPaintManagerUI::GetResourceZip().GetData()), L"skins.zip");
    EXPECT_TRUE(Facet::CPaintManagerUI::IsCachedResourceZip());
    EXPECT_NE(window.Find(L"ziproot"), nullptr);
    EXPECT_NE(window.Find(L"zippart"), nullptr);
    const SIZE size = ClientSize(window.GetHWND());
    EXPECT_EQ(size.cx, 150);
    EXPECT_EQ(size.cy, 70);
}

TEST_F(WindowSkinSourcesTest, SkinAsANumberedXmlResource)
{
    SkinWindow window(L"201", Facet::FACET_SKIN_RESOURCE);
    ASSERT_NE(window.Open(), nullptr);
    EXPECT_NE(window.Find(L"resourceroot"), nullptr);
    const SIZE size = ClientSize(window.GetHWND());
    EXPECT_EQ(size.cx, 140);
    EXPECT_EQ(size.cy, 90);
}

TEST_F(WindowSkinSourcesTest, SkinInsideAnEmbeddedZipIsReadOnce)
{
    SkinWindow first(L"main.xml", Facet::FACET_SKIN_ZIPRESOURCE);
    first.resourceId = L"SKINZIP";
    ASSERT_NE(first.Open(), nullptr);
    EXPECT_NE(first.Find(L"embeddedlabel"), nullptr);
    EXPECT_TRUE(Facet::CPaintManagerUI::IsResourceZipInMemory());
    const Facet::CZipArchive* archive = Facet::CPaintManagerUI::GetResourceZipHandle();
    ASSERT_NE(archive, nullptr);
    const BYTE* bytes = SkinWindow::GetResourceZipBuffer();
    ASSERT_NE(bytes, nullptr);
    const SIZE size = ClientSize(first.GetHWND());
    EXPECT_EQ(size.cx, 160);
    EXPECT_EQ(size.cy, 100);

    // A second window of the same embedded zip uses the bytes and the archive
    // already open.
    SkinWindow second(L"main.xml", Facet::FACET_SKIN_ZIPRESOURCE);
    second.resourceId = L"SKINZIP";
    ASSERT_NE(second.Open(), nullptr);
    EXPECT_NE(second.Find(L"embeddedroot"), nullptr);
    EXPECT_EQ(Facet::CPaintManagerUI::GetResourceZipHandle(), archive);
    EXPECT_EQ(SkinWindow::GetResourceZipBuffer(), bytes);

    // After the skins were read from files meanwhile, the kept bytes serve again.
    Facet::CPaintManagerUI::SetResourceZip(L"", false);
    SkinWindow third(L"main.xml", Facet::FACET_SKIN_ZIPRESOURCE);
    third.resourceId = L"SKINZIP";
    ASSERT_NE(third.Open(), nullptr);
    EXPECT_NE(third.Find(L"embeddedroot"), nullptr);
    EXPECT_EQ(SkinWindow::GetResourceZipBuffer(), bytes);
}

TEST_F(WindowSkinSourcesTest, MissingEmbeddedZipLeavesAnEmptyWindow)
{
    SkinWindow window(L"main.xml", Facet::FACET_SKIN_ZIPRESOURCE);
    window.resourceId = L"NOSUCHZIP";
    ASSERT_NE(window.Open(), nullptr);
    EXPECT_TRUE(::IsWindow(window.GetHWND()));
    EXPECT_EQ(window.GetPaintManager().GetRoot(), nullptr);
    EXPECT_EQ(window.initCount, 0);
}
