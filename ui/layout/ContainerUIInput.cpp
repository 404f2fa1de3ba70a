// CContainerUI: painting of the children inside the client area, hit testing
// into children and scroll bars, and the keys and wheel that scroll.
#include "ContainerUI.h"

#include <initializer_list>

#include "../control/ControlDispatch.h"
#include "../control/ScrollBarUI.h"
#include "../render/RenderClip.h"

namespace Facet {

namespace {

bool IsShown(const CScrollBarUI* bar)
{
    return bar != nullptr && bar->IsVisible();
}

bool Meets(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

} // namespace

bool CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    RECT rcOuter;
    if (!IntersectRect(&rcOuter, &rcPaint, &m_rcItem))
        return true;
    CRenderClip outerClip;
    CRenderClip::GenerateClip(hDC, rcOuter, outerClip);

    CControlUI::DoPaint(hDC, rcPaint, stopControl);

    if (!m_items.IsEmpty()) {
        const RECT inner = GetClientPos();
        RECT rcInner;
        const bool innerMet = IntersectRect(&rcInner, &rcPaint, &inner) != FALSE;
        // Clipped to the client area while it is in force; floating children
        // may reach outside it and are painted with the outer clip.
        CRenderClip innerClip;
        if (innerMet)
            CRenderClip::GenerateClip(hDC, rcInner, innerClip);
        for (int i = 0; i < m_items.GetSize(); ++i) {
            CControlUI* child = GetItemAt(i);
            if (child == stopControl)
                return false;
            if (!child->IsVisible() || !Meets(rcPaint, child->GetPos()))
                continue;
            const unsigned version = m_nItemsVersion;
            if (child->IsFloat()) {
                if (!Meets(m_rcItem, child->GetPos()))
                    continue;
                bool painted;
                if (innerMet) {
                    CRenderClip::UseOldClipBegin(hDC, innerClip);
                    painted = child->Paint(hDC, rcPaint, stopControl);
                    CRenderClip::UseOldClipEnd(hDC, innerClip);
                } else {
                    painted = child->Paint(hDC, rcPaint, stopControl);
                }
                if (!painted)
                    return false;
            } else {
                if (!innerMet || !Meets(inner, child->GetPos()))
                    continue;
                if (!child->Paint(hDC, rcPaint, stopControl))
                    return false;
            }
            i = ResumeIndex(i, child, version);
        }
    }

    for (CScrollBarUI* bar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
        if (!IsShown(bar) || !Meets(rcPaint, bar->GetPos()))
            continue;
        if (bar == stopControl)
            return false;
        if (!bar->Paint(hDC, rcPaint, stopControl))
            return false;
    }
    return true;
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    if (!SearchEnters(*this, proc, data, flags))
        return nullptr;
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    const bool selfMayAnswer = !hitTest || IsMouseEnabled();
    const bool childrenMayAnswer = !hitTest || IsMouseChildEnabled();
    return SearchSelfAndInside(*this, proc, data, flags, selfMayAnswer, [&]() -> CControlUI* {
        CControlUI* result = nullptr;
        if (m_pCover != nullptr && childrenMayAnswer)
            result = m_pCover->FindControl(proc, data, flags);
        // The scroll bars belong to the container itself.
        if (result == nullptr && m_pVerticalScrollBar != nullptr && selfMayAnswer)
            result = m_pVerticalScrollBar->FindControl(proc, data, flags);
        if (result == nullptr && m_pHorizontalScrollBar != nullptr && selfMayAnswer)
            result = m_pHorizontalScrollBar->FindControl(proc, data, flags);
        if (result != nullptr || !childrenMayAnswer)
            return result;
        const RECT inner = GetClientPos();
        // A child's answer counts when the point also lies in the client
        // area (the part of a scrolled child under the inset or a bar is not
        // hit), or when the answer floats.
        auto accept = [&](CControlUI* found) {
            return found != nullptr &&
                   (!hitTest || found->IsFloat() || PtInRect(&inner, *static_cast<const POINT*>(data)));
        };
        if ((flags & UIFIND_TOP_FIRST) != 0) {
            for (int i = m_items.GetSize() - 1; i >= 0 && result == nullptr; --i) {
                if (i >= m_items.GetSize())
                    continue;
                CControlUI* found = GetItemAt(i)->FindControl(proc, data, flags);
                if (accept(found))
                    result = found;
            }
        } else {
            for (int i = 0; i < m_items.GetSize() && result == nullptr; ++i) {
                CControlUI* found = GetItemAt(i)->FindControl(proc, data, flags);
                if (accept(found))
                    result = found;
            }
        }
        return result;
    });
}

void CContainerUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(*this, event))
        return;
    if (NoteFocus(m_bFocused, event))
        return;

    const bool verticalActive = IsShown(m_pVerticalScrollBar) && m_pVerticalScrollBar->IsEnabled();
    const bool horizontalActive = IsShown(m_pHorizontalScrollBar) && m_pHorizontalScrollBar->IsEnabled();
    if (event.Type == UIEVENT_KEYDOWN && IsKeyboardEnabled() && IsEnabled()) {
        if ((verticalActive || horizontalActive) && ScrollByKey(event.chKey, verticalActive))
            return;
    }
    if (event.Type == UIEVENT_SCROLLWHEEL && ScrollByWheel(event, verticalActive, horizontalActive))
        return;
    CControlUI::DoEvent(event);
}

// Page Up/Down, End, Home and the up and down arrows scroll the vertical bar,
// or the horizontal one when only it is active (up and down move left and
// right); false for any other key.
bool CContainerUI::ScrollByKey(WCHAR key, bool vertical)
{
    struct KeyScroll
    {
        WCHAR key;
        void (CContainerUI::*vertical)();
        void (CContainerUI::*horizontal)();
    };
    static const KeyScroll kKeys[] = {
        {VK_PRIOR, &CContainerUI::PageUp, &CContainerUI::PageLeft},
        {VK_NEXT, &CContainerUI::PageDown, &CContainerUI::PageRight},
        {VK_END, &CContainerUI::EndDown, &CContainerUI::EndRight},
        {VK_HOME, &CContainerUI::HomeUp, &CContainerUI::HomeLeft},
        {VK_UP, &CContainerUI::LineUp, &CContainerUI::LineLeft},
        {VK_DOWN, &CContainerUI::LineDown, &CContainerUI::LineRight},
    };
    for (const KeyScroll& entry : kKeys) {
        if (entry.key == key) {
            (this->*(vertical ? entry.vertical : entry.horizontal))();
            return true;
        }
    }
    return false;
}

// The wheel scrolls the horizontal bar while over it or when it is the only
// active one, else the vertical bar; false when neither is active.
bool CContainerUI::ScrollByWheel(const TEventUI& event, bool verticalActive, bool horizontalActive)
{
    const bool towardsUser = LOWORD(event.wParam) == 1;
    const bool overHorizontal = horizontalActive && PtInRect(&m_pHorizontalScrollBar->GetPos(), event.ptMouse);
    if (overHorizontal || (!verticalActive && horizontalActive)) {
        if (towardsUser)
            LineRight();
        else
            LineLeft();
        return true;
    }
    if (!verticalActive)
        return false;
    if (towardsUser)
        LineDown();
    else
        LineUp();
    return true;
}

} // namespace Facet
