// CHorizontalLayoutUI: the left-to-right layout and the separator drag.
#include "HorizontalLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "../control/ScrollBarUI.h"
#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"

namespace Facet {

namespace {

long Clamp(long value, long low, long high)
{
    return (std::min)((std::max)(value, low), high);
}

bool IsShown(const CScrollBarUI* bar)
{
    return bar != nullptr && bar->IsVisible();
}

long WidthLimit(const CControlUI* child)
{
    return child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
}

long HeightLimit(const CControlUI* child)
{
    return child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
}

} // namespace

CHorizontalLayoutUI::CHorizontalLayoutUI()
    : m_iSepWidth(0), m_uButtonState(0), m_ptLastMouse{0, 0}, m_rcNewPos{0, 0, 0, 0}, m_bImmMode(false)
{
}

const wchar_t* CHorizontalLayoutUI::GetClass() const
{
    return L"HorizontalLayout";
}

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"HorizontalLayout") == 0)
        return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CHorizontalLayoutUI::GetControlFlags() const
{
    return (IsEnabled() && m_iSepWidth != 0) ? UIFLAG_SETCURSOR : 0;
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);

    RECT client = GetClientPos();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(client, 0, 0);
        return;
    }

    long availWidth = client.right - client.left;
    long availHeight = client.bottom - client.top;
    if (IsShown(m_pHorizontalScrollBar))
        availWidth += m_pHorizontalScrollBar->GetScrollRange();
    if (IsShown(m_pVerticalScrollBar))
        availHeight += m_pVerticalScrollBar->GetScrollRange();

    // First pass. Only a child with a fixed width can keep a width of its
    // own; every other child shares the rest.
    int placedCount = 0;
    int stretchCount = 0;
    long fixedTotal = 0;
    long neededHeight = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const RECT pad = child->GetPadding();
        SIZE estimate = {0, child->GetFixedHeight()};
        if (child->GetFixedWidth() != 0) {
            const SIZE available = {(std::min)(availWidth, WidthLimit(child)),
                                    (std::min)(availHeight - pad.top - pad.bottom, HeightLimit(child))};
            estimate = child->EstimateSize(available);
        }
        if (child->GetFixedWidth() == 0 || estimate.cx == 0) {
            ++stretchCount;
            estimate.cx = 0;
        } else {
            estimate.cx = Clamp(estimate.cx, child->GetMinWidth(), child->GetMaxWidth());
        }
        fixedTotal += estimate.cx + pad.left + pad.right;
        const long height = Clamp((std::max)(estimate.cy, 0L), child->GetMinHeight(), child->GetMaxHeight());
        neededHeight = (std::max)(neededHeight, height + pad.top + pad.bottom);
        ++placedCount;
    }
    if (placedCount > 0)
        fixedTotal += (placedCount - 1) * m_iChildPadding;
    const long share = stretchCount == 0 ? 0 : (std::max)(0L, (availWidth - fixedTotal) / stretchCount);

    // Second pass: place them.
    long x = client.left;
    if (IsShown(m_pHorizontalScrollBar))
        x -= m_pHorizontalScrollBar->GetScrollPos();
    long remainingWidth = availWidth;
    long fixedLeft = fixedTotal;
    long neededWidth = 0;
    int stretchSeen = 0;
    int placed = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        const unsigned version = m_nItemsVersion;
        if (child->IsFloat()) {
            SetFloatPos(i);
            i = ResumeIndex(i, child, version);
            continue;
        }

        const RECT pad = child->GetPadding();
        remainingWidth -= pad.left;
        fixedLeft -= pad.left + pad.right;
        if (placed > 0)
            fixedLeft -= m_iChildPadding;

        const long heightLimit = (std::min)(availHeight - pad.top - pad.bottom, HeightLimit(child));
        const SIZE available = {(std::min)(remainingWidth, WidthLimit(child)), heightLimit};
        const SIZE estimate = child->EstimateSize(available);
        long width;
        if (child->GetFixedWidth() != 0 && estimate.cx != 0) {
            width = Clamp(estimate.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedLeft -= width;
        } else {
            ++stretchSeen;
            // The last stretchable child takes what the division left over.
            width = stretchSeen == stretchCount ? (std::max)(0L, remainingWidth - pad.right - fixedLeft) : share;
            width = Clamp(width, child->GetMinWidth(), child->GetMaxWidth());
        }

        long height = child->GetMaxHeight();
        if (height == 0)
            height = availHeight - pad.top - pad.bottom;
        height = (std::max)(height, 0L);
        height = (std::min)(height, heightLimit);
        height = (std::max)(height, static_cast<long>(child->GetMinHeight()));

        long top;
        if (m_iChildVAlign == 4) {
            long centre = (client.top + client.bottom) / 2;
            if (IsShown(m_pVerticalScrollBar))
                centre += m_pVerticalScrollBar->GetScrollRange() / 2 - m_pVerticalScrollBar->GetScrollPos();
            top = centre - height / 2;
        } else if (m_iChildVAlign == 8) {
            long bottom = client.bottom - pad.bottom;
            if (IsShown(m_pVerticalScrollBar))
                bottom += m_pVerticalScrollBar->GetScrollRange() - m_pVerticalScrollBar->GetScrollPos();
            top = bottom - height;
        } else {
            top = client.top + pad.top;
            if (IsShown(m_pVerticalScrollBar))
                top -= m_pVerticalScrollBar->GetScrollPos();
        }

        child->SetPos(RECT{x + pad.left, top, x + pad.left + width, top + height}, false);
        i = ResumeIndex(i, child, version);

        x += width + m_iChildPadding + pad.left + pad.right;
        neededWidth += width + pad.left + pad.right;
        remainingWidth -= width + m_iChildPadding + pad.right;
        ++placed;
    }
    if (placedCount > 0)
        neededWidth += (placedCount - 1) * m_iChildPadding;
    ProcessScrollBar(client, neededWidth, neededHeight);
}

