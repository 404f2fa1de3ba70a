// Shared by the skin tests: puts the process-wide skin settings back to
// "files under a fresh folder" around every test.
#pragma once

#include "core/PaintManager.h"
#include "core/SkinSource.h"
#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testsupport {

inline std::string Text(const std::vector<unsigned char>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline void ResetSkinSettings()
{
    using Facet::CPaintManagerUI;
    CPaintManagerUI::Term();
    CPaintManagerUI::SetResourceZip(L"", false);
    CPaintManagerUI::SetResourcePath(L"");
    CPaintManagerUI::SetResourceDll(nullptr);
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
}

class SkinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetSkinSettings();
        folder = testsupport::FreshTempFolder(L"skin");
        Facet::CPaintManagerUI::SetResourcePath(folder.c_str());
    }
    void TearDown() override
    {
        ResetSkinSettings();
        for (const std::wstring& path : created)
            DeleteFileW(path.c_str());
        RemoveDirectoryW(folder.c_str());
    }

    // Writes a file in the test folder (removed afterwards); returns its full path.
    std::wstring WriteFile(const std::wstring& name, const std::string& content)
    {
        const std::wstring path = folder + L"\\" + name;
        testsupport::WriteFileText(path, content);
        created.push_back(path);
        return path;
    }
    // Remembers a file to remove afterwards.
    void Own(const std::wstring& path) { created.push_back(path); }

    std::wstring folder;
    std::vector<std::wstring> created;
};

} // namespace testsupport
