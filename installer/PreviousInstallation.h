// The per-user folder, and removal of what an earlier installation of the client
// left behind: three sub-folders, the uninstall registration, the background
// service and the shared support folder.
#pragma once

#include <windows.h>

#include <string>

// The short (8.3) form of the user's roaming application-data folder followed by
// "\Mevra Cloud Meetings", created (one level) when missing. When the shell cannot
// tell the application-data folder the result is "\Mevra Cloud Meetings" alone, at
// the root of the current drive.
std::wstring GetTargetFolder();

// Removes the previous installation, each step whatever became of the one before:
// the "uninstall", "bin" and "data" sub-folders of the per-user folder, the
// uninstall key under HKEY_CURRENT_USER, the service TarnCptService (net stop,
// sc delete) and "C:\Program Files (x86)\Common Files\MEVRA\Support".
// Reports nothing; meant as the body of a detached thread.
void RemovePreviousInstallation();

// Deletes the folder's entries (deepest first, clearing read-only), then the folder.
// Entries whose names begin with "." are kept. No link is ever crossed: a link
// (junction or symbolic link) is removed itself, the folder at `path` included,
// and nothing it points to is touched; a folder reached through a link above it
// is left alone (false).
// Returns false when the folder cannot be enumerated. When the enumeration runs to
// its end the result is true, even if some entry or the folder itself stayed;
// after any other enumeration error it is whether the last removal succeeded.
bool DeleteFolderTree(const std::wstring& path);

// Deletes the key root\path with all its sub-keys. True when the key is gone or
// was never there ("Key not found.\n" on standard output); false when it, or a
// key below it, exists but cannot be opened ("Error opening key.\n") or stays.
// Terminates however deep the tree and however long its path.
bool DeleteRegistryTree(HKEY root, const std::wstring& path);
