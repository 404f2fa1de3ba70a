// The updater's diagnostics: plain lines on standard output or standard error.
// Nothing reaches the user interface and no log file is written. Each call writes
// its text in one piece and flushes, so lines of different threads do not mix.
#pragma once

#include <cstdio>
#include <string>

// The text, a new-line character, and a flush.
void WriteDiagnosticLine(std::FILE* stream, const std::string& text);

// Narrow text as it stands (no line end), then a flush.
void WriteDiagnosticText(std::FILE* stream, const std::string& text);

// Wide text as it stands (no line end), then a flush.
void WriteDiagnosticText(std::FILE* stream, const std::wstring& text);
