// Conversions between the UI's wide text and narrow text: the system's ANSI
// code page (child processes, diagnostics) and UTF-8 (the settings file).
#pragma once

#include <windows.h>

#include <string>

// The whole wide string in the code page `codePage` (CP_ACP is the system's
// ANSI code page, which may itself be UTF-8). Characters the code page lacks
// become its default character; no "best fit" look-alike is ever chosen, so a
// password is never silently turned into a different valid one.
std::string ToCodePage(const std::wstring& text, UINT codePage);

// The whole narrow string, read in the code page `codePage`, as wide text.
std::wstring FromCodePage(const std::string& text, UINT codePage);

// ToCodePage and FromCodePage in the system's ANSI code page.
std::string ToNarrow(const std::wstring& text);
std::wstring ToWide(const std::string& text);

// Every character kept, as UTF-8.
std::string ToUtf8(const std::wstring& text);

// Narrow text of unknown origin: read as UTF-8 when it is valid UTF-8, else in
// the ANSI code page (text written before UTF-8 was used).
std::wstring FromUtf8OrAnsi(const std::string& text);
