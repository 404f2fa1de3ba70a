#include "PreviousInstallation.h"

#include "ConsoleRunner.h"
#include "Diagnostics.h"

#include <shlobj.h>

#include <io.h>

#include <vector>

namespace {

const wchar_t kFolderName[] = L"\\Mevra Cloud Meetings";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MevraCloudMeetings";
const wchar_t kServiceName[] = L"TarnCptService";
const wchar_t kSharedFolder[] = L"C:\\Program Files (x86)\\Common Files\\MEVRA\\Support";

// Frees a shell item list.
class ScopedItemList {
public:
    ScopedItemList() = default;
    ~ScopedItemList() { CoTaskMemFree(m_list); }
    ScopedItemList(const ScopedItemList&) = delete;
    ScopedItemList& operator=(const ScopedItemList&) = delete;
    LPITEMIDLIST* Receive() { return &m_list; }
    LPCITEMIDLIST Get() const { return m_list; }

private:
    LPITEMIDLIST m_list = nullptr;
};

// Ends a folder enumeration.
class ScopedFind {
public:
    explicit ScopedFind(HANDLE find) : m_find(find) {}
    ~ScopedFind() { Close(); }
    ScopedFind(const ScopedFind&) = delete;
    ScopedFind& operator=(const ScopedFind&) = delete;
    HANDLE Get() const { return m_find; }
    void Close()
    {
        if (m_find != INVALID_HANDLE_VALUE)
            FindClose(m_find);
        m_find = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_find;
};

// Closes a registry key.
class ScopedKey {
public:
    ScopedKey() = default;
    ~ScopedKey() { Close(); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    HKEY* Receive() { return &m_key; }
    HKEY Get() const { return m_key; }
    void Close()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};

std::wstring AppDataFolder()
{
    ScopedItemList items;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, items.Receive())) || items.Get() == nullptr)
        return std::wstring();
    wchar_t longPath[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(items.Get(), longPath))
        return std::wstring();

    std::vector<wchar_t> shortPath(MAX_PATH);
    for (;;) {
        const DWORD length = GetShortPathNameW(longPath, shortPath.data(), static_cast<DWORD>(shortPath.size()));
        if (length == 0)
            return longPath; // no short form to be had: the long one names the same folder
        if (length < shortPath.size())
            return std::wstring(shortPath.data(), length);
        shortPath.resize(length + 1);
    }
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L"\\" + name;
}

// Clears the read-only attribute, when set, of the entry itself: for a link, of
// the link, never of what it points to.
void ClearReadOnly(const std::wstring& path, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return;
    DWORD cleared = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetFileAttributesW(path.c_str(), cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared);
        return;
    }
    HANDLE link = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (link == INVALID_HANDLE_VALUE)
        return;
    FILE_BASIC_INFO info = {};
    info.FileAttributes = cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared;
    SetFileInformationByHandle(link, FileBasicInfo, &info, sizeof(info));
    CloseHandle(link);
}

} // namespace

std::wstring GetTargetFolder()
{
    const std::wstring folder = AppDataFolder() + kFolderName;
    if (_waccess(folder.c_str(), 0) != 0)
        _wmkdir(folder.c_str());
    return folder;
}

bool DeleteFolderTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    ScopedFind find(FindFirstFileW(JoinPath(path, L"*.*").c_str(), &entry));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return false;

    bool lastRemoved = false;
    do {
        if (entry.cFileName[0] == L'.')
            continue;
        const std::wstring child = JoinPath(path, entry.cFileName);
        const DWORD attributes = entry.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or directory link is removed as it stands: following it
            // would delete whatever folder it points to.
            if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                DeleteFolderTree(child);
            ClearReadOnly(child, attributes);
            lastRemoved = RemoveDirectoryW(child.c_str()) != 0;
        } else {
            ClearReadOnly(child, attributes);
            lastRemoved = DeleteFileW(child.c_str()) != 0;
        }
    } while (FindNextFileW(find.Get(), &entry));

    const DWORD endReason = GetLastError();
    find.Close();
    if (endReason == ERROR_NO_MORE_FILES) {
        RemoveDirectoryW(path.c_str());
        return true;
    }
    return lastRemoved;
}

bool DeleteRegistryTree(HKEY root, const std::wstring& path)
{
    if (RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS)
        return true;

    ScopedKey key;
    const LONG opened = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Receive());
    if (opened != ERROR_SUCCESS) {
        if (opened == ERROR_FILE_NOT_FOUND) {
            WriteDiagnosticText(stdout, std::wstring(L"Key not found.\n"));
            return true;
        }
        WriteDiagnosticText(stdout, std::wstring(L"Error opening key.\n"));
        return false;
    }

    // The path grows with each level, so no name is ever cut off: a cut path would
    // name a key that does not exist, report it deleted, and enumerate the same
    // sub-key again for ever.
    const std::wstring prefix = (!path.empty() && path.back() == L'\\') ? path : path + L"\\";
    std::wstring previous;
    for (;;) {
        wchar_t name[256];
        DWORD length = sizeof(name) / sizeof(name[0]);
        if (RegEnumKeyExW(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const std::wstring child(name, length);
        // Sub-key 0 names the next sub-key only while each call really deletes;
        // one that reported success yet stayed ends the removal of this tree.
        if (child == previous)
            break;
        if (!DeleteRegistryTree(root, prefix + child))
            break;
        previous = child;
    }
    key.Close();
    return RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS;
}

void RemovePreviousInstallation()
{
    DeleteFolderTree(GetTargetFolder() + L"\\uninstall");
    DeleteFolderTree(GetTargetFolder() + L"\\bin");
    DeleteFolderTree(GetTargetFolder() + L"\\data");
    DeleteRegistryTree(HKEY_CURRENT_USER, kUninstallKey);
    // cmd.exe, net.exe and sc.exe come from the system folder by full path: this
    // process runs elevated, and its current folder is its own folder.
    RunConsoleCommand(SystemConsoleCommand(L"net.exe", std::wstring(L"stop ") + kServiceName));
    RunConsoleCommand(SystemConsoleCommand(L"sc.exe", std::wstring(L"delete ") + kServiceName));
    DeleteFolderTree(kSharedFolder);
}
