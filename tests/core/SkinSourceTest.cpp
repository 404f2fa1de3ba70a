#include "SkinTestSupport.h"

#include "../support/ZipWriter.h"
#include "core/SystemLibrary.h"
#include "core/ZipArchive.h"

#include <string>

using Facet::CPaintManagerUI;
using Facet::CSkinSource;
using Facet::STRINGorID;
using testsupport::SkinTest;
using testsupport::Text;
using testsupport::ZipWriter;

namespace {

// -- settings --

TEST_F(SkinTest, ResourcePathEndsWithASeparator)
{
    CPaintManagerUI::SetResourcePath(L"C:\\skins");
    EXPECT_STREQ(L"C:\\skins\\", CPaintManagerUI::GetResourcePath());
    CPaintManagerUI::SetResourcePath(L"C:\\skins\\");
    EXPECT_STREQ(L"C:\\skins\\", CPaintManagerUI::GetResourcePath());
    CPaintManagerUI::SetResourcePath(L"C:/skins/");
    EXPECT_STREQ(L"C:/skins/", CPaintManagerUI::GetResourcePath());
    CPaintManagerUI::SetResourcePath(L"");
    EXPECT_STREQ(L"", CPaintManagerUI::GetResourcePath());
    CPaintManagerUI::SetResourcePath(nullptr);
    EXPECT_STREQ(L"", CPaintManagerUI::GetResourcePath());
}

TEST_F(SkinTest, ResourceModuleDefaultsToTheInstance)
{
    HINSTANCE self = GetModuleHandleW(nullptr);
    CPaintManagerUI::SetInstance(self);
    EXPECT_EQ(self, CPaintManagerUI::GetResourceDll());
    HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
    CPaintManagerUI::SetResourceDll(other);
    EXPECT_EQ(other, CPaintManagerUI::GetResourceDll());
    EXPECT_EQ(self, CPaintManagerUI::GetInstance());
}

TEST_F(SkinTest, InstancePathIsTheProgramFolder)
{
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    EXPECT_EQ(testsupport::ProgramFolder() + L"\\", std::wstring(CPaintManagerUI::GetInstancePath()));
    CPaintManagerUI::SetInstance(nullptr);
    EXPECT_TRUE(CPaintManagerUI::GetInstancePath().IsEmpty());
}

TEST_F(SkinTest, InstancePathOfAModuleBeyondTheClassicPathLimit)
{
    // A folder chain well beyond 260 characters, made through the long-path prefix.
    std::wstring deep = folder;
    std::vector<std::wstring> made;
    while (deep.size() < 400) {
        deep += L"\\a-rather-long-folder-name-for-this-test";
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
        made.push_back(deep);
    }
    const std::wstring source = testsupport::ProgramFolder() + L"\\skin_probe_module.dll";
    const std::wstring target = deep + L"\\skin_probe_module.dll";
    ASSERT_TRUE(CopyFileW(source.c_str(), (L"\\\\?\\" + target).c_str(), FALSE));

    HMODULE module = LoadLibraryW((L"\\\\?\\" + target).c_str());
    if (module == nullptr) {
        DeleteFileW((L"\\\\?\\" + target).c_str());
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            RemoveDirectoryW((L"\\\\?\\" + *it).c_str());
        GTEST_SKIP() << "the system does not load modules from long paths";
    }
    CPaintManagerUI::SetInstance(module);
    const std::wstring path(CPaintManagerUI::GetInstancePath());
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    FreeLibrary(module);
    DeleteFileW((L"\\\\?\\" + target).c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryW((L"\\\\?\\" + *it).c_str());

    // The name may come back with or without the long-path prefix; the folder is whole.
    ASSERT_GT(path.size(), 400u);
    EXPECT_EQ(L'\\', path.back());
    EXPECT_NE(std::wstring::npos, path.find(deep.substr(deep.size() - 120) + L"\\"));
}

TEST_F(SkinTest, CurrentPathFollowsTheProcess)
{
    const std::wstring before(CPaintManagerUI::GetCurrentPath());
    CPaintManagerUI::SetCurrentPath(folder.c_str());
    EXPECT_EQ(0, _wcsicmp(folder.c_str(), CPaintManagerUI::GetCurrentPath()));
    CPaintManagerUI::SetCurrentPath(before.c_str());
    EXPECT_EQ(before, std::wstring(CPaintManagerUI::GetCurrentPath()));
}

// -- documents from files --

TEST_F(SkinTest, DocumentFromTheResourceFolder)
{
    WriteFile(L"main.xml", "<Window/>");
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"main.xml", bytes));
    EXPECT_EQ("<Window/>", Text(bytes));

