// The updater's own main window run inside the benchmark over one download, and
// a previous installation planted for its removal to find. tools/bench-download
// compares these runs with the download engine alone and with MevraUpdater.exe.
#pragma once

// Runs the host window and the updater's main window as MevraUpdater.exe starts
// them, the first attempt, the hand-off and the installer's start, with the
// removal of the previous installation timed around the real one. `shown`
// false keeps both windows hidden: the same messages arrive and the same
// handlers run, but nothing is repainted. Prints one line:
//   frame-<shown|hidden> <paints> <paint seconds> <progress messages>
//   <removal seconds> <finished message to window closed, seconds>
// Returns 0 when the installer was started (the window closed itself).
int RunUpdaterWindow(bool shown);

// Puts what an earlier installation of the client leaves where the removal
// looks: files in the per-user folder's "uninstall", "bin" and "data"
// sub-folders, the uninstall key with values and sub-keys, and files in the
// shared support folder. Prints what it made. Returns 0 on success.
int PlantPreviousInstallation();

// Removes what PlantPreviousInstallation makes (the folders and the key only;
// the service commands of the real removal are not run). Returns 0.
int ClearPreviousInstallation();
