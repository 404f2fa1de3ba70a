// Loading skin documents by name from the resource folder, a zip file or a zip in memory.
#include "core/Markup.h"

#include "MarkupTestSupport.h"
#include "core/PaintManager.h"

#include "../support/TestFiles.h"
#include "../support/ZipWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Facet::CMarkup;
using Facet::CPaintManagerUI;
using testsupport::ErrorLocation;
using testsupport::ErrorMessage;
using testsupport::ZipWriter;

namespace {

const unsigned long kLimit = 0x400000; // 4 MiB

// A skin document padded with blanks to exactly `size` bytes.
std::string PaddedSkin(size_t size)
{
    std::string xml = "<Window size=\"1,2\"/>";
    xml.resize(size, ' ');
    return xml;
}

// Every test starts with skins read from files in a fresh resource folder and puts
// the process-wide settings back afterwards.
class MarkupFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetSources();
        folder = testsupport::FreshTempFolder(L"markup");
        CPaintManagerUI::SetResourcePath(folder.c_str());
    }
    void TearDown() override
    {
        ResetSources();
        for (const std::wstring& path : files)
            DeleteFileW(path.c_str());
        RemoveDirectoryW(folder.c_str());
    }
    static void ResetSources()
    {
        CPaintManagerUI::Term();
        CPaintManagerUI::SetResourceZip(L"", false);
        CPaintManagerUI::SetResourcePath(L"");
    }
    std::wstring Write(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = folder + L"\\" + name;
        testsupport::WriteFileText(path, bytes);
        files.push_back(path);
        return path;
    }
    std::wstring WriteZip(const std::wstring& name, const ZipWriter& zip)
    {
        const std::wstring path = folder + L"\\" + name;
        EXPECT_TRUE(zip.WriteTo(path));
        files.push_back(path);
        return path;
    }
    void ExpectFailure(CMarkup& markup, const wchar_t* name, const wchar_t* message)
    {
        EXPECT_FALSE(markup.LoadFromFile(name)) << name;
        EXPECT_EQ(ErrorMessage(markup), message) << name;
        EXPECT_EQ(ErrorLocation(markup), L"") << name;
        EXPECT_FALSE(markup.IsValid()) << name;
        EXPECT_FALSE(markup.GetRoot().IsValid()) << name;
    }

    std::wstring folder;
    std::vector<std::wstring> files;
};

ZipWriter SkinArchive()
{
    ZipWriter zip;
    zip.Add("skin/main.xml", "\xEF\xBB\xBF<Window caption=\"0,0,0,30\"><Button name=\"close\"/></Window>");
    zip.Add("broken.xml", "<Window><Button></Window>");
    zip.Add("empty.xml", "", ZipWriter::Method::Stored);
    zip.Add("huge.xml", PaddedSkin(kLimit + 1));
    zip.Add("limit.xml", PaddedSkin(kLimit));
    zip.Add("crc.xml", "<Window/>", ZipWriter::Method::Deflated, ZipWriter::Damage::WrongCrc);
    zip.Add("short.xml", "<Window/>", ZipWriter::Method::Stored, ZipWriter::Damage::SizeTooLarge);
    return zip;
}

void ExpectMainSkin(CMarkup& markup)
{
    ASSERT_TRUE(markup.GetRoot().IsValid());
    EXPECT_STREQ(markup.GetRoot().GetName(), L"Window");
    EXPECT_STREQ(markup.GetRoot().GetChild().GetAttributeValue(L"name"), L"close");
}

} // namespace

TEST_F(MarkupFile, FilesWithAndWithoutByteOrderMarkLoadTheSame)
{
    const std::string xml = "<Window caption=\"\xE4\xBC\x9A\"><Button name=\"close\"/></Window>";
    Write(L"plain.xml", xml);
    Write(L"marked.xml", "\xEF\xBB\xBF" + xml);
    Write(L"wide.xml", std::string("\xFF\xFE<\0A\0/\0>\0", 10));

    CMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"plain.xml"));
    ExpectMainSkin(markup);
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"caption"), L"\u4F1A");
    ASSERT_TRUE(markup.LoadFromFile(L"marked.xml", 0));
    ExpectMainSkin(markup);
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"caption"), L"\u4F1A");
    ASSERT_TRUE(markup.LoadFromFile(L"wide.xml", 1));
    EXPECT_STREQ(markup.GetRoot().GetName(), L"A");
}