    EXPECT_EQ(CSkinSource::kFileOpenFailed, CSkinSource::ReadDocument(L"absent.xml", bytes));
    EXPECT_TRUE(bytes.empty());
    WriteFile(L"empty.xml", "");
    EXPECT_EQ(CSkinSource::kFileEmpty, CSkinSource::ReadDocument(L"empty.xml", bytes));
}

TEST_F(SkinTest, DocumentSizeLimit)
{
    WriteFile(L"limit.xml", std::string(CSkinSource::kDocumentSizeLimit, 'a'));
    WriteFile(L"over.xml", std::string(CSkinSource::kDocumentSizeLimit + 1, 'a'));
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"limit.xml", bytes));
    EXPECT_EQ(CSkinSource::kDocumentSizeLimit, bytes.size());
    EXPECT_EQ(CSkinSource::kFileTooLarge, CSkinSource::ReadDocument(L"over.xml", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"over.xml", bytes, CSkinSource::kNoSizeLimit));
}

TEST_F(SkinTest, StatusMessagesAreTheParserTexts)
{
    EXPECT_STREQ(L"Error opening file", CSkinSource::GetStatusMessage(CSkinSource::kFileOpenFailed));
    EXPECT_STREQ(L"File is empty", CSkinSource::GetStatusMessage(CSkinSource::kFileEmpty));
    EXPECT_STREQ(L"File too large", CSkinSource::GetStatusMessage(CSkinSource::kFileTooLarge));
    EXPECT_STREQ(L"Could not read file", CSkinSource::GetStatusMessage(CSkinSource::kFileReadFailed));
    EXPECT_STREQ(L"Error opening zip file", CSkinSource::GetStatusMessage(CSkinSource::kZipOpenFailed));
    EXPECT_STREQ(L"Could not find ziped file", CSkinSource::GetStatusMessage(CSkinSource::kZipEntryMissing));
    EXPECT_STREQ(L"Could not unzip file", CSkinSource::GetStatusMessage(CSkinSource::kZipEntryReadFailed));
}

// -- documents from a zip file --

// A zip file beside the test program, named after the running test.
class SkinZipTest : public SkinTest
{
protected:
    void SetUp() override
    {
        SkinTest::SetUp();
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(info->name()) + "-" + std::to_string(GetCurrentProcessId()) + ".zip";
        zipName = std::wstring(name.begin(), name.end());
        CPaintManagerUI::SetResourcePath(testsupport::ProgramFolder().c_str());
        zipPath = testsupport::ProgramFolder() + L"\\" + zipName;
    }
    void TearDown() override
    {
        SkinTest::TearDown(); // closes the archive first
        DeleteFileW(zipPath.c_str());
    }
    void WriteZip(const std::string& mainXml)
    {
        ZipWriter zip;
        zip.Add("skin/main.xml", mainXml);
        zip.Add("empty.xml", "");
        zip.Add("broken.xml", "<Window>damaged</Window>", ZipWriter::Method::Deflated, ZipWriter::Damage::WrongCrc);
        ASSERT_TRUE(zip.WriteTo(zipPath));
    }

    std::wstring zipName;
    std::wstring zipPath;
};

