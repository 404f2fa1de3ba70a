// Files and folders in the updater's own places, handled so that no link is
// ever followed. The updater runs elevated, yet the per-user folder and the
// client's leftovers can be changed by the user they belong to: a symbolic link,
// junction or hard link put there must never turn a write, delete or read of the
// updater onto a file or folder somewhere else.
//
// So an entry is opened as itself (a link as the link) and changed only through
// that handle, and only after the handle has shown that it holds the entry that
// was named: a platform that cannot open a link itself (Wine opens what it
// leads to) is caught there. New files are made with CREATE_NEW, which never
// opens anything that already has the name, and take their final name by a
// rename, which replaces whatever had it (a link itself) and never follows it.
//
// While a handle to an entry is open, Windows refuses to rename or replace any
// folder above it, so a path checked once keeps leading to the same place for as
// long as the handle is held. (Wine does not guard folders that way.)
#pragma once

#include "KernelHandle.h"

#include <windows.h>

#include <optional>
#include <string>

// What an open handle says about its entry.
struct EntryInfo
{
    DWORD attributes = 0;
    DWORD links = 0; // the names a file has (hard links)

    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsReadOnly() const { return (attributes & FILE_ATTRIBUTE_READONLY) != 0; }
    // A file of one name that is not a link: changing it changes nothing else.
    bool IsPlainFile() const { return !IsLink() && !IsFolder() && links == 1; }
};

// Null when the handle cannot tell.
std::optional<EntryInfo> InfoOf(HANDLE entry);

// Opens the entry at `path` itself: a link or junction as the link, where the
// platform can. Null when it cannot be opened (GetLastError says why).
KernelHandle OpenEntryItself(const std::wstring& path, DWORD access, DWORD share);

// The path of what `entry` holds, from the root of its volume ("\folder\file").
std::wstring NameOf(HANDLE entry);

// Whether `entry`, opened as the entry `entryName` of the folder whose NameOf is
// `folderName`, holds that very entry and not what a link there leads to.
bool HoldsEntryNamed(HANDLE entry, const std::wstring& folderName, const std::wstring& entryName);

// `path` without separators at its end (a volume's root keeps its own).
std::wstring WithoutTrailingSeparators(std::wstring path);

// The folder `path` lies in: "C:\a" for "C:\a\b", "C:\" for "C:\a"; empty for a bare name.
std::wstring ParentOf(const std::wstring& path);

// True when `path` itself or a folder above it (below the volume's root) is a
// link or junction, or cannot be looked at.
bool CrossesLink(const std::wstring& path);

// An entry of a folder of the updater's own, opened as itself.
struct OwnEntry
{
    KernelHandle handle;
    EntryInfo info;
};

// Opens the entry at `path` itself, in a folder that neither is nor lies below a
// link, when it is no link and leads nowhere else. Null otherwise:
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when nothing has the name,
// ERROR_CANT_ACCESS_FILE when what has it is a link or leads elsewhere.
std::optional<OwnEntry> OpenOwnEntry(const std::wstring& path, DWORD access, DWORD share);

// OpenOwnEntry of a plain file (see EntryInfo::IsPlainFile); ERROR_CANT_ACCESS_FILE
// for anything else that has the name.
KernelHandle OpenPlainFile(const std::wstring& path, DWORD access, DWORD share);

// Makes the entry open in `entry` (with DELETE and FILE_WRITE_ATTRIBUTES access,
// and shown to be the entry itself) go when its last handle closes: a file, a
// link (the link itself) or an empty folder. A read-only flag is cleared first,
// except on a file with other names, whose other names share the flag.
bool DeleteOpenEntry(HANDLE entry, const EntryInfo& info);

// Removes the link at `path` without opening it, for where the platform opened
// what it leads to: a new empty file of the updater's own takes its name and is
// then deleted. False where a link cannot be replaced by a file (a link to a
// folder, on Wine); the link then stays, and what it leads to is never touched.
bool ReplaceLinkWithNothing(const std::wstring& path);

// Creates the file `path` new (CREATE_NEW: fails when anything, a link
// included, has the name) in a folder that neither is nor lies below a link.
KernelHandle CreateNewFile(const std::wstring& path, DWORD access, DWORD share);

// Creates a new file of a unique name beside `path`, in the same folder
// ("<path>.<unique>.tmp"), as CreateNewFile does; `createdPath` receives its name.
KernelHandle CreateUniqueSibling(const std::wstring& path, DWORD access, DWORD share, std::wstring& createdPath);

// Gives the entry open in `entry` (with DELETE access) the name `path`. With
// `replace`, what stands at `path` is replaced: a link there is replaced itself,
// never followed.
bool RenameOpenEntry(HANDLE entry, const std::wstring& path, bool replace);

// Gives the file open in `file` (with DELETE access) the name `path`, replacing
// whatever file or link has it, whatever its attributes: a read-only file of one
// name loses the flag first, a read-only file with other names moves aside.
bool PutUnderName(HANDLE file, const std::wstring& path);

// Marks the entry open in `entry` (with DELETE access) for deletion when its
// last handle closes.
bool DeleteOnClose(HANDLE entry);
