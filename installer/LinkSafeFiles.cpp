#include "LinkSafeFiles.h"

#include <cstring>
#include <vector>

namespace {

// Others may go on reading and writing an entry we hold, but nobody may rename,
// replace or delete it meanwhile.
const DWORD kShareAllButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// How many unique names are tried before giving up.
const int kUniqueNameTries = 100;

// The length of the part of `path` that names its volume's root: "C:\",
// "\\server\share\", or "\" for the root of the current drive.
size_t VolumeRootLength(const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return 3;
    if (path.compare(0, 2, L"\\\\") == 0) {
        const size_t serverEnd = path.find(L'\\', 2);
        const size_t shareEnd = serverEnd == std::wstring::npos ? serverEnd : path.find(L'\\', serverEnd + 1);
        return shareEnd == std::wstring::npos ? path.size() : shareEnd + 1;
    }
    return !path.empty() && path[0] == L'\\' ? 1 : 0;
}

std::wstring LastComponentOf(const std::wstring& path)
{
    const std::wstring entry = WithoutTrailingSeparators(path);
    return entry.substr(entry.find_last_of(L'\\') + 1);
}

bool EqualNames(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Opens the folder `folder` itself and holds it against renaming and
// replacement; null when it is no folder of its own (a link, or below one).
KernelHandle OpenOwnFolder(const std::wstring& folder)
{
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return KernelHandle();
    }
    KernelHandle handle = OpenEntryItself(folder, FILE_READ_ATTRIBUTES, kShareAllButDelete);
    if (!handle) {
        // A missing folder means the path below it is not found.
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            SetLastError(ERROR_PATH_NOT_FOUND);
        return KernelHandle();
    }
    const std::optional<EntryInfo> info = InfoOf(handle.Get());
    if (!info || !info->IsFolder() || info->IsLink() || CrossesLink(folder)) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return KernelHandle();
    }
    return handle;
}

std::wstring UniqueName(const std::wstring& path, int attempt)
{
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) + L"-" +
           std::to_wstring(attempt) + L".tmp";
}

void ClearReadOnly(HANDLE entry, DWORD attributes)
{
    FILE_BASIC_INFO basic = {}; // zero times: leave them as they are
    const DWORD cleared = attributes & ~FILE_ATTRIBUTE_READONLY;
    basic.FileAttributes = cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared;
    SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof(basic));
}

bool MoveAside(HANDLE entry, const std::wstring& path)
{
    for (int attempt = 0; attempt < kUniqueNameTries; ++attempt) {
        if (RenameOpenEntry(entry, UniqueName(path, attempt), false))
            return true;
    }
    return false;
}

} // namespace

std::optional<EntryInfo> InfoOf(HANDLE entry)
{
    BY_HANDLE_FILE_INFORMATION found = {};
    if (!GetFileInformationByHandle(entry, &found))
        return std::nullopt;
    EntryInfo info;
    info.attributes = found.dwFileAttributes;
    info.links = found.nNumberOfLinks;
    return info;
}