TEST_F(MarkupFile, FileFailuresReportTheirMessageAndReleaseTheFile)
{
    const std::wstring empty = Write(L"empty.xml", "");
    const std::wstring huge = Write(L"huge.xml", PaddedSkin(kLimit + 1));
    Write(L"limit.xml", PaddedSkin(kLimit));
    Write(L"broken.xml", "<Window><Button></Window>");

    CMarkup markup;
    ExpectFailure(markup, L"missing.xml", L"Error opening file");
    ExpectFailure(markup, L"empty.xml", L"File is empty");
    ExpectFailure(markup, L"huge.xml", L"File too large");
    ExpectFailure(markup, L"", L"Error opening file");

    // The failed loads left no handle open on the files.
    EXPECT_TRUE(DeleteFileW(empty.c_str()));
    EXPECT_TRUE(DeleteFileW(huge.c_str()));

    ASSERT_TRUE(markup.LoadFromFile(L"limit.xml"));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"size"), L"1,2");

    EXPECT_FALSE(markup.LoadFromFile(L"broken.xml"));
    EXPECT_EQ(ErrorMessage(markup), L"Unmatched closing tag");
    EXPECT_EQ(ErrorLocation(markup), L"Window>");
}

TEST_F(MarkupFile, ZipFileOpenedForEachLoad)
{
    const std::wstring zip = WriteZip(L"skin.zip", SkinArchive());
    CPaintManagerUI::SetResourceZip(L"skin.zip", false);

    CMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"SKIN\\Main.xml"));
    ExpectMainSkin(markup);
    ASSERT_TRUE(markup.LoadFromFile(L"limit.xml"));

    ExpectFailure(markup, L"absent.xml", L"Could not find ziped file");
    ExpectFailure(markup, L"empty.xml", L"File is empty");
    ExpectFailure(markup, L"huge.xml", L"File too large");
    ExpectFailure(markup, L"crc.xml", L"Could not unzip file");
    ExpectFailure(markup, L"short.xml", L"Could not unzip file");
    EXPECT_FALSE(markup.LoadFromFile(L"broken.xml"));
    EXPECT_EQ(ErrorMessage(markup), L"Unmatched closing tag");

    // Every load closed the archive again, failures included.
    EXPECT_TRUE(DeleteFileW(zip.c_str()));
    ExpectFailure(markup, L"skin/main.xml", L"Error opening zip file");
}

TEST_F(MarkupFile, CachedZipFileAndZipInMemory)
{
    WriteZip(L"skin.zip", SkinArchive());
    CPaintManagerUI::SetResourceZip(L"skin.zip", true);
    CMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"skin/main.xml"));
    ExpectMainSkin(markup);
    ExpectFailure(markup, L"crc.xml", L"Could not unzip file");
    ASSERT_TRUE(markup.LoadFromFile(L"skin/MAIN.xml")); // the kept archive still reads after a failure

    const std::string bytes = SkinArchive().Bytes();
    CPaintManagerUI::SetResourceZip(bytes.data(), static_cast<unsigned int>(bytes.size()));
    ASSERT_TRUE(markup.LoadFromFile(L"skin/main.xml"));
    ExpectMainSkin(markup);
    ExpectFailure(markup, L"absent.xml", L"Could not find ziped file");
    ExpectFailure(markup, L"short.xml", L"Could not unzip file");
    CPaintManagerUI::Term();
}

TEST_F(MarkupFile, MissingCachedZipFailsEveryLoad)
{
    CPaintManagerUI::SetResourceZip(L"nowhere.zip", true);
    CMarkup markup;
    ExpectFailure(markup, L"skin/main.xml", L"Error opening zip file");
}
