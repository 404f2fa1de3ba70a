// Runs a console command line as a hidden child process and collects what it
// writes to standard output and standard error.
#pragma once

#include <string>

// Starts the command line (its storage serves as the modifiable command-line
// buffer), reads everything the child writes to its standard output and standard
// error, echoes it as the diagnostic line "strReturn is :<output>", and returns it
// converted from the ANSI code page (up to the first zero byte). Blocks until the
// output ends; the child's exit code is not asked for.
// Returns "" when the pipe cannot be created and "Cannot create process" when the
// child cannot be started, each after its own diagnostic line.
std::wstring RunConsoleCommand(std::wstring command);

// The full path of a program in the system folder ("C:\Windows\System32\<name>"),
// so that an elevated process never runs a program planted in its current folder.
std::wstring SystemProgramPath(const std::wstring& name);

// A command line that runs `program` of the system folder with `arguments`
// through the system's cmd.exe: "<sys>\cmd.exe" /c ""<sys>\<program>" <arguments>".
std::wstring SystemConsoleCommand(const std::wstring& program, const std::wstring& arguments);