TEST_F(SkinZipTest, EntriesOfAZipFile)
{
    WriteZip("<Window>zipped</Window>");
    CPaintManagerUI::SetResourceZip(zipName.c_str(), true);
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"SKIN\\Main.XML", bytes));
    EXPECT_EQ("<Window>zipped</Window>", Text(bytes));
    EXPECT_EQ(CSkinSource::kZipEntryMissing, CSkinSource::ReadDocument(L"absent.xml", bytes));
    EXPECT_EQ(CSkinSource::kFileEmpty, CSkinSource::ReadDocument(L"empty.xml", bytes));
    EXPECT_EQ(CSkinSource::kZipEntryReadFailed, CSkinSource::ReadDocument(L"broken.xml", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(CSkinSource::kFileTooLarge, CSkinSource::ReadDocument(L"skin/main.xml", bytes, 10));
    // The archive is still usable after the failures.
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"skin/main.xml", bytes));
}

TEST_F(SkinZipTest, CachedArchiveIsOpenedOnceWhenSet)
{
    // Opened when set: an archive that appears later is never seen.
    CPaintManagerUI::SetResourceZip(zipName.c_str(), true);
    EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
    WriteZip("<Window/>");
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kZipOpenFailed, CSkinSource::ReadDocument(L"skin/main.xml", bytes));

    // Setting the same name and flag again changes nothing.
    CPaintManagerUI::SetResourceZip(zipName.c_str(), true);
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());

    // A change of setting opens it; every load then uses that one handle.
    CPaintManagerUI::SetResourceZip(zipName.c_str(), false);
    CPaintManagerUI::SetResourceZip(zipName.c_str(), true);
    Facet::CZipArchive* handle = CPaintManagerUI::GetResourceZipHandle();
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"skin/main.xml", bytes));
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"skin/main.xml", bytes));
    EXPECT_EQ(handle, CPaintManagerUI::GetResourceZipHandle());

    CPaintManagerUI::Term();
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
}

TEST_F(SkinZipTest, CachedArchiveClosedByTermIsOpenedWhenSetAgain)
{
    WriteZip("<Window>zipped</Window>");
    CPaintManagerUI::SetResourceZip(zipName.c_str(), true);
    ASSERT_NE(nullptr, CPaintManagerUI::GetResourceZipHandle());
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"skin/main.xml", bytes));

    CPaintManagerUI::Term();
    EXPECT_EQ(CSkinSource::kZipOpenFailed, CSkinSource::ReadDocument(L"skin/main.xml", bytes));
    // The same setting again after Term opens the archive again.
    CPaintManagerUI::SetResourceZip(zipName.c_str(), true);
    EXPECT_NE(nullptr, CPaintManagerUI::GetResourceZipHandle());
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"skin/main.xml", bytes));
    EXPECT_EQ("<Window>zipped</Window>", Text(bytes));
}

TEST_F(SkinZipTest, UncachedArchiveIsOpenedForEveryLoad)
{
    CPaintManagerUI::SetResourceZip(zipName.c_str());
    EXPECT_FALSE(CPaintManagerUI::IsCachedResourceZip());
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kZipOpenFailed, CSkinSource::ReadDocument(L"skin/main.xml", bytes));

    WriteZip("<Window>first</Window>");
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"skin/main.xml", bytes));
    EXPECT_EQ("<Window>first</Window>", Text(bytes));
    // Closed again after the load: the file can be replaced and the next load sees it.
    WriteZip("<Window>second</Window>");
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"skin/main.xml", bytes));
    EXPECT_EQ("<Window>second</Window>", Text(bytes));
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
    EXPECT_TRUE(DeleteFileW(zipPath.c_str()));
}

// -- documents from a zip in memory --

