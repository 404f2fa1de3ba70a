// CTabLayoutUI: shows exactly one of its children (the selected page) over
// its client area; every other page is hidden. Selecting a page announces it
// with the "tabselect" notification (wParam: new index, lParam: old index).
#pragma once

#include "ContainerUI.h"

namespace Facet {

class CTabLayoutUI : public CContainerUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"TabLayout";
    CTabLayoutUI();

    // "TabLayout".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    // The first visible page added becomes the selection; later pages are
    // hidden.
    bool Add(CControlUI* control) override;
    // Inserting keeps the selected page selected (its index moves along) and
    // hides the new page unless it becomes the first selection.
    bool AddAt(CControlUI* control, int index) override;
    // Removing the selected page selects page 0 (or nothing when none is left).
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    void RemoveAll() override;
    // Places only the selected page (and floating children).
    void SetPos(RECT rc, bool needInvalidate = true) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    // -1 when nothing is selected.
    int GetCurSel() const;
    // False for an index out of range; true without change (and without a
    // notification) for the current page.
    bool SelectItem(int index, bool notify = true);
    bool SelectItem(CControlUI* control, bool notify = true);

private:
    int m_iCurSel;
};

} // namespace Facet
