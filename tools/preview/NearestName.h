// Suggestions for misspelt names: the known name nearest to what was written.
#pragma once

#include <string>
#include <vector>

namespace preview {

// The candidate nearest to `written` by edit distance ignoring case (a swap
// of two neighbours counts as one edit), if it is near enough to be meant;
// empty otherwise. The first of equally near candidates wins.
std::wstring NearestName(const std::wstring& written, const std::vector<std::wstring>& candidates);

// Whether two names differ only in case.
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b);

} // namespace preview
