#include "ImageDescription.h"

#include "../core/FacetGeometry.h"
#include "../core/SkinSource.h"

#include <cwchar>

namespace Facet {

namespace {

// Four numbers into a rectangle; positions without a number stay 0.
RECT ReadRect(const wchar_t* text)
{
    long values[4] = {0, 0, 0, 0};
    ParseIntList(text, values, 4);
    RECT rc = {values[0], values[1], values[2], values[3]};
    return rc;
}

DWORD ReadColor(const wchar_t* text)
{
    if (*text == L'#')
        ++text;
    return static_cast<DWORD>(wcstoul(text, nullptr, 16));
}

void Apply(const CFacetString& key, const CFacetString& value, TDrawInfo& info, TImageLookup& lookup, double scale)
{
    if (key == L"file") {
        info.sImageName = value;
    } else if (key == L"svg") {
        info.sImageName = value;
        lookup.bSvg = true;
    } else if (key == L"res") {
        info.sImageName = value;
        lookup.bByResType = true;
    } else if (key == L"restype") {
        lookup.sResType = value;
    } else if (key == L"color") {
        info.sImageName = value;
        lookup.sResType = CSkinSource::kColorType;
        lookup.bByResType = true;
    } else if (key == L"dest") {
        const RECT rc = ReadRect(value);
        info.rcDestOffset.left = static_cast<LONG>(rc.left * scale);
        info.rcDestOffset.top = static_cast<LONG>(rc.top * scale);
        info.rcDestOffset.right = static_cast<LONG>(rc.right * scale);
        info.rcDestOffset.bottom = static_cast<LONG>(rc.bottom * scale);
    } else if (key == L"source") {
        info.rcBmpPart = ReadRect(value);
    } else if (key == L"corner" || key == L"scale9") {
        info.rcScale9 = ReadRect(value);
    } else if (key == L"mask") {
        lookup.dwMask = ReadColor(value);
    } else if (key == L"fade") {
        info.uFade = static_cast<BYTE>(wcstol(value, nullptr, 10));
    } else if (key == L"hole") {
        info.bHole = value == L"true";
    } else if (key == L"xtiled") {
        info.bTiledX = value == L"true";
    } else if (key == L"ytiled") {
        info.bTiledY = value == L"true";
    } else if (key == L"hsl") {
        lookup.bHSL = value == L"true";
    }
}

} // namespace

void ParseImageDescription(TDrawInfo& info, TImageLookup& lookup, double scale)
{
    info.sImageName = info.sDrawString;
    const wchar_t* p = info.sDrawString.GetData();
    for (;;) {
        while (*p != L'\0' && *p <= L' ')
            ++p;
        const wchar_t* keyStart = p;
        while (*p != L'\0' && *p != L'=' && *p != L' ')
            ++p;
        const CFacetString key(keyStart, static_cast<int>(p - keyStart));
        if (*p != L'=' || p[1] != L'\'')
            return;
        p += 2;
        const wchar_t* valueStart = p;
        while (*p != L'\0' && *p != L'\'')
            ++p;
        if (*p != L'\'')
            return;
        const CFacetString value(valueStart, static_cast<int>(p - valueStart));
        ++p; // the closing quote
        if (!value.IsEmpty())
            Apply(key, value, info, lookup, scale);
        if (*p != L' ')
            return;
        ++p;
    }
}

} // namespace Facet
