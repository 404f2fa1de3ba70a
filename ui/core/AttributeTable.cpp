#include "AttributeTable.h"

#include <cwchar>

namespace Facet {

bool MatchesAttributeName(const TAttributeInfo& info, const wchar_t* name)
{
    if (name == nullptr)
        return false;
    return info.match == kNameAnyCase ? _wcsicmp(info.name, name) == 0 : wcscmp(info.name, name) == 0;
}

} // namespace Facet
