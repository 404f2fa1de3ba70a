// CContainerUI: scroll bars, scroll positions and the scrolling steps.
#include "ContainerUI.h"

#include <algorithm>

#include "../control/ScrollBarUI.h"
#include "../core/PaintManager.h"

namespace Facet {

namespace {

bool IsShown(const CScrollBarUI* bar)
{
    return bar != nullptr && bar->IsVisible();
}

} // namespace

SIZE CContainerUI::GetScrollPos() const
{
    SIZE pos = {0, 0};
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        pos.cy = m_pVerticalScrollBar->GetScrollPos();
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        pos.cx = m_pHorizontalScrollBar->GetScrollPos();
    return pos;
}

SIZE CContainerUI::GetScrollRange() const
{
    SIZE range = {0, 0};
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        range.cy = m_pVerticalScrollBar->GetScrollRange();
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        range.cx = m_pHorizontalScrollBar->GetScrollRange();
    return range;
}

void CContainerUI::SetScrollPos(SIZE pos)
{
    int dx = 0;
    int dy = 0;
    if (IsShown(m_pVerticalScrollBar)) {
        const int old = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollPos(pos.cy);
        dy = m_pVerticalScrollBar->GetScrollPos() - old;
    }
    if (IsShown(m_pHorizontalScrollBar)) {
        const int old = m_pHorizontalScrollBar->GetScrollPos();
        m_pHorizontalScrollBar->SetScrollPos(pos.cx);
        dx = m_pHorizontalScrollBar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0)
        return;

    const SIZE offset = {-dx, -dy};
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const unsigned version = m_nItemsVersion;
        child->Move(offset, false);
        i = ResumeIndex(i, child, version);
    }
    Invalidate();
}

int CContainerUI::LineStep(const CScrollBarUI* bar) const
{
    if (bar != nullptr && bar->GetScrollUnit() > 1)
        return bar->GetScrollUnit();
    if (m_pManager == nullptr)
        return 8;
    return m_pManager->GetDefaultFontInfo()->tm.tmHeight + 8;
}

void CContainerUI::LineUp()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx, pos.cy - LineStep(m_pVerticalScrollBar)});
}

void CContainerUI::LineDown()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx, pos.cy + LineStep(m_pVerticalScrollBar)});
}

void CContainerUI::PageUp()
{
    const SIZE pos = GetScrollPos();
    int page = (m_rcItem.bottom - m_rcItem.top) - m_rcInset.top - m_rcInset.bottom;
    if (IsShown(m_pHorizontalScrollBar))
        page -= m_pHorizontalScrollBar->GetFixedHeight();
    SetScrollPos(SIZE{pos.cx, pos.cy - page});
}

void CContainerUI::PageDown()
{
    const SIZE pos = GetScrollPos();
    int page = (m_rcItem.bottom - m_rcItem.top) - m_rcInset.top - m_rcInset.bottom;
    if (IsShown(m_pHorizontalScrollBar))
        page -= m_pHorizontalScrollBar->GetFixedHeight();
    SetScrollPos(SIZE{pos.cx, pos.cy + page});
}

void CContainerUI::HomeUp()
{
    SetScrollPos(SIZE{GetScrollPos().cx, 0});
}

void CContainerUI::EndDown()
{
    SetScrollPos(SIZE{GetScrollPos().cx, GetScrollRange().cy});
}

void CContainerUI::LineLeft()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx - LineStep(m_pHorizontalScrollBar), pos.cy});
}

void CContainerUI::LineRight()
{
    const SIZE pos = GetScrollPos();
    SetScrollPos(SIZE{pos.cx + LineStep(m_pHorizontalScrollBar), pos.cy});
}

void CContainerUI::PageLeft()
{
    const SIZE pos = GetScrollPos();
    int page = (m_rcItem.right - m_rcItem.left) - m_rcInset.left - m_rcInset.right;
    if (IsShown(m_pVerticalScrollBar))
        page -= m_pVerticalScrollBar->GetFixedWidth();
    SetScrollPos(SIZE{pos.cx - page, pos.cy});
}

void CContainerUI::PageRight()
{
    const SIZE pos = GetScrollPos();
    int page = (m_rcItem.right - m_rcItem.left) - m_rcInset.left - m_rcInset.right;
    if (IsShown(m_pVerticalScrollBar))
        page -= m_pVerticalScrollBar->GetFixedWidth();
    SetScrollPos(SIZE{pos.cx + page, pos.cy});
}

void CContainerUI::HomeLeft()
{
    SetScrollPos(SIZE{0, GetScrollPos().cy});
}

void CContainerUI::EndRight()
{
    SetScrollPos(SIZE{GetScrollRange().cx, GetScrollPos().cy});
}

void CContainerUI::ApplyScrollBarDefault(CScrollBarUI* bar, const wchar_t* className)
{
    if (const wchar_t* list = m_pManager->GetDefaultAttributeList(className))
        bar->SetAttributeList(list);
}

