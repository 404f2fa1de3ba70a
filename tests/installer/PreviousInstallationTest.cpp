#include "PreviousInstallation.h"

#include "../support/Leftovers.h"
#include "../support/TestFiles.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

using testsupport::CreateTestService;
using testsupport::Exists;
using testsupport::KeyExists;
using testsupport::kSharedFolder;
using testsupport::kUninstallKey;
using testsupport::MakeKey;
using testsupport::ServiceExists;
using testsupport::WriteFileText;

void MakeFolders(const std::wstring& path)
{
    SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
}

TEST(GetTargetFolder, IsTheShortAppDataFolderPlusTheClientFolderAndIsCreated)
{
    wchar_t appData[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(appData, shortForm, MAX_PATH), 0u);
    const std::wstring expected = std::wstring(shortForm) + L"\\Mevra Cloud Meetings";

    RemoveDirectoryW(expected.c_str()); // only when empty; the call must (re)create it either way
    EXPECT_EQ(GetTargetFolder(), expected);
    const DWORD attributes = GetFileAttributesW(expected.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetTargetFolder(), expected);
}

TEST(RemovePreviousInstallation, RemovesEveryLeftoverAndKeepsTheNewInstaller)
{
    const std::wstring folder = GetTargetFolder();
    for (const wchar_t* sub : {L"\\uninstall", L"\\bin\\plugins", L"\\data\\logs\\old"})
        MakeFolders(folder + sub);
    WriteFileText(folder + L"\\uninstall\\uninst.exe", "MZ");
    WriteFileText(folder + L"\\bin\\Mevra.dll", "MZ", FILE_ATTRIBUTE_READONLY);
    WriteFileText(folder + L"\\bin\\plugins\\p.dll", "MZ");
    WriteFileText(folder + L"\\data\\logs\\old\\1.log", "log");
    // What the download writes directly into the folder stays.
    WriteFileText(folder + L"\\Mevra.exe", "new installer");
    WriteFileText(folder + L"\\installer.ini", "usingProxy = 0;\n");

    MakeKey(std::wstring(kUninstallKey) + L"\\Components\\Core");
    MakeKey(std::wstring(kUninstallKey) + L"\\Components\\Audio");
    MakeFolders(std::wstring(kSharedFolder) + L"\\drivers");
    WriteFileText(std::wstring(kSharedFolder) + L"\\drivers\\cap.sys", "sys", FILE_ATTRIBUTE_READONLY);
    WriteFileText(std::wstring(kSharedFolder) + L"\\support.dll", "MZ");
    ASSERT_TRUE(CreateTestService());
    ASSERT_TRUE(ServiceExists());

    testsupport::StartCapturingStdout();
    RemovePreviousInstallation();
    const std::string said = testsupport::CapturedStdout();

    EXPECT_FALSE(Exists(folder + L"\\uninstall"));
    EXPECT_FALSE(Exists(folder + L"\\bin"));
    EXPECT_FALSE(Exists(folder + L"\\data"));
    EXPECT_EQ(testsupport::ReadFileText(folder + L"\\Mevra.exe"), "new installer");
    EXPECT_TRUE(Exists(folder + L"\\installer.ini"));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(Exists(kSharedFolder));
    EXPECT_TRUE(Exists(L"C:\\Program Files (x86)\\Common Files\\MEVRA"));
    EXPECT_FALSE(ServiceExists());
    // The two service commands each leave their diagnostic line.
    size_t lines = 0;
    for (size_t at = said.find("strReturn is :"); at != std::string::npos; at = said.find("strReturn is :", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u) << said;

    DeleteFileW((folder + L"\\Mevra.exe").c_str());
    DeleteFileW((folder + L"\\installer.ini").c_str());
}

TEST(RemovePreviousInstallation, MachineWithoutPreviousInstallationEndsQuietly)
{
    RemovePreviousInstallation(); // clear whatever an earlier run left
    testsupport::StartCapturingStdout();
    RemovePreviousInstallation();
    const std::string said = testsupport::CapturedStdout();
    EXPECT_NE(said.find("Key not found.\n"), std::string::npos) << said;
    EXPECT_EQ(said.find("Error opening key."), std::string::npos) << said;
    EXPECT_EQ(said.find("CreateProcess failed"), std::string::npos) << said;
    EXPECT_FALSE(ServiceExists());
}

} // namespace
