// The skin checker of FacetPreview: reads a skin as the dialog builder does
// (the document, its "Include" files and its resource elements) and reports
// what a skin author most likely got wrong, each with the file, line and
// column it stands at. What an element's class reads comes from the class's
// own attribute table, so the checker knows exactly what the code reads.
#pragma once

#include <string>
#include <vector>

namespace preview {

struct PreviewOptions;

enum class Severity { kWarning, kError };

struct Diagnostic
{
    Severity severity = Severity::kWarning;
    std::wstring file;
    int line = 0; // 0: the mistake concerns the whole file
    int column = 0;
    std::wstring message;
};

struct CheckResult
{
    std::vector<Diagnostic> diagnostics;
    // Whether the main document parses, so that the builder can make it.
    bool loads = false;
    // The absolute paths of every file the skin read (documents, images, or
    // the archive they came from), for watching them.
    std::vector<std::wstring> files;
};

// Checks the skin the options name. The paint manager's skin source (folder
// or archive) must already be set to the options'.
CheckResult CheckSkin(const PreviewOptions& options);

// "file:line:column: warning: message", or "file: error: message" without a line.
std::wstring FormatDiagnostic(const Diagnostic& diagnostic);

// 0 without diagnostics, 1 with warnings only, 2 with an error.
int SeverityExitCode(const std::vector<Diagnostic>& diagnostics);

} // namespace preview