void CContainerUI::StyleScrollBar(CScrollBarUI* bar, const wchar_t* style)
{
    CContainerUI* owner = bar->GetOwner();
    if (owner != nullptr && owner != this) {
        owner->StyleScrollBar(bar, style);
        return;
    }
    if (m_bScrollBarDefaultsPending) {
        CFacetString& kept = (bar == m_pVerticalScrollBar ? m_sVerticalBarStyle : m_sHorizontalBarStyle).Edit();
        if (!kept.IsEmpty())
            kept += L" ";
        kept += style;
    }
    bar->SetAttributeList(style);
}

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal)
{
    if (enableVertical && m_pVerticalScrollBar == nullptr) {
        m_pVerticalScrollBar = new CScrollBarUI;
        // Hidden until a layout finds content that needs it.
        m_pVerticalScrollBar->SetVisible(false);
        m_pVerticalScrollBar->SetScrollRange(0);
        m_pVerticalScrollBar->SetOwner(this);
        m_pVerticalScrollBar->SetManager(m_pManager, nullptr, false);
        if (m_pManager != nullptr)
            ApplyScrollBarDefault(m_pVerticalScrollBar, L"VScrollBar");
        else
            m_bScrollBarDefaultsPending = true;
    } else if (!enableVertical && m_pVerticalScrollBar != nullptr) {
        CScrollBarUI* bar = m_pVerticalScrollBar;
        m_pVerticalScrollBar = nullptr;
        m_sVerticalBarStyle.Reset();
        bar->Delete();
    }

    if (enableHorizontal && m_pHorizontalScrollBar == nullptr) {
        m_pHorizontalScrollBar = new CScrollBarUI;
        // Hidden until a layout finds content that needs it.
        m_pHorizontalScrollBar->SetVisible(false);
        m_pHorizontalScrollBar->SetScrollRange(0);
        m_pHorizontalScrollBar->SetHorizontal(true);
        m_pHorizontalScrollBar->SetOwner(this);
        m_pHorizontalScrollBar->SetManager(m_pManager, nullptr, false);
        if (m_pManager != nullptr)
            ApplyScrollBarDefault(m_pHorizontalScrollBar, L"HScrollBar");
        else
            m_bScrollBarDefaultsPending = true;
    } else if (!enableHorizontal && m_pHorizontalScrollBar != nullptr) {
        CScrollBarUI* bar = m_pHorizontalScrollBar;
        m_pHorizontalScrollBar = nullptr;
        m_sHorizontalBarStyle.Reset();
        bar->Delete();
    }

    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const
{
    return m_pVerticalScrollBar;
}

CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const
{
    return m_pHorizontalScrollBar;
}

namespace {

// Shows `bar` at `rcBar` with `overflow` (at least 0) as its range, or hides
// it at position 0. True when its visibility or position changed, which asks
// for another layout pass.
bool PlaceScrollBar(CScrollBarUI& bar, bool show, int overflow, const RECT& rcBar)
{
    const int oldPos = bar.GetScrollPos();
    const bool changed = bar.IsVisible() != show;
    if (changed)
        bar.SetVisible(show);
    if (show) {
        bar.SetScrollRange((std::max)(overflow, 0));
        bar.SetPos(rcBar, false);
    } else {
        bar.SetScrollRange(0);
        bar.SetScrollPos(0);
    }
    return changed || bar.GetScrollPos() != oldPos;
}

} // namespace

// Which bars to show is decided once per layout, from the needed size and the
// space inside the inset: a bar that takes room from the other axis may make
// the other bar necessary too, which is settled here rather than by laying
// out again and again. When that changes a bar's visibility, or the new range
// pulls a position back, the container is laid out once more with the bars
// in place; that extra pass only adjusts ranges and positions, so the work is
// bounded to two passes whatever the content does.
void CContainerUI::ProcessScrollBar(RECT /*rc*/, int cxRequired, int cyRequired)
{
    CScrollBarUI* vbar = m_pVerticalScrollBar;
    CScrollBarUI* hbar = m_pHorizontalScrollBar;
    if (vbar == nullptr && hbar == nullptr)
        return;

    const RECT inner = GetInsetRect();
    const int fullWidth = inner.right - inner.left;
    const int fullHeight = inner.bottom - inner.top;
    const int barWidth = vbar != nullptr ? vbar->GetFixedWidth() : 0;
    const int barHeight = hbar != nullptr ? hbar->GetFixedHeight() : 0;

    bool showV = vbar != nullptr && vbar->IsVisible();
    bool showH = hbar != nullptr && hbar->IsVisible();
    if (!m_bScrollProcess) {
        showV = vbar != nullptr && cyRequired > fullHeight;
        showH = hbar != nullptr && cxRequired > fullWidth;
        // Each bar can only switch the other one on, so two rounds settle it.
        for (int round = 0; round < 2; ++round) {
            if (vbar != nullptr && !showV && showH && cyRequired > fullHeight - barHeight)
                showV = true;
            if (hbar != nullptr && !showH && showV && cxRequired > fullWidth - barWidth)
                showH = true;
        }
    }

    bool relayout = false;
    const int clientWidth = fullWidth - (showV ? barWidth : 0);
    const int clientHeight = fullHeight - (showH ? barHeight : 0);

    if (vbar != nullptr) {
        const RECT rcBar = {inner.left + clientWidth, inner.top, inner.left + clientWidth + barWidth,
                            inner.top + clientHeight};
        relayout = PlaceScrollBar(*vbar, showV, cyRequired - clientHeight, rcBar) || relayout;
    }
    if (hbar != nullptr) {
        const RECT rcBar = {inner.left, inner.top + clientHeight, inner.left + clientWidth,
                            inner.top + clientHeight + barHeight};
        relayout = PlaceScrollBar(*hbar, showH, cxRequired - clientWidth, rcBar) || relayout;
    }

    if (relayout && !m_bScrollProcess) {
        m_bScrollProcess = true;
        // A floating container takes its position relative to its parent.
        SetPos(IsFloat() && m_pParent != nullptr ? GetRelativePos() : m_rcItem, false);
        m_bScrollProcess = false;
        Invalidate();
    }
}

} // namespace Facet
