// CVerticalLayoutUI: stacks its children from top to bottom. Children with a
// height (fixed or estimated) keep it; the others share what is left. With a
// separator ("sepheight") the layout's bottom (positive) or top (negative)
// edge becomes a strip the user drags to resize the layout.
#pragma once

#include "ContainerUI.h"

namespace Facet {

class CVerticalLayoutUI : public CContainerUI
{
public:
    CVerticalLayoutUI();

    // "VerticalLayout".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // Asks for the set-cursor event while a separator is active.
    UINT GetControlFlags() const override;

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TEventUI& event) override;
    // Shades the separator's new place while it is dragged (not in
    // immediate mode).
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // Thickness of the draggable strip: along the bottom edge when positive,
    // along the top edge when negative, none when 0.
    void SetSepHeight(int height);
    int GetSepHeight() const;
    // In immediate mode a drag resizes the layout at every move; otherwise
    // the new place is only shown until the button is released.
    void SetSepImmMode(bool immediately);
    bool IsSepImmMode() const;
    // The separator strip of the item rectangle, or of the dragged new place
    // when `useNew` is set and a drag is running.
    RECT GetThumbRect(bool useNew = false) const;

    // The button-state bit of a running separator drag.
    static const UINT kSeparatorCaptured = 0x40;

private:
    int m_iSepHeight;
    UINT m_uButtonState;
    POINT m_ptLastMouse;
    RECT m_rcNewPos;
    bool m_bImmMode;
};

} // namespace Facet
