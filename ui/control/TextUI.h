// CTextUI ("Text"): a label whose mark-up text may hold links ({a target}...{/a}).
// Each paint records where the links were laid out; the cursor turns into a
// hand over them, the one under the mouse is drawn in the hover colour, and a
// click on one raises "link" with the link's index in wParam.
#pragma once

#include <windows.h>

#include "LabelUI.h"

namespace Facet {

class CTextUI : public CLabelUI
{
public:
    // The most links one text keeps track of.
    static const int kMaxLinks = 8;

    CTextUI();

    // "Text".
    const wchar_t* GetClass() const override;
    // This control for "Text", else the label's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    // UIFLAG_SETCURSOR while enabled (the hand over links).
    UINT GetControlFlags() const override;

    // The target text of link `index` as laid out by the last paint; null
    // outside 0..GetLinkCount()-1.
    CFacetString* GetLinkContent(int index);
    int GetLinkCount() const;
    // The rectangle of link `index` as laid out by the last paint (window
    // coordinates); null outside 0..GetLinkCount()-1.
    const RECT* GetLinkRect(int index) const;
    // The index of the link at `pt` (window coordinates), or -1.
    int HitTestLink(POINT pt) const;

    void DoEvent(TEventUI& event) override;
    // The label's text, with the link table refreshed when mark-up is on.
    void PaintText(HDC hDC) override;

private:
    // DoEvent's steps (see HandleLinkEvent).
    bool HandleLinkEvent(TEventUI& event);
    bool OnLinkSetCursor(const TEventUI& event);
    bool OnLinkButtonDown(const TEventUI& event);
    bool OnLinkButtonUp(const TEventUI& event);

    int m_nLinks;
    RECT m_rcLinks[kMaxLinks];
    CFacetString m_sLinks[kMaxLinks];
    int m_nHoverLink;
    // The link pressed by the last button-down, or -1.
    int m_nPressedLink;
};

} // namespace Facet
