// The system libraries that are not known DLLs, loaded from the system folder only.
//
// The updater runs elevated, and is often started from a folder that others can
// write to (a Downloads folder). Windows loads the libraries of an executable's
// import table before its first line runs, and looks for every one that is not a
// known DLL (on every supported Windows) in the executable's own folder first: a
// copy planted there would run with administrator rights. So the executable's
// import table names known DLLs only; every other system library (GDI+, WinHTTP,
// the common controls) is a delay-load import, which this module loads from the
// system folder and nowhere else.
#pragma once

// Loads the delay-loaded library `library` of this executable (its import name
// without ".dll", e.g. "winhttp") from the system folder and binds all of its
// imports now, before any of them is called. Each is loaded when it is first
// needed, not at start-up: every library loaded costs start-up time and memory.
// False when the library cannot be loaded from there or is not delay-loaded.
bool LoadDelayedLibraryFromSystemFolder(const char* library);
