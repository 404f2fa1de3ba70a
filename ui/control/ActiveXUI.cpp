// CActiveXUI: creating, placing, showing, focusing and releasing the component.
#include "ActiveXUI.h"

#include <objbase.h>
#include <shlwapi.h>

#include <cwchar>

#include "../core/Diagnostics.h"
#include "../core/PaintManager.h"
#include "ActiveXHost.h"
#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectProc)(REFCLSID, REFIID, LPVOID*);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowProc)();

bool IsMouseMessage(UINT uMsg)
{
    return uMsg >= WM_MOUSEFIRST && uMsg <= WM_MOUSELAST;
}

bool IsKeyMessage(UINT uMsg)
{
    return (uMsg >= WM_KEYFIRST && uMsg <= WM_KEYLAST) || (uMsg >= WM_IME_STARTCOMPOSITION && uMsg <= WM_IME_KEYLAST);
}

} // namespace

CActiveXUI::CActiveXUI()
    : m_clsid{}, m_bDelayCreate(false), m_bCreationRequested(false), m_pObject(nullptr), m_pSite(nullptr)
{
}

CActiveXUI::~CActiveXUI()
{
    ReleaseControl();
}

const wchar_t* CActiveXUI::GetClass() const
{
    return L"ActiveX";
}

LPVOID CActiveXUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ActiveX") == 0)
        return static_cast<CActiveXUI*>(this);
    if (name != nullptr && wcscmp(name, L"IMessageFilter") == 0)
        return static_cast<IMessageFilterUI*>(this);
    return CControlUI::GetInterface(name);
}

UINT CActiveXUI::GetControlFlags() const
{
    return IsCreated() && IsEnabled() ? UIFLAG_TABSTOP : 0;
}

HWND CActiveXUI::GetNativeWindow() const
{
    return GetHostWindow();
}

const CControlAttributeTable& CActiveXUI::GetAttributeTable() const
{
    using C = CActiveXUI;
    static const TAttribute<CActiveXUI> kAttributes[] = {
        {L"clsid", kValueText, [](C& c, const wchar_t* v) { c.SetClsid(v); }, kNameAnyCase},
        {L"modulename", kValueText, [](C& c, const wchar_t* v) { c.SetModuleName(v); }, kNameAnyCase},
        {L"delaycreate", kValueFlag, [](C& c, const wchar_t* v) { c.SetDelayCreate(IsTrue(v)); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CControlUI::GetAttributeTable());
    return table;
}

bool CActiveXUI::SetClsid(const wchar_t* clsid)
{
    m_sClsid = clsid != nullptr ? clsid : L"";
    m_clsid = CLSID{};
    if (m_sClsid.IsEmpty())
        return false;
    // CLSIDFromString wants a writable text.
    CFacetString text = m_sClsid;
    CLSID parsed = {};
    if (FAILED(::CLSIDFromString(const_cast<LPOLESTR>(text.GetData()), &parsed)))
        return false;
    m_clsid = parsed;
    return true;
}

CFacetString CActiveXUI::GetClsidText() const
{
    return m_sClsid;
}

const CLSID& CActiveXUI::GetClsid() const
{
    return m_clsid;
}

void CActiveXUI::SetModuleName(const wchar_t* moduleName)
{
    m_sModuleName = moduleName != nullptr ? moduleName : L"";
}

CFacetString CActiveXUI::GetModuleName() const
{
    return m_sModuleName;
}

void CActiveXUI::SetDelayCreate(bool delayCreate)
{
    m_bDelayCreate = delayCreate;
}

bool CActiveXUI::IsDelayCreate() const
{
    return m_bDelayCreate;
}

// -- Creation --

void CActiveXUI::DoInit()
{
    CControlUI::DoInit();
    if (!m_bDelayCreate)
        CreateControl();
}

void CActiveXUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    // The component lives in one window: leaving it releases the component,
    // and a new window may create it again.
    if (manager != m_pManager) {
        ReleaseControl();
        m_bCreationRequested = false;
    }
    CControlUI::SetManager(manager, parent, init);
}

bool CActiveXUI::CreateControl()
{
    if (IsCreated())
        return true;
    if (m_bCreationRequested || m_pManager == nullptr || m_pManager->GetPaintWindow() == nullptr)
        return false;
    m_bCreationRequested = true;
    if (IsEqualGUID(m_clsid, GUID_NULL)) {
        WriteDiagnosticLine("ActiveX: no class id to create: ", m_sClsid.GetData());
        return false;
    }
    if (!IsComponentAvailable())
        return false;
    m_ole.reset(new ScopedOleInitialize());
    m_pObject = CreateComponent();
    if (m_pObject == nullptr) {
        ReleaseControl();
        return false;
    }
    m_pSite = new CActiveXCtrl(this);
    if (!m_pSite->Activate(m_pObject)) {
        WriteDiagnosticLine("ActiveX: the component refused to be activated in place: ", m_sClsid.GetData());
        ReleaseControl();
        return false;
    }
    m_pManager->AddMessageFilter(this);
    m_pSite->PlaceAt(m_rcItem);
    UpdateWindowVisibility();
    if (!OnControlCreated()) {
        ReleaseControl();
        return false;
    }
    // Delivered from the message queue: a window template registers its
    // listeners after the tree joins the window, and must still hear it.
    m_pManager->SendNotify(this, L"showactivex", 0, 0, true, true);
    Invalidate();
    return true;
}

IOleObject* CActiveXUI::CreateComponent()
{
    if (!m_sModuleName.IsEmpty())
        return CreateFromModule();
    IOleObject* object = nullptr;
    const HRESULT hr = ::CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                          reinterpret_cast<void**>(&object));
    if (FAILED(hr) || object == nullptr) {
        WriteDiagnosticLine("ActiveX: the component could not be created: ", m_sClsid.GetData());
        return nullptr;
    }
    return object;
}

