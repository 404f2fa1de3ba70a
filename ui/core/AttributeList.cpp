#include "AttributeList.h"

#include "FacetString.h"

namespace Facet {

void ForEachListedAttribute(const wchar_t* list,
                            const std::function<void(const wchar_t* name, const wchar_t* value)>& apply)
{
    if (list == nullptr)
        return;
    const wchar_t* p = list;
    while (*p != L'\0') {
        const wchar_t* nameStart = p;
        while (*p != L'\0' && *p != L'=')
            ++p;
        if (*p != L'=' || p[1] != L'"')
            return;
        const CFacetString name(nameStart, static_cast<int>(p - nameStart));
        p += 2;
        const wchar_t* valueStart = p;
        while (*p != L'\0' && *p != L'"')
            ++p;
        if (*p != L'"')
            return;
        const CFacetString value(valueStart, static_cast<int>(p - valueStart));
        ++p;
        apply(name.GetData(), value.GetData());
        if (*p != L' ')
            return;
        ++p;
    }
}

} // namespace Facet
