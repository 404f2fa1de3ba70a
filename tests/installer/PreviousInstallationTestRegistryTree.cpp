#include "PreviousInstallation.h"

#include "../support/Leftovers.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using testsupport::KeyExists;

// Every test works below its own key of HKEY_CURRENT_USER.
class DeleteRegistryTreeTest : public testing::Test
{
protected:
    void SetUp() override { base = L"Software\\FacetTests\\" + std::to_wstring(GetCurrentProcessId()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }

    static void MakeKey(const std::wstring& path)
    {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS)
            << "cannot create " << std::string(path.begin(), path.end());
        const wchar_t value[] = L"data";
        RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
        RegCloseKey(key);
    }

    // Replaces the key's access list by an empty one: nobody may open it any more
    // (its owner may still change the list back).
    static bool LockKey(const std::wstring& path, bool locked)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
            return false;
        SECURITY_DESCRIPTOR descriptor;
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        ACL emptyAcl;
        InitializeAcl(&emptyAcl, sizeof(emptyAcl), ACL_REVISION);
        // A null access list grants everything; an empty one grants nothing.
        SetSecurityDescriptorDacl(&descriptor, TRUE, locked ? &emptyAcl : nullptr, FALSE);
        const bool done = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
        RegCloseKey(key);
        return done;
    }

    static std::string Captured(bool& result, HKEY root, const std::wstring& path)
    {
        testsupport::StartCapturingStdout();
        result = DeleteRegistryTree(root, path);
        return testsupport::CapturedStdout();
    }

    std::wstring base;
};

TEST_F(DeleteRegistryTreeTest, TreeSeveralLevelsDeepIsRemoved)
{
    const std::wstring top = base + L"\\MevraCloudMeetings";
    for (const wchar_t* child :
         {L"\\a", L"\\a\\a1", L"\\a\\a1\\deep", L"\\a\\a1\\deep\\deeper", L"\\a\\a2", L"\\b", L"\\b\\b1", L"\\c"})
        MakeKey(top + child);

    bool result = false;
    const std::string said = Captured(result, HKEY_CURRENT_USER, top);
    EXPECT_TRUE(result);
    EXPECT_EQ(said, "");
    EXPECT_FALSE(KeyExists(top));
    EXPECT_TRUE(KeyExists(base));

    // A path given with a trailing backslash names the same key.
    MakeKey(top + L"\\x\\y");
    EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, top + L"\\"));
    EXPECT_FALSE(KeyExists(top));
}

TEST_F(DeleteRegistryTreeTest, MissingKeyCountsAsRemoved)
{
    bool result = false;
    const std::string said = Captured(result, HKEY_CURRENT_USER, base + L"\\NeverThere");
    EXPECT_TRUE(result);
    EXPECT_EQ(said, "Key not found.\n");
}

TEST_F(DeleteRegistryTreeTest, KeyThatCannotBeOpenedStopsTheRemoval)
{
    const std::wstring top = base + L"\\Guarded";
    MakeKey(top + L"\\open");
    MakeKey(top + L"\\sealed\\inner");
    if (!LockKey(top + L"\\sealed", true))
        GTEST_SKIP() << "cannot change the key's access list here";
    HKEY probe = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (top + L"\\sealed").c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        LockKey(top + L"\\sealed", false);
        GTEST_SKIP() << "this platform does not enforce registry access lists";
    }

    bool result = true;
    const std::string said = Captured(result, HKEY_CURRENT_USER, top);
    EXPECT_FALSE(result);
    EXPECT_NE(said.find("Error opening key.\n"), std::string::npos);
    EXPECT_TRUE(KeyExists(top));

    ASSERT_TRUE(LockKey(top + L"\\sealed", false));
    EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, top));
    EXPECT_FALSE(KeyExists(top));
}

TEST_F(DeleteRegistryTreeTest, PathsLongerThanAnyFixedBufferAreRemovedAndTheRemovalEnds)
{
    // Eight levels of 200-character names: the deepest path is over 1,600 characters,
    // beyond the 520 characters a fixed path buffer would hold.
    const std::wstring top = base + L"\\Long";
    std::wstring path = top;
    for (int level = 0; level < 8; ++level) {
        path += L"\\" + std::wstring(200, static_cast<wchar_t>(L'a' + level));
        MakeKey(path);
    }
    MakeKey(top + L"\\" + std::wstring(200, L'a') + L"\\sibling");
    ASSERT_TRUE(KeyExists(path));

    EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, top));
    EXPECT_FALSE(KeyExists(top));
}

} // namespace
