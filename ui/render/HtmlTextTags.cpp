#include "HtmlTextTags.h"

#include <cwchar>
#include <cwctype>

namespace Facet {
namespace htmltext {

namespace {

const wchar_t* SkipBlanks(const wchar_t* p)
{
    while (*p == L' ')
        ++p;
    return p;
}

// The word at `p` (up to a blank or the end); `p` moves past it.
CFacetString ReadWord(const wchar_t*& p)
{
    const wchar_t* start = p;
    while (*p != L'\0' && *p != L' ')
        ++p;
    return CFacetString(start, static_cast<int>(p - start));
}

// A decimal at `p` (after blanks); false, and `p` unchanged, when there is none.
bool ReadNumber(const wchar_t*& p, int& value)
{
    const wchar_t* start = SkipBlanks(p);
    wchar_t* end = nullptr;
    const long number = std::wcstol(start, &end, 10);
    if (end == start)
        return false;
    value = static_cast<int>(number);
    p = end;
    return true;
}

// key='value' pairs separated by blanks: "file" and "res" give the name,
// "restype" the type. Reading stops at the first text that is no pair; `p`
// is left there.
void ReadImagePairs(const wchar_t*& p, ImageTag& tag)
{
    for (;;) {
        const wchar_t* key = SkipBlanks(p);
        const wchar_t* equals = key;
        while (*equals != L'\0' && *equals != L'=' && *equals != L' ')
            ++equals;
        if (equals[0] != L'=' || equals[1] != L'\'')
            return;
        const wchar_t* value = equals + 2;
        const wchar_t* close = std::wcschr(value, L'\'');
        if (close == nullptr)
            return;
        const CFacetString name(key, static_cast<int>(equals - key));
        const CFacetString text(value, static_cast<int>(close - value));
        if (name == L"file" || name == L"res")
            tag.name = text;
        else if (name == L"restype")
            tag.type = text;
        p = close + 1;
    }
}

} // namespace

DWORD ParseColor(const wchar_t* argument)
{
    const wchar_t* p = SkipBlanks(argument);
    if (*p == L'#')
        ++p;
    return static_cast<DWORD>(std::wcstoul(p, nullptr, 16));
}

bool IsFontNumber(const wchar_t* argument)
{
    const wchar_t c = *SkipBlanks(argument);
    return c >= L'0' && c <= L'9';
}

FontTag ParseFontTag(const wchar_t* argument)
{
    FontTag tag;
    const wchar_t* p = SkipBlanks(argument);
    tag.name = ReadWord(p);
    int size = 0;
    if (ReadNumber(p, size))
        tag.size = size;
    CFacetString styles(p);
    styles.MakeLower();
    tag.bold = styles.Find(L"bold") >= 0;
    tag.underline = styles.Find(L"underline") >= 0;
    tag.italic = styles.Find(L"italic") >= 0;
    return tag;
}

ImageTag ParseImageTag(const wchar_t* argument)
{
    ImageTag tag;
    const wchar_t* p = SkipBlanks(argument);
    if (std::wcsstr(p, L"file='") != nullptr || std::wcsstr(p, L"res='") != nullptr)
        ReadImagePairs(p, tag);
    else
        tag.name = ReadWord(p);
    int count = 1;
    int index = 0;
    if (ReadNumber(p, count))
        ReadNumber(p, index);
    tag.count = count < 1 ? 1 : count;
    tag.index = (index < 0 || index >= tag.count) ? 0 : index;
    return tag;
}

VerticalAlign ParseVerticalAlign(const wchar_t* argument)
{
    const wchar_t* p = SkipBlanks(argument);
    const CFacetString word = ReadWord(p);
    if (word.CompareNoCase(L"center") == 0)
        return VerticalAlign::Center;
    if (word.CompareNoCase(L"top") == 0)
        return VerticalAlign::Top;
    return VerticalAlign::Bottom;
}

int ParseNumber(const wchar_t* argument)
{
    int value = 0;
    const wchar_t* p = argument;
    return ReadNumber(p, value) ? value : 0;
}

} // namespace htmltext
} // namespace Facet
