// CVerticalLayoutUI: the top-to-bottom layout and the separator drag.
#include "VerticalLayoutUI.h"

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

// The most a child may take along one axis: its fixed size, or its maximum
// when it has none.
long WidthLimit(const CControlUI* child)
{
    return child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
}

long HeightLimit(const CControlUI* child)
{
    return child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
}

} // namespace

CVerticalLayoutUI::CVerticalLayoutUI()
    : m_iSepHeight(0), m_uButtonState(0), m_ptLastMouse{0, 0}, m_rcNewPos{0, 0, 0, 0}, m_bImmMode(false)
{
}

const wchar_t* CVerticalLayoutUI::GetClass() const
{
    return L"VerticalLayout";
}

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"VerticalLayout") == 0)
        return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CVerticalLayoutUI::GetControlFlags() const
{
    return (IsEnabled() && m_iSepHeight != 0) ? UIFLAG_SETCURSOR : 0;
}

void CVerticalLayoutUI::SetPos(RECT rc, bool needInvalidate)
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

    // First pass: what the children with a height need, and how many share
    // the rest.
    int placedCount = 0;
    int stretchCount = 0;
    long fixedTotal = 0;
    long neededWidth = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const RECT pad = child->GetPadding();
        const long widthLimit = WidthLimit(child);
        const SIZE available = {(std::min)(availWidth - pad.left - pad.right, widthLimit),
                                (std::min)(availHeight, HeightLimit(child))};
        SIZE estimate = child->EstimateSize(available);
        if (estimate.cy == 0)
            ++stretchCount;
        else
            estimate.cy = Clamp(estimate.cy, child->GetMinHeight(), child->GetMaxHeight());
        fixedTotal += estimate.cy + pad.top + pad.bottom;
        const long width = Clamp((std::max)(estimate.cx, 0L), child->GetMinWidth(), child->GetMaxWidth());
        neededWidth = (std::max)(neededWidth, width + pad.left + pad.right);
        ++placedCount;
    }
    if (placedCount > 0)
        fixedTotal += (placedCount - 1) * m_iChildPadding;
    const long share = stretchCount == 0 ? 0 : (std::max)(0L, (availHeight - fixedTotal) / stretchCount);

    // Second pass: place them.
    long y = client.top;
    if (IsShown(m_pVerticalScrollBar))
        y -= m_pVerticalScrollBar->GetScrollPos();
    long remainingHeight = availHeight;
    long fixedLeft = fixedTotal;
    long neededHeight = 0;
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
        remainingHeight -= pad.top;
        fixedLeft -= pad.top + pad.bottom;
        if (placed > 0)
            fixedLeft -= m_iChildPadding;

        const long widthLimit = (std::min)(availWidth - pad.left - pad.right, WidthLimit(child));
        const SIZE available = {widthLimit, (std::min)(remainingHeight, HeightLimit(child))};
        const SIZE estimate = child->EstimateSize(available);
        long height;
        if (estimate.cy != 0) {
            height = Clamp(estimate.cy, child->GetMinHeight(), child->GetMaxHeight());
            fixedLeft -= height;
        } else {
            ++stretchSeen;
            // The last stretchable child takes what the division left over.
            height = stretchSeen == stretchCount ? (std::max)(0L, remainingHeight - pad.bottom - fixedLeft) : share;
            height = Clamp(height, child->GetMinHeight(), child->GetMaxHeight());
        }

        long width = child->GetMaxWidth();
        if (width == 0)
            width = availWidth - pad.left - pad.right;
        width = (std::max)(width, 0L);
        width = (std::min)(width, widthLimit);
        width = (std::max)(width, static_cast<long>(child->GetMinWidth()));

        long left;
        if (m_iChildAlign == 1) {
            long centre = (client.left + client.right) / 2;
            if (IsShown(m_pHorizontalScrollBar))
                centre += m_pHorizontalScrollBar->GetScrollRange() / 2 - m_pHorizontalScrollBar->GetScrollPos();
            left = centre - width / 2;
        } else if (m_iChildAlign == 2) {
            long right = client.right - pad.right;
            if (IsShown(m_pHorizontalScrollBar))
                right += m_pHorizontalScrollBar->GetScrollRange() - m_pHorizontalScrollBar->GetScrollPos();
            left = right - width;
        } else {
            left = client.left + pad.left;
            if (IsShown(m_pHorizontalScrollBar))
                left -= m_pHorizontalScrollBar->GetScrollPos();
        }

        child->SetPos(RECT{left, y + pad.top, left + width, y + pad.top + height}, false);
        i = ResumeIndex(i, child, version);

        y += height + m_iChildPadding + pad.top + pad.bottom;
        neededHeight += height + pad.top + pad.bottom;
        remainingHeight -= height + m_iChildPadding + pad.bottom;
        ++placed;
    }
    if (placedCount > 0)
        neededHeight += (placedCount - 1) * m_iChildPadding;
    ProcessScrollBar(client, neededWidth, neededHeight);
}

