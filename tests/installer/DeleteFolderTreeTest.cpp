#include "PreviousInstallation.h"

#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using testsupport::Exists;
using testsupport::FreshTempFolder;
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

} // namespace
