// CRichEditUI ("RichEdit"): the settings of a rich text editor. This build
// does not host the platform's windowless text services: the control keeps
// its attributes and its text, answers the accessors, and paints the text
// (masked in password mode) with its font, colour, alignment and padding,
// but it does not take keyboard input or show a caret.
#pragma once

#include <windows.h>

#include "../core/PaintManagerTypes.h"
#include "../layout/ContainerUI.h"

namespace Facet {

class CRichEditUI : public CContainerUI, public IMessageFilterUI
{
public:
    CRichEditUI();

    // "RichEdit".
    const wchar_t* GetClass() const override;
    // This control for "RichEdit", the message filter part for
    // "IMessageFilter", else the container's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    // A tab stop while enabled.
    UINT GetControlFlags() const override;

    bool IsWantTab() const;
    void SetWantTab(bool want = true);
    bool IsWantReturn() const;
    void SetWantReturn(bool want = true);
    bool IsWantCtrlReturn() const;
    void SetWantCtrlReturn(bool want = true);
    bool IsTransparent() const;
    void SetTransparent(bool transparent = true);
    bool IsRich() const;
    void SetRich(bool rich = true);
    bool IsMultiLine() const;
    void SetMultiLine(bool multiLine = true);
    bool IsReadOnly() const;
    void SetReadOnly(bool readOnly = true);
    bool IsPasswordMode() const;
    void SetPasswordMode(bool password = true);
    bool IsVScrollBar() const;
    bool IsAutoVScroll() const;
    bool IsHScrollBar() const;
    bool IsAutoHScroll() const;
    // DT_LEFT, DT_CENTER or DT_RIGHT.
    UINT GetTextAlign() const;
    void SetTextAlign(UINT align);
    int GetFont() const;
    void SetFont(int index);
    DWORD GetTextColor() const;
    void SetTextColor(DWORD color);
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);

    // The text, its length and appending (SetText is the base's).
    int GetTextLength() const;
    void AppendText(const wchar_t* text);

    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintText(HDC hDC) override;

    // Nothing to filter without hosted text services: never handled.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    bool m_bWantTab;
    bool m_bWantReturn;
    bool m_bWantCtrlReturn;
    bool m_bTransparent;
    bool m_bRich;
    bool m_bMultiLine;
    bool m_bReadOnly;
    bool m_bPassword;
    bool m_bVScrollBar;
    bool m_bAutoVScroll;
    bool m_bHScrollBar;
    bool m_bAutoHScroll;
    UINT m_uTextAlign;
    int m_iFont;
    DWORD m_dwTextColor;
    RECT m_rcTextPadding;
};

} // namespace Facet
