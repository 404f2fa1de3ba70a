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

// Applies "x,y" or "left,top,right,bottom" through a setter of the manager.
void ApplyPair(CPaintManagerUI& manager, void (CPaintManagerUI::*set)(int, int), const wchar_t* value)
{
    const SIZE size = ReadPair(value);
    (manager.*set)(size.cx, size.cy);
}

void ApplyRect(CPaintManagerUI& manager, void (CPaintManagerUI::*set)(RECT&), const wchar_t* value)
{
    RECT rc = ReadRect(value);
    (manager.*set)(rc);
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
    if (!GetWindowAttributeTable().Apply(*this, name, value))
        AddWindowCustomAttribute(name, value);
}

const TAttributeTableBase<CPaintManagerUI>& CPaintManagerUI::GetWindowAttributeTable()
{
    using C = CPaintManagerUI;
    static const TAttribute<CPaintManagerUI> kAttributes[] = {
        {L"size", kValueNumbers, [](C& c, const wchar_t* v) { ApplyPair(c, &C::SetInitSize, v); }, kNameAnyCase},
        {L"sizebox", kValueNumbers, [](C& c, const wchar_t* v) { ApplyRect(c, &C::SetSizeBox, v); }, kNameAnyCase},
        {L"caption", kValueNumbers, [](C& c, const wchar_t* v) { ApplyRect(c, &C::SetCaptionRect, v); }, kNameAnyCase},
        {L"roundcorner", kValueNumbers, [](C& c, const wchar_t* v) { ApplyPair(c, &C::SetRoundCorner, v); },
         kNameAnyCase},
        {L"mininfo", kValueNumbers, [](C& c, const wchar_t* v) { ApplyPair(c, &C::SetMinInfo, v); }, kNameAnyCase},
        {L"maxinfo", kValueNumbers, [](C& c, const wchar_t* v) { ApplyPair(c, &C::SetMaxInfo, v); }, kNameAnyCase},
        {L"showdirty", kValueFlag, [](C& c, const wchar_t* v) { c.SetShowUpdateRect(SameNoCase(v, L"true")); },
         kNameAnyCase},
        {L"noactivate", kValueFlag, [](C& c, const wchar_t* v) { c.SetNoActivate(SameNoCase(v, L"true")); }},
        {L"opacity", kValueNumber, [](C& c, const wchar_t* v) { c.SetOpacity(ReadOpacity(v)); }, kNameAnyCase},
        {L"layeredopacity", kValueNumber, [](C& c, const wchar_t* v) { c.SetLayeredOpacity(ReadOpacity(v)); }},
        {L"layeredimage", kValueImage,
         [](C& c, const wchar_t* v) {
             c.SetLayered(true);
             c.SetLayeredImage(v);
         }},
        {L"disabledfontcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetDefaultDisabledColor(ReadColor(v)); },
         kNameAnyCase},
        {L"defaultfontcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetDefaultFontColor(ReadColor(v)); },
         kNameAnyCase},
        {L"linkfontcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetDefaultLinkFontColor(ReadColor(v)); },
         kNameAnyCase},
        {L"linkhoverfontcolor", kValueColor,
         [](C& c, const wchar_t* v) { c.SetDefaultLinkHoverFontColor(ReadColor(v)); }, kNameAnyCase},
        {L"selectedcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetDefaultSelectedBkColor(ReadColor(v)); },
         kNameAnyCase},
        {L"bktrans", kValueFlag, [](C& c, const wchar_t*) { c.SetLayered(true); }},
    };
    static const TAttributeTable table(kAttributes, static_cast<const TAttributeTableBase<C>*>(nullptr));
    return table;
}

void CPaintManagerUI::SetWindowAttributeList(const wchar_t* list)
{
    ForEachListedAttribute(list,
                           [this](const wchar_t* name, const wchar_t* value) { SetWindowAttribute(name, value); });
}

} // namespace Facet
