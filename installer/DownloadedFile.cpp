#include "DownloadedFile.h"

#include <shellapi.h>

#include <utility>

DownloadedFile::DownloadedFile(HANDLE handle, std::wstring path) : handle_(handle), path_(std::move(path))
{
}

bool DownloadedFile::Start(DWORD* error) const
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // No error box: a failure is the caller's to show, and a box on a hidden
    // window would block unseen.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = path_.c_str();
    info.nShow = SW_SHOW;
    const bool started = ShellExecuteExW(&info) != FALSE;
    if (error != nullptr)
        *error = started ? 0 : GetLastError();
    return started;
}
