#include "PreviousInstallation.h"

#include "ConsoleRunner.h"
#include "Diagnostics.h"
#include "LinkSafeFiles.h"

#include "core/UniqueHandle.h"

#include <shlobj.h>

#include <io.h>

#include <optional>
#include <vector>

namespace {

const wchar_t kFolderName[] = L"\\Mevra Cloud Meetings";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MevraCloudMeetings";
const wchar_t kServiceName[] = L"TarnCptService";
const wchar_t kSharedFolder[] = L"C:\\Program Files (x86)\\Common Files\\MEVRA\\Support";

// Frees a shell item list.
class ScopedItemList
{
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

// A folder enumeration, ended with FindClose.
struct FindTraits
{
    typedef HANDLE Handle;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE find) { return find != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE find) { FindClose(find); }
};
using ScopedFind = Facet::UniqueHandle<FindTraits>;

using ScopedKey = Facet::UniqueRegistryKey;

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

// What the removal needs of an entry: to read its attributes, clear its
// read-only flag and delete it. Others may keep reading and writing it, but
// nobody may rename or delete it while the removal holds it.
const DWORD kRemovalAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
const DWORD kRemovalShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

struct EmptyingResult
{
    bool enumerated = false; // the folder could be enumerated at all
    bool ranToEnd = false;   // the enumeration ended because no entry was left
    bool lastRemoved = false;
};

// An entry of a folder being removed, opened as itself where the platform can.
struct RemovalEntry
{
    KernelHandle handle;
    EntryInfo info;
    bool itself = false; // the handle holds the entry named, not what a link there leads to

    bool IsLink() const { return !itself || info.IsLink(); }
};

// Opens the entry `name` of `folder` (whose NameOf is `folderName`); `listed`
// are the attributes its folder's listing gave, which show a link to a folder
// even where the handle holds what it leads to.
std::optional<RemovalEntry> OpenForRemoval(const std::wstring& folder, const std::wstring& folderName,
                                           const std::wstring& name, DWORD listed)
{
    RemovalEntry entry;
    entry.handle = OpenEntryItself(JoinPath(folder, name), kRemovalAccess, kRemovalShare);
    const std::optional<EntryInfo> info = entry.handle ? InfoOf(entry.handle.Get()) : std::nullopt;
    if (!info)
        return std::nullopt;
    entry.info = *info;
    entry.info.attributes |= listed & FILE_ATTRIBUTE_REPARSE_POINT;
    entry.itself = HoldsEntryNamed(entry.handle.Get(), folderName, name);
    return entry;
}

// Removes a link as itself: what it leads to is never touched.
bool RemoveLink(RemovalEntry& entry, const std::wstring& path)
{
    if (entry.itself)
        return DeleteOpenEntry(entry.handle.Get(), entry.info);
    entry.handle.Reset();
    return ReplaceLinkWithNothing(path);
}

// The entries of a folder, read through a handle to it (opened with
// FILE_LIST_DIRECTORY), one buffer of them at a time.
class FolderListing
{
public:
    explicit FolderListing(HANDLE folder) : m_folder(folder), m_buffer(64 * 1024) {}

    // The next entry's name and attributes; false at the end of the listing.
    bool Next(std::wstring& name, DWORD& attributes)
    {
        if (m_offset == kNoEntry && !ReadMore())
            return false;
        const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(m_buffer.data() + m_offset);
        name.assign(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
        attributes = entry->FileAttributes;
        m_offset = entry->NextEntryOffset == 0 ? kNoEntry : m_offset + entry->NextEntryOffset;
        return true;
    }

    // Whether the listing ended because no entry was left (not on an error).
    bool RanToEnd() const { return m_end == ERROR_NO_MORE_FILES; }

private:
    static constexpr size_t kNoEntry = static_cast<size_t>(-1);

    bool ReadMore()
    {
        if (!GetFileInformationByHandleEx(m_folder, FileIdBothDirectoryInfo, m_buffer.data(),
                                          static_cast<DWORD>(m_buffer.size()))) {
            m_end = GetLastError();
            return false;
        }
        m_offset = 0;
        return true;
    }

    HANDLE m_folder;
    std::vector<unsigned char> m_buffer;
    size_t m_offset = kNoEntry;
    DWORD m_end = ERROR_SUCCESS;
};

EmptyingResult EmptyFolder(const std::wstring& folder, const std::wstring& folderName);

// Removes the entry `name` of `folder` as it stands: a link or junction is
// removed itself, never followed; a folder is emptied first. True when it is gone.
bool RemoveEntry(const std::wstring& folder, const std::wstring& folderName, const std::wstring& name, DWORD listed)
{
    const std::wstring path = JoinPath(folder, name);
    std::optional<RemovalEntry> entry = OpenForRemoval(folder, folderName, name, listed);
    if (!entry)
        return false;
    if (entry->IsLink())
        return RemoveLink(*entry, path);
    if (entry->info.IsFolder())
        EmptyFolder(path, NameOf(entry->handle.Get()));
    return DeleteOpenEntry(entry->handle.Get(), entry->info);
}

// Deletes the entries of `folder` (which the caller holds open, and whose NameOf
// is `folderName`), deepest first. Entries whose names begin with "." are kept.
EmptyingResult EmptyFolder(const std::wstring& folder, const std::wstring& folderName)
{
    EmptyingResult result;
    // Listed through a handle of its own, which must hold the same folder.
    const KernelHandle listingHandle = OpenEntryItself(folder, FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!listingHandle || NameOf(listingHandle.Get()) != folderName)
        return result;
    result.enumerated = true;
    FolderListing listing(listingHandle.Get());
    std::wstring name;
    DWORD attributes = 0;
    while (listing.Next(name, attributes)) {
        if (!name.empty() && name[0] != L'.')
            result.lastRemoved = RemoveEntry(folder, folderName, name, attributes);
    }
    result.ranToEnd = listing.RanToEnd();
    return result;
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
    // The folder must be reached without crossing a link (it may be one itself).
    const std::wstring root = WithoutTrailingSeparators(path);
    const std::wstring parent = ParentOf(root);
    if (parent.empty() || CrossesLink(parent))
        return false;
    // Held open from here on: on Windows neither the parent nor a folder above
    // it can then be replaced by a link while the removal runs.
    const KernelHandle parentHandle = OpenEntryItself(parent, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    WIN32_FIND_DATAW listed;
    ScopedFind find(FindFirstFileW(root.c_str(), &listed));
    if (!parentHandle || find.Get() == INVALID_HANDLE_VALUE)
        return false;
    find.Reset();
    std::optional<RemovalEntry> entry = OpenForRemoval(parent, NameOf(parentHandle.Get()), listed.cFileName,
                                                       listed.dwFileAttributes);
    if (!entry)
        return false;
    if (entry->IsLink())
        return RemoveLink(*entry, root);
    if (!entry->info.IsFolder())
        return false;

    const EmptyingResult emptied = EmptyFolder(root, NameOf(entry->handle.Get()));
    if (!emptied.enumerated)
        return false;
    if (emptied.ranToEnd) {
        DeleteOpenEntry(entry->handle.Get(), entry->info);
        return true;
    }
    return emptied.lastRemoved;
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
    key.Reset();
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
