// Diagnostic lines of the framework: plain lines on the standard output,
// each ended by a new-line and flushed, for failures that a control survives
// (a platform component that cannot be had) but a developer wants to see.
#pragma once

namespace Facet {

// Writes `what`, then `detail` in UTF-8 when given, then a new-line.
void WriteDiagnosticLine(const char* what, const wchar_t* detail = nullptr);

} // namespace Facet
