// CCheckBoxUI: the check accessors over the option's selected state.
#include "CheckBoxUI.h"

#include <cwchar>

namespace Facet {

const wchar_t* CCheckBoxUI::GetClass() const
{
    return L"CheckBox";
}

LPVOID CCheckBoxUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return this;
    return COptionUI::GetInterface(name);
}

bool CCheckBoxUI::GetCheck() const
{
    return IsSelected();
}

void CCheckBoxUI::SetCheck(bool check, bool notify)
{
    Selected(check, notify);
}

} // namespace Facet