// -- Separator --

void CVerticalLayoutUI::SetSepHeight(int height)
{
    m_iSepHeight = height;
}

int CVerticalLayoutUI::GetSepHeight() const
{
    return m_iSepHeight;
}

void CVerticalLayoutUI::SetSepImmMode(bool immediately)
{
    if (m_bImmMode == immediately)
        return;
    if ((m_uButtonState & kSeparatorCaptured) != 0 && !m_bImmMode && m_pManager != nullptr)
        m_pManager->RemovePostPaint(this);
    m_bImmMode = immediately;
}

bool CVerticalLayoutUI::IsSepImmMode() const
{
    return m_bImmMode;
}

RECT CVerticalLayoutUI::GetThumbRect(bool useNew) const
{
    const RECT rc = (useNew && (m_uButtonState & kSeparatorCaptured) != 0) ? m_rcNewPos : m_rcItem;
    if (m_iSepHeight >= 0)
        return RECT{rc.left, (std::max)(rc.bottom - m_iSepHeight, rc.top), rc.right, rc.bottom};
    return RECT{rc.left, rc.top, rc.right, (std::min)(rc.top - m_iSepHeight, rc.bottom)};
}

void CVerticalLayoutUI::DoEvent(TEventUI& event)
{
    if (m_iSepHeight == 0) {
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
        const long dy = event.ptMouse.y - m_ptLastMouse.y;
        m_ptLastMouse = event.ptMouse;
        RECT rc = m_rcNewPos;
        const long minHeight = GetMinHeight();
        const long maxHeight = GetMaxHeight();
        const long oldHeight = m_rcNewPos.bottom - m_rcNewPos.top;
        if (m_iSepHeight >= 0) {
            if (dy > 0 && event.ptMouse.y < m_rcNewPos.bottom + m_iSepHeight)
                return;
            if (dy < 0 && event.ptMouse.y > m_rcNewPos.bottom)
                return;
            rc.bottom += dy;
            if (rc.bottom - rc.top <= minHeight) {
                if (oldHeight <= minHeight)
                    return;
                rc.bottom = rc.top + minHeight;
            }
            if (rc.bottom - rc.top >= maxHeight) {
                if (oldHeight >= maxHeight)
                    return;
                rc.bottom = rc.top + maxHeight;
            }
        } else {
            if (dy > 0 && event.ptMouse.y < m_rcNewPos.top)
                return;
            if (dy < 0 && event.ptMouse.y > m_rcNewPos.top - m_iSepHeight)
                return;
            rc.top += dy;
            if (rc.bottom - rc.top <= minHeight) {
                if (oldHeight <= minHeight)
                    return;
                rc.top = rc.bottom - minHeight;
            }
            if (rc.bottom - rc.top >= maxHeight) {
                if (oldHeight >= maxHeight)
                    return;
                rc.top = rc.bottom - maxHeight;
            }
        }

        RECT invalid = GetThumbRect(true);
        m_rcNewPos = rc;
        m_cxyFixed.cy = rc.bottom - rc.top;
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
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    if ((m_uButtonState & kSeparatorCaptured) != 0 && !m_bImmMode)
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    CContainerUI::DoPostPaint(hDC, rcPaint);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    if (wcscmp(name, L"sepheight") == 0)
        SetSepHeight(static_cast<int>(wcstol(value, nullptr, 10)));
    else if (wcscmp(name, L"sepimm") == 0)
        SetSepImmMode(wcscmp(value, L"true") == 0);
    else
        CContainerUI::SetAttribute(name, value);
}

} // namespace Facet