TEST_F(SkinTest, ZipInMemoryIsAlwaysKeptOpen)
{
    ZipWriter first;
    first.Add("main.xml", "<Window>memory one</Window>");
    const std::string firstBytes = first.Bytes();
    // A file under the marker name must never be read in its place.
    ZipWriter decoy;
    decoy.Add("main.xml", "<Window>file named membuffer</Window>");
    ASSERT_TRUE(decoy.WriteTo(folder + L"\\membuffer"));
    Own(folder + L"\\membuffer");

    // After an uncached zip file setting, the archive in memory is still kept open.
    CPaintManagerUI::SetResourceZip(L"other.zip", false);
    CPaintManagerUI::SetResourceZip(firstBytes.data(), static_cast<unsigned int>(firstBytes.size()));
    EXPECT_STREQ(L"membuffer", CPaintManagerUI::GetResourceZip());
    EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
    EXPECT_TRUE(CPaintManagerUI::IsResourceZipInMemory());
    Facet::CZipArchive* handle = CPaintManagerUI::GetResourceZipHandle();
    ASSERT_NE(nullptr, handle);

    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"main.xml", bytes));
    EXPECT_EQ("<Window>memory one</Window>", Text(bytes));

    // The same block again keeps the open archive.
    CPaintManagerUI::SetResourceZip(firstBytes.data(), static_cast<unsigned int>(firstBytes.size()));
    EXPECT_EQ(handle, CPaintManagerUI::GetResourceZipHandle());
    // Closed by Term, the same block is opened again when set again.
    CPaintManagerUI::Term();
    EXPECT_EQ(CSkinSource::kZipOpenFailed, CSkinSource::ReadDocument(L"main.xml", bytes));
    CPaintManagerUI::SetResourceZip(firstBytes.data(), static_cast<unsigned int>(firstBytes.size()));
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"main.xml", bytes));

    // A different block replaces it.
    ZipWriter second;
    second.Add("main.xml", "<Window>memory two</Window>");
    const std::string secondBytes = second.Bytes();
    CPaintManagerUI::SetResourceZip(secondBytes.data(), static_cast<unsigned int>(secondBytes.size()));
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"main.xml", bytes));
    EXPECT_EQ("<Window>memory two</Window>", Text(bytes));

    // So does the same block with another length (here: not a zip at all).
    CPaintManagerUI::SetResourceZip(secondBytes.data(), 10u);
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
    EXPECT_EQ(CSkinSource::kZipOpenFailed, CSkinSource::ReadDocument(L"main.xml", bytes));

    // A zip file setting afterwards leaves memory behind.
    CPaintManagerUI::SetResourceZip(L"", false);
    EXPECT_FALSE(CPaintManagerUI::IsResourceZipInMemory());
    WriteFile(L"main.xml", "<Window>plain file</Window>");
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadDocument(L"main.xml", bytes));
    EXPECT_EQ("<Window>plain file</Window>", Text(bytes));
}

// -- compiled resources and images --

TEST_F(SkinTest, ResourcesOfTheModule)
{
    HMODULE self = GetModuleHandleW(nullptr);
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadResource(self, STRINGorID(300u), L"XML", bytes));
    EXPECT_EQ(0u, Text(bytes).find("<?xml"));
    EXPECT_NE(std::string::npos, Text(bytes).find("from resource"));
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadResource(self, L"skintestimage", L"MVIMGRES", bytes));
    EXPECT_EQ("MVIMGRES bytes of a named image", Text(bytes));
    EXPECT_EQ(CSkinSource::kResourceMissing, CSkinSource::ReadResource(self, STRINGorID(999u), L"XML", bytes));
    EXPECT_EQ(CSkinSource::kResourceMissing, CSkinSource::ReadResource(self, STRINGorID(300u), L"OTHER", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(CSkinSource::kFileTooLarge, CSkinSource::ReadResource(self, STRINGorID(300u), L"XML", bytes, 8));
}

TEST_F(SkinTest, ImageOfAResourceType)
{
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(L"SKINTESTIMAGE", L"MVIMGRES", bytes));
    EXPECT_EQ("MVIMGRES bytes of a named image", Text(bytes));
    // A name that starts with a digit is a resource number.
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(L"7", L"MVIMGRES", bytes));
    EXPECT_EQ("MVIMGRES bytes of image number 7", Text(bytes));
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(STRINGorID(7u), L"MVIMGRES", bytes));
    EXPECT_EQ("MVIMGRES bytes of image number 7", Text(bytes));

    // Resources come from the resource module: another module has none of these.
    CPaintManagerUI::SetResourceDll(GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(CSkinSource::kResourceMissing, CSkinSource::ReadImage(L"7", L"MVIMGRES", bytes));
}

