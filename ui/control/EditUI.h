// CEditUI ("Edit"): a single-line text field. Without the keyboard focus it is
// a painted control (background, state image, its text or a tip text). With
// the focus it places a native edit window (CEditWnd) over its text area and
// lets the platform do the editing; every change of the native text is copied
// back and announced as "textchanged", the return key as "return", and input
// refused because the field holds its most characters (maxchar) as "maxtext".
#pragma once

#include <windows.h>

#include "LabelUI.h"

namespace Facet {

class CEditWnd;

// Bits of CEditUI's state.
enum UIEditState : UINT {
    UIEDITSTATE_FOCUSED = 0x1,
    UIEDITSTATE_DISABLED = 0x4,
    UIEDITSTATE_HOT = 0x8,
};

class CEditUI : public CLabelUI
{
    // The native window stores typed text straight into the control (SetText
    // would copy it back) and clears the window pointer when it is gone.
    friend class CEditWnd;

public:
    static constexpr const wchar_t* kInterfaceName = L"Edit";
    CEditUI();
    // Destroys a native window that is still open; the window forgets this
    // control first, so it never reaches a destroyed owner.
    ~CEditUI() override;

    // "Edit".
    const wchar_t* GetClass() const override;
    // This control for "Edit", else the label's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    // Tab stop and set cursor while enabled, nothing while disabled.
    UINT GetControlFlags() const override;
    // The native edit window while editing, else null.
    HWND GetNativeWindow() const override;
    HWND GetNativeEditHWND() const;

    // The fixed size when a fixed height is set; otherwise the fixed width and
    // the font's height plus 8.
    SIZE EstimateSize(SIZE available) override;

    // Stores the text (even when unchanged) and copies it into the native
    // window when there is one.
    void SetText(const wchar_t* text) override;
    void SetEnabled(bool enabled = true) override;
    // Hiding the edit while it is editing takes the focus away, which closes
    // the native window.
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    // The native window follows the control, or hides while the control is
    // scrolled out or inside a hidden ancestor.
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;

    // The text limit of the native window.
    void SetMaxChar(UINT max);
    UINT GetMaxChar() const;
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    // Masking is decided when the native window is created.
    void SetPasswordMode(bool passwordMode);
    bool IsPasswordMode() const;
    void SetPasswordChar(wchar_t ch);
    wchar_t GetPasswordChar() const;
    // Digits only, from the next time the native window is created.
    void SetNumberOnly(bool numberOnly);
    bool IsNumberOnly() const;
    // Extra styles of the native window (ES_NUMBER for "numberonly").
    int GetWindowStyles() const;
    // Selects the whole text when the native window opens.
    void SetAutoSelAll(bool autoSelAll);
    bool IsAutoSelAll() const;

    // The text shown while the field is empty.
    void SetTipValue(const wchar_t* value);
    CFacetString GetTipValue() const;
    // A colour written as hexadecimal, one leading '#' allowed.
    void SetTipValueColor(const wchar_t* value);
    DWORD GetTipValueColor() const;
    // The native window's background; 0xFFFFFFFF keeps the platform's colours,
    // a translucent one shows the control's own painting through it.
    void SetNativeEditBkColor(DWORD color);
    DWORD GetNativeEditBkColor() const;

    const wchar_t* GetNormalImage() const;
    void SetNormalImage(const wchar_t* description);
    const wchar_t* GetHotImage() const;
    void SetHotImage(const wchar_t* description);
    const wchar_t* GetFocusedImage() const;
    void SetFocusedImage(const wchar_t* description);
    const wchar_t* GetDisabledImage() const;
    void SetDisabledImage(const wchar_t* description);

    // Selection and replacement inside the native window; nothing without one.
    void SetSel(long start, long end);
    void SetSelAll();
    void SetReplaceSel(const wchar_t* text);

    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;
    // None when the skin gives a focused image.
    DWORD GetFocusFrameColor() const override;

protected:
    // Opens the native window over the text area.
    void OpenNativeWindow();
    // Moves the native window to the current text area, or hides it.
    void PlaceNativeWindow();
    // Takes the focus away when the edit is hidden while editing.
    void ReleaseFocusIfHidden();
    // Stores an image description unless the same one is already loaded.
    void SetStateImage(TDrawInfo& image, const wchar_t* description);

    // DoEvent's cases; each answers whether the event stops at the edit.
    bool HandleEditEvent(TEventUI& event);
    bool OnSetCursor();
    bool OnWindowSize();
    bool OnSetFocus();
    bool OnKillFocus();
    bool OnPress(const TEventUI& event);
    void PlaceCaretAt(const TEventUI& event);
    bool OnMouseEnter(const TEventUI& event);
    bool OnMouseLeave(const TEventUI& event);

    CEditWnd* m_pWindow;
    UINT m_uMaxChar;
    bool m_bReadOnly;
    bool m_bPasswordMode;
    bool m_bAutoSelAll;
    wchar_t m_cPasswordChar;
    UINT m_uButtonState;
    DWORD m_dwEditbkColor;
    int m_iWindowStyles;
    TDrawInfo m_diNormal;
    TDrawInfo m_diHot;
    TDrawInfo m_diFocused;
    TDrawInfo m_diDisabled;
    CFacetString m_sTipValue;
    DWORD m_dwTipValueColor;
};

} // namespace Facet
