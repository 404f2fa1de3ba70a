// CHorizontalLayoutUI: stacks its children from left to right. Children with
// both a fixed width and a non-zero estimated width keep that width; the
// others (every child without a "width") share what is left. With a
// separator ("sepwidth") the layout's right (positive) or left (negative)
// edge becomes a strip the user drags to resize the layout.
#pragma once

#include "LinearLayoutUI.h"

namespace Facet {

class CHorizontalLayoutUI : public CLinearLayoutUI
{
public:
    CHorizontalLayoutUI();

    // "HorizontalLayout".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // "sepwidth".
    const CControlAttributeTable& GetAttributeTable() const override;

    // Thickness of the draggable strip: along the right edge when positive,
    // along the left edge when negative, none when 0.
    void SetSepWidth(int width);
    int GetSepWidth() const;
};

} // namespace Facet
