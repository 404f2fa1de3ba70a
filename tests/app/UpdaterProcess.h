// The real MevraUpdater.exe, started from beside the test program as a child
// process, and its windows found from outside as another program finds them.
#pragma once

#include "UpdaterDriver.h"

#include "../support/TestFiles.h"

#include <windows.h>

#include <string>

namespace updaterdriver {

// The pages, as WM_QUERY_PAGE tells them.
constexpr int kDownloadPage = 0;
constexpr int kRetryPage = 1;
constexpr int kProxyPage = 2;
// How long a test waits for the updater to come to a state.
constexpr DWORD kWaitMs = 30000;

// The updater runs as a child process; its main window is found through its
// host window, the top-level window of that process.
class UpdaterProcess {
public:
    UpdaterProcess()
    {
        std::wstring line = L"\"" + testsupport::ProgramFolder() + L"\\MevraUpdater.exe\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
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

    HWND HostWindow() const
    {
        struct Search {
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