// -- Separator --

void CHorizontalLayoutUI::SetSepWidth(int width)
{
    m_iSepWidth = width;
}

int CHorizontalLayoutUI::GetSepWidth() const
{
    return m_iSepWidth;
}

void CHorizontalLayoutUI::SetSepImmMode(bool immediately)
{
    if (m_bImmMode == immediately)
        return;
    if ((m_uButtonState & kSeparatorCaptured) != 0 && !m_bImmMode && m_pManager != nullptr)
        m_pManager->RemovePostPaint(this);
    m_bImmMode = immediately;
}

bool CHorizontalLayoutUI::IsSepImmMode() const
{
    return m_bImmMode;
}

RECT CHorizontalLayoutUI::GetThumbRect(bool useNew) const
{
    const RECT rc = (useNew && (m_uButtonState & kSeparatorCaptured) != 0) ? m_rcNewPos : m_rcItem;
    if (m_iSepWidth >= 0)
        return RECT{(std::max)(rc.right - m_iSepWidth, rc.left), rc.top, rc.right, rc.bottom};
    return RECT{rc.left, rc.top, (std::min)(rc.left - m_iSepWidth, rc.right), rc.bottom};
}

void CHorizontalLayoutUI::DoEvent(TEventUI& event)
{
    if (m_iSepWidth == 0) {
        CContainerUI::DoEvent(event);
        return;
    }
    const bool captured = (m_uButtonState & kSeparatorCaptured) != 0;

    if (event.Type == UIEVENT_BUTTONDOWN && IsEnabled()) {
        const RECT thumb = GetThumbRect(false);
        if (PtInRect(&thumb, event.ptMouse)) {
            m_uButtonState |= kSeparatorCaptured;
            m_ptLastMouse = event.ptMouse;
            m_rcNewPos = m_rcItem;
            if (!m_bImmMode && m_pManager != nullptr)
                m_pManager->AddPostPaint(this);
            return;
        }
    }
    if (event.Type == UIEVENT_BUTTONUP && captured) {
        m_uButtonState &= ~kSeparatorCaptured;
        m_rcItem = m_rcNewPos;
        if (!m_bImmMode && m_pManager != nullptr)
            m_pManager->RemovePostPaint(this);
        NeedParentUpdate();
        return;
    }
    if (event.Type == UIEVENT_MOUSEMOVE && captured) {
        const long dx = event.ptMouse.x - m_ptLastMouse.x;
        m_ptLastMouse = event.ptMouse;
        RECT rc = m_rcNewPos;
        const long minWidth = GetMinWidth();
        const long maxWidth = GetMaxWidth();
        const long oldWidth = m_rcNewPos.right - m_rcNewPos.left;
        if (m_iSepWidth >= 0) {
            if (dx > 0 && event.ptMouse.x < m_rcNewPos.right + m_iSepWidth)
                return;
            if (dx < 0 && event.ptMouse.x > m_rcNewPos.right)
                return;
            rc.right += dx;
            if (rc.right - rc.left <= minWidth) {
                if (oldWidth <= minWidth)
                    return;
                rc.right = rc.left + minWidth;
            }
            if (rc.right - rc.left >= maxWidth) {
                if (oldWidth >= maxWidth)
                    return;
                rc.right = rc.left + maxWidth;
            }
        } else {
            if (dx > 0 && event.ptMouse.x < m_rcNewPos.left)
                return;
            if (dx < 0 && event.ptMouse.x > m_rcNewPos.left - m_iSepWidth)
                return;
            rc.left += dx;
            if (rc.right - rc.left <= minWidth) {
                if (oldWidth <= minWidth)
                    return;
                rc.left = rc.right - minWidth;
            }
            if (rc.right - rc.left >= maxWidth) {
                if (oldWidth >= maxWidth)
                    return;
                rc.left = rc.right - maxWidth;
            }
        }

        RECT invalid = GetThumbRect(true);
        m_rcNewPos = rc;
        m_cxyFixed.cx = rc.right - rc.left;
        if (m_bImmMode) {
            m_rcItem = m_rcNewPos;
            NeedParentUpdate();
        } else if (m_pManager != nullptr) {
            const RECT now = GetThumbRect(true);
            UnionRect(&invalid, &invalid, &now);
            const RECT old = GetThumbRect(false);
            UnionRect(&invalid, &invalid, &old);
            m_pManager->Invalidate(invalid);
        }
        return;
    }
    if (event.Type == UIEVENT_SETCURSOR) {
        const RECT thumb = GetThumbRect(false);
        if (IsEnabled() && PtInRect(&thumb, event.ptMouse)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    if ((m_uButtonState & kSeparatorCaptured) != 0 && !m_bImmMode)
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    CContainerUI::DoPostPaint(hDC, rcPaint);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    if (wcscmp(name, L"sepwidth") == 0)
        SetSepWidth(static_cast<int>(wcstol(value, nullptr, 10)));
    else if (wcscmp(name, L"sepimm") == 0)
        SetSepImmMode(wcscmp(value, L"true") == 0);
    else
        CContainerUI::SetAttribute(name, value);
}

} // namespace Facet
