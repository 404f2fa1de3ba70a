// The real MevraUpdater.exe, started from beside the test program as a child
// process, and its windows found from outside as another program finds them.
#pragma once

#include "UpdaterDriver.h"

#include "../support/TestFiles.h"

#include <windows.h>

#include <psapi.h>

#include <string>
#include <vector>

namespace updaterdriver {

// The pages, as WM_QUERY_PAGE tells them.
constexpr int kDownloadPage = 0;
constexpr int kRetryPage = 1;
constexpr int kProxyPage = 2;
// How long a test waits for the updater to come to a state.
constexpr DWORD kWaitMs = 30000;

// The current environment with `entry` ("NAME=value") put in place of the
// variable of that name: a block for CreateProcessW.
inline std::vector<wchar_t> EnvironmentWith(const std::wstring& entry)
{
    std::vector<wchar_t> block;
    const std::wstring name = entry.substr(0, entry.find(L'=') + 1);
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* variable = current; *variable != L'\0'; variable += wcslen(variable) + 1) {
        if (_wcsnicmp(variable, name.c_str(), name.size()) != 0)
            block.insert(block.end(), variable, variable + wcslen(variable) + 1);
    }
    FreeEnvironmentStringsW(current);
    block.insert(block.end(), entry.begin(), entry.end());
    block.push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

// The updater runs as a child process; its main window is found through its
// host window, the top-level window of that process.
class UpdaterProcess
{
public:
    // The updater beside this program, or `program`, with `environmentEntry`
    // ("NAME=value") added to this program's environment when given, and its
    // standard output (the diagnostic lines) written to the new file
    // `outputPath` when given.
    explicit UpdaterProcess(const std::wstring& program = testsupport::ProgramFolder() + L"\\MevraUpdater.exe",
                            const std::wstring& environmentEntry = std::wstring(),
                            const std::wstring& outputPath = std::wstring())
    {
        std::wstring line = L"\"" + program + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        std::vector<wchar_t> environment;
        if (!environmentEntry.empty())
            environment = EnvironmentWith(environmentEntry);
        HANDLE output = nullptr;
        if (!outputPath.empty()) {
            SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
            output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                 CREATE_ALWAYS, 0, nullptr);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = startup.hStdError = output;
        }
        const bool started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, output != nullptr,
                                            CREATE_UNICODE_ENVIRONMENT,
                                            environment.empty() ? nullptr : environment.data(), nullptr, &startup,
                                            &process) != FALSE;
        if (output != nullptr && output != INVALID_HANDLE_VALUE)
            CloseHandle(output);
        if (started) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
            id_ = process.dwProcessId;
        }
    }
    ~UpdaterProcess()
    {
        if (process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_, 99);
        if (process_ != nullptr)
            CloseHandle(process_);
    }
    UpdaterProcess(const UpdaterProcess&) = delete;
    UpdaterProcess& operator=(const UpdaterProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }

    // The exit code, or STILL_ACTIVE when it did not end within `limitMs`.
    DWORD WaitForExit(DWORD limitMs) const
    {
        WaitForSingleObject(process_, limitMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        return code;
    }

    // The full paths of the libraries the process has loaded.
    std::vector<std::wstring> LoadedLibraries() const
    {
        std::vector<std::wstring> paths;
        HMODULE modules[512];
        DWORD bytes = 0;
        if (!EnumProcessModules(process_, modules, sizeof(modules), &bytes))
            return paths;
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            wchar_t path[MAX_PATH] = {};
            if (GetModuleFileNameExW(process_, modules[i], path, MAX_PATH) > 0)
                paths.push_back(path);
        }
        return paths;
    }

    HWND HostWindow() const
    {
        struct Search
        {
            DWORD id;
            HWND found;
        } search = {id_, nullptr};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->id && FindWindowExW(window, nullptr, L"MvMainUI", nullptr) != nullptr) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND MainWindow() const
    {
        HWND host = HostWindow();
        return host != nullptr ? FindWindowExW(host, nullptr, L"MvMainUI", nullptr) : nullptr;
    }

    // Polls the page showing until it is `page` or `limitMs` have passed.
    bool WaitForPage(int page, DWORD limitMs) const
    {
        for (DWORD waited = 0; waited < limitMs; waited += 100) {
            if (PageOf(MainWindow()) == page)
                return true;
            if (WaitForSingleObject(process_, 100) == WAIT_OBJECT_0)
                return false;
        }
        return false;
    }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

} // namespace updaterdriver
