// Removal of a folder tree: deepest first, read-only entries included, and never
// through a link (made as tests/support/Links.h describes).
#include "PreviousInstallation.h"

#include "../support/Links.h"
#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using testsupport::Exists;
using testsupport::FreshTempFolder;
using testsupport::MakeFileLink;
using testsupport::MakeFolderLink;
using testsupport::WriteFileText;

void MakeFolder(const std::wstring& path, DWORD attributes = 0)
{
    CreateDirectoryW(path.c_str(), nullptr);
    if (attributes != 0)
        SetFileAttributesW(path.c_str(), attributes);
}

TEST(DeleteFolderTree, NestedTreeWithReadOnlyEntriesIsRemovedCompletely)
{
    const std::wstring root = FreshTempFolder(L"tree");
    MakeFolder(root + L"\\a");
    MakeFolder(root + L"\\a\\b");
    MakeFolder(root + L"\\a\\b\\c");
    WriteFileText(root + L"\\top.txt", "top");
    WriteFileText(root + L"\\a\\locked.bin", "locked", FILE_ATTRIBUTE_READONLY);
    WriteFileText(root + L"\\a\\b\\c\\deep.txt", "deep", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(root + L"\\a\\b\\ro", FILE_ATTRIBUTE_READONLY);
    WriteFileText(root + L"\\a\\b\\ro\\inside.txt", "inside");

    EXPECT_TRUE(DeleteFolderTree(root));
    EXPECT_FALSE(Exists(root));
}

TEST(DeleteFolderTree, DotNamedEntriesAreKeptAndTheirFolderStays)
{
    const std::wstring root = FreshTempFolder(L"dots");
    MakeFolder(root + L"\\.config");
    WriteFileText(root + L"\\.config\\settings", "x");
    WriteFileText(root + L"\\.hidden", "x");
    WriteFileText(root + L"\\plain.txt", "x");
    MakeFolder(root + L"\\sub");
    WriteFileText(root + L"\\sub\\.keep", "x");
    WriteFileText(root + L"\\sub\\gone.txt", "x");

    // The enumeration ran to its end, so the result is true although the folder stays.
    EXPECT_TRUE(DeleteFolderTree(root));
    EXPECT_TRUE(Exists(root + L"\\.config\\settings"));
    EXPECT_TRUE(Exists(root + L"\\.hidden"));
    EXPECT_TRUE(Exists(root + L"\\sub\\.keep"));
    EXPECT_FALSE(Exists(root + L"\\plain.txt"));
    EXPECT_FALSE(Exists(root + L"\\sub\\gone.txt"));

    // Tidy up what the removal rightly left.
    DeleteFileW((root + L"\\.config\\settings").c_str());
    RemoveDirectoryW((root + L"\\.config").c_str());
    DeleteFileW((root + L"\\.hidden").c_str());
    DeleteFileW((root + L"\\sub\\.keep").c_str());
    RemoveDirectoryW((root + L"\\sub").c_str());
    RemoveDirectoryW(root.c_str());
}

TEST(DeleteFolderTree, MissingFolderAndTrailingBackslash)
{
    EXPECT_FALSE(DeleteFolderTree(L"C:\\no\\such\\folder\\anywhere"));

    const std::wstring root = FreshTempFolder(L"slash");
    MakeFolder(root + L"\\x");
    WriteFileText(root + L"\\x\\f.txt", "f");
    EXPECT_TRUE(DeleteFolderTree(root + L"\\"));
    EXPECT_FALSE(Exists(root + L"\\x"));
}

TEST(DeleteFolderTree, LinkedFolderIsRemovedWithoutTouchingWhatItPointsTo)
{
    const std::wstring outside = FreshTempFolder(L"outside");
    WriteFileText(outside + L"\\precious.txt", "keep me");
    const std::wstring root = FreshTempFolder(L"linked");
    const std::wstring link = root + L"\\bin";
    if (!CreateSymbolicLinkW(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        DeleteFileW((outside + L"\\precious.txt").c_str());
        RemoveDirectoryW(outside.c_str());
        RemoveDirectoryW(root.c_str());
        GTEST_SKIP() << "this platform cannot create a folder link here (error " << GetLastError() << ")";
    }
    ASSERT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    EXPECT_TRUE(DeleteFolderTree(root));
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(Exists(root));
    EXPECT_EQ(testsupport::ReadFileText(outside + L"\\precious.txt"), "keep me");

    DeleteFileW((outside + L"\\precious.txt").c_str());
    RemoveDirectoryW(outside.c_str());
}

// Outside files that a removal must never touch: a folder with a file, and a
// read-only file one level down.
std::wstring PreciousFolder(const std::wstring& tag)
{
    const std::wstring outside = FreshTempFolder(tag);
    MakeFolder(outside + L"\\inner");
    WriteFileText(outside + L"\\precious.txt", "keep me");
    WriteFileText(outside + L"\\inner\\deeper.txt", "and me", FILE_ATTRIBUTE_READONLY);
    return outside;
}

void ExpectPreciousFolderWhole(const std::wstring& outside)
{
    EXPECT_EQ(testsupport::ReadFileText(outside + L"\\precious.txt"), "keep me");
    EXPECT_EQ(testsupport::ReadFileText(outside + L"\\inner\\deeper.txt"), "and me");
    EXPECT_TRUE(GetFileAttributesW((outside + L"\\inner\\deeper.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
}

void RemovePreciousFolder(const std::wstring& outside)
{
    SetFileAttributesW((outside + L"\\inner\\deeper.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW((outside + L"\\inner\\deeper.txt").c_str());
    RemoveDirectoryW((outside + L"\\inner").c_str());
    DeleteFileW((outside + L"\\precious.txt").c_str());
    RemoveDirectoryW(outside.c_str());
}

#define SKIP_WITHOUT_LINKS(made)                                                                                       \
    if (!(made))                                                                                                       \
    GTEST_SKIP() << "this platform cannot make a link here (error " << GetLastError() << ")"

// Everything inside the tree that leads elsewhere is removed as itself: a folder
// link, a file link, and a second name (hard link) of an outside file.
TEST(DeleteFolderTree, LinksInsideAreRemovedThemselvesAndWhatTheyLeadToIsKept)
{
    const std::wstring outside = PreciousFolder(L"outside");
    const std::wstring outsideFile = FreshTempFolder(L"outside-file") + L"\\named-twice.txt";
    WriteFileText(outsideFile, "two names");
    const std::wstring root = FreshTempFolder(L"linked");
    const std::wstring folderLink = root + L"\\nested\\bin";
    MakeFolder(root + L"\\nested");
    SKIP_WITHOUT_LINKS(MakeFolderLink(folderLink, outside));
    SKIP_WITHOUT_LINKS(MakeFileLink(root + L"\\readme.txt", outside + L"\\precious.txt"));
    ASSERT_TRUE(testsupport::MakeHardLink(root + L"\\second-name.txt", outsideFile));

    EXPECT_TRUE(DeleteFolderTree(root));
    ExpectPreciousFolderWhole(outside);
    EXPECT_EQ(testsupport::ReadFileText(outsideFile), "two names");
    EXPECT_FALSE(Exists(root + L"\\readme.txt"));
    EXPECT_FALSE(Exists(root + L"\\second-name.txt"));
    if (testsupport::RunsUnderWine()) {
        // Limit: Wine's Windows API cannot remove a link to a folder at all; it
        // stays (still a link), and so do the folders above it.
        EXPECT_TRUE(testsupport::IsLink(folderLink));
        testsupport::RemoveLink(folderLink);
        RemoveDirectoryW((root + L"\\nested").c_str());
        RemoveDirectoryW(root.c_str());
    } else {
        EXPECT_FALSE(Exists(root));
    }
    RemovePreciousFolder(outside);
}

TEST(DeleteFolderTree, RootThatIsALinkIsRemovedItselfAndWhatItLeadsToIsKept)
{
    const std::wstring outside = PreciousFolder(L"root-target");
    const std::wstring parent = FreshTempFolder(L"root-link");
    const std::wstring link = parent + L"\\bin";
    for (const wchar_t* spelling : {L"", L"\\"}) {
        SCOPED_TRACE(*spelling == L'\0' ? "path as it is" : "path with a trailing backslash");
        if (!testsupport::IsLink(link))
            SKIP_WITHOUT_LINKS(MakeFolderLink(link, outside));
        const bool removed = DeleteFolderTree(link + spelling);
        ExpectPreciousFolderWhole(outside);
        if (testsupport::RunsUnderWine()) {
            // Limit: see LinksInsideAreRemovedThemselvesAndWhatTheyLeadToIsKept.
            EXPECT_FALSE(removed);
            EXPECT_TRUE(testsupport::IsLink(link));
        } else {
            EXPECT_TRUE(removed);
            EXPECT_FALSE(Exists(link));
        }
    }
    if (testsupport::IsLink(link))
        testsupport::RemoveLink(link);
    RemovePreciousFolder(outside);
    RemoveDirectoryW(parent.c_str());
}

// A second name of an outside read-only file shares its read-only flag: the
// removal leaves that name rather than clear the flag of the outside file.
TEST(DeleteFolderTree, ReadOnlyFileWithAnotherNameIsLeftAsItIs)
{
    const std::wstring outsideFile = FreshTempFolder(L"outside-ro") + L"\\locked.txt";
    WriteFileText(outsideFile, "read-only elsewhere", FILE_ATTRIBUTE_READONLY);
    const std::wstring root = FreshTempFolder(L"ro-link");
    ASSERT_TRUE(testsupport::MakeHardLink(root + L"\\locked.txt", outsideFile));

    EXPECT_TRUE(DeleteFolderTree(root));
    EXPECT_EQ(testsupport::ReadFileText(outsideFile), "read-only elsewhere");
    EXPECT_TRUE(GetFileAttributesW(outsideFile.c_str()) & FILE_ATTRIBUTE_READONLY);

    SetFileAttributesW(outsideFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW((root + L"\\locked.txt").c_str());
    RemoveDirectoryW(root.c_str());
    DeleteFileW(outsideFile.c_str());
}

TEST(DeleteFolderTree, FolderReachedThroughALinkIsLeftAlone)
{
    const std::wstring outside = PreciousFolder(L"behind-link");
    const std::wstring parent = FreshTempFolder(L"link-above");
    const std::wstring link = parent + L"\\Mevra Cloud Meetings";
    SKIP_WITHOUT_LINKS(MakeFolderLink(link, outside));

    EXPECT_FALSE(DeleteFolderTree(link + L"\\inner"));
    ExpectPreciousFolderWhole(outside);

    testsupport::RemoveLink(link);
    RemoveDirectoryW(parent.c_str());
    RemovePreciousFolder(outside);
}

} // namespace
