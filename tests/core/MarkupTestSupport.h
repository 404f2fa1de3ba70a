// The parser's last error as strings, for the markup tests.
#pragma once

#include "core/Markup.h"

#include <string>

namespace testsupport {

inline std::wstring ErrorMessage(const Facet::CMarkup& markup)
{
    wchar_t buffer[100] = {};
    markup.GetLastErrorMessage(buffer, 100);
    return buffer;
}

inline std::wstring ErrorLocation(const Facet::CMarkup& markup)
{
    wchar_t buffer[50] = {};
    markup.GetLastErrorLocation(buffer, 50);
    return buffer;
}

} // namespace testsupport
