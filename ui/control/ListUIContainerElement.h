// Rows that hold controls: CListContainerElementUI (selection like a plain
// row, expanding with "itemexpand"/"itemcollapse") and CListHBoxElementUI,
// whose children follow the header's columns.
#pragma once

#include <windows.h>

#include "../layout/ContainerUI.h"
#include "ListUI.h"

namespace Facet {

class CListContainerElementUI : public CContainerUI, public IListItemUI
{
public:
    CListContainerElementUI();

    // "ListContainerElement".
    const wchar_t* GetClass() const override;
    // "ListContainerElement", "ListItem"; the rest as a container.
    LPVOID GetInterface(const wchar_t* name) override;
    // Sends "itemactivate".
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    // The owner's item height when the row has none of its own.
    SIZE EstimateSize(SIZE available) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // -- IListItemUI --
    int GetIndex() const override;
    void SetIndex(int index) override;
    IListOwnerUI* GetOwner() override;
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;
    bool Select(bool select = true) override;
    bool IsExpanded() const override;
    // Only an expandable row expands; the owner list is told and
    // "itemexpand" or "itemcollapse" is sent.
    bool Expand(bool expand = true) override;
    // The children draw themselves; nothing here.
    void DrawItemText(HDC hDC, const RECT& rcItem) override;

    bool IsExpandable() const;
    void SetExpandable(bool expandable);
    void DrawItemBk(HDC hDC, const RECT& rcItem);
    UINT GetButtonState() const;

protected:
    int m_iIndex;
    bool m_bSelected;
    bool m_bExpandable;
    bool m_bExpanded;
    UINT m_uButtonState;
    IListOwnerUI* m_pOwner;
};

class CListHBoxElementUI : public CListContainerElementUI
{
public:
    // "ListHBoxElement".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // Child i spans column i of the owner; without columns the children share
    // the width equally.
    void SetPos(RECT rc, bool needInvalidate = true) override;
};

} // namespace Facet