KernelHandle OpenEntryItself(const std::wstring& path, DWORD access, DWORD share)
{
    // A trailing separator must not turn the open of a link into one of what it
    // leads to. Backup semantics let the same call open folders as well as files.
    return KernelHandle(CreateFileW(WithoutTrailingSeparators(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::wstring NameOf(HANDLE entry)
{
    std::vector<unsigned char> buffer(sizeof(FILE_NAME_INFO) + MAX_PATH * sizeof(wchar_t));
    while (!GetFileInformationByHandleEx(entry, FileNameInfo, buffer.data(), static_cast<DWORD>(buffer.size()))) {
        if (GetLastError() != ERROR_MORE_DATA || buffer.size() > 65536 * sizeof(wchar_t))
            return std::wstring();
        buffer.resize(buffer.size() * 4);
    }
    const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
    return WithoutTrailingSeparators(std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t)));
}

bool HoldsEntryNamed(HANDLE entry, const std::wstring& folderName, const std::wstring& entryName)
{
    const std::wstring name = NameOf(entry);
    const std::wstring expected = folderName == L"\\" ? L"\\" + entryName : folderName + L"\\" + entryName;
    return !name.empty() && !folderName.empty() && EqualNames(name, expected);
}

std::wstring WithoutTrailingSeparators(std::wstring path)
{
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':')
        path.pop_back();
    return path;
}

std::wstring ParentOf(const std::wstring& path)
{
    const std::wstring entry = WithoutTrailingSeparators(path);
    const size_t root = VolumeRootLength(entry);
    const size_t separator = entry.find_last_of(L'\\');
    if (separator == std::wstring::npos)
        return std::wstring();
    // The parent of "C:\x" is "C:\", not "C:" (the current folder of drive C).
    return entry.substr(0, separator < root ? root : separator);
}

bool CrossesLink(const std::wstring& path)
{
    const std::wstring entry = WithoutTrailingSeparators(path);
    const size_t root = VolumeRootLength(entry);
    for (size_t end = entry.find(L'\\', root);; end = entry.find(L'\\', end + 1)) {
        const std::wstring prefix = entry.substr(0, end);
        if (prefix.size() > root) {
            // GetFileAttributesW describes a link itself, never what it leads to.
            const DWORD attributes = GetFileAttributesW(prefix.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                return true;
        }
        if (end == std::wstring::npos)
            return false;
    }
}

std::optional<OwnEntry> OpenOwnEntry(const std::wstring& path, DWORD access, DWORD share)
{
    const KernelHandle folder = OpenOwnFolder(ParentOf(path));
    if (!folder)
        return std::nullopt;
    KernelHandle entry = OpenEntryItself(path, access, share);
    if (!entry)
        return std::nullopt;
    const std::optional<EntryInfo> info = InfoOf(entry.Get());
    if (!info || info->IsLink() || !HoldsEntryNamed(entry.Get(), NameOf(folder.Get()), LastComponentOf(path)) ||
        (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return std::nullopt;
    }
    return OwnEntry{std::move(entry), *info};
}

KernelHandle OpenPlainFile(const std::wstring& path, DWORD access, DWORD share)
{
    std::optional<OwnEntry> file = OpenOwnEntry(path, access, share);
    if (!file)
        return KernelHandle();
    if (!file->info.IsPlainFile()) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return KernelHandle();
    }
    return std::move(file->handle);
}

bool DeleteOpenEntry(HANDLE entry, const EntryInfo& info)
{
    if (info.IsReadOnly() && (info.IsLink() || info.IsFolder() || info.links <= 1))
        ClearReadOnly(entry, info.attributes);
    return DeleteOnClose(entry);
}

bool ReplaceLinkWithNothing(const std::wstring& path)
{
    std::wstring placeholder;
    const KernelHandle own = CreateUniqueSibling(path, DELETE | SYNCHRONIZE, 0, placeholder);
    if (!own)
        return false;
    if (!RenameOpenEntry(own.Get(), path, true)) {
        DeleteOnClose(own.Get());
        return false;
    }
    return DeleteOnClose(own.Get());
}

KernelHandle CreateNewFile(const std::wstring& path, DWORD access, DWORD share)
{
    const KernelHandle folder = OpenOwnFolder(ParentOf(path));
    if (!folder)
        return KernelHandle();
    // With FILE_FLAG_OPEN_REPARSE_POINT a link that has the name is the name's
    // own entry, so CREATE_NEW fails on it as on any other.
    return KernelHandle(CreateFileW(path.c_str(), access, share, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

KernelHandle CreateUniqueSibling(const std::wstring& path, DWORD access, DWORD share, std::wstring& createdPath)
{
    for (int attempt = 0; attempt < kUniqueNameTries; ++attempt) {
        const std::wstring candidate = UniqueName(path, attempt);
        KernelHandle file = CreateNewFile(candidate, access, share);
        if (file) {
            createdPath = candidate;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return KernelHandle();
}

bool RenameOpenEntry(HANDLE entry, const std::wstring& path, bool replace)
{
    const size_t nameBytes = path.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = replace ? TRUE : FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, path.data(), nameBytes);
    return SetFileInformationByHandle(entry, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

bool PutUnderName(HANDLE file, const std::wstring& path)
{
    if (RenameOpenEntry(file, path, true))
        return true;
    // Windows does not replace a read-only file. Only a file of the updater's
    // own is changed for it: a file of one name loses the flag, a file with other
    // names (which share the flag) moves aside.
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    std::optional<OwnEntry> existing = OpenOwnEntry(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                                    kShareAll);
    if (!existing || existing->info.IsFolder() || !existing->info.IsReadOnly()) {
        // The rename's refusal stands, not the success of the look at the entry.
        if (existing)
            SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (existing->info.links <= 1)
        ClearReadOnly(existing->handle.Get(), existing->info.attributes);
    else if (!MoveAside(existing->handle.Get(), path))
        return false;
    existing->handle.Reset();
    return RenameOpenEntry(file, path, true);
}

bool DeleteOnClose(HANDLE entry)
{
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}
