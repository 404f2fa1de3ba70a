// Links the updater must never follow, made by the tests the way a user without
// administrator rights makes them in folders of their own: junctions (which
// need no privilege on Windows), symbolic links and hard links.
//
// Wine 8 makes no link through the Windows API: CreateSymbolicLinkW does
// nothing (and reports success), and junctions are not supported. There the
// link is made on the host as a Unix symbolic link, which stands in for both a
// junction and a symbolic link: Wine shows one that leads to a folder as a
// reparse point, and one that leads to a file as that file itself (the harder
// case for the updater, which must still never act on what it leads to).
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

// Whether the platform shows `path` as a link (a reparse point).
inline bool IsLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A junction at `link` (an empty folder it creates) leading to the folder `target`.
inline bool MakeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    HANDLE folder = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        RemoveDirectoryW(link.c_str());
        return false;
    }
    // A mount-point reparse buffer: tag, data length, reserved, then the
    // substitute name ("\??\<target>") and an empty print name, each ending in a zero.
    const std::wstring substitute = L"\\??\\" + target;
    const USHORT substituteBytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
    const USHORT dataBytes = static_cast<USHORT>(4 * sizeof(USHORT) + substituteBytes + 2 * sizeof(wchar_t));
    std::vector<unsigned char> buffer(8 + dataBytes, 0);
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, sizeof(tag));
    std::memcpy(buffer.data() + 4, &dataBytes, sizeof(dataBytes));
    const USHORT names[4] = {0, substituteBytes, static_cast<USHORT>(substituteBytes + sizeof(wchar_t)), 0};
    std::memcpy(buffer.data() + 8, names, sizeof(names));
    std::memcpy(buffer.data() + 16, substitute.data(), substituteBytes);
    DWORD returned = 0;
    const bool made = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      nullptr, 0, &returned, nullptr) != FALSE;
    CloseHandle(folder);
    if (!made)
        RemoveDirectoryW(link.c_str());
    return made;
}

// A symbolic link, made by an administrator or (Windows 10 in developer mode) by anybody.
inline bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target, DWORD flags)
{
    return CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) != FALSE ||
           CreateSymbolicLinkW(link.c_str(), target.c_str(), flags | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) !=
               FALSE;
}

// The host's (Unix) path of a Windows path, under Wine; empty elsewhere.
inline std::string HostPathOf(const std::wstring& path)
{
    using ToHost = char*(CDECL*)(LPCWSTR);
    const auto toHost = reinterpret_cast<ToHost>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* host = toHost != nullptr ? toHost(path.c_str()) : nullptr;
    if (host == nullptr)
        return std::string();
    const std::string text(host);
    HeapFree(GetProcessHeap(), 0, host);
    return text;
}

// Runs a shell command on the host, under Wine, and waits for it (at most 60 s);
// true when it succeeded. Wine starts host programs but cannot wait for them, so
// the command leaves its exit status in a file when it has ended. False
// elsewhere.
inline bool RunOnHost(const std::string& command)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring status = std::wstring(temp) + L"facet-host-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount64()) + L".status";
    const std::string hostStatus = HostPathOf(status);
    if (hostStatus.empty())
        return false;
    const std::string script = "(" + command + "); echo $? > '" + hostStatus + ".part' && mv '" + hostStatus +
                               ".part' '" + hostStatus + "'";
    std::wstring line = L"Z:\\bin\\bash -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 600; ++i) {
        HANDLE file = CreateFileW(status.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char code = 0;
            DWORD read = 0;
            ReadFile(file, &code, 1, &read, nullptr);
            CloseHandle(file);
            DeleteFileW(status.c_str());
            return read == 1 && code == '0';
        }
        Sleep(100);
    }
    return false;
}

// Whether this program runs under Wine, whose limits some tests state.
inline bool RunsUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A Unix symbolic link made on the host, under Wine (see the top of this file).
inline bool MakeHostLink(const std::wstring& link, const std::wstring& target)
{
    const std::string hostLink = HostPathOf(link);
    const std::string hostTarget = HostPathOf(target);
    return !hostLink.empty() && !hostTarget.empty() && RunOnHost("ln -s '" + hostTarget + "' '" + hostLink + "'");
}

// A link at `link` leading to the folder `target`: a junction, or where the
// platform cannot make one, a folder symbolic link, or under Wine a host one.
inline bool MakeFolderLink(const std::wstring& link, const std::wstring& target)
{
    if ((MakeJunction(link, target) || MakeSymbolicLink(link, target, SYMBOLIC_LINK_FLAG_DIRECTORY)) && IsLink(link))
        return true;
    return MakeHostLink(link, target) && IsLink(link);
}

// A symbolic link at `link` leading to the file `target` (which need not
// exist), under Wine a host one.
inline bool MakeFileLink(const std::wstring& link, const std::wstring& target)
{
    if (MakeSymbolicLink(link, target, 0) && IsLink(link))
        return true;
    return MakeHostLink(link, target);
}

// A second name `link` of the file `target` (a hard link).
inline bool MakeHardLink(const std::wstring& link, const std::wstring& target)
{
    return CreateHardLinkW(link.c_str(), target.c_str(), nullptr) != FALSE;
}

// A way for a name to lead to another file; `make` gives `link` that way to `target`.
struct FileLinkKind
{
    const char* name;
    bool (*make)(const std::wstring& link, const std::wstring& target);
};

// The ways a user can make a name of theirs lead to another file.
inline const FileLinkKind kFileLinkKinds[] = {{"symbolic link", MakeFileLink}, {"hard link", MakeHardLink}};

// Deletes a link itself (file or folder link), never what it leads to: on the
// host under Wine, whose Windows API would delete what it leads to.
inline void RemoveLink(const std::wstring& link)
{
    const std::string hostLink = HostPathOf(link);
    if (!hostLink.empty()) {
        RunOnHost("rm -f '" + hostLink + "'");
        return;
    }
    if (!RemoveDirectoryW(link.c_str()))
        DeleteFileW(link.c_str());
}

} // namespace testsupport
