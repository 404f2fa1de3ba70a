#include "NearestName.h"

#include <algorithm>
#include <cwctype>

namespace preview {

namespace {

std::wstring Lower(const std::wstring& text)
{
    std::wstring lower = text;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    return lower;
}

// Insertions, deletions, substitutions and swaps of neighbours.
size_t EditDistance(const std::wstring& a, const std::wstring& b)
{
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
    for (size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = (std::min)({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = (std::min)(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// How many edits a name of this length may be away from what was meant.
size_t Tolerance(size_t length)
{
    if (length <= 4)
        return 1;
    return length <= 8 ? 2 : 3;
}

} // namespace

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return Lower(a) == Lower(b);
}

std::wstring NearestName(const std::wstring& written, const std::vector<std::wstring>& candidates)
{
    const std::wstring lower = Lower(written);
    std::wstring best;
    size_t bestDistance = Tolerance(written.size()) + 1;
    for (const std::wstring& candidate : candidates) {
        const size_t distance = EditDistance(lower, Lower(candidate));
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace preview
