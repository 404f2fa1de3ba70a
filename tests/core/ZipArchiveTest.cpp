// The zip archive reader behind skin archives: files and memory blocks, entry lookup, inflating.
#include "core/ZipArchive.h"

#include "../support/TestFiles.h"
#include "../support/ZipWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Facet::CZipArchive;
using testsupport::ZipWriter;

namespace {

std::string Read(CZipArchive& archive, const wchar_t* name, bool* ok)
{
    unsigned long size = 0;
    *ok = false;
    if (!archive.FindEntry(name, &size))
        return std::string();
    std::vector<unsigned char> buffer(size + 1);
    *ok = archive.ReadEntry(buffer.data(), size);
    return std::string(buffer.begin(), buffer.begin() + size);
}

ZipWriter SampleArchive()
{
    ZipWriter zip;
    zip.Add("skin/Main.xml", "<Window size=\"680,440\"/>");
    zip.Add("readme.txt", "stored text stored text", ZipWriter::Method::Stored);
    zip.Add("empty.txt", "", ZipWriter::Method::Stored);
    zip.Add("big.txt", std::string(300000, 'z'));
    zip.Add("\xC3\x9C"
            "bersicht.xml",
            "<U/>", ZipWriter::Method::Deflated, ZipWriter::Damage::None, true);
    return zip;
}

} // namespace

TEST(MarkupZipArchive, FindsEntriesIgnoringCaseAndSeparatorAndInflatesThem)
{
    const std::string bytes = SampleArchive().Bytes();
    std::unique_ptr<CZipArchive> archive(
        CZipArchive::OpenMemory(bytes.data(), static_cast<unsigned int>(bytes.size())));
    ASSERT_TRUE(archive);

    bool ok = false;
    EXPECT_EQ(Read(*archive, L"SKIN\\main.XML", &ok), "<Window size=\"680,440\"/>");
    EXPECT_TRUE(ok);
    EXPECT_EQ(Read(*archive, L"skin/main.xml", &ok), "<Window size=\"680,440\"/>");
    EXPECT_TRUE(ok);
    EXPECT_EQ(Read(*archive, L"README.TXT", &ok), "stored text stored text");
    EXPECT_TRUE(ok);
    EXPECT_EQ(Read(*archive, L"big.txt", &ok), std::string(300000, 'z'));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Read(*archive, L"\u00FCbersicht.xml", &ok), "<U/>");
    EXPECT_TRUE(ok);

    unsigned long size = 99;
    ASSERT_TRUE(archive->FindEntry(L"empty.txt", &size));
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(archive->ReadEntry(nullptr, 0));

    EXPECT_FALSE(archive->FindEntry(L"main.xml", &size));
    EXPECT_FALSE(archive->FindEntry(L"skin/main.xm", &size));
    EXPECT_FALSE(archive->FindEntry(nullptr, &size));
}

TEST(MarkupZipArchive, ReadsOnlyTheWholeEntryOfTheCurrentEntry)
{
    const std::string bytes = SampleArchive().Bytes();
    std::unique_ptr<CZipArchive> archive(
        CZipArchive::OpenMemory(bytes.data(), static_cast<unsigned int>(bytes.size())));
    ASSERT_TRUE(archive);
    std::vector<unsigned char> buffer(400000);

    // Nothing is current before a successful lookup, nor after a failed one.
    EXPECT_FALSE(archive->ReadEntry(buffer.data(), 10));
    unsigned long size = 0;
    ASSERT_TRUE(archive->FindEntry(L"big.txt", &size));
    EXPECT_FALSE(archive->FindEntry(L"absent", &size));
    EXPECT_FALSE(archive->ReadEntry(buffer.data(), 300000));

    ASSERT_TRUE(archive->FindEntry(L"big.txt", &size));
    EXPECT_FALSE(archive->ReadEntry(buffer.data(), size - 1)); // more data than asked for
    EXPECT_FALSE(archive->ReadEntry(buffer.data(), size + 1)); // less data than asked for
    EXPECT_TRUE(archive->ReadEntry(buffer.data(), size));
    EXPECT_TRUE(archive->ReadEntry(buffer.data(), size)); // the entry stays current
}

TEST(MarkupZipArchive, DamagedEntriesFailToRead)
{
    const std::string text(5000, 'q');
    const ZipWriter::Damage damages[] = {ZipWriter::Damage::WrongCrc, ZipWriter::Damage::CorruptData,
                                         ZipWriter::Damage::SizeTooLarge, ZipWriter::Damage::SizeTooSmall};
    for (ZipWriter::Method method : {ZipWriter::Method::Stored, ZipWriter::Method::Deflated}) {
        for (ZipWriter::Damage damage : damages) {
            ZipWriter zip;
            zip.Add("e", text, method, damage);
            const std::string bytes = zip.Bytes();
            std::unique_ptr<CZipArchive> archive(
                CZipArchive::OpenMemory(bytes.data(), static_cast<unsigned int>(bytes.size())));
            ASSERT_TRUE(archive);
            bool ok = true;
            Read(*archive, L"e", &ok);
            EXPECT_FALSE(ok) << "method " << static_cast<int>(method) << " damage " << static_cast<int>(damage);
        }
    }
}

TEST(MarkupZipArchive, OpensFilesAndRefusesWhatIsNoArchive)
{
    const std::wstring folder = testsupport::FreshTempFolder(L"ziparchive");
    const std::wstring path = folder + L"\\skin.zip";
    ASSERT_TRUE(SampleArchive().WriteTo(path));
    {
        std::unique_ptr<CZipArchive> archive(CZipArchive::OpenFile(path.c_str()));
        ASSERT_TRUE(archive);
        bool ok = false;
        EXPECT_EQ(Read(*archive, L"Readme.txt", &ok), "stored text stored text");
        EXPECT_TRUE(ok);
    }
    // Closing the archive released the file.
    EXPECT_TRUE(DeleteFileW(path.c_str()));

    EXPECT_EQ(CZipArchive::OpenFile(path.c_str()), nullptr);
    EXPECT_EQ(CZipArchive::OpenFile(L""), nullptr);
    EXPECT_EQ(CZipArchive::OpenFile(nullptr), nullptr);

    const std::wstring text = folder + L"\\not-a-zip.zip";
    testsupport::WriteFileText(text, std::string(1000, 'x'));
    EXPECT_EQ(CZipArchive::OpenFile(text.c_str()), nullptr);
    EXPECT_TRUE(DeleteFileW(text.c_str())); // a refused file is not left open

    const std::string garbage(64, 'P');
    EXPECT_EQ(CZipArchive::OpenMemory(garbage.data(), static_cast<unsigned int>(garbage.size())), nullptr);
    EXPECT_EQ(CZipArchive::OpenMemory(nullptr, 10), nullptr);
    const std::string bytes = SampleArchive().Bytes();
    EXPECT_EQ(CZipArchive::OpenMemory(bytes.data(), static_cast<unsigned int>(bytes.size() - 10)), nullptr); // cut off
    RemoveDirectoryW(folder.c_str());
}
