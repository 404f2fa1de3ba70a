// CActiveXUI ("ActiveX"): the host of an embedded platform component named by
// its class id ("clsid"). The component is created from "modulename" through
// its DllGetClassObject when given (a full path only: a bare name would be
// searched for in folders the user may write to), else through COM, in
// process. It is sited (CActiveXCtrl), activated in place — windowless
// where it can be, drawn into the paint manager's surface and given the
// window's messages through the manager's message filter; else in a child
// window (CActiveXWnd) placed at the control's rectangle and moved, shown
// and hidden with it — and receives the focus with the control. Creation
// happens as the control joins its window, or at its first paint with
// "delaycreate"; a created component is announced by "showactivex",
// delivered from the message queue so that listeners registered after the
// tree joined the window (as a window template's) hear it. A component that
// cannot be created leaves a diagnostic line and an empty control.
#pragma once

#include <windows.h>

#include <oleidl.h>

#include <memory>

#include "../core/OleScope.h"
#include "../core/PaintManagerTypes.h"
#include "../core/UniqueHandle.h"
#include "ControlUI.h"

namespace Facet {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI
{
public:
    CActiveXUI();
    ~CActiveXUI() override;

    // "ActiveX".
    const wchar_t* GetClass() const override;
    // This control for "ActiveX", the message filter part for
    // "IMessageFilter", else the base's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    // A tab stop once a component is hosted.
    UINT GetControlFlags() const override;
    HWND GetNativeWindow() const override;

    // Joining a window creates the component unless creation is delayed.
    void DoInit() override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void DoEvent(TEventUI& event) override;
    // With delayed creation the first paint creates the component; a
    // windowless component draws itself here.
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

    // Creates, sites and activates the component once per window and
    // announces it with "showactivex". True when the component is hosted
    // (now or already); false, with a diagnostic line, when it cannot be.
    bool CreateControl();
    // Whether creation was tried since the control joined its window.
    bool IsCreationRequested() const;
    // Whether a component is hosted now.
    bool IsCreated() const;
    // Asks the component for an interface (referenced for the caller).
    HRESULT GetControl(REFIID iid, void** ppv) const;
    // The child window a windowed component lives in; null when windowless or none.
    HWND GetHostWindow() const;
    // Whether the hosted component is windowless.
    bool IsWindowless() const;
    // Deactivates and releases the component (and its module); the control
    // stays, empty, and may create it again.
    void ReleaseControl();

    // The manager's message filter: a windowless component gets the mouse
    // messages over it and the keys while the control has the focus.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

protected:
    // Asked before the component is created; false (having said why) leaves
    // the control empty. Every component is available by default.
    virtual bool IsComponentAvailable();
    // Called after the component was created and activated, before
    // "showactivex" is raised; derived controls add what follows (the web
    // browser's home page). False refuses the component: it is released.
    virtual bool OnControlCreated();
    // Called before the component is released.
    virtual void OnControlReleasing();

private:
    friend class CActiveXCtrl;
    friend class CActiveXWnd;

    IOleObject* CreateComponent();
    IOleObject* CreateFromModule();
    void OnHostWindowGone();
    void UpdateWindowVisibility();
    void UnloadModule();

    CFacetString m_sClsid;
    CLSID m_clsid;
    CFacetString m_sModuleName;
    bool m_bDelayCreate;
    bool m_bCreationRequested;
    IOleObject* m_pObject;
    CActiveXCtrl* m_pSite;
    UniqueModule m_hModule;
    std::unique_ptr<ScopedOleInitialize> m_ole;
};

} // namespace Facet
