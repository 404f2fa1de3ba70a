// CTxtWinHost: loading the text services and answering them.
#include "RichEditHost.h"

#include "../core/Diagnostics.h"
#include "../core/PaintManager.h"
#include "../core/SystemLibrary.h"
#include "RichEditUI.h"

namespace Facet {

namespace {

// The interface ids as the platform's headers give them; the library's own
// exported copies are preferred where it has them.
const IID kTextServicesIid = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
const IID kTextHostIid = {0x13e670f4, 0x1a5a, 0x11cf, {0xab, 0xeb, 0x00, 0xaa, 0x00, 0xb6, 0x5e, 0xa1}};

struct TextServicesLibrary
{
    PCreateTextServices create;
    IID textServices;
    IID textHost;
};

IID ExportedIid(HMODULE module, const char* name, const IID& fallback)
{
    const auto* exported = reinterpret_cast<const IID*>(::GetProcAddress(module, name));
    return exported != nullptr ? *exported : fallback;
}

TextServicesLibrary LoadTextServicesLibrary()
{
    TextServicesLibrary library = {nullptr, kTextServicesIid, kTextHostIid};
    // The newest rich edit first; only ever from the system folder.
    const wchar_t* const names[] = {L"msftedit.dll", L"riched20.dll"};
    for (const wchar_t* name : names) {
        SystemLibrary module(name);
        library.create = module.Procedure<PCreateTextServices>("CreateTextServices");
        if (library.create == nullptr)
            continue;
        // Kept loaded for the life of the process, as the services it makes are.
        const HMODULE kept = module.Release();
        library.textServices = ExportedIid(kept, "IID_ITextServices", kTextServicesIid);
        library.textHost = ExportedIid(kept, "IID_ITextHost", kTextHostIid);
        break;
    }
    return library;
}

// Loaded once and kept for the rest of the process: what its services put on
// the OLE clipboard points into the library's code, and the clipboard may
// outlive every rich edit.
const TextServicesLibrary* TextServices()
{
    static const TextServicesLibrary library = LoadTextServicesLibrary();
    return library.create != nullptr ? &library : nullptr;
}

} // namespace

CTxtWinHost* CTxtWinHost::Create(CRichEditUI* owner, HWND hWnd, const RECT& rcClient, const Settings& settings)
{
    auto* host = new CTxtWinHost(owner, hWnd, rcClient, settings);
    if (!host->CreateServices()) {
        host->Shutdown();
        host->Release();
        return nullptr;
    }
    return host;
}

CTxtWinHost::CTxtWinHost(CRichEditUI* owner, HWND hWnd, const RECT& rcClient, const Settings& settings)
    : m_cRef(1),
      m_pOwner(owner),
      m_hWnd(hWnd),
      m_rcClient(rcClient),
      m_settings(settings),
      m_pServices(nullptr),
      m_bCaretOwned(false)
{
}

CTxtWinHost::~CTxtWinHost() = default;

bool CTxtWinHost::CreateServices()
{
    const TextServicesLibrary* library = TextServices();
    if (library == nullptr) {
        WriteDiagnosticLine("RichEdit: no rich edit library in the system folder; the text is shown plainly.");
        return false;
    }
    IUnknown* unknown = nullptr;
    if (FAILED(library->create(nullptr, this, &unknown)) || unknown == nullptr) {
        WriteDiagnosticLine("RichEdit: the text services could not be created; the text is shown plainly.");
        return false;
    }
    void* services = nullptr;
    const HRESULT hr = unknown->QueryInterface(library->textServices, &services);
    unknown->Release();
    if (FAILED(hr) || services == nullptr) {
        WriteDiagnosticLine("RichEdit: the text services lack their interface; the text is shown plainly.");
        return false;
    }
    m_pServices = static_cast<ITextServices*>(services);
    m_pServices->OnTxInPlaceActivate(&m_rcClient);
    return true;
}

ITextServices* CTxtWinHost::GetTextServices() const
{
    return m_pServices;
}

void CTxtWinHost::Shutdown()
{
    if (m_pServices != nullptr) {
        ITextServices* services = m_pServices;
        m_pServices = nullptr;
        services->OnTxInPlaceDeactivate();
        services->Release();
    }
    m_pOwner = nullptr;
}

LRESULT CTxtWinHost::Send(UINT msg, WPARAM wParam, LPARAM lParam, bool* pHandled) const
{
    LRESULT result = 0;
    const HRESULT hr = m_pServices != nullptr ? m_pServices->TxSendMessage(msg, wParam, lParam, &result) : S_FALSE;
    if (pHandled != nullptr)
        *pHandled = hr == S_OK;
    return result;
}

void CTxtWinHost::Draw(HDC hDC, const RECT& rcUpdate) const
{
    if (m_pServices == nullptr)
        return;
    RECTL bounds = {m_rcClient.left, m_rcClient.top, m_rcClient.right, m_rcClient.bottom};
    RECT update = rcUpdate;
    m_pServices->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hDC, nullptr, &bounds, nullptr, &update, nullptr, 0,
                        TXTVIEW_ACTIVE);
}

