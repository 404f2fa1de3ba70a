// The probe component: just enough of the OLE control interfaces to be
// created, sited, activated in place (windowed or windowless), placed,
// focused, drawn and released, counting what happens.
#include "ProbeComponent.h"

#include <ocidl.h>
#include <ole2.h>

using probe::ProbeState;

namespace {

ProbeState g_state = {};
LONG g_locks = 0;
HINSTANCE g_module = nullptr;
const wchar_t kWindowClass[] = L"FacetProbeComponentWindow";

LRESULT CALLBACK ProbeWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETFOCUS:
        ++g_state.focusCount;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hWnd, &ps);
        RECT rc;
        GetClientRect(hWnd, &rc);
        HBRUSH brush = CreateSolidBrush(
            RGB((probe::kProbeColour >> 16) & 0xFF, (probe::kProbeColour >> 8) & 0xFF, probe::kProbeColour & 0xFF));
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT rc;
        GetClientRect(hWnd, &rc);
        HBRUSH brush = CreateSolidBrush(
            RGB((probe::kProbeColour >> 16) & 0xFF, (probe::kProbeColour >> 8) & 0xFF, probe::kProbeColour & 0xFF));
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        DeleteObject(brush);
        return 0;
    }
    default:
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    }
}

class ProbeComponent : public IOleObject, public IOleInPlaceObjectWindowless, public IViewObject
{
public:
    explicit ProbeComponent(bool mayBeWindowless) : m_mayBeWindowless(mayBeWindowless)
    {
        ++g_state.liveObjects;
        ++g_state.created;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleObject))
            *ppv = static_cast<IOleObject*>(this);
        else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceObject) ||
                 IsEqualIID(riid, IID_IOleInPlaceObjectWindowless))
            *ppv = static_cast<IOleInPlaceObjectWindowless*>(this);
        else if (IsEqualIID(riid, IID_IViewObject))
            *ppv = static_cast<IViewObject*>(this);
        if (*ppv == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG count = --m_refs;
        if (count == 0)
            delete this;
        return count;
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override
    {
        if (site != nullptr)
            site->AddRef();
        if (m_site != nullptr)
            m_site->Release();
        m_site = site;
        g_state.sited = site != nullptr ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override
    {
        *site = m_site;
        if (m_site != nullptr)
            m_site->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override
    {
        InPlaceDeactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override
    {
        if (verb == OLEIVERB_INPLACEACTIVATE || verb == OLEIVERB_SHOW || verb == OLEIVERB_UIACTIVATE)
            return InPlaceActivate();
        return OLEOBJ_S_INVALIDVERB;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override
    {
        *clsid = m_mayBeWindowless ? probe::kWindowlessClsid : probe::kWindowedClsid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override
    {
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        *window = m_window;
        return m_window != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override
    {
        if (m_inPlaceSite == nullptr)
            return S_OK;
        if (m_window != nullptr) {
            DestroyWindow(m_window);
            m_window = nullptr;
            g_state.window = nullptr;
        }
        IOleInPlaceSite* site = m_inPlaceSite;
        m_inPlaceSite = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
        g_state.inPlaceActive = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) override
    {
        g_state.objectRect = *pos;
        if (m_window != nullptr)
            MoveWindow(m_window, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    // IOleInPlaceObjectWindowless
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override
    {
        *result = 0;
        if (msg == WM_SETFOCUS) {
            ++g_state.focusCount;
            return S_OK;
        }
        if (msg == WM_LBUTTONDOWN) {
            ++g_state.clicks;
            return S_OK;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget**) override { return E_NOTIMPL; }

    // IViewObject
    HRESULT STDMETHODCALLTYPE Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                   BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        ++g_state.draws;
        if (bounds == nullptr)
            return E_INVALIDARG;
        RECT rc = {bounds->left, bounds->top, bounds->right, bounds->bottom};
        HBRUSH brush = CreateSolidBrush(
            RGB((probe::kProbeColour >> 16) & 0xFF, (probe::kProbeColour >> 8) & 0xFF, probe::kProbeColour & 0xFF));
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }

private:
    virtual ~ProbeComponent()
    {
        InPlaceDeactivate();
        if (m_site != nullptr)
            m_site->Release();
        --g_state.liveObjects;
    }

    // The order an in-place activation follows: may it, windowless or not,
    // tell the site, ask for the parent window and the rectangle, then make
    // a window when not windowless.
    HRESULT InPlaceActivate()
    {
        if (m_inPlaceSite != nullptr)
            return S_OK;
        if (m_site == nullptr ||
            FAILED(m_site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&m_inPlaceSite))))
            return E_UNEXPECTED;
        if (m_inPlaceSite->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        bool windowless = false;
        IOleInPlaceSiteWindowless* windowlessSite = nullptr;
        if (m_mayBeWindowless && SUCCEEDED(m_site->QueryInterface(IID_IOleInPlaceSiteWindowless,
                                                                  reinterpret_cast<void**>(&windowlessSite)))) {
            windowless = windowlessSite->CanWindowlessActivate() == S_OK;
            BOOL noRedraw = FALSE;
            windowlessSite->OnInPlaceActivateEx(&noRedraw, windowless ? ACTIVATE_WINDOWLESS : 0);
            windowlessSite->Release();
        } else {
            m_inPlaceSite->OnInPlaceActivate();
        }
        HWND parent = nullptr;
        m_inPlaceSite->GetWindow(&parent);
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* document = nullptr;
        RECT pos = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof(info);
        m_inPlaceSite->GetWindowContext(&frame, &document, &pos, &clip, &info);
        if (frame != nullptr)
            frame->Release();
        if (document != nullptr)
            document->Release();
        g_state.objectRect = pos;
        g_state.windowless = windowless ? 1 : 0;
        if (!windowless) {
            m_window = CreateWindowExW(0, kWindowClass, L"probe", WS_CHILD | WS_VISIBLE, pos.left, pos.top,
                                       pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, g_module, nullptr);
            g_state.window = m_window;
            if (m_window == nullptr)
                return E_FAIL;
        }
        g_state.inPlaceActive = 1;
        return S_OK;
    }

    ULONG m_refs = 1;
    bool m_mayBeWindowless;
    IOleClientSite* m_site = nullptr;
    IOleInPlaceSite* m_inPlaceSite = nullptr;
    HWND m_window = nullptr;
};

class ProbeFactory : public IClassFactory
{
public:
    explicit ProbeFactory(bool windowless) : m_windowless(windowless) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The factories are static: their references only lock the module.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&g_locks)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&g_locks)); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* component = new ProbeComponent(m_windowless);
        const HRESULT hr = component->QueryInterface(riid, ppv);
        component->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? InterlockedIncrement(&g_locks) : InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    bool m_windowless;
};

ProbeFactory g_windowedFactory(false);
ProbeFactory g_windowlessFactory(true);

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ProbeWindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = kWindowClass;
        RegisterClassW(&wc);
    } else if (reason == DLL_PROCESS_DETACH) {
        UnregisterClassW(kWindowClass, instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv)
{
    if (IsEqualCLSID(clsid, probe::kWindowedClsid))
        return g_windowedFactory.QueryInterface(riid, ppv);
    if (IsEqualCLSID(clsid, probe::kWindowlessClsid))
        return g_windowlessFactory.QueryInterface(riid, ppv);
    *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return g_state.liveObjects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

extern "C" ProbeState* WINAPI ProbeGetState()
{
    return &g_state;
}
