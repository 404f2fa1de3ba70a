// CEditWnd: the native edit window that a CEditUI opens while it has the
// focus. It is a superclass of the platform's "Edit" class registered as
// "EditWnd", lives as a child of the paint manager's window exactly over the
// control's text area, reports every change of its text and the return,
// caps-lock and tab keys through the owner's manager, and closes itself when
// the focus leaves it and does not come back while the focus change is
// handled (a press in the field beside the window brings it back). The object
// deletes itself after its window is gone.
#pragma once

#include <windows.h>

#include "../window/WindowWnd.h"

namespace Facet {

class CEditUI;

// The text area of an edit: `item` less `padding`, narrowed to exactly
// `fontHeight` and centred vertically when the font is lower than the area.
RECT EditTextArea(const RECT& item, const RECT& padding, int fontHeight);

class CEditWnd : public CWindowWnd
{
public:
    CEditWnd();

    // Creates the window over the owner's text area with the owner's text,
    // font, limits and flags, shows it and gives it the platform focus. False
    // when the window could not be created; the object has then deleted
    // itself and the owner's window pointer is cleared.
    bool Init(CEditUI* pOwner);
    // Where the window belongs, in the paint window's client coordinates:
    // the owner's text area clipped by every ancestor; empty when an ancestor
    // is hidden or the area is clipped away.
    RECT CalPos() const;

    // "EditWnd", a superclass of "Edit" with class style 0.
    const wchar_t* GetWndClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

    // Called by a dying owner: forget it and destroy the window. A window that
    // is inside one of its own messages (a listener deleting the edit from its
    // "textchanged" or "return") is hidden and closed by a posted message
    // instead, so the platform's edit code never runs on a destroyed window.
    void OwnerDestroyed();

    // Places the input method's composition window at the caret.
    void PlaceCompositionWindow();

private:
    // Private: the object deletes itself after its final message.
    ~CEditWnd() override;

    LRESULT Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnEditChanged();
    LRESULT OnControlColor(WPARAM wParam);
    LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    // "textchanged", "return", ... through the owner's manager.
    void NotifyOwner(const wchar_t* type);
    void RegisterWithManager();
    bool IsManagerLayered() const;

    // The brush handed out for the window's background, with the snapshot
    // bitmap a pattern brush is made from; both are deleted together.
    class BackgroundBrush
    {
    public:
        BackgroundBrush() = default;
        ~BackgroundBrush() { Reset(); }
        BackgroundBrush(const BackgroundBrush&) = delete;
        BackgroundBrush& operator=(const BackgroundBrush&) = delete;

        HBRUSH Get() const { return m_hBrush; }
        // Takes both (either may be null); the previous pair is deleted.
        void Reset(HBRUSH hBrush = nullptr, HBITMAP hBitmap = nullptr);

    private:
        HBRUSH m_hBrush = nullptr;
        HBITMAP m_hBitmap = nullptr;
    };

    CEditUI* m_pOwner;
    BackgroundBrush m_hBkBrush;
    bool m_bInit;
    bool m_bDrawCaret;
    // How many of this window's messages are being handled right now.
    int m_nDepth;
    // The final message came while a message was being handled: the object is
    // deleted when that handling ends.
    bool m_bDeletePending;
};

} // namespace Facet