const RECT& CTxtWinHost::GetClientRect() const
{
    return m_rcClient;
}

// `bits` are change bits (TXTBIT_...CHANGE): the services ask for the new value.
void CTxtWinHost::NotifyServices(DWORD bits) const
{
    if (m_pServices != nullptr)
        m_pServices->OnTxPropertyBitsChange(bits, bits);
}

void CTxtWinHost::SetClientRect(const RECT& rc)
{
    if (::EqualRect(&rc, &m_rcClient))
        return;
    m_rcClient = rc;
    NotifyServices(TXTBIT_CLIENTRECTCHANGE);
}

void CTxtWinHost::SetPropertyBits(DWORD mask, DWORD bits)
{
    m_settings.dwPropertyBits = (m_settings.dwPropertyBits & ~mask) | (bits & mask);
    if (m_pServices != nullptr)
        m_pServices->OnTxPropertyBitsChange(mask, m_settings.dwPropertyBits & mask);
}

void CTxtWinHost::SetScrollBarStyle(DWORD style)
{
    m_settings.dwScrollBars = style;
    NotifyServices(TXTBIT_SCROLLBARCHANGE);
}

void CTxtWinHost::SetPasswordChar(WCHAR ch)
{
    m_settings.chPasswordChar = ch;
    if (m_pServices != nullptr && (m_settings.dwPropertyBits & TXTBIT_USEPASSWORD) != 0)
        m_pServices->OnTxPropertyBitsChange(TXTBIT_USEPASSWORD, TXTBIT_USEPASSWORD);
}

void CTxtWinHost::SetMaxLength(DWORD length)
{
    m_settings.dwMaxLength = length;
    NotifyServices(TXTBIT_MAXLENGTHCHANGE);
}

void CTxtWinHost::SetTransparent(bool transparent)
{
    m_settings.bTransparent = transparent;
    NotifyServices(TXTBIT_BACKSTYLECHANGE);
}

void CTxtWinHost::SetBackgroundColor(COLORREF color)
{
    m_settings.crBackground = color;
    NotifyServices(TXTBIT_BACKSTYLECHANGE);
}

