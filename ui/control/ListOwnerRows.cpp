// Row bookkeeping shared by the list and the combo box.
#include "ListOwnerRows.h"

#include <algorithm>

namespace Facet {

void ReindexListRows(CContainerUI& rows, CControlUI* owner, int first)
{
    for (int i = (std::max)(first, 0); i < rows.GetCount(); ++i) {
        if (IListItemUI* item = AsListItem(rows.GetItemAt(i))) {
            item->SetOwner(owner);
            item->SetIndex(i);
        }
    }
}

void ReleaseListRow(CControlUI* row, bool doNotDestroy)
{
    IListItemUI* item = AsListItem(row);
    if (item != nullptr && !doNotDestroy) {
        item->SetOwner(nullptr);
        item->SetIndex(-1);
    }
}

int RowIndexAfterInsert(int remembered, int index)
{
    return remembered >= index ? remembered + 1 : remembered;
}

int RowIndexAfterRemoval(int remembered, int index)
{
    if (remembered == index)
        return -1;
    return remembered > index ? remembered - 1 : remembered;
}

bool MoveListSelection(CContainerUI& rows, int& current, int index)
{
    if (IListItemUI* previous = AsListItem(rows.GetItemAt(current))) {
        current = -1;
        previous->Select(false);
    }
    current = -1;
    CControlUI* control = rows.GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (item == nullptr || !control->IsVisible() || !control->IsEnabled())
        return false;
    current = index;
    if (item->Select(true))
        return true;
    current = -1;
    return false;
}

int SelectableRowAbove(const CContainerUI& rows, int current)
{
    return rows.FindSelectable(current < 0 ? 0 : current - 1, false);
}

int SelectableRowBelow(const CContainerUI& rows, int current)
{
    return rows.FindSelectable(current + 1, true);
}

bool ArrowKeyRow(const CContainerUI& rows, int current, WCHAR key, int& row)
{
    if (key == VK_UP)
        row = SelectableRowAbove(rows, current);
    else if (key == VK_DOWN)
        row = SelectableRowBelow(rows, current);
    else
        return false;
    return true;
}

} // namespace Facet