TEST_F(SkinTest, ImageFromFilesZipOrTheBareName)
{
    WriteFile(L"logo.png", "file image");
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(L"logo.png", nullptr, bytes));
    EXPECT_EQ("file image", Text(bytes));
    // The colour type is no resource type.
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(L"logo.png", CSkinSource::kColorType, bytes));

    ZipWriter zip;
    zip.Add("img/logo.png", "zipped image");
    const std::string zipBytes = zip.Bytes();
    CPaintManagerUI::SetResourceZip(zipBytes.data(), static_cast<unsigned int>(zipBytes.size()));
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(L"img/logo.png", nullptr, bytes));
    EXPECT_EQ("zipped image", Text(bytes));

    // Not in the archive: the name itself, absolute...
    const std::wstring elsewhere = WriteFile(L"elsewhere.png", "absolute image");
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(elsewhere.c_str(), nullptr, bytes));
    EXPECT_EQ("absolute image", Text(bytes));
    // ...or relative to the current folder.
    const std::wstring before(CPaintManagerUI::GetCurrentPath());
    CPaintManagerUI::SetCurrentPath(folder.c_str());
    const CSkinSource::Status relative = CSkinSource::ReadImage(L"elsewhere.png", nullptr, bytes);
    CPaintManagerUI::SetCurrentPath(before.c_str());
    EXPECT_EQ(CSkinSource::kOk, relative);
    EXPECT_EQ("absolute image", Text(bytes));

    // Found nowhere: the archive's answer is reported.
    EXPECT_EQ(CSkinSource::kZipEntryMissing, CSkinSource::ReadImage(L"none.png", nullptr, bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(SkinTest, ImageOfAMissingResourceFallsBackToTheBareName)
{
    const std::wstring path = WriteFile(L"fallback.png", "bare name image");
    std::vector<unsigned char> bytes;
    EXPECT_EQ(CSkinSource::kOk, CSkinSource::ReadImage(path.c_str(), L"MVIMGRES", bytes));
    EXPECT_EQ("bare name image", Text(bytes));
    EXPECT_EQ(CSkinSource::kResourceMissing, CSkinSource::ReadImage(L"NOSUCHIMAGE", L"MVIMGRES", bytes));
}

// The libraries the framework loads for itself (and the updater's signature
// check) come from the system folder only: a module of the same name beside
// the program is not loaded in its place.
TEST(SystemLibrary, LoadsFromTheSystemFolderOnlyAndFreesWithTheOwner)
{
    // skin_probe_module.dll lies beside this program and nowhere else.
    ASSERT_NE(GetFileAttributesW((testsupport::ProgramFolder() + L"\\skin_probe_module.dll").c_str()),
              INVALID_FILE_ATTRIBUTES);
    const Facet::SystemLibrary planted(L"skin_probe_module.dll");
    EXPECT_FALSE(static_cast<bool>(planted));
    EXPECT_NE(planted.Error(), 0u);
    EXPECT_EQ(GetModuleHandleW(L"skin_probe_module.dll"), nullptr);

    {
        const Facet::SystemLibrary version(L"version.dll");
        ASSERT_TRUE(static_cast<bool>(version)) << version.Error();
        EXPECT_EQ(version.Error(), 0u);
        EXPECT_NE(version.Procedure<FARPROC>("GetFileVersionInfoSizeW"), nullptr);
        EXPECT_EQ(version.Procedure<FARPROC>("NoSuchProcedure"), nullptr);
        EXPECT_EQ(GetModuleHandleW(L"version.dll"), version.Get());
    }
}

} // namespace
