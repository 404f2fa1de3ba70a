// The container side of an embedded component, for CActiveXUI:
// - CActiveXCtrl, the component's site: its client site, in-place site
//   (windowless where the component can be), control site and container;
// - CActiveXFrameWnd, the in-place frame the component is given;
// - CActiveXEnum, the container's list of its objects (the one component);
// - CActiveXWnd, the child window a windowed component lives in, placed at
//   the control's rectangle and moved, shown and hidden with it.
// The COM objects count their references and go with the last; the control
// detaches them (Detach) before it releases the component, so a component
// that keeps a reference too long reaches no dead control.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <oleidl.h>

#include "../window/WindowWnd.h"

namespace Facet {

class CActiveXUI;
class CActiveXWnd;

class CActiveXEnum : public IEnumUnknown
{
public:
    explicit CActiveXEnum(IUnknown* object);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumUnknown** ppenum) override;

private:
    virtual ~CActiveXEnum();

    ULONG m_cRef;
    IUnknown* m_pObject;
    ULONG m_iPos;
};

class CActiveXFrameWnd : public IOleInPlaceFrame
{
public:
    explicit CActiveXFrameWnd(HWND hWndFrame);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;
    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT lprectBorder) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) override;
    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU hmenuShared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR pszStatusText) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg, WORD wID) override;

    // The object that is active in place now, or null (not referenced for the caller).
    IOleInPlaceActiveObject* GetActiveObject() const;

private:
    virtual ~CActiveXFrameWnd();

    ULONG m_cRef;
    HWND m_hWndFrame;
    IOleInPlaceActiveObject* m_pActiveObject;
};

class CActiveXCtrl : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IOleContainer
{
public:
    explicit CActiveXCtrl(CActiveXUI* owner);

    // Sites `object` (client site first where it asks for that), starts it
    // fresh and activates it in place. False when it refuses.
    bool Activate(IOleObject* object);
    // Deactivates the component and takes its sites away; the owner is forgotten.
    void Detach();

    bool IsWindowless() const;
    // The child window of a windowed component (null when windowless or before activation).
    HWND GetHostWindow() const;
    IOleInPlaceObject* GetInPlaceObject() const;
    IOleInPlaceObjectWindowless* GetWindowlessObject() const;
    // Places the component at the owner's rectangle (and its window with it).
    void PlaceAt(const RECT& rc);
    void ShowWindow(bool show);
    // Gives the platform focus to a windowed component; tells a windowless one.
    void PassFocus(bool focus);
    // The frame's active object translates the message; true when it took it.
    bool TranslateAccelerator(MSG* msg);
    // The host window is gone (destroyed with its parent): forget it.
    void OnWindowGone();

    // -- IUnknown --
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // -- IOleClientSite --
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL fShow) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;
    // -- IOleWindow --
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;
    // -- IOleInPlaceSite --
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE scrollExtant) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL fUndoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT lprcPosRect) override;
    // -- IOleInPlaceSiteEx --
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL fNoRedraw) override;
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override;
    // -- IOleInPlaceSiteWindowless --
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override;
    HRESULT STDMETHODCALLTYPE GetCapture() override;
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL fCapture) override;
    HRESULT STDMETHODCALLTYPE GetFocus() override;
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL fFocus) override;
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT pRect, DWORD grfFlags, HDC* phDC) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT pRect, BOOL fErase) override;
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN hRGN, BOOL fErase) override;
    HRESULT STDMETHODCALLTYPE ScrollRect(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) override;
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT prc) override;
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;
    // -- IOleControlSite --
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL fLock) override;
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** ppDisp) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg, DWORD grfModifiers) override;
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL fGotFocus) override;
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override;
    // -- IParseDisplayName, IOleContainer --
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* pbc, LPOLESTR pszDisplayName, ULONG* pchEaten,
                                               IMoniker** ppmkOut) override;
    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) override;
    HRESULT STDMETHODCALLTYPE LockContainer(BOOL fLock) override;

private:
    virtual ~CActiveXCtrl();

    HWND PaintWindow() const;
    // The rectangle the component is placed at, in the coordinates of the
    // window GetWindow gives it.
    RECT ComponentRect() const;
    bool EnsureHostWindow();
    void ReleaseInPlaceObject();

    ULONG m_cRef;
    CActiveXUI* m_pOwner;
    IOleObject* m_pObject;
    IOleInPlaceObject* m_pInPlaceObject;
    IOleInPlaceObjectWindowless* m_pWindowless;
    CActiveXFrameWnd* m_pFrame;
    CActiveXWnd* m_pWindow;
    bool m_bWindowless;
    bool m_bInPlaceActive;
    bool m_bCaptured;
};

// The child window of the paint manager's window that a windowed component
// is created in. It deletes itself after its window is gone.
class CActiveXWnd : public CWindowWnd
{
public:
    // Creates the window over `rc` (client coordinates of `parent`),
    // visible or not. Null when it cannot be created (the object is gone then).
    static CActiveXWnd* Create(CActiveXUI* owner, HWND parent, const RECT& rc, bool visible);
    // Forgets the owner and destroys the window.
    void Destroy();

    const wchar_t* GetWndClassName() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    explicit CActiveXWnd(CActiveXUI* owner);
    ~CActiveXWnd() override;

    CActiveXUI* m_pOwner;
};

} // namespace Facet
