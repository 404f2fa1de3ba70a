#include "DownloadedFile.h"

#include "LinkSafeFiles.h"

#include <shellapi.h>

#include <optional>
#include <utility>

DownloadedFile::DownloadedFile(HANDLE handle, std::wstring path) : m_handle(handle), m_path(std::move(path))
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
    info.lpFile = m_path.c_str();
    info.nShow = SW_SHOW;
    const bool started = ShellExecuteExW(&info) != FALSE;
    if (error != nullptr)
        *error = started ? 0 : GetLastError();
    return started;
}

bool DownloadedFile::Discard()
{
    Close();
    // Deleted as itself: should a link have taken the name since the file was
    // let go, the link goes, never what it leads to.
    std::optional<OwnEntry> entry = OpenOwnEntry(m_path, DELETE | FILE_WRITE_ATTRIBUTES,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!entry)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    return DeleteOpenEntry(entry->handle.Get(), entry->info);
}
