// CDateTimeUI ("DateTime"): a label that shows a date as "YYYY-MM-DD" (today
// at first). A click opens the platform's date picker (CDateTimeWnd, over the
// control's rectangle); every date chosen there is written back as the text,
// and the picker closes when it loses the focus.
#pragma once

#include <windows.h>

#include "../window/WindowWnd.h"
#include "LabelUI.h"

namespace Facet {

class CDateTimeWnd;

class CDateTimeUI : public CLabelUI
{
    friend class CDateTimeWnd;

public:
    CDateTimeUI();
    // Closes an open picker.
    ~CDateTimeUI() override;

    // "DateTime".
    const wchar_t* GetClass() const override;
    // This control for "DateTime", else the label's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    // The open picker's window, or null.
    HWND GetNativeWindow() const override;

    const SYSTEMTIME& GetTime() const;
    // Stores the date and shows it as the text.
    void SetTime(const SYSTEMTIME& time);
    bool IsReadOnly() const;
    // A read-only date opens no picker.
    void SetReadOnly(bool readOnly);
    // The text of a date: "YYYY-MM-DD".
    static CFacetString FormatDate(const SYSTEMTIME& time);

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;

private:
    void OpenPicker();
    void ClosePicker();

    SYSTEMTIME m_sysTime;
    bool m_bReadOnly;
    CDateTimeWnd* m_pWindow;
};

// The native date picker: a superclass of "SysDateTimePick32" registered as
// "DateTimeWnd", a child of the owner's paint window. The object deletes
// itself after its window is gone.
class CDateTimeWnd : public CWindowWnd
{
public:
    CDateTimeWnd();

    // Creates the picker over the owner with the owner's date and font and
    // gives it the focus. False when it could not be created; the object has
    // then deleted itself.
    bool Init(CDateTimeUI* owner);
    // Called by a dying owner: forget it and destroy the window.
    void OwnerDestroyed();

    const wchar_t* GetWndClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    ~CDateTimeWnd() override;
    // Writes the picker's date into the owner.
    void Commit();
    // Whether `focused` belongs to the picker (itself, a child or its
    // drop-down calendar).
    bool OwnsWindow(HWND focused) const;

    CDateTimeUI* m_pOwner;
    bool m_bClosing;
    // Set while Init creates the window: a final message then leaves the
    // deletion to Init.
    bool m_bInInit;
};

} // namespace Facet
