// The window attributes of a skin's root element ("size", "caption", ...),
// applied to the paint manager.
#include "PaintManager.h"

#include "AttributeList.h"
#include "FacetGeometry.h"

#include <cwchar>

namespace Facet {

namespace {

bool SameNoCase(const wchar_t* a, const wchar_t* b)
{
    return _wcsicmp(a, b) == 0;
}

DWORD ReadColor(const wchar_t* value)
{
    if (*value == L'#')
        ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

SIZE ReadPair(const wchar_t* value)
{
    long numbers[2] = {0, 0};
    ParseIntList(value, numbers, 2);
    return SIZE{numbers[0], numbers[1]};
}

RECT ReadRect(const wchar_t* value)
{
    long numbers[4] = {0, 0, 0, 0};
    ParseIntList(value, numbers, 4);
    return RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
}

// An opacity of 0 to 255; values beyond either end are clamped to it rather
// than wrapped (300 would otherwise be 44, -1 fully opaque).
BYTE ReadOpacity(const wchar_t* value)
{
    const long number = wcstol(value, nullptr, 10);
    return static_cast<BYTE>(number < 0 ? 0 : (number > 255 ? 255 : number));
}

} // namespace

void CPaintManagerUI::SetWindowAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (SameNoCase(name, L"size")) {
        const SIZE size = ReadPair(value);
        SetInitSize(size.cx, size.cy);
    } else if (SameNoCase(name, L"sizebox")) {
        RECT rc = ReadRect(value);
        SetSizeBox(rc);
    } else if (SameNoCase(name, L"caption")) {
        RECT rc = ReadRect(value);
        SetCaptionRect(rc);
    } else if (SameNoCase(name, L"roundcorner")) {
        const SIZE size = ReadPair(value);
        SetRoundCorner(size.cx, size.cy);
    } else if (SameNoCase(name, L"mininfo")) {
        const SIZE size = ReadPair(value);
        SetMinInfo(size.cx, size.cy);
    } else if (SameNoCase(name, L"maxinfo")) {
        const SIZE size = ReadPair(value);
        SetMaxInfo(size.cx, size.cy);
    } else if (SameNoCase(name, L"showdirty")) {
        SetShowUpdateRect(SameNoCase(value, L"true"));
    } else if (wcscmp(name, L"noactivate") == 0) {
        SetNoActivate(SameNoCase(value, L"true"));
    } else if (SameNoCase(name, L"opacity")) {
        SetOpacity(ReadOpacity(value));
    } else if (wcscmp(name, L"layeredopacity") == 0) {
        SetLayeredOpacity(ReadOpacity(value));
    } else if (wcscmp(name, L"layeredimage") == 0) {
        SetLayered(true);
        SetLayeredImage(value);
    } else if (SameNoCase(name, L"disabledfontcolor")) {
        SetDefaultDisabledColor(ReadColor(value));
    } else if (SameNoCase(name, L"defaultfontcolor")) {
        SetDefaultFontColor(ReadColor(value));
    } else if (SameNoCase(name, L"linkfontcolor")) {
        SetDefaultLinkFontColor(ReadColor(value));
    } else if (SameNoCase(name, L"linkhoverfontcolor")) {
        SetDefaultLinkHoverFontColor(ReadColor(value));
    } else if (SameNoCase(name, L"selectedcolor")) {
        SetDefaultSelectedBkColor(ReadColor(value));
    } else if (wcscmp(name, L"bktrans") == 0) {
        SetLayered(true);
    } else {
        AddWindowCustomAttribute(name, value);
    }
}

void CPaintManagerUI::SetWindowAttributeList(const wchar_t* list)
{
    ForEachListedAttribute(list, [this](const wchar_t* name, const wchar_t* value) { SetWindowAttribute(name, value); });
}

} // namespace Facet
