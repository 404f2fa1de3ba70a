// Runs download attempts on threads of their own. A worker works on copies and
// reaches the main window only through posted messages, so it never touches a
// control and may outlive the window safely.
#pragma once

#include "ConfigStore.h"
#include "DownloadedFile.h"
#include "PartialDownload.h"

#include <windows.h>

#include <memory>

// What a finished attempt hands to the UI thread: the installer, fully
// received and held open against changes.
struct HandOff
{
    DownloadedFile installer;
};

// Starts one attempt on a detached thread: the transfer of the installer into
// the per-user folder, with the proxy values given. Progress (only when the
// percentage changes), the failure and the finished download are posted to
// `mainWindow`; a download whose signature the updater refuses
// (InstallerSignature.h) is deleted and posted as a failure. An attempt touches
// nothing of the previous installation. A transient failure is retried on the
// worker before a failure is posted; `partial` carries the part of the body
// from one attempt to the next (the caller keeps it between starts and starts
// one attempt at a time).
// False when no thread could be started; nothing is posted then.
bool StartDownloadWorker(HWND mainWindow, const ProxySettings& proxy, std::shared_ptr<PartialDownload> partial);
