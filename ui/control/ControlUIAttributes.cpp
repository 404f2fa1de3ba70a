// CControlUI: the common skin attributes and attribute lists.
#include "ControlUI.h"

#include <cwchar>

#include "../core/FacetGeometry.h"

namespace Facet {

namespace {

bool Equals(const wchar_t* a, const wchar_t* b)
{
    return wcscmp(a, b) == 0;
}

bool IsTrue(const wchar_t* value)
{
    return Equals(value, L"true");
}

int ReadInt(const wchar_t* value)
{
    return static_cast<int>(wcstol(value, nullptr, 10));
}

// Background colours: leading blanks and control characters are skipped, then
// one '#'; the rest is hexadecimal.
DWORD ReadBackgroundColor(const wchar_t* value)
{
    while (*value != L'\0' && *value <= L' ')
        ++value;
    if (*value == L'#')
        ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

// Border colours: one leading '#' is skipped; "D4DBDE" reads as 0x00D4DBDE.
DWORD ReadBorderColor(const wchar_t* value)
{
    if (*value == L'#')
        ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

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
        SetBkColor(ReadBackgroundColor(value));
    } else if (Equals(name, L"bkcolor2")) {
        SetBkColor2(ReadBackgroundColor(value));
    } else if (Equals(name, L"bkcolor3")) {
        SetBkColor3(ReadBackgroundColor(value));
    } else if (Equals(name, L"bordercolor")) {
        SetBorderColor(ReadBorderColor(value));
    } else if (Equals(name, L"focusbordercolor")) {
        SetFocusBorderColor(ReadBorderColor(value));
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
    if (list == nullptr)
        return;
    const wchar_t* p = list;
    while (*p != L'\0') {
        const wchar_t* nameStart = p;
        while (*p != L'\0' && *p != L'=')
            ++p;
        if (*p != L'=')
            return;
        const CFacetString name(nameStart, static_cast<int>(p - nameStart));
        ++p;
        if (*p != L'"')
            return;
        ++p;
        const wchar_t* valueStart = p;
        while (*p != L'\0' && *p != L'"')
            ++p;
        if (*p != L'"')
            return;
        const CFacetString value(valueStart, static_cast<int>(p - valueStart));
        ++p;
        SetAttribute(name.GetData(), value.GetData());
        if (*p != L' ')
            return;
        ++p;
    }
}

} // namespace Facet
