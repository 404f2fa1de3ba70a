// The tooltip window a paint manager shows for the control under a resting
// mouse: made on the first hover, moved to each control's text and place,
// hidden when the mouse moves on.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "FacetString.h"

namespace Facet {

class CHoverTooltip
{
public:
    CHoverTooltip();
    ~CHoverTooltip();
    CHoverTooltip(const CHoverTooltip&) = delete;
    CHoverTooltip& operator=(const CHoverTooltip&) = delete;

    HWND Window() const { return m_hWnd; }
    // The delay before a hover shows the tip: the window's own once it exists.
    DWORD HoverDelay(int fallback) const;
    void SetMaxWidth(int width);
    // Shows `text` for the area `rcTool` of `hOwner`, tracked at the client
    // point `pt`, at most `width` wide. False when the window cannot be made.
    bool Show(HWND hOwner, HINSTANCE hInstance, const CFacetString& text, const RECT& rcTool, int width, POINT pt);
    void Hide();
    void Destroy();

private:
    bool Create(HWND hOwner, HINSTANCE hInstance, int width);

    HWND m_hWnd = nullptr;
    TOOLINFOW m_info;
    CFacetString m_sText;
    int m_iLastWidth = -1;
};

} // namespace Facet
