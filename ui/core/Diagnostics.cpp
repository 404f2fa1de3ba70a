// Diagnostic lines: UTF-8 on the standard output.
#include "Diagnostics.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace Facet {

void WriteDiagnosticLine(const char* what, const wchar_t* detail)
{
    std::string line = what != nullptr ? what : "";
    if (detail != nullptr && *detail != L'\0') {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, detail, -1, nullptr, 0, nullptr, nullptr);
        if (size > 1) {
            std::string utf8(static_cast<size_t>(size), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, detail, -1, &utf8[0], size, nullptr, nullptr);
            utf8.resize(static_cast<size_t>(size) - 1);
            line += utf8;
        }
    }
    line += '\n';
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

} // namespace Facet
