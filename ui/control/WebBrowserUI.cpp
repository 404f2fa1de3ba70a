// CWebBrowserUI: the browser's interface, its engine, navigation and events.
#include "WebBrowserUI.h"

#include <exdispid.h>
#include <ocidl.h>

#include <cwchar>

#include "../core/Diagnostics.h"
#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

const wchar_t* const CWebBrowserUI::kWebBrowserClsid = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

namespace {

// The HTML document object, the engine the browser draws pages with.
const CLSID kHtmlDocumentClsid = {0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};

bool HasBrowserEngine()
{
    IUnknown* document = nullptr;
    if (FAILED(::CoCreateInstance(kHtmlDocumentClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&document))) ||
        document == nullptr)
        return false;
    document->Release();
    return true;
}

// The text a VARIANT argument of an event holds (through one reference).
const wchar_t* ArgumentText(const VARIANT& argument)
{
    const VARIANT* value = &argument;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr)
        value = value->pvarVal;
    if (value->vt == VT_BSTR && value->bstrVal != nullptr)
        return value->bstrVal;
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal != nullptr && *value->pbstrVal != nullptr)
        return *value->pbstrVal;
    return L"";
}

long ArgumentLong(const VARIANT& argument)
{
    const VARIANT* value = &argument;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr)
        value = value->pvarVal;
    return value->vt == VT_I4 ? value->lVal : 0;
}

// Hands a handler's answer back through a by-reference boolean argument.
void SetCancel(VARIANT& argument, bool cancel)
{
    if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal != nullptr)
        *argument.pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

} // namespace

// The browser's event sink: DWebBrowserEvents2 through IDispatch, mapped to
// the owner's handler. The owner detaches it before it goes.
class CWebBrowserEvents : public IDispatch
{
public:
    explicit CWebBrowserEvents(CWebBrowserUI* owner) : m_cRef(1), m_pOwner(owner) {}

    void Detach() { m_pOwner = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG count = --m_cRef;
        if (count == 0)
            delete this;
        return count;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override
    {
        if (pctinfo != nullptr)
            *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT /*iTInfo*/, LCID /*lcid*/, ITypeInfo** ppTInfo) override
    {
        if (ppTInfo != nullptr)
            *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID /*riid*/, LPOLESTR* /*rgszNames*/, UINT /*cNames*/, LCID /*lcid*/,
                                            DISPID* /*rgDispId*/) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID /*riid*/, LCID /*lcid*/, WORD /*wFlags*/,
                                     DISPPARAMS* params, VARIANT* /*pVarResult*/, EXCEPINFO* /*pExcepInfo*/,
                                     UINT* /*puArgErr*/) override
    {
        IWebBrowserEventHandler* handler = m_pOwner != nullptr ? m_pOwner->m_pEventHandler : nullptr;
        if (handler == nullptr || params == nullptr)
            return S_OK;
        // The arguments come last first.
        VARIANT* args = params->rgvarg;
        const UINT count = params->cArgs;
        bool cancel = false;
        switch (dispIdMember) {
        case DISPID_BEFORENAVIGATE2:
            if (count >= 7) {
                handler->BeforeNavigate2(m_pOwner, ArgumentText(args[5]), cancel);
                SetCancel(args[0], cancel);
            }
            break;
        case DISPID_NAVIGATECOMPLETE2:
            if (count >= 2)
                handler->NavigateComplete2(m_pOwner, ArgumentText(args[0]));
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (count >= 2)
                handler->DocumentComplete(m_pOwner, ArgumentText(args[0]));
            break;
        case DISPID_NAVIGATEERROR:
            if (count >= 5) {
                handler->NavigateError(m_pOwner, ArgumentText(args[3]), ArgumentLong(args[1]), cancel);
                SetCancel(args[0], cancel);
            }
            break;
        case DISPID_TITLECHANGE:
            if (count >= 1)
                handler->TitleChange(m_pOwner, ArgumentText(args[0]));
            break;
        case DISPID_NEWWINDOW3:
            if (count >= 5) {
                handler->NewWindow3(m_pOwner, ArgumentText(args[0]), cancel);
                SetCancel(args[3], cancel);
            }
            break;
        default:
            break;
        }
        return S_OK;
    }

private:
    virtual ~CWebBrowserEvents() = default;

    ULONG m_cRef;
    CWebBrowserUI* m_pOwner;
};

CWebBrowserUI::CWebBrowserUI()
    : m_bAutoNavi(false), m_pEventHandler(nullptr), m_pWebBrowser(nullptr), m_pEvents(nullptr), m_dwEventCookie(0)
{
    SetClsid(kWebBrowserClsid);
}

