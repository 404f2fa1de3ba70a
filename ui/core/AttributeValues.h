// Readers of the attribute values shared by the controls: names, booleans,
// numbers and colours as skins write them.
#pragma once

#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace Facet {
namespace attribute_values {

inline bool Equals(const wchar_t* a, const wchar_t* b)
{
    return wcscmp(a, b) == 0;
}

inline bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
        if (towlower(*a) != towlower(*b))
            return false;
    }
    return *a == *b;
}

// True only for the exact text "true".
inline bool IsTrue(const wchar_t* value)
{
    return Equals(value, L"true");
}

// A leading decimal number; anything else reads as 0.
inline int ReadInt(const wchar_t* value)
{
    return static_cast<int>(wcstol(value, nullptr, 10));
}

// Hexadecimal AARRGGBB after one optional '#'.
inline DWORD ReadColor(const wchar_t* value)
{
    if (*value == L'#')
        ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

// Hexadecimal AARRGGBB after leading blanks and control characters, then one
// optional '#' (the background, scroll bar and list colours read this way).
inline DWORD ReadColorAfterBlanks(const wchar_t* value)
{
    while (*value != L'\0' && *value <= L' ')
        ++value;
    return ReadColor(value);
}

} // namespace attribute_values
} // namespace Facet
