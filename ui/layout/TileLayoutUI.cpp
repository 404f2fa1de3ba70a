// CTileLayoutUI: the grid arithmetic.
#include "TileLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "../core/AttributeValues.h"
#include "../control/ScrollBarUI.h"
#include "../core/FacetGeometry.h"

namespace Facet {

using namespace attribute_values;

CTileLayoutUI::CTileLayoutUI() : m_szItem{0, 0}, m_nColumns(1), m_iChildVPadding(0)
{
}

const wchar_t* CTileLayoutUI::GetClass() const
{
    return L"TileLayout";
}

LPVOID CTileLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TileLayout") == 0)
        return static_cast<CTileLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

SIZE CTileLayoutUI::GetItemSize() const
{
    return m_szItem;
}

void CTileLayoutUI::SetItemSize(SIZE size)
{
    m_szItem.cx = (std::max)(ScaleByWindow(size.cx), 0);
    m_szItem.cy = (std::max)(ScaleByWindow(size.cy), 0);
    NeedUpdate();
}

int CTileLayoutUI::GetColumns() const
{
    return m_nColumns;
}

void CTileLayoutUI::SetColumns(int columns)
{
    m_nColumns = (std::max)(columns, 1);
    NeedUpdate();
}

int CTileLayoutUI::GetChildVPadding() const
{
    return m_iChildVPadding;
}

void CTileLayoutUI::SetChildVPadding(int padding)
{
    m_iChildVPadding = (std::max)(padding, 0);
    NeedUpdate();
}

const CControlAttributeTable& CTileLayoutUI::GetAttributeTable() const
{
    using C = CTileLayoutUI;
    static const TAttribute<CTileLayoutUI> kAttributes[] = {
        {L"itemsize", kValueNumbers, [](C& c, const wchar_t* v) { c.SetItemSize(CFacetSize(v)); }, kNameAnyCase},
        {L"columns", kValueNumber, [](C& c, const wchar_t* v) { c.SetColumns(ReadInt(v)); }, kNameAnyCase},
        {L"childvpadding", kValueNumber, [](C& c, const wchar_t* v) { c.SetChildVPadding(ReadInt(v)); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CContainerUI::GetAttributeTable());
    return table;
}

void CTileLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);

    const RECT client = GetClientPos();
    const long width = (std::max)(client.right - client.left, 0L);
    if (m_szItem.cx > 0)
        m_nColumns = (std::max)(1L, (width + m_iChildPadding) / (m_szItem.cx + m_iChildPadding));
    const long tileWidth = m_szItem.cx > 0 ? m_szItem.cx
                                           : (std::max)(0L, (width - (m_nColumns - 1) * m_iChildPadding) / m_nColumns);

    const bool scrolling = m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible();
    long top = client.top - (scrolling ? m_pVerticalScrollBar->GetScrollPos() : 0);
    long contentHeight = 0;

    // The children that take part, row by row.
    CFacetPtrArray row;
    auto placeRow = [&]() {
        if (row.IsEmpty())
            return;
        long rowHeight = m_szItem.cy;
        if (rowHeight <= 0) {
            for (int i = 0; i < row.GetSize(); ++i) {
                CControlUI* child = static_cast<CControlUI*>(row[i]);
                const RECT pad = child->GetPadding();
                const SIZE estimate = child->EstimateSize(SIZE{tileWidth - pad.left - pad.right, 0});
                if (estimate.cy > 0)
                    rowHeight = (std::max)(rowHeight, estimate.cy + pad.top + pad.bottom);
            }
            if (rowHeight <= 0)
                rowHeight = tileWidth;
        }
        if (contentHeight > 0)
            contentHeight += m_iChildVPadding;
        for (int i = 0; i < row.GetSize(); ++i) {
            CControlUI* child = static_cast<CControlUI*>(row[i]);
            const RECT pad = child->GetPadding();
            const long left = client.left + i * (tileWidth + m_iChildPadding);
            RECT tile = {left + pad.left, top + pad.top, left + tileWidth - pad.right, top + rowHeight - pad.bottom};
            const SIZE estimate = child->EstimateSize(SIZE{tile.right - tile.left, tile.bottom - tile.top});
            const long fixedWidth = child->GetFixedWidth();
            long cx = fixedWidth > 0 ? (std::min)(fixedWidth, tile.right - tile.left) : tile.right - tile.left;
            long cy = estimate.cy > 0 ? (std::min)(estimate.cy, tile.bottom - tile.top) : tile.bottom - tile.top;
            cx = (std::min)((std::max)(cx, static_cast<long>(child->GetMinWidth())),
                            static_cast<long>(child->GetMaxWidth()));
            cy = (std::min)((std::max)(cy, static_cast<long>(child->GetMinHeight())),
                            static_cast<long>(child->GetMaxHeight()));
            // A narrower child sits in the middle of its tile.
            const long x = tile.left + ((tile.right - tile.left) - cx) / 2;
            child->SetPos(RECT{x, tile.top, x + cx, tile.top + cy}, false);
        }
        top += rowHeight + m_iChildVPadding;
        contentHeight += rowHeight;
        row.Empty();
    };

    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            const unsigned version = m_nItemsVersion;
            SetFloatPos(i);
            i = ResumeIndex(i, child, version);
            continue;
        }
        row.Add(child);
        if (row.GetSize() == m_nColumns)
            placeRow();
    }
    placeRow();

    ProcessScrollBar(client, 0, contentHeight);
}

} // namespace Facet
