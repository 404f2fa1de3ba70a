// CCheckBoxUI ("CheckBox"): an option read and set as a check mark.
#pragma once

#include "OptionUI.h"

namespace Facet {

class CCheckBoxUI : public COptionUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"CheckBox";
    // "CheckBox".
    const wchar_t* GetClass() const override;
    // This control for "CheckBox", else the option's answer.
    LPVOID GetInterface(const wchar_t* name) override;

    bool GetCheck() const;
    void SetCheck(bool check, bool notify = true);
};

} // namespace Facet
