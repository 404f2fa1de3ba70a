// Rows that hold controls: CListContainerElementUI (selection like a plain
// row, expanding with "itemexpand"/"itemcollapse") and CListHBoxElementUI,
// whose children follow the header's columns.
#pragma once

#include <windows.h>

#include "ListRowUI.h"

namespace Facet {

class CListContainerElementUI : public CListRowUI<CContainerUI>
{
public:
    CListContainerElementUI();

    // "ListContainerElement".
    const wchar_t* GetClass() const override;
    // "ListContainerElement", "ListItem"; the rest as a container.
    LPVOID GetInterface(const wchar_t* name) override;
    // The owner's item height when the row has none of its own.
    SIZE EstimateSize(SIZE available) override;
    // "expandable", "selected"; the rest as a container.
    const CControlAttributeTable& GetAttributeTable() const override;
    // The row background, then the children.
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // -- IListItemUI --
    bool IsExpanded() const override;
    // Only an expandable row expands; the owner list is told and
    // "itemexpand" or "itemcollapse" is sent.
    bool Expand(bool expand = true) override;

    bool IsExpandable() const;
    void SetExpandable(bool expandable);

protected:
    bool m_bExpandable;
    bool m_bExpanded;
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
