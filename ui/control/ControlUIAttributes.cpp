// CControlUI: the common skin attributes and attribute lists.
#include "ControlUI.h"

#include <cwchar>

#include "../core/AttributeList.h"
#include "../core/FacetGeometry.h"
#include "LabelUIValues.h"

namespace Facet {

namespace {

using attribute_values::Equals;
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

    if (Equals(name, L"pos")) {
        long v[4] = {0, 0, 0, 0};
        ParseIntList(value, v, 4);
        SetFixedXY(SIZE{v[0], v[1]});
        SetFixedWidth(static_cast<int>(v[2] - v[0]));
        SetFixedHeight(static_cast<int>(v[3] - v[1]));
    } else if (Equals(name, L"padding")) {
        long v[4] = {0, 0, 0, 0};
        ParseIntList(value, v, 4);
        SetPadding(RECT{v[0], v[1], v[2], v[3]});
    } else if (Equals(name, L"bkcolor") || Equals(name, L"bkcolor1")) {
        SetBkColor(ReadColorAfterBlanks(value));
    } else if (Equals(name, L"bkcolor2")) {
        SetBkColor2(ReadColorAfterBlanks(value));
    } else if (Equals(name, L"bkcolor3")) {
        SetBkColor3(ReadColorAfterBlanks(value));
    } else if (Equals(name, L"bordercolor")) {
        SetBorderColor(ReadColor(value));
    } else if (Equals(name, L"focusbordercolor")) {
        SetFocusBorderColor(ReadColor(value));
    } else if (Equals(name, L"colorhsl")) {
        SetColorHSL(IsTrue(value));
    } else if (Equals(name, L"bordersize")) {
        if (wcschr(value, L',') == nullptr) {
            SetBorderSize(ReadInt(value));
        } else {
            long v[4] = {0, 0, 0, 0};
            ParseIntList(value, v, 4);
            SetBorderSize(RECT{v[0], v[1], v[2], v[3]});
        }
    } else if (Equals(name, L"borderstyle")) {
        SetBorderStyle(ReadInt(value));
    } else if (Equals(name, L"borderround")) {
        long v[2] = {0, 0};
        ParseIntList(value, v, 2);
        SetBorderRound(SIZE{v[0], v[1]});
    } else if (Equals(name, L"bkimage")) {
        SetBkImage(value);
    } else if (Equals(name, L"width")) {
        SetFixedWidth(ReadInt(value));
    } else if (Equals(name, L"height")) {
        SetFixedHeight(ReadInt(value));
    } else if (Equals(name, L"minwidth")) {
        SetMinWidth(ReadInt(value));
    } else if (Equals(name, L"minheight")) {
        SetMinHeight(ReadInt(value));
    } else if (Equals(name, L"maxwidth")) {
        SetMaxWidth(ReadInt(value));
    } else if (Equals(name, L"maxheight")) {
        SetMaxHeight(ReadInt(value));
    } else if (Equals(name, L"name")) {
        SetName(value);
    } else if (Equals(name, L"text")) {
        SetText(value);
    } else if (Equals(name, L"tooltip")) {
        SetToolTip(value);
    } else if (Equals(name, L"accname")) {
        SetAccessibleName(value);
    } else if (Equals(name, L"userdata")) {
        SetUserData(value);
    } else if (Equals(name, L"tag")) {
        SetTag(static_cast<UINT_PTR>(static_cast<LONG_PTR>(ReadInt(value))));
    } else if (Equals(name, L"enabled")) {
        SetEnabled(IsTrue(value));
    } else if (Equals(name, L"mouse")) {
        SetMouseEnabled(IsTrue(value));
    } else if (Equals(name, L"keyboard")) {
        SetKeyboardEnabled(IsTrue(value));
    } else if (Equals(name, L"visible")) {
        SetVisible(IsTrue(value));
    } else if (Equals(name, L"float")) {
        if (wcschr(value, L',') == nullptr) {
            SetFloat(IsTrue(value));
        } else {
            double v[4] = {0.0, 0.0, 0.0, 0.0};
            ParseDoubleList(value, v, 4);
            SetFloatPercent(TPercentInfo{v[0], v[1], v[2], v[3]});
            SetFloat(true);
        }
    } else if (Equals(name, L"shortcut")) {
        SetShortcut(value[0]);
    } else if (Equals(name, L"menu")) {
        SetContextMenuUsed(IsTrue(value));
    } else if (Equals(name, L"virtualwnd")) {
        SetVirtualWnd(value);
    } else {
        AddCustomAttribute(name, value);
    }
}

void CControlUI::SetAttributeList(const wchar_t* list)
{
    ForEachListedAttribute(list, [this](const wchar_t* name, const wchar_t* value) { SetAttribute(name, value); });
}

} // namespace Facet
