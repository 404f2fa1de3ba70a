// CWebBrowserUI: home page and navigation requests.
#include "WebBrowserUI.h"

#include <cwchar>

#include "LabelUIValues.h"

namespace Facet {

using namespace attribute_values;

const wchar_t* const CWebBrowserUI::kWebBrowserClsid = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

CWebBrowserUI::CWebBrowserUI() : m_bAutoNavi(false)
{
    SetClsid(kWebBrowserClsid);
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

void CWebBrowserUI::Navigate(const wchar_t* url)
{
    m_sCurrentUrl = url != nullptr ? url : L"";
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

void CWebBrowserUI::OnCreationRequested()
{
    if (m_bAutoNavi)
        NavigateHomePage();
}

} // namespace Facet
