// What an earlier installation of the client leaves behind, made and looked for
// by the tests of its removal: registry keys under the current user, the capture
// service and the shared Support folder.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MevraCloudMeetings";
constexpr wchar_t kSharedFolder[] = L"C:\\Program Files (x86)\\Common Files\\MEVRA\\Support";
constexpr wchar_t kService[] = L"TarnCptService";

inline bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline void MakeKey(const std::wstring& path)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (key != nullptr)
        RegCloseKey(key);
}

// Whether the service control manager knows the capture service.
inline bool ServiceExists()
{
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr)
        return false;
    SC_HANDLE service = OpenServiceW(manager, kService, SERVICE_QUERY_STATUS);
    const bool exists = service != nullptr;
    if (service != nullptr)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return exists;
}

// Registers the capture service (a stopped, demand-start service); true when it exists afterwards.
inline bool CreateTestService()
{
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    if (manager == nullptr)
        return false;
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring binary = std::wstring(system) + L"\\notepad.exe";
    SC_HANDLE service = CreateServiceW(manager, kService, L"Tarn capture service", SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                       binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    const bool created = service != nullptr || GetLastError() == ERROR_SERVICE_EXISTS;
    if (service != nullptr)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return created;
}

} // namespace testsupport