IOleObject* CActiveXUI::CreateFromModule()
{
    // A full path only: a bare name would be looked for in the program's
    // folder and the current one, which the user may write to.
    if (::PathIsRelativeW(m_sModuleName.GetData())) {
        WriteDiagnosticLine("ActiveX: a component module is loaded by its full path only: ", m_sModuleName.GetData());
        return nullptr;
    }
    m_hModule.Reset(::LoadLibraryExW(m_sModuleName.GetData(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!m_hModule) {
        WriteDiagnosticLine("ActiveX: the component module could not be loaded: ", m_sModuleName.GetData());
        return nullptr;
    }
    const auto getClassObject = reinterpret_cast<GetClassObjectProc>(
        reinterpret_cast<void*>(::GetProcAddress(m_hModule.Get(), "DllGetClassObject")));
    IClassFactory* factory = nullptr;
    if (getClassObject == nullptr ||
        FAILED(getClassObject(m_clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) || factory == nullptr) {
        WriteDiagnosticLine("ActiveX: the module has no such component: ", m_sClsid.GetData());
        return nullptr;
    }
    IOleObject* object = nullptr;
    const HRESULT hr = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object));
    factory->Release();
    if (FAILED(hr) || object == nullptr) {
        WriteDiagnosticLine("ActiveX: the component could not be created: ", m_sClsid.GetData());
        return nullptr;
    }
    return object;
}

bool CActiveXUI::IsCreationRequested() const
{
    return m_bCreationRequested;
}

bool CActiveXUI::IsCreated() const
{
    return m_pObject != nullptr && m_pSite != nullptr;
}

HRESULT CActiveXUI::GetControl(REFIID iid, void** ppv) const
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    return m_pObject != nullptr ? m_pObject->QueryInterface(iid, ppv) : E_PENDING;
}

HWND CActiveXUI::GetHostWindow() const
{
    return m_pSite != nullptr ? m_pSite->GetHostWindow() : nullptr;
}

bool CActiveXUI::IsWindowless() const
{
    return m_pSite != nullptr && m_pSite->IsWindowless();
}

bool CActiveXUI::IsComponentAvailable()
{
    return true;
}

