// CVerticalLayoutUI: the linear layout along the y axis.
#include "VerticalLayoutUI.h"

#include <cwchar>

namespace Facet {

CVerticalLayoutUI::CVerticalLayoutUI() : CLinearLayoutUI(kVertical)
{
}

const wchar_t* CVerticalLayoutUI::GetClass() const
{
    return L"VerticalLayout";
}

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"VerticalLayout") == 0)
        return static_cast<CVerticalLayoutUI*>(this);
    return CLinearLayoutUI::GetInterface(name);
}

const CControlAttributeTable& CVerticalLayoutUI::GetAttributeTable() const
{
    using C = CVerticalLayoutUI;
    static const TAttribute<CVerticalLayoutUI> kAttributes[] = {
        {L"sepheight", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetSepHeight(static_cast<int>(wcstol(v, nullptr, 10))); }},
    };
    static const TAttributeTable table(kAttributes, &CLinearLayoutUI::GetAttributeTable());
    return table;
}

void CVerticalLayoutUI::SetSepHeight(int height)
{
    SetSepSize(height);
}

int CVerticalLayoutUI::GetSepHeight() const
{
    return GetSepSize();
}

} // namespace Facet
