// CWindowWnd: binds an object to one native window. It registers the window
// class (or a super class of an existing class such as "Edit"), creates or
// subclasses the window, sends every message of that window to the virtual
// HandleMessage and ends the binding when the window is destroyed, after which
// OnFinalMessage runs (and may delete the object).
#pragma once

#include <windows.h>

namespace Facet {

class CWindowWnd
{
public:
    CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const;
    operator HWND() const;

    // Registers GetWndClassName() with the framework's window procedure.
    // True when registered now or when a class of that name already exists.
    bool RegisterWindowClass();
    // Registers GetWndClassName() as a copy of the class GetSuperClassName()
    // (a system class or one of the framework instance) whose messages go
    // through the framework's control procedure first. False when the super
    // class is unknown.
    bool RegisterSuperclass();

    HWND Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT rc,
                HMENU hMenu = nullptr);
    HWND CreateFacetWindow(HWND hwndParent, const wchar_t* pstrWindowName, DWORD dwStyle = 0, DWORD dwExStyle = 0);

    // Routes the messages of an existing window through this object; null
    // when the window's procedure cannot be replaced.
    HWND Subclass(HWND hWnd);
    void Unsubclass();

    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    // Shows the window and runs a message loop until it is destroyed, with its
    // owner disabled meanwhile. Returns the result given to Close (0 when the
    // window went without a posted close message). A quit message ends the
    // loop early and is posted again for the outer loop.
    UINT ShowModal();
    // Posts a close message carrying the result code.
    void Close(UINT nRet = IDOK);
    // Centres the window on its owner (or, without an owner or with a
    // minimised one, on the work area) and keeps it inside the work area.
    void CenterWindow();
    void SetIcon(UINT nRes);

    // Named after the platform calls on purpose: windows.h maps SendMessage
    // and PostMessage to these names.
    LRESULT SendMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Makes the client area cx by cy; -1 keeps that dimension.
    void ResizeClient(int cx = -1, int cy = -1);

    // Where CenterWindow puts a window of rectangle `window`: centred on
    // `centreArea`, then moved inside `workArea` (the left and top edges win
    // when the window is larger than the work area).
    static POINT CenteredPosition(const RECT& window, const RECT& workArea, const RECT& centreArea);

    // The class name to register and create.
    virtual const wchar_t* GetWndClassName() const = 0;
    // The class to superclass, or null for a class of its own.
    virtual const wchar_t* GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    // Every message of the window; the base passes it on to the previous
    // window procedure.
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Runs after the window is gone (the handle is already null); the object
    // may delete itself here.
    virtual void OnFinalMessage(HWND hWnd);
    // Declared after the operations above so that their table slots come first.
    virtual ~CWindowWnd();

protected:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;
    WNDPROC m_OldWndProc;
    bool m_bSubclassed;
};

} // namespace Facet