bool CActiveXUI::OnControlCreated()
{
    return true;
}

void CActiveXUI::OnControlReleasing()
{
}

void CActiveXUI::ReleaseControl()
{
    if (m_pObject != nullptr)
        OnControlReleasing();
    if (m_pManager != nullptr)
        m_pManager->RemoveMessageFilter(this);
    if (m_pSite != nullptr) {
        CActiveXCtrl* site = m_pSite;
        m_pSite = nullptr;
        site->Detach();
        site->Release();
    }
    if (m_pObject != nullptr) {
        IOleObject* object = m_pObject;
        m_pObject = nullptr;
        object->Release();
    }
    UnloadModule();
    m_ole.reset();
}

// The module goes when it says nothing of it is in use; one that still has
// objects alive stays loaded rather than leave them without their code.
void CActiveXUI::UnloadModule()
{
    if (!m_hModule)
        return;
    const auto canUnloadNow = reinterpret_cast<CanUnloadNowProc>(
        reinterpret_cast<void*>(::GetProcAddress(m_hModule.Get(), "DllCanUnloadNow")));
    if (canUnloadNow == nullptr || canUnloadNow() == S_OK)
        m_hModule.Reset();
    else
        m_hModule.Release();
}

void CActiveXUI::OnHostWindowGone()
{
    if (m_pSite != nullptr)
        m_pSite->OnWindowGone();
}

// -- Place, visibility, focus --

void CActiveXUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    if (m_pSite != nullptr)
        m_pSite->PlaceAt(m_rcItem);
}

void CActiveXUI::Move(SIZE offset, bool needInvalidate)
{
    CControlUI::Move(offset, needInvalidate);
    if (m_pSite != nullptr)
        m_pSite->PlaceAt(m_rcItem);
}

void CActiveXUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    UpdateWindowVisibility();
}

void CActiveXUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    UpdateWindowVisibility();
}

void CActiveXUI::UpdateWindowVisibility()
{
    if (m_pSite != nullptr)
        m_pSite->ShowWindow(IsVisible());
}

void CActiveXUI::DoEvent(TEventUI& event)
{
    if (m_pSite != nullptr && (event.Type == UIEVENT_SETFOCUS || event.Type == UIEVENT_KILLFOCUS)) {
        CControlUI::DoEvent(event);
        m_pSite->PassFocus(event.Type == UIEVENT_SETFOCUS);
        return;
    }
    CControlUI::DoEvent(event);
}

bool CActiveXUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    if (m_bDelayCreate && !m_bCreationRequested)
        CreateControl();
    if (!CControlUI::DoPaint(hDC, rcPaint, stopControl))
        return false;
    if (m_pObject == nullptr || !IsWindowless())
        return true;
    IViewObject* view = nullptr;
    if (FAILED(m_pObject->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view))) || view == nullptr)
        return true;
    RECTL bounds = {m_rcItem.left, m_rcItem.top, m_rcItem.right, m_rcItem.bottom};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hDC, &bounds, nullptr, nullptr, 0);
    view->Release();
    return true;
}

LRESULT CActiveXUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    bHandled = false;
    IOleInPlaceObjectWindowless* windowless = m_pSite != nullptr ? m_pSite->GetWindowlessObject() : nullptr;
    if (windowless == nullptr || m_pManager == nullptr || !IsVisible() || !IsEnabled())
        return 0;
    if (IsMouseMessage(uMsg)) {
        const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        // A wheel message carries screen coordinates; those are not placed here.
        if (uMsg == WM_MOUSEWHEEL || !::PtInRect(&m_rcItem, pt))
            return 0;
    } else if (!IsKeyMessage(uMsg) || m_pManager->GetFocus() != this) {
        return 0;
    }
    LRESULT result = 0;
    bHandled = windowless->OnWindowMessage(uMsg, wParam, lParam, &result) == S_OK;
    // The press also goes on to the manager, which gives this control the focus.
    if (uMsg == WM_LBUTTONDOWN)
        bHandled = false;
    return result;
}

} // namespace Facet
