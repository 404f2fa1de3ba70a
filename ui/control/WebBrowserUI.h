// CWebBrowserUI ("WebBrowser"): the place of the platform's embedded web
// browser. Like CActiveXUI it hosts nothing in this build: it keeps the home
// page ("homepage") and whether to open it when the browser would be created
// ("autonavi"), and records the address of the last navigation asked for.
#pragma once

#include <windows.h>

#include "ActiveXUI.h"

namespace Facet {

class CWebBrowserUI : public CActiveXUI
{
public:
    // The platform web browser's class id, set by default.
    static const wchar_t* const kWebBrowserClsid;

    CWebBrowserUI();

    // "WebBrowser".
    const wchar_t* GetClass() const override;
    // This control for "WebBrowser", else the ActiveX control's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    void SetHomePage(const wchar_t* url);
    CFacetString GetHomePage() const;
    void SetAutoNavigation(bool autoNavigation = true);
    bool IsAutoNavigation() const;

    // Records `url` as the address asked for; nothing is loaded.
    void Navigate(const wchar_t* url);
    void NavigateHomePage();
    // The address of the last navigation asked for (empty before any).
    CFacetString GetCurrentUrl() const;

protected:
    // Opens the home page when auto navigation is on.
    void OnCreationRequested() override;

private:
    CFacetString m_sHomePage;
    bool m_bAutoNavi;
    CFacetString m_sCurrentUrl;
};

} // namespace Facet
