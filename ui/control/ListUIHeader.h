// The header row of a list and its column headers. Each header item is one
// column; dragging its separator strip resizes the column, and a click on it
// reports "headerclick".
#pragma once

#include <windows.h>

#include "../layout/HorizontalLayoutUI.h"
#include "../render/ImageInfo.h"
#include "ControlUI.h"

namespace Facet {

class CListHeaderUI : public CHorizontalLayoutUI
{
public:
    // "ListHeader".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // The fixed height, else the tallest item's.
    SIZE EstimateSize(SIZE available) override;
};

class CListHeaderItemUI : public CControlUI
{
public:
    CListHeaderItemUI();

    // "ListHeaderItem".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetEnabled(bool enabled = true) override;
    // The fixed width; the fixed height, else the font's height plus 14.
    SIZE EstimateSize(SIZE available) override;
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintText(HDC hDC) override;
    // The image of the current state, then the separator.
    void PaintStatusImage(HDC hDC) override;

    bool IsDragable() const;
    void SetDragable(bool dragable);
    // The separator strip: along the right edge when positive, the left edge
    // when negative.
    int GetSepWidth() const;
    void SetSepWidth(int width);
    DWORD GetSepColor() const;
    void SetSepColor(DWORD color);
    UINT GetTextStyle() const;
    void SetTextStyle(UINT style);
    DWORD GetTextColor() const;
    void SetTextColor(DWORD color);
    int GetFont() const;
    void SetFont(int index);
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);
    bool IsShowHtml() const;
    void SetShowHtml(bool showHtml);
    const wchar_t* GetNormalImage() const;
    const wchar_t* GetHotImage() const;
    const wchar_t* GetPushedImage() const;
    const wchar_t* GetFocusedImage() const;
    const wchar_t* GetSepImage() const;
    UINT GetButtonState() const;
    RECT GetThumbRect() const;

private:
    // DoEvent's steps (see HandleHeaderItemEvent).
    bool HandleHeaderItemEvent(TEventUI& event);
    bool IsOnDragStrip(POINT point) const;
    void OnButtonDown(const TEventUI& event);
    void OnButtonUp(const TEventUI& event);
    void OnMouseMove(const TEventUI& event);
    void OnSetCursor(const TEventUI& event);

    // An image set from the skin; the item is painted again.
    void SetStateImage(TDrawInfo& image, const wchar_t* description);

    bool m_bDragable;
    UINT m_uButtonState;
    POINT m_ptLastMouse;
    int m_iSepWidth;
    DWORD m_dwSepColor;
    DWORD m_dwTextColor;
    int m_iFont;
    UINT m_uTextStyle;
    RECT m_rcTextPadding;
    bool m_bShowHtml;
    TDrawInfo m_diNormal;
    TDrawInfo m_diHot;
    TDrawInfo m_diPushed;
    TDrawInfo m_diFocused;
    TDrawInfo m_diSep;
};

} // namespace Facet
