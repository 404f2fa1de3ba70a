// What the two owners of list rows, CListUI and CComboUI, do the same way:
// number their rows, let a row go, keep a remembered row index in step with
// inserts and removals, move the selection from row to row and find the row
// an arrow key moves to.
#pragma once

#include "../layout/ContainerUI.h"
#include "ListUI.h"

namespace Facet {

// Gives the rows of `rows` from `first` on their index and `owner` as owner.
void ReindexListRows(CContainerUI& rows, CControlUI* owner, int first);
// A row that leaves its owner to be destroyed forgets its owner and index,
// so that nothing reaches back into the owner.
void ReleaseListRow(CControlUI* row, bool doNotDestroy);

// A remembered row index (the selection, the expanded row) after a row was
// inserted at `index`, or removed from it (the removed row becomes -1).
int RowIndexAfterInsert(int remembered, int index);
int RowIndexAfterRemoval(int remembered, int index);

// Moves the selection `current` to the row at `index` (-1 for none): the old
// row is deselected and the new one selected when it is visible and enabled.
// `current` already holds the new index while the row selects itself, since
// the row then asks its owner to select it again. True when the new row is
// selected; otherwise `current` ends as -1.
bool MoveListSelection(CContainerUI& rows, int& current, int index);

// The selectable row the up and down arrows move to from `current`.
int SelectableRowAbove(const CContainerUI& rows, int current);
int SelectableRowBelow(const CContainerUI& rows, int current);
// The row `key` moves to when it is the up or down arrow; false for any other key.
bool ArrowKeyRow(const CContainerUI& rows, int current, WCHAR key, int& row);

} // namespace Facet