void CTxtWinHost::SetCharFormat(const CHARFORMAT2W& format)
{
    m_settings.charFormat = format;
    NotifyServices(TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetParaFormat(const PARAFORMAT2& format)
{
    m_settings.paraFormat = format;
    NotifyServices(TXTBIT_PARAFORMATCHANGE);
}

bool CTxtWinHost::OwnsCaret() const
{
    return m_bCaretOwned;
}

void CTxtWinHost::ForgetCaret()
{
    m_bCaretOwned = false;
}

// -- IUnknown --

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    const TextServicesLibrary* library = TextServices();
    const IID& hostIid = library != nullptr ? library->textHost : kTextHostIid;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, hostIid)) {
        *ppv = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef()
{
    return ++m_cRef;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::Release()
{
    const ULONG count = --m_cRef;
    if (count == 0)
        delete this;
    return count;
}

// -- ITextHost: the window --

HDC CTxtWinHost::TxGetDC()
{
    return ::GetDC(m_hWnd);
}

INT CTxtWinHost::TxReleaseDC(HDC hdc)
{
    return ::ReleaseDC(m_hWnd, hdc);
}

BOOL CTxtWinHost::TxShowScrollBar(INT fnBar, BOOL fShow)
{
    if (m_pOwner != nullptr)
        m_pOwner->OnTxShowScrollBar(fnBar, fShow != FALSE);
    return TRUE;
}

BOOL CTxtWinHost::TxEnableScrollBar(INT /*fuSBFlags*/, INT /*fuArrowflags*/)
{
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollRange(INT /*fnBar*/, LONG /*nMinPos*/, INT /*nMaxPos*/, BOOL /*fRedraw*/)
{
    if (m_pOwner != nullptr)
        m_pOwner->OnTxScrollChanged();
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollPos(INT /*fnBar*/, INT /*nPos*/, BOOL /*fRedraw*/)
{
    if (m_pOwner != nullptr)
        m_pOwner->OnTxScrollChanged();
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT prc, BOOL /*fMode*/)
{
    if (m_pOwner != nullptr)
        m_pOwner->OnTxInvalidate(prc);
}

void CTxtWinHost::TxViewChange(BOOL /*fUpdate*/)
{
    if (m_pOwner != nullptr)
        m_pOwner->OnTxInvalidate(nullptr);
}

void CTxtWinHost::TxScrollWindowEx(INT /*dx*/, INT /*dy*/, LPCRECT /*lprcScroll*/, LPCRECT /*lprcClip*/,
                                   HRGN /*hrgnUpdate*/, LPRECT /*lprcUpdate*/, UINT /*fuScroll*/)
{
    // The window is painted from the tree: the moved text is drawn again.
    if (m_pOwner != nullptr)
        m_pOwner->OnTxInvalidate(nullptr);
}

BOOL CTxtWinHost::TxScreenToClient(LPPOINT lppt)
{
    return ::ScreenToClient(m_hWnd, lppt);
}

BOOL CTxtWinHost::TxClientToScreen(LPPOINT lppt)
{
    return ::ClientToScreen(m_hWnd, lppt);
}

HRESULT CTxtWinHost::TxActivate(LONG* plOldState)
{
    if (plOldState != nullptr)
        *plOldState = 0;
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG /*lNewState*/)
{
    return S_OK;
}

// -- ITextHost: caret, timers, capture, focus, cursor --

BOOL CTxtWinHost::TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight)
{
    m_bCaretOwned = ::CreateCaret(m_hWnd, hbmp, xWidth, yHeight) != FALSE;
    return m_bCaretOwned ? TRUE : FALSE;
}

BOOL CTxtWinHost::TxShowCaret(BOOL fShow)
{
    if (!m_bCaretOwned)
        return FALSE;
    return fShow ? ::ShowCaret(m_hWnd) : ::HideCaret(m_hWnd);
}

BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    return m_bCaretOwned ? ::SetCaretPos(x, y) : FALSE;
}

BOOL CTxtWinHost::TxSetTimer(UINT idTimer, UINT uTimeout)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr)
        return FALSE;
    return m_pOwner->GetManager()->SetTimer(m_pOwner, idTimer, uTimeout) ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT idTimer)
{
    if (m_pOwner != nullptr && m_pOwner->GetManager() != nullptr)
        m_pOwner->GetManager()->KillTimer(m_pOwner, idTimer);
}

void CTxtWinHost::TxSetCapture(BOOL fCapture)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr)
        return;
    if (fCapture)
        m_pOwner->GetManager()->SetCapture();
    else
        m_pOwner->GetManager()->ReleaseCapture();
}

void CTxtWinHost::TxSetFocus()
{
    if (m_pOwner != nullptr)
        m_pOwner->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR hcur, BOOL /*fText*/)
{
    ::SetCursor(hcur);
}

HIMC CTxtWinHost::TxImmGetContext()
{
    return ::ImmGetContext(m_hWnd);
}

void CTxtWinHost::TxImmReleaseContext(HIMC himc)
{
    ::ImmReleaseContext(m_hWnd, himc);
}

// -- ITextHost: what the text looks like --

HRESULT CTxtWinHost::TxGetClientRect(LPRECT prc)
{
    *prc = m_rcClient;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT prc)
{
    // The padding is already outside the client rectangle.
    *prc = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** ppCF)
{
    *ppCF = reinterpret_cast<const CHARFORMATW*>(&m_settings.charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** ppPF)
{
    *ppPF = &m_settings.paraFormat;
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int nIndex)
{
    if (nIndex == COLOR_WINDOW && m_settings.crBackground != CLR_INVALID)
        return m_settings.crBackground;
    return ::GetSysColor(nIndex);
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* pstyle)
{
    *pstyle = m_settings.bTransparent ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* plength)
{
    *plength = m_settings.dwMaxLength;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* pdwScrollBar)
{
    *pdwScrollBar = m_settings.dwScrollBars;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* pch)
{
    *pch = m_settings.chPasswordChar;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pcp)
{
    *pcp = -1;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL /*lpExtent*/)
{
    // No zoom: the text is laid out in the client rectangle's own pixels.
    return E_NOTIMPL;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW* /*pcf*/)
{
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT* /*ppf*/)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits)
{
    *pdwBits = m_settings.dwPropertyBits & dwMask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD iNotify, void* pv)
{
    if (m_pOwner != nullptr)
        m_pOwner->OnTxNotify(iNotify, pv);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* lSelBarWidth)
{
    *lSelBarWidth = 0;
    return S_OK;
}

} // namespace Facet
