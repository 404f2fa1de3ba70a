// CActiveXUI ("ActiveX"): the place of an embedded platform component named
// by its class id ("clsid", with an optional "modulename" to load it from).
// This build does not host COM components: the control keeps its settings,
// and when it would create the component (as it joins a window, or at its
// first paint with "delaycreate") it raises "showactivex" and stays empty.
#pragma once

#include <windows.h>

#include "../core/PaintManagerTypes.h"
#include "ControlUI.h"

namespace Facet {

class CActiveXUI : public CControlUI, public IMessageFilterUI
{
public:
    CActiveXUI();

    // "ActiveX".
    const wchar_t* GetClass() const override;
    // This control for "ActiveX", the message filter part for
    // "IMessageFilter", else the base's answer.
    LPVOID GetInterface(const wchar_t* name) override;

    // Joining a window asks for the component unless creation is delayed.
    void DoInit() override;
    // With delayed creation the first paint asks for the component.
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    // Stores the class id; false when `clsid` is not a class id in braces
    // (the text is kept either way).
    bool SetClsid(const wchar_t* clsid);
    CFacetString GetClsidText() const;
    // The parsed class id (all zero when none is set or it did not parse).
    const CLSID& GetClsid() const;
    void SetModuleName(const wchar_t* moduleName);
    CFacetString GetModuleName() const;
    void SetDelayCreate(bool delayCreate = true);
    bool IsDelayCreate() const;

    // Asks for the component: raises "showactivex" once per window. Returns
    // false, because no component is hosted.
    bool CreateControl();
    // Whether "showactivex" was raised since the control joined its window.
    bool IsCreationRequested() const;
    // No hosted window: always null.
    HWND GetHostWindow() const;

    // Nothing to filter without a hosted component: never handled.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

protected:
    // Called when the component would be created; derived controls add
    // what follows creation (the web browser's home page).
    virtual void OnCreationRequested();

private:
    CFacetString m_sClsid;
    CLSID m_clsid;
    CFacetString m_sModuleName;
    bool m_bDelayCreate;
    bool m_bCreationRequested;
};

} // namespace Facet
