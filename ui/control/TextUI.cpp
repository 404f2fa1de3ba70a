// CTextUI: link bookkeeping, link hover and the "link" notification.
#include "TextUI.h"

#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"
#include "LinkTracking.h"

namespace Facet {

CTextUI::CTextUI() : m_nLinks(0), m_rcLinks{}, m_nHoverLink(-1), m_nPressedLink(-1)
{
    m_uTextStyle = DT_WORDBREAK;
    m_rcTextPadding = RECT{2, 0, 2, 0};
}

const wchar_t* CTextUI::GetClass() const
{
    return L"Text";
}

LPVOID CTextUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Text") == 0)
        return static_cast<CTextUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const
{
    return IsEnabled() ? UIFLAG_SETCURSOR : 0;
}

CFacetString* CTextUI::GetLinkContent(int index)
{
    if (index < 0 || index >= m_nLinks)
        return nullptr;
    return &m_sLinks[index];
}

int CTextUI::GetLinkCount() const
{
    return m_nLinks;
}

const RECT* CTextUI::GetLinkRect(int index) const
{
    if (index < 0 || index >= m_nLinks)
        return nullptr;
    return &m_rcLinks[index];
}

int CTextUI::HitTestLink(POINT pt) const
{
    return LinkIndexAt(m_rcLinks, m_nLinks, pt);
}

void CTextUI::DoEvent(TEventUI& event)
{
    if (!HandleLinkEvent(event))
        CLabelUI::DoEvent(event);
}

// One line per event the links answer; true when the event stops here, false
// when the label goes on with it.
bool CTextUI::HandleLinkEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        return OnLinkSetCursor(event);
    case UIEVENT_BUTTONDOWN:
        return OnLinkButtonDown(event);
    case UIEVENT_DBLCLICK:
        return OnLinkButtonDown(event);
    case UIEVENT_BUTTONUP:
        return OnLinkButtonUp(event);
    case UIEVENT_MOUSEMOVE:
        SetHoverLink(*this, m_nHoverLink, IsEnabled() ? HitTestLink(event.ptMouse) : -1);
        return false;
    case UIEVENT_MOUSEENTER:
        SetHoverLink(*this, m_nHoverLink, IsEnabled() ? HitTestLink(event.ptMouse) : -1);
        return false;
    case UIEVENT_MOUSELEAVE:
        SetHoverLink(*this, m_nHoverLink, -1);
        return false;
    default:
        return false;
    }
}

// The hand over a link.
bool CTextUI::OnLinkSetCursor(const TEventUI& event)
{
    if (HitTestLink(event.ptMouse) < 0)
        return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

// A press on a link of an enabled text is kept until the release.
bool CTextUI::OnLinkButtonDown(const TEventUI& event)
{
    if (!IsEnabled())
        return false;
    m_nPressedLink = HitTestLink(event.ptMouse);
    if (m_nPressedLink < 0)
        return false;
    Invalidate();
    return true;
}

// A link counts as clicked when the button goes up over the same link it went
// down on.
bool CTextUI::OnLinkButtonUp(const TEventUI& event)
{
    if (!IsEnabled() || m_nPressedLink < 0)
        return false;
    const int link = HitTestLink(event.ptMouse);
    const bool clicked = link == m_nPressedLink;
    m_nPressedLink = -1;
    Invalidate();
    if (clicked && m_pManager != nullptr)
        m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link), 0, false, true);
    return true;
}

void CTextUI::PaintText(HDC hDC)
{
    if (!m_bShowHtml || m_EnableEffect) {
        m_nLinks = 0;
        CLabelUI::PaintText(hDC);
        return;
    }
    ResolveDefaultColors();
    const CFacetString text = GetDisplayText();
    RECT rc = GetTextRect();
    // On entry the arrays hold the previous layout (so the hovered link is
    // drawn in the hover colour); on return they hold this one.
    int linkCount = text.IsEmpty() ? 0 : kMaxLinks;
    if (linkCount > 0) {
        for (int i = m_nLinks; i < kMaxLinks; ++i) {
            m_rcLinks[i] = RECT{0, 0, 0, 0};
            m_sLinks[i].Empty();
        }
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(),
                                    IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor, m_rcLinks, m_sLinks, linkCount,
                                    m_iFont, m_uTextStyle);
    }
    m_nLinks = linkCount;
}

} // namespace Facet