CWebBrowserUI::~CWebBrowserUI()
{
    // The base releases the component after this part is gone: let go of
    // the browser's interface and events first.
    ReleaseControl();
}

const wchar_t* CWebBrowserUI::GetClass() const
{
    return L"WebBrowser";
}

LPVOID CWebBrowserUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"WebBrowser") == 0)
        return static_cast<CWebBrowserUI*>(this);
    return CActiveXUI::GetInterface(name);
}

const CControlAttributeTable& CWebBrowserUI::GetAttributeTable() const
{
    using C = CWebBrowserUI;
    static const TAttribute<CWebBrowserUI> kAttributes[] = {
        {L"homepage", kValueText, [](C& c, const wchar_t* v) { c.SetHomePage(v); }, kNameAnyCase},
        {L"autonavi", kValueFlag, [](C& c, const wchar_t* v) { c.SetAutoNavigation(IsTrue(v)); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CActiveXUI::GetAttributeTable());
    return table;
}

void CWebBrowserUI::SetHomePage(const wchar_t* url)
{
    m_sHomePage = url != nullptr ? url : L"";
}

CFacetString CWebBrowserUI::GetHomePage() const
{
    return m_sHomePage;
}

void CWebBrowserUI::SetAutoNavigation(bool autoNavigation)
{
    m_bAutoNavi = autoNavigation;
}

bool CWebBrowserUI::IsAutoNavigation() const
{
    return m_bAutoNavi;
}

void CWebBrowserUI::SetWebBrowserEventHandler(IWebBrowserEventHandler* handler)
{
    m_pEventHandler = handler;
}

void CWebBrowserUI::Navigate(const wchar_t* url)
{
    m_sCurrentUrl = url != nullptr ? url : L"";
    if (m_pWebBrowser != nullptr && !m_sCurrentUrl.IsEmpty())
        Open(m_sCurrentUrl.GetData());
}

void CWebBrowserUI::NavigateHomePage()
{
    if (!m_sHomePage.IsEmpty())
        Navigate(m_sHomePage.GetData());
}

CFacetString CWebBrowserUI::GetCurrentUrl() const
{
    return m_sCurrentUrl;
}

IWebBrowser2* CWebBrowserUI::GetWebBrowser2() const
{
    return m_pWebBrowser;
}

void CWebBrowserUI::Open(const wchar_t* url)
{
    BSTR address = ::SysAllocString(url);
    VARIANT empty;
    ::VariantInit(&empty);
    const HRESULT hr = m_pWebBrowser->Navigate(address, &empty, &empty, &empty, &empty);
    ::SysFreeString(address);
    if (FAILED(hr))
        WriteDiagnosticLine("WebBrowser: the navigation could not start: ", url);
}

bool CWebBrowserUI::IsComponentAvailable()
{
    if (HasBrowserEngine())
        return true;
    WriteDiagnosticLine("WebBrowser: the platform has no browser engine; the control stays empty.");
    return false;
}

bool CWebBrowserUI::OnControlCreated()
{
    if (FAILED(GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pWebBrowser))) || m_pWebBrowser == nullptr) {
        m_pWebBrowser = nullptr;
        WriteDiagnosticLine("WebBrowser: the component is no web browser: ", GetClsidText().GetData());
        return false;
    }
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(GetControl(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
        container != nullptr) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) && point != nullptr) {
            m_pEvents = new CWebBrowserEvents(this);
            if (FAILED(point->Advise(m_pEvents, &m_dwEventCookie)))
                m_dwEventCookie = 0;
            point->Release();
        }
        container->Release();
    }
    // An address asked for before the browser existed wins over the home page.
    if (!m_sCurrentUrl.IsEmpty())
        Open(m_sCurrentUrl.GetData());
    else if (m_bAutoNavi)
        NavigateHomePage();
    return true;
}

void CWebBrowserUI::OnControlReleasing()
{
    DisconnectEvents();
    if (m_pWebBrowser != nullptr) {
        IWebBrowser2* browser = m_pWebBrowser;
        m_pWebBrowser = nullptr;
        browser->Stop();
        browser->Release();
    }
}

void CWebBrowserUI::DisconnectEvents()
{
    if (m_pEvents == nullptr)
        return;
    IConnectionPointContainer* container = nullptr;
    if (m_dwEventCookie != 0 &&
        SUCCEEDED(GetControl(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
        container != nullptr) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) && point != nullptr) {
            point->Unadvise(m_dwEventCookie);
            point->Release();
        }
        container->Release();
    }
    m_dwEventCookie = 0;
    m_pEvents->Detach();
    m_pEvents->Release();
    m_pEvents = nullptr;
}

} // namespace Facet
