// CHorizontalLayoutUI: the linear layout along the x axis.
#include "HorizontalLayoutUI.h"

#include <cwchar>

namespace Facet {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(kHorizontal) {}

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

void CHorizontalLayoutUI::SetSepWidth(int width)
{
    SetSepSize(width);
}

int CHorizontalLayoutUI::GetSepWidth() const
{
    return GetSepSize();
}

} // namespace Facet
