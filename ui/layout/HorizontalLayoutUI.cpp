// CHorizontalLayoutUI: the linear layout along the x axis.
#include "HorizontalLayoutUI.h"

#include <cwchar>

namespace Facet {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(kHorizontal)
{
}

const wchar_t* CHorizontalLayoutUI::GetClass() const
{
    return L"HorizontalLayout";
}

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"HorizontalLayout") == 0)
        return static_cast<CHorizontalLayoutUI*>(this);
    return CLinearLayoutUI::GetInterface(name);
}

const CControlAttributeTable& CHorizontalLayoutUI::GetAttributeTable() const
{
    using C = CHorizontalLayoutUI;
    static const TAttribute<CHorizontalLayoutUI> kAttributes[] = {
        {L"sepwidth", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetSepWidth(static_cast<int>(wcstol(v, nullptr, 10))); }},
    };
    static const TAttributeTable table(kAttributes, &CLinearLayoutUI::GetAttributeTable());
    return table;
}

void CHorizontalLayoutUI::SetSepWidth(int width)
{
    SetSepSize(width);
}

int CHorizontalLayoutUI::GetSepWidth() const
{
    return GetSepSize();
}

} // namespace Facet
