// CVerticalLayoutUI: stacks its children from top to bottom. Children with a
// height (fixed or estimated) keep it; the others share what is left. With a
// separator ("sepheight") the layout's bottom (positive) or top (negative)
// edge becomes a strip the user drags to resize the layout.
#pragma once

#include "LinearLayoutUI.h"

namespace Facet {

class CVerticalLayoutUI : public CLinearLayoutUI
{
public:
    CVerticalLayoutUI();

    // "VerticalLayout".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // "sepheight".
    const CControlAttributeTable& GetAttributeTable() const override;

    // Thickness of the draggable strip: along the bottom edge when positive,
    // along the top edge when negative, none when 0.
    void SetSepHeight(int height);
    int GetSepHeight() const;
};

} // namespace Facet
