// The sites, frame, object list and host window of an embedded component.
#include "ActiveXHost.h"

#include "../core/PaintManager.h"
#include "ActiveXUI.h"

namespace Facet {

namespace {

template <typename T>
void ReleaseAndClear(T*& pointer)
{
    if (pointer != nullptr) {
        T* released = pointer;
        pointer = nullptr;
        released->Release();
    }
}

RECT Sized(const RECT& rc)
{
    return RECT{0, 0, rc.right - rc.left, rc.bottom - rc.top};
}

} // namespace

// -- CActiveXEnum --

CActiveXEnum::CActiveXEnum(IUnknown* object) : m_cRef(1), m_pObject(object), m_iPos(0)
{
    if (m_pObject != nullptr)
        m_pObject->AddRef();
}

CActiveXEnum::~CActiveXEnum()
{
    ReleaseAndClear(m_pObject);
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumUnknown)) {
        *ppv = static_cast<IEnumUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CActiveXEnum::AddRef()
{
    return ++m_cRef;
}

ULONG STDMETHODCALLTYPE CActiveXEnum::Release()
{
    const ULONG count = --m_cRef;
    if (count == 0)
        delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched)
{
    if (rgelt == nullptr || (celt > 1 && pceltFetched == nullptr))
        return E_POINTER;
    ULONG fetched = 0;
    if (celt > 0 && m_iPos == 0 && m_pObject != nullptr) {
        rgelt[0] = m_pObject;
        m_pObject->AddRef();
        fetched = 1;
        ++m_iPos;
    }
    if (pceltFetched != nullptr)
        *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Skip(ULONG celt)
{
    m_iPos += celt;
    return m_iPos <= 1 ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Reset()
{
    m_iPos = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Clone(IEnumUnknown** ppenum)
{
    if (ppenum == nullptr)
        return E_POINTER;
    auto* copy = new CActiveXEnum(m_pObject);
    copy->m_iPos = m_iPos;
    *ppenum = copy;
    return S_OK;
}

// -- CActiveXFrameWnd --

CActiveXFrameWnd::CActiveXFrameWnd(HWND hWndFrame) : m_cRef(1), m_hWndFrame(hWndFrame), m_pActiveObject(nullptr)
{
}

CActiveXFrameWnd::~CActiveXFrameWnd()
{
    ReleaseAndClear(m_pActiveObject);
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
        IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame)) {
        *ppv = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CActiveXFrameWnd::AddRef()
{
    return ++m_cRef;
}

ULONG STDMETHODCALLTYPE CActiveXFrameWnd::Release()
{
    const ULONG count = --m_cRef;
    if (count == 0)
        delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::GetWindow(HWND* phwnd)
{
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = m_hWndFrame;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::ContextSensitiveHelp(BOOL /*fEnterMode*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::GetBorder(LPRECT /*lprectBorder*/)
{
    // No tool space around the component.
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::RequestBorderSpace(LPCBORDERWIDTHS /*pborderwidths*/)
{
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetBorderSpace(LPCBORDERWIDTHS /*pborderwidths*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject* pActiveObject,
                                                            LPCOLESTR /*pszObjName*/)
{
    if (pActiveObject != nullptr)
        pActiveObject->AddRef();
    ReleaseAndClear(m_pActiveObject);
    m_pActiveObject = pActiveObject;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::InsertMenus(HMENU /*hmenuShared*/, LPOLEMENUGROUPWIDTHS /*lpMenuWidths*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetMenu(HMENU /*hmenuShared*/, HOLEMENU /*holemenu*/,
                                                    HWND /*hwndActiveObject*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::RemoveMenus(HMENU /*hmenuShared*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetStatusText(LPCOLESTR /*pszStatusText*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::EnableModeless(BOOL /*fEnable*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::TranslateAccelerator(LPMSG /*lpmsg*/, WORD /*wID*/)
{
    return S_FALSE;
}

IOleInPlaceActiveObject* CActiveXFrameWnd::GetActiveObject() const
{
    return m_pActiveObject;
}

// -- CActiveXCtrl: life --

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner)
    : m_cRef(1),
      m_pOwner(owner),
      m_pObject(nullptr),
      m_pInPlaceObject(nullptr),
      m_pWindowless(nullptr),
      m_pFrame(nullptr),
      m_pWindow(nullptr),
      m_bWindowless(false),
      m_bInPlaceActive(false),
      m_bCaptured(false)
{
}

CActiveXCtrl::~CActiveXCtrl()
{
    ReleaseInPlaceObject();
    ReleaseAndClear(m_pFrame);
    ReleaseAndClear(m_pObject);
}

bool CActiveXCtrl::Activate(IOleObject* object)
{
    m_pObject = object;
    m_pObject->AddRef();
    DWORD status = 0;
    m_pObject->GetMiscStatus(DVASPECT_CONTENT, &status);
    const bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
        m_pObject->SetClientSite(this);
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))) &&
        persist != nullptr) {
        persist->InitNew();
        persist->Release();
    }
    if (!siteFirst)
        m_pObject->SetClientSite(this);
    RECT rc = ComponentRect();
    HWND parent = PaintWindow();
    const HRESULT hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, parent, &rc);
    return SUCCEEDED(hr) && m_bInPlaceActive;
}

void CActiveXCtrl::Detach()
{
    if (m_bCaptured && m_pOwner != nullptr && m_pOwner->GetManager() != nullptr)
        m_pOwner->GetManager()->ReleaseCapture();
    m_bCaptured = false;
    if (m_pInPlaceObject != nullptr)
        m_pInPlaceObject->InPlaceDeactivate();
    ReleaseInPlaceObject();
    if (m_pObject != nullptr) {
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(nullptr);
    }
    ReleaseAndClear(m_pObject);
    ReleaseAndClear(m_pFrame);
    if (m_pWindow != nullptr) {
        CActiveXWnd* window = m_pWindow;
        m_pWindow = nullptr;
        window->Destroy();
    }
    m_pOwner = nullptr;
}

void CActiveXCtrl::ReleaseInPlaceObject()
{
    ReleaseAndClear(m_pWindowless);
    ReleaseAndClear(m_pInPlaceObject);
    m_bInPlaceActive = false;
}

HWND CActiveXCtrl::PaintWindow() const
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr)
        return nullptr;
    return m_pOwner->GetManager()->GetPaintWindow();
}

RECT CActiveXCtrl::ComponentRect() const
{
    if (m_pOwner == nullptr)
        return RECT{0, 0, 0, 0};
    const RECT& item = m_pOwner->GetPos();
    return m_bWindowless ? item : Sized(item);
}

bool CActiveXCtrl::EnsureHostWindow()
{
    if (m_pWindow != nullptr)
        return true;
    if (m_pOwner == nullptr || PaintWindow() == nullptr)
        return false;
    m_pWindow = CActiveXWnd::Create(m_pOwner, PaintWindow(), m_pOwner->GetPos(), m_pOwner->IsVisible());
    return m_pWindow != nullptr;
}

bool CActiveXCtrl::IsWindowless() const
{
    return m_bWindowless;
}

HWND CActiveXCtrl::GetHostWindow() const
{
    return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr;
}

IOleInPlaceObject* CActiveXCtrl::GetInPlaceObject() const
{
    return m_pInPlaceObject;
}

IOleInPlaceObjectWindowless* CActiveXCtrl::GetWindowlessObject() const
{
    return m_pWindowless;
}

void CActiveXCtrl::PlaceAt(const RECT& rc)
{
    if (m_pWindow != nullptr)
        ::SetWindowPos(m_pWindow->GetHWND(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_pInPlaceObject != nullptr) {
        RECT pos = m_bWindowless ? rc : Sized(rc);
        RECT clip = pos;
        m_pInPlaceObject->SetObjectRects(&pos, &clip);
    }
}

void CActiveXCtrl::ShowWindow(bool show)
{
    if (m_pWindow != nullptr)
        ::ShowWindow(m_pWindow->GetHWND(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CActiveXCtrl::PassFocus(bool focus)
{
    if (m_pWindowless != nullptr) {
        LRESULT result = 0;
        m_pWindowless->OnWindowMessage(focus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, &result);
        return;
    }
    if (m_pWindow == nullptr)
        return;
    const HWND focused = ::GetFocus();
    const bool inside = focused != nullptr &&
                        (focused == m_pWindow->GetHWND() || ::IsChild(m_pWindow->GetHWND(), focused));
    if (!focus) {
        // The keys go back to the window with the framework's focus.
        if (inside && PaintWindow() != nullptr)
            ::SetFocus(PaintWindow());
        return;
    }
    if (inside)
        return;
    // The component's own window (the host's first child) takes the keys.
    HWND target = ::GetWindow(m_pWindow->GetHWND(), GW_CHILD);
    if (target == nullptr)
        target = m_pWindow->GetHWND();
    ::SetFocus(target);
}

void CActiveXCtrl::OnWindowGone()
{
    m_pWindow = nullptr;
}

bool CActiveXCtrl::TranslateAccelerator(MSG* msg)
{
    IOleInPlaceActiveObject* active = m_pFrame != nullptr ? m_pFrame->GetActiveObject() : nullptr;
    return active != nullptr && active->TranslateAccelerator(msg) == S_OK;
}

// -- CActiveXCtrl: IUnknown --

HRESULT STDMETHODCALLTYPE CActiveXCtrl::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
        *ppv = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite) ||
             IsEqualIID(riid, IID_IOleInPlaceSiteEx) || IsEqualIID(riid, IID_IOleInPlaceSiteWindowless))
        *ppv = static_cast<IOleInPlaceSiteWindowless*>(this);
    else if (IsEqualIID(riid, IID_IOleControlSite))
        *ppv = static_cast<IOleControlSite*>(this);
    else if (IsEqualIID(riid, IID_IOleContainer) || IsEqualIID(riid, IID_IParseDisplayName))
        *ppv = static_cast<IOleContainer*>(this);
    if (*ppv == nullptr)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CActiveXCtrl::AddRef()
{
    return ++m_cRef;
}

ULONG STDMETHODCALLTYPE CActiveXCtrl::Release()
{
    const ULONG count = --m_cRef;
    if (count == 0)
        delete this;
    return count;
}

// -- CActiveXCtrl: IOleClientSite --

HRESULT STDMETHODCALLTYPE CActiveXCtrl::SaveObject()
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetMoniker(DWORD /*dwAssign*/, DWORD /*dwWhichMoniker*/, IMoniker** ppmk)
{
    if (ppmk != nullptr)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer == nullptr)
        return E_POINTER;
    *ppContainer = static_cast<IOleContainer*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ShowObject()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnShowWindow(BOOL /*fShow*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

// -- CActiveXCtrl: in-place site --

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetWindow(HWND* phwnd)
{
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = nullptr;
    if (m_pOwner == nullptr)
        return E_UNEXPECTED;
    if (m_bWindowless)
        *phwnd = PaintWindow();
    else if (EnsureHostWindow())
        *phwnd = m_pWindow->GetHWND();
    return *phwnd != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ContextSensitiveHelp(BOOL /*fEnterMode*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::CanInPlaceActivate()
{
    return m_pOwner != nullptr ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceActivate()
{
    return OnInPlaceActivateEx(nullptr, 0);
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags)
{
    if (m_pObject == nullptr || m_pOwner == nullptr)
        return E_UNEXPECTED;
    ReleaseInPlaceObject();
    m_bWindowless = (dwFlags & ACTIVATE_WINDOWLESS) != 0;
    if (m_bWindowless)
        m_pObject->QueryInterface(IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(&m_pWindowless));
    if (FAILED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlaceObject))))
        m_pInPlaceObject = nullptr;
    if (m_bWindowless && m_pWindowless == nullptr)
        return E_NOINTERFACE;
    m_bInPlaceActive = true;
    if (pfNoRedraw != nullptr)
        *pfNoRedraw = FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnUIActivate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                                         LPRECT lprcPosRect, LPRECT lprcClipRect,
                                                         LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (ppFrame == nullptr || ppDoc == nullptr || lprcPosRect == nullptr || lprcClipRect == nullptr)
        return E_POINTER;
    if (m_pOwner == nullptr)
        return E_UNEXPECTED;
    if (m_pFrame == nullptr)
        m_pFrame = new CActiveXFrameWnd(PaintWindow());
    m_pFrame->AddRef();
    *ppFrame = m_pFrame;
    *ppDoc = nullptr;
    *lprcPosRect = ComponentRect();
    *lprcClipRect = *lprcPosRect;
    if (lpFrameInfo != nullptr) {
        lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = PaintWindow();
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::Scroll(SIZE /*scrollExtant*/)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnUIDeactivate(BOOL /*fUndoable*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceDeactivate()
{
    return OnInPlaceDeactivateEx(TRUE);
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceDeactivateEx(BOOL /*fNoRedraw*/)
{
    ReleaseInPlaceObject();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::DiscardUndoState()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::DeactivateAndUndo()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnPosRectChange(LPCRECT /*lprcPosRect*/)
{
    // The control's rectangle comes from the layout, not from the component.
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::RequestUIActivate()
{
    return S_OK;
}

// -- CActiveXCtrl: windowless site --

HRESULT STDMETHODCALLTYPE CActiveXCtrl::CanWindowlessActivate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetCapture()
{
    return m_bCaptured ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::SetCapture(BOOL fCapture)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr)
        return E_UNEXPECTED;
    m_bCaptured = fCapture != FALSE;
    if (m_bCaptured)
        m_pOwner->GetManager()->SetCapture();
    else
        m_pOwner->GetManager()->ReleaseCapture();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetFocus()
{
    return m_pOwner != nullptr && m_pOwner->IsFocused() ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::SetFocus(BOOL fFocus)
{
    if (m_pOwner != nullptr && fFocus)
        m_pOwner->SetFocus();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetDC(LPCRECT /*pRect*/, DWORD /*grfFlags*/, HDC* phDC)
{
    if (phDC == nullptr)
        return E_POINTER;
    *phDC = PaintWindow() != nullptr ? ::GetDC(PaintWindow()) : nullptr;
    return *phDC != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ReleaseDC(HDC hDC)
{
    ::ReleaseDC(PaintWindow(), hDC);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::InvalidateRect(LPCRECT pRect, BOOL /*fErase*/)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr)
        return E_UNEXPECTED;
    RECT rc = m_pOwner->GetPos();
    if (pRect != nullptr && !::IntersectRect(&rc, &rc, pRect))
        return S_OK;
    m_pOwner->GetManager()->Invalidate(rc);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::InvalidateRgn(HRGN /*hRGN*/, BOOL fErase)
{
    return InvalidateRect(nullptr, fErase);
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ScrollRect(INT /*dx*/, INT /*dy*/, LPCRECT /*pRectScroll*/,
                                                   LPCRECT /*pRectClip*/)
{
    return InvalidateRect(nullptr, FALSE);
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::AdjustRect(LPRECT /*prc*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnDefWindowMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                                           LRESULT* plResult)
{
    if (plResult != nullptr)
        *plResult = 0;
    return S_FALSE;
}

// -- CActiveXCtrl: control site --

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnControlInfoChanged()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::LockInPlaceActive(BOOL /*fLock*/)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetExtendedControl(IDispatch** ppDisp)
{
    if (ppDisp != nullptr)
        *ppDisp = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::TransformCoords(POINTL* /*pPtlHimetric*/, POINTF* /*pPtfContainer*/,
                                                        DWORD /*dwFlags*/)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::TranslateAccelerator(MSG* /*pMsg*/, DWORD /*grfModifiers*/)
{
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnFocus(BOOL fGotFocus)
{
    // The component took the platform focus itself (a click into its window):
    // the framework's focus follows.
    if (m_pOwner != nullptr && fGotFocus && !m_pOwner->IsFocused())
        m_pOwner->SetFocus();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ShowPropertyFrame()
{
    return E_NOTIMPL;
}

// -- CActiveXCtrl: container --

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ParseDisplayName(IBindCtx* /*pbc*/, LPOLESTR /*pszDisplayName*/,
                                                         ULONG* /*pchEaten*/, IMoniker** ppmkOut)
{
    if (ppmkOut != nullptr)
        *ppmkOut = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::EnumObjects(DWORD /*grfFlags*/, IEnumUnknown** ppenum)
{
    if (ppenum == nullptr)
        return E_POINTER;
    *ppenum = new CActiveXEnum(m_pObject);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::LockContainer(BOOL /*fLock*/)
{
    return S_OK;
}

// -- CActiveXWnd --

CActiveXWnd* CActiveXWnd::Create(CActiveXUI* owner, HWND parent, const RECT& rc, bool visible)
{
    auto* window = new CActiveXWnd(owner);
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
    if (window->CWindowWnd::Create(parent, L"ActiveX", style, 0, rc) == nullptr) {
        delete window;
        return nullptr;
    }
    if (owner->GetManager() != nullptr)
        owner->GetManager()->AddNativeWindow(owner, window->GetHWND());
    return window;
}

CActiveXWnd::CActiveXWnd(CActiveXUI* owner) : m_pOwner(owner)
{
}

CActiveXWnd::~CActiveXWnd() = default;

void CActiveXWnd::Destroy()
{
    CActiveXUI* owner = m_pOwner;
    m_pOwner = nullptr;
    if (owner != nullptr && owner->GetManager() != nullptr && m_hWnd != nullptr)
        owner->GetManager()->RemoveNativeWindow(m_hWnd);
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    else
        delete this;
}

const wchar_t* CActiveXWnd::GetWndClassName() const
{
    return L"ActiveXWnd";
}

LRESULT CActiveXWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_ERASEBKGND:
        // The component covers the window.
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_SETFOCUS:
        // Focus given to the host goes on to the component's window, and the
        // framework's focus follows to the control.
        if (m_pOwner != nullptr && !m_pOwner->IsFocused())
            m_pOwner->SetFocus();
        if (HWND child = ::GetWindow(m_hWnd, GW_CHILD))
            ::SetFocus(child);
        return 0;
    default:
        return ::DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
    }
}

void CActiveXWnd::OnFinalMessage(HWND /*hWnd*/)
{
    if (m_pOwner != nullptr)
        m_pOwner->OnHostWindowGone();
    delete this;
}

} // namespace Facet
