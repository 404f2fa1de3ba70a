// The messages that travel from a download attempt and the removal of the
// previous installation to the main window. All are posted, so their effects
// happen on the UI thread.
#pragma once

#include <windows.h>

// They sit in the range of the main window's own class: the framework posts
// its own messages to that window in the application range (0x8001 delivers
// its queued notifications), which the updater must not claim.

// wParam: the percentage of the installer received (may exceed 100).
constexpr UINT WM_DOWNLOAD_PROGRESS = WM_USER + 1000;
// The attempt failed: the main window shows the retry page.
constexpr UINT WM_DOWNLOAD_FAILED = WM_USER + 1001;
// The attempt finished: lParam is a HandOff* that the main window takes over.
constexpr UINT WM_DOWNLOAD_FINISHED = WM_USER + 1002;
// The removal of the previous installation has ended: the installer may start.
constexpr UINT WM_REMOVAL_FINISHED = WM_USER + 1004;
// Answers the index of the page showing (0 download, 1 retry, 2 proxy
// settings), or -1 without pages. Lets a watching program see the state.
constexpr UINT WM_QUERY_PAGE = WM_USER + 1003;
