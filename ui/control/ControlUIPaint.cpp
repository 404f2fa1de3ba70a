// CControlUI: painting of background colour, background image and border,
// inside a rounded clip when the control has round corners.
#include "ControlUI.h"

#include "../render/RenderClip.h"
#include "../render/RenderEngine.h"
#include "../core/PaintManager.h"

#include <algorithm>

namespace Facet {

namespace {

// Every other pixel of the rectangle's outline, as the platform draws a focus
// rectangle: visible on any background. (The render engine's rectangles take
// the inside-frame pen, which draws no dots.)
void DrawDottedFrame(HDC hDC, const RECT& frame, DWORD color)
{
    const auto dot = [&](LONG x, LONG y) { CRenderEngine::DrawColor(hDC, RECT{x, y, x + 1, y + 1}, color); };
    for (LONG x = frame.left; x < frame.right; x += 2) {
        dot(x, frame.top);
        dot(x, frame.bottom - 1);
    }
    for (LONG y = frame.top + 2; y < frame.bottom - 1; y += 2) {
        dot(frame.left, y);
        dot(frame.right - 1, y);
    }
}

} // namespace

bool CControlUI::Paint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    if (stopControl == this)
        return false;
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem))
        return true;
    if (OnPaint && !OnPaint(this))
        return true;
    if (!DoPaint(hDC, rcPaint, stopControl))
        return false;
    if (m_pCover != nullptr)
        return m_pCover->Paint(hDC, rcPaint, nullptr);
    return true;
}

bool CControlUI::DoPaint(HDC hDC, const RECT& /*rcPaint*/, CControlUI* /*stopControl*/)
{
    // The clip stays in force for all five steps, the border included, and
    // the previous clip is selected back when it goes out of scope.
    CRenderClip roundClip;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
        CRenderClip::GenerateRoundClip(hDC, m_rcPaint, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy, roundClip);
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
    PaintFocusFrame(hDC);
    return true;
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (m_dwBackColor == 0)
        return;
    if (m_dwBackColor2 == 0) {
        // An opaque colour only needs the area being painted; a translucent
        // one is laid over the whole control.
        if (m_dwBackColor >= 0xFF000000u)
            CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwBackColor));
        else
            CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwBackColor));
        return;
    }
    if (m_dwBackColor3 != 0) {
        RECT upper = m_rcItem;
        upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
        RECT lower = m_rcItem;
        lower.top = upper.bottom;
        CRenderEngine::DrawGradient(hDC, upper, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), true, 8);
        CRenderEngine::DrawGradient(hDC, lower, GetAdjustColor(m_dwBackColor2), GetAdjustColor(m_dwBackColor3), true,
                                    8);
        return;
    }
    CRenderEngine::DrawGradient(hDC, m_rcItem, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), true, 16);
}

void CControlUI::PaintBkImage(HDC hDC)
{
    // A description never set draws nothing.
    if (m_diBk.IsMade())
        DrawImage(hDC, m_diBk.Edit());
}

void CControlUI::PaintStatusImage(HDC /*hDC*/)
{
}

void CControlUI::PaintText(HDC /*hDC*/)
{
}

void CControlUI::PaintBorder(HDC hDC)
{
    const RECT& widths = m_rcBorderSize;
    if (widths.left <= 0 || (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0))
        return;
    const DWORD chosen = (IsFocused() && m_dwFocusBorderColor != 0) ? m_dwFocusBorderColor : m_dwBorderColor;
    // A colour of 0 means "no border": an unfocused control that only has a
    // focus border colour draws nothing rather than a black frame.
    if (chosen == 0)
        return;
    const DWORD color = GetAdjustColor(chosen);

    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
        CRenderEngine::DrawRoundRect(hDC, m_rcItem, widths.left, m_cxyBorderRound.cx, m_cxyBorderRound.cy, color,
                                     m_nBorderStyle);
        return;
    }
    if (widths.top == widths.left && widths.right == widths.left && widths.bottom == widths.left) {
        CRenderEngine::DrawRect(hDC, m_rcItem, widths.left, color, m_nBorderStyle);
        return;
    }

    const RECT& rc = m_rcItem;
    // Each side is one line of its own width, centred on the inside of the edge.
    const long leftX = rc.left + widths.left / 2;
    CRenderEngine::DrawLine(hDC, RECT{leftX, rc.top, leftX, rc.bottom}, widths.left, color, m_nBorderStyle);
    if (widths.top > 0) {
        const long y = rc.top + widths.top / 2;
        CRenderEngine::DrawLine(hDC, RECT{rc.left + widths.left, y, rc.right - widths.right, y}, widths.top, color,
                                m_nBorderStyle);
    }
    if (widths.right > 0) {
        const long x = rc.right - widths.right / 2;
        CRenderEngine::DrawLine(hDC, RECT{x, rc.top, x, rc.bottom}, widths.right, color, m_nBorderStyle);
    }
    if (widths.bottom > 0) {
        const long y = rc.bottom - widths.bottom / 2;
        CRenderEngine::DrawLine(hDC, RECT{rc.left + widths.left, y, rc.right - widths.right, y}, widths.bottom, color,
                                m_nBorderStyle);
    }
}

void CControlUI::DoPostPaint(HDC /*hDC*/, const RECT& /*rcPaint*/)
{
    OnPostPaint(this);
}

// -- Focus frame --

DWORD CControlUI::GetFocusFrameColor() const
{
    if (m_dwFocusBorderColor != 0)
        return 0;
    return m_pManager != nullptr ? m_pManager->GetDefaultFontColor() : 0xFF000000;
}

void CControlUI::PaintFocusFrame(HDC hDC)
{
    if (m_pManager == nullptr || m_pManager->GetFocus() != this || !m_pManager->AreFocusCuesShown() ||
        (GetControlFlags() & UIFLAG_TABSTOP) == 0)
        return;
    const DWORD color = GetFocusFrameColor();
    if (color == 0)
        return;
    // Inside the control, a pixel clear of a skin's border of up to two
    // pixels, at any scale.
    const int inset = (std::max)(3, ScaleByWindow(3));
    RECT frame = m_rcItem;
    ::InflateRect(&frame, -inset, -inset);
    if (frame.right - frame.left < 2 || frame.bottom - frame.top < 2)
        frame = m_rcItem;
    DrawDottedFrame(hDC, frame, color | 0xFF000000u);
}

} // namespace Facet
