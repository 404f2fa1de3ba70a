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

// Loads every delay-loaded library of this executable from the system folder and
// binds all of its imports now, before any of them is called. False when one of
// them cannot be loaded from there.
bool LoadDelayedLibrariesFromSystemFolder();
