// Runs download attempts on threads of their own. A worker works on copies and
// reaches the main window only through posted messages, so it never touches a
// control and may outlive the window safely.
#pragma once

#include "ConfigStore.h"
#include "DownloadRemovalTask.h"
#include "DownloadedFile.h"

#include <windows.h>

// What a finished attempt hands to the UI thread: the installer, held open
// against changes, and the removal of the previous installation to wait for.
struct HandOff {
    DownloadedFile installer;
    RemovalTask removal;
};

// Starts one attempt on a detached thread: the removal of the previous
// installation beside the transfer of the installer into the per-user folder,
// with the proxy values given. Progress (only when the percentage changes), the
// failure and the finished download are posted to `mainWindow`; a download whose
// signature the updater refuses (InstallerSignature.h) is deleted and posted as
// a failure.
// False when no thread could be started; nothing is posted then.
bool StartDownloadWorker(HWND mainWindow, const ProxySettings& proxy);
