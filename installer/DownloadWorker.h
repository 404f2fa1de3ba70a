// Runs download attempts on threads of their own. A worker works on copies and
// reaches the main window only through posted messages, so it never touches a
// control and may outlive the window safely.
#pragma once

#include "ConfigStore.h"
#include "DownloadedFile.h"

#include <windows.h>

// What a finished attempt hands to the UI thread: the installer, fully
// received and held open against changes.
struct HandOff {
    DownloadedFile installer;
};

// Starts one attempt on a detached thread: the transfer of the installer into
// the per-user folder, with the proxy values given. Progress (only when the
// percentage changes), the failure and the finished download are posted to
// `mainWindow`; a download whose signature the updater refuses
// (InstallerSignature.h) is deleted and posted as a failure. An attempt touches
// nothing of the previous installation.
// False when no thread could be started; nothing is posted then.
bool StartDownloadWorker(HWND mainWindow, const ProxySettings& proxy);
