// CScrollBarUI: painting. The background (colour, "bkimage" and the state
// images of the whole bar), then the rail (the track between the buttons),
// then the two buttons and the thumb, each as a colour and a state image.
#include "ScrollBarUI.h"

#include "../render/RenderEngine.h"

namespace Facet {

namespace {

// The image for a state, falling back to the normal one when the state has
// none.
TDrawInfo& Pick(TDrawInfo& normal, TDrawInfo& chosen)
{
    return chosen.sDrawString.IsEmpty() ? normal : chosen;
}

bool HasImage(const TDrawInfo& image)
{
    return !image.sDrawString.IsEmpty();
}

// The plain look: a light track, mid-grey buttons and a darker thumb that
// darkens further while it is hot or pushed.
const DWORD kPlainTrack = 0xFFF0F0F0;
const DWORD kPlainButton = 0xFFD4D4D4;
const DWORD kPlainThumb = 0xFFB8B8B8;
const DWORD kPlainThumbHot = 0xFFA0A0A0;
const DWORD kPlainThumbPushed = 0xFF888888;

} // namespace

bool CScrollBarUI::HasOwnLook() const
{
    const PartImages* parts[] = {&m_button1, &m_button2, &m_thumb, &m_rail, &m_bk};
    for (const PartImages* part : parts) {
        if (HasImage(part->normal) || HasImage(part->hot) || HasImage(part->pushed) || HasImage(part->disabled))
            return true;
    }
    return m_dwBackColor != 0 || HasImage(m_diBk.Get()) || m_dwButton1Color != 0 || m_dwButton2Color != 0 ||
           m_dwThumbColor != 0;
}

void CScrollBarUI::PaintPlainLook(HDC hDC)
{
    RECT visible;
    if (IntersectRect(&visible, &m_rcItem, &m_rcPaint))
        CRenderEngine::DrawColor(hDC, visible, GetAdjustColor(kPlainTrack));
    const RECT* buttons[] = {&m_rcButton1, &m_rcButton2};
    for (const RECT* button : buttons) {
        if (IntersectRect(&visible, button, &m_rcPaint))
            CRenderEngine::DrawColor(hDC, visible, GetAdjustColor(kPlainButton));
    }
    if (!IsEnabled() || !IntersectRect(&visible, &m_rcThumb, &m_rcPaint))
        return;
    DWORD thumb = kPlainThumb;
    if ((m_uThumbState & kPushed) != 0)
        thumb = kPlainThumbPushed;
    else if ((m_uThumbState & kHot) != 0)
        thumb = kPlainThumbHot;
    CRenderEngine::DrawColor(hDC, visible, GetAdjustColor(thumb));
}

void CScrollBarUI::PaintBkImage(HDC hDC)
{
    CControlUI::PaintBkImage(hDC);
    const UINT all = m_uButton1State | m_uButton2State | m_uThumbState | m_uTrackState;
    TDrawInfo* image = &m_bk.normal;
    if (!IsEnabled())
        image = &Pick(m_bk.normal, m_bk.disabled);
    else if ((all & kPushed) != 0)
        image = &Pick(m_bk.normal, m_bk.pushed);
    else if ((all & kHot) != 0)
        image = &Pick(m_bk.normal, m_bk.hot);
    if (!image->sDrawString.IsEmpty())
        CRenderEngine::DrawImage(hDC, m_pManager, m_rcItem, m_rcPaint, *image);
}

void CScrollBarUI::PaintStatusImage(HDC hDC)
{
    // A bar without any look of its own would be invisible.
    if (!HasOwnLook()) {
        PaintPlainLook(hDC);
        return;
    }
    // The rail follows the thumb's state: it is hot or pushed with it.
    if (!IsRectEmpty(&m_rcThumb))
        PaintPart(hDC, GetTrackRect(), 0, m_rail, m_uThumbState | m_uTrackState);
    PaintPart(hDC, m_rcButton1, m_dwButton1Color, m_button1, m_uButton1State);
    PaintPart(hDC, m_rcButton2, m_dwButton2Color, m_button2, m_uButton2State);
    if (!IsRectEmpty(&m_rcThumb))
        PaintPart(hDC, m_rcThumb, m_dwThumbColor, m_thumb, m_uThumbState);
}

void CScrollBarUI::PaintPart(HDC hDC, const RECT& rc, DWORD color, PartImages& images, UINT state)
{
    RECT visible;
    if (IsRectEmpty(&rc) || !IntersectRect(&visible, &rc, &m_rcPaint))
        return;
    if (color != 0)
        CRenderEngine::DrawColor(hDC, visible, GetAdjustColor(color));
    TDrawInfo* image = &images.normal;
    if (!IsEnabled())
        image = &Pick(images.normal, images.disabled);
    else if ((state & kPushed) != 0)
        image = &Pick(images.normal, images.pushed);
    else if ((state & kHot) != 0)
        image = &Pick(images.normal, images.hot);
    if (!image->sDrawString.IsEmpty())
        CRenderEngine::DrawImage(hDC, m_pManager, rc, m_rcPaint, *image);
}

} // namespace Facet
