// CWebBrowserUI ("WebBrowser"): the platform's web browser component hosted
// like any component of CActiveXUI. It opens the home page ("homepage") once
// created when "autonavi" is set, navigates on request (an address asked for
// before the browser exists is opened when it does), and passes the
// browser's events to a small handler interface. Where the platform has no
// browser engine to draw pages with, creation fails with a diagnostic line
// and the control stays empty.
#pragma once

#include <windows.h>

#include <exdisp.h>

#include "ActiveXUI.h"

namespace Facet {

class CWebBrowserUI;

// What a program hears of the browser; every handler does nothing by default.
class IWebBrowserEventHandler
{
public:
    // Before a navigation starts; setting `cancel` stops it.
    virtual void BeforeNavigate2(CWebBrowserUI* /*browser*/, const wchar_t* /*url*/, bool& /*cancel*/) {}
    virtual void NavigateComplete2(CWebBrowserUI* /*browser*/, const wchar_t* /*url*/) {}
    virtual void DocumentComplete(CWebBrowserUI* /*browser*/, const wchar_t* /*url*/) {}
    // A navigation failed with `status`; setting `cancel` suppresses the error page.
    virtual void NavigateError(CWebBrowserUI* /*browser*/, const wchar_t* /*url*/, long /*status*/, bool& /*cancel*/) {}
    virtual void TitleChange(CWebBrowserUI* /*browser*/, const wchar_t* /*title*/) {}
    // A page asks for a new window; setting `cancel` refuses it.
    virtual void NewWindow3(CWebBrowserUI* /*browser*/, const wchar_t* /*url*/, bool& /*cancel*/) {}

protected:
    ~IWebBrowserEventHandler() = default;
};

class CWebBrowserEvents;

class CWebBrowserUI : public CActiveXUI
{
public:
    // The platform web browser's class id, set by default.
    static const wchar_t* const kWebBrowserClsid;

    CWebBrowserUI();
    ~CWebBrowserUI() override;

    // "WebBrowser".
    const wchar_t* GetClass() const override;
    // This control for "WebBrowser", else the ActiveX control's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    void SetHomePage(const wchar_t* url);
    CFacetString GetHomePage() const;
    void SetAutoNavigation(bool autoNavigation = true);
    bool IsAutoNavigation() const;
    // Not owned; null for none.
    void SetWebBrowserEventHandler(IWebBrowserEventHandler* handler);

    // Opens `url` in the browser, or, before it exists, when it is created.
    void Navigate(const wchar_t* url);
    void NavigateHomePage();
    // The address of the last navigation asked for (empty before any).
    CFacetString GetCurrentUrl() const;
    // The browser (not referenced for the caller), or null when none is hosted.
    IWebBrowser2* GetWebBrowser2() const;

protected:
    // Whether the platform has the engine the browser draws pages with.
    bool IsComponentAvailable() override;
    // Takes the browser's interface, listens to its
    // events and opens the pending or home page.
    bool OnControlCreated() override;
    void OnControlReleasing() override;

private:
    friend class CWebBrowserEvents;

    void Open(const wchar_t* url);
    void DisconnectEvents();

    CFacetString m_sHomePage;
    bool m_bAutoNavi;
    CFacetString m_sCurrentUrl;
    IWebBrowserEventHandler* m_pEventHandler;
    IWebBrowser2* m_pWebBrowser;
    CWebBrowserEvents* m_pEvents;
    DWORD m_dwEventCookie;
};

} // namespace Facet
