// CControlUI: the common skin attributes and attribute lists.
#include "ControlUI.h"

#include <cwchar>

#include "../core/AttributeList.h"
#include "../core/FacetGeometry.h"
#include "../core/AttributeValues.h"

namespace Facet {

namespace {

using attribute_values::IsTrue;
using attribute_values::ReadInt;
// Background colours skip leading blanks and control characters before the
// '#'; border colours (ReadColor) do not. "D4DBDE" reads as 0x00D4DBDE.
using attribute_values::ReadColor;
using attribute_values::ReadColorAfterBlanks;
// Decimal fractions separated by exactly one character each, read like
// ParseIntList: reading stops at the terminator, so missing values keep
// what `values` held.
int ParseDoubleList(const wchar_t* text, double* values, int capacity)
{
    int count = 0;
    const wchar_t* p = text;
    while (count < capacity && *p != L'\0') {
        wchar_t* stop = nullptr;
        values[count++] = wcstod(p, &stop);
        p = stop;
        if (*p == L'\0')
            break;
        ++p;
    }
    return count;
}

} // namespace

CFacetString CControlUI::GetAttribute(const wchar_t* /*name*/)
{
    return CFacetString();
}

CFacetString CControlUI::GetAttributeList()
{
    return CFacetString();
}

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    if (!GetAttributeTable().Apply(*this, name, value))
        AddCustomAttribute(name, value);
}

const CControlAttributeTable& CControlUI::GetAttributeTable() const
{
    using C = CControlUI;
    static const TAttribute<CControlUI> kAttributes[] = {
        {L"pos", kValueNumbers,
         [](C& c, const wchar_t* v) {
             long n[4] = {0, 0, 0, 0};
             ParseIntList(v, n, 4);
             c.SetFixedXY(SIZE{n[0], n[1]});
             c.SetFixedWidth(static_cast<int>(n[2] - n[0]));
             c.SetFixedHeight(static_cast<int>(n[3] - n[1]));
         }},
        {L"padding", kValueNumbers,
         [](C& c, const wchar_t* v) {
             long n[4] = {0, 0, 0, 0};
             ParseIntList(v, n, 4);
             c.SetPadding(RECT{n[0], n[1], n[2], n[3]});
         }},
        {L"bkcolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.SetBkColor(ReadColorAfterBlanks(v)); }},
        {L"bkcolor1", kValueBlankColor, [](C& c, const wchar_t* v) { c.SetBkColor(ReadColorAfterBlanks(v)); }},
        {L"bkcolor2", kValueBlankColor, [](C& c, const wchar_t* v) { c.SetBkColor2(ReadColorAfterBlanks(v)); }},
        {L"bkcolor3", kValueBlankColor, [](C& c, const wchar_t* v) { c.SetBkColor3(ReadColorAfterBlanks(v)); }},
        {L"bordercolor", kValueColor, [](C& c, const wchar_t* v) { c.SetBorderColor(ReadColor(v)); }},
        {L"focusbordercolor", kValueColor, [](C& c, const wchar_t* v) { c.SetFocusBorderColor(ReadColor(v)); }},
        {L"colorhsl", kValueFlag, [](C& c, const wchar_t* v) { c.SetColorHSL(IsTrue(v)); }},
        {L"bordersize", kValueNumbers,
         [](C& c, const wchar_t* v) {
             if (wcschr(v, L',') == nullptr) {
                 c.SetBorderSize(ReadInt(v));
             } else {
                 long n[4] = {0, 0, 0, 0};
                 ParseIntList(v, n, 4);
                 c.SetBorderSize(RECT{n[0], n[1], n[2], n[3]});
             }
         }},
        {L"borderstyle", kValueNumber, [](C& c, const wchar_t* v) { c.SetBorderStyle(ReadInt(v)); }},
        {L"borderround", kValueNumbers,
         [](C& c, const wchar_t* v) {
             long n[2] = {0, 0};
             ParseIntList(v, n, 2);
             c.SetBorderRound(SIZE{n[0], n[1]});
         }},
        {L"bkimage", kValueImage, [](C& c, const wchar_t* v) { c.SetBkImage(v); }},
        {L"width", kValueNumber, [](C& c, const wchar_t* v) { c.SetFixedWidth(ReadInt(v)); }},
        {L"height", kValueNumber, [](C& c, const wchar_t* v) { c.SetFixedHeight(ReadInt(v)); }},
        {L"minwidth", kValueNumber, [](C& c, const wchar_t* v) { c.SetMinWidth(ReadInt(v)); }},
        {L"minheight", kValueNumber, [](C& c, const wchar_t* v) { c.SetMinHeight(ReadInt(v)); }},
        {L"maxwidth", kValueNumber, [](C& c, const wchar_t* v) { c.SetMaxWidth(ReadInt(v)); }},
        {L"maxheight", kValueNumber, [](C& c, const wchar_t* v) { c.SetMaxHeight(ReadInt(v)); }},
        {L"name", kValueText, [](C& c, const wchar_t* v) { c.SetName(v); }},
        {L"text", kValueText, [](C& c, const wchar_t* v) { c.SetText(v); }},
        {L"tooltip", kValueText, [](C& c, const wchar_t* v) { c.SetToolTip(v); }},
        {L"accname", kValueText, [](C& c, const wchar_t* v) { c.SetAccessibleName(v); }},
        {L"userdata", kValueText, [](C& c, const wchar_t* v) { c.SetUserData(v); }},
        {L"tag", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetTag(static_cast<UINT_PTR>(static_cast<LONG_PTR>(ReadInt(v)))); }},
        {L"enabled", kValueFlag, [](C& c, const wchar_t* v) { c.SetEnabled(IsTrue(v)); }},
        {L"mouse", kValueFlag, [](C& c, const wchar_t* v) { c.SetMouseEnabled(IsTrue(v)); }},
        {L"keyboard", kValueFlag, [](C& c, const wchar_t* v) { c.SetKeyboardEnabled(IsTrue(v)); }},
        {L"visible", kValueFlag, [](C& c, const wchar_t* v) { c.SetVisible(IsTrue(v)); }},
        {L"float", kValueNumbers,
         [](C& c, const wchar_t* v) {
             if (wcschr(v, L',') == nullptr) {
                 c.SetFloat(IsTrue(v));
             } else {
                 double n[4] = {0.0, 0.0, 0.0, 0.0};
                 ParseDoubleList(v, n, 4);
                 c.SetFloatPercent(TPercentInfo{n[0], n[1], n[2], n[3]});
                 c.SetFloat(true);
             }
         }},
        {L"shortcut", kValueText, [](C& c, const wchar_t* v) { c.SetShortcut(v[0]); }},
        {L"menu", kValueFlag, [](C& c, const wchar_t* v) { c.SetContextMenuUsed(IsTrue(v)); }},
        {L"virtualwnd", kValueText, [](C& c, const wchar_t* v) { c.SetVirtualWnd(v); }},
    };
    static const TAttributeTable table(kAttributes, static_cast<const CControlAttributeTable*>(nullptr));
    return table;
}

void CControlUI::SetAttributeList(const wchar_t* list)
{
    ForEachListedAttribute(list, [this](const wchar_t* name, const wchar_t* value) { SetAttribute(name, value); });
}

} // namespace Facet
