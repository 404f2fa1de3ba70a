// CActiveXUI: stored settings and the "showactivex" request.
#include "ActiveXUI.h"

#include <objbase.h>

#include <cwchar>

#include "../core/PaintManager.h"
#include "LabelUIValues.h"

namespace Facet {

using namespace attribute_values;

CActiveXUI::CActiveXUI() : m_clsid{}, m_bDelayCreate(false), m_bCreationRequested(false)
{
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

void CActiveXUI::DoInit()
{
    CControlUI::DoInit();
    m_bCreationRequested = false;
    if (!m_bDelayCreate)
        CreateControl();
}

bool CActiveXUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    if (m_bDelayCreate && !m_bCreationRequested)
        CreateControl();
    return CControlUI::DoPaint(hDC, rcPaint, stopControl);
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

bool CActiveXUI::CreateControl()
{
    if (m_bCreationRequested || m_pManager == nullptr)
        return false;
    m_bCreationRequested = true;
    OnCreationRequested();
    m_pManager->SendNotify(this, L"showactivex", 0, 0, false, true);
    return false;
}

bool CActiveXUI::IsCreationRequested() const
{
    return m_bCreationRequested;
}

HWND CActiveXUI::GetHostWindow() const
{
    return nullptr;
}

void CActiveXUI::OnCreationRequested()
{
}

LRESULT CActiveXUI::MessageHandler(UINT /*uMsg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, bool& bHandled)
{
    bHandled = false;
    return 0;
}

} // namespace Facet
