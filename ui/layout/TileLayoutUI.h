// CTileLayoutUI ("TileLayout"): lays its children out in a grid, row by row.
// With an item size the tiles have that size and as many columns fit as the
// width allows; without one the width is shared by a fixed number of columns.
// A row is as high as the item size, else as its highest child (a row of
// children without a height takes the tile width). Columns are apart by the
// child padding, rows by the child vertical padding; a vertical scroll bar
// scrolls the rows.
#pragma once

#include <windows.h>

#include "ContainerUI.h"

namespace Facet {

class CTileLayoutUI : public CContainerUI
{
public:
    CTileLayoutUI();

    // "TileLayout".
    const wchar_t* GetClass() const override;
    // This control for "TileLayout", else the container's answer.
    LPVOID GetInterface(const wchar_t* name) override;

    void SetPos(RECT rc, bool needInvalidate = true) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    SIZE GetItemSize() const;
    // Scaled by the window scale factor; a width of 0 goes back to the fixed
    // number of columns.
    void SetItemSize(SIZE size);
    // The columns of the last layout (or the fixed number before any).
    int GetColumns() const;
    // Values below 1 are stored as 1.
    void SetColumns(int columns);
    int GetChildVPadding() const;
    // Negative paddings are stored as 0.
    void SetChildVPadding(int padding);

protected:
    SIZE m_szItem;
    int m_nColumns;
    int m_iChildVPadding;
};

} // namespace Facet
