// CAccessibleObject: the platform accessibility interface (IAccessible) of one
// control. Child ids given to its methods name the object itself
// (CHILDID_SELF), one of its children by position (1, 2, ...), or any control
// below it by the negative id its events carry; every child is an object of
// its own as well. What it answers comes from AccessibleTraits.
//
// The object holds no reference on the control: the bridge disconnects it when
// the control is destroyed, and from then on every method answers
// CO_E_OBJNOTCONNECTED.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include "../core/FacetString.h"

namespace Facet {

class CAccessibility;
class CControlUI;

class CAccessibleObject final : public IAccessible
{
public:
    // Starts with one reference, the bridge's.
    CAccessibleObject(CControlUI& control, CAccessibility& bridge);
    CAccessibleObject(const CAccessibleObject&) = delete;
    CAccessibleObject& operator=(const CAccessibleObject&) = delete;

    // The control is gone (or the bridge is): the object answers nothing more.
    void Disconnect();
    bool IsConnected() const { return m_pControl != nullptr; }

    // -- IUnknown --
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // -- IDispatch: no type information; clients call the interface directly --
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // -- IAccessible --
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT childId, IDispatch** child) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT childId, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT childId, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT childId, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT childId, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT childId, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT childId, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT childId, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT childId, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT childId, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT childId) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT childId) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT childId) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT childId, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT childId, BSTR value) override;

private:
    ~CAccessibleObject() = default;

    // The control a child id names, or an error: CO_E_OBJNOTCONNECTED when
    // this object is disconnected, E_INVALIDARG for an id that names nothing
    // below it.
    HRESULT Resolve(const VARIANT& childId, CControlUI*& target) const;
    bool IsBelow(CControlUI& control) const;
    // Puts `control`'s object into `result` (VT_DISPATCH), or CHILDID_SELF
    // when it is this object's control.
    void Answer(CControlUI& control, VARIANT& result) const;
    IDispatch* DispatchOf(CControlUI& control) const;
    HRESULT FocusInNativeWindow(HWND focus, VARIANT& result) const;
    // Empties `out` and answers S_OK, or the error to give instead.
    HRESULT BeginAnswer(VARIANT* out) const;
    // A property of the control a child id names, as text (S_FALSE when empty)
    // or as a number.
    HRESULT AnswerTextOf(const VARIANT& childId, BSTR* out, CFacetString (*property)(CControlUI&)) const;
    HRESULT AnswerNumberOf(const VARIANT& childId, VARIANT* out,
                           LONG (CAccessibleObject::*property)(CControlUI&) const) const;
    LONG RoleNumber(CControlUI& control) const;
    LONG StateNumber(CControlUI& control) const;
    HRESULT Select(CControlUI& target, LONG flags) const;

    LONG m_nRefs = 1;
    CControlUI* m_pControl;
    CAccessibility* m_pBridge;
};

} // namespace Facet
