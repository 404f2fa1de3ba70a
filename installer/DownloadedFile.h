// The installer file of a finished download, held open so that nobody can
// change, replace or delete it until it has been started.
#pragma once

#include "KernelHandle.h"

#include <windows.h>

#include <string>

class DownloadedFile
{
public:
    DownloadedFile() = default;
    // Takes over `handle` (opened for reading, shared for reading only).
    DownloadedFile(HANDLE handle, std::wstring path);

    bool IsOpen() const { return static_cast<bool>(m_handle); }
    const std::wstring& Path() const { return m_path; }
    // The open handle, null once closed: what a check of the file reads.
    HANDLE Handle() const { return m_handle.Get(); }

    // Starts the file through the shell (verb "open", shown, no parameters, no
    // working folder, no wait, no error box). False when the shell could not start
    // it; `error` then receives the platform's error code.
    bool Start(DWORD* error = nullptr) const;

    // Lets go of the file: from now on others may change it again.
    void Close() { m_handle.Reset(); }

    // Lets go of the file and deletes it. A file already gone counts as
    // deleted; false (GetLastError says why) when it is still there.
    bool Discard();

private:
    KernelHandle m_handle;
    std::wstring m_path;
};
