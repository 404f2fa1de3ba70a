// Conversions between the UI's wide text and the narrow text of files and child
// processes, in the system's ANSI code page.
#pragma once

#include <string>

// The whole wide string in the ANSI code page. Characters the code page lacks
// become its default character; no "best fit" look-alike is ever chosen, so a
// password is never silently turned into a different valid one.
std::string ToNarrow(const std::wstring& text);

// The whole narrow string, read in the ANSI code page, as wide text.
std::wstring ToWide(const std::string& text);
