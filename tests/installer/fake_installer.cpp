// Stands in for the downloaded client installer. It records that it ran by
// adding "ran" to "<its own path>.ran" (so two runs leave "ranran"), and which
// leftovers of a previous installation it found when it started, one name a
// line, in "<its own path>.leftovers": the sub-folders uninstall, bin and data
// beside it, the uninstall key and the shared Support folder.
#include "../support/Leftovers.h"
#include "../support/TestFiles.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::string LeftoversBeside(const std::wstring& folder)
{
    std::string found;
    for (const wchar_t* sub : {L"uninstall", L"bin", L"data"}) {
        if (testsupport::Exists(folder + L"\\" + sub))
            found += std::string(sub, sub + std::wcslen(sub)) + "\n";
    }
    if (testsupport::KeyExists(testsupport::kUninstallKey))
        found += "key\n";
    if (testsupport::Exists(testsupport::kSharedFolder))
        found += "Support\n";
    return found;
}

// Writes the file whole under a name of its own first and then gives it its
// name, so that a watcher never reads it half written.
bool WriteWhole(const std::wstring& path, const std::string& text)
{
    const std::wstring part = path + L".part";
    testsupport::WriteFileText(part, text);
    return testsupport::ReadFileText(part) == text &&
           MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace

int main()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    const std::wstring self(path, length);
    const std::wstring folder = self.substr(0, self.find_last_of(L'\\'));
    // The leftovers are looked at first, as the installer's first act.
    if (!WriteWhole(self + L".leftovers", LeftoversBeside(folder)))
        return 2;
    return WriteWhole(self + L".ran", testsupport::ReadFileText(self + L".ran") + "ran") ? 0 : 2;
}
