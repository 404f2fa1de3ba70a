// Skin files written into a fresh folder that is the skin sources' resource
// folder (no zip) while the object lives, and removed with it.
#pragma once

#include "core/PaintManager.h"

#include "../support/TestFiles.h"

#include <set>
#include <string>

namespace testsupport {

class SkinFolder
{
public:
    explicit SkinFolder(const std::wstring& tag) : m_folder(testsupport::FreshTempFolder(tag))
    {
        Facet::CPaintManagerUI::SetResourceZip(L"", false);
        Facet::CPaintManagerUI::SetResourcePath(m_folder.c_str());
    }
    ~SkinFolder()
    {
        Facet::CPaintManagerUI::SetResourceZip(L"", false);
        Facet::CPaintManagerUI::SetResourcePath(L"");
        for (const std::wstring& name : m_files)
            DeleteFileW((m_folder + L"\\" + name).c_str());
        RemoveDirectoryW(m_folder.c_str());
    }
    SkinFolder(const SkinFolder&) = delete;
    SkinFolder& operator=(const SkinFolder&) = delete;

    // Writes (or rewrites) a file of the folder.
    void Write(const std::wstring& name, const std::string& text)
    {
        testsupport::WriteFileText(m_folder + L"\\" + name, text);
        m_files.insert(name);
    }
    const std::wstring& Path() const { return m_folder; }

private:
    std::wstring m_folder;
    std::set<std::wstring> m_files;
};

} // namespace testsupport
