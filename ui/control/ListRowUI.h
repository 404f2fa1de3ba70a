// CListRowUI: what every row of a list shares, whether the row is a plain
// control (CListElementUI) or a container of controls
// (CListContainerElementUI): its index and owner, its selection, its hot
// state, the row background, and how the mouse, keys and the wheel act on it.
// It is instantiated for those two bases only (in ListRowUI.cpp).
#pragma once

#include <windows.h>

#include "../layout/ContainerUI.h"
#include "ControlUI.h"
#include "ListUI.h"

namespace Facet {

template <class TControl>
class CListRowUI : public TControl, public IListItemUI
{
public:
    CListRowUI();

    // "ListItem"; the rest as the base control.
    LPVOID GetInterface(const wchar_t* name) override;
    // Sends "itemactivate".
    bool Activate() override;
    // A row that is hidden while selected clears its owner's selection.
    void SetVisible(bool visible = true) override;
    // A disabled row is neither hot nor pushed.
    void SetEnabled(bool enabled = true) override;
    // Keys and the wheel (and, without mouse input, mouse events) go to the
    // owner; a press selects the row, a double click expands (where the row
    // can) and activates it, and the mouse entering and leaving makes it hot.
    void DoEvent(TEventUI& event) override;
    // "selected"; the rest as the base control.
    const CControlAttributeTable& GetAttributeTable() const override;

    // -- IListItemUI --
    int GetIndex() const override { return m_iIndex; }
    void SetIndex(int index) override { m_iIndex = index; }
    IListOwnerUI* GetOwner() override { return m_pOwner; }
    void SetOwner(CControlUI* owner) override { m_pOwner = AsListOwner(owner); }
    bool IsSelected() const override { return m_bSelected; }
    bool Select(bool select = true) override;
    // The row draws no text of its own.
    void DrawItemText(HDC /*hDC*/, const RECT& /*rcItem*/) override {}

    // The row background of the current state and the line under the row.
    void DrawItemBk(HDC hDC, const RECT& rcItem);
    UINT GetButtonState() const { return m_uButtonState; }

protected:
    int m_iIndex;
    bool m_bSelected;
    UINT m_uButtonState;
    IListOwnerUI* m_pOwner;

private:
    // DoEvent's steps.
    bool IsForOwner(const TEventUI& event) const;
    void PassToOwner(TEventUI& event);
    bool HandleRowEvent(TEventUI& event);
    bool OnDoubleClick();
    bool OnButtonDown();
};

extern template class CListRowUI<CControlUI>;
extern template class CListRowUI<CContainerUI>;

} // namespace Facet
